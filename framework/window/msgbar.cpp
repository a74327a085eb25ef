#include "framework/window/msgbar.h"



#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/messages.h"
#include "framework/window/winobject.h"

namespace zv {
namespace {

Value BarOf(Object& item) {
  const Value bar = Get(item, sym::oParent);
  return bar.IsObject() && bar.AsObject()->GetClass()->IsDerivedFrom(QMsgBarClass()) ? bar : Value();
}

std::vector<Value> Items(Object& bar) {
  const Value list = Get(bar, sym::aItems);
  return list.IsList() ? list.AsList().items : std::vector<Value>{};
}

// One part's text, drawing style and tip into the window.
void WritePart(HWND hwnd, Object& item) {
  const long long index = Get(item, sym::nIndex).AsInt();
  if (!hwnd || index < 1 || index > 255) return;
  const auto part = static_cast<WPARAM>(index - 1);
  const auto style = static_cast<WPARAM>(Get(item, sym::FnStyle).AsInt()) & 0xFF00;
  const std::wstring text = WidenText(Get(item, sym::FcText).AsString());
  SendMessageW(hwnd, SB_SETTEXTW, part | style, reinterpret_cast<LPARAM>(text.c_str()));
  const std::wstring tip = WidenText(Get(item, sym::FcTooltip).AsString());
  SendMessageW(hwnd, SB_SETTIPTEXTW, part, reinterpret_cast<LPARAM>(tip.c_str()));
}

void Renumber(Object& bar) {
  long long n = 0;
  for (const Value& item : Items(bar)) Put(item, sym::set::nIndex, ++n);
}

// The form lays itself out again with its current client size: the bar
// came or went, so the room left for the scrolled area changed. A bar made on
// a form not shown yet counts too (the form is laid out before it shows);
// a bar going away only matters to a form still on the screen (a form being
// destroyed takes its bar with it).
void RelayoutForm(const Value& form, bool evenHidden) {
  const HWND f = ObjectHwnd(form);
  if (!f || (!evenHidden && !IsWindowVisible(f))) return;
  RECT c{};
  GetClientRect(f, &c);
  SendMessageA(f, WM_SIZE, IsZoomed(f) ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(c.right, c.bottom));
  RethrowDeferred();
}

// ----------------------------------------------------------------- TMsgBar

// Create(oForm): the bar belongs to the form; a form has one bar, so an
// earlier one is destroyed first.
Value BarCreate(Object& self, Args a) {
  const Value form = a.Get(0).IsObject() ? a.Get(0) : Get(self, sym::oParent);
  if (form.IsObject() && Has(form, sym::oMsgBar)) {
    const Value old = Get(form, sym::oMsgBar);
    if (old.IsObject() && old.AsObject() != &self && ObjectHwnd(old)) old.Send(sym::Destroy, true);
  }
  // Recorded first: the form keeps its bar out of its scrolled controls
  // when the new window inserts itself.
  const bool owned = form.IsObject() && Has(form, sym::oMsgBar);
  if (owned) Put(form, sym::set::oMsgBar, Value(&self));
  Value r = Super(self, sym::Create, a);
  if (!owned) return r;
  if (!ObjectHwnd(self)) {
    if (Get(form, sym::oMsgBar).AsObject() == &self) Put(form, sym::set::oMsgBar, Value());
    return r;
  }
  self.Send(sym::Resize);
  RelayoutForm(form, true);
  return r;
}

Value BarCreateHandle(Object& self, Args a) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  const long long style = Get(self, sym::nCtlStyle).AsInt();
  const long long grip = Get(self, sym::lSizeGrip).AsBool() ? SBARS_SIZEGRIP : 0;
  Put(self, sym::set::nCtlStyle, (style & ~static_cast<long long>(SBARS_SIZEGRIP)) | grip);
  Value r = Super(self, sym::CreateHandle, a);
  if (HWND hwnd = ObjectHwnd(self)) {
    SendMessageA(hwnd, SB_SIMPLE, Items(self).empty() ? TRUE : FALSE, 0);
    if (Items(self).empty()) {
      const std::wstring text = WidenText(Get(self, sym::FcText).AsString());
      SendMessageW(hwnd, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
  return r;
}

// AddItem(cText, nWidth, nStyle, cTooltip) -> the new item, the last part.
Value AddItem(Object& self, Args a) {
  const Value item = NewObject(TMsgItemClass());
  item.Send(sym::Create, Value(&self), a.Get(0), a.Get(1), a.Get(2), a.Get(3));
  return item;
}

// DelItem(n): false when there is no item n.
Value DelItem(Object& self, Args a) {
  Value list = Get(self, sym::aItems);
  const long long n = a.Get(0).AsInt();
  if (!list.IsList() || n < 1 || n > static_cast<long long>(list.Len())) return false;
  const Value item = list.Item(static_cast<std::size_t>(n));
  list.AsList().items.erase(list.AsList().items.begin() + (n - 1));
  Put(item, sym::set::nIndex, 0);
  Put(item, sym::set::oParent, Value());
  Renumber(self);
  self.Send(sym::Resize);
  return true;
}

// SetItemText(n, cText): false when there is no item n.
Value SetItemText(Object& self, Args a) {
  const Value list = Get(self, sym::aItems);
  const long long n = a.Get(0).AsInt();
  if (!list.IsList() || n < 1 || n > static_cast<long long>(list.Len())) return false;
  list.Item(static_cast<std::size_t>(n)).Send(sym::SetText, a.Get(1));
  return true;
}

// SetText(cText): the first item's text, or the bar's simple text.
Value BarSetText(Object& self, Args a) {
  const std::string text = a.Get(0).IsString() ? a.Get(0).AsString() : std::string();
  const std::vector<Value> items = Items(self);
  if (!items.empty()) {
    items.front().Send(sym::SetText, text);
    return text;
  }
  Put(self, sym::set::FcText, text);
  if (HWND hwnd = ObjectHwnd(self)) {
    const std::wstring wide = WidenText(text);
    SendMessageW(hwnd, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  return text;
}

// Resize(): the window follows the bottom of its parent (the status
// window does that itself on WM_SIZE), the parts are laid out again and
// the stored bounds follow the window.
Value Resize(Object& self, Args) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  SendMessageA(hwnd, WM_SIZE, 0, 0);
  const std::vector<Value> items = Items(self);
  SendMessageA(hwnd, SB_SIMPLE, items.empty() ? TRUE : FALSE, 0);
  if (!items.empty()) {
    RECT c{};
    GetClientRect(hwnd, &c);
    long long fixed = 0, springs = 0;
    for (const Value& item : items) {
      const long long w = Get(item, sym::FnWidth).AsInt();
      if (w > 0) fixed += std::min<long long>(w, 0x7FFF);
      else ++springs;
    }
    const long long share = springs ? std::max<long long>(0, (c.right - fixed) / springs) : 0;
    std::vector<int> edges;
    long long right = 0;
    for (const Value& item : items) {
      if (edges.size() == 255) break;  // the control's limit of parts
      const long long w = Get(item, sym::FnWidth).AsInt();
      right += w > 0 ? std::min<long long>(w, 0x7FFF) : share;
      edges.push_back(static_cast<int>(std::min<long long>(right, 0x7FFFFFFF)));
    }
    if (Get(items.back(), sym::FnWidth).AsInt() <= 0) edges.back() = -1;  // the last spring runs to the end
    SendMessageA(hwnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (const Value& item : items) WritePart(hwnd, *item.AsObject());
  }
  self.Send(sym::UpdateBounds);
  RethrowDeferred();
  return {};
}

// The bar's window goes: a form that keeps its window forgets the bar and
// gives its room back to the scrolled area.
Value BarNCDestroy(Object& self, const WinMsg& m) {
  const Value form = Get(self, sym::oParent);
  Value r = SuperHandler(self, sym::WMNCDestroy, m);
  if (form.IsObject() && Has(form, sym::oMsgBar) && Get(form, sym::oMsgBar).AsObject() == &self) {
    Put(form, sym::set::oMsgBar, Value());
    RelayoutForm(form, false);
  }
  return r;
}

// ----------------------------------------------------------------- TMsgItem

// Create(oBar, cText, nWidth, nStyle, cTooltip): appended to the bar's parts.
Value ItemCreate(Object& self, Args a) {
  Value argv[] = {a.Get(0)};
  Super(self, sym::Create, Args(argv, 1));
  if (a.Get(1).IsString()) Put(self, sym::set::FcText, a.Get(1));
  if (a.Get(2).IsNumber()) Put(self, sym::set::FnWidth, a.Get(2).AsInt());
  if (a.Get(3).IsNumber()) Put(self, sym::set::FnStyle, a.Get(3).AsInt());
  if (a.Get(4).IsString()) Put(self, sym::set::FcTooltip, a.Get(4));
  const Value bar = BarOf(self);
  if (bar.IsObject()) {
    Value list = Get(bar, sym::aItems);
    if (!list.IsList()) {
      list = Value::List({});
      Put(bar, sym::set::aItems, list);
    }
    list.Append(Value(&self));
    Put(self, sym::set::nIndex, static_cast<long long>(list.Len()));
    bar.Send(sym::Resize);
  }
  return Value(&self);
}

Value ItemSetText(Object& self, Args a) {
  Put(self, sym::set::FcText, a.Get(0).IsString() ? a.Get(0) : Value(std::string()));
  const Value bar = BarOf(self);
  if (bar.IsObject()) WritePart(ObjectHwnd(bar), self);
  return a.Get(0);
}

Value ItemSetWidth(Object& self, Args a) {
  Put(self, sym::set::FnWidth, a.Get(0).AsInt());
  const Value bar = BarOf(self);
  if (bar.IsObject()) bar.Send(sym::Resize);
  return a.Get(0);
}

// nStyle: 0 sunken, SBT_NOBORDERS, SBT_POPOUT, SBT_RTLREADING.
Value SetItemStyle(Object& self, Args a) {
  Put(self, sym::set::FnStyle, a.Get(0).AsInt());
  const Value bar = BarOf(self);
  if (bar.IsObject()) WritePart(ObjectHwnd(bar), self);
  return a.Get(0);
}

Value SetItemTooltip(Object& self, Args a) {
  Put(self, sym::set::FcTooltip, a.Get(0).IsString() ? a.Get(0) : Value(std::string()));
  const Value bar = BarOf(self);
  if (bar.IsObject()) WritePart(ObjectHwnd(bar), self);
  return a.Get(0);
}

// An item that ends leaves its bar.
Value ItemFree(Object& self, Args) {
  const Value bar = BarOf(self);
  const long long n = Get(self, sym::nIndex).AsInt();
  if (bar.IsObject() && n > 0) {
    bar.Send(sym::DelItem, n);
  }
  return {};
}

}  // namespace

Class* QMsgBarClass() {
  static Class* c = [] {
    QVClass b("QMsgBar", {TStdControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QMSGBAR_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TMsgBarClass() {
  static Class* c = DeclarePublicClass("TMsgBar", QMsgBarClass());
  return c;
}

Class* QMsgItemClass() {
  static Class* c = [] {
    QVClass b("QMsgItem", {TComponentClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QMSGITEM_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TMsgItemClass() {
  static Class* c = DeclarePublicClass("TMsgItem", QMsgItemClass());
  return c;
}

}  // namespace zv
