#include "framework/grid/browse.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/members.h"
#include "framework/graphics/image_list.h"
#include "framework/grid/browse_internal.h"
#include "framework/grid/column.h"
#include "framework/grid/header.h"
#include "framework/grid/recsel.h"
#include "framework/window/winobject.h"

namespace zv {

int RowPitch(int h, int dataLines, int rowDividerStyle) {
  long long pitch = std::max<long long>(static_cast<long long>(h) * std::max(dataLines, 1) + 4, 18);
  if (rowDividerStyle != 0) ++pitch;
  if (rowDividerStyle == 5 || rowDividerStyle == 6) ++pitch;
  return static_cast<int>(std::min<long long>(pitch, 0x7FFF));
}

namespace brw {

namespace {

HPEN DividerPen(int style, long long textColour) {
  switch (style) {
    case 1: return CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    case 2: return CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    case 3: return CreatePen(PS_SOLID, 1, static_cast<COLORREF>(textColour));
    case 4: return CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
    case 5:
    case 6: return CreatePen(PS_SOLID, 1, RGB(199, 197, 198));
    default: return nullptr;
  }
}

void ReplaceObject(Object& self, Symbol current, SetterSymbol slot, HGDIOBJ made) {
  if (HGDIOBJ old = ValueHandle<HGDIOBJ>(Get(self, current))) DeleteObject(old);
  Put(self, slot, HandleValue(made));
}

struct SelSlot {
  Symbol colour;
  SetterSymbol setColour;
  Symbol brush;
  SetterSymbol setBrush;
};
SelSlot SelSlotOf(int which) {
  switch (which) {
    case 0: return {sym::FnClrSelText, sym::set::FnClrSelText, sym::hClrSelText, sym::set::hClrSelText};
    case 1: return {sym::FnClrSelPane, sym::set::FnClrSelPane, sym::hClrSelPane, sym::set::hClrSelPane};
    case 2: return {sym::FnClrSelFocusText, sym::set::FnClrSelFocusText, sym::hClrSelFocusText, sym::set::hClrSelFocusText};
    default: return {sym::FnClrSelFocusPane, sym::set::FnClrSelFocusPane, sym::hClrSelFocusPane, sym::set::hClrSelFocusPane};
  }
}

void Repaint(Object& self) {
  if (HWND h = ObjectHwnd(self); h && Get(self, sym::FlRedraw).AsBool()) InvalidateRect(h, nullptr, FALSE);
}

// A callable for a bar's event that sends `message` to the grid (when the
// grid answers it) with the event's arguments, the bar first.
Value Route(Object& grid, Symbol message) {
  return Value::Closure({Value(&grid)}, [message](Args a, std::span<const Value> b) -> Value {
    if (!Has(b[0], message)) return {};
    std::vector<Value> argv(a.span().begin(), a.span().end());
    return SendUnchecked(b[0], Msg(message), Args(argv.data(), argv.size()));
  });
}

// A callable for an item's click (x, y): editing ends, then the column
// hears it: HeaderClick(x, y), or its event with no key flags (0, x, y).
Value ItemRoute(const Value& grid, const Value& column, Symbol message) {
  return Value::Closure({grid, column}, [message](Args a, std::span<const Value> b) -> Value {
    b[0].Send(sym::CancelEdit);
    std::vector<Value> argv;
    if (message != sym::HeaderClick) argv.emplace_back(0);
    for (std::size_t i = 1; i < a.size(); ++i) argv.push_back(a.Get(i));
    if (!Has(b[1], message)) return {};
    return SendUnchecked(b[1], Msg(message), Args(argv.data(), argv.size()));
  });
}

}  // namespace

template <int which>
Value SetSelColour(Object& self, Args a) {
  const SelSlot s = SelSlotOf(which);
  Put(self, s.setColour, a.Get(0).AsInt());
  ReplaceObject(self, s.brush, s.setBrush, CreateSolidBrush(static_cast<COLORREF>(a.Get(0).AsInt())));
  Repaint(self);
  return a.Get(0);
}
template Value SetSelColour<0>(Object&, Args);
template Value SetSelColour<1>(Object&, Args);
template Value SetSelColour<2>(Object&, Args);
template Value SetSelColour<3>(Object&, Args);

Value EditModeOn(Object& self, Args) { return Get(self, sym::nEditMode).AsInt() != 0; }

// New(oParent): the state of an empty grid and its own image list.
Value New(Object& self, Args a) {
  Value r = Super(self, sym::New, a);
  Put(self, sym::set::nRowSel, 1);
  Put(self, sym::set::nColSel, 1);
  Put(self, sym::set::nColOffset, 1);
  Put(self, sym::set::nDataRows, 0);
  const Value list = NewObject(TImageListClass());
  list.Send(sym::Create, Value(&self));
  Put(self, sym::set::FoImageList, list);
  Put(self, sym::set::lOwnImageList, true);
  self.Send(sym::SetColor, Get(self, sym::FnClrText), Get(self, sym::FnClrPane));
  return r;
}

Value Create(Object& self, Args a) {
  if (a.Get(0).IsObject()) Put(self, sym::set::oParent, a.Get(0));
  self.Send(sym::SetRecSel, Get(self, sym::FlRecordSelector), false);
  Value argv[] = {a.Get(0)};
  Value r = Super(self, sym::Create, Args(argv, a.Has(0) ? 1 : 0));
  if (!ObjectHwnd(self)) return r;
  if (!Get(self, sym::lVScroll).IsNil()) self.Send(sym::SetVScroll, Get(self, sym::lVScroll).AsBool());
  if (!Get(self, sym::lHScroll).IsNil()) self.Send(sym::SetHScroll, Get(self, sym::lHScroll).AsBool());
  const Value list = Get(self, sym::FoImageList);
  if (list.IsObject() && !ValueHandle<HIMAGELIST>(Get(list, sym::Handle))) list.Send(sym::Create, Value(&self));
  for (const Value& c : Cols(self))
    if (!Get(c, sym::lCreated).AsBool()) c.Send(sym::Create, Value(&self), false);
  if (Get(self, sym::FlHeader).AsBool()) self.Send(sym::CreateHeader);
  if (Get(self, sym::FlFooter).AsBool()) self.Send(sym::CreateFooter);
  self.Send(sym::Adjust);
  // The window may have been painted while it was made, before the columns
  // and the count were known: it is counted and painted again.
  self.Send(sym::Refresh);
  return r;
}

Value Free(Object& self, Args a) {
  const Value list = Get(self, sym::FoImageList);
  Put(self, sym::set::FoImageList, Value());
  if (list.IsObject() && Get(self, sym::lOwnImageList).AsBool()) list.Send(sym::Destroy);
  for (Symbol s : {sym::hColPen, sym::hRowPen, sym::hBtnShadowPen, sym::hWhitePen, sym::hClrSelText, sym::hClrSelPane,
                   sym::hClrAltPane, sym::hClrSelFocusText, sym::hClrSelFocusPane})
    if (HGDIOBJ h = ValueHandle<HGDIOBJ>(Get(self, s))) DeleteObject(h);
  for (SetterSymbol s : {sym::set::hColPen, sym::set::hRowPen, sym::set::hBtnShadowPen, sym::set::hWhitePen,
                         sym::set::hClrSelText, sym::set::hClrSelPane, sym::set::hClrAltPane, sym::set::hClrSelFocusText,
                         sym::set::hClrSelFocusPane})
    Put(self, s, 0);
  const Value rs = Get(self, sym::oRecSel);
  Put(self, sym::set::oRecSel, Value());
  if (rs.IsObject()) rs.Send(sym::End);
  Put(self, sym::set::oSeek, Value());
  const std::vector<Value> cols = Cols(self);
  Put(self, sym::set::aCols, Value::List({}));
  Put(self, sym::set::aDisplay, Value::List({}));
  for (const Value& c : cols) c.Send(sym::End);
  return Super(self, sym::Free, a);
}

// Adjust(): the selector and the columns adjust themselves, then the row
// pitch, the GDI objects, the displayed columns and the record count.
Value Adjust(Object& self, Args) {
  const Value rs = RecSel(self);
  if (rs.IsObject()) rs.Send(sym::Adjust);
  for (const Value& c : Cols(self)) c.Send(sym::Adjust);
  if (Int(self, sym::FnRowHeight) == 0) {
    Put(self, sym::set::nIntRowHeight, ComputedPitch(self, true));
  } else {
    Put(self, sym::set::nIntRowHeight, std::max<long long>(Int(self, sym::FnRowHeight), 18));
  }
  if (!Get(self, sym::hBtnShadowPen).AsInt())
    Put(self, sym::set::hBtnShadowPen, HandleValue(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW))));
  if (!Get(self, sym::hWhitePen).AsInt())
    Put(self, sym::set::hWhitePen, HandleValue(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT))));
  ReplaceObject(self, sym::hColPen, sym::set::hColPen, DividerPen(static_cast<int>(Int(self, sym::FnColDividerStyle)), Int(self, sym::FnClrText)));
  ReplaceObject(self, sym::hRowPen, sym::set::hRowPen, DividerPen(static_cast<int>(Int(self, sym::FnRowDividerStyle)), Int(self, sym::FnClrText)));
  for (int which = 0; which < 4; ++which) {
    const SelSlot s = SelSlotOf(which);
    if (!Get(self, s.brush).AsInt())
      Put(self, s.setBrush, HandleValue(CreateSolidBrush(static_cast<COLORREF>(Int(self, s.colour)))));
  }
  if (!Get(self, sym::hClrAltPane).AsInt())
    Put(self, sym::set::hClrAltPane, HandleValue(CreateSolidBrush(static_cast<COLORREF>(Int(self, sym::FnClrAltPane)))));
  self.Send(sym::GetDisplayCols);
  self.Send(sym::KeyCount);
  return {};
}

