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
  return SendList(o, sym::Create, args);
}

// Ends an owned member and clears it. The member's storage is cleared, not
// its setter: a setter such as SetIcon would take "no value" as a request for
// a new default object.
void EndMember(Object& self, Symbol member, SetterSymbol storage) {
  Value v = Get(self, member);
  if (v.IsObject()) {
    v.Send(sym::End);
    Put(self, storage, Value());
  }
}

// ---------------------------------------------------------------- methods

Value Initialize(Object& self, Args) {
  if (Application().IsObject()) return Application();
  Application() = Value(&self);
  Put(self, sym::set::Handle, 0);
  Value forms = Value::List({});
  forms.AsList().items.reserve(16);
  Put(self, sym::set::aForms, forms);
  Put(self, sym::set::cTitle, "");
  Put(self, sym::set::oTooltip, CreateByName("TToolTip"));
  Put(self, sym::set::oBalloon, CreateByName("TBalloon"));
  Put(self, sym::set::nWinVer, GETVERSIONEX().Item(1));
  Put(self, sym::set::nWinPlatform, GETWINPLATFORM());
  Put(self, sym::set::aArguments, GETCMDLINE());
  const std::string file = GETMODULEFILENAME(GETINSTANCE());
  Put(self, sym::set::cFileName, file);
  const std::size_t slash = file.find_last_of('\\');
  Put(self, sym::set::cDirectory, slash == std::string::npos ? std::string() : file.substr(0, slash + 1));
  self.Send(sym::GetVersionInfo);
  Put(self, sym::set::nVersion, LeadingNumber(Get(self, sym::cVersion).AsString()));
  self.Send(sym::SetIcon, "QV_ICO_ZORVAN");
  self.Send(sym::SetTooltips);
  self.Send(sym::SetFont);
  // The screen, printer and application data objects, in this order.
  for (const char* cls : {"TScreen", "TPrinter", "TAppData"}) {
    Value o = NewFrameworkObject(cls);
    if (!o.IsObject()) continue;
    Value r = o.Send(sym::Initialize);
    Value& global = std::string_view(cls) == "TScreen" ? Screen() : std::string_view(cls) == "TPrinter" ? Printer() : AppData();
    if (!global.IsObject()) global = r.IsObject() ? r : o;
  }
  if (Get(self, sym::nWinVer).AsDouble() < 4.1) MsgAlert(LT(32768), LT(32769));
  OLEINITIALIZE();
  return Value(&self);
}

Value CurrentDir(Object&, Args) { return CurrentDirText(); }
Value CurrentDrive(Object&, Args) { return CurrentDriveText(); }
Value DecimalSeparator(Object&, Args) { return GETDECIMALSEPARATOR(); }

Value Run(Object& self, Args) {
  Value forms = Get(self, sym::aForms);
  if (!Get(self, sym::oMainForm).IsObject() && forms.Len() > 0) Put(self, sym::set::oMainForm, forms.Item(1));
  while (Get(self, sym::oMainForm).IsObject() && !Get(self, sym::lTerminate).AsBool()) {
    RUNFORM(Get(self, sym::oMainForm));
    if (QuitPending()) break;
  }
  self.Send(sym::End);
  return {};
}

Value End(Object& self, Args) {
  EndMember(self, sym::FoIcon, sym::set::FoIcon);
  EndMember(self, sym::FoFont, sym::set::FoFont);
  EndMember(self, sym::oTooltip, sym::set::oTooltip);
  EndMember(self, sym::oBalloon, sym::set::oBalloon);
  self.Send(sym::SetTooltips);
  return {};
}

Value Terminate(Object& self, Args) {
  self.Send(sym::set::lSingleInstance, false);
  self.Send(sym::set::lTerminate, true);
  return {};
}

Value SetTerminate(Object& self, Args a) {
  const bool v = a.Get(0).AsBool();
  Put(self, sym::set::FlTerminate, v);
  APPRUNNING(!v);
  return v;
}

