// TForm: the top-level window of the framework, a scrolling windowed
// control with a caption, border style, icon, system-menu boxes, menu,
// status bar, default and cancel buttons, keyboard shortcuts for its
// controls, the components it owns and the close protocol. A form is a
// normal window, an MDI frame (owning a TMDIClient) or an MDI child.
//
// New(oParent) builds the form: CreateForm (the subclass makes its
// controls there and normally calls Create), OnInitialize, then the MDI
// client of a frame. Create makes the window once and registers the form
// with the application; Show, ShowModal and Close follow.
#pragma once

#include "framework/window/scrolling.h"

#define ZV_QFORM_MEMBERS(X) \
  X(PROPERTY, int, nLeft, .dflt = 2147483648LL, .setter = sym::SetLeft) \
  X(PROPERTY, int, nTop, .dflt = 2147483648LL, .setter = sym::SetTop) \
  X(PROPERTY, int, nWidth, .dflt = 2147483648LL, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 2147483648LL, .setter = sym::SetHeight) \
  X(PROPERTY, Value, nClientWidth, .visibility = kPublic) \
  X(PROPERTY, Value, nClientHeight, .visibility = kPublic) \
  X(PROPERTY, bool, lParentIcon, .dflt = true, .setter = &SetParentIcon) \
  X(PROPERTY, Value, oIcon, .valueClass = "TIcon", .getter = sym::GetIcon, .setter = sym::SetIcon, .editor = "PE_Icon") \
  X(PROPERTY, bool, lAppWindow, .dflt = false) \
  X(PROPERTY, bool, lModal, .dflt = false) \
  X(PROPERTY, bool, lCentered, .dflt = false, .setter = &SetCentered) \
  X(PROPERTY, int, nShowMode, .dflt = 1, .valueNames = Value::List({Value::List({"smNORMAL", 1}), Value::List({"smMAXIMIZE", 3}), Value::List({"smMINIMIZE", 6})})) \
  X(PROPERTY, int, nBorderStyle, .dflt = 2, .setter = sym::SetBorderStyle, .valueNames = Value::List({Value::List({"bsNONE", 0}), Value::List({"bsSINGLE", 1}), Value::List({"bsSIZEABLE", 2}), Value::List({"bsDIALOG", 3}), Value::List({"bsTOOLWINDOW", 4}), Value::List({"bsSIZETOOLWIN", 5}), Value::List({"bsSPLASH", 6})})) \
  X(PROPERTY, int, nFormType, .dflt = 0, .valueNames = Value::List({Value::List({"ftNORMAL", 0}), Value::List({"ftMDIFRAME", 1}), Value::List({"ftMDICHILD", 2})})) \
  X(PROPERTY, bool, lSysMenu, .dflt = true) \
  X(PROPERTY, bool, lCloseBox, .dflt = true) \
  X(PROPERTY, bool, lMinimizeBox, .dflt = true) \
  X(PROPERTY, bool, lMaximizeBox, .dflt = true) \
  X(PROPERTY, bool, lHelpIcon, .dflt = false) \
  X(PROPERTY, bool, lHideOnClose, .dflt = false) \
  X(PROPERTY, bool, lDirectShortCuts, .dflt = false) \
  X(PROPERTY, int, nMinWidth, .dflt = 0, .setter = &SetMinWidth) \
  X(PROPERTY, int, nMinHeight, .dflt = 0, .setter = &SetMinHeight) \
  X(PROPERTY, int, nMaxWidth, .dflt = 0, .setter = &SetMaxWidth) \
  X(PROPERTY, int, nMaxHeight, .dflt = 0, .setter = &SetMaxHeight) \
  X(PROPERTY, int, nMaxPosX, .dflt = 0, .setter = &SetMaxPosX) \
  X(PROPERTY, int, nMaxPosY, .dflt = 0, .setter = &SetMaxPosY) \
  X(PROPERTY, bool, lMsgAuto, .dflt = false) \
  X(PROPERTY, bool, lVisible, .dflt = false, .visibility = kPublic, .setter = sym::SetVisible) \
  X(PROPERTY, Value, oActiveControl, .visibility = kPublic) \
  X(PROPERTY, Value, oMDIMenu, .visibility = kPublic, .setter = sym::SetMDIMenu) \
  X(PROPERTY_R, bool, lActive, .dflt = false, .visibility = kPublic, .readOnly = true) \
  X(PROPERTY_P, int, nAlign, .dflt = 0, .visibility = kHidden) \
  X(PROPERTY_P, int, nAnchors, .dflt = 3, .visibility = kHidden) \
  X(PROPERTY_P, bool, lParentFont, .dflt = false, .visibility = kHidden, .setter = &SetFormParentFont) \
  X(PROPERTY_P, std::string, cTooltip, .visibility = kHidden) \
  X(PROPERTY_P, std::string, cTooltipTitle, .visibility = kHidden) \
  X(PROPERTY_P, int, nTooltipIcon, .dflt = 0, .visibility = kHidden) \
  X(PROPERTY_P, std::string, cBalloon, .visibility = kHidden) \
  X(PROPERTY_P, bool, l3D, .dflt = false, .visibility = kHidden) \
  X(PROPERTY_P, bool, lBorder, .dflt = false, .visibility = kHidden) \
  X(PROPERTY_P, bool, lTabStop, .dflt = false, .visibility = kHidden) \
  X(PROPERTY_P, std::string, cMessage, .visibility = kHidden) \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL)) \
  X(DATA_P, int, nExStyle, static_cast<long long>(WS_EX_CONTROLPARENT)) \
  X(DATA_P, int, nClassStyle, 0) \
  X(DATA_P, Value, aShortCut, Value::List({})) \
  X(DATA_P, int, nLastID, 100) \
  X(DATA, Value, aComponents, Value::List({})) \
  X(DATA, Value, oMsgBar) \
  X(DATA, int, nModalResult, 0) \
  X(DATA_R, Value, oMdiClient) \
  X(DATA, Value, oPrevWnd) \
  X(DATA, Value, oPopup) \
  X(DATA, Value, oDefaultButton) \
  X(DATA, Value, oCancelButton) \
  X(EVENT, OnCreate, "oSender") \
  X(EVENT, OnInitialize, "oSender") \
  X(EVENT, OnClose, "oSender, @lClose") \
  X(EVENT, OnActivate, "oSender, oCtl") \
  X(EVENT, OnDeactivate, "oSender, oCtl") \
  X(EVENT, OnSize, "oSender, nSizeType, nClientWidth, nClientHeight") \
  X(EVENT, OnMove, "oSender, nLeft, nTop") \
  X(EVENT, OnChangeFocus, "oSender, oPrevCtl, oNextCtl") \
  X(EVENT, OnMenuSelect, "oSender, nFlags, hMenu, cMessage, oMenuItem") \
  X(EVENT, OnHelp, "oSender, HelpId, nPosX, nPosY") \
  X(EVENT, OnHelpClick, "oSender") \
  X(CONSTRUCTOR, New, &FormNew) \
  X(ABSTRACT, CreateForm) \
  X(CONSTRUCTOR, Create, &FormCreate) \
  X(METHOD, CreateHandle, &FormCreateHandle) \
  X(METHOD, Show, &FormShow) \
  X(METHOD, ShowModal, &FormShowModal) \
  X(METHOD, Close, &Close) \
  X(METHOD, Restore, &Restore) \
  X(METHOD, Maximize, &Maximize) \
  X(METHOD, Minimize, &Minimize) \
  X(METHOD, SetFocus, &FormSetFocus) \
  X(METHOD, GetNewID, &GetNewID) \
  X(METHOD, AddShortCut, &AddShortCut) \
  X(METHOD, DelShortCut, &DelShortCut) \
  X(METHOD, InsertComponent, &InsertComponent) \
  X(METHOD, RemoveComponent, &RemoveComponent) \
  X(METHOD, CreateMDIClient, &CreateMDIClient) \
  X(METHOD, SaveState, &SaveState) \
  X(METHOD, RestoreState, &RestoreState) \
  X(METHOD, Help, &Help) \
  X(METHOD, SetIcon, &SetIcon) \
  X(METHOD, GetIcon, &GetIcon) \
  X(METHOD, SetMinSize, &SetMinSize) \
  X(METHOD, SetMaxSize, &SetMaxSize) \
  X(METHOD, SetMaxPos, &SetMaxPos) \
  X(METHOD, SetMDIMenu, &SetMDIMenu) \
  X(METHOD, SetBorderStyle, &FormSetBorderStyle) \
  X(METHOD, InsertControl, &FormInsertControl) \
  X(METHOD, Free, &FormFree) \
  X(HANDLER, WMClose, &WMClose) \
  X(HANDLER, WMNCDestroy, &FormNCDestroy) \
  X(HANDLER, WMSysChar, &WMSysChar) \
  X(HANDLER, WMKeyDown, &FormKeyDown) \
  X(HANDLER, WMKeyUp, &FormKeyUp) \
  X(HANDLER, WMChar, &FormChar) \
  X(HANDLER, WMMove, &WMMove) \
  X(HANDLER, WMActivate, &WMActivate) \
  X(HANDLER, WMNCActivate, &WMNCActivate) \
  X(HANDLER, WMChildActivate, &WMChildActivate) \
  X(HANDLER, WMWindowPosChanging, &WMWindowPosChanging) \
  X(HANDLER, WMSize, &FormSize) \
  X(HANDLER, WMShowWindow, &WMShowWindow) \
  X(HANDLER, WMSetFocus, &FormSetFocusMsg) \
  X(HANDLER, WMCommand, &FormCommand) \
  X(HANDLER, WMGetMinMaxInfo, &WMGetMinMaxInfo) \
  X(HANDLER, WMMenuSelect, &WMMenuSelect) \
  X(HANDLER, WMSysCommand, &WMSysCommand) \
  X(HANDLER, WMNCCalcSize, &StandardFrame) \
  X(HANDLER, WMNCPaint, &StandardFrame)

