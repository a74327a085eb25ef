// The bitmap button, painted into a memory context and read back: the
// frame of each state and look, the image of each state, its placement
// beside the caption, the focus rectangle; hot tracking; the click; the
// image lists it makes and ends; and thousands of paints leaving nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "framework/controls/btnbmp.h"
#include "framework/core/members.h"
#include "framework/graphics/image_list.h"
#include "framework/window/form.h"
#include "framework/window/theme.h"
#include "support/test_forms.h"
#include "surface.h"

namespace {

using zv::Value;
namespace sym = zv::sym;
using zvtest::Surface;

// An 8 x 8 bitmap of one colour with a white top-left pixel (the
// transparent colour of an image list).
HBITMAP Solid(COLORREF c) {
  HDC screen = GetDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  RECT r{0, 0, 8, 8};
  HBRUSH br = CreateSolidBrush(c);
  FillRect(dc, &r, br);
  DeleteObject(br);
  SetPixel(dc, 0, 0, RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteDC(dc);
  return b;
}

int g_clicks = 0;

class BtnBmpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zv::theme::ForceClassic(true);
    g_clicks = 0;
    form_ = zvtest::MakeForm("btnbmp", true, 50, 50, 300, 200);
  }
  void TearDown() override {
    if (HWND h = zv::ObjectHwnd(form_); h && IsWindow(h)) zv::TFormRef(form_).Close(true);
    zvtest::Pump();
    zv::theme::ForceClassic(false);
  }
  Value Make(const char* text, bool withImages = false) {
    Value b = zv::NewObject(zv::TBtnBmpClass(), form_);
    zv::TBtnBmpRef v(b);
    v.SetBounds(10, 10, 90, 25);
    v.cText(text);
    v.OnClick().Bind(Value::Callable([](zv::Args) -> Value { return ++g_clicks, Value(); }));
    if (withImages) {
      v.oBitmaps(Value::List({zv::HandleValue(Solid(RGB(255, 0, 0))), zv::HandleValue(Solid(RGB(0, 255, 0))),
                              zv::HandleValue(Solid(RGB(0, 0, 255))), zv::HandleValue(Solid(RGB(255, 255, 0)))}));
    }
    v.Create();
    return b;
  }
  // The button painted into a 90 x 25 surface.
  static void Paint(const Value& b, Surface& s) {
    s.Fill(RGB(1, 2, 3));
    SendMessageA(zv::ObjectHwnd(b), WM_PAINT, reinterpret_cast<WPARAM>(s.dc()), 0);
  }
  Value form_;
};

TEST_F(BtnBmpTest, TheClassicFrameFollowsTheState) {
  Value b = Make("Speak");
  zv::TBtnBmpRef v(b);
  Surface s(90, 25);
  Paint(b, s);
  EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_3DHILIGHT)) << "raised: light top-left edge";
  EXPECT_EQ(s.At(89, 24), GetSysColor(COLOR_3DDKSHADOW)) << "dark bottom-right edge";
  EXPECT_EQ(s.At(10, 3), GetSysColor(COLOR_BTNFACE));
  const RECT normalInk = [&] {
    RECT r{90, 25, -1, -1};
    for (int y = 4; y < 21; ++y)
      for (int x = 4; x < 86; ++x)
        if (s.At(x, y) == GetSysColor(COLOR_WINDOWTEXT) && s.At(x, y) != GetSysColor(COLOR_BTNFACE)) {
          r.left = std::min<LONG>(r.left, x), r.right = std::max<LONG>(r.right, x);
          r.top = std::min<LONG>(r.top, y), r.bottom = std::max<LONG>(r.bottom, y);
        }
    return r;
  }();
  ASSERT_GT(normalInk.right, normalInk.left) << "the caption is drawn";
  EXPECT_NEAR((normalInk.left + normalInk.right) / 2, 45, 3) << "centred";

  v.lDefault(true);
  Paint(b, s);
  EXPECT_EQ(s.At(0, 0), RGB(0, 0, 0)) << "default: a black outline";
  EXPECT_EQ(s.At(1, 1), GetSysColor(COLOR_3DHILIGHT));
  v.lDefault(false);

  v.lPushed(true);
  Paint(b, s);
  EXPECT_NE(s.At(0, 0), GetSysColor(COLOR_3DHILIGHT)) << "pushed: the light edge is gone";
  EXPECT_NE(s.At(1, 1), GetSysColor(COLOR_3DHILIGHT));
  v.lPushed(false);

  EnableWindow(zv::ObjectHwnd(b), FALSE);
  Paint(b, s);
  bool highlight = false, shadow = false;
  for (int y = 4; y < 21; ++y)
    for (int x = 4; x < 86; ++x) {
      highlight |= s.At(x, y) == GetSysColor(COLOR_BTNHIGHLIGHT);
      shadow |= s.At(x, y) == GetSysColor(COLOR_BTNSHADOW);
    }
  EXPECT_TRUE(highlight && shadow) << "a disabled caption is embossed";
  EnableWindow(zv::ObjectHwnd(b), TRUE);

  SetFocus(zv::ObjectHwnd(b));
  Paint(b, s);
  int dots = 0;
  for (int x = 3; x < 87; ++x) dots += s.At(x, 3) != GetSysColor(COLOR_BTNFACE);
  EXPECT_GT(dots, 20) << "a dotted focus rectangle 3 pixels inside";
}

