// The process run: start-up, MAIN, draining, release and end-of-program work.
#include <gtest/gtest.h>

#include <objbase.h>

#include <stdexcept>

#include "framework/core/application.h"
#include "framework/core/program.h"
#include "framework/window/winobject.h"
#include "support/test_forms.h"

namespace {

using zv::Value;

std::vector<std::string> g_events;
void (*g_body)() = nullptr;

void TestMain() {
  g_events.push_back("main");
  if (g_body) g_body();
  g_events.push_back("main returns");
}

int RunWith(void (*body)(), const char* commandLine = "") {
  g_events.clear();
  g_body = body;
  return zv::RunProgram(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOW, &TestMain);
}

TEST(Program, RunsMainBetweenStartUpAndTheEndOfProgramWork) {
  int code = RunWith(+[] {
    EXPECT_TRUE(zv::Application().IsObject());
    zv::Application().Send("_cTitle", "vorlent");
    zv::AppData().Send("_OnClose", Value::Callable([](zv::Args) -> Value {
      g_events.push_back("AppData OnClose");
      EXPECT_EQ(zv::Application().Send("aForms").Len(), 0u);  // the forms are gone
      return {};
    }));
    Value form = zvtest::MakeForm("Main");
    // The form closes itself through the queue; Run ends with it.
    PostMessageA(zv::ObjectHwnd(form), WM_CLOSE, 0, 0);
    zv::Application().Send("Run");
    g_events.push_back("Run returned");
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(g_events, (std::vector<std::string>{"main", "Run returned", "main returns", "AppData OnClose"}));
  // Everything is released: no global, no link record.
  EXPECT_FALSE(zv::Application().IsObject());
  EXPECT_FALSE(zv::AppData().IsObject());
  EXPECT_EQ(zv::GetLinkStats().live, 0u);
  EXPECT_EQ(zv::GetLinkStats().released, 0u);
}

TEST(Program, TheArgumentVectorStartsWithTheExecutable) {
  RunWith(+[] {}, "one \"two three\"");
  const auto& argv = zv::ProgramParameters().argv;
  ASSERT_EQ(argv.size(), 3u);
  EXPECT_NE(argv[0].find("test_program"), std::string::npos);
  EXPECT_EQ(argv[2], "two three");
  RunWith(+[] {}, "");
  EXPECT_EQ(zv::ProgramParameters().argv.size(), 1u);
}

TEST(Program, AnUncaughtAbortEndsTheProgramCleanly) {
  int code = RunWith(+[] {
    zvtest::MakeForm("Doomed");
    throw zv::Break(Value("abort"));
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(g_events, (std::vector<std::string>{"main"}));
  EXPECT_EQ(zv::GetLinkStats().live, 0u);
  EXPECT_FALSE(zv::Application().IsObject());
}

TEST(Program, ExitCodes) {
  EXPECT_EQ(RunWith(+[] { zv::SetExitCode(3); }), 3);
  zv::SetExitCode(0);
  EXPECT_EQ(RunWith(+[] { throw zv::QuitRequest(4); }), 4);
  zv::ClearQuitRequest();
  EXPECT_EQ(RunWith(+[] {}), 0);
}

TEST(Program, TheErrorHandlerHookRunsBeforeMain) {
  static bool installed = false;
  zv::SetErrorSys(+[] {
    installed = true;
    g_events.push_back("ERRORSYS");
  });
  RunWith(+[] {});
  zv::SetErrorSys(nullptr);
  EXPECT_TRUE(installed);
  EXPECT_EQ(g_events.front(), "ERRORSYS");
}

TEST(Program, EndClearsTheOwnedMembersWithoutMakingNewOnes) {
  RunWith(+[] {
    Value app = zv::Application();
    const Value icon = app.Send("oIcon");  // start-up made one: the application icon
    ASSERT_TRUE(icon.IsObject());
    EXPECT_EQ(icon.AsObject()->GetClass()->Name(), "TIcon");
    EXPECT_NE(icon.Send("Handle").AsInt(), 0);
    app.Send("End");
    EXPECT_EQ(icon.Send("Handle").AsInt(), 0) << "the icon was ended";
    // Clearing is not a request for a default icon: nothing new is stored.
    EXPECT_TRUE(zv::SendUnchecked(app, zv::Msg("FoIcon"), zv::Args()).IsNil());
    EXPECT_TRUE(zv::SendUnchecked(app, zv::Msg("FoFont"), zv::Args()).IsNil());
  });
}

TEST(Program, SettingTheSameFontAgainKeepsItsCount) {
  RunWith(+[] {
    Value app = zv::Application();
    Value font = app.Send("GetFont");
    ASSERT_TRUE(font.IsObject());
    const auto count = font.Send("nCount").AsInt();
    EXPECT_EQ(app.Send("SetFont", font).AsObject(), font.AsObject());
    EXPECT_EQ(font.Send("nCount").AsInt(), count);
  });
}

// Whether OLE is initialised on this thread (asked without changing it).
bool OleIsUp() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr == S_FALSE;
}

int g_releasedWithOleUp = -1;

TEST(Program, ObjectsKeptInAppDataAreReleasedBeforeOleGoes) {
  static zv::Class* probe = [] {
    zv::ClassDecl d("TOleProbe", nullptr);
    d.AddDestructor([](zv::Object&) { g_releasedWithOleUp = OleIsUp() ? 1 : 0; });
    return d.Finish();
  }();
  g_releasedWithOleUp = -1;
  RunWith(+[] {
    EXPECT_TRUE(OleIsUp());
    zv::AppData().Send("AddData", "oServer", zv::Object::New(probe));
  });
  EXPECT_EQ(g_releasedWithOleUp, 1);
  EXPECT_FALSE(OleIsUp());
}

TEST(Program, AnyExceptionStillEndsTheProgramCleanly) {
  int code = RunWith(+[] {
    zvtest::MakeForm("Doomed");
    throw std::runtime_error("not one of the runtime's");
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(zv::GetLinkStats().live, 0u);
  EXPECT_FALSE(zv::Application().IsObject());
  EXPECT_FALSE(OleIsUp());
}

TEST(Program, TheArgumentsComeFromTheOneCommandLine) {
  RunWith(+[] {
    Value args = zv::Application().Send("aArguments");
    ASSERT_EQ(args.Len(), 2u);
    EXPECT_EQ(args.Item(1).AsString(), "one");
    EXPECT_EQ(args.Item(2).AsString(), "two three");
  }, "one \"two three\"");
}

}  // namespace

