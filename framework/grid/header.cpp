#include "framework/grid/header.h"

#include <objidl.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/graphics/image_list.h"
#include "framework/window/messages.h"
#include "framework/window/winobject.h"

namespace zv {

// ------------------------------------------------------------ native routines

namespace header_native {
namespace {
int FormatAlign(int align) { return align == 2 ? HDF_RIGHT : align == 6 ? HDF_CENTER : HDF_LEFT; }
}  // namespace

int Insert(HWND hwnd, int index, const ItemValues& v) {
  if (!hwnd || index < 1) return 0;
  std::wstring text = v.text ? WidenText(*v.text) : std::wstring();
  std::wstring filter = v.filter ? WidenText(*v.filter) : std::wstring();
  HDITEMW item{};
  item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_ORDER;
  item.cxy = std::max(v.width, 0);
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  item.fmt = HDF_STRING | FormatAlign(v.align);
  if (v.sort == -1) item.fmt |= HDF_SORTDOWN;
  if (v.sort == 1) item.fmt |= HDF_SORTUP;
  item.iOrder = index - 1;
  if (v.image > 0) {
    item.mask |= HDI_IMAGE;
    item.fmt |= HDF_IMAGE;
    item.iImage = v.image - 1;
  }
  HD_TEXTFILTERW tf{};
  if (!filter.empty()) {
    tf.pszText = filter.data();
    tf.cchTextMax = static_cast<int>(filter.size()) + 1;
    item.mask |= HDI_FILTER;
    item.type = HDFT_ISSTRING;
    item.pvFilter = &tf;
  }
  const LRESULT r = SendMessageW(hwnd, HDM_INSERTITEMW, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&item));
  return r < 0 ? 0 : static_cast<int>(r) + 1;
}

bool Set(HWND hwnd, int index, const ItemValues& v) {
  if (!hwnd || index < 1) return false;
  HDITEMW item{};
  std::wstring text, filter;
  HD_TEXTFILTERW tf{};
  if (v.text) {
    text = WidenText(*v.text);
    item.mask |= HDI_TEXT;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
  }
  if (v.align >= 0 || v.image >= 0 || v.sort != 2) {
    HDITEMW old{};
    old.mask = HDI_FORMAT | HDI_IMAGE;
    SendMessageW(hwnd, HDM_GETITEMW, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&old));
    int fmt = old.fmt;
    if (v.align >= 0) fmt = (fmt & ~HDF_JUSTIFYMASK) | FormatAlign(v.align);
    if (v.image > 0) fmt |= HDF_IMAGE;
    if (v.image == 0) fmt &= ~HDF_IMAGE;
    if (v.sort != 2) {
      fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
      if (v.sort == 1) fmt |= HDF_SORTUP;
      if (v.sort == -1) fmt |= HDF_SORTDOWN;
    }
    item.mask |= HDI_FORMAT;
    item.fmt = fmt | HDF_STRING;
  }
  if (v.width >= 0) {
    item.mask |= HDI_WIDTH;
    item.cxy = v.width;
  }
  if (v.image > 0) {
    item.mask |= HDI_IMAGE;
    item.iImage = v.image - 1;
  }
  if (v.order > 0) {
    item.mask |= HDI_ORDER;
    item.iOrder = v.order - 1;
  }
  if (v.filter) {
    filter = WidenText(*v.filter);
    tf.pszText = filter.data();
    tf.cchTextMax = static_cast<int>(filter.size()) + 1;
    item.mask |= HDI_FILTER;
    item.type = HDFT_ISSTRING;
    item.pvFilter = &tf;
  }
  if (!item.mask) return true;
  return SendMessageW(hwnd, HDM_SETITEMW, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&item)) != 0;
}

int Width(HWND hwnd, int index) {
  HDITEMW item{};
  item.mask = HDI_WIDTH;
  if (!hwnd || index < 1 || !SendMessageW(hwnd, HDM_GETITEMW, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&item)))
    return -1;
  return item.cxy;
}

int Order(HWND hwnd, int index) {
  HDITEMW item{};
  item.mask = HDI_ORDER;
  if (!hwnd || index < 1 || !SendMessageW(hwnd, HDM_GETITEMW, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&item)))
    return -1;
  return item.iOrder + 1;
}

bool SetSort(HWND hwnd, int index, int sort) {
  ItemValues v;
  v.sort = sort < 0 ? -1 : sort > 0 ? 1 : 0;
  return Set(hwnd, index, v);
}

RECT Rect(HWND hwnd, int index) {
  RECT r{0, 0, 0, 0};
  if (!hwnd || index < 1 || !SendMessageW(hwnd, HDM_GETITEMRECT, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&r)))
    return RECT{0, 0, 0, 0};
  return r;
}

std::string Filter(HWND hwnd, int index) {
  if (!hwnd || index < 1) return {};
  wchar_t buffer[256] = {};
  HD_TEXTFILTERW tf{buffer, 256};
  HDITEMW item{};
  item.mask = HDI_FILTER;
  item.type = HDFT_ISSTRING;
  item.pvFilter = &tf;
  if (!SendMessageW(hwnd, HDM_GETITEMW, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&item))) return {};
  if ((item.type & ~HDFT_HASNOVALUE) != HDFT_ISSTRING) return {};
  buffer[255] = 0;
  return NarrowText(buffer);
}

