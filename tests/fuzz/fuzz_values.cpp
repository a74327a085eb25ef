// Fuzz target: values and operators (runtime/value, runtime/operators).
//
// The input is a small program for a stack machine: push numbers (raw and
// chosen near the edges of int64 and of the double grid), strings, dates
// (from Julian days or from calendar fields), lists and by-reference cells;
// write cells (with themselves, too); apply the arithmetic, comparison and
// index operators; display. The properties checked are the documented rules
// of operators.h and value.h: exact integer results, exact equality between
// an integer and a double, symmetric equality, dates that display as a
// calendar day or as the out-of-range text, cells that always dereference.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "runtime/operators.h"
#include "runtime/runtime.h"

namespace {

using zv::Value;
using i128 = __int128;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kDoubles[] = {0.0, -0.0, 0.5, -1.5, 1.0, 9007199254740992.0, 9007199254740994.0,
                           9223372036854775808.0, -9223372036854775808.0, 9.0e18, 9.2e18, -9.3e18,
                           1e15, 1e300, kInf, -kInf, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                           zv::kMaxJulianDay, zv::kMaxJulianDay + 1, 2451545.5, 4503599627370496.5};
const long long kInts[] = {0, 1, -1, 2, (1LL << 53), (1LL << 53) + 1, -(1LL << 53) - 1,
                           std::numeric_limits<long long>::max(), std::numeric_limits<long long>::min(),
                           9000000000000000000LL, (1LL << 62), 2451545, 86400};

// Installed once: every run-time error is answered with the default result,
// so operators on wrong kinds return instead of aborting the run.
void QuietErrors() {
  static const bool once = [] {
    zv::SetErrorHandler([](const Value&) { return Value(false); });
    return true;
  }();
  (void)once;
}

bool SameKindAndValue(const Value& a, const Value& b) {
  if (a.kind() != b.kind()) return false;
  if (a.IsDouble() || a.IsDate()) {
    const double x = a.IsDate() ? a.AsJulian() : a.AsDouble();
    const double y = b.IsDate() ? b.AsJulian() : b.AsDouble();
    return (std::isnan(x) && std::isnan(y)) || x == y;
  }
  return a == b;
}

// The exact equality of an integer and a double, read a second way: the
// 64-bit mantissa of x87 long double holds both exactly.
void CheckExactEquality(long long i, double d) {
  if constexpr (std::numeric_limits<long double>::digits >= 64) {
    const bool expected = static_cast<long double>(i) == static_cast<long double>(d);
    FUZZ_CHECK((Value(i) == Value(d)) == expected);
    FUZZ_CHECK((Value(d) == Value(i)) == expected);
    FUZZ_CHECK(zv::OpEqual(i, d).IsTrue() == expected);
    FUZZ_CHECK(zv::OpNotEqual(d, i).IsTrue() == !expected);
  }
}

// A date displays as its calendar day or as the out-of-range text.
void CheckDate(const Value& v) {
  const double j = v.AsJulian();
  const std::string text = v.ToDisplay();
  int y, m, d;
  const bool inRange = zv::CivilFromJulian(j, y, m, d);
  if (j == 0) {
    FUZZ_CHECK(text == "    -  -  ");
    return;
  }
  if (!inRange) {
    FUZZ_CHECK(text == zv::kDateOutOfRangeText);
    FUZZ_CHECK(!(j >= zv::kMinJulianDay && j < zv::kMaxJulianDay + 1));
    return;
  }
  FUZZ_CHECK(m >= 1 && m <= 12 && d >= 1 && d <= 31 && y >= -4713 && y <= 9999);
  FUZZ_CHECK(zv::JulianFromCivil(y, m, d) == std::floor(j));
  FUZZ_CHECK(text != zv::kDateOutOfRangeText && text.size() >= 10);
}

void CheckCivil(int y, int m, int d) {
  const double j = zv::JulianFromCivil(y, m, d);
  FUZZ_CHECK(std::isfinite(j) && j == std::floor(j));
  // Day d of month m is the (d-1)th day after day 1: days roll over linearly.
  if (d > std::numeric_limits<int>::min()) FUZZ_CHECK(zv::JulianFromCivil(y, m, d - 1) == j - 1);
  int y2, m2, d2;
  if (zv::CivilFromJulian(j, y2, m2, d2)) {
    FUZZ_CHECK(zv::JulianFromCivil(y2, m2, d2) == j);
    if (m >= 1 && m <= 12 && d >= 1 && d <= 28) FUZZ_CHECK(y2 == y && m2 == m && d2 == d);
  }
  CheckDate(Value::Date(j));
}

void CheckArithmetic(int op, const Value& a, const Value& b, const Value& r) {
  if (!a.IsInteger() || !b.IsInteger()) {
    if (a.IsNumber() && b.IsNumber() && (a.IsDouble() || b.IsDouble()) && op <= 2) FUZZ_CHECK(r.IsDouble());
    if (a.IsDate() && b.IsNumber() && op <= 1) FUZZ_CHECK(r.IsDate());
    if (a.IsDate() && b.IsDate() && op == 1) FUZZ_CHECK(r.IsNumber());
    return;
  }
  const i128 x = a.AsInt(), y = b.AsInt();
  const i128 lo = std::numeric_limits<long long>::min(), hi = std::numeric_limits<long long>::max();
  auto fits = [&](i128 v) { return v >= lo && v <= hi; };
  switch (op) {
    case 0:  // +
    case 1:  // -
    case 2: {  // *
      const i128 exact = op == 0 ? x + y : op == 1 ? x - y : x * y;
      FUZZ_CHECK(r.IsInteger() == fits(exact));
      if (r.IsInteger()) FUZZ_CHECK(r.AsInt() == exact);
      else FUZZ_CHECK(r.IsDouble());
      break;
    }
    case 3:  // /
      if (y == 0) break;
      if (x % y == 0 && fits(x / y)) FUZZ_CHECK(r.IsInteger() && r.AsInt() == x / y);
      else FUZZ_CHECK(r.IsDouble());
      break;
    case 4:  // %
      if (y == 0) break;
      FUZZ_CHECK(r.IsInteger());
      FUZZ_CHECK(r.AsInt() == x % y);  // C's remainder keeps the sign of the dividend
      break;
    case 5:  // ^
      if (y == 0) FUZZ_CHECK(r.IsInteger() && r.AsInt() == 1);
      if (y == 1) FUZZ_CHECK(r.IsInteger() && r.AsInt() == x);
      if (y == 2 && fits(x * x)) FUZZ_CHECK(r.IsInteger() && r.AsInt() == x * x);
      break;
  }
}

void CheckEquality(const Value& a, const Value& b) {
  const bool eq = a == b;
  FUZZ_CHECK(eq == (b == a));
  if (a.IsNumber() && b.IsNumber()) {
    FUZZ_CHECK(zv::OpEqual(a, b).IsTrue() == eq);
    FUZZ_CHECK(zv::OpExactEqual(b, a).IsTrue() == eq);
    FUZZ_CHECK(zv::OpNotEqual(a, b).IsTrue() == !eq);
    if (a.IsInteger() && b.IsDouble()) CheckExactEquality(a.AsInt(), b.AsDouble());
    if (a.IsDouble() && b.IsInteger()) CheckExactEquality(b.AsInt(), a.AsDouble());
  }
  // A value equals itself unless it is NaN.
  const bool nan = (a.IsDouble() && std::isnan(a.AsDouble())) || (a.IsDate() && std::isnan(a.AsJulian()));
  FUZZ_CHECK((a == a) == !nan);
}

Value Leaf(zvfuzz::FuzzInput& in) {
  switch (in.Below(10)) {
    case 0: return Value(in.Raw<long long>());
    case 1: return Value(static_cast<long long>(static_cast<std::int8_t>(in.Byte())));
    case 2: return Value(in.Raw<double>());
    case 3: return Value(kDoubles[in.Below(std::size(kDoubles))]);
    case 4: {
      // Near an edge, wrapping around at the ends of the range.
      const auto base = static_cast<unsigned long long>(kInts[in.Below(std::size(kInts))]);
      const long long delta = static_cast<std::int8_t>(in.Byte()) % 3;
      return Value(static_cast<long long>(base + static_cast<unsigned long long>(delta)));
    }
    case 5: return Value(in.Bytes(8));
    case 6: return Value::Date(in.Bool() ? in.Raw<double>() : kDoubles[in.Below(std::size(kDoubles))]);
    case 7: {
      const int y = in.Bool() ? in.Raw<int>() : 1900 + in.Byte();
      const int m = in.Bool() ? in.Raw<int>() : static_cast<std::int8_t>(in.Byte());
      const int d = in.Bool() ? in.Raw<int>() : static_cast<std::int8_t>(in.Byte());
      CheckCivil(y, m, d);
      return Value::Date(y, m, d);
    }
    case 8: return in.Bool() ? Value() : Value(in.Bool());
    default: return Value::List({});
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QuietErrors();
  zvfuzz::FuzzInput in(data, size);
  std::vector<Value> stack;
  auto push = [&](Value v) {
    if (stack.size() >= 8) stack.erase(stack.begin());
    stack.push_back(std::move(v));
  };
  auto pick = [&]() -> Value& { return stack[in.Below(static_cast<unsigned>(stack.size()))]; };

  for (int steps = 0; steps < 256 && !in.empty(); ++steps) {
    const unsigned op = in.Below(9);
    if (stack.empty() || op == 0) {
      push(Leaf(in));
      continue;
    }
    switch (op) {
      case 1: {  // a by-reference cell holding a value (possibly another cell)
        push(Value::Ref(pick()));
        break;
      }
      case 2: {  // write a cell, or a plain value, with any value (itself too)
        Value& target = pick();
        const Value v = pick();
        const Value expected = v.Deref();
        target.Assign(v);
        if (target.IsRef()) {
          FUZZ_CHECK(!target.Deref().IsRef());
          FUZZ_CHECK(SameKindAndValue(target.Deref(), expected));
        }
        break;
      }
      case 3: {  // arithmetic
        const Value a = pick(), b = pick();
        const int which = static_cast<int>(in.Below(6));
        // "+" doubling a string at every step would only measure memory.
        if (a.Deref().IsString() && b.Deref().IsString() && a.Len() + b.Len() > 4096) break;
        Value r;
        switch (which) {
          case 0: r = zv::OpAdd(a, b); break;
          case 1: r = zv::OpSubtract(a, b); break;
          case 2: r = zv::OpMultiply(a, b); break;
          case 3: r = zv::OpDivide(a, b); break;
          case 4: r = zv::OpModulo(a, b); break;
          default: r = zv::OpPower(a, b); break;
        }
        CheckArithmetic(which, a.Deref(), b.Deref(), r);
        push(r);
        break;
      }
      case 4: {  // ++ and --
        const Value a = pick();
        const Value r = in.Bool() ? zv::OpIncrement(a) : zv::OpDecrement(a);
        if (a.Deref().IsDate()) FUZZ_CHECK(r.IsDate());
        push(r);
        break;
      }
      case 5:  // equality
        CheckEquality(pick().Deref(), pick().Deref());
        break;
      case 6: {  // indexing a list
        Value list = pick();
        if (!list.Deref().IsList()) list = Value::List({pick(), pick()});
        const Value index = pick();
        if (in.Bool()) {
          push(zv::OpIndex(list, index));
        } else {
          const std::size_t len = list.Len();
          zv::OpIndexAssign(list, index, pick());
          FUZZ_CHECK(list.Len() == len);  // assignment never grows the list
        }
        break;
      }
      case 7: {  // dates in and out of range
        const Value a = pick();
        const Value d = a.Deref().IsDate() ? a.Deref() : Value::Date(a.AsDouble());
        CheckDate(d);
        const Value later = zv::OpAdd(d, pick());
        if (later.IsDate()) CheckDate(later);
        break;
      }
      default: {  // reading: display, type letter, conversions
        const Value& v = pick();
        (void)v.ToDisplay();
        FUZZ_CHECK(v.TypeLetter() != 0);
        (void)v.AsInt();
        (void)v.AsDouble();
        (void)v.Len();
        if (v.Deref().IsDate()) CheckDate(v.Deref());
        break;
      }
    }
  }
  for (const Value& v : stack) (void)v.ToDisplay();
  stack.clear();
  zv::Collect();  // lists that hold themselves through cells
  return 0;
}
