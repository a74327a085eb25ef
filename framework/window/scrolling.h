// TScrollingWinControl: a windowed control whose client area is a viewport
// onto a larger virtual area.
#pragma once

#include "framework/window/wincontrol.h"

#define ZV_QSCROLLINGWINCONTROL_MEMBERS(X) \
  X(PROPERTY, bool, lAutoScroll, .dflt = true)

namespace zv {

Class* QScrollingWinControlClass();
Class* TScrollingWinControlClass();

class TScrollingWinControlRef : public TWinControlRef {
  ZV_VIEW_CLASS(TScrollingWinControlRef, TWinControlRef, QScrollingWinControlClass)
  ZV_VIEW_MEMBERS(ZV_QSCROLLINGWINCONTROL_MEMBERS)
};

}  // namespace zv
