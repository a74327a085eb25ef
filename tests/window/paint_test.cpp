// The paint frame of controls: double-buffered painting, the OnPaint and
// OnPainted hooks, transparency through the parent, the system-class paths,
// border styles, owner-drawn items and theme data.
#include <gtest/gtest.h>

#include <windows.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <vector>

#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/paint_frame.h"
#include "framework/window/theme.h"
#include "framework/window/wincontrol.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
using Paint = zvtest::FormTest;

// A memory context over a bitmap, filled with one colour.
struct MemoryDC {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  MemoryDC(int w, int h, COLORREF fill) {
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bitmap);
    RECT r{0, 0, w, h};
    HBRUSH b = CreateSolidBrush(fill);
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
  ~MemoryDC() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
};

Value MakePanel(const Value& parent, int x, int y, int w, int h, COLORREF pane) {
  Value panel = zv::NewObject(zvtest::TestPanelClass(), parent);
  zv::TWinControlRef p(panel);
  p.SetBounds(x, y, w, h);
  p.Create();
  p.SetColor(static_cast<long long>(RGB(0, 0, 0)), static_cast<long long>(pane));
  return panel;
}

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
  RECT rc{l, t, r, b};
  HBRUSH brush = CreateSolidBrush(c);
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
}

// What the handlers saw.
struct Seen {
  int paints = 0;
  int painted = 0;
  std::vector<HDC> contexts;
  std::vector<HGDIOBJ> bitmaps;
  Value answer;  // OnPaint's answer
  bool destroy = false;
  bool raise = false;
} g_seen;

Value OnPaintRecorder(zv::Args a) {
  ++g_seen.paints;
  HDC dc = zv::ValueHandle<HDC>(a.Get(1));
  g_seen.contexts.push_back(dc);
  g_seen.bitmaps.push_back(GetCurrentObject(dc, OBJ_BITMAP));
  Fill(dc, 0, 0, 10, 10, RGB(200, 0, 0));
  if (g_seen.raise) throw zv::Break(Value("paint failed"));
  if (g_seen.destroy) a.Get(0).Send(zv::sym::Destroy);
  return g_seen.answer;
}

Value OnPaintedRecorder(zv::Args a) {
  ++g_seen.painted;
  Fill(zv::ValueHandle<HDC>(a.Get(1)), 2, 2, 4, 4, RGB(0, 0, 200));
  // The paint structure arrives whole, its context the one drawn into.
  const std::string ps = a.Get(2).AsString();
  EXPECT_EQ(ps.size(), sizeof(PAINTSTRUCT));
  EXPECT_EQ(reinterpret_cast<const PAINTSTRUCT*>(ps.data())->hdc, zv::ValueHandle<HDC>(a.Get(1)));
  return {};
}

