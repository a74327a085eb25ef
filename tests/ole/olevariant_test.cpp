// Conversions between values and VARIANTs: each direction on its own, then
// through the test server (what a server receives, what comes back, by-
// reference arguments copied back), and the trace file.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>

#include "ole_test_support.h"

namespace {

using oletest::ErrorTrap;
using oletest::OleTest;
using oletest::Server;
using zv::Value;

Value NewServer() { return zv::CreateObject(oletest::kProgId); }

// A VARIANT that clears itself.
struct Var {
  VARIANT v;
  explicit Var(const Value& x) { zv::ValueToVariant(x, v); }
  ~Var() {
    if (v.vt != VT_PTR) VariantClear(&v);
  }
};

std::wstring Wide(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

// Each trace line written by `action`, after making sure the run has
// started the file (the first write of a run truncates it).
template <typename F>
std::vector<std::string> TraceLinesOf(F&& action) {
  { Var started(Value::Map()); }  // writes a line
  const std::string before = oletest::ReadTrace();
  action();
  const std::string after = oletest::ReadTrace();
  EXPECT_EQ(after.compare(0, before.size(), before), 0) << "the trace file was not appended to";
  std::vector<std::string> lines;
  std::size_t at = before.size();
  while (at < after.size()) {
    std::size_t end = after.find('\n', at);
    if (end == std::string::npos) end = after.size() - 1;
    lines.push_back(after.substr(at, end - at + 1));
    at = end + 1;
  }
  return lines;
}

// "Unexpected type <hex> in: olevariant.cpp(<line>)!\n" for a type code.
bool IsUnexpectedType(const std::string& line, unsigned code) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "%0*X", static_cast<int>(2 * sizeof(void*)), code);
  return std::regex_match(line, std::regex(std::string("Unexpected type ") + hex +
                                           " in: olevariant\\.cpp\\([0-9]+\\)!\n"));
}

// ---------------------------------------------------------------- value to VARIANT

TEST(ValueToVariant, Scalars) {
  EXPECT_EQ(Var(Value()).v.vt, VT_EMPTY);
  {
    Var i(5);
    EXPECT_EQ(i.v.vt, VT_I4);
    EXPECT_EQ(i.v.lVal, 5);
  }
  EXPECT_EQ(Var(Value(-2147483648LL)).v.vt, VT_I4);
  {
    Var big(Value(2147483648LL));
    EXPECT_EQ(big.v.vt, VT_I8);
    EXPECT_EQ(big.v.llVal, 2147483648LL);
  }
  {
    Var d(2.5);
    EXPECT_EQ(d.v.vt, VT_R8);
    EXPECT_EQ(d.v.dblVal, 2.5);
  }
  {
    Var t(true), f(false);
    EXPECT_EQ(t.v.vt, VT_BOOL);
    EXPECT_EQ(t.v.boolVal, VARIANT_TRUE);
    EXPECT_EQ(f.v.boolVal, VARIANT_FALSE);
  }
  {
    Var p(Value::Pointer(&p));
    EXPECT_EQ(p.v.vt, VT_PTR);
    EXPECT_EQ(p.v.byref, &p);
  }
}

TEST(ValueToVariant, Dates) {
  {
    Var d(Value::Date(1899, 12, 30));
    EXPECT_EQ(d.v.vt, VT_DATE);
    EXPECT_EQ(d.v.date, 0.0);  // 30 December 1899 is day 0
  }
  EXPECT_EQ(Var(Value::Date(1800, 1, 1)).v.date, -36522.0);
  EXPECT_EQ(Var(Value::Date(2000, 1, 1)).v.date, 36526.0);
  // Before day 0 the time of day still counts forwards.
  EXPECT_EQ(Var(Value::Date(zv::JulianFromCivil(1899, 12, 29) + 0.25)).v.date, -1.25);
  EXPECT_EQ(Var(Value::Date(zv::JulianFromCivil(1900, 1, 1) + 0.5)).v.date, 2.5);
  EXPECT_EQ(Var(Value::Date(0)).v.vt, VT_NULL);  // the empty date
}

