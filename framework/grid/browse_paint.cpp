// The grid's painting, its row pitch and its scroll bars.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/grid/browse.h"
#include "framework/grid/browse_internal.h"
#include "framework/window/paint_frame.h"

namespace zv::brw {

// ------------------------------------------------------------ pitch and bars

int RowPitchOf(Object& self, bool withImages) {
  long long h = 0;
  for (const Value& c : Cols(self)) h = std::max<long long>(h, c.Send(sym::DataHeight).AsInt());
  if (withImages) {
    const Value list = Get(self, sym::FoImageList);
    if (list.IsObject() && list.Send(sym::GetImageCount).AsInt() > 0)
      h = std::max<long long>(h, list.Send(sym::GetIconSize).Item(2).AsInt());
  }
  const Value rs = RecSel(self);
  if (rs.IsObject()) h = std::max<long long>(h, rs.Send(sym::GetHeight).AsInt());
  return RowPitch(static_cast<int>(std::min<long long>(h, 0x7FFF)), static_cast<int>(Int(self, sym::FnDataLines)),
                  static_cast<int>(Int(self, sym::FnRowDividerStyle)));
}

void ShowBar(Object& self, long long bit, int bar, bool on) {
  const long long style = Int(self, sym::nCtlStyle);
  Put(self, sym::set::nCtlStyle, on ? (style | bit) : (style & ~bit));
  if (HWND h = ObjectHwnd(self)) ShowScrollBar(h, bar, on);
}

namespace {
// A forced bar (lVScroll / lHScroll given) is shown disabled rather than
// hidden when there is nothing to scroll.
UINT Flags(Object& self, Symbol policy, UINT mask) {
  return Get(self, policy).IsNil() ? mask : mask | SIF_DISABLENOSCROLL;
}
}  // namespace

// The bar's range is 32-bit; a larger source maps proportionally onto it.
namespace {
constexpr long long kBarMax = 0x7FFFFFFF;
long long BarPos(long long len, long long key) {
  const long long max = std::max<long long>(len, 1);
  long long pos = std::clamp<long long>(key, 1, max);
  if (max > kBarMax)
    pos = static_cast<long long>(static_cast<double>(pos) / static_cast<double>(max) * static_cast<double>(kBarMax));
  return std::max<long long>(pos, 1);
}
}  // namespace

void SetVerticalBar(Object& self, long long len, long long key) {
  const HWND h = ObjectHwnd(self);
  if (!h) return;
  const long long max = std::min<long long>(std::max<long long>(len, 1), kBarMax);
  SCROLLINFO si{sizeof si, Flags(self, sym::lVScroll, SIF_RANGE | SIF_PAGE | SIF_POS), 1, static_cast<int>(max), 1,
                static_cast<int>(BarPos(len, key)), 0};
  SetScrollInfo(h, SB_VERT, &si, TRUE);
}

void SetVerticalBarPos(Object& self, long long key) {
  const HWND h = ObjectHwnd(self);
  if (!h) return;
  SCROLLINFO si{sizeof si, Flags(self, sym::lVScroll, SIF_POS), 0, 0, 0, static_cast<int>(BarPos(Int(self, sym::nLen), key)), 0};
  SetScrollInfo(h, SB_VERT, &si, TRUE);
}

long long VerticalBarKey(Object& self, long long pos) {
  const long long len = Int(self, sym::nLen);
  if (len <= kBarMax) return pos;
  return std::clamp<long long>(static_cast<long long>(static_cast<double>(pos) / static_cast<double>(kBarMax) * static_cast<double>(len)), 1, len);
}

void MapHorizontalBar(Object& self) {
  const HWND h = ObjectHwnd(self);
  if (!h) return;
  const long long avail = ClientWidth(self) - FirstColX(self);
  long long total = 0, page = 0, pos = 0;
  bool beforeFirst = true;
  const Value first = ColAt(self, 1);
  std::vector<Value> visible;
  for (const Value& c : Cols(self))
    if (Get(c, sym::FlVisible).AsBool()) visible.push_back(c);
  for (const Value& c : visible) {
    const long long w = std::max<long long>(std::min<long long>(Get(c, sym::FnWidth).AsInt(), avail), 0);
    if (c.AsObject() == first.AsObject()) beforeFirst = false;
    if (beforeFirst) pos += w;
    total += w;
    if (Get(c, sym::nPos).AsInt() > 0 && self.Send(sym::IsColVisible, c, true).AsBool())
      page += std::max<long long>(std::min<long long>(Get(c, sym::FnWidth).AsInt(), avail - page), 0);
  }
  const long long freeze = Int(self, sym::GetFreeze);
  if (freeze > 0 && freeze < static_cast<long long>(Cols(self).size())) {
    const long long to = std::min<long long>(Int(self, sym::nColOffset) + 1, static_cast<long long>(visible.size()));
    for (long long i = freeze + 1; i <= to; ++i)
      pos += std::max<long long>(std::min<long long>(Get(visible[static_cast<std::size_t>(i - 1)], sym::FnWidth).AsInt(), avail), 0);
  }
  SCROLLINFO si{sizeof si, Flags(self, sym::lHScroll, SIF_RANGE | SIF_PAGE | SIF_POS), 1,
                static_cast<int>(std::clamp<long long>(total - 1, 1, 0x7FFFFFFF)), static_cast<UINT>(std::max<long long>(page - 1, 0)),
                static_cast<int>(std::clamp<long long>(pos, 0, 0x7FFFFFFF)), 0};
  SetScrollInfo(h, SB_HORZ, &si, TRUE);
}

// ------------------------------------------------------------------ painting

namespace {

HBRUSH Handle(Object& self, Symbol s) { return ValueHandle<HBRUSH>(Get(self, s)); }

// The pane brush (the control's background) and the others of a row.
struct Brushes {
  HBRUSH pane = nullptr;
  HBRUSH alt = nullptr;
  HBRUSH sel = nullptr;
  HBRUSH made = nullptr;
  bool altDiffers = false;
  ~Brushes() {
    if (made) DeleteObject(made);
  }
};

void LoadBrushes(Object& self, Brushes& b) {
  b.pane = Handle(self, sym::hBrush);
  if (!b.pane) b.pane = b.made = CreateSolidBrush(static_cast<COLORREF>(Int(self, sym::FnClrPane)));
  b.alt = Handle(self, sym::hClrAltPane);
  if (!b.alt) b.alt = b.pane;
  const bool focus = self.Send(sym::HasFocus).AsBool();
  b.sel = Handle(self, focus ? sym::hClrSelFocusPane : sym::hClrSelPane);
  if (!b.sel) b.sel = b.pane;
  b.altDiffers = Int(self, sym::FnClrAltPane) != Int(self, sym::FnClrPane);
}

void Fill(HDC dc, long long l, long long t, long long r, long long bottom, HBRUSH brush) {
  if (r <= l || bottom <= t || !brush) return;
  RECT rc{static_cast<LONG>(l), static_cast<LONG>(t), static_cast<LONG>(r), static_cast<LONG>(bottom)};
  FillRect(dc, &rc, brush);
}

void Line(HDC dc, long long x1, long long y1, long long x2, long long y2, HPEN pen) {
  if (!pen) return;
  SelectObject(dc, pen);
  MoveToEx(dc, static_cast<int>(x1), static_cast<int>(y1), nullptr);
  LineTo(dc, static_cast<int>(x2), static_cast<int>(y2));
}

bool RowSelected(Object& self) {
  if (Int(self, sym::nMarqueeStyle) != 6) return false;
  const Value selected = Get(self, sym::aSelected);
  if (!selected.IsList() || selected.Len() == 0) return false;
  const Value mark = self.Send(sym::BookMark);
  for (const Value& v : selected.AsList().items)
    if (v == mark) return true;
  return false;
}

// The right edge of the last painted column, and its position.
struct Painted {
  long long last = 0;
  long long right = 0;
};
Painted PaintedCols(Object& self) {
  Painted p;
  if (DisplayCount(self) == 0) return p;
  p.last = self.Send(sym::LastDisplayPos).AsInt();
  const Value c = ColAt(self, p.last);
  p.right = Get(c, sym::nDisplayCol).AsInt() + Get(c, sym::FnWidth).AsInt();
  return p;
}

void PaintCells(Object& self, HDC dc, long long top, long long height, bool selected, bool highlight, bool alt,
                long long last) {
  const Value hdc = HandleValue(dc);
  const long long colSel = Int(self, sym::nColSel), style = Int(self, sym::nMarqueeStyle);
  for (long long p = 1; p <= last; ++p) {
    const Value c = ColAt(self, p);
    if (c.IsObject())
      c.Send(sym::PaintData, hdc, top, height, selected, highlight && (style > 4 || p == colSel), p, alt);
  }
}

}  // namespace

Value WMEraseBkgnd(Object&, const PaintMsg&) { return 1; }

Value WMPaint(Object& self, const PaintMsg& m) {
  const HWND hwnd = m.hwnd;
  RunPaintFrame(self, hwnd, m.hdc, [&self](HDC dc, const PAINTSTRUCT&) {
    const Value hdc = HandleValue(dc);
    const int saved = SaveDC(dc);
    self.Send(sym::PaintRecordSelector, hdc);
    const long long pitch = std::max<long long>(Int(self, sym::nIntRowHeight), 1);
    const long long editMode = Int(self, sym::nEditMode);
    const long long rows = Rows(self) - (editMode == 2 ? 1 : 0);
    const long long firstRow = HeaderH(self), lastCol = ClientWidth(self);
    const long long style = Int(self, sym::nMarqueeStyle), colStyle = Int(self, sym::FnColDividerStyle);
    const long long cellH = CellHeight(self);
    Brushes b;
    LoadBrushes(self, b);
    if (DisplayCount(self) == 0 || Int(self, sym::nLen) == 0 || rows <= 0) {
      Put(self, sym::set::nDataRows, 0);
      Put(self, sym::set::nRowSel, 1);
      self.Send(sym::EraseData, firstRow, hdc);
      self.Send(sym::PaintVerticalLines, hdc);
      self.Send(sym::PaintHorizontalLines, hdc);
      RestoreDC(dc, saved);
      return;
    }
    const Painted painted = PaintedCols(self);
    const long long stripLeft = painted.right - (colStyle < 5 ? 1 : 0);
    long long sel = std::min<long long>(std::max<long long>(Int(self, sym::nRowSel), 1), rows);
    if (sel != 1) {
      // The source may move fewer records than asked (the top is nearer
      // than the screen row says): the current record's row is where the
      // move really ended.
      const long long moved = self.Send(sym::Skip, 1 - sel).AsInt();
      Put(self, sym::set::nKeyNo, Int(self, sym::nKeyNo) + moved);
      sel = std::clamp<long long>(1 - moved, 1, rows);
    }
    const Value rs = RecSel(self);
    const long long phantom = Int(self, sym::nPhantomRow);
    bool phantomPassed = false;
    long long reached = 0;
    long long y = firstRow;
    for (long long r = 1; r <= rows; ++r, y += pitch) {
      if (r == phantom && phantom > 0) {
        if (editMode == 3) {
          for (long long p = 1; p <= painted.last; ++p) {
            const Value c = ColAt(self, p);
            const Value e = Get(c, sym::oGridEdit);
            if (!(e.IsObject() && ObjectHwnd(e) && IsWindowVisible(ObjectHwnd(e)))) c.Send(sym::EraseData, hdc, y, pitch, false, p);
          }
          if (painted.right < lastCol) Fill(dc, stripLeft, y, lastCol, y + cellH, b.pane);
        }
        phantomPassed = true;
        continue;
      }
      reached = r;
      if (r != sel) {
        self.Send(sym::OnDrawRow, r);
        const bool alt = b.altDiffers && (Int(self, sym::nKeyNo) & 1);
        const bool selected = RowSelected(self);
        if (style > 3 && painted.right < lastCol) Fill(dc, stripLeft, y, lastCol, y + cellH, selected ? b.sel : alt ? b.alt : b.pane);
        if (rs.IsObject()) rs.Send(sym::Paint, hdc, y, pitch, false);
        PaintCells(self, dc, y, cellH, selected, false, alt, painted.last);
      }
      if (self.Send(sym::Skip, 1).AsInt() == 0) break;
      Put(self, sym::set::nKeyNo, Int(self, sym::nKeyNo) + 1);
      reached = r + 1;
    }
    if (style <= 3 && painted.right < lastCol) Fill(dc, painted.right - 1, firstRow, lastCol, ClientHeight(self) - FooterH(self), b.pane);
    const long long filled = std::min(reached, rows);
    Put(self, sym::set::nDataRows, filled);
    Put(self, sym::set::nRowSel, std::max<long long>(std::min(sel, filled), 1));
    const long long back = self.Send(sym::Skip, Int(self, sym::nRowSel) - reached + (phantomPassed ? 1 : 0)).AsInt();
    Put(self, sym::set::nKeyNo, Int(self, sym::nKeyNo) + back);
    const long long end = firstRow + (filled + (phantomPassed ? 1 : 0)) * pitch;
    if (end < ClientHeight(self)) self.Send(sym::EraseData, end, hdc);
    if (editMode != 3) self.Send(sym::DrawLine, hdc, phantom == 0);
    if (phantom > 0) {
      const long long row = std::min<long long>(phantom, Rows(self));
      Put(self, sym::set::nPhantomRow, row);
      if (rs.IsObject()) rs.Send(sym::Paint, hdc, firstRow + (row - 1) * pitch, pitch, true);
    }
    self.Send(sym::PaintVerticalLines, hdc);
    self.Send(sym::PaintHorizontalLines, hdc);
    RestoreDC(dc, saved);
  });
  return 0;
}

// DrawLine(hDC, lSel = false, nRow = nRowSel): the current record's row.
Value DrawLine(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  HDC dc = ValueHandle<HDC>(a.Get(0));
  const bool sel = a.Get(1).AsBool();
  const long long row = a.Has(2) ? a.Get(2).AsInt() : Int(self, sym::nRowSel);
  const long long pitch = Int(self, sym::nIntRowHeight);
  const long long top = (row - 1) * pitch + HeaderH(self);
  if (Int(self, sym::nLen) == 0 || row < 1 || top > self.Send(sym::LastOrdRow).AsInt()) return {};
  if (!dc && !hwnd) return {};
  const bool own = !dc;
  if (own) dc = GetDC(hwnd);
  const int saved = SaveDC(dc);
  const Value hdc = HandleValue(dc);
  const bool alt = Int(self, sym::nKeyNo) & 1;
  self.Send(sym::OnDrawRow, row);
  const long long style = Int(self, sym::nMarqueeStyle), colStyle = Int(self, sym::FnColDividerStyle);
  const bool selected = style == 6 ? RowSelected(self) : style >= 4 && sel;
  const long long cellH = CellHeight(self), lastCol = ClientWidth(self);
  const Painted painted = PaintedCols(self);
  PaintCells(self, dc, top, cellH, selected, sel, alt, painted.last);
  Brushes b;
  LoadBrushes(self, b);
  if (style >= 4) {
    Fill(dc, painted.right - (colStyle < 5 ? 1 : 0), top, lastCol, top + cellH, selected ? b.sel : alt && b.altDiffers ? b.alt : b.pane);
    if (style == 6 && sel) {
      RECT r{static_cast<LONG>(FirstColX(self)), static_cast<LONG>(top), static_cast<LONG>(lastCol), static_cast<LONG>(top + cellH)};
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, RGB(255, 255, 255));
      DrawFocusRect(dc, &r);
    } else if (style == 6 && colStyle > 0) {
      const HPEN col = ValueHandle<HPEN>(Get(self, sym::hColPen)), white = ValueHandle<HPEN>(Get(self, sym::hWhitePen));
      for (long long p = 1; p <= painted.last; ++p) {
        const Value c = ColAt(self, p);
        const long long x = Get(c, sym::nDisplayCol).AsInt() + Get(c, sym::FnWidth).AsInt() - 2;
        const HPEN first = colStyle == 6 ? white : col;
        Line(dc, x, top, x, top + cellH, first);
        if (colStyle >= 5) Line(dc, x + 1, top, x + 1, top + cellH, colStyle == 6 ? col : white);
      }
    }
  }
  const Value rs = RecSel(self);
  if (rs.IsObject()) rs.Send(sym::Paint, hdc, top, pitch, sel);
  if (sel && Int(self, sym::nEditMode) == 0) {
    const Value c = ColAt(self, Int(self, sym::nColSel));
    if (c.IsObject()) {
      if (style == 1 || style == 2 || style == 4) c.Send(sym::Box, hdc, top, 0, cellH, style == 4 ? 3 : style);
      else if (style == 3) c.Send(sym::PaintData, hdc, top, cellH, true, true, Int(self, sym::nColSel), alt);
    }
  }
  RestoreDC(dc, saved);
  if (own) ReleaseDC(hwnd, dc);
  return {};
}

