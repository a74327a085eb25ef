#include "support/test_forms.h"

#include "framework/core/application.h"
#include "framework/core/loop.h"

namespace zvtest {
namespace {

using zv::Args;
using zv::Object;
using zv::Value;

Value FormCreateHandle(Object& self, Args a) {
  Value r = zv::Super(self, "CreateHandle", a);
  if (zv::Application().IsObject()) zv::Application().Send("InsertForm", Value(&self));
  return r;
}

Value FormNCDestroy(Object& self, Args a) {
  Value r = zv::Super(self, "WMNCDestroy", a);
  if (zv::Application().IsObject()) zv::Application().Send("RemoveForm", Value(&self));
  return r;
}

Value FormActivate(Object& self, Args a) {
  const bool active = LOWORD(zv::ValueWParam(a.Get(0))) != WA_INACTIVE;
  self.Send("_lActive", active);
  if (active && zv::Application().IsObject()) zv::Application().Send("SetActiveForm", Value(&self));
  return {};
}

Value FormEraseBkgnd(Object&, Args a) {
  HDC dc = zv::ValueHandle<HDC>(a.Get(0));
  HWND hwnd = zv::ValueHwnd(a.Get(2));
  RECT r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  return 1;
}

}  // namespace

zv::Class* TestFormClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TTestForm", {zv::TWinControlClass()});
    b.AddProperty({.name = "lVisible", .dflt = false});
    b.Data("nCtlStyle", static_cast<long long>(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN), zv::kProtected);
    b.Data("nExStyle", static_cast<long long>(WS_EX_CONTROLPARENT), zv::kProtected);
    b.Data("nModalResult", 0);
    b.Data("lModal", false);
    b.Data("lActive", false);
    b.Data("oMdiClient");
    b.Data("nLastID", 100);
    b.Data("aShortCutLog", Value::List({}));
    b.Method("CreateHandle", &FormCreateHandle);
    b.Method("WMNCDestroy", &FormNCDestroy);
    b.Method("WMActivate", &FormActivate);
    b.Method("WMEraseBkgnd", &FormEraseBkgnd);
    b.Method("GetNewID", [](Object& self, Args) -> Value {
      Value id = self.Send("nLastID");
      self.Send("_nLastID", id.AsInt() + 1);
      return id;
    });
    b.Method("AddShortCut", [](Object& self, Args a) -> Value {
      self.Send("aShortCutLog").Append(Value::List({"add", a.Get(0)}));
      return {};
    });
    b.Method("DelShortCut", [](Object& self, Args a) -> Value {
      self.Send("aShortCutLog").Append(Value::List({"del", a.Get(0)}));
      return {};
    });
    b.Method("ShowModal", [](Object& self, Args a) -> Value {
      return zv::ShowModalForm(Value(&self), a.Get(0), a.Get(1));
    });
    return b.Create();
  }();
  return c;
}

zv::Class* TestButtonClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TTestButton", {zv::TStdControlClass()});
    b.Data("cWinClassName", "BUTTON", zv::kProtected);
    b.Data("nCtlStyle", static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | BS_PUSHBUTTON), zv::kProtected);
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
  Value form = zv::NewObject(TestFormClass());
  form.Send("SetBounds", left, top, width, height);
  form.Send("_cText", caption);
  form.Send("Create");
  if (show) form.Send("Show");
  Pump();
  return form;
}

Value MakeButton(const Value& parent, const std::string& text, int left, int top, int width, int height) {
  Value button = zv::NewObject(TestButtonClass(), parent);
  button.Send("SetBounds", left, top, width, height);
  button.Send("_cText", text);
  button.Send("Create");
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
