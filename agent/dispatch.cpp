#include "dispatch.h"

#include <new>

#include "agent_errors.h"
#include "journal.h"
#include "module.h"

namespace agent {
namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Member names are ASCII; they are compared with ASCII case folding so the
// result never depends on the locale.
bool NameEquals(const wchar_t* a, const wchar_t* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b)
    if (FoldAscii(*a) != FoldAscii(*b)) return false;
  return *a == *b;
}

bool IsMissing(const VARIANT* v) {
  if (!v) return true;
  const VARIANT* r = v;
  if (V_VT(r) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(r)) r = V_VARIANTREF(r);
  if (V_VT(r) == VT_EMPTY) return true;
  return V_VT(r) == VT_ERROR && V_ERROR(r) == DISP_E_PARAMNOTFOUND;
}

void RaiseErrorInfo(HRESULT scode, const std::wstring& description) {
  (void)scode;
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create)) || !create) return;
  create->SetGUID(IID_IDispatch);
  create->SetSource(const_cast<LPOLESTR>(kExceptionSource));
  create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info))) && info) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

}  // namespace

// ---- Args ----

bool Args::Has(unsigned i) const { return i < slots_.size() && !IsMissing(slots_[i]); }

const VARIANT& Args::Required(unsigned i) const {
  if (!Has(i)) throw DispFault{DISP_E_PARAMNOTOPTIONAL};
  return *slots_[i];
}

VARIANT Args::Convert(const VARIANT& v, VARTYPE type, UINT argErr) const {
  VARIANT out;
  VariantInit(&out);
  HRESULT hr = VariantChangeType(&out, const_cast<VARIANT*>(&v), 0, type);
  if (FAILED(hr)) {
    VariantClear(&out);
    if (hr != DISP_E_OVERFLOW) hr = DISP_E_TYPEMISMATCH;
    throw DispFault{hr, argErr, true};
  }
  return out;
}

std::wstring Args::String(unsigned i) const {
  VARIANT v = Convert(Required(i), VT_BSTR, argIndex_[i]);
  std::wstring s = V_BSTR(&v) ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : std::wstring();
  VariantClear(&v);
  return s;
}

std::wstring Args::StringOr(unsigned i, const std::wstring& fallback) const { return Has(i) ? String(i) : fallback; }

long Args::Long(unsigned i) const {
  VARIANT v = Convert(Required(i), VT_I4, argIndex_[i]);
  return V_I4(&v);
}

long Args::LongOr(unsigned i, long fallback) const { return Has(i) ? Long(i) : fallback; }

bool Args::BoolOr(unsigned i, bool fallback) const {
  if (!Has(i)) return fallback;
  VARIANT v = Convert(*slots_[i], VT_BOOL, argIndex_[i]);
  return V_BOOL(&v) != VARIANT_FALSE;
}

IUnknown* Args::Object(unsigned i) const {
  const VARIANT* v = &Required(i);
  if (V_VT(v) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
  switch (V_VT(v)) {
    case VT_DISPATCH:
      return V_DISPATCH(v);
    case VT_UNKNOWN:
      return V_UNKNOWN(v);
    case VT_DISPATCH | VT_BYREF:
      return V_DISPATCHREF(v) ? *V_DISPATCHREF(v) : nullptr;
    case VT_UNKNOWN | VT_BYREF:
      return V_UNKNOWNREF(v) ? *V_UNKNOWNREF(v) : nullptr;
    default:
      throw DispFault{DISP_E_TYPEMISMATCH, argIndex_[i], true};
  }
}

std::wstring Args::PutString() const {
  VARIANT v = Convert(*put_, VT_BSTR, putIndex_);
  std::wstring s = V_BSTR(&v) ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : std::wstring();
  VariantClear(&v);
  return s;
}

long Args::PutLong() const {
  VARIANT v = Convert(*put_, VT_I4, putIndex_);
  return V_I4(&v);
}

bool Args::PutBool() const {
  VARIANT v = Convert(*put_, VT_BOOL, putIndex_);
  return V_BOOL(&v) != VARIANT_FALSE;
}

// ---- DispatchObject ----

DispatchObject::DispatchObject() { ObjectCreated(); }

DispatchObject::~DispatchObject() { ObjectDestroyed(); }

STDMETHODIMP DispatchObject::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDispatch)
    *out = static_cast<IDispatch*>(this);
  else if (riid == IID_ISupportErrorInfo)
    *out = static_cast<ISupportErrorInfo*>(this);
  else
    *out = QueryPrivate(riid);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) DispatchObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) DispatchObject::Release() {
  LONG n = InterlockedDecrement(&refs_);
  if (n == 0) delete this;
  return static_cast<ULONG>(n);
}

