// Fuzz target: a font description read from its text form
// (framework/graphics/font_text).
#include <string>

#include "framework/graphics/font_text.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const zv::FontDescription base;
  const auto f = zv::FontFromText(text, base);
  std::size_t commas = 0;
  for (char c : text) commas += c == ',';
  FUZZ_CHECK(f.has_value() == (commas == 11));
  if (!f) return 0;
  // Sound values only.
  FUZZ_CHECK(!f->name.empty() && f->name.size() <= zv::kMaxFaceName);
  FUZZ_CHECK(f->name.find('\0') == std::string::npos && f->name.find(',') == std::string::npos);
  FUZZ_CHECK(f->size >= 0 && f->size <= 16384);
  FUZZ_CHECK(f->width >= -16384 && f->width <= 16384 && f->height >= -16384 && f->height <= 16384);
  FUZZ_CHECK(f->style >= 0 && f->style <= 7 && f->weight >= 0 && f->weight <= 1000);
  FUZZ_CHECK(f->orientation >= -3600 && f->orientation <= 3600 && f->charSet >= 0 && f->charSet <= 255);
  // What was read saves and reads back the same.
  const auto again = zv::FontFromText(zv::FontToText(*f));
  FUZZ_CHECK(again.has_value());
  FUZZ_CHECK(again->name == f->name && again->size == f->size && again->width == f->width &&
             again->height == f->height && again->style == f->style && again->weight == f->weight &&
             again->orientation == f->orientation && again->bold == f->bold && again->italic == f->italic &&
             again->underline == f->underline && again->strikeOut == f->strikeOut && again->charSet == f->charSet);
  return 0;
}
