// Operators on values: arithmetic, dates, strings, equality, indexing, their
// errors and operator overloading by objects.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "runtime/operators.h"
#include "runtime/runtime.h"
#include "support/error_trap.h"

namespace {

using zv::Args;
using zv::Object;
using zv::Value;

using zvtest::ErrorTrap;

TEST(Operators, IntegersStayIntegersUntilTheyOverflow) {
  Value r = zv::OpAdd(2, 3);
  ASSERT_TRUE(r.IsInteger());
  EXPECT_EQ(r.AsInt(), 5);
  EXPECT_TRUE(zv::OpSubtract(2, 7).IsInteger());
  EXPECT_EQ(zv::OpSubtract(2, 7).AsInt(), -5);
  EXPECT_EQ(zv::OpMultiply(-4, 6).AsInt(), -24);

  const long long big = std::numeric_limits<long long>::max();
  Value sum = zv::OpAdd(big, 1);
  ASSERT_TRUE(sum.IsDouble());
  EXPECT_DOUBLE_EQ(sum.AsDouble(), 9223372036854775808.0);
  EXPECT_TRUE(zv::OpMultiply(big, 2).IsDouble());
  EXPECT_TRUE(zv::OpSubtract(std::numeric_limits<long long>::min(), 1).IsDouble());
  EXPECT_TRUE(zv::OpIncrement(big).IsDouble());
}

TEST(Operators, ADoubleOnEitherSideGivesADouble) {
  Value r = zv::OpAdd(1, 0.5);
  ASSERT_TRUE(r.IsDouble());
  EXPECT_DOUBLE_EQ(r.AsDouble(), 1.5);
  EXPECT_TRUE(zv::OpMultiply(2.0, 3).IsDouble());
  EXPECT_DOUBLE_EQ(zv::OpSubtract(1, 0.25).AsDouble(), 0.75);
}

TEST(Operators, DivisionIsExactOrFloatingPoint) {
  Value exact = zv::OpDivide(12, 4);
  ASSERT_TRUE(exact.IsInteger());
  EXPECT_EQ(exact.AsInt(), 3);
  Value inexact = zv::OpDivide(7, 2);
  ASSERT_TRUE(inexact.IsDouble());
  EXPECT_DOUBLE_EQ(inexact.AsDouble(), 3.5);
  // The one integer quotient that does not fit.
  Value q = zv::OpDivide(std::numeric_limits<long long>::min(), -1);
  EXPECT_TRUE(q.IsDouble());
  EXPECT_DOUBLE_EQ(q.AsDouble(), 9223372036854775808.0);
}

TEST(Operators, ModuloKeepsTheSignOfTheDividend) {
  EXPECT_EQ(zv::OpModulo(7, 3).AsInt(), 1);
  EXPECT_EQ(zv::OpModulo(-7, 3).AsInt(), -1);
  EXPECT_EQ(zv::OpModulo(std::numeric_limits<long long>::min(), -1).AsInt(), 0);
  EXPECT_DOUBLE_EQ(zv::OpModulo(7.5, 2).AsDouble(), 1.5);
}

TEST(Operators, PowerIsExactForIntegersThatFit) {
  Value p = zv::OpPower(2, 10);
  ASSERT_TRUE(p.IsInteger());
  EXPECT_EQ(p.AsInt(), 1024);
  EXPECT_EQ(zv::OpPower(-3, 3).AsInt(), -27);
  EXPECT_EQ(zv::OpPower(5, 0).AsInt(), 1);
  Value huge = zv::OpPower(10, 30);
  ASSERT_TRUE(huge.IsDouble());
  EXPECT_DOUBLE_EQ(huge.AsDouble(), 1e30);
  EXPECT_DOUBLE_EQ(zv::OpPower(2, -1).AsDouble(), 0.5);
  EXPECT_DOUBLE_EQ(zv::OpPower(9, 0.5).AsDouble(), 3.0);
}

TEST(Operators, StringsConcatenate) {
  EXPECT_EQ(zv::OpAdd("Mer", "lin").AsString(), "Merlin");
  EXPECT_EQ(zv::OpAdd("", "").AsString(), "");
}

TEST(Operators, DateArithmetic) {
  const Value d = Value::Date(2024, 2, 28);
  Value next = zv::OpAdd(d, 2);
  ASSERT_TRUE(next.IsDate());
  EXPECT_EQ(next.ToDisplay(), "2024-03-01");
  EXPECT_EQ(zv::OpAdd(1, d).ToDisplay(), "2024-02-29");
  EXPECT_EQ(zv::OpSubtract(d, 28).ToDisplay(), "2024-01-31");
  Value days = zv::OpSubtract(Value::Date(2024, 3, 1), d);
  ASSERT_TRUE(days.IsInteger());
  EXPECT_EQ(days.AsInt(), 2);
  EXPECT_EQ(zv::OpIncrement(d).ToDisplay(), "2024-02-29");
  EXPECT_EQ(zv::OpDecrement(Value::Date(2024, 3, 1)).ToDisplay(), "2024-02-29");
}

TEST(Operators, DateArithmeticOutOfRangeStaysADate) {
  const double inf = std::numeric_limits<double>::infinity();
  const Value d = Value::Date(2024, 2, 28);
  for (const Value& r : {zv::OpAdd(d, 1e300), zv::OpAdd(d, inf), zv::OpAdd(-inf, d),
                         zv::OpSubtract(d, std::numeric_limits<double>::quiet_NaN()),
                         zv::OpAdd(d, std::numeric_limits<long long>::max()),
                         zv::OpSubtract(d, std::numeric_limits<long long>::min()),
                         zv::OpIncrement(Value::Date(std::numeric_limits<double>::max())),
                         zv::OpDecrement(Value::Date(-inf))}) {
    ASSERT_TRUE(r.IsDate());
    EXPECT_EQ(r.ToDisplay(), zv::kDateOutOfRangeText) << r.AsJulian();
  }
  // The distance between dates that are not finite is a number, not a date.
  const Value days = zv::OpSubtract(Value::Date(inf), Value::Date(inf));
  ASSERT_TRUE(days.IsDouble());
  EXPECT_TRUE(std::isnan(days.AsDouble()));
  EXPECT_EQ(zv::OpSubtract(Value::Date(zv::kMaxJulianDay), Value::Date(1.0)).AsInt(),
            static_cast<long long>(zv::kMaxJulianDay) - 1);
}

TEST(Operators, IncrementAndDecrement) {
  EXPECT_EQ(zv::OpIncrement(41).AsInt(), 42);
  EXPECT_EQ(zv::OpDecrement(0).AsInt(), -1);
  EXPECT_DOUBLE_EQ(zv::OpIncrement(0.5).AsDouble(), 1.5);
  // Through a by-reference cell the operand is its value.
  Value cell = Value::Ref(9);
  EXPECT_EQ(zv::OpIncrement(cell).AsInt(), 10);
}

TEST(Operators, WrongKindsRaiseTheArgumentErrorOfTheOperator) {
  struct Case {
    const char* op;
    int subCode;
    Value (*fn)(const Value&, const Value&);
  };
  const Case cases[] = {
      {"+", 1081, zv::OpAdd},      {"-", 1082, zv::OpSubtract}, {"*", 1083, zv::OpMultiply},
      {"/", 1084, zv::OpDivide},   {"%", 1085, zv::OpModulo},   {"^", 1088, zv::OpPower},
      {"=", 1085, zv::OpEqual},    {"==", 1085, zv::OpExactEqual}, {"!=", 1085, zv::OpNotEqual},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.op);
    ErrorTrap trap(Value("substitute"));
    Value r = c.fn(Value(true), Value(3));
    EXPECT_EQ(r.AsString(), "substitute");  // the handler's answer is the result
    ASSERT_EQ(trap.errors.size(), 1u);
    EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), 1);
    EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), c.subCode);
    EXPECT_EQ(trap.field(0, zv::ErrorField::SubSystem).AsString(), "BASE");
    EXPECT_EQ(trap.field(0, zv::ErrorField::Description).AsString(), "argument error");
    EXPECT_EQ(trap.field(0, zv::ErrorField::Operation).AsString(), c.op);
    EXPECT_EQ(trap.field(0, zv::ErrorField::Severity).AsInt(), 2);
    EXPECT_TRUE(trap.field(0, zv::ErrorField::CanSubstitute).AsBool());
    Value args = trap.field(0, zv::ErrorField::Args);
    ASSERT_EQ(args.Len(), 2u);
    EXPECT_TRUE(args.Item(1).IsTrue());
    EXPECT_EQ(args.Item(2).AsInt(), 3);
  }
  {
    ErrorTrap trap;
    EXPECT_TRUE(zv::OpIncrement("x").IsNil());
    EXPECT_TRUE(zv::OpDecrement(Value::List({})).IsNil());
    ASSERT_EQ(trap.errors.size(), 2u);
    EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), 1086);
    EXPECT_EQ(trap.field(0, zv::ErrorField::Args).Len(), 1u);
    EXPECT_EQ(trap.field(1, zv::ErrorField::SubCode).AsInt(), 1087);
    EXPECT_EQ(trap.field(1, zv::ErrorField::Operation).AsString(), "--");
  }
  {
    ErrorTrap trap;
    zv::OpSubtract("a", "b");           // strings do not subtract
    zv::OpAdd(Value::Date(2000, 1, 1), Value::Date(2000, 1, 2));  // nor do two dates add
    EXPECT_EQ(trap.errors.size(), 2u);
  }
}

