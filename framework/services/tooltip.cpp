#include "framework/services/tooltip.h"

#include <commctrl.h>

#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/messages.h"

namespace zv {
namespace {

bool IsBalloon(Object& self) { return self.GetClass()->IsDerivedFrom(QBalloonClass()); }

// The text field of a tool: a string means "ask the control"; a number is a
// string resource of the program.
void SetToolText(Object& self, const Value& control, TOOLINFOA& ti, const std::string& explicitText = {},
                 bool useExplicit = false) {
  if (useExplicit) {
    ti.lpszText = const_cast<char*>(explicitText.c_str());
    return;
  }
  Value text = Get(control, IsBalloon(self) ? sym::cBalloon : sym::cTooltip);
  if (text.IsString()) {
    ti.lpszText = LPSTR_TEXTCALLBACKA;
  } else {
    ti.hinst = GETINSTANCE();
    ti.lpszText = MAKEINTRESOURCEA(static_cast<WORD>(text.AsInt()));
  }
}

// The window of the control's form (the tool's owner for whole-control tools).
HWND FormWindow(const Value& control) {
  Value form = Has(control, sym::GetForm) ? control.Send(sym::GetForm) : Value();
  HWND h = ObjectHwnd(form);
  return h ? h : GetParent(ObjectHwnd(control));
}

// The identity of a tool: a zone of the control, or the whole control.
void ToolIdentity(const Value& control, const Value& nId, const Value& aRect, TOOLINFOA& ti) {
  HWND controlWnd = ObjectHwnd(control);
  if (nId.IsNumber()) {
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = controlWnd;
    ti.uId = static_cast<UINT_PTR>(nId.AsInt());
    if (aRect.IsList()) {
      ti.rect.left = static_cast<LONG>(aRect.Item(1).AsInt());
      ti.rect.top = static_cast<LONG>(aRect.Item(2).AsInt());
      ti.rect.right = static_cast<LONG>(aRect.Item(3).AsInt());
      ti.rect.bottom = static_cast<LONG>(aRect.Item(4).AsInt());
    }
  } else {
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    ti.hwnd = FormWindow(control);
    ti.uId = reinterpret_cast<UINT_PTR>(controlWnd);
  }
}

// The title: the tooltip's own, else the control's.
void ApplyTitle(Object& self, const Value& control) {
  HWND hwnd = ObjectHwnd(self);
  Value title = Get(self, sym::cTitle);
  if (title.IsString() && !title.AsString().empty()) {
    SendMessageA(hwnd, TTM_SETTITLEA, static_cast<WPARAM>(Get(self, sym::nIcon).AsInt()),
                 reinterpret_cast<LPARAM>(title.AsString().c_str()));
    return;
  }
  if (!control.IsObject() || !Has(control, sym::cTooltipTitle)) return;
  Value ctitle = Get(control, sym::cTooltipTitle);
  if (ctitle.IsString() && !ctitle.AsString().empty())
    SendMessageA(hwnd, TTM_SETTITLEA, static_cast<WPARAM>(Get(control, sym::nTooltipIcon).AsInt()),
                 reinterpret_cast<LPARAM>(ctitle.AsString().c_str()));
}

Value Create(Object& self, Args a) {
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), 0xFF};
  InitCommonControlsEx(&icc);
  if (a.Has(0)) Put(self, sym::set::FoParent, a.Get(0));
  HWND parentWnd = ObjectHwnd(Get(self, sym::oParent));
  const DWORD style = static_cast<DWORD>(Get(self, sym::nCtlStyle).AsInt());
  HWND hwnd = CreateWindowExA(0, TOOLTIPS_CLASSA, "", style | WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, parentWnd, nullptr, GETINSTANCE(), nullptr);
  if (hwnd) {
    Put(self, sym::set::Handle, HandleValue(hwnd));
    self.Send(sym::Link);
    SendMessageA(hwnd, TTM_SETMAXTIPWIDTH, 0, 32768);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    self.Send(sym::SetAlwaysTip, Get(self, sym::lAlwaysTip));
  }
  Put(self, sym::set::lCreated, true);
  return Value(&self);
}

Value DestroyTip(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self); hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
  Put(self, sym::set::Handle, 0);
  Put(self, sym::set::lCreated, false);
  return {};
}

Value WMNCDestroy(Object& self, const WinMsg&) {
  self.Send(sym::Free);
  Put(self, sym::set::Handle, 0);
  return {};
}

Value Free(Object& self, Args a) {
  self.Send(sym::Unlink);
  return Super(self, sym::Free, a);
}

Value Link(Object& self, Args) { return LinkWindow(self, false, ""); }
Value Unlink(Object& self, Args) {
  UnlinkWindow(self);
  return {};
}

