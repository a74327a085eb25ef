#include "framework/grid/column.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/members.h"
#include "framework/grid/picture_mask.h"
#include "framework/window/winobject.h"

namespace zv {

int HeaderAlignment(long long alignment) {
  if ((alignment & 0xF0) == 0) return static_cast<int>(alignment);
  if (alignment & 16) return 0;
  if (alignment & 32) return 2;
  return 6;
}

std::string CellValueText(const Value& value, const std::string& picture) {
  const Value& v = value.Deref();
  if (!picture.empty()) return ApplyPicture(v, picture);
  if (v.IsString()) return v.AsString();
  if (v.IsNil()) return {};
  return v.ToDisplay();
}

namespace brwcol {

namespace {

Value GridOf(Object& self) {
  const Value g = Get(self, sym::oParent);
  return g.IsObject() && Has(g, sym::aDisplay) ? g : Value();
}

bool GridRedraws(const Value& grid) { return grid.IsObject() && ObjectHwnd(grid) && Get(grid, sym::FlRedraw).AsBool(); }

void RefreshGrid(Object& self, bool rebuild) {
  const Value g = GridOf(self);
  if (!GridRedraws(g)) return;
  if (rebuild) g.Send(sym::GetDisplayCols);
  g.Send(sym::Refresh);
}

// The text extent of s in the font of a window or object (its GetFont).
SIZE TextExtent(const std::string& s, HFONT font) {
  SIZE size{0, 0};
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  const std::wstring w = WidenText(s);
  if (!w.empty()) GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
  else {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    size.cy = tm.tmHeight;
  }
  if (old) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

HFONT FontHandle(const Value& owner) {
  if (!owner.IsObject() || !Has(owner, sym::GetFont)) return nullptr;
  const Value f = owner.Send(sym::GetFont);
  return f.IsObject() ? ObjectHandle<HFONT>(f) : nullptr;
}

HFONT BarFont(const Value& item) {
  const Value bar = item.IsObject() ? Get(item, sym::oParent) : Value();
  HWND h = bar.IsObject() ? ObjectHwnd(bar) : nullptr;
  return h ? reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)) : nullptr;
}

// The grid's image list size, {0, 0} without images.
SIZE GridImageSize(const Value& grid) {
  const Value list = grid.IsObject() ? Get(grid, sym::FoImageList) : Value();
  if (!list.IsObject() || list.Send(sym::GetImageCount).AsInt() <= 0) return {0, 0};
  const Value s = list.Send(sym::GetIconSize);
  return {static_cast<LONG>(s.Item(1).AsInt()), static_cast<LONG>(s.Item(2).AsInt())};
}

int DividerStyle(const Value& grid, Symbol s) { return grid.IsObject() ? static_cast<int>(Get(grid, s).AsInt()) : 0; }

// A header or footer item's property, through its setter.
void ToItem(const Value& item, SetterSymbol setter, const Value& v) {
  if (item.IsObject()) Put(item, setter, v);
}

}  // namespace

Value SetParentFont(Object& self, Args a) {
  Put(self, sym::set::FlParentFont, a.Get(0).AsBool());
  return a.Get(0);
}

Value SetEditListText(Object& self, Args a) {
  Put(self, sym::set::FaEditListText, a.Get(0));
  const Value e = Get(self, sym::oGridEdit);
  if (e.IsObject() && Has(e, sym::aItems)) Put(e, sym::set::aItems, a.Get(0));
  return a.Get(0);
}

// Create(oParent, lRefresh): added to the grid when it has no index yet.
Value Create(Object& self, Args a) {
  if (Get(self, sym::lCreated).AsBool()) return Value(&self);
  Value argv[] = {a.Get(0)};
  Super(self, sym::Create, Args(argv, a.Has(0) ? 1 : 0));
  const Value g = GridOf(self);
  if (g.IsObject() && Get(self, sym::nIndex).AsInt() == 0) g.Send(sym::AddCol, Value(&self), a.Get(1));
  self.Send(sym::OnCreate);
  return Value(&self);
}

Value Free(Object& self, Args a) {
  const Value e = Get(self, sym::oGridEdit);
  Put(self, sym::set::oGridEdit, Value());
  if (e.IsObject() && Has(e, sym::Destroy)) e.Send(sym::Destroy);
  Put(self, sym::set::oDataField, Value());
  const Value font = Get(self, sym::FoFont);
  Put(self, sym::set::FoFont, Value());
  if (font.IsObject() && Has(font, sym::Destroy)) font.Send(sym::Destroy);
  Put(self, sym::set::oHeader, Value());
  Put(self, sym::set::oFooter, Value());
  return Super(self, sym::Free, a);
}

Value Adjust(Object& self, Args a) {
  const bool force = a.Get(0).AsBool();
  self.Send(sym::GetWidth, force);
  if (force || Get(self, sym::nDrawTextStyle).AsInt() == 0) self.Send(sym::DefStyle);
  self.Send(sym::EditControl);
  return {};
}

Value GetWidth(Object& self, Args a) {
  const long long stored = Get(self, sym::FnWidth).AsInt();
  if (stored != 0 && !a.Get(0).AsBool()) return stored;
  const Value g = GridOf(self);
  long long w = 0;
  const std::string header = Get(self, sym::FcHeader).AsString();
  const HFONT own = FontHandle(Value(&self));
  if (!header.empty()) {
    const Value item = Get(self, sym::oHeader);
    const HFONT f = item.IsObject() && BarFont(item) ? BarFont(item) : own;
    w = TextExtent(header, f).cx + 10;
    if (g.IsObject() && Get(g, sym::lAutoOrder).AsBool()) w += 30;
  }
  const std::string footer = Get(self, sym::FcFooter).AsString();
  if (!footer.empty()) {
    const Value item = Get(self, sym::oFooter);
    const HFONT f = item.IsObject() && BarFont(item) ? BarFont(item) : own;
    w = std::max<long long>(w, TextExtent(footer, f).cx + 10);
  }
  w = std::max<long long>(w, self.Send(sym::DataWidth).AsInt()) + 6;
  Put(self, sym::set::FnWidth, w);
  return w;
}

// SetWidth(n): at least 10; OnChangeWidth may change or refuse the width.
Value SetWidth(Object& self, Args a) {
  long long n = std::max<long long>(a.Get(0).AsInt(), 10);
  n = std::min<long long>(n, 0x7FFF);
  const long long old = Get(self, sym::FnWidth).AsInt();
  if (n == old) return n;
  const Value ref = Value::Ref(n);
  if (self.Send(sym::OnChangeWidth, ref, old).IsTrue()) return old;
  n = std::clamp<long long>(ref.Deref().AsInt(), 10, 0x7FFF);
  Put(self, sym::set::FnWidth, n);
  ToItem(Get(self, sym::oHeader), sym::set::nWidth, n);
  ToItem(Get(self, sym::oFooter), sym::set::nWidth, n);
  RefreshGrid(self, true);
  return n;
}

// CellText(lSelected) -> {cText, nImage} of the current record.
Value CellText(Object& self, Args) {
  Value v = self.Send(sym::GetData);
  const Value ref = Value::Ref(v);
  const Value image = Value::Ref(0);
  const Value r = self.Send(sym::OnGetData, ref, image);
  v = r.IsNil() ? ref.Deref() : r;
  return Value::List({CellValueText(v, Get(self, sym::cPicture).AsString()), image.Deref().AsInt()});
}

Value DataWidth(Object& self, Args) {
  const Value g = GridOf(self);
  const Value cell = self.Send(sym::CellText);
  const std::string text = cell.Item(1).AsString();
  long long w = 0;
  if (!text.empty()) {
    const HFONT f = FontHandle(Value(&self));
    if (g.IsObject() && Get(g, sym::FnDataLines).AsInt() > 1) {
      std::size_t start = 0;
      while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        const std::size_t len = (end == std::string::npos ? text.size() : end) - start;
        w = std::max<long long>(w, TextExtent(std::string(std::min<std::size_t>(len, 4096), 'B'), f).cx + 10);
        if (end == std::string::npos) break;
        start = end + 2;
      }
    } else {
      w = TextExtent(text, f).cx + 10;
    }
  }
  if (cell.Item(2).AsInt() > 0) w += GridImageSize(g).cx + Get(self, sym::nBmpMargin).AsInt();
  return w;
}