bool SetFilter(HWND hwnd, int index, const std::string& filter) {
  if (!hwnd || index < 1) return false;
  if (filter.empty()) return SendMessageW(hwnd, HDM_CLEARFILTER, static_cast<WPARAM>(index - 1), 0) != 0;
  ItemValues v;
  v.filter = &filter;
  return Set(hwnd, index, v);
}

bool KeepsFilters(HWND hwnd) {
  // A scratch control of the same class: a filter written to an item must
  // come back.
  HWND probe = CreateWindowExW(0, WC_HEADERW, L"", WS_CHILD | HDS_FILTERBAR, 0, 0, 10, 10,
                               hwnd ? hwnd : HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!probe) return false;
  ItemValues v;
  const std::string text = "x";
  v.text = &text;
  v.width = 10;
  bool kept = false;
  if (Insert(probe, 1, v) == 1) kept = SetFilter(probe, 1, "probe") && Filter(probe, 1) == "probe";
  DestroyWindow(probe);
  return kept;
}
}  // namespace header_native

// ------------------------------------------------------------------ helpers

namespace {

std::vector<Value> ItemsOf(Object& header) {
  const Value list = Get(header, sym::aItems);
  return list.IsList() ? list.AsList().items : std::vector<Value>{};
}

Value HeaderOf(Object& item) {
  const Value h = Get(item, sym::oParent);
  return h.IsObject() && h.AsObject()->GetClass()->IsDerivedFrom(QHeaderClass()) ? h : Value();
}

// An item is live when its header has a window and it is in the control.
HWND LiveHwnd(Object& item) {
  const Value h = HeaderOf(item);
  const HWND hwnd = h.IsObject() ? ObjectHwnd(h) : nullptr;
  return hwnd && Get(item, sym::nIndex).AsInt() > 0 ? hwnd : nullptr;
}

int Index(Object& item) { return static_cast<int>(Get(item, sym::nIndex).AsInt()); }

// Whether the header shows a filter row of its own (the control keeps no
// filters here).
bool OwnFilters(Object& header) { return Get(header, sym::nFilterBand).AsInt() > 0; }

HWND FilterEdit(Object& header, int index) {
  const Value edits = Get(header, sym::aFilterEdits);
  if (!edits.IsList() || index < 1 || index > static_cast<int>(edits.Len())) return nullptr;
  return ValueHandle<HWND>(edits.Item(static_cast<std::size_t>(index)));
}

std::string EditText(HWND edit) {
  if (!edit) return {};
  const int n = GetWindowTextLengthW(edit);
  std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
  GetWindowTextW(edit, w.data(), n + 1);
  w.resize(static_cast<std::size_t>(n));
  return NarrowText(w);
}

constexpr UINT_PTR kFilterTimer = 0x5A46;  // the filter-change delay of the own filter row
constexpr UINT kFilterEditBase = 0x7000;   // identifiers of the own filter edits

// The cursor in the header's client coordinates and the item under it.
struct Hit {
  POINT pt{0, 0};
  int item = 0;  // 1-based; 0 none
};
Hit HitAtCursor(HWND hwnd) {
  Hit h;
  GetCursorPos(&h.pt);
  ScreenToClient(hwnd, &h.pt);
  HDHITTESTINFO info{};
  info.pt = h.pt;
  const LRESULT r = SendMessageW(hwnd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  h.item = r < 0 ? 0 : static_cast<int>(r) + 1;
  return h;
}

Value ItemAt(Object& header, int n) {
  const Value list = Get(header, sym::aItems);
  return list.IsList() && n >= 1 ? list.Item(static_cast<std::size_t>(n)) : Value();
}

header_native::ItemValues ValuesOf(Object& item, std::string& text, std::string& filter) {
  header_native::ItemValues v;
  text = Get(item, sym::FcText).AsString();
  filter = Get(item, sym::FcFilter).AsString();
  v.text = &text;
  v.align = static_cast<int>(Get(item, sym::FnAlignment).AsInt());
  v.width = static_cast<int>(std::clamp<long long>(Get(item, sym::FnWidth).AsInt(), 0, 0x7FFF));
  v.image = static_cast<int>(std::max<long long>(Get(item, sym::FnImage).AsInt(), 0));
  v.sort = static_cast<int>(std::clamp<long long>(Get(item, sym::FnSort).AsInt(), -1, 1));
  v.filter = &filter;
  return v;
}

void RefreshZones(Object& header) {
  if (ObjectHwnd(header)) Value(&header).Send(sym::SetTooltipZones);
}

}  // namespace

// --------------------------------------------------------------------- THeader

namespace hdr {

template <long long bit, const Symbol* member, const SetterSymbol* flag>
Value StyleSwitch(Object& self, Args a) {
  const bool on = a.Has(0) ? a.Get(0).AsBool() : Get(self, *member).AsBool();
  Put(self, *flag, on);
  self.Send(on ? sym::ChangeCtlStyle : sym::RemoveStyle, bit);
  return on;
}

template Value StyleSwitch<HDS_BUTTONS, &sym::FlButtons, &sym::set::FlButtons>(Object&, Args);
template Value StyleSwitch<HDS_DRAGDROP, &sym::FlDragDrop, &sym::set::FlDragDrop>(Object&, Args);
template Value StyleSwitch<HDS_FLAT, &sym::FlFlat, &sym::set::FlFlat>(Object&, Args);
template Value StyleSwitch<HDS_FULLDRAG, &sym::FlFullDrag, &sym::set::FlFullDrag>(Object&, Args);
template Value StyleSwitch<HDS_HOTTRACK, &sym::FlHotTrack, &sym::set::FlHotTrack>(Object&, Args);

Value SetAlign(Object& self, Args a) {
  Put(self, sym::set::FnAlign, a.Get(0).AsInt());
  const Value parent = Get(self, sym::oParent);
  if (ObjectHwnd(self) && parent.IsObject() && Has(parent, sym::AlignControls)) parent.Send(sym::AlignControls);
  return a.Get(0);
}

// lFilterBar: the style bit; with a window, the own filter row (where the
// control has none) is made or removed and the items laid out again.
Value SetFilterBar(Object& self, Args a) {
  const bool on = a.Has(0) ? a.Get(0).AsBool() : Get(self, sym::FlFilterBar).AsBool();
  Put(self, sym::set::FlFilterBar, on);
  self.Send(on ? sym::ChangeCtlStyle : sym::RemoveStyle, static_cast<long long>(HDS_FILTERBAR));
  if (ObjectHwnd(self)) self.Send(sym::LayOutFilters);
  return on;
}

Value SetImageList(Object& self, Args a) {
  const Value old = Get(self, sym::FoImageList);
  const Value list = a.Get(0);
  if (old.IsObject() && old.AsObject() != list.AsObject() && Get(self, sym::lOwnImageList).AsBool()) old.Send(sym::Destroy);
  Put(self, sym::set::lOwnImageList, false);
  Put(self, sym::set::FoImageList, list);
  if (HWND hwnd = ObjectHwnd(self)) {
    HIMAGELIST h = list.IsObject() ? ValueHandle<HIMAGELIST>(Get(list, sym::Handle)) : nullptr;
    SendMessageW(hwnd, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(h));
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  return list;
}

// New(oParent): the header's own image list first.
Value New(Object& self, Args a) {
  const Value list = NewObject(TImageListClass());
  list.Send(sym::Create, Value(&self));
  Put(self, sym::set::FoImageList, list);
  Put(self, sym::set::lOwnImageList, true);
  return Super(self, sym::New, a);
}

Value Create(Object& self, Args a) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  StyleSwitch<HDS_BUTTONS, &sym::FlButtons, &sym::set::FlButtons>(self, Args());
  StyleSwitch<HDS_DRAGDROP, &sym::FlDragDrop, &sym::set::FlDragDrop>(self, Args());
  StyleSwitch<HDS_FLAT, &sym::FlFlat, &sym::set::FlFlat>(self, Args());
  StyleSwitch<HDS_FULLDRAG, &sym::FlFullDrag, &sym::set::FlFullDrag>(self, Args());
  StyleSwitch<HDS_HOTTRACK, &sym::FlHotTrack, &sym::set::FlHotTrack>(self, Args());
  self.Send(Get(self, sym::FlFilterBar).AsBool() ? sym::ChangeCtlStyle : sym::RemoveStyle,
            static_cast<long long>(HDS_FILTERBAR));
  Value r = Super(self, sym::Create, a);
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return r;
  const Value list = Get(self, sym::FoImageList);
  if (list.IsObject()) {
    if (!ValueHandle<HIMAGELIST>(Get(list, sym::Handle))) list.Send(sym::Create);
    SendMessageW(hwnd, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ValueHandle<HIMAGELIST>(Get(list, sym::Handle))));
  }
  for (const Value& item : ItemsOf(self)) item.Send(sym::Insert);
  self.Send(sym::LayOutFilters);
  RefreshZones(self);
  return r;
}

Value CreateHandle(Object& self, Args a) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  return Super(self, sym::CreateHandle, a);
}

