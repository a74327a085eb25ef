// TImage: a control that shows a TPicture. The picture is drawn at nZoom per
// cent at the scroll position (the virtual size is the zoomed picture, so
// the scroll bars appear when it is larger than the control), or, with
// lAutoFit, fitted into the client area keeping its aspect ratio and
// centred. Painting is double-buffered through the control's paint frame:
// the background first (the parent's when lTransparent), then the picture.
// The text, font and border members of a control mean nothing here and are
// kept out of the designer.
#pragma once

#include "framework/window/scrolling.h"

#define ZV_QIMAGE_MEMBERS(X) \
  X(PROPERTY, int, nWidth, .dflt = 100, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 100, .setter = sym::SetHeight) \
  X(PROPERTY, int, nClrPane, .dflt = static_cast<long long>(RGB(255, 255, 255)), .setter = &ctlset::SetPaneColour, .editor = "PE_Color") \
  X(PROPERTY, bool, lTabStop, .dflt = true) \
  X(PROPERTY, Value, oPicture, .valueClass = "TPicture", .setter = sym::SetPicture, .editor = "PE_Picture") \
  X(PROPERTY, int, nZoom, .dflt = 100, .setter = sym::SetZoom) \
  X(PROPERTY, int, nBorderStyle, .dflt = 4, .setter = sym::SetBorderStyle) \
  X(PROPERTY, bool, lTransparent, .dflt = false) \
  X(PROPERTY, bool, lSmooth, .dflt = false) \
  X(PROPERTY, bool, lAutoFit, .dflt = false, .setter = sym::SetAutoFit) \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP)) \
  X(PROPERTY, std::string, cText, .dflt = "", .visibility = kPublic, .getter = sym::GetText, .setter = sym::SetText) \
  X(PROPERTY, bool, lBorder, .dflt = false, .visibility = kPublic) \
  X(PROPERTY, bool, l3D, .dflt = false, .visibility = kPublic) \
  X(PROPERTY, bool, lParentFont, .dflt = true, .visibility = kPublic, .setter = &ctlset::SetParentFont) \
  X(PROPERTY, int, nClrText, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOWTEXT)), .visibility = kPublic, .setter = &ctlset::SetTextColour) \
  X(PROPERTY, Value, oFont, .valueClass = "TFont", .visibility = kPublic, .getter = sym::GetFont, .setter = sym::SetFont) \
  X(PROPERTY, int, nBkgndMode, .dflt = 0, .visibility = kPublic, .setter = sym::SetBkgndMode) \
  X(PROPERTY, Value, oBkgnd, .valueClass = "TPicture", .visibility = kPublic, .setter = sym::SetBkgnd) \
  X(METHOD, SetPicture, &SetPicture) \
  X(METHOD, SetZoom, &SetZoom) \
  X(METHOD, SetAutoFit, &SetAutoFit) \
  X(METHOD, Free, &ImageFree) \
  X(METHOD, AlignControls, &ImageAlignControls) \
  X(HANDLER, WMPaint, &ImageWMPaint) \
  X(HANDLER, WMPrintClient, &ImageWMPaint) \
  X(HANDLER, WMEraseBkgnd, &ImageWMEraseBkgnd) \
  X(HANDLER, WMLButtonDown, &ImageWMLButtonDown)

namespace zv {

Class* QImageClass();
Class* TImageClass();

class TImageRef : public TScrollingWinControlRef {
  ZV_VIEW_CLASS(TImageRef, TScrollingWinControlRef, QImageClass)
  ZV_VIEW_MEMBERS(ZV_QIMAGE_MEMBERS)
};

// The box a picture of w by h pixels takes when fitted into a client area of
// cw by ch: shrunk to the width, then to the height, when larger (integer
// arithmetic), and centred along the axis that has room (halves truncated
// toward zero). {left, top, right, bottom}.
RECT FitPicture(int w, int h, int cw, int ch);

}  // namespace zv
