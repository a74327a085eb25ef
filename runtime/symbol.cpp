#include "runtime/symbol.h"

#include <deque>
#include <unordered_map>

namespace zv {
namespace {

struct Entry {
  std::string upper;
  std::string display;
};

struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};

struct Table {
  std::deque<Entry> entries;  // stable addresses; entry 0 is the invalid symbol
  std::unordered_map<std::string, std::uint32_t, NameHash, std::equal_to<>> byUpper;
  Table() { entries.push_back({}); }
};

Table& table() {
  static Table* t = new Table;  // never destroyed: symbols are used during static destruction
  return *t;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

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
  std::string upper = UpperName(name);
  auto it = t.byUpper.find(upper);
  if (it != t.byUpper.end()) return it->second;
  const auto id = static_cast<std::uint32_t>(t.entries.size());
  t.entries.push_back({upper, std::string(name)});
  t.byUpper.emplace(std::move(upper), id);
  return id;
}

Symbol Symbol::Find(std::string_view name) {
  Table& t = table();
  auto it = t.byUpper.find(UpperName(name));
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
