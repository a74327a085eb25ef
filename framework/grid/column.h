// TBrwColumn: one column of a grid. It gives the cell value of the grid's
// current record (GetData; the base class has no data access and answers an
// empty text, subclasses bind it to a source), formats it, measures its
// width, carries its header and footer texts, images, tooltip, sort mark and
// filter, decides the alignment and drawing style, and paints and erases its
// cells. A column is a component whose parent is the grid; the grid writes
// its display fields (nPos, nDisplayCol, oHeader, oFooter) whenever it
// rebuilds what it shows.
//
// The in-place editor (oGridEdit) is made by EditControl when a grid-edit
// class is available; until then Edit refuses with false after asking
// OnGetValue / OnGetData and OnEdit, as it does for a column that cannot be
// edited.
#pragma once

#include "framework/core/component.h"
#include "framework/window/control.h"

// The column alignments: the data side in the low bits, a different header
// side in the bits 16, 32 and 64.
#define ZV_COLUMN_ALIGN_NAMES                                                                                    \
  Value::List({Value::List({"taLEFT", 0}), Value::List({"taRIGHT", 2}), Value::List({"taCENTER", 6}),           \
               Value::List({"taLEFTHEADERCENTER", 64}), Value::List({"taLEFTHEADERRIGHT", 32}),                 \
               Value::List({"taRIGHTHEADERLEFT", 18}), Value::List({"taRIGHTHEADERCENTER", 66}),                \
               Value::List({"taCENTERHEADERLEFT", 22}), Value::List({"taCENTERHEADERRIGHT", 38})})
#define ZV_COLUMN_SORT_NAMES \
  Value::List({Value::List({"bsNONE", 0}), Value::List({"bsASCENDING", 1}), Value::List({"bsDESCENDING", -1})})
#define ZV_COLUMN_EDIT_NAMES                                                                                     \
  Value::List({Value::List({"beNONE", 0}), Value::List({"beGET", 1}), Value::List({"beGET_BUTTON", 2}),         \
               Value::List({"beGET_LISTBOX", 3}), Value::List({"beBUTTON", 4}), Value::List({"beLISTBOX", 5})})

