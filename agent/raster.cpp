#include "raster.h"

namespace agent {
namespace {

HBITMAP CreateDib(HDC reference, int width, int height, std::uint32_t** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* p = nullptr;
  HBITMAP bmp = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = bmp ? static_cast<std::uint32_t*>(p) : nullptr;
  return bmp;
}

}  // namespace

void ComposeOver(const Image& image, const std::uint32_t* backdrop, double opacity, std::uint32_t* out) {
  const unsigned o = static_cast<unsigned>(opacity <= 0 ? 0 : opacity >= 1 ? 256 : opacity * 256 + 0.5);
  const std::size_t n = image.pixels.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t p = image.pixels[i], b = backdrop[i];
    const unsigned keep = 255 - ((p >> 24) * o >> 8);  // what shows through
    auto ch = [&](int sh) {
      unsigned v = (((p >> sh) & 0xFF) * o >> 8) + (((b >> sh) & 0xFF) * keep + 127) / 255;
      return v > 255 ? 255u : v;
    };
    out[i] = 0xFF000000u | (ch(16) << 16) | (ch(8) << 8) | ch(0);
  }
}

SuperCanvas::SuperCanvas(int width, int height) : width_(width), height_(height) {
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return;
  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) return;
  bitmap_ = CreateDib(dc_, width * kSuperSample, height * kSuperSample, &bits_);
  if (!bitmap_) return;
  oldBitmap_ = SelectObject(dc_, bitmap_);
  RECT all{0, 0, width * kSuperSample, height * kSuperSample};
  HBRUSH key = CreateSolidBrush(kKeyColour);
  FillRect(dc_, &all, key);
  DeleteObject(key);
  SetBkMode(dc_, TRANSPARENT);
  SetPolyFillMode(dc_, WINDING);
}

SuperCanvas::~SuperCanvas() {
  if (oldBitmap_) SelectObject(dc_, oldBitmap_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

Image SuperCanvas::Reduce() const {
  Image img;
  if (!bits_) return img;
  GdiFlush();
  img.width = width_;
  img.height = height_;
  img.pixels.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
  const int stride = width_ * kSuperSample;
  constexpr std::uint32_t key = 0xFF00FF;
  constexpr unsigned samples = kSuperSample * kSuperSample;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      unsigned r = 0, g = 0, b = 0, n = 0;
      for (int sy = 0; sy < kSuperSample; ++sy) {
        const std::uint32_t* row = bits_ + static_cast<std::size_t>(y * kSuperSample + sy) * stride + x * kSuperSample;
        for (int sx = 0; sx < kSuperSample; ++sx) {
          std::uint32_t p = row[sx] & 0xFFFFFF;
          if (p == key) continue;
          r += (p >> 16) & 0xFF;
          g += (p >> 8) & 0xFF;
          b += p & 0xFF;
          ++n;
        }
      }
      if (n == 0) continue;
      // Premultiplied: the colour sum over all samples, the transparent ones
      // contributing black.
      std::uint32_t a = (n * 255 + samples / 2) / samples;
      img.pixels[static_cast<std::size_t>(y) * width_ + x] =
          (a << 24) | (((r + samples / 2) / samples) << 16) | (((g + samples / 2) / samples) << 8) |
          ((b + samples / 2) / samples);
    }
  }
  return img;
}

DibSurface::~DibSurface() { Free(); }

void DibSurface::Free() {
  if (oldBitmap_) SelectObject(dc_, oldBitmap_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  oldBitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

bool DibSurface::Ensure(int width, int height) {
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return false;
  if (bits_ && width == width_ && height == height_) return true;
  Free();
  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) return false;
  bitmap_ = CreateDib(dc_, width, height, &bits_);
  if (!bitmap_) {
    Free();
    return false;
  }
  oldBitmap_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
  return true;
}

}  // namespace agent
