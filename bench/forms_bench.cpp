// A form's whole life against bare Win32 doing the same, in one run:
// creating a top-level window with 100 child controls (edits, push buttons
// and labels), showing and painting it, and destroying it. The framework
// side is a TForm whose controls are standard controls over the same
// system classes; the bare side calls CreateWindowEx and DestroyWindow.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bench_util.h"
#include "framework/core/application.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/form.h"

#define BENCH_EDIT_MEMBERS(X) \
  X(DATA_P, std::string, cWinClassName, "EDIT") \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | ES_AUTOHSCROLL)) \
  X(DATA_P, int, nExStyle, static_cast<long long>(WS_EX_CLIENTEDGE))
#define BENCH_BUTTON_MEMBERS(X) \
  X(DATA_P, std::string, cWinClassName, "BUTTON") \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON))
#define BENCH_LABEL_MEMBERS(X) \
  X(DATA_P, std::string, cWinClassName, "STATIC") \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT)) \
  X(PROPERTY_P, bool, lTabStop, .dflt = false)

namespace {

constexpr int kControls = 100;

const char* const kSystemClass[] = {"EDIT", "BUTTON", "STATIC"};
const DWORD kSystemStyle[] = {WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL,
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON,
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT};
const DWORD kSystemExStyle[] = {WS_EX_CLIENTEDGE, 0, 0};

zv::Class* ControlClass(int kind) {
  static zv::Class* classes[3] = {
      [] {
        zv::QVClass b("TBenchEdit", {zv::TStdControlClass()});
        ZV_REGISTER_MEMBERS(b, BENCH_EDIT_MEMBERS);
        return b.Create();
      }(),
      [] {
        zv::QVClass b("TBenchButton", {zv::TStdControlClass()});
        ZV_REGISTER_MEMBERS(b, BENCH_BUTTON_MEMBERS);
        return b.Create();
      }(),
      [] {
        zv::QVClass b("TBenchLabel", {zv::TStdControlClass()});
        ZV_REGISTER_MEMBERS(b, BENCH_LABEL_MEMBERS);
        return b.Create();
      }()};
  return classes[kind];
}

void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Where control i goes, and its text: the same on both sides.
RECT Place(int i) {
  const int col = i % 5, row = i / 5;
  return {10 + col * 110, 10 + row * 26, 10 + col * 110 + 100, 10 + row * 26 + 22};
}
std::string TextOf(int i) { return (i % 3 == 1 ? "&" : "") + std::string("Item ") + std::to_string(i); }

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) { return DefWindowProcA(hwnd, msg, w, l); }

void BareCycle() {
  HWND top = CreateWindowExA(WS_EX_CONTROLPARENT, "ZorvanBenchBare", "bare",
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 600, 600, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (int i = 0; i < kControls; ++i) {
    const int kind = i % 3;
    const RECT r = Place(i);
    HWND c = CreateWindowExA(kSystemExStyle[kind], kSystemClass[kind], TextOf(i).c_str(), kSystemStyle[kind], r.left,
                             r.top, r.right - r.left, r.bottom - r.top, top,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), GetModuleHandleA(nullptr),
                             nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  ShowWindow(top, SW_SHOWNORMAL);
  UpdateWindow(top);
  DestroyWindow(top);
  Drain();
}

void FrameworkCycle() {
  zv::Value form = zv::NewObject(zv::TFormClass(), zv::Application());
  zv::TFormRef f(form);
  f.SetBounds(40, 40, 600, 600);
  f.cText("framework");
  f.Create();
  for (int i = 0; i < kControls; ++i) {
    zv::Value c = zv::NewObject(ControlClass(i % 3), form);
    zv::TStdControlRef v(c);
    const RECT r = Place(i);
    v.SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    v.cText(TextOf(i));
    v.Create();
  }
  f.Show();
  UpdateWindow(f.hwnd());
  f.Close(true);
  Drain();
  zv::RunIdleWork();
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  zv::FrameworkStartUp();
  WNDCLASSA wc{};
  wc.lpfnWndProc = BareProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "ZorvanBenchBare";
  RegisterClassA(&wc);
  BareCycle();  // first use: classes, fonts and caches on both sides
  FrameworkCycle();
  zv::Collect();

  const bench::Comparison c = bench::Alternate(
      9, [] { return bench::NsPerCall(3, &BareCycle); },
      [] {
        const double ns = bench::NsPerCall(3, &FrameworkCycle);
        zv::Collect();
        return ns;
      });
  std::printf("A top-level window with %d child controls (edits, buttons, labels) created, shown, painted\n"
              "and destroyed, 9 alternating rounds (best of 5 x 3 cycles each)\n\n",
              kControls);
  bench::Report("bare: CreateWindowEx x 101, ShowWindow, DestroyWindow", "framework: TForm + 100 controls, Show, Close",
                c);
  std::printf("\ngoal: within 1.5x\n");
  return 0;
}
