// The class builder: properties, events, components and their rules.
#include <gtest/gtest.h>

#include "framework/core/classbuilder.h"
#include "framework/core/component.h"
#include "support/error_trap.h"

namespace {

using zv::Args;
using zv::Class;
using zv::Object;
using zv::QVClass;
using zv::Value;

using zvtest::ErrorTrap;

std::vector<std::string> Names(const Value& list) {
  std::vector<std::string> out;
  for (const Value& v : list.AsList().items) out.push_back(v.AsString());
  return out;
}

Value SetLeft(Object& self, Args a) {
  self.Send("_FnLeft", a.Get(0).AsInt() + 1000);  // visible side effect of the custom setter
  return a.Get(0);
}

// A small control-like hierarchy.
Class* BaseControl() {
  static Class* c = [] {
    QVClass b("TTestControl", {zv::TComponentClass()});
    b.AddProperty({.name = "nLeft", .dflt = 0, .setter = "SetLeft", .editor = "PE_Number"});
    b.AddProperty({.name = "nTop", .dflt = 5});
    b.AddProperty({.name = "nColor", .dflt = 15, .editor = "PE_Color",
                   .valueNames = Value::List({Value::List({"clFACE", 15})})});
    b.AddProperty({.name = "hHandle", .dflt = 0, .readOnly = true});
    b.AddEvent("OnClick", zv::kPublished, "oSender");
    b.AddEvent("OnPaint", zv::kPublished, "oSender, hDC, lDone");
    b.Method("SetLeft", &SetLeft);
    b.Method("SetHandleInside", [](Object& self, Args a) -> Value { return self.Send("_hHandle", a.Get(0)); });
    b.Method("Click", [](Object& self, Args) -> Value { return self.Send("OnClick"); });
    return b.Create();
  }();
  return c;
}

Class* DerivedControl() {
  static Class* c = [] {
    QVClass b("TTestButton", {BaseControl()});
    b.AddProperty({.name = "nLeft", .dflt = -1});            // new default: stays in place
    b.AddProperty({.name = "nTop", .visibility = zv::kPublic});  // nothing but visibility: moves to the end
    b.AddEvent("OnClick", zv::kPublic);                       // no description: inherited
    b.AddEvent("OnHover");
    b.Data("nExtra", 3);
    return b.Create();
  }();
  return c;
}

TEST(ClassBuilder, PropertiesHaveStorageGenericAndCustomAccessors) {
  Value o = Object::New(BaseControl());
  EXPECT_EQ(o.Send("nTop").AsInt(), 5);
  EXPECT_EQ(o.Send("_nTop", 9).AsInt(), 9);  // generic setter yields the value
  EXPECT_EQ(o.Send("nTop").AsInt(), 9);
  o.Send("_nLeft", 7);                         // custom setter, bound by method name
  EXPECT_EQ(o.Send("nLeft").AsInt(), 1007);
  EXPECT_EQ(o.Send("ClassName").AsString(), "TTestControl");
  ErrorTrap trap;
  o.Send("FnTop");  // the storage member is protected
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), zv::kSubProtected);
}

TEST(ClassBuilder, RedeclaringWithNothingMovesThePropertyToTheEnd) {
  EXPECT_EQ(Names(zv::QV_GETCLASSPROPERTIES(zv::ClassValue(BaseControl()))),
            (std::vector<std::string>{"Cargo", "oParent", "nLeft", "nTop", "nColor", "hHandle"}));
  EXPECT_EQ(Names(zv::QV_GETCLASSPROPERTIES(zv::ClassValue(DerivedControl()))),
            (std::vector<std::string>{"Cargo", "oParent", "nLeft", "nColor", "hHandle", "nTop"}));
  Value desc = zv::GETPROPERTIES(Value("TTestButton")).Item(6);
  EXPECT_EQ(desc.Item(zv::kPropName).AsString(), "nTop");
  EXPECT_EQ(desc.Item(zv::kPropDefault).AsInt(), 5);             // inherited default kept
  EXPECT_EQ(desc.Item(zv::kPropVisibility).AsInt(), zv::kPublic); // new visibility
  Value o = Object::New(DerivedControl());
  EXPECT_EQ(o.Send("nTop").AsInt(), 5);
}