TEST(Operators, TheDefaultHandlerAbortsOnAnArgumentError) {
  EXPECT_THROW(zv::OpAdd(Value(), 1), zv::Break);
}

TEST(Operators, DivisionByZeroRaisesTheZeroDivisor) {
  ErrorTrap trap(Value(0));
  Value r = zv::OpDivide(5, 0);
  EXPECT_EQ(r.AsInt(), 0);
  zv::OpModulo(5, 0.0);
  ASSERT_EQ(trap.errors.size(), 2u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), zv::kErrZeroDivide);
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), 1340);
  EXPECT_EQ(trap.field(0, zv::ErrorField::Operation).AsString(), "/");
  EXPECT_TRUE(trap.field(0, zv::ErrorField::CanSubstitute).AsBool());
  EXPECT_EQ(trap.field(1, zv::ErrorField::GenCode).AsInt(), zv::kErrZeroDivide);
  EXPECT_EQ(trap.field(1, zv::ErrorField::SubCode).AsInt(), 1341);
}

TEST(Operators, Equality) {
  EXPECT_TRUE(zv::OpExactEqual(3, 3.0).IsTrue());
  EXPECT_TRUE(zv::OpNotEqual(3, 3.5).IsTrue());
  EXPECT_TRUE(zv::OpEqual("abc", "abc").IsTrue());
  EXPECT_TRUE(zv::OpExactEqual("abc", "abd").IsFalse());
  EXPECT_TRUE(zv::OpExactEqual(Value::Date(2000, 1, 1), Value::Date(2000, 1, 1)).IsTrue());
  EXPECT_TRUE(zv::OpExactEqual(true, false).IsFalse());
  // Absent equals only absent, and is comparable with anything.
  EXPECT_TRUE(zv::OpExactEqual(Value(), Value()).IsTrue());
  EXPECT_TRUE(zv::OpExactEqual(Value(), 0).IsFalse());
  EXPECT_TRUE(zv::OpNotEqual("x", Value()).IsTrue());
  // Containers by identity.
  Value list = Value::List({1});
  EXPECT_TRUE(zv::OpExactEqual(list, list).IsTrue());
  EXPECT_TRUE(zv::OpExactEqual(list, Value::List({1})).IsFalse());
}

