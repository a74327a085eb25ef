// TControl and TStdControl: the base of every framework object with a window.
//
// TControl carries what the window layer needs of a control: the window
// class (its own, or one built on a system class such as "BUTTON"), styles,
// identifier, bounds in the parent's coordinates, text, visibility, enabled
// state, focus, the creation protocol (Register, Link, CreateHandle) and the
// destruction order (Destroy, WMDestroy, WMNCDestroy, Free), the reflected
// Command and Notify, keyboard bubbling and the basic mouse events. Layout
// (anchors, alignment), fonts, colours, themes and owner drawing are added
// by the control base on top of these members.
//
// TStdControl adds what takes part in a form's keyboard interface: the tab
// stop (WS_TABSTOP), the status-bar message, state requests (OnCheckState).
#pragma once

#include "framework/window/control_interaction.h"
#include "framework/window/winobject.h"

#define ZV_QCONTROL_MEMBERS(X) \
  X(PROPERTY, int, nLeft, .dflt = 0, .setter = sym::SetLeft) \
  X(PROPERTY, int, nTop, .dflt = 0, .setter = sym::SetTop) \
  X(PROPERTY, int, nWidth, .dflt = 10, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 10, .setter = sym::SetHeight) \
  X(PROPERTY, std::string, cText, .dflt = "", .getter = sym::GetText, .setter = sym::SetText, .editor = "PE_ExtendedString") \
  X(PROPERTY, int, nAlign, .dflt = 0, .setter = &SetAlign, .valueNames = Value::List({Value::List({"alNONE", 0}), Value::List({"alLEFT", 1}), Value::List({"alTOP", 2}), Value::List({"alRIGHT", 3}), Value::List({"alBOTTOM", 4}), Value::List({"alCLIENT", 5})})) \
  X(PROPERTY, int, nAnchors, .dflt = 3, .setter = sym::SetAnchors, .editor = "PE_Anchors") \
  X(PROPERTY, Value, oCursor, .valueClass = "TCursor", .setter = sym::SetCursor, .editor = "PE_Cursor") \
  X(PROPERTY, std::string, cTooltip, .setter = sym::SetTooltip, .editor = "PE_Tooltip") \
  X(PROPERTY, std::string, cBalloon, .setter = sym::SetBalloon, .editor = "PE_Tooltip") \
  X(PROPERTY, std::string, cTooltipTitle, .editor = "PE_StringOrNil") \
  X(PROPERTY, int, nTooltipIcon, .dflt = 0) \
  X(PROPERTY_R, Value, oTooltip, .valueClass = "TToolTip", .visibility = kPublic, .readOnly = true) \
  X(PROPERTY, bool, lVisible, .dflt = true, .setter = sym::SetVisible) \
  X(PROPERTY, bool, lEnabled, .dflt = true, .setter = sym::SetEnabled) \
  X(PROPERTY, Value, HelpId, .editor = "PE_StringOrNil") \
  X(PROPERTY, Value, oParent, .visibility = kPublic, .setter = sym::SetParent) \
  X(PROPERTY, Value, oForm, .visibility = kPublic) \
  X(PROPERTY, int, nClientTop, .dflt = 0, .visibility = kPublic) \
  X(PROPERTY, int, nClientLeft, .dflt = 0, .visibility = kPublic) \
  X(PROPERTY, int, nClientWidth, .dflt = 0, .visibility = kPublic) \
  X(PROPERTY, int, nClientHeight, .dflt = 0, .visibility = kPublic) \
  X(PROPERTY_R, bool, lFocused, .dflt = false, .visibility = kPublic, .readOnly = true) \
  X(PROPERTY, bool, lParentFont, .dflt = true, .setter = &ctlset::SetParentFont) \
  X(PROPERTY, Value, oFont, .valueClass = "TFont", .getter = sym::GetFont, .setter = sym::SetFont, .editor = "PE_Font") \
  X(PROPERTY, Value, oBrush, .valueClass = "TBrush", .editor = "PE_Brush") \
  X(PROPERTY, int, nClrText, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOWTEXT)), .setter = &ctlset::SetTextColour, .editor = "PE_Color") \
  X(PROPERTY, int, nClrPane, .dflt = static_cast<long long>(GetSysColor(COLOR_BTNFACE)), .setter = &ctlset::SetPaneColour, .editor = "PE_Color") \
  X(PROPERTY, bool, lRedraw, .dflt = true, .visibility = kPublic, .setter = sym::SetRedraw) \
  X(PROPERTY, Value, oActiveControl, .visibility = kPublic) \
  X(PROPERTY_P, bool, lTabStop, .dflt = false, .visibility = kProtected, .readOnly = true) \
  X(PROPERTY, std::string, cTheme, .dflt = "", .visibility = kPublic, .setter = sym::SetTheme) \
  X(PROPERTY_P, bool, lTransparent, .dflt = false, .visibility = kProtected) \
  X(PROPERTY_P, int, nBorderStyle, .dflt = 0, .visibility = kProtected, .setter = sym::SetBorderStyle, .valueNames = Value::List({Value::List({"bvNONE", 0}), Value::List({"bvHALFRAISED", 1}), Value::List({"bvHALFSUNKEN", 2}), Value::List({"bvRAISED", 3}), Value::List({"bvSUNKEN", 4}), Value::List({"bvBUMP", 5}), Value::List({"bvETCHED", 6}), Value::List({"bvFLAT", 7})})) \
  X(DATA_P, std::string, cWinClassName, Value()) \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)) \
  X(DATA_P, int, nExStyle, 0) \
  X(DATA_P, int, nClassStyle, 0) \
  X(DATA_P, Value, hBkgnd, 0) \
  X(DATA_P, Value, hBrush, 0) \
  X(DATA_P, Value, hTheme, 0) \
  X(DATA_R, int, nId, Value()) \
  X(DATA_P, long long, nAnchorX, 0) \
  X(DATA_P, long long, nAnchorY, 0) \
  X(DATA_P, int, nOnDrag, 0) \
  X(DATA_P, Value, uControlPaint) \
  X(DATA_H, Value, aTooltipZones, Value()) \
  X(DATA_H, Value, aBalloonZones, Value()) \
  X(DATA_H, int, nTooltipZones, 0) \
  X(DATA_H, int, nBalloonZones, 0) \
  X(DATA_H, bool, lTooltip, false) \
  X(DATA_H, bool, lBalloon, false) \
  X(EVENT, OnCreate, "oSender") \
  X(EVENT, OnDestroy, "oSender") \
  X(EVENT, OnDestroyed, "oSender") \
  X(EVENT, OnShow, "oSender") \
  X(EVENT, OnHide, "oSender") \
  X(EVENT, OnClick, "oSender") \
  X(EVENT, OnBeforeCreate, "oSender") \
  X(EVENT, OnBeginDrag, "oSender") \
  X(EVENT, OnPaint, "oSender, hDC, @cPaintStruct") \
  X(EVENT, OnPainted, "oSender, hDC, @cPaintStruct") \
  X(EVENT, OnLButtonDown, "oSender, nKeyFlags, nPosX, nPosY") \
  X(EVENT, OnLButtonUp, "oSender, nKeyFlags, nPosX, nPosY") \
  X(EVENT, OnDblClick, "oSender, nKeyFlags, nPosX, nPosY") \
  X(EVENT, OnRButtonDown, "oSender, nKeyFlags, nPosX, nPosY") \
  X(EVENT, OnRButtonUp, "oSender, nKeyFlags, nPosX, nPosY") \
  X(EVENT, OnMouseMove, "oSender, nKeyFlags, nPosX, nPosY") \
  X(EVENT, OnContextMenu, "oSender, nPosX, nPosY") \
  X(EVENT, OnEndDrag, "oSender, oFrom") \
  X(EVENT, OnDragOver, "oSender, oFrom") \
  X(EVENT, OnRClick) \
  X(EVENT, OnChar, "oSender, nKey, nFlags") \
  X(EVENT, OnKeyDown, "oSender, nKey, nFlags") \
  X(EVENT, OnKeyUp, "oSender, nKey, nFlags") \
  X(EVENT, OnEnter, "oSender, oControl") \
  X(EVENT, OnExit, "oSender, oControl") \
  X(EVENT, OnDropFiles, "oSender, aPoint") \
  X(CONSTRUCTOR, New, &ControlNew) \
  X(CONSTRUCTOR, Create, &ControlCreate) \
  X(METHOD, Destroy, &Destroy) \
  X(METHOD, Free, &Free) \
  X(METHOD, GetForm, &GetForm) \
  X(METHOD, Register, &Register) \
  X(METHOD, RegisterClass, &RegisterClassMethod) \
  X(METHOD, Link, &Link) \
  X(METHOD, Unlink, &Unlink) \
  X(METHOD, CreateHandle, &CreateHandle) \
  X(METHOD, SetBounds, &SetBounds) \
  X(METHOD, SetAnchors, &SetAnchors) \
  X(METHOD, SetClientSize, &SetClientSize) \
  X(METHOD, UpdateClientRect, &UpdateClientRect) \
  X(METHOD, ScreenToClient, &ScreenToClientMethod) \
  X(METHOD, ClientToScreen, &ClientToScreenMethod) \
  X(METHOD, GetMonitor, &GetMonitor) \
  X(METHOD, SetColor, &SetColor) \
  X(METHOD, SetFont, &SetFont) \
  X(METHOD, GetFont, &GetFont) \
  X(METHOD, SetRedraw, &SetRedraw) \
  X(METHOD, Refresh, &Refresh) \
  X(METHOD, Update, &Update) \
  X(METHOD, Redraw, &ctlpaint::Redraw) \
  X(METHOD, BeginPaint, &ctlpaint::BeginPaintMethod) \
  X(METHOD, EndPaint, &ctlpaint::EndPaintMethod) \
  X(METHOD, EraseAndPaint, &ctlpaint::EraseAndPaint) \
  X(METHOD, EraseSolidAndPaint, &ctlpaint::EraseSolidAndPaint) \
  X(METHOD, SetBorderStyle, &ctlpaint::SetBorderStyle) \
  X(METHOD, SetTheme, &ctlpaint::SetTheme) \
  X(HANDLER, WMPaint, &ctlpaint::WMPaint) \
  X(HANDLER, WMEraseBkgnd, &ctlpaint::WMEraseBkgnd) \
  X(HANDLER, WMPrintClient, &ctlpaint::WMPrintClient) \
  X(HANDLER, WMNCCalcSize, &ctlpaint::WMNCCalcSize) \
  X(HANDLER, WMNCPaint, &ctlpaint::WMNCPaint) \
  X(HANDLER, WMDrawItem, &ctlpaint::WMDrawItem) \
  X(HANDLER, WMMeasureItem, &ctlpaint::WMMeasureItem) \
  X(HANDLER, WMThemeChanged, &ctlpaint::WMThemeChanged) \
  X(METHOD, ChangeCtlStyle, &ChangeStyle<false>) \
  X(METHOD, ChangeExStyle, &ChangeStyle<true>) \
  X(METHOD, ReplaceStyle, &ReplaceStyle<false>) \
  X(METHOD, ReplaceExStyle, &ReplaceStyle<true>) \
  X(METHOD, RemoveStyle, &RemoveStyle<false>) \
  X(METHOD, RemoveExStyle, &RemoveStyle<true>) \
  X(METHOD, HasStyle, &HasStyle<false>) \
  X(METHOD, HasExStyle, &HasStyle<true>) \
  X(METHOD, SetLeft, &SetLeft) \
  X(METHOD, SetTop, &SetTop) \
  X(METHOD, SetWidth, &SetWidth) \
  X(METHOD, SetHeight, &SetHeight) \
  X(METHOD, UpdateBounds, &UpdateBounds) \
  X(METHOD, SetText, &SetText) \
  X(METHOD, GetText, &GetText) \
  X(METHOD, Show, &Show) \
  X(METHOD, Hide, &Hide) \
  X(METHOD, SetVisible, &SetVisible) \
  X(METHOD, Enable, &Enable) \
  X(METHOD, Disable, &Disable) \
  X(METHOD, SetEnabled, &SetEnabled) \
  X(METHOD, SetParent, &SetParent) \
  X(METHOD, SetFocus, &SetFocusMethod) \
  X(METHOD, Valid, &Valid) \
  X(ABSTRACT, GotFocus) \
  X(METHOD, GoNextControl, &GoNext) \
  X(METHOD, GoPrevControl, &GoPrev) \
  X(METHOD, Click, &Click) \
  X(METHOD, QVClick, &QVClick) \
  X(METHOD, Command, &Command) \
  X(ABSTRACT, Notify) \
  X(ABSTRACT, AlignControls) \
  X(ABSTRACT, InsertComponent) \
  X(ABSTRACT, RemoveComponent) \
  X(ABSTRACT, DrawItem) \
  X(ABSTRACT, MeasureItem) \
  X(METHOD, ShortCut, &ShortCut) \
  X(METHOD, GetCtlColor, &GetCtlColor) \
  X(METHOD, SendMsg, &SendMsgMethod) \
  X(METHOD, PostMsg, &PostMsgMethod) \
  X(METHOD, SetTooltip, &ctlx::SetTooltip) \
  X(METHOD, SetBalloon, &ctlx::SetBalloon) \
  X(METHOD, SetTooltipZones, &ctlx::SetTooltipZones) \
  X(METHOD, SetBalloonZones, &ctlx::SetBalloonZones) \
  X(METHOD, GetTooltip, &ctlx::GetTooltip) \
  X(METHOD, ShowTooltip, &ctlx::ShowTooltip) \
  X(METHOD, ShowBalloon, &ctlx::ShowBalloon) \
  X(METHOD, HideTooltip, &ctlx::HideTooltip) \
  X(METHOD, HideBalloon, &ctlx::HideTooltip) \
  X(METHOD_P, ApplyTooltips, &ctlx::ApplyTooltips) \
  X(METHOD_P, RemoveTooltips, &ctlx::RemoveTooltips) \
  X(HANDLER, WMNotify, &ctlx::WMNotify) \
  X(HANDLER, WMCaptureChanged, &ctlx::WMCaptureChanged) \
  X(HANDLER, WMHelp, &ctlx::WMHelp) \
  X(HANDLER, WMInitMenuPopup, &ctlx::WMInitMenuPopup) \
  X(HANDLER, WMDestroy, &WMDestroy) \
  X(HANDLER, WMNCDestroy, &WMNCDestroy) \
  X(HANDLER, WMWindowPosChanged, &WMWindowPosChanged) \
  X(HANDLER, WMSetFocus, &WMSetFocus) \
  X(HANDLER, WMKillFocus, &WMKillFocus) \
  X(HANDLER, WMKeyDown, &WMKeyDown) \
  X(HANDLER, WMKeyUp, &WMKeyUp) \
  X(HANDLER, WMChar, &WMChar) \
  X(HANDLER, WMLButtonDown, &ctlx::WMLButtonDown) \
  X(HANDLER, WMLButtonUp, &ctlx::WMLButtonUp) \
  X(HANDLER, WMLButtonDblClk, &WMLButtonDblClk) \
  X(HANDLER, WMRButtonDown, &WMRButtonDown) \
  X(HANDLER, WMRButtonUp, &WMRButtonUp) \
  X(HANDLER, WMMouseMove, &ctlx::WMMouseMove) \
  X(HANDLER, WMSetCursor, &WMSetCursor) \
  X(HANDLER, WMContextMenu, &WMContextMenu) \
  X(HANDLER, WMNCHitTest, &WMNCHitTest) \
  X(HANDLER, WMSysKeyDown, &ToFormsHandler) \
  X(HANDLER, WMSysKeyUp, &ToFormsHandler) \
  X(HANDLER, WMSysChar, &ToFormsHandler) \
  X(METHOD, ShowPopupMenu, &ShowPopupMenu) \
  X(METHOD, SetCursor, &SetCursorMethod)

