// The demo's form built inside a test program, with the project's character
// server: what the form is made of, what it asks of the character while it
// is built (before it is shown), and many forms made and destroyed. The
// demo as a user drives it is tested end to end by demo_e2e.sh.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/demo_form.h"
#include "framework/core/application.h"
#include "framework/core/members.h"
#include "framework/window/winobject.h"
#include "runtime/heap.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
namespace sym = zv::sym;

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

class DemoForm : public zvtest::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    SetEnvironmentVariableA("AGENT_TIME_SCALE", "0.05");
    DeleteFileA(kJournal);
    SetEnvironmentVariableA("AGENT_JOURNAL", kJournal);
  }
  void TearDown() override {
    SetEnvironmentVariableA("AGENT_JOURNAL", nullptr);
    FormTest::TearDown();
  }
  static constexpr const char* kJournal = "journal-demo-form.txt";
};

std::string WindowText(HWND h) {
  char t[256] = {};
  GetWindowTextA(h, t, sizeof t);
  return t;
}

TEST_F(DemoForm, IsBuiltAndGreetsBeforeItIsShown) {
  const Value form = zv::NewObject(demo::TForm1Class(), zv::Application());
  const HWND h = zv::ObjectHwnd(form);
  ASSERT_TRUE(IsWindow(h));
  EXPECT_FALSE(IsWindowVisible(h)) << "the greeting runs inside New, before Show";
  EXPECT_EQ(zv::Get(form, sym::ClassName).AsString(), "Tform1");

  const std::vector<std::string> calls = ReadLines(kJournal);
  ASSERT_EQ(calls.size(), 13u);
  EXPECT_EQ(calls[0], "Agent.CONNECTED put true");
  EXPECT_EQ(calls[5], "Merlin.MOVETO method 365, 350, 1000") << "x from the preset bounds";
  EXPECT_EQ(calls[8], "Merlin.THINK method \"Haz doble click en el browse y har\xC3\xA9 algo\"")
      << "the Windows-1252 text arrives as the same letters";

  RECT r{}, c{};
  GetWindowRect(h, &r);
  GetClientRect(h, &c);
  EXPECT_EQ(r.left, 435);
  EXPECT_EQ(r.top, 263);
  EXPECT_EQ(c.right, 434);
  EXPECT_EQ(c.bottom, 284);
  // The second move uses the form's width, once the client size has been
  // applied to its single frame.
  EXPECT_EQ(calls[9], "Merlin.MOVETO method " + std::to_string(r.right - 20) + ", 370, 1000");
  EXPECT_EQ(WindowText(h), "Zorvan MS Agent Demo");
  EXPECT_EQ(GetWindowLongPtrA(h, GWL_STYLE) & WS_THICKFRAME, 0) << "a single, fixed frame";

  const Value grid = zv::Get(form, sym::oArrayBrowse1);
  EXPECT_EQ(zv::Get(grid, sym::nArrayAt).AsInt(), 1);
  EXPECT_EQ(zv::Get(grid, sym::nMarqueeStyle).AsInt(), 4);
  EXPECT_TRUE(zv::Get(grid, sym::oRecSel).IsObject());
  const Value actions = zv::Get(form, sym::aActions);
  ASSERT_EQ(actions.Len(), 26u);
  EXPECT_EQ(actions.Item(6).Item(1).AsString(), "Congratulate");
  EXPECT_EQ(actions.Item(4).Item(2).AsString(), "Pesta\xF1" "ea");
  EXPECT_EQ(actions.Item(26).Item(1).AsString(), "Show");
  const char* texts[] = {"Think()", "Speak", "MoveTo()"};
  int i = 0;
  for (zv::Symbol b : {sym::oBtnBmp1, sym::oBtnBmp2, sym::oBtnBmp3})
    EXPECT_EQ(WindowText(zv::ObjectHwnd(zv::Get(form, b))), texts[i++]);

  // A double-click plays the animation of the grid's position.
  const HWND g = zv::ObjectHwnd(grid);
  grid.Send(sym::GoTo, 6);
  form.Send(sym::ArrayBrowse1DblClick, grid, 0, 1, 1);
  EXPECT_EQ(ReadLines(kJournal).back(), "Merlin.PLAY method \"Congratulate\"");
  EXPECT_TRUE(IsWindow(g));
  form.Send(sym::Destroy);
}

TEST_F(DemoForm, FormsMadeAndDestroyedLeaveNoWindowsOrObjects) {
  SetEnvironmentVariableA("AGENT_JOURNAL", nullptr);
  using LiveFn = long(WINAPI*)();
  const auto round = [&](int i) {
    Value form = zv::NewObject(demo::TForm1Class(), zv::Application());
    const HWND h = zv::ObjectHwnd(form), grid = zv::ObjectHwnd(zv::Get(form, sym::oArrayBrowse1));
    form.Send(sym::Destroy);
    zvtest::Pump();
    zv::Put(form_, sym::set::aShortCutLog, Value::List({}));
    EXPECT_FALSE(IsWindow(h)) << i;
    EXPECT_FALSE(IsWindow(grid)) << i;
  };
  // A warm-up: what the system, the framework and the server make once.
  for (int i = 0; i < 3; ++i) round(i);
  zv::Collect();
  HMODULE server = GetModuleHandleA("ZorvanAgent.dll");
  ASSERT_NE(server, nullptr);
  const auto serverObjects =
      reinterpret_cast<LiveFn>(reinterpret_cast<void*>(GetProcAddress(server, "AgentLiveObjects")));
  ASSERT_NE(serverObjects, nullptr);
  const std::size_t live = zv::GcObject::LiveCount();
  const long served = serverObjects();
  for (int i = 0; i < 30 && !HasFailure(); ++i) round(i);
  zv::Collect();
  EXPECT_LE(zv::GcObject::LiveCount(), live + 8) << "the forms' objects went with them";
  // The server's objects (control, collection, character, requests) go
  // with the forms' automation objects: no more than after the warm-up.
  EXPECT_LE(serverObjects(), served);
}

}  // namespace