// TMDIClient: the client window of an MDI frame ("MDICLIENT"), filling it;
// it keeps the frame's MDI children in aForms and arranges them.
#define ZV_QMDICLIENT_MEMBERS(X) \
  X(PROPERTY, int, nAlign, .dflt = 5, .setter = &SetAlignOfClient) \
  X(PROPERTY, bool, lTabStop, .dflt = true) \
  X(PROPERTY_P, bool, lTransparent, .dflt = true, .visibility = kProtected) \
  X(DATA_P, std::string, cWinClassName, "MDICLIENT") \
  X(DATA_R, Value, aForms, Value::List({})) \
  X(DATA_R, Value, oActiveForm) \
  X(CONSTRUCTOR, Create, &ClientCreate) \
  X(METHOD, CreateHandle, &ClientCreateHandle) \
  X(METHOD, InsertForm, &ClientInsertForm) \
  X(METHOD, RemoveForm, &ClientRemoveForm) \
  X(METHOD, SetActiveForm, &ClientSetActiveForm) \
  X(METHOD, Tile, &Tile) \
  X(METHOD, TileHorizontal, &TileHorizontal) \
  X(METHOD, TileVertical, &Tile) \
  X(METHOD, Cascade, &Cascade) \
  X(METHOD, Next, &Next) \
  X(METHOD, Previous, &Previous) \
  X(METHOD, ArrangeIcons, &ArrangeIcons) \
  X(METHOD, MaximizeAll, &MaximizeAll) \
  X(METHOD, MinimizeAll, &MinimizeAll) \
  X(METHOD, CloseAll, &CloseAll)

namespace zv {

Class* QFormClass();
Class* TFormClass();
Class* QMDIClientClass();
Class* TMDIClientClass();

class TFormRef : public TScrollingWinControlRef {
  ZV_VIEW_CLASS(TFormRef, TScrollingWinControlRef, QFormClass)
  ZV_VIEW_MEMBERS(ZV_QFORM_MEMBERS)
};

class TMDIClientRef : public TWinControlRef {
  ZV_VIEW_CLASS(TMDIClientRef, TWinControlRef, QMDIClientClass)
  ZV_VIEW_MEMBERS(ZV_QMDICLIENT_MEMBERS)
};

}  // namespace zv
