// Tooltip windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "framework/core/application.h"
#include "framework/core/texts.h"
#include "framework/services/tooltip.h"
#include "support/test_forms.h"

namespace {

using zv::Value;


HWND H(const Value& o) { return zv::ObjectHwnd(o); }

std::string ToolText(HWND tip, HWND owner, HWND control) {
  char buf[512] = {};
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = owner;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = buf;
  SendMessageA(tip, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
  return buf;
}

TEST(ToolTip, StylesOfPlainAndBalloonTooltips) {
  Value tip = zv::Object::New(zv::TToolTipClass()).Send("Create");
  Value balloon = zv::Object::New(zv::TBalloonClass()).Send("Create");
  ASSERT_TRUE(IsWindow(H(tip)));
  ASSERT_TRUE(IsWindow(H(balloon)));
  const LONG_PTR tipStyle = GetWindowLongPtrA(H(tip), GWL_STYLE);
  const LONG_PTR balloonStyle = GetWindowLongPtrA(H(balloon), GWL_STYLE);
  EXPECT_TRUE(tipStyle & TTS_NOPREFIX);
  EXPECT_FALSE(tipStyle & TTS_BALLOON);
  EXPECT_TRUE(balloonStyle & TTS_BALLOON);
  EXPECT_TRUE(balloonStyle & TTS_NOPREFIX);
  EXPECT_TRUE(GetWindowLongPtrA(H(tip), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(SendMessageA(H(tip), TTM_GETMAXTIPWIDTH, 0, 0), 32768);
  char cls[64] = {};
  GetClassNameA(H(tip), cls, sizeof cls);
  EXPECT_STREQ(cls, "tooltips_class32");
  EXPECT_EQ(zv::GETCONTROLFROMHANDLE(H(tip)).AsObject(), tip.AsObject());
  tip.Send("_lAlwaysTip", true);
  EXPECT_TRUE(GetWindowLongPtrA(H(tip), GWL_STYLE) & TTS_ALWAYSTIP);
  tip.Send("End");
  balloon.Send("Destroy");
  EXPECT_EQ(tip.Send("Handle").AsInt(), 0);
}

TEST(ToolTip, TheCloseButtonTakesEffectOnlyForANewWindow) {
  Value tip = zv::Object::New(zv::TToolTipClass()).Send("Create");
  HWND first = H(tip);
  tip.Send("_lCloseButton", true);
  EXPECT_FALSE(GetWindowLongPtrA(first, GWL_STYLE) & TTS_CLOSE);
  tip.Send("End");
  tip.Send("Create");
  ASSERT_TRUE(IsWindow(H(tip)));
  EXPECT_TRUE(GetWindowLongPtrA(H(tip), GWL_STYLE) & TTS_CLOSE);
  tip.Send("End");
}

TEST(ToolTip, ANumericTooltipShowsTheProgramsStringResource) {
  Value form = zvtest::MakeForm("Tips");
  Value button = zvtest::MakeButton(form, "B", 10, 10);
  button.Send("_cTooltip", 32769);  // registers with the application's tooltip
  HWND tip = zv::ApplicationTooltipWindow();
  ASSERT_TRUE(tip);
  const std::string expected = zv::LT(32769);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ToolText(tip, H(form), H(button)), expected);
  // A text tooltip is asked from the control when needed.
  button.Send("_cTooltip", "Press me");
  EXPECT_EQ(ToolText(tip, H(form), H(button)), "Press me");
  // An empty text removes the tool.
  const LRESULT before = SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0);
  button.Send("_cTooltip", "");
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), before - 1);
  DestroyWindow(H(form));
  zvtest::Pump();
}

TEST(ToolTip, ZonesAndNotifications) {
  Value form = zvtest::MakeForm("Zones");
  Value button = zvtest::MakeButton(form, "B", 10, 10, 100, 40);
  button.Send("_cTooltip", 32770);
  Value tip = zv::Object::New(zv::TToolTipClass()).Send("Create", form);
  tip.Send("AddTool", button, Value::List({0, 0, 50, 40}), 7);
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = H(button);
  ti.uId = 7;
  char buf[128] = {};
  ti.lpszText = buf;
  SendMessageA(H(tip), TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(std::string(buf), zv::LT(32770));
  EXPECT_EQ(SendMessageA(H(tip), TTM_GETTOOLCOUNT, 0, 0), 1);
  tip.Send("DelTool", button, 7);
  EXPECT_EQ(SendMessageA(H(tip), TTM_GETTOOLCOUNT, 0, 0), 0);
  // Notifications from the tooltip reach its object.
  int shown = 0, hidden = 0;
  tip.Send("_OnShow", Value::Callable([&](zv::Args) -> Value { return ++shown, Value(); }));
  tip.Send("_OnHide", Value::Callable([&](zv::Args) -> Value { return ++hidden, Value(); }));
  NMHDR hdr{H(tip), 0, static_cast<UINT>(TTN_SHOW)};
  tip.Send("Notify", 0, static_cast<long long>(reinterpret_cast<std::intptr_t>(&hdr)));
  hdr.code = static_cast<UINT>(TTN_POP);
  tip.Send("Notify", 0, static_cast<long long>(reinterpret_cast<std::intptr_t>(&hdr)));
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(hidden, 1);
  tip.Send("End");
  DestroyWindow(H(form));
  zvtest::Pump();
}

TEST(ToolTip, ATrackedTooltipShowsItsText) {
  Value form = zvtest::MakeForm("Tracked");
  Value tip = zv::Object::New(zv::TToolTipClass()).Send("Create", form);
  tip.Send("_cText", "Here!");
  tip.Send("_cTitle", "Title");
  tip.Send("Show", 10, 10, form);
  zvtest::Pump(100);
  EXPECT_TRUE(IsWindowVisible(H(tip)));
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = H(form);
  ti.uId = reinterpret_cast<UINT_PTR>(H(form));
  char buf[64] = {};
  ti.lpszText = buf;
  SendMessageA(H(tip), TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(buf, "Here!");
  tip.Send("End");
  DestroyWindow(H(form));
  zvtest::Pump();
}

TEST(ToolTip, ShowingAgainShowsTheNewTextWithTheSameTool) {
  Value form = zvtest::MakeForm("Tracked again");
  Value tip = zv::Object::New(zv::TToolTipClass()).Send("Create", form);
  for (int i = 0; i <= 50; ++i) {
    tip.Send("_cText", "text " + std::to_string(i));
    tip.Send("Show", 10 + i, 10, form);
  }
  zvtest::Pump(50);
  EXPECT_EQ(SendMessageA(H(tip), TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(ToolText(H(tip), H(form), H(form)), "text 50");
  tip.Send("End");
  DestroyWindow(H(form));
  zvtest::Pump();
}

}  // namespace

