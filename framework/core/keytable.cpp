#include "framework/core/keytable.h"

#include <vector>

namespace zv {
namespace {

struct KeyHook {
  std::uint16_t key;
  std::uint16_t flags;
  Value action;
};

std::vector<KeyHook>& table() {
  static auto* t = new std::vector<KeyHook>;
  return *t;
}

std::ptrdiff_t Find(int nKey, int nFlags) {
  auto& t = table();
  for (std::size_t i = 0; i < t.size(); ++i)
    if (t[i].key == static_cast<std::uint16_t>(nKey) && t[i].flags == static_cast<std::uint16_t>(nFlags))
      return static_cast<std::ptrdiff_t>(i);
  return -1;
}

}  // namespace

Value SETKEY(int nKey, int nFlags) {
  std::ptrdiff_t i = Find(nKey, nFlags);
  return i < 0 ? Value() : table()[static_cast<std::size_t>(i)].action;
}

Value SETKEY(int nKey, int nFlags, const Value& action) {
  auto& t = table();
  std::ptrdiff_t i = Find(nKey, nFlags);
  Value previous = i < 0 ? Value() : t[static_cast<std::size_t>(i)].action;
  if (action.Deref().IsCallable()) {
    if (i >= 0) t[static_cast<std::size_t>(i)].action = action.Deref();
    else if (t.size() < kMaxKeyHooks)
      t.push_back({static_cast<std::uint16_t>(nKey), static_cast<std::uint16_t>(nFlags), action.Deref()});
  } else if (i >= 0) {
    t.erase(t.begin() + i);
  }
  return previous;
}

std::size_t KeyHookCount() { return table().size(); }
void ClearKeyHooks() { table().clear(); }

int CurrentKeyModifiers() {
  BYTE state[256];
  if (!GetKeyboardState(state)) return 0;
  int flags = 0;
  if (state[VK_SHIFT] & 0x80) flags |= kKeyShift;
  if (state[VK_CONTROL] & 0x80) flags |= kKeyCtrl;
  if (state[VK_MENU] & 0x80) flags |= kKeyAlt;
  return flags;
}

bool KeyHookTake(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  auto& t = table();
  if (t.empty()) return false;
  const int flags = CurrentKeyModifiers();
  const auto key = static_cast<std::uint16_t>(msg.wParam);
  for (const KeyHook& h : t) {
    if (h.key == key && h.flags == flags) {
      Value action = h.action;  // the callable may change the table
      CallValue(action, Args());
      return true;
    }
  }
  return false;
}

}  // namespace zv
