// The grid's navigation: vertical moves by row, page, to the ends and to a
// key position; horizontal moves over the displayed columns; its scroll
// bars in step with the data; the mouse (clicks, double-clicks, the wheel,
// row-height dragging in the record selector) and the keyboard.
//
// Every move goes through the navigation interface (Skip, MoveTop,
// MoveBottom, BookMark, KeyNo, KeyCount, IsBof, IsEof), keeps nKeyNo equal
// to the current record's position and nRowSel to its screen row, and fires
// OnChange(lBookMarkChanged): true when the record changed, false when only
// the column did. A move within the screen redraws the two rows concerned;
// a move off an edge scrolls the data area by one row and paints the row
// that came in; the other moves repaint.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "framework/core/environment.h"
#include "framework/grid/browse.h"
#include "framework/grid/browse_internal.h"
#include "framework/window/messages.h"

namespace zv::brw {

namespace {

long long Style(Object& self) { return Int(self, sym::nMarqueeStyle); }

// Editing ends and the seek text is cleared: the start of every move.
void Prepare(Object& self) {
  self.Send(sym::CancelEdit);
  self.Send(sym::Seek);
}

void Unhighlight(Object& self) { self.Send(sym::DrawLine); }
void Highlight(Object& self) { self.Send(sym::DrawLine, Value(), true); }

void Repaint(Object& self) {
  if (HWND h = ObjectHwnd(self); h && Get(self, sym::FlRedraw).AsBool()) InvalidateRect(h, nullptr, FALSE);
}

void Changed(Object& self, bool record) { self.Send(sym::OnChange, record); }

long long SkipBy(Object& self, long long n) { return self.Send(sym::Skip, n).AsInt(); }

// The vertical bar's thumb at a record position (when the bar is on).
void VPos(Object& self, long long key) {
  if (HasStyleBit(self, WS_VSCROLL)) SetVerticalBarPos(self, key);
}

void MapHBar(Object& self) {
  if (HasStyleBit(self, WS_HSCROLL)) MapHorizontalBar(self);
}

bool RowBorderAt(Object& self, int y, long long& row);

}  // namespace

// ------------------------------------------------------------ scroll bars

namespace {
Value SetRange(Object& self, int bar, Args a) {
  if (HWND h = ObjectHwnd(self)) {
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, static_cast<int>(a.Get(0).AsInt()), static_cast<int>(a.Get(1).AsInt()), 1, 0, 0};
    SetScrollInfo(h, bar, &si, TRUE);
  }
  return Value::List({a.Get(0), a.Get(1)});
}
Value SetPos(Object& self, int bar, Args a) {
  const long long pos = a.Has(0) ? a.Get(0).AsInt() : 1;
  if (HWND h = ObjectHwnd(self)) {
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, static_cast<int>(std::clamp<long long>(pos, INT_MIN, INT_MAX)), 0};
    SetScrollInfo(h, bar, &si, TRUE);
  }
  return pos;
}
Value SetPage(Object& self, int bar, Args a) {
  if (HWND h = ObjectHwnd(self)) {
    SCROLLINFO si{sizeof si, SIF_PAGE, 0, 0, static_cast<UINT>(std::max<long long>(a.Get(0).AsInt(), 0)), 0, 0};
    SetScrollInfo(h, bar, &si, TRUE);
  }
  return a.Get(0);
}
SCROLLINFO Info(Object& self, int bar, UINT mask) {
  SCROLLINFO si{sizeof si, mask, 0, 0, 0, 0, 0};
  if (HWND h = ObjectHwnd(self)) GetScrollInfo(h, bar, &si);
  return si;
}
}  // namespace

Value SetVRange(Object& self, Args a) { return SetRange(self, SB_VERT, a); }
Value SetHRange(Object& self, Args a) { return SetRange(self, SB_HORZ, a); }
Value SetVPos(Object& self, Args a) { return SetPos(self, SB_VERT, a); }
Value SetHPos(Object& self, Args a) { return SetPos(self, SB_HORZ, a); }
Value SetVPage(Object& self, Args a) { return SetPage(self, SB_VERT, a); }
Value SetHPage(Object& self, Args a) { return SetPage(self, SB_HORZ, a); }
Value GetVPos(Object& self, Args) { return Info(self, SB_VERT, SIF_POS).nPos; }
Value GetHPos(Object& self, Args) { return Info(self, SB_HORZ, SIF_POS).nPos; }
Value GetVRange(Object& self, Args) {
  const SCROLLINFO si = Info(self, SB_VERT, SIF_RANGE);
  return Value::List({si.nMin, si.nMax});
}
Value GetHRange(Object& self, Args) {
  const SCROLLINFO si = Info(self, SB_HORZ, SIF_RANGE);
  return Value::List({si.nMin, si.nMax});
}