TEST(ClassBuilder, RedeclaringADefaultKeepsThePlaceAndTheSetter) {
  Value desc = zv::GETPROPERTIES(Value("TTestButton")).Item(3);
  EXPECT_EQ(desc.Item(zv::kPropName).AsString(), "nLeft");
  EXPECT_EQ(desc.Item(zv::kPropDefault).AsInt(), -1);
  EXPECT_EQ(desc.Item(zv::kPropSetter).AsString(), "SetLeft");
  EXPECT_EQ(desc.Item(zv::kPropEditor).AsString(), "PE_Number");
  Value o = Object::New(DerivedControl());
  EXPECT_EQ(o.Send("nLeft").AsInt(), -1);
  o.Send("_nLeft", 1);
  EXPECT_EQ(o.Send("nLeft").AsInt(), 1001);  // still the custom setter
}

TEST(ClassBuilder, DescriptorListsArePerClassAndCarryTheHints) {
  Value base = BaseControl()->ClassValue(zv::Symbol("aProperties"));
  Value derived = DerivedControl()->ClassValue(zv::Symbol("aProperties"));
  EXPECT_NE(base.heap(), derived.heap());  // never aliased
  Value color = zv::GETPROPERTIES(zv::ClassValue(BaseControl())).Item(5);
  EXPECT_EQ(color.Len(), 10u);
  EXPECT_EQ(color.Item(zv::kPropEditor).AsString(), "PE_Color");
  EXPECT_EQ(color.Item(zv::kPropValueNames).Item(1).Item(1).AsString(), "clFACE");
  // GETPROPERTIES is a copy: changing it leaves the class alone.
  zv::GETPROPERTIES(zv::ClassValue(BaseControl())).Append(1);
  EXPECT_EQ(zv::GETPROPERTIES(zv::ClassValue(BaseControl())).Len(), 6u);
  EXPECT_EQ(zv::QV_GETCLASSPROPERTIES(Value()).Len(), 0u);
  EXPECT_EQ(zv::QV_GETCLASSEVENTS(Value("NoSuchClass")).Len(), 0u);
}

TEST(ClassBuilder, EventsInheritTheirDescriptionAndNewOnesLieAfterAllData) {
  Value events = zv::GETEVENTS(zv::ClassValue(DerivedControl()));
  ASSERT_EQ(events.Len(), 3u);
  EXPECT_EQ(events.Item(1).Item(1).AsString(), "OnClick");
  EXPECT_EQ(events.Item(1).Item(2).AsString(), "oSender");
  EXPECT_EQ(events.Item(1).Item(3).AsInt(), zv::kPublic);
  EXPECT_EQ(events.Item(3).Item(2).AsString(), "");
  std::uint32_t maxData = 0;
  for (const zv::DataMember& d : DerivedControl()->Data())
    if (!d.classWide()) maxData = std::max(maxData, d.slot);
  // The new event lies after every data member; inherited ones keep the
  // parent's slots even though the subclass added data.
  const zv::Method* hover = DerivedControl()->FindMethod(zv::Symbol("OnHover"));
  ASSERT_NE(hover, nullptr);
  EXPECT_GT(hover->slot, maxData);
  for (const char* e : {"OnClick", "OnPaint"}) {
    const zv::Method* m = DerivedControl()->FindMethod(zv::Symbol(e));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->slot, BaseControl()->FindMethod(zv::Symbol(e))->slot) << e;
  }
  EXPECT_EQ(DerivedControl()->InstanceSize(), BaseControl()->InstanceSize() + 1 + 2);  // nExtra, OnHover
}

TEST(ClassBuilder, ReadOnlyPropertyFromOutsideAndInside) {
  Value o = Object::New(BaseControl());
  EXPECT_EQ(o.Send("hHandle").AsInt(), 0);
  EXPECT_EQ(o.Send("SetHandleInside", 42).AsInt(), 42);
  EXPECT_EQ(o.Send("hHandle").AsInt(), 42);
  ErrorTrap trap;
  o.Send("_hHandle", 1);
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(o.Send("hHandle").AsInt(), 42);
}

// A form-like class whose method binds its controls' events by name.
Class* TestForm() {
  static Class* c = [] {
    QVClass b("TTestForm", {zv::TComponentClass()});
    b.AddComponent("oButton");
    b.Data("aCalls", Value::List({}));
    b.Method("CreateForm", [](Object& self, Args) -> Value {
      Value button = zv::NewObject(BaseControl(), Value(&self));
      self.Send("_oButton", button);
      button.Send("_OnClick", "btnbmp1click");  // any case
      button.Send("_OnPaint", "FormPaint");
      return Value(&self);
    });
    b.Method("BtnBmp1Click", [](Object& self, Args a) -> Value {
      self.Send("aCalls").Append(a.Get(0));
      return static_cast<int>(a.size());
    });
    b.Method("FormPaint", [](Object&, Args a) -> Value {
      a.Set(2, true);  // lDone, passed by reference
      return false;
    });
    b.Method("BindTo", [](Object& self, Args a) -> Value { return self.Send("oButton").Send("_OnClick", a.Get(0)); });
    return b.Create();
  }();
  return c;
}