Value DataHeight(Object& self, Args) { return TextExtent("B", FontHandle(Value(&self))).cy; }

Value DefStyle(Object& self, Args) {
  const long long align = Get(self, sym::FnAlignment).AsInt() & 0x0F;
  long long style = DT_MODIFYSTRING | DT_EDITCONTROL | DT_NOPREFIX;
  if (align == 2) style |= DT_RIGHT;
  if (align == 6) style |= DT_CENTER;
  const Value g = GridOf(self);
  if (g.IsObject() && Get(g, sym::FnDataLines).AsInt() > 1) style |= DT_WORDBREAK;
  else style |= DT_SINGLELINE | DT_VCENTER;
  Put(self, sym::set::nDrawTextStyle, style);
  return style;
}

Value SetAlignment(Object& self, Args a) {
  const long long n = a.Get(0).AsInt();
  Put(self, sym::set::FnAlignment, n);
  self.Send(sym::DefStyle);
  if (!a.Has(1) || a.Get(1).AsBool()) {
    ToItem(Get(self, sym::oHeader), sym::set::nAlignment, HeaderAlignment(n));
    ToItem(Get(self, sym::oFooter), sym::set::nAlignment, HeaderAlignment(n));
    RefreshGrid(self, false);
  }
  return n;
}

Value SetBmpAlignment(Object& self, Args a) {
  Put(self, sym::set::FnBmpAlignment, a.Get(0).AsInt() == 2 ? 2 : 0);
  RefreshGrid(self, false);
  return a.Get(0);
}

