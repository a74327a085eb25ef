// Tooltips with zones, drag and drop, help and status-bar messages of controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/core/application.h"
#include "framework/core/members.h"
#include "framework/window/control_interaction.h"
#include "tests/support/test_forms.h"

namespace {

using zv::Args;
using zv::Object;
using zv::Value;
namespace sym = zv::sym;
using Interaction = zvtest::FormTest;

HWND H(const Value& o) { return zv::ObjectHwnd(o); }
Value L(std::initializer_list<Value> v) { return Value::List(v); }

Value Make(zv::Class* cls, const Value& parent, int left, int top, int width, int height) {
  Value c = zv::NewObject(cls, parent);
  zv::TControlRef(c).SetBounds(left, top, width, height);
  zv::TControlRef(c).Create();
  return c;
}

// TTM_GETTEXT asks the tool's window for a callback text, as showing it would.
std::string ToolText(HWND tip, HWND owner, UINT_PTR id) {
  char buf[256] = {};
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = owner;
  ti.uId = id;
  ti.lpszText = buf;
  SendMessageA(tip, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
  return buf;
}
UINT_PTR Id(const Value& control) { return reinterpret_cast<UINT_PTR>(H(control)); }
LRESULT Tools(HWND tip) { return SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0); }

// Wine has no TTM_GETTITLE: the titles given are watched through a subclass.
std::vector<std::string> g_titles;
LRESULT CALLBACK WatchTitles(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
  if (msg == TTM_SETTITLEA) g_titles.push_back(std::to_string(w) + ":" + reinterpret_cast<const char*>(l));
  return DefSubclassProc(h, msg, w, l);
}

struct WindowCount {
  const char* cls;
  int n;
};
BOOL CALLBACK CountWindow(HWND h, LPARAM l) {
  auto* c = reinterpret_cast<WindowCount*>(l);
  char name[64] = {};
  GetClassNameA(h, name, sizeof name);
  if (!c->cls || lstrcmpiA(name, c->cls) == 0) ++c->n;
  return TRUE;
}
// Top-level windows of this thread (tooltips among them), of one class or all.
int ThreadWindows(const char* cls = nullptr) {
  WindowCount c{cls, 0};
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&c));
  return c.n;
}

zv::Class* Subclass(const char* name, zv::Class* base, void (*add)(zv::QVClass&)) {
  zv::QVClass b(name, {base});
  add(b);
  return b.Create();
}
// A button with a text per zone; a
// container with items; a plain object standing for items, menus and status bars.
zv::Class* ZoneButton() {
  static zv::Class* c = Subclass("TZoneButton", zvtest::TestButtonClass(), [](zv::QVClass& b) {
    b.Method("GetTooltip", [](Object& self, Args a) -> Value {
      if (a.Get(0).AsInt() == 0) return zv::Super(self, sym::GetTooltip, a);
      return "zone " + std::to_string(a.Get(0).AsInt()) + (a.Get(1).AsBool() ? " balloon" : "");
    });
  });
  return c;
}
zv::Class* ItemPanel() {
  static zv::Class* c =
      Subclass("TItemPanel", zvtest::TestPanelClass(), [](zv::QVClass& b) { b.Data("aItems", Value::List({})); });
  return c;
}
Value Plain(Value tooltip = {}) {
  static zv::Class* c = Subclass("TPlainItem", zv::TComponentClass(), [](zv::QVClass& b) {
    b.Data("cTooltip", Value());
    b.Data("cText", "");
    b.Data("aItems", Value());
    b.Method("SetText", [](Object& self, Args a) -> Value { return zv::Put(self, sym::set::cText, a.Get(0)), Value(); });
    b.Method("RequestState", [](Object& self, Args) -> Value {
      return zv::Put(self, sym::set::Cargo, zv::Get(self, sym::Cargo).AsInt() + 1), Value();
    });
  });
  Value o = zv::NewObject(c);
  zv::Put(o, sym::set::cTooltip, tooltip);
  return o;
}