// DataScroll(nDir): the data area scrolled by one row (down for nDir < 0)
// when it is wholly uncovered; else the window is invalidated.
Value DataScroll(Object& self, Args a) {
  const HWND h = ObjectHwnd(self);
  if (!h || !Get(self, sym::FlRedraw).AsBool()) return {};
  RECT area = Client(self);
  area.top += static_cast<LONG>(HeaderH(self));
  area.bottom -= static_cast<LONG>(FooterH(self));
  HDC dc = GetDC(h);
  RECT clip{};
  const int kind = GetClipBox(dc, &clip);
  ReleaseDC(h, dc);
  const long long pitch = Int(self, sym::nIntRowHeight);
  if (kind == SIMPLEREGION && EqualRect(&clip, &area) && pitch > 0) {
    RECT moved{area.left, area.top, area.right, static_cast<LONG>(area.top + pitch * Rows(self))};
    const int dy = static_cast<int>(a.Get(0).AsInt() < 0 ? pitch : -pitch);
    ScrollWindowEx(h, 0, dy, &moved, &moved, nullptr, nullptr, 0);
  } else {
    InvalidateRect(h, nullptr, FALSE);
  }
  return {};
}

// ------------------------------------------------------------ vertical moves

Value GoUp(Object& self, Args) {
  if (Int(self, sym::nLen) == 0 || self.Send(sym::IsBof).AsBool()) return {};
  const long long mode = Int(self, sym::nEditMode);
  if (mode == 2 || mode == 3) {  // appending or inserting: Up gives the new row up
    self.Send(sym::CancelEdit, true);
    return {};
  }
  self.Send(sym::CancelEdit);
  Unhighlight(self);
  self.Send(sym::Seek);
  if (SkipBy(self, -1) == -1) {
    Put(self, sym::set::nKeyNo, Int(self, sym::nKeyNo) - 1);
    if (Int(self, sym::nRowSel) > 1) {
      Put(self, sym::set::nRowSel, Int(self, sym::nRowSel) - 1);
    } else {
      self.Send(sym::DataScroll, -1);
      if (Int(self, sym::nDataRows) < Rows(self)) Put(self, sym::set::nDataRows, Int(self, sym::nDataRows) + 1);
    }
    VPos(self, Int(self, sym::nKeyNo));
    Changed(self, true);
  }
  Highlight(self);
  return {};
}

Value GoDown(Object& self, Args a) {
  const bool append = a.Get(0).AsBool();
  Prepare(self);
  if (Int(self, sym::nLen) == 0 || (append && self.Send(sym::IsEof).AsBool())) {
    if (self.Send(sym::OnPastEof).IsNil()) self.Send(sym::Append, true);
    return {};
  }
  Unhighlight(self);
  if (SkipBy(self, 1) == 1) {
    Put(self, sym::set::nKeyNo, Int(self, sym::nKeyNo) + 1);
    if (Int(self, sym::nRowSel) < Rows(self)) Put(self, sym::set::nRowSel, Int(self, sym::nRowSel) + 1);
    else self.Send(sym::DataScroll, 1);
    Changed(self, true);
    VPos(self, Int(self, sym::nKeyNo));
  } else {
    VPos(self, Int(self, sym::nLen));
    if (append && self.Send(sym::OnPastEof).IsNil() && self.Send(sym::Append, true).AsBool()) return {};
  }
  if (ObjectHwnd(self)) Highlight(self);
  return {};
}

Value GoPageUp(Object& self, Args a) {
  if (Int(self, sym::nLen) < 1) return {};
  const long long n = a.Has(0) ? std::max<long long>(a.Get(0).AsInt(), 1) : std::max<long long>(Rows(self), 1);
  Prepare(self);
  Unhighlight(self);
  const long long moved = SkipBy(self, -n);
  if (moved == 0) {
    Highlight(self);
    return {};
  }
  Put(self, sym::set::nKeyNo, std::max<long long>(Int(self, sym::nKeyNo) + moved, 1));
  if (-moved < n) {
    Put(self, sym::set::nRowSel, 1);
    Put(self, sym::set::nKeyNo, 1);
    VPos(self, 1);
  } else {
    VPos(self, Int(self, sym::nKeyNo));
  }
  Changed(self, true);
  Repaint(self);
  return {};
}

Value GoPageDown(Object& self, Args a) {
  if (Int(self, sym::nLen) < 1) return {};
  const long long n = a.Has(0) ? std::max<long long>(a.Get(0).AsInt(), 1) : std::max<long long>(Rows(self), 1);
  Prepare(self);
  Unhighlight(self);
  const long long moved = SkipBy(self, n);
  Put(self, sym::set::nKeyNo, std::min(Int(self, sym::nKeyNo) + moved, Int(self, sym::nLen)));
  if (moved < n && moved <= Int(self, sym::nDataRows) - Int(self, sym::nRowSel)) {
    // The last record was on the screen already: the selection goes to it.
    Put(self, sym::set::nRowSel, std::max<long long>(Int(self, sym::nRowSel) + moved, 1));
    Changed(self, true);
    Highlight(self);
    VPos(self, Int(self, sym::nLen));
  } else {
    Changed(self, true);
    Repaint(self);
    VPos(self, Int(self, sym::nKeyNo));
  }
  return {};
}

