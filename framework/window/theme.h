// The visual-styles functions of uxtheme, looked up when first needed
// (LoadLibrary/GetProcAddress): the framework runs on systems without the
// library, and with styles switched off every control draws its classic
// look. Controls open their theme data through here (SetTheme) and draw
// themed parts only while Active() answers true.
#pragma once

#include <windows.h>
#include <uxtheme.h>

namespace zv::theme {

// The library is loaded with every entry point the framework uses, the
// system has styles on for this program, and the classic look is not forced.
bool Active();

// Forces the classic look (true) or goes back to following the system. Open
// theme handles stay valid; callers check Active() before drawing with them.
void ForceClassic(bool on);
bool ForcedClassic();

// Theme data for a window and a class list (L"BUTTON", L"EDIT;WINDOW"...);
// nullptr when themes are not active or the classes are unknown.
HTHEME Open(HWND hwnd, const wchar_t* classList);
void Close(HTHEME theme);

// Drawing with theme data; each answers false (drawing nothing) without an
// active theme, so the caller draws the classic look instead.
bool DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect, const RECT* clip = nullptr);
bool DrawText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length, DWORD flags,
              const RECT& rect);
bool DrawParentBackground(HWND hwnd, HDC dc, const RECT* rect);
bool PartiallyTransparent(HTHEME theme, int part, int state);
bool ContentRect(HTHEME theme, HDC dc, int part, int state, const RECT& bounds, RECT& content);
bool PartSize(HTHEME theme, HDC dc, int part, int state, SIZE& size);
bool Color(HTHEME theme, int part, int state, int property, COLORREF& colour);

// SetWindowTheme: a window drawn classic by its system class (empty
// strings) or with another sub-application name.
bool SetWindowTheme(HWND hwnd, const wchar_t* subApp, const wchar_t* idList);

}  // namespace zv::theme
