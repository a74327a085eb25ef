// The text form of a grid's column layout: the row height, then one field
// per column in column order, "index:width:S" for a shown column and
// "index:width:H" for a hidden one, all separated by ";" and written
// without spaces ("0;1:80:S;2:120:H"). Portable: no Windows here, so the
// reader of stored (and possibly hostile) texts builds and is fuzzed
// everywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

struct ColumnLayout {
  long long index = 0;  // the column's nIndex (1 or more)
  long long width = 0;
  bool visible = true;
};

struct GridLayout {
  long long rowHeight = 0;
  std::vector<ColumnLayout> columns;
};

// Bounds of what a layout text may hold: a row height and a width are
// pixel sizes a window can have; an index is a column number.
constexpr long long kLayoutMaxPixels = 0x7FFF;
constexpr long long kLayoutMaxIndex = 1000000;
constexpr std::size_t kLayoutMaxText = 1 << 20;

std::string LayoutToText(const GridLayout& layout);

// Reads a layout text. Nothing (and so no change to any grid) when it is
// empty, longer than kLayoutMaxText, or when any field is malformed: a
// number that is not a plain decimal within its bounds, a visibility other
// than S or H, a field of other than three parts, or an index given twice.
// A text may hold fewer columns than a grid has; which of them exist is for
// the grid to check.
std::optional<GridLayout> LayoutFromText(std::string_view text);

}  // namespace zv