TEST_F(Interaction, ZonesAnswerTheirTextsAndTitlesAndSurviveRecreation) {
  const HWND tip = zv::ApplicationTooltipWindow();
  const LRESULT base = Tools(tip);
  Value b = Make(ZoneButton(), form_, 10, 10, 120, 30), other = zvtest::MakeButton(form_, "o", 10, 60);
  zv::TControlRef v(b);
  v.cTooltip("whole");
  zv::TControlRef(other).cTooltip("other");
  EXPECT_EQ(ToolText(tip, H(form_), Id(b)), "whole");
  v.SetTooltipZones(L({L({0, 0, 40, 30}), L({40, 0, 80, 30}), L({80, 0, 120, 30})}));
  EXPECT_EQ(zv::Get(b, sym::nTooltipZones).AsInt(), 3);
  EXPECT_EQ(Tools(tip), base + 4);  // three zones and the other button; the whole-control tool went
  v.cTooltipTitle("Head");
  v.nTooltipIcon(TTI_INFO);
  SetWindowSubclass(tip, &WatchTitles, 1, 0);
  EXPECT_EQ(ToolText(tip, v.hwnd(), 2), "zone 2");
  EXPECT_EQ(ToolText(tip, H(form_), Id(other)), "other");
  RemoveWindowSubclass(tip, &WatchTitles, 1);
  EXPECT_EQ(g_titles, (std::vector<std::string>{"0:", "1:Head", "0:"}));  // cleared for the next tool
  v.cBalloon("b");
  v.SetBalloonZones(L({L({0, 0, 60, 30})}));
  EXPECT_EQ(ToolText(zv::ApplicationBalloonWindow(), v.hwnd(), 1), "zone 1 balloon");

  for (int i = 0; i < 20; ++i) {  // each new window gets the stored zones
    v.Destroy();
    EXPECT_FALSE(zv::Get(b, sym::lTooltip).AsBool());
    v.Create();
  }
  EXPECT_EQ(Tools(tip), base + 4);
  EXPECT_EQ(ToolText(tip, v.hwnd(), 3), "zone 3");
  v.SetTooltipZones(L({}));  // an empty list: no tool
  EXPECT_EQ(Tools(tip), base + 1);
  v.SetTooltipZones(Value());  // no list: the whole control again
  EXPECT_EQ(ToolText(tip, H(form_), Id(b)), "whole");
  v.Destroy();
  zv::TControlRef(other).Destroy();
  EXPECT_EQ(Tools(tip), base);
}

// A container's own zones are answered from its items (the second zone has
// none: GetTooltip); wide requests get converted copies, one per tooltip window.
TEST_F(Interaction, AContainersZonesItemTextsAndWideRequests) {
  const HWND tip = zv::ApplicationTooltipWindow();
  Value p = Make(ItemPanel(), form_, 10, 50, 100, 30);
  zv::Get(p, sym::aItems).Append(Plain("caf\xE9"));
  zv::TControlRef(p).cTooltip("panel");
  zv::TControlRef(p).cBalloon("panel balloon");
  zv::TControlRef(p).SetTooltipZones(L({L({0, 0, 50, 30}), L({50, 0, 100, 30})}));
  EXPECT_EQ(ToolText(tip, H(p), 1), "caf\xE9");
  EXPECT_EQ(ToolText(tip, H(p), 2), "panel");
  ASSERT_EQ(GetACP(), 1252u);
  NMTTDISPINFOW first{}, second{};
  first.hdr = {tip, 1, static_cast<UINT>(TTN_GETDISPINFOW)};
  second.hdr = {zv::ApplicationBalloonWindow(), 2, static_cast<UINT>(TTN_GETDISPINFOW)};
  EXPECT_EQ(SendMessageW(H(p), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&first)), 0);
  SendMessageW(H(p), WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&second));
  EXPECT_STREQ(first.lpszText, L"caf\xE9");
  EXPECT_STREQ(second.lpszText, L"panel balloon");  // the balloon window asks for cBalloon
  const std::size_t held = zv::ctlx::TooltipTextsHeld();
  NMHDR pop{tip, 0, static_cast<UINT>(TTN_POP)};
  SendMessageW(H(p), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&pop));
  EXPECT_EQ(zv::ctlx::TooltipTextsHeld(), held - 1);
}

