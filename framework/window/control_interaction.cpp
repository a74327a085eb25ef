#include "framework/window/control_interaction.h"

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "framework/core/application.h"
#include "framework/core/catalog.h"
#include "framework/core/globals.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"

namespace zv::ctlx {
namespace {

bool HasText(const Value& text) { return !text.IsNil() && !(text.IsString() && text.AsString().empty()); }

// A control whose window still exists.
bool Alive(const Value& control) {
  const HWND hwnd = control.IsObject() ? ObjectHwnd(control) : nullptr;
  return hwnd && IsWindow(hwnd);
}

POINT ScreenPoint(const MouseMsg& m) {
  POINT p{m.x, m.y};
  ::ClientToScreen(m.hwnd, &p);
  return p;
}

// ---------------------------------------------------------------- tooltips: registration

// The members of one of the two shared tooltip windows.
struct ToolKind {
  Symbol text, app, zones, count;
  SetterSymbol setText, setZones, setCount, setRegistered;
};

ToolKind Kind(bool balloon) {
  if (balloon)
    return {sym::FcBalloon,        sym::oBalloon,          sym::aBalloonZones,      sym::nBalloonZones,
            sym::set::FcBalloon,   sym::set::aBalloonZones, sym::set::nBalloonZones, sym::set::lBalloon};
  return {sym::FcTooltip,        sym::oTooltip,          sym::aTooltipZones,      sym::nTooltipZones,
          sym::set::FcTooltip,   sym::set::aTooltipZones, sym::set::nTooltipZones, sym::set::lTooltip};
}

// The application's tooltip (balloon) object when it has a window.
Value SharedWindow(const ToolKind& k) {
  if (!Application().IsObject()) return {};
  Value tip = Get(Application(), k.app);
  return tip.IsObject() && ObjectHwnd(tip) ? tip : Value();
}

// Takes every tool of the control out of the shared window: the
// whole-control tool and each zone registered.
void Unregister(Object& self, const ToolKind& k) {
  const Value tip = SharedWindow(k);
  if (tip.IsObject() && ObjectHwnd(self)) {
    tip.Send(sym::DelTool, Value(&self));
    const long long zones = Get(self, k.count).AsInt();
    for (long long i = 1; i <= zones; ++i) tip.Send(sym::DelTool, Value(&self), i);
  }
  Put(self, k.setCount, 0);
  Put(self, k.setRegistered, false);
}

// Registers the control anew by its text and zones: one tool per zone
// (identifier: the zone's index), or the whole control when it has no zone
// list. An empty text or an empty list leaves it without tools.
void Register(Object& self, const ToolKind& k) {
  Unregister(self, k);
  const Value tip = SharedWindow(k);
  if (!tip.IsObject() || !ObjectHwnd(self) || !HasText(Get(self, k.text))) return;
  const Value zones = Get(self, k.zones);
  bool added = false;
  long long count = 0;
  if (zones.IsList()) {
    const std::vector<Value> rects = zones.AsList().items;
    for (const Value& rect : rects) {
      ++count;
      if (tip.Send(sym::AddTool, Value(&self), rect, count).AsBool()) added = true;
    }
  } else {
    added = tip.Send(sym::AddTool, Value(&self)).AsBool();
  }
  Put(self, k.setCount, count);
  Put(self, k.setRegistered, added);
}

Value SetText(Object& self, const Value& text, bool balloon) {
  const ToolKind k = Kind(balloon);
  Put(self, k.setText, text);
  Register(self, k);
  return text;
}

// The zones are a copy of the list: changing the caller's list afterwards
// does not change tools that were registered from it.
Value SetZones(Object& self, const Value& zones, bool balloon) {
  const ToolKind k = Kind(balloon);
  Put(self, k.setZones, zones.IsList() ? Value::List(zones.AsList().items) : Value());
  Register(self, k);
  return zones;
}

// ---------------------------------------------------------------- tooltips: text requests

// The texts handed to each tooltip window, kept until it closes (TTN_POP)
// or asks again. One entry per tooltip window, so the application's tooltip
// and balloon windows never overwrite each other's text.
struct HeldText {
  std::string ansi;
  std::wstring wide;
};
std::map<HWND, HeldText>& Held() {
  static std::map<HWND, HeldText> held;
  return held;
}

// The text of tool `id` of the control (0: the whole control): the cTooltip
// of item number id of its aItems list when it has one, else its
// GetTooltip(id, lBalloon).
Value ToolText(const Value& control, long long id, bool balloon) {
  if (id > 0 && Has(control, sym::aItems)) {
    const Value items = Get(control, sym::aItems);
    const Value item = items.IsList() ? items.Item(static_cast<std::size_t>(id)) : Value();
    if (item.IsObject() && Has(item, sym::cTooltip)) return Get(item, sym::cTooltip);
  }
  return Has(control, sym::GetTooltip) ? control.Send(sym::GetTooltip, id, balloon) : Value();
}

// Answers TTN_GETDISPINFOA / W for tool `id` of the control: the title (the
// previous tool's is cleared first), then the text (a number is a string
// resource of the program).
void SupplyText(const Value& control, long long id, const NotifyMsg& m) {
  const HWND tip = m.header->hwndFrom;
  const bool wide = m.header->code == static_cast<UINT>(TTN_GETDISPINFOW);
  SendMessageA(tip, TTM_SETTITLEA, 0, reinterpret_cast<LPARAM>(""));
  if (Has(control, sym::cTooltipTitle)) {
    const Value title = Get(control, sym::cTooltipTitle);
    if (title.IsString() && !title.AsString().empty())
      SendMessageA(tip, TTM_SETTITLEA, static_cast<WPARAM>(Get(control, sym::nTooltipIcon).AsInt()),
                   reinterpret_cast<LPARAM>(title.AsString().c_str()));
  }
  const bool balloon = (GetWindowLongPtrA(tip, GWL_STYLE) & TTS_BALLOON) != 0;
  const Value text = ToolText(control, id, balloon);
  if (text.IsNumber()) {
    const auto res = static_cast<WORD>(text.AsInt());
    if (wide) {
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(m.lParam);
      info->hinst = GETINSTANCE();
      info->lpszText = MAKEINTRESOURCEW(res);
    } else {
      auto* info = reinterpret_cast<NMTTDISPINFOA*>(m.lParam);
      info->hinst = GETINSTANCE();
      info->lpszText = MAKEINTRESOURCEA(res);
    }
    return;
  }
  HeldText& held = Held()[tip];
  held.ansi = text.IsString() ? text.AsString() : std::string();
  if (wide) {
    held.wide = WidenText(held.ansi);
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(m.lParam);
    info->hinst = nullptr;
    info->lpszText = held.wide.data();
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(m.lParam);
    info->hinst = nullptr;
    info->lpszText = held.ansi.data();
  }
}

// ---------------------------------------------------------------- tooltips shown at a point

Value ShowTip(Object& self, Args a, bool balloon) {
  self.Send(sym::HideTooltip);
  if (!ObjectHwnd(self)) return {};
  Value tip = NewFrameworkObject(balloon ? "TBalloon" : "TToolTip");
  if (!tip.IsObject()) return {};
  Put(tip, sym::set::lCloseButton, true);  // a style of the window: set before it is made
  tip.Send(sym::Create, Value(&self));
  if (!ObjectHwnd(tip)) {
    tip.Send(sym::End);
    return {};
  }
  if (a.Has(2)) Put(tip, sym::set::cText, a.Get(2).IsString() ? a.Get(2) : Value(a.Get(2).ToDisplay()));
  if (a.Has(3)) Put(tip, sym::set::cTitle, a.Get(3));
  if (a.Has(4)) Put(tip, sym::set::nIcon, a.Get(4).AsInt());
  Put(self, sym::set::FoTooltip, tip);
  tip.Send(sym::Show, a.Get(0).AsInt(), a.Get(1).AsInt(), Value(&self));
  return tip;
}

// ---------------------------------------------------------------- drag and drop
//
// A left press makes a drag pending (nOnDrag 1) and keeps the rectangle
// around the press; a move out of it with the button still down starts the
// drag (nOnDrag 2): the source captures the mouse and OnBeginDrag may refuse
// it. While it lasts, the control under the mouse is asked OnDragOver(target,
// source) at every move; a logical false refuses, any other answer accepts,
// and the cursor shows which. A control without an OnDragOver handler is no
// drop target (as a window that is not registered for drops): it refuses. The outcome is reported once, as DoDragDrop
// reports it to its caller: a drop on a control that accepted fires that
// control's OnEndDrag(target, source); a drag that ends otherwise (a drop
// where nothing accepts, Escape, a lost capture) fires the source's
// OnEndDrag(source, no value). Events go only to controls whose windows
// still exist, and after each one the drag is checked to be still the same.

struct DragState {
  HWND pressWindow = nullptr;             // the window of the last left press
  const Object* pressObject = nullptr;    // its control (compared, never used)
  RECT rect{};                            // the rectangle the mouse must leave
  Value source;                           // the control being dragged (no value: no drag)
  HWND sourceWindow = nullptr;
  Value target;                           // the control under the mouse at the last move
  bool accepts = false;                   // its answer
  HCURSOR cursor = nullptr;               // the cursor before the drag
  HHOOK keys = nullptr;                   // the Escape watch
};
DragState g_drag;

bool IsSource(const Object& self) { return g_drag.source.AsObject() == &self; }

HCURSOR DragCursor(bool accepts) {
  const Symbol member = accepts ? sym::oCursorDropYes : sym::oCursorDropNo;
  if (Has(Screen(), member))
    if (HCURSOR h = ObjectHandle<HCURSOR>(Get(Screen(), member))) return h;
  return LoadCursorA(nullptr, accepts ? IDC_ARROW : IDC_NO);
}

// Escape during a drag takes the capture from the source, which cancels the
// drag as any loss of the capture does (WMCaptureChanged); the key is the
// drag's and goes no further.
LRESULT CALLBACK DragKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == VK_ESCAPE && g_drag.sourceWindow) {
    if (!(lParam & 0x80000000) && GetCapture() == g_drag.sourceWindow) ReleaseCapture();
    return 1;
  }
  return CallNextHookEx(g_drag.keys, code, wParam, lParam);
}