Value SetVisible(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  if (Get(self, sym::FlVisible).AsBool() == on) return on;
  Put(self, sym::set::FlVisible, on);
  const Value g = GridOf(self);
  if (g.IsObject() && ObjectHwnd(g)) {
    g.Send(sym::GetDisplayCols);
    if (Get(g, sym::FlRedraw).AsBool()) g.Send(sym::Refresh);
  }
  return on;
}

Value IsVisible(Object& self, Args) { return Get(self, sym::FlVisible).AsBool(); }

Value SetHeader(Object& self, Args a) {
  const std::string t = a.Get(0).IsString() ? a.Get(0).AsString() : std::string();
  Put(self, sym::set::FcHeader, t);
  ToItem(Get(self, sym::oHeader), sym::set::cText, t);
  return t;
}

Value SetFooter(Object& self, Args a) {
  const std::string t = a.Get(0).IsString() ? a.Get(0).AsString() : std::string();
  Put(self, sym::set::FcFooter, t);
  ToItem(Get(self, sym::oFooter), sym::set::cText, t);
  return t;
}

Value SetTooltip(Object& self, Args a) {
  const std::string t = a.Get(0).IsString() ? a.Get(0).AsString() : std::string();
  Put(self, sym::set::FcTooltip, t);
  ToItem(Get(self, sym::oHeader), sym::set::cTooltip, t);
  ToItem(Get(self, sym::oFooter), sym::set::cTooltip, t);
  return t;
}

Value SetSort(Object& self, Args a) {
  const long long s = std::clamp<long long>(a.Get(0).AsInt(), -1, 1);
  Put(self, sym::set::FnSort, s);
  ToItem(Get(self, sym::oHeader), sym::set::nSort, s);
  return s;
}

Value SetHeaderImage(Object& self, Args a) {
  Put(self, sym::set::FnHeaderImage, a.Get(0).AsInt());
  ToItem(Get(self, sym::oHeader), sym::set::nImage, a.Get(0).AsInt());
  return a.Get(0);
}

Value SetFooterImage(Object& self, Args a) {
  Put(self, sym::set::FnFooterImage, a.Get(0).AsInt());
  ToItem(Get(self, sym::oFooter), sym::set::nImage, a.Get(0).AsInt());
  return a.Get(0);
}

