#include "framework/window/scrolling.h"

#include <algorithm>

#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/messages.h"

namespace zv {
namespace {

long long Num(Object& self, Symbol s) { return Get(self, s).AsInt(); }

// The members of one axis.
struct Axis {
  int bar;  // SB_VERT or SB_HORZ
  UINT message;
  Symbol origin, virtualSize, clientSize, used;
  SetterSymbol setOrigin, setUsed;
  Symbol lineBack, lineOn, pageBack, pageOn, thumbPos, thumbTrack;
};

const Axis kVertical{SB_VERT,
                     WM_VSCROLL,
                     sym::FnClientTop,
                     sym::FnVirtualHeight,
                     sym::FnClientHeight,
                     sym::lVScroll,
                     sym::set::FnClientTop,
                     sym::set::lVScroll,
                     sym::OnScrollUp,
                     sym::OnScrollDown,
                     sym::OnScrollPageUp,
                     sym::OnScrollPageDown,
                     sym::OnThumbPosV,
                     sym::OnThumbTrackV};
const Axis kHorizontal{SB_HORZ,
                       WM_HSCROLL,
                       sym::FnClientLeft,
                       sym::FnVirtualWidth,
                       sym::FnClientWidth,
                       sym::lHScroll,
                       sym::set::FnClientLeft,
                       sym::set::lHScroll,
                       sym::OnScrollLeft,
                       sym::OnScrollRight,
                       sym::OnScrollPageLeft,
                       sym::OnScrollPageRight,
                       sym::OnThumbPosH,
                       sym::OnThumbTrackH};

// Brings one scroll bar in step with the virtual and client sizes; true
// when the origin had to move (the end of the virtual area had come inside
// the client area).
bool AdjustAxis(Object& self, const Axis& ax, bool redraw) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd || !Get(self, sym::FlAutoScroll).AsBool()) return false;
  bool moved = false;
  const long long virt = std::max(0LL, Num(self, ax.virtualSize)), client = Num(self, ax.clientSize);
  long long origin = Num(self, ax.origin);
  if (origin + virt < client) {
    origin = std::min(client - virt, 0LL);
    Put(self, ax.setOrigin, origin);
    moved = true;
  }
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = static_cast<int>(std::min(virt - 1, 0x7FFFFFFFLL));
  si.nPage = static_cast<UINT>(std::max(0LL, client));
  si.nPos = static_cast<int>(-origin);
  Put(self, ax.setUsed, virt > client);
  // Showing or hiding the bar changes the client size (a WM_SIZE comes
  // back at once, and adjusts again with the new size).
  SetScrollInfo(hwnd, ax.bar, &si, redraw ? TRUE : FALSE);
  return moved;
}

// ---------------------------------------------------------------- virtual size

Value ProcessControl(Object& self, Args a) {
  const Value c = a.Get(0);
  if (!c.IsObject()) return {};
  const long long left = Get(c, sym::nLeft).AsInt(), top = Get(c, sym::nTop).AsInt();
  const long long width = Get(c, sym::nWidth).AsInt(), height = Get(c, sym::nHeight).AsInt();
  const long long anchors = Get(c, sym::nAnchors).AsInt();
  long long vw = Num(self, sym::FnVirtualWidth), vh = Num(self, sym::FnVirtualHeight);
  switch (Get(c, sym::nAlign).AsInt()) {
    case 0:
      if (!(anchors & 8)) vh = std::max(vh, top + height + Num(self, sym::nExtraHeight));
      if (!(anchors & 4)) vw = std::max(vw, left + width + Num(self, sym::nExtraWidth));
      break;
    case 2: vh = std::max(vh, top + height); break;
    case 4:
      Put(self, sym::set::nExtraHeight, Num(self, sym::nExtraHeight) + height);
      vh += height;
      break;
    case 1: vw = std::max(vw, left + width); break;
    case 3:
      Put(self, sym::set::nExtraWidth, Num(self, sym::nExtraWidth) + width);
      vw += width;
      break;
    default: break;
  }
  Put(self, sym::set::FnVirtualWidth, vw);
  Put(self, sym::set::FnVirtualHeight, vh);
  return {};
}

Value Adjust(Object& self, Args a) {
  const bool redraw = !a.Has(0) || a.Get(0).AsBool();
  const bool v = self.Send(sym::VAdjust, redraw).AsBool();
  const bool h = self.Send(sym::HAdjust, redraw).AsBool();
  return v || h;
}
Value VAdjust(Object& self, Args a) { return AdjustAxis(self, kVertical, !a.Has(0) || a.Get(0).AsBool()); }
Value HAdjust(Object& self, Args a) { return AdjustAxis(self, kHorizontal, !a.Has(0) || a.Get(0).AsBool()); }

