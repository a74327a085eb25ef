#include "runtime/symbol.h"

#include <cstring>
#include <deque>
#include <unordered_map>

namespace zv {
namespace {

struct Entry {
  std::string upper;
  std::string display;
};

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Hash and equality that ignore the case of ASCII letters: a name is looked
// up as it is written, without making an upper-case copy first, so finding
// a name that exists allocates nothing.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept {
    std::uint64_t h = 1469598103934665603ULL;  // FNV-1a over the folded bytes
    for (char c : s) {
      h ^= static_cast<unsigned char>(Upper(c));
      h *= 1099511628211ULL;
    }
    return static_cast<std::size_t>(h);
  }
};
struct NameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept { return SameName(a, b); }
};

struct Table {
  std::deque<Entry> entries;  // stable addresses; entry 0 is the invalid symbol
  std::unordered_map<std::string, std::uint32_t, NameHash, NameEqual> byUpper;
  Table() { entries.push_back({}); }
};

Table& table() {
  static Table* t = new Table;  // never destroyed: symbols are used during static destruction
  return *t;
}

}  // namespace

std::string UpperName(std::string_view name) {
  std::string s(name);
  for (char& c : s) c = Upper(c);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

std::uint32_t Symbol::Intern(std::string_view name) {
  Table& t = table();
  auto it = t.byUpper.find(name);
  if (it != t.byUpper.end()) return it->second;
  std::string upper = UpperName(name);
  const auto id = static_cast<std::uint32_t>(t.entries.size());
  t.entries.push_back({upper, std::string(name)});
  t.byUpper.emplace(std::move(upper), id);
  return id;
}

// A name given as a C string (a literal, mostly) is first looked up in a
// small cache by address: a send by literal name then costs a pointer
// comparison and a comparison of the bytes, not a hash of the name. The
// bytes are compared because the same address may hold another name later
// (a caller's buffer).
std::uint32_t Symbol::Intern(const char* name) {
  struct CacheEntry {
    const char* at = nullptr;
    std::uint32_t id = 0;
    char text[20] = {};
  };
  static CacheEntry cache[256];
  const auto addr = reinterpret_cast<std::uintptr_t>(name);
  CacheEntry& e = cache[((addr >> 4) ^ (addr >> 12)) & 255];
  if (e.at == name) {
    // Stops at the first difference: never reads past the end of `name`.
    for (std::size_t k = 0;; ++k) {
      if (e.text[k] != name[k]) break;
      if (name[k] == 0) return e.id;
    }
  }
  const std::size_t len = std::strlen(name);
  const std::uint32_t id = Intern(std::string_view(name, len));
  if (len < sizeof e.text) {
    e.at = name;
    e.id = id;
    std::memcpy(e.text, name, len + 1);
  }
  return id;
}

SetterSymbol SetterSymbol::Of(Symbol member) {
  SetterSymbol s;
  if (member.valid()) s.s_ = Symbol(std::string_view("_" + member.name()));
  return s;
}

Symbol Symbol::Find(std::string_view name) {
  Table& t = table();
  auto it = t.byUpper.find(name);
  Symbol s;
  if (it != t.byUpper.end()) s.id_ = it->second;
  return s;
}

Symbol Symbol::FromId(std::uint32_t id) {
  Symbol s;
  if (id < table().entries.size()) s.id_ = id;
  return s;
}

const std::string& Symbol::upper() const { return table().entries[id_].upper; }
const std::string& Symbol::name() const { return table().entries[id_].display; }
std::size_t Symbol::Count() { return table().entries.size() - 1; }

}  // namespace zv
