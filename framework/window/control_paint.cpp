#include "framework/window/control_paint.h"

#include <string>
#include <unordered_map>

#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/paint_frame.h"
#include "framework/window/theme.h"

namespace zv::ctlpaint {
namespace {

Value RectList(const RECT& r) {
  return Value::List({static_cast<long long>(r.left), static_cast<long long>(r.top), static_cast<long long>(r.right),
                      static_cast<long long>(r.bottom)});
}

// A control on a system class paints with that class's procedure.
bool OnSystemClass(Object& self) { return !Get(self, sym::cWinClassName).AsString().empty(); }

// Paints begun with the BeginPaint method and not yet ended, per window.
std::unordered_map<HWND, PAINTSTRUCT>& OpenPaints() {
  static std::unordered_map<HWND, PAINTSTRUCT> paints;
  return paints;
}

}  // namespace

void DrawingStep(Object& self, HWND hwnd, HDC dc, const RECT& area) {
  const Value custom = Get(self, sym::uControlPaint);
  if (custom.IsCallable()) {
    custom.Call(Value(&self), HandleValue(dc), RectList(area));
    return;
  }
  if (custom.IsString() && !custom.AsString().empty()) {
    Value argv[] = {HandleValue(dc), RectList(area)};
    SendUnchecked(Value(&self), Msg(custom.AsString()), Args(argv, 2));
    return;
  }
  PaintControlBackground(self, hwnd, dc, area);
}

// WM_PAINT: with an OnPaint handler the control paints through the frame,
// double-buffered: the buffer starts with the control's background, OnPaint
// draws, OnPainted draws over it. Without one the class paints.
Value WMPaint(Object& self, const PaintMsg& m) {
  if (!EventAssigned(self, sym::OnPaint.name())) return {};
  RunPaintFrame(self, m.hwnd, m.hdc, [](HDC, const PAINTSTRUCT&) {}, kFrameEraseBuffer);
  return 0;
}

// Inside a frame's BeginPaint the buffer covers the window: nothing is
// erased on the screen.
Value WMEraseBkgnd(Object&, const PaintMsg& m) {
  if (InFrameBeginPaint(m.hwnd)) return true;
  return {};
}

// WM_PRINTCLIENT: the frame on the given context over the client area; a
// system class prints itself as its drawing step.
Value WMPrintClient(Object& self, const PaintMsg& m) {
  if (!m.hdc) return 0;
  RunPaintFrame(self, m.hwnd, m.hdc, [&self, &m](HDC dc, const PAINTSTRUCT& ps) {
    if (OnSystemClass(self)) PREVWINDOWPROC(m.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), m.lParam);
    else DrawingStep(self, m.hwnd, dc, ps.rcPaint);
  });
  return 0;
}

// EraseAndPaint(hDC) / EraseSolidAndPaint(hDC): the system-class paths as
// methods (hDC 0 paints the window's invalid part double-buffered).
namespace {
Value PaintAsMessage(Object& self, Args a, Value (*handler)(Object&, const PaintMsg&)) {
  PaintMsg m;
  m.hwnd = ObjectHwnd(self);
  m.message = WM_PAINT;
  m.hdc = ValueHandle<HDC>(a.Get(0));
  return m.hwnd ? handler(self, m) : Value(0);
}
}  // namespace

Value EraseAndPaint(Object& self, Args a) { return PaintAsMessage(self, a, &EraseAndPaintHandler); }
Value EraseSolidAndPaint(Object& self, Args a) { return PaintAsMessage(self, a, &EraseSolidAndPaintHandler); }

// BeginPaint(): begins the window's paint for a handler drawing by itself;
// answers the context (0 without a window or when a paint is already
// begun). EndPaint() ends it.
Value BeginPaintMethod(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd || OpenPaints().count(hwnd)) return 0;
  PAINTSTRUCT ps{};
  HDC dc = ::BeginPaint(hwnd, &ps);
  if (!dc) return 0;
  OpenPaints()[hwnd] = ps;
  return HandleValue(dc);
}

Value EndPaintMethod(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  auto it = OpenPaints().find(hwnd);
  if (it == OpenPaints().end()) return false;
  ::EndPaint(hwnd, &it->second);
  OpenPaints().erase(it);
  return true;
}