Value GoTop(Object& self, Args) {
  Put(self, sym::set::nKeyNo, 1);
  if (Int(self, sym::nLen) < 1 || self.Send(sym::IsBof).AsBool()) return {};
  Prepare(self);
  Unhighlight(self);
  self.Send(sym::MoveTop);
  VPos(self, 1);
  Put(self, sym::set::nRowSel, 1);
  Changed(self, true);
  Repaint(self);
  return {};
}

Value GoBottom(Object& self, Args) {
  Prepare(self);
  Unhighlight(self);
  const long long len = Int(self, sym::nLen);
  Put(self, sym::set::nKeyNo, len);
  if (len == 0 || self.Send(sym::IsEof).AsBool()) {
    Highlight(self);
    return {};
  }
  const long long rows = std::max<long long>(Rows(self), 1);
  self.Send(sym::MoveBottom);
  const Value mark = self.Send(sym::BookMark);
  long long passed = 0;
  while (passed < rows - 1 && SkipBy(self, -1) == -1) ++passed;
  Put(self, sym::set::nRowSel, passed + 1);
  self.Send(sym::BookMark, mark);
  VPos(self, len);
  Changed(self, true);
  Repaint(self);
  return {};
}

// GoTo(nKeyNo): the record at a position, kept on its screen row when
// there are records enough above it.
Value GoTo(Object& self, Args a) {
  const long long len = Int(self, sym::nLen);
  if (len < 1) return {};
  const long long n = std::clamp<long long>(a.Get(0).AsInt(), 1, len);
  Prepare(self);
  Unhighlight(self);
  const long long oldRow = Int(self, sym::nRowSel);
  const Value mark = self.Send(sym::BookMark);
  const HCURSOR previous = SetCursor(WaitCursor());
  self.Send(sym::KeyNo, n);
  if (self.Send(sym::BookMark) == mark) SkipBy(self, n - self.Send(sym::KeyNo).AsInt());
  Put(self, sym::set::nKeyNo, n);
  SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
  const Value target = self.Send(sym::BookMark);
  const long long back = -SkipBy(self, -(std::max<long long>(oldRow, 1) - 1));
  Put(self, sym::set::nRowSel, back + 1);
  self.Send(sym::BookMark, target);
  Changed(self, true);
  VPos(self, n);
  Repaint(self);
  return {};
}

// ---------------------------------------------------------- horizontal moves

namespace {

long long VisibleCount(Object& self) {
  long long n = 0;
  for (const Value& c : Cols(self))
    if (Get(c, sym::FlVisible).AsBool()) ++n;
  return n;
}

bool PosFullyVisible(Object& self, long long p) { return self.Send(sym::IsDisplayPosVisible, p, true).AsBool(); }

void Rebuild(Object& self, bool bars) { self.Send(sym::GetDisplayCols, bars); }

bool ScrollsOnly(long long style) { return style == 0 || style == 5 || style == 6; }

bool HScrollRefused(Object& self) { return Get(self, sym::lHScroll).IsFalse(); }

}  // namespace

Value GoLeft(Object& self, Args a) {
  bool scroll = a.Get(0).AsBool();
  const bool redraw = a.Has(1) ? a.Get(1).AsBool() : true;
  if (ScrollsOnly(Style(self))) scroll = true;
  const long long sel = Int(self, sym::nColSel), offset = Int(self, sym::nColOffset);
  if ((!scroll && sel > 1 && PosFullyVisible(self, sel - 1)) || (offset == 1 && sel > 1)) {
    Put(self, sym::set::nColSel, sel - 1);
    if (redraw) Highlight(self);
  } else if (offset > 1) {
    Put(self, sym::set::nColOffset, offset - 1);
    Rebuild(self, true);
    if (redraw) Repaint(self);
  }
  MapHBar(self);
  Changed(self, false);
  return {};
}

Value GoRight(Object& self, Args a) {
  const long long style = Style(self);
  if (HScrollRefused(self) && (style == 5 || style == 6)) return {};
  bool scroll = a.Get(0).AsBool();
  const bool redraw = a.Has(1) ? a.Get(1).AsBool() : true;
  if (ScrollsOnly(style)) scroll = true;
  const long long n = VisibleCount(self), f = Int(self, sym::GetFreeze);
  const long long sel = Int(self, sym::nColSel);
  if (!scroll && sel < self.Send(sym::LastDisplayPos, f == 0).AsInt() && sel < DisplayCount(self)) {
    Put(self, sym::set::nColSel, sel + 1);
    if (redraw) Highlight(self);
  } else if (Int(self, sym::nColOffset) < n - f) {
    if (!self.Send(sym::LastColVisible).AsBool()) {
      const Value kept = ColAt(self, sel);
      Put(self, sym::set::nColOffset, std::min(Int(self, sym::nColOffset) + 1, n - f));
      Rebuild(self, false);
      // A wide column is brought wholly into view, one column at a time.
      for (int guard = 0; guard < 10000; ++guard) {
        const long long at = self.Send(sym::ColPos, kept).AsInt();
        if (!kept.IsObject() || at <= 1 || PosFullyVisible(self, at) || Int(self, sym::nColOffset) >= n - f) break;
        Put(self, sym::set::nColOffset, Int(self, sym::nColOffset) + 1);
        Put(self, sym::set::nColSel, std::max<long long>(Int(self, sym::nColSel) - 1, 1));
        Rebuild(self, false);
      }
      self.Send(sym::UpdateDisplayCols);
      if (redraw) Repaint(self);
    } else if (style < 5 && sel < self.Send(sym::LastDisplayPos, false).AsInt()) {
      Put(self, sym::set::nColSel, sel + 1);
      if (redraw) Highlight(self);
    }
  }
  MapHBar(self);
  Changed(self, false);
  return {};
}