// GetFilter(lFromHeader = true): the header's filter text when the grid
// shows its filter bar.
Value GetFilter(Object& self, Args a) {
  const Value g = GridOf(self);
  const Value item = Get(self, sym::oHeader);
  const bool fromHeader = a.Has(0) ? a.Get(0).AsBool() : true;
  if (fromHeader && g.IsObject() && Get(g, sym::FlFilterBar).AsBool() && item.IsObject() && Get(item, sym::nIndex).AsInt() > 0)
    Put(self, sym::set::FcFilter, Get(item, sym::cFilter));
  return Get(self, sym::FcFilter);
}

Value SetFilter(Object& self, Args a) {
  const std::string t = a.Get(0).IsString() ? a.Get(0).AsString() : std::string();
  Put(self, sym::set::FcFilter, t);
  const Value item = Get(self, sym::oHeader);
  if (item.IsObject() && Get(item, sym::nIndex).AsInt() > 0) {
    if (t.empty()) item.Send(sym::ClearFilter);
    else Put(item, sym::set::cFilter, t);
  }
  return t;
}

Value ClearFilter(Object& self, Args) {
  const Value item = Get(self, sym::oHeader);
  if (item.IsObject()) item.Send(sym::ClearFilter);
  Put(self, sym::set::FcFilter, std::string());
  return {};
}

Value GetData(Object&, Args) { return std::string(); }

Value ValueOf(Object& self, Args) {
  const Value e = Get(self, sym::oGridEdit);
  const Value g = GridOf(self);
  if (e.IsObject()) {
    const bool showing = ObjectHwnd(e) && IsWindowVisible(ObjectHwnd(e));
    if (showing || Get(self, sym::lOnPostEdit).AsBool() || (g.IsObject() && Get(g, sym::lMultiEdit).AsBool()))
      return Get(e, sym::uValue);
  }
  return self.Send(sym::GetData);
}

Value DefaultValue(Object& self, Args) {
  const Value d = Get(self, sym::uDefaultValue);
  if (!d.IsNil()) return d;
  const Value v = self.Send(sym::GetData);
  if (v.IsNumber()) return 0;
  if (v.IsDate()) return Value::Date(0.0);
  if (v.IsLogical()) return false;
  return std::string();
}

// Edit(nKey, lNoFocus): the value is asked for and offered to OnEdit; the
// editor that then takes it is the column's oGridEdit.
Value Edit(Object& self, Args a) {
  if (Get(self, sym::FnEditType).AsInt() == 0 || Get(self, sym::lOnPostEdit).AsBool()) return false;
  const Value g = GridOf(self);
  if (!g.IsObject()) return false;
  const Value editor = Get(self, sym::oGridEdit);
  if (!editor.IsObject() || !ObjectHwnd(editor)) return false;  // no editor: nothing can take the value
  const long long mode = Get(g, sym::nEditMode).AsInt();
  if (mode == 0) {
    Put(g, sym::set::nEditMode, 1);
    Put(g, sym::set::nLastEditCol, Get(self, sym::nPos));
  }
  Value v = (mode == 2 || mode == 3) ? self.Send(sym::DefaultValue) : self.Send(sym::GetData);
  const Value ref = Value::Ref(v);
  const Value r = EventAssigned(self, "OnGetValue") ? self.Send(sym::OnGetValue, ref) : self.Send(sym::OnGetData, ref, Value::Ref(0));
  v = r.IsNil() ? ref.Deref() : r;
  const Value vref = Value::Ref(v);
  if (self.Send(sym::OnEdit, vref, a.Get(1).AsBool()).IsFalse()) return false;
  v = vref.Deref();
  Put(self, sym::set::cEditValType, std::string(1, v.TypeLetter()));
  const long long type = Get(self, sym::FnEditType).AsInt();
  if (type == 4 || type == 5) {
    const Value texts = Get(self, sym::FaEditListText), bound = Get(self, sym::aEditListBound);
    Value shown = v;
    if (bound.IsList())
      for (std::size_t i = 1; i <= bound.Len(); ++i)
        if (bound.Item(i) == v && texts.IsList() && i <= texts.Len()) shown = texts.Item(i);
    editor.Send(sym::SetPicture, std::string());
    editor.Send(sym::SetValue, shown);
  } else {
    editor.Send(sym::SetPicture, Get(self, sym::cPicture));
    editor.Send(sym::SetValue, v);
  }
  if (Has(editor, sym::nMaxLength)) Put(editor, sym::set::nMaxLength, Get(self, sym::nEditLength));
  if (a.Has(0) && a.Get(0).AsInt() > 0) PostMessageW(ObjectHwnd(editor), WM_CHAR, static_cast<WPARAM>(a.Get(0).AsInt()), 0);
  if (Get(self, sym::nPos).AsInt() > 0 && g.Send(sym::IsDisplayPosVisible, Get(self, sym::nPos)).AsBool()) {
    self.Send(sym::SetGridEditBounds);
    editor.Send(sym::Show);
    Put(self, sym::set::lEdited, true);
    SendMessageW(ObjectHwnd(editor), EM_SETSEL, 0, -1);
    if (!a.Get(1).AsBool()) editor.Send(sym::SetFocus);
    return true;
  }
  return false;
}

