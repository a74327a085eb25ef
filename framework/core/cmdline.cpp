#include "framework/core/cmdline.h"

namespace zv {
namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (true) {
    while (i < n && Blank(line[i])) ++i;
    if (i >= n) break;
    if (line[i] == '"') {
      ++i;
      std::size_t start = i;
      std::size_t end = n;
      for (std::size_t j = i; j < n; ++j) {
        if (line[j] == '"' && (j + 1 == n || Blank(line[j + 1]))) {
          end = j;
          break;
        }
      }
      args.emplace_back(line.substr(start, end - start));
      i = end < n ? end + 1 : n;
    } else {
      std::size_t start = i;
      while (i < n && !Blank(line[i])) ++i;
      args.emplace_back(line.substr(start, i - start));
    }
  }
  return args;
}

std::string_view SkipProgramPath(std::string_view fullLine) {
  std::size_t i = 0;
  const std::size_t n = fullLine.size();
  while (i < n && Blank(fullLine[i])) ++i;
  if (i < n && fullLine[i] == '"') {
    ++i;
    while (i < n && fullLine[i] != '"') ++i;
    if (i < n) ++i;
  } else {
    while (i < n && !Blank(fullLine[i])) ++i;
  }
  return fullLine.substr(i);
}

}  // namespace zv
