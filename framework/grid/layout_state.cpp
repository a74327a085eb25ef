#include "framework/grid/layout_state.h"

#include <unordered_set>

namespace zv {

namespace {

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> out;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(sep, from);
    if (at == std::string_view::npos) {
      out.push_back(text.substr(from));
      return out;
    }
    out.push_back(text.substr(from, at - from));
    from = at + 1;
  }
}

// A plain decimal of at most `max`: digits only, at least one.
std::optional<long long> Number(std::string_view s, long long max) {
  if (s.empty() || s.size() > 12) return std::nullopt;
  long long n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n > max) return std::nullopt;
  return n;
}

}  // namespace

std::string LayoutToText(const GridLayout& layout) {
  std::string out = std::to_string(layout.rowHeight);
  for (const ColumnLayout& c : layout.columns) {
    out += ';';
    out += std::to_string(c.index);
    out += ':';
    out += std::to_string(c.width);
    out += c.visible ? ":S" : ":H";
  }
  return out;
}

std::optional<GridLayout> LayoutFromText(std::string_view text) {
  if (text.empty() || text.size() > kLayoutMaxText) return std::nullopt;
  const std::vector<std::string_view> fields = Split(text, ';');
  GridLayout layout;
  const auto height = Number(fields[0], kLayoutMaxPixels);
  if (!height) return std::nullopt;
  layout.rowHeight = *height;
  std::unordered_set<long long> seen;
  for (std::size_t i = 1; i < fields.size(); ++i) {
    const std::vector<std::string_view> parts = Split(fields[i], ':');
    if (parts.size() != 3) return std::nullopt;
    const auto index = Number(parts[0], kLayoutMaxIndex);
    const auto width = Number(parts[1], kLayoutMaxPixels);
    if (!index || *index < 1 || !width) return std::nullopt;
    if (parts[2] != "S" && parts[2] != "H") return std::nullopt;
    if (!seen.insert(*index).second) return std::nullopt;
    layout.columns.push_back({*index, *width, parts[2] == "S"});
  }
  return layout;
}

}  // namespace zv