Value PostEdit(Object& self, Args a) {
  if (Get(self, sym::lOnPostEdit).AsBool()) return {};
  const Value editor = Get(self, sym::oGridEdit);
  if (!editor.IsObject()) return {};
  Put(self, sym::set::lOnPostEdit, true);
  Value v = Get(editor, sym::uValue);
  const Value bound = Get(self, sym::aEditListBound);
  const Value items = Has(editor, sym::aItems) ? Get(editor, sym::aItems) : Value();
  if (bound.IsList() && bound.Len() > 0 && items.IsList()) {
    for (std::size_t i = 1; i <= items.Len(); ++i)
      if (items.Item(i) == v) {
        v = bound.Item(i);
        break;
      }
    if (v.IsString() && Get(self, sym::cEditValType).AsString() == "N") v = std::atof(v.AsString().c_str());
  }
  const Value ref = Value::Ref(v);
  const Value canceled = Value::Ref(a.Get(0).AsBool());
  self.Send(sym::OnPostEdit, ref, canceled, a.Get(1));
  editor.Send(sym::SetValue, ref.Deref());
  Put(self, sym::set::lOnPostEdit, false);
  return canceled.Deref();
}

// The editor arrives with the in-place editing classes: a column whose
// grid has a window gets one then, once. Here no grid-edit class exists
// yet, so a column has no editor and Edit refuses.
Value EditControl(Object& self, Args) { return Get(self, sym::oGridEdit); }

Value SetEditType(Object& self, Args a) {
  Put(self, sym::set::FnEditType, std::clamp<long long>(a.Get(0).AsInt(), 0, 5));
  return a.Get(0);
}

Value SetGridEditBounds(Object& self, Args) {
  const Value g = GridOf(self);
  const Value editor = Get(self, sym::oGridEdit);
  if (!g.IsObject() || !editor.IsObject()) return {};
  long long row = Get(g, sym::nRowSel).AsInt() - 1;
  if (Get(g, sym::nEditMode).AsInt() == 2) row = Get(g, sym::nLen).AsInt() == 0 ? 0 : Get(g, sym::nRowSel).AsInt();
  const long long pitch = Get(g, sym::nIntRowHeight).AsInt();
  const long long top = row * pitch + g.Send(sym::HeaderHeight).AsInt();
  long long left = Get(self, sym::nDisplayCol).AsInt(), width = Get(self, sym::FnWidth).AsInt() - 2, height = pitch - 2;
  const int col = DividerStyle(g, sym::FnColDividerStyle), rowStyle = DividerStyle(g, sym::FnRowDividerStyle);
  if (col < 5 && Get(self, sym::nPos).AsInt() > 1) --left, ++width;
  if (col == 0) ++width;
  if (rowStyle < 5) ++height;
  if (rowStyle == 0) ++height;
  editor.Send(sym::SetBounds, left, top, width, height, true);
  return {};
}

Value HeaderClick(Object& self, Args a) {
  const Value g = GridOf(self);
  if (g.IsObject() && Get(g, sym::lAutoOrder).AsBool() && Has(g, sym::Sort)) g.Send(sym::Sort, Value(&self));
  return self.Send(sym::OnHeaderClick, 0, a.Get(0), a.Get(1));
}

