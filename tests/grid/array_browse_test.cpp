// The array grid: its columns made from the data, its row cursor as the
// navigation interface, rows shared with the caller, sorting by a header
// click and seeking on the sorted column, per-column filters, row editing
// and deleting, bad data, and grids made and destroyed many times (windows, GDI handles and
// runtime objects counted).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/core/members.h"
#include "framework/grid/array_browse.h"
#include "framework/grid/browse.h"
#include "framework/grid/column.h"
#include "framework/grid/recsel.h"
#include "framework/window/winobject.h"
#include "runtime/error.h"
#include "runtime/heap.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
namespace sym = zv::sym;

long long I(const Value& g, zv::Symbol s) { return zv::Get(g, s).AsInt(); }

Value Rows(std::initializer_list<std::initializer_list<Value>> rows) {
  std::vector<Value> out;
  for (auto r : rows) out.push_back(Value::List(std::vector<Value>(r)));
  return Value::List(std::move(out));
}

Value Fn(std::function<Value(zv::Args)> fn) {
  return Value::Closure({}, [fn](zv::Args a, std::span<const Value>) { return fn(a); });
}

class ArrayGrid : public zvtest::FormTest {
 protected:
  // A created array grid with a record selector, client area w by h.
  Value Make(const Value& data = Value(), int w = 310, int h = 242) {
    Value g = zv::NewObject(zv::TArrayBrowseClass(), form_);
    g.Send(sym::SetBounds, 8, 12, w, h);
    if (data.IsList()) g.Send(sym::SetArray, data);
    g.Send(sym::Create);
    UpdateWindow(zv::ObjectHwnd(g));
    zvtest::Pump();
    return g;
  }
  static int RowY(const Value& g, int row) {
    return static_cast<int>(g.Send(sym::FirstDataRow).AsInt() + (row - 1) * I(g, sym::nIntRowHeight) + I(g, sym::nIntRowHeight) / 2);
  }
  static int ColX(const Value& g, int pos) {
    const Value c = g.Send(sym::ColAtPos, pos);
    return static_cast<int>(I(c, sym::nDisplayCol) + I(c, sym::FnWidth) / 2);
  }
  static void DoubleClick(const Value& g, int x, int y) {
    HWND h = zv::ObjectHwnd(g);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    if (IsWindow(h)) SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    zvtest::Pump();
  }
};

TEST_F(ArrayGrid, ColumnsComeFromTheFirstRowWithHeadersAndAlignment) {
  Value g = zv::NewObject(zv::TArrayBrowseClass(), form_);
  g.Send(sym::SetArray, Rows({{"a", 1}, {"b", 2}, {"c", 3}}), Value::List({"Name", "N"}));
  const Value cols = zv::Get(g, sym::aCols);
  ASSERT_EQ(cols.Len(), 2u);
  EXPECT_EQ(zv::Get(cols.Item(1), sym::FcHeader).AsString(), "Name");
  EXPECT_EQ(zv::Get(cols.Item(2), sym::FcHeader).AsString(), "N");
  EXPECT_EQ(I(cols.Item(1), sym::FnAlignment), 0);
  EXPECT_EQ(I(cols.Item(2), sym::FnAlignment), 2) << "a number in the first row: right-aligned";
  EXPECT_EQ(I(cols.Item(2), sym::nArrayCol), 2);
  g.Send(sym::SetBounds, 0, 0, 300, 200);
  g.Send(sym::Create);
  EXPECT_EQ(I(g, sym::nLen), 3);
  EXPECT_EQ(I(g, sym::nArrayAt), 1);
  // Rows shorter than the columns: the columns are made again.
  g.Send(sym::SetArray, Rows({{"x"}, {"y"}}));
  ASSERT_EQ(zv::Get(g, sym::aCols).Len(), 1u);
  EXPECT_NE(zv::Get(g, sym::aCols).Item(1).AsObject(), cols.Item(1).AsObject());
  EXPECT_EQ(zv::Get(zv::Get(g, sym::aCols).Item(1), sym::FcHeader).AsString(), "") << "no header given";
}