Value InsertForm(Object& self, Args a) {
  Value form = a.Get(0);
  if (!form.IsObject()) return form;
  self.Send(sym::set::lTerminate, false);
  Value forms = Get(self, sym::aForms);
  auto& items = forms.AsList().items;
  if (std::none_of(items.begin(), items.end(), [&](const Value& f) { return f.AsObject() == form.AsObject(); }))
    items.push_back(form);
  if (!Get(self, sym::oMainForm).IsObject()) Put(self, sym::set::oMainForm, form);
  return form;
}

Value RemoveForm(Object& self, Args a) {
  Value form = a.Get(0);
  Value forms = Get(self, sym::aForms);
  auto& items = forms.AsList().items;
  auto it = std::find_if(items.begin(), items.end(), [&](const Value& f) { return f.AsObject() == form.AsObject(); });
  if (it != items.end()) items.erase(it);
  Value main = Get(self, sym::oMainForm);
  if (form.IsObject() && main.AsObject() == form.AsObject()) {
    Put(self, sym::set::oMainForm, Value());
    Value next;
    for (const Value& f : items)
      if (f.Send(sym::lVisible).AsBool()) {
        next = f;
        break;
      }
    if (next.IsObject()) {
      Put(self, sym::set::oMainForm, next);
    } else {
      // Only hidden forms are left: they go too, and the application ends.
      // Destroying a form removes it from the list through this method, so
      // the pass works on a copy taken before it starts.
      std::vector<Value> copy = items;
      for (const Value& f : copy) f.Send(sym::Destroy);
      self.Send(sym::set::lTerminate, true);
    }
  }
  if (items.empty()) Put(self, sym::set::oActiveForm, Value());
  return {};
}

Value SetActiveForm(Object& self, Args a) {
  Put(self, sym::set::oActiveForm, a.Get(0));
  return {};
}

Value SetFont(Object& self, Args a) {
  Value font = a.Get(0);
  if (!font.IsObject()) font = a.Has(0) ? CreateByName("TFont", {font}) : CreateByName("TFont");
  if (!font.IsObject()) return Get(self, sym::oFont);  // no font class yet
  Value old = Get(self, sym::FoFont);
  if (old.AsObject() == font.AsObject()) return font;  // already the font: its count stays
  if (old.IsObject()) old.Send(sym::Destroy);
  Put(self, sym::set::FoFont, font);
  if (font.AsObject()->GetClass()->HasMessage(sym::nCount))
    font.Send(sym::set::nCount, font.Send(sym::nCount).AsInt() + 1);
  return font;
}

Value GetFont(Object& self, Args) {
  Value f = Get(self, sym::FoFont);
  return f.IsObject() ? f : self.Send(sym::SetFont);
}

Value SetIcon(Object& self, Args a) {
  Value icon = a.Get(0);
  if (!icon.IsObject()) icon = CreateByName("TIcon", {a.Has(0) ? icon : Value(32512)});
  Value old = Get(self, sym::FoIcon);
  if (old.IsObject() && old.AsObject() != icon.AsObject()) old.Send(sym::Destroy);
  Put(self, sym::set::FoIcon, icon);
  return icon;
}

Value GetIcon(Object& self, Args) {
  Value i = Get(self, sym::FoIcon);
  return i.IsObject() ? i : self.Send(sym::SetIcon);
}

Value SetHelp(Object& self, Args a) {
  Value help = a.Get(0);
  if (!help.IsObject() && !help.IsNil()) help = CreateByName("THelp", {help});
  Value old = Get(self, sym::FoHelp);
  if (old.IsObject() && old.AsObject() != help.AsObject()) old.Send(sym::Destroy);
  Put(self, sym::set::FoHelp, help);
  return help;
}

Value SetBusy(Object& self, Args a) {
  const bool busy = a.Get(0).AsBool();
  Put(self, sym::set::FlBusy, busy);
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
  Put(self, sym::set::FlSingleInstance, single);
  if (single) {
    Value mutex = CreateByName("TMutex", {Get(self, sym::cTitle)});
    Put(self, sym::set::FoMutex, mutex);
    if (mutex.IsObject() && mutex.Send(sym::lExisting).AsBool() && !EventAssigned(self, sym::OnNewInstance.name())) {
      // Another instance holds the guard: abort the start-up quietly.
      throw Break(Value("another instance is running"));
    }
  } else {
    Value m = Get(self, sym::FoMutex);
    if (m.IsObject()) m.Send(sym::Destroy);
    Put(self, sym::set::FoMutex, Value());
  }
  return {};
}

