#include "framework/core/environment.h"

#include <ole2.h>

#include "framework/core/cmdline.h"
#include "framework/core/program.h"

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
  std::vector<Value> items;
  // Inside a program run, the arguments are those of the argument vector the
  // run built from its entry point's command line: one split, one source.
  const auto& argv = ProgramParameters().argv;
  if (!argv.empty()) {
    for (std::size_t i = 1; i < argv.size(); ++i) items.emplace_back(argv[i]);
    return Value::List(std::move(items));
  }
  const char* full = GetCommandLineA();
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

namespace {
int g_oleInits = 0;  // successful OleInitialize calls not yet balanced
}  // namespace

bool OLEINITIALIZE() {
  const bool ok = OleInitialize(nullptr) >= 0;
  if (ok) ++g_oleInits;
  return ok;
}
// Balances one successful OLEINITIALIZE; without one it does nothing.
void OLEUNINITIALIZE() {
  if (g_oleInits == 0) return;
  --g_oleInits;
  OleUninitialize();
}

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
