// agent_show: drives the character server from the command line, the way a
// program would: it creates "Agent.Control.2", loads Merlin and sends it a
// script of calls through IDispatch, then runs a message loop until the
// character has played everything (or a time limit passes).
//
//   agent_show [command ...]
//
// Commands: show, hide, move:X,Y[,MS], speak:TEXT, think:TEXT, play:NAME,
// sleep:MS (the driver itself pauses, pumping messages, before sending the
// next command), limit:SECONDS (default 60). Without commands a short
// greeting is played.
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Failure {
  std::wstring what;
};

class Dispatch {
 public:
  explicit Dispatch(IDispatch* d = nullptr) : d_(d) {}
  ~Dispatch() {
    if (d_) d_->Release();
  }
  Dispatch(Dispatch&& o) noexcept : d_(o.d_) { o.d_ = nullptr; }
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;
  IDispatch* get() const { return d_; }

  // Calls a member with arguments in their natural order.
  VARIANT Call(const wchar_t* name, WORD flags, std::vector<VARIANT> args) const {
    DISPID id = 0;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    if (FAILED(d_->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id))) throw Failure{L"no member " + std::wstring(name)};
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    DISPID put = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO ex{};
    UINT argErr = 0;
    HRESULT hr = d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &ex, &argErr);
    for (VARIANT& v : args) VariantClear(&v);
    if (FAILED(hr)) {
      std::wstring what = std::wstring(name) + L" failed";
      if (hr == DISP_E_EXCEPTION && ex.bstrDescription) what += L": " + std::wstring(ex.bstrDescription);
      SysFreeString(ex.bstrSource);
      SysFreeString(ex.bstrDescription);
      SysFreeString(ex.bstrHelpFile);
      throw Failure{what};
    }
    return result;
  }

  void Method(const wchar_t* name, std::vector<VARIANT> args = {}) const {
    VARIANT r = Call(name, DISPATCH_METHOD, std::move(args));
    VariantClear(&r);
  }

  Dispatch Object(const wchar_t* name, std::vector<VARIANT> args = {}) const {
    VARIANT r = Call(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
    if (V_VT(&r) != VT_DISPATCH || !V_DISPATCH(&r)) {
      VariantClear(&r);
      throw Failure{std::wstring(name) + L" gave no object"};
    }
    return Dispatch(V_DISPATCH(&r));
  }

  bool Bool(const wchar_t* name) const {
    VARIANT r = Call(name, DISPATCH_PROPERTYGET, {});
    bool b = V_VT(&r) == VT_BOOL && V_BOOL(&r);
    VariantClear(&r);
    return b;
  }

 private:
  IDispatch* d_;
};

VARIANT Str(const std::wstring& s) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
  return v;
}

VARIANT Int(long n) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = n;
  return v;
}

VARIANT Bool(bool b) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

// Pumps messages for `ms` milliseconds.
void Pump(DWORD ms) {
  ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50)), QS_ALLINPUT);
  }
}

std::vector<std::wstring> DefaultScript() {
  return {L"show",
          L"move:460,420,1200",
          L"play:Greet",
          L"speak:Hello! I am Merlin, the wizard of the Zorvan demo. \u00a1Bienvenidos!",
          L"play:DoMagic1",
          L"think:Haz doble click en el browse y har\u00e9 algo",
          L"move:700,380,1000",
          L"play:Congratulate",
          L"speak:Have fun!",
          L"hide"};
}

void Run(const Dispatch& character, const std::wstring& cmd) {
  std::size_t colon = cmd.find(L':');
  std::wstring verb = cmd.substr(0, colon);
  std::wstring arg = colon == std::wstring::npos ? L"" : cmd.substr(colon + 1);
  if (verb == L"show") {
    character.Method(L"SHOW");
  } else if (verb == L"hide") {
    character.Method(L"HIDE");
  } else if (verb == L"move") {
    long x = 0, y = 0, ms = 1000;
    if (std::swscanf(arg.c_str(), L"%ld,%ld,%ld", &x, &y, &ms) < 2) throw Failure{L"bad command " + cmd};
    character.Method(L"MOVETO", {Int(x), Int(y), Int(ms)});
  } else if (verb == L"speak") {
    character.Method(L"SPEAK", {Str(arg)});
  } else if (verb == L"think") {
    character.Method(L"THINK", {Str(arg)});
  } else if (verb == L"play") {
    character.Method(L"PLAY", {Str(arg)});
  } else if (verb == L"sleep") {
    Pump(static_cast<DWORD>(std::wcstoul(arg.c_str(), nullptr, 10)));
  } else if (verb != L"limit") {
    throw Failure{L"unknown command " + cmd};
  }
}

int Main(const std::vector<std::wstring>& args) {
  std::vector<std::wstring> script = args.empty() ? DefaultScript() : args;
  double limit = 60;
  for (const std::wstring& a : script)
    if (a.rfind(L"limit:", 0) == 0) limit = std::wcstod(a.c_str() + 6, nullptr);

  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"Agent.Control.2", &clsid))) throw Failure{L"Agent.Control.2 is not registered"};
  IDispatch* raw = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, reinterpret_cast<void**>(&raw))))
    throw Failure{L"cannot create Agent.Control.2"};
  Dispatch control(raw);
  control.Call(L"CONNECTED", DISPATCH_PROPERTYPUT, {Bool(true)});
  {
    Dispatch characters = control.Object(L"CHARACTERS");
    characters.Method(L"LOAD", {Str(L"Merlin"), Str(L"Merlin.acs")});
  }
  Dispatch merlin = control.Object(L"CHARACTERS", {Str(L"Merlin")});
  for (const std::wstring& cmd : script) Run(merlin, cmd);

  ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(limit * 1000);
  while (merlin.Bool(L"BUSY") && GetTickCount64() < end) Pump(100);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args;
  for (int i = 1; argv && i < argc; ++i) args.emplace_back(argv[i]);
  if (argv) LocalFree(argv);

  if (FAILED(OleInitialize(nullptr))) return 2;
  int rc = 0;
  try {
    rc = Main(args);
  } catch (const Failure& f) {
    std::fwprintf(stderr, L"agent_show: %ls\n", f.what.c_str());
    rc = 1;
  }
  OleUninitialize();
  return rc;
}
