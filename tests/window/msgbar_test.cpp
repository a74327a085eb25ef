// The status bar: its place at the bottom of a form outside the scrolled
// area, its parts and texts, the focused control's message, and many bars
// coming and going.
#include <gtest/gtest.h>

#include <string>

#include "framework/core/application.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/form.h"
#include "framework/window/msgbar.h"
#include "runtime/heap.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
namespace sym = zv::sym;

class StatusBar : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = zv::NewObject(zv::TFormClass(), zv::Application());
    zv::TFormRef f(form_);
    f.SetBounds(40, 40, 360, 240);
    f.Create();
    f.Show();
    zvtest::Pump(10);
  }
  void TearDown() override {
    if (HWND h = zv::ObjectHwnd(form_); h && IsWindow(h)) zv::TFormRef(form_).Close(true);
    zvtest::Pump();
  }
  Value MakeBar() {
    Value bar = zv::NewObject(zv::TMsgBarClass(), form_);
    bar.Send(sym::Create, form_);
    return bar;
  }
  HWND Form() const { return zv::ObjectHwnd(form_); }
  Value form_;
};

std::string PartText(HWND bar, int part) {
  char buf[256] = {};
  const LRESULT r = SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0);
  if (LOWORD(r) >= sizeof buf) return "<too long>";
  SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buf));
  return buf;
}

