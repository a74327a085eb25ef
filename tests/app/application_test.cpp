// The application object and the message loops, with small test forms.
#include <gtest/gtest.h>

#include <functional>

#include "framework/core/application.h"
#include "framework/core/environment.h"
#include "framework/core/keytable.h"
#include "framework/core/loop.h"
#include "framework/core/msgbox.h"
#include "framework/window/winobject.h"
#include "support/dialog_answerer.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
using zvtest::MakeButton;
using zvtest::MakeForm;
using zvtest::Pump;


Value App() { return zv::Application(); }
Value AppGet(const char* m) { return App().Send(m); }

// Runs steps from a thread timer, one per tick, inside whatever loop runs.
class Script {
 public:
  explicit Script(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
    current() = this;
    id_ = SetTimer(nullptr, 0, 30, &Script::Tick);
  }
  ~Script() {
    KillTimer(nullptr, id_);
    current() = nullptr;
  }
  std::size_t done() const { return next_; }

 private:
  static Script*& current() {
    static Script* s = nullptr;
    return s;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = current();
    if (!s || s->next_ >= s->steps_.size()) return;
    s->steps_[s->next_++]();
  }
  std::vector<std::function<void()>> steps_;
  std::size_t next_ = 0;
  UINT_PTR id_ = 0;
};

void Destroy(const Value& form) { DestroyWindow(zv::ObjectHwnd(form)); }

class Forms : public ::testing::Test {
 protected:
  void TearDown() override {
    // Leave no form behind for the next test.
    Value forms = AppGet("aForms");
    std::vector<Value> copy = forms.AsList().items;
    for (const Value& f : copy) Destroy(f);
    Pump();
    zv::APPRUNNING(false);
    App().Send("_lTerminate", false);
  }
};

TEST(Application, StartUpFillsTheApplicationObject) {
  ASSERT_TRUE(App().IsObject());
  EXPECT_EQ(App().Send("ClassName").AsString(), "TApplication");
  EXPECT_EQ(AppGet("Handle").AsInt(), 0);
  EXPECT_TRUE(AppGet("aForms").IsList());
  EXPECT_GT(AppGet("nWinVer").AsDouble(), 4.1);
  const std::string file = AppGet("cFileName").AsString();
  EXPECT_NE(file.find("test_application"), std::string::npos);
  EXPECT_EQ(AppGet("cDirectory").AsString(), file.substr(0, file.find_last_of('\\') + 1));
  // From this program's own version resource.
  EXPECT_EQ(AppGet("cVersion").AsString(), "1.0.0.0");
  EXPECT_EQ(AppGet("nVersion").AsDouble(), 1.0);
  EXPECT_EQ(AppGet("cCompany").AsString(), "The Zorvan developers");
  EXPECT_TRUE(AppGet("aArguments").IsList());
  // The shared tooltip windows exist and are published.
  EXPECT_TRUE(IsWindow(zv::ObjectHwnd(AppGet("oTooltip"))));
  EXPECT_EQ(zv::ApplicationTooltipWindow(), zv::ObjectHwnd(AppGet("oTooltip")));
  EXPECT_EQ(zv::ApplicationBalloonWindow(), zv::ObjectHwnd(AppGet("oBalloon")));
  EXPECT_TRUE(zv::AppData().IsObject());
  // A second Initialize returns the same object and changes nothing.
  Value other = zv::Object::New(zv::TApplicationClass());
  EXPECT_EQ(other.Send("Initialize").AsObject(), App().AsObject());
  // Read-only members refuse outside assignment.
  std::vector<Value> errors;
  zv::ErrorHandler old = zv::SetErrorHandler([&](const Value& e) {
    errors.push_back(e);
    return Value();
  });
  App().Send("_aForms", Value());
  zv::SetErrorHandler(old);
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(AppGet("aForms").IsList());
}

TEST(Application, EnvironmentQueries) {
  EXPECT_EQ(zv::GETDECIMALSEPARATOR(), ".");
  EXPECT_EQ(AppGet("DecimalSeparator").AsString(), ".");
  const std::string dir = AppGet("CurrentDir").AsString();
  EXPECT_EQ(dir.back(), '\\');
  EXPECT_EQ(AppGet("CurrentDrive").AsString(), dir.substr(0, 2));
  Value v = zv::GETVERSIONEX();
  ASSERT_EQ(v.Len(), 4u);
  EXPECT_EQ(zv::GETWINPLATFORM(), 2);
}