Value ScrollCreate(Object& self, Args a) {
  Super(self, sym::Create, a);
  self.Send(sym::Adjust, true);
  return Value(&self);
}

Value ScrollInsertControl(Object& self, Args a) {
  Super(self, sym::InsertControl, a);
  const Value c = a.Get(0);
  if (Get(self, sym::FlAutoScroll).AsBool() && c.IsObject() && Get(c, sym::lVisible).AsBool()) {
    self.Send(sym::ProcessControl, c);
    self.Send(sym::Adjust, true);
  }
  return {};
}

Value ScrollRemoveControl(Object& self, Args a) {
  Super(self, sym::RemoveControl, a);
  self.Send(sym::SetAutoScroll);
  return {};
}

// SetAutoScroll(lValue): the virtual size computed again from the visible
// children.
Value SetAutoScroll(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FlAutoScroll, a.Get(0).AsBool());
  Put(self, sym::set::FnVirtualWidth, 0);
  Put(self, sym::set::FnVirtualHeight, 0);
  Put(self, sym::set::nExtraWidth, 0);
  Put(self, sym::set::nExtraHeight, 0);
  if (Get(self, sym::FlAutoScroll).AsBool()) {
    const Value list = Get(self, sym::aControls);
    const std::vector<Value> children = list.IsList() ? list.AsList().items : std::vector<Value>();
    for (const Value& c : children)
      if (c.IsObject() && Get(c, sym::lVisible).AsBool()) self.Send(sym::ProcessControl, c);
  }
  self.Send(sym::Adjust, true);
  return Get(self, sym::FlAutoScroll);
}

Value SetVirtualBounds(Object& self, Args a) {
  const SetterSymbol fields[] = {sym::set::FnClientLeft, sym::set::FnClientTop, sym::set::FnVirtualWidth,
                                 sym::set::FnVirtualHeight};
  for (std::size_t i = 0; i < 4; ++i)
    if (a.Has(i)) Put(self, fields[i], a.Get(i).AsInt());
  self.Send(sym::Adjust, true);
  return {};
}

Value SetVirtualSize(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnVirtualWidth, a.Get(0).AsInt());
  if (a.Has(1)) Put(self, sym::set::FnVirtualHeight, a.Get(1).AsInt());
  self.Send(sym::Adjust, true);
  return {};
}

Value SetClientLeft(Object& self, Args a) { return self.Send(sym::SetVirtualBounds, a.Get(0)), a.Get(0); }
Value SetClientTop(Object& self, Args a) { return self.Send(sym::SetVirtualBounds, Value(), a.Get(0)), a.Get(0); }
Value SetVirtualWidth(Object& self, Args a) { return self.Send(sym::SetVirtualSize, a.Get(0)), a.Get(0); }
Value SetVirtualHeight(Object& self, Args a) { return self.Send(sym::SetVirtualSize, Value(), a.Get(0)), a.Get(0); }

// ---------------------------------------------------------------- scrolling

// A form's status bar (oMsgBar) sits at the bottom of the client area,
// outside the scrolled area: its height is not part of nClientHeight.
long long StatusBarHeight(Object& self) {
  if (!Has(Value(&self), sym::oMsgBar)) return 0;
  const HWND bar = ObjectHwnd(Get(self, sym::oMsgBar));
  if (!bar || !(GetWindowLongPtrA(bar, GWL_STYLE) & WS_VISIBLE)) return 0;
  RECT r{};
  GetWindowRect(bar, &r);
  return r.bottom - r.top;
}

// ScrollWindow moves every child window, the status bar too: it goes back.
void PlaceStatusBar(Object& self) {
  if (!Has(Value(&self), sym::oMsgBar)) return;
  const Value bar = Get(self, sym::oMsgBar);
  if (ObjectHwnd(bar) && Has(bar, sym::Resize)) bar.Send(sym::Resize);
}

