#include "framework/error/error_form.h"

#include <windows.h>

#include <string>

#include "framework/controls/button.h"
#include "framework/controls/memo.h"
#include "framework/core/members.h"
#include "framework/core/texts.h"
#include "framework/graphics/font.h"
#include "framework/window/messages.h"

namespace zv {

namespace errform {

namespace {

std::string ReadReport() {
  HANDLE f = CreateFileA("Error.log", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0 && text.size() < (16u << 20)) text.append(buffer, got);
  CloseHandle(f);
  return text;
}

// The text as the dialog's memos show it: each line cut at 1024
// characters and the whole at 256 KB, so that an enormous description or
// argument cannot stall the edit control's layout (the report on disk keeps
// everything).
std::string ForDisplay(const std::string& text) {
  constexpr std::size_t kLine = 1024, kTotal = 256 * 1024;
  std::string out;
  std::size_t from = 0;
  while (from < text.size() && out.size() < kTotal) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(from, end - from);
    if (line.size() > kLine) line = line.substr(0, kLine) + " ...";
    out += line;
    if (end < text.size()) out += '\n';
    from = end + 1;
  }
  if (from < text.size()) out += "\r\n...";
  return out;
}

Value Memo(Object& self, int top, int height, const std::string& text) {
  const Value m = NewObject(TMemoClass(), Value(&self));
  m.Send(sym::SetBounds, 6, top, 582, height);
  Put(m, sym::set::lReadOnly, true);
  Put(m, sym::set::lVScroll, false);
  Put(m, sym::set::nMaxLength, 0);
  m.Send(sym::Create);
  SendMessageA(ObjectHwnd(m), EM_LIMITTEXT, 0, 0);
  Put(m, sym::set::cText, ForDisplay(text));
  return m;
}

bool Expanded(Object& self) {
  const Value d = Get(self, sym::oDetails);
  return d.IsObject() && Get(d, sym::cText).AsString().compare(0, 1, "<") == 0;
}

long long ClientWidth(Object& self) {
  RECT r{};
  GetClientRect(ObjectHwnd(self), &r);
  return r.right;
}

}  // namespace

// CreateForm: the dialog and its controls, showing cMessage with a button
// per element of aOptions (both set before New runs it). It builds them
// once: a second call would put a second set of controls over the first.
Value CreateForm(Object& self, Args) {
  if (Get(self, sym::oMemo1).IsObject()) return Value(&self);
  if (!Get(self, sym::aOptions).IsList()) Put(self, sym::set::aOptions, Value::List({}));
  Put(self, sym::set::nWidth, 600);
  Put(self, sym::set::nHeight, 140);
  Put(self, sym::set::nClientHeight, 107);
  Put(self, sym::set::cText, LT(32796));
  Put(self, sym::set::nBorderStyle, 3);
  Put(self, sym::set::lMinimizeBox, false);
  Put(self, sym::set::lAutoScroll, false);
  self.Send(sym::Create);
  const HWND h = ObjectHwnd(self);
  if (!h) return {};
  const HICON icon = LoadIcon(nullptr, IDI_HAND);
  SendMessageA(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  self.Send(sym::SetClientSize, ClientWidth(self), 107);

  const Value memo1 = Memo(self, 8, 60, Get(self, sym::cMessage).AsString());
  Put(memo1, sym::set::nAnchors, 7);
  Put(self, sym::set::oMemo1, memo1);

  const Value options = Get(self, sym::aOptions);
  Value first;
  for (std::size_t i = 1; i <= options.Len(); ++i) {
    const Value b = NewObject(TButtonClass(), Value(&self));
    b.Send(sym::SetBounds, static_cast<long long>(i - 1) * 80 + 5, 75, 75, 25);
    Put(b, sym::set::cText, options.Item(i).AsString());
    Put(b, sym::set::nModalResult, static_cast<long long>(i));
    b.Send(sym::Create);
    if (i == 1) first = b;
  }
  const Value details = NewObject(TButtonClass(), Value(&self));
  details.Send(sym::SetBounds, 512, 75, 75, 25);
  Put(details, sym::set::nAnchors, 6);
  Put(details, sym::set::cText, LT(32803) + " >>>");
  BindEvent(*details.AsObject(), sym::OnClick, Value(&self), sym::Details);
  details.Send(sym::Create);
  Put(self, sym::set::oDetails, details);

  const Value memo2 = Memo(self, 110, 150, ReadReport());
  const Value font = NewObject(TFontClass());
  font.Send(sym::Create, "Courier New", 8);
  Put(memo2, sym::set::oFont, font);
  ShowWindow(ObjectHwnd(memo2), SW_HIDE);
  Put(memo2, sym::set::FlVisible, false);
  Put(self, sym::set::oMemo2, memo2);

  if (first.IsObject()) {
    Put(first, sym::set::lDefault, true);
    Put(self, sym::set::oActiveControl, first);
  }
  return Value(&self);
}

// Details(): the report shown (and copied to the clipboard) or hidden.
Value Details(Object& self, Args) {
  const Value details = Get(self, sym::oDetails), memo2 = Get(self, sym::oMemo2);
  if (!details.IsObject() || !memo2.IsObject()) return {};
  if (Expanded(self)) {
    Put(details, sym::set::cText, LT(32803) + " >>>");
    self.Send(sym::SetClientSize, ClientWidth(self), 107);
    memo2.Send(sym::Hide);
  } else {
    Put(details, sym::set::cText, "<<< " + LT(32803));
    self.Send(sym::SetClientSize, ClientWidth(self), 265);
    const HWND m = ObjectHwnd(memo2);
    SendMessageA(m, EM_SETSEL, 0, -1);
    SendMessageA(m, WM_COPY, 0, 0);
    SendMessageA(m, EM_SETSEL, 0, 0);  // no selection, the report from its top
    SendMessageA(m, EM_SCROLLCARET, 0, 0);
    memo2.Send(sym::Show);
  }
  return {};
}

// A double click on the caption: maximized with the report shown, or
// restored.
Value WMNCLButtonDblClk(Object& self, const WinMsg& m) {
  if (m.wParam != HTCAPTION) return {};
  const Value details = Get(self, sym::oDetails), memo2 = Get(self, sym::oMemo2);
  if (IsZoomed(m.hwnd)) {
    ShowWindow(m.hwnd, SW_RESTORE);
    if (details.IsObject()) details.Send(sym::Enable);
  } else {
    if (!Expanded(self)) self.Send(sym::Details);
    ShowWindow(m.hwnd, SW_MAXIMIZE);
    if (details.IsObject()) details.Send(sym::Disable);
  }
  if (memo2.IsObject() && ObjectHwnd(memo2)) {
    RECT c{}, r{};
    GetClientRect(m.hwnd, &c);
    GetWindowRect(ObjectHwnd(memo2), &r);
    POINT top{r.left, r.top};
    ScreenToClient(m.hwnd, &top);
    SetWindowPos(ObjectHwnd(memo2), nullptr, 0, 0, c.right - 13, c.bottom - top.y - 6, SWP_NOMOVE | SWP_NOZORDER);
  }
  return 0;
}

}  // namespace errform

Class* QErrorFormClass() {
  static Class* c = [] {
    QVClass b("QErrorForm", {TFormClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QERRORFORM_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TErrorFormClass() {
  static Class* c = DeclarePublicClass("TErrorForm", QErrorFormClass());
  return c;
}

}  // namespace zv
