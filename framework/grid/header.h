// THeader: the common header control ("SysHeader32") as a framework
// control, and THeaderItem, one of its items. The grid uses two of them as
// its header and footer bars.
//
// Items are objects with 1-based numbers (nIndex, 0 while not inserted);
// each property is written into the control when the window exists and read
// back from it where the user can change it (width, order, filter text).
// Clicks are posted back to the header as WM_USER + 1 so that they are
// handled after the control's own processing; drags and divider tracking
// are reported to the owner, which may refuse them (lCancelDrag,
// lCancelTrack).
//
// The filter bar: where the control draws and edits filters itself the
// header uses it; where it does not (the control keeps no filter text), the
// header lays out a row of edit boxes of its own under the items, one per
// item, and reports their changes as the control would (OnFilterChange).
#pragma once

#include "framework/core/component.h"
#include "framework/window/control.h"

#define ZV_QHEADER_MEMBERS(X) \
  X(PROPERTY, Value, oImageList, .valueClass = "TImageList", .setter = &hdr::SetImageList) \
  X(PROPERTY, Value, aItems, .dflt = Value::List({}), .setter = &hdr::SetItems) \
  X(PROPERTY, int, nWidth, .dflt = 100, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 30, .setter = sym::SetHeight) \
  X(PROPERTY, int, nAlign, .dflt = 2, .setter = &hdr::SetAlign) \
  X(PROPERTY, bool, lTabStop, .dflt = false, .setter = sym::SetTabStop) \
  X(PROPERTY, bool, lBorder, .dflt = false, .setter = sym::SetBorder) \
  X(PROPERTY, bool, lButtons, .dflt = true, .setter = &hdr::StyleSwitch<HDS_BUTTONS, &sym::FlButtons, &sym::set::FlButtons>) \
  X(PROPERTY, bool, lDragDrop, .dflt = true, .setter = &hdr::StyleSwitch<HDS_DRAGDROP, &sym::FlDragDrop, &sym::set::FlDragDrop>) \
  X(PROPERTY, bool, lFilterBar, .dflt = false, .setter = sym::SetFilterBar) \
  X(PROPERTY, bool, lFlat, .dflt = false, .setter = &hdr::StyleSwitch<HDS_FLAT, &sym::FlFlat, &sym::set::FlFlat>) \
  X(PROPERTY, bool, lFullDrag, .dflt = true, .setter = &hdr::StyleSwitch<HDS_FULLDRAG, &sym::FlFullDrag, &sym::set::FlFullDrag>) \
  X(PROPERTY, bool, lHotTrack, .dflt = true, .setter = &hdr::StyleSwitch<HDS_HOTTRACK, &sym::FlHotTrack, &sym::set::FlHotTrack>) \
  X(PROPERTY, bool, lResize, .dflt = true) \
  X(PROPERTY_P, bool, l3D, .visibility = kHidden) \
  X(PROPERTY_P, Value, nClrPane, .visibility = kHidden) \
  X(PROPERTY_P, Value, nClrText, .visibility = kHidden) \
  X(DATA_P, std::string, cWinClassName, "SysHeader32") \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)) \
  X(DATA_PUB, bool, lCancelDrag, false) \
  X(DATA_PUB, bool, lCancelTrack, false) \
  X(DATA_H, bool, lOwnImageList, false) \
  X(DATA_H, Value, aFilterEdits, Value::List({})) \
  X(DATA_H, int, nFilterBand, 0) \
  X(DATA_H, int, nFilterPending, 0) \
  X(EVENT, OnBeginDrag, "oSender") \
  X(EVENT, OnBeginTrack, "oSender, nItem, nRow") \
  X(EVENT, OnEndTrack, "oSender, nItem, nRow") \
  X(EVENT, OnDividerDblClick, "oSender, nItem") \
  X(EVENT, OnEndDrag, "oSender, nItem, nOrder") \
  X(EVENT, OnFilterBtnClick, "oSender, nItem") \
  X(EVENT, OnFilterChange, "oSender, nItem") \
  X(EVENT, OnItemChanged, "oSender") \
  X(EVENT, OnItemChanging, "oSender") \
  X(EVENT, OnClick, "oSender, nPosX, nPosY, nItem") \
  X(EVENT, OnDblClick, "oSender, nPosX, nPosY, nItem") \
  X(EVENT, OnRClick, "oSender, nPosX, nPosY, nItem") \
  X(EVENT, OnTrack, "oSender") \
  X(CONSTRUCTOR, New, &hdr::New) \
  X(CONSTRUCTOR, Create, &hdr::Create) \
  X(METHOD, Free, &hdr::Free) \
  X(METHOD, CreateHandle, &hdr::CreateHandle) \
  X(METHOD, AddItem, &hdr::AddItem) \
  X(METHOD, InsertItem, &hdr::InsertItem) \
  X(METHOD, DeleteItem, &hdr::DeleteItem) \
  X(METHOD, DeleteItems, &hdr::DeleteItems) \
  X(METHOD, Rebuild, &hdr::Rebuild) \
  X(METHOD, SetItems, &hdr::SetItems) \
  X(METHOD, SetImageList, &hdr::SetImageList) \
  X(METHOD, SetFilterBar, &hdr::SetFilterBar) \
  X(METHOD, HitTest, &hdr::HitTest) \
  X(METHOD, GetItemRect, &hdr::GetItemRect) \
  X(METHOD, GetOrderArray, &hdr::GetOrderArray) \
  X(METHOD, SetOrderArray, &hdr::SetOrderArray) \
  X(METHOD, GetItemCount, &hdr::GetItemCount) \
  X(METHOD, GetImageList, &hdr::GetImageList) \
  X(METHOD, GetBitmapMargin, &hdr::GetBitmapMargin) \
  X(METHOD, SetBitmapMargin, &hdr::SetBitmapMargin) \
  X(METHOD, OrderToIndex, &hdr::OrderToIndex) \
  X(METHOD, CreateDragImage, &hdr::CreateDragImage) \
  X(METHOD, SetHotDivider, &hdr::SetHotDivider) \
  X(METHOD, EditFilter, &hdr::EditFilter) \
  X(METHOD, ClearFilter, &hdr::ClearFilter) \
  X(METHOD, ClearAllFilters, &hdr::ClearAllFilters) \
  X(METHOD, SetFilterChangeTimeout, &hdr::SetFilterChangeTimeout) \
  X(METHOD, SetTooltipZones, &hdr::SetTooltipZones) \
  X(METHOD, Notify, &hdr::Notify) \
  X(METHOD, Command, &hdr::Command) \
  X(METHOD, QVClick, &hdr::QVClick) \
  X(METHOD, LayOutFilters, &hdr::LayOutFilters) \
  X(HANDLER, WMZorvan, &hdr::WMZorvan) \
  X(HANDLER, WMEraseBkgnd, &hdr::WMEraseBkgnd) \
  X(HANDLER, WMParentNotify, &hdr::WMParentNotify) \
  X(HANDLER, WMSize, &hdr::WMSize) \
  X(HANDLER, WMTimer, &hdr::WMTimer)

