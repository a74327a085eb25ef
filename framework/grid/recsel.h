// TBrwRecSel: the narrow column at the grid's left edge. It marks the
// current record with a pointer (an arrow, or the new-record mark while a
// row is appended or inserted), can show a text and an image per row from
// OnGetData (asked while the row's record is the grid's current one), and
// is where the row height is dragged. It has no window: the grid paints it
// through Paint and Erase and counts its width in FirstCol.
#pragma once

#include "framework/core/component.h"
#include "framework/window/control.h"

#define ZV_QBRWRECSEL_MEMBERS(X) \
  X(PROPERTY, Value, oFont, .valueClass = "TFont", .getter = sym::GetFont, .setter = sym::SetFont) \
  X(PROPERTY, bool, lParentFont, .dflt = true, .setter = &recsel::SetParentFont) \
  X(PROPERTY, int, nClrText, .dflt = 0, .setter = sym::SetClrText) \
  X(PROPERTY, int, nClrPane, .dflt = static_cast<long long>(GetSysColor(COLOR_BTNFACE)), .setter = sym::SetClrPane) \
  X(PROPERTY, int, nAlignment, .dflt = 0, .setter = sym::SetAlignment) \
  X(PROPERTY, int, nBmpAlignment, .dflt = 0) \
  X(PROPERTY, int, nWidth, .dflt = 24, .getter = sym::GetWidth, .setter = sym::SetWidth) \
  X(PROPERTY, int, nBmpMargin, .dflt = 10) \
  X(PROPERTY, bool, lRecordPointer, .dflt = true, .setter = sym::SetRecordPointer) \
  X(PROPERTY_R, int, nHeight, .dflt = 0, .readOnly = true, .getter = sym::GetHeight) \
  X(EVENT, OnClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnRClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnDblClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnGetData, "oSender, @cText, @nImage, lSelected") \
  X(DATA_H, Value, oImgListRow) \
  X(DATA_H, Value, hClrText, 0) \
  X(DATA_H, Value, hClrPane, 0) \
  X(DATA_H, int, nDrawTextStyle, 0) \
  X(DATA_H, Value, hArrowBitmap, 0) \
  X(CONSTRUCTOR, Create, &recsel::Create) \
  X(METHOD, Free, &recsel::Free) \
  X(METHOD, Adjust, &recsel::Adjust) \
  X(METHOD, Paint, &recsel::Paint) \
  X(METHOD, Erase, &recsel::Erase) \
  X(METHOD, GetWidth, &recsel::GetWidth) \
  X(METHOD, SetWidth, &recsel::SetWidth) \
  X(METHOD, GetHeight, &recsel::GetHeight) \
  X(METHOD, SetClrText, &recsel::SetClrText) \
  X(METHOD, SetClrPane, &recsel::SetClrPane) \
  X(METHOD, SetAlignment, &recsel::SetAlignment) \
  X(METHOD, SetRecordPointer, &recsel::SetRecordPointer) \
  X(METHOD, DefStyle, &recsel::DefStyle) \
  X(METHOD, GetFont, &recsel::GetFont) \
  X(METHOD, SetFont, &recsel::SetFont) \
  X(METHOD, QVClick, &recsel::QVClick) \
  X(METHOD, Handle, &recsel::Handle)

namespace zv {

namespace recsel {
Value SetParentFont(Object& self, Args a);
Value Create(Object& self, Args a);
Value Free(Object& self, Args a);
Value Adjust(Object& self, Args a);
Value Paint(Object& self, Args a);
Value Erase(Object& self, Args a);
Value GetWidth(Object& self, Args a);
Value SetWidth(Object& self, Args a);
Value GetHeight(Object& self, Args a);
Value SetClrText(Object& self, Args a);
Value SetClrPane(Object& self, Args a);
Value SetAlignment(Object& self, Args a);
Value SetRecordPointer(Object& self, Args a);
Value DefStyle(Object& self, Args a);
Value GetFont(Object& self, Args a);
Value SetFont(Object& self, Args a);
Value QVClick(Object& self, Args a);
Value Handle(Object& self, Args a);
}  // namespace recsel

Class* QBrwRecSelClass();
Class* TBrwRecSelClass();

class TBrwRecSelRef : public TComponentRef {
  ZV_VIEW_CLASS(TBrwRecSelRef, TComponentRef, QBrwRecSelClass)
  ZV_VIEW_MEMBERS(ZV_QBRWRECSEL_MEMBERS)
};

}  // namespace zv