Value Free(Object& self, Args a) {
  const Value list = Get(self, sym::FoImageList);
  if (list.IsObject() && Get(self, sym::lOwnImageList).AsBool()) list.Send(sym::Destroy);
  Put(self, sym::set::FoImageList, Value());
  Put(self, sym::set::lOwnImageList, false);
  for (const Value& item : ItemsOf(self)) Put(item, sym::set::nIndex, 0);
  return Super(self, sym::Free, a);
}

// AddItem(cText = "Header", nAlign = 0, nWidth = 50, nImage = 0, cTooltip,
// nSort = 0, cFilter = "", nIndex = 0) -> the new item.
Value AddItem(Object& self, Args a) {
  const Value item = NewObject(THeaderItemClass());
  Put(item, sym::set::FcText, a.Get(0).IsString() ? a.Get(0) : Value("Header"));
  Put(item, sym::set::FnAlignment, a.Has(1) ? a.Get(1).AsInt() : 0);
  Put(item, sym::set::FnWidth, a.Has(2) ? a.Get(2).AsInt() : 50);
  Put(item, sym::set::FnImage, a.Has(3) ? a.Get(3).AsInt() : 0);
  Put(item, sym::set::FcTooltip, a.Get(4).IsString() ? a.Get(4) : Value(std::string()));
  Put(item, sym::set::FnSort, a.Has(5) ? a.Get(5).AsInt() : 0);
  Put(item, sym::set::FcFilter, a.Get(6).IsString() ? a.Get(6) : Value(std::string()));
  Put(item, sym::set::nIndex, a.Has(7) ? std::max<long long>(a.Get(7).AsInt(), 0) : 0);
  item.Send(sym::Create, Value(&self));
  return item;
}

// InsertItem(nIndex, cText, nAlign, nWidth, nImage, cTooltip, nSort, cFilter).
Value InsertItem(Object& self, Args a) {
  return self.Send(sym::AddItem, a.Get(1), a.Get(2), a.Get(3), a.Get(4), a.Get(5), a.Get(6), a.Get(7), a.Get(0));
}

