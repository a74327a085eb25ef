// Fuzz target: a numeric column filter typed in the grid's filter bar,
// applied to a cell text (framework/grid/cell_rules).
#include <cmath>
#include <string>

#include "framework/grid/cell_rules.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t split = all.find('\n');
  const std::string_view cell = split == std::string_view::npos ? std::string_view("12") : all.substr(0, split);
  const std::string_view filter = split == std::string_view::npos ? all : all.substr(split + 1);
  const auto m = zv::NumericFilterMatch(cell, filter);
  if (m.has_value()) {
    // An answer is only given to a comparison filter, and negating the
    // operator (where there is one to negate) flips it.
    std::string_view f = filter;
    while (!f.empty() && (f.front() == ' ' || f.front() == '\t')) f.remove_prefix(1);
    FUZZ_CHECK(zv::IsComparisonFilter(f) || (!f.empty() && (f.front() == '!' || f.front() == '#')));
    if (f.substr(0, 2) == "<=") {
      const auto flipped = zv::NumericFilterMatch(cell, std::string(">") + std::string(f.substr(2)));
      FUZZ_CHECK(flipped.has_value() && *flipped != *m);
    }
  }
  return 0;
}
