// The dynamically typed value that properties, arguments, events and
// automation calls carry.
//
// Kinds and their type letters: absent "U", logical "L", number "N"
// (integer and floating point kept apart), string "C" (bytes in the ANSI
// code page, Windows-1252), date "D", list "A" (shared, 1-based, growable),
// map "H", callable "B", object "O", pointer "P". A by-reference cell (what a
// by-reference argument is) shows the letter of the value it holds.
//
// Dates are Julian day numbers (a double; the fraction is the time of day).
// Any double is a date and takes part in arithmetic and comparison, but only
// the days from kMinJulianDay to kMaxJulianDay (24 November 4713 BC to
// 31 December 9999 of the proleptic Gregorian calendar, fractions included)
// are calendar days: the display form of any other date, infinities and NaN
// included, is kDateOutOfRangeText, and CivilFromJulian refuses them.
//
// Numbers: an integer and a double are equal only when they are the same
// number, exactly: 2^53 + 1 is not equal to the double 2^53 although the
// conversion of the integer to double rounds to it, and no double is equal
// to the largest integer (2^63 - 1; its nearest double is 2^63). Map keys
// follow the same rule, over the whole 64-bit range.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "runtime/heap.h"
#include "runtime/symbol.h"

namespace zv {

class Object;
class Class;
class Value;
class StrObj;
class ListObj;
class MapObj;
class CallableObj;
class RefCell;
struct Method;

enum class Kind : std::uint8_t {
  // Immediate kinds.
  Nil, Logical, Integer, Double, Date, Pointer,
  // Heap kinds (reference counted); all but String are tracked containers.
  String, List, Map, Callable, Object, Ref
};

class Args;
using CallableFn = std::function<Value(Args)>;
class ArgVector;

class Value {
 public:
  Value() noexcept { u_.i = 0; }
  Value(std::nullptr_t) noexcept : Value() {}
  template <typename B, typename = std::enable_if_t<std::is_same_v<B, bool>>>
  Value(B b) noexcept : kind_(Kind::Logical) { u_.b = b; }
  Value(int i) noexcept : kind_(Kind::Integer) { u_.i = i; }
  Value(long i) noexcept : kind_(Kind::Integer) { u_.i = i; }
  Value(long long i) noexcept : kind_(Kind::Integer) { u_.i = i; }
  Value(unsigned i) noexcept : kind_(Kind::Integer) { u_.i = i; }
  Value(unsigned long i) noexcept : kind_(Kind::Integer) { u_.i = static_cast<std::int64_t>(i); }
  Value(unsigned long long i) noexcept : kind_(Kind::Integer) { u_.i = static_cast<std::int64_t>(i); }
  Value(double d) noexcept : kind_(Kind::Double) { u_.d = d; }
  Value(const char* s);
  Value(std::string_view s);
  Value(const std::string& s) : Value(std::string_view(s)) {}
  Value(std::string&& s);
  Value(Object* o) noexcept;  // nullptr gives an absent value

  Value(const Value& o) noexcept : kind_(o.kind_), u_(o.u_) {
    if (IsHeap()) u_.h->Retain();
  }
  Value(Value&& o) noexcept : kind_(o.kind_), u_(o.u_) { o.kind_ = Kind::Nil; }
  Value& operator=(const Value& o) noexcept {
    Value tmp(o);
    swap(tmp);
    return *this;
  }
  Value& operator=(Value&& o) noexcept {
    Value tmp(std::move(o));
    swap(tmp);
    return *this;
  }
  ~Value() {
    if (IsHeap()) u_.h->Release();
  }
  void swap(Value& o) noexcept {
    std::swap(kind_, o.kind_);
    std::swap(u_, o.u_);
  }

