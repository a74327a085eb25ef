// Classes, message send, inheritance, visibility, undefined messages,
// members added at run time and the call stack.
#include <gtest/gtest.h>

#include <cstdio>

#include "runtime/names.h"
#include "runtime/runtime.h"
#include "support/error_trap.h"

namespace {

using zv::Args;
using zv::Class;
using zv::ClassDecl;
using zv::Object;
using zv::Value;

using zvtest::ErrorTrap;

// A base class with every kind of member, and a subclass.
struct Shapes {
  Class* base;
  Class* derived;
  Class* other;
  Shapes() {
    ClassDecl b("TShape", nullptr);
    b.AddData("nWidth", 10);
    b.AddData("nSecret", 1, zv::kHidden);
    b.AddData("nGuarded", 2, zv::kProtected);
    b.AddData("Handle", 0, zv::kPublic | zv::kReadOnly);
    b.AddData("aItems", Value::List({}));
    b.AddClassData("nCount", 0);
    b.AddMethod("Area", [](Object& self, Args) -> Value {
      return self.Send("nWidth").AsInt() * self.Send("Height").AsInt();
    });
    b.AddMethod("Height", [](Object&, Args) -> Value { return 2; });
    b.AddMethod("ReadSecret", [](Object& self, Args) -> Value { return self.Send("nSecret"); });
    b.AddMethod("SetHandle", [](Object& self, Args a) -> Value { return self.Send("_Handle", a.Get(0)); });
    b.AddMethod("Describe", [](Object&, Args a) -> Value { return "shape " + a.Get(0).ToDisplay(); });
    b.AddAbstract("Draw");
    b.AddInline("Twice", Value::Callable([](Args a) -> Value {
                  return a.Get(0).AsObject()->Send("nWidth").AsInt() * 2 + a.Get(1).AsInt();
                }));
    base = b.Finish();

    ClassDecl d("TSquare", base);
    d.AddMethod("Height", [](Object& self, Args) -> Value { return self.Send("nWidth"); });
    d.AddMethod("Describe", [](Object& self, Args a) -> Value {
      return "square, " + zv::Super(self, "Describe", a).AsString();
    });
    d.AddMethod("ReadGuarded", [](Object& self, Args) -> Value { return self.Send("nGuarded"); });
    d.AddMethod("ReadSecretDirectly", [](Object& self, Args) -> Value { return self.Send("nSecret"); });
    d.AddMethod("SetHandleHere", [](Object& self, Args a) -> Value { return self.Send("_Handle", a.Get(0)); });
    derived = d.Finish();

    ClassDecl o("TUnrelated", nullptr);
    o.AddMethod("Peek", [](Object&, Args a) -> Value { return a.Get(0).Send("nGuarded"); });
    other = o.Finish();
  }
};

Shapes& shapes() {
  static Shapes s;
  return s;
}

TEST(Classes, MembersAndMethodsAnswerByNameInAnyCase) {
  Value sq = Object::New(shapes().derived);
  EXPECT_EQ(sq.Send("nWidth").AsInt(), 10);
  EXPECT_EQ(sq.Send("NWIDTH").AsInt(), 10);
  EXPECT_EQ(sq.Send("_nwidth", 4).AsInt(), 4);  // an assignment yields the value
  EXPECT_EQ(sq.Send("Area").AsInt(), 16);       // Height overridden: 4 * 4
  Value shape = Object::New(shapes().base);
  EXPECT_EQ(shape.Send("area").AsInt(), 20);
  EXPECT_EQ(shape.Send("Twice", 1).AsInt(), 21);  // inline method gets the object first
  EXPECT_TRUE(shape.Send("Draw").IsNil());        // abstract: empty until overridden
  EXPECT_EQ(sq.Send("ClassName").AsString(), "TSquare");
  EXPECT_TRUE(sq.Send("IsDerivedFrom", "tshape").AsBool());
  EXPECT_FALSE(shape.Send("IsDerivedFrom", "TSquare").AsBool());
}

TEST(Classes, SuperRunsTheParentVersion) {
  Value sq = Object::New(shapes().derived);
  EXPECT_EQ(sq.Send("Describe", 3).AsString(), "square, shape 3");
}

TEST(Classes, InitialListsAreNotSharedBetweenObjects) {
  Value a = Object::New(shapes().base);
  Value b = Object::New(shapes().base);
  a.Send("aItems").Append(1);
  EXPECT_EQ(a.Send("aItems").Len(), 1u);
  EXPECT_EQ(b.Send("aItems").Len(), 0u);
}

TEST(Classes, ClassWideDataIsOneValueForTheClassLine) {
  Value a = Object::New(shapes().base);
  Value b = Object::New(shapes().derived);
  a.Send("_nCount", 5);
  EXPECT_EQ(b.Send("nCount").AsInt(), 5);
  EXPECT_EQ(shapes().derived->ClassValue(zv::Symbol("nCount")).AsInt(), 5);
}

TEST(Visibility, ProtectedAndHiddenMembersAreRefusedFromOutside) {
  Value sq = Object::New(shapes().derived);
  ErrorTrap trap(Value("substitute"));
  EXPECT_EQ(sq.Send("nGuarded").AsString(), "substitute");
  EXPECT_EQ(sq.Send("nSecret").AsString(), "substitute");
  ASSERT_EQ(trap.errors.size(), 2u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), zv::kErrNoMethod);
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), zv::kSubProtected);
  EXPECT_EQ(trap.field(0, zv::ErrorField::Operation).AsString(), "NGUARDED");
  EXPECT_EQ(trap.field(1, zv::ErrorField::SubCode).AsInt(), zv::kSubHidden);
}