TEST(Operators, EqualityOfAnIntegerAndADoubleIsExact) {
  const long long two53 = 1LL << 53;
  EXPECT_TRUE(zv::OpEqual(two53 + 1, 9007199254740992.0).IsFalse());
  EXPECT_TRUE(zv::OpNotEqual(9007199254740992.0, two53 + 1).IsTrue());
  EXPECT_TRUE(zv::OpExactEqual(two53, 9007199254740992.0).IsTrue());
  EXPECT_TRUE(zv::OpEqual(std::numeric_limits<long long>::max(), 9223372036854775808.0).IsFalse());
  EXPECT_TRUE(zv::OpEqual(std::numeric_limits<long long>::min(), -9223372036854775808.0).IsTrue());
  EXPECT_TRUE(zv::OpNotEqual(0, std::numeric_limits<double>::quiet_NaN()).IsTrue());
  EXPECT_TRUE(zv::OpEqual(0, -0.0).IsTrue());
}

TEST(Operators, ListIndexing) {
  Value list = Value::List({10, 20, 30});
  EXPECT_EQ(zv::OpIndex(list, 2).AsInt(), 20);
  EXPECT_EQ(zv::OpIndexAssign(list, 3, "c").AsString(), "c");
  EXPECT_EQ(list.Item(3).AsString(), "c");
  ErrorTrap trap;
  EXPECT_TRUE(zv::OpIndex(list, 4).IsNil());
  EXPECT_TRUE(zv::OpIndex(list, 0).IsNil());
  zv::OpIndexAssign(list, 4, 1);
  EXPECT_EQ(list.Len(), 3u);  // no growth
  ASSERT_EQ(trap.errors.size(), 3u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), zv::kErrBound);
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), 1132);
  EXPECT_EQ(trap.field(2, zv::ErrorField::SubCode).AsInt(), 1133);
}

