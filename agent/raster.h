// Images of the server's windows and the GDI surface they are drawn on.
//
// GDI draws without anti-aliasing and without alpha. Figures and balloons
// are therefore drawn at three times their size on a background of a key
// colour that is never drawn, and reduced: each final pixel averages its
// 3x3 block, the key counting as transparent. The result is a premultiplied
// 32-bit image with smooth edges, ready for UpdateLayeredWindow.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace agent {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // premultiplied 0xAARRGGBB, top row first
  bool empty() const { return width <= 0 || height <= 0; }
};

inline constexpr COLORREF kKeyColour = RGB(255, 0, 255);

// Blends a premultiplied image, faded to `opacity` (0..1), over an opaque
// backdrop of the same size; the result is opaque.
void ComposeOver(const Image& image, const std::uint32_t* backdrop, double opacity, std::uint32_t* out);
inline constexpr int kSuperSample = 3;

class SuperCanvas {
 public:
  // A surface for an image of width x height pixels (drawn at kSuperSample
  // times that size).
  SuperCanvas(int width, int height);
  ~SuperCanvas();
  SuperCanvas(const SuperCanvas&) = delete;
  SuperCanvas& operator=(const SuperCanvas&) = delete;

  bool ok() const { return bits_ != nullptr; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Reduces the surface to the final image.
  Image Reduce() const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// A 32-bit top-down DIB section selected into a memory DC (the source of
// UpdateLayeredWindow).
class DibSurface {
 public:
  DibSurface() = default;
  ~DibSurface();
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  // Makes the surface at least width x height; false when GDI fails.
  bool Ensure(int width, int height);
  HDC dc() const { return dc_; }
  std::uint32_t* bits() const { return bits_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  void Free();
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace agent
