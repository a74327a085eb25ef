// The grid driven as a user drives it: key, mouse-button, wheel and scroll
// messages through its window, and the moves, selections, seeks, column
// operations and edit commands they call, checked against the data
// source's cursor, the grid's state and its events.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/members.h"
#include "framework/grid/browse.h"
#include "framework/grid/column.h"
#include "grid_fixture.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
namespace sym = zv::sym;
using zvtest::Grid;

long long I(const Value& g, zv::Symbol s) { return zv::Get(g, s).AsInt(); }
HWND H(const Value& g) { return zv::ObjectHwnd(g); }

// Key flags for the messages that carry them, and the thread's key state
// for the handlers that read it.
void HoldKeys(bool shift, bool ctrl) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_SHIFT] = shift ? 0x80 : 0;
  state[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(state);
}

void Key(const Value& g, int vk, bool shift = false, bool ctrl = false) {
  HoldKeys(shift, ctrl);
  SendMessageA(H(g), WM_KEYDOWN, vk, 1);
  SendMessageA(H(g), WM_KEYUP, vk, 0xC0000001);
  HoldKeys(false, false);
  zvtest::Pump();
}

void Char(const Value& g, char c) {
  SendMessageA(H(g), WM_CHAR, static_cast<unsigned char>(c), 1);
  zvtest::Pump();
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

void Click(const Value& g, int x, int y, int keys = 0) {
  SendMessageA(H(g), WM_LBUTTONDOWN, MK_LBUTTON | keys, At(x, y));
  SendMessageA(H(g), WM_LBUTTONUP, keys, At(x, y));
  zvtest::Pump();
}

void DoubleClick(const Value& g, int x, int y) {
  Click(g, x, y);
  SendMessageA(H(g), WM_LBUTTONDBLCLK, MK_LBUTTON, At(x, y));
  if (IsWindow(H(g))) SendMessageA(H(g), WM_LBUTTONUP, 0, At(x, y));
  zvtest::Pump();
}

// The middle of a screen row, and of a display position's cell.
int RowY(const Value& g, int row) {
  return static_cast<int>(g.Send(sym::FirstDataRow).AsInt() + (row - 1) * I(g, sym::nIntRowHeight) + I(g, sym::nIntRowHeight) / 2);
}
int ColX(const Value& g, int pos) {
  const Value c = g.Send(sym::ColAtPos, pos);
  return static_cast<int>(I(c, sym::nDisplayCol) + I(c, sym::FnWidth) / 2);
}

// The OnChange calls of a grid, as "T" (record changed) and "F".
std::string* WatchChanges(const Value& g) {
  auto* log = new std::string;
  zv::Put(g, sym::set::OnChange, Value::Closure({}, [log](zv::Args a, std::span<const Value>) -> Value {
            *log += a.Get(1).AsBool() ? 'T' : 'F';
            return {};
          }));
  return log;
}

Value Fn(std::function<Value(zv::Args)> fn) {
  return Value::Closure({}, [fn](zv::Args a, std::span<const Value>) { return fn(a); });
}

class GridNav : public Grid {
 protected:
  void TearDown() override {
    Grid::TearDown();
    delete changes_;
  }
  std::string* changes_ = nullptr;
};

TEST_F(GridNav, DownWalksTheScreenThenScrollsOneRowAtATime) {
  Value g = Make(2, 30);
  changes_ = WatchChanges(g);
  const long long rows = g.Send(sym::RowCount).AsInt();
  ASSERT_GE(rows, 5);
  for (long long i = 1; i <= rows + 3; ++i) {
    Key(g, VK_DOWN);
    EXPECT_EQ(I(g, sym::nKeyNo), i + 1);
    EXPECT_EQ(source_.pos, i + 1) << "the source's cursor is the current record";
    EXPECT_EQ(I(g, sym::nRowSel), std::min(i + 1, rows));
  }
  EXPECT_EQ(*changes_, std::string(static_cast<std::size_t>(rows + 3), 'T'));
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(H(g), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 30);
  EXPECT_EQ(si.nPos, rows + 4) << "the thumb follows the record";
  Key(g, VK_UP);
  EXPECT_EQ(I(g, sym::nRowSel), rows - 1);
  EXPECT_EQ(I(g, sym::nKeyNo), rows + 3);
  for (int i = 0; i < 100; ++i) Key(g, VK_UP);
  EXPECT_EQ(I(g, sym::nKeyNo), 1);
  EXPECT_EQ(I(g, sym::nRowSel), 1);
  EXPECT_EQ(source_.pos, 1);
}

TEST_F(GridNav, DownOnTheLastRecordFiresPastEofAndNothingElse) {
  Value g = Make(2, 3);
  int pastEof = 0;
  zv::Put(g, sym::set::OnPastEof, Fn([&](zv::Args) -> Value { return ++pastEof, Value(); }));
  Key(g, VK_END);
  EXPECT_EQ(I(g, sym::nRowSel), 3) << "3 records on 10 rows: the last stays on its own row";
  EXPECT_EQ(I(g, sym::nKeyNo), 3);
  Key(g, VK_DOWN);
  EXPECT_EQ(pastEof, 1);
  EXPECT_EQ(I(g, sym::nKeyNo), 3);
  EXPECT_EQ(source_.pos, 3);
  EXPECT_EQ(I(g, sym::nEditMode), 0) << "no append without lAllowAppend";
  // A scroll-bar line down past the end is no request to append.
  SendMessageA(H(g), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(pastEof, 1);
}

TEST_F(GridNav, TheEndsAndPagesKeepTheLastRecordOnTheBottomRow) {
  Value g = Make(2, 100);
  const long long rows = g.Send(sym::RowCount).AsInt();
  Key(g, VK_END);
  EXPECT_EQ(I(g, sym::nKeyNo), 100);
  EXPECT_EQ(I(g, sym::nRowSel), rows);
  EXPECT_EQ(source_.pos, 100);
  Key(g, VK_HOME);
  EXPECT_EQ(I(g, sym::nKeyNo), 1);
  EXPECT_EQ(source_.pos, 1);
  Key(g, VK_NEXT);
  EXPECT_EQ(I(g, sym::nKeyNo), rows + 1);
  EXPECT_EQ(I(g, sym::nRowSel), 1);
  Key(g, VK_PRIOR);
  EXPECT_EQ(I(g, sym::nKeyNo), 1);
  Key(g, VK_NEXT, false, true);
  EXPECT_EQ(I(g, sym::nKeyNo), 100) << "Ctrl+Page Down goes to the bottom";
  Key(g, VK_PRIOR, false, true);
  EXPECT_EQ(I(g, sym::nKeyNo), 1);
}

TEST_F(GridNav, APageDownReachingTheEndSelectsTheLastFilledRowWithoutARepaint) {
  Value g = Make(2, 25);
  const long long rows = g.Send(sym::RowCount).AsInt();
  ASSERT_LT(rows, 25);
  long long guard = 0;
  while (25 - I(g, sym::nKeyNo) >= rows && ++guard < 50) Key(g, VK_NEXT);
  ASSERT_LT(25 - I(g, sym::nKeyNo), rows) << "the last record is on the screen";
  const long long before = I(g, sym::nRowSel);
  ASSERT_LT(before, I(g, sym::nDataRows));
  ValidateRect(H(g), nullptr);
  g.Send(sym::GoPageDown);
  EXPECT_EQ(I(g, sym::nKeyNo), 25);
  EXPECT_EQ(I(g, sym::nRowSel), I(g, sym::nDataRows));
  EXPECT_EQ(source_.pos, 25);
  EXPECT_FALSE(GetUpdateRect(H(g), nullptr, FALSE)) << "only the two rows were drawn";
}

TEST_F(GridNav, GoToKeepsTheScreenRowAndTheWheelMovesRows) {
  Value g = Make(2, 500);
  Key(g, VK_DOWN);
  Key(g, VK_DOWN);
  g.Send(sym::GoTo, 250);
  EXPECT_EQ(I(g, sym::nKeyNo), 250);
  EXPECT_EQ(I(g, sym::nRowSel), 3);
  EXPECT_EQ(source_.pos, 250);
  g.Send(sym::GoTo, 2);
  EXPECT_EQ(I(g, sym::nRowSel), 2) << "only one record above it";
  SendMessageA(H(g), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(I(g, sym::nKeyNo), 3);
  SendMessageA(H(g), WM_MOUSEWHEEL, MAKEWPARAM(MK_MBUTTON, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(I(g, sym::nKeyNo), 3 + g.Send(sym::RowCount).AsInt()) << "with the middle button held, a page";
  SendMessageA(H(g), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(I(g, sym::nKeyNo), 2 + g.Send(sym::RowCount).AsInt());
}

TEST_F(GridNav, TheThumbMapsProportionallyBeyondTheBarsRange) {
  Value g = Make(2, 10);
  source_.count = 10'000'000'000LL;
  g.Send(sym::Refresh);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(H(g), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 0x7FFFFFFF);
  g.Send(sym::GoTo, 5'000'000'000LL);
  EXPECT_EQ(source_.pos, 5'000'000'000LL);
  GetScrollInfo(H(g), SB_VERT, &si);
  EXPECT_NEAR(si.nPos, 0x7FFFFFFF / 2, 2);
  g.Send(sym::GoBottom);
  EXPECT_EQ(source_.pos, 10'000'000'000LL);
  EXPECT_LE(source_.skips, 200) << "the moves touch the screen's rows, not the data";
}

TEST_F(GridNav, ClicksSelectRowAndColumnAndFireTheColumnThenTheGrid) {
  Value g = Make(3, 20);
  changes_ = WatchChanges(g);
  std::vector<std::string> events;
  const Value c2 = zv::Get(g, sym::aCols).Item(2);
  zv::Put(c2, sym::set::OnDataClick, Fn([&](zv::Args a) -> Value {
            events.push_back("data " + std::to_string(a.Get(2).AsInt()));
            return {};
          }));
  zv::Put(c2, sym::set::OnDataDblClick, Fn([&](zv::Args) -> Value { return events.push_back("data dbl"), Value(); }));
  zv::Put(g, sym::set::OnClick, Fn([&](zv::Args a) -> Value { return events.push_back("grid " + std::to_string(a.size())), Value(); }));
  zv::Put(g, sym::set::OnDblClick, Fn([&](zv::Args a) -> Value {
            events.push_back("grid dbl " + std::to_string(a.Get(1).AsInt()) + " " + std::to_string(a.Get(3).AsInt()));
            return {};
          }));
  const int x = ColX(g, 2), y = RowY(g, 4);
  Click(g, x, y);
  EXPECT_EQ(I(g, sym::nRowSel), 4);
  EXPECT_EQ(I(g, sym::nColSel), 2);
  EXPECT_EQ(I(g, sym::nKeyNo), 4);
  EXPECT_EQ(source_.pos, 4);
  EXPECT_EQ(*changes_, "TF");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], "data " + std::to_string(x));
  EXPECT_EQ(events[1], "grid 4") << "the sender and (nKeys, x, y)";
  events.clear();
  DoubleClick(g, x, y);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2], "data dbl");
  EXPECT_EQ(events.back(), "grid dbl " + std::to_string(MK_LBUTTON) + " " + std::to_string(y));
  // A column's answer stops the grid's event.
  zv::Put(c2, sym::set::OnDataClick, Fn([&](zv::Args) -> Value { return events.push_back("data only"), Value(true); }));
  events.clear();
  Click(g, x, RowY(g, 2));
  EXPECT_EQ(events, std::vector<std::string>{"data only"});
}

TEST_F(GridNav, AClickRightOfTheLastColumnChangesNothing) {
  Value g = Make(2, 20, 400, 200);
  changes_ = WatchChanges(g);
  Key(g, VK_DOWN);
  changes_->clear();
  const int x = static_cast<int>(g.Send(sym::GetDisplayColsWidth).AsInt() + 20);
  ASSERT_LT(x, 400);
  Click(g, x, RowY(g, 5));
  EXPECT_EQ(I(g, sym::nRowSel), 2);
  EXPECT_EQ(I(g, sym::nKeyNo), 2);
  EXPECT_EQ(I(g, sym::nColSel), 1);
  EXPECT_EQ(*changes_, "");
  EXPECT_EQ(g.Send(sym::MouseColPos, x).AsInt(), 0);
  EXPECT_EQ(g.Send(sym::MouseColPos, 3).AsInt(), -1) << "the record selector";
  EXPECT_EQ(g.Send(sym::MouseRowPos, 5).AsInt(), 0) << "the header";
}

TEST_F(GridNav, MultiRowSelectionByClickCtrlClickAndShiftClick) {
  Value g = Make(2, 30);
  zv::Put(g, sym::set::nMarqueeStyle, 6);
  const auto selected = [&]() {
    std::vector<long long> out;
    for (const Value& v : zv::Get(g, sym::aSelected).AsList().items) out.push_back(v.AsInt());
    std::sort(out.begin(), out.end());
    return out;
  };
  const int x = ColX(g, 1);
  Click(g, x, RowY(g, 2));
  EXPECT_EQ(selected(), (std::vector<long long>{2}));
  Click(g, x, RowY(g, 4), MK_CONTROL);
  EXPECT_EQ(selected(), (std::vector<long long>{2, 4}));
  Click(g, x, RowY(g, 2), MK_CONTROL);
  EXPECT_EQ(selected(), (std::vector<long long>{4})) << "Ctrl-click toggles";
  Click(g, x, RowY(g, 7), MK_SHIFT);
  EXPECT_EQ(selected(), (std::vector<long long>{4, 5, 6, 7})) << "Shift-click: the range from the last added";
  Click(g, x, RowY(g, 5));
  EXPECT_EQ(selected(), (std::vector<long long>{5})) << "a plain click on the block keeps only its row";
  Key(g, VK_DOWN, true);
  Key(g, VK_DOWN, true);
  EXPECT_EQ(selected(), (std::vector<long long>{5, 6, 7}));
  Key(g, VK_UP, true);
  EXPECT_EQ(selected(), (std::vector<long long>{5, 6})) << "Shift+Up back over the block shrinks it";
  g.Send(sym::SelectNone);
  EXPECT_TRUE(selected().empty());
  // Select(3) with the anchor three rows above: four rows.
  g.Send(sym::GoTo, 10);
  g.Send(sym::Select, 1);
  g.Send(sym::GoTo, 13);
  g.Send(sym::Select, 3);
  EXPECT_EQ(selected(), (std::vector<long long>{10, 11, 12, 13}));
  EXPECT_EQ(source_.pos, 13);
}

TEST_F(GridNav, SelectDoesNothingOutsideStyleSixAndSelectAllStoresEveryRecord) {
  Value g = Make(1, 1000);
  g.Send(sym::Select, 1);
  g.Send(sym::SelectAll);
  EXPECT_EQ(zv::Get(g, sym::aSelected).Len(), 0u);
  zv::Put(g, sym::set::nMarqueeStyle, 6);
  g.Send(sym::GoTo, 321);
  g.Send(sym::SelectAll);
  EXPECT_EQ(zv::Get(g, sym::aSelected).Len(), 1000u);
  EXPECT_EQ(source_.pos, 321) << "back on the current record";
}

TEST_F(GridNav, TypingSeeksBackspaceShortensAndAnUnknownTextKeepsTheRecord) {
  Value g = Make(2, 60);
  std::vector<std::string> asked;
  zv::Put(g, sym::set::OnSeek, Fn([&](zv::Args a) -> Value {
            const std::string t = a.Get(1).AsString();
            asked.push_back(t);
            for (char c : t)
              if (c < '0' || c > '9') return false;
            source_.pos = std::stoll(t);
            return source_.pos <= source_.count;
          }));
  Char(g, '4');
  EXPECT_EQ(zv::Get(g, sym::cSeek).AsString(), "4");
  EXPECT_EQ(I(g, sym::nKeyNo), 4);
  EXPECT_EQ(I(g, sym::nRowSel), 4) << "found on the screen: the selection moves there";
  Char(g, '2');
  EXPECT_EQ(zv::Get(g, sym::cSeek).AsString(), "42");
  EXPECT_EQ(source_.pos, 42);
  EXPECT_EQ(I(g, sym::nKeyNo), 42);
  Char(g, '\b');
  EXPECT_EQ(zv::Get(g, sym::cSeek).AsString(), "4");
  EXPECT_EQ(source_.pos, 4);
  Char(g, 'x');
  EXPECT_EQ(zv::Get(g, sym::cSeek).AsString(), "4") << "an unknown text is not kept";
  EXPECT_EQ(source_.pos, 4) << "and the record is restored";
  EXPECT_EQ(asked.back(), "4x");
  Key(g, VK_DOWN);
  EXPECT_EQ(zv::Get(g, sym::cSeek).AsString(), "") << "a move clears the seek text";
}

TEST_F(GridNav, DraggingARowBorderSetsTheRowHeightWithinItsLimits) {
  Value g = Make(2, 20, 300, 300);
  zv::Put(g, sym::set::nRowDividerStyle, 1);
  g.Send(sym::Refresh);
  zvtest::Pump();
  const int pitch = static_cast<int>(I(g, sym::nIntRowHeight));
  const int border = static_cast<int>(g.Send(sym::FirstDataRow).AsInt()) + 2 * pitch;
  std::vector<long long> heard;
  zv::Put(g, sym::set::OnChangeHeight, Fn([&](zv::Args a) -> Value {
            heard.push_back(a.Get(1).AsInt());
            heard.push_back(a.Get(2).AsInt());
            return {};
          }));
  const auto drag = [&](int from, int to) {
    SendMessageA(H(g), WM_LBUTTONDOWN, MK_LBUTTON, At(5, from));
    EXPECT_TRUE(zv::Get(g, sym::lCaptured).AsBool());
    SendMessageA(H(g), WM_MOUSEMOVE, MK_LBUTTON, At(5, to));
    SendMessageA(H(g), WM_LBUTTONUP, 0, At(5, to));
    EXPECT_FALSE(zv::Get(g, sym::lCaptured).AsBool());
    zvtest::Pump();
  };
  drag(border, border + 2);
  EXPECT_EQ(I(g, sym::FnRowHeight), 0) << "a move under 3 pixels changes nothing";
  EXPECT_TRUE(heard.empty());
  drag(border + 1, border - pitch + 4);
  EXPECT_EQ(I(g, sym::FnRowHeight), 20) << "never below 20 pixels";
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0], 20);
  EXPECT_EQ(heard[1], pitch);
  const int border2 = static_cast<int>(g.Send(sym::FirstDataRow).AsInt()) + 2 * 20;
  zv::Put(g, sym::set::OnChangeHeight, Fn([&](zv::Args) -> Value { return true; }));
  drag(border2, border2 + 15);
  EXPECT_EQ(I(g, sym::FnRowHeight), 20) << "the event refused it";
  zv::Put(g, sym::set::OnChangeHeight, Value());
  drag(border2, border2 + 15);
  EXPECT_EQ(I(g, sym::FnRowHeight), 35);
  // Without a row divider there is no border to drag.
  zv::Put(g, sym::set::nRowDividerStyle, 0);
  SendMessageA(H(g), WM_LBUTTONDOWN, MK_LBUTTON, At(5, static_cast<int>(g.Send(sym::FirstDataRow).AsInt()) + 2 * 35));
  EXPECT_FALSE(zv::Get(g, sym::lCaptured).AsBool());
  SendMessageA(H(g), WM_LBUTTONUP, 0, At(5, 0));
}

TEST_F(GridNav, HorizontalMovesScrollTheColumnsAndRespectFrozenOnes) {
  Value g = Make(8, 10, 300, 200);
  for (const Value& c : zv::Get(g, sym::aCols).AsList().items) zv::Put(c, sym::set::nWidth, 90);
  g.Send(sym::GetDisplayCols);
  changes_ = WatchChanges(g);
  for (int i = 0; i < 20; ++i) Key(g, VK_RIGHT);
  EXPECT_EQ(g.Send(sym::SelectedCol).AsObject(), zv::Get(g, sym::aCols).Item(8).AsObject()) << "the last column";
  EXPECT_GT(I(g, sym::nColOffset), 1);
  EXPECT_TRUE(g.Send(sym::IsColVisible, zv::Get(g, sym::aCols).Item(8), true).AsBool());
  EXPECT_EQ(changes_->find('T'), std::string::npos) << "column moves report no record change";
  Key(g, VK_LEFT, false, true);
  EXPECT_EQ(I(g, sym::nColSel), 1);
  EXPECT_EQ(I(g, sym::nColOffset), 1);
  Key(g, VK_RIGHT, false, true);
  EXPECT_EQ(g.Send(sym::SelectedCol).AsObject(), zv::Get(g, sym::aCols).Item(8).AsObject());
  // Frozen columns cannot be swapped or moved.
  Key(g, VK_LEFT, false, true);
  zv::Put(g, sym::set::nFreeze, 1);
  g.Send(sym::GetDisplayCols);
  const Value c1 = zv::Get(g, sym::aCols).Item(1), c2 = zv::Get(g, sym::aCols).Item(2), c3 = zv::Get(g, sym::aCols).Item(3);
  EXPECT_FALSE(g.Send(sym::SwapCols, c1, c2).AsBool());
  EXPECT_FALSE(g.Send(sym::MoveCol, c1, 3).AsBool());
  EXPECT_TRUE(g.Send(sym::SwapCols, c2, c3).AsBool());
  EXPECT_EQ(zv::Get(g, sym::aCols).Item(2).AsObject(), c3.AsObject());
  EXPECT_TRUE(g.Send(sym::MoveCol, c2, 2).AsBool()) << "c2 (now third) moves back to the second place";
  EXPECT_EQ(zv::Get(g, sym::aCols).Item(2).AsObject(), c2.AsObject());
  EXPECT_FALSE(g.Send(sym::SwapCols, 1, 99).AsBool());
  EXPECT_FALSE(g.Send(sym::MoveCol, 0, 2).AsBool());
}

TEST_F(GridNav, ColumnListOperationsKeepTheIndexesInStep) {
  Value g = Make(3, 10);
  const Value c1 = zv::Get(g, sym::aCols).Item(1), c2 = zv::Get(g, sym::aCols).Item(2), c3 = zv::Get(g, sym::aCols).Item(3);
  std::vector<zv::Object*> added;
  zv::Put(g, sym::set::OnNewItem, Fn([&](zv::Args a) -> Value { return added.push_back(a.Get(1).AsObject()), Value(); }));
  const Value made = g.Send(sym::InsCol, 1);
  ASSERT_TRUE(made.IsObject());
  EXPECT_EQ(added, std::vector<zv::Object*>{made.AsObject()});
  EXPECT_EQ(I(made, sym::nIndex), 1);
  EXPECT_EQ(I(c1, sym::nIndex), 2);
  EXPECT_EQ(I(c3, sym::nIndex), 4);
  EXPECT_EQ(g.Send(sym::AddCol, c2).AsObject(), c2.AsObject()) << "a column already there is returned as it is";
  EXPECT_EQ(zv::Get(g, sym::aCols).Len(), 4u);
  EXPECT_TRUE(g.Send(sym::DelCol, made).AsBool());
  EXPECT_EQ(I(c1, sym::nIndex), 1);
  EXPECT_EQ(I(c3, sym::nIndex), 3);
  EXPECT_FALSE(g.Send(sym::DelCol, 9).AsBool());
  EXPECT_FALSE(g.Send(sym::DelCol).AsBool());
  EXPECT_TRUE(g.Send(sym::DelCol, 2).AsBool());
  EXPECT_EQ(I(c3, sym::nIndex), 2);
  EXPECT_EQ(zv::Get(g, sym::aCols).Len(), 2u);
  EXPECT_EQ(zv::Get(g, sym::aDisplay).Len(), 2u);
}

TEST_F(GridNav, TheLayoutTextSavesAndRestoresWidthsVisibilityAndOrder) {
  Value g = Make(2, 5);
  const Value c1 = zv::Get(g, sym::aCols).Item(1), c2 = zv::Get(g, sym::aCols).Item(2);
  zv::Put(c1, sym::set::nWidth, 80);
  zv::Put(c2, sym::set::nWidth, 120);
  zv::Put(c2, sym::set::lVisible, false);
  EXPECT_EQ(g.Send(sym::SaveState).AsString(), "0;1:80:S;2:120:H");
  Value fresh = Make(2, 5);
  const Value f1 = zv::Get(fresh, sym::aCols).Item(1), f2 = zv::Get(fresh, sym::aCols).Item(2);
  EXPECT_TRUE(fresh.Send(sym::RestoreState, "0;2:120:H;1:80:S").AsBool());
  EXPECT_EQ(zv::Get(fresh, sym::aCols).Item(1).AsObject(), f2.AsObject()) << "the saved order";
  EXPECT_EQ(I(f2, sym::FnWidth), 120);
  EXPECT_FALSE(zv::Get(f2, sym::FlVisible).AsBool());
  EXPECT_EQ(I(f1, sym::FnWidth), 80);
  const std::string before = fresh.Send(sym::SaveState).AsString();
  for (const char* bad : {"0;1:80:S;9:30:S", "zz", "0;1:80:S;1:90:S", "0;1:80:Q;2:3:S", "40000;1:8:S;2:8:S"}) {
    EXPECT_FALSE(fresh.Send(sym::RestoreState, bad).AsBool()) << bad;
    EXPECT_EQ(fresh.Send(sym::SaveState).AsString(), before) << "nothing changed by " << bad;
  }
  // Fewer fields than columns: those named change, the order stays.
  EXPECT_FALSE(fresh.Send(sym::RestoreState, "0;1:150:S").AsBool());
  EXPECT_EQ(I(f1, sym::FnWidth), 150);
  EXPECT_EQ(zv::Get(fresh, sym::aCols).Item(1).AsObject(), f2.AsObject());
}

TEST_F(GridNav, EditCommandsRefuseWhenSwitchedOffOrNothingIsEditable) {
  Value g = Make(2, 10);
  EXPECT_FALSE(g.Send(sym::Append, true).AsBool()) << "lAllowAppend is off";
  EXPECT_FALSE(g.Send(sym::Append, false).AsBool()) << "no column is editable";
  EXPECT_FALSE(g.Send(sym::Insert, false).AsBool());
  EXPECT_FALSE(g.Send(sym::Delete, true).AsBool());
  EXPECT_FALSE(g.Send(sym::IsEditable).AsBool());
  const Value c1 = zv::Get(g, sym::aCols).Item(1);
  zv::Put(c1, sym::set::nEditType, 1);
  EXPECT_TRUE(g.Send(sym::IsEditable).AsBool());
  int vetoed = 0;
  zv::Put(g, sym::set::OnAppend, Fn([&](zv::Args) -> Value { return ++vetoed, Value(false); }));
  EXPECT_FALSE(g.Send(sym::Append, false).AsBool());
  EXPECT_EQ(vetoed, 1);
  EXPECT_FALSE(g.Send(sym::Edit, true).AsBool()) << "an editable column without an editor cannot take the edit";
  EXPECT_EQ(I(g, sym::nEditMode), 0);
  EXPECT_FALSE(zv::Get(g, sym::lMultiEdit).AsBool());
  // An edit in progress (as the editors leave it): every move ends it.
  std::vector<bool> posted;
  zv::Put(g, sym::set::OnPostEdit, Fn([&](zv::Args a) -> Value { return posted.push_back(a.Get(1).AsBool()), Value(); }));
  zv::Put(g, sym::set::nEditMode, 2);
  zv::Put(g, sym::set::nPhantomRow, 3);
  Key(g, VK_DOWN);
  EXPECT_EQ(I(g, sym::nEditMode), 0);
  EXPECT_EQ(I(g, sym::nKeyNo), 2);
  zv::Put(g, sym::set::nEditMode, 2);
  Key(g, VK_UP);
  EXPECT_EQ(I(g, sym::nEditMode), 0) << "Up gives the appended row up";
  EXPECT_EQ(I(g, sym::nPhantomRow), 0);
  EXPECT_EQ(I(g, sym::nKeyNo), 2) << "and does not move";
  ASSERT_GE(posted.size(), 2u);
  EXPECT_TRUE(posted.back()) << "as a cancel";
  zv::Put(g, sym::set::nEditMode, 1);
  Value canceled = Value::Ref(true);
  g.Send(sym::CancelEdit, canceled, 27);
  EXPECT_TRUE(posted.back());
  EXPECT_EQ(I(g, sym::nEditMode), 0);
}

TEST_F(GridNav, AHandlerThatDestroysTheGridEndsTheDoubleClick) {
  Value g = Make(2, 10);
  HWND h = H(g);
  zv::Put(g, sym::set::OnDblClick, Fn([&](zv::Args) -> Value {
            g.Send(sym::Destroy, true);
            return {};
          }));
  DoubleClick(g, ColX(g, 1), RowY(g, 3));
  EXPECT_FALSE(IsWindow(h));
}

}  // namespace