// The nearest window at a screen point that belongs to a control.
Value TargetAt(POINT p) {
  for (HWND h = WindowFromPoint(p); h; h = (GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr) {
    Value o = GETCONTROLFROMHANDLE(h);
    if (Has(o, sym::OnDragOver)) return o;
  }
  return {};
}

// Ends the drag. The state is cleared before anything else (the capture
// release and the events below run handlers that may start anything).
void FinishDrag(bool dropped, bool report) {
  const Value source = g_drag.source, target = g_drag.target;
  const bool accepted = dropped && g_drag.accepts && target.IsObject();
  const HWND sourceWindow = g_drag.sourceWindow;
  const HCURSOR cursor = g_drag.cursor;
  g_drag.source = Value();
  g_drag.target = Value();
  g_drag.sourceWindow = nullptr;
  g_drag.accepts = false;
  if (g_drag.keys) UnhookWindowsHookEx(g_drag.keys);
  g_drag.keys = nullptr;
  if (!source.IsObject()) return;
  Put(source, sym::set::nOnDrag, 0);
  if (sourceWindow && GetCapture() == sourceWindow) ReleaseCapture();
  SetCursor(cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW));
  RethrowDeferred();
  if (!report) return;
  if (accepted && Alive(target)) target.Send(sym::OnEndDrag, source);
  else if (Alive(source)) source.Send(sym::OnEndDrag, Value());
}

