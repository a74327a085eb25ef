#include "framework/core/msgbox.h"

#include "framework/core/application.h"

namespace zv {

std::string MessageText(const Value& v) {
  const Value& x = v.Deref();
  if (Object* o = x.AsObject()) return "{ " + o->ClassName() + " }";
  if (x.IsList()) return "{ ... }";
  return x.ToDisplay();
}

int MESSAGEBOX(HWND owner, const Value& text, const Value& title, UINT flags) {
  std::string caption = title.Deref().IsString() ? title.Deref().AsString() : std::string();
  if (caption.empty()) caption = ApplicationTitle();
  if (!owner) owner = GetActiveWindow();
  if (flags == 0) flags = MB_ICONINFORMATION;
  const std::string body = MessageText(text);
  return MessageBoxA(owner, body.c_str(), caption.c_str(), flags);
}

int MsgInfo(const Value& text, const Value& title) { return MESSAGEBOX(nullptr, text, title, MB_ICONINFORMATION); }
int MsgAlert(const Value& text, const Value& title) { return MESSAGEBOX(nullptr, text, title, MB_ICONWARNING); }
bool MsgNoYes(const Value& text, const Value& title) {
  return MESSAGEBOX(nullptr, text, title, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace zv