  // --- construction of the other kinds
  static Value Date(double julianDay) noexcept;       // 0: the empty date
  // A calendar day. A month outside 1 to 12 rolls over into the years
  // around (month 13 is January of the next year, month 0 December of the
  // previous one), a day outside the month into the months around (day 0 is
  // the last day of the previous month). Extreme arguments give a date
  // outside the supported range, never an overflow.
  static Value Date(int year, int month, int day);
  static Value Pointer(const void* p) noexcept;
  static Value List(std::initializer_list<Value> items);
  static Value List(std::vector<Value> items);
  static Value ListOfSize(std::size_t n);             // n absent values
  static Value Map();
  static Value Callable(CallableFn fn, std::vector<Value> bound = {});
  // A callable that needs values of its own (the object it works for, say):
  // they are held in `bound`, where the collector sees them, and handed to
  // the function at every call. Use it instead of capturing such values in
  // the C++ lambda: a captured object is invisible to the collector, so a
  // cycle through it (an object whose event is bound to a callable that
  // captured that object) would never be released.
  //   form.Send("_OnClick", Value::Closure({form}, [](Args a, std::span<const Value> b) {
  //     return b[0].Send("Close");
  //   }));
  static Value Closure(std::vector<Value> bound, std::function<Value(Args, std::span<const Value>)> fn);
  // A by-reference cell holding v: pass it as an argument and read it back with Deref().
  static Value Ref(Value v = {});

  // --- kind
  Kind kind() const noexcept { return kind_; }
  char TypeLetter() const noexcept;  // of the dereferenced value
  bool IsHeap() const noexcept { return kind_ >= Kind::String; }
  bool IsNil() const noexcept { return kind_ == Kind::Nil; }
  bool IsLogical() const noexcept { return kind_ == Kind::Logical; }
  bool IsInteger() const noexcept { return kind_ == Kind::Integer; }
  bool IsDouble() const noexcept { return kind_ == Kind::Double; }
  bool IsNumber() const noexcept { return kind_ == Kind::Integer || kind_ == Kind::Double; }
  bool IsString() const noexcept { return kind_ == Kind::String; }
  bool IsDate() const noexcept { return kind_ == Kind::Date; }
  bool IsPointer() const noexcept { return kind_ == Kind::Pointer; }
  bool IsList() const noexcept { return kind_ == Kind::List; }
  bool IsMap() const noexcept { return kind_ == Kind::Map; }
  bool IsCallable() const noexcept { return kind_ == Kind::Callable; }
  bool IsObject() const noexcept { return kind_ == Kind::Object; }
  bool IsRef() const noexcept { return kind_ == Kind::Ref; }

  // --- access (each is valid only for its kind; the As... forms of numbers
  // and logicals convert leniently and give 0 / false for other kinds)
  bool AsBool() const noexcept;
  std::int64_t AsInt() const noexcept;        // a double is truncated
  double AsDouble() const noexcept;
  double AsJulian() const noexcept;           // date: the Julian day, else 0
  const void* AsPointer() const noexcept;
  const std::string& AsString() const noexcept;  // "" for non-strings
  Object* AsObject() const noexcept;          // nullptr for non-objects
  ListObj& AsList() const noexcept;           // only when IsList()
  MapObj& AsMap() const noexcept;             // only when IsMap()
  CallableObj& AsCallable() const noexcept;   // only when IsCallable()
  // The value a by-reference cell holds (the value itself when it is not a Ref).
  const Value& Deref() const noexcept;
  // Writes into the cell of a Ref (a plain value is replaced). The value
  // stored into a cell is v.Deref(): a cell never receives a reference, so
  // writing a cell with itself, or with a reference that leads back to it,
  // stores the value it holds and no chain of cells can become a loop.
  void Assign(Value v);

  bool IsTrue() const noexcept { return kind_ == Kind::Logical && u_.b; }
  bool IsFalse() const noexcept { return kind_ == Kind::Logical && !u_.b; }

  // --- lists, 1-based: item 1 is the first
  std::size_t Len() const noexcept;           // length of a list, map or string
  Value Item(std::size_t i) const;            // absent when out of range
  void SetItem(std::size_t i, Value v) const; // grows the list when needed
  void Append(Value v) const;