#define ZV_QBRWCOLUMN_MEMBERS(X) \
  X(PROPERTY, bool, lParentFont, .dflt = true, .setter = &brwcol::SetParentFont) \
  X(PROPERTY, Value, oFont, .valueClass = "TFont", .getter = sym::GetFont, .setter = sym::SetFont) \
  X(PROPERTY, Value, aEditListText, .dflt = Value::List({}), .setter = &brwcol::SetEditListText) \
  X(PROPERTY, Value, aEditListBound, .dflt = Value::List({})) \
  X(PROPERTY, std::string, FilterEval, .dflt = "") \
  X(PROPERTY, std::string, cHeader, .dflt = "", .setter = sym::SetHeader) \
  X(PROPERTY, std::string, cFooter, .dflt = "", .setter = sym::SetFooter) \
  X(PROPERTY, std::string, cTooltip, .dflt = "", .setter = sym::SetTooltip) \
  X(PROPERTY, std::string, cPicture, .dflt = "") \
  X(PROPERTY, std::string, cFilter, .dflt = "", .getter = sym::GetFilter, .setter = sym::SetFilter) \
  X(PROPERTY, int, nClrText, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOWTEXT))) \
  X(PROPERTY, int, nClrPane, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOW))) \
  X(PROPERTY, int, nAlignment, .dflt = 0, .setter = sym::SetAlignment, .valueNames = ZV_COLUMN_ALIGN_NAMES) \
  X(PROPERTY, int, nBmpAlignment, .dflt = 0, .setter = sym::SetBmpAlignment) \
  X(PROPERTY, int, nBmpMargin, .dflt = 10) \
  X(PROPERTY, int, nWidth, .dflt = 0, .getter = sym::GetWidth, .setter = sym::SetWidth) \
  X(PROPERTY, int, nSort, .dflt = 0, .setter = sym::SetSort, .valueNames = ZV_COLUMN_SORT_NAMES) \
  X(PROPERTY, int, nHeaderImage, .dflt = 0, .setter = sym::SetHeaderImage) \
  X(PROPERTY, int, nFooterImage, .dflt = 0, .setter = sym::SetFooterImage) \
  X(PROPERTY, int, nEditType, .dflt = 0, .setter = sym::SetEditType, .valueNames = ZV_COLUMN_EDIT_NAMES) \
  X(PROPERTY, int, nEditLength, .dflt = -1) \
  X(PROPERTY, bool, lVisible, .dflt = true, .setter = sym::SetVisible) \
  X(PROPERTY, Value, uDefaultValue) \
  X(EVENT, OnCreate, "oSender") \
  X(EVENT, OnGridEditCreate, "oSender") \
  X(EVENT, OnHeaderClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnFooterClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnDataClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnHeaderRClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnFooterRClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnDataRClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnHeaderDblClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnFooterDblClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnDataDblClick, "oSender, nFlags, nPosX, nPosY") \
  X(EVENT, OnEdit, "oSender, @Value, lMultiEdit") \
  X(EVENT, OnPostEdit, "oSender, @Value, @lCanceled, nKey") \
  X(EVENT, OnBtnClick, "oSender, Value") \
  X(EVENT, OnDrawCell, "oSender, cText, @nClrText, @nClrPane, lHighLite, hDC, aRect") \
  X(EVENT, OnGetData, "oSender, @Value, @nImage") \
  X(EVENT, OnGetValue, "oSender, @Value") \
  X(EVENT, OnChangeWidth, "oSender, @nNewWidth, nOldWidth") \
  X(EVENT, OnExit, "oSender, oGridEdit, oNextCtl") \
  X(DATA, Value, oDataField) \
  X(DATA, std::string, cFieldName, "") \
  X(DATA, Value, oHeader) \
  X(DATA, Value, oFooter) \
  X(DATA, Value, oGridEdit) \
  X(DATA, int, nIndex, 0) \
  X(DATA, int, nPos, 0) \
  X(DATA, int, nDisplayCol, 0) \
  X(DATA, bool, lEdited, false) \
  X(DATA_P, int, nDrawTextStyle, 0) \
  X(DATA_P, bool, lOnPostEdit, false) \
  X(DATA_P, std::string, cEditValType, "") \
  X(CONSTRUCTOR, Create, &brwcol::Create) \
  X(METHOD, Free, &brwcol::Free) \
  X(METHOD, Adjust, &brwcol::Adjust) \
  X(METHOD, GetWidth, &brwcol::GetWidth) \
  X(METHOD, SetWidth, &brwcol::SetWidth) \
  X(METHOD, DataWidth, &brwcol::DataWidth) \
  X(METHOD, DataHeight, &brwcol::DataHeight) \
  X(METHOD, DefStyle, &brwcol::DefStyle) \
  X(METHOD, SetAlignment, &brwcol::SetAlignment) \
  X(METHOD, SetBmpAlignment, &brwcol::SetBmpAlignment) \
  X(METHOD, SetVisible, &brwcol::SetVisible) \
  X(METHOD, IsVisible, &brwcol::IsVisible) \
  X(METHOD, SetHeader, &brwcol::SetHeader) \
  X(METHOD, SetFooter, &brwcol::SetFooter) \
  X(METHOD, SetTooltip, &brwcol::SetTooltip) \
  X(METHOD, SetSort, &brwcol::SetSort) \
  X(METHOD, SetHeaderImage, &brwcol::SetHeaderImage) \
  X(METHOD, SetFooterImage, &brwcol::SetFooterImage) \
  X(METHOD, GetFilter, &brwcol::GetFilter) \
  X(METHOD, SetFilter, &brwcol::SetFilter) \
  X(METHOD, ClearFilter, &brwcol::ClearFilter) \
  X(METHOD, GetData, &brwcol::GetData) \
  X(METHOD_NV, Value, &brwcol::ValueOf) \
  X(METHOD, DefaultValue, &brwcol::DefaultValue) \
  X(METHOD, Edit, &brwcol::Edit) \
  X(METHOD, PostEdit, &brwcol::PostEdit) \
  X(METHOD, EditControl, &brwcol::EditControl) \
  X(METHOD, SetEditType, &brwcol::SetEditType) \
  X(METHOD, SetGridEditBounds, &brwcol::SetGridEditBounds) \
  X(METHOD, HeaderClick, &brwcol::HeaderClick) \
  X(METHOD, SetColumns, &brwcol::SetColumns) \
  X(METHOD, Select, &brwcol::Select) \
  X(METHOD, AdjustWidth, &brwcol::AdjustWidth) \
  X(METHOD, Refresh, &brwcol::Refresh) \
  X(METHOD, Handle, &brwcol::Handle) \
  X(METHOD, PaintData, &brwcol::PaintData) \
  X(METHOD, EraseData, &brwcol::EraseData) \
  X(METHOD, Box, &brwcol::Box) \
  X(METHOD, SetFieldObject, &brwcol::SetFieldObject) \
  X(METHOD, ResetDataField, &brwcol::ResetDataField) \
  X(METHOD, GetFont, &brwcol::GetFont) \
  X(METHOD, SetFont, &brwcol::SetFont) \
  X(METHOD, CellText, &brwcol::CellText)

