// SendMessage to a window through the framework procedure to a handler
// method, against a bare window procedure doing the same work, in one run.
#include <windows.h>

#include <cstdio>

#include "bench/bench_util.h"
#include "framework/core/application.h"
#include "framework/window/message_names.h"
#include "framework/window/messages.h"
#include "framework/window/wincontrol.h"

namespace {

long long g_bareCount = 0;

LRESULT CALLBACK BareProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == zv::WM_ZORVAN) return static_cast<LRESULT>(++g_bareCount + static_cast<long long>(w));
  return DefWindowProcA(h, m, w, l);
}

zv::Class* CounterClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TBenchCounter", {zv::TWinControlClass()});
    b.Data("nCount", 0);
    b.Data("nCtlStyle", static_cast<long long>(WS_OVERLAPPED), zv::kProtected);
    zv::AddHandler(b, ZV_SYM("WMZorvan"), +[](zv::Object& self, const zv::WinMsg& m) -> zv::Value {
      const long long count = self.Send(zv::sym::nCount).AsInt() + 1;
      self.Send(zv::sym::set::nCount, count);
      return count + static_cast<long long>(m.wParam);
    });
    return b.Create();
  }();
  return c;
}

}  // namespace

int main() {
  zv::FrameworkStartUp();
  WNDCLASSA wc{};
  wc.lpfnWndProc = &BareProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "BareBench";
  RegisterClassA(&wc);
  HWND bare = CreateWindowA("BareBench", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);

  zv::Value counter = zv::NewObject(CounterClass());
  counter.Send("Create");
  HWND framework = zv::ObjectHwnd(counter);
  if (!bare || !framework) {
    std::printf("window creation failed\n");
    return 1;
  }
  const std::uint64_t n = 200'000;
  const bench::Comparison c = bench::Alternate(
      7, [&] { return bench::NsPerCall(n, [&] { bench::Keep(SendMessageA(bare, zv::WM_ZORVAN, 1, 0)); }); },
      [&] { return bench::NsPerCall(n, [&] { bench::Keep(SendMessageA(framework, zv::WM_ZORVAN, 1, 0)); }); });
  std::printf("SendMessage dispatch (ratio against the bare window procedure), 7 alternating rounds\n\n");
  bench::Report("bare window procedure, counter in a global", "framework procedure -> WMZorvan method, counter in a member",
                c);
  std::printf("  (goal: within 1.3x)\n");
  return 0;
}