TEST(Events, ANameBindsToTheObjectMakingTheAssignment) {
  Value form = zv::NewObject(TestForm());
  form.Send("CreateForm");
  Value button = form.Send("oButton");
  EXPECT_TRUE(button.Send("EventAssigned", "ONCLICK").AsBool());
  // Firing the button's event calls the form's method with the button as the only argument.
  EXPECT_EQ(button.Send("OnClick").AsInt(), 1);
  Value calls = form.Send("aCalls");
  ASSERT_EQ(calls.Len(), 1u);
  EXPECT_EQ(calls.Item(1).AsObject(), button.AsObject());
  EXPECT_EQ(button.Send("Click").AsInt(), 1);  // fired by the control itself
}

TEST(Events, HandlerResultAndByReferenceArgumentsPassThrough) {
  Value form = zv::NewObject(TestForm());
  form.Send("CreateForm");
  Value done = Value::Ref(false);
  Value result = form.Send("oButton").Send("OnPaint", 1234, done);
  EXPECT_TRUE(result.IsFalse());         // the handler's veto comes back
  EXPECT_TRUE(done.Deref().IsTrue());    // written through the reference
}

TEST(Events, CallablesNothingAndOtherValues) {
  Value button = zv::NewObject(BaseControl());
  std::vector<int> seen;
  button.Send("_OnClick", Value::Callable([&](Args a) -> Value {
    seen.push_back(static_cast<int>(a.size()));
    return a.Get(1);
  }));
  EXPECT_EQ(button.Send("OnClick", "x").AsString(), "x");  // sender + argument
  EXPECT_EQ(seen, std::vector<int>{2});
  button.Send("_OnClick", Value());
  EXPECT_FALSE(button.Send("EventAssigned", "OnClick").AsBool());
  EXPECT_TRUE(button.Send("OnClick").IsNil());
  ErrorTrap trap;
  button.Send("_OnClick", 12);  // unsupported kind: unbound, no error
  EXPECT_FALSE(button.Send("EventAssigned", "OnClick").AsBool());
  EXPECT_TRUE(trap.errors.empty());
  EXPECT_FALSE(button.Send("EventAssigned", "OnNothing").AsBool());
  EXPECT_FALSE(button.Send("EventAssigned", "nLeft").AsBool());
}

TEST(Events, BindingErrors) {
  Value form = zv::NewObject(TestForm());
  form.Send("CreateForm");
  Value button = form.Send("oButton");
  ErrorTrap trap;
  form.Send("BindTo", "NoSuchMethod");
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), 13);
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), 1004);
  EXPECT_EQ(trap.field(0, zv::ErrorField::Operation).AsString(), "NoSuchMethod");
  EXPECT_FALSE(button.Send("EventAssigned", "OnClick").AsBool());  // cleared
  // Outside any method there is no owner to bind a name to.
  button.Send("_OnClick", "BtnBmp1Click");
  EXPECT_EQ(trap.errors.size(), 2u);
  // A C++ method that is not one of the owner's.
  form.Send("BindTo", zv::Accessor(&SetLeft).value());
  ASSERT_EQ(trap.errors.size(), 3u);
  EXPECT_EQ(trap.field(2, zv::ErrorField::GenCode).AsInt(), 1);
  EXPECT_EQ(trap.field(2, zv::ErrorField::SubCode).AsInt(), 1004);
  EXPECT_EQ(trap.field(2, zv::ErrorField::Description).AsString(), "It is not a valid function pointer.");
}

Value FormHandler(Object&, Args a) { return static_cast<int>(a.size()) * 10; }

TEST(Events, AFunctionOfTheOwnersClassBindsLikeItsName) {
  static Class* form = [] {
    QVClass b("TTestForm2", {zv::TComponentClass()});
    b.Method("Handler", &FormHandler);
    b.Method("Bind", [](Object&, Args a) -> Value {
      return a.Get(0).Send("_OnClick", zv::Accessor(&FormHandler).value());
    });
    return b.Create();
  }();
  Value f = zv::NewObject(form);
  Value button = zv::NewObject(BaseControl());
  f.Send("Bind", button);
  EXPECT_EQ(button.Send("OnClick", 1, 2).AsInt(), 30);
}

