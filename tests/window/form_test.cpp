// Forms: the close protocol, Enter and Escape, "&" shortcuts, border styles
// and their window classes, the saved window state and MDI children.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/application.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "runtime/heap.h"
#include "framework/window/form.h"
#include "framework/window/msgbar.h"
#include "support/test_forms.h"

namespace {

using zv::Value;

class Forms : public ::testing::Test {
 protected:
  Value MakeTForm(long long borderStyle = 2) {
    Value form = zv::NewObject(zv::TFormClass(), zv::Application());
    zv::TFormRef f(form);
    f.SetBounds(40, 40, 320, 220);
    f.nBorderStyle(borderStyle);
    f.cText("form");
    f.Create();
    f.Show();
    zvtest::Pump(20);
    made_.push_back(form);
    return form;
  }
  void TearDown() override {
    for (Value& f : made_)
      if (HWND h = zv::ObjectHwnd(f); h && IsWindow(h)) zv::TFormRef(f).Close(true);
    zvtest::Pump();
  }
  std::vector<Value> made_;
};

bool InApplication(const Value& form) {
  const Value forms = zv::Get(zv::Application(), zv::sym::aForms);
  for (const Value& f : forms.AsList().items)
    if (f.AsObject() == form.AsObject()) return true;
  return false;
}

TEST_F(Forms, OnCloseMayRefuseAndAForcedCloseSkipsIt) {
  Value form = MakeTForm();
  zv::TFormRef f(form);
  EXPECT_TRUE(InApplication(form));
  int asked = 0;
  f.OnClose().Bind(Value::Callable([&asked](zv::Args) -> Value {
    ++asked;
    return false;
  }));
  EXPECT_FALSE(f.Close().AsBool());
  EXPECT_TRUE(IsWindow(f.hwnd()));
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(f.Close(true).AsBool());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(f.hwnd(), nullptr);
  EXPECT_FALSE(InApplication(form));
}

TEST_F(Forms, EnterEscapeAndShortcutsReachTheRightButton) {
  Value form = MakeTForm();
  zv::TFormRef f(form);
  Value ok = zvtest::MakeButton(form, "&Save", 10, 10);
  Value other = zvtest::MakeButton(form, "&Skip", 10, 40);
  Value cancel = zvtest::MakeButton(form, "Cancel", 10, 70);
  std::vector<std::string> clicks;
  for (auto [b, name] : {std::pair{ok, "ok"}, std::pair{other, "other"}, std::pair{cancel, "cancel"}})
    zv::TStdControlRef(b).OnClick().Bind(Value::Callable([&clicks, n = std::string(name)](zv::Args) -> Value {
      clicks.push_back(n);
      return {};
    }));
  zv::Put(form, zv::sym::set::oDefaultButton, ok);
  zv::Put(form, zv::sym::set::oCancelButton, cancel);
  SendMessageA(zv::ObjectHwnd(other), WM_KEYDOWN, VK_RETURN, 0);  // bubbles from the control
  SendMessageA(f.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel"}));
  clicks.clear();
  // Alt+S: the first usable control with S; a disabled one is skipped.
  SendMessageA(f.hwnd(), WM_SYSCHAR, 's', 0);
  zv::TStdControlRef(ok).Disable();
  SendMessageA(f.hwnd(), WM_SYSCHAR, 'S', 0);
  EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "other"}));
  // A new text moves the shortcut.
  clicks.clear();
  zv::TStdControlRef(cancel).SetText("&Quit");
  SendMessageA(f.hwnd(), WM_SYSCHAR, 'q', 0);
  EXPECT_EQ(clicks, (std::vector<std::string>{"cancel"}));
}

