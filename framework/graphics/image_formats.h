// Image byte formats the framework reads itself, before handing the bytes to
// the system: the header of a device-independent bitmap, a bitmap resource
// made into a complete bitmap file, and the check of an image-list stream.
// Portable (no Windows headers): built and fuzzed natively as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zv::img {

using Bytes = std::span<const std::uint8_t>;

// The fields of a bitmap's info header (the 40-byte BITMAPINFOHEADER and its
// larger versions, or the 12-byte BITMAPCOREHEADER) that place its parts.
struct BitmapInfo {
  std::uint32_t headerSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: top-down rows
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::uint32_t clrUsed = 0;
};

// The info header at the start of `data`; nothing when the bytes cannot be
// one (too short, an unknown header size, a width or height of 0 or beyond
// 32767 pixels, planes other than 1).
std::optional<BitmapInfo> ReadBitmapInfo(Bytes data);

// Bytes of the colour table that follows the header: 4 bytes for each used
// colour when the count is given, else the full table of a 1, 4 or 8 bit
// bitmap (8, 64, 1024 bytes), plus the three 4-byte channel masks of a
// 40-byte header with bit-field compression; a core header has 3-byte
// entries. 0 for none.
std::size_t ColourTableSize(const BitmapInfo& info);

// The bytes of the rows of an uncompressed bitmap (rows padded to 4 bytes);
// 0 for a compressed one or one beyond 256 MB.
std::uint64_t UncompressedBitsSize(const BitmapInfo& info);

// A bitmap resource (info header, colours, bits) as a bitmap file: "BM",
// the file size, the offset of the bits, then the resource, the whole padded
// to a multiple of 4 bytes. Empty when the resource is not a sound bitmap
// (its header, colour table or bits would lie past its end).
std::vector<std::uint8_t> BitmapFileFromResource(Bytes resource);

// Size of the 28-byte header of an image-list stream.
inline constexpr std::size_t kImageListHeaderSize = 28;

// Whether `data` is a whole image-list stream: the header ('IL', version
// 0x101, a sane image size), then the bitmap of the images and, when the
// header says the list is masked, the bitmap of the masks, each a complete
// bitmap file big enough for the images the header counts.
bool IsImageListStream(Bytes data);

}  // namespace zv::img

namespace zv::img {

// The whole content of a file, nothing when it cannot be read or is larger
// than `limit` bytes. Writes `bytes` as the whole content of a file; false
// when it cannot.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::size_t limit = 256u << 20);
bool WriteFileBytes(const std::string& path, Bytes bytes);

}  // namespace zv::img