Value SetRowHeight(Object& self, Args a) {
  const long long n = std::clamp<long long>(a.Get(0).AsInt(), 0, 0x7FFF);
  Put(self, sym::set::FnRowHeight, n);
  Put(self, sym::set::nIntRowHeight, n > 0 ? n : ComputedPitch(self, false));
  if (ObjectHwnd(self)) self.Send(sym::Refresh);
  return n;
}

Value SetDataLines(Object& self, Args a) {
  const long long n = std::clamp<long long>(a.Get(0).AsInt(), 1, 100);
  Put(self, sym::set::FnDataLines, n);
  for (const Value& c : Cols(self)) c.Send(sym::DefStyle);
  if (Int(self, sym::FnRowHeight) == 0) Put(self, sym::set::nIntRowHeight, ComputedPitch(self, false));
  if (ObjectHwnd(self) && Get(self, sym::FlRedraw).AsBool()) self.Send(sym::Refresh);
  return n;
}

Value SetRowDividerStyle(Object& self, Args a) {
  const long long s = std::clamp<long long>(a.Get(0).AsInt(), 0, 6);
  Put(self, sym::set::FnRowDividerStyle, s);
  ReplaceObject(self, sym::hRowPen, sym::set::hRowPen, DividerPen(static_cast<int>(s), Int(self, sym::FnClrText)));
  Repaint(self);
  return s;
}