TEST_F(BtnBmpTest, EachStateShowsItsImage) {
  Value b = Make("", true);
  zv::TBtnBmpRef v(b);
  Surface s(90, 25);
  // Centred without a caption: the content area is 3 + 2 frame pixels in.
  const int x = 45, y = 12;
  Paint(b, s);
  EXPECT_EQ(s.At(x, y), RGB(255, 0, 0)) << "normal";
  SendMessageA(zv::ObjectHwnd(b), WM_NCHITTEST, 0, MAKELPARAM(65, 70));
  EXPECT_TRUE(zv::Get(b, sym::lHot).AsBool());
  Paint(b, s);
  EXPECT_EQ(s.At(x, y), RGB(0, 255, 0)) << "hot";
  SendMessageA(zv::ObjectHwnd(b), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(zv::Get(b, sym::lHot).AsBool());
  v.lPushed(true);
  Paint(b, s);
  EXPECT_EQ(s.At(x + 1, y + 1), RGB(0, 0, 255)) << "pressed, one pixel right and down";
  v.lPushed(false);
  EnableWindow(zv::ObjectHwnd(b), FALSE);
  Paint(b, s);
  EXPECT_EQ(s.At(x, y), RGB(255, 255, 0)) << "disabled";
  EnableWindow(zv::ObjectHwnd(b), TRUE);

  // Fewer images than states: the disabled state draws none.
  HIMAGELIST h = zv::ObjectHandle<HIMAGELIST>(v.oBitmaps());
  ImageList_Remove(h, 3);
  EnableWindow(zv::ObjectHwnd(b), FALSE);
  Paint(b, s);
  EXPECT_EQ(s.At(x, y), GetSysColor(COLOR_BTNFACE));
}

TEST_F(BtnBmpTest, AnImageBesideTheCaptionSharesTheFreeSpace) {
  // The layout arithmetic: content 76 wide, image 8, text 30 -> margin 12.
  const RECT content{7, 5, 83, 20};
  zv::BtnBmpLayout l = zv::LayOutBtnBmp(content, 8, 8, 30, 13, -1, 2, true);
  EXPECT_EQ(l.image.x, 7 + 12);
  EXPECT_EQ(l.image.y, (5 + 20 - 8) >> 1);
  EXPECT_EQ(l.text.left, 7 + 12 + 8);
  l = zv::LayOutBtnBmp(content, 8, 8, 30, 13, 4, 3, true);
  EXPECT_EQ(l.image.x, 83 - 8 - 4);
  EXPECT_EQ(l.text.right, 83 - 8 - 4);
  l = zv::LayOutBtnBmp(content, 8, 8, 100, 13, -1, 2, true);
  EXPECT_EQ(l.image.x, 7 + (76 - 8 - 100) / 3) << "no room: a negative margin";
  l = zv::LayOutBtnBmp(content, 8, 8, 30, 4, -1, 0, true);
  EXPECT_EQ(l.image.y, 5 + 1);
  EXPECT_EQ(l.text.top, 5 + 1 + 8);
  l = zv::LayOutBtnBmp(content, 8, 8, 30, 13, 4, 9, true);
  EXPECT_EQ(l.image.x, 7 + 4) << "an unknown orientation is the left one";

  Value b = Make("Speak", true);
  zv::TBtnBmpRef(b).nMargin(2);
  Surface s(90, 25);
  Paint(b, s);
  // Classic frame: 2 pixels, then 3 of content inset, then the margin.
  EXPECT_EQ(s.At(2 + 3 + 2 + 4, 12), RGB(255, 0, 0));
}

TEST_F(BtnBmpTest, FlatButtonsShowAnEdgeOnlyWhenHotOrPressed) {
  Value b = Make("Flat");
  zv::TBtnBmpRef v(b);
  v.lFlat(true);
  Surface s(90, 25);
  Paint(b, s);
  const COLORREF pane = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(s.At(0, 0), pane) << "the form's background, no edge";
  SendMessageA(zv::ObjectHwnd(b), WM_NCHITTEST, 0, 0);
  Paint(b, s);
  EXPECT_EQ(s.At(1, 1), GetSysColor(COLOR_3DHILIGHT)) << "hot: a raised edge";
  EnableWindow(zv::ObjectHwnd(b), FALSE);
  SendMessageA(zv::ObjectHwnd(b), WM_MOUSELEAVE, 0, 0);
  Paint(b, s);
  EXPECT_EQ(s.At(0, 0), pane);
  EXPECT_EQ(s.At(1, 1), pane) << "disabled and not hot: no edge";
}

TEST_F(BtnBmpTest, ClicksByMouseSpaceEnterAndShortcut) {
  Value b = Make("&Think()");
  HWND h = zv::ObjectHwnd(b);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(SendMessageA(h, BM_GETSTATE, 0, 0) & BST_PUSHED);
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  zvtest::Pump();
  EXPECT_EQ(g_clicks, 1);
  SetFocus(h);
  SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(h, WM_KEYUP, VK_SPACE, 0xC0000000);
  EXPECT_EQ(g_clicks, 2);
  SendMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(g_clicks, 3);
  // Alt + the "&" letter, through the form.
  SendMessageA(zv::ObjectHwnd(form_), WM_SYSCHAR, 't', 1 << 29);
  zvtest::Pump();
  EXPECT_EQ(g_clicks, 4);
  // A hidden button's state change takes the standard path.
  ShowWindow(h, SW_HIDE);
  SendMessageA(h, BM_SETSTATE, TRUE, 0);
  EXPECT_TRUE(SendMessageA(h, BM_GETSTATE, 0, 0) & BST_PUSHED);
  SendMessageA(h, BM_SETSTATE, FALSE, 0);
}

TEST_F(BtnBmpTest, ImageListsMadeByTheButtonEndWithIt) {
  Value b = Make("x");
  zv::TBtnBmpRef v(b);
  v.oBitmaps(zv::HandleValue(Solid(RGB(255, 0, 0))));  // one image: a, a, a, a disabled
  Value made = v.oBitmaps();
  ASSERT_TRUE(made.IsObject());
  EXPECT_EQ(zv::TImageListRef(made).GetImageCount().AsInt(), 4);
  EXPECT_EQ(zv::Get(made, sym::oParent).AsObject(), b.AsObject());
  v.oBitmaps(Value::List({zv::HandleValue(Solid(RGB(255, 0, 0))), zv::HandleValue(Solid(RGB(0, 255, 0)))}));
  EXPECT_EQ(zv::TImageListRef(made).Handle(), 0) << "replaced: the old list is ended";
  // A list from outside: replaced, it is ended too; freed with the button, it is not.
  Value outside = zv::NewObject(zv::TImageListClass(), Value(), 8, 8);
  zv::TImageListRef(outside).Add(zv::HandleValue(Solid(RGB(0, 0, 255))));
  v.oBitmaps(outside);
  zv::TControlRef(b).Destroy(true);
  zvtest::Pump();
  EXPECT_NE(zv::TImageListRef(outside).Handle(), 0) << "not the button's to end";
  zv::TImageListRef(outside).Destroy();
  // A caption ending in "&" paints (the "&" is no shortcut).
  Value amp = Make("Odd&");
  Surface s(90, 25);
  Paint(amp, s);
  EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_3DHILIGHT));
}