// A move during the drag: the control under the mouse is asked.
void DragOver(POINT p) {
  const Value source = g_drag.source;
  const Value target = TargetAt(p);
  bool accepts = false;
  if (target.IsObject() && EventAssigned(*target.AsObject(), sym::OnDragOver.name())) {
    const Value answer = target.Send(sym::OnDragOver, source);
    if (g_drag.source.AsObject() != source.AsObject()) return;  // the drag ended meanwhile
    accepts = !answer.IsFalse() && Alive(target);
  }
  if (!Alive(source)) return FinishDrag(false, false);
  g_drag.target = target;
  g_drag.accepts = accepts;
  SetCursor(DragCursor(accepts));
}

void BeginDrag(Object& self, HWND hwnd, POINT p) {
  Put(self, sym::set::nOnDrag, 2);
  g_drag.source = Value(&self);
  g_drag.sourceWindow = hwnd;
  g_drag.target = Value();
  g_drag.accepts = false;
  g_drag.cursor = GetCursor();
  g_drag.keys = SetWindowsHookExA(WH_KEYBOARD, &DragKeys, nullptr, GetCurrentThreadId());
  SetCapture(hwnd);
  RethrowDeferred();
  const Value answer = self.Send(sym::OnBeginDrag);
  if (!IsSource(self)) return;  // ended while the event ran
  if (answer.IsFalse() || !IsWindow(hwnd)) return FinishDrag(false, false);  // refused: it never began
  DragOver(p);
}

// ---------------------------------------------------------------- help and menus

// Whether `popup` is `menu` or one of its submenus, at any depth.
bool MenuContains(HMENU menu, HMENU popup, int depth = 0) {
  if (!menu || !IsMenu(menu) || depth > 16) return false;
  if (menu == popup) return true;
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i)
    if (MenuContains(GetSubMenu(menu, i), popup, depth + 1)) return true;
  return false;
}