// A class with overloaded operators that records what it received.
std::vector<std::string> g_sent;

zv::Class* Money() {
  static zv::Class* c = [] {
    zv::ClassDecl d("TMoneyOp", nullptr);
    d.AddData("nCents", 0);
    d.AddMethod("+", [](Object& self, Args a) -> Value {
      g_sent.push_back("+ " + a.Get(0).ToDisplay());
      return self.Send("nCents").AsInt() + a.Get(0).AsInt();
    });
    d.AddMethod("==", [](Object& self, Args a) -> Value {
      g_sent.push_back("== " + a.Get(0).ToDisplay());
      return self.Send("nCents").AsInt() == a.Get(0).AsInt();
    });
    d.AddMethod("++", [](Object& self, Args a) -> Value {
      g_sent.push_back("++ " + std::to_string(a.size()));
      return self.Send("_nCents", self.Send("nCents").AsInt() + 1);
    });
    d.AddMethod("[]", [](Object&, Args a) -> Value {
      g_sent.push_back("[] " + std::to_string(a.size()));
      return a.size() == 2 ? a.Get(1) : Value(a.Get(0).AsInt() * 100);
    });
    return d.Finish();
  }();
  return c;
}

TEST(Operators, AnObjectOnTheLeftAnswersItsOwnOperators) {
  g_sent.clear();
  Value m = Object::New(Money());
  m.Send("_nCents", 250);
  EXPECT_EQ(zv::OpAdd(m, 5).AsInt(), 255);
  EXPECT_TRUE(zv::OpExactEqual(m, 250).IsTrue());
  // "!=" falls back to the negation of "==".
  EXPECT_TRUE(zv::OpNotEqual(m, 250).IsFalse());
  EXPECT_EQ(zv::OpIncrement(m).AsInt(), 251);
  EXPECT_EQ(zv::OpIndex(m, 3).AsInt(), 300);
  EXPECT_EQ(zv::OpIndexAssign(m, 3, "v").AsString(), "v");
  EXPECT_EQ(g_sent, (std::vector<std::string>{"+ 5", "== 250", "== 250", "++ 0", "[] 1", "[] 2"}));
}

TEST(Operators, AnObjectWithoutTheOperatorIsAnArgumentErrorOrIdentity) {
  Value m = Object::New(Money());
  ErrorTrap trap;
  zv::OpSubtract(m, 1);
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), 1082);
  // An object on the right does not overload.
  zv::OpAdd(5, m);
  EXPECT_EQ(trap.errors.size(), 2u);
  Value plain = Object::New(zv::RootClass());
  EXPECT_TRUE(zv::OpExactEqual(plain, plain).IsTrue());
  EXPECT_TRUE(zv::OpExactEqual(plain, Object::New(zv::RootClass())).IsFalse());
}

}  // namespace