Value RefreshCurrent(Object& self, Args) { return self.Send(sym::DrawLine, Value(), true); }

Value Refill(Object& self, Args) {
  self.Send(sym::GetDisplayCols);
  return self.Send(sym::Refresh, true);
}

// EraseData(nTop, hDC): the data area from nTop to the footer.
Value EraseData(Object& self, Args a) {
  HDC dc = ValueHandle<HDC>(a.Get(1));
  if (!dc) return {};
  const long long top = a.Get(0).AsInt(), bottom = ClientHeight(self) - FooterH(self);
  if (bottom <= top) return {};
  Brushes b;
  LoadBrushes(self, b);
  const Value hdc = a.Get(1);
  if (DisplayCount(self) == 0) {
    Fill(dc, FirstColX(self), top, ClientWidth(self), bottom, b.pane);
  } else {
    const Painted painted = PaintedCols(self);
    for (long long p = 1; p <= painted.last; ++p) ColAt(self, p).Send(sym::EraseData, hdc, top, bottom - top, true, p);
    if (painted.last == DisplayCount(self))
      Fill(dc, painted.right - (Int(self, sym::FnColDividerStyle) < 5 ? 1 : 0), top, ClientWidth(self), bottom, b.pane);
  }
  const Value rs = RecSel(self);
  if (rs.IsObject()) rs.Send(sym::Erase, hdc, top, bottom - top, true);
  return {};
}