Value DeleteItem(Object& self, Args a) {
  Value list = Get(self, sym::aItems);
  const long long n = a.Get(0).AsInt();
  if (!list.IsList() || n < 1 || n > static_cast<long long>(list.Len())) return false;
  const Value item = list.Item(static_cast<std::size_t>(n));
  list.AsList().items.erase(list.AsList().items.begin() + (n - 1));
  const bool wasInserted = Get(item, sym::nIndex).AsInt() > 0;
  Put(item, sym::set::nIndex, 0);
  for (const Value& other : list.AsList().items)
    if (const long long i = Get(other, sym::nIndex).AsInt(); i > n) Put(other, sym::set::nIndex, i - 1);
  if (HWND hwnd = ObjectHwnd(self); hwnd && wasInserted && SendMessageW(hwnd, HDM_DELETEITEM, static_cast<WPARAM>(n - 1), 0)) {
    self.Send(sym::LayOutFilters);
    RefreshZones(self);
  }
  return true;
}

Value DeleteItems(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self)) {
    while (SendMessageW(hwnd, HDM_GETITEMCOUNT, 0, 0) > 0)
      if (!SendMessageW(hwnd, HDM_DELETEITEM, 0, 0)) break;
  }
  for (const Value& item : ItemsOf(self)) Put(item, sym::set::nIndex, 0);
  Put(self, sym::set::FaItems, Value::List({}));
  if (ObjectHwnd(self)) self.Send(sym::LayOutFilters);
  return {};
}

// Rebuild(): every item out of the control and in again, from the objects.
Value Rebuild(Object& self, Args) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  while (SendMessageW(hwnd, HDM_GETITEMCOUNT, 0, 0) > 0)
    if (!SendMessageW(hwnd, HDM_DELETEITEM, 0, 0)) break;
  long long n = 0;
  for (const Value& item : ItemsOf(self)) {
    Put(item, sym::set::nIndex, ++n);
    item.Send(sym::Insert);
  }
  self.Send(sym::LayOutFilters);
  RefreshZones(self);
  return {};
}

// SetItems(a): the items made anew from texts or lists of AddItem arguments.
Value SetItems(Object& self, Args a) {
  self.Send(sym::DeleteItems);
  const Value list = a.Get(0);
  const HWND hwnd = ObjectHwnd(self);
  if (hwnd) SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
  if (list.IsList()) {
    const std::vector<Value> entries = list.AsList().items;
    for (const Value& e : entries) {
      if (e.IsString()) {
        self.Send(sym::AddItem, e);
      } else if (e.IsList()) {
        Value argv[7];
        for (std::size_t i = 0; i < 7; ++i) argv[i] = e.Item(i + 1);
        SendUnchecked(Value(&self), Msg(sym::AddItem), Args(argv, std::min<std::size_t>(e.Len(), 7)));
      }
    }
  }
  if (hwnd && IsWindow(hwnd)) {
    if (Get(self, sym::FlRedraw).AsBool()) {
      SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(hwnd, nullptr, TRUE);
    }
    RefreshZones(self);
  }
  return {};
}

Value HitTest(Object& self, Args) {
  const HWND hwnd = ObjectHwnd(self);
  return hwnd ? HitAtCursor(hwnd).item : 0;
}

Value GetItemRect(Object& self, Args a) {
  const RECT r = header_native::Rect(ObjectHwnd(self), static_cast<int>(a.Get(0).AsInt()));
  return Value::List({r.left, r.top, r.right, r.bottom});
}

Value GetOrderArray(Object& self, Args) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return Value::List({});
  const int n = static_cast<int>(SendMessageW(hwnd, HDM_GETITEMCOUNT, 0, 0));
  if (n <= 0) return Value::List({});
  std::vector<int> order(static_cast<std::size_t>(n));
  if (!SendMessageW(hwnd, HDM_GETORDERARRAY, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(order.data())))
    return Value::List({});
  std::vector<Value> out;
  for (int i : order) out.emplace_back(i + 1);
  return Value::List(std::move(out));
}

Value SetOrderArray(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  const Value list = a.Get(0);
  if (!hwnd || !list.IsList()) return false;
  const int n = static_cast<int>(SendMessageW(hwnd, HDM_GETITEMCOUNT, 0, 0));
  if (static_cast<int>(list.Len()) != n) return false;
  std::vector<int> order;
  std::vector<bool> seen(static_cast<std::size_t>(n), false);
  for (const Value& v : list.AsList().items) {
    const long long i = v.AsInt() - 1;
    if (!v.IsNumber() || i < 0 || i >= n || seen[static_cast<std::size_t>(i)]) return false;
    seen[static_cast<std::size_t>(i)] = true;
    order.push_back(static_cast<int>(i));
  }
  const bool ok = n == 0 || SendMessageW(hwnd, HDM_SETORDERARRAY, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(order.data())) != 0;
  if (ok) {
    InvalidateRect(hwnd, nullptr, TRUE);
    self.Send(sym::LayOutFilters);
    RefreshZones(self);
  }
  return ok;
}

