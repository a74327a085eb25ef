#include "framework/core/versioninfo.h"

#include <cstring>
#include <string_view>

namespace zv {
namespace {

// A bounds-checked reader over the resource bytes.
class Bytes {
 public:
  Bytes(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
  bool Word(std::size_t at, std::uint16_t& w) const {
    if (at > n_ || n_ - at < 2) return false;
    w = static_cast<std::uint16_t>(d_[at] | (d_[at + 1] << 8));
    return true;
  }
  bool DWord(std::size_t at, std::uint32_t& v) const {
    std::uint16_t lo, hi;
    if (!Word(at, lo) || !Word(at + 2, hi)) return false;
    v = lo | (static_cast<std::uint32_t>(hi) << 16);
    return true;
  }
  // A zero-terminated UTF-16 string at `at`; `next` is the position after
  // its terminator rounded up to a multiple of 4. False when the terminator
  // is not inside the buffer.
  bool String(std::size_t at, std::u16string& s, std::size_t& next) const {
    s.clear();
    for (std::size_t p = at;; p += 2) {
      std::uint16_t ch;
      if (!Word(p, ch)) return false;
      if (ch == 0) {
        next = (p + 2 + 3) & ~static_cast<std::size_t>(3);
        return true;
      }
      s.push_back(static_cast<char16_t>(ch));
    }
  }
  std::size_t size() const { return n_; }

 private:
  const std::uint8_t* d_;
  std::size_t n_;
};

}  // namespace

bool ParseVersionResource(const std::uint8_t* data, std::size_t size, VersionInfo& out) {
  if (!data) return false;
  Bytes b(data, size);
  std::u16string key;
  std::size_t after = 0;
  if (!b.String(6, key, after) || key != u"VS_VERSION_INFO") return false;

  // The fixed file information follows the key.
  std::uint32_t signature, fileMS, fileLS;
  if (b.DWord(after, signature) && signature == 0xFEEF04BD && b.DWord(after + 8, fileMS) &&
      b.DWord(after + 12, fileLS)) {
    out.nVersion = (fileMS >> 16) + (fileMS & 0xFFFF) * 0.1;
    out.nRelease = fileLS >> 16;
    out.nBuild = fileLS & 0xFFFF;
  }

  // The String entries of the first string table start at byte 152 (a
  // StringFileInfo block with an 8-character language key).
  std::size_t pos = 152;
  for (int guard = 0; guard < 4096; ++guard) {
    std::uint16_t length;
    if (!b.Word(pos, length) || length == 0) break;
    std::u16string name, value;
    std::size_t valueAt = 0, next = 0;
    if (!b.String(pos + 6, name, valueAt)) break;
    if (name == u"VarFileInfo") break;
    if (!b.String(valueAt, value, next)) break;
    if (name == u"FileVersion") out.cVersion = value;
    else if (name == u"FileDescription") out.cDescription = value;
    else if (name == u"CompanyName") out.cCompany = value;
    else if (name == u"LegalCopyright") out.cCopyright = value;
    else if (name == u"LegalTrademarks") out.cTradeMarks = value;
    else if (name == u"Comments") out.cComments = value;
    if (next <= pos) break;  // never walk backwards or in place
    pos = next;
  }
  return true;
}

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  double value = 0, scale = 0.1;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (point) {
        value += (c - '0') * scale;
        scale /= 10;
      } else {
        value = value * 10 + (c - '0');
      }
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  return negative ? -value : value;
}

}  // namespace zv