TEST_F(BtnBmpTest, TenThousandPaintsInEveryStateLeaveNoGdiObject) {
  Value b = Make("Speak", true);
  zv::TBtnBmpRef v(b);
  HWND h = zv::ObjectHwnd(b);
  Surface s(90, 25);
  // Under Wine a freed GDI handle's slot is the next one given out: a probe
  // made before and after lands in the same slot when nothing leaked.
  HGDIOBJ probe = CreateSolidBrush(RGB(1, 1, 1));
  const auto slot = reinterpret_cast<std::uintptr_t>(probe) & 0xFFFF;
  DeleteObject(probe);
  for (int i = 0; i < 10'000; ++i) {
    const int state = i % 6;
    v.lPushed(state == 2);
    v.lDefault(state == 4);
    v.lFlat(i % 12 >= 6);
    if (state == 1) SendMessageA(h, WM_NCHITTEST, 0, 0);
    if (state == 3) EnableWindow(h, FALSE);
    if (state == 5) SetFocus(h);
    if (i % 2) {
      SendMessageA(h, WM_PAINT, reinterpret_cast<WPARAM>(s.dc()), 0);
    } else {
      InvalidateRect(h, nullptr, FALSE);
      UpdateWindow(h);  // double-buffered through the frame
    }
    if (state == 1) SendMessageA(h, WM_MOUSELEAVE, 0, 0);
    if (state == 3) EnableWindow(h, TRUE);
  }
  probe = CreateSolidBrush(RGB(1, 1, 1));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(probe) & 0xFFFF, slot);
  DeleteObject(probe);
}

}  // namespace
