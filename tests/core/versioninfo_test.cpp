// The version-resource walk, fed crafted bytes: well-formed, truncated,
// malformed and hostile resources.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "framework/core/versioninfo.h"

namespace {

// Builds a version resource laid out as a resource compiler does: the root
// block with the fixed information, a StringFileInfo block with one string
// table ("040904E4"), then a VarFileInfo block.
class VersionBuilder {
 public:
  void Fixed(std::uint32_t ms, std::uint32_t ls) {
    ms_ = ms;
    ls_ = ls;
  }
  void Add(const std::u16string& key, const std::u16string& value) { strings_.push_back({key, value}); }

  std::vector<std::uint8_t> Build() const {
    std::vector<std::uint8_t> b;
    Header(b, 52, 0, u"VS_VERSION_INFO");
    const std::uint32_t fixed[13] = {0xFEEF04BD, 0x00010000, ms_, ls_, ms_, ls_, 0x3F, 0, 4, 1, 0, 0, 0};
    for (std::uint32_t v : fixed) DWord(b, v);
    Header(b, 0, 1, u"StringFileInfo");
    Header(b, 0, 1, u"040904E4");
    for (const auto& s : strings_) {
      const std::size_t at = b.size();
      Header(b, static_cast<std::uint16_t>(s.second.size() + 1), 1, s.first);
      Str(b, s.second);
      Pad(b);
      Patch(b, at, b.size() - at);
    }
    Header(b, 0, 1, u"VarFileInfo");
    Header(b, 4, 0, u"Translation");
    DWord(b, 0x04E40409);
    Patch(b, 0, b.size());
    return b;
  }

