// TButton: a push button over the system "BUTTON" class. The standard
// button procedure captures the mouse, shows the pressed state and sends
// BN_CLICKED; the click arrives as Command(BN_CLICKED) and becomes Click(),
// which fires OnClick and, for a button with a modal result, closes its form
// with that result. A default button answers Enter on the form; a cancel
// button remembers the control it took the focus from, so that a release
// outside the button validates that control again.
#pragma once

#include "framework/window/control.h"
#include "framework/window/messages.h"

#define ZV_MODAL_RESULT_NAMES                                                                                   \
  Value::List({Value::List({"mrNONE", 0}), Value::List({"mrOK", 1}), Value::List({"mrCANCEL", 2}),              \
               Value::List({"mrABORT", 3}), Value::List({"mrRETRY", 4}), Value::List({"mrIGNORE", 5}),          \
               Value::List({"mrYES", 6}), Value::List({"mrNO", 7}), Value::List({"mrCLOSE", 8}),                \
               Value::List({"mrHELP", 9}), Value::List({"mrTRYAGAIN", 10}), Value::List({"mrCONTINUE", 11}),    \
               Value::List({"mrALL", -1}), Value::List({"mrNOTOALL", -2}), Value::List({"mrYESTOALL", -3})})
#define ZV_HALIGN_NAMES Value::List({Value::List({"taCENTER", 6}), Value::List({"taLEFT", 0}), Value::List({"taRIGHT", 2})})
#define ZV_VALIGN_NAMES Value::List({Value::List({"vaTOP", 0}), Value::List({"vaCENTER", 1}), Value::List({"vaBOTTOM", 2})})

#define ZV_QBUTTON_MEMBERS(X) \
  X(PROPERTY, int, nWidth, .dflt = 80, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 25, .setter = sym::SetHeight) \
  X(PROPERTY, bool, lDefault, .dflt = false, .setter = sym::SetDefault) \
  X(PROPERTY, bool, lCancel, .dflt = false, .setter = sym::SetCancel) \
  X(PROPERTY, int, nModalResult, .dflt = 0, .valueNames = ZV_MODAL_RESULT_NAMES) \
  X(PROPERTY, bool, lPushed, .dflt = false, .getter = sym::GetPushed, .setter = sym::SetPushed) \
  X(PROPERTY, int, nAlignment, .dflt = 6, .setter = sym::SetAlignment, .valueNames = ZV_HALIGN_NAMES) \
  X(PROPERTY, int, nVAlignment, .dflt = 1, .setter = sym::SetVAlignment, .valueNames = ZV_VALIGN_NAMES) \
  X(PROPERTY, bool, lMultiLine, .dflt = false, .setter = sym::SetMultiLine) \
  X(EVENT, OnClick, "oSender") \
  X(PROPERTY, Value, oBrush, .valueClass = "TBrush", .visibility = kPublic) \
  X(PROPERTY, int, nClrText, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOWTEXT)), .visibility = kPublic, .setter = &ctlset::SetTextColour) \
  X(PROPERTY, int, nClrPane, .dflt = static_cast<long long>(GetSysColor(COLOR_BTNFACE)), .visibility = kPublic, .setter = &ctlset::SetPaneColour) \
  X(PROPERTY, std::string, cTheme, .dflt = "Button", .visibility = kPublic, .setter = sym::SetTheme) \
  X(DATA_P, std::string, cWinClassName, "BUTTON") \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)) \
  X(DATA, Value, oPrevCtrl) \
  X(CONSTRUCTOR, Create, &btn::Create) \
  X(METHOD, Click, &btn::Click) \
  X(METHOD, GetPushed, &btn::GetPushed) \
  X(METHOD, SetPushed, &btn::SetPushed) \
  X(METHOD, SetDefault, &btn::SetDefault) \
  X(METHOD, SetCancel, &btn::SetCancel) \
  X(METHOD, SetAlignment, &btn::SetAlignment) \
  X(METHOD, SetVAlignment, &btn::SetVAlignment) \
  X(METHOD, SetMultiLine, &btn::SetMultiLine) \
  X(METHOD, SetImage, &btn::SetImage) \
  X(METHOD, GetImage, &btn::GetImage) \
  X(METHOD, QVClick, &btn::QVClick) \
  X(HANDLER, WMPaint, &btn::WMPaint) \
  X(HANDLER, WMPrintClient, &btn::WMPaint) \
  X(HANDLER, WMKillFocus, &btn::WMKillFocus) \
  X(HANDLER, WMKeyDown, &btn::WMKeyDown) \
  X(HANDLER, WMChar, &btn::WMChar) \
  X(HANDLER, WMLButtonDown, &btn::WMLButtonDown) \
  X(HANDLER, WMLButtonUp, &btn::WMLButtonUp)

namespace zv {

namespace btn {
Value Create(Object& self, Args a);
Value Click(Object& self, Args a);
Value GetPushed(Object& self, Args a);
Value SetPushed(Object& self, Args a);
Value SetDefault(Object& self, Args a);
Value SetCancel(Object& self, Args a);
Value SetAlignment(Object& self, Args a);
Value SetVAlignment(Object& self, Args a);
Value SetMultiLine(Object& self, Args a);
Value SetImage(Object& self, Args a);
Value GetImage(Object& self, Args a);
Value QVClick(Object& self, Args a);
Value WMPaint(Object& self, const PaintMsg& m);
Value WMKillFocus(Object& self, const FocusMsg& m);
Value WMKeyDown(Object& self, const KeyMsg& m);
Value WMChar(Object& self, const KeyMsg& m);
Value WMLButtonDown(Object& self, const MouseMsg& m);
Value WMLButtonUp(Object& self, const MouseMsg& m);
}  // namespace btn

Class* QButtonClass();
Class* TButtonClass();

class TButtonRef : public TStdControlRef {
  ZV_VIEW_CLASS(TButtonRef, TStdControlRef, QButtonClass)
  ZV_VIEW_MEMBERS(ZV_QBUTTON_MEMBERS)
};

}  // namespace zv
