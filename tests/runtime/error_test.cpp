// Run-time errors: the handler's answers, retry, substitution and the abort.
#include <gtest/gtest.h>

#include "runtime/runtime.h"

namespace {

using zv::Value;

class HandlerScope {
 public:
  explicit HandlerScope(zv::ErrorHandler h) : previous_(zv::SetErrorHandler(std::move(h))) {}
  ~HandlerScope() { zv::SetErrorHandler(previous_); }

 private:
  zv::ErrorHandler previous_;
};

zv::ErrorInfo Info(bool retry, bool dflt, bool subst) {
  zv::ErrorInfo e;
  e.genCode = zv::kErrArgument;
  e.subCode = 3001;
  e.operation = "Op";
  e.canRetry = retry;
  e.canDefault = dflt;
  e.canSubstitute = subst;
  return e;
}

TEST(Errors, ErrorObjectsCarryTheirFieldsAndPlace) {
  zv::ErrorInfo e = Info(true, false, true);
  e.subSystem = "TOleAuto";
  e.fileName = "x.dbf";
  e.args = Value::List({1, "a"});
  zv::ProcFrame frame("MYPROC");
  Value err = zv::MakeError(e);
  const int line = __LINE__ - 1;
  EXPECT_EQ(zv::ErrorSlot(err, zv::ErrorField::SubSystem).AsString(), "TOleAuto");
  EXPECT_EQ(zv::ErrorSlot(err, zv::ErrorField::Description).AsString(), "Argument error");
  EXPECT_EQ(zv::ErrorSlot(err, zv::ErrorField::Severity).AsInt(), 2);
  EXPECT_EQ(zv::ErrorSlot(err, zv::ErrorField::ProcName).AsString(), "MYPROC");
  EXPECT_EQ(zv::ErrorSlot(err, zv::ErrorField::ProcLine).AsInt(), line);
  // The fields are members of an ordinary object too.
  EXPECT_EQ(err.Send("Operation").AsString(), "Op");
  EXPECT_EQ(err.Send("CanRetry").AsBool(), true);
  EXPECT_EQ(err.Send("Args").Item(2).AsString(), "a");
}

TEST(Errors, TheDefaultHandlerAborts) {
  EXPECT_THROW(zv::RaiseError(Info(true, true, true)), zv::Break);
}

TEST(Errors, DefaultAndSubstituteAnswers) {
  {
    HandlerScope h([](const Value&) { return Value(false); });
    EXPECT_TRUE(zv::RaiseError(Info(false, true, false)).IsNil());
  }
  {
    HandlerScope h([](const Value&) { return Value(0); });
    EXPECT_EQ(zv::RaiseError(Info(false, false, true)).AsInt(), 0);
    // A substitute for an error that does not allow one is ignored.
    EXPECT_TRUE(zv::RaiseError(Info(false, false, false)).IsNil());
  }
}

TEST(Errors, RetryReallyRepeatsTheOperation) {
  int attempts = 0;
  HandlerScope h([&](const Value& e) { return Value(zv::ErrorSlot(e, zv::ErrorField::Tries).AsInt() < 3); });
  // An operation that fails until its third attempt.
  std::function<Value()> op = [&]() -> Value {
    ++attempts;
    if (attempts < 3) return zv::RaiseError(Info(true, true, true), op);
    return Value("done");
  };
  EXPECT_EQ(op().AsString(), "done");
  EXPECT_EQ(attempts, 3);
}

TEST(Errors, RetryOfAMissingMemberAfterTheHandlerAddsIt) {
  zv::ClassDecl d("TLateBag", nullptr);
  zv::Class* bag = d.Finish();
  Value o = zv::Object::New(bag);
  int calls = 0;
  HandlerScope h([&](const Value& e) {
    ++calls;
    // Declare the missing member, then ask for the send to be repeated.
    bag->AddMemberAtRunTime(zv::Symbol(zv::ErrorSlot(e, zv::ErrorField::Operation).AsString()), "late");
    return Value(true);
  });
  EXPECT_EQ(o.Send("cLate").AsString(), "late");
  EXPECT_EQ(calls, 1);
}

TEST(Errors, RetryOfAnErrorThatCannotBeRetriedAborts) {
  HandlerScope h([](const Value&) { return Value(true); });
  EXPECT_THROW(zv::RaiseError(Info(false, true, true)), zv::Break);
}

TEST(Errors, BreakUnwindsThroughMethodsAndKeepsTheStackBalanced) {
  zv::ClassDecl d("TThrower", nullptr);
  d.AddMethod("Deep", [](zv::Object& self, zv::Args) -> Value { return self.Send("NotThere"); });
  d.AddMethod("Run", [](zv::Object& self, zv::Args) -> Value { return self.Send("Deep"); });
  Value o = zv::Object::New(d.Finish());
  const std::size_t depth = zv::CallStack::Depth();
  EXPECT_THROW(o.Send("Run"), zv::Break);
  EXPECT_EQ(zv::CallStack::Depth(), depth);
}

TEST(Errors, QuitRequestsAndExitCode) {
  EXPECT_FALSE(zv::QuitPending());
  zv::RequestQuit(3);
  EXPECT_TRUE(zv::QuitPending());
  EXPECT_EQ(zv::QuitExitCode(), 3);
  zv::ClearQuitRequest();
  EXPECT_FALSE(zv::QuitPending());
}

}  // namespace