TEST(ValueToVariant, StringsGoThroughTheAnsiCodePage) {
  Var s(Value("caf\xe9 \x80 \x9f"));
  ASSERT_EQ(s.v.vt, VT_BSTR);
  EXPECT_EQ(Wide(s.v.bstrVal), L"caf\u00e9 \u20ac \u0178");
  Var empty(Value(""));
  ASSERT_EQ(empty.v.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(empty.v.bstrVal), 0u);
  Var nul(Value(std::string("a\0b", 3)));
  EXPECT_EQ(Wide(nul.v.bstrVal), std::wstring(L"a\0b", 3));
}

TEST(ValueToVariant, ListsAreArraysOfVariants) {
  Var l(Value::List({1, "a", Value::List({2.5})}));
  ASSERT_EQ(l.v.vt, VT_ARRAY | VT_VARIANT);
  EXPECT_EQ(SafeArrayGetDim(l.v.parray), 1u);
  LONG lo = -1, hi = -1;
  SafeArrayGetLBound(l.v.parray, 1, &lo);
  SafeArrayGetUBound(l.v.parray, 1, &hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 2);
  VARIANT* items = nullptr;
  ASSERT_TRUE(SUCCEEDED(SafeArrayAccessData(l.v.parray, reinterpret_cast<void**>(&items))));
  EXPECT_EQ(items[0].vt, VT_I4);
  EXPECT_EQ(items[1].vt, VT_BSTR);
  EXPECT_EQ(items[2].vt, VT_ARRAY | VT_VARIANT);
  SafeArrayUnaccessData(l.v.parray);
  EXPECT_EQ(Var(Value::List({})).v.vt, VT_ARRAY | VT_VARIANT);
}

TEST(ValueToVariant, AStringCanCarryAnArrayOfPlainData) {
  {
    Var bytes(Value(std::string("z{|}\x11" "abc")));
    ASSERT_EQ(bytes.v.vt, VT_ARRAY | VT_UI1);
    LONG hi = -1;
    SafeArrayGetUBound(bytes.v.parray, 1, &hi);
    EXPECT_EQ(hi, 2);
    unsigned char* data = nullptr;
    SafeArrayAccessData(bytes.v.parray, reinterpret_cast<void**>(&data));
    EXPECT_EQ(std::memcmp(data, "abc", 3), 0);
    SafeArrayUnaccessData(bytes.v.parray);
  }
  {
    // Two whole 4-byte integers; the ninth byte is no element.
    const LONG ints[2] = {7, -1};
    std::string s("z{|}\x03", 5);
    s.append(reinterpret_cast<const char*>(ints), 8);
    s += 'x';
    Var v((Value(s)));
    ASSERT_EQ(v.v.vt, VT_ARRAY | VT_I4);
    LONG hi = -1;
    SafeArrayGetUBound(v.v.parray, 1, &hi);
    EXPECT_EQ(hi, 1);
    LONG i = 1, got = 0;
    SafeArrayGetElement(v.v.parray, &i, &got);
    EXPECT_EQ(got, -1);
  }
  // Raw bytes never become strings or interfaces.
  auto lines = TraceLinesOf([] { EXPECT_EQ(Var(Value(std::string("z{|}\x08" "abcdefgh"))).v.vt, VT_EMPTY); });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(IsUnexpectedType(lines[0], VT_BSTR)) << lines[0];
  // Too short to carry anything: an ordinary string.
  EXPECT_EQ(Var(Value("z{|}")).v.vt, VT_BSTR);
}

TEST(ValueToVariant, ValuesThatCannotBeConvertedAreEmptyAndTraced) {
  std::vector<std::string> lines = TraceLinesOf([] {
    EXPECT_EQ(Var(Value::Map()).v.vt, VT_EMPTY);
    EXPECT_EQ(Var(Value::Callable([](zv::Args) { return Value(); })).v.vt, VT_EMPTY);
    EXPECT_EQ(Var(zv::Object::New(zv::RootClass())).v.vt, VT_EMPTY);
  });
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(IsUnexpectedType(lines[0], static_cast<unsigned>(zv::Kind::Map))) << lines[0];
  EXPECT_TRUE(IsUnexpectedType(lines[1], static_cast<unsigned>(zv::Kind::Callable))) << lines[1];
  EXPECT_EQ(lines[2], "Class: 'Object' not suported!\n");
}