Value SetAlwaysTip(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlAlwaysTip, on);
  if (HWND hwnd = ObjectHwnd(self)) {
    LONG_PTR ws = GetWindowLongPtrA(hwnd, GWL_STYLE);
    SetWindowLongPtrA(hwnd, GWL_STYLE, on ? (ws | TTS_ALWAYSTIP) : (ws & ~static_cast<LONG_PTR>(TTS_ALWAYSTIP)));
  }
  return on;
}

// Changes the style used for the next window; an existing one keeps its look.
Value SetCloseButton(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlCloseButton, on);
  std::int64_t style = Get(self, sym::nCtlStyle).AsInt();
  style = on ? (style | TTS_CLOSE) : (style & ~static_cast<std::int64_t>(TTS_CLOSE));
  Put(self, sym::set::nCtlStyle, style);
  return on;
}

Value ToolMessage(Object& self, Args a, UINT msg) {
  HWND hwnd = ObjectHwnd(self);
  Value control = a.Get(0);
  if (!hwnd || !control.IsObject() || !ObjectHwnd(control)) return false;
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ToolIdentity(control, a.Get(2), a.Get(1), ti);
  SetToolText(self, control, ti);
  const LRESULT r = SendMessageA(hwnd, msg, 0, reinterpret_cast<LPARAM>(&ti));
  ApplyTitle(self, control);
  return r != 0;
}

Value AddTool(Object& self, Args a) { return ToolMessage(self, a, TTM_ADDTOOLA); }
Value SetToolInfo(Object& self, Args a) { return ToolMessage(self, a, TTM_SETTOOLINFOA); }

Value DelTool(Object& self, Args a) {
  HWND hwnd = ObjectHwnd(self);
  Value control = a.Get(0);
  if (!hwnd || !control.IsObject() || !ObjectHwnd(control)) return {};
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ToolIdentity(control, a.Get(1), Value(), ti);
  SendMessageA(hwnd, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  return {};
}

// A tracked tooltip for a control (default: the parent) at (x, y) of its client area.
Value Show(Object& self, Args a) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  Value control = a.Has(2) ? a.Get(2) : Get(self, sym::oParent);
  HWND controlWnd = ObjectHwnd(control);
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_TRACK;
  ti.hwnd = controlWnd;
  ti.uId = reinterpret_cast<UINT_PTR>(controlWnd);
  static std::string text;  // must outlive the call: the tooltip keeps a copy only of callback-less texts
  Value own = Get(self, sym::cText);
  if (own.IsString()) {
    text = own.AsString();
    SetToolText(self, control, ti, text, true);
  } else if (control.IsObject()) {
    SetToolText(self, control, ti);
  }
  ApplyTitle(self, control);
  POINT p{0, 0};
  if (a.Has(0) && a.Has(1)) p = {static_cast<LONG>(a.Get(0).AsInt()), static_cast<LONG>(a.Get(1).AsInt())};
  if (controlWnd) ClientToScreen(controlWnd, &p);
  // One tracked tool per control: shown again, it gets the new text instead
  // of a second tool (the tooltip would keep showing the first one's).
  TOOLINFOA probe{};
  probe.cbSize = sizeof probe;
  probe.hwnd = ti.hwnd;
  probe.uId = ti.uId;
  if (SendMessageA(hwnd, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&probe))) {
    SendMessageA(hwnd, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(hwnd, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(hwnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
  } else {
    SendMessageA(hwnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
  SendMessageA(hwnd, TTM_TRACKPOSITION, 0, MAKELPARAM(p.x, p.y));
  SendMessageA(hwnd, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
  RethrowDeferred();
  return {};
}

Value Hide(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self)) PostMessageA(hwnd, TTM_POP, 0, 0);
  return {};
}

Value Notify(Object& self, Args a) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(a.Get(1).AsInt());
  if (!hdr) return {};
  switch (static_cast<int>(hdr->code)) {
    case static_cast<int>(TTN_SHOW): return self.Send(sym::OnShow);
    case static_cast<int>(TTN_POP): return self.Send(sym::OnHide);
    case -523: return self.Send(sym::OnLinkClick);  // TTN_LINKCLICK
    default: return {};
  }
}

}  // namespace

Class* QToolTipClass() {
  static Class* c = [] {
    QVClass b("QToolTip", {TWinObjectClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QTOOLTIP_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TToolTipClass() {
  static Class* c = DeclarePublicClass("TToolTip", QToolTipClass());
  return c;
}

Class* QBalloonClass() {
  static Class* c = [] {
    QVClass b("QBalloon", {TToolTipClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QBALLOON_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TBalloonClass() {
  static Class* c = DeclarePublicClass("TBalloon", QBalloonClass());
  return c;
}

}  // namespace zv
