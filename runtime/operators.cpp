#include "runtime/operators.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/error.h"
#include "runtime/object.h"

namespace zv {
namespace {

// Sub-codes of the operators' argument errors.
constexpr int kSubAdd = 1081;
constexpr int kSubSubtract = 1082;
constexpr int kSubMultiply = 1083;
constexpr int kSubDivide = 1084;
constexpr int kSubModulo = 1085;
constexpr int kSubIncrement = 1086;
constexpr int kSubDecrement = 1087;
constexpr int kSubPower = 1088;
constexpr int kSubEqual = 1085;
constexpr int kSubZeroDivide = 1340;
constexpr int kSubZeroModulo = 1341;
constexpr int kSubBoundRead = 1132;
constexpr int kSubBoundWrite = 1133;

// The method of the left operand's class that overloads the operator, or nullptr.
const Method* Overload(const Value& a, Symbol op) {
  Object* o = a.AsObject();
  return o ? o->GetClass()->FindMethod(op) : nullptr;
}

Value SendOverload(const Value& a, Symbol op, std::initializer_list<Value> args) {
  std::vector<Value> argv(args);
  return SendList(a.Deref(), Msg(op), argv);
}

Value ArgError(std::string_view op, int subCode, const Value& a, const Value& b) {
  return RaiseOperatorError(op, subCode, Value::List({a, b}));
}

Value ZeroDivide(std::string_view op, int subCode, const Value& a, const Value& b) {
  ErrorInfo e;
  e.genCode = kErrZeroDivide;
  e.subCode = subCode;
  e.subSystem = "BASE";
  e.operation = std::string(op);
  e.args = Value::List({a, b});
  e.canSubstitute = true;
  return RaiseError(e);
}

Value BoundError(int subCode, const Value& a, const Value& index) {
  ErrorInfo e;
  e.genCode = kErrBound;
  e.subCode = subCode;
  e.subSystem = "BASE";
  e.operation = "[]";
  e.args = Value::List({a, index});
  e.canSubstitute = true;
  return RaiseError(e);
}

// A floating-point result stays a double even when it is a whole number.
Value Dbl(double d) { return Value(d); }

// Days as a number: an integer when whole.
Value Days(double d) {
  if (std::floor(d) == d && std::fabs(d) < 9.0e15) return Value(static_cast<long long>(d));
  return Value(d);
}

}  // namespace

Value RaiseOperatorError(std::string_view op, int subCode, const Value& args) {
  ErrorInfo e;
  e.genCode = kErrArgument;
  e.subCode = subCode;
  e.subSystem = "BASE";
  e.description = "argument error";
  e.operation = std::string(op);
  e.args = args;
  e.severity = 2;
  e.canSubstitute = true;
  return RaiseError(e);
}

Value OpAdd(const Value& x, const Value& y) {
  const Value& a = x.Deref();
  const Value& b = y.Deref();
  if (Overload(a, ZV_SYM("+"))) return SendOverload(a, ZV_SYM("+"), {b});
  if (a.IsInteger() && b.IsInteger()) {
    long long r;
    if (!__builtin_add_overflow(a.AsInt(), b.AsInt(), &r)) return Value(r);
    return Dbl(a.AsDouble() + b.AsDouble());
  }
  if (a.IsNumber() && b.IsNumber()) return Dbl(a.AsDouble() + b.AsDouble());
  if (a.IsString() && b.IsString()) return Value(a.AsString() + b.AsString());
  if (a.IsDate() && b.IsNumber()) return Value::Date(a.AsJulian() + b.AsDouble());
  if (a.IsNumber() && b.IsDate()) return Value::Date(a.AsDouble() + b.AsJulian());
  return ArgError("+", kSubAdd, a, b);
}

Value OpSubtract(const Value& x, const Value& y) {
  const Value& a = x.Deref();
  const Value& b = y.Deref();
  if (Overload(a, ZV_SYM("-"))) return SendOverload(a, ZV_SYM("-"), {b});
  if (a.IsInteger() && b.IsInteger()) {
    long long r;
    if (!__builtin_sub_overflow(a.AsInt(), b.AsInt(), &r)) return Value(r);
    return Dbl(a.AsDouble() - b.AsDouble());
  }
  if (a.IsNumber() && b.IsNumber()) return Dbl(a.AsDouble() - b.AsDouble());
  if (a.IsDate() && b.IsNumber()) return Value::Date(a.AsJulian() - b.AsDouble());
  if (a.IsDate() && b.IsDate()) return Days(a.AsJulian() - b.AsJulian());
  return ArgError("-", kSubSubtract, a, b);
}

Value OpMultiply(const Value& x, const Value& y) {
  const Value& a = x.Deref();
  const Value& b = y.Deref();
  if (Overload(a, ZV_SYM("*"))) return SendOverload(a, ZV_SYM("*"), {b});
  if (a.IsInteger() && b.IsInteger()) {
    long long r;
    if (!__builtin_mul_overflow(a.AsInt(), b.AsInt(), &r)) return Value(r);
    return Dbl(a.AsDouble() * b.AsDouble());
  }
  if (a.IsNumber() && b.IsNumber()) return Dbl(a.AsDouble() * b.AsDouble());
  return ArgError("*", kSubMultiply, a, b);
}

Value OpDivide(const Value& x, const Value& y) {
  const Value& a = x.Deref();
  const Value& b = y.Deref();
  if (Overload(a, ZV_SYM("/"))) return SendOverload(a, ZV_SYM("/"), {b});
  if (!a.IsNumber() || !b.IsNumber()) return ArgError("/", kSubDivide, a, b);
  if (b.AsDouble() == 0.0) return ZeroDivide("/", kSubZeroDivide, a, b);
  if (a.IsInteger() && b.IsInteger()) {
    const long long n = a.AsInt();
    const long long d = b.AsInt();
    // The one quotient that overflows: the smallest integer by -1.
    if (!(n == std::numeric_limits<long long>::min() && d == -1) && n % d == 0) return Value(n / d);
  }
  return Dbl(a.AsDouble() / b.AsDouble());
}

Value OpModulo(const Value& x, const Value& y) {
  const Value& a = x.Deref();
  const Value& b = y.Deref();
  if (Overload(a, ZV_SYM("%"))) return SendOverload(a, ZV_SYM("%"), {b});
  if (!a.IsNumber() || !b.IsNumber()) return ArgError("%", kSubModulo, a, b);
  if (b.AsDouble() == 0.0) return ZeroDivide("%", kSubZeroModulo, a, b);
  if (a.IsInteger() && b.IsInteger()) {
    if (b.AsInt() == -1) return Value(0LL);  // also for the smallest integer, which would overflow
    return Value(a.AsInt() % b.AsInt());
  }
  return Dbl(std::fmod(a.AsDouble(), b.AsDouble()));
}

Value OpPower(const Value& x, const Value& y) {
  const Value& a = x.Deref();
  const Value& b = y.Deref();
  if (Overload(a, ZV_SYM("^"))) return SendOverload(a, ZV_SYM("^"), {b});
  if (!a.IsNumber() || !b.IsNumber()) return ArgError("^", kSubPower, a, b);
  if (a.IsInteger() && b.IsInteger() && b.AsInt() >= 0) {
    // Exact integer power by squaring while it fits.
    long long base = a.AsInt();
    long long e = b.AsInt();
    long long r = 1;
    bool overflow = false;
    while (e > 0 && !overflow) {
      if (e & 1) overflow = __builtin_mul_overflow(r, base, &r);
      e >>= 1;
      if (e > 0 && !overflow) overflow = __builtin_mul_overflow(base, base, &base);
    }
    if (!overflow) return Value(r);
  }
  return Dbl(std::pow(a.AsDouble(), b.AsDouble()));
}

Value OpIncrement(const Value& x) {
  const Value& a = x.Deref();
  if (Overload(a, ZV_SYM("++"))) return SendOverload(a, ZV_SYM("++"), {});
  if (a.IsInteger()) {
    long long r;
    if (!__builtin_add_overflow(a.AsInt(), 1LL, &r)) return Value(r);
    return Dbl(a.AsDouble() + 1.0);
  }
  if (a.IsDouble()) return Dbl(a.AsDouble() + 1.0);
  if (a.IsDate()) return Value::Date(a.AsJulian() + 1.0);
  return RaiseOperatorError("++", kSubIncrement, Value::List({a}));
}

Value OpDecrement(const Value& x) {
  const Value& a = x.Deref();
  if (Overload(a, ZV_SYM("--"))) return SendOverload(a, ZV_SYM("--"), {});
  if (a.IsInteger()) {
    long long r;
    if (!__builtin_sub_overflow(a.AsInt(), 1LL, &r)) return Value(r);
    return Dbl(a.AsDouble() - 1.0);
  }
  if (a.IsDouble()) return Dbl(a.AsDouble() - 1.0);
  if (a.IsDate()) return Value::Date(a.AsJulian() - 1.0);
  return RaiseOperatorError("--", kSubDecrement, Value::List({a}));
}

namespace {

// Equality without overloading; sets `comparable` false for operands that
// cannot be compared.
bool SameValue(const Value& a, const Value& b, bool& comparable) {
  comparable = true;
  if (a.IsNil() || b.IsNil()) return a.IsNil() && b.IsNil();
  if (a.IsNumber() && b.IsNumber()) return a == b;  // an integer and a double exactly
  if (a.kind() != b.kind()) {
    comparable = false;
    return false;
  }
  return a == b;  // by value for scalars and strings, by identity for containers
}

Value Compare(std::string_view op, Symbol sym, const Value& x, const Value& y, bool negate) {
  const Value& a = x.Deref();
  const Value& b = y.Deref();
  if (Overload(a, sym)) return SendOverload(a, sym, {b});
  if (negate && Overload(a, ZV_SYM("=="))) {
    Value r = SendOverload(a, ZV_SYM("=="), {b});
    return r.IsLogical() ? Value(!r.AsBool()) : r;
  }
  bool comparable;
  const bool same = SameValue(a, b, comparable);
  if (!comparable) return ArgError(op, kSubEqual, a, b);
  return Value(negate ? !same : same);
}

}  // namespace

Value OpEqual(const Value& a, const Value& b) { return Compare("=", ZV_SYM("="), a, b, false); }
Value OpExactEqual(const Value& a, const Value& b) { return Compare("==", ZV_SYM("=="), a, b, false); }
Value OpNotEqual(const Value& a, const Value& b) { return Compare("!=", ZV_SYM("!="), a, b, true); }

Value OpIndex(const Value& x, const Value& i) {
  const Value& a = x.Deref();
  const Value& index = i.Deref();
  if (Overload(a, ZV_SYM("[]"))) return SendOverload(a, ZV_SYM("[]"), {index});
  if (a.IsList() && index.IsNumber()) {
    const long long n = index.AsInt();
    if (n >= 1 && static_cast<unsigned long long>(n) <= a.Len()) return a.Item(static_cast<std::size_t>(n));
  }
  return BoundError(kSubBoundRead, a, index);
}

Value OpIndexAssign(const Value& x, const Value& i, const Value& v) {
  const Value& a = x.Deref();
  const Value& index = i.Deref();
  if (Overload(a, ZV_SYM("[]"))) return SendOverload(a, ZV_SYM("[]"), {index, v.Deref()});
  if (a.IsList() && index.IsNumber()) {
    const long long n = index.AsInt();
    if (n >= 1 && static_cast<unsigned long long>(n) <= a.Len()) {
      a.SetItem(static_cast<std::size_t>(n), v.Deref());
      return v.Deref();
    }
  }
  return BoundError(kSubBoundWrite, a, index);
}

}  // namespace zv
