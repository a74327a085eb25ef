// Replays fuzz inputs without libFuzzer: every file named on the command
// line, and every file of every folder named (in name order), is passed to
// the target's LLVMFuzzerTestOneInput, as the fuzzer would. The test build
// links each target with this main, so the corpora are replayed by any
// compiler, under the sanitizers of the build. An abort of the target (a
// property that does not hold, or a sanitizer report) ends the run; so does
// a folder without inputs, which would otherwise pass without testing.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

void RunFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // An exact-size copy, so a read past the end is caught by the address sanitizer.
  std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
  std::uint8_t* data = exact.empty() ? nullptr : exact.data();
  std::fprintf(stderr, "replay %s (%zu bytes)\n", p.string().c_str(), exact.size());
  LLVMFuzzerTestOneInput(data, exact.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s file-or-folder...\n", argv[0]);
    return 2;
  }
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg(argv[i]);
    if (fs::is_directory(arg)) {
      std::vector<fs::path> files;
      for (const auto& e : fs::directory_iterator(arg))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());
      if (files.empty()) {
        std::fprintf(stderr, "%s: no inputs\n", argv[i]);
        return 1;
      }
      for (const auto& f : files) RunFile(f);
      count += files.size();
    } else if (fs::is_regular_file(arg)) {
      RunFile(arg);
      ++count;
    } else {
      std::fprintf(stderr, "%s: not found\n", argv[i]);
      return 1;
    }
  }
  std::fprintf(stderr, "%zu inputs replayed\n", count);
  return 0;
}
