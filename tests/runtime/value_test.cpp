// Values: kinds, type letters, display form, lists, maps, references, dates.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/runtime.h"

namespace {

using zv::Value;

TEST(Value, KindsAndTypeLetters) {
  struct Case {
    Value v;
    char letter;
  } cases[] = {
      {Value(), 'U'},
      {Value(true), 'L'},
      {Value(42), 'N'},
      {Value(2.5), 'N'},
      {Value("text"), 'C'},
      {Value::Date(2026, 12, 8), 'D'},
      {Value::List({1, 2}), 'A'},
      {Value::Map(), 'H'},
      {Value::Callable([](zv::Args) { return Value(); }), 'B'},
      {zv::Object::New(zv::RootClass()), 'O'},
      {Value::Pointer(&cases), 'P'},
  };
  for (const Case& c : cases) EXPECT_EQ(c.v.TypeLetter(), c.letter) << c.v.ToDisplay();
  // A by-reference cell shows the letter of what it holds.
  EXPECT_EQ(Value::Ref(Value("x")).TypeLetter(), 'C');
  EXPECT_EQ(Value::Ref().TypeLetter(), 'U');
}

TEST(Value, IntegersAndFloatingPointStayApart) {
  Value i = 7;
  Value d = 7.0;
  EXPECT_TRUE(i.IsInteger());
  EXPECT_TRUE(d.IsDouble());
  EXPECT_TRUE(i == d);  // equal by value
  Value big = static_cast<long long>(1) << 40;
  EXPECT_TRUE(big.IsInteger());
  EXPECT_EQ(big.AsInt(), 1LL << 40);
  EXPECT_EQ(Value(3.99).AsInt(), 3);
  EXPECT_EQ(Value(-3.99).AsInt(), -3);
  EXPECT_EQ(Value(1e300).AsInt(), INT64_MAX);  // saturates, never undefined
  EXPECT_EQ(Value("12").AsInt(), 0);            // no silent string conversion
}

TEST(Value, DisplayForm) {
  EXPECT_EQ(Value(42).ToDisplay(), "42");
  EXPECT_EQ(Value(-7).ToDisplay(), "-7");
  EXPECT_EQ(Value(2.5).ToDisplay(), "2.5");
  EXPECT_EQ(Value(1.0).ToDisplay(), "1");
  EXPECT_EQ(Value(0.1).ToDisplay(), "0.1");
  EXPECT_EQ(Value(true).ToDisplay(), ".T.");
  EXPECT_EQ(Value(false).ToDisplay(), ".F.");
  EXPECT_EQ(Value().ToDisplay(), "NIL");
  EXPECT_EQ(Value("as is ").ToDisplay(), "as is ");
  EXPECT_EQ(Value::Date(1899, 12, 30).ToDisplay(), "1899-12-30");
  EXPECT_EQ(Value::List({1}).ToDisplay(), "{ ... }");
  EXPECT_EQ(zv::Object::New(zv::RootClass()).ToDisplay(), "{ Object }");
}

TEST(Value, ListsAreSharedOneBasedAndGrow) {
  Value a = Value::List({"a", "b"});
  Value alias = a;  // assignment shares the list
  alias.Append("c");
  EXPECT_EQ(a.Len(), 3u);
  EXPECT_EQ(a.Item(1).AsString(), "a");
  EXPECT_EQ(a.Item(3).AsString(), "c");
  EXPECT_TRUE(a.Item(0).IsNil());   // out of range: absent, no crash
  EXPECT_TRUE(a.Item(4).IsNil());
  a.SetItem(6, 60);                 // grows, the gap is absent
  EXPECT_EQ(alias.Len(), 6u);
  EXPECT_TRUE(alias.Item(5).IsNil());
  EXPECT_EQ(alias.Item(6).AsInt(), 60);
  Value notList = 5;
  EXPECT_EQ(notList.Len(), 0u);
  notList.SetItem(1, 1);            // ignored
  EXPECT_TRUE(notList.Item(1).IsNil());
}

TEST(Value, MapsKeepInsertionOrderAndCompareKeysByValue) {
  Value m = Value::Map();
  zv::MapObj& map = m.AsMap();
  map.Put("b", 1);
  map.Put("a", 2);
  map.Put(3, "three");
  map.Put(3.0, "three again");  // same key as 3
  EXPECT_EQ(map.size(), 3u);
  EXPECT_EQ(map.Get(3).AsString(), "three again");
  EXPECT_EQ(map.entries()[0].first.AsString(), "b");
  EXPECT_TRUE(map.Get("missing").IsNil());
  for (int i = 0; i < 1000; ++i) map.Put(i + 100, i);
  EXPECT_EQ(map.Get(600).AsInt(), 500);
  EXPECT_TRUE(map.Remove("a"));
  EXPECT_FALSE(map.Has("a"));
  EXPECT_EQ(map.Get("b").AsInt(), 1);
  EXPECT_EQ(map.Get(1099).AsInt(), 999);
}

TEST(Value, ReferenceCellsReadAndWriteThrough) {
  Value cell = Value::Ref(1);
  Value copy = cell;  // the same cell
  copy.Assign(2);
  EXPECT_EQ(cell.Deref().AsInt(), 2);
  Value argv[] = {cell, Value(5)};
  zv::Args args(argv, 2);
  EXPECT_TRUE(args.IsRef(0));
  EXPECT_FALSE(args.IsRef(1));
  args.Set(0, "written");
  args.Set(1, "local");
  args.Set(7, "beyond");  // ignored
  EXPECT_EQ(cell.Deref().AsString(), "written");
  EXPECT_EQ(argv[1].AsString(), "local");
  EXPECT_TRUE(args.Get(9).IsNil());
  EXPECT_FALSE(args.Has(9));
}

TEST(Value, JulianDaysOfTheCalendar) {
  // Day 0 of automation dates.
  EXPECT_EQ(zv::JulianFromCivil(1899, 12, 30), 2415019.0);
  EXPECT_EQ(zv::JulianFromCivil(2000, 1, 1), 2451545.0);
  for (double jd : {1721426.0, 2299161.0, 2415019.0, 2451545.0, 2488070.0}) {
    int y, m, d;
    zv::CivilFromJulian(jd, y, m, d);
    EXPECT_EQ(zv::JulianFromCivil(y, m, d), jd);
  }
  Value noon = Value::Date(2451545.5);
  EXPECT_EQ(noon.ToDisplay(), "2000-01-01 12:00:00");
}

TEST(Value, MonthsOutsideTheYearRollOver) {
  EXPECT_EQ(Value::Date(2024, 13, 1), Value::Date(2025, 1, 1));
  EXPECT_EQ(Value::Date(2024, 0, 1), Value::Date(2023, 12, 1));
  EXPECT_EQ(Value::Date(2024, -23, 1), Value::Date(2022, 1, 1));
  EXPECT_EQ(Value::Date(2024, 2, 30), Value::Date(2024, 3, 1));
  EXPECT_EQ(Value::Date(2024, 3, 0), Value::Date(2024, 2, 29));
}

TEST(Value, DatesOutsideTheSupportedRangeDisplayAFixedText) {
  // The last day shown as a calendar day, and the first one after it.
  EXPECT_EQ(zv::JulianFromCivil(9999, 12, 31), zv::kMaxJulianDay);
  EXPECT_EQ(Value::Date(zv::kMaxJulianDay + 0.5).ToDisplay(), "9999-12-31 12:00:00");
  EXPECT_EQ(Value::Date(zv::kMaxJulianDay + 1).ToDisplay(), zv::kDateOutOfRangeText);
  EXPECT_EQ(Value::Date(0.5).ToDisplay(), "-4713-11-24 12:00:00");
  EXPECT_EQ(Value::Date(-0.5).ToDisplay(), zv::kDateOutOfRangeText);
  // Extreme months and days, and non-finite Julian days.
  for (const Value& d : {Value::Date(2000, INT_MAX, 1), Value::Date(2000, INT_MIN, 1),
                         Value::Date(INT_MAX, INT_MAX, INT_MAX), Value::Date(INT_MIN, INT_MIN, INT_MIN),
                         Value::Date(1e300), Value::Date(-1e300), Value::Date(9.3e18),
                         Value::Date(std::numeric_limits<double>::infinity()),
                         Value::Date(-std::numeric_limits<double>::infinity()),
                         Value::Date(std::numeric_limits<double>::quiet_NaN())}) {
    ASSERT_TRUE(d.IsDate());
    EXPECT_EQ(d.ToDisplay(), zv::kDateOutOfRangeText) << d.AsJulian();
  }
  int y = 1, m = 1, d = 1;
  EXPECT_FALSE(zv::CivilFromJulian(std::numeric_limits<double>::quiet_NaN(), y, m, d));
  EXPECT_EQ(y + m + d, 0);
  EXPECT_TRUE(zv::CivilFromJulian(2451545.0, y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20000101);
}

TEST(Value, AnIntegerEqualsADoubleOnlyWhenTheyAreTheSameNumber) {
  const long long two53 = 1LL << 53;
  EXPECT_TRUE(Value(two53) == Value(9007199254740992.0));
  EXPECT_FALSE(Value(two53 + 1) == Value(9007199254740992.0));  // the integer does not round
  EXPECT_FALSE(Value(9007199254740992.0) == Value(two53 + 1));
  EXPECT_FALSE(Value(LLONG_MAX) == Value(9223372036854775807.0));  // that double is 2^63
  EXPECT_TRUE(Value(LLONG_MIN) == Value(-9223372036854775808.0));
  EXPECT_FALSE(Value(0) == Value(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_TRUE(Value(0) == Value(-0.0));
  EXPECT_FALSE(Value(3) == Value(3.5));
}

TEST(Value, MapKeysOfTheSameNumberMeetOverTheWholeRange) {
  Value m = Value::Map();
  zv::MapObj& map = m.AsMap();
  const long long whole[] = {0, 1, -1, 1LL << 53, -(1LL << 53), 9000000000000000000LL,
                             -9000000000000000000LL, 1LL << 62, LLONG_MIN};
  for (long long i : whole) {
    map.Put(i, "integer");
    const Value asDouble(static_cast<double>(i));
    ASSERT_TRUE(asDouble == Value(i)) << i;
    EXPECT_EQ(map.Get(asDouble).AsString(), "integer") << i;
    map.Put(asDouble, "double");
    EXPECT_EQ(map.Get(i).AsString(), "double") << i;
  }
  EXPECT_EQ(map.size(), std::size(whole));
  // Numbers that only rounding would make equal are different keys.
  map.Put((1LL << 53) + 1, "odd");
  map.Put(LLONG_MAX, "largest");
  map.Put(9223372036854775808.0, "two to the 63");
  EXPECT_EQ(map.size(), std::size(whole) + 3);
  EXPECT_EQ(map.Get(9007199254740992.0).AsString(), "double");
  EXPECT_EQ(map.Get(LLONG_MAX).AsString(), "largest");
  // The two zeros of dates are one key, as they are one date.
  map.Put(Value::Date(0.0), "empty date");
  EXPECT_EQ(map.Get(Value::Date(-0.0)).AsString(), "empty date");
}

TEST(Value, RemovingAMapKeyKeepsEveryOtherEntryInOrder) {
  Value m = Value::Map();
  zv::MapObj& map = m.AsMap();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Keys side by side that equality keeps apart, NaN (never equal to
  // anything, so every Put of it adds an entry) among them.
  const Value keys[] = {Value((1LL << 53) + 1), Value(9007199254740992.0), Value(1LL << 53),
                        Value(nan), Value(nan), Value("a"), Value(LLONG_MAX),
                        Value(9223372036854775808.0), Value::Date(1.0), Value(1.0), Value(true)};
  for (std::size_t i = 0; i < std::size(keys); ++i) map.Put(keys[i], static_cast<long long>(i));
  ASSERT_EQ(map.size(), 10u);  // 2^53 as a double and as an integer are one key
  ASSERT_TRUE(map.Remove("a"));
  ASSERT_EQ(map.size(), 9u);
  const long long expected[] = {0, 2, 3, 4, 6, 7, 8, 9, 10};
  for (std::size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(map.entries()[i].second.AsInt(), expected[i]) << i;
  EXPECT_EQ(map.Get(Value(9007199254740992.0)).AsInt(), 2);
  EXPECT_EQ(map.Get(Value((1LL << 53) + 1)).AsInt(), 0);
  EXPECT_EQ(map.Get(Value(LLONG_MAX)).AsInt(), 6);
  EXPECT_TRUE(map.Get(Value(nan)).IsNil());
  EXPECT_FALSE(map.Remove(Value(nan)));
  EXPECT_EQ(map.size(), 9u);

  // Removing an entry changes the probe sequences of the entries after it;
  // rebuilding the index must not look the remaining keys up again (here the
  // two numbers once met and became one entry).
  Value m2 = Value::Map();
  zv::MapObj& map2 = m2.AsMap();
  for (const char* f : {"f0", "f1", "f2", "f3"}) map2.Put(f, f);
  map2.Put((1LL << 53) + 13, "integer");
  map2.Put(9007199254741004.0, "double");  // 2^53 + 12
  ASSERT_EQ(map2.size(), 6u);
  ASSERT_TRUE(map2.Remove("f0"));
  ASSERT_EQ(map2.size(), 5u);
  EXPECT_EQ(map2.Get((1LL << 53) + 13).AsString(), "integer");
  EXPECT_EQ(map2.Get(9007199254741004.0).AsString(), "double");
  EXPECT_EQ(map2.entries()[0].first.AsString(), "f1");
}

TEST(Value, AssigningACellToItselfKeepsItsValue) {
  Value cell = Value::Ref(5);
  cell.Assign(cell);
  ASSERT_FALSE(cell.Deref().IsRef());
  EXPECT_EQ(cell.Deref().AsInt(), 5);
  // A chain of cells leading back to the one written.
  Value outer = Value::Ref(cell);
  Value outermost = Value::Ref(outer);
  cell.Assign(outermost);
  EXPECT_EQ(outermost.Deref().AsInt(), 5);
  EXPECT_EQ(cell.Deref().AsInt(), 5);
  // The same through a by-reference argument written with its own value.
  Value argv[] = {cell};
  zv::Args args(argv, 1);
  args.Set(0, args.raw(0));
  EXPECT_EQ(args.Get(0).AsInt(), 5);
  args.Set(0, outer);
  EXPECT_EQ(cell.Deref().AsInt(), 5);
  // A reference stored into a cell is read at the time of the write.
  Value other = Value::Ref("before");
  cell.Assign(other);
  other.Assign("after");
  EXPECT_EQ(cell.Deref().AsString(), "before");
}

TEST(Value, CallablesReceiveArgumentsAndBoundValues) {
  Value base = 10;
  Value add = Value::Callable(
      [](zv::Args a) -> Value { return a.Get(0).AsInt() + a.Get(1).AsInt(); });
  EXPECT_EQ(add.Call(2, 3).AsInt(), 5);
  EXPECT_THROW(Value(5).Call(), zv::Break);  // not callable: a run-time error
  (void)base;
}

}  // namespace
