// The portable rules of the grids: the column layout text and the order,
// filter and seek rules of the array grid's cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "framework/grid/cell_rules.h"
#include "framework/grid/layout_state.h"

namespace {

using zv::Value;

TEST(LayoutText, WritesTheRowHeightThenEachColumn) {
  zv::GridLayout l;
  l.rowHeight = 0;
  l.columns = {{1, 80, true}, {2, 120, false}};
  EXPECT_EQ(zv::LayoutToText(l), "0;1:80:S;2:120:H");
  const auto back = zv::LayoutFromText("0;1:80:S;2:120:H");
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->rowHeight, 0);
  ASSERT_EQ(back->columns.size(), 2u);
  EXPECT_EQ(back->columns[1].index, 2);
  EXPECT_EQ(back->columns[1].width, 120);
  EXPECT_FALSE(back->columns[1].visible);
  const auto onlyHeight = zv::LayoutFromText("25");
  ASSERT_TRUE(onlyHeight.has_value());
  EXPECT_EQ(onlyHeight->rowHeight, 25);
  EXPECT_TRUE(onlyHeight->columns.empty());
}

TEST(LayoutText, RefusesEveryMalformedOrHostileText) {
  for (const char* bad : {"", ";", "x;1:80:S", "-1;1:80:S", "0;1:80", "0;1:80:S:9", "0;1:80:X", "0;0:80:S",
                          "0;1:-5:S", "0;1:80:S;1:90:H", "0;1:80:s", "0; 1:80:S", "0;1:80:S;", "99999999999999;1:8:S",
                          "0;1:40000:S", "0;1000001:80:S", "0;1:8e1:S", "0;1:0x50:S", "0;;1:80:S"}) {
    EXPECT_FALSE(zv::LayoutFromText(bad).has_value()) << '"' << bad << '"';
  }
  std::string huge(zv::kLayoutMaxText + 1, '1');
  EXPECT_FALSE(zv::LayoutFromText(huge).has_value());
  const std::string nul("0;1:80:S\0", 9);
  EXPECT_FALSE(zv::LayoutFromText(nul).has_value());
}

TEST(CellOrder, OrdersEveryKindWithoutRaising) {
  std::vector<Value> cells = {Value("b"), Value(2), Value(), Value(true), Value(1.5), Value("a"), Value(false),
                              Value::List({}), Value::Date(2451545.0), Value(std::numeric_limits<double>::quiet_NaN())};
  std::stable_sort(cells.begin(), cells.end(), zv::CellLess);
  EXPECT_TRUE(cells[0].IsNil());
  EXPECT_TRUE(cells[1].IsFalse());
  EXPECT_TRUE(cells[2].IsTrue());
  EXPECT_TRUE(std::isnan(cells[3].AsDouble())) << "NaN sorts before the other numbers";
  EXPECT_EQ(cells[4].AsDouble(), 1.5);
  EXPECT_EQ(cells[5].AsInt(), 2);
  EXPECT_TRUE(cells[6].IsDate());
  EXPECT_EQ(cells[7].AsString(), "a");
  EXPECT_EQ(cells[8].AsString(), "b");
  EXPECT_TRUE(cells[9].IsList());
  // A strict weak order: irreflexive and asymmetric over all pairs.
  for (const Value& x : cells) {
    EXPECT_FALSE(zv::CellLess(x, x));
    for (const Value& y : cells) EXPECT_FALSE(zv::CellLess(x, y) && zv::CellLess(y, x));
  }
  EXPECT_TRUE(zv::CellLess(Value(9007199254740992LL), Value(9007199254740993LL))) << "integers compare exactly";
}

TEST(NumericFilter, ReadsTheCellFollowedByTheFilterAsAComparison) {
  EXPECT_EQ(zv::NumericFilterMatch("12", ">5"), true);
  EXPECT_EQ(zv::NumericFilterMatch("3", ">5"), false);
  EXPECT_EQ(zv::NumericFilterMatch("5", ">=5"), true);
  EXPECT_EQ(zv::NumericFilterMatch("5", "<=4.5"), false);
  EXPECT_EQ(zv::NumericFilterMatch(" -2.5 ", "< 0"), true);
  EXPECT_EQ(zv::NumericFilterMatch("7", "=7"), true);
  EXPECT_EQ(zv::NumericFilterMatch("7", "<>7"), false);
  EXPECT_EQ(zv::NumericFilterMatch("7", "!=8"), true);
  EXPECT_EQ(zv::NumericFilterMatch("1e3", ">999"), true);
  for (const char* bad : {">", ">x", ">5 .AND. .T.", "5", ">>5", ">5)", ">1e", ">1e999"})
    EXPECT_FALSE(zv::NumericFilterMatch("12", bad).has_value()) << bad;
  EXPECT_FALSE(zv::NumericFilterMatch("abc", ">5").has_value()) << "a cell that is no number matches nothing";
  EXPECT_TRUE(zv::IsComparisonFilter(">5"));
  EXPECT_TRUE(zv::IsComparisonFilter("=1"));
  EXPECT_FALSE(zv::IsComparisonFilter("AN"));
  EXPECT_FALSE(zv::IsComparisonFilter(""));
}

}  // namespace