Value GoLeftMost(Object& self, Args) {
  Put(self, sym::set::nColSel, 1);
  Put(self, sym::set::nColOffset, 1);
  Rebuild(self, true);
  Repaint(self);
  MapHBar(self);
  Changed(self, false);
  return {};
}

// GoRightMost(): the last visible column selected (in the whole-row
// styles, scrolled into view).
Value GoRightMost(Object& self, Args) {
  const long long style = Style(self);
  if (HScrollRefused(self) && (style == 5 || style == 6)) return {};
  long long p = VisibleCount(self);
  if (p == 0) return {};
  if (style == 5 || style == 6) {
    const long long f = Int(self, sym::GetFreeze);
    long long off = 1;
    for (; off < std::max<long long>(p - f, 1); ++off) {
      Put(self, sym::set::nColOffset, off);
      Rebuild(self, false);
      if (PosFullyVisible(self, DisplayCount(self)) && self.Send(sym::LastColVisible).AsBool()) break;
    }
    p = off;
  }
  return self.Send(sym::SelectCol, p);
}

// GoHPos(nPixel): the column under a position of the horizontal bar.
Value GoHPos(Object& self, Args a) {
  long long x = a.Get(0).AsInt();
  if (Style(self) < 4) {
    const SCROLLINFO si = Info(self, SB_HORZ, SIF_POS | SIF_PAGE);
    if (x > si.nPos) x += si.nPage;
  }
  long long sum = 0, index = 0;
  const long long n = VisibleCount(self);
  for (const Value& c : Cols(self)) {
    if (!Get(c, sym::FlVisible).AsBool()) continue;
    ++index;
    sum += Get(c, sym::FnWidth).AsInt();
    if (sum >= x) break;
  }
  if (n > 0) self.Send(sym::SelectCol, std::clamp<long long>(index, 1, n));
  return {};
}

// SelectCol(n): the n-th visible column selected, scrolled into view.
Value SelectCol(Object& self, Args a) {
  const long long n = a.Get(0).AsInt(), count = VisibleCount(self), f = Int(self, sym::GetFreeze);
  if (n < 1 || n > count) return {};
  const auto posOf = [&]() { return n <= f ? n : n - Int(self, sym::nColOffset) + 1; };
  if (Style(self) < 5) {
    long long pos = posOf();
    if (pos >= 1 && pos <= DisplayCount(self) && PosFullyVisible(self, pos)) {
      Put(self, sym::set::nColSel, pos);
      Highlight(self);
    } else {
      for (int guard = 0; guard < 10000; ++guard) {
        pos = posOf();
        if (pos >= 1 && pos <= DisplayCount(self) && (PosFullyVisible(self, pos) || pos == f + 1)) break;
        const long long off = Int(self, sym::nColOffset) + (pos > 1 ? 1 : -1);
        if (off < 1 || off > std::max<long long>(count - f, 1)) break;
        Put(self, sym::set::nColOffset, off);
        Rebuild(self, false);
      }
      Put(self, sym::set::nColSel, std::clamp<long long>(posOf(), 1, std::max<long long>(DisplayCount(self), 1)));
      Rebuild(self, true);
      Repaint(self);
    }
  } else {
    Put(self, sym::set::nColOffset, std::clamp<long long>(n, 1, std::max<long long>(count - f, 1)));
    Rebuild(self, true);
    Repaint(self);
  }
  MapHBar(self);
  Changed(self, false);
  return {};
}

// ------------------------------------------------------------ hit tests

Value MouseRowPos(Object& self, Args a) {
  const long long y = a.Get(0).AsInt(), first = HeaderH(self), pitch = Int(self, sym::nIntRowHeight);
  if (y <= first || pitch <= 0) return 0;
  const long long row = (y - first) / pitch + 1;
  return row > Int(self, sym::nDataRows) ? 0 : row;
}

Value MouseColPos(Object& self, Args a) {
  const long long x = a.Get(0).AsInt();
  if (x < FirstColX(self) || DisplayCount(self) == 0) return -1;
  const long long last = self.Send(sym::LastDisplayPos).AsInt();
  for (long long p = 1; p <= last; ++p) {
    const Value c = ColAt(self, p);
    if (x > FirstColX(self) && Get(c, sym::nDisplayCol).AsInt() + Get(c, sym::FnWidth).AsInt() > x) return p;
  }
  return 0;
}

