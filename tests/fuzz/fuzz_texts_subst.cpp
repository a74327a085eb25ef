// Fuzz target: placeholder substitution of localised texts
// (framework/core/texts_subst). The input gives up to nine arguments and the
// text; the result is compared with a second, independent reading of the
// rules in texts.h: "%d" with 1 <= d <= the number of arguments is replaced
// by argument d, one digit only, every other "%" kept, and the text put in
// by an argument is never read again for placeholders.
#include <string>
#include <vector>

#include "framework/core/texts.h"
#include "fuzz_input.h"

namespace {

std::string Reference(std::string_view text, const std::vector<std::string>& args) {
  std::string out;
  std::size_t from = 0;
  for (;;) {
    const std::size_t p = text.find('%', from);
    out.append(text.substr(from, p == std::string_view::npos ? std::string_view::npos : p - from));
    if (p == std::string_view::npos) return out;
    const char next = p + 1 < text.size() ? text[p + 1] : '\0';
    const std::size_t d = (next >= '1' && next <= '9') ? static_cast<std::size_t>(next - '0') : 0;
    if (d != 0 && d <= args.size()) {
      out += args[d - 1];
      from = p + 2;
    } else {
      out += '%';
      from = p + 1;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zvfuzz::FuzzInput in(data, size);
  std::vector<std::string> args(in.Below(10));
  for (std::string& a : args) a = in.Bytes(12);
  const std::string_view text = in.Rest();
  std::vector<std::string_view> views(args.begin(), args.end());

  const std::string out = zv::SubstituteArgs(text, views);
  FUZZ_CHECK(out == Reference(text, args));
  if (args.empty() || text.find('%') == std::string_view::npos) FUZZ_CHECK(out == text);
  return 0;
}