TEST(ValueToVariant, AListInsideItselfIsNotFollowed) {
  Value list = Value::List({1});
  list.Append(list);
  std::vector<std::string> lines = TraceLinesOf([&] {
    Var v(list);
    ASSERT_EQ(v.v.vt, VT_ARRAY | VT_VARIANT);
    VARIANT* items = nullptr;
    SafeArrayAccessData(v.v.parray, reinterpret_cast<void**>(&items));
    EXPECT_EQ(items[0].vt, VT_I4);
    EXPECT_EQ(items[1].vt, VT_EMPTY);
    SafeArrayUnaccessData(v.v.parray);
  });
  EXPECT_EQ(lines.size(), 1u);
  list.AsList().items.clear();  // break the cycle
}

TEST(ValueToVariant, ArrayWrappers) {
  Value w = zv::Object::New(zv::VTArrayWrapperClass());
  w.Send("New", static_cast<int>(VT_I1), std::string("\x01\xff", 2));
  Var v(w);
  ASSERT_EQ(v.v.vt, VT_ARRAY | VT_I1);
  LONG i = 1;
  CHAR c = 0;
  SafeArrayGetElement(v.v.parray, &i, &c);
  EXPECT_EQ(static_cast<signed char>(c), -1);
  // Only VT_I1 and VT_UI1 are byte arrays.
  Value bad = zv::Object::New(zv::VTArrayWrapperClass());
  bad.Send("New", static_cast<int>(VT_I4), "abcd");
  auto lines = TraceLinesOf([&] { EXPECT_EQ(Var(bad).v.vt, VT_EMPTY); });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(IsUnexpectedType(lines[0], VT_I4));
}

// ---------------------------------------------------------------- VARIANT to value

TEST(VariantToValue, ReferencesAreFollowed) {
  LONG n = 12;
  VARIANT v;
  v.vt = VT_I4 | VT_BYREF;
  v.plVal = &n;
  EXPECT_EQ(zv::VariantToValue(v).AsInt(), 12);
  VARIANT inner;
  inner.vt = VT_BOOL;
  inner.boolVal = VARIANT_TRUE;
  VARIANT outer;
  outer.vt = VT_VARIANT | VT_BYREF;
  outer.pvarVal = &inner;
  EXPECT_TRUE(zv::VariantToValue(outer).IsTrue());
  VARIANT null;
  null.vt = VT_BSTR | VT_BYREF;
  null.pbstrVal = nullptr;
  EXPECT_TRUE(zv::VariantToValue(null).IsNil());
  // A VARIANT reference to itself ends as no value.
  VARIANT loop;
  loop.vt = VT_VARIANT | VT_BYREF;
  loop.pvarVal = &loop;
  auto lines = TraceLinesOf([&] { EXPECT_TRUE(zv::VariantToValue(loop).IsNil()); });
  EXPECT_EQ(lines.size(), 1u);
}

TEST(VariantToValue, AnArrayWhoseElementsAreNotWhatItsTypeSaysIsRefused) {
  SAFEARRAY* sa = SafeArrayCreateVector(VT_I2, 0, 4);  // 2-byte elements
  VARIANT v;
  v.vt = VT_ARRAY | VT_I4;  // claims 4-byte ones
  v.parray = sa;
  auto lines = TraceLinesOf([&] { EXPECT_TRUE(zv::VariantToValue(v).IsNil()); });
  EXPECT_EQ(lines.size(), 1u);
  SafeArrayDestroy(sa);
}

// ---------------------------------------------------------------- through the server

TEST_F(OleTest, WhatTheServerReceives) {
  Value s = NewServer();
  Value child = s.Send("Child");
  const std::string d = s.Send("Describe", Value(), 5, Value(1LL << 40), 2.5, Value::Date(1899, 12, 30),
                               Value::Date(0), true, "caf\xe9", child, Value::List({1, "a"}))
                            .AsString();
  EXPECT_EQ(d,
            "EMPTY;I4:5;I8:1099511627776;R8:2.5;DATE:0;NULL;BOOL:-1;BSTR:caf<U+00E9>;DISPATCH:child;"
            "ARRAY(12):dims=1:n=2:[VARIANT&(I4:1),VARIANT&(BSTR:a)]");
  // More arguments than the client keeps on the stack.
  EXPECT_EQ(s.Send("ArgCount", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10).AsInt(), 10);
}

