#include "framework/grid/array_browse.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/core/members.h"
#include "framework/grid/browse_internal.h"
#include "framework/grid/cell_rules.h"
#include "framework/window/winobject.h"

namespace zv {

std::string ArrayCellKey(const Value& cell) {
  std::string text = CellValueText(cell, std::string());
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  if (!text.empty()) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

namespace {

using brw::Int;

Value Rows(Object& self) {
  const Value d = Get(self, sym::FaArrayData);
  return d.IsList() ? d : Value();
}

long long RowCount(Object& self) {
  const Value d = Rows(self);
  return d.IsList() ? static_cast<long long>(d.Len()) : 0;
}

long long At(Object& self) { return Int(self, sym::nArrayAt); }
void SetAt(Object& self, long long n) { Put(self, sym::set::nArrayAt, n); }

// Element `col` (1-based) of row `row`: absent outside the table or when
// the row is not a list.
Value* Cell(const Value& rows, long long row, long long col) {
  if (!rows.IsList() || row < 1 || row > static_cast<long long>(rows.Len()) || col < 1) return nullptr;
  const Value& r = rows.AsList().items[static_cast<std::size_t>(row - 1)];
  if (!r.IsList() || col > static_cast<long long>(r.Len())) return nullptr;
  return &r.AsList().items[static_cast<std::size_t>(col - 1)];
}

void Redraw(Object& self) {
  if (HWND h = ObjectHwnd(self); h && Get(self, sym::FlRedraw).AsBool()) InvalidateRect(h, nullptr, FALSE);
}

// An event asked first: its value, when it gives one, replaces the step.
bool Asked(Object& self, Symbol event, Value& out, Args a) {
  out = SendUnchecked(Value(&self), Msg(event), a);
  return !out.IsNil();
}

Value DefaultRow(Object& self) {
  std::vector<Value> cells;
  for (const Value& c : brw::Cols(self)) cells.push_back(c.Send(sym::DefaultValue));
  return Value::List(std::move(cells));
}

// The row element a column shows.
long long ElementOf(const Value& col) { return col.IsObject() && Has(col, sym::nArrayCol) ? Get(col, sym::nArrayCol).AsInt() : 0; }

void ClearFilterState(Object& self) {
  Put(self, sym::set::lOnFilter, false);
  Put(self, sym::set::aArrayFilterPos, Value());
}

}  // namespace

namespace abrw {

Value Create(Object& self, Args a) {
  Value r = Super(self, sym::Create, a);
  self.Send(sym::SetArray);
  return r;
}

// ------------------------------------------------------------ navigation

Value MoveTop(Object& self, Args a) {
  Value r;
  if (Asked(self, sym::OnGoTop, r, a)) return r;
  SetAt(self, RowCount(self) > 0 ? 1 : 0);
  return {};
}

Value MoveBottom(Object& self, Args a) {
  Value r;
  if (Asked(self, sym::OnGoBottom, r, a)) return r;
  SetAt(self, RowCount(self));
  return {};
}

Value Skip(Object& self, Args a) {
  const long long n = a.Has(0) ? a.Get(0).AsInt() : 1;
  Value argv[] = {Value(n)};
  Value r;
  if (Asked(self, sym::OnSkip, r, Args(argv, 1))) return r;
  const long long count = RowCount(self), old = At(self);
  const long long to = std::min(std::max(old + n, 1LL), count);
  SetAt(self, to);
  return to - old;
}

Value IsEof(Object& self, Args a) {
  Value r;
  if (Asked(self, sym::OnEof, r, a)) return r;
  return At(self) == RowCount(self);
}

Value IsBof(Object& self, Args a) {
  Value r;
  if (Asked(self, sym::OnBof, r, a)) return r;
  return At(self) == 1;
}

// BookMark([n]) -> the current row number, then moved to n when given.
Value BookMark(Object& self, Args a) {
  Value r;
  if (Asked(self, sym::OnBookMark, r, a)) return r;
  const long long old = At(self);
  if (a.Has(0)) SetAt(self, std::clamp<long long>(a.Get(0).AsInt(), 0, RowCount(self)));
  return old;
}

Value KeyNo(Object& self, Args a) {
  Value r;
  if (Asked(self, sym::OnKeyNo, r, a)) {
    Put(self, sym::set::nKeyNo, a.Has(0) ? a.Get(0).AsInt() : r.AsInt());
    return r;
  }
  if (a.Has(0)) {
    const long long n = std::clamp<long long>(a.Get(0).AsInt(), 0, RowCount(self));
    SetAt(self, n);
    Put(self, sym::set::nKeyNo, n);
    return {};
  }
  Put(self, sym::set::nKeyNo, At(self));
  return At(self);
}

Value KeyCount(Object& self, Args a) {
  Value r;
  const long long n = Asked(self, sym::OnKeyCount, r, a) ? std::max<long long>(r.AsInt(), 0) : RowCount(self);
  Put(self, sym::set::nLen, n);
  SetAt(self, std::min(At(self), n));
  return n;
}

// ------------------------------------------------------------ the data

// SetArray(aData, aHeaders = {}, lAutoOrder = false).
Value SetArray(Object& self, Args a) {
  const Value data = a.Get(0).IsList() ? a.Get(0) : Value();
  const Value headers = a.Get(1).IsList() ? a.Get(1) : Value::List({});
  const bool autoOrder = a.Get(2).AsBool();
  Put(self, sym::set::nRowSel, 1);
  SetAt(self, 1);
  const Value first = data.IsList() && data.Len() > 0 ? data.Item(1) : Value();
  const long long firstLen = first.IsList() ? static_cast<long long>(first.Len()) : 0;
  if (RowCount(self) > 0 && data.IsList() && data.Len() > 0 && firstLen < static_cast<long long>(brw::Cols(self).size()))
    self.Send(sym::Reset);
  if (data.IsList()) {
    Put(self, sym::set::FaArrayData, data);
    Put(self, sym::set::aArrayOrg, data);
    ClearFilterState(self);
  } else if (!Get(self, sym::aArrayOrg).IsList()) {
    Put(self, sym::set::aArrayOrg, Get(self, sym::FaArrayData));
  }
  const std::vector<Value> cols = brw::Cols(self);
  if (!cols.empty()) {
    for (std::size_t i = 0; i < cols.size(); ++i) {
      const Value& c = cols[i];
      if (!c.AsObject()->GetClass()->IsDerivedFrom(QArrayBrwColumnClass())) {
        ErrorInfo e;
        e.genCode = 0;
        e.subSystem = "ZORVAN:SetArray";
        e.severity = 2;
        e.description = "Incorrect Browse Column type, should be KindOf('TArrayBrwColumn') ";
        e.operation = "Column: " + std::to_string(i + 1);
        e.canDefault = true;
        RaiseError(e);
        continue;
      }
      if (i < headers.Len()) Put(c, sym::set::cHeader, headers.Item(i + 1));
      Put(c, sym::set::nArrayCol, static_cast<long long>(i + 1));
    }
    self.Send(sym::GetDisplayCols, ObjectHwnd(self) != nullptr);
    if (ObjectHwnd(self)) self.Send(sym::Refresh, true);
    return data;
  }
  const long long n = std::max<long long>(firstLen, static_cast<long long>(headers.Len()));
  if (autoOrder) Put(self, sym::set::FlAutoOrder, true);
  for (long long i = 1; i <= n; ++i) {
    const Value c = NewObject(TArrayBrwColumnClass(), Value(&self));
    if (i <= static_cast<long long>(headers.Len())) Put(c, sym::set::FcHeader, headers.Item(static_cast<std::size_t>(i)).AsString());
    Put(c, sym::set::nArrayCol, i);
    if (first.IsList() && first.Item(static_cast<std::size_t>(i)).IsNumber()) c.Send(sym::SetAlignment, 2, false);
    c.Send(sym::Create, Value(&self), false);
  }
  self.Send(sym::SetAutoOrder, autoOrder);
  self.Send(sym::GetDisplayCols, ObjectHwnd(self) != nullptr);
  if (ObjectHwnd(self)) {
    self.Send(sym::Adjust);
    self.Send(sym::Refresh, true);
  }
  return data;
}

namespace {

// A row appended or inserted (at 1-based `at`) in the shown rows; while a
// filter is on, the map to the full data gets a 0 (the row is not there).
void PutRow(Object& self, Value row, long long at) {
  Value rows = Rows(self);
  if (!rows.IsList()) {
    rows = Value::List({});
    Put(self, sym::set::FaArrayData, rows);
    Put(self, sym::set::aArrayOrg, rows);
  }
  std::vector<Value>& items = rows.AsList().items;
  at = std::clamp<long long>(at, 1, static_cast<long long>(items.size()) + 1);
  items.insert(items.begin() + (at - 1), std::move(row));
  const Value map = Get(self, sym::aArrayFilterPos);
  if (Get(self, sym::lOnFilter).AsBool() && map.IsList()) {
    std::vector<Value>& m = map.AsList().items;
    m.insert(m.begin() + std::min<long long>(at - 1, static_cast<long long>(m.size())), Value(0));
  }
}

}  // namespace

Value AddRow(Object& self, Args a) {
  PutRow(self, a.Get(0).IsNil() ? DefaultRow(self) : a.Get(0), RowCount(self) + 1);
  if (!a.Has(1) || a.Get(1).AsBool()) self.Send(sym::Refresh);
  return true;
}

Value InsRow(Object& self, Args a) {
  const long long at = a.Has(1) ? a.Get(1).AsInt() : std::max<long long>(At(self), 1);
  PutRow(self, a.Get(0).IsNil() ? DefaultRow(self) : a.Get(0), at);
  self.Send(sym::Refresh);
  return true;
}

Value DelRow(Object& self, Args a) {
  const Value rows = Rows(self);
  const long long at = a.Has(0) ? a.Get(0).AsInt() : At(self);
  if (!rows.IsList() || at < 1 || at > static_cast<long long>(rows.Len())) return false;
  std::vector<Value>& items = rows.AsList().items;
  items.erase(items.begin() + (at - 1));
  const Value map = Get(self, sym::aArrayFilterPos);
  if (Get(self, sym::lOnFilter).AsBool() && map.IsList() && at <= static_cast<long long>(map.Len()))
    map.AsList().items.erase(map.AsList().items.begin() + (at - 1));
  SetAt(self, std::max<long long>(std::min<long long>(At(self), static_cast<long long>(items.size())), 1));
  if (!a.Has(1) || a.Get(1).AsBool()) self.Send(sym::Refresh);
  return true;
}

// Zap(): no rows (the caller's list is left as it is).
Value Zap(Object& self, Args) {
  const Value empty = Value::List({});
  Put(self, sym::set::FaArrayData, empty);
  Put(self, sym::set::aArrayOrg, empty);
  ClearFilterState(self);
  SetAt(self, 1);
  self.Send(sym::Refresh, true);
  return {};
}

Value GetRow(Object& self, Args a) {
  const Value rows = Rows(self);
  const long long at = a.Has(0) ? a.Get(0).AsInt() : At(self);
  if (!rows.IsList() || at < 1 || at > static_cast<long long>(rows.Len())) return {};
  return rows.Item(static_cast<std::size_t>(at));
}

Value SetRow(Object& self, Args a) {
  const Value rows = Rows(self);
  const long long at = a.Has(1) ? a.Get(1).AsInt() : At(self);
  if (!rows.IsList() || at < 1 || at > static_cast<long long>(rows.Len())) return false;
  rows.AsList().items[static_cast<std::size_t>(at - 1)] = a.Get(0);
  self.Send(sym::Refresh);
  return true;
}

namespace {

// The column meant by a header text, a column object, or (absent) the
// selected column; a number is an element index without a column.
struct Target {
  Value column;
  long long element = 0;
};
Target Resolve(Object& self, const Value& x, bool absentIsSelected) {
  Target t;
  if (x.IsString()) t.column = self.Send(sym::ColWithHeader, x);
  else if (x.IsObject()) t.column = x;
  else if (x.IsNumber()) t.element = x.AsInt();
  else if (absentIsSelected) t.column = self.Send(sym::SelectedCol);
  if (t.column.IsObject()) t.element = ElementOf(t.column);
  return t;
}

Value VisibleEditor(const Value& col) {
  if (!col.IsObject()) return {};
  const Value e = Get(col, sym::oGridEdit);
  return e.IsObject() && ObjectHwnd(e) && IsWindowVisible(ObjectHwnd(e)) ? e : Value();
}

Value EditorValue(const Value& editor) { return Has(editor, sym::VarGet) ? editor.Send(sym::VarGet) : Get(editor, sym::cText); }

}  // namespace

Value GetValue(Object& self, Args a) {
  const Target t = Resolve(self, a.Get(0), true);
  const long long row = a.Has(1) ? a.Get(1).AsInt() : At(self);
  if (t.element <= 0) return {};
  const Value editor = VisibleEditor(t.column);
  if (editor.IsObject() && row == At(self)) return EditorValue(editor);
  Value* cell = Cell(Rows(self), row, t.element);
  return cell ? *cell : Value();
}

Value SetValue(Object& self, Args a) {
  const Target t = Resolve(self, a.Get(0), false);
  const long long row = a.Has(2) ? a.Get(2).AsInt() : At(self);
  if (t.element <= 0) return {};
  Value* cell = Cell(Rows(self), row, t.element);
  if (!cell) return {};
  Value old = *cell;
  const Value editor = VisibleEditor(t.column);
  if (editor.IsObject() && row == At(self) && Has(editor, sym::SetValue)) editor.Send(sym::SetValue, a.Get(1));
  *cell = a.Get(1);
  self.Send(sym::DrawLine, Value(), true);
  return old;
}

Value ArrayOrgAt(Object& self, Args) {
  const Value map = Get(self, sym::aArrayFilterPos);
  if (!Get(self, sym::lOnFilter).AsBool() || !map.IsList()) return 0;
  return map.Item(static_cast<std::size_t>(std::max<long long>(At(self), 0)));
}

Value Refresh(Object& self, Args a) {
  if (a.Get(0).AsBool()) SetAt(self, RowCount(self) > 0 ? 1 : 0);
  return Super(self, sym::Refresh, a);
}

Value AddCol(Object& self, Args a) {
  Value argv[] = {a.Get(0).IsNil() ? NewObject(TArrayBrwColumnClass(), Value(&self)) : a.Get(0), a.Get(1)};
  return Super(self, sym::AddCol, Args(argv, 2));
}

Value InsCol(Object& self, Args a) {
  Value argv[] = {a.Get(0), a.Get(1).IsNil() ? NewObject(TArrayBrwColumnClass(), Value(&self)) : a.Get(1),
                  a.Has(2) ? a.Get(2) : Value(true)};
  return Super(self, sym::InsCol, Args(argv, 3));
}

Value Delete(Object& self, Args a) {
  if (self.Send(sym::OnDelete).IsFalse()) return false;
  if (a.Get(0).AsBool() && !Get(self, sym::lAllowDelete).AsBool()) return false;
  if (RowCount(self) == 0) return false;
  self.Send(sym::DelRow);
  self.Send(sym::OnChange, true);
  return true;
}

// Sort(oCol): the rows ordered by the column's element, ascending on the
// first click and then alternating. The multi-row selection follows its
// rows, which are told apart by identity.
Value Sort(Object& self, Args a) {
  const Value rows = Rows(self);
  const Value col = a.Get(0);
  if (!rows.IsList() || rows.Len() == 0 || !col.IsObject()) return {};
  const long long prev = Get(col, sym::FnSort).AsInt();
  const long long key = ElementOf(col) > 0 ? ElementOf(col) : Get(col, sym::nIndex).AsInt();
  for (const Value& c : brw::Cols(self)) Put(c, sym::set::nSort, 0);
  std::vector<Value>& items = rows.AsList().items;
  const bool multi = Int(self, sym::nMarqueeStyle) == 6;
  std::vector<const void*> selectedRows;
  if (multi) {
    const Value sel = Get(self, sym::aSelected);
    if (sel.IsList())
      for (const Value& mark : sel.AsList().items) {
        const long long n = mark.AsInt();
        if (n >= 1 && n <= static_cast<long long>(items.size())) selectedRows.push_back(items[static_cast<std::size_t>(n - 1)].heap());
      }
  }
  if (EventAssigned(self, "OnSort")) {
    self.Send(sym::OnSort, rows, col, key, prev > 0);
  } else {
    static const Value kNone;
    const auto element = [key](const Value& row) -> const Value& {
      if (!row.IsList() || key < 1 || key > static_cast<long long>(row.Len())) return kNone;
      return row.AsList().items[static_cast<std::size_t>(key - 1)];
    };
    if (prev <= 0)
      std::stable_sort(items.begin(), items.end(), [&](const Value& x, const Value& y) { return CellLess(element(x), element(y)); });
    else
      std::stable_sort(items.begin(), items.end(), [&](const Value& x, const Value& y) { return CellLess(element(y), element(x)); });
  }
  Put(col, sym::set::nSort, prev <= 0 ? 1 : -1);
  if (multi) {
    std::unordered_map<const void*, long long> place;
    for (std::size_t i = 0; i < items.size(); ++i) place.emplace(items[i].heap(), static_cast<long long>(i + 1));
    std::vector<Value> marks;
    for (const void* r : selectedRows)
      if (auto it = place.find(r); it != place.end()) marks.emplace_back(it->second);
    std::sort(marks.begin(), marks.end(), [](const Value& x, const Value& y) { return x.AsInt() < y.AsInt(); });
    Put(self, sym::set::aSelected, Value::List(std::move(marks)));
  }
  self.Send(sym::Refresh);
  return {};
}

Value SetAutoOrder(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlAutoOrder, on);
  if (on) {
    BindEvent(self, sym::OnSeek, Value(&self), sym::ArraySeek);
  } else {
    for (const Value& c : brw::Cols(self)) Put(c, sym::set::nSort, 0);
    BindEvent(self, sym::OnSeek, Value());
  }
  return on;
}

// The seek of auto-order: the first row whose element under a sorted
// column begins with the text typed, in any case.
// Bound to OnSeek, it gets the sender first; sent itself, the text alone.
Value ArraySeek(Object& self, Args a) {
  std::string want = a.Get(a.Get(0).IsObject() ? 1 : 0).AsString();
  if (!want.empty()) CharUpperBuffA(want.data(), static_cast<DWORD>(want.size()));
  const Value rows = Rows(self);
  if (!rows.IsList()) return false;
  for (const Value& c : brw::Cols(self)) {
    if (Get(c, sym::FnSort).AsInt() == 0) continue;
    const long long el = ElementOf(c);
    for (std::size_t i = 1; i <= rows.Len(); ++i) {
      Value* cell = Cell(rows, static_cast<long long>(i), el);
      if (cell && ArrayCellKey(*cell).compare(0, want.size(), want) == 0) {
        SetAt(self, static_cast<long long>(i));
        return true;
      }
    }
  }
  return false;
}

// SetFilter(nColumn, lRefresh = true): the rows that pass every column's
// filter text shown; no filter (or no filter bar) shows them all.
Value SetFilter(Object& self, Args a) {
  const Value column = a.Get(0);
  const bool refresh = !a.Has(1) || a.Get(1).AsBool();
  const auto restore = [&]() {
    if (!Get(self, sym::lOnFilter).AsBool()) return;
    Put(self, sym::set::FaArrayData, Get(self, sym::aArrayOrg));
    ClearFilterState(self);
    SetAt(self, RowCount(self) > 0 ? 1 : 0);
    self.Send(sym::OnFilterChange, column);
    self.Send(sym::OnChange, true);
    if (refresh) self.Send(sym::Refresh, true);
  };
  if (!Get(self, sym::FlFilterBar).AsBool()) {
    restore();
    return {};
  }
  struct Active {
    Value col;
    std::string text;
    bool numeric;
  };
  std::vector<Active> active;
  for (const Value& c : brw::Cols(self)) {
    std::string f = ArrayCellKey(c.Send(sym::GetFilter));
    if (f.empty()) continue;
    active.push_back({c, std::move(f), c.Send(sym::GetData).IsNumber()});
  }
  if (active.empty()) {
    restore();
    return {};
  }
  const Value org = Get(self, sym::aArrayOrg).IsList() ? Get(self, sym::aArrayOrg) : Rows(self);
  if (!org.IsList()) return {};
  Put(self, sym::set::FaArrayData, org);
  std::vector<Value> shown, map;
  const long long n = static_cast<long long>(org.Len());
  for (long long i = 1; i <= n; ++i) {
    SetAt(self, i);
    bool pass = true;
    for (const Active& f : active) {
      Value v = f.col.Send(sym::GetData);
      const Value ref = Value::Ref(v);
      const Value r = f.col.Send(sym::OnGetData, ref, Value::Ref(0));
      v = r.IsNil() ? ref.Deref() : r;
      const std::string text = ArrayCellKey(v);
      if (f.numeric && IsComparisonFilter(f.text)) {
        const auto m = NumericFilterMatch(text, f.text);
        pass = m.has_value() && *m;
      } else {
        pass = text.find(f.text) != std::string::npos;
      }
      if (!pass) break;
    }
    if (pass) {
      shown.push_back(org.Item(static_cast<std::size_t>(i)));
      map.emplace_back(i);
    }
  }
  Put(self, sym::set::FaArrayData, Value::List(std::move(shown)));
  Put(self, sym::set::aArrayFilterPos, Value::List(std::move(map)));
  Put(self, sym::set::lOnFilter, true);
  SetAt(self, RowCount(self) > 0 ? 1 : 0);
  self.Send(sym::OnFilterChange, column);
  self.Send(sym::OnChange, true);
  if (refresh) self.Send(sym::Refresh, true);
  return {};
}

// AdjustColWidth(oNotify, xCol): the column as wide as its widest cell.
Value AdjustColWidth(Object& self, Args a) {
  if (!Get(self, sym::lAllowColSizing).AsBool()) return {};
  Value col = a.Get(1);
  if (!col.IsObject()) {
    long long pos = col.AsInt();
    if (brw::RecSel(self).IsObject()) --pos;
    if (pos <= 0) return {};
    col = brw::ColAt(self, pos);
  }
  if (!col.IsObject()) return {};
  long long w = 10;
  const Value bar = Get(self, sym::oHeader);
  const std::string header = Get(col, sym::FcHeader).AsString();
  if (bar.IsObject() && ObjectHwnd(bar)) {
    const HWND hb = ObjectHwnd(bar);
    HDC dc = GetDC(hb);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hb, WM_GETFONT, 0, 0)));
    SIZE s{};
    GetTextExtentPoint32A(dc, header.data(), static_cast<int>(header.size()), &s);
    SelectObject(dc, old);
    ReleaseDC(hb, dc);
    w = s.cx + 10;
  }
  const long long keep = At(self), n = RowCount(self);
  for (long long i = 1; i <= n; ++i) {
    SetAt(self, i);
    w = std::max<long long>(w, col.Send(sym::DataWidth).AsInt());
  }
  SetAt(self, keep);
  Put(col, sym::set::nWidth, w + 10);
  return w + 10;
}