TEST_F(Interaction, AShownTooltipIsOneWindowAndEndsWithTheControl) {
  Value b = zvtest::MakeButton(form_, "b", 10, 10);
  zv::TControlRef v(b);
  const int tips = ThreadWindows(TOOLTIPS_CLASSA), all = ThreadWindows();
  for (int i = 0; i < 40; ++i) {
    v.ShowTooltip(5, 5, "tip", "Title", 1);
    v.ShowBalloon(6, 6, "balloon " + std::to_string(i));
    ASSERT_EQ(ThreadWindows(TOOLTIPS_CLASSA), tips + 1);
    const HWND shown = H(v.oTooltip());
    EXPECT_EQ(GetWindowLongPtrA(shown, GWL_STYLE) & (TTS_BALLOON | TTS_CLOSE), TTS_BALLOON | TTS_CLOSE);
    EXPECT_EQ(ToolText(shown, v.hwnd(), Id(b)), "balloon " + std::to_string(i));
    if (i % 2) v.HideTooltip();
    else v.HideBalloon();
    EXPECT_TRUE(v.oTooltip().IsNil());
  }
  EXPECT_EQ(ThreadWindows(), all);
  v.ShowTooltip(5, 5, "last");
  v.Destroy();
  EXPECT_EQ(ThreadWindows(TOOLTIPS_CLASSA), tips);
  EXPECT_TRUE(v.oTooltip().IsNil());
}

// ---------------------------------------------------------------- drag and drop

std::vector<std::string> g_log;  // "begin S", "over T<S", "end T<-", ...
Value g_overAnswer, g_beginAnswer, g_destroyInOver;

class Drag : public zvtest::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    SetForegroundWindow(H(form_));
    source_ = Watch(Make(zvtest::TestPanelClass(), form_, 10, 10, 80, 24), "S");
    target_ = Watch(zvtest::MakeButton(form_, "target", 150, 10, 80, 60), "T");
  }
  void TearDown() override {
    g_log.clear();
    g_overAnswer = g_beginAnswer = g_destroyInOver = Value();
    FormTest::TearDown();
  }
  static std::string Name(const Value& o) { return o.IsObject() ? zv::Get(o, sym::Cargo).AsString() : "-"; }
  static Value Watch(Value c, const char* name) {
    zv::TControlRef v(c);
    zv::Put(c, sym::set::Cargo, name);
    v.OnBeginDrag().Bind(Value::Callable([](Args a) { return g_log.push_back("begin " + Name(a.Get(0))), g_beginAnswer; }));
    v.OnDragOver().Bind(Value::Callable([](Args a) {
      g_log.push_back("over " + Name(a.Get(0)) + "<" + Name(a.Get(1)));
      if (a.Get(0).AsObject() == g_destroyInOver.AsObject()) DestroyWindow(H(g_destroyInOver));
      return g_overAnswer;
    }));
    v.OnEndDrag().Bind(Value::Callable([](Args a) { return g_log.push_back("end " + Name(a.Get(0)) + "<" + Name(a.Get(1))), Value(); }));
    v.OnLButtonUp().Bind(Value::Callable([](Args a) { return g_log.push_back("up " + Name(a.Get(0))), Value(); }));
    return c;
  }
  int State() { return static_cast<int>(zv::Get(source_, sym::nOnDrag).AsInt()); }
  void Mouse(UINT msg, POINT p, WPARAM keys = MK_LBUTTON) { SendMessageA(H(source_), msg, keys, MAKELPARAM(p.x, p.y)); }
  POINT OverTarget() {  // in the source's client coordinates, where the captured mouse reports it
    POINT p{20, 20};
    MapWindowPoints(H(target_), H(source_), &p, 1);
    return p;
  }
  void Start() {
    Mouse(WM_LBUTTONDOWN, {5, 5});
    Mouse(WM_MOUSEMOVE, {5 + GetSystemMetrics(SM_CXDRAG), 5});
    g_log.clear();
  }
  HCURSOR ScreenCursor(zv::Symbol s) { return zv::ObjectHandle<HCURSOR>(zv::Get(zv::Screen(), s)); }
  Value source_, target_;
};

