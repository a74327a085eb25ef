// Values: kinds, type letters, display form, lists, maps, references, dates.
#include <gtest/gtest.h>

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

TEST(Value, CallablesReceiveArgumentsAndBoundValues) {
  Value base = 10;
  Value add = Value::Callable(
      [](zv::Args a) -> Value { return a.Get(0).AsInt() + a.Get(1).AsInt(); });
  EXPECT_EQ(add.Call(2, 3).AsInt(), 5);
  EXPECT_THROW(Value(5).Call(), zv::Break);  // not callable: a run-time error
  (void)base;
}

}  // namespace