// The column chooser: one item per column, checked when visible; choosing
// one shows or hides its column. The only displayed column cannot go.
Value SetColumns(Object& self, Args a) {
  const Value g = GridOf(self);
  if (!g.IsObject()) return {};
  if (Has(g, sym::CancelEdit)) g.Send(sym::CancelEdit);
  if (!Get(g, sym::lAllowColHiding).AsBool()) return {};
  const Value cols = Get(g, sym::aCols);
  const Value display = Get(g, sym::aDisplay);
  if (!cols.IsList() || !ObjectHwnd(g)) return {};
  HMENU menu = CreatePopupMenu();
  const std::size_t shown = display.IsList() ? display.Len() : 0;
  for (std::size_t i = 1; i <= cols.Len(); ++i) {
    const Value c = cols.Item(i);
    const bool visible = Get(c, sym::FlVisible).AsBool();
    const bool only = shown == 1 && Get(c, sym::nPos).AsInt() == 1;
    const std::wstring text = WidenText(Get(c, sym::FcHeader).AsString());
    AppendMenuW(menu, MF_STRING | (visible ? MF_CHECKED : 0) | (only ? MF_GRAYED : 0), i, text.c_str());
  }
  POINT pt{static_cast<LONG>(a.Get(0).AsInt()), static_cast<LONG>(a.Get(1).AsInt())};
  ClientToScreen(ObjectHwnd(g), &pt);
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, pt.x, pt.y, 0, ObjectHwnd(g), nullptr));
  DestroyMenu(menu);
  if (chosen >= 1 && chosen <= cols.Len()) {
    const Value c = cols.Item(chosen);
    c.Send(sym::SetVisible, !Get(c, sym::FlVisible).AsBool());
  }
  return {};
}

Value Select(Object& self, Args) {
  const Value g = GridOf(self);
  return g.IsObject() && Has(g, sym::SelectCol) ? g.Send(sym::SelectCol, Get(self, sym::nPos)) : Value();
}

Value AdjustWidth(Object& self, Args) {
  const Value g = GridOf(self);
  return g.IsObject() && Has(g, sym::AdjustColWidth) ? g.Send(sym::AdjustColWidth, Value(), Value(&self)) : Value();
}

Value Refresh(Object& self, Args a) {
  const Value g = GridOf(self);
  return g.IsObject() ? g.Send(sym::Refresh, a.Get(0)) : Value();
}

Value Handle(Object&, Args) { return 0; }

