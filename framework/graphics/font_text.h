// The one-line text form of a font description: twelve comma-separated
// fields (name, point size, width, height, style bits, weight, orientation,
// bold, italic, underline, strike-out, character set), logicals as ".T." or
// ".F.". Portable: no GDI here, so the parser of stored and user-typed texts
// builds and is fuzzed everywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zv {

struct FontDescription {
  std::string name = "MS Sans Serif";
  int size = 8;         // points; 0: width and height give the size in pixels
  int width = 0;        // average character width (0: default aspect)
  int height = 0;       // as GDI takes it: negative is a character height
  int style = 0;        // 1 italic, 2 underline, 4 strike-out
  int weight = 400;
  int orientation = 0;  // tenths of a degree
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 1;      // DEFAULT_CHARSET
};

// The longest face name GDI keeps (LF_FACESIZE less the terminating NUL).
constexpr std::size_t kMaxFaceName = 31;

std::string FontToText(const FontDescription& f);

// Reads a text of exactly twelve fields over `base`: nothing when the count
// is another. Every value is made sound, whatever the text holds: numbers
// are read as far as they are numbers (0 when a field is none), clamped to
// what GDI accepts; a logical is true only for ".T."; the name ends at an
// embedded NUL and is cut to kMaxFaceName bytes, and an empty one keeps the
// base's name.
std::optional<FontDescription> FontFromText(std::string_view text, const FontDescription& base = {});

// The leading number of a field (blanks skipped, a sign, digits, a
// fraction truncated), clamped to [lo, hi]; 0 (clamped) when there is none.
int FieldNumber(std::string_view field, int lo, int hi);

}  // namespace zv
