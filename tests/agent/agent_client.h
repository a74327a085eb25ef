// A raw IDispatch client for the tests of the character server: every call
// goes through GetIDsOfNames (with upper-case names, as the demo sends them)
// and Invoke, and the outcome is kept whole (HRESULT, result, EXCEPINFO,
// argument error) so the tests can check each part.
#pragma once

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace agenttest {

// A VARIANT that clears itself.
struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  ~Var() { VariantClear(&v); }
  Var(const Var& o) {
    VariantInit(&v);
    VariantCopy(&v, const_cast<VARIANT*>(&o.v));
  }
  Var& operator=(const Var& o) {
    if (this != &o) {
      VariantClear(&v);
      VariantCopy(&v, const_cast<VARIANT*>(&o.v));
    }
    return *this;
  }
  static Var Str(const std::wstring& s) {
    Var r;
    V_VT(&r.v) = VT_BSTR;
    V_BSTR(&r.v) = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return r;
  }
  static Var Int(long n) {
    Var r;
    V_VT(&r.v) = VT_I4;
    V_I4(&r.v) = n;
    return r;
  }
  static Var Dbl(double d) {
    Var r;
    V_VT(&r.v) = VT_R8;
    V_R8(&r.v) = d;
    return r;
  }
  static Var Bool(bool b) {
    Var r;
    V_VT(&r.v) = VT_BOOL;
    V_BOOL(&r.v) = b ? VARIANT_TRUE : VARIANT_FALSE;
    return r;
  }
  static Var Object(IDispatch* d) {
    Var r;
    V_VT(&r.v) = VT_DISPATCH;
    V_DISPATCH(&r.v) = d;
    if (d) d->AddRef();
    return r;
  }
};

struct Outcome {
  HRESULT hr = E_FAIL;
  Var result;
  SCODE scode = 0;
  std::wstring source;
  std::wstring description;
  UINT argErr = 0xFFFFFFFF;

  bool ok() const { return SUCCEEDED(hr); }
  long Long() const;
  bool Bool() const;
  std::wstring String() const;
  IDispatch* Object() const;  // borrowed; nullptr when the result is not an object
};

// An owned IDispatch pointer with call helpers.
class Obj {
 public:
  Obj() = default;
  explicit Obj(IDispatch* d, bool addRef = false) : d_(d) {
    if (d_ && addRef) d_->AddRef();
  }
  ~Obj() { Reset(); }
  Obj(Obj&& o) noexcept : d_(o.d_) { o.d_ = nullptr; }
  Obj& operator=(Obj&& o) noexcept {
    if (this != &o) {
      Reset();
      d_ = o.d_;
      o.d_ = nullptr;
    }
    return *this;
  }
  Obj(const Obj&) = delete;
  Obj& operator=(const Obj&) = delete;

  void Reset() {
    if (d_) d_->Release();
    d_ = nullptr;
  }
  IDispatch* get() const { return d_; }
  explicit operator bool() const { return d_ != nullptr; }

  DISPID Id(const std::wstring& name) const;
  // Invoke with positional arguments in their natural order.
  Outcome Invoke(const std::wstring& name, WORD flags, const std::vector<Var>& args = {}) const;
  Outcome InvokeId(DISPID id, WORD flags, const std::vector<Var>& args = {}) const;
  Outcome Method(const std::wstring& name, const std::vector<Var>& args = {}) const {
    return Invoke(name, DISPATCH_METHOD, args);
  }
  Outcome Get(const std::wstring& name, const std::vector<Var>& args = {}) const {
    return Invoke(name, DISPATCH_PROPERTYGET, args);
  }
  // A property put with the named argument DISPID_PROPERTYPUT.
  Outcome Put(const std::wstring& name, const Var& value) const;
  // The object a call returns (a new reference), or an empty Obj.
  Obj ObjectOf(const std::wstring& name, WORD flags, const std::vector<Var>& args = {}) const;

 private:
  // Invoke, with the server exception's code and texts kept in the outcome.
  Outcome Call(DISPID id, WORD flags, DISPPARAMS& params, bool wantResult) const;

  IDispatch* d_ = nullptr;
};

// COM identity: the IUnknown of an object.
IUnknown* Identity(IDispatch* d);  // a new reference

// Creates the control from its ProgID.
Obj CreateControl();

// The number of live server objects, read from the loaded DLL's export.
long LiveObjects();

// Pumps messages until `done` returns true or `ms` pass; true when done.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
void Pump(DWORD ms);

// The character's windows (by class and title), or nullptr.
HWND FigureWindow(const std::wstring& name);
HWND BalloonWindow(const std::wstring& name);

// A file beside the test (in its working folder), and reading files.
std::wstring WorkPath(const std::wstring& name);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
// Lines of a UTF-8 file, as UTF-16.
std::vector<std::wstring> ReadLines(const std::wstring& path);

}  // namespace agenttest
