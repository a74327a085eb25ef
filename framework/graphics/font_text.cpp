#include "framework/graphics/font_text.h"

#include <vector>

namespace zv {
namespace {

// GDI's limits: a font height or width past 16384 logical units is refused
// or drawn as garbage, weights end at 1000, character sets are one byte.
constexpr int kMaxExtent = 16384;

std::string Logical(bool b) { return b ? ".T." : ".F."; }

}  // namespace

int FieldNumber(std::string_view s, int lo, int hi) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > hi + 1LL - lo) {  // already beyond either bound: saturate
      v = hi + 1LL - lo;
      while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
      break;
    }
  }
  if (negative) v = -v;
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return static_cast<int>(v);
}

std::string FontToText(const FontDescription& f) {
  std::string out = f.name;
  for (int n : {f.size, f.width, f.height, f.style, f.weight, f.orientation}) out += "," + std::to_string(n);
  for (bool b : {f.bold, f.italic, f.underline, f.strikeOut}) out += "," + Logical(b);
  out += "," + std::to_string(f.charSet);
  return out;
}

std::optional<FontDescription> FontFromText(std::string_view text, const FontDescription& base) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',') {
      if (fields.size() == 12) return std::nullopt;  // a thirteenth field
      fields.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (fields.size() != 12) return std::nullopt;
  FontDescription f = base;
  f.size = FieldNumber(fields[1], 0, kMaxExtent);
  f.width = FieldNumber(fields[2], -kMaxExtent, kMaxExtent);
  f.height = FieldNumber(fields[3], -kMaxExtent, kMaxExtent);
  f.style = FieldNumber(fields[4], 0, 7);
  f.weight = FieldNumber(fields[5], 0, 1000);
  f.orientation = FieldNumber(fields[6], -3600, 3600);
  f.bold = fields[7] == ".T.";
  f.italic = fields[8] == ".T.";
  f.underline = fields[9] == ".T.";
  f.strikeOut = fields[10] == ".T.";
  f.charSet = FieldNumber(fields[11], 0, 255);
  std::string_view name = fields[0];
  if (const std::size_t nul = name.find('\0'); nul != std::string_view::npos) name = name.substr(0, nul);
  if (name.size() > kMaxFaceName) name = name.substr(0, kMaxFaceName);
  if (!name.empty()) f.name = std::string(name);
  return f;
}

}  // namespace zv
