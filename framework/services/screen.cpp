#include "framework/services/screen.h"

#include <cstring>
#include <vector>

#include "framework/core/globals.h"
#include "framework/core/members.h"
#include "framework/services/cursor.h"

namespace zv {
namespace {

// The shared cursors of drag and drop.
constexpr int kArrowCursor = 32512;      // IDC_ARROW
constexpr int kNotAllowedCursor = 32648; // IDC_NO
constexpr const char* kDragCursorResource = "QV_CUR_DRAG";

// A memory device context compatible with the screen, for the duration of a
// query.
class ScreenDC {
 public:
  ScreenDC() : dc_(CreateCompatibleDC(nullptr)) {}
  ~ScreenDC() {
    if (dc_) DeleteDC(dc_);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  explicit operator bool() const { return dc_ != nullptr; }
  int Caps(int index) const { return dc_ ? GetDeviceCaps(dc_, index) : 0; }

 private:
  HDC dc_;
};

Value Pair(long long a, long long b) { return Value::List({Value(a), Value(b)}); }

// Two device capabilities of the screen, each times `scale`; {0, 0} when no
// context can be made.
Value CapsPair(int first, int second, int scale = 1) {
  ScreenDC dc;
  if (!dc) return Pair(0, 0);
  return Pair(static_cast<long long>(dc.Caps(first)) * scale, static_cast<long long>(dc.Caps(second)) * scale);
}

// ---------------------------------------------------------------- TScreen

// nMonitors is the length of aMonitors, so the two cannot disagree, whoever
// appends to or replaces the list.
Value MonitorCount(Object& self, Args) {
  Value list = Get(self, sym::aMonitors);
  return static_cast<long long>(list.IsList() ? list.Len() : 0);
}

// One screen object per process: the first to be initialised becomes the
// global Screen, takes the values and makes the cursors; any other answers
// that object and stays as it is.
Value Initialize(Object& self, Args) {
  if (Screen().IsObject()) return Screen();
  Screen() = Value(&self);
  Put(self, sym::set::lCreated, true);
  self.Send(sym::GetValues);
  Put(self, sym::set::oCursorArrow, NewObject(TCursorClass(), Value(kArrowCursor)));
  Put(self, sym::set::oCursorDropYes, NewObject(TCursorClass(), Value(kDragCursorResource)));
  Put(self, sym::set::oCursorDropNo, NewObject(TCursorClass(), Value(kNotAllowedCursor)));
  return Value(&self);
}

void EndCursor(Object& self, Symbol member, SetterSymbol setter) {
  Value cursor = Get(self, member);
  if (cursor.IsObject()) cursor.Send(sym::End);
  Put(self, setter, Value());
}

// Ends the cursors (a control that took the arrow falls back to the system's)
// and the display context.
Value End(Object& self, Args) {
  EndCursor(self, sym::oCursorArrow, sym::set::oCursorArrow);
  EndCursor(self, sym::oCursorDropYes, sym::set::oCursorDropYes);
  EndCursor(self, sym::oCursorDropNo, sym::set::oCursorDropNo);
  self.Send(sym::DeleteDC);
  Put(self, sym::set::lCreated, false);
  return {};
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
  return TRUE;
}

Value GetValues(Object& self, Args) {
  Put(self, sym::set::Handle, HandleValue(GetDesktopWindow()));
  Put(self, sym::set::nWidth, GetSystemMetrics(SM_CXSCREEN));
  Put(self, sym::set::nHeight, GetSystemMetrics(SM_CYSCREEN));
  RECT work{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) work = RECT{};
  Put(self, sym::set::nClientLeft, work.left);
  Put(self, sym::set::nClientTop, work.top);
  Put(self, sym::set::nClientWidth, work.right - work.left);
  Put(self, sym::set::nClientHeight, work.bottom - work.top);
  Put(self, sym::set::nCaptionHeight, GetSystemMetrics(SM_CYSMCAPTION));
  {
    ScreenDC dc;
    Put(self, sym::set::nPixelsPerInch, dc.Caps(LOGPIXELSX));
    Put(self, sym::set::nBitsPerPixel, dc.Caps(BITSPIXEL));
    Put(self, sym::set::nColorPlanes, dc.Caps(PLANES));
  }
  // The handles are gathered first and the monitors made afterwards: no
  // framework method runs inside the system's enumeration (an error raised
  // there would have to cross its frames).
  std::vector<HMONITOR> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  for (HMONITOR m : monitors) self.Send(sym::AddMonitor, HandleValue(m));
  return {};
}

// AddMonitor(hMonitor): a new monitor object, owned by the screen, appended
// to aMonitors.
Value AddMonitor(Object& self, Args a) {
  Value monitor = NewObject(TDisplayMonitorClass(), Value(&self));
  monitor.Send(sym::Initialize, a.Get(0));
  Value list = Get(self, sym::aMonitors);
  if (!list.IsList()) {
    list = Value::List({});
    Put(self, sym::set::aMonitors, list);
  }
  list.Append(monitor);
  return monitor;
}

Value Resolution(Object&, Args) { return CapsPair(LOGPIXELSX, LOGPIXELSY); }
Value PaperRes(Object&, Args) { return CapsPair(HORZRES, VERTRES); }
// In tenths of a millimetre, as a printer's paper size.
Value PaperSize(Object&, Args) { return CapsPair(HORZSIZE, VERTSIZE, 10); }
// The whole display is printable, as it were: no margin.
Value PhysicalOffset(Object&, Args) { return Pair(0, 0); }

Value DeleteDisplayDC(Object& self, Args) {
  if (HDC dc = ValueHandle<HDC>(Get(self, sym::hDC))) DeleteDC(dc);
  Put(self, sym::set::hDC, 0);
  return {};
}

// A context for the whole display in hDC; one made before is deleted first.
Value CreateDisplayDC(Object& self, Args a) {
  DeleteDisplayDC(self, a);
  HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  Put(self, sym::set::hDC, HandleValue(dc));
  return HandleValue(dc);
}

// ---------------------------------------------------------------- TDisplayMonitor

Value MonitorInitialize(Object& self, Args a) {
  const auto monitor = ValueHandle<HMONITOR>(a.Get(0));
  Put(self, sym::set::Handle, HandleValue(monitor));
  MONITORINFOEXA info{};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoA(monitor, &info)) info = MONITORINFOEXA{};
  // The device name fills its array when it is as long as the array.
  Put(self, sym::set::cName, std::string(info.szDevice, strnlen(info.szDevice, sizeof info.szDevice)));
  Put(self, sym::set::lPrimary, (info.dwFlags & MONITORINFOF_PRIMARY) != 0);
  const RECT& r = info.rcMonitor;
  Put(self, sym::set::nLeft, r.left);
  Put(self, sym::set::nTop, r.top);
  Put(self, sym::set::nWidth, r.right - r.left);
  Put(self, sym::set::nHeight, r.bottom - r.top);
  const RECT& w = info.rcWork;
  Put(self, sym::set::nClientLeft, w.left);
  Put(self, sym::set::nClientTop, w.top);
  Put(self, sym::set::nClientWidth, w.right - w.left);
  Put(self, sym::set::nClientHeight, w.bottom - w.top);
  return Value(&self);
}

}  // namespace

HMONITOR MONITORFROMWINDOW(HWND hwnd, DWORD flags) { return MonitorFromWindow(hwnd, flags); }

Class* QScreenClass() {
  static Class* c = [] {
    QVClass b("QScreen", {TComponentClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QSCREEN_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TScreenClass() {
  static Class* c = DeclarePublicClass("TScreen", QScreenClass());
  return c;
}

Class* QDisplayMonitorClass() {
  static Class* c = [] {
    QVClass b("QDisplayMonitor", {TComponentClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QDISPLAYMONITOR_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TDisplayMonitorClass() {
  static Class* c = DeclarePublicClass("TDisplayMonitor", QDisplayMonitorClass());
  return c;
}

}  // namespace zv
