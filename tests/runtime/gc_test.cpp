// The cycle collector: garbage cycles are released with their destructors
// run; nothing referenced from outside is touched.
#include <gtest/gtest.h>

#include "runtime/runtime.h"

namespace {

using zv::Args;
using zv::Object;
using zv::Value;

int g_destroyed = 0;
std::vector<std::string> g_partnerSeen;

zv::Class* NodeClass() {
  static zv::Class* c = [] {
    zv::ClassDecl d("TNode", nullptr);
    d.AddData("oOther");
    d.AddData("cName", "");
    d.AddDestructor([](Object& self) {
      ++g_destroyed;
      // A destructor may still use the objects of its cycle.
      Value other = self.Send("oOther");
      if (other.IsObject()) g_partnerSeen.push_back(other.Send("cName").AsString());
    });
    return d.Finish();
  }();
  return c;
}

Value Node(const char* name) {
  Value n = Object::New(NodeClass());
  n.Send("_cName", name);
  return n;
}

class Gc : public ::testing::Test {
 protected:
  void SetUp() override {
    zv::Collect();
    g_destroyed = 0;
    g_partnerSeen.clear();
  }
};

TEST_F(Gc, ACycleIsReleasedAtCollectionWithItsDestructorsRun) {
  {
    Value a = Node("a");
    Value b = Node("b");
    a.Send("_oOther", b);
    b.Send("_oOther", a);
  }
  EXPECT_EQ(g_destroyed, 0);  // counts alone cannot free a cycle
  zv::CollectStats s = zv::Collect();
  EXPECT_EQ(s.freed, 2u);
  EXPECT_EQ(g_destroyed, 2);
  std::sort(g_partnerSeen.begin(), g_partnerSeen.end());
  EXPECT_EQ(g_partnerSeen, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(zv::Collect().freed, 0u);  // never twice
  EXPECT_EQ(g_destroyed, 2);
}

TEST_F(Gc, ACycleReachableFromOutsideStays) {
  Value keep;
  {
    Value a = Node("a");
    Value b = Node("b");
    a.Send("_oOther", b);
    b.Send("_oOther", a);
    keep = Value::List({b});  // held through a list held by a C++ variable
  }
  zv::Collect();
  EXPECT_EQ(g_destroyed, 0);
  EXPECT_EQ(keep.Item(1).Send("oOther").Send("cName").AsString(), "a");
  keep = Value();
  zv::Collect();
  EXPECT_EQ(g_destroyed, 2);
}

TEST_F(Gc, CyclesThroughListsMapsCellsAndCallablesAreReleased) {
  const std::size_t before = zv::GcObject::LiveCount();
  {
    Value list = Value::List({});
    list.Append(list);  // a list holding itself
    Value map = Value::Map();
    map.AsMap().Put("self", map);
    Value cell = Value::Ref();
    cell.Assign(Value::List({cell}));
    Value n = Node("n");
    Value block = Value::Callable([](Args) { return Value(); }, {n});
    n.Send("_oOther", block);
  }
  EXPECT_GT(zv::GcObject::LiveCount(), before);
  zv::Collect();
  EXPECT_EQ(zv::GcObject::LiveCount(), before);
  EXPECT_EQ(g_destroyed, 1);
}

TEST_F(Gc, PlainReferenceCountingFreesAtOnce) {
  { Value n = Node("alone"); }
  EXPECT_EQ(g_destroyed, 1);
  {
    Value a = Node("a");
    a.Send("_oOther", Node("b"));
  }
  EXPECT_EQ(g_destroyed, 3);  // both of the pair
}

TEST_F(Gc, ALongChainIsCollectedInOnePass) {
  const int n = 20000;
  {
    Value first = Node("first");
    Value prev = first;
    for (int i = 0; i < n; ++i) {
      Value next = Node("x");
      prev.Send("_oOther", next);
      prev = next;
    }
    prev.Send("_oOther", first);  // close the ring
  }
  zv::CollectStats s = zv::Collect();
  EXPECT_EQ(s.freed, static_cast<std::size_t>(n + 1));
  EXPECT_EQ(g_destroyed, n + 1);
}

}  // namespace