TEST_F(ArrayGrid, TheRowCursorAnswersTheNavigationInterface) {
  Value g = Make(Rows({{1}, {2}, {3}, {4}}));
  g.Send(sym::BookMark, 2);
  EXPECT_EQ(g.Send(sym::Skip, 5).AsInt(), 2);
  EXPECT_EQ(I(g, sym::nArrayAt), 4);
  EXPECT_TRUE(g.Send(sym::IsEof).AsBool());
  EXPECT_EQ(g.Send(sym::Skip, -9).AsInt(), -3);
  EXPECT_TRUE(g.Send(sym::IsBof).AsBool());
  EXPECT_EQ(g.Send(sym::BookMark, 3).AsInt(), 1) << "the old row, then moved";
  EXPECT_EQ(g.Send(sym::KeyNo).AsInt(), 3);
  EXPECT_EQ(I(g, sym::nKeyNo), 3);
  // An event's answer replaces the built-in step.
  zv::Put(g, sym::set::OnSkip, Fn([](zv::Args) -> Value { return 0; }));
  EXPECT_EQ(g.Send(sym::Skip, 1).AsInt(), 0);
  EXPECT_EQ(I(g, sym::nArrayAt), 3);
  zv::Put(g, sym::set::OnSkip, Value());
  // An empty list is valid: the cursor is 0 after a count and a skip.
  g.Send(sym::SetArray, Value::List({}));
  EXPECT_EQ(g.Send(sym::KeyCount).AsInt(), 0);
  EXPECT_EQ(I(g, sym::nArrayAt), 0);
  EXPECT_EQ(g.Send(sym::Skip, 1).AsInt(), 0);
  EXPECT_EQ(zv::Get(zv::Get(g, sym::aCols).Item(1), sym::nArrayCol).AsInt(), 1);
  EXPECT_EQ(zv::Get(g, sym::aCols).Item(1).Send(sym::GetData).AsString(), "");
  g.Send(sym::GoBottom);
  g.Send(sym::GoDown, true);
  g.Send(sym::GoUp);
  EXPECT_EQ(I(g, sym::nRowSel), 1);
}

TEST_F(ArrayGrid, RowsAreSharedWithTheCaller) {
  const Value data = Rows({{"a", 1}, {"b", 2}});
  Value g = Make(data);
  EXPECT_EQ(zv::Get(g, sym::aArrayData).heap(), data.heap());
  EXPECT_EQ(zv::Get(g, sym::aArrayOrg).heap(), data.heap());
  g.Send(sym::BookMark, 2);
  EXPECT_EQ(g.Send(sym::SetValue, 2, 20).AsInt(), 2) << "the old value";
  EXPECT_EQ(data.Item(2).Item(2).AsInt(), 20);
  EXPECT_EQ(g.Send(sym::GetValue, 2).AsInt(), 20);
  g.Send(sym::AddRow, Value::List({"c", 3}));
  EXPECT_EQ(data.Len(), 3u) << "appended to the caller's list";
  g.Send(sym::AddRow);
  ASSERT_EQ(data.Len(), 4u);
  EXPECT_TRUE(data.Item(4).IsList()) << "a row of the columns' default values";
  EXPECT_EQ(data.Item(4).Len(), 2u);
  g.Send(sym::InsRow, Value::List({"first", 0}), 1);
  EXPECT_EQ(data.Item(1).Item(1).AsString(), "first");
}