TEST_F(StatusBar, SitsAtTheBottomOutsideTheScrolledAreaAndFollowsTheForm) {
  RECT c{};
  GetClientRect(Form(), &c);
  EXPECT_EQ(zv::Get(form_, sym::nClientHeight).AsInt(), c.bottom);
  Value bar = MakeBar();
  HWND b = zv::ObjectHwnd(bar);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(zv::Get(form_, sym::oMsgBar).AsObject(), bar.AsObject());
  RECT br{};
  GetWindowRect(b, &br);
  MapWindowPoints(nullptr, Form(), reinterpret_cast<POINT*>(&br), 2);
  const long long h = br.bottom - br.top;
  ASSERT_GT(h, 0);
  EXPECT_EQ(br.bottom, c.bottom);
  EXPECT_EQ(br.right - br.left, c.right);
  EXPECT_EQ(zv::Get(form_, sym::nClientHeight).AsInt(), c.bottom - h);
  // The bar is not one of the form's scrolled controls.
  for (const Value& ctl : zv::Get(form_, sym::aControls).AsList().items) EXPECT_NE(ctl.AsObject(), bar.AsObject());

  SetWindowPos(Form(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
  zvtest::Pump();
  GetClientRect(Form(), &c);
  GetWindowRect(b, &br);
  MapWindowPoints(nullptr, Form(), reinterpret_cast<POINT*>(&br), 2);
  EXPECT_EQ(br.bottom, c.bottom);
  EXPECT_EQ(br.right - br.left, c.right);
  EXPECT_EQ(zv::Get(form_, sym::nClientHeight).AsInt(), c.bottom - h);

  // A child beyond the bottom makes the form scroll; the bar stays put.
  zvtest::MakeButton(form_, "far", 10, 900, 80, 24);
  zv::TFormRef(form_).Send(sym::Adjust, true);
  SendMessageA(Form(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_LT(zv::Get(form_, sym::nClientTop).AsInt(), 0);
  GetWindowRect(b, &br);
  MapWindowPoints(nullptr, Form(), reinterpret_cast<POINT*>(&br), 2);
  EXPECT_EQ(br.bottom, c.bottom);

  // Without its bar the form has its whole client area again.
  zv::TControlRef(bar).Destroy(true);
  zvtest::Pump();
  EXPECT_FALSE(zv::Get(form_, sym::oMsgBar).IsObject());
  EXPECT_EQ(zv::Get(form_, sym::nClientHeight).AsInt(), c.bottom);
}

TEST_F(StatusBar, ABarMadeBeforeTheFormShowsIsLaidOutAtOnce) {
  Value hidden = zv::NewObject(zv::TFormClass(), zv::Application());
  zv::TFormRef f(hidden);
  f.SetBounds(60, 60, 300, 200);
  f.Create();
  HWND h = zv::ObjectHwnd(hidden);
  ASSERT_FALSE(IsWindowVisible(h));
  Value bar = zv::NewObject(zv::TMsgBarClass(), hidden);
  bar.Send(sym::Create, hidden);
  RECT c{}, br{};
  GetClientRect(h, &c);
  GetWindowRect(zv::ObjectHwnd(bar), &br);
  EXPECT_EQ(zv::Get(hidden, sym::nClientHeight).AsInt(), c.bottom - (br.bottom - br.top));
  f.Close(true);
  zvtest::Pump();
}

TEST_F(StatusBar, PartsShareTheWidthAndKeepTheirTexts) {
  Value bar = MakeBar();
  HWND b = zv::ObjectHwnd(bar);
  // No items: one simple text.
  bar.Send(sym::SetText, "Ready");
  EXPECT_TRUE(SendMessageA(b, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(PartText(b, 0), "Ready");

  Value main = bar.Send(sym::AddItem, "Main");
  Value pos = bar.Send(sym::AddItem, "Ln 1", 80, static_cast<long long>(SBT_POPOUT), "Line");
  Value caps = bar.Send(sym::AddItem, "CAPS", 60);
  EXPECT_FALSE(SendMessageA(b, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(zv::Get(pos, sym::nIndex).AsInt(), 2);
  int edges[8] = {};
  ASSERT_EQ(SendMessageA(b, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 3);
  RECT c{};
  GetClientRect(b, &c);
  EXPECT_EQ(edges[0], c.right - 140);  // the spring takes what the fixed parts leave
  EXPECT_EQ(edges[1], c.right - 60);
  EXPECT_EQ(edges[2], c.right);
  EXPECT_EQ(PartText(b, 0), "Main");
  EXPECT_EQ(PartText(b, 1), "Ln 1");
  EXPECT_EQ(HIWORD(SendMessageA(b, SB_GETTEXTLENGTHA, 1, 0)) & SBT_POPOUT, SBT_POPOUT);

  // SetText writes the first part; SetItemText any part.
  bar.Send(sym::SetText, "Saving");
  EXPECT_EQ(PartText(b, 0), "Saving");
  EXPECT_EQ(zv::Get(main, sym::cText).AsString(), "Saving");
  EXPECT_TRUE(bar.Send(sym::SetItemText, 3, "NUM").AsBool());
  EXPECT_EQ(PartText(b, 2), "NUM");
  EXPECT_FALSE(bar.Send(sym::SetItemText, 4, "x").AsBool());
  EXPECT_FALSE(bar.Send(sym::SetItemText, 0, "x").AsBool());

  // A width change lays the parts out again.
  zv::TMsgItemRef(caps).nWidth(100);
  ASSERT_EQ(SendMessageA(b, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 3);
  EXPECT_EQ(edges[0], c.right - 180);

  // Deleting the middle part renumbers the rest; bad numbers are refused.
  EXPECT_FALSE(bar.Send(sym::DelItem, 0).AsBool());
  EXPECT_FALSE(bar.Send(sym::DelItem, 4).AsBool());
  EXPECT_TRUE(bar.Send(sym::DelItem, 2).AsBool());
  EXPECT_EQ(zv::Get(caps, sym::nIndex).AsInt(), 2);
  EXPECT_EQ(zv::Get(pos, sym::nIndex).AsInt(), 0);
  ASSERT_EQ(SendMessageA(b, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 2);
  EXPECT_EQ(PartText(b, 1), "NUM");
  // An item that ends leaves the bar.
  caps.Send(sym::Destroy, true);
  EXPECT_EQ(zv::Get(bar, sym::aItems).Len(), 1u);
  EXPECT_EQ(SendMessageA(b, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 1);
}

TEST_F(StatusBar, TheFocusedControlsMessageAppearsInTheFirstPart) {
  Value bar = MakeBar();
  bar.Send(sym::AddItem, "");
  bar.Send(sym::AddItem, "", 50);
  Value a = zvtest::MakeButton(form_, "a", 10, 10);
  Value b = zvtest::MakeButton(form_, "b", 10, 40);
  zv::TStdControlRef(a).cMessage("Saves the file");
  zv::Put(form_, sym::set::lMsgAuto, true);
  zv::TControlRef(b).SetFocus();
  zv::TControlRef(a).SetFocus();
  EXPECT_EQ(PartText(zv::ObjectHwnd(bar), 0), "Saves the file");
  EXPECT_EQ(PartText(zv::ObjectHwnd(bar), 1), "");
}

TEST_F(StatusBar, ASecondBarReplacesTheFirst) {
  Value first = MakeBar();
  HWND f = zv::ObjectHwnd(first);
  Value second = MakeBar();
  EXPECT_FALSE(IsWindow(f));
  EXPECT_EQ(zv::Get(form_, sym::oMsgBar).AsObject(), second.AsObject());
  RECT c{}, br{};
  GetClientRect(Form(), &c);
  GetWindowRect(zv::ObjectHwnd(second), &br);
  EXPECT_EQ(zv::Get(form_, sym::nClientHeight).AsInt(), c.bottom - (br.bottom - br.top));
}

TEST_F(StatusBar, ManyBarsWithPartsComeAndGoWithoutLeaks) {
  auto cycle = [this] {
    Value bar = MakeBar();
    for (int i = 0; i < 4; ++i) bar.Send(sym::AddItem, "part " + std::to_string(i), i ? 40 : 0);
    bar.Send(sym::SetText, "busy");
    zv::TControlRef(bar).Destroy(true);
  };
  cycle();
  zvtest::Pump();
  zv::RunIdleWork();
  zv::Collect();
  const std::size_t links = zv::GetLinkStats().live;
  const std::size_t objects = zv::GcObject::LiveCount();
  for (int i = 0; i < 300; ++i) cycle();
  zvtest::Pump();
  zv::RunIdleWork();
  zv::Collect();
  EXPECT_EQ(zv::GetLinkStats().live, links);
  EXPECT_LE(zv::GcObject::LiveCount(), objects);
  EXPECT_FALSE(zv::Get(form_, sym::oMsgBar).IsObject());
  EXPECT_EQ(GetWindow(Form(), GW_CHILD), nullptr);
}

}  // namespace