TEST_F(Forms, BorderStylesGiveTheirClassesAndEscapeClosesADialog) {
  Value dialog = MakeTForm(3);
  char cls[64] = {};
  GetClassNameA(zv::ObjectHwnd(dialog), cls, sizeof cls);
  EXPECT_STREQ(cls, "TDialog");
  EXPECT_TRUE(GetWindowLongPtrA(zv::ObjectHwnd(dialog), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  SendMessageA(zv::ObjectHwnd(dialog), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(zv::ObjectHwnd(dialog), nullptr);
  Value sizeable = MakeTForm(2);
  GetClassNameA(zv::ObjectHwnd(sizeable), cls, sizeof cls);
  EXPECT_STREQ(cls, "TForm");
  SendMessageA(zv::ObjectHwnd(sizeable), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(IsWindow(zv::ObjectHwnd(sizeable)));
}

TEST_F(Forms, WithoutACloseBoxTheSystemMenuLosesCloseAndItsSeparator) {
  Value form = zv::NewObject(zv::TFormClass(), zv::Application());
  zv::TFormRef f(form);
  f.lCloseBox(false);
  f.Create();
  made_.push_back(form);
  HMENU menu = GetSystemMenu(f.hwnd(), FALSE);
  const int n = GetMenuItemCount(menu);
  ASSERT_GT(n, 0);
  for (int i = 0; i < n; ++i) EXPECT_NE(GetMenuItemID(menu, i), static_cast<UINT>(SC_CLOSE));
  EXPECT_NE(GetMenuState(menu, static_cast<UINT>(n - 1), MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
}

TEST_F(Forms, SavedStateRoundTripsAndBadTextsAreIgnored) {
  Value form = MakeTForm();
  zv::TFormRef f(form);
  f.SetBounds(30, 35, 300, 200);
  const std::string saved = f.SaveState().AsString();
  ASSERT_EQ(saved.size(), 17u);
  EXPECT_EQ(saved.substr(0, 16), "001E0023012C00C8");
  EXPECT_EQ(saved[16], 'N');
  f.SetBounds(0, 0, 100, 100);
  EXPECT_TRUE(f.RestoreState(saved).AsBool());
  RECT r{};
  GetWindowRect(f.hwnd(), &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_FALSE(f.RestoreState("short").AsBool());
  EXPECT_FALSE(f.RestoreState("ZZZZ0023012C00C8N").AsBool());
  EXPECT_TRUE(f.RestoreState("FFF6FFF6012C00C8n").AsBool());  // negative fields, hidden
  GetWindowRect(f.hwnd(), &r);
  EXPECT_EQ(r.left, -10);
  EXPECT_FALSE(IsWindowVisible(f.hwnd()));
}

Value g_modal;
void CALLBACK EndModalSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  zv::Put(g_modal, zv::sym::set::nModalResult, 7);
  zv::TFormRef(g_modal).Close();
}

TEST_F(Forms, TrackingLimitsHoldForSizesSetByTheProgram) {
  Value form = MakeTForm();
  zv::TFormRef f(form);
  f.SetMinSize(200, 150);
  f.SetMaxSize(400, 300);
  RECT r{};
  f.SetBounds(40, 40, 100, 100);
  GetWindowRect(f.hwnd(), &r);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 150);
  SetWindowPos(f.hwnd(), nullptr, 0, 0, 900, 900, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(f.hwnd(), &r);
  EXPECT_EQ(r.right - r.left, 400);
  EXPECT_EQ(r.bottom - r.top, 300);
  EXPECT_EQ(f.nWidth(), 400);  // the stored size follows the window
}

TEST_F(Forms, AModalFormReturnsItsResultAndTheOthersAreEnabledAgain) {
  Value owner = MakeTForm();
  g_modal = zv::NewObject(zv::TFormClass(), zv::Application());
  zv::TFormRef m(g_modal);
  m.SetBounds(60, 60, 200, 120);
  m.Create();
  made_.push_back(g_modal);
  SetTimer(nullptr, 0, 50, &EndModalSoon);
  EXPECT_EQ(m.ShowModal().AsInt(), 7);
  EXPECT_EQ(m.hwnd(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(zv::ObjectHwnd(owner)));
  g_modal = Value();
}

LRESULT CALLBACK RefuseWindows(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_CREATEWND) return 1;  // CreateWindowEx fails
  return CallNextHookEx(nullptr, code, w, l);
}

void CALLBACK AbortSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  zv::DeferException(std::make_exception_ptr(zv::Break(Value("stop"))));
}

BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}
int ThreadWindows() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&n));
  return n;
}

TEST_F(Forms, ManyFormsWithControlsComeAndGoWithoutLeaks) {
  // Under Wine 8 GetGuiResources answers 0, so the GDI side is counted
  // object by object: every brush a form or one of its controls made must
  // be gone (GetObjectType 0) as soon as the form is.
  int gdiLeft = 0, gdiSeen = 0;
  auto cycle = [&] {
    Value form = zv::NewObject(zv::TFormClass(), zv::Application());
    zv::TFormRef f(form);
    f.SetBounds(10, 10, 300, 200);
    f.Create();
    std::vector<Value> parts{form};
    for (int i = 0; i < 12; ++i)
      parts.push_back(zvtest::MakeButton(form, "&b" + std::to_string(i), 5, 5 + i * 12, 60, 12));
    Value bar = zv::NewObject(zv::TMsgBarClass(), form);
    bar.Send(zv::sym::Create, form);
    bar.Send(zv::sym::AddItem, "ready");
    bar.Send(zv::sym::AddItem, "", 40);
    parts.push_back(bar);
    f.Show();
    UpdateWindow(f.hwnd());
    std::vector<HGDIOBJ> gdi;
    for (const Value& p : parts)
      if (HGDIOBJ h = zv::ValueHandle<HGDIOBJ>(zv::Get(p, zv::sym::hBrush))) gdi.push_back(h);
    f.Close(true);
    for (HGDIOBJ h : gdi) gdiLeft += GetObjectType(h) != 0;
    gdiSeen += static_cast<int>(gdi.size());
  };
  cycle();  // classes registered, first-use allocations made
  zvtest::Pump();
  zv::RunIdleWork();
  zv::Collect();
  const int windows = ThreadWindows();
  const std::size_t links = zv::GetLinkStats().live;
  const std::size_t objects = zv::GcObject::LiveCount();
  const std::size_t forms = zv::Get(zv::Application(), zv::sym::aForms).Len();
  for (int i = 0; i < 1000; ++i) cycle();
  zvtest::Pump();
  zv::RunIdleWork();
  zv::Collect();
  EXPECT_EQ(ThreadWindows(), windows);
  EXPECT_EQ(zv::GetLinkStats().live, links);
  EXPECT_LE(zv::GcObject::LiveCount(), objects);
  EXPECT_EQ(zv::Get(zv::Application(), zv::sym::aForms).Len(), forms);
  EXPECT_GT(gdiSeen, 1000);  // the census saw the brushes it checks
  EXPECT_EQ(gdiLeft, 0);
}

TEST_F(Forms, AnMdiChildLivesInItsFramesClientAndMaximisesThere) {
  Value frame = zv::NewObject(zv::TFormClass(), zv::Application());
  zv::TFormRef fr(frame);
  fr.nFormType(1);
  fr.SetBounds(20, 20, 500, 360);
  fr.Create();
  fr.Show();
  made_.push_back(frame);
  const Value client = zv::Get(frame, zv::sym::oMdiClient);
  ASSERT_TRUE(client.IsObject());
  HWND clientWnd = zv::ObjectHwnd(client);
  ASSERT_NE(clientWnd, nullptr);
  Value child = zv::NewObject(zv::TFormClass(), frame);
  zv::TFormRef c(child);
  c.nFormType(2);
  c.SetBounds(10, 10, 200, 150);
  c.Create();
  c.Show();
  ASSERT_NE(c.hwnd(), nullptr);
  EXPECT_EQ(GetParent(c.hwnd()), clientWnd);
  EXPECT_EQ(zv::Get(client, zv::sym::aForms).Len(), 1u);
  c.Maximize();
  EXPECT_TRUE(IsZoomed(c.hwnd()));
  RECT cr{}, kr{};
  GetClientRect(clientWnd, &kr);
  GetClientRect(c.hwnd(), &cr);
  EXPECT_LE(cr.right, kr.right);  // maximised inside the client, not the screen
  c.Restore();
  // Activation between two children: flags, events and the client's record.
  Value second = zv::NewObject(zv::TFormClass(), frame);
  zv::TFormRef c2(second);
  c2.nFormType(2);
  c2.SetBounds(40, 40, 200, 150);
  c2.Create();
  c2.Show();
  std::vector<std::string> events;
  c.OnActivate().Bind(Value::Callable([&](zv::Args) -> Value { return events.push_back("1 on"), Value(); }));
  c.OnDeactivate().Bind(Value::Callable([&](zv::Args) -> Value { return events.push_back("1 off"), Value(); }));
  c2.OnDeactivate().Bind(Value::Callable([&](zv::Args) -> Value { return events.push_back("2 off"), Value(); }));
  SendMessageA(clientWnd, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(c2.hwnd()), 0);
  EXPECT_TRUE(c2.lActive());
  EXPECT_FALSE(c.lActive());
  SendMessageA(clientWnd, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(c.hwnd()), 0);
  EXPECT_TRUE(c.lActive());
  EXPECT_FALSE(c2.lActive());
  EXPECT_EQ(zv::Get(client, zv::sym::oActiveForm).AsObject(), child.AsObject());
  EXPECT_EQ(events, (std::vector<std::string>{"2 off", "1 on"}));
  EXPECT_TRUE(c2.Close(true).AsBool());
  EXPECT_TRUE(c.Close(true).AsBool());
  EXPECT_EQ(zv::Get(client, zv::sym::aForms).Len(), 0u);
  // A modal form is never an MDI child.
  Value modal = zv::NewObject(zv::TFormClass(), frame);
  zv::TFormRef m(modal);
  m.nFormType(2);
  m.lModal(true);
  m.Create();
  made_.push_back(modal);
  EXPECT_EQ(m.nFormType(), 0);
  EXPECT_NE(GetParent(m.hwnd()), clientWnd);
}

}  // namespace