Value SetColDividerStyle(Object& self, Args a) {
  const long long s = std::clamp<long long>(a.Get(0).AsInt(), 0, 6);
  Put(self, sym::set::FnColDividerStyle, s);
  ReplaceObject(self, sym::hColPen, sym::set::hColPen, DividerPen(static_cast<int>(s), Int(self, sym::FnClrText)));
  Repaint(self);
  return s;
}

Value SetClrText(Object& self, Args a) {
  if (Int(self, sym::FnClrText) == a.Get(0).AsInt()) return a.Get(0);
  Put(self, sym::set::FnClrText, a.Get(0).AsInt());
  Repaint(self);
  return a.Get(0);
}

// nClrPane: the control's background brush is made anew.
Value SetClrPane(Object& self, Args a) {
  if (Int(self, sym::FnClrPane) == a.Get(0).AsInt() && Get(self, sym::hBrush).AsInt()) return a.Get(0);
  self.Send(sym::SetColor, Get(self, sym::FnClrText), a.Get(0).AsInt());
  return a.Get(0);
}

Value SetClrAltPane(Object& self, Args a) {
  Put(self, sym::set::FnClrAltPane, a.Get(0).AsInt());
  ReplaceObject(self, sym::hClrAltPane, sym::set::hClrAltPane, CreateSolidBrush(static_cast<COLORREF>(a.Get(0).AsInt())));
  Repaint(self);
  return a.Get(0);
}

namespace {
void EndBar(Object& self, Symbol slot, SetterSymbol set) {
  const Value bar = Get(self, slot);
  Put(self, set, Value());
  if (bar.IsObject()) bar.Send(sym::Destroy, true);
}
}  // namespace

Value SetHeader(Object& self, Args a) {
  EndBar(self, sym::oHeader, sym::set::oHeader);
  Put(self, sym::set::FlHeader, a.Get(0).AsBool());
  if (ObjectHwnd(self)) {
    if (a.Get(0).AsBool()) self.Send(sym::CreateHeader);
    self.Send(sym::GetDisplayCols);
    self.Send(sym::UpdControls);
    self.Send(sym::Refresh, true);
  }
  return a.Get(0);
}

Value SetFooter(Object& self, Args a) {
  EndBar(self, sym::oFooter, sym::set::oFooter);
  Put(self, sym::set::FlFooter, a.Get(0).AsBool());
  if (ObjectHwnd(self)) {
    if (a.Get(0).AsBool()) self.Send(sym::CreateFooter);
    self.Send(sym::GetDisplayCols);
    self.Send(sym::UpdControls);
    self.Send(sym::Refresh, true);
  }
  return a.Get(0);
}

