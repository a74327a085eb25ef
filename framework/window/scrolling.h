// TScrollingWinControl: a windowed control whose client area is a viewport
// onto a larger virtual area. The virtual size follows the children
// (lAutoScroll), the window's own scroll bars are kept in step with it,
// and scrolling moves the children (the client origin nClientLeft and
// nClientTop becomes negative). Each scroll action fires an event whose
// numeric answer replaces the computed position.
#pragma once

#include "framework/window/wincontrol.h"

#define ZV_QSCROLLINGWINCONTROL_MEMBERS(X) \
  X(PROPERTY, bool, lAutoScroll, .dflt = true, .setter = sym::SetAutoScroll) \
  X(PROPERTY, int, nScrollIncrement, .dflt = 8) \
  X(PROPERTY, int, nClientLeft, .dflt = 0, .setter = &SetClientLeft) \
  X(PROPERTY, int, nClientTop, .dflt = 0, .setter = &SetClientTop) \
  X(PROPERTY, int, nVirtualWidth, .dflt = 0, .setter = &SetVirtualWidth) \
  X(PROPERTY, int, nVirtualHeight, .dflt = 0, .setter = &SetVirtualHeight) \
  X(PROPERTY, int, nClientWidth, .dflt = 0) \
  X(PROPERTY, int, nClientHeight, .dflt = 0) \
  X(DATA, bool, lVScroll, false) \
  X(DATA, bool, lHScroll, false) \
  X(DATA, int, nExtraHeight, 0) \
  X(DATA, int, nExtraWidth, 0) \
  X(EVENT, OnScrollUp, "oSender, nPos") \
  X(EVENT, OnScrollDown, "oSender, nPos") \
  X(EVENT, OnScrollPageUp, "oSender, nPos") \
  X(EVENT, OnScrollPageDown, "oSender, nPos") \
  X(EVENT, OnThumbTrackV, "oSender, nPos") \
  X(EVENT, OnThumbPosV, "oSender, nPos") \
  X(EVENT, OnScrollLeft, "oSender, nPos") \
  X(EVENT, OnScrollRight, "oSender, nPos") \
  X(EVENT, OnScrollPageLeft, "oSender, nPos") \
  X(EVENT, OnScrollPageRight, "oSender, nPos") \
  X(EVENT, OnThumbTrackH, "oSender, nPos") \
  X(EVENT, OnThumbPosH, "oSender, nPos") \
  X(METHOD, ProcessControl, &ProcessControl) \
  X(CONSTRUCTOR, Create, &ScrollCreate) \
  X(METHOD, Adjust, &Adjust) \
  X(METHOD, VAdjust, &VAdjust) \
  X(METHOD, HAdjust, &HAdjust) \
  X(METHOD, InsertControl, &ScrollInsertControl) \
  X(METHOD, RemoveControl, &ScrollRemoveControl) \
  X(METHOD, SetAutoScroll, &SetAutoScroll) \
  X(METHOD, SetVirtualBounds, &SetVirtualBounds) \
  X(METHOD, SetVirtualSize, &SetVirtualSize) \
  X(HANDLER, WMVScroll, &WMVScroll) \
  X(HANDLER, WMHScroll, &WMHScroll) \
  X(HANDLER, WMMouseWheel, &WMMouseWheel) \
  X(HANDLER, WMSize, &ScrollSize) \
  X(METHOD, AlignControls, &ScrollAlignControls)

namespace zv {

Class* QScrollingWinControlClass();
Class* TScrollingWinControlClass();

class TScrollingWinControlRef : public TWinControlRef {
  ZV_VIEW_CLASS(TScrollingWinControlRef, TWinControlRef, QScrollingWinControlClass)
  ZV_VIEW_MEMBERS(ZV_QSCROLLINGWINCONTROL_MEMBERS)
};

}  // namespace zv
