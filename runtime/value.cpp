#include "runtime/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime/object.h"

namespace zv {
namespace {

const std::string& EmptyString() {
  static const std::string* s = new std::string;
  return *s;
}

}  // namespace

// ---------------------------------------------------------------- Args

bool Args::Has(std::size_t i) const { return i < count_ && !data_[i].Deref().IsNil(); }

bool Args::IsRef(std::size_t i) const { return i < count_ && data_[i].IsRef(); }

void Args::Set(std::size_t i, Value v) const {
  if (i >= count_) return;
  if (data_[i].IsRef())
    data_[i].Assign(std::move(v));
  else
    data_[i] = std::move(v);
}

// ---------------------------------------------------------------- Value

Value::Value(const char* s) : Value(std::string_view(s ? s : "")) {}
Value::Value(std::string_view s) : Value(Kind::String, new StrObj(std::string(s))) {}
Value::Value(std::string&& s) : Value(Kind::String, new StrObj(std::move(s))) {}
Value::Value(Object* o) noexcept {
  if (o) {
    kind_ = Kind::Object;
    u_.h = o;
    o->Retain();
  } else {
    u_.i = 0;
  }
}

Value Value::Date(double julianDay) noexcept {
  Value v;
  v.kind_ = Kind::Date;
  v.u_.d = julianDay;
  return v;
}

Value Value::Date(int year, int month, int day) { return Date(JulianFromCivil(year, month, day)); }

Value Value::Pointer(const void* p) noexcept {
  Value v;
  v.kind_ = Kind::Pointer;
  v.u_.p = p;
  return v;
}

Value Value::List(std::initializer_list<Value> items) { return List(std::vector<Value>(items)); }
Value Value::List(std::vector<Value> items) { return Value(Kind::List, new ListObj(std::move(items))); }
Value Value::ListOfSize(std::size_t n) { return List(std::vector<Value>(n)); }
Value Value::Map() { return Value(Kind::Map, new MapObj); }
Value Value::Callable(CallableFn fn, std::vector<Value> bound) {
  return Value(Kind::Callable, new CallableObj(std::move(fn), std::move(bound)));
}
Value Value::Closure(std::vector<Value> bound, std::function<Value(Args, std::span<const Value>)> fn) {
  auto* c = new CallableObj(nullptr, std::move(bound));
  Value v(Kind::Callable, c);
  // The function reaches the values through the callable itself (a plain
  // pointer: the function lives and dies with the callable).
  c->fn = [c, f = std::move(fn)](Args a) -> Value { return f ? f(a, std::span<const Value>(c->bound)) : Value(); };
  return v;
}
Value Value::Ref(Value v) { return Value(Kind::Ref, new RefCell(std::move(v))); }

const Value& Value::Deref() const noexcept {
  const Value* v = this;
  while (v->kind_ == Kind::Ref) v = &static_cast<RefCell*>(v->u_.h)->value;
  return *v;
}

void Value::Assign(Value v) {
  if (kind_ == Kind::Ref) {
    // Read the value before writing: v may be this cell or lead to it.
    Value plain = v.Deref();
    Value* target = &static_cast<RefCell*>(u_.h)->value;
    while (target->kind_ == Kind::Ref) target = &static_cast<RefCell*>(target->u_.h)->value;
    *target = std::move(plain);
  } else {
    *this = std::move(v);
  }
}

char Value::TypeLetter() const noexcept {
  switch (Deref().kind_) {
    case Kind::Nil: return 'U';
    case Kind::Logical: return 'L';
    case Kind::Integer:
    case Kind::Double: return 'N';
    case Kind::Date: return 'D';
    case Kind::Pointer: return 'P';
    case Kind::String: return 'C';
    case Kind::List: return 'A';
    case Kind::Map: return 'H';
    case Kind::Callable: return 'B';
    case Kind::Object: return 'O';
    case Kind::Ref: break;
  }
  return 'U';
}

bool Value::AsBool() const noexcept {
  const Value& v = Deref();
  return v.kind_ == Kind::Logical && v.u_.b;
}

std::int64_t Value::AsInt() const noexcept {
  const Value& v = Deref();
  if (v.kind_ == Kind::Integer) return v.u_.i;
  if (v.kind_ == Kind::Double) {
    double d = v.u_.d;
    if (!(d == d)) return 0;  // NaN
    if (d >= 9.2e18) return INT64_MAX;
    if (d <= -9.2e18) return INT64_MIN;
    return static_cast<std::int64_t>(d);
  }
  if (v.kind_ == Kind::Logical) return v.u_.b ? 1 : 0;
  return 0;
}

double Value::AsDouble() const noexcept {
  const Value& v = Deref();
  if (v.kind_ == Kind::Double) return v.u_.d;
  if (v.kind_ == Kind::Integer) return static_cast<double>(v.u_.i);
  return 0.0;
}

double Value::AsJulian() const noexcept {
  const Value& v = Deref();
  return v.kind_ == Kind::Date ? v.u_.d : 0.0;
}

const void* Value::AsPointer() const noexcept {
  const Value& v = Deref();
  if (v.kind_ == Kind::Pointer) return v.u_.p;
  if (v.kind_ == Kind::Integer) return reinterpret_cast<const void*>(static_cast<std::intptr_t>(v.u_.i));
  return nullptr;
}

const std::string& Value::AsString() const noexcept {
  const Value& v = Deref();
  return v.kind_ == Kind::String ? static_cast<StrObj*>(v.u_.h)->text : EmptyString();
}

Object* Value::AsObject() const noexcept {
  const Value& v = Deref();
  return v.kind_ == Kind::Object ? static_cast<Object*>(v.u_.h) : nullptr;
}

ListObj& Value::AsList() const noexcept { return *static_cast<ListObj*>(Deref().u_.h); }
MapObj& Value::AsMap() const noexcept { return *static_cast<MapObj*>(Deref().u_.h); }
CallableObj& Value::AsCallable() const noexcept { return *static_cast<CallableObj*>(Deref().u_.h); }

std::size_t Value::Len() const noexcept {
  const Value& v = Deref();
  switch (v.kind_) {
    case Kind::List: return v.AsList().items.size();
    case Kind::Map: return v.AsMap().size();
    case Kind::String: return v.AsString().size();
    default: return 0;
  }
}

Value Value::Item(std::size_t i) const {
  const Value& v = Deref();
  if (v.kind_ != Kind::List) return {};
  auto& items = v.AsList().items;
  if (i < 1 || i > items.size()) return {};
  return items[i - 1];
}

void Value::SetItem(std::size_t i, Value x) const {
  const Value& v = Deref();
  if (v.kind_ != Kind::List || i < 1) return;
  auto& items = v.AsList().items;
  if (i > items.size()) items.resize(i);
  items[i - 1] = std::move(x);
}

void Value::Append(Value x) const {
  const Value& v = Deref();
  if (v.kind_ == Kind::List) v.AsList().items.push_back(std::move(x));
}

std::string NumberText(const Value& n) {
  const Value& v = n.Deref();
  char buf[64];
  if (v.IsInteger()) {
    auto r = std::to_chars(buf, buf + sizeof buf, v.AsInt());
    return std::string(buf, r.ptr);
  }
  double d = v.AsDouble();
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d > 0 ? "Inf" : "-Inf";
  // Plain decimal notation for the usual magnitudes, shortest exact digits.
  if (std::fabs(d) < 1e15 && (d == 0 || std::fabs(d) >= 1e-9)) {
    auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
    std::string s(buf, r.ptr);
    return s;
  }
  auto r = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, r.ptr);
}

