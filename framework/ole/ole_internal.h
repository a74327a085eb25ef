// Shared pieces of the automation client: the module state (last error,
// last server exception), the trace file, text conversion, the argument
// pack and the classes' member slots. Not for use outside framework/ole.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/ole/olevariant.h"

namespace zv::ole {

// ---------------------------------------------------------------- state

// The last OLE error (an HRESULT, or the count of OLEADDREF / OLERELEASEOBJECT).
extern HRESULT g_lastOleError;
inline HRESULT LastOleError() { return g_lastOleError; }
inline void SetLastOleError(HRESULT hr) { g_lastOleError = hr; }

// The last server exception: cleared before each Invoke, taken from the
// EXCEPINFO after a DISP_E_EXCEPTION. (Clearing costs a test when nothing
// is kept, which is the usual case.)
extern bool g_exceptionKept;
void ForgetException();
inline void ClearException() {
  if (g_exceptionKept) ForgetException();
}
// Takes the code and texts of an EXCEPINFO (running its deferred fill-in
// first) and frees its strings.
void TakeException(EXCEPINFO& info);
// Frees the strings of an EXCEPINFO that is not kept.
void FreeExceptionStrings(EXCEPINFO& info);
inline void FreeException(EXCEPINFO& info) {
  if (info.bstrSource || info.bstrDescription || info.bstrHelpFile) FreeExceptionStrings(info);
}
const std::string& ExceptionSource();
const std::string& ExceptionDescription();
// The server's code for its exception: the scode, or the wCode when the
// scode is 0 (0 when the server gave neither).
long ExceptionCode();

// The error state of the last call, to put back after a failed retry.
struct ErrorState {
  HRESULT hr;
  long code;
  std::string source;
  std::string description;
};
ErrorState SaveErrorState();
void RestoreErrorState(ErrorState s);

// The symbolic name of an HRESULT ("Unknown error" for codes without one,
// which are also written to the trace file).
std::string ErrorName(HRESULT hr);
// The system's message for an HRESULT (FormatMessage, in the ANSI code
// page, without the line end), or "" when the system has none.
std::string SystemMessage(HRESULT hr);

// ---------------------------------------------------------------- trace file

// Appends a formatted line to "trace.log" in the current directory; the
// first write of the run truncates the file.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A number as the trace file shows type codes and error codes: the hex
// digits of a pointer-sized value (16 on 64-bit Windows, 8 on 32-bit).
std::string PointerText(std::uintptr_t value);
// "Unexpected type %p in: %s(%i)!\n" for a type code at a source line.
void TraceUnexpectedType(std::uintptr_t typeCode, const char* file, int line);

// ---------------------------------------------------------------- text

// ANSI bytes to UTF-16 and back (CP_ACP).
BSTR ToBstr(std::string_view s);
std::string FromWide(const wchar_t* w, std::size_t length);
std::string FromBstr(BSTR b);  // a null BSTR gives ""

// A UTF-16 copy of a name, kept on the stack when short.
class WideName {
 public:
  explicit WideName(std::string_view s);
  LPOLESTR get() { return data_; }

 private:
  wchar_t inline_[64];
  std::unique_ptr<wchar_t[]> heap_;
  wchar_t* data_;
};

// ---------------------------------------------------------------- VARIANTs

// VariantInit, inline.
inline void InitVariant(VARIANT& v) { v.vt = VT_EMPTY; }

// VariantClear for a VARIANT that owns something (a string, an interface, an
// array, a record); any other one (numbers, references, VT_PTR) is only
// marked empty. A string, the common case, is freed directly (what
// VariantClear would do, without its checks).
inline void ClearVariant(VARIANT& v) {
  const VARTYPE vt = v.vt;
  if (vt == VT_BSTR) {
    SysFreeString(v.bstrVal);
    v.vt = VT_EMPTY;
  } else if (!(vt & VT_BYREF) && ((vt & VT_ARRAY) || vt == VT_DISPATCH || vt == VT_UNKNOWN || vt == VT_RECORD)) {
    VariantClear(&v);
  } else {
    v.vt = VT_EMPTY;
  }
}

// ---------------------------------------------------------------- dates

double OleDateFromJulian(double julian);
double JulianFromOleDate(double date);

// ---------------------------------------------------------------- values

// Interface pointers as values: integers holding the pointer.
Value PointerValue(const void* p);
void* PointerOf(const Value& v);  // integers and pointers; nullptr otherwise

// Member slots of the classes (found once).
struct Slots {
  std::uint32_t hObj, cClassName, pOleEnumerator;  // TOleAuto
  std::uint32_t vt, value, owned;                  // VTWrapper
};
const Slots& slots();

bool IsOleAuto(const Value& v);
bool IsVTWrapper(const Value& v);
bool IsVTArrayWrapper(const Value& v);

// The interface held by a TOleAuto object (no reference added).
IDispatch* DispatchOf(Object& self);
// A new VTWrapper that owns one reference on an interface (released when the
// wrapper goes away).
Value OwningUnknownWrapper(IUnknown* unknown);
// AddRef / Release made by the module itself: they leave the last OLE error alone.
void QuietAddRef(IUnknown* p);
void QuietRelease(IUnknown* p);

// ---------------------------------------------------------------- arguments

// The arguments of one call as VARIANTs, in reverse order (the last argument
// first). An argument passed by reference whose value can come back (numbers,
// strings, logicals, dates, absent values, lists, TOleAuto objects) is a
// VT_BYREF VARIANT pointing into storage owned by the pack; CopyBack() writes
// what the server left there into the caller's reference. Everything is
// cleared when the pack goes away.
class ArgPack {
 public:
  explicit ArgPack(Args args);
  ~ArgPack();
  ArgPack(const ArgPack&) = delete;
  ArgPack& operator=(const ArgPack&) = delete;

  DISPPARAMS* Plain();   // no named arguments
  DISPPARAMS* ForPut();  // the named argument DISPID_PROPERTYPUT
  std::size_t size() const { return n_; }
  void CopyBack() {
    if (copyBack_ && !copiedBack_) CopyBackArguments();
  }

 private:
  void CopyBackArguments();
  enum : std::uint8_t { kNone, kStore, kCopyBack };
  static constexpr std::size_t kInline = 8;
  Args args_;
  std::size_t n_;
  VARIANT* argv_;
  VARIANT* store_;
  std::uint8_t* mode_;
  void** original_;  // the interface an interface argument started with
  VARIANT inlineArgv_[kInline];
  VARIANT inlineStore_[kInline];
  std::uint8_t inlineMode_[kInline];
  void* inlineOriginal_[kInline];
  std::unique_ptr<VARIANT[]> heapArgv_, heapStore_;
  std::unique_ptr<std::uint8_t[]> heapMode_;
  std::unique_ptr<void*[]> heapOriginal_;
  DISPID putId_ = DISPID_PROPERTYPUT;
  DISPPARAMS params_{};
  bool owning_ = false;    // some VARIANT may own something (to clear)
  bool copyBack_ = false;  // some argument is to be copied back
  bool copiedBack_ = false;
};

}  // namespace zv::ole