TEST_F(OleTest, ResultsOfEveryType) {
  Value s = NewServer();
  auto typed = [&](int code) { return s.Send("Typed", code); };
  EXPECT_TRUE(typed(VT_EMPTY).IsNil());
  EXPECT_TRUE(typed(VT_NULL).IsNil());
  EXPECT_EQ(typed(VT_I1).AsInt(), -5);
  EXPECT_EQ(typed(VT_UI1).AsInt(), 200);
  EXPECT_EQ(typed(VT_I2).AsInt(), -300);
  EXPECT_EQ(typed(VT_UI2).AsInt(), 60000);
  EXPECT_EQ(typed(VT_I4).AsInt(), -70000);
  EXPECT_EQ(typed(VT_UI4).AsInt(), 4000000000LL);
  EXPECT_EQ(typed(VT_INT).AsInt(), -7);
  EXPECT_EQ(typed(VT_UINT).AsInt(), 7);
  for (int code : {VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4, VT_INT, VT_UINT}) EXPECT_TRUE(typed(code).IsInteger());
  EXPECT_EQ(typed(VT_I8).AsInt(), -(1LL << 40));
  EXPECT_DOUBLE_EQ(typed(VT_UI8).AsDouble(), 18446744073709551615.0);
  Value r4 = typed(VT_R4);
  ASSERT_TRUE(r4.IsDouble());
  EXPECT_EQ(r4.AsDouble(), 1.5);
  EXPECT_EQ(typed(VT_R8).AsDouble(), 2.25);
  EXPECT_DOUBLE_EQ(typed(VT_CY).AsDouble(), 12.3456);
  EXPECT_DOUBLE_EQ(typed(VT_DECIMAL).AsDouble(), 3.125);
  Value date = typed(VT_DATE);
  ASSERT_TRUE(date.IsDate());
  EXPECT_EQ(date.ToDisplay(), "1899-12-30");
  // Characters outside the code page become "?"; a null BSTR is "".
  EXPECT_EQ(typed(VT_BSTR).AsString(), "caf\xe9 \x80 ? end");
  Value nullBstr = typed(1000);
  ASSERT_TRUE(nullBstr.IsString());
  EXPECT_EQ(nullBstr.AsString(), "");
  EXPECT_TRUE(typed(VT_BOOL).IsTrue());
  EXPECT_EQ(typed(VT_DISPATCH).Send("Kind").AsString(), "child");
  EXPECT_EQ(typed(VT_DISPATCH).Send("cClassName").AsString(), "ZorvanTest.Server:TYPED");
  EXPECT_EQ(typed(VT_UNKNOWN).Send("Kind").AsString(), "child");  // an IUnknown that has IDispatch
  Value plain = typed(1001);  // one that has not
  ASSERT_TRUE(plain.IsObject());
  EXPECT_EQ(plain.Send("ClassName").AsString(), "VTWrapper");
  EXPECT_EQ(plain.Send("vt").AsInt(), VT_UNKNOWN);
  EXPECT_NE(plain.Send("Value").AsInt(), 0);
  EXPECT_TRUE(typed(1002).IsNil());  // a null dispatch pointer
  EXPECT_EQ(typed(1003).AsInt(), 4242);
  EXPECT_EQ(typed(1004).AsString(), "by reference");
  EXPECT_EQ(typed(1005).AsDouble(), 6.5);
  EXPECT_EQ(typed(1007).Send("Kind").AsString(), "child");
}

TEST_F(OleTest, TypesWithoutAValueAreTraced) {
  Value s = NewServer();
  auto lines = TraceLinesOf([&] {
    EXPECT_TRUE(s.Send("Typed", static_cast<int>(VT_ERROR)).IsNil());
    EXPECT_TRUE(s.Send("Typed", 1006).IsNil());  // a VARIANT reference to itself
  });
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(IsUnexpectedType(lines[0], VT_ERROR)) << lines[0];
  EXPECT_TRUE(IsUnexpectedType(lines[1], VT_VARIANT | VT_BYREF)) << lines[1];
}

