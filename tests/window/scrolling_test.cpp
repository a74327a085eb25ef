// Virtual size, scroll bars and scrolling of TScrollingWinControl, on forms.
#include <gtest/gtest.h>

#include "framework/core/application.h"
#include "framework/core/members.h"
#include "framework/window/form.h"
#include "support/test_forms.h"

namespace {

using zv::Value;

class Scrolling : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = zv::NewObject(zv::TFormClass(), zv::Application());
    zv::TFormRef f(form_);
    f.SetBounds(30, 30, 400, 300);
    f.Create();
    f.SetClientSize(300, 300);
    f.Show();
    zvtest::Pump(20);
  }
  void TearDown() override {
    zv::TFormRef(form_).Close(true);
    zvtest::Pump();
  }
  SCROLLINFO Bar(int which) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(zv::ObjectHwnd(form_), which, &si);
    return si;
  }
  Value form_;
};

TEST_F(Scrolling, TheVirtualAreaFollowsTheChildrenAndPagesClamp) {
  zv::TFormRef f(form_);
  EXPECT_EQ(f.nVirtualHeight(), 0);
  EXPECT_FALSE(f.lVScroll());
  EXPECT_FALSE(f.lHScroll());
  Value low = zvtest::MakeButton(form_, "low", 10, 500, 80, 100);
  Value bottom = zvtest::MakeButton(form_, "anchored", 10, 900, 80, 20);
  zv::TStdControlRef(bottom).nAnchors(1 | 8);
  f.SetAutoScroll();  // recomputed: the bottom-anchored one does not count
  EXPECT_EQ(f.nVirtualHeight(), 600);
  EXPECT_TRUE(f.lVScroll());
  const int clientH = static_cast<int>(f.nClientHeight().AsInt());
  SCROLLINFO si = Bar(SB_VERT);
  EXPECT_EQ(si.nMax, 599);
  EXPECT_EQ(static_cast<int>(si.nPage), clientH);
  SendMessageA(f.hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Bar(SB_VERT).nPos, 600 - clientH);  // clamped to the last page
  SendMessageA(f.hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Bar(SB_VERT).nPos, 600 - clientH);
  EXPECT_EQ(f.nClientTop(), -(600 - clientH));
  // The child window moved with the view; its stored place did not.
  RECT r{};
  GetWindowRect(zv::ObjectHwnd(low), &r);
  MapWindowPoints(nullptr, f.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.top, 500 - (600 - clientH));
  EXPECT_EQ(zv::TStdControlRef(low).nTop(), 500);
  // Growing the window moves the origin back so no empty band is left.
  f.SetClientSize(Value(), 700);
  zvtest::Pump();
  EXPECT_EQ(f.nClientTop(), 0);
  EXPECT_FALSE(f.lVScroll());
}

TEST_F(Scrolling, EventsMayPinThePositionAndTheWheelPicksItsAxis) {
  zv::TFormRef f(form_);
  zvtest::MakeButton(form_, "far", 900, 900, 80, 30);
  f.SetAutoScroll();
  ASSERT_TRUE(f.lVScroll());
  ASSERT_TRUE(f.lHScroll());
  f.OnScrollDown().Bind(Value::Callable([](zv::Args) -> Value { return 0; }));
  SendMessageA(f.hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Bar(SB_VERT).nPos, 0);  // pinned at the top
  f.OnScrollDown().Clear();
  SendMessageA(f.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(Bar(SB_VERT).nPos, 8);  // one line
  SendMessageA(f.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(Bar(SB_HORZ).nPos, 8);
  EXPECT_EQ(Bar(SB_VERT).nPos, 8);
  SendMessageA(f.hwnd(), WM_VSCROLL, SB_LINEUP, 0);
  SendMessageA(f.hwnd(), WM_VSCROLL, SB_LINEUP, 0);  // below the minimum: clamped
  EXPECT_EQ(Bar(SB_VERT).nPos, 0);
  EXPECT_EQ(f.nClientTop(), 0);
}

}  // namespace