TEST(ClassBuilder, BadDeclarationsAreRefusedWithClearErrors) {
  ErrorTrap trap;
  QVClass b("TBadDecl", {zv::TComponentClass()});
  const std::string longName(63, 'n');
  b.AddProperty({.name = longName});
  b.AddProperty({.name = std::string(62, 'm')});  // 62 is the limit: accepted
  b.AddProperty({.name = "nBad", .valueClass = 5});
  b.AddProperty({.name = "nBad2", .getter = zv::Accessor(Value(3))});
  b.AddEvent("");
  b.AddProperty({.name = "nMissing", .getter = "NoSuchGetter"});  // refused when the class is finished
  Class* c = b.Create();
  ASSERT_EQ(trap.errors.size(), 5u);
  EXPECT_NE(trap.field(4, zv::ErrorField::Description).AsString().find("NOSUCHGETTER"), std::string::npos);
  EXPECT_EQ(trap.field(4, zv::ErrorField::Operation).AsString(), "Create");
  EXPECT_NE(trap.field(0, zv::ErrorField::Description).AsString().find("62"), std::string::npos);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), zv::kErrArgument);
  std::vector<std::string> props = Names(zv::QV_GETCLASSPROPERTIES(zv::ClassValue(c)));
  EXPECT_EQ(std::count(props.begin(), props.end(), longName), 0);
  EXPECT_EQ(std::count(props.begin(), props.end(), std::string(62, 'm')), 1);
  Value o = Object::New(c);
  o.Send("nMissing");  // its getter was never declared: the ordinary missing-method error
  ASSERT_EQ(trap.errors.size(), 6u);
  EXPECT_EQ(trap.field(5, zv::ErrorField::Operation).AsString(), "NMISSING");
}

TEST(ClassBuilder, CallableAccessorsAndComponents) {
  zv::SetDebug(true);
  QVClass b("TCallableProps", {zv::TComponentClass()});
  b.AddProperty({.name = "nDouble",
                 .getter = Value::Callable([](Args a) -> Value { return a.Get(0).Send("FnDouble").AsInt() * 2; }),
                 .setter = Value::Callable([](Args a) -> Value { return a.Get(0).Send("_FnDouble", a.Get(1)); })});
  b.AddComponent("aRows", "ARRAY");
  Class* c = b.Create();
  zv::SetDebug(false);
  Value o = Object::New(c);
  o.Send("_nDouble", 21);
  EXPECT_EQ(o.Send("nDouble").AsInt(), 42);
  o.Send("_aRows", Value::List({1}));
  EXPECT_EQ(o.Send("aRows").Len(), 1u);
  Value last = zv::GETPROPERTIES(zv::ClassValue(c)).Item(4);
  EXPECT_EQ(last.Item(zv::kPropName).AsString(), "*aRows");
  EXPECT_EQ(last.Item(zv::kPropValueClass).AsString(), "ARRAY");
  EXPECT_EQ(c->FindData(zv::Symbol("aRows"))->type, "ARRAY");
}

}  // namespace

