#include "framework/graphics/image_library.h"

#include <string>

namespace zv {
namespace {

// The entry points, by the names of the library's 32-bit build (stdcall:
// a leading underscore and the argument bytes after an "@").
using OpenMemoryFn = void*(WINAPI*)(BYTE* data, DWORD size);
using GetFileTypeFromMemoryFn = int(WINAPI*)(void* stream, int size);
using LoadFromMemoryFn = void*(WINAPI*)(int format, void* stream, int flags);
using GetInfoHeaderFn = BITMAPINFOHEADER*(WINAPI*)(void* bitmap);
using GetInfoFn = BITMAPINFO*(WINAPI*)(void* bitmap);
using GetBitsFn = BYTE*(WINAPI*)(void* bitmap);
using UnloadFn = void(WINAPI*)(void* bitmap);
using CloseMemoryFn = void(WINAPI*)(void* stream);

constexpr int kUnknownFormat = -1;

// An entry point in the form the loaded library exports it: as decorated
// ("_Name@8"), without the leading underscore ("Name@8", as some 32-bit
// linkers write it), or undecorated ("Name": every 64-bit build, where
// there is one calling convention).
FARPROC Entry(HMODULE lib, const char* decorated) {
  if (FARPROC p = GetProcAddress(lib, decorated)) return p;
  std::string name(decorated);
  if (!name.empty() && name[0] == '_') name.erase(0, 1);
  if (FARPROC p = GetProcAddress(lib, name.c_str())) return p;
  if (const auto at = name.rfind('@'); at != std::string::npos) name.erase(at);
  return GetProcAddress(lib, name.c_str());
}

template <typename F>
F As(FARPROC p) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(p));
}

struct Library {
  HMODULE module = nullptr;
  OpenMemoryFn openMemory = nullptr;
  GetFileTypeFromMemoryFn fileType = nullptr;
  LoadFromMemoryFn load = nullptr;
  GetInfoHeaderFn infoHeader = nullptr;
  GetInfoFn info = nullptr;
  GetBitsFn bits = nullptr;
  UnloadFn unload = nullptr;
  CloseMemoryFn closeMemory = nullptr;

  Library() {
    module = LoadLibraryA("FreeImage.dll");
    if (!module) return;
    openMemory = As<OpenMemoryFn>(Entry(module, "_FreeImage_OpenMemory@8"));
    fileType = As<GetFileTypeFromMemoryFn>(Entry(module, "_FreeImage_GetFileTypeFromMemory@8"));
    load = As<LoadFromMemoryFn>(Entry(module, "_FreeImage_LoadFromMemory@12"));
    infoHeader = As<GetInfoHeaderFn>(Entry(module, "_FreeImage_GetInfoHeader@4"));
    info = As<GetInfoFn>(Entry(module, "_FreeImage_GetInfo@4"));
    bits = As<GetBitsFn>(Entry(module, "_FreeImage_GetBits@4"));
    unload = As<UnloadFn>(Entry(module, "_FreeImage_Unload@4"));
    closeMemory = As<CloseMemoryFn>(Entry(module, "_FreeImage_CloseMemory@4"));
  }
  ~Library() {
    if (module) FreeLibrary(module);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  bool Complete() const {
    return module && openMemory && fileType && load && infoHeader && info && bits && unload && closeMemory;
  }
};

}  // namespace

bool ImageLibraryAvailable() { return Library().Complete(); }

HBITMAP DecodeWithImageLibrary(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0 || size > 0x7FFFFFFF) return nullptr;
  Library lib;
  if (!lib.Complete()) return nullptr;
  // The library reads the bytes only; its signature takes them unqualified.
  void* stream = lib.openMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
  if (!stream) return nullptr;
  HBITMAP result = nullptr;
  const int format = lib.fileType(stream, 0);
  if (format != kUnknownFormat) {
    if (void* dib = lib.load(format, stream, 0)) {
      const BITMAPINFOHEADER* header = lib.infoHeader(dib);
      const BITMAPINFO* info = lib.info(dib);
      const BYTE* bits = lib.bits(dib);
      if (header && info && bits && header->biWidth > 0 && header->biHeight != 0) {
        HDC screen = GetDC(nullptr);
        if (screen) {
          result = CreateDIBitmap(screen, header, CBM_INIT, bits, info, DIB_RGB_COLORS);
          ReleaseDC(nullptr, screen);
        }
      }
      lib.unload(dib);
    }
  }
  lib.closeMemory(stream);
  return result;
}

}  // namespace zv
