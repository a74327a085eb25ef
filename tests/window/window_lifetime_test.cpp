// Window objects over their whole life: what the window had before it was
// linked sees its last message, resources of the window go with it, and
// windows that no object speaks for keep their own default processing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "framework/core/application.h"
#include "framework/core/loop.h"
#include "framework/window/winobject.h"
#include "support/message_sequence.h"
#include "support/test_forms.h"

namespace {

using zv::Args;
using zv::Object;
using zv::Value;
using zvtest::MakeForm;
using zvtest::Pump;

HWND H(const Value& o) { return zv::ObjectHwnd(o); }
Value Member(const Value& o, const char* name) { return zv::SendUnchecked(o, zv::Msg(name), Args()); }
void SetMember(const Value& o, const char* name, Value v) { zv::SendUnchecked(o, zv::Msg(name), Args(&v, 1)); }

// An edit control of the framework: a class of its own built on "EDIT".
zv::Class* TestEditClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TTestEdit", {zv::TStdControlClass()});
    b.Data("cWinClassName", "EDIT", zv::kProtected);
    b.Data("nCtlStyle", static_cast<long long>(WS_CHILD | ES_AUTOHSCROLL), zv::kProtected);
    return b.Create();
  }();
  return c;
}

// Bytes in use in every heap of the process.
std::size_t HeapBytesInUse() {
  HANDLE heaps[64];
  const DWORD n = GetProcessHeaps(64, heaps);
  std::size_t total = 0;
  for (DWORD i = 0; i < n && i < 64; ++i) {
    PROCESS_HEAP_ENTRY e{};
    if (!HeapLock(heaps[i])) continue;
    while (HeapWalk(heaps[i], &e))
      if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += e.cbData;
    HeapUnlock(heaps[i]);
  }
  return total;
}

using Lifetime = zvtest::FormTest;

TEST_F(Lifetime, SystemControlsFreeTheirStateWhenDestroyed) {
  const std::string text(30000, 'x');
  auto cycle = [&] {
    Value edit = zv::NewObject(TestEditClass(), form_);
    edit.Send("SetBounds", 5, 5, 100, 60);
    edit.Send("Create");
    ASSERT_TRUE(IsWindow(H(edit)));
    SetWindowTextA(H(edit), text.c_str());
    ASSERT_EQ(GetWindowTextLengthA(H(edit)), 30000);
    edit.Send("Destroy");
    ASSERT_EQ(H(edit), nullptr);
    form_.Send("aShortCutLog").AsList().items.clear();  // the test form's log holds the controls
  };
  const std::size_t liveRecords = zv::GetLinkStats().live;
  for (int i = 0; i < 20; ++i) cycle();  // warm up caches and pools
  zv::RunIdleWork();
  zv::Collect();
  const std::size_t liveObjects = zv::GcObject::LiveCount();
  const std::size_t before = HeapBytesInUse();
  for (int i = 0; i < 300; ++i) cycle();
  zv::RunIdleWork();
  zv::Collect();
  const std::size_t after = HeapBytesInUse();
  // The edit control keeps some 60 KB of text per window: 300 leaked
  // windows would be 18 MB and more.
  EXPECT_LT(after, before + 2 * 1024 * 1024) << "heap grew from " << before << " to " << after;
  EXPECT_EQ(zv::GetLinkStats().live, liveRecords);
  EXPECT_EQ(zv::GcObject::LiveCount(), liveObjects);
}

std::vector<UINT> g_originalSaw;
LRESULT CALLBACK OriginalProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NCDESTROY || m == WM_DESTROY) g_originalSaw.push_back(m);
  return DefWindowProcA(h, m, w, l);
}

