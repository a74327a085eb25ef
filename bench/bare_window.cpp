// The baseline of bench_demo_start: a bare Win32 program that opens one
// window of the demo form's size at the same place and runs a message loop.
#include <windows.h>

namespace {
LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA c{};
  c.lpfnWndProc = Proc;
  c.hInstance = instance;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  c.lpszClassName = "ZorvanBareWindow";
  RegisterClassA(&c);
  HWND h = CreateWindowA("ZorvanBareWindow", "Zorvan bare window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 435, 263,
                         450, 300, nullptr, nullptr, instance, nullptr);
  ShowWindow(h, show);
  UpdateWindow(h);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