Value SetHeaderHeight(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnHeaderHeight, std::clamp<long long>(a.Get(0).AsInt(), 0, 0x7FFF));
  const Value bar = Get(self, sym::oHeader);
  if (bar.IsObject() && ObjectHwnd(bar)) bar.Send(sym::SetHeight, Int(self, sym::FnHeaderHeight));
  return Get(self, sym::FnHeaderHeight);
}

Value SetFooterHeight(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnFooterHeight, std::clamp<long long>(a.Get(0).AsInt(), 0, 0x7FFF));
  const Value bar = Get(self, sym::oFooter);
  if (bar.IsObject() && ObjectHwnd(bar)) {
    RECT c{};
    GetClientRect(ObjectHwnd(self), &c);
    bar.Send(sym::SetBounds, 0, c.bottom - Int(self, sym::FnFooterHeight), Value(), Int(self, sym::FnFooterHeight));
  }
  return Get(self, sym::FnFooterHeight);
}

// FilterMode(l): the header's filter row, one and a half header heights tall.
Value FilterMode(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  if (on && !Get(self, sym::FlFilterBar).AsBool() && Int(self, sym::nFilterHeight) == 0)
    Put(self, sym::set::nFilterHeight, Int(self, sym::FnHeaderHeight));
  Put(self, sym::set::FlFilterBar, on);
  const Value bar = Get(self, sym::oHeader);
  if (bar.IsObject()) {
    bar.Send(sym::SetFilterBar, on);
    if (ObjectHwnd(self)) {
      const long long base = Int(self, sym::nFilterHeight) > 0 ? Int(self, sym::nFilterHeight) : Int(self, sym::FnHeaderHeight);
      const long long h = on ? (base * 3 + 1) / 2 : base;
      Put(self, sym::set::FnHeaderHeight, h);
      bar.Send(sym::SetHeight, h);
    }
  }
  if (ObjectHwnd(self)) {
    self.Send(sym::UpdControls);
    self.Send(sym::Refresh);
  }
  self.Send(sym::SetFilter, 0);
  return on;
}

namespace {
Value MakeBar(Object& self, long long height, long long top, bool header) {
  const Value bar = NewObject(THeaderClass(), Value(&self));
  RECT c{};
  GetClientRect(ObjectHwnd(self), &c);
  Put(bar, sym::set::FnAlign, 0);
  bar.Send(sym::SetBounds, 0, top, c.right, height);
  bar.Send(sym::SetImageList, Get(self, sym::FoImageList));
  Put(bar, sym::set::FlDragDrop, header && Get(self, sym::lAllowColSwapping).AsBool());
  Put(bar, sym::set::lResize, Get(self, sym::lAllowColSizing).AsBool());
  Put(bar, sym::set::FlBorder, false);
  Put(bar, sym::set::FlTabStop, false);
  Put(bar, sym::set::FlFilterBar, header && Get(self, sym::FlFilterBar).AsBool());
  bar.Send(sym::Create, Value(&self));
  return bar;
}
}  // namespace

Value CreateHeader(Object& self, Args) {
  if (!ObjectHwnd(self)) return {};
  EndBar(self, sym::oHeader, sym::set::oHeader);
  const Value bar = MakeBar(self, Int(self, sym::FnHeaderHeight), 0, true);
  Put(self, sym::set::oHeader, bar);
  if (Int(self, sym::nFilterHeight) == 0) Put(self, sym::set::nFilterHeight, Int(self, sym::FnHeaderHeight));
  Put(self, sym::set::FnHeaderHeight, Get(bar, sym::FnHeight).AsInt());
  Put(bar, sym::set::OnEndDrag, Route(self, sym::ColDrag));
  Put(bar, sym::set::OnBeginTrack, Route(self, sym::ColBegTrack));
  Put(bar, sym::set::OnEndTrack, Route(self, sym::ColTrack));
  Put(bar, sym::set::OnDividerDblClick, Route(self, sym::AdjustColWidth));
  Put(bar, sym::set::OnFilterChange, Value::Closure({Value(&self)}, [](Args a, std::span<const Value> b) -> Value {
        long long n = a.Get(1).AsInt();
        if (Get(b[0], sym::FlRecordSelector).AsBool() && Get(b[0], sym::oRecSel).IsObject()) --n;
        if (n > 0) b[0].Send(sym::SetFilter, n);
        return {};
      }));
  self.Send(sym::UpdateDisplayCols);
  return bar;
}