TEST_F(ArrayGrid, DeletingRowsKeepsTheCursorOnARow) {
  const Value data = Rows({{"a"}, {"b"}, {"c"}});
  Value g = Make(data);
  zv::Put(g, sym::set::lAllowDelete, true);
  g.Send(sym::GoBottom);
  EXPECT_TRUE(g.Send(sym::Delete, true).AsBool());
  EXPECT_EQ(data.Len(), 2u);
  EXPECT_EQ(I(g, sym::nArrayAt), 2) << "the new last row";
  zv::Put(g, sym::set::lAllowDelete, false);
  SendMessageA(zv::ObjectHwnd(g), WM_KEYDOWN, VK_DELETE, 1);
  EXPECT_EQ(data.Len(), 2u) << "the Delete key asks for lAllowDelete";
  EXPECT_TRUE(g.Send(sym::Delete).AsBool()) << "the program may";
  EXPECT_TRUE(g.Send(sym::Delete).AsBool());
  EXPECT_EQ(data.Len(), 0u);
  EXPECT_EQ(I(g, sym::nArrayAt), 0) << "no rows: the count after the delete leaves no current row";
  EXPECT_FALSE(g.Send(sym::Delete).AsBool()) << "nothing left";
  g.Send(sym::AddRow, Value::List({"z"}));
  EXPECT_TRUE(g.Send(sym::DelRow, 1, false).AsBool());
  EXPECT_EQ(I(g, sym::nArrayAt), 1) << "without the refresh the cursor stays at 1";
}

TEST_F(ArrayGrid, AHeaderClickSortsAscendingThenDescending) {
  const Value data = Rows({{"pear", 3}, {"Apple", 10}, {"fig", 1}, {"apple", 2}});
  Value g = Make(data);
  g.Send(sym::SetAutoOrder, true);
  const Value c1 = zv::Get(g, sym::aCols).Item(1), c2 = zv::Get(g, sym::aCols).Item(2);
  c2.Send(sym::HeaderClick, 5, 5);
  EXPECT_EQ(I(c2, sym::FnSort), 1);
  EXPECT_EQ(I(c1, sym::FnSort), 0);
  std::vector<long long> order;
  for (const Value& r : data.AsList().items) order.push_back(r.Item(2).AsInt());
  EXPECT_EQ(order, (std::vector<long long>{1, 2, 3, 10})) << "numbers by value, in the caller's list";
  c2.Send(sym::HeaderClick, 5, 5);
  EXPECT_EQ(I(c2, sym::FnSort), -1);
  order.clear();
  for (const Value& r : data.AsList().items) order.push_back(r.Item(2).AsInt());
  EXPECT_EQ(order, (std::vector<long long>{10, 3, 2, 1}));
  c1.Send(sym::HeaderClick, 5, 5);
  EXPECT_EQ(I(c1, sym::FnSort), 1);
  EXPECT_EQ(I(c2, sym::FnSort), 0);
  // Typing seeks on the sorted column, by prefix and in any case.
  SendMessageA(zv::ObjectHwnd(g), WM_CHAR, 'a', 1);
  SendMessageA(zv::ObjectHwnd(g), WM_CHAR, 'P', 1);
  EXPECT_EQ(data.Item(static_cast<std::size_t>(I(g, sym::nArrayAt))).Item(1).AsString(), "Apple");
  EXPECT_EQ(zv::Get(g, sym::cSeek).AsString(), "aP");
  SendMessageA(zv::ObjectHwnd(g), WM_CHAR, 'z', 1);
  EXPECT_EQ(zv::Get(g, sym::cSeek).AsString(), "aP") << "no row starts with APZ";
  EXPECT_EQ(data.Item(static_cast<std::size_t>(I(g, sym::nArrayAt))).Item(1).AsString(), "Apple");
  g.Send(sym::SetAutoOrder, false);
  EXPECT_EQ(I(c1, sym::FnSort), 0);
  c1.Send(sym::HeaderClick, 5, 5);
  EXPECT_EQ(I(c1, sym::FnSort), 0) << "no sorting without auto-order";
}