std::string Value::ToDisplay() const {
  const Value& v = Deref();
  switch (v.kind_) {
    case Kind::Nil: return "NIL";
    case Kind::Logical: return v.u_.b ? ".T." : ".F.";
    case Kind::Integer:
    case Kind::Double: return NumberText(v);
    case Kind::String: return v.AsString();
    case Kind::Date: {
      if (v.u_.d == 0) return "    -  -  ";
      int y, m, d;
      if (!CivilFromJulian(v.u_.d, y, m, d)) return std::string(kDateOutOfRangeText);
      char buf[48];
      double frac = v.u_.d - std::floor(v.u_.d);
      if (frac > 0) {
        long secs = std::lround(frac * 86400.0);
        if (secs >= 86400) secs = 86399;
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02ld:%02ld:%02ld", y, m, d, secs / 3600,
                      (secs / 60) % 60, secs % 60);
      } else {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
      }
      return buf;
    }
    case Kind::Pointer: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%p", v.u_.p);
      return buf;
    }
    case Kind::List: return "{ ... }";
    case Kind::Map: return "{ => }";
    case Kind::Callable: return "{|| ... }";
    case Kind::Object: return "{ " + v.AsObject()->ClassName() + " }";
    case Kind::Ref: break;
  }
  return {};
}

