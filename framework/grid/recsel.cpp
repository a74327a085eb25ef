#ifndef OEMRESOURCE
#define OEMRESOURCE  // OBM_MNARROW
#endif
#include "framework/grid/recsel.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "framework/core/members.h"
#include "framework/graphics/image_list.h"
#include "framework/window/winobject.h"

namespace zv {
namespace recsel {

namespace {

Value GridOf(Object& self) {
  const Value g = Get(self, sym::oParent);
  return g.IsObject() && Has(g, sym::aDisplay) ? g : Value();
}

void RefreshGrid(Object& self, bool rebuild) {
  const Value g = GridOf(self);
  if (!g.IsObject() || !ObjectHwnd(g) || !Get(g, sym::FlRedraw).AsBool()) return;
  if (rebuild) g.Send(sym::GetDisplayCols);
  g.Send(sym::Refresh);
}

HFONT FontOf(Object& self) {
  const Value f = self.Send(sym::GetFont);
  return f.IsObject() ? ObjectHandle<HFONT>(f) : nullptr;
}

SIZE Extent(HFONT font, const std::string& s) {
  SIZE size{0, 0};
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  const std::wstring w = WidenText(s.empty() ? std::string("B") : s);
  GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
  if (old) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

SIZE GridImageSize(const Value& grid) {
  const Value list = grid.IsObject() ? Get(grid, sym::FoImageList) : Value();
  if (!list.IsObject() || list.Send(sym::GetImageCount).AsInt() <= 0) return {0, 0};
  const Value s = list.Send(sym::GetIconSize);
  return {static_cast<LONG>(s.Item(1).AsInt()), static_cast<LONG>(s.Item(2).AsInt())};
}

// The row's text and image from OnGetData.
struct RowData {
  std::string text;
  long long image = 0;
};
RowData Ask(Object& self, bool selected) {
  const Value text = Value::Ref(std::string());
  const Value image = Value::Ref(0);
  const Value r = self.Send(sym::OnGetData, text, image, selected);
  RowData d;
  const Value t = r.IsNil() ? text.Deref() : r;
  d.text = t.IsString() ? t.AsString() : t.IsNil() ? std::string() : t.ToDisplay();
  d.image = image.Deref().AsInt();
  return d;
}

void ReplaceBrush(Object& self, SetterSymbol slot, Symbol current, long long colour) {
  if (HBRUSH old = ValueHandle<HBRUSH>(Get(self, current))) DeleteObject(old);
  Put(self, slot, HandleValue(CreateSolidBrush(static_cast<COLORREF>(colour))));
}

}  // namespace

Value SetParentFont(Object& self, Args a) {
  Put(self, sym::set::FlParentFont, a.Get(0).AsBool());
  return a.Get(0);
}

// Create(oGrid): the grid's oRecSel.
Value Create(Object& self, Args a) {
  Value r = Super(self, sym::Create, a);
  const Value g = GridOf(self);
  if (g.IsObject()) Put(g, sym::set::oRecSel, Value(&self));
  return r;
}

Value Free(Object& self, Args a) {
  for (Symbol s : {sym::hClrText, sym::hClrPane})
    if (HBRUSH b = ValueHandle<HBRUSH>(Get(self, s))) DeleteObject(b);
  Put(self, sym::set::hClrText, 0);
  Put(self, sym::set::hClrPane, 0);
  const Value list = Get(self, sym::oImgListRow);
  Put(self, sym::set::oImgListRow, Value());
  if (list.IsObject()) list.Send(sym::Destroy);
  if (HBITMAP arrow = ValueHandle<HBITMAP>(Get(self, sym::hArrowBitmap))) DeleteObject(arrow);
  Put(self, sym::set::hArrowBitmap, 0);
  return Super(self, sym::Free, a);
}

// Adjust(): the width, the two pointer images once, the brushes and the
// text style.
Value Adjust(Object& self, Args) {
  self.Send(sym::GetWidth);
  if (!Get(self, sym::oImgListRow).IsObject()) {
    const Value list = NewObject(TImageListClass());
    list.Send(sym::Create, GridOf(self), 12, 12);
    HBITMAP arrow = LoadBitmapW(nullptr, MAKEINTRESOURCEW(OBM_MNARROW));
    Put(self, sym::set::hArrowBitmap, HandleValue(arrow));
    list.Send(sym::Add, HandleValue(arrow));
    list.Send(sym::Add, std::string("QV_BMP_NEWRECORD"));
    Put(self, sym::set::oImgListRow, list);
  }
  ReplaceBrush(self, sym::set::hClrText, sym::hClrText, Get(self, sym::FnClrText).AsInt());
  ReplaceBrush(self, sym::set::hClrPane, sym::hClrPane, Get(self, sym::FnClrPane).AsInt());
  self.Send(sym::DefStyle);
  return {};
}

// Erase(hDC, nTop, nHeight, lFull): the pane, leaving the row separator's
// gap (drawn by the grid from x 2 to nWidth - 4) when the grid has row
// dividers; the last two pixels are the grid's edge lines.
Value Erase(Object& self, Args a) {
  HDC dc = ValueHandle<HDC>(a.Get(0));
  const Value g = GridOf(self);
  if (!dc || !g.IsObject()) return {};
  HBRUSH pane = ValueHandle<HBRUSH>(Get(self, sym::hClrPane));
  HBRUSH made = pane ? nullptr : CreateSolidBrush(static_cast<COLORREF>(Get(self, sym::FnClrPane).AsInt()));
  if (!pane) pane = made;
  const long long top = a.Get(1).AsInt(), width = Get(self, sym::FnWidth).AsInt();
  long long height = a.Get(2).AsInt();
  if (height <= Get(g, sym::nIntRowHeight).AsInt() && !a.Get(3).AsBool() && Get(g, sym::FnRowDividerStyle).AsInt() > 0) {
    height -= 2;
    RECT left{0, static_cast<LONG>(top + height), 2, static_cast<LONG>(top + height + 2)};
    RECT right{static_cast<LONG>(width - 4), static_cast<LONG>(top + height), static_cast<LONG>(width - 2),
               static_cast<LONG>(top + height + 2)};
    FillRect(dc, &left, pane);
    FillRect(dc, &right, pane);
  }
  RECT r{0, static_cast<LONG>(top), static_cast<LONG>(width - 2), static_cast<LONG>(top + height)};
  FillRect(dc, &r, pane);
  if (made) DeleteObject(made);
  return {};
}

// Paint(hDC, nTop, nHeight, lSelected): the row's cell, its text and image,
// and the pointer of the selected row (the new-record mark while the grid
// appends or inserts).
Value Paint(Object& self, Args a) {
  HDC dc = ValueHandle<HDC>(a.Get(0));
  const Value g = GridOf(self);
  if (!dc || !g.IsObject()) return {};
  const bool selected = a.Get(3).AsBool();
  self.Send(sym::Erase, a.Get(0), a.Get(1), a.Get(2));
  const long long width = Get(self, sym::FnWidth).AsInt();
  const bool pointer = Get(self, sym::FlRecordPointer).AsBool();
  long long x = 3, w = width - 4 - 6 - (pointer ? 12 : 0);
  const long long top = a.Get(1).AsInt() + 2, height = a.Get(2).AsInt() - 4;
  const long long pane = Get(self, sym::FnClrPane).AsInt();
  const RowData d = Ask(self, selected);
  const Value list = Get(g, sym::FoImageList);
  if (d.image > 0 && list.IsObject()) {
    const SIZE is = GridImageSize(g);
    long long ix = x, iw = is.cx;
    w -= is.cx;
    const long long margin = Get(self, sym::nBmpMargin).AsInt();
    if (d.text.empty()) ix = x + std::max<long long>((w - is.cx) / 2, 0);
    else if (Get(self, sym::nBmpAlignment).AsInt() == 0) x += is.cx + margin;
    else ix = x + w, w -= margin;
    if (w < 0) iw = width - 6;
    list.Send(sym::DrawEx, d.image, a.Get(0), ix, top + std::max<long long>((height - is.cy) / 2, 0), iw, is.cy, pane,
              static_cast<long long>(CLR_DEFAULT), static_cast<long long>(ILD_NORMAL));
  }
  if (!d.text.empty() && w > 0) {
    const HFONT font = FontOf(self);
    const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    const COLORREF oldText = SetTextColor(dc, static_cast<COLORREF>(Get(self, sym::FnClrText).AsInt()));
    const COLORREF oldBk = SetBkColor(dc, static_cast<COLORREF>(pane));
    const std::wstring text = WidenText(d.text);
    RECT box{static_cast<LONG>(x), static_cast<LONG>(top), static_cast<LONG>(x + w), static_cast<LONG>(top + height)};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              static_cast<UINT>(Get(self, sym::nDrawTextStyle).AsInt()) & ~static_cast<UINT>(DT_MODIFYSTRING));
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    if (old) SelectObject(dc, old);
  }
  if (pointer && selected) {
    const long long mode = Get(g, sym::nEditMode).AsInt();
    const Value row = Get(self, sym::oImgListRow);
    if (row.IsObject())
      row.Send(sym::DrawEx, mode == 2 || mode == 3 ? 2 : 1, a.Get(0), width - 17, top + height / 2 - 8, 12, 12, pane,
               static_cast<long long>(CLR_DEFAULT), static_cast<long long>(ILD_NORMAL));
  }
  return {};
}

// GetWidth(): with nWidth 0, the width of the text and image OnGetData
// gives, or the grid's header height (a square corner).
Value GetWidth(Object& self, Args) {
  if (Get(self, sym::FnWidth).AsInt() != 0) return Get(self, sym::FnWidth);
  const Value g = GridOf(self);
  const RowData d = Ask(self, false);
  long long w = d.text.empty() ? 0 : Extent(FontOf(self), d.text).cx;
  if (d.image > 0) w += GridImageSize(g).cx + Get(self, sym::nBmpMargin).AsInt();
  w = w ? w + 6 : (g.IsObject() ? Get(g, sym::FnHeaderHeight).AsInt() : 24);
  Put(self, sym::set::FnWidth, w);
  return w;
}

Value SetWidth(Object& self, Args a) {
  const long long n = std::clamp<long long>(a.Get(0).AsInt(), 10, 0x7FFF);
  Put(self, sym::set::FnWidth, n);
  if (!a.Has(1) || a.Get(1).AsBool()) RefreshGrid(self, true);
  return n;
}

Value GetHeight(Object& self, Args) {
  const RowData d = Ask(self, false);
  long long h = d.text.empty() ? 0 : Extent(FontOf(self), "B").cy;
  if (d.image > 0) h = std::max<long long>(h, GridImageSize(GridOf(self)).cy);
  return h;
}

Value SetClrText(Object& self, Args a) {
  Put(self, sym::set::FnClrText, a.Get(0).AsInt());
  ReplaceBrush(self, sym::set::hClrText, sym::hClrText, a.Get(0).AsInt());
  if (!a.Has(1) || a.Get(1).AsBool()) RefreshGrid(self, false);
  return a.Get(0);
}

Value SetClrPane(Object& self, Args a) {
  Put(self, sym::set::FnClrPane, a.Get(0).AsInt());
  ReplaceBrush(self, sym::set::hClrPane, sym::hClrPane, a.Get(0).AsInt());
  if (!a.Has(1) || a.Get(1).AsBool()) RefreshGrid(self, false);
  return a.Get(0);
}

Value SetAlignment(Object& self, Args a) {
  Put(self, sym::set::FnAlignment, a.Get(0).AsInt());
  self.Send(sym::DefStyle);
  if (!a.Has(1) || a.Get(1).AsBool()) RefreshGrid(self, false);
  return a.Get(0);
}

Value SetRecordPointer(Object& self, Args a) {
  Put(self, sym::set::FlRecordPointer, a.Get(0).AsBool());
  if (!a.Has(1) || a.Get(1).AsBool()) RefreshGrid(self, false);
  return a.Get(0);
}

Value DefStyle(Object& self, Args) {
  const long long align = Get(self, sym::FnAlignment).AsInt();
  long long style = DT_MODIFYSTRING | DT_EDITCONTROL | DT_SINGLELINE | DT_VCENTER;
  if (align == 2) style |= DT_RIGHT;
  if (align == 6) style |= DT_CENTER;
  Put(self, sym::set::nDrawTextStyle, style);
  return style;
}

Value GetFont(Object& self, Args) {
  const Value own = Get(self, sym::FoFont);
  if (own.IsObject() && !Get(self, sym::FlParentFont).AsBool()) return own;
  const Value g = GridOf(self);
  return g.IsObject() ? g.Send(sym::GetFont) : own;
}

Value SetFont(Object& self, Args a) {
  Put(self, sym::set::FoFont, a.Get(0).IsObject() ? a.Get(0) : Value());
  Put(self, sym::set::FlParentFont, !a.Get(0).IsObject());
  RefreshGrid(self, false);
  return a.Get(0);
}

Value QVClick(Object& self, Args a) { return self.Send(sym::OnClick, a.Get(0), a.Get(1), a.Get(2)); }

Value Handle(Object&, Args) { return 0; }

}  // namespace recsel

Class* QBrwRecSelClass() {
  static Class* c = [] {
    QVClass b("QBrwRecSel", {TComponentClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QBRWRECSEL_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TBrwRecSelClass() {
  static Class* c = DeclarePublicClass("TBrwRecSel", QBrwRecSelClass());
  return c;
}

}  // namespace zv