TEST(Visibility, ProtectedIsOpenToSubclassesHiddenOnlyToItsClass) {
  Value sq = Object::New(shapes().derived);
  ErrorTrap trap(Value(-1));
  EXPECT_EQ(sq.Send("ReadGuarded").AsInt(), 2);         // subclass method: allowed
  EXPECT_EQ(sq.Send("ReadSecret").AsInt(), 1);          // declaring class's method: allowed
  EXPECT_EQ(sq.Send("ReadSecretDirectly").AsInt(), -1); // subclass method: hidden refused
  // A method of an unrelated class may not reach the protected member.
  Value stranger = Object::New(shapes().other);
  EXPECT_EQ(stranger.Send("Peek", sq).AsInt(), -1);
  EXPECT_EQ(trap.errors.size(), 2u);
}

TEST(Visibility, ReadOnlyIsReadableEverywhereAssignableInside) {
  Value sq = Object::New(shapes().derived);
  EXPECT_EQ(sq.Send("Handle").AsInt(), 0);
  EXPECT_EQ(sq.Send("SetHandle", 77).AsInt(), 77);      // declaring class
  EXPECT_EQ(sq.Send("SetHandleHere", 78).AsInt(), 78);  // subclass
  EXPECT_EQ(sq.Send("Handle").AsInt(), 78);
  ErrorTrap trap;
  sq.Send("_Handle", 99);
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), zv::kSubReadOnly);
  EXPECT_EQ(sq.Send("Handle").AsInt(), 78);
  // The framework's own dispatch may bypass the check.
  zv::SendUnchecked(sq, "_Handle", zv::Args());
  EXPECT_TRUE(sq.Send("Handle").IsNil());
}

TEST(Messages, UnknownMessagesRaiseErrorsNamingTheMessage) {
  Value sq = Object::New(shapes().derived);
  ErrorTrap trap(Value("x"));
  EXPECT_EQ(sq.Send("Frobnicate", 1, "two").AsString(), "x");
  sq.Send("_NoSuchMember", 3);
  Value(5).Send("Show");
  Value().Send("Show");
  ASSERT_EQ(trap.errors.size(), 4u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::Operation).AsString(), "FROBNICATE");
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), zv::kSubNoMethod);
  Value args = trap.field(0, zv::ErrorField::Args);
  ASSERT_EQ(args.Len(), 3u);  // the receiver, then the arguments
  EXPECT_EQ(args.Item(3).AsString(), "two");
  EXPECT_EQ(trap.field(1, zv::ErrorField::SubCode).AsInt(), zv::kSubNoVariable);
  EXPECT_EQ(trap.field(2, zv::ErrorField::Operation).AsString(), "SHOW");
  EXPECT_EQ(trap.field(3, zv::ErrorField::GenCode).AsInt(), zv::kErrNoMethod);
}

TEST(Messages, WithoutAHandlerTheErrorAbortsAsBreak) {
  Value sq = Object::New(shapes().derived);
  try {
    sq.Send("Missing");
    FAIL() << "no break";
  } catch (const zv::Break& b) {
    EXPECT_EQ(zv::ErrorSlot(b.value(), zv::ErrorField::Operation).AsString(), "MISSING");
    EXPECT_NE(std::string(b.what()).find("MISSING"), std::string::npos);
  }
}

Value EchoUndefined(Object& self, zv::Symbol message, Args args) {
  return Value::List({Value(self.ClassName()), Value(message.upper()), Value(static_cast<int>(args.size()))});
}