Value GetItemCount(Object& self, Args) {
  const HWND hwnd = ObjectHwnd(self);
  return hwnd ? static_cast<long long>(SendMessageW(hwnd, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

Value GetImageList(Object& self, Args) {
  const HWND hwnd = ObjectHwnd(self);
  return hwnd ? HandleValue(reinterpret_cast<void*>(SendMessageW(hwnd, HDM_GETIMAGELIST, 0, 0))) : Value(0);
}

Value GetBitmapMargin(Object& self, Args) {
  const HWND hwnd = ObjectHwnd(self);
  return hwnd ? static_cast<long long>(SendMessageW(hwnd, HDM_GETBITMAPMARGIN, 0, 0)) : 0;
}

Value SetBitmapMargin(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  return hwnd ? static_cast<long long>(SendMessageW(hwnd, HDM_SETBITMAPMARGIN, static_cast<WPARAM>(a.Get(0).AsInt()), 0)) : 0;
}

// OrderToIndex(nOrder) -> the 1-based item at that 1-based display order.
Value OrderToIndex(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd || a.Get(0).AsInt() < 1) return 0;
  return static_cast<long long>(SendMessageW(hwnd, HDM_ORDERTOINDEX, static_cast<WPARAM>(a.Get(0).AsInt() - 1), 0)) + 1;
}

// CreateDragImage(nItem) -> an image-list handle the caller destroys, or 0.
Value CreateDragImage(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd || a.Get(0).AsInt() < 1) return 0;
  return HandleValue(reinterpret_cast<void*>(SendMessageW(hwnd, HDM_CREATEDRAGIMAGE, static_cast<WPARAM>(a.Get(0).AsInt() - 1), 0)));
}

// SetHotDivider(lPoint, n): with lPoint, n is a packed client point; else
// the 1-based divider.
Value SetHotDivider(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return 0;
  const bool point = a.Get(0).AsBool();
  const long long n = a.Get(1).AsInt();
  return static_cast<long long>(SendMessageW(hwnd, HDM_SETHOTDIVIDER, point, static_cast<LPARAM>(point ? n : n - 1)));
}

Value EditFilter(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  const int n = static_cast<int>(a.Get(0).AsInt());
  if (!hwnd || n < 1) return false;
  if (OwnFilters(self)) {
    HWND edit = FilterEdit(self, n);
    if (!edit) return false;
    ::SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return true;
  }
  const bool discard = a.Has(1) ? a.Get(1).AsBool() : true;
  return SendMessageW(hwnd, HDM_EDITFILTER, static_cast<WPARAM>(n - 1), discard ? 1 : 0) != 0;
}

Value ClearFilter(Object& self, Args a) {
  const int n = static_cast<int>(a.Get(0).AsInt());
  const Value item = ItemAt(self, n);
  if (item.IsObject()) Put(item, sym::set::FcFilter, std::string());
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd || n < 1) return false;
  if (OwnFilters(self)) {
    if (HWND edit = FilterEdit(self, n)) SetWindowTextW(edit, L"");
    return true;
  }
  return SendMessageW(hwnd, HDM_CLEARFILTER, static_cast<WPARAM>(n - 1), 0) != 0;
}

Value ClearAllFilters(Object& self, Args) {
  for (const Value& item : ItemsOf(self)) Put(item, sym::set::FcFilter, std::string());
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return false;
  if (OwnFilters(self)) {
    const Value edits = Get(self, sym::aFilterEdits);
    if (edits.IsList())
      for (const Value& e : edits.AsList().items) SetWindowTextW(ValueHandle<HWND>(e), L"");
    return true;
  }
  return SendMessageW(hwnd, HDM_CLEARFILTER, static_cast<WPARAM>(-1), 0) != 0;
}

Value SetFilterChangeTimeout(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  return hwnd ? static_cast<long long>(SendMessageW(hwnd, HDM_SETFILTERCHANGETIMEOUT, 0, static_cast<LPARAM>(a.Get(0).AsInt()))) : 0;
}

// One tooltip zone per item, in item order (a zone's number is its item's,
// which is where the tip text is asked for); an item without a tip or a
// rectangle gets an empty zone. The control base registers zones only for
// a control with a tip of its own, so the first item tip stands for it
// while the header has none.
Value SetTooltipZones(Object& self, Args) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  std::vector<Value> zones;
  std::string first;
  for (const Value& item : ItemsOf(self)) {
    const std::string tip = Get(item, sym::FcTooltip).AsString();
    const int n = Index(*item.AsObject());
    RECT r = n > 0 && !tip.empty() ? header_native::Rect(hwnd, n) : RECT{0, 0, 0, 0};
    if (!tip.empty() && first.empty() && !IsRectEmpty(&r)) first = tip;
    zones.push_back(Value::List({r.left, r.top, r.right, r.bottom}));
  }
  if (Get(self, sym::FcTooltip).AsString().empty() && !first.empty()) Put(self, sym::set::FcTooltip, first);
  Value argv[] = {first.empty() ? Value() : Value::List(std::move(zones))};
  Super(self, sym::SetTooltipZones, Args(argv, 1));
  return {};
}

