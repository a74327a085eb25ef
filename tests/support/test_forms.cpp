#include "support/test_forms.h"

#include "framework/core/application.h"
#include "framework/core/loop.h"
#include "framework/window/messages.h"

ZV_DEFINE_SYMBOLS(ZVTEST_NAMES)

namespace zvtest {
namespace {

using zv::Args;
using zv::Object;
using zv::Value;

// The shortcut calls are logged, then the form does its own work.
Value FormAddShortCut(Object& self, Args a) {
  self.Send(zv::sym::aShortCutLog).Append(Value::List({"add", a.Get(0)}));
  return zv::Super(self, zv::sym::AddShortCut, a);
}

Value FormDelShortCut(Object& self, Args a) {
  self.Send(zv::sym::aShortCutLog).Append(Value::List({"del", a.Get(0)}));
  return zv::Super(self, zv::sym::DelShortCut, a);
}

}  // namespace

zv::Class* TestFormClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TTestForm", {zv::TFormClass()});
    ZV_REGISTER_MEMBERS(b, ZVTEST_TESTFORM_MEMBERS);
    return b.Create();
  }();
  return c;
}

zv::Class* TestButtonClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TTestButton", {zv::TStdControlClass()});
    ZV_REGISTER_MEMBERS(b, ZVTEST_TESTBUTTON_MEMBERS);
    return b.Create();
  }();
  return c;
}

zv::Class* TestPanelClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TTestPanel", {zv::TWinControlClass()});
    return b.Create();
  }();
  return c;
}

Value MakeForm(const std::string& caption, bool show, int left, int top, int width, int height) {
  Value form = zv::NewObject(TestFormClass(), zv::Application());
  zv::TFormRef view(form);
  view.SetBounds(left, top, width, height);
  view.cText(caption);
  view.Create();
  if (show) view.Show();
  Pump();
  return form;
}

Value MakeButton(const Value& parent, const std::string& text, int left, int top, int width, int height) {
  Value button = zv::NewObject(TestButtonClass(), parent);
  zv::TStdControlRef view(button);
  view.SetBounds(left, top, width, height);
  view.cText(text);
  view.Create();
  return button;
}

HWND MakeForeignWindow(const char* className, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  RegisterClassA(&wc);
  return CreateWindowExA(0, className, "foreign", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

void FormTest::SetUp() { form_ = MakeForm("Test form"); }

void FormTest::TearDown() {
  if (IsWindow(zv::ObjectHwnd(form_))) DestroyWindow(zv::ObjectHwnd(form_));
  Pump();
  zv::APPRUNNING(false);
  zv::Application().Send("_lTerminate", false);
}

void Pump(unsigned milliseconds) {
  const DWORD start = GetTickCount();
  do {
    zv::PROCESSMESSAGES();
    if (milliseconds) Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

std::vector<unsigned>& MessageLog() {
  static std::vector<unsigned> log;
  return log;
}

}  // namespace zvtest