TEST_F(Drag, StartsPastTheThresholdAndDropsOnTheAcceptingControl) {
  Mouse(WM_LBUTTONDOWN, {5, 5});
  Mouse(WM_MOUSEMOVE, {5 + GetSystemMetrics(SM_CXDRAG) - 1, 5});
  EXPECT_EQ(State(), 1);
  EXPECT_EQ(GetCapture(), nullptr);
  Mouse(WM_MOUSEMOVE, {5 + GetSystemMetrics(SM_CXDRAG), 5});
  EXPECT_EQ(State(), 2);
  EXPECT_EQ(GetCapture(), H(source_));
  Mouse(WM_MOUSEMOVE, OverTarget());
  EXPECT_EQ(GetCursor(), ScreenCursor(sym::oCursorDropYes));
  Mouse(WM_LBUTTONUP, OverTarget(), 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"begin S", "over S<S", "over T<S", "end T<S"}));  // no click
  EXPECT_EQ(State(), 0);
  EXPECT_EQ(GetCapture(), nullptr);

  g_log.clear();  // a press and release inside the rectangle is a click
  Mouse(WM_LBUTTONDOWN, {5, 5});
  Mouse(WM_MOUSEMOVE, {6, 6});
  Mouse(WM_LBUTTONUP, {6, 6}, 0);
  EXPECT_EQ(g_log, std::vector<std::string>{"up S"});
  EXPECT_EQ(State(), 0);
}

TEST_F(Drag, RefusalsAndCancellationsReportToTheSourceOnce) {
  g_beginAnswer = false;
  Mouse(WM_LBUTTONDOWN, {5, 5});
  Mouse(WM_MOUSEMOVE, {40, 5});
  EXPECT_EQ(State(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(g_log, std::vector<std::string>{"begin S"});  // a drag that never began does not end
  g_beginAnswer = Value();

  g_overAnswer = false;
  Start();
  Mouse(WM_MOUSEMOVE, OverTarget());
  EXPECT_EQ(GetCursor(), ScreenCursor(sym::oCursorDropNo));
  Mouse(WM_LBUTTONUP, OverTarget(), 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"over T<S", "end S<-"}));
  g_overAnswer = Value();

  Start();
  SetCapture(H(form_));  // another window takes the capture
  ReleaseCapture();
  EXPECT_EQ(State(), 0);
  EXPECT_EQ(g_log, std::vector<std::string>{"end S<-"});

  Start();
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
  zvtest::Pump(100);
  EXPECT_EQ(State(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(g_log, std::vector<std::string>{"end S<-"});
}

TEST_F(Drag, ControlsDestroyedDuringTheDrag) {
  g_destroyInOver = target_;
  Start();
  Mouse(WM_MOUSEMOVE, OverTarget());
  Mouse(WM_LBUTTONUP, OverTarget(), 0);  // on the form, which has no OnDragOver: it refuses
  EXPECT_EQ(g_log, (std::vector<std::string>{"over T<S", "end S<-"}));
  EXPECT_EQ(State(), 0);

  target_ = Watch(zvtest::MakeButton(form_, "target", 150, 10, 80, 60), "T");
  g_destroyInOver = source_;  // the source goes when it is asked first
  Start();
  EXPECT_FALSE(IsWindow(H(source_)));
  EXPECT_EQ(GetCapture(), nullptr);
  g_destroyInOver = Value();
  source_ = Watch(Make(zvtest::TestPanelClass(), form_, 10, 10, 80, 24), "S");
  Start();
  Mouse(WM_LBUTTONUP, OverTarget(), 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"over T<S", "end T<S"}));
}

// ---------------------------------------------------------------- help, menus, status messages

Value g_help;

Value MakeForm() {
  static zv::Class* c = Subclass("TInteractionForm", zvtest::TestFormClass(), [](zv::QVClass& b) {
    b.Method("Help", [](Object&, Args a) -> Value { return g_help = L({a.Get(0), a.Get(1), a.Get(2), a.Get(3)}), Value(); });
    b.Data("oPopup", Value());
    b.Data("oMsgBar", Value());
    b.Data("lMsgAuto", false);
  });
  Value f = zv::NewObject(c);
  zv::TWinControlRef(f).SetBounds(60, 60, 300, 200);
  zv::TWinControlRef(f).Create();
  zv::TWinControlRef(f).Show();
  return f;
}

