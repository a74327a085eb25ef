// Window objects: link records, the framework window procedure, dispatch to
// handler methods, reflection, focus navigation and destruction.
#include <gtest/gtest.h>

#include "framework/core/application.h"
#include "framework/core/loop.h"
#include "framework/window/message_names.h"
#include "framework/window/winobject.h"
#include "support/test_forms.h"

namespace {

using zv::Args;
using zv::Object;
using zv::Value;
using zvtest::MakeButton;
using zvtest::MakeForm;
using zvtest::Pump;


HWND H(const Value& o) { return zv::ObjectHwnd(o); }

// A control whose WM_SETTEXT handler answers whatever the test asks.
Value g_setTextAnswer;
std::vector<std::string> g_log;

zv::Class* ProbeClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TProbe", {zv::TWinControlClass()});
    b.Method("WMSetText", [](Object&, Args) -> Value { return g_setTextAnswer; });
    b.Method("WMZorvan", [](Object& self, Args a) -> Value {
      g_log.push_back("WMZorvan " + a.Get(0).ToDisplay());
      if (a.Get(0).AsInt() == 1) {  // destroy the window from inside its own message
        DestroyWindow(zv::ObjectHwnd(Value(&self)));
        return 5;
      }
      if (a.Get(0).AsInt() >= 10 && a.Get(0).AsInt() < 40)  // re-enter
        return static_cast<long long>(SendMessageA(zv::ValueHwnd(a.Get(2)), zv::WM_ZORVAN, a.Get(0).AsInt() + 1, 0)) + 1;
      return a.Get(0);
    });
    b.Method("HandleEvent", [](Object&, Args a) -> Value {
      if (a.Get(0).AsInt() < WM_USER) return {};  // only the program's own messages are logged
      g_log.push_back("HandleEvent " + a.Get(0).ToDisplay() + " " + a.Get(1).ToDisplay() + " " + a.Get(2).ToDisplay());
      return a.Get(0).AsInt() == WM_USER + 100 ? Value(77) : Value();
    });
    b.Method("Command", [](Object&, Args a) -> Value {
      g_log.push_back("Command " + a.Get(0).ToDisplay() + " " + a.Get(1).ToDisplay());
      return {};
    });
    return b.Create();
  }();
  return c;
}

Value MakeProbe(const Value& parent, int left = 5, int top = 5) {
  Value p = zv::NewObject(ProbeClass(), parent);
  p.Send("SetBounds", left, top, 50, 30);
  p.Send("Create");
  return p;
}

class Window : public zvtest::FormTest {
 protected:
  void SetUp() override {
    g_log.clear();
    g_setTextAnswer = Value();
    FormTest::SetUp();
  }
};

std::string Text(HWND h) {
  char buf[256] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

TEST_F(Window, NoValueLetsTheDefaultRunAndZeroSuppressesIt) {
  Value probe = MakeProbe(form_);
  g_setTextAnswer = Value();
  SetWindowTextA(H(probe), "first");
  EXPECT_EQ(Text(H(probe)), "first");
  g_setTextAnswer = 0;
  SetWindowTextA(H(probe), "second");
  EXPECT_EQ(Text(H(probe)), "first");
  g_setTextAnswer = "text is not an answer";
  SetWindowTextA(H(probe), "third");
  EXPECT_EQ(Text(H(probe)), "third");
  g_setTextAnswer = true;  // handled, result 1
  EXPECT_EQ(SendMessageA(H(probe), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("fourth")), 1);
  EXPECT_EQ(Text(H(probe)), "third");
  g_setTextAnswer = Value();
}

TEST_F(Window, HandlersGetTheirArgumentsAndTheCatchAllTakesTheRest) {
  Value probe = MakeProbe(form_);
  EXPECT_EQ(SendMessageA(H(probe), zv::WM_ZORVAN, 3, 0), 3);
  EXPECT_EQ(SendMessageA(H(probe), WM_USER + 100, 8, 9), 77);
  ASSERT_GE(g_log.size(), 2u);
  EXPECT_EQ(g_log[0], "WMZorvan 3");
  // HandleEvent's argument order: message, wParam, lParam, window.
  EXPECT_EQ(g_log.back(), "HandleEvent " + std::to_string(WM_USER + 100) + " 8 9");
  EXPECT_EQ(zv::GETCONTROLFROMHANDLE(H(probe)).AsObject(), probe.AsObject());
  EXPECT_TRUE(zv::GETCONTROLFROMHANDLE(nullptr).IsNil());
}

TEST_F(Window, AControlOnButtonHasItsOwnClassAndStillBehavesAsAButton) {
  Value button = MakeButton(form_, "&Press", 10, 10);
  char cls[64] = {};
  GetClassNameA(H(button), cls, sizeof cls);
  EXPECT_STREQ(cls, "TTestButton");
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetClassLongPtrA(H(button), GCLP_WNDPROC)), &zv::FrameworkWindowProc);
  // Default processing reaches the system button procedure.
  EXPECT_TRUE(SendMessageA(H(button), WM_GETDLGCODE, 0, 0) & DLGC_BUTTON);
  int clicks = 0;
  button.Send("_OnClick", Value::Callable([&](Args a) -> Value {
    ++clicks;
    EXPECT_EQ(a.Get(0).AsObject(), button.AsObject());
    return {};
  }));
  SendMessageA(H(button), BM_CLICK, 0, 0);  // the button notifies its parent, which reflects
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Text(H(button)), "&Press");
  EXPECT_EQ(button.Send("cText").AsString(), "&Press");
}

