// The module state of the automation client (last error, last server
// exception), the trace file, error names and text conversion.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "framework/ole/ole_internal.h"

namespace zv::ole {
namespace {

// One per process, touched only from the GUI thread.
struct State {
  std::string excSource;
  std::string excDescription;
  long excCode = 0;
  bool traceStarted = false;
};

State& state() {
  static State* s = new State;
  return *s;
}

std::string TakeBstr(BSTR& b) {
  std::string s = FromBstr(b);
  SysFreeString(b);
  b = nullptr;
  return s;
}

}  // namespace

HRESULT g_lastOleError = S_OK;

bool g_exceptionKept = false;

void ForgetException() {
  State& s = state();
  s.excSource.clear();
  s.excDescription.clear();
  s.excCode = 0;
  g_exceptionKept = false;
}

void TakeException(EXCEPINFO& info) {
  if (info.pfnDeferredFillIn) {
    info.pfnDeferredFillIn(&info);
    info.pfnDeferredFillIn = nullptr;
  }
  State& s = state();
  s.excCode = info.scode != 0 ? static_cast<long>(info.scode) : static_cast<long>(info.wCode);
  s.excSource = TakeBstr(info.bstrSource);
  s.excDescription = TakeBstr(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  info.bstrHelpFile = nullptr;
  g_exceptionKept = true;
}

void FreeExceptionStrings(EXCEPINFO& info) {
  if (info.bstrSource) SysFreeString(info.bstrSource);
  if (info.bstrDescription) SysFreeString(info.bstrDescription);
  if (info.bstrHelpFile) SysFreeString(info.bstrHelpFile);
  info.bstrSource = info.bstrDescription = info.bstrHelpFile = nullptr;
}

const std::string& ExceptionSource() { return state().excSource; }
const std::string& ExceptionDescription() { return state().excDescription; }
long ExceptionCode() { return state().excCode; }

ErrorState SaveErrorState() {
  const State& s = state();
  return {g_lastOleError, s.excCode, s.excSource, s.excDescription};
}

void RestoreErrorState(ErrorState saved) {
  State& s = state();
  g_lastOleError = saved.hr;
  s.excCode = saved.code;
  s.excSource = std::move(saved.source);
  s.excDescription = std::move(saved.description);
  g_exceptionKept = s.excCode != 0 || !s.excSource.empty() || !s.excDescription.empty();
}

std::string ErrorName(HRESULT hr) {
  struct Name {
    HRESULT hr;
    const char* name;
  };
  static const Name names[] = {
      {S_OK, "S_OK"},
      {E_NOTIMPL, "E_NOTIMPL"},
      {E_FAIL, "E_FAIL"},
      {E_UNEXPECTED, "E_UNEXPECTED"},
      {DISP_E_UNKNOWNINTERFACE, "DISP_E_UNKNOWNINTERFACE"},
      {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
      {DISP_E_PARAMNOTFOUND, "DISP_E_PARAMNOTFOUND"},
      {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
      {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
      {DISP_E_NONAMEDARGS, "DISP_E_NONAMEDARGS"},
      {DISP_E_BADVARTYPE, "DISP_E_BADVARTYPE"},
      {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
      {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
      {DISP_E_UNKNOWNLCID, "DISP_E_UNKNOWNLCID"},
      {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
      {DISP_E_PARAMNOTOPTIONAL, "DISP_E_PARAMNOTOPTIONAL"},
      {OLE_E_WRONGCOMPOBJ, "OLE_E_WRONGCOMPOBJ"},
      {REGDB_E_WRITEREGDB, "REGDB_E_WRITEREGDB"},
      {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
      {MK_E_UNAVAILABLE, "MK_E_UNAVAILABLE"},
      {CO_E_CLASSSTRING, "CO_E_CLASSSTRING"},
      {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
      {E_INVALIDARG, "E_INVALIDARG"},
      {CO_E_SERVER_EXEC_FAILURE, "CO_E_SERVER_EXEC_FAILURE"},
  };
  for (const Name& n : names)
    if (n.hr == hr) return n.name;
  Trace("TOleAuto Error %s\n", PointerText(static_cast<std::uint32_t>(hr)).c_str());
  return "Unknown error";
}

std::string SystemMessage(HRESULT hr) {
  char* text = nullptr;
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  DWORD n = FormatMessageA(flags, nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  // A Win32 error wrapped in an HRESULT may be in the table only as itself.
  if (n == 0 && HRESULT_FACILITY(hr) == FACILITY_WIN32 && HRESULT_CODE(hr) != 0)
    n = FormatMessageA(flags, nullptr, static_cast<DWORD>(HRESULT_CODE(hr)), 0, reinterpret_cast<char*>(&text), 0,
                       nullptr);
  std::string s = n && text ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

// ---------------------------------------------------------------- trace file

void Trace(const char* format, ...) {
  State& s = state();
  // Binary mode: the file holds exactly the texts written ("\n" line ends).
  std::FILE* f = std::fopen("trace.log", s.traceStarted ? "ab" : "wb");
  if (!f) return;
  s.traceStarted = true;
  std::va_list ap;
  va_start(ap, format);
  std::vfprintf(f, format, ap);
  va_end(ap);
  std::fclose(f);
}

std::string PointerText(std::uintptr_t value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(value));
  return buf;
}

void TraceUnexpectedType(std::uintptr_t typeCode, const char* file, int line) {
  const char* base = file;
  for (const char* p = file; *p; ++p)
    if (*p == '/' || *p == '\\') base = p + 1;
  Trace("Unexpected type %s in: %s(%i)!\n", PointerText(typeCode).c_str(), base, line);
}

// ---------------------------------------------------------------- text

namespace {

// ASCII reads the same in every ANSI code page (lead bytes of double-byte
// code pages are above 0x7f): such text is widened or narrowed directly.
bool IsAscii(const char* s, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(s[i]) > 0x7f) return false;
  return true;
}

}  // namespace

BSTR ToBstr(std::string_view s) {
  const int len = static_cast<int>(std::min<std::size_t>(s.size(), 0x3fffffff));
  if (len == 0) return SysAllocStringLen(nullptr, 0);
  // ASCII (the usual case) is widened in the same pass that checks it; any
  // other byte sends the text through the code page.
  BSTR b = SysAllocStringLen(nullptr, static_cast<UINT>(len));
  if (!b) return nullptr;
  unsigned char seen = 0;
  for (int i = 0; i < len; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[static_cast<std::size_t>(i)]);
    seen |= c;
    b[i] = static_cast<wchar_t>(c);
  }
  if (!(seen & 0x80)) return b;
  SysFreeString(b);
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), len, nullptr, 0);
  b = SysAllocStringLen(nullptr, static_cast<UINT>(n));
  if (b && n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), len, b, n);
  return b;
}

std::string FromWide(const wchar_t* w, std::size_t length) {
  if (!w || length == 0) return {};
  const int len = static_cast<int>(std::min<std::size_t>(length, 0x3fffffff));
  std::string s(static_cast<std::size_t>(len), '\0');
  wchar_t seen = 0;
  for (int i = 0; i < len; ++i) {
    seen |= w[i];
    s[static_cast<std::size_t>(i)] = static_cast<char>(w[i]);
  }
  if (!(seen & ~static_cast<wchar_t>(0x7f))) return s;
  const int n = WideCharToMultiByte(CP_ACP, 0, w, len, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  s.assign(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, len, s.data(), n, nullptr, nullptr);
  return s;
}

std::string FromBstr(BSTR b) { return b ? FromWide(b, SysStringLen(b)) : std::string(); }

WideName::WideName(std::string_view s) : data_(inline_) {
  const int len = static_cast<int>(std::min<std::size_t>(s.size(), 0x3fffffff));
  if (len < 64 && IsAscii(s.data(), static_cast<std::size_t>(len))) {
    for (int i = 0; i < len; ++i) inline_[i] = static_cast<wchar_t>(s[static_cast<std::size_t>(i)]);
    inline_[len] = L'\0';
    return;
  }
  int n = len ? MultiByteToWideChar(CP_ACP, 0, s.data(), len, inline_, 63) : 0;
  if (n == 0 && len > 0) {
    n = MultiByteToWideChar(CP_ACP, 0, s.data(), len, nullptr, 0);
    heap_.reset(new wchar_t[static_cast<std::size_t>(n) + 1]);
    data_ = heap_.get();
    MultiByteToWideChar(CP_ACP, 0, s.data(), len, data_, n);
  }
  data_[n] = L'\0';
}

// ---------------------------------------------------------------- dates

// An OLE date counts days from 30 December 1899 (day 0, Julian day 2415019).
// Before that day the whole part is negative but the fraction (the time of
// day) still counts forwards: -1.25 is 29 December 1899, 06:00.
constexpr double kOleEpochJulian = 2415019.0;

double OleDateFromJulian(double julian) {
  const double day = std::floor(julian);
  const double time = julian - day;
  const double d = day - kOleEpochJulian;
  return (d < 0 && time > 0) ? d - time : d + time;
}

double JulianFromOleDate(double date) {
  const double day = std::trunc(date);
  return day + kOleEpochJulian + std::fabs(date - day);
}

// ---------------------------------------------------------------- pointers

Value PointerValue(const void* p) {
  return Value(static_cast<long long>(reinterpret_cast<std::uintptr_t>(p)));
}

void* PointerOf(const Value& v) {
  const Value& x = v.Deref();
  if (x.IsInteger()) return reinterpret_cast<void*>(static_cast<std::uintptr_t>(x.AsInt()));
  if (x.IsPointer()) return const_cast<void*>(x.AsPointer());
  if (x.IsDouble()) return reinterpret_cast<void*>(static_cast<std::uintptr_t>(x.AsInt()));
  return nullptr;
}

void QuietAddRef(IUnknown* p) {
  if (p) p->AddRef();
}

void QuietRelease(IUnknown* p) {
  if (p) p->Release();
}

}  // namespace zv::ole

namespace zv {

using namespace ole;

Value OLEERROR() { return Value(static_cast<long long>(LastOleError())); }

Value OLE2TXTERROR() { return Value(ErrorName(LastOleError())); }

Value OLEEXCEPTIONSOURCE() {
  if (LastOleError() != DISP_E_EXCEPTION) return {};
  return Value(ExceptionSource());
}

Value OLEEXCEPTIONDESCRIPTION() {
  if (LastOleError() != DISP_E_EXCEPTION) return {};
  return Value(ExceptionDescription());
}

Value OLEADDREF(const Value& pointer) {
  auto* p = static_cast<IUnknown*>(PointerOf(pointer));
  if (!p) {
    SetLastOleError(E_INVALIDARG);
    return Value(0);
  }
  const ULONG n = p->AddRef();
  SetLastOleError(static_cast<HRESULT>(n));
  return Value(static_cast<long long>(n));
}

Value OLERELEASEOBJECT(const Value& pointer) {
  auto* p = static_cast<IUnknown*>(PointerOf(pointer));
  if (!p) {
    SetLastOleError(E_INVALIDARG);
    return Value(0);
  }
  const ULONG n = p->Release();
  SetLastOleError(static_cast<HRESULT>(n));
  return Value(static_cast<long long>(n));
}

}  // namespace zv