STDMETHODIMP DispatchObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;  // the server is late-bound only: no type information
  return S_OK;
}

STDMETHODIMP DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return DISP_E_BADINDEX;
}

std::wstring* DispatchObject::AskedName(DISPID id) {
  for (auto& [known, spelling] : asked_)
    if (known == id) return &spelling;
  return nullptr;
}

STDMETHODIMP DispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  const Member* found = nullptr;
  for (const Member& m : Members())
    if (NameEquals(names[0], m.name)) {
      found = &m;
      break;
    }
  if (!found) {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  ids[0] = found->id;
  if (std::wstring* spelling = AskedName(found->id)) *spelling = names[0];
  else asked_.emplace_back(found->id, names[0]);
  HRESULT hr = S_OK;
  // The other names are parameter names: their DISPIDs are the parameters'
  // positions, for named arguments.
  for (UINT i = 1; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    for (unsigned k = 0; k < found->maxArgs && k < found->params.size(); ++k)
      if (NameEquals(names[i], found->params[k])) ids[i] = static_cast<DISPID>(k);
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT DispatchObject::Dispatch(const Member& m, WORD flags, const DISPPARAMS& p, VARIANT* result, UINT* argErr,
                                 std::wstring& description) {
  unsigned kind;
  if (flags & DISPATCH_PROPERTYPUT) {
    if (!(m.kinds & kPut)) return DISP_E_MEMBERNOTFOUND;
    kind = kPut;
  } else if (flags & DISPATCH_PROPERTYPUTREF) {
    return DISP_E_MEMBERNOTFOUND;  // no member holds an object reference
  } else if ((flags & DISPATCH_METHOD) && (m.kinds & kMethod)) {
    kind = kMethod;
  } else if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) && (m.kinds & kGet)) {
    kind = kGet;
  } else {
    return DISP_E_MEMBERNOTFOUND;
  }

  Args args;
  if (kind == kPut) {
    if (p.cArgs != 1) return DISP_E_BADPARAMCOUNT;
    // The value is the named argument DISPID_PROPERTYPUT; a client that
    // passes it positionally is accepted too.
    if (p.cNamedArgs == 1 && p.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
      if (argErr) *argErr = 0;
      return DISP_E_PARAMNOTFOUND;
    }
    args.put_ = &p.rgvarg[0];
    args.putIndex_ = 0;
  } else {
    args.slots_.assign(m.maxArgs, nullptr);
    args.argIndex_.assign(m.maxArgs, 0);
    for (UINT i = 0; i < p.cNamedArgs; ++i) {
      DISPID d = p.rgdispidNamedArgs[i];
      if (d < 0 || static_cast<unsigned>(d) >= m.maxArgs || args.slots_[static_cast<unsigned>(d)]) {
        if (argErr) *argErr = i;
        return DISP_E_PARAMNOTFOUND;
      }
      args.slots_[static_cast<unsigned>(d)] = &p.rgvarg[i];
      args.argIndex_[static_cast<unsigned>(d)] = i;
    }
    UINT positional = p.cArgs - p.cNamedArgs;
    if (positional > m.maxArgs) return DISP_E_BADPARAMCOUNT;
    for (UINT k = 0; k < positional; ++k) {
      UINT index = p.cArgs - 1 - k;
      if (args.slots_[k]) {
        if (argErr) *argErr = index;
        return DISP_E_PARAMNOTFOUND;
      }
      args.slots_[k] = &p.rgvarg[index];
      args.argIndex_[k] = index;
    }
    for (unsigned k = 0; k < m.minArgs; ++k)
      if (!args.Has(k)) return DISP_E_PARAMNOTOPTIONAL;
  }

  VARIANT local;
  VariantInit(&local);
  VARIANT* out = result ? result : &local;
  VariantInit(out);
  try {
    Call(m, kind, args, out);
  } catch (const AgentError& e) {
    VariantClear(out);
    description = e.description;
    return e.code;  // the caller turns a failure code with a description into DISP_E_EXCEPTION
  } catch (const DispFault& f) {
    VariantClear(out);
    if (f.hasArg && argErr) *argErr = f.argErr;
    return f.hr;
  } catch (const std::bad_alloc&) {
    VariantClear(out);
    return E_OUTOFMEMORY;
  }
  if (!result) VariantClear(&local);
  return S_OK;
}