void Repaint(HWND hwnd) { RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

TEST_F(Paint, OnPaintDrawsOnceIntoABufferThatIsReleasedEveryTime) {
  g_seen = {};
  Value panel = MakePanel(form_, 10, 10, 60, 40, RGB(0, 150, 0));
  zv::TWinControlRef p(panel);
  p.OnPaint().Bind(Value::Callable(&OnPaintRecorder));
  p.OnPainted().Bind(Value::Callable(&OnPaintedRecorder));
  const auto before = zv::GetPaintFrameCounts();
  Repaint(p.hwnd());
  // One frame: the erase inside its BeginPaint does not paint a second time.
  EXPECT_EQ(g_seen.paints, 1);
  EXPECT_EQ(g_seen.painted, 1);
  const auto after = zv::GetPaintFrameCounts();
  EXPECT_EQ(after.buffers - before.buffers, 1);
  EXPECT_EQ(after.released - before.released, 1);
  ASSERT_EQ(g_seen.contexts.size(), 1u);
  EXPECT_EQ(GetObjectType(g_seen.contexts[0]), 0u);  // the memory context is gone
  EXPECT_EQ(GetObjectType(g_seen.bitmaps[0]), 0u);   // and its bitmap

  // The blit reached the window: the handler's red, OnPainted's blue and
  // the pane colour the buffer started with.
  HDC dc = GetDC(p.hwnd());
  EXPECT_EQ(GetPixel(dc, 8, 8), RGB(200, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 0, 200));
  EXPECT_EQ(GetPixel(dc, 30, 30), RGB(0, 150, 0));
  ReleaseDC(p.hwnd(), dc);

  // Census: many paints leave no memory context or bitmap behind.
  g_seen = {};
  for (int i = 0; i < 10000; ++i) Repaint(p.hwnd());
  EXPECT_EQ(g_seen.paints, 10000);
  const auto census = zv::GetPaintFrameCounts();
  EXPECT_EQ(census.buffers - census.released, before.buffers - before.released);
  std::size_t alive = 0;
  for (std::size_t i = 0; i < g_seen.contexts.size(); ++i)
    alive += (GetObjectType(g_seen.contexts[i]) != 0) + (GetObjectType(g_seen.bitmaps[i]) != 0);
  EXPECT_EQ(alive, 0u);
}

TEST_F(Paint, AFalseOnPaintSkipsTheDrawingStepAndOnPainted) {
  g_seen = {};
  Value panel = MakePanel(form_, 10, 10, 40, 30, RGB(0, 150, 0));
  zv::TWinControlRef p(panel);
  {
    MemoryDC m(40, 30, RGB(255, 255, 255));
    SendMessageA(p.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m.dc), PRF_CLIENT);
    EXPECT_EQ(m.at(20, 20), RGB(0, 150, 0));  // the background is the drawing step
  }
  p.OnPaint().Bind(Value::Callable(&OnPaintRecorder));
  p.OnPainted().Bind(Value::Callable(&OnPaintedRecorder));
  g_seen.answer = false;
  {
    MemoryDC m(40, 30, RGB(255, 255, 255));
    SendMessageA(p.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m.dc), PRF_CLIENT);
    EXPECT_EQ(m.at(5, 5), RGB(200, 0, 0));       // OnPaint drew
    EXPECT_EQ(m.at(20, 20), RGB(255, 255, 255));  // no background over it
    EXPECT_EQ(g_seen.painted, 0);
    EXPECT_EQ(g_seen.contexts.back(), m.dc);  // a given context is drawn into directly
  }
  g_seen.answer = Value();
  {
    MemoryDC m(40, 30, RGB(255, 255, 255));
    SendMessageA(p.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m.dc), PRF_CLIENT);
    EXPECT_EQ(m.at(5, 5), RGB(0, 150, 0));  // the background covered OnPaint's drawing
    EXPECT_EQ(m.at(3, 3), RGB(0, 0, 200));  // OnPainted drew over it
    EXPECT_EQ(g_seen.painted, 1);
  }
}

Value CustomStep(zv::Args a) {
  const Value r = a.Get(2);
  Fill(zv::ValueHandle<HDC>(a.Get(1)), 0, 0, static_cast<int>(r.Item(3).AsInt()), static_cast<int>(r.Item(4).AsInt()),
       RGB(90, 90, 0));
  return {};
}

TEST_F(Paint, AControlPaintRoutineReplacesTheBackgroundStep) {
  Value panel = MakePanel(form_, 10, 10, 40, 30, RGB(0, 150, 0));
  zv::Put(panel, zv::sym::set::uControlPaint, Value::Callable(&CustomStep));
  MemoryDC m(40, 30, RGB(255, 255, 255));
  SendMessageA(zv::ObjectHwnd(panel), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m.dc), PRF_CLIENT);
  EXPECT_EQ(m.at(39, 29), RGB(90, 90, 0));
}

Value ParentMark(zv::Args a) {
  Fill(zv::ValueHandle<HDC>(a.Get(1)), 30, 20, 40, 30, RGB(220, 0, 0));
  return {};
}

TEST_F(Paint, ATransparentControlShowsItsParentUnderIt) {
  Value parent = MakePanel(form_, 10, 10, 120, 80, RGB(0, 0, 180));
  zv::TWinControlRef(parent).OnPainted().Bind(Value::Callable(&ParentMark));
  Value child = MakePanel(parent, 25, 15, 40, 30, RGB(0, 150, 0));
  const HWND ch = zv::ObjectHwnd(child);
  {
    MemoryDC m(40, 30, RGB(255, 255, 255));
    SendMessageA(ch, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m.dc), PRF_CLIENT);
    EXPECT_EQ(m.at(1, 1), RGB(0, 150, 0));  // opaque: its own pane
  }
  zv::Put(child, zv::sym::set::lTransparent, true);
  MemoryDC m(40, 30, RGB(255, 255, 255));
  SendMessageA(ch, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m.dc), PRF_CLIENT);
  EXPECT_EQ(m.at(1, 1), RGB(0, 0, 180));  // the parent's pane
  EXPECT_EQ(m.at(6, 6), RGB(220, 0, 0));  // the parent's drawing at (31, 21), shifted by the child's offset
  POINT origin{};
  GetViewportOrgEx(m.dc, &origin);
  EXPECT_EQ(origin.x, 0);  // the context is handed back as it came
  EXPECT_EQ(origin.y, 0);
}

