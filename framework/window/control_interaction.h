// The control's interaction with the user beyond keys and clicks: tooltips
// and balloons (with zones), drag and drop, help requests, pop-up menu
// states and status-bar messages. The functions are members of TControl and
// TStdControl (their rows are in control.h).
//
// Tooltips. A control with a cTooltip (cBalloon) is a tool of the
// application's shared tooltip (balloon) window: by default one tool for the
// whole control (its window is the tool's identifier, the form's window
// receives the text requests), or, after SetTooltipZones(aRects), one tool
// per rectangle {left, top, right, bottom} of its client area (identifier:
// the zone's 1-based index; the control's own window receives the requests).
// A zone list that is not a list (no value) means the whole control again;
// an empty list or an empty text means no tool at all. The zones are kept
// over a re-creation of the window. Texts are supplied on request: the
// cTooltip of item number nId of the control's aItems when it has such a
// list, else GetTooltip(nId, lBalloon) (nId 0 for the whole control).
//
// ShowTooltip / ShowBalloon show a tooltip window of the control's own,
// tracked at a point, until HideTooltip / HideBalloon or the end of the
// control's window.
#pragma once

#include <windows.h>

#include <cstddef>

#include "framework/window/messages.h"

namespace zv::ctlx {

// ---------------------------------------------------------------- TControl: tooltips

Value SetTooltip(Object& self, Args a);
Value SetBalloon(Object& self, Args a);
Value SetTooltipZones(Object& self, Args a);
Value SetBalloonZones(Object& self, Args a);
Value GetTooltip(Object& self, Args a);
Value ApplyTooltips(Object& self, Args a);
Value RemoveTooltips(Object& self, Args a);
Value ShowTooltip(Object& self, Args a);
Value ShowBalloon(Object& self, Args a);
Value HideTooltip(Object& self, Args a);

// WM_NOTIFY at the control's window: text requests of the tooltips
// (TTN_GETDISPINFOA / W) and the release of texts handed out (TTN_POP).
// Requests for other notifications get no value (default processing).
Value WMNotify(Object& self, const NotifyMsg& m);

// Whether a notification is one of the tooltip's that WMNotify answers.
bool IsTooltipNotification(const NMHDR& header);

// Texts handed to tooltip windows and not yet released (a diagnostic).
std::size_t TooltipTextsHeld();

// ---------------------------------------------------------------- TControl: mouse, help, menus

Value WMLButtonDown(Object& self, const MouseMsg& m);
Value WMLButtonUp(Object& self, const MouseMsg& m);
Value WMMouseMove(Object& self, const MouseMsg& m);
Value WMCaptureChanged(Object& self, const WinMsg& m);
Value WMHelp(Object& self, const WinMsg& m);
Value WMInitMenuPopup(Object& self, const WinMsg& m);

// ---------------------------------------------------------------- TStdControl

Value StdWMSetFocus(Object& self, const FocusMsg& m);

}  // namespace zv::ctlx