TEST_F(Lifetime, ASubclassedWindowsOwnProcedureSeesItsLastMessage) {
  HWND h = zvtest::MakeForeignWindow("ZorvanOriginalProcTest", &OriginalProc);
  ASSERT_TRUE(h);
  Value o = zv::Object::New(zvtest::TestPanelClass());
  SetMember(o, "_Handle", zv::HandleValue(h));
  ASSERT_TRUE(zv::LinkWindow(*o.AsObject(), false, ""));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)), &zv::FrameworkWindowProc);
  g_originalSaw.clear();
  DestroyWindow(h);
  EXPECT_EQ(g_originalSaw, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(Lifetime, TheWindowsBrushIsDeletedWithTheWindowEveryTime) {
  std::vector<HGDIOBJ> brushes;
  for (int i = 0; i < 200; ++i) {
    Value panel = zv::NewObject(zvtest::TestPanelClass(), form_);
    panel.Send("SetBounds", 0, 0, 20, 20);
    panel.Send("Create");
    HGDIOBJ brush = zv::ValueHandle<HGDIOBJ>(Member(panel, "hBrush"));
    ASSERT_NE(brush, nullptr);  // the pane colour gave it a brush
    ASSERT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    brushes.push_back(brush);
    panel.Send("Destroy");
    EXPECT_EQ(Member(panel, "hBrush").AsInt(), 0);
  }
  for (HGDIOBJ b : brushes) EXPECT_EQ(GetObjectType(b), 0u);
}

TEST_F(Lifetime, AControlWithoutASystemClassPaintsItsPaneAndShowsTheArrow) {
  Value panel = zv::NewObject(zvtest::TestPanelClass(), form_);
  SetMember(panel, "_nClrPane", static_cast<long long>(RGB(12, 34, 56)));
  panel.Send("SetBounds", 0, 0, 30, 20);
  panel.Send("Create");
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 30, 20);
  HGDIOBJ old = SelectObject(dc, bmp);
  PatBlt(dc, 0, 0, 30, 20, WHITENESS);
  EXPECT_EQ(SendMessageA(H(panel), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  EXPECT_EQ(GetPixel(dc, 15, 10), RGB(12, 34, 56));
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  // No cursor in its class: the control answers WM_SETCURSOR with the arrow.
  char cls[64] = {};
  GetClassNameA(H(panel), cls, sizeof cls);
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), cls, &wc));
  EXPECT_EQ(wc.hCursor, nullptr);
  EXPECT_EQ(wc.hbrBackground, nullptr);
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  EXPECT_EQ(SendMessageA(H(panel), WM_SETCURSOR, reinterpret_cast<WPARAM>(H(panel)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(Lifetime, AWindowOfAnotherObjectDoesNotTakeAPendingRecord) {
  Value button = zv::NewObject(zvtest::TestButtonClass(), form_);
  const std::size_t liveRecords = zv::GetLinkStats().live;
  ASSERT_TRUE(zv::LinkWindow(*button.AsObject(), false, "BUTTON"));  // pending: its window is still to come
  ASSERT_NE(zv::REGISTERCLASS("TPendingBystander", 0, nullptr, nullptr), 0);
  HWND other = zv::CREATEWINDOW("TPendingBystander", "", WS_OVERLAPPED, 0, 0, 0, 40, 40, nullptr, 0);
  ASSERT_TRUE(other);
  EXPECT_TRUE(zv::GETCONTROLFROMHANDLE(other).IsNil());
  DestroyWindow(other);
  zv::CancelPendingLink(*button.AsObject());
  EXPECT_EQ(zv::GetLinkStats().live, liveRecords);
}

LRESULT CALLBACK ForeignSubclass(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
  return DefSubclassProc(h, m, w, l);
}

TEST_F(Lifetime, UnlinkingUnderAForeignSubclassKeepsTheSystemProcedure) {
  Value button = zvtest::MakeButton(form_, "Sub", 5, 5);
  HWND h = H(button);
  const LRESULT code = SendMessageA(h, WM_GETDLGCODE, 0, 0);
  ASSERT_TRUE(code & (DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
  ASSERT_TRUE(SetWindowSubclass(h, &ForeignSubclass, 1, 0));
  button.Send("Unlink");
  EXPECT_TRUE(zv::GETCONTROLFROMHANDLE(h).IsNil());
  // Still a button: its messages reach the system button procedure.
  EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0), code);
  SendMessageA(h, BM_SETSTATE, TRUE, 0);
  EXPECT_TRUE(SendMessageA(h, BM_GETSTATE, 0, 0) & BST_PUSHED);
  RemoveWindowSubclass(h, &ForeignSubclass, 1);
  EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0), code);
  DestroyWindow(h);
}

TEST_F(Lifetime, RemovingAControlWithoutAWindowRemovesThatControl) {
  Value panel = zv::NewObject(zvtest::TestPanelClass(), form_);
  panel.Send("Create");
  Value a = zv::NewObject(zvtest::TestButtonClass(), panel);
  Value b = zv::NewObject(zvtest::TestButtonClass(), panel);
  panel.Send("InsertControl", a);
  panel.Send("InsertControl", b);
  panel.Send("RemoveControl", b);  // both have Handle 0
  Value left = panel.Send("aControls");
  ASSERT_EQ(left.Len(), 1u);
  EXPECT_EQ(left.Item(1).AsObject(), a.AsObject());
}

int g_bkgndEnded = 0;
int g_menuDestroyed = 0;

TEST_F(Lifetime, FreeEndsTheBackgroundAndMenuAndForgetsThem) {
  static zv::Class* owned = [] {
    zv::QVClass b("TOwnedThing", {zv::TComponentClass()});
    b.Method("End", [](Object&, Args) -> Value { return ++g_bkgndEnded, Value(); });
    b.Method("Destroy", [](Object&, Args) -> Value { return ++g_menuDestroyed, Value(); });
    return b.Create();
  }();
  g_bkgndEnded = g_menuDestroyed = 0;
  Value panel = zv::NewObject(zvtest::TestPanelClass(), form_);
  panel.Send("Create");
  panel.Send("_oBkgnd", zv::NewObject(owned));
  panel.Send("_oMenu", zv::NewObject(owned));
  panel.Send("Destroy", true);  // with lFree: Free runs at WM_NCDESTROY
  EXPECT_EQ(g_bkgndEnded, 1);
  EXPECT_EQ(g_menuDestroyed, 1);
  EXPECT_TRUE(panel.Send("oBkgnd").IsNil());
  EXPECT_TRUE(panel.Send("oMenu").IsNil());
}

TEST_F(Lifetime, AStateRequestThatChangesNothingRepaintsNothing) {
  Value button = zvtest::MakeButton(form_, "State", 5, 5);
  button.Send("_OnCheckState", Value::Callable([](Args) -> Value { return true; }));
  Pump(50);
  ValidateRect(H(button), nullptr);
  button.Send("RequestState");
  EXPECT_FALSE(GetUpdateRect(H(button), nullptr, FALSE));
  button.Send("_OnCheckState", Value::Callable([](Args) -> Value { return false; }));
  button.Send("RequestState");
  EXPECT_FALSE(IsWindowEnabled(H(button)));
  EXPECT_TRUE(GetUpdateRect(H(button), nullptr, FALSE));  // a real change repaints
}

TEST(DeferredExceptions, EveryOneIsKeptAndRethrownInOrder) {
  while (zv::ExceptionDeferred()) {
    try {
      zv::RethrowDeferred();
    } catch (...) {
    }
  }
  zv::DeferException(std::make_exception_ptr(std::runtime_error("first")));
  zv::DeferException(std::make_exception_ptr(std::runtime_error("second")));
  EXPECT_EQ(zv::DeferredExceptionCount(), 2u);
  std::vector<std::string> seen;
  for (int i = 0; i < 2; ++i) {
    try {
      zv::RethrowDeferred();
    } catch (const std::runtime_error& e) {
      seen.push_back(e.what());
    }
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
  EXPECT_FALSE(zv::ExceptionDeferred());
  // Beyond the limit they are counted, never lost without a trace.
  const std::size_t dropped = zv::DroppedDeferredExceptions();
  for (int i = 0; i < 70; ++i) zv::DeferException(std::make_exception_ptr(std::runtime_error("many")));
  EXPECT_EQ(zv::DeferredExceptionCount() + zv::DroppedDeferredExceptions() - dropped, 70u);
  while (zv::ExceptionDeferred()) {
    try {
      zv::RethrowDeferred();
    } catch (...) {
    }
  }
}

TEST_F(Lifetime, DestructionRunsParentFirstAndFreesChildrenFirst) {
  Value panel = zv::NewObject(zvtest::TestPanelClass(), form_);
  panel.Send("SetBounds", 10, 10, 100, 60);
  panel.Send("Create");
  Value button = zvtest::MakeButton(panel, "In", 5, 5);
  std::vector<std::string> fired;
  for (auto& [o, name] : {std::pair{form_, "form"}, std::pair{panel, "panel"}, std::pair{button, "button"}})
    o.Send("_OnDestroy", Value::Callable([&fired, n = std::string(name)](Args) -> Value {
      fired.push_back(n);
      return {};
    }));
  zvtest::MessageRecorder rec;
  rec.Watch(H(form_));
  const HWND f = H(form_), p = H(panel), b = H(button);
  DestroyWindow(f);
  EXPECT_TRUE(rec.Matches({{WM_DESTROY, zvtest::kSent, 0, f},
                           {WM_DESTROY, zvtest::kSent, 0, p},
                           {WM_DESTROY, zvtest::kSent, 0, b},
                           {WM_NCDESTROY, zvtest::kSent, 0, b},
                           {WM_NCDESTROY, zvtest::kSent, 0, p},
                           {WM_NCDESTROY, zvtest::kSent, 0, f}}));
  // The comparison is strict about order and windows.
  EXPECT_FALSE(rec.Matches({{WM_DESTROY, zvtest::kSent, 0, p}, {WM_DESTROY, zvtest::kSent, 0, f}}));
  EXPECT_FALSE(rec.Matches({{WM_NCDESTROY, zvtest::kSent, 0, f}}));
  EXPECT_EQ(fired, (std::vector<std::string>{"form", "panel", "button"}));
  EXPECT_EQ(H(button), nullptr);
  EXPECT_EQ(H(form_), nullptr);
}

TEST_F(Lifetime, TheFocusMovesFromOneTabStopToTheNextInThatOrder) {
  Value b1 = zvtest::MakeButton(form_, "One", 10, 10);
  Value b2 = zvtest::MakeButton(form_, "Two", 10, 40);
  SetForegroundWindow(H(form_));
  Pump(50);
  b1.Send("SetFocus");
  ASSERT_EQ(GetFocus(), H(b1));
  zvtest::MessageRecorder rec;
  rec.Watch(H(form_));
  form_.Send("GoNextControl");
  const auto w1 = reinterpret_cast<WPARAM>(H(b1)), w2 = reinterpret_cast<WPARAM>(H(b2));
  EXPECT_TRUE(rec.Matches({{WM_KILLFOCUS, zvtest::kSent | zvtest::kWParam, w2, H(b1)},
                           {WM_SETFOCUS, zvtest::kSent | zvtest::kWParam, w1, H(b2)}}));
  EXPECT_TRUE(b2.Send("lFocused").AsBool());
  EXPECT_FALSE(b1.Send("lFocused").AsBool());
}

}  // namespace