Value PaintVerticalLines(Object& self, Args a) {
  HDC dc = ValueHandle<HDC>(a.Get(0));
  const long long style = Int(self, sym::FnColDividerStyle);
  if (!dc || style == 0 || DisplayCount(self) == 0) return {};
  const long long top = HeaderH(self);
  const long long bottom = Get(self, sym::lColDividerComplete).AsBool() ? top + DataH(self)
                                                                         : top + Int(self, sym::nIntRowHeight) * Int(self, sym::nDataRows);
  const HPEN col = ValueHandle<HPEN>(Get(self, sym::hColPen)), white = ValueHandle<HPEN>(Get(self, sym::hWhitePen));
  const HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
  const auto divider = [&](long long x) {
    if (style <= 4) Line(dc, x, top, x, bottom, col);
    else if (style == 5) Line(dc, x + 1, top, x + 1, bottom, white), Line(dc, x, top, x, bottom, col);
    else Line(dc, x + 1, top, x + 1, bottom, col), Line(dc, x, top, x, bottom, white);
  };
  const Painted painted = PaintedCols(self);
  for (long long p = 2; p <= painted.last; ++p) divider(Get(ColAt(self, p), sym::nDisplayCol).AsInt() - 2);
  divider(painted.right - 2);
  SelectObject(dc, old);
  return {};
}

