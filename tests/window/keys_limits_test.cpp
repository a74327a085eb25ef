// Keys moving the focus or reaching the form, a control re-created with its
// stored state, and geometry and texts far outside the usual.
#include <gtest/gtest.h>

#include <string>

#include "framework/core/members.h"
#include "framework/window/messages.h"
#include "framework/window/wincontrol.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
using KeysAndLimits = zvtest::FormTest;

// A multi-line edit: it wants every key, Tab included.
zv::Class* TestMemoClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TTestMemo", {zv::TStdControlClass()});
    b.Data(zv::sym::cWinClassName.name(), "EDIT", zv::kProtected);
    b.Data(zv::sym::nCtlStyle.name(),
           static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | ES_MULTILINE | ES_WANTRETURN), zv::kProtected);
    return b.Create();
  }();
  return c;
}

Value g_formKey;
Value FormKeyDown(zv::Args a) {
  g_formKey = a.Get(1);
  return 0;
}

TEST_F(KeysAndLimits, ArrowsAndTabMoveTheFocusUnlessTheControlWantsThem) {
  Value one = zvtest::MakeButton(form_, "One", 10, 10);
  Value two = zvtest::MakeButton(form_, "Two", 10, 40);
  Value memo = zv::NewObject(TestMemoClass(), form_);
  zv::TStdControlRef m(memo);
  m.SetBounds(10, 70, 120, 60);
  m.Create();
  SetForegroundWindow(zv::ObjectHwnd(form_));
  zvtest::Pump(50);
  const HWND h1 = zv::ObjectHwnd(one), h2 = zv::ObjectHwnd(two), hm = m.hwnd();

  zv::TStdControlRef(one).SetFocus();
  SendMessageA(h1, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(GetFocus(), h2);
  SendMessageA(h2, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(GetFocus(), h1);
  SendMessageA(h1, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(h2, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(GetFocus(), hm);

  // The edit keeps arrows and Tab: the focus stays, the Tab is typed.
  SendMessageA(hm, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(GetFocus(), hm);
  SendMessageA(hm, WM_CHAR, VK_TAB, 0);
  EXPECT_EQ(GetFocus(), hm);
  EXPECT_EQ(m.GetText().AsString(), "\t");

  // Other keys bubble up to the form.
  zv::TWinControlRef(form_).OnKeyDown().Bind(Value::Callable(&FormKeyDown));
  g_formKey = Value();
  EXPECT_EQ(SendMessageA(h1, WM_KEYDOWN, VK_F5, 0), 0);
  EXPECT_EQ(g_formKey.AsInt(), VK_F5);
  // A control's own OnKeyDown answering a value keeps the key.
  zv::TStdControlRef(one).OnKeyDown().Bind(Value::Callable([](zv::Args) -> Value { return 7; }));
  g_formKey = Value();
  EXPECT_EQ(SendMessageA(h1, WM_KEYDOWN, VK_F6, 0), 7);
  EXPECT_TRUE(g_formKey.IsNil());
}

HWND g_takeBack = nullptr;
Value TakeFocusBack(zv::Args) {
  SetFocus(g_takeBack);  // as a message box closing would
  return {};
}

TEST_F(KeysAndLimits, AnExitHandlerThatTakesTheFocusBackStillLetsItGo) {
  Value one = zvtest::MakeButton(form_, "One", 10, 10);
  Value two = zvtest::MakeButton(form_, "Two", 10, 40);
  SetForegroundWindow(zv::ObjectHwnd(form_));
  zvtest::Pump(50);
  const HWND h1 = zv::ObjectHwnd(one), h2 = zv::ObjectHwnd(two);
  zv::TStdControlRef(one).SetFocus();
  g_takeBack = h1;
  zv::TStdControlRef(one).OnExit().Bind(Value::Callable(&TakeFocusBack));
  SetFocus(h2);
  zv::TStdControlRef(one).OnExit().Clear();
  EXPECT_EQ(GetFocus(), h2);
  EXPECT_FALSE(zv::TStdControlRef(one).lFocused());
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, h2, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));  // the pending click completes
}

TEST_F(KeysAndLimits, AReCreatedControlGetsItsStoredStateBack) {
  Value panel = zv::NewObject(zvtest::TestPanelClass(), form_);
  zv::TWinControlRef p(panel);
  p.SetBounds(12, 14, 90, 40);
  p.Create();
  p.cText("kept text");
  p.lEnabled(false);
  p.SetBorderStyle(4);
  p.SetColor(static_cast<long long>(RGB(1, 2, 3)), static_cast<long long>(RGB(40, 50, 60)));
  p.Destroy();
  ASSERT_EQ(p.hwnd(), nullptr);
  p.CreateHandle();
  ASSERT_NE(p.hwnd(), nullptr);
  RECT r{};
  GetWindowRect(p.hwnd(), &r);
  MapWindowPoints(nullptr, zv::ObjectHwnd(form_), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.top, 14);
  EXPECT_EQ(r.right - r.left, 90);
  EXPECT_FALSE(IsWindowEnabled(p.hwnd()));
  char text[32] = {};
  GetWindowTextA(p.hwnd(), text, sizeof text);
  EXPECT_STREQ(text, "kept text");
  GetClientRect(p.hwnd(), &r);
  EXPECT_EQ(r.right, 86);  // the sunken border again
  EXPECT_EQ(p.nClrPane(), static_cast<long long>(RGB(40, 50, 60)));
  EXPECT_NE(zv::Get(panel, zv::sym::hBrush).AsInt(), 0);  // a new brush of that colour
}

TEST_F(KeysAndLimits, AbsurdGeometryAndHugeTextsAreHandled) {
  // A parent of no size with anchored children that stretch and move.
  Value parent = zv::NewObject(zvtest::TestPanelClass(), form_);
  zv::TWinControlRef p(parent);
  p.SetBounds(0, 0, 0, 0);
  p.Create();
  Value child = zvtest::MakeButton(parent, "c", 5, 5, 30, 20);
  zv::TStdControlRef c(child);
  for (long long anchors : {15, 12, 0, 5}) {
    c.nAnchors(anchors);
    c.SetBounds(5, 5, 30, 20);
    p.SetBounds(Value(), Value(), 1, 1);
    p.SetBounds(Value(), Value(), 0, 0);
    EXPECT_TRUE(IsWindow(c.hwnd()));
  }
  c.SetBounds(-100000, -100000, -5, -5);
  c.SetBounds(0, 0, 1 << 30, 1 << 30);
  EXPECT_TRUE(IsWindow(c.hwnd()));

  // Texts over 64 KB go to the window and come back whole.
  const std::string big(200000, 'x');
  c.SetText(big + "&y");
  EXPECT_EQ(c.GetText().AsString().size(), big.size() + 2);
  c.Destroy();
  EXPECT_EQ(c.cText().size(), big.size() + 2);  // saved from the window
}

}  // namespace