namespace {

// 2^63: the doubles in [-2^63, 2^63) are the ones an int64 can hold.
constexpr double kTwo63 = 9223372036854775808.0;

// True when the double is a whole number an int64 can hold (NaN is not).
bool WholeInt64(double d) noexcept { return d >= -kTwo63 && d < kTwo63 && d == std::trunc(d); }

// An integer and a double are the same number only when the double is whole,
// within the range of int64 and exactly that integer. (Converting the integer
// to double instead would round it: 2^53 + 1 would equal 2^53.)
bool SameNumber(std::int64_t i, double d) noexcept {
  return WholeInt64(d) && static_cast<std::int64_t>(d) == i;
}

}  // namespace

bool operator==(const Value& x, const Value& y) noexcept {
  const Value& a = x.Deref();
  const Value& b = y.Deref();
  if (a.IsNumber() && b.IsNumber()) {
    if (a.IsInteger() && b.IsInteger()) return a.u_.i == b.u_.i;
    if (a.IsDouble() && b.IsDouble()) return a.u_.d == b.u_.d;
    return a.IsInteger() ? SameNumber(a.u_.i, b.u_.d) : SameNumber(b.u_.i, a.u_.d);
  }
  if (a.kind_ != b.kind_) return false;
  switch (a.kind_) {
    case Kind::Nil: return true;
    case Kind::Logical: return a.u_.b == b.u_.b;
    case Kind::Date: return a.u_.d == b.u_.d;
    case Kind::Pointer: return a.u_.p == b.u_.p;
    case Kind::String: return a.AsString() == b.AsString();
    default: return a.u_.h == b.u_.h;
  }
}

// ---------------------------------------------------------------- containers

void VisitValue(const Value& v, const GcVisitor& visit) {
  if (v.kind() > Kind::String) visit(static_cast<GcObject*>(v.heap()));
}

void ListObj::Traverse(const GcVisitor& visit) {
  for (const Value& v : items) VisitValue(v, visit);
}
void ListObj::ClearRefs() noexcept {
  std::vector<Value> old;
  old.swap(items);
}

void CallableObj::Traverse(const GcVisitor& visit) {
  for (const Value& v : bound) VisitValue(v, visit);
}
void CallableObj::ClearRefs() noexcept {
  std::vector<Value> old;
  old.swap(bound);
  fn = nullptr;
}

void RefCell::Traverse(const GcVisitor& visit) { VisitValue(value, visit); }
void RefCell::ClearRefs() noexcept {
  Value old;
  old.swap(value);
}

namespace {

std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  return x;
}

std::uint64_t DoubleBits(double d) {
  if (d == 0) d = 0;  // -0 and +0 are equal: one hash
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

// Agrees with operator==: keys that compare equal hash alike. A double that
// equals an integer (whole and within the range of int64) hashes as that
// integer; any other double by its bits.
std::uint64_t KeyHash(const Value& key) {
  const Value& k = key.Deref();
  switch (k.kind()) {
    case Kind::Integer: return Mix(static_cast<std::uint64_t>(k.AsInt()));
    case Kind::Double: {
      const double d = k.AsDouble();
      if (WholeInt64(d)) return Mix(static_cast<std::uint64_t>(static_cast<std::int64_t>(d)));
      return Mix(DoubleBits(d));
    }
    case Kind::String: return std::hash<std::string>{}(k.AsString());
    case Kind::Logical: return k.AsBool() ? 0x1234567 : 0x7654321;
    case Kind::Date: return Mix(DoubleBits(k.AsJulian()) ^ 0xDA7E);
    case Kind::Nil: return 0;
    case Kind::Pointer: return Mix(reinterpret_cast<std::uintptr_t>(k.AsPointer()));
    default: return Mix(reinterpret_cast<std::uintptr_t>(k.heap()));
  }
}

}  // namespace

