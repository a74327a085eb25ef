// The rules by which the array grid orders, filters and seeks its cells.
// Portable: they read values and texts only, so they build, are tested and
// fuzzed everywhere.
#pragma once

#include <optional>
#include <string_view>

#include "runtime/value.h"

namespace zv {

// A strict weak order over cell values of every kind, for sorting rows by
// a column: an absent value first, then logicals (false before true),
// numbers by value (NaN before every other number), dates, texts by their
// bytes; lists, maps, objects and the other kinds come last, in the order
// of their kind, and are equal among themselves, so a stable sort keeps
// their rows in place.
bool CellLess(const Value& a, const Value& b);

// A numeric column's filter: the cell's text followed by the filter text
// read as a comparison ("12" and ">5" read as 12>5). The filter is an
// operator (<, >, =, ==, <=, >=, <>, !=, #) and a number; spaces around
// the parts are allowed. Nothing when either side cannot be read (the row
// is then rejected by the caller).
std::optional<bool> NumericFilterMatch(std::string_view cellText, std::string_view filter);

// Whether a filter text asks for a comparison: it begins with <, > or =.
bool IsComparisonFilter(std::string_view filter);

}  // namespace zv
