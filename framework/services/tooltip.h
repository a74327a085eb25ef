// Tooltip windows: TToolTip wraps one window of the common-controls tooltip
// class; TBalloon is the same with the balloon look. Controls register
// themselves as tools (AddTool) and supply their texts on request; Show()
// shows a tracked tooltip at a position.
#pragma once

#include "framework/window/winobject.h"

namespace zv {

Class* QToolTipClass();
Class* TToolTipClass();
Class* QBalloonClass();
Class* TBalloonClass();

}  // namespace zv