// PaintData(hDC, nTop, nHeight, lSelected, lHighLite, nDisplayPos, lAlt):
// one cell of the current record.
Value PaintData(Object& self, Args a) {
  const Value g = GridOf(self);
  HDC dc = ValueHandle<HDC>(a.Get(0));
  if (!g.IsObject() || !dc || Get(g, sym::nLen).AsInt() == 0) return {};
  const long long top = a.Get(1).AsInt(), height = a.Get(2).AsInt();
  const bool selected = a.Get(3).AsBool(), high = a.Get(4).AsBool(), alt = a.Get(6).AsBool();
  const long long pos = a.Get(5).AsInt();
  const Value cell = self.Send(sym::CellText);
  const std::string text = cell.Item(1).AsString();
  const long long image = cell.Item(2).AsInt();

  long long text_ = 0, pane = 0;
  if (!selected) {
    const long long own = Get(self, sym::nClrText).AsInt();
    text_ = own != static_cast<long long>(GetSysColor(COLOR_WINDOWTEXT)) ? own : Get(g, sym::FnClrText).AsInt();
    const long long ownPane = Get(self, sym::nClrPane).AsInt();
    pane = ownPane != static_cast<long long>(GetSysColor(COLOR_WINDOW)) ? ownPane
           : alt                                                         ? Get(g, sym::FnClrAltPane).AsInt()
                                                                         : Get(g, sym::FnClrPane).AsInt();
  } else {
    const bool focus = g.Send(sym::HasFocus).AsBool();
    text_ = Get(g, focus ? sym::nClrSelFocusText : sym::nClrSelText).AsInt();
    pane = Get(g, focus ? sym::nClrSelFocusPane : sym::nClrSelPane).AsInt();
  }
  const long long x0 = Get(self, sym::nDisplayCol).AsInt(), w = Get(self, sym::FnWidth).AsInt();
  const int colStyle = DividerStyle(g, sym::FnColDividerStyle);
  RECT r{static_cast<LONG>(x0), static_cast<LONG>(top), static_cast<LONG>(x0 + w - 2), static_cast<LONG>(top + height)};
  if (colStyle == 0) ++r.right;
  if (colStyle < 5 && pos > 1) --r.left;
  long long bx = x0 + 3, bw = w - 8;
  const long long by = top + 2, bh = height - 4;

  const HFONT font = FontHandle(Value(&self));
  const HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  const Value textRef = Value::Ref(static_cast<long long>(text_));
  const Value paneRef = Value::Ref(static_cast<long long>(pane));
  Value drawn;
  if (EventAssigned(self, "OnDrawCell"))
    drawn = self.Send(sym::OnDrawCell, text, textRef, paneRef, high, HandleValue(dc),
                      Value::List({r.left, r.top, r.right, r.bottom}));
  text_ = textRef.Deref().AsInt();
  pane = paneRef.Deref().AsInt();
  if (!drawn.IsFalse()) {
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(pane));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    const Value list = Get(g, sym::FoImageList);
    if (image > 0 && list.IsObject()) {
      const SIZE is = GridImageSize(g);
      long long ix = bx, iw = is.cx;
      const long long margin = Get(self, sym::nBmpMargin).AsInt();
      if (text.empty()) {
        ix = bx + std::max<long long>((bw - is.cx) / 2, 0);
      } else if (Get(self, sym::FnBmpAlignment).AsInt() == 0) {
        bx += is.cx + margin;
        bw -= is.cx;
      } else {
        ix = bx + (bw - is.cx);
        bw -= is.cx + margin;
      }
      if (bw < 0) iw = w - 6;
      const long long iy = by + std::max<long long>((bh - is.cy) / 2, 0);
      list.Send(sym::DrawEx, image, HandleValue(dc), ix, iy, iw, is.cy, pane, static_cast<long long>(CLR_DEFAULT),
                static_cast<long long>(ILD_NORMAL));
    }
    if (!text.empty() && bw > 0) {
      SetTextColor(dc, static_cast<COLORREF>(text_));
      SetBkColor(dc, static_cast<COLORREF>(pane));
      SetBkMode(dc, TRANSPARENT);
      std::wstring wide = WidenText(text);
      wide.resize(wide.size() + 4);  // DT_MODIFYSTRING may add an ellipsis
      RECT box{static_cast<LONG>(bx), static_cast<LONG>(by), static_cast<LONG>(bx + bw), static_cast<LONG>(by + bh)};
      const UINT style = static_cast<UINT>(Get(self, sym::nDrawTextStyle).AsInt()) & ~static_cast<UINT>(DT_MODIFYSTRING);
      DrawTextW(dc, wide.c_str(), static_cast<int>(WidenText(text).size()), &box, style | DT_END_ELLIPSIS);
    }
  }
  if (oldFont) SelectObject(dc, oldFont);
  return {};
}

// EraseData(hDC, nTop, nHeight, lFull, nDisplayPos): the column's strip.
Value EraseData(Object& self, Args a) {
  const Value g = GridOf(self);
  HDC dc = ValueHandle<HDC>(a.Get(0));
  if (!g.IsObject() || !dc) return {};
  const long long x0 = Get(self, sym::nDisplayCol).AsInt(), w = Get(self, sym::FnWidth).AsInt();
  const long long top = a.Get(1).AsInt(), height = a.Get(2).AsInt();
  const int col = DividerStyle(g, sym::FnColDividerStyle), row = DividerStyle(g, sym::FnRowDividerStyle);
  const bool complete = Get(g, sym::lColDividerComplete).AsBool();
  RECT r{static_cast<LONG>(x0), static_cast<LONG>(top), static_cast<LONG>(x0 + w), static_cast<LONG>(top + height)};
  if (col > 0 && complete) --r.right;
  if (col >= 5 && complete) --r.right;
  if (col < 5 && a.Get(4).AsInt() > 1) --r.left;
  if (!a.Get(3).AsBool()) {
    if (row > 0) --r.bottom;
    if (row >= 5) --r.bottom;
  }
  r.right = std::min<LONG>(r.right, static_cast<LONG>(g.Send(sym::LastCol).AsInt()));
  const long long pane = Get(self, sym::nClrPane).AsInt();
  if (pane == static_cast<long long>(GetSysColor(COLOR_WINDOW))) {
    HBRUSH b = ValueHandle<HBRUSH>(Get(g, sym::hBrush));
    if (b) FillRect(dc, &r, b);
    else {
      HBRUSH t = CreateSolidBrush(static_cast<COLORREF>(Get(g, sym::FnClrPane).AsInt()));
      FillRect(dc, &r, t);
      DeleteObject(t);
    }
  } else {
    HBRUSH t = CreateSolidBrush(static_cast<COLORREF>(pane));
    FillRect(dc, &r, t);
    DeleteObject(t);
  }
  return {};
}

