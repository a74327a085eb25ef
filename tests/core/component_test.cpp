// TComponent: construction and destruction protocol.
#include <gtest/gtest.h>

#include "framework/core/component.h"

namespace {

using zv::Args;
using zv::Object;
using zv::Value;

std::vector<std::string> g_log;

zv::Class* Part() {
  static zv::Class* c = [] {
    zv::QVClass b("TTestPart", {zv::TComponentClass()});
    b.AddProperty({.name = "oParent", .setter = "SetParent"});
    b.Method("SetParent", [](Object& self, Args a) -> Value {
      g_log.push_back("SetParent");
      return self.Send("_FoParent", a.Get(0));
    });
    b.Method("Free", [](Object&, Args) -> Value {
      g_log.push_back("Free");
      return {};
    });
    b.Method("Flags", [](Object& self, Args) -> Value {
      return Value::List({self.Send("lFree"), self.Send("lCreated")});
    });
    return b.Create();
  }();
  return c;
}

TEST(Component, NewGoesThroughTheParentSetter) {
  g_log.clear();
  Value owner = zv::NewObject(zv::TComponentClass());
  Value part = zv::NewObject(Part(), owner);
  EXPECT_EQ(part.Send("oParent").AsObject(), owner.AsObject());
  EXPECT_EQ(g_log, std::vector<std::string>{"SetParent"});
  Value flags = part.Send("Flags");
  EXPECT_TRUE(flags.Item(1).AsBool());   // lFree
  EXPECT_FALSE(flags.Item(2).AsBool());  // lCreated
  EXPECT_EQ(owner.Send("ClassName").AsString(), "TComponent");
  EXPECT_TRUE(owner.Send("IsDerivedFrom", "QComponent").AsBool());
}

TEST(Component, CreateDestroyAndEnd) {
  g_log.clear();
  Value part = Object::New(Part());
  EXPECT_EQ(part.Send("Create").AsObject(), part.AsObject());
  EXPECT_TRUE(part.Send("Flags").Item(2).AsBool());
  part.Send("Destroy");  // no flag: resources kept
  EXPECT_TRUE(g_log.empty());
  EXPECT_FALSE(part.Send("Flags").Item(1).AsBool());
  EXPECT_FALSE(part.Send("Flags").Item(2).AsBool());
  part.Send("Create");
  EXPECT_TRUE(part.Send("End").IsNil());
  EXPECT_EQ(g_log, std::vector<std::string>{"Free"});
  EXPECT_TRUE(part.Send("Flags").Item(1).AsBool());
}

TEST(Component, DescriptiveTextsAndCargo) {
  Value c = zv::NewObject(zv::TComponentClass());
  EXPECT_EQ(c.Send("cAuthor").AsString(), "");
  c.Send("_Cargo", Value::List({1, 2}));
  EXPECT_EQ(c.Send("Cargo").Len(), 2u);
  EXPECT_TRUE(c.Send("Free").IsNil());  // abstract here
  EXPECT_EQ(zv::QV_GETCLASSPROPERTIES(c).Item(1).AsString(), "Cargo");
}

}  // namespace
