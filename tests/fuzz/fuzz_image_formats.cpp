// Fuzz target: the image byte formats the framework reads itself
// (framework/graphics/image_formats): bitmap headers, a bitmap resource made
// into a bitmap file, the check of an image-list stream.
#include <cstring>

#include "framework/graphics/image_formats.h"
#include "fuzz_input.h"

namespace img = zv::img;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const img::Bytes bytes(data, size);

  if (const auto info = img::ReadBitmapInfo(bytes)) {
    FUZZ_CHECK(info->width > 0 && info->width <= 32767);
    FUZZ_CHECK(info->height != 0 && info->height >= -32767 && info->height <= 32767);
    FUZZ_CHECK(img::UncompressedBitsSize(*info) <= (256u << 20));
  }

  // A bitmap file made from a resource holds the resource whole, after a
  // file header whose size and offset stay inside the file.
  const std::vector<std::uint8_t> file = img::BitmapFileFromResource(bytes);
  if (!file.empty()) {
    FUZZ_CHECK(file.size() % 4 == 0 && file.size() >= size + 14 && file.size() < size + 14 + 4);
    FUZZ_CHECK(file[0] == 'B' && file[1] == 'M');
    std::uint32_t fileSize = 0, offset = 0;
    std::memcpy(&fileSize, &file[2], 4);
    std::memcpy(&offset, &file[10], 4);
    FUZZ_CHECK(fileSize == size + 14);
    FUZZ_CHECK(offset >= 14 + 12 && offset <= fileSize);
    FUZZ_CHECK(std::memcmp(file.data() + 14, data, size) == 0);
    const auto info = img::ReadBitmapInfo(bytes);
    FUZZ_CHECK(info.has_value());
    FUZZ_CHECK(offset == 14 + info->headerSize + img::ColourTableSize(*info));
  }

  // A stream accepted as an image list is still accepted with bytes added
  // after it, and never when cut inside its header.
  if (img::IsImageListStream(bytes)) {
    FUZZ_CHECK(size >= img::kImageListHeaderSize + 2 * 14);
    std::vector<std::uint8_t> longer(data, data + size);
    longer.push_back(0);
    FUZZ_CHECK(img::IsImageListStream(longer));
    FUZZ_CHECK(!img::IsImageListStream(bytes.first(img::kImageListHeaderSize)));
  }
  return 0;
}