TEST_F(ArrayGrid, SortingKeepsTheMultiRowSelectionOnItsRowsAndHandlesMixedCells) {
  const Value data = Rows({{3}, {"x"}, {Value()}, {1}, {true}});
  data.Append(Value("not a row"));
  Value g = Make(data);
  zv::Put(g, sym::set::nMarqueeStyle, 6);
  g.Send(sym::SetAutoOrder, true);
  const Value three = data.Item(1), one = data.Item(4);
  g.Send(sym::BookMark, 1);
  g.Send(sym::Select, 1);
  g.Send(sym::BookMark, 4);
  g.Send(sym::Select, 2);
  zv::Get(g, sym::aCols).Item(1).Send(sym::HeaderClick, 1, 1);
  std::vector<const void*> rows;
  for (const Value& r : data.AsList().items) rows.push_back(r.heap());
  const Value sel = zv::Get(g, sym::aSelected);
  ASSERT_EQ(sel.Len(), 2u);
  std::vector<const void*> picked{data.Item(static_cast<std::size_t>(sel.Item(1).AsInt())).heap(),
                                  data.Item(static_cast<std::size_t>(sel.Item(2).AsInt())).heap()};
  EXPECT_NE(std::find(picked.begin(), picked.end(), three.heap()), picked.end());
  EXPECT_NE(std::find(picked.begin(), picked.end(), one.heap()), picked.end());
  EXPECT_EQ(data.Item(1).Len(), 1u) << "the rows are not marked";
  EXPECT_EQ(data.Item(1).Item(1).IsNil(), true) << "an absent cell first";
}

TEST_F(ArrayGrid, FiltersKeepTheMatchingRowsAndMapThemBack) {
  const Value data = Rows({{"Banana", 12}, {"cherry", 3}, {"MANGO", 7}, {"kiwi", 5}});
  Value g = Make(data);
  std::vector<long long> heard;
  zv::Put(g, sym::set::OnFilterChange, Fn([&](zv::Args a) -> Value { return heard.push_back(a.Get(1).AsInt()), Value(); }));
  g.Send(sym::FilterMode, true);
  const Value c1 = zv::Get(g, sym::aCols).Item(1), c2 = zv::Get(g, sym::aCols).Item(2);
  zv::Put(c2, sym::set::cFilter, ">5");
  g.Send(sym::SetFilter, 2);
  EXPECT_TRUE(zv::Get(g, sym::lOnFilter).AsBool());
  ASSERT_EQ(I(g, sym::nLen), 2);
  EXPECT_EQ(zv::Get(g, sym::aArrayData).Item(1).Item(1).AsString(), "Banana");
  EXPECT_EQ(zv::Get(g, sym::aArrayData).Item(2).Item(1).AsString(), "MANGO");
  g.Send(sym::BookMark, 2);
  EXPECT_EQ(g.Send(sym::nArrayOrgAt).AsInt(), 3);
  EXPECT_EQ(zv::Get(g, sym::aArrayData).Item(1).heap(), data.Item(1).heap()) << "the same row objects";
  zv::Put(c2, sym::set::cFilter, "");
  zv::Put(c1, sym::set::cFilter, "an");
  g.Send(sym::SetFilter, 1);
  ASSERT_EQ(I(g, sym::nLen), 2) << "Banana and MANGO contain AN";
  zv::Put(c1, sym::set::cFilter, "");
  zv::Put(c2, sym::set::cFilter, ">x");
  g.Send(sym::SetFilter, 2);
  EXPECT_EQ(I(g, sym::nLen), 0) << "a filter that cannot be evaluated rejects the row";
  zv::Put(c2, sym::set::cFilter, "");
  g.Send(sym::SetFilter, 2);
  EXPECT_FALSE(zv::Get(g, sym::lOnFilter).AsBool());
  EXPECT_EQ(zv::Get(g, sym::aArrayData).heap(), data.heap()) << "back to the caller's list";
  EXPECT_EQ(I(g, sym::nLen), 4);
  EXPECT_EQ(heard, (std::vector<long long>{2, 1, 2, 2}));
  EXPECT_EQ(g.Send(sym::nArrayOrgAt).AsInt(), 0);
}