int g_originalCalls = 0;
LRESULT CALLBACK OriginalProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  ++g_originalCalls;
  return DefWindowProcA(h, m, w, l);
}

TEST_F(Window, LinkingAnExistingWindowSubclassesItAndUnlinkingRestoresIt) {
  HWND foreign = zvtest::MakeForeignWindow("ForeignWindowClass", &OriginalProc);
  ASSERT_TRUE(foreign);
  Value probe = zv::Object::New(ProbeClass());
  zv::SendUnchecked(probe, "_Handle", Args(std::vector<Value>{zv::HandleValue(foreign)}.data(), 1));
  Value args[] = {zv::HandleValue(foreign)};
  zv::SendUnchecked(probe, "_Handle", Args(args, 1));
  probe.Send("Link");
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(foreign, GWLP_WNDPROC)), &zv::FrameworkWindowProc);
  g_originalCalls = 0;
  EXPECT_EQ(SendMessageA(foreign, zv::WM_ZORVAN, 4, 0), 4);  // through the object's handler
  SendMessageA(foreign, WM_NULL, 0, 0);                       // no handler: the old procedure runs
  EXPECT_GE(g_originalCalls, 1);
  probe.Send("Unlink");
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(foreign, GWLP_WNDPROC)), &OriginalProc);
  EXPECT_EQ(GetWindowLongPtrA(foreign, GWLP_USERDATA), 0);
  EXPECT_TRUE(zv::GETCONTROLFROMHANDLE(foreign).IsNil());
  DestroyWindow(foreign);
}

TEST_F(Window, CommandsReachTheChildNotTheParentAndAcceleratorsDoNothing) {
  Value probe = MakeProbe(form_);
  Value child = MakeProbe(probe);
  // A notification from the child, sent to its parent, is reflected to the child.
  SendMessageA(H(probe), WM_COMMAND, MAKEWPARAM(123, 5), reinterpret_cast<LPARAM>(H(child)));
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0], "Command 5 123");
  // Accelerator (lParam 0, code 1): nothing, and not handled.
  g_log.clear();
  Value menuCalls = Value::List({});
  probe.Send("_oMenu", zv::Object::New(zv::RootClass()));  // an object without DoAction would fail if asked
  EXPECT_EQ(SendMessageA(H(probe), WM_COMMAND, MAKEWPARAM(7, 1), 0), 0);
  EXPECT_TRUE(g_log.empty());
  probe.Send("_oMenu", Value());
}

TEST_F(Window, RemovingAControlNotInTheListStillRemovesItsShortcuts) {
  Value button = MakeButton(form_, "&Go", 10, 10);
  Value log = form_.Send("aShortCutLog");
  ASSERT_EQ(log.Len(), 1u);
  EXPECT_EQ(log.Item(1).Item(1).AsString(), "add");
  Value stranger = zv::NewObject(zvtest::TestButtonClass(), form_);  // never created, never inserted
  const std::size_t before = form_.Send("aControls").Len();
  form_.Send("RemoveControl", stranger);
  EXPECT_EQ(form_.Send("aControls").Len(), before);
  ASSERT_EQ(log.Len(), 2u);
  EXPECT_EQ(log.Item(2).Item(1).AsString(), "del");
  EXPECT_EQ(log.Item(2).Item(2).AsObject(), stranger.AsObject());
}