std::ptrdiff_t MapObj::Find(const Value& key) const {
  if (index_.empty()) return -1;
  const std::size_t mask = index_.size() - 1;
  for (std::size_t i = KeyHash(key) & mask;; i = (i + 1) & mask) {
    std::uint32_t e = index_[i];
    if (e == 0) return -1;
    if (entries_[e - 1].first == key) return e - 1;
  }
}

Value MapObj::Get(const Value& key) const {
  std::ptrdiff_t i = Find(key);
  return i < 0 ? Value() : entries_[static_cast<std::size_t>(i)].second;
}

bool MapObj::Has(const Value& key) const { return Find(key) >= 0; }

void MapObj::Put(const Value& key, Value v) {
  std::ptrdiff_t i = Find(key);
  if (i >= 0) {
    entries_[static_cast<std::size_t>(i)].second = std::move(v);
    return;
  }
  entries_.emplace_back(key.Deref(), std::move(v));
  if (entries_.size() * 2 > index_.size()) {
    std::size_t n = index_.empty() ? 8 : index_.size() * 2;
    while (n < entries_.size() * 2) n *= 2;
    Reindex(n);
  } else {
    const std::size_t mask = index_.size() - 1;
    std::size_t j = KeyHash(key) & mask;
    while (index_[j] != 0) j = (j + 1) & mask;
    index_[j] = static_cast<std::uint32_t>(entries_.size());
  }
}

bool MapObj::Remove(const Value& key) {
  std::ptrdiff_t i = Find(key);
  if (i < 0) return false;
  entries_.erase(entries_.begin() + i);
  // Rebuild the index (removal is rare). The entries are placed, never
  // looked up again: each one that stays keeps its place.
  Reindex(index_.size());
  return true;
}

// Places every entry in a fresh index of `slots` slots (a power of two, more
// than twice the entries), in entry order.
void MapObj::Reindex(std::size_t slots) {
  index_.assign(slots, 0);
  const std::size_t mask = slots - 1;
  for (std::size_t e = 0; e < entries_.size(); ++e) {
    std::size_t j = KeyHash(entries_[e].first) & mask;
    while (index_[j] != 0) j = (j + 1) & mask;
    index_[j] = static_cast<std::uint32_t>(e + 1);
  }
}

void MapObj::Traverse(const GcVisitor& visit) {
  for (const auto& e : entries_) {
    VisitValue(e.first, visit);
    VisitValue(e.second, visit);
  }
}

void MapObj::ClearRefs() noexcept {
  std::vector<std::pair<Value, Value>> old;
  old.swap(entries_);
  index_.clear();
}

// ---------------------------------------------------------------- dates

namespace {
// Division rounding towards minus infinity (the calendar's cycles continue
// below year 0).
long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

// Julian day numbers of the proleptic Gregorian calendar (day 2415019 is
// 30 December 1899, day 0 of automation dates). The arithmetic is in 64
// bits: with 32-bit arguments every intermediate stays below 2^42, so the
// result is exact whatever the arguments.
double JulianFromCivil(int year, int month, int day) noexcept {
  // The month rolls over into the years: months counted from March, so that
  // the leap day is the last day of the (shifted) year.
  const long long months = static_cast<long long>(month) - 3;  // 0 = March
  const long long y = static_cast<long long>(year) + 4800 + FloorDiv(months, 12);
  const long long m = months - 12 * FloorDiv(months, 12);    // 0..11
  return static_cast<double>(day + (153 * m + 2) / 5 + 365 * y + FloorDiv(y, 4) - FloorDiv(y, 100) +
                             FloorDiv(y, 400) - 32045);
}

bool CivilFromJulian(double julian, int& year, int& month, int& day) noexcept {
  // Outside the range (or NaN) nothing below is computed: the conversion to
  // an integer, and the products, would overflow.
  if (!(julian >= kMinJulianDay && julian < kMaxJulianDay + 1)) {
    year = month = day = 0;
    return false;
  }
  long long j = static_cast<long long>(std::floor(julian));
  long long a = j + 32044;
  long long b = (4 * a + 3) / 146097;
  long long c = a - 146097 * b / 4;
  long long d = (4 * c + 3) / 1461;
  long long e = c - 1461 * d / 4;
  long long m = (5 * e + 2) / 153;
  day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
  month = static_cast<int>(m + 3 - 12 * (m / 10));
  year = static_cast<int>(100 * b + d - 4800 + m / 10);
  return true;
}

}  // namespace zv