namespace {

TEST(ClassBuilder, AnAssignmentYieldsTheValueWrittenWhateverTheSetterReturns) {
  static Class* c = [] {
    QVClass b("TSetterResults", {zv::TComponentClass()});
    b.AddProperty({.name = "nNamed", .dflt = 0, .setter = "SetNamed"});
    b.AddProperty({.name = "nNative", .dflt = 0, .setter = zv::Accessor(+[](Object& self, Args a) -> Value {
                     self.Send("_FnNative", a.Get(0));
                     return "native setter's own result";
                   })});
    b.AddProperty({.name = "nBlock", .dflt = 0, .setter = zv::Accessor(Value::Callable([](Args a) -> Value {
                     a.Get(0).AsObject()->Send("_FnBlock", a.Get(1));
                     return 99;
                   }))});
    b.Method("SetNamed", [](Object& self, Args a) -> Value {
      self.Send("_FnNamed", a.Get(0).AsInt() * 2);  // stores something else
      return Value();
    });
    return b.Create();
  }();
  Value o = zv::NewObject(c);
  EXPECT_EQ(o.Send("_nNamed", 4).AsInt(), 4);
  EXPECT_EQ(o.Send("nNamed").AsInt(), 8);
  EXPECT_EQ(o.Send("_nNative", 5).AsInt(), 5);
  EXPECT_EQ(o.Send("_nBlock", 6).AsInt(), 6);
  EXPECT_EQ(o.Send("nBlock").AsInt(), 6);
  // The setter itself, sent by its own name, still answers what it returns.
  EXPECT_TRUE(o.Send("SetNamed", 1).IsNil());
}

TEST(ClassBuilder, InheritedEventsKeepTheirSlotsInSubclassesThatAddNoData) {
  Class* level = BaseControl();
  const std::uint32_t size = level->InstanceSize();
  const std::uint32_t clickSlot = level->FindMethod(zv::Symbol("OnClick"))->slot;
  for (int i = 0; i < 6; ++i) {
    QVClass b("TEmptyLevel" + std::to_string(i), {level});
    level = b.Create();
    EXPECT_EQ(level->InstanceSize(), size) << "level " << i;
    EXPECT_EQ(level->FindMethod(zv::Symbol("OnClick"))->slot, clickSlot);
  }
  // The events still work on the deepest level.
  Value o = Object::New(level);
  int fired = 0;
  o.Send("_OnClick", Value::Callable([&](Args) -> Value { return ++fired; }));
  EXPECT_EQ(o.Send("OnClick").AsInt(), 1);
}

TEST(ClassQueries, ClassesWithoutDescriptorListsAndPointersThatAreNoClass) {
  // The error class is not made by the class builder: empty lists, no crash.
  EXPECT_EQ(zv::QV_GETCLASSPROPERTIES(zv::ClassValue(zv::ErrorClass())).Len(), 0u);
  EXPECT_EQ(zv::QV_GETCLASSEVENTS("Error").Len(), 0u);
  EXPECT_EQ(zv::GETPROPERTIES(zv::ClassValue(zv::RootClass())).Len(), 0u);
  // A pointer to anything else is not taken for a class.
  int notAClass[4] = {1, 2, 3, 4};
  EXPECT_EQ(zv::ClassOf(Value::Pointer(notAClass)), nullptr);
  EXPECT_EQ(zv::QV_GETCLASSEVENTS(Value::Pointer(notAClass)).Len(), 0u);
  EXPECT_EQ(zv::QV_GETCLASSPROPERTIES(Value::Pointer(nullptr)).Len(), 0u);
  EXPECT_EQ(zv::ClassOf(zv::ClassValue(BaseControl())), BaseControl());
}

TEST(Events, TheGenericEventFunctionsCalledDirectlyAreRefusedNotFollowed) {
  Value o = Object::New(BaseControl());
  ErrorTrap trap;
  Value arg = "Click";
  EXPECT_TRUE(zv::QV_SETEVENT(*o.AsObject(), Args(&arg, 1)).IsNil());
  EXPECT_TRUE(zv::QV_CALLEVENT(*o.AsObject(), Args()).IsNil());
  ASSERT_EQ(trap.errors.size(), 2u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), zv::kErrArgument);
  EXPECT_EQ(trap.field(1, zv::ErrorField::Operation).AsString(), "QV_CALLEVENT");
  // Through a method that is not an event's (a property's getter).
  const zv::Method* getter = BaseControl()->FindMethod(zv::Symbol("nTop"));
  EXPECT_TRUE(zv::QV_CALLEVENT(*o.AsObject(), Args(nullptr, 0, getter)).IsNil());
  EXPECT_EQ(trap.errors.size(), 3u);
}

}  // namespace

namespace {

int g_closureOwnersGone = 0;

TEST(Events, AHandlerHoldingItsSenderAsABoundValueIsCollected) {
  static Class* c = [] {
    QVClass b("TSelfListener", {zv::TComponentClass()});
    b.AddEvent("OnPing", zv::kPublished, "oSender");
    b.Destructor([](Object&) { ++g_closureOwnersGone; });
    return b.Create();
  }();
  zv::Collect();
  g_closureOwnersGone = 0;
  int pings = 0;
  {
    Value o = zv::NewObject(c);
    // The handler needs the object: it is bound, not captured, so the cycle
    // object -> event -> callable -> object is visible to the collector.
    o.Send("_OnPing", Value::Closure({o}, [&](Args a, std::span<const Value> bound) -> Value {
      EXPECT_EQ(a.Get(0).AsObject(), bound[0].AsObject());
      return ++pings;
    }));
    EXPECT_EQ(o.Send("OnPing").AsInt(), 1);
  }
  EXPECT_EQ(g_closureOwnersGone, 0);  // a cycle: counts alone cannot free it
  zv::Collect();
  EXPECT_EQ(g_closureOwnersGone, 1);
}

}  // namespace