TEST_F(Window, TabFromTheLastTabStopWrapsToTheFirst) {
  Value b1 = MakeButton(form_, "One", 10, 10);
  Value panel = zv::NewObject(zvtest::TestPanelClass(), form_);
  panel.Send("SetBounds", 10, 40, 200, 60);
  panel.Send("Create");
  Value b2 = MakeButton(panel, "Two", 5, 5);
  Value b3 = MakeButton(form_, "Three", 10, 110);
  SetForegroundWindow(H(form_));
  Pump(50);
  b1.Send("SetFocus");
  EXPECT_EQ(GetFocus(), H(b1));
  EXPECT_EQ(form_.Send("GoNextControl").AsInt(), zv::HandleValue(H(b2)).AsInt());  // into the panel
  EXPECT_EQ(GetFocus(), H(b2));
  form_.Send("GoNextControl");
  EXPECT_EQ(GetFocus(), H(b3));
  form_.Send("GoNextControl");  // from the last: back to the first
  EXPECT_EQ(GetFocus(), H(b1));
  form_.Send("GoPrevControl");
  EXPECT_EQ(GetFocus(), H(b3));
  // The Tab key itself: translated to WM_CHAR and handled by the focused control.
  PostMessageA(H(b3), WM_KEYDOWN, VK_TAB, 0);
  Pump();
  EXPECT_EQ(GetFocus(), H(b1));
  EXPECT_EQ(form_.Send("oActiveControl").AsObject(), b1.AsObject());
}

TEST_F(Window, ValidRefusingKeepsTheFocus) {
  Value b1 = MakeButton(form_, "One", 10, 10);
  Value b2 = MakeButton(form_, "Two", 10, 40);
  SetForegroundWindow(H(form_));
  Pump(50);
  b1.Send("SetFocus");
  b1.Send("_OnExit", Value::Callable([](Args) -> Value { return false; }));
  EXPECT_EQ(form_.Send("GoNextControl").AsInt(), 0);
  EXPECT_EQ(GetFocus(), H(b1));
  b1.Send("_OnExit", Value());
  form_.Send("GoNextControl");
  EXPECT_EQ(GetFocus(), H(b2));
}

TEST_F(Window, GoFirstControlAndStateRequests) {
  Value b1 = MakeButton(form_, "One", 10, 10);
  Value b2 = MakeButton(form_, "Two", 10, 40);
  std::vector<std::string> order;
  for (auto& [b, name] : {std::pair{b1, "one"}, std::pair{b2, "two"}})
    b.Send("_OnCheckState", Value::Callable([&order, n = std::string(name)](Args) -> Value {
      order.push_back(n);
      return n != "one";  // the first button gets disabled
    }));
  form_.Send("RequestState");
  EXPECT_EQ(order, (std::vector<std::string>{"two", "one"}));  // last child first
  EXPECT_FALSE(IsWindowEnabled(H(b1)));
  SetForegroundWindow(H(form_));
  Pump(50);
  EXPECT_EQ(form_.Send("GoFirstControl").AsObject(), b2.AsObject());
  EXPECT_EQ(GetFocus(), H(b2));
}

TEST_F(Window, DestructionSavesTheTextRunsFreeAndAllowsRecreation) {
  Value probe = MakeProbe(form_);
  std::vector<std::string> events;
  probe.Send("_OnDestroy", Value::Callable([&](Args) -> Value {
    events.push_back("destroy");
    return {};
  }));
  probe.Send("_OnDestroyed", Value::Callable([&](Args) -> Value {
    events.push_back("destroyed");
    return {};
  }));
  SetWindowTextA(H(probe), "kept");
  const std::size_t children = form_.Send("aControls").Len();
  probe.Send("Destroy", true);
  EXPECT_EQ(events, (std::vector<std::string>{"destroy", "destroyed"}));
  EXPECT_EQ(probe.Send("Handle").AsInt(), 0);
  EXPECT_EQ(probe.Send("cText").AsString(), "kept");
  EXPECT_EQ(form_.Send("aControls").Len(), children - 1);
  probe.Send("Create");
  ASSERT_TRUE(IsWindow(H(probe)));
  EXPECT_EQ(Text(H(probe)), "kept");
  EXPECT_EQ(zv::GETCONTROLFROMHANDLE(H(probe)).AsObject(), probe.AsObject());
}

