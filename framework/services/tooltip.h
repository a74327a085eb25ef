// Tooltip windows: TToolTip wraps one window of the common-controls tooltip
// class; TBalloon is the same with the balloon look. Controls register
// themselves as tools (AddTool) and supply their texts on request; Show()
// shows a tracked tooltip at a position.
#pragma once

#include "framework/window/winobject.h"

#define ZV_QTOOLTIP_MEMBERS(X) \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(TTS_NOPREFIX)) \
  X(PROPERTY, std::string, cText) \
  X(PROPERTY, std::string, cTitle) \
  X(PROPERTY, int, nIcon) \
  X(PROPERTY, bool, lAlwaysTip, .dflt = false, .setter = sym::SetAlwaysTip) \
  X(PROPERTY, bool, lCloseButton, .dflt = false, .setter = sym::SetCloseButton) \
  X(EVENT, OnShow, "oSender") \
  X(EVENT, OnHide, "oSender") \
  X(EVENT, OnLinkClick, "oSender") \
  X(DATA, Value, oForm) \
  X(CONSTRUCTOR, Create, &Create) \
  X(METHOD, End, &DestroyTip) \
  X(METHOD, Destroy, &DestroyTip) \
  X(METHOD, SetAlwaysTip, &SetAlwaysTip) \
  X(METHOD, SetCloseButton, &SetCloseButton) \
  X(METHOD, AddTool, &AddTool) \
  X(METHOD, SetToolInfo, &SetToolInfo) \
  X(METHOD, DelTool, &DelTool) \
  X(METHOD, Show, &Show) \
  X(METHOD, Hide, &Hide) \
  X(METHOD, Free, &Free) \
  X(METHOD, Link, &Link) \
  X(METHOD, Unlink, &Unlink) \
  X(METHOD, Notify, &Notify) \
  X(HANDLER, WMNCDestroy, &WMNCDestroy)

#define ZV_QBALLOON_MEMBERS(X) \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(TTS_BALLOON | TTS_NOPREFIX))

namespace zv {

Class* QToolTipClass();
Class* TToolTipClass();
Class* QBalloonClass();
Class* TBalloonClass();

class TToolTipRef : public TWinObjectRef {
  ZV_VIEW_CLASS(TToolTipRef, TWinObjectRef, QToolTipClass)
  ZV_VIEW_MEMBERS(ZV_QTOOLTIP_MEMBERS)
};

}  // namespace zv
