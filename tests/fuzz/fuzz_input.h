// Helpers of the fuzz targets: reading typed values from the fuzzer's bytes
// and checking properties.
//
// A target reads what it needs from FuzzInput; past the end every read
// gives zeros, so any input, even an empty one, is a complete program for
// the target. FUZZ_CHECK aborts with a message when a property does not
// hold: libFuzzer reports the abort as a crash and keeps the input; the
// replay main of the test build ends with the abort, failing the test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#define FUZZ_CHECK(cond)                                                                   \
  do {                                                                                     \
    if (!(cond)) {                                                                         \
      std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                        \
    }                                                                                      \
  } while (0)

namespace zvfuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return pos_ >= size_; }
  std::size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }

  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // A number below n (n > 0), from one byte.
  unsigned Below(unsigned n) { return Byte() % n; }
  bool Bool() { return Byte() & 1; }
  template <typename T>
  T Raw() {
    unsigned char b[sizeof(T)] = {};
    for (auto& c : b) c = Byte();
    T v;
    std::memcpy(&v, b, sizeof v);
    return v;
  }
  // Up to maxLen bytes: a length byte, then the bytes.
  std::string Bytes(std::size_t maxLen) {
    const std::size_t n = Byte() % (maxLen + 1);
    std::string s;
    for (std::size_t i = 0; i < n && !empty(); ++i) s.push_back(static_cast<char>(Byte()));
    return s;
  }
  // The rest of the input.
  std::string_view Rest() {
    std::string_view r(reinterpret_cast<const char*>(data_) + (pos_ < size_ ? pos_ : size_), remaining());
    pos_ = size_;
    return r;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace zvfuzz