STDMETHODIMP DispatchObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO* excep, UINT* argErr) {
  DISPPARAMS none{};
  const DISPPARAMS& p = params ? *params : none;
  if ((p.cArgs && !p.rgvarg) || p.cNamedArgs > p.cArgs || (p.cNamedArgs && !p.rgdispidNamedArgs)) return E_INVALIDARG;

  // The object stays alive while one of its members runs, whatever the
  // member releases.
  AddRef();
  const Member* member = nullptr;
  for (const Member& m : Members())
    if (m.id == id) {
      member = &m;
      break;
    }
  HRESULT hr;
  HRESULT scode = S_OK;
  std::wstring description;
  if (riid != IID_NULL) {
    hr = DISP_E_UNKNOWNINTERFACE;
  } else if (!member) {
    hr = DISP_E_MEMBERNOTFOUND;
  } else {
    try {
      hr = Dispatch(*member, flags, p, result, argErr, description);
    } catch (const std::bad_alloc&) {
      hr = E_OUTOFMEMORY;
    } catch (...) {
      hr = E_UNEXPECTED;
      description = L"Internal error of the character server.";
    }
    if (!description.empty()) {
      scode = hr;
      hr = DISP_E_EXCEPTION;
    }
  }

  const std::wstring* asked = member ? AskedName(id) : nullptr;
  std::wstring name = asked ? *asked : member ? std::wstring(member->name) : L"#" + std::to_wstring(id);
  try {
    RecordCall(Label(), name, flags, p, hr, description);
  } catch (...) {
    // The journal is a diagnostic aid; it never changes the call's outcome.
  }

  if (hr == DISP_E_EXCEPTION) {
    if (excep) {
      *excep = EXCEPINFO{};
      excep->wCode = 0;
      excep->scode = scode;
      excep->bstrSource = SysAllocString(kExceptionSource);
      excep->bstrDescription = SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
    }
    RaiseErrorInfo(scode, description);
  }
  Release();
  return hr;
}

STDMETHODIMP DispatchObject::InterfaceSupportsErrorInfo(REFIID riid) {
  return riid == IID_IDispatch ? S_OK : S_FALSE;
}

// ---- results ----

void SetResult(VARIANT* result, const std::wstring& text) {
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!V_BSTR(result)) throw std::bad_alloc();
}

void SetResult(VARIANT* result, long value) {
  V_VT(result) = VT_I4;
  V_I4(result) = value;
}

void SetResultBool(VARIANT* result, bool value) {
  V_VT(result) = VT_BOOL;
  V_BOOL(result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetResult(VARIANT* result, IDispatch* object) {
  V_VT(result) = VT_DISPATCH;
  V_DISPATCH(result) = object;
}

}  // namespace agent
