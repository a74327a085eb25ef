// A 32-bit top-down bitmap in a memory context, for tests that read drawn
// pixels back.
#pragma once

#include <windows.h>

#include <algorithm>

#include "framework/window/winobject.h"

namespace zvtest {

// A white bitmap (200 x 100 unless told) in a memory context, read back
// pixel by pixel.
class Surface {
 public:
  explicit Surface(int w = kW, int h = kH) : w_(w), h_(h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
    Clear();
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  void Clear() {
    Fill(RGB(255, 255, 255));
  }
  void Fill(COLORREF c) {
    GdiFlush();
    const unsigned p = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
    for (int i = 0; i < w_ * h_; ++i) bits_[i] = p;
  }
  // COLORREF of a pixel.
  COLORREF At(int x, int y) const {
    GdiFlush();
    const unsigned p = bits_[y * w_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Bounding box of the pixels that are not white; {-1,...} when none.
  RECT Inked() const {
    GdiFlush();
    RECT r{w_, h_, -1, -1};
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if ((bits_[y * w_ + x] & 0xFFFFFF) != 0xFFFFFF) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x);
          r.bottom = std::max<LONG>(r.bottom, y);
        }
    return r;
  }
  zv::Value Handle() const { return zv::HandleValue(dc_); }
  HDC dc() const { return dc_; }
  static constexpr int kW = 200, kH = 100;

 private:
  int w_, h_;
  HDC dc_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
  unsigned* bits_ = nullptr;
};

}  // namespace zvtest
