// The demonstration program. Until the demo form exists it shows a plain
// window with a few of the framework's localised texts and starts the
// character through the framework's OLE client ("Agent.Control.2"), which
// proves the build, the resources, the automation client, the character
// server and the Wine run end to end.
#include <windows.h>
#include <ole2.h>

#include <string>

#include "framework/core/texts.h"
#include "framework/ole/oleauto.h"
#include "runtime/runtime.h"

namespace {

std::string g_agentState = "Starting the character...";

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
      TextOutA(dc, 10, y + 10, g_agentState.c_str(), static_cast<int>(g_agentState.size()));
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Loads Merlin and greets beside the window. Any failure of the server
// (not registered, character file missing) is shown in the window instead.
zv::Value StartCharacter(HWND hwnd) {
  zv::ErrorHandler previous = zv::SetErrorHandler([](const zv::Value& e) -> zv::Value {
    throw zv::Break(e);
  });
  zv::Value merlin;
  try {
    zv::Value agent = zv::CreateObject("Agent.Control.2");
    agent.Send("_Connected", true);
    agent.Send("Characters").Send("Load", "Merlin", "Merlin.acs");
    merlin = agent.Send("Characters", "Merlin");
    RECT r;
    GetWindowRect(hwnd, &r);
    merlin.Send("MoveTo", static_cast<long long>(r.right + 20), static_cast<long long>(r.top), 0LL);
    merlin.Send("Show");
    merlin.Send("Play", "Greet");
    merlin.Send("Speak", "Welcome to Zorvan!");
    g_agentState = "The character is running (Agent.Control.2).";
  } catch (const zv::Break& b) {
    g_agentState = "The character could not start: " + zv::ErrorSlot(b.value(), zv::ErrorField::Description).ToDisplay();
    merlin = zv::Value();
  }
  zv::SetErrorHandler(previous);
  InvalidateRect(hwnd, nullptr, TRUE);
  return merlin;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  OleInitialize(nullptr);
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
  zv::Value merlin = StartCharacter(hwnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  merlin = zv::Value();
  zv::Collect();
  OleUninitialize();
  return static_cast<int>(msg.wParam);
}
