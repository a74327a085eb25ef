// The image byte formats the framework reads itself: a bitmap resource made
// into a bitmap file (where its bits begin), and the check of image-list
// streams. Portable: runs natively too.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/graphics/image_formats.h"

namespace {

namespace img = zv::img;

// A resource: a 40-byte info header, `colours` bytes of colour table and
// `bits` bytes of pixels.
std::vector<std::uint8_t> Resource(int w, int h, int bpp, std::uint32_t clrUsed, std::size_t colours, std::size_t bits,
                                   std::uint32_t compression = 0) {
  std::vector<std::uint8_t> r(40 + colours + bits, 0);
  const std::uint32_t size = 40;
  const std::uint16_t planes = 1, bitCount = static_cast<std::uint16_t>(bpp);
  std::memcpy(&r[0], &size, 4);
  std::memcpy(&r[4], &w, 4);
  std::memcpy(&r[8], &h, 4);
  std::memcpy(&r[12], &planes, 2);
  std::memcpy(&r[14], &bitCount, 2);
  std::memcpy(&r[16], &compression, 4);
  std::memcpy(&r[32], &clrUsed, 4);
  return r;
}

std::uint32_t At32(const std::vector<std::uint8_t>& v, std::size_t at) {
  std::uint32_t x = 0;
  std::memcpy(&x, &v[at], 4);
  return x;
}

TEST(BitmapResource, BecomesABitmapFileWhoseBitsFollowTheColourTable) {
  // 8 bits per pixel, no used-colour count: the full table of 256 colours.
  const auto r8 = Resource(4, 2, 8, 0, 1024, 8);
  const auto f8 = img::BitmapFileFromResource(r8);
  ASSERT_FALSE(f8.empty());
  EXPECT_EQ(f8[0], 'B');
  EXPECT_EQ(f8[1], 'M');
  EXPECT_EQ(At32(f8, 2), r8.size() + 14);
  EXPECT_EQ(At32(f8, 10), 14u + 40 + 1024);
  EXPECT_EQ(f8.size() % 4, 0u);
  EXPECT_EQ(std::memcmp(f8.data() + 14, r8.data(), r8.size()), 0);
  // A used-colour count decides the table; 1 and 4 bits have 2 and 16
  // colours; 24 bits none; bit fields add their three masks.
  EXPECT_EQ(At32(img::BitmapFileFromResource(Resource(4, 2, 8, 3, 12, 8)), 10), 14u + 40 + 12);
  EXPECT_EQ(At32(img::BitmapFileFromResource(Resource(4, 2, 1, 0, 8, 8)), 10), 14u + 40 + 8);
  EXPECT_EQ(At32(img::BitmapFileFromResource(Resource(4, 2, 4, 0, 64, 8)), 10), 14u + 40 + 64);
  EXPECT_EQ(At32(img::BitmapFileFromResource(Resource(4, 2, 24, 0, 0, 24)), 10), 14u + 40);
  EXPECT_EQ(At32(img::BitmapFileFromResource(Resource(4, 2, 16, 0, 12, 16, 3)), 10), 14u + 40 + 12);
}

TEST(BitmapResource, ThatDoesNotHoldItsPartsIsRefused) {
  EXPECT_TRUE(img::BitmapFileFromResource({}).empty());
  EXPECT_TRUE(img::BitmapFileFromResource(Resource(4, 2, 8, 0, 100, 0)).empty()) << "colour table cut";
  EXPECT_TRUE(img::BitmapFileFromResource(Resource(4, 2, 24, 0, 0, 10)).empty()) << "rows cut";
  EXPECT_TRUE(img::BitmapFileFromResource(Resource(0, 2, 24, 0, 0, 24)).empty()) << "no width";
  EXPECT_TRUE(img::BitmapFileFromResource(Resource(100000, 2, 24, 0, 0, 24)).empty()) << "absurd width";
  EXPECT_TRUE(img::BitmapFileFromResource(Resource(4, 2, 8, 0xFFFFFFFF, 0, 8)).empty()) << "absurd colour count";
  auto odd = Resource(4, 2, 7, 0, 0, 8);
  EXPECT_TRUE(img::BitmapFileFromResource(odd).empty()) << "7 bits per pixel";
}

TEST(ImageListStream, NeedsItsHeaderAndBitmapsWhole) {
  // Header: 'IL', 0x101, 2 images (of 4 allocated), 8 x 8, masked.
  std::vector<std::uint8_t> s(28, 0);
  const std::uint16_t head[] = {0x4C49, 0x101, 2, 4, 4, 8, 8};
  std::memcpy(s.data(), head, sizeof head);
  s[18] = 1;  // ILC_MASK
  auto bitmapFile = [](int w, int h, int bpp) {
    std::vector<std::uint8_t> f(14, 0);
    f[0] = 'B';
    f[1] = 'M';
    const std::size_t colours = bpp <= 8 ? (4u << bpp) : 0;
    auto res = Resource(w, h, bpp, 0, colours, static_cast<std::size_t>(((w * bpp + 31) / 32) * 4 * h));
    f.insert(f.end(), res.begin(), res.end());
    return f;
  };
  auto images = bitmapFile(32, 8, 24), masks = bitmapFile(32, 8, 1);
  std::vector<std::uint8_t> whole = s;
  whole.insert(whole.end(), images.begin(), images.end());
  whole.insert(whole.end(), masks.begin(), masks.end());
  EXPECT_TRUE(img::IsImageListStream(whole));
  EXPECT_FALSE(img::IsImageListStream({whole.data(), whole.size() - 1})) << "the masks cut";
  EXPECT_FALSE(img::IsImageListStream({whole.data(), 28 + images.size()})) << "no masks";
  auto more = whole;
  more[4] = 5;  // five images in a bitmap of four
  EXPECT_FALSE(img::IsImageListStream(more));
  auto badMagic = whole;
  badMagic[0] = 'X';
  EXPECT_FALSE(img::IsImageListStream(badMagic));
  auto noSize = whole;
  noSize[10] = 0;
  noSize[11] = 0;
  EXPECT_FALSE(img::IsImageListStream(noSize));
}

}  // namespace
