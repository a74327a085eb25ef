// TBrowse: the data grid. A child window that shows rows of a data source
// in columns (TBrwColumn), with an optional header and footer bar (two
// THeader controls), an optional record selector at the left
// (TBrwRecSel), row and column dividers, alternate row colours and a
// marquee that marks the selected row or cell.
//
// The grid holds no copy of the data. It reaches the source only through
// the navigation interface: MoveTop, MoveBottom, Skip(n), IsBof, IsEof,
// BookMark([x]), KeyNo([n]), KeyCount(), SetFilter(nColumn). A subclass
// overrides them, or the program assigns the matching events (OnMoveTop,
// OnMoveBottom, OnSkip, OnIsBof, OnIsEof, OnBookMark, OnKeyNo, OnKeyCount,
// OnSetFilter), which the methods fire when they are assigned. The grid
// keeps one current record, the one shown in the selected row; painting
// moves the source to the first visible row, walks down, and moves back,
// so it touches only the rows it shows.
//
// Geometry: the row pitch nIntRowHeight is the tallest column text (the
// letter "B"), image or selector content times nDataLines, plus 4, at least
// 18, plus 1 with a row divider and 1 more for the inset and raised
// dividers; a requested nRowHeight > 0 is taken as it is (at least 18 on
// the next Adjust). RowCount counts only whole rows. aDisplay lists, for
// each display position, the index into aCols of the column shown there:
// the frozen columns first, then from nColOffset on, as long as they start
// inside the window (the first always).
#pragma once

#include "framework/window/wincontrol.h"

#define ZV_SYSCOLOUR(c) static_cast<long long>(GetSysColor(c))

