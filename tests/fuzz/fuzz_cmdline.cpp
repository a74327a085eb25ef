// Fuzz target: splitting a command line (framework/core/cmdline).
#include <string>
#include <vector>

#include "framework/core/cmdline.h"
#include "fuzz_input.h"

namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> args = zv::SplitCommandLine(line);

  // Every argument is a piece of the line; together they are no longer.
  std::size_t total = 0;
  for (const std::string& a : args) {
    FUZZ_CHECK(line.find(a) != std::string_view::npos);
    total += a.size();
  }
  FUZZ_CHECK(total <= line.size());

  // Without quotes the arguments are exactly the runs of non-blanks.
  if (line.find('"') == std::string_view::npos) {
    std::vector<std::string> runs;
    std::string cur;
    for (char c : line) {
      if (Blank(c)) {
        if (!cur.empty()) runs.push_back(cur);
        cur.clear();
      } else {
        cur.push_back(c);
      }
    }
    if (!cur.empty()) runs.push_back(cur);
    FUZZ_CHECK(runs == args);
  }

  // Quoting round trip: arguments without quotes, each quoted and joined by
  // blanks, split back into the same arguments (blanks and empty ones included).
  std::vector<std::string> plain;
  std::string joined;
  for (const std::string& a : args) {
    std::string p;
    for (char c : a)
      if (c != '"') p.push_back(c);
    if (!joined.empty()) joined += (plain.size() % 2 ? "\t" : " ");
    joined += "\"" + p + "\"";
    plain.push_back(p);
  }
  FUZZ_CHECK(zv::SplitCommandLine(joined) == plain);

  // What follows the program path is the end of the line.
  const std::string_view rest = zv::SkipProgramPath(line);
  FUZZ_CHECK(rest.size() <= line.size());
  FUZZ_CHECK(rest.data() + rest.size() == line.data() + line.size());
  return 0;
}