#define ZV_HEADER_SORT_NAMES \
  Value::List({Value::List({"hsNONE", 0}), Value::List({"hsASCENDING", 1}), Value::List({"hsDESCENDING", -1})})
#define ZV_HEADER_ALIGN_NAMES \
  Value::List({Value::List({"taLEFT", 0}), Value::List({"taRIGHT", 2}), Value::List({"taCENTER", 6})})

#define ZV_QHEADERITEM_MEMBERS(X) \
  X(PROPERTY, std::string, cText, .dflt = "", .setter = &hdritem::SetText) \
  X(PROPERTY, int, nWidth, .dflt = 50, .getter = &hdritem::GetWidth, .setter = &hdritem::SetWidth) \
  X(PROPERTY, int, nOrder, .dflt = 0, .getter = &hdritem::GetOrder, .setter = &hdritem::SetOrder) \
  X(PROPERTY, int, nSort, .dflt = 0, .setter = &hdritem::SetSort, .valueNames = ZV_HEADER_SORT_NAMES) \
  X(PROPERTY, int, nAlignment, .dflt = 0, .setter = &hdritem::SetAlignment, .valueNames = ZV_HEADER_ALIGN_NAMES) \
  X(PROPERTY, std::string, cTooltip, .dflt = "", .setter = &hdritem::SetTooltip) \
  X(PROPERTY, std::string, cFilter, .dflt = "", .getter = &hdritem::GetFilter, .setter = &hdritem::SetFilter) \
  X(PROPERTY, int, nImage, .dflt = 0, .setter = &hdritem::SetImage) \
  X(DATA_PUB, int, nIndex, 0) \
  X(EVENT, OnClick, "oSender, nPosX, nPosY") \
  X(EVENT, OnDblClick, "oSender, nPosX, nPosY") \
  X(EVENT, OnRClick, "oSender, nPosX, nPosY") \
  X(EVENT, OnDividerDblClick, "oSender") \
  X(CONSTRUCTOR, Create, &hdritem::Create) \
  X(METHOD, Insert, &hdritem::Insert) \
  X(METHOD, End, &hdritem::End) \
  X(METHOD, GetRect, &hdritem::GetRect) \
  X(METHOD, ClearFilter, &hdritem::ClearFilter)