namespace {

bool Ctrl(int keys) { return (keys & MK_CONTROL) != 0; }
bool Shift(int keys) { return (keys & MK_SHIFT) != 0; }

bool Selected(Object& self, const Value& mark) {
  const Value list = Get(self, sym::aSelected);
  if (!list.IsList()) return false;
  for (const Value& v : list.AsList().items)
    if (v == mark) return true;
  return false;
}

// The row and column selection of a left press at (x, y); `modes` adds the
// multi-row selection of style 6 (keys as in the mouse message).
void SelectAt(Object& self, int x, int y, int keys, bool change, bool modes) {
  const long long row = self.Send(sym::MouseRowPos, y).AsInt();
  const long long col = self.Send(sym::MouseColPos, x).AsInt();
  if (row <= 0 && col == 0) return;
  Unhighlight(self);
  const long long style = Style(self);
  if (row > 0 && row != Int(self, sym::nRowSel)) {
    const long long moved = SkipBy(self, row - Int(self, sym::nRowSel));
    Put(self, sym::set::nKeyNo, Int(self, sym::nKeyNo) + moved);
    Put(self, sym::set::nRowSel, std::max<long long>(Int(self, sym::nRowSel) + moved, 1));
    if (change) Changed(self, true);
  }
  if (modes && style == 6 && !Ctrl(keys) && !Shift(keys) && !Selected(self, self.Send(sym::BookMark))) self.Send(sym::Select, 0);
  if (col > 0 && style < 5 && col != Int(self, sym::nColSel)) {
    Put(self, sym::set::nColSel, col);
    if (change) Changed(self, false);
  }
  if (modes && style == 6) self.Send(sym::Select, Ctrl(keys) ? 2 : Shift(keys) ? 3 : 1);
  Highlight(self);
  VPos(self, Int(self, sym::nKeyNo));
  MapHBar(self);
}

// The focus taken by a press: editing ends and the seek text is cleared
// when it was.
void TakeFocus(Object& self) {
  self.Send(sym::SetFocus);
  if (self.Send(sym::HasFocus).AsBool()) Prepare(self);
}

}  // namespace

Value SelectCellFromPoint(Object& self, Args a) {
  const int x = static_cast<int>(a.Get(0).AsInt()), y = static_cast<int>(a.Get(1).AsInt());
  const long long row = self.Send(sym::MouseRowPos, y).AsInt();
  const long long col = self.Send(sym::MouseColPos, x).AsInt();
  SelectAt(self, x, y, 0, true, false);
  return row > 0 && col > 0;
}

// ------------------------------------------------------------ row sizing

namespace {
// One grid at a time can be row-sized (it holds the mouse capture): the
// row whose lower border is dragged and the y of the line last drawn.
long long g_sizedRow = 0;
int g_lineY = 0;

void Band(Object& self, int y) {
  const HWND h = ObjectHwnd(self);
  if (!h) return;
  HDC dc = GetDC(h);
  RECT r{0, y - 1, static_cast<LONG>(ClientWidth(self)), y + 1};
  InvertRect(dc, &r);
  ReleaseDC(h, dc);
}

HCURSOR SizingCursor() { return LoadCursor(nullptr, IDC_SIZENS); }

bool RowBorderAt(Object& self, int y, long long& row) {
  if (!RecSel(self).IsObject() || !Get(self, sym::lAllowRowSizing).AsBool() || Int(self, sym::FnRowDividerStyle) == 0)
    return false;
  const long long pitch = Int(self, sym::nIntRowHeight), first = HeaderH(self);
  for (long long k = 1; k <= Int(self, sym::nDataRows); ++k) {
    if (std::llabs(y - (k * pitch + first)) <= 1) {
      row = k;
      return true;
    }
  }
  return false;
}
}  // namespace

// HorzLine(y, nAction, nRow): 1 starts sizing nRow, 3 tracks, 2 ends.
Value HorzLine(Object& self, Args a) {
  const int y = static_cast<int>(a.Get(0).AsInt());
  const long long action = a.Get(1).AsInt();
  const long long pitch = Int(self, sym::nIntRowHeight);
  if (action == 1) {
    g_sizedRow = std::max<long long>(a.Get(2).AsInt(), 1);
    if (HWND h = ObjectHwnd(self)) SetCapture(h);
    Put(self, sym::set::lCaptured, true);
    Band(self, y);
    g_lineY = y;
    SetCursor(SizingCursor());
    return {};
  }
  const long long top = HeaderH(self) + (g_sizedRow - 1) * pitch;
  if (action == 3) {
    SetCursor(SizingCursor());
    if (y > top + 20 && y < self.Send(sym::BrwHeight).AsInt() - 20) {
      Band(self, g_lineY);
      Band(self, y);
      g_lineY = y;
    }
    return {};
  }
  if (action == 2) {
    Band(self, g_lineY);
    Put(self, sym::set::lCaptured, false);
    if (std::llabs(y - (top + pitch)) > 2) {
      long long height = std::min<long long>(y - top, self.Send(sym::BrwHeight).AsInt() - top - 20);
      height = std::max<long long>(height, 20);
      if (height != pitch) {
        const Value ref = Value::Ref(height);
        if (!self.Send(sym::OnChangeHeight, ref, pitch).IsTrue()) {
          self.Send(sym::SetRowHeight, std::max<long long>(ref.Deref().AsInt(), 20));
          Repaint(self);
        }
      }
    }
  }
  return {};
}

