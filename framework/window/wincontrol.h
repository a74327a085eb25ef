// TWinControl: the windowed container. It keeps its child controls
// (aControls, in insertion order), reflects WM_COMMAND and WM_NOTIFY to the
// child that sent them (the child's Command and Notify), answers the colour
// messages of its children, passes the focus on to its active child, and
// moves the focus between tab stops (GoFirstControl, GoNextControl,
// GoPrevControl) after a state request (RequestState).
#pragma once

#include "framework/window/control.h"

#define ZV_QWINCONTROL_MEMBERS(X) \
  X(PROPERTY, bool, lTabStop, .dflt = false) \
  X(PROPERTY, Value, oBkgnd, .valueClass = "TPicture", .setter = sym::SetBkgnd, .editor = "PE_Picture") \
  X(PROPERTY, int, nBkgndMode, .dflt = 0, .setter = sym::SetBkgndMode, .valueNames = Value::List({Value::List({"blCOPY", 0}), Value::List({"blCENTER", 1}), Value::List({"blTILED", 2}), Value::List({"blSTRETCH", 3})})) \
  X(PROPERTY, Value, oMenu, .visibility = kPublic, .setter = sym::SetMenu) \
  X(PROPERTY, Value, oActiveControl, .visibility = kPublic, .setter = sym::SetActiveControl) \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)) \
  X(DATA_P, int, nExStyle, static_cast<long long>(WS_EX_CONTROLPARENT)) \
  X(DATA_P, Value, hBkgnd, 0) \
  X(DATA_P, bool, lPopup, false) \
  X(DATA_R, Value, aControls, Value::List({})) \
  X(CONSTRUCTOR, Create, &WinCreate) \
  X(METHOD, CreateHandle, &WinCreateHandle) \
  X(METHOD, Free, &Free) \
  X(METHOD, InsertControl, &InsertControl) \
  X(METHOD, RemoveControl, &RemoveControl) \
  X(METHOD, AlignControls, &AlignControls) \
  X(METHOD, GoNextControl, &GoNextControl) \
  X(METHOD, GoPrevControl, &GoPrevControl) \
  X(METHOD, GoFirstControl, &GoFirstControl) \
  X(METHOD, RequestState, &RequestState) \
  X(HANDLER, CtlColor, &CtlColor) \
  X(METHOD, SetMenu, &SetMenu) \
  X(METHOD, SetBkgnd, &SetBkgnd) \
  X(METHOD, SetBkgndMode, &SetBkgndMode) \
  X(METHOD, SetActiveControl, &SetActiveControl) \
  X(HANDLER, WMSetFocus, &WMSetFocus) \
  X(HANDLER, WMCommand, &WMCommand) \
  X(HANDLER, WMNotify, &WMNotify) \
  X(HANDLER, WMSize, &WMSize) \
  X(HANDLER, WMDestroy, &WMDestroy) \
  X(HANDLER, WMExitMenuLoop, &WMExitMenuLoop) \
  X(HANDLER, WMEraseBkgnd, &WMEraseBkgnd) \
  X(HANDLER, WMCtlColorStatic, &CtlColor) \
  X(HANDLER, WMCtlColorBtn, &CtlColor) \
  X(HANDLER, WMCtlColorEdit, &CtlColor) \
  X(HANDLER, WMCtlColorListBox, &CtlColor) \
  X(HANDLER, WMCtlColorScrollBar, &CtlColor)

namespace zv {

Class* QWinControlClass();
Class* TWinControlClass();

class TWinControlRef : public TStdControlRef {
  ZV_VIEW_CLASS(TWinControlRef, TStdControlRef, QWinControlClass)
  ZV_VIEW_MEMBERS(ZV_QWINCONTROL_MEMBERS)
};

}  // namespace zv
