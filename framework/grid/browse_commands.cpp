// The grid's operations above navigation: the multi-row selection of the
// marquee style 6, the incremental seek, the column list (adding,
// inserting, deleting, swapping, moving; the header bar's drags and
// tracks), the column layout saved and restored as a text, and the
// commands that start and end editing, appending and inserting.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/environment.h"
#include "framework/grid/browse.h"
#include "framework/grid/browse_internal.h"
#include "framework/grid/column.h"
#include "framework/grid/layout_state.h"

namespace zv::brw {

namespace {

void Repaint(Object& self) {
  if (HWND h = ObjectHwnd(self); h && Get(self, sym::FlRedraw).AsBool()) InvalidateRect(h, nullptr, FALSE);
}

Value SelectedList(Object& self) {
  Value list = Get(self, sym::aSelected);
  if (!list.IsList()) {
    list = Value::List({});
    Put(self, sym::set::aSelected, list);
  }
  return list;
}

std::vector<Value>::iterator Find(std::vector<Value>& items, const Value& mark) {
  return std::find_if(items.begin(), items.end(), [&](const Value& v) { return v == mark; });
}

class WaitCursorScope {
 public:
  WaitCursorScope() : previous_(SetCursor(WaitCursor())) {}
  ~WaitCursorScope() { SetCursor(previous_ ? previous_ : LoadCursor(nullptr, IDC_ARROW)); }
  WaitCursorScope(const WaitCursorScope&) = delete;
  WaitCursorScope& operator=(const WaitCursorScope&) = delete;