#define ZV_QSTDCONTROL_MEMBERS(X) \
  X(PROPERTY, std::string, cMessage, .editor = "PE_StringOrNil") \
  X(PROPERTY, bool, lBorder, .dflt = false, .setter = sym::SetBorder) \
  X(PROPERTY, bool, lTabStop, .dflt = true, .setter = sym::SetTabStop) \
  X(PROPERTY, bool, lDragAcceptFiles, .dflt = false, .setter = &SetDragAcceptFiles) \
  X(PROPERTY, bool, l3D, .dflt = true, .setter = sym::Set3D) \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)) \
  X(DATA_P, int, nClassStyle, static_cast<long long>(CS_DBLCLKS)) \
  X(DATA_R, Value, aDropFiles, Value::List({})) \
  X(EVENT, OnChar, "oSender, nKey, nFlags") \
  X(EVENT, OnKeyDown, "oSender, nKey, nFlags") \
  X(EVENT, OnKeyUp, "oSender, nKey, nFlags") \
  X(EVENT, OnEnter, "oSender, oPrevCtl") \
  X(EVENT, OnExit, "oSender, oNextCtl") \
  X(EVENT, OnDropFiles, "oSender, aFiles, aPoint") \
  X(EVENT, OnCheckState, "oSender") \
  X(METHOD, SetTabStop, &SetTabStop) \
  X(METHOD, SetBorder, &SetBorder) \
  X(METHOD, Set3D, &Set3D) \
  X(HANDLER, WMDropFiles, &WMDropFiles) \
  X(HANDLER, WMSetFocus, &ctlx::StdWMSetFocus) \
  X(METHOD, CreateHandle, &StdCreateHandle) \
  X(METHOD, RequestState, &RequestState)

