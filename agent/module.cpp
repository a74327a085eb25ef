// The DLL's entry points: DllMain, the class factory, self-registration, and
// the diagnostic export AgentLiveObjects.
#include "module.h"

#include <objbase.h>
#include <olectl.h>

#include <vector>

#include "agent_errors.h"
#include "control.h"
#include "host.h"

namespace agent {
namespace {

HINSTANCE g_instance = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

// The one class factory of the server. It lives as long as the DLL and does
// not count as a server object; only LockServer keeps the DLL loaded.
class ClassFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return CreateControlObject(riid, out);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock)
      InterlockedIncrement(&g_locks);
    else
      InterlockedDecrement(&g_locks);
    return S_OK;
  }
};

ClassFactory g_factory;

std::wstring GuidText(const GUID& guid) {
  wchar_t buf[40] = {};
  StringFromGUID2(guid, buf, 40);
  return buf;
}

// Registration goes to HKEY_CLASSES_ROOT (the machine); when that is denied
// (an unprivileged user on Windows) it goes to the user's own classes.
struct RegistryRoot {
  HKEY key;
  const wchar_t* prefix;
};
const RegistryRoot kMachineRoot{HKEY_CLASSES_ROOT, L""};
const RegistryRoot kUserRoot{HKEY_CURRENT_USER, L"Software\\Classes\\"};

LSTATUS SetString(const RegistryRoot& root, const std::wstring& subkey, const wchar_t* name, const std::wstring& data) {
  HKEY key = nullptr;
  LSTATUS st = RegCreateKeyExW(root.key, (root.prefix + subkey).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                               nullptr);
  if (st != ERROR_SUCCESS) return st;
  st = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                      static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return st;
}

LSTATUS Register(const RegistryRoot& root) {
  const std::wstring clsid = L"CLSID\\" + GuidText(kClsidControl);
  const std::wstring progId = kProgId;
  const std::wstring independent = kVersionIndependentProgId;
  const std::wstring clsidText = GuidText(kClsidControl);
  struct Entry {
    std::wstring key;
    const wchar_t* name;
    std::wstring value;
  };
  const std::vector<Entry> entries = {
      {clsid, nullptr, kServerDescription},
      {clsid + L"\\InprocServer32", nullptr, ModulePath()},
      {clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {clsid + L"\\ProgID", nullptr, progId},
      {clsid + L"\\VersionIndependentProgID", nullptr, independent},
      {progId, nullptr, kServerDescription},
      {progId + L"\\CLSID", nullptr, clsidText},
      {independent, nullptr, kServerDescription},
      {independent + L"\\CLSID", nullptr, clsidText},
      {independent + L"\\CurVer", nullptr, progId},
  };
  for (const Entry& e : entries) {
    LSTATUS st = SetString(root, e.key, e.name, e.value);
    if (st != ERROR_SUCCESS) return st;
  }
  return ERROR_SUCCESS;
}

// Deletes a ProgID key only when it names this server's CLSID, so that
// another server registered under the same name is left alone.
void DeleteProgIdIfOurs(const RegistryRoot& root, const std::wstring& progId) {
  std::wstring sub = root.prefix + progId + L"\\CLSID";
  wchar_t value[64] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(root.key, sub.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return;
  GUID guid;
  if (FAILED(CLSIDFromString(value, &guid)) || guid != kClsidControl) return;
  RegDeleteTreeW(root.key, (root.prefix + progId).c_str());
}

void Unregister(const RegistryRoot& root) {
  RegDeleteTreeW(root.key, (root.prefix + std::wstring(L"CLSID\\") + GuidText(kClsidControl)).c_str());
  DeleteProgIdIfOurs(root, kProgId);
  DeleteProgIdIfOurs(root, kVersionIndependentProgId);
}

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

std::wstring ModulePath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(g_instance, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return L"";
    if (n < buf.size()) return std::wstring(buf.data(), n);
    if (buf.size() >= 32768) return L"";
    buf.resize(buf.size() * 2);
  }
}

std::wstring ModuleFolder() {
  std::wstring path = ModulePath();
  std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

void ObjectCreated() { InterlockedIncrement(&g_objects); }
void ObjectDestroyed() { InterlockedDecrement(&g_objects); }
long LiveObjects() { return InterlockedCompareExchange(&g_objects, 0, 0); }

bool RunningOnWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring EnvironmentValue(const wchar_t* name) {
  std::vector<wchar_t> buf(256);
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD n = GetEnvironmentVariableW(name, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return L"";
    if (n < buf.size()) return std::wstring(buf.data(), n);
    buf.resize(n + 1);
  }
  return L"";
}

}  // namespace agent

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    agent::g_instance = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Unloaded by FreeLibrary (not at process exit): no object is alive
    // (DllCanUnloadNow said so), so the window classes can go.
    agent::UnregisterWindowClasses();
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != agent::kClsidControl) return CLASS_E_CLASSNOTAVAILABLE;
  return agent::g_factory.QueryInterface(riid, out);
}

STDAPI DllCanUnloadNow() {
  return (agent::LiveObjects() == 0 && InterlockedCompareExchange(&agent::g_locks, 0, 0) == 0) ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  if (agent::ModulePath().empty()) return SELFREG_E_CLASS;
  LSTATUS st = agent::Register(agent::kMachineRoot);
  if (st == ERROR_ACCESS_DENIED) st = agent::Register(agent::kUserRoot);
  return st == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  agent::Unregister(agent::kMachineRoot);
  agent::Unregister(agent::kUserRoot);
  return S_OK;
}

// The number of live server objects (control, collections, characters,
// requests): 0 once every client reference has been released.
extern "C" LONG WINAPI AgentLiveObjects() { return agent::LiveObjects(); }
