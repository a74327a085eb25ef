// The control's interaction with the user beyond keys and clicks: tooltips
// and balloons (with zones), drag and drop, help requests, pop-up menu
// states and status-bar messages. The functions are members of TControl and
// TStdControl (their rows are in control.h).
#pragma once

#include "framework/window/messages.h"

namespace zv::ctlx {

}  // namespace zv::ctlx
