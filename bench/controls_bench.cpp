// The control base against bare Win32 doing the same work, in one run:
//   1. a shown parent with 500 children, half anchored and half aligned,
//      re-laid out on a resize through AlignControls, against a bare parent
//      whose WM_SIZE does the same rectangle arithmetic with DeferWindowPos;
//   2. a full repaint through the double-buffered paint frame with an
//      OnPaint handler drawing 100 text lines, against a bare window
//      procedure doing the same double-buffered drawing;
//   3. a repaint of a bitmap button (classic look: push-button frame and
//      centred caption) against a bare owner-drawn "BUTTON" whose parent
//      draws the same frame and caption, double-buffered, on WM_DRAWITEM.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench/bench_util.h"
#include "framework/core/application.h"
#include "framework/controls/btnbmp.h"
#include "framework/core/members.h"
#include "framework/window/theme.h"
#include "framework/window/wincontrol.h"

namespace {

constexpr int kChildren = 500;
constexpr int kLines = 100;

// ---------------------------------------------------------------- layout

// The layout every child gets, the same on both sides: even children are
// anchored (left+top+right, left+right+bottom, all four, or centred),
// odd ones aligned to the top, left, bottom or right in turn.
struct Placement {
  int align = 0;
  int anchors = 3;
  RECT rect{};
};

Placement ChildPlacement(int i) {
  Placement s;
  const int slot = i / 2;
  if (i % 2 == 0) {
    static const int kAnchors[] = {7, 13, 15, 0};
    s.anchors = kAnchors[slot % 4];
    const int x = 200 + (slot % 20) * 10, y = 150 + (slot / 20) * 10;
    s.rect = {x, y, x + 30, y + 20};
  } else {
    s.align = 1 + slot % 4;  // alLEFT, alTOP, alRIGHT, alBOTTOM
    s.rect = {0, 0, 1, 1};
  }
  return s;
}

// The bare side: the children's recorded distances and the same arithmetic.
struct BareChild {
  HWND hwnd;
  Placement place;
  int left, top, right, bottom, width, height;  // distances and size
};
std::vector<BareChild> g_bare;

void BareLayout(HWND parent, int cw, int ch) {
  long long wl = 0, wt = 0, wr = cw, wb = ch;
  HDWP dwp = BeginDeferWindowPos(static_cast<int>(g_bare.size()));
  for (BareChild& c : g_bare) {
    long long x = 0, y = 0, w = c.width, h = c.height;
    switch (c.place.align) {
      case 0: {
        x = c.left;
        y = c.top;
        const int a = c.place.anchors;
        if ((a & 4) && (a & 1)) w = cw - c.right - x - 1;
        else if (a & 4) x = cw - c.right - w - 1;
        else if (!(a & 1)) x += (cw - c.left - c.right - w - 1) >> 1;
        if ((a & 8) && (a & 2)) h = ch - c.bottom - y - 1;
        else if (a & 8) y = ch - c.bottom - h - 1;
        else if (!(a & 2)) y += (ch - c.top - c.bottom - h - 1) >> 1;
        break;
      }
      case 1: x = wl, y = wt, h = wb - wt, wl += w; break;
      case 2: x = wl, y = wt, w = wr - wl, wt += h; break;
      case 3: y = wt, x = wr - w, h = wb - wt, wr = x; break;
      default: x = wl, y = wb - h, w = wr - wl, wb = y; break;
    }
    RECT r{};
    GetWindowRect(c.hwnd, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const bool moved = r.left != x || r.top != y, sized = r.right - r.left != w || r.bottom - r.top != h;
    if (!moved && !sized) continue;
    c.width = static_cast<int>(w);
    c.height = static_cast<int>(h);
    dwp = DeferWindowPos(dwp, c.hwnd, nullptr, static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                         static_cast<int>(h), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  EndDeferWindowPos(dwp);
}

LRESULT CALLBACK BareParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SIZE) {
    BareLayout(h, LOWORD(l), HIWORD(l));
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK BareChildProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(h, &r);
    FillRect(reinterpret_cast<HDC>(w), &r, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return DefWindowProcA(h, m, w, l);
}

HWND MakeBareParent() {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = &BareParentProc;
  wc.hInstance = inst;
  wc.lpszClassName = "BareLayoutParent";
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClassA(&wc);
  wc.lpfnWndProc = &BareChildProc;
  wc.lpszClassName = "BareLayoutChild";
  wc.hbrBackground = nullptr;
  RegisterClassA(&wc);
  HWND parent = CreateWindowA("BareLayoutParent", "bare", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 800,
                              600, nullptr, nullptr, inst, nullptr);
  RECT c;
  GetClientRect(parent, &c);
  for (int i = 0; i < kChildren; ++i) {
    const Placement s = ChildPlacement(i);
    HWND child = CreateWindowA("BareLayoutChild", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, s.rect.left, s.rect.top,
                               s.rect.right - s.rect.left, s.rect.bottom - s.rect.top, parent, nullptr, inst, nullptr);
    const int w = s.rect.right - s.rect.left, h = s.rect.bottom - s.rect.top;
    g_bare.push_back({child, s, s.rect.left, s.rect.top, c.right - s.rect.left - w - 1, c.bottom - s.rect.top - h - 1,
                      w, h});
  }
  return parent;
}

zv::Class* BenchFormClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TBenchLayoutForm", {zv::TWinControlClass()});
    b.Data(zv::sym::nCtlStyle.name(), static_cast<long long>(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN), zv::kProtected);
    return b.Create();
  }();
  return c;
}

zv::Value MakeFrameworkParent() {
  zv::Value form = zv::NewObject(BenchFormClass());
  zv::TWinControlRef f(form);
  f.SetBounds(0, 0, 800, 600);
  f.cText("framework");
  f.Create();
  for (int i = 0; i < kChildren; ++i) {
    const Placement s = ChildPlacement(i);
    zv::Value child = zv::NewObject(zv::TWinControlClass(), form);
    zv::TWinControlRef c(child);
    c.SetBounds(s.rect.left, s.rect.top, s.rect.right - s.rect.left, s.rect.bottom - s.rect.top);
    c.nAnchors(s.anchors);
    c.nAlign(s.align);
    c.Create();
  }
  ShowWindow(f.hwnd(), SW_SHOW);
  return form;
}

// One resize of a parent and the painting it causes, alternating between
// two sizes so that every call changes the layout (the window's current
// size decides the next one).
double ResizeNs(HWND parent, int rounds) {
  return bench::NsPerCall(static_cast<std::uint64_t>(rounds), [parent] {
    RECT r{};
    GetWindowRect(parent, &r);
    const bool flip = r.right - r.left == 800;
    SetWindowPos(parent, nullptr, 0, 0, flip ? 840 : 800, flip ? 630 : 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(parent, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  });
}

// ---------------------------------------------------------------- painting

void DrawLines(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < kLines; ++i) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "Line %d of the text the control paints", i + 1);
    TextOutA(dc, 4, 2 + i * 6, text, n);
  }
}

LRESULT CALLBACK BarePaintProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_ERASEBKGND) return 1;
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, ps.rcPaint.right, ps.rcPaint.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    FillRect(mem, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    DrawLines(mem);
    BitBlt(dc, 0, 0, ps.rcPaint.right, ps.rcPaint.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

zv::Value PaintLines(zv::Args a) {
  DrawLines(zv::ValueHandle<HDC>(a.Get(1)));
  return {};
}

double RepaintNs(HWND hwnd, int rounds) {
  return bench::NsPerCall(static_cast<std::uint64_t>(rounds), [hwnd] {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  });
}

// ---------------------------------------------------------------- bitmap button

// The parent of the bare owner-drawn button: the classic push-button frame
// and the centred caption into a memory bitmap, one blit.
LRESULT CALLBACK OwnerDrawParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DRAWITEM) {
    const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
    const RECT all = di->rcItem;
    HDC mem = CreateCompatibleDC(di->hDC);
    HBITMAP bmp = CreateCompatibleBitmap(di->hDC, all.right, all.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT rc = all;
    const bool pressed = di->itemState & ODS_SELECTED;
    DrawFrameControl(mem, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
    InflateRect(&rc, -3, -3);
    HGDIOBJ oldFont = SelectObject(mem, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(mem, TRANSPARENT);
    char text[32];
    const int n = GetWindowTextA(di->hwndItem, text, sizeof text);
    DrawTextA(mem, text, n, &rc, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CENTER | DT_VCENTER);
    SelectObject(mem, oldFont);
    BitBlt(di->hDC, 0, 0, all.right, all.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return TRUE;
  }
  return DefWindowProcA(h, m, w, l);
}

double ButtonRepaintNs(HWND button, int rounds) {
  return bench::NsPerCall(static_cast<std::uint64_t>(rounds), [button] {
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  });
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  zv::FrameworkStartUp();

  HWND bareParent = MakeBareParent();
  zv::Value form = MakeFrameworkParent();
  HWND frameworkParent = zv::ObjectHwnd(form);
  if (!bareParent || !frameworkParent) {
    std::printf("window creation failed\n");
    return 1;
  }
  const bench::Comparison layout =
      bench::Alternate(5, [&] { return ResizeNs(bareParent, 1); }, [&] { return ResizeNs(frameworkParent, 1); });
  // Under Wine a resize of 500 shown windows takes about a second on each
  // side, so the rounds are few.
  std::printf("Re-layout of %d children (half anchored, half aligned) on a resize, with its painting,\n"
              "5 alternating rounds\n\n",
              kChildren);
  bench::Report("bare parent: WM_SIZE arithmetic + DeferWindowPos", "framework: WMSize -> AlignControls", layout);
  std::printf("  (goal: within 1.3x)\n\n");
  DestroyWindow(bareParent);
  zv::TWinControlRef(form).Destroy(true);

  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = &BarePaintProc;
  wc.hInstance = inst;
  wc.lpszClassName = "BarePaint";
  RegisterClassA(&wc);
  HWND barePaint = CreateWindowA("BarePaint", "bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 660, nullptr, nullptr,
                                 inst, nullptr);
  zv::Value painter = zv::NewObject(BenchFormClass());
  zv::TWinControlRef p(painter);
  p.SetBounds(420, 0, 400, 660);
  p.Create();
  p.OnPaint().Bind(zv::Value::Callable(&PaintLines));
  ShowWindow(p.hwnd(), SW_SHOW);
  const bench::Comparison paint =
      bench::Alternate(7, [&] { return RepaintNs(barePaint, 200); }, [&] { return RepaintNs(p.hwnd(), 200); });
  std::printf("Full repaint, double-buffered, %d text lines, 7 alternating rounds\n\n", kLines);
  bench::Report("bare window procedure: memory DC + bitmap + blit", "framework: paint frame -> OnPaint handler", paint);
  std::printf("  (goal: within 1.2x)\n");
  DestroyWindow(barePaint);
  p.Destroy(true);

  zv::theme::ForceClassic(true);  // the same drawing on both sides
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA pc{};
  pc.lpfnWndProc = &OwnerDrawParentProc;
  pc.hInstance = instance;
  pc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  pc.lpszClassName = "OwnerDrawParent";
  RegisterClassA(&pc);
  HWND bareHost = CreateWindowA("OwnerDrawParent", "bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, instance, nullptr);
  HWND bareButton = CreateWindowA("BUTTON", "Speak", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 90, 25, bareHost,
                                  nullptr, instance, nullptr);
  SendMessageA(bareButton, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  zv::Value host = zv::NewObject(BenchFormClass());
  zv::TWinControlRef hv(host);
  hv.SetBounds(220, 0, 200, 100);
  hv.Create();
  ShowWindow(hv.hwnd(), SW_SHOW);
  zv::Value button = zv::NewObject(zv::TBtnBmpClass(), host);
  zv::TBtnBmpRef bv(button);
  bv.SetBounds(10, 10, 90, 25);
  bv.cText("Speak");
  bv.Create();
  ShowWindow(bv.hwnd(), SW_SHOW);
  const bench::Comparison repaint =
      bench::Alternate(7, [&] { return ButtonRepaintNs(bareButton, 500); }, [&] { return ButtonRepaintNs(bv.hwnd(), 500); });
  std::printf("\nButton repaint (classic frame and caption, double-buffered), 7 alternating rounds\n\n");
  bench::Report("bare owner-drawn BUTTON: WM_DRAWITEM in the parent", "framework: TBtnBmp WMPaint", repaint);
  std::printf("  (goal: within 1.3x)\n");
  DestroyWindow(bareHost);
  hv.Destroy(true);
  return 0;
}
