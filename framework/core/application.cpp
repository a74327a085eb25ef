#include "framework/core/application.h"

#include <algorithm>

#include "framework/core/catalog.h"
#include "framework/core/environment.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/core/msgbox.h"
#include "framework/core/texts.h"
#include "framework/core/versioninfo.h"
#include "framework/window/winobject.h"

namespace zv {
namespace {

HWND g_tooltipWindow = nullptr;
HWND g_balloonWindow = nullptr;


std::string Ansi(const std::u16string& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(w.data()), static_cast<int>(w.size()),
                              nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(w.data()), static_cast<int>(w.size()),
                        out.data(), n, nullptr, nullptr);
  return out;
}

// Creates a framework object by class name with Create(args); no value when
// the framework has no such class.
Value CreateByName(std::string_view cls, std::vector<Value> args = {}) {
  Value o = NewFrameworkObject(cls);
  if (!o.IsObject()) return {};
  return SendList(o, "Create", args);
}

// Ends an owned member and clears it. The member's storage is cleared, not
// its setter: a setter such as SetIcon would take "no value" as a request for
// a new default object.
void EndMember(Object& self, const char* member, const char* storage) {
  Value v = Get(self, member);
  if (v.IsObject()) {
    v.Send("End");
    Put(self, storage, Value());
  }
}

// ---------------------------------------------------------------- methods

Value Initialize(Object& self, Args) {
  if (Application().IsObject()) return Application();
  Application() = Value(&self);
  Put(self, "Handle", 0);
  Value forms = Value::List({});
  forms.AsList().items.reserve(16);
  Put(self, "aForms", forms);
  Put(self, "cTitle", "");
  Put(self, "oTooltip", CreateByName("TToolTip"));
  Put(self, "oBalloon", CreateByName("TBalloon"));
  Put(self, "nWinVer", GETVERSIONEX().Item(1));
  Put(self, "nWinPlatform", GETWINPLATFORM());
  Put(self, "aArguments", GETCMDLINE());
  const std::string file = GETMODULEFILENAME(GETINSTANCE());
  Put(self, "cFileName", file);
  const std::size_t slash = file.find_last_of('\\');
  Put(self, "cDirectory", slash == std::string::npos ? std::string() : file.substr(0, slash + 1));
  self.Send("GetVersionInfo");
  Put(self, "nVersion", LeadingNumber(Get(self, "cVersion").AsString()));
  self.Send("SetIcon", "QV_ICO_ZORVAN");
  self.Send("SetTooltips");
  self.Send("SetFont");
  // The screen, printer and application data objects, in this order.
  for (const char* cls : {"TScreen", "TPrinter", "TAppData"}) {
    Value o = NewFrameworkObject(cls);
    if (!o.IsObject()) continue;
    Value r = o.Send("Initialize");
    Value& global = std::string_view(cls) == "TScreen" ? Screen() : std::string_view(cls) == "TPrinter" ? Printer() : AppData();
    if (!global.IsObject()) global = r.IsObject() ? r : o;
  }
  if (Get(self, "nWinVer").AsDouble() < 4.1) MsgAlert(LT(32768), LT(32769));
  OLEINITIALIZE();
  return Value(&self);
}

Value Run(Object& self, Args) {
  Value forms = Get(self, "aForms");
  if (!Get(self, "oMainForm").IsObject() && forms.Len() > 0) Put(self, "oMainForm", forms.Item(1));
  while (Get(self, "oMainForm").IsObject() && !Get(self, "lTerminate").AsBool()) {
    RUNFORM(Get(self, "oMainForm"));
    if (QuitPending()) break;
  }
  self.Send("End");
  return {};
}

Value End(Object& self, Args) {
  EndMember(self, "FoIcon", "FoIcon");
  EndMember(self, "FoFont", "FoFont");
  EndMember(self, "oTooltip", "oTooltip");
  EndMember(self, "oBalloon", "oBalloon");
  self.Send("SetTooltips");
  return {};
}

Value Terminate(Object& self, Args) {
  self.Send("_lSingleInstance", false);
  self.Send("_lTerminate", true);
  return {};
}

Value SetTerminate(Object& self, Args a) {
  const bool v = a.Get(0).AsBool();
  Put(self, "FlTerminate", v);
  APPRUNNING(!v);
  return v;
}

Value InsertForm(Object& self, Args a) {
  Value form = a.Get(0);
  if (!form.IsObject()) return form;
  self.Send("_lTerminate", false);
  Value forms = Get(self, "aForms");
  auto& items = forms.AsList().items;
  if (std::none_of(items.begin(), items.end(), [&](const Value& f) { return f.AsObject() == form.AsObject(); }))
    items.push_back(form);
  if (!Get(self, "oMainForm").IsObject()) Put(self, "oMainForm", form);
  return form;
}

Value RemoveForm(Object& self, Args a) {
  Value form = a.Get(0);
  Value forms = Get(self, "aForms");
  auto& items = forms.AsList().items;
  auto it = std::find_if(items.begin(), items.end(), [&](const Value& f) { return f.AsObject() == form.AsObject(); });
  if (it != items.end()) items.erase(it);
  Value main = Get(self, "oMainForm");
  if (form.IsObject() && main.AsObject() == form.AsObject()) {
    Put(self, "oMainForm", Value());
    Value next;
    for (const Value& f : items)
      if (f.Send("lVisible").AsBool()) {
        next = f;
        break;
      }
    if (next.IsObject()) {
      Put(self, "oMainForm", next);
    } else {
      // Only hidden forms are left: they go too, and the application ends.
      // Destroying a form removes it from the list through this method, so
      // the pass works on a copy taken before it starts.
      std::vector<Value> copy = items;
      for (const Value& f : copy) f.Send("Destroy");
      self.Send("_lTerminate", true);
    }
  }
  if (items.empty()) Put(self, "oActiveForm", Value());
  return {};
}

Value SetActiveForm(Object& self, Args a) {
  Put(self, "oActiveForm", a.Get(0));
  return {};
}

Value SetFont(Object& self, Args a) {
  Value font = a.Get(0);
  if (!font.IsObject()) font = a.Has(0) ? CreateByName("TFont", {font}) : CreateByName("TFont");
  if (!font.IsObject()) return Get(self, "oFont");  // no font class yet
  Value old = Get(self, "FoFont");
  if (old.AsObject() == font.AsObject()) return font;  // already the font: its count stays
  if (old.IsObject()) old.Send("Destroy");
  Put(self, "FoFont", font);
  if (font.AsObject()->GetClass()->HasMessage(ZV_SYM("nCount")))
    font.Send("_nCount", font.Send("nCount").AsInt() + 1);
  return font;
}

Value GetFont(Object& self, Args) {
  Value f = Get(self, "FoFont");
  return f.IsObject() ? f : self.Send("SetFont");
}

Value SetIcon(Object& self, Args a) {
  Value icon = a.Get(0);
  if (!icon.IsObject()) icon = CreateByName("TIcon", {a.Has(0) ? icon : Value(32512)});
  Value old = Get(self, "FoIcon");
  if (old.IsObject() && old.AsObject() != icon.AsObject()) old.Send("Destroy");
  Put(self, "FoIcon", icon);
  return icon;
}

Value GetIcon(Object& self, Args) {
  Value i = Get(self, "FoIcon");
  return i.IsObject() ? i : self.Send("SetIcon");
}

Value SetHelp(Object& self, Args a) {
  Value help = a.Get(0);
  if (!help.IsObject() && !help.IsNil()) help = CreateByName("THelp", {help});
  Value old = Get(self, "FoHelp");
  if (old.IsObject() && old.AsObject() != help.AsObject()) old.Send("Destroy");
  Put(self, "FoHelp", help);
  return help;
}

Value SetBusy(Object& self, Args a) {
  const bool busy = a.Get(0).AsBool();
  Put(self, "FlBusy", busy);
  if (busy) {
    CURSORWAIT();
  } else {
    // Moving the pointer onto itself makes Windows send WM_SETCURSOR, so the
    // window under it shows its own cursor again.
    POINT p;
    if (GetCursorPos(&p)) SetCursorPos(p.x, p.y);
  }
  PROCESSMESSAGES();
  return {};
}

Value SetMutex(Object& self, Args a) {
  const bool single = a.Get(0).AsBool();
  Put(self, "FlSingleInstance", single);
  if (single) {
    Value mutex = CreateByName("TMutex", {Get(self, "cTitle")});
    Put(self, "FoMutex", mutex);
    if (mutex.IsObject() && mutex.Send("lExisting").AsBool() && !EventAssigned(self, "OnNewInstance")) {
      // Another instance holds the guard: abort the start-up quietly.
      throw Break(Value("another instance is running"));
    }
  } else {
    Value m = Get(self, "FoMutex");
    if (m.IsObject()) m.Send("Destroy");
    Put(self, "FoMutex", Value());
  }
  return {};
}

Value SetTooltips(Object& self, Args) {
  g_tooltipWindow = ObjectHwnd(Get(self, "oTooltip"));
  g_balloonWindow = ObjectHwnd(Get(self, "oBalloon"));
  return {};
}

Value CallOnHelp(Object& self, Args a) {
  if (!EventAssigned(self, "OnHelp")) return false;
  self.Send("OnHelp", a.Get(0), a.Get(1), a.Get(2), a.Get(3));
  return true;
}

Value Help(Object& self, Args a) {
  if (self.Send("CallOnHelp", a.Get(0), a.Get(1), a.Get(2), a.Get(3)).AsBool()) return {};
  Value help = Get(self, "oHelp");
  if (help.IsObject()) {
    if (!help.Send("ShowKeyword", a.Get(1).ToDisplay(), false).AsBool()) help.Send("ShowTOC");
  }
  return {};
}

Value MessageBoxMethod(Object& self, Args a) {
  Value text = a.Has(0) ? a.Get(0) : Value("");
  Value title = a.Has(1) ? a.Get(1) : Get(self, "cTitle");
  UINT flags = a.Has(2) ? static_cast<UINT>(a.Get(2).AsInt()) : MB_ICONINFORMATION;
  return MESSAGEBOX(ObjectHwnd(Get(self, "oMainForm")), text, title, flags);
}

Value GetVersionInfo(Object& self, Args) {
  HMODULE module = GETINSTANCE();
  HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16) /* RT_VERSION */);
  if (!res) return {};
  HGLOBAL mem = LoadResource(module, res);
  const auto* data = static_cast<const std::uint8_t*>(mem ? LockResource(mem) : nullptr);
  VersionInfo vi;
  if (!data || !ParseVersionResource(data, SizeofResource(module, res), vi)) return {};
  Put(self, "nVersion", vi.nVersion);
  Put(self, "nRelease", vi.nRelease);
  Put(self, "nBuild", vi.nBuild);
  Put(self, "cVersion", Ansi(vi.cVersion));
  Put(self, "cDescription", Ansi(vi.cDescription));
  Put(self, "cCompany", Ansi(vi.cCompany));
  Put(self, "cCopyright", Ansi(vi.cCopyright));
  Put(self, "cTradeMarks", Ansi(vi.cTradeMarks));
  Put(self, "cComments", Ansi(vi.cComments));
  return {};
}

}  // namespace

