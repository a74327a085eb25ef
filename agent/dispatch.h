// Hand-written late binding: the base class of every object of the server.
//
// Each object describes its members in a table (name, DISPID, the kinds of
// call it accepts, its parameters). The base class answers GetIDsOfNames
// from that table, matching names without regard to case, and implements
// Invoke: it checks the call kind and the arguments against the table, puts
// the arguments in their natural order (named arguments included), calls the
// object, converts failures into the proper DISP_E_* result or into
// DISP_E_EXCEPTION with an EXCEPINFO, and writes the call to the journal.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <array>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace agent {

// The kinds of call a member accepts.
enum CallKind : unsigned {
  kMethod = 1,  // DISPATCH_METHOD
  kGet = 2,     // DISPATCH_PROPERTYGET (and DISPATCH_METHOD on a property)
  kPut = 4,     // DISPATCH_PROPERTYPUT
};

struct Member {
  const wchar_t* name;
  DISPID id;
  unsigned kinds;
  unsigned minArgs;  // arguments of a method or property get
  unsigned maxArgs;
  std::array<const wchar_t*, 4> params{};  // parameter names, for named arguments
};

// A failure reported to the client as DISP_E_EXCEPTION.
struct AgentError {
  HRESULT code;
  std::wstring description;
};

// A failure reported as a plain HRESULT, with the index of the offending
// argument in rgvarg where there is one.
struct DispFault {
  HRESULT hr;
  UINT argErr = 0;
  bool hasArg = false;
};

// The arguments of one call, in their natural order (the first argument is
// index 0), plus the value of a property put.
class Args {
 public:
  unsigned Count() const { return static_cast<unsigned>(slots_.size()); }
  bool Has(unsigned i) const;

  std::wstring String(unsigned i) const;
  std::wstring StringOr(unsigned i, const std::wstring& fallback) const;
  long Long(unsigned i) const;
  long LongOr(unsigned i, long fallback) const;
  bool BoolOr(unsigned i, bool fallback) const;
  // The interface passed (borrowed); a type mismatch unless an object was passed.
  IUnknown* Object(unsigned i) const;

  // The value of a property put.
  const VARIANT& PutValue() const { return *put_; }
  std::wstring PutString() const;
  long PutLong() const;
  bool PutBool() const;

 private:
  friend class DispatchObject;
  const VARIANT& Required(unsigned i) const;
  VARIANT Convert(const VARIANT& v, VARTYPE type, UINT argErr) const;

  std::vector<const VARIANT*> slots_;
  std::vector<UINT> argIndex_;  // index of each slot in rgvarg
  const VARIANT* put_ = nullptr;
  UINT putIndex_ = 0;
};

class DispatchObject : public IDispatch, public ISupportErrorInfo {
 public:
  DispatchObject();
  virtual ~DispatchObject();
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) override;
  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override;

 protected:
  virtual std::span<const Member> Members() const = 0;
  // The name of the object in the journal ("Agent", "Characters", "Merlin" ...).
  virtual std::wstring Label() const = 0;
  // Carries out a call; `kind` is kMethod, kGet or kPut as resolved from the
  // flags; `result` is never null. Throws AgentError or DispFault.
  virtual void Call(const Member& member, unsigned kind, Args& args, VARIANT* result) = 0;
  // Private interfaces of a derived object.
  virtual void* QueryPrivate(REFIID) { return nullptr; }

 private:
  HRESULT Dispatch(const Member& member, WORD flags, const DISPPARAMS& params, VARIANT* result, UINT* argErr,
                   std::wstring& description);

  LONG refs_ = 1;
  // The member names as the client spelled them in GetIDsOfNames, by
  // DISPID: the journal shows what arrived (the demo's upper-case names).
  std::vector<std::pair<DISPID, std::wstring>> asked_;
  std::wstring* AskedName(DISPID id);  // nullptr when never asked for
};

// Helpers for results.
void SetResult(VARIANT* result, const std::wstring& text);
void SetResult(VARIANT* result, long value);
void SetResultBool(VARIANT* result, bool value);
// Takes over the reference of `object`.
void SetResult(VARIANT* result, IDispatch* object);

}  // namespace agent
