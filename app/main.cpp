// The demonstration program. Until the demo form exists it shows a plain
// window with a few of the framework's localised texts, which proves the
// build, the resources and the Wine run end to end.
#include <windows.h>

#include <string>

#include "framework/core/texts.h"

namespace {

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      int y = 10;
      const unsigned ids[] = {32769, 32796, 32856, 32865, 32866};
      for (unsigned id : ids) {
        std::string line = std::to_string(id) + "  " + zv::LT(id, {"1", "2"});
        TextOutA(dc, 10, y, line.c_str(), static_cast<int>(line.size()));
        y += 20;
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "ZorvanDemo";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("ZorvanDemo", "Zorvan", WS_OVERLAPPEDWINDOW, 100, 100, 420, 200,
                            nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
