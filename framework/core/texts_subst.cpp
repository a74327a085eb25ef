// Placeholder substitution of localised texts. Kept free of Windows so that
// it is tested natively as well.
#include "texts.h"

namespace zv {

std::string SubstituteArgs(std::string_view text, std::span<const std::string_view> args) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      std::size_t d = static_cast<std::size_t>(text[i + 1] - '0');
      if (d <= args.size()) {
        out.append(args[d - 1]);
        ++i;  // the digit is consumed with the percent sign
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

}  // namespace zv