Value PaintHorizontalLines(Object& self, Args a) {
  HDC dc = ValueHandle<HDC>(a.Get(0));
  const long long style = Int(self, sym::FnRowDividerStyle);
  if (!dc || style == 0) return {};
  const HPEN row = ValueHandle<HPEN>(Get(self, sym::hRowPen)), white = ValueHandle<HPEN>(Get(self, sym::hWhitePen));
  const HPEN shadow = ValueHandle<HPEN>(Get(self, sym::hBtnShadowPen));
  const HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
  const long long pitch = Int(self, sym::nIntRowHeight), top = HeaderH(self), width = ClientWidth(self);
  const Value rs = RecSel(self);
  const long long selW = rs.IsObject() ? Get(rs, sym::FnWidth).AsInt() : 0;
  const long long n = Int(self, sym::nDataRows);
  for (long long k = 1; k <= n; ++k) {
    const long long y = top - 1 + k * pitch;
    if (rs.IsObject()) {
      Line(dc, 2, y - 1, selW - 4, y - 1, shadow);
      Line(dc, 2, y, selW - 4, y, white);
    }
    if (style <= 4) Line(dc, selW, y, width, y, row);
    else if (style == 5) Line(dc, selW, y, width, y, row), Line(dc, selW, y - 1, width, y - 1, white);
    else Line(dc, selW, y, width, y, white), Line(dc, selW, y - 1, width, y - 1, row);
  }
  SelectObject(dc, old);
  return {};
}

Value PaintRecordSelector(Object& self, Args a) {
  HDC dc = ValueHandle<HDC>(a.Get(0));
  const Value rs = RecSel(self);
  if (!dc || !rs.IsObject()) return {};
  const long long w = Get(rs, sym::FnWidth).AsInt(), top = HeaderH(self), bottom = top + DataH(self);
  const HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
  Line(dc, w - 2, top, w - 2, bottom, ValueHandle<HPEN>(Get(self, sym::hBtnShadowPen)));
  Line(dc, w - 1, top, w - 1, bottom, ValueHandle<HPEN>(Get(self, sym::hWhitePen)));
  SelectObject(dc, old);
  return {};
}

}  // namespace zv::brw
