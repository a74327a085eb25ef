#include "framework/window/wincontrol.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/core/application.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/control_paint.h"
#include "framework/window/messages.h"
#include "framework/window/paint_frame.h"

namespace zv {
namespace {

Value Controls(Object& self) {
  Value list = Get(self, sym::aControls);
  if (!list.IsList()) {
    list = Value::List({});
    Put(self, sym::set::aControls, list);
  }
  return list;
}

Value WinCreate(Object& self, Args a) {
  Controls(self).AsList().items.reserve(16);
  return Super(self, sym::Create, a);
}

// When the window exists: the tab-stop state, and WS_EX_CONTROLPARENT exactly
// when the container itself is not a tab stop (its children are reached).
Value WinCreateHandle(Object& self, Args a) {
  const bool tabStop = Get(self, sym::lTabStop).AsBool();
  std::int64_t ex = Get(self, sym::nExStyle).AsInt();
  ex = tabStop ? (ex & ~static_cast<std::int64_t>(WS_EX_CONTROLPARENT)) : (ex | WS_EX_CONTROLPARENT);
  Put(self, sym::set::nExStyle, ex);
  return Super(self, sym::CreateHandle, a);
}

Value InsertControl(Object& self, Args a) {
  Value control = a.Get(0);
  if (!control.IsObject()) return {};
  Controls(self).Append(control);
  if (Get(control, sym::nAlign).AsInt() != 0) self.Send(sym::AlignControls);
  Value form = self.Send(sym::GetForm);
  if (form.IsObject()) {
    Value message = Has(control, sym::cMessage) ? Get(control, sym::cMessage) : Value();
    if (message.IsString() && !message.AsString().empty() && Has(form, sym::lMsgAuto))
      form.Send(sym::set::lMsgAuto, true);
    if (Has(form, sym::AddShortCut)) form.Send(sym::AddShortCut, control);
  }
  return {};
}

// ---------------------------------------------------------------- layout

int Low16(long long v) { return static_cast<short>(v & 0xFFFF); }
int High16(long long v) { return static_cast<short>((v >> 16) & 0xFFFF); }

// The children's moves of one layout pass, made together: each child whose
// rectangle in the parent's client area differs is moved and/or sized
// (never activated, its z-order kept) with its whole client area
// invalidated (SWP_NOCOPYBITS), in one deferred batch that the system
// carries out at once; then the moved children are painted at once. Under
// Wine every invalidation and update is a round trip to the server, so
// they are made once per pass rather than once per child.
class ChildMoves {
 public:
  explicit ChildMoves(HWND parent) : parent_(parent) {}
  ChildMoves(const ChildMoves&) = delete;
  ChildMoves& operator=(const ChildMoves&) = delete;

  void Add(HWND child, int x, int y, int w, int h) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&r), 2);
    const bool moved = r.left != x || r.top != y;
    const bool sized = r.right - r.left != w || r.bottom - r.top != h;
    if (!moved && !sized) return;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
    if (!moved) flags |= SWP_NOMOVE;
    if (!sized) flags |= SWP_NOSIZE;
    moves_.push_back({child, x, y, w, h, flags});
  }

  // Makes the moves; a child that a handler destroyed meanwhile is skipped.
  void Apply() {
    if (moves_.empty()) return;
    HDWP batch = moves_.size() > 1 ? BeginDeferWindowPos(static_cast<int>(moves_.size())) : nullptr;
    for (const Move& m : moves_) {
      if (!IsWindow(m.hwnd)) continue;
      if (batch) batch = DeferWindowPos(batch, m.hwnd, nullptr, m.x, m.y, m.w, m.h, m.flags);
      if (!batch) SetWindowPos(m.hwnd, nullptr, m.x, m.y, m.w, m.h, m.flags);  // one alone, or no memory for a batch
    }
    if (batch) EndDeferWindowPos(batch);
    // A few children are updated one by one; many at once through the
    // parent (one walk over its children instead of one request each).
    if (moves_.size() > kUpdateOneByOne && IsWindow(parent_)) {
      RedrawWindow(parent_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    } else {
      for (const Move& m : moves_)
        if (IsWindow(m.hwnd)) UpdateWindow(m.hwnd);
    }
  }

 private:
  static constexpr std::size_t kUpdateOneByOne = 8;
  struct Move {
    HWND hwnd;
    int x, y, w, h;
    UINT flags;
  };
  HWND parent_;
  std::vector<Move> moves_;
};