 private:
  HCURSOR previous_;
};

}  // namespace

// ------------------------------------------------------------ selection

// Select(nMode = 1): 0 clears, 1 adds the current record, 2 toggles it,
// 3 adds the range from the anchor (the last record added) to it, 4 adds
// every record. Only in the marquee style 6; the list holds bookmarks.
Value Select(Object& self, Args a) {
  if (Int(self, sym::nMarqueeStyle) != 6) return {};
  long long mode = a.Has(0) ? a.Get(0).AsInt() : 1;
  const Value list = SelectedList(self);
  std::vector<Value>& items = list.AsList().items;
  if (mode != 0 && mode != 4 && items.empty()) mode = 1;
  const Value mark = self.Send(sym::BookMark);
  switch (mode) {
    case 0: {
      const bool onlyCurrent = items.size() == 1 && items.front() == mark;
      const bool wasEmpty = items.empty();
      items.clear();
      if (!onlyCurrent && !wasEmpty) Repaint(self);
      break;
    }
    case 2: {
      auto it = Find(items, mark);
      if (it != items.end()) {
        *it = items.back();
        items.pop_back();
      } else {
        items.push_back(mark);
      }
      self.Send(sym::DrawLine, Value(), true);
      break;
    }
    case 3: {
      const Value anchor = items.back();
      const long long keep = Int(self, sym::nKeyNo);
      self.Send(sym::BookMark, anchor);
      const long long from = self.Send(sym::KeyNo).AsInt();
      self.Send(sym::BookMark, mark);
      const long long to = self.Send(sym::KeyNo).AsInt();
      if (from != to) {
        WaitCursorScope wait;
        items.assign(1, anchor);
        self.Send(sym::BookMark, anchor);
        const long long dir = to > from ? 1 : -1;
        while (self.Send(sym::Skip, dir).AsInt() != 0) {
          const Value here = self.Send(sym::BookMark);
          if (Find(items, here) == items.end()) items.push_back(here);
          if (here == mark) break;
        }
        if (Find(items, mark) == items.end()) items.push_back(mark);
        self.Send(sym::BookMark, mark);
        Repaint(self);
      } else {
        self.Send(sym::BookMark, mark);
      }
      Put(self, sym::set::nKeyNo, keep);
      break;
    }
    case 4: {
      WaitCursorScope wait;
      const long long count = self.Send(sym::KeyCount).AsInt();
      items.clear();
      items.reserve(static_cast<std::size_t>(std::max<long long>(count, 0)));
      self.Send(sym::MoveTop);
      for (long long i = 0; i < count; ++i) {
        items.push_back(self.Send(sym::BookMark));
        if (self.Send(sym::Skip, 1).AsInt() == 0) break;
      }
      self.Send(sym::BookMark, mark);
      Repaint(self);
      break;
    }
    default: {
      if (Find(items, mark) == items.end()) items.push_back(mark);
      self.Send(sym::DrawLine, Value(), true);
      break;
    }
  }
  return {};
}

Value SelectAll(Object& self, Args) { return self.Send(sym::Select, 4); }
Value SelectNone(Object& self, Args) { return self.Send(sym::Select, 0); }

// ------------------------------------------------------------ seek

namespace {
void Echo(Object& self, const std::string& text) {
  const Value echo = Get(self, sym::oSeek);
  if (echo.IsObject() && Has(echo, sym::cText)) Put(echo, sym::set::cText, text);
}
}  // namespace

// Seek(cText): OnSeek finds the record for the text typed so far; absent
// text clears it.
Value Seek(Object& self, Args a) {
  if (!EventAssigned(self, "OnSeek")) return {};
  if (!a.Has(0)) {
    if (!Get(self, sym::cSeek).AsString().empty()) {
      Put(self, sym::set::cSeek, std::string());
      Echo(self, std::string());
    }
    return {};
  }
  const std::string text = a.Get(0).AsString();
  const Value mark = self.Send(sym::BookMark);
  if (self.Send(sym::OnSeek, text).IsFalse()) {
    self.Send(sym::BookMark, mark);
    MessageBeep(MB_OK);
    return false;
  }
  Put(self, sym::set::cSeek, text);
  Echo(self, text);
  const Value found = self.Send(sym::BookMark);
  self.Send(sym::BookMark, mark);
  self.Send(sym::Skip, 1 - Int(self, sym::nRowSel));
  long long at = 0;
  for (long long row = 1; row <= Int(self, sym::nDataRows); ++row) {
    if (self.Send(sym::BookMark) == found) {
      at = row;
      break;
    }
    if (self.Send(sym::Skip, 1).AsInt() == 0) break;
  }
  if (at > 0) {
    self.Send(sym::BookMark, mark);
    self.Send(sym::DrawLine);
    Put(self, sym::set::nRowSel, at);
    self.Send(sym::BookMark, found);
    self.Send(sym::OnChange, true);
    self.Send(sym::DrawLine, Value(), true);
  } else {
    self.Send(sym::BookMark, found);
    self.Send(sym::OnChange, true);
    Repaint(self);
  }
  self.Send(sym::KeyNo);
  if (HasStyleBit(self, WS_VSCROLL)) SetVerticalBarPos(self, Int(self, sym::nKeyNo));
  return true;
}

// ------------------------------------------------------------ the column list

namespace {

bool IsColumn(const Value& c) { return c.IsObject() && Has(c, sym::PaintData); }

Value NewColumn(Object& self) { return NewObject(TBrwColumnClass(), Value(&self)); }

// A column given as itself or by its nIndex; its 0-based place in aCols.
long long PlaceOf(Object& self, const Value& x) {
  const std::vector<Value> cols = Cols(self);
  for (std::size_t i = 0; i < cols.size(); ++i) {
    if (x.IsObject() ? cols[i].AsObject() == x.AsObject() : Get(cols[i], sym::nIndex).AsInt() == x.AsInt())
      return static_cast<long long>(i);
  }
  return -1;
}

std::vector<Value>& ColItems(Object& self) {
  Value cols = Get(self, sym::aCols);
  if (!cols.IsList()) {
    cols = Value::List({});
    Put(self, sym::set::aCols, cols);
  }
  return cols.AsList().items;
}

void Rebuilt(Object& self, bool refresh, bool reset) {
  if (!ObjectHwnd(self) || !refresh) return;
  self.Send(sym::GetDisplayCols);
  self.Send(sym::Refresh, reset);
}

void Joined(Object& self, const Value& col) {
  if (Get(col, sym::oParent).AsObject() != &self) Put(col, sym::set::oParent, Value(&self));
  if (!Get(col, sym::lCreated).AsBool()) col.Send(sym::Create, Value(&self), false);
  self.Send(sym::OnNewItem, col);
  if (ObjectHwnd(self)) {
    col.Send(sym::Adjust);
    if (Int(self, sym::FnRowHeight) == 0) Put(self, sym::set::nIntRowHeight, ComputedPitch(self, true));
  }
}

}  // namespace

// AddCol(oColumn, lRefresh = false) -> the column (a new TBrwColumn when
// none is given); a column already in the list is returned as it is.
Value AddCol(Object& self, Args a) {
  Value col = a.Get(0);
  if (col.IsNil()) col = NewColumn(self);
  if (!IsColumn(col)) return false;
  if (Get(col, sym::nIndex).AsInt() != 0 && PlaceOf(self, col) >= 0) return col;
  std::vector<Value>& items = ColItems(self);
  long long next = 0;
  for (const Value& c : items) next = std::max<long long>(next, Get(c, sym::nIndex).AsInt());
  Put(col, sym::set::nIndex, next + 1);
  items.push_back(col);
  Joined(self, col);
  Rebuilt(self, a.Get(1).AsBool(), true);
  return col;
}

// InsCol(nAt, oColumn, lRefresh = true): the column at place nAt; the
// following columns' indexes move up by one.
Value InsCol(Object& self, Args a) {
  const long long at = a.Get(0).AsInt();
  if (at <= 0) return {};
  std::vector<Value>& items = ColItems(self);
  if (at > static_cast<long long>(items.size())) {
    Value argv[] = {a.Get(1), a.Has(2) ? a.Get(2) : Value(true)};
    return SendUnchecked(Value(&self), Msg(sym::AddCol), Args(argv, 2));
  }
  Value col = a.Get(1);
  if (col.IsNil()) col = NewColumn(self);
  if (!IsColumn(col) || PlaceOf(self, col) >= 0) return false;
  for (const Value& c : items)
    if (Get(c, sym::nIndex).AsInt() >= at) Put(c, sym::set::nIndex, Get(c, sym::nIndex).AsInt() + 1);
  Put(col, sym::set::nIndex, at);
  items.insert(items.begin() + (at - 1), col);
  Joined(self, col);
  Rebuilt(self, !a.Has(2) || a.Get(2).AsBool(), true);
  return col;
}

// DelCol(xColumn, lRefresh = true): out of the list (the column object
// stays the grid's component); the following indexes move down.
Value DelCol(Object& self, Args a) {
  std::vector<Value>& items = ColItems(self);
  if (items.empty() || a.Get(0).IsNil()) return false;
  const long long place = PlaceOf(self, a.Get(0));
  if (place < 0) return false;
  const Value col = items[static_cast<std::size_t>(place)];
  const long long index = Get(col, sym::nIndex).AsInt();
  items.erase(items.begin() + place);
  for (const Value& c : items)
    if (Get(c, sym::nIndex).AsInt() > index) Put(c, sym::set::nIndex, Get(c, sym::nIndex).AsInt() - 1);
  Put(col, sym::set::nIndex, 0);
  Put(col, sym::set::nPos, 0);
  if (!ObjectHwnd(self) || (a.Has(1) && !a.Get(1).AsBool())) {
    self.Send(sym::GetDisplayCols, false);
  } else {
    Rebuilt(self, true, true);
  }
  return true;
}

// SwapCols(x1, x2, lRefresh = true): two columns above the frozen ones
// exchange places.
Value SwapCols(Object& self, Args a) {
  const long long p1 = PlaceOf(self, a.Get(0)), p2 = PlaceOf(self, a.Get(1));
  if (p1 < 0 || p2 < 0 || p1 == p2) return false;
  std::vector<Value>& items = ColItems(self);
  const long long freeze = Int(self, sym::GetFreeze);
  if (p1 + 1 <= freeze || p2 + 1 <= freeze) return false;
  const Value c1 = items[static_cast<std::size_t>(p1)], c2 = items[static_cast<std::size_t>(p2)];
  std::swap(items[static_cast<std::size_t>(p1)], items[static_cast<std::size_t>(p2)]);
  const Value pos1 = Get(c1, sym::nPos), pos2 = Get(c2, sym::nPos);
  Put(c1, sym::set::nPos, pos2);
  Put(c2, sym::set::nPos, pos1);
  if (!a.Has(2) || a.Get(2).AsBool()) Rebuilt(self, true, false);
  return true;
}

// MoveCol(xColumn, nNewPos, lRefresh = true): a column (or the one at a
// display position) moved to where the column displayed at nNewPos is.
Value MoveCol(Object& self, Args a) {
  const Value x = a.Get(0);
  const Value col = x.IsObject() ? x : ColAt(self, x.AsInt());
  const long long from = col.IsObject() ? self.Send(sym::ColPos, col).AsInt() : 0;
  const long long to = a.Get(1).AsInt();
  const long long freeze = Int(self, sym::GetFreeze);
  if (from <= 0 || to <= 0 || from == to || from <= freeze || to <= freeze) return false;
  const Value target = ColAt(self, to);
  if (!target.IsObject()) return false;
  std::vector<Value>& items = ColItems(self);
  const long long place = PlaceOf(self, col);
  if (place < 0) return false;
  items.erase(items.begin() + place);
  const long long dest = PlaceOf(self, target);
  items.insert(items.begin() + (from < to ? dest + 1 : dest), col);
  if (!a.Has(2) || a.Get(2).AsBool()) Rebuilt(self, true, false);
  return true;
}

namespace {
long long ItemToPos(Object& self, long long item) { return RecSel(self).IsObject() ? item - 1 : item; }
}  // namespace

// The header bar's item drag ended: the grid moves the column itself.
Value ColDrag(Object& self, Args a) {
  self.Send(sym::CancelEdit);
  const Value bar = a.Get(0);
  if (bar.IsObject() && Has(bar, sym::lCancelDrag)) Put(bar, sym::set::lCancelDrag, true);
  if (!a.Has(1) || !a.Has(2)) return false;
  const long long from = ItemToPos(self, a.Get(1).AsInt()), to = ItemToPos(self, a.Get(2).AsInt());
  if (from <= 0 || to <= 0) return false;
  self.Send(sym::MoveCol, ColAt(self, from), to);
  return true;
}

// The selector's item cannot be sized.
Value ColBegTrack(Object& self, Args a) {
  self.Send(sym::CancelEdit);
  const Value bar = a.Get(0);
  if (RecSel(self).IsObject() && a.Get(1).AsInt() <= 1 && bar.IsObject() && Has(bar, sym::lCancelTrack))
    Put(bar, sym::set::lCancelTrack, true);
  return {};
}

// A divider dragged to a new width: the column takes it (and its own
// rules), the bar does not keep its own.
Value ColTrack(Object& self, Args a) {
  self.Send(sym::CancelEdit);
  const Value bar = a.Get(0);
  const long long pos = ItemToPos(self, a.Get(1).AsInt());
  if (bar.IsObject() && Has(bar, sym::lCancelTrack)) Put(bar, sym::set::lCancelTrack, true);
  const Value col = ColAt(self, pos);
  if (col.IsObject()) Put(col, sym::set::nWidth, a.Get(2).AsInt());
  return {};
}

Value OrderOff(Object& self, Args) {
  for (const Value& c : Cols(self)) Put(c, sym::set::FnSort, 0);
  return {};
}

// Reset(): every column ended, the grid empty.
Value Reset(Object& self, Args) {
  const std::vector<Value> cols = Cols(self);
  Put(self, sym::set::aCols, Value::List({}));
  for (const Value& c : cols) c.Send(sym::End);
  Put(self, sym::set::nRowSel, 1);
  Put(self, sym::set::nColSel, 1);
  Put(self, sym::set::nColOffset, 1);
  Put(self, sym::set::nDataRows, 0);
  Put(self, sym::set::nKeyNo, 0);
  Put(self, sym::set::nLen, 0);
  self.Send(sym::GetDisplayCols, ObjectHwnd(self) != nullptr);
  return {};
}

// ------------------------------------------------------------ layout text

Value SaveState(Object& self, Args) {
  GridLayout layout;
  layout.rowHeight = Int(self, sym::FnRowHeight);
  for (const Value& c : Cols(self))
    layout.columns.push_back({Get(c, sym::nIndex).AsInt(), Get(c, sym::FnWidth).AsInt(), Get(c, sym::FlVisible).AsBool()});
  return LayoutToText(layout);
}

// RestoreState(cText): widths, visibility and order as saved. A text that
// cannot be read, or names a column the grid does not have, changes
// nothing; a text of fewer columns than the grid has sets those it names
// and keeps the order.
Value RestoreState(Object& self, Args a) {
  const std::string text = a.Get(0).AsString();
  const std::vector<Value> cols = Cols(self);
  if (text.empty() || cols.empty()) return false;
  const auto layout = LayoutFromText(text);
  if (!layout) return false;
  std::vector<Value> matched;
  for (const ColumnLayout& entry : layout->columns) {
    const auto it = std::find_if(cols.begin(), cols.end(), [&](const Value& c) { return Get(c, sym::nIndex).AsInt() == entry.index; });
    if (it == cols.end()) return false;
    matched.push_back(*it);
  }
  const Value redraw = Get(self, sym::FlRedraw);
  Put(self, sym::set::FlRedraw, false);
  self.Send(sym::SetRowHeight, layout->rowHeight);
  std::vector<Value> order;
  for (std::size_t i = 0; i < matched.size() && order.size() < cols.size(); ++i) {
    Put(matched[i], sym::set::FlVisible, layout->columns[i].visible);
    Put(matched[i], sym::set::nWidth, layout->columns[i].width);
    order.push_back(matched[i]);
  }
  Put(self, sym::set::FlRedraw, redraw);
  if (order.size() < cols.size()) return false;
  Put(self, sym::set::aCols, Value::List(std::move(order)));
  if (ObjectHwnd(self)) {
    self.Send(sym::GetDisplayCols);
    self.Send(sym::Refresh);
  }
  return true;
}

// ------------------------------------------------------------ edit commands

Value IsEditable(Object& self, Args) {
  for (const Value& c : Cols(self))
    if (Get(c, sym::FnEditType).AsInt() != 0) return true;
  return false;
}

Value IsMultipleEdit(Object& self, Args) { return Get(self, sym::lMultiEdit); }

namespace {
bool EditorOn(const Value& c) {
  const Value e = Get(c, sym::oGridEdit);
  return e.IsObject() && ObjectHwnd(e) && IsWindowVisible(ObjectHwnd(e));
}
bool EditorEnabled(const Value& c) {
  const Value e = Get(c, sym::oGridEdit);
  return Get(c, sym::FnEditType).AsInt() != 0 && e.IsObject() && ObjectHwnd(e) && IsWindowEnabled(ObjectHwnd(e));
}
void LeaveEditMode(Object& self) {
  Put(self, sym::set::lMultiEdit, false);
  Put(self, sym::set::nPhantomRow, 0);
  Put(self, sym::set::nEditMode, 0);
}
}  // namespace

// Edit(lUser): every displayed column's editor over the current row, the
// first one that can take the focus focused.
Value Edit(Object& self, Args a) {
  const bool user = a.Get(0).AsBool();
  long long mode = Int(self, sym::nEditMode);
  if (mode == 0 && self.Send(sym::OnEdit).IsFalse()) return false;
  if (user && !Get(self, sym::lAllowEdit).AsBool()) return false;
  if (!self.Send(sym::IsEditable).AsBool() || mode == 1) return false;
  if (mode == 0) {
    Put(self, sym::set::nEditMode, 1);
    Put(self, sym::set::nRowSel, std::max<long long>(std::min<long long>(Int(self, sym::nRowSel), Rows(self)), 1));
  }
  Put(self, sym::set::lMultiEdit, true);
  Value focused;
  for (long long p = 1; p <= DisplayCount(self); ++p) {
    const Value c = ColAt(self, p);
    if (!c.IsObject() || Get(c, sym::FnEditType).AsInt() == 0) continue;
    if (c.Send(sym::Edit, 0, true).AsBool() && !focused.IsObject() && self.Send(sym::IsColVisible, c, true).AsBool() &&
        EditorEnabled(c))
      focused = c;
  }
  if (focused.IsObject()) {
    Get(focused, sym::oGridEdit).Send(sym::SetFocus);
    return true;
  }
  const Value first = ColAt(self, 1);
  if (first.IsObject() && self.Send(sym::ChangeFocus, first, false).AsBool()) return true;
  for (const Value& c : Cols(self)) {
    const Value e = Get(c, sym::oGridEdit);
    if (EditorOn(c)) ShowWindow(ObjectHwnd(e), SW_HIDE);
  }
  LeaveEditMode(self);
  Repaint(self);
  return false;
}

// Append(lUser): a phantom row under the last record, edited.
Value Append(Object& self, Args a) {
  const bool user = a.Get(0).AsBool();
  if (self.Send(sym::OnAppend).IsFalse()) return false;
  if (user && !Get(self, sym::lAllowAppend).AsBool()) return false;
  if (Int(self, sym::nEditMode) != 0 || !self.Send(sym::IsEditable).AsBool()) return false;
  const long long rows = Rows(self), filled = Int(self, sym::nDataRows);
  if (filled < rows && Int(self, sym::nLen) <= rows) {
    const long long moved = self.Send(sym::Skip, filled - Int(self, sym::nRowSel)).AsInt();
    Put(self, sym::set::nKeyNo, Int(self, sym::nKeyNo) + moved);
    Put(self, sym::set::nRowSel, std::max<long long>(Int(self, sym::nRowSel) + moved, 1));
  } else {
    self.Send(sym::GoBottom);
  }
  self.Send(sym::DrawLine);
  Put(self, sym::set::nEditMode, 2);
  if (Int(self, sym::nRowSel) >= rows) Repaint(self);
  Put(self, sym::set::nPhantomRow, Int(self, sym::nLen) == 0 ? 1 : Int(self, sym::nRowSel) + 1);
  Value argv[] = {Value(false)};
  const bool started = SendUnchecked(Value(&self), Msg(sym::Edit), Args(argv, 1)).AsBool();
  Repaint(self);
  if (!started) {
    LeaveEditMode(self);
    return false;
  }
  return true;
}

// Insert(lUser): a phantom row at the selected row, edited.
Value Insert(Object& self, Args a) {
  const bool user = a.Get(0).AsBool();
  if (self.Send(sym::OnInsert).IsFalse()) return false;
  if (user && !Get(self, sym::lAllowInsert).AsBool()) return false;
  if (Int(self, sym::nEditMode) != 0 || !self.Send(sym::IsEditable).AsBool()) return false;
  self.Send(sym::DrawLine);
  Put(self, sym::set::nEditMode, 3);
  Put(self, sym::set::nPhantomRow, Int(self, sym::nRowSel));
  Repaint(self);
  Value argv[] = {Value(false)};
  if (!SendUnchecked(Value(&self), Msg(sym::Edit), Args(argv, 1)).AsBool()) {
    LeaveEditMode(self);
    Repaint(self);
    return false;
  }
  return true;
}

// A grid over an outside source cannot delete its records.
Value Delete(Object&, Args) { return false; }

// CancelEdit(@lCanceled = false, nKey = 0, lReset = true): the editors
// hide, each edited column ends its edit, the grid reads again.
Value CancelEdit(Object& self, Args a) {
  if (Int(self, sym::nEditMode) == 0) return false;
  const Value canceled = a.size() > 0 && !a.raw(0).IsNil() ? a.raw(0) : Value(false);
  const Value key = a.Has(1) ? a.Get(1) : Value(0);
  const bool reset = !a.Has(2) || a.Get(2).AsBool();
  for (const Value& c : Cols(self))
    if (EditorOn(c)) ShowWindow(ObjectHwnd(Get(c, sym::oGridEdit)), SW_HIDE);
  for (const Value& c : Cols(self)) {
    if (!Get(c, sym::lEdited).AsBool()) continue;
    c.Send(sym::PostEdit, canceled, key);
    if (reset) Put(c, sym::set::lEdited, false);
  }
  self.Send(sym::OnPostEdit, canceled, key);
  LeaveEditMode(self);
  Repaint(self);
  return true;
}

// ChangeFocus(oColumn, lBackward): the editor focus to the next (or
// previous) visible column with an enabled editor, wrapping round.
Value ChangeFocus(Object& self, Args a) {
  const std::vector<Value> cols = Cols(self);
  std::vector<Value> visible;
  for (const Value& c : cols)
    if (Get(c, sym::FlVisible).AsBool()) visible.push_back(c);
  if (visible.empty()) return false;
  const bool backward = a.Get(1).AsBool();
  std::size_t at = 0;
  for (std::size_t i = 0; i < visible.size(); ++i)
    if (visible[i].AsObject() == a.Get(0).AsObject()) at = i;
  bool scrolled = false;
  for (std::size_t step = 1; step <= visible.size(); ++step) {
    const std::size_t i = backward ? (at + visible.size() - step % visible.size()) % visible.size() : (at + step) % visible.size();
    const Value c = visible[i];
    if (!EditorEnabled(c)) continue;
    for (int guard = 0; guard < 1000 && !self.Send(sym::IsColVisible, c, true).AsBool(); ++guard) {
      const long long before = Int(self, sym::nColOffset);
      self.Send(Get(c, sym::nPos).AsInt() > 1 || Get(c, sym::nPos).AsInt() == 0 ? sym::GoRight : sym::GoLeft, true);
      scrolled = true;
      if (Int(self, sym::nColOffset) == before) break;
    }
    if (scrolled) self.Send(sym::UpdGridEdits);
    Get(c, sym::oGridEdit).Send(sym::SetFocus);
    return true;
  }
  return false;
}

// UpdGridEdits(): in edit mode each wholly shown column's editor over its
// cell, the others hidden.
Value UpdGridEdits(Object& self, Args) {
  if (Int(self, sym::nEditMode) == 0) return {};
  for (const Value& c : Cols(self)) {
    const Value e = Get(c, sym::oGridEdit);
    if (!e.IsObject() || !ObjectHwnd(e)) continue;
    if (Get(c, sym::nPos).AsInt() > 0 && self.Send(sym::IsColVisible, c, true).AsBool()) {
      c.Send(sym::SetGridEditBounds);
      ShowWindow(ObjectHwnd(e), SW_SHOWNA);
      Put(c, sym::set::lEdited, true);
    } else {
      ShowWindow(ObjectHwnd(e), SW_HIDE);
    }
  }
  return {};
}

}  // namespace zv::brw