TEST_F(Paint, ErrorsAndDestructionInsideOnPaintReleaseTheFrame) {
  g_seen = {};
  Value panel = MakePanel(form_, 10, 10, 40, 30, RGB(0, 150, 0));
  zv::TWinControlRef p(panel);
  p.OnPaint().Bind(Value::Callable(&OnPaintRecorder));
  const auto before = zv::GetPaintFrameCounts();
  g_seen.raise = true;
  Repaint(p.hwnd());
  EXPECT_THROW(zv::RethrowDeferred(), zv::Break);
  g_seen.raise = false;
  ASSERT_EQ(g_seen.paints, 1);
  EXPECT_EQ(GetObjectType(g_seen.contexts[0]), 0u);
  EXPECT_TRUE(GetUpdateRect(p.hwnd(), nullptr, FALSE) == FALSE);  // the paint was ended
  g_seen.destroy = true;
  const HWND hwnd = p.hwnd();
  Repaint(hwnd);
  zv::RethrowDeferred();
  g_seen.destroy = false;
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(zv::ObjectHwnd(panel), nullptr);
  const auto after = zv::GetPaintFrameCounts();
  EXPECT_EQ(after.buffers - before.buffers, 2);
  EXPECT_EQ(after.released - before.released, 2);
}

Value PaintedOverSystem(zv::Args a) {
  ++g_seen.painted;
  Fill(zv::ValueHandle<HDC>(a.Get(1)), 0, 0, 2, 2, RGB(0, 0, 200));
  return {};
}

TEST_F(Paint, SystemClassControlsPaintIntoTheFrameContext) {
  g_seen = {};
  Value button = zvtest::MakeButton(form_, "OK", 10, 10, 60, 24);
  zv::TStdControlRef b(button);
  b.OnPainted().Bind(Value::Callable(&PaintedOverSystem));
  for (const bool solid : {false, true}) {
    MemoryDC m(60, 24, RGB(1, 2, 3));
    if (solid) b.EraseSolidAndPaint(zv::HandleValue(m.dc));
    else b.EraseAndPaint(zv::HandleValue(m.dc));
    EXPECT_NE(m.at(30, 12), RGB(1, 2, 3));  // the button class painted into the context
    EXPECT_EQ(m.at(1, 1), RGB(0, 0, 200));  // and OnPainted after it
  }
  EXPECT_EQ(g_seen.painted, 2);
}

TEST_F(Paint, BorderStylesTakeTheirWidthFromTheClientAndDrawTheirEdge) {
  Value panel = MakePanel(form_, 10, 10, 100, 50, RGB(0, 150, 0));
  zv::TWinControlRef p(panel);
  const struct { long long style; int inset; } cases[] = {{4, 2}, {7, 1}, {1, 1}, {6, 2}, {0, 0}, {9, 0}, {-1, 0}};
  for (const auto& c : cases) {
    p.SetBorderStyle(c.style);
    RECT r{};
    GetClientRect(p.hwnd(), &r);
    EXPECT_EQ(r.right, 100 - 2 * c.inset) << c.style;
    EXPECT_EQ(r.bottom, 50 - 2 * c.inset) << c.style;
    EXPECT_EQ(p.nClientWidth(), 100 - 2 * c.inset) << c.style;
  }
  p.SetBorderStyle(7);
  UpdateWindow(p.hwnd());
  HDC dc = GetWindowDC(p.hwnd());
  EXPECT_EQ(GetPixel(dc, 0, 25), GetSysColor(COLOR_BTNSHADOW));  // the flat line
  EXPECT_EQ(GetPixel(dc, 50, 25), RGB(0, 150, 0));
  ReleaseDC(p.hwnd(), dc);
}