// ------------------------------------------------------------ the mouse

Value WMLButtonDown(Object& self, const MouseMsg& m) {
  TakeFocus(self);
  if (DisplayCount(self) == 0) {
    Put(self, sym::set::nClickedCol, -2);
    return SuperHandler(self, sym::WMLButtonDown, m);
  }
  const long long col = self.Send(sym::MouseColPos, m.x).AsInt();
  Put(self, sym::set::nClickedCol, col);
  long long border = 0;
  if (col == -1 && RowBorderAt(self, m.y, border)) {
    self.Send(sym::HorzLine, m.y, 1, border);
    return 0;
  }
  if (col == 0 && Style(self) < 4) return SuperHandler(self, sym::WMLButtonDown, m);
  SelectAt(self, m.x, m.y, m.keys, true, true);
  if (!ObjectHwnd(self)) return 0;
  return SuperHandler(self, sym::WMLButtonDown, m);
}

// A button-up that ends a press made here (and no drag) is the grid's
// click.
Value WMLButtonUp(Object& self, const MouseMsg& m) {
  if (Get(self, sym::lCaptured).AsBool()) {
    ReleaseCapture();
    self.Send(sym::HorzLine, m.y, 2);
    return 0;
  }
  const bool pressed = Int(self, sym::nOnDrag) == 1;
  Value r = SuperHandler(self, sym::WMLButtonUp, m);
  if (pressed && ObjectHwnd(self)) self.Send(sym::Click, m.keys, m.x, m.y);
  return r;
}

// Click(nKeys, x, y): the selector's OnClick, the column's OnDataClick, or
// the grid's OnClick.
Value Click(Object& self, Args a) {
  if (Int(self, sym::nEditMode) != 0) return {};
  const int keys = static_cast<int>(a.Get(0).AsInt());
  const Value x = a.Get(1), y = a.Get(2);
  if (Int(self, sym::nOnDrag) == 0 && Style(self) == 6 && !Ctrl(keys) && !Shift(keys) &&
      self.Send(sym::MouseRowPos, y).AsInt() == Int(self, sym::nRowSel)) {
    self.Send(sym::Select, 0);
    self.Send(sym::Select, 1);
  }
  const long long col = self.Send(sym::MouseColPos, x).AsInt(), clicked = Int(self, sym::nClickedCol);
  if (col != clicked || clicked == -2) return self.Send(sym::OnClick, keys, x, y);
  Value r;
  if (col == -1) {
    const Value rs = RecSel(self);
    if (rs.IsObject()) r = rs.Send(sym::OnClick, keys, x, y);
  } else if (col > 0) {
    const Value c = ColAt(self, col);
    if (c.IsObject()) r = c.Send(sym::OnDataClick, keys, x, y);
  }
  if (r.IsNil() && ObjectHwnd(self)) r = self.Send(sym::OnClick, keys, x, y);
  return r;
}

Value QVClick(Object& self, Args a) { return self.Send(sym::Click, a.Get(0), a.Get(1), a.Get(2)); }

Value WMLButtonDblClk(Object& self, const MouseMsg& m) {
  TakeFocus(self);
  if (DisplayCount(self) == 0) return SuperHandler(self, sym::WMLButtonDblClk, m);
  const long long row = self.Send(sym::MouseRowPos, m.y).AsInt();
  const long long col = self.Send(sym::MouseColPos, m.x).AsInt();
  const bool edit = Get(self, sym::lAllowEdit).AsBool();
  Value r;
  if (row > 0 && col > 0) {
    const Value c = ColAt(self, col);
    const long long style = Style(self);
    if (edit && (style == 5 || style == 6) && self.Send(sym::Edit, true).AsBool()) return 0;
    if (edit && c.IsObject() && Get(c, sym::FnEditType).AsInt() > 0 && c.Send(sym::Edit, 0).AsBool()) return 0;
    if (c.IsObject()) r = c.Send(sym::OnDataDblClick, m.keys, m.x, m.y);
  } else if (row > 0 && col == -1) {
    const Value rs = RecSel(self);
    if (rs.IsObject()) r = rs.Send(sym::OnDblClick, m.keys, m.x, m.y);
  }
  // The handlers may have replaced the data or destroyed the grid.
  if (r.IsNil() && ObjectHwnd(self)) r = self.Send(sym::OnDblClick, m.keys, m.x, m.y);
  return r.IsNil() ? Value(0) : r;
}

Value WMRButtonDown(Object& self, const MouseMsg& m) {
  TakeFocus(self);
  Put(self, sym::set::nClickedCol, self.Send(sym::MouseColPos, m.x).AsInt() != 0 ? -2 : 0);
  return SuperHandler(self, sym::WMRButtonDown, m);
}