LRESULT SendHelp(const Value& control, int x, int y) {
  HELPINFO hi{sizeof hi, HELPINFO_WINDOW, 0, H(control), 0, {x, y}};
  return SendMessageA(H(control), WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
}

TEST_F(Interaction, HelpGoesToTheFormOrTheApplicationOrPassesToTheParent) {
  Value form = MakeForm();
  Value panel = Make(zvtest::TestPanelClass(), form, 5, 5, 200, 100), inner = zvtest::MakeButton(panel, "i", 5, 5);
  zv::TControlRef(panel).HelpId("panel topic");
  zv::TControlRef(inner).HelpId(42);
  EXPECT_EQ(SendHelp(inner, 11, 22), TRUE);
  EXPECT_EQ(g_help.Item(1).AsObject(), inner.AsObject());
  EXPECT_EQ(g_help.Item(2).AsInt(), 42);
  EXPECT_EQ(g_help.Item(3).AsInt() * 100 + g_help.Item(4).AsInt(), 1122);
  zv::TControlRef(inner).HelpId(Value());  // default processing asks the parent
  SendHelp(inner, 1, 2);
  EXPECT_EQ(g_help.Item(1).AsObject(), panel.AsObject());
  zv::TWinControlRef(form).Destroy(true);

  Value b = zvtest::MakeButton(form_, "b", 10, 10);  // a form without Help: the application's
  zv::TControlRef(b).HelpId("app");
  zv::TApplicationRef app(zv::Application());
  app.OnHelp().Bind(Value::Callable([](Args a) { return g_help = L({a.Get(1), a.Get(2)}), Value(); }));
  SendMessageA(H(b), 0x004D, 0, 0);  // WM_KEYF1: the system's F1, which makes the WM_HELP
  app.OnHelp().Clear();
  EXPECT_EQ(g_help.Item(1).AsObject(), b.AsObject());
  EXPECT_EQ(g_help.Item(2).AsString(), "app");
  g_help = Value();
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

TEST_F(Interaction, PopupMenusRequestTheStatesOfTheirMenuObject) {
  Value form = MakeForm(), shortcut = Plain(), bar = Plain();
  zv::Put(form, sym::set::oPopup, shortcut);
  zv::TWinControlRef(form).oMenu(bar);
  HMENU popup = CreatePopupMenu(), menuBar = CreateMenu(), file = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING, 1, "one");
  AppendMenuA(file, MF_STRING, 2, "two");
  AppendMenuA(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");
  SetMenu(H(form), menuBar);
  SetTimer(nullptr, 0, 100, &CloseMenu);
  Value b = zvtest::MakeButton(form, "b", 10, 10);
  zv::TControlRef(b).ShowPopupMenu(zv::HandleValue(popup), 5, 5);
  EXPECT_EQ(zv::Get(shortcut, sym::Cargo).AsInt(), 1);  // a shortcut menu: the form's oPopup
  EXPECT_EQ(SendMessageA(H(form), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0), 0);
  EXPECT_EQ(zv::Get(bar, sym::Cargo).AsInt(), 1);  // a pop-up of the menu bar: its oMenu
  EXPECT_EQ(zv::Get(shortcut, sym::Cargo).AsInt(), 1);
  DestroyMenu(popup);
  zv::TWinControlRef(form).Destroy(true);
}

TEST_F(Interaction, TheFocusShowsTheControlsMessageInTheStatusBar) {
  Value form = MakeForm(), status = Plain(), first = Plain();
  zv::Put(status, sym::set::aItems, L({first, Plain()}));
  zv::Put(form, sym::set::oMsgBar, status);
  Value a = zvtest::MakeButton(form, "a", 10, 10), b = zvtest::MakeButton(form, "b", 10, 40);
  zv::TStdControlRef(a).cMessage("Saves the file");
  zv::Put(form, sym::set::lMsgAuto, true);
  zv::TControlRef(a).SetFocus();
  EXPECT_EQ(zv::Get(first, sym::cText).AsString(), "Saves the file");
  zv::Put(first, sym::set::cText, "");
  zv::TControlRef(b).SetFocus();  // no message of its own
  zv::Put(form, sym::set::lMsgAuto, false);
  zv::TControlRef(a).SetFocus();
  EXPECT_EQ(zv::Get(first, sym::cText).AsString(), "");
  zv::TWinControlRef(form).Destroy(true);
}

}  // namespace
