// Where the image tests find their files: the test images made at build
// time (images/ beside the test program) and the folder of the stand-in for
// the optional image library (imagelib/), which a test puts on the DLL
// search path only while it wants the library found.
#pragma once

#include <windows.h>

#include <string>

namespace zvtest {

inline std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path);
  return s.substr(0, s.find_last_of("\\/") + 1);
}

inline std::string TestImage(const std::string& name) { return ProgramFolder() + "images\\" + name; }

// While alive, "FreeImage.dll" can be loaded (from imagelib/).
class ImageLibraryPresent {
 public:
  ImageLibraryPresent() { SetDllDirectoryA((ProgramFolder() + "imagelib").c_str()); }
  ~ImageLibraryPresent() { SetDllDirectoryA(nullptr); }
  ImageLibraryPresent(const ImageLibraryPresent&) = delete;
  ImageLibraryPresent& operator=(const ImageLibraryPresent&) = delete;
};

}  // namespace zvtest