Value WMRButtonUp(Object& self, const MouseMsg& m) {
  if (Int(self, sym::nClickedCol) == 0) return SuperHandler(self, sym::WMRButtonUp, m);
  const long long row = self.Send(sym::MouseRowPos, m.y).AsInt();
  const long long col = self.Send(sym::MouseColPos, m.x).AsInt();
  Value r;
  if (row > 0 && col > 0) {
    const Value c = ColAt(self, col);
    if (c.IsObject()) r = c.Send(sym::OnDataRClick, m.keys, m.x, m.y);
  } else if (row > 0 && col == -1) {
    const Value rs = RecSel(self);
    if (rs.IsObject()) r = rs.Send(sym::OnRClick, m.keys, m.x, m.y);
  }
  if (r.IsNil() && ObjectHwnd(self)) self.Send(sym::OnRClick, m.keys, m.x, m.y);
  Put(self, sym::set::nClickedCol, 0);
  if (!ObjectHwnd(self)) return 0;
  return SuperHandler(self, sym::WMRButtonUp, m);
}

// One row per wheel message; with the middle button held, one page.
Value WMMouseWheel(Object& self, const WinMsg& m) {
  if (DisplayCount(self) == 0) return {};
  self.Send(sym::CancelEdit);
  const int delta = static_cast<short>(HIWORD(m.wParam));
  const bool page = (LOWORD(m.wParam) & MK_MBUTTON) != 0;
  if (delta > 0 && page) self.Send(sym::GoPageUp);
  else if (delta > 0) self.Send(sym::GoUp);
  else if (delta < 0 && page) self.Send(sym::GoPageDown);
  else if (delta < 0) self.Send(sym::GoDown, false);
  return 0;
}

Value WMMouseMove(Object& self, const MouseMsg& m) {
  if (Get(self, sym::lCaptured).AsBool()) {
    self.Send(sym::HorzLine, m.y, 3);
    return 0;
  }
  long long border = 0;
  if (DisplayCount(self) > 0 && self.Send(sym::MouseColPos, m.x).AsInt() == -1 && RowBorderAt(self, m.y, border)) {
    SetCursor(SizingCursor());
    return 0;
  }
  return SuperHandler(self, sym::WMMouseMove, m);
}

// A capture lost while sizing a row (another window took it) ends the
// sizing without a change.
Value WMCaptureChanged(Object& self, const WinMsg& m) {
  if (Get(self, sym::lCaptured).AsBool() && reinterpret_cast<HWND>(m.lParam) != m.hwnd) {
    Band(self, g_lineY);
    Put(self, sym::set::lCaptured, false);
  }
  return SuperHandler(self, sym::WMCaptureChanged, m);
}

// ------------------------------------------------------------ the keyboard

namespace {

// Whether the record next to the current one (dir -1 above, +1 below) is
// in the multi-row selection.
bool NeighbourSelected(Object& self, long long dir) {
  const Value here = self.Send(sym::BookMark);
  if (SkipBy(self, dir) == 0) return false;
  const bool yes = Selected(self, self.Send(sym::BookMark));
  self.Send(sym::BookMark, here);
  return yes;
}

void VerticalKey(Object& self, long long dir, bool shift) {
  if (!shift || Style(self) != 6) self.Send(sym::Select, 0);
  else if (NeighbourSelected(self, dir)) self.Send(sym::Select, 2);
  if (dir < 0) self.Send(sym::GoUp);
  else self.Send(sym::GoDown, true);
  if (ObjectHwnd(self)) self.Send(sym::Select, 1);
}

void Around(Object& self, Symbol move) {
  self.Send(sym::Select, 0);
  self.Send(move);
  self.Send(sym::Select, 1);
}

bool Editable(const Value& c) { return c.IsObject() && Get(c, sym::FnEditType).AsInt() > 0; }

}  // namespace

Value WMKeyDown(Object& self, const KeyMsg& m) {
  if (DisplayCount(self) == 0) return SuperHandler(self, sym::WMKeyDown, m);
  const Value first = self.Send(sym::OnKeyDown, m.key, m.flags);
  if (!first.IsNil()) return first;
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  switch (m.key) {
    case VK_UP: VerticalKey(self, -1, shift); return 0;
    case VK_DOWN: VerticalKey(self, 1, shift); return 0;
    case VK_LEFT: self.Send(ctrl ? sym::GoLeftMost : sym::GoLeft); return 0;
    case VK_RIGHT: self.Send(ctrl ? sym::GoRightMost : sym::GoRight); return 0;
    case VK_HOME: Around(self, sym::GoTop); return 0;
    case VK_END: Around(self, sym::GoBottom); return 0;
    case VK_PRIOR: Around(self, ctrl ? sym::GoTop : sym::GoPageUp); return 0;
    case VK_NEXT: Around(self, ctrl ? sym::GoBottom : sym::GoPageDown); return 0;
    case VK_RETURN: {
      if (!Get(self, sym::lAllowEdit).AsBool()) break;
      if (Style(self) <= 3) {
        const Value c = ColAt(self, Int(self, sym::nColSel));
        if (!Editable(c)) break;
        const Value editor = Get(c, sym::oGridEdit);
        if (editor.IsObject() && ObjectHwnd(editor) && IsWindowVisible(ObjectHwnd(editor))) {
          PostMessageA(ObjectHwnd(editor), WM_KEYDOWN, VK_RETURN, 0);
          return 0;
        }
        if (c.Send(sym::Edit, VK_RETURN).AsBool()) return 0;
      } else if (self.Send(sym::Edit, true).AsBool()) {
        return 0;
      }
      break;
    }
    case VK_INSERT:
      if (!ctrl && !shift && self.Send(sym::Insert, true).AsBool()) return 0;
      break;
    case VK_DELETE:
      if (!ctrl && !shift && self.Send(sym::Delete, true).AsBool()) return 0;
      break;
    default: break;
  }
  return SuperHandler(self, sym::WMKeyDown, m);
}