  // --- messages
  // Sends a message: Value(form).Send("Show"); the message is a name or a
  // Symbol (see runtime/object.h for the Msg rules and errors).
  template <typename... A>
  Value Send(struct Msg m, A&&... args) const;
  // Evaluates a callable with the arguments.
  template <typename... A>
  Value Call(A&&... args) const;

  // The display form: numbers as digits without leading blanks, logicals
  // ".T." / ".F.", absent "NIL", dates "YYYY-MM-DD", strings as they are,
  // lists "{ ... }", objects "{ ClassName }".
  std::string ToDisplay() const;

  // Equality as the language sees it: numbers by value (an integer and a
  // double exactly, see above; NaN equals nothing), strings by bytes, dates
  // by Julian day, heap containers by identity.
  friend bool operator==(const Value& a, const Value& b) noexcept;

  HeapObj* heap() const noexcept { return IsHeap() ? u_.h : nullptr; }

 private:
  explicit Value(Kind k, HeapObj* h) noexcept : kind_(k) {
    u_.h = h;
    h->Retain();
  }
  Kind kind_ = Kind::Nil;
  union {
    bool b;
    std::int64_t i;
    double d;
    const void* p;
    HeapObj* h;
  } u_;
};

// Arguments of a call. A by-reference argument is a Ref value: Get() reads
// through it, Set() writes through it, and raw access keeps it as it is
// (events pass arguments on unchanged).
class Args {
 public:
  Args() = default;
  Args(Value* data, std::size_t count, const Method* method = nullptr) noexcept
      : data_(data), count_(count), method_(method) {}

  std::size_t size() const noexcept { return count_; }
  bool empty() const noexcept { return count_ == 0; }
  // The argument as passed (a Ref stays a Ref).
  Value& raw(std::size_t i) const noexcept { return data_[i]; }
  // The value of argument i (0-based), read through a reference; absent
  // when fewer arguments were passed.
  Value Get(std::size_t i) const { return i < count_ ? data_[i].Deref() : Value(); }
  bool Has(std::size_t i) const;  // passed and not absent
  bool IsRef(std::size_t i) const;
  // Writes argument i: through the reference when it was passed by
  // reference, else into the local copy only.
  void Set(std::size_t i, Value v) const;
  std::span<Value> span() const noexcept { return {data_, count_}; }
  // The arguments after the first n.
  Args Skip(std::size_t n) const noexcept {
    return n >= count_ ? Args(nullptr, 0, method_) : Args(data_ + n, count_ - n, method_);
  }
  // The method being run (natives use it to find their slot or name).
  const Method* method() const noexcept { return method_; }

 private:
  Value* data_ = nullptr;
  std::size_t count_ = 0;
  const Method* method_ = nullptr;
};

// Arguments built for a call: a first value (the sender, the object of an
// inline method) followed by other arguments as they were passed. Small
// argument lists stay on the stack.
class ArgVector {
 public:
  ArgVector(Value first, Args rest) : size_(rest.size() + 1) {
    if (size_ > kInline) heap_.reset(new Value[size_]);
    data_ = heap_ ? heap_.get() : reinterpret_cast<Value*>(inline_);
    if (heap_) {
      data_[0] = std::move(first);
      for (std::size_t i = 0; i < rest.size(); ++i) data_[i + 1] = rest.raw(i);
    } else {
      new (&data_[0]) Value(std::move(first));
      for (std::size_t i = 0; i < rest.size(); ++i) new (&data_[i + 1]) Value(rest.raw(i));
    }
  }
  ~ArgVector() {
    if (!heap_)
      for (std::size_t i = size_; i-- > 0;) data_[i].~Value();
  }
  ArgVector(const ArgVector&) = delete;
  ArgVector& operator=(const ArgVector&) = delete;
  Args args(const Method* m = nullptr) { return Args(data_, size_, m); }