Value CreateFooter(Object& self, Args) {
  if (!ObjectHwnd(self)) return {};
  EndBar(self, sym::oFooter, sym::set::oFooter);
  RECT c{};
  GetClientRect(ObjectHwnd(self), &c);
  const long long h = Int(self, sym::FnFooterHeight);
  const Value bar = MakeBar(self, h, c.bottom - h, false);
  Put(self, sym::set::oFooter, bar);
  Put(bar, sym::set::OnEndTrack, Route(self, sym::ColTrack));
  self.Send(sym::UpdateDisplayCols);
  return bar;
}

// SetRecSel(l, lRefresh = true): the selector made or ended.
Value SetRecSel(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlRecordSelector, on);
  const Value rs = Get(self, sym::oRecSel);
  if (on && !rs.IsObject()) {
    const Value made = NewObject(TBrwRecSelClass(), Value(&self));
    made.Send(sym::Create, Value(&self));
    Put(self, sym::set::oRecSel, made);
    if (ObjectHwnd(self)) made.Send(sym::Adjust);
  } else if (!on && rs.IsObject()) {
    Put(self, sym::set::oRecSel, Value());
    rs.Send(sym::End);
  }
  if ((!a.Has(1) || a.Get(1).AsBool()) && ObjectHwnd(self)) {
    self.Send(sym::GetDisplayCols);
    self.Send(sym::Refresh);
  }
  return on;
}

Value SetImageList(Object& self, Args a) {
  const Value old = Get(self, sym::FoImageList);
  if (old.IsObject() && old.AsObject() != a.Get(0).AsObject() && Get(self, sym::lOwnImageList).AsBool()) old.Send(sym::Destroy);
  Put(self, sym::set::lOwnImageList, false);
  Put(self, sym::set::FoImageList, a.Get(0));
  for (Symbol bar : {sym::oHeader, sym::oFooter}) {
    const Value b = Get(self, bar);
    if (b.IsObject()) b.Send(sym::SetImageList, a.Get(0));
  }
  return a.Get(0);
}

// AddImage(x, lDisabled) -> the image number in the grid's list.
Value AddImage(Object& self, Args a) {
  Value list = Get(self, sym::FoImageList);
  if (!list.IsObject()) {
    list = NewObject(TImageListClass());
    list.Send(sym::Create, Value(&self));
    Put(self, sym::set::FoImageList, list);
    Put(self, sym::set::lOwnImageList, true);
  }
  return list.Send(sym::Add, a.Get(0), a.Get(1));
}

// GetDisplayCols(lUpdate = true).
Value GetDisplayCols(Object& self, Args a) {
  const std::vector<Value> cols = Cols(self);
  for (const Value& c : cols) Put(c, sym::set::nPos, 0);
  const long long width = ClientWidth(self);
  long long x = FirstColX(self);
  long long frozen = Int(self, sym::GetFreeze);
  std::vector<Value> display;
  std::size_t i = 0;
  const auto take = [&](std::size_t index) {
    const Value& c = cols[index];
    display.emplace_back(static_cast<long long>(index) + 1);
    Put(c, sym::set::nPos, static_cast<long long>(display.size()));
    Put(c, sym::set::nDisplayCol, x);
    x += Get(c, sym::FnWidth).AsInt();
  };
  for (; i < cols.size() && frozen > 0 && x < width; ++i) {
    if (!Get(cols[i], sym::FlVisible).AsBool()) continue;
    take(i);
    --frozen;
  }
  std::size_t from = std::max<std::size_t>(i, static_cast<std::size_t>(
                                                  std::max<long long>(Int(self, sym::nColOffset) + Int(self, sym::nFreeze) - 1, 0)));
  for (std::size_t k = from; k < cols.size() && (x < width || k == 0 || display.empty()); ++k)
    if (Get(cols[k], sym::FlVisible).AsBool()) take(k);
  Put(self, sym::set::aDisplay, Value::List(std::move(display)));
  Put(self, sym::set::nColSel, std::max<long long>(std::min<long long>(DisplayCount(self), Int(self, sym::nColSel)), 1));
  if (!a.Has(0) || a.Get(0).AsBool()) self.Send(sym::UpdateDisplayCols);
  return {};
}

