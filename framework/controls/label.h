// TLabel: static text painted by the control itself, on its parent's
// background unless told otherwise. With lAutoSize it takes the size of its
// text (keeping its position); a text with a line break makes it multi-line.
#pragma once

#include "framework/controls/button.h"

#define ZV_LABEL_HALIGN_NAMES Value::List({Value::List({"taLEFT", 0}), Value::List({"taRIGHT", 2}), Value::List({"taCENTER", 6})})
#define ZV_LABEL_VALIGN_NAMES Value::List({Value::List({"vaTOP", 0}), Value::List({"vaBOTTOM", 2}), Value::List({"vaCENTER", 1})})

#define ZV_QLABEL_MEMBERS(X) \
  X(PROPERTY, std::string, cText, .dflt = "", .getter = sym::GetText, .setter = sym::SetText, .editor = "PE_ExtendedString") \
  X(PROPERTY, int, nWidth, .dflt = 90, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 18, .setter = sym::SetHeight) \
  X(PROPERTY, int, nAlignment, .dflt = 0, .setter = &label::SetAlignment, .valueNames = ZV_LABEL_HALIGN_NAMES) \
  X(PROPERTY, int, nVAlignment, .dflt = 0, .setter = &label::SetVAlignment, .valueNames = ZV_LABEL_VALIGN_NAMES) \
  X(PROPERTY, int, nBorderStyle, .dflt = 0, .setter = sym::SetBorderStyle) \
  X(PROPERTY, bool, lTransparent, .dflt = true) \
  X(PROPERTY, bool, lAutoSize, .dflt = true, .setter = &label::SetAutoSize) \
  X(PROPERTY, bool, lMultiLine, .dflt = false, .setter = &label::SetMultiLine) \
  X(DATA_P, int, nClassStyle, static_cast<long long>(CS_DBLCLKS)) \
  X(CONSTRUCTOR, Create, &label::Create) \
  X(METHOD, Adjust, &label::Adjust) \
  X(METHOD, SetText, &label::SetText) \
  X(METHOD, CalcBounds, &label::CalcBounds) \
  X(HANDLER, WMEraseBkgnd, &label::WMEraseBkgnd) \
  X(HANDLER, WMPaint, &label::WMPaint) \
  X(HANDLER, WMPrintClient, &label::WMPaint)

namespace zv {

namespace label {
Value SetAlignment(Object& self, Args a);
Value SetVAlignment(Object& self, Args a);
Value SetAutoSize(Object& self, Args a);
Value SetMultiLine(Object& self, Args a);
Value Create(Object& self, Args a);
Value Adjust(Object& self, Args a);
Value SetText(Object& self, Args a);
Value CalcBounds(Object& self, Args a);
Value WMEraseBkgnd(Object& self, const PaintMsg& m);
Value WMPaint(Object& self, const PaintMsg& m);
}  // namespace label

Class* QLabelClass();
Class* TLabelClass();

class TLabelRef : public TControlRef {
  ZV_VIEW_CLASS(TLabelRef, TControlRef, QLabelClass)
  ZV_VIEW_MEMBERS(ZV_QLABEL_MEMBERS)
};

}  // namespace zv