TEST_F(OleTest, Dates) {
  Value s = NewServer();
  EXPECT_EQ(s.Send("Describe", Value::Date(1899, 12, 30)).AsString(), "DATE:0");
  EXPECT_EQ(s.Send("DateOf", -36522).ToDisplay(), "1800-01-01");
  EXPECT_EQ(s.Send("DateOf", -1.25).ToDisplay(), "1899-12-29 06:00:00");
  EXPECT_EQ(s.Send("DateOf", 36526.5).ToDisplay(), "2000-01-01 12:00:00");
  for (double julian : {zv::JulianFromCivil(1601, 1, 1), zv::JulianFromCivil(1899, 12, 29) + 0.75,
                        zv::JulianFromCivil(2024, 2, 29) + 0.5}) {
    Value back = s.Send("Echo", Value::Date(julian));
    ASSERT_TRUE(back.IsDate());
    EXPECT_DOUBLE_EQ(back.AsJulian(), julian);
  }
}

TEST_F(OleTest, ArraysOfEveryShape) {
  Value s = NewServer();
  auto array = [&](int kind) { return s.Send("Array", kind); };
  Value a1 = array(1);
  ASSERT_EQ(a1.Len(), 3u);
  EXPECT_EQ(a1.Item(3).AsInt(), 3);
  // Two dimensions: the outer list runs over the first.
  Value a2 = array(2);
  ASSERT_EQ(a2.Len(), 2u);
  ASSERT_EQ(a2.Item(1).Len(), 3u);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(a2.Item(i + 1).Item(j + 1).AsInt(), 10 * i + j);
  Value a3 = array(3);
  ASSERT_EQ(a3.Len(), 2u);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j)
      for (int k = 0; k < 2; ++k)
        EXPECT_EQ(a3.Item(i + 1).Item(j + 1).Item(k + 1).AsString(),
                  (std::string{static_cast<char>('0' + i), static_cast<char>('0' + j), static_cast<char>('0' + k)}));
  // Arrays inside VARIANTs inside arrays.
  Value a4 = array(4);
  ASSERT_EQ(a4.Len(), 3u);
  EXPECT_EQ(a4.Item(1).AsInt(), 1);
  EXPECT_EQ(a4.Item(2).Item(2).AsString(), "b");
  EXPECT_EQ(a4.Item(3).Item(1).AsDouble(), 1.5);
  EXPECT_EQ(a4.Item(3).Item(2).Item(1).AsInt(), 5);
  EXPECT_TRUE(array(5).IsList());
  EXPECT_EQ(array(5).Len(), 0u);
  EXPECT_TRUE(array(6).IsList());  // a null array
  EXPECT_EQ(array(6).Len(), 0u);
  Value huge = array(7);
  ASSERT_EQ(huge.Len(), 1u << 20);
  EXPECT_EQ(huge.Item(1).AsInt(), 0);
  EXPECT_EQ(huge.Item(256).AsInt(), 255);
  EXPECT_EQ(huge.Item(257).AsInt(), 0);
  EXPECT_EQ(huge.Item(1u << 20).AsInt(), 255);
  Value objects = array(8);
  ASSERT_EQ(objects.Len(), 3u);
  EXPECT_EQ(objects.Item(3).Send("Kind").AsString(), "child");
  Value shifted = array(9);  // lower bound -2
  ASSERT_EQ(shifted.Len(), 3u);
  EXPECT_EQ(shifted.Item(1).AsInt(), -2);
  EXPECT_EQ(shifted.Item(3).AsInt(), 0);
  Value unknowns = array(10);
  ASSERT_EQ(unknowns.Len(), 2u);
  EXPECT_EQ(unknowns.Item(2).Send("ClassName").AsString(), "VTWrapper");
  auto lines = TraceLinesOf([&] { EXPECT_TRUE(array(11).IsNil()); });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(IsUnexpectedType(lines[0], VT_ARRAY | VT_ERROR)) << lines[0];
  Value empty2 = array(12);  // 3 x 0
  ASSERT_EQ(empty2.Len(), 3u);
  EXPECT_EQ(empty2.Item(1).Len(), 0u);
  Value dates = array(13);
  EXPECT_EQ(dates.Item(1).ToDisplay(), "1899-12-30");
  EXPECT_EQ(dates.Item(2).ToDisplay(), "1899-12-29 06:00:00");
  EXPECT_EQ(dates.Item(3).ToDisplay(), "1900-01-01 12:00:00");
}