bool IsSeekCharacter(unsigned char c) {
  static constexpr unsigned char kSpecial[] = {' ',  '.',  ':', ',', ';', '-',  '_', 0xBF, 0xA1, '\'', '?', '=',
                                               ')',  '(',  '/', '&', '%', '$',  '!', 0xBA, 0xAA, '*',  0xC7, 0xE7,
                                               0xA8, '{',  '}', '\\', '|', '@', '#', '[',  ']',  '+',  '<', '>'};
  if (IsCharAlphaNumericA(static_cast<CHAR>(c))) return true;
  return std::find(std::begin(kSpecial), std::end(kSpecial), c) != std::end(kSpecial);
}

Value WMChar(Object& self, const KeyMsg& m) {
  if (DisplayCount(self) == 0 || Int(self, sym::nEditMode) != 0) return SuperHandler(self, sym::WMChar, m);
  const int ch = m.key;
  if (ch == VK_ESCAPE) return 0;
  const std::string seek = Get(self, sym::cSeek).AsString();
  if (ch == VK_BACK) {
    if (seek.empty()) return SuperHandler(self, sym::WMChar, m);
    self.Send(sym::Seek, seek.substr(0, seek.size() - 1));
    return 0;
  }
  if (ch > 0 && ch < 256 && IsSeekCharacter(static_cast<unsigned char>(ch))) {
    const Value c = ColAt(self, Int(self, sym::nColSel));
    if (Get(self, sym::lAllowEdit).AsBool() && Get(self, sym::lFastEdit).AsBool() && Style(self) <= 3 && Editable(c) &&
        c.Send(sym::Edit, ch).AsBool())
      return 0;
    if (ch > 31 && EventAssigned(self, "OnSeek")) {
      self.Send(sym::Seek, seek + static_cast<char>(ch));
      return 0;
    }
  }
  return SuperHandler(self, sym::WMChar, m);
}

// The grid takes arrows and characters itself.
Value WMGetDlgCode(Object&, const WinMsg&) { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

// ------------------------------------------------------------ scroll messages

Value WMVScroll(Object& self, const WinMsg& m) {
  if (m.lParam != 0) return {};  // from a scroll-bar control, not the grid's own bar
  self.Send(sym::SetFocus);
  switch (LOWORD(m.wParam)) {
    case SB_LINEUP: self.Send(sym::GoUp); break;
    case SB_LINEDOWN: self.Send(sym::GoDown, false); break;
    case SB_PAGEUP: self.Send(sym::GoPageUp); break;
    case SB_PAGEDOWN: self.Send(sym::GoPageDown); break;
    case SB_THUMBPOSITION: {
      const SCROLLINFO si = Info(self, SB_VERT, SIF_RANGE | SIF_TRACKPOS);
      if (si.nTrackPos <= si.nMin) self.Send(sym::GoTop);
      else if (si.nTrackPos >= si.nMax) self.Send(sym::GoBottom);
      else self.Send(sym::GoTo, VerticalBarKey(self, si.nTrackPos));
      break;
    }
    default: break;
  }
  return 0;
}

Value WMHScroll(Object& self, const WinMsg& m) {
  if (m.lParam != 0) return {};
  self.Send(sym::SetFocus);
  switch (LOWORD(m.wParam)) {
    case SB_LINELEFT: self.Send(sym::GoLeft); break;
    case SB_LINERIGHT: self.Send(sym::GoRight); break;
    case SB_PAGELEFT: self.Send(sym::GoLeft, true); break;
    case SB_PAGERIGHT: self.Send(sym::GoRight, true); break;
    case SB_THUMBPOSITION: self.Send(sym::GoHPos, Info(self, SB_HORZ, SIF_TRACKPOS).nTrackPos); break;
    default: break;
  }
  return 0;
}

// ------------------------------------------------------------ focus

namespace {
void FocusRedraw(Object& self, HWND other) {
  const HWND h = ObjectHwnd(self);
  if (!h || (other && IsChild(h, other)) || !IsWindowVisible(h)) return;
  Highlight(self);
}
}  // namespace

Value WMSetFocus(Object& self, const FocusMsg& m) {
  Value r = SuperHandler(self, sym::WMSetFocus, m);
  FocusRedraw(self, m.other);
  return r;
}

Value WMKillFocus(Object& self, const FocusMsg& m) {
  Value r = SuperHandler(self, sym::WMKillFocus, m);
  FocusRedraw(self, m.other);
  return r;
}

}  // namespace zv::brw
