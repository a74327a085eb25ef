// TScreen: the process-wide screen object (the global Screen). It holds a
// snapshot of the desktop metrics and of the display monitors (one
// TDisplayMonitor each), answers the display's resolution and size in the
// shapes a printer object answers them, and owns the cursors shared by
// drag and drop: the arrow, "may drop here" and "may not drop here".
//
// The values are taken when GetValues runs (Initialize runs it once): they
// are not updated when the display changes. Running GetValues again takes
// the metrics anew and appends the monitors once more to aMonitors; nMonitors
// is always the length of that list.
#pragma once

#include <windows.h>

#include "framework/window/winobject.h"

#define ZV_QSCREEN_MEMBERS(X) \
  X(PROPERTY_R, int, nWidth, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nHeight, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nClientLeft, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nClientTop, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nClientWidth, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nClientHeight, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nCaptionHeight, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nPixelsPerInch, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nBitsPerPixel, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nColorPlanes, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nMonitors, .dflt = 0, .readOnly = true, .getter = &MonitorCount) \
  X(PROPERTY, Value, aMonitors, .dflt = Value::List({})) \
  X(DATA_R, long long, Handle, 0) \
  X(DATA_R, long long, hDC, 0) \
  X(DATA_R, Value, oCursorArrow, Value()) \
  X(DATA, Value, oCursorDropYes, Value()) \
  X(DATA, Value, oCursorDropNo, Value()) \
  X(CONSTRUCTOR, Initialize, &Initialize) \
  X(METHOD, End, &End) \
  X(METHOD, GetValues, &GetValues) \
  X(METHOD, AddMonitor, &AddMonitor) \
  X(METHOD, Resolution, &Resolution) \
  X(METHOD, PaperRes, &PaperRes) \
  X(METHOD, PaperSize, &PaperSize) \
  X(METHOD, PaperPhysicalSize, &PaperSize) \
  X(METHOD, PhysicalOffset, &PhysicalOffset) \
  X(METHOD, CreateDC, &CreateDisplayDC) \
  X(METHOD, DeleteDC, &DeleteDisplayDC)

// One display monitor, as GetMonitorInfo describes it when Initialize(hMonitor)
// runs: the device name, whether it is the primary monitor, its rectangle and
// its work area (the rectangle less the task bars). A monitor the system does
// not know leaves zeros and an empty name.
#define ZV_QDISPLAYMONITOR_MEMBERS(X) \
  X(PROPERTY_R, long long, Handle, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, std::string, cName, .dflt = "", .readOnly = true) \
  X(PROPERTY_R, bool, lPrimary, .dflt = false, .readOnly = true) \
  X(PROPERTY_R, int, nLeft, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nTop, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nWidth, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nHeight, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nClientLeft, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nClientTop, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nClientWidth, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nClientHeight, .dflt = 0, .readOnly = true) \
  X(CONSTRUCTOR, Initialize, &MonitorInitialize)

namespace zv {

Class* QScreenClass();
Class* TScreenClass();
Class* QDisplayMonitorClass();
Class* TDisplayMonitorClass();

// The monitor a window is on (flags: MONITOR_DEFAULTTONULL, ...TOPRIMARY,
// ...TONEAREST), as MonitorFromWindow answers.
HMONITOR MONITORFROMWINDOW(HWND hwnd, DWORD flags);

class TScreenRef : public TComponentRef {
  ZV_VIEW_CLASS(TScreenRef, TComponentRef, QScreenClass)
  ZV_VIEW_MEMBERS(ZV_QSCREEN_MEMBERS)
};

class TDisplayMonitorRef : public TComponentRef {
  ZV_VIEW_CLASS(TDisplayMonitorRef, TComponentRef, QDisplayMonitorClass)
  ZV_VIEW_MEMBERS(ZV_QDISPLAYMONITOR_MEMBERS)
  HMONITOR hmonitor() const { return reinterpret_cast<HMONITOR>(static_cast<std::intptr_t>(Handle())); }
};

}  // namespace zv