// CancelEdit(@lCanceled, nKey): the grid's end of editing; with lAutoSave
// and not cancelled the edited values are stored in the row (a new one
// when appending or inserting).
Value CancelEdit(Object& self, Args a) {
  const long long mode = Int(self, sym::nEditMode);
  if (mode == 0) return false;
  const bool canceled = a.Get(0).AsBool();
  const Value canceledArg = a.size() > 0 && !a.raw(0).IsNil() ? a.raw(0) : Value(false);
  Value argv[] = {canceledArg, a.Get(1), Value(false)};
  Super(self, sym::CancelEdit, Args(argv, 3));
  const bool save = !canceled && Get(self, sym::lAutoSave).AsBool();
  long long target = At(self);
  if (save && mode == 2) {
    PutRow(self, DefaultRow(self), RowCount(self) + 1);
    target = RowCount(self);
    Put(self, sym::set::nLen, RowCount(self));
  } else if (save && mode == 3) {
    target = std::max<long long>(At(self), 1);
    PutRow(self, DefaultRow(self), target);
    Put(self, sym::set::nLen, RowCount(self));
  }
  SetAt(self, std::max<long long>(At(self), 1));
  for (const Value& c : brw::Cols(self)) {
    if (!Get(c, sym::lEdited).AsBool()) continue;
    const Value editor = Get(c, sym::oGridEdit);
    if (save && editor.IsObject()) c.Send(sym::SetData, EditorValue(editor), target);
    Put(c, sym::set::lEdited, false);
  }
  if (save && mode == 2) {
    Put(self, sym::set::nRowSel, Int(self, sym::nRowSel) + 1);
    self.Send(sym::Skip);
    Put(self, sym::set::nKeyNo, Int(self, sym::nLen));
    self.Send(sym::OnChange, true);
  }
  Redraw(self);
  return true;
}

}  // namespace abrw