TEST_F(OleTest, ByReferenceArgumentsGetWhatTheServerLeft) {
  Value s = NewServer();
  Value child = s.Send("Child");
  const double day = zv::JulianFromCivil(2001, 2, 3);
  std::vector<Value> args{Value::Ref(41),   Value::Ref(1.5),            Value::Ref("abc"),
                          Value::Ref(true), Value::Ref(Value::Date(day)), Value::Ref(),
                          Value::Ref(Value::List({1})), Value::Ref(child), Value::Ref(Value(1LL << 40)),
                          Value::Ref(Value::Date(0))};
  EXPECT_EQ(zv::SendList(s, "Mutate", args).AsInt(), 10);
  EXPECT_EQ(args[0].Deref().AsInt(), 42);
  EXPECT_EQ(args[1].Deref().AsDouble(), 3.0);
  EXPECT_EQ(args[2].Deref().AsString(), "abc!");
  EXPECT_TRUE(args[3].Deref().IsFalse());
  EXPECT_EQ(args[4].Deref().AsJulian(), day + 1);
  EXPECT_EQ(args[5].Deref().AsString(), "filled");
  ASSERT_EQ(args[6].Deref().Len(), 2u);
  EXPECT_EQ(args[6].Deref().Item(2).AsInt(), 8);
  ASSERT_TRUE(args[7].Deref().IsObject());
  EXPECT_NE(args[7].Deref().Send("hObj").AsInt(), child.Send("hObj").AsInt());  // a new child
  EXPECT_EQ(args[8].Deref().AsInt(), (1LL << 40) + 1);
  EXPECT_EQ(args[9].Deref().AsString(), "filled");  // the empty date went as a VARIANT reference
  // Passed by value, nothing changes.
  Value n = 41;
  EXPECT_EQ(s.Send("Mutate", n, "abc").AsInt(), 0);
}

TEST_F(OleTest, AnInterfaceTheServerLeavesInPlaceKeepsItsObject) {
  Value s = NewServer();
  Value child = s.Send("Child");
  std::vector<Value> args{Value::Ref(child)};
  s.Send("Describe", args[0]);
  EXPECT_EQ(args[0].Deref().AsObject(), child.AsObject());
}

TEST_F(OleTest, Wrappers) {
  Value s = NewServer();
  Value plain = s.Send("Typed", 1001);
  const long long pointer = plain.Send("Value").AsInt();
  EXPECT_EQ(s.Send("Describe", plain).AsString(), "UNKNOWN:plain");
  Value byRef = zv::Object::New(zv::VTWrapperClass());
  byRef.Send("New", static_cast<int>(VT_UNKNOWN | VT_BYREF), pointer);
  EXPECT_EQ(s.Send("Describe", byRef).AsString(), "&UNKNOWN:plain");
  // Passed by reference, the wrapper is replaced by what the server put there.
  std::vector<Value> args{Value::Ref(byRef)};
  EXPECT_EQ(zv::SendList(s, "Mutate", args).AsInt(), 1);
  ASSERT_TRUE(args[0].Deref().IsObject());
  EXPECT_NE(args[0].Deref().AsObject(), byRef.AsObject());
  EXPECT_NE(args[0].Deref().Send("Value").AsInt(), pointer);
  // Bytes.
  Value bytes = zv::Object::New(zv::VTArrayWrapperClass());
  bytes.Send("New", static_cast<int>(VT_UI1), "ab");
  EXPECT_EQ(s.Send("Describe", bytes).AsString(), "ARRAY(17):dims=1:n=2:[&UI1:97,&UI1:98]");
}