 private:
  static constexpr std::size_t kInline = 8;
  std::size_t size_;
  alignas(Value) unsigned char inline_[kInline * sizeof(Value)];
  std::unique_ptr<Value[]> heap_;
  Value* data_;
};

// --- heap cells

class StrObj final : public HeapObj {
 public:
  explicit StrObj(std::string s) : HeapObj(false), text(std::move(s)) {}
  const std::string text;
};

// Visits the heap containers referenced by a value.
void VisitValue(const Value& v, const GcVisitor& visit);

class ListObj final : public GcObject {
 public:
  ListObj() = default;
  explicit ListObj(std::vector<Value> v) : items(std::move(v)) {}
  std::vector<Value> items;

 private:
  void Traverse(const GcVisitor& visit) override;
  void ClearRefs() noexcept override;
};

// A map from scalar keys (strings by bytes, numbers by value, logicals,
// dates, pointers, containers by identity) to values, in insertion order.
// Keys are found with the equality of values (operator==), and the key hash
// agrees with it: equal numbers of either kind, and the two zeros of dates,
// hash alike. A NaN key equals no key, so each Put of one adds an entry that
// Get and Remove never find again.
class MapObj final : public GcObject {
 public:
  Value Get(const Value& key) const;          // absent when missing
  bool Has(const Value& key) const;
  void Put(const Value& key, Value v);
  bool Remove(const Value& key);
  std::size_t size() const { return entries_.size(); }
  const std::vector<std::pair<Value, Value>>& entries() const { return entries_; }

 private:
  std::ptrdiff_t Find(const Value& key) const;
  void Reindex(std::size_t slots);
  void Traverse(const GcVisitor& visit) override;
  void ClearRefs() noexcept override;
  std::vector<std::pair<Value, Value>> entries_;
  std::vector<std::uint32_t> index_;  // open addressing over entries_, 0 = empty
};

// A callable: a C++ function, with optional bound values (Value::Closure
// hands them to the function). Bound values are visible to the collector;
// values captured inside the C++ function are not (they count as outside
// references, so a cycle through them is never collected).
class CallableObj final : public GcObject {
 public:
  CallableObj(CallableFn f, std::vector<Value> b) : fn(std::move(f)), bound(std::move(b)) {}
  CallableFn fn;
  std::vector<Value> bound;

 private:
  void Traverse(const GcVisitor& visit) override;
  void ClearRefs() noexcept override;
};

// The cell of a by-reference value. Only Value writes it (Ref() makes a new
// cell, Assign() stores a dereferenced value), so a chain of cells always
// ends: Ref(Ref(x)) is a chain of two, and no write can close a loop.
class RefCell final : public GcObject {
 public:
  explicit RefCell(Value v) : value(std::move(v)) {}

 private:
  friend class Value;
  Value value;
  void Traverse(const GcVisitor& visit) override;
  void ClearRefs() noexcept override;
};

// --- dates
// The supported range: day 0 is 24 November 4713 BC (displayed with year
// -4713), day 5373484 is 31 December 9999. Day 0 itself, exactly, is the
// empty date, displayed as blanks.
inline constexpr double kMinJulianDay = 0;
inline constexpr double kMaxJulianDay = 5373484;
// The display form of a date outside the supported range.
inline constexpr std::string_view kDateOutOfRangeText = "****-**-**";
// The Julian day of a calendar day, months and days rolling over as in
// Value::Date. Exact for any arguments (the result is below 2^53 in size).
double JulianFromCivil(int year, int month, int day) noexcept;
// The calendar day of a Julian day (its fraction ignored). False, with all
// three set to 0, when the day is outside the supported range or not finite.
bool CivilFromJulian(double julian, int& year, int& month, int& day) noexcept;

// Text of a number as the display form writes it.
std::string NumberText(const Value& n);

}  // namespace zv
