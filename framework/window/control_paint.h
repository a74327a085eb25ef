// TControl's painting members: the WM_PAINT and WM_PRINTCLIENT paths
// through the shared paint frame, its own BeginPaint/EndPaint, border
// styles drawn in the non-client area, owner-drawn items handed to the
// control that owns them, and the control's theme data. The rows naming
// them are in control.h.
#pragma once

#include "framework/window/messages.h"

namespace zv::ctlpaint {

Value WMPaint(Object& self, const PaintMsg& m);
Value WMEraseBkgnd(Object& self, const PaintMsg& m);
Value WMPrintClient(Object& self, const PaintMsg& m);
Value EraseAndPaint(Object& self, Args a);
Value EraseSolidAndPaint(Object& self, Args a);
Value BeginPaintMethod(Object& self, Args a);
Value EndPaintMethod(Object& self, Args a);
Value Redraw(Object& self, Args a);

Value SetBorderStyle(Object& self, Args a);
Value WMNCCalcSize(Object& self, const WinMsg& m);
Value WMNCPaint(Object& self, const WinMsg& m);

Value WMDrawItem(Object& self, const WinMsg& m);
Value WMMeasureItem(Object& self, const WinMsg& m);

Value SetTheme(Object& self, Args a);
Value WMThemeChanged(Object& self, const WinMsg& m);
// Opens the control's theme data for its window again (after creation).
void ApplyTheme(Object& self);
// Releases what the window's painting held: the theme data, a paint begun
// with BeginPaint and not ended, the picture brush.
void ReleasePaintResources(Object& self, HWND hwnd);

// The drawing step of a framework-class control's frame: uControlPaint
// when set (a callable or a method name, given oSender, hDC and the area
// as {left, top, right, bottom}), else the control's background.
void DrawingStep(Object& self, HWND hwnd, HDC dc, const RECT& area);

}  // namespace zv::ctlpaint
