// Fuzz target: maps (MapObj in runtime/value) against a reference model.
//
// The model is the plainest map there is: a vector of entries in insertion
// order, searched from the front with the equality of values. Put replaces
// the value of an equal key in place or appends, Remove erases the entry and
// keeps the order of the others, Get and Has find an equal key. After every
// operation the map must answer as the model does, so a key hash that
// disagrees with equality (a lookup that misses an equal key, two equal keys
// side by side) or an index rebuilt wrongly shows at once. Keys are drawn
// where the two number kinds meet: integers near 2^53 and 2^63, whole and
// fractional doubles there, both zeros, NaN, infinities, and strings, dates,
// logicals, pointers and containers.
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "runtime/runtime.h"

namespace {

using zv::Value;

struct Model {
  std::vector<std::pair<Value, Value>> entries;
  std::ptrdiff_t Find(const Value& key) const {
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].first == key) return static_cast<std::ptrdiff_t>(i);
    return -1;
  }
};

const Value& SharedList() {
  static const Value* v = new Value(Value::List({1}));
  return *v;
}

Value Key(zvfuzz::FuzzInput& in) {
  const long long two53 = 1LL << 53;
  const long long bases[] = {0, two53, -two53, 1LL << 62, std::numeric_limits<long long>::max(),
                             std::numeric_limits<long long>::min(), 9000000000000000000LL};
  const int delta = static_cast<std::int8_t>(in.Byte()) % 5;
  switch (in.Below(12)) {
    case 0: {
      // An integer near a base, wrapping around at the ends of the range.
      const auto base = static_cast<unsigned long long>(bases[in.Below(std::size(bases))]);
      return Value(static_cast<long long>(base + static_cast<unsigned long long>(static_cast<long long>(delta))));
    }
    case 1: {
      // The double nearest to base + delta (several integers share one).
      const double d = static_cast<double>(bases[in.Below(std::size(bases))]);
      return Value(d + delta * (std::fabs(d) >= 9e15 ? 2048.0 : 1.0));
    }
    case 2: return Value(static_cast<long long>(in.Below(16)));
    case 3: return Value(static_cast<double>(in.Below(16)) + (in.Bool() ? 0.5 : 0.0));
    case 4: {
      const double special[] = {0.0, -0.0, std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                9223372036854775808.0, -9223372036854775808.0, 18446744073709551616.0};
      return Value(special[in.Below(std::size(special))]);
    }
    case 5: return Value(in.Raw<long long>());
    case 6: return Value(in.Raw<double>());
    case 7: return Value(in.Bytes(3));
    case 8: {
      const double days[] = {0.0, -0.0, 1.0, 2451545.0, 2451545.5, std::numeric_limits<double>::quiet_NaN()};
      return Value::Date(days[in.Below(std::size(days))]);
    }
    case 9: return in.Bool() ? Value() : Value(in.Bool());
    case 10: return in.Bool() ? SharedList() : Value::Pointer(&SharedList());
    default: return Value::Ref(Key(in));  // a key passed by reference is its value
  }
}

void CheckSame(const zv::MapObj& map, const Model& model) {
  FUZZ_CHECK(map.size() == model.entries.size());
  for (std::size_t i = 0; i < model.entries.size(); ++i) {
    const auto& [k, v] = map.entries()[i];
    const auto& [mk, mv] = model.entries[i];
    FUZZ_CHECK(!k.IsRef());
    FUZZ_CHECK(k.kind() == mk.kind() && (k == mk || (k.IsDouble() && std::isnan(k.AsDouble())) ||
                                         (k.IsDate() && std::isnan(k.AsJulian()))));
    FUZZ_CHECK(v.AsInt() == mv.AsInt());
    // Every key that equals itself is found where it is.
    if (k == k) FUZZ_CHECK(map.Get(k).AsInt() == mv.AsInt());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zvfuzz::FuzzInput in(data, size);
  Value holder = Value::Map();
  zv::MapObj& map = holder.AsMap();
  Model model;
  long long next = 1;
  for (int steps = 0; steps < 512 && !in.empty(); ++steps) {
    const Value key = Key(in);
    const std::ptrdiff_t at = model.Find(key);
    switch (in.Below(4)) {
      case 0:
      case 1: {
        const long long v = next++;
        map.Put(key, v);
        if (at >= 0) model.entries[static_cast<std::size_t>(at)].second = v;
        else model.entries.emplace_back(key.Deref(), v);
        break;
      }
      case 2: {
        const bool removed = map.Remove(key);
        FUZZ_CHECK(removed == (at >= 0));
        if (at >= 0) model.entries.erase(model.entries.begin() + at);
        break;
      }
      default:
        FUZZ_CHECK(map.Has(key) == (at >= 0));
        FUZZ_CHECK(map.Get(key).AsInt() == (at >= 0 ? model.entries[static_cast<std::size_t>(at)].second.AsInt() : 0));
        break;
    }
    FUZZ_CHECK(map.size() == model.entries.size());
    if (steps % 16 == 0) CheckSame(map, model);
  }
  CheckSame(map, model);
  return 0;
}
