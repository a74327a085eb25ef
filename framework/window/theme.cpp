#include "framework/window/theme.h"

namespace zv::theme {
namespace {

// The entry points, resolved once; any one missing leaves the whole table
// unusable (a partial table would draw half themed, half classic).
struct Api {
  decltype(&::OpenThemeData) open = nullptr;
  decltype(&::CloseThemeData) close = nullptr;
  decltype(&::DrawThemeBackground) background = nullptr;
  decltype(&::DrawThemeText) text = nullptr;
  decltype(&::DrawThemeParentBackground) parentBackground = nullptr;
  decltype(&::IsThemeBackgroundPartiallyTransparent) partiallyTransparent = nullptr;
  decltype(&::GetThemeBackgroundContentRect) contentRect = nullptr;
  decltype(&::GetThemePartSize) partSize = nullptr;
  decltype(&::GetThemeColor) color = nullptr;
  decltype(&::IsThemeActive) isActive = nullptr;
  decltype(&::IsAppThemed) isAppThemed = nullptr;
  decltype(&::SetWindowTheme) setWindowTheme = nullptr;
  bool complete = false;
};

template <typename F>
void Resolve(HMODULE lib, F& slot, const char* name, bool& complete) {
  slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
  if (!slot) complete = false;
}

const Api& Functions() {
  static const Api api = [] {
    Api a;
    HMODULE lib = LoadLibraryA("uxtheme.dll");
    if (!lib) return a;
    bool complete = true;
    Resolve(lib, a.open, "OpenThemeData", complete);
    Resolve(lib, a.close, "CloseThemeData", complete);
    Resolve(lib, a.background, "DrawThemeBackground", complete);
    Resolve(lib, a.text, "DrawThemeText", complete);
    Resolve(lib, a.parentBackground, "DrawThemeParentBackground", complete);
    Resolve(lib, a.partiallyTransparent, "IsThemeBackgroundPartiallyTransparent", complete);
    Resolve(lib, a.contentRect, "GetThemeBackgroundContentRect", complete);
    Resolve(lib, a.partSize, "GetThemePartSize", complete);
    Resolve(lib, a.color, "GetThemeColor", complete);
    Resolve(lib, a.isActive, "IsThemeActive", complete);
    Resolve(lib, a.isAppThemed, "IsAppThemed", complete);
    Resolve(lib, a.setWindowTheme, "SetWindowTheme", complete);
    a.complete = complete;
    return a;
  }();
  return api;
}

bool g_forcedClassic = false;

}  // namespace

bool Active() {
  if (g_forcedClassic) return false;
  const Api& a = Functions();
  return a.complete && a.isActive() && a.isAppThemed();
}

void ForceClassic(bool on) { g_forcedClassic = on; }
bool ForcedClassic() { return g_forcedClassic; }

HTHEME Open(HWND hwnd, const wchar_t* classList) {
  if (!classList || !*classList || !Active()) return nullptr;
  return Functions().open(hwnd, classList);
}

void Close(HTHEME theme) {
  if (theme && Functions().complete) Functions().close(theme);
}

bool DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect, const RECT* clip) {
  return theme && dc && Active() && SUCCEEDED(Functions().background(theme, dc, part, state, &rect, clip));
}

bool DrawText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length, DWORD flags,
              const RECT& rect) {
  return theme && dc && text && Active() &&
         SUCCEEDED(Functions().text(theme, dc, part, state, text, length, flags, 0, &rect));
}

bool DrawParentBackground(HWND hwnd, HDC dc, const RECT* rect) {
  return hwnd && dc && Active() && SUCCEEDED(Functions().parentBackground(hwnd, dc, const_cast<RECT*>(rect)));
}

bool PartiallyTransparent(HTHEME theme, int part, int state) {
  return theme && Active() && Functions().partiallyTransparent(theme, part, state);
}

bool ContentRect(HTHEME theme, HDC dc, int part, int state, const RECT& bounds, RECT& content) {
  return theme && Active() && SUCCEEDED(Functions().contentRect(theme, dc, part, state, &bounds, &content));
}

bool PartSize(HTHEME theme, HDC dc, int part, int state, SIZE& size) {
  return theme && Active() && SUCCEEDED(Functions().partSize(theme, dc, part, state, nullptr, TS_TRUE, &size));
}

bool Color(HTHEME theme, int part, int state, int property, COLORREF& colour) {
  return theme && Active() && SUCCEEDED(Functions().color(theme, part, state, property, &colour));
}

bool SetWindowTheme(HWND hwnd, const wchar_t* subApp, const wchar_t* idList) {
  return hwnd && Functions().complete && SUCCEEDED(Functions().setWindowTheme(hwnd, subApp, idList));
}

}  // namespace zv::theme