// AlignControls(aRect, lOffset): lays the visible children out over the
// working rectangle {left, top, right, bottom} (else the client origin and
// size), in insertion order: aligned children take their strip of what is
// left, anchored ones keep their recorded distances to the edges. The
// offset flag (counted only when both arguments are passed) shifts the
// children by the rectangle's origin (a scrolled parent's).
Value AlignControls(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  long long rc[4] = {Get(self, sym::nClientLeft).AsInt(), Get(self, sym::nClientTop).AsInt(),
                     Get(self, sym::nClientWidth).AsInt(), Get(self, sym::nClientHeight).AsInt()};
  if (a.Get(0).IsList())
    for (std::size_t i = 0; i < 4; ++i) rc[i] = a.Get(0).Item(i + 1).AsInt();
  const bool offset = a.size() == 2 && a.Get(1).AsBool();
  // Clamped so that absurd rectangles cannot overflow the arithmetic below.
  for (long long& v : rc) v = v < -0x3FFFFFFF ? -0x3FFFFFFF : v > 0x3FFFFFFF ? 0x3FFFFFFF : v;
  long long wl = rc[0], wt = rc[1], wr = rc[2], wb = rc[3];
  const long long ol = rc[0], ot = rc[1], ow = rc[2], oh = rc[3];
  const std::vector<Value> children = Controls(self).AsList().items;  // a handler may change the list
  ChildMoves moves(hwnd);
  for (const Value& child : children) {
    const HWND ch = ObjectHwnd(child);
    if (!ch || !Get(child, sym::lVisible).AsBool()) continue;
    Object& c = *child.AsObject();
    const auto align = Get(c, sym::nAlign).AsInt();
    const auto anchors = Get(c, sym::nAnchors).AsInt();
    if (align == 0 && anchors == 3) {
      if (offset) {
        InvalidateRect(ch, nullptr, TRUE);
        SetWindowPos(ch, nullptr, static_cast<int>(Get(c, sym::FnLeft).AsInt() + ol),
                     static_cast<int>(Get(c, sym::FnTop).AsInt() + ot), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
        UpdateWindow(ch);
      } else if (Has(child, sym::AlignControls)) {
        child.Send(sym::AlignControls);
      }
      continue;
    }
    long long w = Get(c, sym::FnWidth).AsInt(), h = Get(c, sym::FnHeight).AsInt(), x = 0, y = 0;
    switch (align) {
      case 0: {
        const long long ax = Get(c, sym::nAnchorX).AsInt(), ay = Get(c, sym::nAnchorY).AsInt();
        x = Low16(ax);
        y = Low16(ay);
        const long long right = High16(ax), bottom = High16(ay);
        if ((anchors & 4) && (anchors & 1)) w = ow - right - x - 1;
        else if (anchors & 4) x = ow - right - w - 1;
        else if (!(anchors & 1)) x += (ow - x - right - w - 1) >> 1;  // centred in its free space
        if ((anchors & 8) && (anchors & 2)) h = oh - bottom - y - 1;
        else if (anchors & 8) y = oh - bottom - h - 1;
        else if (!(anchors & 2)) y += (oh - y - bottom - h - 1) >> 1;
        x += ol;
        y += ot;
        break;
      }
      case 1:
        x = wl, y = wt, h = wb - wt;
        wl += w;
        break;
      case 2:
        x = wl, y = wt, w = wr - wl;
        wt += h;
        break;
      case 3:
        y = wt, x = wr - w, h = wb - wt + (offset ? ot : 0);
        wr = x;
        if (offset) x += ol;
        break;
      case 4:
        x = wl, y = wb - h, w = wr - wl + (offset ? ol : 0);
        wb = y;
        if (offset) y += ot;
        break;
      case 5:
        x = wl, y = wt, w = wr - wl, h = wb - wt;
        wl = wt = wr = wb = -1;  // nothing is left for the children after it
        break;
      default: continue;
    }
    auto clamp = [](long long v) { return static_cast<int>(v < -32768 ? -32768 : v > 32767 ? 32767 : v); };
    moves.Add(ch, clamp(x), clamp(y), clamp(w < 0 ? 0 : w), clamp(h < 0 ? 0 : h));
  }
  moves.Apply();
  RethrowDeferred();
  return {};
}

// Removes the control's entry: the entry that is the control itself, else
// the first one with the control's window (a handle of 0 matches nothing:
// every control without a window has one). The form's shortcuts of the
// control go in any case.
Value RemoveControl(Object& self, Args a) {
  Value control = a.Get(0);
  if (!control.IsObject()) return {};
  const Value handle = Get(control, sym::Handle);
  auto& items = Controls(self).AsList().items;
  auto it = std::find_if(items.begin(), items.end(), [&](const Value& c) { return c.AsObject() == control.AsObject(); });
  if (it == items.end() && handle.AsInt() != 0)
    it = std::find_if(items.begin(), items.end(), [&](const Value& c) { return Get(c, sym::Handle) == handle; });
  if (it != items.end()) items.erase(it);
  Value form = self.Send(sym::GetForm);
  if (form.IsObject() && Has(form, sym::DelShortCut)) form.Send(sym::DelShortCut, control);
  return {};
}

Value WMDestroy(Object& self, const WinMsg& m) {
  Value r = SuperHandler(self, sym::WMDestroy, m);
  Controls(self).AsList().items.clear();  // the children's windows go after this one's WM_DESTROY
  return r;
}

Value Free(Object& self, Args a) {
  if (HBRUSH b = ValueHandle<HBRUSH>(Get(self, sym::hBkgnd))) {
    DeleteObject(b);
    Put(self, sym::set::hBkgnd, 0);
  }
  // Ended and cleared: the members must not point at dead objects.
  Value bkgnd = Get(self, sym::FoBkgnd);
  Put(self, sym::set::FoBkgnd, Value());
  if (bkgnd.IsObject()) bkgnd.Send(sym::End);
  Value menu = Get(self, sym::FoMenu);
  Put(self, sym::set::FoMenu, Value());
  if (menu.IsObject()) menu.Send(sym::Destroy);
  return Super(self, sym::Free, a);
}

// WM_COMMAND: menus and accelerators, or reflection to the child control.
Value WMCommand(Object& self, const CommandMsg& m) {
  const int code = m.code;
  const int id = m.id;
  if (!m.control) {
    if (code == 0) {
      Value form = self.Send(sym::GetForm);
      Value popup = form.IsObject() && Has(form, sym::oPopup) ? Get(form, sym::oPopup) : Value();
      if (Get(self, sym::lPopup).AsBool() && popup.IsObject()) popup.Send(sym::DoAction, id);
      else if (Value menu = Get(self, sym::oMenu); menu.IsObject()) menu.Send(sym::DoAction, id);
    }
    return {};  // code 1 (accelerator): nothing here
  }
  HWND sender = m.control;
  if (sender == ObjectHwnd(self)) return {};
  Value child = GETCONTROLFROMHANDLE(sender);
  if (child.IsObject()) return child.Send(sym::Command, code, id);
  return {};
}

// WM_NOTIFY: the tooltip notifications are the control's to answer (text
// requests for the children's whole-control tools, which name this window as
// theirs, and for this window's own zones; the release of texts handed out);
// the rest goes to the sending child.
Value WMNotify(Object& self, const NotifyMsg& m) {
  if (!m.lParam) return {};
  const NMHDR* hdr = m.header;
  if (ctlx::IsTooltipNotification(*hdr)) {
    Value r = SuperHandler(self, sym::WMNotify, m);
    if (!r.IsNil()) return r;
  }
  Value sender = GETCONTROLFROMHANDLE(hdr->hwndFrom);
  if (sender.IsObject() && sender.AsObject() != &self) return sender.Send(sym::Notify, WParamValue(m.wParam), LParamValue(m.lParam));
  return {};
}

// The five WM_CTLCOLOR... messages.
Value CtlColor(Object& self, const PaintMsg& m) {
  HWND controlWnd = reinterpret_cast<HWND>(m.lParam);
  Value control = GETCONTROLFROMHANDLE(controlWnd);
  if (control.IsObject() && control.AsObject() != &self) return control.Send(sym::GetCtlColor, HandleValue(m.hdc));
  HBRUSH brush = ValueHandle<HBRUSH>(Get(self, sym::hBrush));
  if (GetParent(controlWnd) == ObjectHwnd(self) && brush) return HandleValue(brush);
  return {};
}

// WM_ERASEBKGND: the paint frame on the given context, its drawing step
// the control's background (brush, pane colour or picture). Inside a
// double-buffered frame's BeginPaint nothing is erased: the buffer covers
// the window. A class may use this handler as its WMPaint too (a plain
// WM_PAINT then paints double-buffered); the result is then 0.
Value WMEraseBkgnd(Object& self, const PaintMsg& m) {
  const HWND hwnd = m.hwnd;
  if (!hwnd) return {};
  const bool erase = m.message == WM_ERASEBKGND;
  if (erase && InFrameBeginPaint(hwnd)) return true;
  if (erase && !m.hdc) return {};
  RunPaintFrame(self, hwnd, m.hdc,
                [&self, hwnd](HDC dc, const PAINTSTRUCT& ps) { ctlpaint::DrawingStep(self, hwnd, dc, ps.rcPaint); });
  if (erase) return true;
  return 0;
}

Value WMExitMenuLoop(Object& self, const WinMsg& m) {
  Put(self, sym::set::lPopup, m.wParam != 0);
  return {};
}

Value WMSize(Object& self, const SizeMsg&) {
  HWND hwnd = ObjectHwnd(self);
  if (hwnd) {
    RECT c{};
    GetClientRect(hwnd, &c);
    Put(self, sym::set::FnClientWidth, static_cast<long long>(c.right));
    Put(self, sym::set::FnClientHeight, static_cast<long long>(c.bottom));
  }
  self.Send(sym::AlignControls);
  return {};
}

// The focus arriving at a container goes on to its active (or first) child.
Value WMSetFocus(Object& self, const FocusMsg& m) {
  if (Get(self, sym::lTabStop).AsBool()) return SuperHandler(self, sym::WMSetFocus, m);
  Value active = Get(self, sym::oActiveControl);
  if (!active.IsObject() || !ObjectHwnd(active) || !IsWindow(ObjectHwnd(active)))
    Put(self, sym::set::oActiveControl, self.Send(sym::GoFirstControl));
  else
    active.Send(sym::SetFocus);
  return 0;
}

// The active child; the chain of containers up to the form follows it.
Value SetActiveControl(Object& self, Args a) {
  Put(self, sym::set::FoActiveControl, a.Get(0));
  Value parent = Get(self, sym::oParent);
  if (a.Get(0).IsObject() && parent.IsObject() && Has(parent, sym::oActiveControl) &&
      parent.AsObject() != Application().AsObject())
    parent.Send(sym::set::oActiveControl, Value(&self));
  return a.Get(0);
}

// A radio button, also one built on "BUTTON" through a class of the framework.
bool IsRadioButton(HWND hwnd) {
  const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE) & 0x0F;
  return (style == BS_RADIOBUTTON || style == BS_AUTORADIOBUTTON) &&
         SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON;
}