Value Scroll(Object& self, const WinMsg& m, const Axis& ax) {
  const HWND hwnd = m.hwnd;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(hwnd, ax.bar, &si);
  if (m.lParam) {
    // From a separate scroll-bar control: it is that control's request.
    const HWND bar = reinterpret_cast<HWND>(m.lParam);
    if (bar != hwnd && IsWindow(bar)) SendMessageA(bar, ax.message, m.wParam, 0);
    return 0;
  }
  const long long pos = si.nPos, page = static_cast<long long>(si.nPage);
  long long next = pos;
  Symbol event = sym::Create;
  bool fires = true;
  long long shown = pos;
  switch (LOWORD(m.wParam)) {
    case SB_LINEUP: event = ax.lineBack, next = pos - Num(self, sym::FnScrollIncrement); break;
    case SB_LINEDOWN: event = ax.lineOn, next = pos + Num(self, sym::FnScrollIncrement); break;
    case SB_PAGEUP: event = ax.pageBack, next = pos - page; break;
    case SB_PAGEDOWN: event = ax.pageOn, next = pos + page; break;
    case SB_THUMBPOSITION: event = ax.thumbPos, next = shown = si.nTrackPos; break;
    case SB_THUMBTRACK: event = ax.thumbTrack, next = shown = si.nTrackPos; break;
    default: fires = false; break;
  }
  if (fires) {
    const Value r = self.Send(event, shown);
    if (r.IsNumber()) next = r.AsInt();
  }
  const long long last = static_cast<long long>(si.nMax) - page + 1;
  if (next > last) next = last;
  if (next < si.nMin) next = si.nMin;
  if (next == pos || !IsWindow(hwnd)) return 0;
  const bool transparent = Get(self, sym::FlTransparent).AsBool();
  si.fMask = SIF_POS;
  si.nPos = static_cast<int>(next);
  SetScrollInfo(hwnd, ax.bar, &si, TRUE);
  Put(self, ax.setOrigin, -next);
  if (!transparent) {
    const int delta = static_cast<int>(pos - next);
    if (ax.bar == SB_VERT) ScrollWindow(hwnd, 0, delta, nullptr, nullptr);
    else ScrollWindow(hwnd, delta, 0, nullptr, nullptr);
    PlaceStatusBar(self);
    UpdateWindow(hwnd);
  }
  if (Get(self, sym::hBkgnd).AsInt() || Get(self, sym::hTheme).AsInt()) {
    if (HDC dc = GetWindowDC(hwnd)) {
      SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      ReleaseDC(hwnd, dc);
    }
  }
  if (transparent) self.Send(sym::AlignControls);
  RethrowDeferred();
  return 0;
}

Value WMVScroll(Object& self, const WinMsg& m) { return Scroll(self, m, kVertical); }
Value WMHScroll(Object& self, const WinMsg& m) { return Scroll(self, m, kHorizontal); }

// One line per wheel message: Shift (or no vertical scrolling) turns it
// horizontal.
Value WMMouseWheel(Object& self, const WinMsg& m) {
  const short delta = static_cast<short>(HIWORD(m.wParam));
  if (delta == 0) return 0;
  const int keys = LOWORD(m.wParam);
  const WPARAM request = delta < 0 ? SB_LINEDOWN : SB_LINEUP;
  if ((keys & MK_SHIFT) || !Get(self, sym::lVScroll).AsBool()) {
    if (Get(self, sym::lHScroll).AsBool()) SendMessageA(m.hwnd, WM_HSCROLL, request, 0);
  } else {
    SendMessageA(m.hwnd, WM_VSCROLL, request, 0);
  }
  RethrowDeferred();
  return 0;
}

// WM_SIZE with a real size: the bars and the layout follow. A re-entrant
// size message (a bar appearing or going) adjusts with the newest size.
Value ScrollSize(Object& self, const SizeMsg& m) {
  if (HWND hwnd = m.hwnd) {
    RECT c{};
    GetClientRect(hwnd, &c);
    Put(self, sym::set::FnClientWidth, static_cast<long long>(c.right));
    Put(self, sym::set::FnClientHeight, std::max<long long>(0, c.bottom - StatusBarHeight(self)));
  }
  if (m.lParam != 0 && m.width > 0 && m.height > 0) {
    self.Send(sym::Adjust, true);
    self.Send(sym::AlignControls);
  }
  return 0;
}

// The aligned children are laid out over the whole virtual area, shifted
// by the scroll position.
Value ScrollAlignControls(Object& self, Args) {
  const Value rect = Value::List({Num(self, sym::FnClientLeft), Num(self, sym::FnClientTop),
                                  std::max(Num(self, sym::FnVirtualWidth), Num(self, sym::FnClientWidth)),
                                  std::max(Num(self, sym::FnVirtualHeight), Num(self, sym::FnClientHeight))});
  Value argv[] = {rect, true};
  return Super(self, sym::AlignControls, Args(argv, 2));
}

}  // namespace

Class* QScrollingWinControlClass() {
  static Class* c = [] {
    QVClass b("QScrollingWinControl", {TWinControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QSCROLLINGWINCONTROL_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TScrollingWinControlClass() {
  static Class* c = DeclarePublicClass("TScrollingWinControl", QScrollingWinControlClass());
  return c;
}

}  // namespace zv