TEST_F(ArrayGrid, ADeclaredColumnOfTheWrongClassRaisesTheSetArrayError) {
  Value g = zv::NewObject(zv::TArrayBrowseClass(), form_);
  const Value plain = zv::NewObject(zv::TBrwColumnClass(), g);
  plain.Send(sym::Create, g);
  const Value good = zv::NewObject(zv::TArrayBrwColumnClass(), g);
  good.Send(sym::Create, g);
  std::vector<std::string> raised;
  zv::ErrorHandler previous = zv::SetErrorHandler([&](const Value& e) -> Value {
    raised.push_back(zv::ErrorSlot(e, zv::ErrorField::SubSystem).AsString() + "|" +
                     zv::ErrorSlot(e, zv::ErrorField::Description).AsString() + "|" +
                     zv::ErrorSlot(e, zv::ErrorField::Operation).AsString() + "|" +
                     std::to_string(zv::ErrorSlot(e, zv::ErrorField::Severity).AsInt()));
    return {};
  });
  g.Send(sym::SetArray, Rows({{"a", "b"}}), Value::List({"H1", "H2"}));
  zv::SetErrorHandler(previous);
  ASSERT_EQ(raised.size(), 1u);
  EXPECT_EQ(raised[0],
            "ZORVAN:SetArray|Incorrect Browse Column type, should be KindOf('TArrayBrwColumn') |Column: 1|2");
  EXPECT_EQ(I(good, sym::nArrayCol), 2) << "the loop went on";
  EXPECT_EQ(zv::Get(good, sym::FcHeader).AsString(), "H2");
}