Value GoFirstControl(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) {
    self.Send(sym::GoNextControl, HandleValue(hwnd));
    return {};
  }
  const std::vector<Value> children = Controls(self).AsList().items;
  for (const Value& child : children) {
    HWND h = ObjectHwnd(child);
    if (!h || !IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
    const bool tabStop = Get(child, sym::lTabStop).AsBool();
    if (tabStop && (!IsRadioButton(h) || (Has(child, sym::lChecked) ? Get(child, sym::lChecked).AsBool()
                                                                          : SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED))) {
      child.Send(sym::SetFocus);
      return child;
    }
    if (Has(child, sym::GoFirstControl) && Has(child, sym::aControls)) {
      Value r = child.Send(sym::GoFirstControl);
      if (r.IsObject()) return r;
    }
  }
  return {};
}

// The first visible, enabled tab stop among a window's descendants.
HWND FirstTabStop(HWND container) {
  for (HWND c = GetWindow(container, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
    if (GetWindowLongPtrA(c, GWL_STYLE) & WS_TABSTOP) return c;
    if (HWND inner = FirstTabStop(c)) return inner;
  }
  return nullptr;
}

HWND FindTarget(HWND self, HWND form, HWND start, bool previous) {
  HWND container = self;
  HWND first = FirstTabStop(container);
  while (!first && container && container != form) {
    container = GetParent(container);
    first = container ? FirstTabStop(container) : nullptr;
  }
  if (!first) return nullptr;
  for (int guard = 0; container && guard < 64; ++guard) {
    HWND cand = GetNextDlgTabItem(container, start, previous);
    const bool ok = cand && cand != start && (GetWindowLongPtrA(cand, GWL_STYLE) & WS_TABSTOP) &&
                    (previous || cand != FirstTabStop(container) || start == container);
    if (ok) return cand;
    if (container == form) return FirstTabStop(form);
    start = container;
    container = GetParent(container);
  }
  return nullptr;
}

Value GoDirection(Object& self, Args a, bool previous) {
  if (!a.Get(1).AsBool()) self.Send(sym::RequestState);
  HWND start = ValueHwnd(a.Get(0));
  if (!start) start = GetFocus();
  HWND hwnd = ObjectHwnd(self);
  Value form = self.Send(sym::GetForm);
  HWND formWnd = ObjectHwnd(form.IsObject() ? form : Value(&self));
  HWND target = FindTarget(hwnd, formWnd, start, previous);
  Value from = GETCONTROLFROMHANDLE(start);
  if (target && from.IsObject()) {
    Value to = GETCONTROLFROMHANDLE(target);
    if (Has(from, sym::Valid) && from.Send(sym::Valid, to).IsFalse()) return 0;
    if (Has(from, sym::lFocused)) Put(from, sym::set::lFocused, false);
    HWND again = FindTarget(hwnd, formWnd, start, previous);  // validation may have changed the form
    if (again) ::SetFocus(again);
    RethrowDeferred();
  } else if (target) {
    ::SetFocus(target);
    RethrowDeferred();
  }
  return HandleValue(target);
}

Value GoNextControl(Object& self, Args a) { return GoDirection(self, a, false); }
Value GoPrevControl(Object& self, Args a) { return GoDirection(self, a, true); }

// Its own request, then every standard child's, from the last to the first.
Value RequestState(Object& self, Args a) {
  Super(self, sym::RequestState, a);
  const std::vector<Value> children = Controls(self).AsList().items;
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if (it->IsObject() && it->AsObject()->GetClass()->IsDerivedFrom(TStdControlClass())) it->Send(sym::RequestState);
  return {};
}

Value SetMenu(Object& self, Args a) {
  Put(self, sym::set::FoMenu, a.Get(0));
  return a.Get(0);
}

Value SetBkgnd(Object& self, Args a) {
  Put(self, sym::set::FoBkgnd, a.Get(0));
  UpdateBackgroundBrush(self);
  if (HWND hwnd = ObjectHwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return a.Get(0);
}

Value SetBkgndMode(Object& self, Args a) {
  Put(self, sym::set::FnBkgndMode, a.Get(0));
  if (HWND hwnd = ObjectHwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return a.Get(0);
}

}  // namespace

Class* QWinControlClass() {
  static Class* c = [] {
    QVClass b("QWinControl", {TStdControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QWINCONTROL_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TWinControlClass() {
  static Class* c = DeclarePublicClass("TWinControl", QWinControlClass());
  return c;
}

}  // namespace zv