Value Redraw(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self)) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  RethrowDeferred();
  return {};
}

// ---------------------------------------------------------------- border styles

namespace {

// The border's width for each style: half edges and the flat line take one
// pixel, full edges two.
int BorderWidth(long long style) {
  switch (style) {
    case 1: case 2: case 7: return 1;
    case 3: case 4: case 5: case 6: return 2;
    default: return 0;
  }
}

void DrawBorder(HDC dc, RECT r, long long style) {
  switch (style) {
    case 1: DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT); break;
    case 2: DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT); break;
    case 3: DrawEdge(dc, &r, EDGE_RAISED, BF_RECT); break;
    case 4: DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT); break;
    case 5: DrawEdge(dc, &r, EDGE_BUMP, BF_RECT); break;
    case 6: DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT); break;
    case 7: FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW)); break;
    default: break;
  }
}

}  // namespace

// SetBorderStyle(nStyle): one of the eight border styles (0 none ... 7
// flat), drawn by the control in its non-client area; the frame is
// recomputed at once.
Value SetBorderStyle(Object& self, Args a) {
  long long style = a.Get(0).AsInt();
  if (style < 0 || style > 7) style = 0;
  Put(self, sym::set::FnBorderStyle, style);
  if (HWND hwnd = ObjectHwnd(self)) {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    RethrowDeferred();
    self.Send(sym::UpdateClientRect);
  }
  return style;
}

// WM_NCCALCSIZE: the border takes the window's outer edge, and the standard
// frame and the scroll bars are laid out inside it. (The system places a
// scroll bar beside the client rectangle: a border taken from the client
// alone would put it inside the bar's place and leave the window's edge
// unpainted.)
Value WMNCCalcSize(Object& self, const WinMsg& m) {
  const int width = BorderWidth(Get(self, sym::FnBorderStyle).AsInt());
  if (!width || !m.lParam) return {};
  // Both forms of the message begin with the proposed window rectangle,
  // which the standard procedure turns into the client rectangle.
  RECT* rect = reinterpret_cast<RECT*>(m.lParam);
  rect->left += width;
  rect->top += width;
  rect->right = rect->right - width < rect->left ? rect->left : rect->right - width;
  rect->bottom = rect->bottom - width < rect->top ? rect->top : rect->bottom - width;
  return static_cast<long long>(PREVWINDOWPROC(m.hwnd, m.message, m.wParam, m.lParam));
}

// WM_NCPAINT: the standard frame and scroll bars first, then the border
// along the window's edge.
Value WMNCPaint(Object& self, const WinMsg& m) {
  const long long style = Get(self, sym::FnBorderStyle).AsInt();
  const int width = BorderWidth(style);
  if (!width) return {};
  PREVWINDOWPROC(m.hwnd, m.message, m.wParam, m.lParam);
  HDC dc = GetWindowDC(m.hwnd);
  if (!dc) return 0;
  RECT window{};
  GetWindowRect(m.hwnd, &window);
  OffsetRect(&window, -window.left, -window.top);
  DrawBorder(dc, window, style);
  ReleaseDC(m.hwnd, dc);
  return 0;
}

// ---------------------------------------------------------------- owner draw

namespace {

// The object an owner-draw message is about: a menu's (the window's menu
// bar, else the form's shortcut menu) or the child control's.
Value OwnerDrawTarget(Object& self, UINT type, HWND item, UINT id) {
  if (type == ODT_MENU) {
    Value menu = Has(Value(&self), sym::oMenu) ? Get(self, sym::FoMenu) : Value();
    if (!menu.IsObject()) {
      Value form = self.Send(sym::GetForm);
      if (form.IsObject() && Has(form, sym::oPopup)) menu = Get(form, sym::oPopup);
    }
    return menu;
  }
  HWND hwnd = ObjectHwnd(self);
  if (!item && hwnd) item = GetDlgItem(hwnd, static_cast<int>(id));
  return item ? GETCONTROLFROMHANDLE(item) : Value();
}

}  // namespace

