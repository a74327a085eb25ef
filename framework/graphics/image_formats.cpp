#include "framework/graphics/image_formats.h"

#include <algorithm>
#include <fstream>

namespace zv::img {
namespace {

std::uint16_t U16(Bytes d, std::size_t at) { return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8); }
std::uint32_t U32(Bytes d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
         static_cast<std::uint32_t>(d[at + 2]) << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}
void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

constexpr std::int32_t kMaxSide = 32767;
constexpr std::uint64_t kMaxBits = 256ull << 20;
constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3;
constexpr std::size_t kFileHeaderSize = 14;

bool KnownBitCount(std::uint16_t b) { return b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32; }

}  // namespace

std::optional<BitmapInfo> ReadBitmapInfo(Bytes data) {
  if (data.size() < 12) return std::nullopt;
  BitmapInfo info;
  info.headerSize = U32(data, 0);
  if (info.headerSize == 12) {
    info.width = U16(data, 4);
    info.height = static_cast<std::int16_t>(U16(data, 6));
    info.planes = U16(data, 8);
    info.bitCount = U16(data, 10);
  } else if (info.headerSize == 40 || info.headerSize == 52 || info.headerSize == 56 || info.headerSize == 64 ||
             info.headerSize == 108 || info.headerSize == 124) {
    if (data.size() < info.headerSize) return std::nullopt;
    info.width = static_cast<std::int32_t>(U32(data, 4));
    info.height = static_cast<std::int32_t>(U32(data, 8));
    info.planes = U16(data, 12);
    info.bitCount = U16(data, 14);
    info.compression = U32(data, 16);
    info.sizeImage = U32(data, 20);
    info.clrUsed = U32(data, 32);
  } else {
    return std::nullopt;
  }
  if (info.width <= 0 || info.width > kMaxSide || info.height == 0 || info.height < -kMaxSide ||
      info.height > kMaxSide || info.planes != 1)
    return std::nullopt;
  if (info.bitCount != 0 && !KnownBitCount(info.bitCount)) return std::nullopt;
  return info;
}

std::size_t ColourTableSize(const BitmapInfo& info) {
  const std::size_t entry = info.headerSize == 12 ? 3 : 4;
  std::size_t n = 0;
  if (info.clrUsed != 0) {
    n = entry * info.clrUsed;
  } else if (info.bitCount == 1 || info.bitCount == 4 || info.bitCount == 8) {
    n = entry << info.bitCount;
  }
  if (info.headerSize == 40 && info.compression == kBiBitfields) n += 12;
  return n;
}

std::uint64_t UncompressedBitsSize(const BitmapInfo& info) {
  if ((info.compression != kBiRgb && info.compression != kBiBitfields) || info.bitCount == 0) return 0;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(info.width) * info.bitCount + 31) / 32) * 4;
  const std::uint64_t rows = info.height < 0 ? -static_cast<std::int64_t>(info.height) : info.height;
  const std::uint64_t size = stride * rows;
  return size > kMaxBits ? 0 : size;
}

std::vector<std::uint8_t> BitmapFileFromResource(Bytes resource) {
  const auto info = ReadBitmapInfo(resource);
  if (!info) return {};
  // A used-colour count beyond what the bits can index is not a bitmap.
  if (info->clrUsed > (1u << 16)) return {};
  const std::uint64_t offset = kFileHeaderSize + std::uint64_t{info->headerSize} + ColourTableSize(*info);
  const std::uint64_t fileSize = kFileHeaderSize + resource.size();
  if (offset > fileSize) return {};
  // Uncompressed bits must all be there; compressed ones are the decoder's.
  if (const std::uint64_t bits = UncompressedBitsSize(*info); bits != 0 && offset + bits > fileSize) return {};
  if (fileSize > 0xFFFFFFFFull - 3) return {};
  std::vector<std::uint8_t> out((fileSize + 3) & ~std::uint64_t{3}, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32(out, 2, static_cast<std::uint32_t>(fileSize));
  PutU32(out, 10, static_cast<std::uint32_t>(offset));
  std::copy(resource.begin(), resource.end(), out.begin() + kFileHeaderSize);
  return out;
}

namespace {

// A bitmap file at the start of `data` holding at least `images` tiles of
// cx by cy pixels; its length, 0 when it is not one.
std::size_t ImageBitmapSpan(Bytes data, int cx, int cy, int images) {
  if (data.size() < kFileHeaderSize + 40 || data[0] != 'B' || data[1] != 'M') return 0;
  const auto info = ReadBitmapInfo(data.subspan(kFileHeaderSize));
  if (!info || info->headerSize != 40 || info->compression != kBiRgb || info->bitCount == 0) return 0;
  if (info->clrUsed > 256 || (info->bitCount > 8 && info->clrUsed != 0)) return 0;
  const std::uint64_t bits = UncompressedBitsSize(*info);
  if (bits == 0) return 0;
  const std::uint64_t total = kFileHeaderSize + std::uint64_t{info->headerSize} + ColourTableSize(*info) + bits;
  if (total > data.size()) return 0;
  const std::int64_t rows = info->height < 0 ? -std::int64_t{info->height} : info->height;
  const std::int64_t tiles = std::int64_t{info->width / cx} * (rows / cy);
  if (tiles < images) return 0;
  return static_cast<std::size_t>(total);
}

}  // namespace

bool IsImageListStream(Bytes data) {
  if (data.size() < kImageListHeaderSize) return false;
  if (U16(data, 0) != 0x4C49 || U16(data, 2) != 0x101) return false;
  const int count = U16(data, 4);
  const int cx = U16(data, 10), cy = U16(data, 12);
  const unsigned flags = U16(data, 18);
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) return false;
  Bytes rest = data.subspan(kImageListHeaderSize);
  const std::size_t images = ImageBitmapSpan(rest, cx, cy, count);
  if (images == 0) return false;
  if (flags & 1) {  // ILC_MASK: the masks follow
    if (ImageBitmapSpan(rest.subspan(images), cx, cy, count) == 0) return false;
  }
  return true;
}

}  // namespace zv::img

namespace zv::img {

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::size_t limit) {
  if (path.empty()) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::uint64_t>(size) > limit) return std::nullopt;
  in.seekg(0, std::ios::beg);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
  return bytes;
}

bool WriteFileBytes(const std::string& path, Bytes bytes) {
  if (path.empty()) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace zv::img