#define ZV_QBROWSE_MEMBERS(X) \
  X(PROPERTY, int, nWidth, .dflt = 150, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 120, .setter = sym::SetHeight) \
  X(PROPERTY, Value, aCols, .dflt = Value::List({})) \
  X(PROPERTY, Value, oImageList, .valueClass = "TImageList", .setter = sym::SetImageList) \
  X(PROPERTY_R, Value, oRecSel, .valueClass = "TBrwRecSel", .readOnly = true) \
  X(PROPERTY, Value, oSeek) \
  X(PROPERTY, int, nBorderStyle, .dflt = 6, .setter = sym::SetBorderStyle) \
  X(PROPERTY, int, nRowDividerStyle, .dflt = 0, .setter = sym::SetRowDividerStyle, .valueNames = ZV_DIVIDER_NAMES) \
  X(PROPERTY, int, nColDividerStyle, .dflt = 0, .setter = sym::SetColDividerStyle, .valueNames = ZV_DIVIDER_NAMES) \
  X(PROPERTY, int, nMarqueeStyle, .dflt = 2, .valueNames = ZV_MARQUEE_NAMES) \
  X(PROPERTY, int, nDataLines, .dflt = 1, .setter = sym::SetDataLines) \
  X(PROPERTY, int, nFreeze, .dflt = 0) \
  X(PROPERTY, int, nHeaderHeight, .dflt = 24, .setter = sym::SetHeaderHeight) \
  X(PROPERTY, int, nFooterHeight, .dflt = 24, .setter = sym::SetFooterHeight) \
  X(PROPERTY, int, nRowHeight, .dflt = 0, .setter = sym::SetRowHeight) \
  X(PROPERTY, int, nClrText, .dflt = ZV_SYSCOLOUR(COLOR_WINDOWTEXT), .setter = sym::SetClrText) \
  X(PROPERTY, int, nClrPane, .dflt = ZV_SYSCOLOUR(COLOR_WINDOW), .setter = sym::SetClrPane) \
  X(PROPERTY, int, nClrAltPane, .dflt = ZV_SYSCOLOUR(COLOR_WINDOW), .setter = sym::SetClrAltPane) \
  X(PROPERTY, int, nClrSelText, .dflt = ZV_SYSCOLOUR(COLOR_WINDOWTEXT), .setter = &brw::SetSelColour<0>) \
  X(PROPERTY, int, nClrSelPane, .dflt = ZV_SYSCOLOUR(COLOR_INACTIVECAPTIONTEXT), .setter = &brw::SetSelColour<1>) \
  X(PROPERTY, int, nClrSelFocusText, .dflt = 0xFFFFFF, .setter = &brw::SetSelColour<2>) \
  X(PROPERTY, int, nClrSelFocusPane, .dflt = ZV_SYSCOLOUR(COLOR_HIGHLIGHT), .setter = &brw::SetSelColour<3>) \
  X(PROPERTY, bool, lHeader, .dflt = true, .setter = sym::SetHeader) \
  X(PROPERTY, bool, lFooter, .dflt = false, .setter = sym::SetFooter) \
  X(PROPERTY, bool, lAllowEdit, .dflt = true) \
  X(PROPERTY, bool, lAllowAppend, .dflt = false) \
  X(PROPERTY, bool, lAllowInsert, .dflt = false) \
  X(PROPERTY, bool, lAllowDelete, .dflt = false) \
  X(PROPERTY, bool, lAllowColSwapping, .dflt = true) \
  X(PROPERTY, bool, lAllowColSizing, .dflt = true) \
  X(PROPERTY, bool, lAllowColHiding, .dflt = true) \
  X(PROPERTY, bool, lAllowRowSizing, .dflt = true) \
  X(PROPERTY, bool, lColDividerComplete, .dflt = true) \
  X(PROPERTY, bool, lRecordSelector, .dflt = true, .setter = sym::SetRecSel) \
  X(PROPERTY, bool, lFastEdit, .dflt = false) \
  X(PROPERTY, bool, lTabStop, .dflt = true, .setter = sym::SetTabStop) \
  X(PROPERTY, bool, lFilterBar, .dflt = false, .setter = sym::FilterMode) \
  X(PROPERTY, bool, lAutoSave, .dflt = false) \
  X(PROPERTY, Value, lVScroll, .valueNames = ZV_SCROLL_POLICY_NAMES) \
  X(PROPERTY, Value, lHScroll, .valueNames = ZV_SCROLL_POLICY_NAMES) \
  X(PROPERTY_P, bool, lBorder, .dflt = false, .visibility = kHidden) \
  X(PROPERTY_P, bool, l3D, .dflt = false, .visibility = kHidden) \
  X(PROPERTY_P, Value, oBkGnd, .visibility = kHidden) \
  X(PROPERTY_P, Value, nBkgndMode, .visibility = kHidden) \
  X(DATA, Value, cText) \
  X(PROPERTY_R, int, nEditMode, .dflt = 0, .readOnly = true, .valueNames = ZV_EDIT_MODE_NAMES) \
  X(PROPERTY_R, bool, lEditMode, .dflt = false, .readOnly = true, .getter = &brw::EditModeOn) \
  X(DATA_R, Value, oHeader) \
  X(DATA_R, Value, oFooter) \
  X(DATA_R, long long, nKeyNo, 0) \
  X(DATA_R, long long, nLen, 0) \
  X(DATA_R, int, nRowSel, 1) \
  X(DATA_R, int, nColSel, 1) \
  X(DATA_R, int, nDataRows, 0) \
  X(DATA_R, Value, aSelected, Value::List({})) \
  X(DATA_P, int, nIntRowHeight, 0) \
  X(DATA_P, int, nPhantomRow, 0) \
  X(DATA_P, bool, lAutoOrder, false) \
  X(DATA_P, Value, aDisplay, Value::List({})) \
  X(DATA_P, int, nColOffset, 1) \
  X(DATA_P, std::string, cSeek, "") \
  X(DATA_P, int, nLastEditCol, 0) \
  X(DATA_P, int, nClickedCol, 0) \
  X(DATA_P, bool, lCaptured, false) \
  X(DATA_P, bool, lMultiEdit, false) \
  X(DATA_P, int, nFilterHeight, 0) \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL)) \
  X(DATA_P, int, nExStyle, 0) \
  X(DATA_P, int, nClassStyle, static_cast<long long>(CS_DBLCLKS)) \
  X(DATA_H, Value, hColPen, 0) \
  X(DATA_H, Value, hRowPen, 0) \
  X(DATA_H, Value, hBtnShadowPen, 0) \
  X(DATA_H, Value, hWhitePen, 0) \
  X(DATA_H, Value, hClrSelText, 0) \
  X(DATA_H, Value, hClrSelPane, 0) \
  X(DATA_H, Value, hClrAltPane, 0) \
  X(DATA_H, Value, hClrSelFocusText, 0) \
  X(DATA_H, Value, hClrSelFocusPane, 0) \
  X(DATA_H, bool, lOwnImageList, false) \
  X(EVENT, OnDrawRow, "oSender, nRow") \
  X(EVENT, OnMoveTop, "oSender") \
  X(EVENT, OnMoveBottom, "oSender") \
  X(EVENT, OnSkip, "oSender, nRecords") \
  X(EVENT, OnIsBof, "oSender") \
  X(EVENT, OnIsEof, "oSender") \
  X(EVENT, OnBookMark, "oSender, uBookMark") \
  X(EVENT, OnKeyNo, "oSender, nKeyNo") \
  X(EVENT, OnKeyCount, "oSender") \
  X(EVENT, OnSetFilter, "oSender, nColumn") \
  X(EVENT, OnChange, "oSender, lBookMarkChanged") \
  X(EVENT, OnPastEof, "oSender") \
  X(EVENT, OnChangeHeight, "oSender, @nNewHeight, nOldHeight") \
  X(EVENT, OnSeek, "oSender, cSeek") \
  X(EVENT, OnEdit, "oSender") \
  X(EVENT, OnAppend, "oSender") \
  X(EVENT, OnInsert, "oSender") \
  X(EVENT, OnDelete, "oSender") \
  X(EVENT, OnPostEdit, "oSender, @lCanceled, nKey") \
  X(EVENT, OnNewItem, "oSender, oColumn") \
  X(EVENT, OnClick, "oSender, nKeyFlags, nPosX, nPosY") \
  X(EVENT, OnRClick, "oSender, nKeyFlags, nPosX, nPosY") \
  X(CONSTRUCTOR, New, &brw::New) \
  X(CONSTRUCTOR, Create, &brw::Create) \
  X(METHOD, Free, &brw::Free) \
  X(METHOD, Adjust, &brw::Adjust) \
  X(METHOD, SetRowHeight, &brw::SetRowHeight) \
  X(METHOD, SetDataLines, &brw::SetDataLines) \
  X(METHOD, SetRowDividerStyle, &brw::SetRowDividerStyle) \
  X(METHOD, SetColDividerStyle, &brw::SetColDividerStyle) \
  X(METHOD, SetClrText, &brw::SetClrText) \
  X(METHOD, SetClrPane, &brw::SetClrPane) \
  X(METHOD, SetClrAltPane, &brw::SetClrAltPane) \
  X(METHOD, SetHeader, &brw::SetHeader) \
  X(METHOD, SetFooter, &brw::SetFooter) \
  X(METHOD, SetHeaderHeight, &brw::SetHeaderHeight) \
  X(METHOD, SetFooterHeight, &brw::SetFooterHeight) \
  X(METHOD, FilterMode, &brw::FilterMode) \
  X(METHOD, CreateHeader, &brw::CreateHeader) \
  X(METHOD, CreateFooter, &brw::CreateFooter) \
  X(METHOD, SetRecSel, &brw::SetRecSel) \
  X(METHOD, SetImageList, &brw::SetImageList) \
  X(METHOD, AddImage, &brw::AddImage) \
  X(METHOD, AddCol, &brw::AddCol) \
  X(METHOD, GetDisplayCols, &brw::GetDisplayCols) \
  X(METHOD, UpdateDisplayCols, &brw::UpdateDisplayCols) \
  X(METHOD, LastDisplayPos, &brw::LastDisplayPos) \
  X(METHOD, IsDisplayPosVisible, &brw::IsDisplayPosVisible) \
  X(METHOD, IsColVisible, &brw::IsColVisible) \
  X(METHOD, AllColsVisible, &brw::AllColsVisible) \
  X(METHOD, LastColVisible, &brw::LastColVisible) \
  X(METHOD, BrwWidth, &brw::BrwWidth) \
  X(METHOD, BrwHeight, &brw::BrwHeight) \
  X(METHOD, HeaderHeight, &brw::HeaderHeight) \
  X(METHOD, FooterHeight, &brw::FooterHeight) \
  X(METHOD, DataWidth, &brw::DataWidth) \
  X(METHOD, DataHeight, &brw::DataHeight) \
  X(METHOD, FirstDataRow, &brw::FirstDataRow) \
  X(METHOD, LastDataRow, &brw::LastDataRow) \
  X(METHOD, LastOrdRow, &brw::LastOrdRow) \
  X(METHOD, RowCount, &brw::RowCount) \
  X(METHOD, FirstCol, &brw::FirstCol) \
  X(METHOD, LastCol, &brw::LastCol) \
  X(METHOD, RowHeight, &brw::RowHeight) \
  X(METHOD, ColAtPos, &brw::ColAtPos) \
  X(METHOD, SelectedCol, &brw::SelectedCol) \
  X(METHOD, ColAtIndex, &brw::ColAtIndex) \
  X(METHOD, ColWithHeader, &brw::ColWithHeader) \
  X(METHOD, ColPos, &brw::ColPos) \
  X(METHOD, GetVisibleCols, &brw::GetVisibleCols) \
  X(METHOD, GetDisplayColsWidth, &brw::GetDisplayColsWidth) \
  X(METHOD, GetFreeze, &brw::GetFreeze) \
  X(METHOD, HasFocus, &brw::HasFocus) \
  X(METHOD, MoveTop, &brw::MoveTop) \
  X(METHOD, MoveBottom, &brw::MoveBottom) \
  X(METHOD, Skip, &brw::Skip) \
  X(METHOD, IsEof, &brw::IsEof) \
  X(METHOD, IsBof, &brw::IsBof) \
  X(METHOD, BookMark, &brw::BookMark) \
  X(METHOD, KeyNo, &brw::KeyNo) \
  X(METHOD, KeyCount, &brw::KeyCount) \
  X(METHOD, SetFilter, &brw::SetFilter) \
  X(METHOD, Refresh, &brw::Refresh) \
  X(METHOD, UpdControls, &brw::UpdControls) \
  X(METHOD, SetVScroll, &brw::SetVScroll) \
  X(METHOD, SetHScroll, &brw::SetHScroll) \
  X(METHOD, GetVScroll, &brw::GetVScroll) \
  X(METHOD, GetHScroll, &brw::GetHScroll) \
  X(METHOD, SetRedraw, &brw::SetRedraw) \
  X(METHOD, CancelEdit, &brw::CancelEdit) \
  X(METHOD, DataScroll, &brw::DataScroll) \
  X(METHOD, SetVRange, &brw::SetVRange) \
  X(METHOD, SetHRange, &brw::SetHRange) \
  X(METHOD, SetVPos, &brw::SetVPos) \
  X(METHOD, SetHPos, &brw::SetHPos) \
  X(METHOD, GetVPos, &brw::GetVPos) \
  X(METHOD, GetHPos, &brw::GetHPos) \
  X(METHOD, GetVRange, &brw::GetVRange) \
  X(METHOD, GetHRange, &brw::GetHRange) \
  X(METHOD, SetVPage, &brw::SetVPage) \
  X(METHOD, SetHPage, &brw::SetHPage) \
  X(METHOD, GoUp, &brw::GoUp) \
  X(METHOD, GoDown, &brw::GoDown) \
  X(METHOD, GoPageUp, &brw::GoPageUp) \
  X(METHOD, GoPageDown, &brw::GoPageDown) \
  X(METHOD, GoTop, &brw::GoTop) \
  X(METHOD, GoBottom, &brw::GoBottom) \
  X(METHOD, GoTo, &brw::GoTo) \
  X(METHOD, GoLeft, &brw::GoLeft) \
  X(METHOD, GoRight, &brw::GoRight) \
  X(METHOD, GoLeftMost, &brw::GoLeftMost) \
  X(METHOD, GoRightMost, &brw::GoRightMost) \
  X(METHOD, GoHPos, &brw::GoHPos) \
  X(METHOD, SelectCol, &brw::SelectCol) \
  X(METHOD, MouseRowPos, &brw::MouseRowPos) \
  X(METHOD, MouseColPos, &brw::MouseColPos) \
  X(METHOD, SelectCellFromPoint, &brw::SelectCellFromPoint) \
  X(METHOD, Click, &brw::Click) \
  X(METHOD, QVClick, &brw::QVClick) \
  X(METHOD, HorzLine, &brw::HorzLine) \
  X(METHOD, Select, &brw::Select) \
  X(METHOD, SelectAll, &brw::SelectAll) \
  X(METHOD, SelectNone, &brw::SelectNone) \
  X(METHOD, Seek, &brw::Seek) \
  X(METHOD, InsCol, &brw::InsCol) \
  X(METHOD, DelCol, &brw::DelCol) \
  X(METHOD, SwapCols, &brw::SwapCols) \
  X(METHOD, MoveCol, &brw::MoveCol) \
  X(METHOD, ColDrag, &brw::ColDrag) \
  X(METHOD, ColTrack, &brw::ColTrack) \
  X(METHOD, ColBegTrack, &brw::ColBegTrack) \
  X(METHOD, SaveState, &brw::SaveState) \
  X(METHOD, RestoreState, &brw::RestoreState) \
  X(METHOD, Edit, &brw::Edit) \
  X(METHOD, Append, &brw::Append) \
  X(METHOD, Insert, &brw::Insert) \
  X(METHOD, Delete, &brw::Delete) \
  X(METHOD, IsEditable, &brw::IsEditable) \
  X(METHOD, IsMultipleEdit, &brw::IsMultipleEdit) \
  X(METHOD, OrderOff, &brw::OrderOff) \
  X(METHOD, Reset, &brw::Reset) \
  X(METHOD, ChangeFocus, &brw::ChangeFocus) \
  X(METHOD, UpdGridEdits, &brw::UpdGridEdits) \
  X(METHOD, DrawLine, &brw::DrawLine) \
  X(METHOD, RefreshCurrent, &brw::RefreshCurrent) \
  X(METHOD, Refill, &brw::Refill) \
  X(METHOD, EraseData, &brw::EraseData) \
  X(METHOD, PaintVerticalLines, &brw::PaintVerticalLines) \
  X(METHOD, PaintHorizontalLines, &brw::PaintHorizontalLines) \
  X(METHOD, PaintRecordSelector, &brw::PaintRecordSelector) \
  X(HANDLER, WMPaint, &brw::WMPaint) \
  X(HANDLER, WMPrintClient, &brw::WMPaint) \
  X(HANDLER, WMEraseBkgnd, &brw::WMEraseBkgnd) \
  X(HANDLER, WMSize, &brw::WMSize) \
  X(HANDLER, WMSetFocus, &brw::WMSetFocus) \
  X(HANDLER, WMKillFocus, &brw::WMKillFocus) \
  X(HANDLER, WMVScroll, &brw::WMVScroll) \
  X(HANDLER, WMHScroll, &brw::WMHScroll) \
  X(HANDLER, WMLButtonDown, &brw::WMLButtonDown) \
  X(HANDLER, WMLButtonUp, &brw::WMLButtonUp) \
  X(HANDLER, WMMouseMove, &brw::WMMouseMove) \
  X(HANDLER, WMMouseWheel, &brw::WMMouseWheel) \
  X(HANDLER, WMLButtonDblClk, &brw::WMLButtonDblClk) \
  X(HANDLER, WMRButtonDown, &brw::WMRButtonDown) \
  X(HANDLER, WMRButtonUp, &brw::WMRButtonUp) \
  X(HANDLER, WMCaptureChanged, &brw::WMCaptureChanged) \
  X(HANDLER, WMKeyDown, &brw::WMKeyDown) \
  X(HANDLER, WMChar, &brw::WMChar) \
  X(HANDLER, WMGetDlgCode, &brw::WMGetDlgCode)

