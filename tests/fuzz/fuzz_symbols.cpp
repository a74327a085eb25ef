// Fuzz target: interned names (runtime/symbol): interning, case folding,
// Find and FromId.
//
// The table is process-wide and never shrinks, so the names are drawn from a
// bounded set (at most four characters of the sixteen below, about 70000
// names): however long the fuzzer runs, the table stays small. The
// characters are those around the case boundaries of ASCII, letters of
// Windows-1252 (which are not folded), a blank and a zero byte.
#include <string>

#include "fuzz_input.h"
#include "runtime/symbol.h"

namespace {

constexpr char kAlphabet[16] = {'a', 'z', 'A', 'Z', '@', '[', '`', '{',
                                'm', '_', '0', ' ', '\0', '\xE0', '\xC0', '\xFF'};

std::string Name(zvfuzz::FuzzInput& in) {
  std::string s(in.Below(5), ' ');
  for (char& c : s) c = kAlphabet[in.Below(16)];
  return s;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zvfuzz::FuzzInput in(data, size);
  for (int round = 0; round < 16 && !in.empty(); ++round) {
    const std::string name = Name(in);
    const std::string upper = zv::UpperName(name);

    // Folding: ASCII letters only, length kept.
    FUZZ_CHECK(upper.size() == name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
      const char c = name[i];
      FUZZ_CHECK(upper[i] == ((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c));
    }

    const zv::Symbol before = zv::Symbol::Find(name);
    const std::size_t countBefore = zv::Symbol::Count();
    const zv::Symbol s(name);
    FUZZ_CHECK(s.valid());
    if (before.valid()) {
      FUZZ_CHECK(before == s);
      FUZZ_CHECK(zv::Symbol::Count() == countBefore);
    } else {
      FUZZ_CHECK(zv::Symbol::Count() == countBefore + 1);
      FUZZ_CHECK(s.name() == name);  // the first spelling is kept
    }
    FUZZ_CHECK(s.upper() == upper);
    FUZZ_CHECK(zv::SameName(s.name(), name));
    FUZZ_CHECK(zv::Symbol::Find(upper) == s);
    FUZZ_CHECK(zv::Symbol::Find(Lower(name)) == s);
    FUZZ_CHECK(zv::Symbol(Lower(name)) == s);
    FUZZ_CHECK(zv::Symbol::FromId(s.id()) == s);
    FUZZ_CHECK(!zv::Symbol::FromId(static_cast<std::uint32_t>(zv::Symbol::Count() + 1)).valid());

    // Two names are the same name exactly when they fold alike.
    const std::string other = Name(in);
    const bool same = zv::SameName(name, other);
    FUZZ_CHECK(same == (zv::UpperName(other) == upper));
    FUZZ_CHECK(same == (zv::Symbol(other) == s));
  }
  return 0;
}