TEST(Messages, ClassHandlerOfUndefinedMessages) {
  ClassDecl d("TCatchAll", nullptr);
  d.AddData("nKnown", 1);
  d.SetUndefinedHandler(&EchoUndefined);
  Class* c = d.Finish();
  ClassDecl sub("TCatchAllChild", c);
  Class* child = sub.Finish();
  Value o = Object::New(child);
  EXPECT_EQ(o.Send("nKnown").AsInt(), 1);
  Value r = o.Send("whatever", 1, 2);
  EXPECT_EQ(r.Item(1).AsString(), "TCatchAllChild");  // inherited handler
  EXPECT_EQ(r.Item(2).AsString(), "WHATEVER");
  EXPECT_EQ(r.Item(3).AsInt(), 2);
  EXPECT_EQ(o.Send("_Assign", 5).Item(2).AsString(), "_ASSIGN");
}

TEST(Messages, MembersAddedAtRunTimeReachExistingObjectsAndSubclasses) {
  ClassDecl d("TBag", nullptr);
  Class* bag = d.Finish();
  ClassDecl s("TSmallBag", bag);
  Class* small = s.Finish();
  Value before = Object::New(bag);
  Value child = Object::New(small);
  bag->AddMemberAtRunTime(zv::Symbol("cColour"), "red");
  EXPECT_EQ(before.Send("cColour").AsString(), "red");
  EXPECT_EQ(before.Send("_cColour", "blue").AsString(), "blue");
  EXPECT_EQ(before.Send("CCOLOUR").AsString(), "blue");
  EXPECT_EQ(child.Send("cColour").AsString(), "red");  // its own value
  Value after = Object::New(small);
  EXPECT_EQ(after.Send("cColour").AsString(), "red");
}

TEST(CallStack, FramesNameTheMethodAndTheLine) {
  ClassDecl d("TProbe", nullptr);
  d.AddMethod("Where", [](Object&, Args) -> Value {
    return Value::List({Value(zv::CallStack::ProcName(0)), Value(zv::CallStack::ProcName(1))});
  });
  d.AddMethod("Outer", [](Object& self, Args) -> Value { return self.Send("Where"); });
  Class* c = d.Finish();
  Value o = Object::New(c);
  zv::ProcFrame mainFrame("MAIN");
  Value r = o.Send("Outer");
  EXPECT_EQ(r.Item(1).AsString(), "TProbe:Where");
  EXPECT_EQ(r.Item(2).AsString(), "TProbe:Outer");
  EXPECT_EQ(zv::CallStack::ProcName(0), "MAIN");
  EXPECT_EQ(zv::CallStack::ProcLine(0), static_cast<std::uint32_t>(__LINE__ - 4));
}

TEST(CallStack, OwnerIsTheInnermostReceiverSkippingCallables) {
  static Object* seenFromMethod = nullptr;
  static Object* seenFromCallable = nullptr;
  ClassDecl d("TOwnerProbe", nullptr);
  d.AddMethod("Run", [](Object&, Args a) -> Value {
    seenFromMethod = zv::CallStack::Owner();
    return a.Get(0).Call();
  });
  Class* c = d.Finish();
  Value o = Object::New(c);
  Value block = Value::Callable([](Args) -> Value {
    seenFromCallable = zv::CallStack::Owner();
    return {};
  });
  EXPECT_EQ(zv::CallStack::Owner(), nullptr);
  o.Send("Run", block);
  EXPECT_EQ(seenFromMethod, o.AsObject());
  EXPECT_EQ(seenFromCallable, o.AsObject());
}

TEST(Lifetime, AnObjectOutlivesItsOwnRunningMethod) {
  static int destroyed = 0;
  static bool aliveDuringMethod = false;
  static Value holder;
  ClassDecl d("TSelfDropper", nullptr);
  d.AddData("nMark", 5);
  d.AddDestructor([](Object&) { ++destroyed; });
  d.AddMethod("Drop", [](Object& self, Args) -> Value {
    holder = Value();  // the last outside reference goes away
    zv::Collect();
    aliveDuringMethod = destroyed == 0 && self.Send("nMark").AsInt() == 5;
    return {};
  });
  Class* c = d.Finish();
  holder = Object::New(c);
  Object* raw = holder.AsObject();
  raw->Send("Drop");
  EXPECT_TRUE(aliveDuringMethod);
  EXPECT_EQ(destroyed, 1);  // released when the method returned
}

}  // namespace

