// The push button: real clicks through the standard button procedure (mouse
// and keyboard) reaching OnClick once each, the modal result closing the
// form, the style bits of its properties, and the cancel button's release.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/controls/button.h"
#include "framework/core/members.h"
#include "framework/window/form.h"
#include "framework/window/theme.h"
#include "surface.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
namespace sym = zv::sym;

int g_clicks = 0;
Value CountClick(zv::Args) { return ++g_clicks, Value(); }

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_clicks = 0;
    form_ = zvtest::MakeForm("buttons");
  }
  void TearDown() override {
    if (HWND h = zv::ObjectHwnd(form_); h && IsWindow(h)) zv::TFormRef(form_).Close(true);
    zvtest::Pump();
  }
  Value MakeButton(const char* text, int top = 10) {
    Value b = zv::NewObject(zv::TButtonClass(), form_);
    zv::TButtonRef v(b);
    v.SetBounds(10, top, 80, 25);
    v.cText(text);
    v.OnClick().Bind(Value::Callable(&CountClick));
    return b;
  }
  Value form_;
};

TEST_F(ButtonTest, MouseSpaceAndEnterEachClickOnce) {
  Value b = MakeButton("&Go");
  zv::TButtonRef(b).Create();
  HWND h = zv::ObjectHwnd(b);
  ASSERT_NE(h, nullptr);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  zvtest::Pump();
  EXPECT_EQ(g_clicks, 1);
  // Released outside: no click.
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
  EXPECT_EQ(g_clicks, 1);
  SetFocus(h);
  SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(h, WM_KEYUP, VK_SPACE, 0xC0000000);
  EXPECT_EQ(g_clicks, 2);
  SendMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(g_clicks, 3);
  // OnKeyDown answering Enter keeps the click away.
  zv::TButtonRef(b).OnKeyDown().Bind(Value::Callable([](zv::Args) -> Value { return 0; }));
  SendMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(g_clicks, 3);
}

TEST_F(ButtonTest, PropertiesSetTheButtonStyle) {
  Value b = MakeButton("x");
  zv::TButtonRef v(b);
  v.nAlignment(0);
  v.nVAlignment(2);
  v.lMultiLine(true);
  v.lDefault(true);
  v.Create();
  HWND h = zv::ObjectHwnd(b);
  LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
  EXPECT_EQ(style & BS_CENTER, BS_LEFT);
  EXPECT_EQ(style & BS_VCENTER, BS_BOTTOM);
  EXPECT_TRUE(style & BS_MULTILINE);
  EXPECT_EQ(style & 0xF, BS_DEFPUSHBUTTON);
  EXPECT_EQ(zv::Get(form_, sym::oDefaultButton).AsObject(), b.AsObject());
  v.nAlignment(2);
  v.nVAlignment(1);
  v.lDefault(false);
  style = GetWindowLongPtrA(h, GWL_STYLE);
  EXPECT_EQ(style & BS_CENTER, BS_RIGHT);
  EXPECT_EQ(style & BS_VCENTER, 0);
  EXPECT_EQ(style & 0xF, BS_PUSHBUTTON);
  v.lPushed(true);
  EXPECT_TRUE(SendMessageA(h, BM_GETSTATE, 0, 0) & BST_PUSHED);
  v.lPushed(false);
  EXPECT_FALSE(SendMessageA(h, BM_GETSTATE, 0, 0) & BST_PUSHED);
  // An image shown by the button.
  HBITMAP bmp = CreateBitmap(8, 8, 1, 32, nullptr);
  v.SetImage(IMAGE_BITMAP, zv::HandleValue(bmp));
  EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & BS_BITMAP);
  EXPECT_EQ(v.GetImage(IMAGE_BITMAP).AsInt(), reinterpret_cast<std::intptr_t>(bmp));
  v.SetImage(IMAGE_BITMAP, 0);
  EXPECT_FALSE(GetWindowLongPtrA(h, GWL_STYLE) & BS_BITMAP);
  DeleteObject(bmp);
}

TEST_F(ButtonTest, EnterInAnotherControlClicksTheDefaultButton) {
  Value other = zvtest::MakeButton(form_, "other", 10, 60, 80, 25);
  Value ok = MakeButton("OK");
  zv::TButtonRef(ok).lDefault(true);
  zv::TButtonRef(ok).Create();
  ASSERT_EQ(zv::Get(form_, sym::oDefaultButton).AsObject(), ok.AsObject());
  HWND h = zv::ObjectHwnd(other);
  SetFocus(h);
  SendMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(g_clicks, 1) << "Enter reaches the form, which clicks its default button";
}

