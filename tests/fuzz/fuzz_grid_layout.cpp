// Fuzz target: a grid's column layout read from its saved text
// (framework/grid/layout_state), as a restore from a stored or hand-edited
// text would read it.
#include <string>
#include <unordered_set>

#include "framework/grid/layout_state.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto layout = zv::LayoutFromText(text);
  if (!layout) return 0;
  // Only sound values are accepted, and no column twice.
  FUZZ_CHECK(layout->rowHeight >= 0 && layout->rowHeight <= zv::kLayoutMaxPixels);
  std::unordered_set<long long> seen;
  for (const zv::ColumnLayout& c : layout->columns) {
    FUZZ_CHECK(c.index >= 1 && c.index <= zv::kLayoutMaxIndex);
    FUZZ_CHECK(c.width >= 0 && c.width <= zv::kLayoutMaxPixels);
    FUZZ_CHECK(seen.insert(c.index).second);
  }
  // What was read writes back to a text that reads the same.
  const std::string again = zv::LayoutToText(*layout);
  const auto back = zv::LayoutFromText(again);
  FUZZ_CHECK(back.has_value() && back->rowHeight == layout->rowHeight && back->columns.size() == layout->columns.size());
  for (std::size_t i = 0; i < back->columns.size(); ++i)
    FUZZ_CHECK(back->columns[i].index == layout->columns[i].index && back->columns[i].width == layout->columns[i].width &&
               back->columns[i].visible == layout->columns[i].visible);
  return 0;
}
