// One iteration of the message loop (post, peek, dispatch to a window):
// through the framework's form loop to a handler method, and through a bare
// Win32 loop to a bare window procedure, in one run. Each handled message
// posts the next, so the queue never empties and no idle work runs.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "bench/bench_util.h"
#include "framework/core/application.h"
#include "framework/core/loop.h"
#include "framework/window/message_names.h"
#include "framework/window/wincontrol.h"

namespace {

long long g_left = 0;
bool g_bareRunning = false;

LRESULT CALLBACK BareProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == zv::WM_ZORVAN) {
    if (--g_left > 0) PostMessageA(h, zv::WM_ZORVAN, 0, 0);
    else g_bareRunning = false;
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

zv::Class* ChainClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TBenchChain", {zv::TWinControlClass()});
    b.Data("nCtlStyle", static_cast<long long>(WS_OVERLAPPED), zv::kProtected);
    b.Method("WMZorvan", [](zv::Object&, zv::Args a) -> zv::Value {
      if (--g_left > 0) PostMessageA(zv::ValueHwnd(a.Get(2)), zv::WM_ZORVAN, 0, 0);
      else zv::APPRUNNING(false);
      return 0;
    });
    return b.Create();
  }();
  return c;
}

double BareLoop(HWND h, long long n) {
  g_left = n;
  g_bareRunning = true;
  auto t0 = std::chrono::steady_clock::now();
  PostMessageA(h, zv::WM_ZORVAN, 0, 0);
  MSG msg;
  while (g_bareRunning) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else {
      WaitMessage();
    }
  }
  auto t1 = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::nano>(t1 - t0).count() / static_cast<double>(n);
}

double FrameworkLoop(const zv::Value& form, long long n) {
  g_left = n;
  auto t0 = std::chrono::steady_clock::now();
  PostMessageA(zv::ObjectHwnd(form), zv::WM_ZORVAN, 0, 0);
  zv::RUNFORM(form);
  auto t1 = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::nano>(t1 - t0).count() / static_cast<double>(n);
}

}  // namespace

int main() {
  zv::FrameworkStartUp();
  WNDCLASSA wc{};
  wc.lpfnWndProc = &BareProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "BareLoopBench";
  RegisterClassA(&wc);
  HWND bare = CreateWindowA("BareLoopBench", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  zv::Value form = zv::NewObject(ChainClass());
  form.Send("Create");
  const long long n = 100'000;
  const bench::Comparison c =
      bench::Alternate(7, [&] { return BareLoop(bare, n); }, [&] { return FrameworkLoop(form, n); });
  std::printf("Message loop iteration: post, peek, dispatch (ratio against the bare loop), 7 alternating rounds\n\n");
  bench::Report("bare Win32 loop -> bare window procedure", "framework form loop -> handler method", c);
  std::printf("  (goal: within 1.3x)\n");
  return 0;
}