TEST_F(ArrayGrid, ADoubleClickOnTheSixthRowGivesRowSixWhateverTheColumn) {
  std::vector<Value> rows;
  for (int i = 1; i <= 26; ++i) rows.push_back(Value::List({"Anim" + std::to_string(i), "Descripción " + std::to_string(i)}));
  const Value data = Value::List(rows);
  Value g = zv::NewObject(zv::TArrayBrowseClass(), form_);
  g.Send(sym::SetBounds, 8, 12, 310, 242);
  zv::NewObject(zv::TBrwRecSelClass(), g).Send(sym::Create, g);
  zv::Put(g, sym::set::nMarqueeStyle, 4);
  std::vector<long long> at;
  zv::Put(g, sym::set::OnDblClick, Fn([&](zv::Args a) -> Value {
            at.push_back(zv::Get(a.Get(0), sym::nArrayAt).AsInt());
            return {};
          }));
  g.Send(sym::Create);
  g.Send(sym::SetArray, data);
  UpdateWindow(zv::ObjectHwnd(g));
  zvtest::Pump();
  ASSERT_EQ(zv::Get(g, sym::aCols).Len(), 2u);
  DoubleClick(g, ColX(g, 1), RowY(g, 6));
  DoubleClick(g, ColX(g, 2), RowY(g, 6));
  EXPECT_EQ(at, (std::vector<long long>{6, 6}));
  SendMessageA(zv::ObjectHwnd(g), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(I(g, sym::nArrayAt), 7);
  // A handler that replaces the array under the grid.
  zv::Put(g, sym::set::OnDblClick, Fn([&](zv::Args a) -> Value {
            a.Get(0).Send(sym::SetArray, Rows({{"only", "one"}}));
            return {};
          }));
  DoubleClick(g, ColX(g, 1), RowY(g, 3));
  EXPECT_EQ(I(g, sym::nLen), 1);
  EXPECT_EQ(I(g, sym::nArrayAt), 1);
}

TEST_F(ArrayGrid, BadRowsAndRowsRemovedUnderTheCursorPaintAndMoveSafely) {
  Value mixed = Rows({{"a", 1, 2.5}, {Value(), true}, {Value::Date(2024, 2, 29), Value::List({1}), Value::Map()}});
  mixed.Append(Value(42));
  mixed.Append(Value::List({}));
  Value g = Make(mixed);
  HWND h = zv::ObjectHwnd(g);
  for (int k : {VK_END, VK_UP, VK_HOME, VK_NEXT, VK_PRIOR, VK_RIGHT, VK_LEFT}) SendMessageA(h, WM_KEYDOWN, k, 1);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  g.Send(sym::BookMark, 4);
  EXPECT_EQ(g.Send(sym::GetValue, 1).IsNil(), true) << "a row that is no list has no cells";
  EXPECT_EQ(zv::Get(g, sym::aCols).Item(1).Send(sym::GetData).AsString(), "");
  EXPECT_TRUE(g.Send(sym::SetValue, 1, 5).IsNil());
  // The program shortens the list while the grid is on its last row.
  g.Send(sym::GoBottom);
  mixed.AsList().items.resize(2);
  g.Send(sym::Refresh);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(I(g, sym::nLen), 2);
  EXPECT_LE(I(g, sym::nArrayAt), 2);
  SendMessageA(h, WM_KEYDOWN, VK_UP, 1);
  SendMessageA(h, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(I(g, sym::nArrayAt), 2);
  g.Send(sym::Zap);
  EXPECT_EQ(I(g, sym::nLen), 0);
  EXPECT_EQ(mixed.Len(), 2u) << "the caller's list is left alone";
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

TEST_F(ArrayGrid, GridsMadeAndDestroyedLeaveNoWindowsHandlesOrObjects) {
  const auto round = [&](int i) {
    std::vector<Value> rows;
    for (int r = 0; r < 50; ++r) rows.push_back(Value::List({"row " + std::to_string(r), r}));
    Value g = Make(Value::List(rows), 200, 120);
    g.Send(sym::SetAutoOrder, true);
    zv::Get(g, sym::aCols).Item(2).Send(sym::HeaderClick, 1, 1);
    SendMessageA(zv::ObjectHwnd(g), WM_KEYDOWN, VK_END, 1);
    HWND h = zv::ObjectHwnd(g), header = zv::ObjectHwnd(zv::Get(g, sym::oHeader));
    std::vector<HGDIOBJ> gdi;
    for (zv::Symbol s : {sym::hColPen, sym::hRowPen, sym::hBtnShadowPen, sym::hWhitePen, sym::hClrSelText, sym::hClrSelPane,
                         sym::hClrAltPane, sym::hClrSelFocusText, sym::hClrSelFocusPane, sym::hBrush})
      gdi.push_back(zv::ValueHandle<HGDIOBJ>(zv::Get(g, s)));
    const Value rs = zv::Get(g, sym::oRecSel);
    if (rs.IsObject()) gdi.push_back(zv::ValueHandle<HGDIOBJ>(zv::Get(rs, sym::hClrPane)));
    const Value list = zv::Get(g, sym::FoImageList);
    const HIMAGELIST images = zv::ValueHandle<HIMAGELIST>(zv::Get(list, sym::Handle));
    EXPECT_NE(images, nullptr);
    g.Send(sym::Destroy, true);
    zvtest::Pump();
    // The test form logs every shortcut change with its control; the log
    // is not the grid's to free.
    zv::Put(form_, sym::set::aShortCutLog, Value::List({}));
    EXPECT_FALSE(IsWindow(h)) << i;
    EXPECT_FALSE(IsWindow(header)) << i;
    for (HGDIOBJ o : gdi) {
      if (o) {
        EXPECT_EQ(GetObjectType(o), 0u) << "round " << i;
      }
    }
    EXPECT_EQ(zv::ValueHandle<HIMAGELIST>(zv::Get(list, sym::Handle)), nullptr) << "round " << i;
  };
  // A warm-up: what the system and the framework make once.
  for (int i = 0; i < 20; ++i) round(i);
  zv::Collect();
  const std::size_t live = zv::GcObject::LiveCount();
  for (int i = 0; i < 300 && !HasFailure(); ++i) round(i);
  zv::Collect();
  EXPECT_LE(zv::GcObject::LiveCount(), live + 8) << "the grids' objects went with them";
}

}  // namespace
