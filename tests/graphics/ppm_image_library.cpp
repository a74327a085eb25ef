// A stand-in for the optional image library, for the tests: a DLL named
// FreeImage.dll exporting the entry points the framework looks up, which
// decodes one format the system picture loader refuses, binary PPM (P6,
// maximum value 255), into a bottom-up 24-bit device-independent bitmap.
// Every other input is an unknown format.
#include <windows.h>

#include <cctype>
#include <cstring>
#include <new>
#include <vector>

namespace {

struct Memory {
  const BYTE* data;
  DWORD size;
};

struct Dib {
  BITMAPINFO info{};
  std::vector<BYTE> bits;
};

constexpr int kFormatPpmRaw = 11;  // the library's number for binary PPM

// The next header number of a PPM (after white space and comments); -1 when
// there is none.
long Number(const Memory& m, DWORD& at) {
  for (;;) {
    while (at < m.size && std::isspace(m.data[at])) ++at;
    if (at < m.size && m.data[at] == '#') {
      while (at < m.size && m.data[at] != '\n') ++at;
      continue;
    }
    break;
  }
  long n = 0;
  DWORD digits = 0;
  while (at < m.size && std::isdigit(m.data[at]) && digits < 6) n = n * 10 + (m.data[at++] - '0'), ++digits;
  return digits ? n : -1;
}

}  // namespace

extern "C" {

__declspec(dllexport) void* WINAPI FreeImage_OpenMemory(BYTE* data, DWORD size) {
  return new (std::nothrow) Memory{data, size};
}

__declspec(dllexport) void WINAPI FreeImage_CloseMemory(void* stream) { delete static_cast<Memory*>(stream); }

__declspec(dllexport) int WINAPI FreeImage_GetFileTypeFromMemory(void* stream, int) {
  const auto* m = static_cast<Memory*>(stream);
  return m && m->size >= 2 && m->data[0] == 'P' && m->data[1] == '6' ? kFormatPpmRaw : -1;
}

__declspec(dllexport) void* WINAPI FreeImage_LoadFromMemory(int format, void* stream, int) {
  const auto* m = static_cast<Memory*>(stream);
  if (format != kFormatPpmRaw || !m) return nullptr;
  DWORD at = 2;
  const long w = Number(*m, at), h = Number(*m, at), max = Number(*m, at);
  if (w <= 0 || h <= 0 || w > 4096 || h > 4096 || max != 255 || at >= m->size) return nullptr;
  ++at;  // the one white-space byte before the samples
  const DWORD need = static_cast<DWORD>(w * h * 3);
  if (m->size - at < need) return nullptr;
  auto* dib = new (std::nothrow) Dib;
  if (!dib) return nullptr;
  BITMAPINFOHEADER& bh = dib->info.bmiHeader;
  bh.biSize = sizeof bh;
  bh.biWidth = w;
  bh.biHeight = h;
  bh.biPlanes = 1;
  bh.biBitCount = 24;
  const long stride = (w * 3 + 3) & ~3L;
  dib->bits.assign(static_cast<size_t>(stride * h), 0);
  for (long y = 0; y < h; ++y) {
    BYTE* row = dib->bits.data() + (h - 1 - y) * stride;  // bottom-up
    const BYTE* src = m->data + at + y * w * 3;
    for (long x = 0; x < w; ++x) {
      row[x * 3 + 0] = src[x * 3 + 2];
      row[x * 3 + 1] = src[x * 3 + 1];
      row[x * 3 + 2] = src[x * 3 + 0];
    }
  }
  return dib;
}

__declspec(dllexport) BITMAPINFOHEADER* WINAPI FreeImage_GetInfoHeader(void* bitmap) {
  return bitmap ? &static_cast<Dib*>(bitmap)->info.bmiHeader : nullptr;
}

__declspec(dllexport) BITMAPINFO* WINAPI FreeImage_GetInfo(void* bitmap) {
  return bitmap ? &static_cast<Dib*>(bitmap)->info : nullptr;
}

__declspec(dllexport) BYTE* WINAPI FreeImage_GetBits(void* bitmap) {
  return bitmap ? static_cast<Dib*>(bitmap)->bits.data() : nullptr;
}

__declspec(dllexport) void WINAPI FreeImage_Unload(void* bitmap) { delete static_cast<Dib*>(bitmap); }

}  // extern "C"
