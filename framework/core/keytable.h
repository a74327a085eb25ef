// The global key-hook table (SETKEY): up to 256 entries, each a virtual-key
// code, a modifier mask (4 Shift, 8 Ctrl, 16 Alt) and a callable, kept dense
// in insertion order. The message loops offer every key-down message to it
// before translating and dispatching.
#pragma once

#include <windows.h>

#include "runtime/runtime.h"

namespace zv {

constexpr std::size_t kMaxKeyHooks = 256;
enum KeyModifier : int { kKeyShift = 4, kKeyCtrl = 8, kKeyAlt = 16 };

// Looks up the callable registered for (nKey, nFlags); no value when none.
Value SETKEY(int nKey, int nFlags);
// With a callable: replaces the entry's callable or appends an entry (a
// full table ignores new keys). With any other value: removes the entry
// (later entries move up). Returns the callable registered before.
Value SETKEY(int nKey, int nFlags, const Value& action);
std::size_t KeyHookCount();
void ClearKeyHooks();

// The modifier mask of the moment, from the keyboard state.
int CurrentKeyModifiers();
// Offers a message to the hooks: a WM_KEYDOWN or WM_SYSKEYDOWN whose key and
// current modifiers match an entry runs the entry's callable with no
// arguments and is taken (true): it must be neither translated nor dispatched.
bool KeyHookTake(const MSG& msg);

}  // namespace zv