TEST(Trace, TheFirstWriteOfTheRunTruncatesAndLaterOnesAppend) {
  { Var a(Value::Map()); }
  { Var b(Value::Callable([](zv::Args) { return Value(); })); }
  const std::string trace = oletest::ReadTrace();
  // The line planted before the run is gone; the two lines just written end the file.
  EXPECT_EQ(trace.find("STALE"), std::string::npos) << trace;
  ASSERT_GE(trace.size(), 2u);
  const std::size_t last = trace.rfind('\n', trace.size() - 2);
  const std::size_t before = trace.rfind('\n', last - 1);
  ASSERT_NE(before, std::string::npos);
  EXPECT_TRUE(IsUnexpectedType(trace.substr(before + 1, last - before), static_cast<unsigned>(zv::Kind::Map)));
  EXPECT_TRUE(IsUnexpectedType(trace.substr(last + 1), static_cast<unsigned>(zv::Kind::Callable)));
}

TEST(Trace, UnknownErrorCodes) {
  auto lines = TraceLinesOf([] {
    IDispatch* raw = Server::NewRaw();
    zv::OLEADDREF(static_cast<long long>(reinterpret_cast<std::uintptr_t>(raw)));
    EXPECT_EQ(zv::OLEERROR().AsInt(), 2);
    EXPECT_EQ(zv::OLE2TXTERROR().AsString(), "Unknown error");
    EXPECT_EQ(zv::OLERELEASEOBJECT(static_cast<long long>(reinterpret_cast<std::uintptr_t>(raw))).AsInt(), 1);
    raw->Release();
  });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], sizeof(void*) == 8 ? "TOleAuto Error 0000000000000002\n" : "TOleAuto Error 00000002\n");
}

TEST_F(OleTest, EveryErrorNameOfTheTable) {
  const struct {
    HRESULT hr;
    const char* name;
  } names[] = {
      {E_NOTIMPL, "E_NOTIMPL"},
      {E_FAIL, "E_FAIL"},
      {E_UNEXPECTED, "E_UNEXPECTED"},
      {DISP_E_UNKNOWNINTERFACE, "DISP_E_UNKNOWNINTERFACE"},
      {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
      {DISP_E_PARAMNOTFOUND, "DISP_E_PARAMNOTFOUND"},
      {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
      {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
      {DISP_E_NONAMEDARGS, "DISP_E_NONAMEDARGS"},
      {DISP_E_BADVARTYPE, "DISP_E_BADVARTYPE"},
      {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
      {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
      {DISP_E_UNKNOWNLCID, "DISP_E_UNKNOWNLCID"},
      {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
      {DISP_E_PARAMNOTOPTIONAL, "DISP_E_PARAMNOTOPTIONAL"},
      {OLE_E_WRONGCOMPOBJ, "OLE_E_WRONGCOMPOBJ"},
      {REGDB_E_WRITEREGDB, "REGDB_E_WRITEREGDB"},
      {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
      {MK_E_UNAVAILABLE, "MK_E_UNAVAILABLE"},
      {CO_E_CLASSSTRING, "CO_E_CLASSSTRING"},
      {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
      {E_INVALIDARG, "E_INVALIDARG"},
      {CO_E_SERVER_EXEC_FAILURE, "CO_E_SERVER_EXEC_FAILURE"},
  };
  Value s = NewServer();
  // The server's FailWith answers Invoke with the code it is given; an
  // explicit call raises nothing and leaves the code as the last error.
  for (const auto& n : names) {
    SCOPED_TRACE(n.name);
    EXPECT_TRUE(s.Send("Invoke", "FailWith", static_cast<long long>(n.hr)).IsNil());
    EXPECT_EQ(zv::OLEERROR().AsInt(), static_cast<long long>(n.hr));
    EXPECT_EQ(zv::OLE2TXTERROR().AsString(), n.name);
  }
  s.Send("Invoke", "Add", 1, 2);
  EXPECT_EQ(zv::OLE2TXTERROR().AsString(), "S_OK");
  auto lines = TraceLinesOf([&] {
    s.Send("Invoke", "FailWith", static_cast<long long>(static_cast<HRESULT>(0x80041234)));
    EXPECT_EQ(zv::OLE2TXTERROR().AsString(), "Unknown error");
  });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], sizeof(void*) == 8 ? "TOleAuto Error 0000000080041234\n" : "TOleAuto Error 80041234\n");
}

}  // namespace