namespace {

// What a close handler may do to the forms around it, and the counts that
// must come back afterwards.
class CloseFaults : public Forms {
 protected:
  void SetUp() override {
    zvtest::Pump();
    zv::RunIdleWork();
    zv::Collect();
    windows_ = ThreadWindows();
    links_ = zv::GetLinkStats().live;
    forms_ = zv::Get(zv::Application(), zv::sym::aForms).Len();
  }
  void ExpectAllBack() {
    for (Value& f : made_)
      if (HWND h = zv::ObjectHwnd(f); h && IsWindow(h)) zv::TFormRef(f).Close(true);
    zvtest::Pump();
    zv::RunIdleWork();
    zv::Collect();
    EXPECT_EQ(ThreadWindows(), windows_);
    EXPECT_EQ(zv::GetLinkStats().live, links_);
    EXPECT_EQ(zv::Get(zv::Application(), zv::sym::aForms).Len(), forms_);
  }
  int windows_ = 0;
  std::size_t links_ = 0, forms_ = 0;
};

TEST_F(CloseFaults, AnErrorInOnCloseKeepsTheFormWholeAndAForcedCloseStillWorks) {
  Value form = MakeTForm();
  zv::TFormRef f(form);
  zvtest::MakeButton(form, "&x", 5, 5);
  f.OnClose().Bind(Value::Callable([](zv::Args) -> Value {
    zv::ErrorInfo e;
    e.genCode = zv::kErrArgument;
    e.operation = "OnClose";
    zv::RaiseError(e);  // the default handler aborts
    return true;
  }));
  bool aborted = false;
  try {
    f.Close();
  } catch (const zv::Break&) {
    aborted = true;
  }
  EXPECT_TRUE(aborted);
  EXPECT_FALSE(zv::ExceptionDeferred());
  ASSERT_TRUE(IsWindow(f.hwnd()));
  EXPECT_EQ(zv::GETCONTROLFROMHANDLE(f.hwnd()).AsObject(), form.AsObject());
  EXPECT_TRUE(InApplication(form));
  EXPECT_TRUE(f.Close(true).AsBool());
  EXPECT_FALSE(InApplication(form));
  ExpectAllBack();
}

TEST_F(CloseFaults, OnCloseMayCloseAnotherFormOrDestroyItsOwnWindow) {
  Value a = MakeTForm(), b = MakeTForm(), c = MakeTForm();
  zvtest::MakeButton(b, "&b", 5, 5);
  zv::TFormRef(a).OnClose().Bind(Value::Callable([b](zv::Args) -> Value {
    zv::TFormRef(b).Close(true);
    return true;
  }));
  EXPECT_TRUE(zv::TFormRef(a).Close().AsBool());
  EXPECT_EQ(zv::ObjectHwnd(a), nullptr);
  EXPECT_EQ(zv::ObjectHwnd(b), nullptr);
  EXPECT_FALSE(InApplication(b));

  zvtest::MakeButton(c, "&c", 5, 5);
  zv::TFormRef(c).OnClose().Bind(Value::Callable([c](zv::Args) -> Value {
    DestroyWindow(zv::ObjectHwnd(c));  // the form goes inside its own handler
    return true;
  }));
  EXPECT_TRUE(zv::TFormRef(c).Close().AsBool());
  EXPECT_EQ(zv::ObjectHwnd(c), nullptr);
  EXPECT_FALSE(InApplication(c));
  EXPECT_FALSE(zv::ExceptionDeferred());
  ExpectAllBack();
}

TEST_F(CloseFaults, OnCloseMayRunAModalFormAndTheOwnerIsEnabledAfterwards) {
  Value owner = MakeTForm(), other = MakeTForm();
  zv::TFormRef(owner).OnClose().Bind(Value::Callable([](zv::Args) -> Value {
    g_modal = zv::NewObject(zv::TFormClass(), zv::Application());
    zv::TFormRef m(g_modal);
    m.SetBounds(60, 60, 200, 120);
    m.Create();
    SetTimer(nullptr, 0, 50, &EndModalSoon);
    return m.ShowModal().AsInt() == 7;  // "yes, close"
  }));
  EXPECT_TRUE(zv::TFormRef(owner).Close().AsBool());
  EXPECT_EQ(zv::ObjectHwnd(owner), nullptr);
  EXPECT_EQ(zv::ObjectHwnd(g_modal), nullptr);
  EXPECT_TRUE(IsWindowEnabled(zv::ObjectHwnd(other)));
  g_modal = Value();
  ExpectAllBack();
}

TEST_F(CloseFaults, AnAbortInsideShowModalEnablesTheOthersAndLeaksNothing) {
  Value owner = MakeTForm();
  Value modal = zv::NewObject(zv::TFormClass(), zv::Application());
  made_.push_back(modal);
  zv::TFormRef m(modal);
  m.SetBounds(60, 60, 200, 120);
  m.Create();
  zvtest::MakeButton(modal, "&ok", 5, 5);
  SetTimer(nullptr, 0, 50, &AbortSoon);
  EXPECT_THROW(m.ShowModal(), zv::Break);
  EXPECT_FALSE(zv::ExceptionDeferred());
  EXPECT_TRUE(IsWindowEnabled(zv::ObjectHwnd(owner)));
  // The modal form is still a whole form that can be closed normally.
  if (HWND h = m.hwnd()) {
    EXPECT_EQ(zv::GETCONTROLFROMHANDLE(h).AsObject(), modal.AsObject());
  }
  ExpectAllBack();
}

TEST_F(CloseFaults, AFailedWindowCreationLeavesHandleZeroAndNothingBreaksAfterwards) {
  Value form = zv::NewObject(zv::TFormClass(), zv::Application());
  zv::TFormRef f(form);
  f.SetBounds(10, 10, 200, 100);
  HHOOK hook = SetWindowsHookExA(WH_CBT, &RefuseWindows, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  f.Create();
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(f.hwnd(), nullptr);
  EXPECT_EQ(zv::Get(form, zv::sym::Handle).AsInt(), 0);
  EXPECT_TRUE(InApplication(form));  // inserted all the same
  f.Show();
  zvtest::MakeButton(form, "&x", 5, 5);  // a child without a parent window fails quietly
  EXPECT_TRUE(f.Close().AsBool());
  EXPECT_TRUE(f.Close(true).AsBool());
  zv::Application().Send(zv::sym::RemoveForm, form);
  EXPECT_FALSE(InApplication(form));
  ExpectAllBack();
}

}  // namespace