TEST_F(Forms, ClosingTheMainFormPromotesAVisibleFormAndTheLoopGoesOn) {
  Value a = MakeForm("A");
  Value b = MakeForm("B");
  EXPECT_EQ(AppGet("oMainForm").AsObject(), a.AsObject());
  Value mainAfterA;
  Script script({[&] { Destroy(a); },
                 [&] {
                   mainAfterA = AppGet("oMainForm");
                   Destroy(b);
                 }});
  App().Send("Run");
  EXPECT_EQ(script.done(), 2u);
  EXPECT_EQ(mainAfterA.AsObject(), b.AsObject());
  EXPECT_EQ(AppGet("aForms").Len(), 0u);
  EXPECT_TRUE(AppGet("oActiveForm").IsNil());
}

TEST_F(Forms, WithOnlyHiddenFormsLeftTheyAreDestroyedAndRunEnds) {
  Value a = MakeForm("A");
  Value hidden1 = MakeForm("H1", false);
  Value hidden2 = MakeForm("H2", false);
  Script script({[&] { Destroy(a); }});
  App().Send("Run");
  EXPECT_FALSE(IsWindow(zv::ObjectHwnd(hidden1)));
  EXPECT_FALSE(IsWindow(zv::ObjectHwnd(hidden2)));
  EXPECT_EQ(hidden1.Send("Handle").AsInt(), 0);
  EXPECT_TRUE(AppGet("lTerminate").AsBool());
  EXPECT_EQ(AppGet("aForms").Len(), 0u);
}

TEST_F(Forms, RemovingAFormThatIsNotInTheListChangesNothingElse) {
  Value a = MakeForm("A");
  Value stranger = zv::NewObject(zvtest::TestFormClass());
  App().Send("RemoveForm", stranger);
  EXPECT_EQ(AppGet("aForms").Len(), 1u);
  EXPECT_EQ(AppGet("oMainForm").AsObject(), a.AsObject());
  EXPECT_EQ(App().Send("InsertForm", a).AsObject(), a.AsObject());
  EXPECT_EQ(AppGet("aForms").Len(), 1u);  // not twice
}

// Logs Enable/Disable of the test forms.
std::vector<std::string> g_enableLog;

zv::Class* LoggingForm() {
  static zv::Class* c = [] {
    zv::QVClass b("TLoggingForm", {zvtest::TestFormClass()});
    b.Method("Enable", [](zv::Object& self, zv::Args a) -> Value {
      g_enableLog.push_back("enable " + self.Send("cText").AsString());
      return zv::Super(self, "Enable", a);
    });
    b.Method("Disable", [](zv::Object& self, zv::Args a) -> Value {
      g_enableLog.push_back("disable " + self.Send("cText").AsString());
      return zv::Super(self, "Disable", a);
    });
    return b.Create();
  }();
  return c;
}

Value LoggingFormNamed(const char* name, bool enabled) {
  Value f = zv::NewObject(LoggingForm());
  f.Send("SetBounds", 10, 10, 200, 150);
  f.Send("_cText", name);
  f.Send("Create");
  f.Send("Show");
  if (!enabled) f.Send("Disable");
  return f;
}

TEST_F(Forms, ShowModalReEnablesExactlyTheFormsItDisabledInOrder) {
  Value a = LoggingFormNamed("A", true);
  Value b = LoggingFormNamed("B", false);
  Value c = LoggingFormNamed("C", true);
  Value modal = zv::NewObject(zvtest::TestFormClass());
  modal.Send("SetBounds", 100, 100, 200, 120);
  modal.Send("Create");
  g_enableLog.clear();
  bool disabledDuringRun = false;
  Script script({[&] {
    disabledDuringRun = !IsWindowEnabled(zv::ObjectHwnd(a)) && !IsWindowEnabled(zv::ObjectHwnd(c));
    modal.Send("_nModalResult", 7);
    modal.Send("Hide");  // hidden by code: the modal run ends
  }});
  Value result = modal.Send("ShowModal", Value(), true);
  EXPECT_EQ(result.AsInt(), 7);
  EXPECT_TRUE(disabledDuringRun);
  EXPECT_EQ(g_enableLog, (std::vector<std::string>{"disable A", "disable C", "enable A", "enable C"}));
  EXPECT_TRUE(IsWindowEnabled(zv::ObjectHwnd(a)));
  EXPECT_FALSE(IsWindowEnabled(zv::ObjectHwnd(b)));  // was disabled before: stays so
  EXPECT_TRUE(IsWindowEnabled(zv::ObjectHwnd(c)));
  EXPECT_TRUE(modal.Send("lModal").AsBool());
}