// bsAUTO: no value (the grid decides), bsYES: a bar always, bsNO: never.
#define ZV_SCROLL_POLICY_NAMES \
  Value::List({Value::List({"bsAUTO", Value()}), Value::List({"bsYES", true}), Value::List({"bsNO", false})})
#define ZV_EDIT_MODE_NAMES                                                                                 \
  Value::List({Value::List({"beREAD", 0}), Value::List({"beEDIT", 1}), Value::List({"beAPPEND", 2}),        \
               Value::List({"beINSERT", 3})})
#define ZV_DIVIDER_NAMES                                                                                   \
  Value::List({Value::List({"blNOLINES", 0}), Value::List({"blBLACK", 1}), Value::List({"blDARKGRAY", 2}), \
               Value::List({"blFORECOLOR", 3}), Value::List({"blLIGHTGRAY", 4}), Value::List({"blINSET", 5}), \
               Value::List({"blRAISED", 6})})
#define ZV_MARQUEE_NAMES                                                                                          \
  Value::List({Value::List({"bmNOMARQUEE", 0}), Value::List({"bmDOTEDCELL", 1}), Value::List({"bmSOLIDCELL", 2}), \
               Value::List({"bmHIGHLCELL", 3}), Value::List({"bmHIGHLROWRC", 4}), Value::List({"bmHIGHLROW", 5}),  \
               Value::List({"bmHIGHLROWMS", 6})})

