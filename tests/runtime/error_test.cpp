// Run-time errors: the handler's answers, retry, substitution and the abort.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

TEST(Errors, RetryRepeatsTheOperationAndCountsTriesOnTheSameError) {
  int attempts = 0;
  std::vector<zv::Object*> seen;
  HandlerScope h([&](const Value& e) {
    seen.push_back(e.AsObject());
    return Value(zv::ErrorSlot(e, zv::ErrorField::Tries).AsInt() < 5);
  });
  // An operation that fails until its third attempt.
  auto attempt = [&](Value& result) {
    if (++attempts < 3) return false;
    result = "done";
    return true;
  };
  Value error = zv::MakeError(Info(true, true, true));
  EXPECT_EQ(zv::RaiseError(error, attempt).AsString(), "done");
  EXPECT_EQ(attempts, 3);
  ASSERT_EQ(seen.size(), 3u);
  for (zv::Object* o : seen) EXPECT_EQ(o, error.AsObject());
  EXPECT_EQ(zv::ErrorSlot(error, zv::ErrorField::Tries).AsInt(), 3);
}

TEST(Errors, AHandlerThatRetriesWhileTriesIsLowGivesUpWithoutRecursing) {
  // A message nobody will ever define: each retry fails the same way.
  zv::ClassDecl d("TNeverThere", nullptr);
  Value o = zv::Object::New(d.Finish());
  int calls = 0;
  std::size_t deepest = 0;
  HandlerScope h([&](const Value& e) {
    ++calls;
    deepest = std::max(deepest, zv::CallStack::Depth());
    return Value(zv::ErrorSlot(e, zv::ErrorField::Tries).AsInt() < 3);
  });
  const std::size_t depth = zv::CallStack::Depth();
  EXPECT_TRUE(o.Send("Missing").IsNil());  // the third answer is "default"
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(deepest, depth);  // every try was asked from the same level
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
