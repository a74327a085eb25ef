#include "agent_client.h"

#include <algorithm>
#include <stdexcept>

namespace agenttest {

long Outcome::Long() const {
  Var v;
  if (FAILED(VariantChangeType(&v.v, const_cast<VARIANT*>(&result.v), 0, VT_I4))) return -999999;
  return V_I4(&v.v);
}

bool Outcome::Bool() const { return V_VT(&result.v) == VT_BOOL && V_BOOL(&result.v) != VARIANT_FALSE; }

std::wstring Outcome::String() const {
  if (V_VT(&result.v) != VT_BSTR || !V_BSTR(&result.v)) return L"<not a string>";
  return std::wstring(V_BSTR(&result.v), SysStringLen(V_BSTR(&result.v)));
}

IDispatch* Outcome::Object() const { return V_VT(&result.v) == VT_DISPATCH ? V_DISPATCH(&result.v) : nullptr; }

DISPID Obj::Id(const std::wstring& name) const {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR n = const_cast<LPOLESTR>(name.c_str());
  if (FAILED(d_->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_SYSTEM_DEFAULT, &id))) return DISPID_UNKNOWN;
  return id;
}

Outcome Obj::InvokeId(DISPID id, WORD flags, const std::vector<Var>& args) const {
  std::vector<VARIANT> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->v);  // shallow: args own them
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return Call(id, flags, params, true);
}

Outcome Obj::Call(DISPID id, WORD flags, DISPPARAMS& params, bool wantResult) const {
  Outcome out;
  EXCEPINFO ex{};
  out.hr = d_->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &params, wantResult ? &out.result.v : nullptr, &ex,
                      &out.argErr);
  if (out.hr == DISP_E_EXCEPTION) {
    out.scode = ex.scode;
    if (ex.bstrSource) out.source = ex.bstrSource;
    if (ex.bstrDescription) out.description = ex.bstrDescription;
  }
  SysFreeString(ex.bstrSource);
  SysFreeString(ex.bstrDescription);
  SysFreeString(ex.bstrHelpFile);
  return out;
}

Outcome Obj::Invoke(const std::wstring& name, WORD flags, const std::vector<Var>& args) const {
  DISPID id = Id(name);
  if (id == DISPID_UNKNOWN) {
    Outcome out;
    out.hr = DISP_E_UNKNOWNNAME;
    return out;
  }
  return InvokeId(id, flags, args);
}

// A property put passes no result, as a client sending an assignment does.
Outcome Obj::Put(const std::wstring& name, const Var& value) const {
  DISPID id = Id(name);
  if (id == DISPID_UNKNOWN) {
    Outcome out;
    out.hr = DISP_E_UNKNOWNNAME;
    return out;
  }
  VARIANT arg = value.v;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&arg, &named, 1, 1};
  return Call(id, DISPATCH_PROPERTYPUT, params, false);
}

Obj Obj::ObjectOf(const std::wstring& name, WORD flags, const std::vector<Var>& args) const {
  Outcome o = Invoke(name, flags, args);
  IDispatch* d = o.ok() ? o.Object() : nullptr;
  return Obj(d, true);
}

IUnknown* Identity(IDispatch* d) {
  IUnknown* u = nullptr;
  if (d) d->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&u));
  return u;
}

Obj CreateControl() {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"Agent.Control.2", &clsid))) return Obj();
  IDispatch* d = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d)))) return Obj();
  return Obj(d);
}

long LiveObjects() {
  HMODULE dll = GetModuleHandleW(L"ZorvanAgent.dll");
  if (!dll) return -1;
  using Fn = LONG(WINAPI*)();
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(dll, "AgentLiveObjects")));
  return fn ? fn() : -1;
}

void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (done()) return true;
    }
    if (done()) return true;
    ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)), QS_ALLINPUT);
  }
}

HWND FigureWindow(const std::wstring& name) { return FindWindowW(L"ZorvanAgentCharacter", name.c_str()); }
HWND BalloonWindow(const std::wstring& name) { return FindWindowW(L"ZorvanAgentBalloon", name.c_str()); }

std::wstring WorkPath(const std::wstring& name) {
  wchar_t buf[MAX_PATH * 2] = {};
  GetFullPathNameW(name.c_str(), MAX_PATH * 2, buf, nullptr);
  return buf;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a test file");
  DWORD done = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(f);
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "";
  std::string out;
  char buf[4096];
  DWORD n = 0;
  while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  CloseHandle(f);
  return out;
}

std::vector<std::wstring> ReadLines(const std::wstring& path) {
  std::string bytes = ReadBytes(path);
  std::vector<std::wstring> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    int n = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), w.data(), n);
    lines.push_back(w);
    pos = end + 1;
  }
  return lines;
}

}  // namespace agenttest