// The first item of the form's status bar shows the control's message, when
// the form shows messages automatically.
void ShowStatusMessage(Object& self) {
  const Value message = Get(self, sym::cMessage);
  if (!message.IsString() || message.AsString().empty()) return;
  const Value form = self.Send(sym::GetForm);
  if (!Has(form, sym::lMsgAuto) || !Get(form, sym::lMsgAuto).AsBool() || !Has(form, sym::oMsgBar)) return;
  const Value bar = Get(form, sym::oMsgBar);
  const Value items = Has(bar, sym::aItems) ? Get(bar, sym::aItems) : Value();
  if (!items.IsList() || items.Len() == 0) return;
  const Value first = items.Item(1);
  if (Has(first, sym::SetText)) first.Send(sym::SetText, message);
}

}  // namespace

// ---------------------------------------------------------------- tooltips

Value SetTooltip(Object& self, Args a) { return SetText(self, a.Get(0), false); }
Value SetBalloon(Object& self, Args a) { return SetText(self, a.Get(0), true); }
Value SetTooltipZones(Object& self, Args a) { return SetZones(self, a.Get(0), false); }
Value SetBalloonZones(Object& self, Args a) { return SetZones(self, a.Get(0), true); }

// GetTooltip(nId, lBalloon): the text of tool nId (0: the whole control).
// The base answers cTooltip, or cBalloon for the balloon window; a control
// with texts per zone overrides it.
Value GetTooltip(Object& self, Args a) { return Get(self, a.Get(1).AsBool() ? sym::FcBalloon : sym::FcTooltip); }

// When the window is made: the tools of the stored texts and zones.
Value ApplyTooltips(Object& self, Args) {
  Register(self, Kind(false));
  Register(self, Kind(true));
  return {};
}

// When the window goes: its tools (the zones stay stored for the next
// window) and the tooltip it shows.
Value RemoveTooltips(Object& self, Args) {
  Unregister(self, Kind(false));
  Unregister(self, Kind(true));
  self.Send(sym::HideTooltip);
  return {};
}

// ShowTooltip(nX, nY, cText, cTitle, nIcon): a tooltip window of the
// control's own, with a close button, tracked at the point of the client
// area (the previous one is ended first); it is oTooltip until hidden.
// Without a text it shows the control's cTooltip. ShowBalloon: the same in
// a balloon.
Value ShowTooltip(Object& self, Args a) { return ShowTip(self, a, false); }
Value ShowBalloon(Object& self, Args a) { return ShowTip(self, a, true); }

// HideTooltip / HideBalloon: the shown tooltip is ended.
Value HideTooltip(Object& self, Args) {
  const Value tip = Get(self, sym::FoTooltip);
  Put(self, sym::set::FoTooltip, Value());
  if (tip.IsObject()) tip.Send(sym::End);
  return {};
}

bool IsTooltipNotification(const NMHDR& header) {
  return header.code == static_cast<UINT>(TTN_GETDISPINFOA) || header.code == static_cast<UINT>(TTN_GETDISPINFOW) ||
         header.code == static_cast<UINT>(TTN_POP);
}

std::size_t TooltipTextsHeld() { return Held().size(); }

// A request names its tool by the tool's window (TTF_IDISHWND: a whole
// control, asked at its form's window) or by a zone's index (asked at the
// control's own window, which is this one).
Value WMNotify(Object& self, const NotifyMsg& m) {
  if (!m.lParam) return {};
  const NMHDR& hdr = *m.header;
  if (hdr.code == static_cast<UINT>(TTN_POP)) {
    Held().erase(hdr.hwndFrom);
    return {};
  }
  const bool wide = hdr.code == static_cast<UINT>(TTN_GETDISPINFOW);
  if (!wide && hdr.code != static_cast<UINT>(TTN_GETDISPINFOA)) return {};
  const UINT flags = wide ? reinterpret_cast<const NMTTDISPINFOW*>(m.lParam)->uFlags
                          : reinterpret_cast<const NMTTDISPINFOA*>(m.lParam)->uFlags;
  Value control = Value(&self);
  long long id = static_cast<long long>(hdr.idFrom);
  if (flags & TTF_IDISHWND) {
    control = GETCONTROLFROMHANDLE(reinterpret_cast<HWND>(hdr.idFrom));
    id = 0;
  }
  if (!control.IsObject()) return {};
  SupplyText(control, id, m);
  return 0;
}

// ---------------------------------------------------------------- mouse

