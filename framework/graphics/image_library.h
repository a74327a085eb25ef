// The optional image library: when the system picture loader refuses an
// image, "FreeImage.dll" may decode it, if it can be loaded with every entry
// point needed. The library is loaded for one decoding and unloaded after.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace zv {

// The image in `data` decoded by the library into a new screen bitmap (the
// caller's); 0 when the library is missing, lacks an entry point, or cannot
// decode the data.
HBITMAP DecodeWithImageLibrary(const std::uint8_t* data, std::size_t size);

// Whether the library can be loaded with all its entry points.
bool ImageLibraryAvailable();

}  // namespace zv