// Box(hDC, nTop, nLeft, nHeight, nKind = 1): 1 a dotted focus rectangle,
// 2 a black outline, 3 a raised frame.
Value Box(Object& self, Args a) {
  const Value g = GridOf(self);
  HDC dc = ValueHandle<HDC>(a.Get(0));
  if (!g.IsObject() || !dc) return {};
  const long long top = a.Get(1).AsInt(), height = a.Get(3).AsInt();
  long long left = a.Get(2).AsInt() ? a.Get(2).AsInt() : Get(self, sym::nDisplayCol).AsInt();
  long long width = Get(self, sym::FnWidth).AsInt();
  if (Get(self, sym::nPos).AsInt() > 1 && DividerStyle(g, sym::FnColDividerStyle) < 5) --left, ++width;
  const long long last = g.Send(sym::LastCol).AsInt() - 1;
  const long long kind = a.Has(4) ? a.Get(4).AsInt() : 1;
  if (kind == 1) {
    RECT r{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(std::min(last, left + width - 2)),
           static_cast<LONG>(top + height)};
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &r);
    return {};
  }
  const int right = static_cast<int>(std::min(last, left + width - 3)), bottom = static_cast<int>(top + height - 1);
  const int l = static_cast<int>(left), t = static_cast<int>(top);
  if (kind == 2) {
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, l, t, right + 1, bottom + 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
  } else if (kind == 3) {
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    const HGDIOBJ oldPen = SelectObject(dc, light);
    MoveToEx(dc, l, bottom, nullptr);
    LineTo(dc, l, t);
    LineTo(dc, right, t);
    SelectObject(dc, dark);
    LineTo(dc, right, bottom);
    LineTo(dc, l - 1, bottom);
    SelectObject(dc, oldPen);
    DeleteObject(dark);  // in the reverse order of their making
    DeleteObject(light);
  }
  return {};
}

// Data-set binding belongs to the data-bound controls; a column keeps the
// object it is given and forgets it again.
Value SetFieldObject(Object& self, Args a) {
  Put(self, sym::set::oDataField, a.Get(0));
  return a.Get(0);
}

Value ResetDataField(Object& self, Args) {
  Put(self, sym::set::oDataField, Value());
  return {};
}

// The column's font: its own, else the grid's.
Value GetFont(Object& self, Args) {
  const Value own = Get(self, sym::FoFont);
  if (own.IsObject() && !Get(self, sym::FlParentFont).AsBool()) return own;
  const Value g = GridOf(self);
  if (g.IsObject()) return g.Send(sym::GetFont);
  return own;
}

Value SetFont(Object& self, Args a) {
  const Value f = a.Get(0);
  Put(self, sym::set::FoFont, f.IsObject() ? f : Value());
  Put(self, sym::set::FlParentFont, !f.IsObject());
  RefreshGrid(self, false);
  return f;
}

}  // namespace brwcol

Class* QBrwColumnClass() {
  static Class* c = [] {
    QVClass b("QBrwColumn", {TComponentClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QBRWCOLUMN_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TBrwColumnClass() {
  static Class* c = DeclarePublicClass("TBrwColumn", QBrwColumnClass());
  return c;
}

}  // namespace zv
