// Iteration over collections (their IEnumVARIANT) and over the bytes of a
// VTArrayWrapper, and what an iteration holds while it runs.
#include <gtest/gtest.h>

#include "ole_test_support.h"
#include "runtime/operators.h"

namespace {

using oletest::ErrorTrap;
using oletest::OleTest;
using oletest::Server;
using Log = std::vector<std::string>;
using zv::Value;

Value NewServer() { return zv::CreateObject(oletest::kProgId); }

TEST_F(OleTest, IteratesOverACollection) {
  Value s = NewServer();
  Value c = s.Send("NewCollection", 5);
  Server::TakeLog();
  const long refs = Server::Refs();
  std::vector<long long> seen;
  for (const Value& item : zv::OleItems(c)) {
    seen.push_back(item.AsInt());
    // The enumerator is held (and counted) while the loop runs.
    EXPECT_FALSE(c.Send("pOleEnumerator").IsNil());
    EXPECT_EQ(Server::Refs(), refs + 1);
  }
  EXPECT_EQ(seen, (std::vector<long long>{10, 20, 30, 40, 50}));
  EXPECT_TRUE(c.Send("pOleEnumerator").IsNil());
  EXPECT_EQ(Server::Refs(), refs);
  EXPECT_EQ(Server::TakeLog(), (Log{"get _NewEnum"}));
}

TEST_F(OleTest, TheEnumeratorIsAlsoAskedForAsAMethod) {
  Value s = NewServer();
  Value ro = s.Send("NewCollection", 2, 1);  // answers _NewEnum only as a method
  Server::TakeLog();
  EXPECT_EQ(zv::ForEachOle(ro, [](const Value&) {}), 2u);
  EXPECT_EQ(Server::TakeLog(), (Log{"get _NewEnum", "method _NewEnum"}));
}

TEST_F(OleTest, LeavingALoopEarlyReleasesTheEnumerator) {
  Value s = NewServer();
  Value c = s.Send("NewCollection", 5);
  const long refs = Server::Refs();
  int n = 0;
  for (const Value& item : zv::OleItems(c)) {
    if (item.AsInt() == 20) break;
    ++n;
  }
  EXPECT_EQ(n, 1);
  EXPECT_EQ(Server::Refs(), refs);
  EXPECT_TRUE(c.Send("pOleEnumerator").IsNil());
  EXPECT_THROW(zv::ForEachOle(c, [](const Value&) { throw zv::Break(Value("stop")); }), zv::Break);
  EXPECT_EQ(Server::Refs(), refs);
}

TEST_F(OleTest, ObjectItemsAreObjects) {
  Value s = NewServer();
  Value c = s.Send("NewCollection", 0);
  c.Send("Add", s.Send("Child"));
  c.Send("Add", "text");
  std::vector<std::string> kinds;
  zv::ForEachOle(c, [&](const Value& item) {
    kinds.push_back(item.IsObject() ? item.Send("Kind").AsString() : item.AsString());
  });
  EXPECT_EQ(kinds, (std::vector<std::string>{"child", "text"}));
}

TEST_F(OleTest, NestedIterationsOfOneObject) {
  Value s = NewServer();
  Value c = s.Send("NewCollection", 3);
  std::vector<long long> pairs;
  for (const Value& a : zv::OleItems(c)) {
    const Value outer = c.Send("pOleEnumerator");
    for (const Value& b : zv::OleItems(c)) pairs.push_back(a.AsInt() * 100 + b.AsInt());
    EXPECT_EQ(c.Send("pOleEnumerator").AsInt(), outer.AsInt());  // the outer one is back
  }
  EXPECT_EQ(pairs.size(), 9u);
  EXPECT_EQ(pairs.back(), 3030);
}

TEST_F(OleTest, TheEnumeratorItself) {
  Value s = NewServer();
  Value c = s.Send("NewCollection", 1);
  const long refs = Server::Refs();
  Value e = c.Send("OleNewEnumerator");
  ASSERT_TRUE(e.IsInteger());
  EXPECT_EQ(Server::Refs(), refs + 1);  // the caller owns one reference
  EXPECT_EQ(zv::OLERELEASEOBJECT(e).AsInt(), 0);
  EXPECT_EQ(Server::Refs(), refs);
}

TEST_F(OleTest, AnObjectWithoutEnumeratorRaisesTheCallErrorAndIteratesOverNothing) {
  Value s = NewServer();
  ErrorTrap trap(Value(12345));  // a substitute is no enumerator
  EXPECT_EQ(zv::ForEachOle(s, [](const Value&) {}), 0u);
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::Operation).AsString(), "OLENEWENUMERATOR");
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), 1001);
  EXPECT_TRUE(s.Send("pOleEnumerator").IsNil());
  // Values that are not collections iterate over nothing.
  EXPECT_EQ(zv::ForEachOle(Value(5), [](const Value&) {}), 0u);
}

TEST(ArrayWrapper, IndexAndIteration) {
  Value w = zv::Object::New(zv::VTArrayWrapperClass());
  w.Send("New", static_cast<int>(VT_UI1), std::string("a\xc8" "c"));
  EXPECT_EQ(zv::OpIndex(w, 1).AsInt(), 'a');
  EXPECT_EQ(zv::OpIndex(w, 2).AsInt(), 200);
  EXPECT_EQ(zv::OpIndexAssign(w, 3, 0x42).AsInt(), 0x42);
  EXPECT_EQ(w.Send("Value").AsString(), "a\xc8" "B");
  zv::OpIndexAssign(w, 1, "z");
  std::vector<long long> bytes;
  for (const Value& b : zv::OleItems(w)) bytes.push_back(b.AsInt());
  EXPECT_EQ(bytes, (std::vector<long long>{'z', 200, 0x42}));
  // Signed bytes.
  Value s = zv::Object::New(zv::VTArrayWrapperClass());
  s.Send("New", static_cast<int>(VT_I1), std::string("\xc8"));
  EXPECT_EQ(zv::OpIndex(s, 1).AsInt(), -56);
  // Out of range: the bound error.
  ErrorTrap trap;
  zv::OpIndex(w, 4);
  zv::OpIndexAssign(w, 0, 1);
  ASSERT_EQ(trap.errors.size(), 2u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), zv::kErrBound);
  EXPECT_EQ(trap.field(1, zv::ErrorField::SubCode).AsInt(), 1133);
  EXPECT_EQ(w.Send("Value").AsString(), "z\xc8" "B");
}

}  // namespace