Value SetTooltips(Object& self, Args) {
  g_tooltipWindow = ObjectHwnd(Get(self, sym::oTooltip));
  g_balloonWindow = ObjectHwnd(Get(self, sym::oBalloon));
  return {};
}

Value CallOnHelp(Object& self, Args a) {
  if (!EventAssigned(self, sym::OnHelp.name())) return false;
  self.Send(sym::OnHelp, a.Get(0), a.Get(1), a.Get(2), a.Get(3));
  return true;
}

Value Help(Object& self, Args a) {
  if (self.Send(sym::CallOnHelp, a.Get(0), a.Get(1), a.Get(2), a.Get(3)).AsBool()) return {};
  Value help = Get(self, sym::oHelp);
  if (help.IsObject()) {
    if (!help.Send(sym::ShowKeyword, a.Get(1).ToDisplay(), false).AsBool()) help.Send(sym::ShowTOC);
  }
  return {};
}

Value MessageBoxMethod(Object& self, Args a) {
  Value text = a.Has(0) ? a.Get(0) : Value("");
  Value title = a.Has(1) ? a.Get(1) : Get(self, sym::cTitle);
  UINT flags = a.Has(2) ? static_cast<UINT>(a.Get(2).AsInt()) : MB_ICONINFORMATION;
  return MESSAGEBOX(ObjectHwnd(Get(self, sym::oMainForm)), text, title, flags);
}

Value GetVersionInfo(Object& self, Args) {
  HMODULE module = GETINSTANCE();
  HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16) /* RT_VERSION */);
  if (!res) return {};
  HGLOBAL mem = LoadResource(module, res);
  const auto* data = static_cast<const std::uint8_t*>(mem ? LockResource(mem) : nullptr);
  VersionInfo vi;
  if (!data || !ParseVersionResource(data, SizeofResource(module, res), vi)) return {};
  Put(self, sym::set::nVersion, vi.nVersion);
  Put(self, sym::set::nRelease, vi.nRelease);
  Put(self, sym::set::nBuild, vi.nBuild);
  Put(self, sym::set::cVersion, Ansi(vi.cVersion));
  Put(self, sym::set::cDescription, Ansi(vi.cDescription));
  Put(self, sym::set::cCompany, Ansi(vi.cCompany));
  Put(self, sym::set::cCopyright, Ansi(vi.cCopyright));
  Put(self, sym::set::cTradeMarks, Ansi(vi.cTradeMarks));
  Put(self, sym::set::cComments, Ansi(vi.cComments));
  return {};
}

}  // namespace

Class* QApplicationClass() {
  static Class* c = [] {
    QVClass b("QApplication", {TComponentClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QAPPLICATION_MEMBERS);
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
  app.Send(sym::Initialize);
}

void FrameworkEndOfProgram() {
  if (Printer().IsObject()) Printer().Send(sym::Destroy);
  if (AppData().IsObject()) AppData().Send(sym::Destroy);
  // Everything the program still holds is released while OLE is up: an
  // automation object kept in AppData (or anywhere) must get its Release
  // before OleUninitialize, never after.
  ClearGlobals();
  Collect();
  OLEUNINITIALIZE();
}

std::string ApplicationTitle() {
  return Application().IsObject() ? SendUnchecked(Application(), sym::cTitle, Args()).AsString() : std::string();
}

HWND MainFormWindow() {
  if (!Application().IsObject()) return nullptr;
  return ObjectHwnd(SendUnchecked(Application(), sym::oMainForm, Args()));
}

Value GetActiveForm() {
  if (!Application().IsObject()) return {};
  Value forms = SendUnchecked(Application(), sym::aForms, Args());
  if (!forms.IsList()) return {};
  for (const Value& f : forms.AsList().items)
    if (f.IsObject() && SendUnchecked(f, sym::lActive, Args()).AsBool()) return f;
  return {};
}

HWND ApplicationTooltipWindow() { return g_tooltipWindow; }
HWND ApplicationBalloonWindow() { return g_balloonWindow; }

}  // namespace zv