namespace {
void FillBar(Object& self, Symbol slot, bool header) {
  const Value bar = Get(self, slot);
  const HWND h = bar.IsObject() ? ObjectHwnd(bar) : nullptr;
  if (!h) return;
  SendMessageW(h, WM_SETREDRAW, FALSE, 0);
  bar.Send(sym::DeleteItems);
  const Value rs = RecSel(self);
  if (rs.IsObject()) bar.Send(sym::AddItem, std::string(), header ? Value(0) : Value(), Get(rs, sym::FnWidth));
  const Value grid(&self);
  const std::vector<Value> cols = Cols(self);
  for (const Value& c : cols) Put(c, header ? sym::set::oHeader : sym::set::oFooter, Value());
  for (long long p = 1; p <= DisplayCount(self); ++p) {
    const Value c = ColAt(self, p);
    if (!c.IsObject()) continue;
    const int align = HeaderAlignment(Get(c, sym::FnAlignment).AsInt());
    const Value item = header
        ? bar.Send(sym::AddItem, Get(c, sym::FcHeader), align, c.Send(sym::GetWidth, false), Get(c, sym::FnHeaderImage),
                   Get(c, sym::FcTooltip), Get(c, sym::FnSort), c.Send(sym::GetFilter, false))
        : bar.Send(sym::AddItem, Get(c, sym::FcFooter), align, c.Send(sym::GetWidth, false), Get(c, sym::FnFooterImage),
                   Get(c, sym::FcTooltip));
    Put(item, sym::set::OnClick, ItemRoute(grid, c, header ? sym::HeaderClick : sym::OnFooterClick));
    Put(item, sym::set::OnRClick, ItemRoute(grid, c, header ? sym::OnHeaderRClick : sym::OnFooterRClick));
    Put(item, sym::set::OnDblClick, ItemRoute(grid, c, header ? sym::OnHeaderDblClick : sym::OnFooterDblClick));
    Put(c, header ? sym::set::oHeader : sym::set::oFooter, item);
  }
  if (Get(bar, sym::FlRedraw).AsBool()) {
    SendMessageW(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
  }
}
}  // namespace

Value UpdateDisplayCols(Object& self, Args) {
  if (HasStyleBit(self, WS_HSCROLL) && ObjectHwnd(self)) self.Send(sym::SetHScroll, true);
  FillBar(self, sym::oHeader, true);
  FillBar(self, sym::oFooter, false);
  return {};
}

Value LastDisplayPos(Object& self, Args a) {
  const long long n = DisplayCount(self), dw = ClientWidth(self);
  long long pos = 1, x = FirstColX(self);
  while (pos <= n && x <= dw) {
    x += Get(ColAt(self, pos), sym::FnWidth).AsInt();
    ++pos;
  }
  --pos;
  if (a.Get(0).AsBool() && x > dw) --pos;
  return std::max<long long>(pos, 1);
}

Value IsDisplayPosVisible(Object& self, Args a) {
  const long long n = a.Get(0).AsInt();
  if (n < 1 || n > DisplayCount(self)) return false;
  long long x = FirstColX(self);
  for (long long p = 1; p < n; ++p) x += Get(ColAt(self, p), sym::FnWidth).AsInt();
  if (a.Get(1).AsBool()) x += Get(ColAt(self, n), sym::FnWidth).AsInt();
  return x <= ClientWidth(self);
}

Value IsColVisible(Object& self, Args a) {
  const Value c = a.Get(0);
  if (!c.IsObject()) return false;
  return self.Send(sym::IsDisplayPosVisible, Get(c, sym::nPos), a.Get(1));
}

namespace {
std::vector<Value> VisibleCols(Object& self) {
  std::vector<Value> out;
  for (const Value& c : Cols(self))
    if (Get(c, sym::FlVisible).AsBool()) out.push_back(c);
  return out;
}
bool FullyShown(Object& self, const Value& c) {
  return Get(c, sym::nPos).AsInt() > 0 && self.Send(sym::IsColVisible, c, true).AsBool();
}
}  // namespace

Value AllColsVisible(Object& self, Args) {
  const std::vector<Value> vis = VisibleCols(self);
  if (Cols(self).empty() || DisplayCount(self) == 0 || vis.empty()) return true;
  return FullyShown(self, vis.front()) && FullyShown(self, vis.back());
}

Value LastColVisible(Object& self, Args) {
  const std::vector<Value> vis = VisibleCols(self);
  return !vis.empty() && FullyShown(self, vis.back());
}

// ------------------------------------------------------------------ geometry

Value BrwWidth(Object& self, Args) { return ClientWidth(self); }
Value BrwHeight(Object& self, Args) { return ClientHeight(self); }
Value HeaderHeight(Object& self, Args) { return HeaderH(self); }
Value FooterHeight(Object& self, Args) { return FooterH(self); }
Value DataWidth(Object& self, Args) { return ClientWidth(self); }
Value DataHeight(Object& self, Args) { return DataH(self); }
Value FirstDataRow(Object& self, Args) { return HeaderH(self); }
Value LastDataRow(Object& self, Args) { return ClientHeight(self) - FooterH(self); }
Value LastOrdRow(Object& self, Args) { return ClientHeight(self) - FooterH(self) - Int(self, sym::nIntRowHeight) + 1; }
Value RowCount(Object& self, Args) { return Rows(self); }
Value FirstCol(Object& self, Args) { return FirstColX(self); }
Value LastCol(Object& self, Args) { return ClientWidth(self); }
Value RowHeight(Object& self, Args) { return CellHeight(self); }

Value ColAtPos(Object& self, Args a) { return ColAt(self, a.Get(0).AsInt()); }
Value SelectedCol(Object& self, Args) { return ColAt(self, Int(self, sym::nColSel)); }

Value ColAtIndex(Object& self, Args a) {
  for (const Value& c : Cols(self))
    if (Get(c, sym::nIndex).AsInt() == a.Get(0).AsInt()) return c;
  return {};
}

Value ColWithHeader(Object& self, Args a) {
  const std::string want = a.Get(0).AsString();
  for (const Value& c : Cols(self)) {
    const std::string h = Get(c, sym::FcHeader).AsString();
    if (h.size() == want.size() && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, h.data(), static_cast<int>(h.size()),
                                                  want.data(), static_cast<int>(want.size())) == CSTR_EQUAL)
      return c;
  }
  return {};
}