// WM_DRAWITEM: the item is drawn by the control that owns it, as
// DrawItem(hDC, aRect, nItemID, nItemState, nItemAction, nItemData).
// Answers true when it drew.
Value WMDrawItem(Object& self, const WinMsg& m) {
  const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
  if (!dis) return {};
  Value target = OwnerDrawTarget(self, dis->CtlType, dis->CtlType == ODT_MENU ? nullptr : dis->hwndItem, dis->CtlID);
  if (!target.IsObject() || !Has(target, sym::DrawItem)) return {};
  const int saved = SaveDC(dis->hDC);
  Value r = target.Send(sym::DrawItem, HandleValue(dis->hDC), RectList(dis->rcItem),
                        static_cast<long long>(static_cast<int>(dis->itemID)), static_cast<long long>(dis->itemState),
                        static_cast<long long>(dis->itemAction), static_cast<long long>(dis->itemData));
  RestoreDC(dis->hDC, saved);
  if (r.IsNil() || r.IsFalse()) return {};
  return true;
}

// WM_MEASUREITEM: the owner answers MeasureItem(nItemID, nItemData,
// nWidth, nHeight) with a height or {width, height}.
Value WMMeasureItem(Object& self, const WinMsg& m) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam);
  if (!mis) return {};
  Value target = OwnerDrawTarget(self, mis->CtlType, nullptr, mis->CtlID);
  if (!target.IsObject() || !Has(target, sym::MeasureItem)) return {};
  Value r = target.Send(sym::MeasureItem, static_cast<long long>(static_cast<int>(mis->itemID)),
                        static_cast<long long>(mis->itemData), static_cast<long long>(mis->itemWidth),
                        static_cast<long long>(mis->itemHeight));
  auto clamp = [](long long v) { return static_cast<UINT>(v < 0 ? 0 : v > 0x7FFF ? 0x7FFF : v); };
  if (r.IsList() && r.AsList().items.size() >= 2) {
    mis->itemWidth = clamp(r.Item(1).AsInt());
    mis->itemHeight = clamp(r.Item(2).AsInt());
  } else if (r.IsNumber()) {
    mis->itemHeight = clamp(r.AsInt());
  } else {
    return {};
  }
  return true;
}

// ---------------------------------------------------------------- themes

namespace {

void CloseTheme(Object& self) {
  theme::Close(ValueHandle<HTHEME>(Get(self, sym::hTheme)));
  Put(self, sym::set::hTheme, 0);
}

}  // namespace

void ApplyTheme(Object& self) {
  CloseTheme(self);
  HWND hwnd = ObjectHwnd(self);
  const Value classes = Get(self, sym::FcTheme);
  if (!hwnd || !classes.IsString() || classes.AsString().empty()) return;
  const std::wstring list = WidenText(classes.AsString());
  if (HTHEME h = theme::Open(hwnd, list.c_str())) Put(self, sym::set::hTheme, HandleValue(h));
}

// SetTheme(cClassList): the theme classes the control draws with ("BUTTON",
// "EDIT;WINDOW"...); an empty text (or themes off) means the classic look.
Value SetTheme(Object& self, Args a) {
  const Value v = a.Get(0);
  Put(self, sym::set::FcTheme, v.IsString() ? v : Value(""));
  ApplyTheme(self);
  self.Send(sym::Refresh);
  return Get(self, sym::FcTheme);
}

// WM_THEMECHANGED: the theme data is opened again (styles may have been
// switched on or off) and the control repainted; the class sees the
// message too.
Value WMThemeChanged(Object& self, const WinMsg&) {
  ApplyTheme(self);
  self.Send(sym::Refresh);
  return {};
}

void ReleasePaintResources(Object& self, HWND hwnd) {
  CloseTheme(self);
  auto it = OpenPaints().find(hwnd);
  if (it != OpenPaints().end()) {
    ::EndPaint(hwnd, &it->second);
    OpenPaints().erase(it);
  }
  if (HBRUSH brush = ValueHandle<HBRUSH>(Get(self, sym::hBkgnd))) {
    DeleteObject(brush);
    Put(self, sym::set::hBkgnd, 0);
  }
}

}  // namespace zv::ctlpaint
