// Message boxes.
#pragma once

#include <windows.h>

#include "runtime/runtime.h"

namespace zv {

// The text a message box shows for a value: an object as "{ ClassName }", a
// list as "{ ... }", anything else in its display form.
std::string MessageText(const Value& v);

// MessageBoxA with: the text of the value; the caption given, or the
// application's title when it is absent or empty; the owner given, or the
// active window when none is given; style 64 when the style is 0. Returns
// the identifier of the button pressed.
int MESSAGEBOX(HWND owner, const Value& text, const Value& title = {}, UINT flags = 0);
int MsgInfo(const Value& text, const Value& title = {});   // information icon
int MsgAlert(const Value& text, const Value& title = {});  // warning icon
// Yes/No with No as the default button; true when Yes was pressed.
bool MsgNoYes(const Value& text, const Value& title = {});

}  // namespace zv
