// TWinControl: the windowed container. It keeps its child controls
// (aControls, in insertion order), reflects WM_COMMAND and WM_NOTIFY to the
// child that sent them (the child's Command and Notify), answers the colour
// messages of its children, passes the focus on to its active child, and
// moves the focus between tab stops (GoFirstControl, GoNextControl,
// GoPrevControl) after a state request (RequestState).
#pragma once

#include "framework/window/control.h"

namespace zv {

Class* QWinControlClass();
Class* TWinControlClass();

}  // namespace zv