// Notify(wParam, lParam): the control's notifications, from the parent.
Value Notify(Object& self, Args a) {
  const auto* nm = reinterpret_cast<const NMHEADERW*>(static_cast<LPARAM>(a.Get(1).AsInt()));
  const HWND hwnd = ObjectHwnd(self);
  if (!nm || !hwnd) return {};
  const Hit hit = HitAtCursor(hwnd);
  const int item = nm->hdr.code == static_cast<UINT>(NM_RCLICK) ? hit.item : nm->iItem + 1;
  const auto fireItemOr = [&](Symbol headerEvent, Symbol itemEvent, int n) {
    const Value r = self.Send(headerEvent, hit.pt.x, hit.pt.y, n);
    const Value it = ItemAt(self, n);
    if (r.IsNil() && it.IsObject()) return it.Send(itemEvent, hit.pt.x, hit.pt.y);
    return r;
  };
  switch (nm->hdr.code) {
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
      if (item > 0) PostMessageW(hwnd, WM_USER + 1, static_cast<WPARAM>(item), MAKELPARAM(hit.pt.x, hit.pt.y));
      return {};
    case HDN_ITEMDBLCLICKA:
    case HDN_ITEMDBLCLICKW:
      if (item > 0) fireItemOr(sym::OnDblClick, sym::OnDblClick, item);
      return {};
    case NM_RCLICK:
      if (item > 0) fireItemOr(sym::OnRClick, sym::OnRClick, item);
      return {};
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW: {
      const Value it = ItemAt(self, item);
      if (it.IsObject() && EventAssigned(*it.AsObject(), "OnDividerDblClick")) it.Send(sym::OnDividerDblClick);
      else self.Send(sym::OnDividerDblClick, item);
      return {};
    }
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW: {
      if (!Get(self, sym::lResize).AsBool()) return true;
      self.Send(sym::OnBeginTrack, item, header_native::Width(hwnd, item));
      if (Get(self, sym::lCancelTrack).AsBool()) {
        Put(self, sym::set::lCancelTrack, false);
        return true;
      }
      return false;
    }
    case HDN_TRACKA:
    case HDN_TRACKW:
      self.Send(sym::OnTrack);
      return {};
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW: {
      const int width = nm->pitem && (nm->pitem->mask & HDI_WIDTH) ? nm->pitem->cxy : header_native::Width(hwnd, item);
      self.Send(sym::OnEndTrack, item, width);
      if (Get(self, sym::lCancelTrack).AsBool()) {
        Put(self, sym::set::lCancelTrack, false);
        return true;
      }
      PostMessageW(hwnd, WM_USER + 1, 0, 0);
      return false;
    }
    case HDN_BEGINDRAG:
      self.Send(sym::OnBeginDrag);
      return false;
    case HDN_ENDDRAG: {
      const int order = nm->pitem && (nm->pitem->mask & HDI_ORDER) ? nm->pitem->iOrder + 1 : header_native::Order(hwnd, item);
      self.Send(sym::OnEndDrag, item, order);
      if (Get(self, sym::lCancelDrag).AsBool()) {
        Put(self, sym::set::lCancelDrag, false);
        return true;
      }
      PostMessageW(hwnd, WM_USER + 1, 0, 0);
      return false;
    }
    case HDN_FILTERCHANGE:
      self.Send(sym::OnFilterChange, item);
      return 1;
    case HDN_FILTERBTNCLICK:
      self.Send(sym::OnFilterBtnClick, item);
      return 1;
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
      RefreshZones(self);
      self.Send(sym::LayOutFilters);
      self.Send(sym::OnItemChanged);
      return {};
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
      return self.Send(sym::OnItemChanging);
    default:
      return {};
  }
}

// WM_COMMAND from the own filter edits: a change restarts the delay after
// which OnFilterChange reports it (as the control's filter row does).
Value Command(Object& self, Args a) {
  const auto wParam = static_cast<WPARAM>(a.Get(0).AsInt());
  const UINT id = LOWORD(wParam);
  if (OwnFilters(self) && id >= kFilterEditBase && HIWORD(wParam) == EN_CHANGE) {
    const int n = static_cast<int>(id - kFilterEditBase) + 1;
    const Value item = ItemAt(self, n);
    if (item.IsObject()) Put(item, sym::set::FcFilter, EditText(FilterEdit(self, n)));
    if (HWND hwnd = ObjectHwnd(self)) {
      Put(self, sym::set::nFilterPending, n);
      SetTimer(hwnd, kFilterTimer, 1000, nullptr);
    }
    return 0;
  }
  return Super(self, sym::Command, a);
}

Value WMTimer(Object& self, const WinMsg& m) {
  if (m.wParam != kFilterTimer) return SuperHandler(self, sym::WMTimer, m);
  KillTimer(m.hwnd, kFilterTimer);
  const int n = static_cast<int>(Get(self, sym::nFilterPending).AsInt());
  Put(self, sym::set::nFilterPending, 0);
  if (n > 0) self.Send(sym::OnFilterChange, n);
  return 0;
}

Value QVClick(Object& self, Args a) { return self.Send(sym::OnClick, a.Get(0), a.Get(1), a.Get(2)); }