namespace zv {

// The setters of the colour and font members (they go through SetColor and
// SetFont), for the classes that declare those members again, to publish or
// hide them, and keep what assigning them does.
namespace ctlset {
Value SetTextColour(Object& self, Args a);
Value SetPaneColour(Object& self, Args a);
Value SetParentFont(Object& self, Args a);
}  // namespace ctlset

Class* QControlClass();
Class* TControlClass();
Class* QStdControlClass();
Class* TStdControlClass();

class TControlRef : public TWinObjectRef {
  ZV_VIEW_CLASS(TControlRef, TWinObjectRef, QControlClass)
  ZV_VIEW_MEMBERS(ZV_QCONTROL_MEMBERS)
};

class TStdControlRef : public TControlRef {
  ZV_VIEW_CLASS(TStdControlRef, TControlRef, QStdControlClass)
  ZV_VIEW_MEMBERS(ZV_QSTDCONTROL_MEMBERS)
};

// Convenience for C++ code of the window layer.
Value ControlForm(const Value& control);  // GetForm
Value ControlParent(const Value& control);

// Signed low and high words of an lParam (mouse coordinates).
inline int LowSigned(LPARAM l) { return static_cast<short>(LOWORD(l)); }
inline int HighSigned(LPARAM l) { return static_cast<short>(HIWORD(l)); }

}  // namespace zv
