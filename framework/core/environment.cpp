#include "framework/core/environment.h"

#include <ole2.h>

#include "framework/core/cmdline.h"

namespace zv {

Value GETVERSIONEX() {
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&vi)) return Value::List({0.0, 0, 0, ""});
#pragma GCC diagnostic pop
  const double ver = vi.dwMajorVersion + vi.dwMinorVersion * 0.01;
  return Value::List({ver, static_cast<int>(vi.dwBuildNumber & 0xFFFF), static_cast<int>(vi.dwPlatformId),
                      Value(std::string(vi.szCSDVersion))});
}

int GETWINPLATFORM() { return static_cast<int>(GETVERSIONEX().Item(3).AsInt()); }

Value GETCMDLINE() {
  const char* full = GetCommandLineA();
  std::vector<Value> items;
  for (std::string& a : SplitCommandLine(SkipProgramPath(full ? full : ""))) items.emplace_back(std::move(a));
  return Value::List(std::move(items));
}

std::string GETMODULEFILENAME(HINSTANCE instance) {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(instance, buf, MAX_PATH);
  return std::string(buf, n > MAX_PATH ? MAX_PATH : n);
}

std::string GETDECIMALSEPARATOR() {
  char buf[4] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) <= 0) return "";
  return buf[0] ? std::string(1, buf[0]) : std::string();
}

bool OLEINITIALIZE() { return OleInitialize(nullptr) >= 0; }
void OLEUNINITIALIZE() { OleUninitialize(); }

HCURSOR WaitCursor() {
  static HCURSOR c = LoadCursorA(nullptr, IDC_WAIT);
  return c;
}

void CURSORWAIT() { SetCursor(WaitCursor()); }

std::string CurrentDirText() {
  char buf[MAX_PATH + 2] = {};
  DWORD n = GetCurrentDirectoryA(MAX_PATH, buf);
  std::string dir(buf, n > MAX_PATH ? 0 : n);
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  return dir;
}

std::string CurrentDriveText() {
  std::string dir = CurrentDirText();
  return dir.size() >= 2 && dir[1] == ':' ? dir.substr(0, 2) : std::string();
}

}  // namespace zv