// The own filter row: where the control keeps no filters, the lower part
// of each item holds an edit box (the control's items keep the upper part).
Value LayOutFilters(Object& self, Args) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  Value edits = Get(self, sym::aFilterEdits);
  const bool wanted = Get(self, sym::FlFilterBar).AsBool();
  static int keeps = -1;  // the control's filter support does not change in a process
  if (wanted && keeps < 0) keeps = header_native::KeepsFilters(hwnd) ? 1 : 0;
  const bool own = wanted && keeps == 0;
  std::vector<Value> list = edits.IsList() ? edits.AsList().items : std::vector<Value>{};
  const std::vector<Value> items = ItemsOf(self);
  const std::size_t want = own ? items.size() : 0;
  while (list.size() > want) {
    if (HWND e = ValueHandle<HWND>(list.back()); e && IsWindow(e)) DestroyWindow(e);
    list.pop_back();
  }
  RECT client{};
  GetClientRect(hwnd, &client);
  const int band = own ? std::max<int>(client.bottom / 2, 1) : 0;
  Put(self, sym::set::nFilterBand, band);
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  for (std::size_t i = 0; i < want; ++i) {
    HWND e = i < list.size() ? ValueHandle<HWND>(list[i]) : nullptr;
    if (!e || !IsWindow(e)) {
      e = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kFilterEditBase + i)), GetModuleHandleW(nullptr), nullptr);
      if (i < list.size()) list[i] = HandleValue(e);
      else list.push_back(HandleValue(e));
      const std::wstring text = WidenText(Get(items[i], sym::FcFilter).AsString());
      // The text goes in before the change notifications count.
      SetWindowTextW(e, text.c_str());
    }
    if (font) SendMessageW(e, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const RECT r = header_native::Rect(hwnd, static_cast<int>(i) + 1);
    MoveWindow(e, r.left + 1, client.bottom - band, std::max<LONG>(r.right - r.left - 2, 0), band, TRUE);
  }
  Put(self, sym::set::aFilterEdits, Value::List(std::move(list)));
  return {};
}

// The control's own notification has returned when a posted click comes:
// item 0 re-applies the tooltip zones (after a reorder or a resize).
Value WMZorvan(Object& self, const WinMsg& m) {
  const int n = static_cast<int>(m.wParam);
  if (n == 0) {
    RefreshZones(self);
    self.Send(sym::LayOutFilters);
    return 0;
  }
  const int x = static_cast<short>(LOWORD(m.lParam)), y = static_cast<short>(HIWORD(m.lParam));
  const Value r = self.Send(sym::OnClick, x, y, n);
  const Value item = ItemAt(self, n);
  if (r.IsNil() && item.IsObject()) item.Send(sym::OnClick, x, y);
  return 0;
}

Value WMEraseBkgnd(Object&, const PaintMsg&) { return 1; }

// A filter edit going away must not take the focus with it.
Value WMParentNotify(Object& self, const WinMsg& m) {
  if (LOWORD(m.wParam) == WM_DESTROY) {
    if (HWND f = GetFocus(); f && IsWindow(f) && f != reinterpret_cast<HWND>(m.lParam)) ::SetFocus(f);
  }
  return SuperHandler(self, sym::WMParentNotify, m);
}

// With an own filter row the items take the upper part of the window; the
// control lays out its items over the whole height, so the row is placed
// again after every size change.
Value WMSize(Object& self, const WinMsg& m) {
  Value r = SuperHandler(self, sym::WMSize, m);
  if (Get(self, sym::FlFilterBar).AsBool()) self.Send(sym::LayOutFilters);
  return r;
}

}  // namespace hdr

// ------------------------------------------------------------------ THeaderItem