Class* QApplicationClass() {
  static Class* c = [] {
    QVClass b("QApplication", {TComponentClass()});
    b.AddProperty({.name = "oFont"});
    b.AddProperty({.name = "oIcon", .setter = "SetIcon"});
    b.AddProperty({.name = "cTitle"});
    b.AddProperty({.name = "lSingleInstance", .dflt = false, .setter = "SetMutex"});
    b.AddProperty({.name = "lUseReturn", .dflt = false});
    b.AddProperty({.name = "lBusy", .dflt = false, .setter = "SetBusy"});
    b.AddProperty({.name = "oHelp", .setter = "SetHelp"});
    for (const char* ro : {"aForms", "oMainForm", "oActiveForm", "nWinVer", "nWinPlatform", "aArguments",
                           "cFileName", "cDirectory"})
      b.AddProperty({.name = ro, .readOnly = true});
    for (const char* n : {"nVersion", "nRelease", "nBuild"}) b.AddProperty({.name = n, .dflt = 0, .readOnly = true});
    for (const char* s : {"cVersion", "cDescription", "cCompany", "cCopyright", "cTradeMarks", "cComments"})
      b.AddProperty({.name = s, .dflt = "", .readOnly = true});
    b.Data("oActiveControl", Value(), kPublished);
    b.AddEvent("OnHelp", kPublished, "oSender, HelpId, nPosX, nPosY");
    b.Method("CurrentDir", [](Object&, Args) -> Value { return CurrentDirText(); }, kPublished);
    b.Method("CurrentDrive", [](Object&, Args) -> Value { return CurrentDriveText(); }, kPublished);
    b.Method("DecimalSeparator", [](Object&, Args) -> Value { return GETDECIMALSEPARATOR(); }, kPublished);
    b.AddProperty({.name = "lTerminate", .dflt = false, .visibility = kPublic, .setter = "SetTerminate"});
    b.Data("Handle", 0, kPublic | kReadOnly);
    b.Data("oTooltip", Value(), kPublic | kReadOnly);
    b.Data("oBalloon", Value(), kPublic | kReadOnly);
    b.AddEvent("OnNewInstance", kPublic, "oSender");
    b.AddProperty({.name = "oMutex", .visibility = kProtected});

    b.Constructor("Initialize", &Initialize);
    b.Method("MessageBox", &MessageBoxMethod);
    b.Method("Run", &Run);
    b.Method("Terminate", &Terminate);
    b.Method("End", &End);
    b.Method("InsertForm", &InsertForm);
    b.Method("RemoveForm", &RemoveForm);
    b.Method("SetActiveForm", &SetActiveForm);
    b.Method("SetFont", &SetFont);
    b.Method("GetFont", &GetFont);
    b.Method("SetIcon", &SetIcon);
    b.Method("GetIcon", &GetIcon);
    b.Method("SetBusy", &SetBusy);
    b.Method("SetHelp", &SetHelp);
    b.Method("Help", &Help);
    b.Method("SetTerminate", &SetTerminate, kProtected);
    b.Method("SetMutex", &SetMutex, kProtected);
    b.Method("SetTooltips", &SetTooltips, kProtected);
    b.Method("CallOnHelp", &CallOnHelp, kProtected);
    b.Method("GetVersionInfo", &GetVersionInfo, kProtected);
    return b.Create();
  }();
  return c;
}