Value ColPos(Object& self, Args a) {
  const Value c = a.Get(0);
  if (!c.IsObject()) return 0;
  const long long index = Get(c, sym::nIndex).AsInt();
  for (long long p = 1; p <= DisplayCount(self); ++p)
    if (Get(ColAt(self, p), sym::nIndex).AsInt() == index) return p;
  return 0;
}

Value GetVisibleCols(Object& self, Args) { return Value::List(VisibleCols(self)); }

Value GetDisplayColsWidth(Object& self, Args) {
  const long long n = DisplayCount(self);
  if (n == 0) return 0;
  long long w = FirstColX(self);
  for (long long p = 1; p <= n; ++p) w += Get(ColAt(self, p), sym::FnWidth).AsInt();
  return w;
}

Value GetFreeze(Object& self, Args) { return Int(self, sym::nEditMode) != 0 ? 0 : Int(self, sym::nFreeze); }

// The focused window is the grid or one of its children.
Value HasFocus(Object& self, Args) {
  const HWND h = ObjectHwnd(self);
  const HWND f = GetFocus();
  return h && f && (f == h || IsChild(h, f));
}

// ---------------------------------------------------------- navigation interface

Value MoveTop(Object& self, Args) { return self.Send(sym::OnMoveTop); }
Value MoveBottom(Object& self, Args) { return self.Send(sym::OnMoveBottom); }

Value Skip(Object& self, Args a) {
  const Value r = self.Send(sym::OnSkip, a.Has(0) ? a.Get(0) : Value(1));
  return r.IsNumber() ? r.AsInt() : 0;
}

Value IsEof(Object& self, Args) {
  const Value r = self.Send(sym::OnIsEof);
  return r.IsNil() ? true : r.AsBool();
}

Value IsBof(Object& self, Args) {
  const Value r = self.Send(sym::OnIsBof);
  return r.IsNil() ? true : r.AsBool();
}

Value BookMark(Object& self, Args a) {
  const Value r = self.Send(sym::OnBookMark, a.Get(0));
  return r.IsNil() ? Value(1) : r;
}

Value KeyNo(Object& self, Args a) {
  long long n = 1;
  if (EventAssigned(self, "OnKeyNo")) {
    const Value r = self.Send(sym::OnKeyNo, a.Get(0));
    n = r.IsNumber() ? r.AsInt() : 1;
  }
  Put(self, sym::set::nKeyNo, n);
  return n;
}

Value KeyCount(Object& self, Args) {
  long long n = 0;
  if (EventAssigned(self, "OnKeyCount")) {
    const Value r = self.Send(sym::OnKeyCount);
    n = r.IsNumber() ? std::max<long long>(r.AsInt(), 0) : 0;
  }
  Put(self, sym::set::nLen, n);
  return n;
}

Value SetFilter(Object& self, Args a) { return self.Send(sym::OnSetFilter, a.Get(0)); }

// ------------------------------------------------------------ refresh and bars

