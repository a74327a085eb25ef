// Arithmetic, comparison and index operators on values.
//
//   Value r = zv::OpAdd(a, b);      // a + b
//   if (zv::OpEqual(a, b).IsTrue()) // a == b
//
// Numbers: integers stay integers while the result is exact and fits in 64
// bits (an overflowing sum, difference, product or power becomes a double);
// a double on either side gives a double. "/" gives an integer only when
// both operands are integers and the quotient is exact. "%" keeps the sign of
// the dividend. "^" raises to a power.
//
// Strings: "+" concatenates. Dates: date + number, number + date and
// date - number give a date; date - date gives the number of days between
// (an integer when whole). Date arithmetic is done on the Julian day as a
// double: a result outside the calendar's range (even infinite or NaN) is
// still a date, displayed as kDateOutOfRangeText (runtime/value.h).
// "++" and "--" add or subtract one from a number or a date.
//
// Equality ("=", "==" and "!="): numbers by value (an integer equals a
// double only when both are exactly the same number: 2^53 + 1 does not equal
// the double 2^53, to which it would round; NaN equals nothing), strings,
// dates, logicals and pointers by value,
// lists, maps, callables and objects by identity; an absent value equals only
// another absent value. Comparing values of two different kinds (other than
// absent, or integer with double) is an argument error.
//
// Operator overloading: when the left operand is an object whose class
// defines a method named like the operator ("+", "-", "*", "/", "%", "^",
// "++", "--", "=", "==", "!=", "[]"), the operator sends that message to the
// object with the other operand as argument and returns its answer. A class
// that defines "==" but not "!=" gets the negation of its "==" for "!=".
//
// Errors go through RaiseError (runtime/error.h); the handler's answer is the
// operator's result:
// - operands of the wrong kinds: the argument error (GenCode 1, SubSystem
//   "BASE", Description "argument error", Severity 2, CanSubstitute, Args the
//   operands, Operation the operator), SubCode + 1081, - 1082, * 1083,
//   / 1084, % 1085, ++ 1086, -- 1087, ^ 1088, = == != 1085;
// - division (and "%") by zero: GenCode 5 (zero divisor), SubCode 1340 for
//   "/" and 1341 for "%", CanSubstitute; the framework handler answers 0.
// - "[]" on a list out of range: GenCode 2 (bound error), SubCode 1132 for a
//   read and 1133 for a write.
#pragma once

#include "runtime/value.h"

namespace zv {

Value OpAdd(const Value& a, const Value& b);       // +
Value OpSubtract(const Value& a, const Value& b);  // -
Value OpMultiply(const Value& a, const Value& b);  // *
Value OpDivide(const Value& a, const Value& b);    // /
Value OpModulo(const Value& a, const Value& b);    // %
Value OpPower(const Value& a, const Value& b);     // ^
Value OpIncrement(const Value& a);                 // ++ (the new value)
Value OpDecrement(const Value& a);                 // -- (the new value)
Value OpEqual(const Value& a, const Value& b);     // =  (a logical)
Value OpExactEqual(const Value& a, const Value& b);// == (a logical)
Value OpNotEqual(const Value& a, const Value& b);  // != (a logical)

// a[i]: the item of a list (1-based) or, for an object whose class defines
// "[]", the answer of "[]" sent with the index.
Value OpIndex(const Value& a, const Value& index);
// a[i] := v: writes the item of a list (1-based; it does not grow the list)
// or sends "[]" with the index and the value to an object. Returns v, or the
// object's answer.
Value OpIndexAssign(const Value& a, const Value& index, const Value& v);

// The standard argument error of an operator (used by classes that implement
// operators themselves): raised with the given operands.
Value RaiseOperatorError(std::string_view op, int subCode, const Value& args);

}  // namespace zv