namespace zv {

namespace brwcol {
Value SetParentFont(Object& self, Args a);
Value SetEditListText(Object& self, Args a);
Value Create(Object& self, Args a);
Value Free(Object& self, Args a);
Value Adjust(Object& self, Args a);
Value GetWidth(Object& self, Args a);
Value SetWidth(Object& self, Args a);
Value DataWidth(Object& self, Args a);
Value DataHeight(Object& self, Args a);
Value DefStyle(Object& self, Args a);
Value SetAlignment(Object& self, Args a);
Value SetBmpAlignment(Object& self, Args a);
Value SetVisible(Object& self, Args a);
Value IsVisible(Object& self, Args a);
Value SetHeader(Object& self, Args a);
Value SetFooter(Object& self, Args a);
Value SetTooltip(Object& self, Args a);
Value SetSort(Object& self, Args a);
Value SetHeaderImage(Object& self, Args a);
Value SetFooterImage(Object& self, Args a);
Value GetFilter(Object& self, Args a);
Value SetFilter(Object& self, Args a);
Value ClearFilter(Object& self, Args a);
Value GetData(Object& self, Args a);
Value ValueOf(Object& self, Args a);
Value DefaultValue(Object& self, Args a);
Value Edit(Object& self, Args a);
Value PostEdit(Object& self, Args a);
Value EditControl(Object& self, Args a);
Value SetEditType(Object& self, Args a);
Value SetGridEditBounds(Object& self, Args a);
Value HeaderClick(Object& self, Args a);
Value SetColumns(Object& self, Args a);
Value Select(Object& self, Args a);
Value AdjustWidth(Object& self, Args a);
Value Refresh(Object& self, Args a);
Value Handle(Object& self, Args a);
Value PaintData(Object& self, Args a);
Value EraseData(Object& self, Args a);
Value Box(Object& self, Args a);
Value SetFieldObject(Object& self, Args a);
Value ResetDataField(Object& self, Args a);
Value GetFont(Object& self, Args a);
Value SetFont(Object& self, Args a);
Value CellText(Object& self, Args a);
}  // namespace brwcol

Class* QBrwColumnClass();
Class* TBrwColumnClass();

class TBrwColumnRef : public TComponentRef {
  ZV_VIEW_CLASS(TBrwColumnRef, TComponentRef, QBrwColumnClass)
  ZV_VIEW_MEMBERS(ZV_QBRWCOLUMN_MEMBERS)
};

// The header (and footer) item alignment of a column alignment: the value
// itself when the bits 0xF0 are clear, else 0 for 16, 2 for 32, 6 for 64.
int HeaderAlignment(long long alignment);

// A cell value as the grid shows it: formatted by the picture when there is
// one, else logical values as ".T." / ".F.", absent values as "", others in
// their display form.
std::string CellValueText(const Value& v, const std::string& picture);

}  // namespace zv