 private:
  static void Word(std::vector<std::uint8_t>& b, std::uint16_t w) {
    b.push_back(static_cast<std::uint8_t>(w & 0xFF));
    b.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  static void DWord(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Word(b, static_cast<std::uint16_t>(v & 0xFFFF));
    Word(b, static_cast<std::uint16_t>(v >> 16));
  }
  static void Str(std::vector<std::uint8_t>& b, const std::u16string& s) {
    for (char16_t c : s) Word(b, static_cast<std::uint16_t>(c));
    Word(b, 0);
  }
  static void Pad(std::vector<std::uint8_t>& b) {
    while (b.size() % 4) b.push_back(0);
  }
  static void Header(std::vector<std::uint8_t>& b, std::uint16_t valueLength, std::uint16_t type,
                     const std::u16string& key) {
    Word(b, 0xFFFF);  // patched for strings and the root only
    Word(b, valueLength);
    Word(b, type);
    Str(b, key);
    Pad(b);
  }
  static void Patch(std::vector<std::uint8_t>& b, std::size_t at, std::size_t length) {
    b[at] = static_cast<std::uint8_t>(length & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((length >> 8) & 0xFF);
  }
  std::uint32_t ms_ = 0x00020005, ls_ = 0x00000001;
  std::vector<std::pair<std::u16string, std::u16string>> strings_;
};

VersionBuilder Typical() {
  VersionBuilder v;
  v.Fixed(0x00020005, 0x00030007);
  v.Add(u"CompanyName", u"Acme");
  v.Add(u"FileDescription", u"Demo program");
  v.Add(u"FileVersion", u"2.5.0.1");
  v.Add(u"InternalName", u"demo");
  v.Add(u"LegalCopyright", u"(c) 2026");
  v.Add(u"LegalTrademarks", u"Acme(tm)");
  v.Add(u"Comments", u"none");
  return v;
}

TEST(VersionInfo, ReadsTheFixedInformationAndTheStrings) {
  std::vector<std::uint8_t> bytes = Typical().Build();
  zv::VersionInfo vi;
  ASSERT_TRUE(zv::ParseVersionResource(bytes.data(), bytes.size(), vi));
  EXPECT_DOUBLE_EQ(vi.nVersion, 2.5);  // high word + low word * 0.1
  EXPECT_EQ(vi.nRelease, 3);
  EXPECT_EQ(vi.nBuild, 7);
  EXPECT_EQ(vi.cVersion, u"2.5.0.1");
  EXPECT_EQ(vi.cCompany, u"Acme");
  EXPECT_EQ(vi.cDescription, u"Demo program");
  EXPECT_EQ(vi.cCopyright, u"(c) 2026");
  EXPECT_EQ(vi.cTradeMarks, u"Acme(tm)");
  EXPECT_EQ(vi.cComments, u"none");
  EXPECT_DOUBLE_EQ(zv::LeadingNumber("2.5.0.1"), 2.5);
}

TEST(VersionInfo, AStringTableWithoutFileVersionGivesVersionZero) {
  VersionBuilder v;
  v.Fixed(0x00070008, 0);
  v.Add(u"CompanyName", u"Acme");
  std::vector<std::uint8_t> bytes = v.Build();
  zv::VersionInfo vi;
  ASSERT_TRUE(zv::ParseVersionResource(bytes.data(), bytes.size(), vi));
  EXPECT_TRUE(vi.cVersion.empty());
  // The application takes its version from the leading number of the text.
  EXPECT_EQ(zv::LeadingNumber("1.0.0.0"), 1.0);
  EXPECT_EQ(zv::LeadingNumber(""), 0.0);
  EXPECT_EQ(zv::LeadingNumber("abc"), 0.0);
  EXPECT_EQ(zv::LeadingNumber("  12.75 beta"), 12.75);
}

TEST(VersionInfo, KeysAreComparedExactly) {
  VersionBuilder v;
  v.Add(u"fileversion", u"9.9");
  v.Add(u"FileVersionX", u"8.8");
  std::vector<std::uint8_t> bytes = v.Build();
  zv::VersionInfo vi;
  ASSERT_TRUE(zv::ParseVersionResource(bytes.data(), bytes.size(), vi));
  EXPECT_TRUE(vi.cVersion.empty());
}

TEST(VersionInfo, NotAVersionBlock) {
  std::vector<std::uint8_t> bytes = Typical().Build();
  bytes[6] = 'X';  // the key no longer reads "VS_VERSION_INFO"
  zv::VersionInfo vi;
  EXPECT_FALSE(zv::ParseVersionResource(bytes.data(), bytes.size(), vi));
  EXPECT_EQ(vi.nVersion, 0);
  EXPECT_FALSE(zv::ParseVersionResource(nullptr, 100, vi));
  EXPECT_FALSE(zv::ParseVersionResource(bytes.data(), 0, vi));
}

TEST(VersionInfo, EveryTruncationStaysInsideTheBuffer) {
  // Each prefix is copied into a buffer of exactly its size, so a read past
  // the end is caught by the address sanitizer in the native build.
  const std::vector<std::uint8_t> full = Typical().Build();
  for (std::size_t n = 0; n <= full.size(); ++n) {
    std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    zv::VersionInfo vi;
    zv::ParseVersionResource(cut.data(), cut.size(), vi);
    if (n < full.size() / 2) {
      EXPECT_TRUE(vi.cComments.empty()) << n;
    }
  }
}

TEST(VersionInfo, HostileBytesNeverReadOutside) {
  const std::vector<std::uint8_t> full = Typical().Build();
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> bytes = full;
    const int flips = 1 + static_cast<int>(rng() % 8);
    for (int f = 0; f < flips; ++f) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
    bytes.resize(rng() % (bytes.size() + 1));
    zv::VersionInfo vi;
    zv::ParseVersionResource(bytes.data(), bytes.size(), vi);
  }
  // Strings without terminators up to the very end.
  std::vector<std::uint8_t> endless = full;
  for (std::size_t i = 152; i < endless.size(); ++i) endless[i] = 0x41;
  zv::VersionInfo vi;
  EXPECT_TRUE(zv::ParseVersionResource(endless.data(), endless.size(), vi));
  EXPECT_TRUE(vi.cVersion.empty());
}

}  // namespace