TEST_F(Window, AWindowDestroyedInsideItsOwnMessageAndReentrantMessages) {
  Value probe = MakeProbe(form_);
  HWND h = H(probe);
  EXPECT_EQ(SendMessageA(h, zv::WM_ZORVAN, 10, 0), 70);  // 30 nested sends, each adding one to 40
  EXPECT_EQ(SendMessageA(h, zv::WM_ZORVAN, 1, 0), 5);    // the handler destroys its own window
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(probe.Send("Handle").AsInt(), 0);
  Pump();
  zv::FreeReleasedLinks();
}

TEST_F(Window, ForeignUserDataIsNeverTrusted) {
  HWND plain = CreateWindowA("STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(plain);
  struct Fake {
    char sig[4] = {'W', 'L', 'N', 'K'};
    void* junk[12] = {};
  } fake;
  for (LONG_PTR data : {LONG_PTR{0}, LONG_PTR{3}, LONG_PTR{4}, LONG_PTR{0x1234},
                        reinterpret_cast<LONG_PTR>(&fake), LONG_PTR{-1}}) {
    SetWindowLongPtrA(plain, GWLP_USERDATA, data);
    EXPECT_TRUE(zv::GETCONTROLFROMHANDLE(plain).IsNil());
    // The framework procedure on a window that is not linked: default processing.
    EXPECT_EQ(zv::FrameworkWindowProc(plain, WM_GETTEXTLENGTH, 0, 0), 5);
    EXPECT_EQ(zv::PREVWINDOWPROC(plain, WM_GETTEXTLENGTH, 0, 0), 5);
  }
  DestroyWindow(plain);
}

int g_destructed = 0;

zv::Class* CountedClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TCountedPanel", {zv::TWinControlClass()});
    b.Destructor([](Object&) { ++g_destructed; });
    return b.Create();
  }();
  return c;
}

TEST_F(Window, LinkRecordsAreFreedAtTheNextLinkAndObjectsAreNeitherLeakedNorFreedEarly) {
  zv::FreeReleasedLinks();
  zv::Collect();
  const zv::LinkStats start = zv::GetLinkStats();
  g_destructed = 0;
  const int n = 3000;
  for (int i = 0; i < n; ++i) {
    Value panel = zv::NewObject(CountedClass(), form_);
    panel.Send("SetBounds", 1, 1, 5, 5);
    panel.Send("Create");
    ASSERT_TRUE(H(panel)) << i;
    if (i > 0) {
      // The previous window's record was freed by this Link; only this one is live.
      EXPECT_EQ(zv::GetLinkStats().released, 0u);
    }
    panel.Send("Destroy", true);
    form_.Send("aShortCutLog").AsList().items.clear();  // the test form's log holds the controls
    EXPECT_EQ(zv::GetLinkStats().released, 1u);  // waiting for the next link
    // The record still holds the object: it is not freed while its window may
    // still have a message running.
    EXPECT_EQ(g_destructed, i);
  }
  zv::FreeReleasedLinks();
  zv::Collect();
  EXPECT_EQ(g_destructed, n);
  const zv::LinkStats end = zv::GetLinkStats();
  EXPECT_EQ(end.live, start.live);
  EXPECT_EQ(end.freed - start.freed, static_cast<std::size_t>(n));
}

TEST_F(Window, ColourMessagesAskTheControlOrUseTheParentsBrush) {
  Value probe = MakeProbe(form_);
  HWND child = CreateWindowA("STATIC", "x", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, H(probe), nullptr, nullptr, nullptr);
  HDC dc = GetDC(child);
  // No brush anywhere: not handled (the default answer is a system brush or 0).
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  Value args[] = {zv::HandleValue(red)};
  zv::SendUnchecked(probe, "_hBrush", Args(args, 1));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(H(probe), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(child))),
            red);
  // A linked child with a brush answers for itself.
  Value inner = MakeProbe(probe);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  Value args2[] = {zv::HandleValue(blue)};
  zv::SendUnchecked(inner, "_hBrush", Args(args2, 1));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(H(probe), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(H(inner)))),
            blue);
  ReleaseDC(child, dc);
  DestroyWindow(child);
  DeleteObject(red);
  DeleteObject(blue);
}

}  // namespace