Value WMLButtonDown(Object& self, const MouseMsg& m) {
  if (g_drag.source.IsObject()) FinishDrag(false, true);  // a drag whose button-up never came
  const POINT p = ScreenPoint(m);
  const int dx = GetSystemMetrics(SM_CXDRAG), dy = GetSystemMetrics(SM_CYDRAG);
  g_drag.rect = {p.x - dx, p.y - dy, p.x + dx, p.y + dy};
  g_drag.pressWindow = m.hwnd;
  g_drag.pressObject = &self;
  Put(self, sym::set::nOnDrag, 1);
  return self.Send(sym::OnLButtonDown, m.keys, m.x, m.y);
}

// The end of a drag is a drop, not a click: OnLButtonUp does not fire and
// the system class does not see the button-up.
Value WMLButtonUp(Object& self, const MouseMsg& m) {
  if (Get(self, sym::nOnDrag).AsInt() == 2 && IsSource(self)) {
    const POINT p = ScreenPoint(m);
    if (TargetAt(p).AsObject() != g_drag.target.AsObject()) DragOver(p);  // a place the last move did not ask
    if (IsSource(self)) FinishDrag(true, true);
    return 0;
  }
  Put(self, sym::set::nOnDrag, 0);
  return self.Send(sym::OnLButtonUp, m.keys, m.x, m.y);
}

// A pending drag starts when the mouse leaves the press rectangle with the
// left button down; it is forgotten when the button is up, or when the last
// press was another control's.
Value WMMouseMove(Object& self, const MouseMsg& m) {
  const long long state = Get(self, sym::nOnDrag).AsInt();
  if (state == 1) {
    if (!(m.keys & MK_LBUTTON) || g_drag.pressObject != &self || g_drag.pressWindow != m.hwnd) {
      Put(self, sym::set::nOnDrag, 0);
    } else {
      const POINT p = ScreenPoint(m);
      if (!PtInRect(&g_drag.rect, p)) BeginDrag(self, m.hwnd, p);
    }
  } else if (state == 2) {
    if (IsSource(self)) DragOver(ScreenPoint(m));
    else Put(self, sym::set::nOnDrag, 0);
  }
  return self.Send(sym::OnMouseMove, m.keys, m.x, m.y);
}

// Another window took the capture (or nobody has it now): the drag is
// cancelled.
Value WMCaptureChanged(Object& self, const WinMsg& m) {
  if (IsSource(self) && reinterpret_cast<HWND>(m.lParam) != m.hwnd) FinishDrag(false, true);
  return {};
}

// ---------------------------------------------------------------- help and menus

// WM_HELP (F1): a control with a HelpId asks its form's Help, else the
// application's, with itself, the id and the mouse position; one without
// lets the default processing pass the request to its parent.
Value WMHelp(Object& self, const WinMsg& m) {
  const Value id = Get(self, sym::HelpId);
  if (id.IsNil() || (id.IsString() && id.AsString().empty())) return {};
  const auto* info = reinterpret_cast<const HELPINFO*>(m.lParam);
  const long long x = info ? info->MousePos.x : 0, y = info ? info->MousePos.y : 0;
  const Value form = self.Send(sym::GetForm);
  if (Has(form, sym::Help)) form.Send(sym::Help, Value(&self), id, x, y);
  else if (Application().IsObject()) Application().Send(sym::Help, Value(&self), id, x, y);
  return true;
}

// WM_INITMENUPOPUP: the menu object the pop-up belongs to requests its
// items' states. A pop-up of the window's menu bar is the control's oMenu;
// any other (a shortcut menu) the form's oPopup, else the control's oMenu.
Value WMInitMenuPopup(Object& self, const WinMsg& m) {
  if (HIWORD(m.lParam)) return {};  // the window menu
  const Value me(&self);
  const Value own = Has(me, sym::oMenu) ? Get(self, sym::oMenu) : Value();
  const Value form = self.Send(sym::GetForm);
  const Value shortcut = Has(form, sym::oPopup) ? Get(form, sym::oPopup) : Value();
  const HMENU bar = (GetWindowLongPtrA(m.hwnd, GWL_STYLE) & WS_CHILD) ? nullptr : GetMenu(m.hwnd);
  const bool ofBar = own.IsObject() && MenuContains(bar, reinterpret_cast<HMENU>(m.wParam));
  const Value menu = ofBar ? own : shortcut.IsObject() ? shortcut : own;
  if (!Has(menu, sym::RequestState)) return {};
  menu.Send(sym::RequestState);
  return 0;
}

// ---------------------------------------------------------------- TStdControl

// The focus arriving: the control's status-bar message, then the focus
// handling of every control.
Value StdWMSetFocus(Object& self, const FocusMsg& m) {
  ShowStatusMessage(self);
  return SuperHandler(self, sym::WMSetFocus, m);
}

}  // namespace zv::ctlx