namespace {

TEST(CallStack, EndlessRecursionIsARunTimeErrorAtAFixedDepth) {
  ClassDecl d("TRecurser", nullptr);
  d.AddData("nLevels", 0);
  d.AddMethod("Down", [](Object& self, Args) -> Value {
    self.Send("_nLevels", self.Send("nLevels").AsInt() + 1);
    return self.Send("Down");  // never ends by itself
  });
  Value o = zv::Object::New(d.Finish());
  ErrorTrap trap;  // answers "default": the call that was too deep yields nothing
  const std::size_t depth = zv::CallStack::Depth();
  EXPECT_TRUE(o.Send("Down").IsNil());
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), zv::kErrRecursion);
  EXPECT_EQ(trap.field(0, zv::ErrorField::Operation).AsString(), "DOWN");
  EXPECT_EQ(static_cast<std::size_t>(o.Send("nLevels").AsInt()), zv::CallStack::MaxDepth() - depth);
  EXPECT_EQ(zv::CallStack::Depth(), depth);
}

TEST(CallStack, ACallableThatCallsItselfIsStoppedToo) {
  auto self = std::make_shared<Value>();
  *self = Value::Callable([self](Args) -> Value { return self->Call(); });
  ErrorTrap trap;
  EXPECT_TRUE(self->Call().IsNil());
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), zv::kErrRecursion);
  *self = Value();  // breaks the cycle through the capture
}

TEST(Messages, ThousandsOfMembersAddedAtRunTimeAreFoundByHash) {
  ClassDecl d("TWideBag", nullptr);
  Class* c = d.Finish();
  Value o = zv::Object::New(c);
  constexpr int kCount = 20000;
  for (int i = 0; i < kCount; ++i) {
    const std::string name = "m" + std::to_string(i);
    c->AddMemberAtRunTime(zv::Symbol(name), Value());
    o.Send(zv::Msg("_" + name), i);
  }
  long long sum = 0;
  for (int i = 0; i < kCount; ++i) sum += o.Send(zv::Msg("M" + std::to_string(i))).AsInt();
  EXPECT_EQ(sum, static_cast<long long>(kCount) * (kCount - 1) / 2);
  // An object made afterwards starts from the declared initial values.
  EXPECT_TRUE(zv::Object::New(c).Send("m7").IsNil());
}

}  // namespace

namespace {

// A name sent as a C string is looked up by its address first; the same
// buffer holding another name later must give that name's symbol, and
// names longer than the cache keeps, or differing only in case, still work.
TEST(Symbols, NamesByAddressFollowTheBuffersContent) {
  char buffer[64] = "FirstName";
  const zv::Symbol first(static_cast<const char*>(buffer));
  EXPECT_EQ(first, zv::Symbol(std::string_view("FIRSTNAME")));
  std::snprintf(buffer, sizeof buffer, "First");  // a prefix of the old content
  const zv::Symbol shorter(static_cast<const char*>(buffer));
  EXPECT_EQ(shorter.name(), "First");
  EXPECT_NE(shorter, first);
  std::snprintf(buffer, sizeof buffer, "FirstNameButLongerThanTheCacheKeeps");
  const zv::Symbol longer(static_cast<const char*>(buffer));
  EXPECT_EQ(longer.name(), "FirstNameButLongerThanTheCacheKeeps");
  std::snprintf(buffer, sizeof buffer, "firstname");
  EXPECT_EQ(zv::Symbol(static_cast<const char*>(buffer)), first);
  EXPECT_EQ(zv::Symbol(static_cast<const char*>(buffer)), first);  // now from the cache
  EXPECT_EQ(zv::Symbol(""), zv::Symbol(std::string_view()));
}

// A static object of another source file, made while the program starts:
// the constants it reads are already interned (a constant read before its
// definition has run would still be the empty symbol).
struct ReadsConstantsAtStart {
  zv::Symbol member = zv::sym::ClassName;
  zv::Symbol setter = zv::sym::set::Cargo.symbol();
};
const ReadsConstantsAtStart g_readAtStart;

TEST(Symbols, ConstantsAreMadeBeforeOtherStaticObjects) {
  EXPECT_EQ(g_readAtStart.member, zv::sym::ClassName);
  EXPECT_TRUE(g_readAtStart.member.valid());
  EXPECT_EQ(g_readAtStart.setter.name(), "_Cargo");
}

TEST(Symbols, ConstantsAndSetters) {
  EXPECT_EQ(zv::sym::ClassName.name(), "ClassName");
  EXPECT_EQ(zv::sym::set::Cargo.symbol().name(), "_Cargo");
  EXPECT_EQ(zv::SetterSymbol::Of(zv::sym::Cargo).symbol(), zv::sym::set::Cargo.symbol());
  EXPECT_FALSE(zv::SetterSymbol::Of(zv::Symbol()).symbol().valid());
  Value e = Object::New(zv::ErrorClass());
  e.Send(zv::sym::set::GenCode, 5);
  EXPECT_EQ(e.Send(zv::sym::GenCode).AsInt(), 5);
}

}  // namespace