TEST_F(ButtonTest, ACheckBoxIsDrawnByTheButtonInTheClassicLook) {
  zv::theme::ForceClassic(true);
  Value b = MakeButton("Check");
  zv::TButtonRef v(b);
  v.SetBounds(10, 10, 120, 20);
  v.Send(sym::ChangeCtlStyle, static_cast<long long>(BS_AUTOCHECKBOX));
  v.nAlignment(6);
  v.Create();
  HWND h = zv::ObjectHwnd(b);
  zvtest::Surface s(120, 20);
  auto print = [&] {
    s.Fill(RGB(0, 0, 255));
    SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
  };
  auto inked = [&](int x0, int x1, COLORREF c) {
    int n = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = x0; x < x1; ++x) n += s.At(x, y) == c;
    return n;
  };
  print();
  EXPECT_GT(inked(0, 13, GetSysColor(COLOR_WINDOW)), 15) << "the white box on the left";
  EXPECT_EQ(inked(0, 13, GetSysColor(COLOR_WINDOWTEXT)), 0) << "not checked";
  EXPECT_GT(inked(16, 120, GetSysColor(COLOR_WINDOWTEXT)), 10) << "the caption after it";
  SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
  print();
  EXPECT_GT(inked(0, 13, GetSysColor(COLOR_WINDOWTEXT)), 5) << "the check mark";
  v.nAlignment(0);
  print();
  EXPECT_GT(inked(107, 120, GetSysColor(COLOR_WINDOW)), 15) << "left-aligned caption: the box at the right";
  EXPECT_GT(inked(0, 40, GetSysColor(COLOR_WINDOWTEXT)), 10);
  zv::theme::ForceClassic(false);
}

TEST_F(ButtonTest, AModalResultClosesTheFormUnlessTheHandlerSaysNo) {
  Value b = MakeButton("OK");
  zv::TButtonRef v(b);
  v.nModalResult(1);
  v.Create();
  v.OnClick().Bind(Value::Callable([](zv::Args) -> Value { return false; }));
  v.Click();
  EXPECT_TRUE(IsWindow(zv::ObjectHwnd(form_)));
  v.OnClick().Bind(Value::Callable(&CountClick));
  v.Click();
  zvtest::Pump();
  EXPECT_EQ(g_clicks, 1);
  EXPECT_EQ(zv::Get(form_, sym::nModalResult).AsInt(), 1);
  EXPECT_FALSE(IsWindowVisible(zv::ObjectHwnd(form_)) && IsWindow(zv::ObjectHwnd(form_)));
}

TEST_F(ButtonTest, ACancelButtonValidatesTheControlLeftOnlyWhenReleasedOutside) {
  // An edit-like control whose Valid refuses, counting the calls.
  static int valids = 0;
  valids = 0;
  Value other = zvtest::MakeButton(form_, "other", 10, 60, 80, 25);
  HWND otherWnd = zv::ObjectHwnd(other);
  Value cancel = MakeButton("Cancel", 100);
  zv::TButtonRef c(cancel);
  c.lCancel(true);
  EXPECT_EQ(c.nModalResult(), 2);
  c.nModalResult(0);  // stay open for the test
  c.Create();
  HWND h = zv::ObjectHwnd(cancel);
  zv::TControlRef(other).OnExit().Bind(Value::Callable([](zv::Args) -> Value { return ++valids, false; }));
  SetFocus(otherWnd);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(GetFocus(), h) << "the cancel button takes the focus at once";
  EXPECT_EQ(zv::Get(cancel, sym::oPrevCtrl).AsObject(), other.AsObject());
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  zvtest::Pump();
  EXPECT_EQ(g_clicks, 1);
  EXPECT_EQ(valids, 0) << "a click inside validates nothing";
  EXPECT_TRUE(zv::Get(cancel, sym::oPrevCtrl).IsNil());

  SetFocus(otherWnd);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(300, 5));
  zvtest::Pump();
  EXPECT_EQ(g_clicks, 1) << "no click outside";
  EXPECT_EQ(valids, 1);
  EXPECT_EQ(GetFocus(), otherWnd) << "the refusing control has the focus back";
}

TEST_F(ButtonTest, AClickHandlerMayDestroyItsButtonOrCloseItsForm) {
  Value b = MakeButton("bye");
  zv::TButtonRef v(b);
  v.Create();
  v.OnClick().Bind(Value::Callable([](zv::Args a) -> Value {
    const Value self = a.Get(0);
    zv::TControlRef(self).Destroy(true);
    return {};
  }));
  HWND h = zv::ObjectHwnd(b);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  zvtest::Pump();
  EXPECT_FALSE(IsWindow(h));
  Value b2 = MakeButton("close");
  zv::TButtonRef(b2).Create();
  zv::TButtonRef(b2).OnClick().Bind(Value::Callable([](zv::Args a) -> Value {
    const Value self = a.Get(0);
    zv::Value form = zv::Get(self, sym::oParent);
    zv::TFormRef(form).Close(true);
    return {};
  }));
  HWND h2 = zv::ObjectHwnd(b2);
  SendMessageA(h2, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(h2, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  zvtest::Pump();
  EXPECT_FALSE(IsWindow(zv::ObjectHwnd(form_)));
}

}  // namespace