namespace zv {

namespace brw {
template <int which>
Value SetSelColour(Object& self, Args a);
Value EditModeOn(Object& self, Args a);
Value New(Object& self, Args a);
Value Create(Object& self, Args a);
Value Free(Object& self, Args a);
Value Adjust(Object& self, Args a);
Value SetRowHeight(Object& self, Args a);
Value SetDataLines(Object& self, Args a);
Value SetRowDividerStyle(Object& self, Args a);
Value SetColDividerStyle(Object& self, Args a);
Value SetClrText(Object& self, Args a);
Value SetClrPane(Object& self, Args a);
Value SetClrAltPane(Object& self, Args a);
Value SetHeader(Object& self, Args a);
Value SetFooter(Object& self, Args a);
Value SetHeaderHeight(Object& self, Args a);
Value SetFooterHeight(Object& self, Args a);
Value FilterMode(Object& self, Args a);
Value CreateHeader(Object& self, Args a);
Value CreateFooter(Object& self, Args a);
Value SetRecSel(Object& self, Args a);
Value SetImageList(Object& self, Args a);
Value AddImage(Object& self, Args a);
Value AddCol(Object& self, Args a);
Value GetDisplayCols(Object& self, Args a);
Value UpdateDisplayCols(Object& self, Args a);
Value LastDisplayPos(Object& self, Args a);
Value IsDisplayPosVisible(Object& self, Args a);
Value IsColVisible(Object& self, Args a);
Value AllColsVisible(Object& self, Args a);
Value LastColVisible(Object& self, Args a);
Value BrwWidth(Object& self, Args a);
Value BrwHeight(Object& self, Args a);
Value HeaderHeight(Object& self, Args a);
Value FooterHeight(Object& self, Args a);
Value DataWidth(Object& self, Args a);
Value DataHeight(Object& self, Args a);
Value FirstDataRow(Object& self, Args a);
Value LastDataRow(Object& self, Args a);
Value LastOrdRow(Object& self, Args a);
Value RowCount(Object& self, Args a);
Value FirstCol(Object& self, Args a);
Value LastCol(Object& self, Args a);
Value RowHeight(Object& self, Args a);
Value ColAtPos(Object& self, Args a);
Value SelectedCol(Object& self, Args a);
Value ColAtIndex(Object& self, Args a);
Value ColWithHeader(Object& self, Args a);
Value ColPos(Object& self, Args a);
Value GetVisibleCols(Object& self, Args a);
Value GetDisplayColsWidth(Object& self, Args a);
Value GetFreeze(Object& self, Args a);
Value HasFocus(Object& self, Args a);
Value MoveTop(Object& self, Args a);
Value MoveBottom(Object& self, Args a);
Value Skip(Object& self, Args a);
Value IsEof(Object& self, Args a);
Value IsBof(Object& self, Args a);
Value BookMark(Object& self, Args a);
Value KeyNo(Object& self, Args a);
Value KeyCount(Object& self, Args a);
Value SetFilter(Object& self, Args a);
Value Refresh(Object& self, Args a);
Value UpdControls(Object& self, Args a);
Value SetVScroll(Object& self, Args a);
Value SetHScroll(Object& self, Args a);
Value GetVScroll(Object& self, Args a);
Value GetHScroll(Object& self, Args a);
Value SetRedraw(Object& self, Args a);
Value CancelEdit(Object& self, Args a);
Value DrawLine(Object& self, Args a);
Value RefreshCurrent(Object& self, Args a);
Value Refill(Object& self, Args a);
Value EraseData(Object& self, Args a);
Value PaintVerticalLines(Object& self, Args a);
Value PaintHorizontalLines(Object& self, Args a);
Value PaintRecordSelector(Object& self, Args a);
Value WMPaint(Object& self, const PaintMsg& m);
Value WMEraseBkgnd(Object& self, const PaintMsg& m);
Value WMSize(Object& self, const WinMsg& m);
Value DataScroll(Object& self, Args a);
Value SetVRange(Object& self, Args a);
Value SetHRange(Object& self, Args a);
Value SetVPos(Object& self, Args a);
Value SetHPos(Object& self, Args a);
Value GetVPos(Object& self, Args a);
Value GetHPos(Object& self, Args a);
Value GetVRange(Object& self, Args a);
Value GetHRange(Object& self, Args a);
Value SetVPage(Object& self, Args a);
Value SetHPage(Object& self, Args a);
Value GoUp(Object& self, Args a);
Value GoDown(Object& self, Args a);
Value GoPageUp(Object& self, Args a);
Value GoPageDown(Object& self, Args a);
Value GoTop(Object& self, Args a);
Value GoBottom(Object& self, Args a);
Value GoTo(Object& self, Args a);
Value GoLeft(Object& self, Args a);
Value GoRight(Object& self, Args a);
Value GoLeftMost(Object& self, Args a);
Value GoRightMost(Object& self, Args a);
Value GoHPos(Object& self, Args a);
Value SelectCol(Object& self, Args a);
Value MouseRowPos(Object& self, Args a);
Value MouseColPos(Object& self, Args a);
Value SelectCellFromPoint(Object& self, Args a);
Value Click(Object& self, Args a);
Value QVClick(Object& self, Args a);
Value HorzLine(Object& self, Args a);
Value Select(Object& self, Args a);
Value SelectAll(Object& self, Args a);
Value SelectNone(Object& self, Args a);
Value Seek(Object& self, Args a);
Value InsCol(Object& self, Args a);
Value DelCol(Object& self, Args a);
Value SwapCols(Object& self, Args a);
Value MoveCol(Object& self, Args a);
Value ColDrag(Object& self, Args a);
Value ColTrack(Object& self, Args a);
Value ColBegTrack(Object& self, Args a);
Value SaveState(Object& self, Args a);
Value RestoreState(Object& self, Args a);
Value Edit(Object& self, Args a);
Value Append(Object& self, Args a);
Value Insert(Object& self, Args a);
Value Delete(Object& self, Args a);
Value IsEditable(Object& self, Args a);
Value IsMultipleEdit(Object& self, Args a);
Value OrderOff(Object& self, Args a);
Value Reset(Object& self, Args a);
Value ChangeFocus(Object& self, Args a);
Value UpdGridEdits(Object& self, Args a);
Value WMSetFocus(Object& self, const FocusMsg& m);
Value WMKillFocus(Object& self, const FocusMsg& m);
Value WMVScroll(Object& self, const WinMsg& m);
Value WMHScroll(Object& self, const WinMsg& m);
Value WMLButtonDown(Object& self, const MouseMsg& m);
Value WMLButtonUp(Object& self, const MouseMsg& m);
Value WMMouseMove(Object& self, const MouseMsg& m);
Value WMMouseWheel(Object& self, const WinMsg& m);
Value WMLButtonDblClk(Object& self, const MouseMsg& m);
Value WMRButtonDown(Object& self, const MouseMsg& m);
Value WMRButtonUp(Object& self, const MouseMsg& m);
Value WMCaptureChanged(Object& self, const WinMsg& m);
Value WMKeyDown(Object& self, const KeyMsg& m);
Value WMChar(Object& self, const KeyMsg& m);
Value WMGetDlgCode(Object& self, const WinMsg& m);
// Whether a character (Windows-1252) extends the seek text.
bool IsSeekCharacter(unsigned char c);
}  // namespace brw

Class* QBrowseClass();
Class* TBrowseClass();

class TBrowseRef : public TWinControlRef {
  ZV_VIEW_CLASS(TBrowseRef, TWinControlRef, QBrowseClass)
  ZV_VIEW_MEMBERS(ZV_QBROWSE_MEMBERS)
};

// The row pitch for a content height h (the tallest text, image or
// selector content of one line), nDataLines lines and a row divider style.
int RowPitch(int h, int dataLines, int rowDividerStyle);

}  // namespace zv