namespace hdritem {

namespace {
void Write(Object& self, const header_native::ItemValues& v) {
  if (HWND hwnd = LiveHwnd(self)) header_native::Set(hwnd, Index(self), v);
}
}  // namespace

Value SetText(Object& self, Args a) {
  const std::string text = a.Get(0).IsString() ? a.Get(0).AsString() : a.Get(0).IsNil() ? std::string() : a.Get(0).ToDisplay();
  Put(self, sym::set::FcText, text);
  header_native::ItemValues v;
  v.text = &text;
  Write(self, v);
  return text;
}

Value GetWidth(Object& self, Args) {
  if (HWND hwnd = LiveHwnd(self)) {
    const int w = header_native::Width(hwnd, Index(self));
    if (w >= 0) {
      Put(self, sym::set::FnWidth, w);
      return w;
    }
  }
  return Get(self, sym::FnWidth);
}

Value SetWidth(Object& self, Args a) {
  const long long w = std::clamp<long long>(a.Get(0).AsInt(), 0, 0x7FFF);
  Put(self, sym::set::FnWidth, w);
  header_native::ItemValues v;
  v.width = static_cast<int>(w);
  Write(self, v);
  const Value h = HeaderOf(self);
  if (LiveHwnd(self)) {
    h.Send(sym::LayOutFilters);
    RefreshZones(*h.AsObject());
  }
  return w;
}

Value GetOrder(Object& self, Args) {
  if (HWND hwnd = LiveHwnd(self)) {
    const int o = header_native::Order(hwnd, Index(self));
    if (o >= 0) {
      Put(self, sym::set::FnOrder, o);
      return o;
    }
  }
  return Get(self, sym::FnOrder);
}

Value SetOrder(Object& self, Args a) {
  Put(self, sym::set::FnOrder, a.Get(0).AsInt());
  header_native::ItemValues v;
  v.order = static_cast<int>(std::clamp<long long>(a.Get(0).AsInt(), 0, 0x7FFF));
  Write(self, v);
  if (HWND hwnd = LiveHwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return a.Get(0);
}

Value SetSort(Object& self, Args a) {
  const long long s = std::clamp<long long>(a.Get(0).AsInt(), -1, 1);
  if (Get(self, sym::FnSort).AsInt() == s) return s;
  Put(self, sym::set::FnSort, s);
  if (HWND hwnd = LiveHwnd(self)) header_native::SetSort(hwnd, Index(self), static_cast<int>(s));
  return s;
}

Value SetAlignment(Object& self, Args a) {
  const long long al = a.Get(0).AsInt();
  Put(self, sym::set::FnAlignment, al);
  header_native::ItemValues v;
  v.align = static_cast<int>(al == 2 || al == 6 ? al : 0);
  Write(self, v);
  return al;
}

Value SetTooltip(Object& self, Args a) {
  Put(self, sym::set::FcTooltip, a.Get(0).IsString() ? a.Get(0) : Value(std::string()));
  const Value h = HeaderOf(self);
  if (h.IsObject()) RefreshZones(*h.AsObject());
  return a.Get(0);
}

Value GetFilter(Object& self, Args) {
  const Value h = HeaderOf(self);
  if (HWND hwnd = LiveHwnd(self)) {
    if (OwnFilters(*h.AsObject())) {
      if (HWND e = FilterEdit(*h.AsObject(), Index(self))) Put(self, sym::set::FcFilter, EditText(e));
    } else if (Get(h, sym::FlFilterBar).AsBool()) {
      Put(self, sym::set::FcFilter, header_native::Filter(hwnd, Index(self)));
    }
  }
  return Get(self, sym::FcFilter);
}

Value SetFilter(Object& self, Args a) {
  const std::string text = a.Get(0).IsString() ? a.Get(0).AsString() : std::string();
  Put(self, sym::set::FcFilter, text);
  const Value h = HeaderOf(self);
  if (HWND hwnd = LiveHwnd(self)) {
    if (OwnFilters(*h.AsObject())) {
      if (HWND e = FilterEdit(*h.AsObject(), Index(self))) {
        const std::wstring w = WidenText(text);
        SetWindowTextW(e, w.c_str());
      }
    } else {
      header_native::SetFilter(hwnd, Index(self), text);
    }
  }
  return text;
}

// nImage: an item that had no image and gets one makes the header insert
// every item again (the control lays out text and image on insertion).
Value SetImage(Object& self, Args a) {
  const long long old = Get(self, sym::FnImage).AsInt();
  const long long n = std::max<long long>(a.Get(0).AsInt(), 0);
  Put(self, sym::set::FnImage, n);
  if (!LiveHwnd(self)) return n;
  if (old <= 0 && n > 0) {
    HeaderOf(self).Send(sym::Rebuild);
  } else {
    header_native::ItemValues v;
    v.image = static_cast<int>(n);
    Write(self, v);
    InvalidateRect(LiveHwnd(self), nullptr, TRUE);
  }
  return n;
}

// Create(oHeader): appended to the items (nIndex 0) or inserted at nIndex.
Value Create(Object& self, Args a) {
  Value argv[] = {a.Get(0)};
  Super(self, sym::Create, Args(argv, 1));
  const Value h = HeaderOf(self);
  if (!h.IsObject()) return Value(&self);
  Value list = Get(h, sym::aItems);
  if (!list.IsList()) {
    list = Value::List({});
    Put(h, sym::set::FaItems, list);
  }
  auto& items = list.AsList().items;
  const long long at = Get(self, sym::nIndex).AsInt();
  if (at <= 0 || at > static_cast<long long>(items.size())) {
    items.push_back(Value(&self));
    Put(self, sym::set::nIndex, static_cast<long long>(items.size()));
  } else {
    items.insert(items.begin() + (at - 1), Value(&self));
    for (std::size_t i = static_cast<std::size_t>(at); i < items.size(); ++i)
      if (Get(items[i], sym::nIndex).AsInt() > 0) Put(items[i], sym::set::nIndex, static_cast<long long>(i) + 1);
  }
  self.Send(sym::Insert);
  return Value(&self);
}

// Insert(): into the control when the header has a window.
Value Insert(Object& self, Args) {
  const Value h = HeaderOf(self);
  const HWND hwnd = h.IsObject() ? ObjectHwnd(h) : nullptr;
  if (!hwnd) return false;
  std::string text, filter;
  const int at = std::max(Index(self), 1);
  const int n = header_native::Insert(hwnd, at, ValuesOf(self, text, filter));
  Put(self, sym::set::nIndex, n);
  Put(self, sym::set::FnOrder, n);
  if (n > 0) {
    h.Send(sym::LayOutFilters);
    RefreshZones(*h.AsObject());
  }
  return n > 0;
}

Value End(Object& self, Args) {
  const Value h = HeaderOf(self);
  if (!h.IsObject()) return false;
  const Value list = Get(h, sym::aItems);
  if (!list.IsList()) return false;
  for (std::size_t i = 1; i <= list.Len(); ++i)
    if (list.Item(i).AsObject() == &self) return h.Send(sym::DeleteItem, static_cast<long long>(i));
  return false;
}

Value GetRect(Object& self, Args) {
  const RECT r = header_native::Rect(LiveHwnd(self), Index(self));
  return Value::List({r.left, r.top, r.right, r.bottom});
}

Value ClearFilter(Object& self, Args) {
  Put(self, sym::set::FcFilter, std::string());
  const Value h = HeaderOf(self);
  if (LiveHwnd(self)) return h.Send(sym::ClearFilter, Index(self));
  return true;
}

}  // namespace hdritem

Class* QHeaderClass() {
  static Class* c = [] {
    QVClass b("QHeader", {TStdControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QHEADER_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* THeaderClass() {
  static Class* c = DeclarePublicClass("THeader", QHeaderClass());
  return c;
}

Class* QHeaderItemClass() {
  static Class* c = [] {
    QVClass b("QHeaderItem", {TComponentClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QHEADERITEM_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* THeaderItemClass() {
  static Class* c = DeclarePublicClass("THeaderItem", QHeaderItemClass());
  return c;
}

}  // namespace zv