// Refresh(lReset): recounted, the selected row kept where it leaves no
// empty rows under the last record, the bars in step, repainted.
Value Refresh(Object& self, Args a) {
  self.Send(sym::KeyNo);
  self.Send(sym::KeyCount);
  const long long len = Int(self, sym::nLen);
  if (self.Send(sym::IsEof).AsBool()) Put(self, sym::set::nKeyNo, len);
  long long row = Int(self, sym::nRowSel);
  if (a.Get(0).AsBool()) {
    row = 1;
  } else {
    const long long rows = Rows(self), key = Int(self, sym::nKeyNo), below = len - key;
    if (key <= rows) row = std::min(key, row);
    else if (below < rows) row = rows - below;
    row = std::min(row, len);
  }
  Put(self, sym::set::nRowSel, std::max<long long>(row, 1));
  // The rows the next paint fills (the hit tests read it before then).
  const long long sel = Int(self, sym::nRowSel), key = std::max<long long>(Int(self, sym::nKeyNo), 1);
  Put(self, sym::set::nDataRows, std::clamp<long long>(len - key + sel, 0, Rows(self)));
  self.Send(sym::UpdControls);
  if (HWND h = ObjectHwnd(self); h && IsWindowVisible(h) && Get(self, sym::FlRedraw).AsBool()) InvalidateRect(h, nullptr, FALSE);
  return {};
}

Value UpdControls(Object& self, Args) {
  const HWND h = ObjectHwnd(self);
  if (!h) return {};
  const Value hs = Get(self, sym::lHScroll);
  self.Send(sym::SetHScroll, hs.IsNil() ? !self.Send(sym::AllColsVisible).AsBool() : hs.AsBool());
  const Value vs = Get(self, sym::lVScroll);
  const long long len = Int(self, sym::nLen);
  const long long key = Int(self, sym::nKeyNo) ? Int(self, sym::nKeyNo) : 1;
  if (vs.IsNil()) self.Send(sym::SetVScroll, len > 0 && (len > Rows(self) || key != Int(self, sym::nRowSel)));
  if (HasStyleBit(self, WS_VSCROLL)) SetVerticalBar(self, len, key);
  const Value header = Get(self, sym::oHeader);
  if (header.IsObject() && ObjectHwnd(header)) header.Send(sym::SetBounds, 0, 0, ClientWidth(self), Int(self, sym::FnHeaderHeight));
  const Value footer = Get(self, sym::oFooter);
  if (footer.IsObject() && ObjectHwnd(footer))
    footer.Send(sym::SetBounds, 0, ClientHeight(self) - Int(self, sym::FnFooterHeight), ClientWidth(self), Int(self, sym::FnFooterHeight));
  return {};
}

Value SetVScroll(Object& self, Args a) {
  const bool on = a.Has(0) ? a.Get(0).AsBool() : true;
  ShowBar(self, WS_VSCROLL, SB_VERT, on);
  return on;
}

Value SetHScroll(Object& self, Args a) {
  const bool on = a.Has(0) ? a.Get(0).AsBool() : true;
  ShowBar(self, WS_HSCROLL, SB_HORZ, on && DisplayCount(self) > 0 ? true : on && !ObjectHwnd(self));
  if (on && ObjectHwnd(self) && DisplayCount(self) > 0) MapHorizontalBar(self);
  return on;
}

Value GetVScroll(Object& self, Args) { return HasStyleBit(self, WS_VSCROLL); }
Value GetHScroll(Object& self, Args) { return HasStyleBit(self, WS_HSCROLL); }

Value SetRedraw(Object& self, Args a) {
  if (a.Get(0).AsBool() && ObjectHwnd(self)) self.Send(sym::GetDisplayCols);
  return Super(self, sym::SetRedraw, a);
}

Value WMSize(Object& self, const WinMsg& m) {
  Value r = SuperHandler(self, sym::WMSize, m);
  if (Int(self, sym::nIntRowHeight) > 0) {
    if (m.wParam == SIZE_MAXIMIZED) self.Send(sym::GetDisplayCols);
    else if (m.wParam == SIZE_RESTORED && LOWORD(m.lParam) > self.Send(sym::GetDisplayColsWidth).AsInt() &&
             !self.Send(sym::LastColVisible).AsBool())
      self.Send(sym::GetDisplayCols);
    self.Send(sym::UpdControls);
    self.Send(sym::UpdGridEdits);
  }
  return r;
}

}  // namespace brw

Class* QBrowseClass() {
  static Class* c = [] {
    QVClass b("QBrowse", {TWinControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QBROWSE_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TBrowseClass() {
  static Class* c = DeclarePublicClass("TBrowse", QBrowseClass());
  return c;
}

}  // namespace zv
