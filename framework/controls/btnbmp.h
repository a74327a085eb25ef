// TBtnBmp: a push button that paints itself whole: an image of an image
// list (0 normal, 1 hot, 2 pressed, 3 disabled), its caption, and a frame
// that follows its state (normal, hot, pressed, disabled, default, focused)
// in one of three looks: the classic 3D frame, the themed push button, or
// flat (an edge only while hot or pressed). The standard button procedure
// keeps the capture, the pressed state, the keyboard and BN_CLICKED; it
// never paints: WM_PAINT is the button's, and BM_SETSTATE / BM_SETCHECK go
// through with redrawing off and one redraw of the button's own after.
// The mouse entering (the first WM_NCHITTEST) makes the button hot and asks
// for WM_MOUSELEAVE, which ends it.
#pragma once

#include "framework/controls/button.h"

#define ZV_ORIENTATION_NAMES \
  Value::List({Value::List({"orLEFT", 2}), Value::List({"orTOP", 0}), Value::List({"orRIGHT", 3}), Value::List({"orBOTTOM", 1})})

#define ZV_QBTNBMP_MEMBERS(X) \
  X(PROPERTY, int, nWidth, .dflt = 90, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 25, .setter = sym::SetHeight) \
  X(PROPERTY, int, nClrText, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOWTEXT)), .setter = &ctlset::SetTextColour) \
  X(PROPERTY, int, nBmpWidth, .dflt = 1) \
  X(PROPERTY, int, nBmpHeight, .dflt = 1) \
  X(PROPERTY, Value, oBitmaps, .valueClass = "TPicture", .setter = sym::SetBitmaps, .editor = "PE_ButtonBitmap") \
  X(PROPERTY, int, nMargin, .dflt = -1) \
  X(PROPERTY, bool, lDefault, .dflt = false, .setter = &btnbmp::StoreDefault) \
  X(PROPERTY, bool, lFlat, .dflt = false) \
  X(PROPERTY, bool, lXPLook, .dflt = true) \
  X(PROPERTY, int, nOrientation, .dflt = 2, .valueNames = ZV_ORIENTATION_NAMES) \
  X(PROPERTY, int, nAlignment, .dflt = 6, .setter = &btnbmp::StoreAlignment, .valueNames = ZV_HALIGN_NAMES) \
  X(PROPERTY, int, nVAlignment, .dflt = 1, .setter = &btnbmp::StoreVAlignment, .valueNames = ZV_VALIGN_NAMES) \
  X(PROPERTY, bool, lMultiLine, .dflt = false, .setter = &btnbmp::StoreMultiLine) \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)) \
  X(DATA_H, bool, lHot, false) \
  X(METHOD, SetBitmaps, &btnbmp::SetBitmaps) \
  X(METHOD, Free, &btnbmp::Free) \
  X(HANDLER, WMEnable, &btnbmp::WMEnable) \
  X(HANDLER, WMPaint, &btnbmp::WMPaint) \
  X(HANDLER, WMPrintClient, &btnbmp::WMPaint) \
  X(HANDLER, WMNCHitTest, &btnbmp::WMNCHitTest) \
  X(HANDLER, WMMouseLeave, &btnbmp::WMMouseLeave) \
  X(METHOD, HandleEvent, &btnbmp::HandleEvent)

namespace zv {

namespace btnbmp {
Value StoreDefault(Object& self, Args a);
Value StoreAlignment(Object& self, Args a);
Value StoreVAlignment(Object& self, Args a);
Value StoreMultiLine(Object& self, Args a);
Value SetBitmaps(Object& self, Args a);
Value Free(Object& self, Args a);
Value WMEnable(Object& self, const WinMsg& m);
Value WMPaint(Object& self, const PaintMsg& m);
Value WMNCHitTest(Object& self, const WinMsg& m);
Value WMMouseLeave(Object& self, const WinMsg& m);
Value HandleEvent(Object& self, Args a);
}  // namespace btnbmp

Class* QBtnBmpClass();
Class* TBtnBmpClass();

class TBtnBmpRef : public TButtonRef {
  ZV_VIEW_CLASS(TBtnBmpRef, TButtonRef, QBtnBmpClass)
  ZV_VIEW_MEMBERS(ZV_QBTNBMP_MEMBERS)
};

// Where a button's image and caption go: the content area (client area less
// frame less 3 pixels), an image of cx by cy, a caption measured w by h, the
// margin (-1: automatic) and the orientation. Gives the image's position and
// the caption's rectangle (before its vertical alignment).
struct BtnBmpLayout {
  POINT image{0, 0};
  RECT text{0, 0, 0, 0};
};
BtnBmpLayout LayOutBtnBmp(RECT content, int cx, int cy, int w, int h, int margin, int orientation, bool hasCaption);

}  // namespace zv
