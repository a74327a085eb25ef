#include "framework/grid/cell_rules.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace zv {

namespace {

// The rank of a kind in the order of cells.
int Rank(const Value& v) {
  switch (v.kind()) {
    case Kind::Nil: return 0;
    case Kind::Logical: return 1;
    case Kind::Integer:
    case Kind::Double: return 2;
    case Kind::Date: return 3;
    case Kind::String: return 4;
    default: return 5 + static_cast<int>(v.kind());
  }
}

bool NumberLess(const Value& a, const Value& b) {
  if (a.IsInteger() && b.IsInteger()) return a.AsInt() < b.AsInt();
  const double x = a.AsDouble(), y = b.AsDouble();
  if (std::isnan(x)) return !std::isnan(y);
  if (std::isnan(y)) return false;
  return x < y;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A plain decimal number: an optional sign, digits with at most one point,
// an optional exponent. The whole text must be the number.
std::optional<double> ReadNumber(std::string_view s) {
  s = Trim(s);
  if (s.empty() || s.size() > 64) return std::nullopt;
  std::size_t i = 0;
  if (s[i] == '+' || s[i] == '-') ++i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9') ++digits;
    else if (s[i] == '.' && !point) point = true;
    else break;
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++exp;
    if (exp == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  const std::string copy(s);
  const double d = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(d)) return std::nullopt;
  return d;
}

}  // namespace

bool CellLess(const Value& av, const Value& bv) {
  const Value& a = av.Deref();
  const Value& b = bv.Deref();
  const int ra = Rank(a), rb = Rank(b);
  if (ra != rb) return ra < rb;
  switch (ra) {
    case 1: return !a.AsBool() && b.AsBool();
    case 2: return NumberLess(a, b);
    case 3: return a.AsJulian() < b.AsJulian();
    case 4: return a.AsString() < b.AsString();
    default: return false;
  }
}

bool IsComparisonFilter(std::string_view filter) {
  return !filter.empty() && (filter[0] == '<' || filter[0] == '>' || filter[0] == '=');
}

std::optional<bool> NumericFilterMatch(std::string_view cellText, std::string_view filter) {
  const auto cell = ReadNumber(cellText);
  if (!cell) return std::nullopt;
  filter = Trim(filter);
  static constexpr std::string_view kOps[] = {"<=", ">=", "<>", "!=", "==", "<", ">", "=", "#"};
  for (std::string_view op : kOps) {
    if (filter.substr(0, op.size()) != op) continue;
    const auto n = ReadNumber(filter.substr(op.size()));
    if (!n) return std::nullopt;
    const double x = *cell, y = *n;
    if (op == "<=") return x <= y;
    if (op == ">=") return x >= y;
    if (op == "<>" || op == "!=" || op == "#") return x != y;
    if (op == "==" || op == "=") return x == y;
    if (op == "<") return x < y;
    return x > y;
  }
  return std::nullopt;
}

}  // namespace zv