namespace abrwcol {

namespace {
Value GridOf(Object& self) {
  const Value g = Get(self, sym::oParent);
  return g.IsObject() && Has(g, sym::nArrayAt) ? g : Value();
}
}  // namespace

Value GetData(Object& self, Args) {
  const Value g = GridOf(self);
  if (!g.IsObject()) return std::string();
  Value* cell = Cell(Get(g, sym::FaArrayData), Get(g, sym::nArrayAt).AsInt(), Get(self, sym::nArrayCol).AsInt());
  return cell ? *cell : Value(std::string());
}

// SetData(value, nRow = nArrayAt) -> value, stored when the cell exists.
Value SetData(Object& self, Args a) {
  const Value g = GridOf(self);
  if (!g.IsObject()) return a.Get(0);
  const long long row = a.Has(1) ? a.Get(1).AsInt() : Get(g, sym::nArrayAt).AsInt();
  Value* cell = Cell(Get(g, sym::FaArrayData), row, Get(self, sym::nArrayCol).AsInt());
  if (cell) *cell = a.Get(0);
  return a.Get(0);
}

}  // namespace abrwcol

Class* QArrayBrowseClass() {
  static Class* c = [] {
    QVClass b("QArrayBrowse", {TBrowseClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QARRAYBROWSE_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TArrayBrowseClass() {
  static Class* c = DeclarePublicClass("TArrayBrowse", QArrayBrowseClass());
  return c;
}

Class* QArrayBrwColumnClass() {
  static Class* c = [] {
    QVClass b("QArrayBrwColumn", {TBrwColumnClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QARRAYBRWCOLUMN_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TArrayBrwColumnClass() {
  static Class* c = DeclarePublicClass("TArrayBrwColumn", QArrayBrwColumnClass());
  return c;
}

}  // namespace zv
