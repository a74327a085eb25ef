// The process run: start-up, MAIN, draining, release and end-of-program work.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "framework/core/application.h"
#include "framework/core/program.h"
#include "framework/core/texts.h"
#include "framework/error/error_system.h"
#include "support/dialog_answerer.h"
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

BOOL CALLBACK ClickCaptionProc(HWND h, LPARAM l) {
  char t[64] = {};
  GetWindowTextA(h, t, sizeof t);
  if (*reinterpret_cast<const std::string*>(l) == t) PostMessageA(h, BM_CLICK, 0, 0);
  return TRUE;
}

TEST(Program, AnErrorThatIsQuitEndsTheProgramAfterItsReport) {
  zvtest::DialogAnswerer answer;
  answer.then(
      [](HWND dialog) {
        const std::string quit = zv::LT(32800);
        EnumChildWindows(dialog, &ClickCaptionProc, reinterpret_cast<LPARAM>(&quit));
      },
      true);
  DeleteFileA("Error.log");
  zv::SetErrorSys(&zv::ERRORSYS);
  const int code = RunWith(+[] {
    zv::ErrorInfo e;
    e.genCode = 1;
    e.subCode = 1081;
    e.description = "argument error";
    zv::RaiseError(e);
    g_events.push_back("after the error");
  });
  zv::SetErrorSys(nullptr);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(answer.seen().size(), 1u) << "the error dialog";
  EXPECT_EQ(std::find(g_events.begin(), g_events.end(), "after the error"), g_events.end()) << "abandoned";
  std::FILE* f = std::fopen("Error.log", "rb");
  ASSERT_NE(f, nullptr);
  std::string text(8192, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), f));
  std::fclose(f);
  DeleteFileA("Error.log");
  EXPECT_NE(text.find("     Description: argument error\r\n"), std::string::npos);
  EXPECT_NE(text.find("Trace Through:\r\n  MAIN ("), std::string::npos) << text;
}

}  // namespace
