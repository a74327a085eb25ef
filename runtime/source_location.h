// The place in the C++ source where a message is sent (recorded in the call
// stack for error reports). std::source_location where the library has it;
// otherwise the same thing built on the compiler's builtins (clang 14 with
// libstdc++ 12 has the builtins but not the header's class).
#pragma once

#include <cstdint>
#include <version>

#if defined(__cpp_lib_source_location)
#include <source_location>
#endif

namespace zv {

#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
class SourceLocation {
 public:
  static constexpr SourceLocation current(std::uint_least32_t line = __builtin_LINE(),
                                          const char* file = __builtin_FILE(),
                                          const char* function = __builtin_FUNCTION()) noexcept {
    SourceLocation s;
    s.line_ = line;
    s.file_ = file;
    s.function_ = function;
    return s;
  }
  constexpr SourceLocation() noexcept = default;
  constexpr std::uint_least32_t line() const noexcept { return line_; }
  constexpr std::uint_least32_t column() const noexcept { return 0; }
  constexpr const char* file_name() const noexcept { return file_; }
  constexpr const char* function_name() const noexcept { return function_; }

 private:
  std::uint_least32_t line_ = 0;
  const char* file_ = "";
  const char* function_ = "";
};
#endif

}  // namespace zv