Class* TApplicationClass() {
  static Class* c = DeclarePublicClass("TApplication", QApplicationClass());
  return c;
}

void FrameworkStartUp() {
  if (Application().IsObject()) return;
  Value app = Object::New(TApplicationClass());
  app.Send("Initialize");
}

void FrameworkEndOfProgram() {
  if (Printer().IsObject()) Printer().Send("Destroy");
  if (AppData().IsObject()) AppData().Send("Destroy");
  // Everything the program still holds is released while OLE is up: an
  // automation object kept in AppData (or anywhere) must get its Release
  // before OleUninitialize, never after.
  ClearGlobals();
  Collect();
  OLEUNINITIALIZE();
}

std::string ApplicationTitle() {
  return Application().IsObject() ? SendUnchecked(Application(), ZV_SYM("cTitle"), Args()).AsString() : std::string();
}

HWND MainFormWindow() {
  if (!Application().IsObject()) return nullptr;
  return ObjectHwnd(SendUnchecked(Application(), ZV_SYM("oMainForm"), Args()));
}

Value GetActiveForm() {
  if (!Application().IsObject()) return {};
  Value forms = SendUnchecked(Application(), ZV_SYM("aForms"), Args());
  if (!forms.IsList()) return {};
  for (const Value& f : forms.AsList().items)
    if (f.IsObject() && SendUnchecked(f, ZV_SYM("lActive"), Args()).AsBool()) return f;
  return {};
}

HWND ApplicationTooltipWindow() { return g_tooltipWindow; }
HWND ApplicationBalloonWindow() { return g_balloonWindow; }

}  // namespace zv