TEST_F(Forms, AnAbortInsideAModalRunStillReEnablesTheForms) {
  Value a = LoggingFormNamed("A", true);
  Value modal = MakeForm("M", false);
  Script script({[&] {
    // An abort raised by a handler that runs inside the loop.
    zv::DeferException(std::make_exception_ptr(zv::Break(Value("stop"))));
  }});
  EXPECT_THROW(modal.Send("ShowModal"), zv::Break);
  EXPECT_TRUE(IsWindowEnabled(zv::ObjectHwnd(a)));
}

TEST_F(Forms, AnAbortFromAClickHandlerReachesTheLoopsRecoveryPoint) {
  Value form = MakeForm("F");
  Value button = MakeButton(form, "Boom", 10, 10);
  int clicks = 0;
  button.Send("_OnClick", Value::Callable([&](zv::Args) -> Value {
    ++clicks;
    if (clicks == 1) {
      zv::ErrorInfo e;
      e.genCode = zv::kErrArgument;
      e.operation = "Boom";
      zv::RaiseError(e);  // the default handler aborts
    }
    return {};
  }));
  PostMessageA(zv::ObjectHwnd(button), BM_CLICK, 0, 0);
  bool caught = false;
  try {
    zv::RUNFORM(form);
  } catch (const zv::Break& b) {
    caught = true;
    EXPECT_EQ(zv::ErrorSlot(b.value(), zv::ErrorField::Operation).AsString(), "Boom");
  }
  EXPECT_TRUE(caught);
  EXPECT_FALSE(zv::ExceptionDeferred());
  // The window is still whole: linked, and its button still works.
  EXPECT_TRUE(IsWindow(zv::ObjectHwnd(form)));
  EXPECT_EQ(zv::GETCONTROLFROMHANDLE(zv::ObjectHwnd(form)).AsObject(), form.AsObject());
  SendMessageA(zv::ObjectHwnd(button), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(zv::ExceptionDeferred());
}

TEST(KeyHooks, ModifiersMustMatchExactly) {
  zv::ClearKeyHooks();
  int fired = 0;
  zv::SETKEY(VK_F1, zv::kKeyCtrl, Value::Callable([&](zv::Args) -> Value {
    ++fired;
    return {};
  }));
  Value form = MakeForm("Keys");
  HWND hwnd = zv::ObjectHwnd(form);
  auto press = [&](std::initializer_list<int> down) {
    BYTE state[256] = {};
    for (int k : down) state[k] = 0x80;
    SetKeyboardState(state);
    MSG msg{hwnd, WM_KEYDOWN, VK_F1, 0, 0, {}};
    bool taken = zv::KeyHookTake(msg);
    BYTE none[256] = {};
    SetKeyboardState(none);
    return taken;
  };
  EXPECT_TRUE(press({VK_CONTROL}));
  EXPECT_FALSE(press({VK_CONTROL, VK_SHIFT}));
  EXPECT_FALSE(press({}));
  EXPECT_FALSE(press({VK_MENU}));
  EXPECT_EQ(fired, 1);
  // Only key-down messages are offered.
  MSG up{hwnd, WM_KEYUP, VK_F1, 0, 0, {}};
  EXPECT_FALSE(zv::KeyHookTake(up));
  Destroy(form);
  zv::ClearKeyHooks();
}

TEST(KeyHooks, TheLoopConsumesAHookedKey) {
  zv::ClearKeyHooks();
  int fired = 0, keyDowns = 0;
  zv::SETKEY(VK_F5, 0, Value::Callable([&](zv::Args) -> Value {
    ++fired;
    return {};
  }));
  Value form = MakeForm("Keys");
  form.Send("_OnKeyDown", Value::Callable([&](zv::Args) -> Value {
    ++keyDowns;
    return {};
  }));
  BYTE none[256] = {};
  SetKeyboardState(none);
  PostMessageA(zv::ObjectHwnd(form), WM_KEYDOWN, VK_F5, 0);
  PostMessageA(zv::ObjectHwnd(form), WM_KEYDOWN, VK_F6, 0);
  Pump();
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(keyDowns, 1);  // F6 reached the window, F5 did not
  Destroy(form);
  zv::ClearKeyHooks();
}

TEST(KeyHooks, TheTableHolds256AndRemovalKeepsTheOrder) {
  zv::ClearKeyHooks();
  Value noop = Value::Callable([](zv::Args) { return Value(); });
  for (int k = 0; k < 256; ++k) zv::SETKEY(k, 0, noop);
  EXPECT_EQ(zv::KeyHookCount(), 256u);
  zv::SETKEY(999, 0, noop);  // the 257th is ignored
  EXPECT_EQ(zv::KeyHookCount(), 256u);
  EXPECT_TRUE(zv::SETKEY(999, 0).IsNil());
  Value other = Value::Callable([](zv::Args) { return Value(1); });
  EXPECT_EQ(zv::SETKEY(10, 0, other).heap(), noop.heap());  // the previous callable
  EXPECT_EQ(zv::SETKEY(10, 0).heap(), other.heap());  // replaced in place
  EXPECT_EQ(zv::SETKEY(10, 0, Value()).heap(), other.heap());  // removed; the old one comes back
  EXPECT_EQ(zv::KeyHookCount(), 255u);
  zv::SETKEY(999, 0, noop);  // room again
  EXPECT_EQ(zv::KeyHookCount(), 256u);
  // Lookups still find the entries that moved up.
  EXPECT_FALSE(zv::SETKEY(11, 0).IsNil());
  EXPECT_TRUE(zv::SETKEY(10, 0).IsNil());
  zv::ClearKeyHooks();
}

TEST(MessageBoxes, CaptionsTextsAndAnswers) {
  App().Send("_cTitle", "vorlent");
  zvtest::DialogAnswerer answer;
  answer.pressKey(VK_RETURN).pressButton(IDYES).pressButton(IDOK).pressButton(IDOK).pressButton(IDOK).pressButton(
      IDCANCEL);
  EXPECT_FALSE(zv::MsgNoYes("\xBF" "Desea salir del demo?"));  // Enter answers No
  EXPECT_TRUE(zv::MsgNoYes("Again?", "Own title"));
  EXPECT_EQ(zv::MsgInfo(42), IDOK);
  EXPECT_EQ(zv::MsgAlert(Value::List({1})), IDOK);
  EXPECT_EQ(zv::MsgInfo(zv::NewObject(zvtest::TestFormClass())), IDOK);
  EXPECT_EQ(App().Send("MessageBox", "Text", Value(), MB_OKCANCEL).AsInt(), IDCANCEL);
  ASSERT_EQ(answer.seen().size(), 6u);
  EXPECT_EQ(answer.seen()[0].caption, "vorlent");
  EXPECT_EQ(answer.seen()[0].text, "\xBF" "Desea salir del demo?");
  EXPECT_EQ(answer.seen()[1].caption, "Own title");
  EXPECT_EQ(answer.seen()[2].text, "42");
  EXPECT_EQ(answer.seen()[3].text, "{ ... }");
  EXPECT_EQ(answer.seen()[4].text, "{ TTestForm }");
  EXPECT_EQ(answer.seen()[5].caption, "vorlent");
  App().Send("_cTitle", "");
}

TEST(Loop, ProcessMessagesRunningFlagAndTerminate) {
  Value form = MakeForm("P");
  int seen = 0;
  form.Send("_OnKeyUp", Value::Callable([&](zv::Args) -> Value {
    ++seen;
    return {};
  }));
  for (int i = 0; i < 5; ++i) PostMessageA(zv::ObjectHwnd(form), WM_KEYUP, 'A', 0);
  zv::PROCESSMESSAGES();
  EXPECT_EQ(seen, 5);
  App().Send("_lTerminate", true);
  EXPECT_FALSE(zv::APPRUNNING());
  App().Send("InsertForm", form);  // a new form starts things again
  EXPECT_TRUE(zv::APPRUNNING());
  EXPECT_FALSE(AppGet("lTerminate").AsBool());
  // Terminate ends a running loop.
  Script script({[&] { App().Send("Terminate"); }});
  zv::RUNFORM(form);
  EXPECT_TRUE(IsWindow(zv::ObjectHwnd(form)));
  EXPECT_FALSE(zv::APPRUNNING());
  Destroy(form);
  Pump();
  App().Send("_lTerminate", false);
}

TEST(Loop, IdleWorkRunsOnlyWhenTheQueueIsEmptyAndCollectsGarbage) {
  Value form = MakeForm("Idle");
  int idle = 0;
  static int* idleCounter = nullptr;
  idleCounter = &idle;
  zv::AddIdleWork([] {
    if (idleCounter) ++*idleCounter;
  });
  // A batch of posted messages is handled without idle work in between.
  HWND hwnd = zv::ObjectHwnd(form);
  for (int i = 0; i < 50; ++i) PostMessageA(hwnd, WM_KEYUP, 'A', 0);
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  zv::RUNFORM(form);
  EXPECT_EQ(idle, 0);
  // Garbage cycles made before an idle moment are released there.
  static int freed = 0;
  zv::ClassDecl d("TIdleNode", nullptr);
  d.AddData("oOther");
  d.AddDestructor([](zv::Object&) { ++freed; });
  zv::Class* node = d.Finish();
  for (int i = 0; i < 3000; ++i) {
    Value x = zv::Object::New(node), y = zv::Object::New(node);
    x.Send("_oOther", y);
    y.Send("_oOther", x);
  }
  Value form2 = MakeForm("Idle2");
  Script script({[&] { Destroy(form2); }});
  zv::RUNFORM(form2);
  EXPECT_GT(idle, 0);
  EXPECT_EQ(freed, 6000);
  idleCounter = nullptr;
}

TEST(Application, HelpBusyAndActiveForm) {
  int helped = 0;
  Value args;
  App().Send("_OnHelp", Value::Callable([&](zv::Args a) -> Value {
    ++helped;
    // The application fires OnHelp as sender, with the asking control, the
    // help id and the position after it.
    args = Value::List({a.Get(2), a.Get(3), a.Get(4)});
    return {};
  }));
  App().Send("Help", Value(), 55, 1, 2);
  EXPECT_EQ(helped, 1);
  EXPECT_EQ(args.Item(1).AsInt(), 55);
  App().Send("_OnHelp", Value());
  Value helpArgs[] = {Value(), 1, 0, 0};
  EXPECT_FALSE(zv::SendUnchecked(App(), "CallOnHelp", zv::Args(helpArgs, 4)).AsBool());
  App().Send("_lBusy", true);
  EXPECT_EQ(GetCursor(), zv::WaitCursor());
  App().Send("_lBusy", false);
  EXPECT_FALSE(AppGet("lBusy").AsBool());

  Value form = MakeForm("Active");
  SetForegroundWindow(zv::ObjectHwnd(form));
  SetActiveWindow(zv::ObjectHwnd(form));
  Pump(100);
  EXPECT_EQ(zv::GetActiveForm().AsObject(), form.AsObject());
  EXPECT_EQ(AppGet("oActiveForm").AsObject(), form.AsObject());
  Destroy(form);
  Pump();
  App().Send("_lTerminate", false);
}

}  // namespace

