// TMsgBar: a form's status bar over the common-controls status window
// ("msctls_statusbar32"), and TMsgItem, one of its parts.
//
// Create(oForm) makes the bar, records it as the form's oMsgBar and lays
// the form out again: the bar sits at the bottom of the form's client
// area, outside the scrolled area, and the form's nClientHeight no longer
// counts it. The bar keeps its parts as TMsgItem objects in aItems: an item
// with nWidth > 0 is that many pixels wide; the items with nWidth <= 0
// share the room the others leave. Without items the bar shows one simple
// text (SetText); with items SetText writes the first one, which is where
// the form shows its controls' cMessage texts and menu messages.
#pragma once

#include "framework/core/component.h"
#include "framework/window/control.h"

#include <commctrl.h>

#define ZV_QMSGBAR_MEMBERS(X) \
  X(PROPERTY, bool, lSizeGrip, .dflt = true) \
  X(PROPERTY, bool, lTabStop, .dflt = false, .setter = sym::SetTabStop) \
  X(PROPERTY, bool, l3D, .dflt = false, .setter = sym::Set3D) \
  X(DATA_P, std::string, cWinClassName, "msctls_statusbar32") \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_TOOLTIPS)) \
  X(DATA_R, Value, aItems, Value::List({})) \
  X(CONSTRUCTOR, Create, &BarCreate) \
  X(METHOD, CreateHandle, &BarCreateHandle) \
  X(METHOD, AddItem, &AddItem) \
  X(METHOD, DelItem, &DelItem) \
  X(METHOD, SetItemText, &SetItemText) \
  X(METHOD, SetText, &BarSetText) \
  X(METHOD, Resize, &Resize) \
  X(HANDLER, WMNCDestroy, &BarNCDestroy)

#define ZV_QMSGITEM_MEMBERS(X) \
  X(PROPERTY, std::string, cText, .setter = sym::SetText) \
  X(PROPERTY, int, nWidth, .dflt = 0, .setter = sym::SetWidth) \
  X(PROPERTY, int, nStyle, .dflt = 0, .setter = &SetItemStyle) \
  X(PROPERTY, std::string, cTooltip, .setter = &SetItemTooltip) \
  X(DATA_R, int, nIndex, 0) \
  X(CONSTRUCTOR, Create, &ItemCreate) \
  X(METHOD, SetText, &ItemSetText) \
  X(METHOD, SetWidth, &ItemSetWidth) \
  X(METHOD, Free, &ItemFree)

namespace zv {

Class* QMsgBarClass();
Class* TMsgBarClass();
Class* QMsgItemClass();
Class* TMsgItemClass();

class TMsgBarRef : public TStdControlRef {
  ZV_VIEW_CLASS(TMsgBarRef, TStdControlRef, QMsgBarClass)
  ZV_VIEW_MEMBERS(ZV_QMSGBAR_MEMBERS)
};

class TMsgItemRef : public TComponentRef {
  ZV_VIEW_CLASS(TMsgItemRef, TComponentRef, QMsgItemClass)
  ZV_VIEW_MEMBERS(ZV_QMSGITEM_MEMBERS)
};

}  // namespace zv
