// TArrayBrowse: the grid over a table in memory, a list of rows, each row a
// list of cell values. It is its own data source: the row cursor nArrayAt
// (1-based into aArrayData) answers the navigation interface, each step
// first asking the matching event (OnGoTop, OnGoBottom, OnSkip, OnEof,
// OnBof, OnBookMark, OnKeyNo, OnKeyCount), whose value, when it gives one,
// replaces the built-in step. Bookmarks are row numbers.
//
// Rows are shared, not copied: aArrayData, aArrayOrg and the caller's list
// are one list until a filter makes a new list of the same row objects
// (aArrayFilterPos then maps each shown row to its place in aArrayOrg).
// Columns (TArrayBrwColumn) show element nArrayCol of the current row and
// are made from the first row when none are declared. A header click sorts
// by the column when lAutoOrder is on, and typing then seeks on it.
#pragma once

#include "framework/grid/browse.h"
#include "framework/grid/column.h"

#define ZV_QARRAYBROWSE_MEMBERS(X) \
  X(PROPERTY, bool, lAutoOrder, .dflt = false, .setter = sym::SetAutoOrder) \
  X(PROPERTY, Value, aArrayData, .dflt = Value::List({}), .setter = sym::SetArray) \
  X(EVENT, OnSort, "oSender, aData, oCol, nAt, lDesc") \
  X(EVENT, OnGoTop, "oSender") \
  X(EVENT, OnGoBottom, "oSender") \
  X(EVENT, OnEof, "oSender") \
  X(EVENT, OnBof, "oSender") \
  X(EVENT, OnFilterChange, "oSender, nColumn") \
  X(DATA, long long, nArrayAt, 0) \
  X(DATA, Value, aArrayOrg) \
  X(DATA_H, Value, aArrayFilterPos) \
  X(DATA_H, bool, lOnFilter, false) \
  X(CONSTRUCTOR, Create, &abrw::Create) \
  X(METHOD, MoveTop, &abrw::MoveTop) \
  X(METHOD, MoveBottom, &abrw::MoveBottom) \
  X(METHOD, Skip, &abrw::Skip) \
  X(METHOD, IsEof, &abrw::IsEof) \
  X(METHOD, IsBof, &abrw::IsBof) \
  X(METHOD, BookMark, &abrw::BookMark) \
  X(METHOD, KeyNo, &abrw::KeyNo) \
  X(METHOD, KeyCount, &abrw::KeyCount) \
  X(METHOD, SetArray, &abrw::SetArray) \
  X(METHOD, AddRow, &abrw::AddRow) \
  X(METHOD, InsRow, &abrw::InsRow) \
  X(METHOD, DelRow, &abrw::DelRow) \
  X(METHOD, Zap, &abrw::Zap) \
  X(METHOD, GetRow, &abrw::GetRow) \
  X(METHOD, SetRow, &abrw::SetRow) \
  X(METHOD, GetValue, &abrw::GetValue) \
  X(METHOD, SetValue, &abrw::SetValue) \
  X(METHOD, nArrayOrgAt, &abrw::ArrayOrgAt) \
  X(METHOD, Refresh, &abrw::Refresh) \
  X(METHOD, AddCol, &abrw::AddCol) \
  X(METHOD, InsCol, &abrw::InsCol) \
  X(METHOD, Delete, &abrw::Delete) \
  X(METHOD, Sort, &abrw::Sort) \
  X(METHOD, SetAutoOrder, &abrw::SetAutoOrder) \
  X(METHOD, ArraySeek, &abrw::ArraySeek) \
  X(METHOD, SetFilter, &abrw::SetFilter) \
  X(METHOD, AdjustColWidth, &abrw::AdjustColWidth) \
  X(METHOD, CancelEdit, &abrw::CancelEdit)

#define ZV_QARRAYBRWCOLUMN_MEMBERS(X) \
  X(DATA, long long, nArrayCol, 0) \
  X(METHOD, GetData, &abrwcol::GetData) \
  X(METHOD, SetData, &abrwcol::SetData)

namespace zv {

namespace abrw {
Value Create(Object& self, Args a);
Value MoveTop(Object& self, Args a);
Value MoveBottom(Object& self, Args a);
Value Skip(Object& self, Args a);
Value IsEof(Object& self, Args a);
Value IsBof(Object& self, Args a);
Value BookMark(Object& self, Args a);
Value KeyNo(Object& self, Args a);
Value KeyCount(Object& self, Args a);
Value SetArray(Object& self, Args a);
Value AddRow(Object& self, Args a);
Value InsRow(Object& self, Args a);
Value DelRow(Object& self, Args a);
Value Zap(Object& self, Args a);
Value GetRow(Object& self, Args a);
Value SetRow(Object& self, Args a);
Value GetValue(Object& self, Args a);
Value SetValue(Object& self, Args a);
Value ArrayOrgAt(Object& self, Args a);
Value Refresh(Object& self, Args a);
Value AddCol(Object& self, Args a);
Value InsCol(Object& self, Args a);
Value Delete(Object& self, Args a);
Value Sort(Object& self, Args a);
Value SetAutoOrder(Object& self, Args a);
Value ArraySeek(Object& self, Args a);
Value SetFilter(Object& self, Args a);
Value AdjustColWidth(Object& self, Args a);
Value CancelEdit(Object& self, Args a);
}  // namespace abrw

namespace abrwcol {
Value GetData(Object& self, Args a);
Value SetData(Object& self, Args a);
}  // namespace abrwcol

Class* QArrayBrowseClass();
Class* TArrayBrowseClass();
Class* QArrayBrwColumnClass();
Class* TArrayBrwColumnClass();

class TArrayBrowseRef : public TBrowseRef {
  ZV_VIEW_CLASS(TArrayBrowseRef, TBrowseRef, QArrayBrowseClass)
  ZV_VIEW_MEMBERS(ZV_QARRAYBROWSE_MEMBERS)
};

class TArrayBrwColumnRef : public TBrwColumnRef {
  ZV_VIEW_CLASS(TArrayBrwColumnRef, TBrwColumnRef, QArrayBrwColumnClass)
  ZV_VIEW_MEMBERS(ZV_QARRAYBRWCOLUMN_MEMBERS)
};

// The text by which the array grid seeks and filters a cell: its display
// form without a picture, trimmed and upper-cased (Windows-1252 aware).
std::string ArrayCellKey(const Value& cell);

}  // namespace zv