namespace {

volatile LONG restorePosted = 0;
volatile LONG64 messagesWhileWaiting = -1;

// Posts the restore command to a minimized window from another thread, and
// counts what the loop took from the queue while it waited.
DWORD WINAPI PostRestoreLater(LPVOID window) {
  Sleep(50);
  const auto start = static_cast<LONG64>(zv::LoopMessageCount());
  Sleep(300);
  InterlockedExchange64(&messagesWhileWaiting, static_cast<LONG64>(zv::LoopMessageCount()) - start);
  InterlockedExchange(&restorePosted, 1);
  PostMessageA(static_cast<HWND>(window), WM_SYSCOMMAND, SC_RESTORE, 0);
  return 0;
}

TEST_F(Forms, AModalFormHiddenWithItsMinimizedOwnerWaitsForTheRestore) {
  Value owner = MakeForm("Owner");
  Value bystander = MakeForm("Bystander", true, 400, 50);
  Value modal = zv::NewObject(zvtest::TestFormClass(), owner);  // owned by the main form's window
  modal.Send("SetBounds", 80, 80, 200, 120);
  modal.Send("Create");
  ASSERT_EQ(GetWindow(zv::ObjectHwnd(modal), GW_OWNER), zv::ObjectHwnd(owner));
  int keysWhileWaiting = 0;
  modal.Send("_OnKeyUp", Value::Callable([&](zv::Args) -> Value { return ++keysWhileWaiting, Value(); }));
  restorePosted = 0;
  HANDLE restorer = nullptr;
  Script script({[&] {
    // Windows hides an owned form with its minimized owner (done by hand
    // here: Wine does not hide owned windows at once). The modal run must not
    // end; while it waits, everything but the owner's restore command is
    // dropped, timers included, so the restore comes from another thread.
    ShowWindow(zv::ObjectHwnd(modal), SW_HIDE);
    ShowWindow(zv::ObjectHwnd(owner), SW_MINIMIZE);
    PostMessageA(zv::ObjectHwnd(modal), WM_KEYUP, 'A', 0);
    // Another window needs painting meanwhile: its WM_PAINT is dropped too,
    // and must not come back at once for as long as the wait lasts.
    InvalidateRect(zv::ObjectHwnd(bystander), nullptr, TRUE);
    messagesWhileWaiting = -1;
    restorer = CreateThread(nullptr, 0, &PostRestoreLater, zv::ObjectHwnd(owner), 0, nullptr);
  }});
  modal.Send("ShowModal");
  // The run ended only after the restore: hidden by hand, the form then
  // counts as hidden by code.
  EXPECT_EQ(restorePosted, 1);
  EXPECT_FALSE(IsIconic(zv::ObjectHwnd(owner)));
  EXPECT_EQ(keysWhileWaiting, 0);
  EXPECT_EQ(script.done(), 1u);
  // A spinning wait takes tens of thousands of messages in 300 ms.
  EXPECT_GE(messagesWhileWaiting, 0);
  EXPECT_LT(messagesWhileWaiting, 100);
  // The painting put off by the wait happens after it.
  EXPECT_TRUE(GetUpdateRect(zv::ObjectHwnd(bystander), nullptr, FALSE));
  Pump(50);
  EXPECT_FALSE(GetUpdateRect(zv::ObjectHwnd(bystander), nullptr, FALSE));
  EXPECT_TRUE(IsWindowEnabled(zv::ObjectHwnd(owner)));
  if (restorer) {
    WaitForSingleObject(restorer, 5000);
    CloseHandle(restorer);
  }
}

TEST(WindowFunctions, RegisterCreateAndDefaultProcessing) {
  ATOM atom = zv::REGISTERCLASS("TFreeFunctionClass", CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW), nullptr);
  ASSERT_NE(atom, 0);
  EXPECT_EQ(zv::REGISTERCLASS("TFreeFunctionClass", 0, nullptr, nullptr), 0);  // already there
  HWND h = zv::CREATEWINDOW("TFreeFunctionClass", "free", WS_OVERLAPPED, 0, 0, 0, 50, 50, nullptr, 0);
  ASSERT_TRUE(h);
  // Created without a link record: the framework procedure gives default processing.
  EXPECT_TRUE(zv::GETCONTROLFROMHANDLE(h).IsNil());
  EXPECT_EQ(SendMessageA(h, WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_EQ(zv::GETINSTANCE(), GetModuleHandleA(nullptr));
  EXPECT_FALSE(zv::HandlerSymbol(WM_LBUTTONDBLCLK).name().empty());
  EXPECT_TRUE(zv::SameName(zv::HandlerSymbol(WM_LBUTTONDBLCLK).name(), "WMLButtonDblClk"));
  EXPECT_TRUE(zv::SameName(zv::HandlerSymbol(WM_USER + 1).name(), "WMZorvan"));
  EXPECT_FALSE(zv::HandlerSymbol(WM_USER + 2).valid());
  DestroyWindow(h);
}

}  // namespace