// An owner-drawn button that fills its item and reports its measure.
Value g_drawArgs;
Value OwnerDrawItem(zv::Object&, zv::Args a) {
  g_drawArgs = Value::List({a.Get(1), a.Get(2), a.Get(3)});
  const Value r = a.Get(1);
  Fill(zv::ValueHandle<HDC>(a.Get(0)), static_cast<int>(r.Item(1).AsInt()), static_cast<int>(r.Item(2).AsInt()),
       static_cast<int>(r.Item(3).AsInt()), static_cast<int>(r.Item(4).AsInt()), RGB(210, 0, 210));
  return true;
}
Value OwnerMeasureItem(zv::Object&, zv::Args) { return Value::List({40, 17}); }

zv::Class* OwnerButtonClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TOwnerButton", {zvtest::TestButtonClass()});
    b.Data(zv::sym::nCtlStyle.name(), static_cast<long long>(WS_CHILD | WS_VISIBLE | BS_OWNERDRAW), zv::kProtected);
    b.Method(zv::sym::DrawItem.name(), &OwnerDrawItem);
    b.Method(zv::sym::MeasureItem.name(), &OwnerMeasureItem);
    return b.Create();
  }();
  return c;
}

TEST_F(Paint, OwnerDrawnItemsReachTheControlThatOwnsThem) {
  Value button = zv::NewObject(OwnerButtonClass(), form_);
  zv::TStdControlRef b(button);
  b.SetBounds(10, 10, 50, 20);
  b.Create();
  g_drawArgs = Value();
  // The button class asks its parent to draw it, into the context it prints to.
  MemoryDC m(50, 20, RGB(255, 255, 255));
  SendMessageA(b.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m.dc), PRF_CLIENT);
  ASSERT_TRUE(g_drawArgs.IsList());
  EXPECT_EQ(m.at(25, 10), RGB(210, 0, 210));
  EXPECT_EQ(g_drawArgs.Item(1).Item(3).AsInt(), 50);  // the item rectangle's right edge

  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_BUTTON;
  mis.CtlID = static_cast<UINT>(b.nId());
  EXPECT_EQ(SendMessageA(zv::ObjectHwnd(form_), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis)), TRUE);
  EXPECT_EQ(mis.itemWidth, 40u);
  EXPECT_EQ(mis.itemHeight, 17u);
  // An item of no known control is left to the default processing.
  mis.CtlID = 4321;
  mis.itemHeight = 5;
  EXPECT_EQ(SendMessageA(zv::ObjectHwnd(form_), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis)), FALSE);
  EXPECT_EQ(mis.itemHeight, 5u);
}

TEST_F(Paint, ThemeDataFollowsTheSystemAndTheClassicSwitch) {
  ASSERT_TRUE(zv::theme::Active());  // Wine's uxtheme is present with styles on
  Value panel = MakePanel(form_, 10, 10, 40, 30, RGB(0, 150, 0));
  zv::TWinControlRef p(panel);
  p.cTheme("BUTTON");
  const Value opened = zv::Get(panel, zv::sym::hTheme);
  EXPECT_NE(opened.AsInt(), 0);
  MemoryDC m(40, 30, RGB(255, 255, 255));
  const RECT r{0, 0, 40, 30};
  EXPECT_TRUE(zv::theme::DrawBackground(zv::ValueHandle<HTHEME>(opened), m.dc, BP_PUSHBUTTON, PBS_NORMAL, r));

  // Forced classic: the theme data goes at the next theme change, and
  // drawing with a handle still held answers false.
  zv::theme::ForceClassic(true);
  EXPECT_FALSE(zv::theme::DrawBackground(zv::ValueHandle<HTHEME>(opened), m.dc, BP_PUSHBUTTON, PBS_NORMAL, r));
  SendMessageA(p.hwnd(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(zv::Get(panel, zv::sym::hTheme).AsInt(), 0);
  zv::theme::ForceClassic(false);
  SendMessageA(p.hwnd(), WM_THEMECHANGED, 0, 0);
  EXPECT_NE(zv::Get(panel, zv::sym::hTheme).AsInt(), 0);

  // A re-created window opens its theme again; an empty class list is classic.
  p.Destroy();
  EXPECT_EQ(zv::Get(panel, zv::sym::hTheme).AsInt(), 0);
  p.CreateHandle();
  EXPECT_NE(zv::Get(panel, zv::sym::hTheme).AsInt(), 0);
  p.cTheme("");
  EXPECT_EQ(zv::Get(panel, zv::sym::hTheme).AsInt(), 0);
}

}  // namespace