namespace zv {

namespace hdr {
template <long long bit, const Symbol* member, const SetterSymbol* flag>
Value StyleSwitch(Object& self, Args a);
Value SetAlign(Object& self, Args a);
Value SetFilterBar(Object& self, Args a);
Value SetImageList(Object& self, Args a);
Value SetItems(Object& self, Args a);
Value New(Object& self, Args a);
Value Create(Object& self, Args a);
Value Free(Object& self, Args a);
Value CreateHandle(Object& self, Args a);
Value AddItem(Object& self, Args a);
Value InsertItem(Object& self, Args a);
Value DeleteItem(Object& self, Args a);
Value DeleteItems(Object& self, Args a);
Value Rebuild(Object& self, Args a);
Value HitTest(Object& self, Args a);
Value GetItemRect(Object& self, Args a);
Value GetOrderArray(Object& self, Args a);
Value SetOrderArray(Object& self, Args a);
Value GetItemCount(Object& self, Args a);
Value GetImageList(Object& self, Args a);
Value GetBitmapMargin(Object& self, Args a);
Value SetBitmapMargin(Object& self, Args a);
Value OrderToIndex(Object& self, Args a);
Value CreateDragImage(Object& self, Args a);
Value SetHotDivider(Object& self, Args a);
Value EditFilter(Object& self, Args a);
Value ClearFilter(Object& self, Args a);
Value ClearAllFilters(Object& self, Args a);
Value SetFilterChangeTimeout(Object& self, Args a);
Value SetTooltipZones(Object& self, Args a);
Value Notify(Object& self, Args a);
Value Command(Object& self, Args a);
Value QVClick(Object& self, Args a);
Value LayOutFilters(Object& self, Args a);
Value WMZorvan(Object& self, const WinMsg& m);
Value WMEraseBkgnd(Object& self, const PaintMsg& m);
Value WMParentNotify(Object& self, const WinMsg& m);
Value WMSize(Object& self, const WinMsg& m);
Value WMTimer(Object& self, const WinMsg& m);
}  // namespace hdr

namespace hdritem {
Value SetText(Object& self, Args a);
Value GetWidth(Object& self, Args a);
Value SetWidth(Object& self, Args a);
Value GetOrder(Object& self, Args a);
Value SetOrder(Object& self, Args a);
Value SetSort(Object& self, Args a);
Value SetAlignment(Object& self, Args a);
Value SetTooltip(Object& self, Args a);
Value GetFilter(Object& self, Args a);
Value SetFilter(Object& self, Args a);
Value SetImage(Object& self, Args a);
Value Create(Object& self, Args a);
Value Insert(Object& self, Args a);
Value End(Object& self, Args a);
Value GetRect(Object& self, Args a);
Value ClearFilter(Object& self, Args a);
}  // namespace hdritem

Class* QHeaderClass();
Class* THeaderClass();
Class* QHeaderItemClass();
Class* THeaderItemClass();

class THeaderRef : public TStdControlRef {
  ZV_VIEW_CLASS(THeaderRef, TStdControlRef, QHeaderClass)
  ZV_VIEW_MEMBERS(ZV_QHEADER_MEMBERS)
};

class THeaderItemRef : public TComponentRef {
  ZV_VIEW_CLASS(THeaderItemRef, TComponentRef, QHeaderItemClass)
  ZV_VIEW_MEMBERS(ZV_QHEADERITEM_MEMBERS)
};

// The header control's item routines, one message each; item numbers are
// 1-based here and 0-based in the control. Absent optional values are not
// written.
namespace header_native {
struct ItemValues {
  const std::string* text = nullptr;
  int align = -1;   // 0 left, 2 right, 6 centre; -1 not given
  int width = -1;
  int image = -1;   // 1-based; 0 none; -1 not given
  int order = -1;   // 1-based; -1 not given
  int sort = 2;     // -1, 0, 1; 2 not given
  const std::string* filter = nullptr;
};
int Insert(HWND hwnd, int index, const ItemValues& v);  // the new position + 1, 0 on failure
bool Set(HWND hwnd, int index, const ItemValues& v);
int Width(HWND hwnd, int index);  // -1 on failure
int Order(HWND hwnd, int index);  // 1-based, -1 on failure
bool SetSort(HWND hwnd, int index, int sort);
RECT Rect(HWND hwnd, int index);  // empty on failure
std::string Filter(HWND hwnd, int index);
bool SetFilter(HWND hwnd, int index, const std::string& filter);
// Whether the control keeps item filter texts itself (it does on Windows;
// a control that drops them needs the header's own filter row).
bool KeepsFilters(HWND hwnd);
}  // namespace header_native

}  // namespace zv
