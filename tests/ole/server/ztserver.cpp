// A small in-process automation server for the tests of the OLE client:
// hand-written IDispatch implementations, registered as "ZorvanTest.Server",
// plus "ZorvanTest.Failing", whose class factory refuses to create anything.
//
// Every object the server hands out counts its references, and the counts
// are summed in process-wide counters that the tests read through exported
// functions (ZtsLiveObjects, ZtsOutstandingRefs, ZtsRefErrors). Objects are
// never freed: one released too often is still there to count the extra
// Release as an error instead of crashing. Every GetIDsOfNames and Invoke is
// written to a call log (ZtsTakeLog): "ids NAME LCID" with the name as the
// client sent it, and "KIND Member" for each Invoke (KIND: method, get, put,
// putref, method+get).
#include <windows.h>
#include <oaidl.h>
#include <olectl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HMODULE g_module = nullptr;
long g_live = 0;       // counted objects alive
long g_refs = 0;       // references held on them
long g_refErrors = 0;  // AddRef or Release on an object already gone
bool g_logging = true;
std::string g_log;

const CLSID kServerClsid = {0xa2c7d4e1, 0xe402, 0x40f3, {0xb4, 0x14, 0xc1, 0x04, 0x4a, 0x3d, 0x46, 0x86}};
const CLSID kFailingClsid = {0x1b2bd1b8, 0x00ee, 0x4cd3, {0x9e, 0x5e, 0x87, 0xaa, 0xea, 0x02, 0x0a, 0x31}};
const wchar_t kServerClsidText[] = L"{A2C7D4E1-E402-40F3-B414-C1044A3D4686}";
const wchar_t kFailingClsidText[] = L"{1B2BD1B8-00EE-4CD3-9E5E-87AAEA020A31}";

void Log(const std::string& entry) {
  if (!g_logging || g_log.size() > (1u << 20)) return;
  g_log += entry;
  g_log += '\n';
}

// Text for the log and descriptions: ASCII as it is, other characters as <U+XXXX>.
std::string Narrow(const wchar_t* w, std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    if (w[i] < 128) {
      s += static_cast<char>(w[i]);
    } else {
      char buf[16];
      std::snprintf(buf, sizeof buf, "<U+%04X>", static_cast<unsigned>(w[i]));
      s += buf;
    }
  }
  return s;
}
std::string Narrow(const wchar_t* w) { return w ? Narrow(w, std::wcslen(w)) : std::string(); }

// ---------------------------------------------------------------- counted objects

class Counted {
 public:
  virtual ~Counted() = default;

 protected:
  Counted() {
    ++g_live;
    ++g_refs;
  }
  ULONG DoAddRef() {
    if (dead_) {
      ++g_refErrors;
      return 0;
    }
    ++g_refs;
    return ++refs_;
  }
  ULONG DoRelease() {
    if (dead_ || refs_ == 0) {
      ++g_refErrors;
      return 0;
    }
    --g_refs;
    if (--refs_ == 0) {
      dead_ = true;
      --g_live;
      OnDeath();
    }
    return refs_;
  }
  // Releases what the object holds; its memory stays.
  virtual void OnDeath() {}
  ULONG refs_ = 1;
  bool dead_ = false;
};

struct Member {
  const wchar_t* name;
  DISPID id;
};

class DispObject;
std::vector<DispObject*>& AllObjects() {
  static auto* v = new std::vector<DispObject*>;
  return *v;
}

const char* KindText(WORD flags) {
  switch (flags) {
    case DISPATCH_METHOD: return "method";
    case DISPATCH_PROPERTYGET: return "get";
    case DISPATCH_METHOD | DISPATCH_PROPERTYGET: return "method+get";
    case DISPATCH_PROPERTYPUT: return "put";
    case DISPATCH_PROPERTYPUTREF: return "putref";
    default: return "other";
  }
}

// The positional arguments of an Invoke (in the order the client wrote them)
// and, for a put, the value.
struct Params {
  DISPPARAMS* p;
  bool put;
  UINT count() const { return put ? p->cArgs - 1 : p->cArgs; }
  VARIANT& arg(UINT i) const { return p->rgvarg[p->cArgs - 1 - i]; }
  VARIANT& value() const { return p->rgvarg[0]; }
};

LONG AsLong(const VARIANT& v) {
  VARIANT t;
  VariantInit(&t);
  if (FAILED(VariantChangeType(&t, const_cast<VARIANT*>(&v), 0, VT_I4))) return 0;
  return t.lVal;
}

double AsDouble(const VARIANT& v) {
  VARIANT t;
  VariantInit(&t);
  if (FAILED(VariantChangeType(&t, const_cast<VARIANT*>(&v), 0, VT_R8))) return 0;
  return t.dblVal;
}

class DispObject : public IDispatch, public Counted {
 public:
  explicit DispObject(const char* kind) : kind_(kind) { AllObjects().push_back(this); }
  const char* kind() const { return kind_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      *ppv = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    if (n) *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ti) override {
    if (ti) *ti = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    if (g_logging) Log("ids " + Narrow(names[0]) + " " + std::to_string(lcid));
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (count > 1) return DISP_E_UNKNOWNNAME;  // no named parameters
    std::size_t n = 0;
    const Member* m = Members(n);
    for (std::size_t i = 0; i < n; ++i) {
      if (_wcsicmp(names[0], m[i].name) == 0) {
        ids[0] = m[i].id;
        return S_OK;
      }
    }
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* info, UINT* argError) override {
    if (g_logging) {
      std::string entry = std::string(KindText(flags)) + " " + NameOf(id);
      if (lcid != LOCALE_SYSTEM_DEFAULT) entry += " lcid=" + std::to_string(lcid);
      Log(entry);
    }
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_INVALIDARG;
    if (argError) *argError = 0;
    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    if (put) {
      // A put names its value with DISPID_PROPERTYPUT.
      if (params->cNamedArgs != 1 || !params->rgdispidNamedArgs ||
          params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || params->cArgs < 1)
        return DISP_E_PARAMNOTFOUND;
    } else if (params->cNamedArgs != 0) {
      return DISP_E_NONAMEDARGS;
    }
    if (result) VariantInit(result);
    return Call(id, flags, Params{params, put}, result, info);
  }

 protected:
  virtual const Member* Members(std::size_t& n) = 0;
  virtual HRESULT Call(DISPID id, WORD flags, const Params& p, VARIANT* result, EXCEPINFO* info) = 0;

  std::string NameOf(DISPID id) {
    std::size_t n = 0;
    const Member* m = Members(n);
    for (std::size_t i = 0; i < n; ++i)
      if (m[i].id == id) return Narrow(m[i].name);
    return "#" + std::to_string(id);
  }

 private:
  const char* kind_;
};

bool IsGet(WORD f) { return f & DISPATCH_PROPERTYGET; }
bool IsMethod(WORD f) { return f & DISPATCH_METHOD; }

void SetDispatch(VARIANT* result, IDispatch* d) {
  if (!result) {
    d->Release();
    return;
  }
  result->vt = VT_DISPATCH;
  result->pdispVal = d;
}

// ---------------------------------------------------------------- small objects

// An object with IUnknown only.
class Plain : public IUnknown, public Counted {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown) {
      *ppv = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }
};

// A child object; the flavour "default" is what the root's default member
// returns, and it alone knows "OnlyOnDefault".
class Child : public DispObject {
 public:
  explicit Child(bool isDefault) : DispObject(isDefault ? "default" : "child"), default_(isDefault) {
    VariantInit(&tag_);
  }

 protected:
  enum { kGreeting = 1, kTag, kOnlyOnDefault, kKind, kSelf };
  const Member* Members(std::size_t& n) override {
    static const Member all[] = {{L"Greeting", kGreeting}, {L"Tag", kTag},
                                 {L"Kind", kKind},         {L"Self", kSelf},
                                 {L"OnlyOnDefault", kOnlyOnDefault}};
    n = default_ ? 5 : 4;
    return all;
  }
  HRESULT Call(DISPID id, WORD flags, const Params& p, VARIANT* result, EXCEPINFO*) override {
    switch (id) {
      case kGreeting:
        if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
        if (result) {
          result->vt = VT_BSTR;
          result->bstrVal = SysAllocString(default_ ? L"hello from the default" : L"hello from a child");
        }
        return S_OK;
      case kKind:
        if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
        if (result) {
          result->vt = VT_BSTR;
          result->bstrVal = SysAllocString(default_ ? L"default" : L"child");
        }
        return S_OK;
      case kTag:
        if (p.put) return VariantCopyInd(&tag_, &p.value());
        if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
        return result ? VariantCopy(result, &tag_) : S_OK;
      case kSelf:
        if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
        AddRef();
        SetDispatch(result, this);
        return S_OK;
      case kOnlyOnDefault:
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 0) return DISP_E_BADPARAMCOUNT;
        if (result) {
          result->vt = VT_BSTR;
          result->bstrVal = SysAllocString(L"answered by the default member");
        }
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }
  void OnDeath() override { VariantClear(&tag_); }

 private:
  bool default_;
  VARIANT tag_;
};

// A number whose default member (DISPID_VALUE) reads and writes it.
class Number : public DispObject {
 public:
  explicit Number(const VARIANT& v) : DispObject("number") {
    VariantInit(&value_);
    VariantCopyInd(&value_, const_cast<VARIANT*>(&v));
  }

 protected:
  const Member* Members(std::size_t& n) override {
    static const Member all[] = {{L"Value", DISPID_VALUE}};
    n = 1;
    return all;
  }
  HRESULT Call(DISPID id, WORD flags, const Params& p, VARIANT* result, EXCEPINFO*) override {
    if (id != DISPID_VALUE) return DISP_E_MEMBERNOTFOUND;
    if (p.put) {
      if (flags != DISPATCH_PROPERTYPUT) return DISP_E_MEMBERNOTFOUND;
      VariantClear(&value_);
      return VariantCopyInd(&value_, &p.value());
    }
    if (!IsGet(flags) || p.count() != 0) return DISP_E_MEMBERNOTFOUND;
    return result ? VariantCopy(result, &value_) : S_OK;
  }
  void OnDeath() override { VariantClear(&value_); }

 private:
  VARIANT value_;
};

// ---------------------------------------------------------------- collection

class Enumerator : public IEnumVARIANT, public Counted {
 public:
  Enumerator(const std::vector<VARIANT>& items, std::size_t pos) : pos_(pos) {
    for (const VARIANT& v : items) {
      VARIANT c;
      VariantInit(&c);
      VariantCopy(&c, const_cast<VARIANT*>(&v));
      items_.push_back(c);
    }
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IEnumVARIANT) {
      *ppv = static_cast<IEnumVARIANT*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }
  HRESULT STDMETHODCALLTYPE Next(ULONG celt, VARIANT* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG n = 0;
    while (n < celt && pos_ < items_.size()) {
      VariantInit(&out[n]);
      VariantCopy(&out[n], &items_[pos_++]);
      ++n;
    }
    if (fetched) *fetched = n;
    return n == celt ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override {
    pos_ += celt;
    if (pos_ > items_.size()) {
      pos_ = items_.size();
      return S_FALSE;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    pos_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
    if (!out) return E_POINTER;
    *out = new Enumerator(items_, pos_);
    return S_OK;
  }

 protected:
  void OnDeath() override {
    for (VARIANT& v : items_) VariantClear(&v);
    items_.clear();
  }

 private:
  std::vector<VARIANT> items_;
  std::size_t pos_;
};

// Items 1..n (10, 20, 30 ...), Count, Item (read, and write unless
// read-only), SetItem, Add and _NewEnum (a property; a method only, for a
// read-only collection).
class Collection : public DispObject {
 public:
  Collection(LONG n, bool readOnly) : DispObject("collection"), readOnly_(readOnly) {
    for (LONG i = 1; i <= n; ++i) {
      VARIANT v;
      VariantInit(&v);
      v.vt = VT_I4;
      v.lVal = 10 * i;
      items_.push_back(v);
    }
  }

 protected:
  enum { kCount = 1, kItem, kSetItem, kAdd };
  const Member* Members(std::size_t& n) override {
    static const Member all[] = {
        {L"Count", kCount}, {L"Item", kItem}, {L"SetItem", kSetItem}, {L"Add", kAdd}, {L"_NewEnum", DISPID_NEWENUM}};
    n = 5;
    return all;
  }
  VARIANT* At(const VARIANT& index) {
    const LONG i = AsLong(index);
    if (i < 1 || static_cast<std::size_t>(i) > items_.size()) return nullptr;
    return &items_[static_cast<std::size_t>(i) - 1];
  }
  HRESULT Call(DISPID id, WORD flags, const Params& p, VARIANT* result, EXCEPINFO*) override {
    switch (id) {
      case kCount:
        if (!IsGet(flags) || p.count() != 0) return DISP_E_MEMBERNOTFOUND;
        if (result) {
          result->vt = VT_I4;
          result->lVal = static_cast<LONG>(items_.size());
        }
        return S_OK;
      case kItem: {
        if (p.put && readOnly_) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT* cell = At(p.arg(0));
        if (!cell) return DISP_E_BADINDEX;
        if (p.put) {
          VariantClear(cell);
          return VariantCopyInd(cell, &p.value());
        }
        return result ? VariantCopy(result, cell) : S_OK;
      }
      case kSetItem: {
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 2) return DISP_E_BADPARAMCOUNT;
        VARIANT* cell = At(p.arg(0));
        if (!cell) return DISP_E_BADINDEX;
        VariantClear(cell);
        return VariantCopyInd(cell, &p.arg(1));
      }
      case kAdd: {
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT v;
        VariantInit(&v);
        VariantCopyInd(&v, &p.arg(0));
        items_.push_back(v);
        return S_OK;
      }
      case DISPID_NEWENUM: {
        if (readOnly_ ? flags != DISPATCH_METHOD : !IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
        if (!result) return S_OK;
        result->vt = VT_UNKNOWN;
        result->punkVal = static_cast<IEnumVARIANT*>(new Enumerator(items_, 0));
        return S_OK;
      }
    }
    return DISP_E_MEMBERNOTFOUND;
  }
  void OnDeath() override {
    for (VARIANT& v : items_) VariantClear(&v);
    items_.clear();
  }

 private:
  std::vector<VARIANT> items_;
  bool readOnly_;
};

// ---------------------------------------------------------------- descriptions

std::string Describe(const VARIANT& v, int depth = 0);

std::string DescribeArray(SAFEARRAY* sa, VARTYPE et, int depth) {
  if (!sa) return "ARRAY(" + std::to_string(et) + "):null";
  std::string s = "ARRAY(" + std::to_string(et) + "):dims=" + std::to_string(SafeArrayGetDim(sa));
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(sa, 1, &lo);
  SafeArrayGetUBound(sa, 1, &hi);
  s += ":n=" + std::to_string(hi - lo + 1) + ":[";
  if (SafeArrayGetDim(sa) == 1) {
    for (LONG i = lo; i <= hi; ++i) {
      void* cell = nullptr;
      SafeArrayPtrOfIndex(sa, &i, &cell);
      VARIANT e;
      e.vt = static_cast<VARTYPE>(et | VT_BYREF);
      e.byref = cell;
      if (i > lo) s += ",";
      s += Describe(e, depth + 1);
    }
  }
  return s + "]";
}

std::string DescribeDispatch(IDispatch* d) {
  if (!d) return "null";
  for (DispObject* o : AllObjects())
    if (static_cast<IDispatch*>(o) == d) return o->kind();
  return "foreign";
}

std::string Describe(const VARIANT& v, int depth) {
  char buf[64];
  if (depth > 8) return "...";
  if (v.vt & VT_ARRAY)
    return DescribeArray((v.vt & VT_BYREF) ? *v.pparray : v.parray, static_cast<VARTYPE>(v.vt & VT_TYPEMASK), depth);
  if (v.vt & VT_BYREF) {
    if (v.vt == (VT_VARIANT | VT_BYREF)) return "VARIANT&(" + Describe(*v.pvarVal, depth + 1) + ")";
    VARIANT t;
    VariantInit(&t);
    if (FAILED(VariantCopyInd(&t, const_cast<VARIANT*>(&v)))) return "BYREF?";
    std::string s = "&" + Describe(t, depth + 1);
    VariantClear(&t);
    return s;
  }
  switch (v.vt) {
    case VT_EMPTY: return "EMPTY";
    case VT_NULL: return "NULL";
    case VT_I1: return "I1:" + std::to_string(static_cast<int>(static_cast<signed char>(v.cVal)));
    case VT_UI1: return "UI1:" + std::to_string(v.bVal);
    case VT_I2: return "I2:" + std::to_string(v.iVal);
    case VT_I4: return "I4:" + std::to_string(v.lVal);
    case VT_I8: return "I8:" + std::to_string(v.llVal);
    case VT_R8: std::snprintf(buf, sizeof buf, "R8:%.17g", v.dblVal); return buf;
    case VT_DATE: std::snprintf(buf, sizeof buf, "DATE:%.17g", v.date); return buf;
    case VT_BOOL: return "BOOL:" + std::to_string(v.boolVal);
    case VT_BSTR:
      if (!v.bstrVal) return "BSTR:null";
      return "BSTR:" + Narrow(v.bstrVal, SysStringLen(v.bstrVal));
    case VT_DISPATCH: return "DISPATCH:" + DescribeDispatch(v.pdispVal);
    case VT_UNKNOWN: {
      if (!v.punkVal) return "UNKNOWN:null";
      IDispatch* d = nullptr;
      if (SUCCEEDED(v.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)))) {
        std::string s = "UNKNOWN:" + DescribeDispatch(d);
        d->Release();
        return s;
      }
      return "UNKNOWN:plain";
    }
    case VT_PTR: return "PTR";
    default: return "VT" + std::to_string(v.vt);
  }
}

// ---------------------------------------------------------------- typed results and arrays

LONG g_refLong = 4242;
BSTR g_refBstr = nullptr;
VARIANT g_refVariant;       // VT_R8 6.5
VARIANT g_refVariantOuter;  // VT_VARIANT | VT_BYREF -> g_refVariant
VARIANT g_selfVariant;      // VT_VARIANT | VT_BYREF -> itself
IDispatch* g_heldChild;     // made when the library is loaded, kept for the whole run

// Typed(code): a VARIANT of the type `code`, with a known value; a few
// codes above 999 ask for special cases.
HRESULT Typed(LONG code, VARIANT* r) {
  switch (code) {
    case VT_EMPTY: return S_OK;
    case VT_NULL: r->vt = VT_NULL; return S_OK;
    case VT_I1: r->vt = VT_I1; r->cVal = static_cast<CHAR>(-5); return S_OK;
    case VT_UI1: r->vt = VT_UI1; r->bVal = 200; return S_OK;
    case VT_I2: r->vt = VT_I2; r->iVal = -300; return S_OK;
    case VT_UI2: r->vt = VT_UI2; r->uiVal = 60000; return S_OK;
    case VT_I4: r->vt = VT_I4; r->lVal = -70000; return S_OK;
    case VT_UI4: r->vt = VT_UI4; r->ulVal = 4000000000u; return S_OK;
    case VT_INT: r->vt = VT_INT; r->intVal = -7; return S_OK;
    case VT_UINT: r->vt = VT_UINT; r->uintVal = 7; return S_OK;
    case VT_I8: r->vt = VT_I8; r->llVal = -(1LL << 40); return S_OK;
    case VT_UI8: r->vt = VT_UI8; r->ullVal = 18446744073709551615ULL; return S_OK;
    case VT_R4: r->vt = VT_R4; r->fltVal = 1.5f; return S_OK;
    case VT_R8: r->vt = VT_R8; r->dblVal = 2.25; return S_OK;
    case VT_CY: r->vt = VT_CY; r->cyVal.int64 = 123456; return S_OK;  // 12.3456
    case VT_DECIMAL: {
      DECIMAL d;
      VarDecFromR8(3.125, &d);
      r->decVal = d;
      r->vt = VT_DECIMAL;
      return S_OK;
    }
    case VT_DATE: r->vt = VT_DATE; r->date = 0.0; return S_OK;
    case VT_BSTR: r->vt = VT_BSTR; r->bstrVal = SysAllocString(L"caf\u00e9 \u20ac \u4e2d end"); return S_OK;
    case VT_BOOL: r->vt = VT_BOOL; r->boolVal = VARIANT_TRUE; return S_OK;
    case VT_DISPATCH: SetDispatch(r, new Child(false)); return S_OK;
    case VT_UNKNOWN: r->vt = VT_UNKNOWN; r->punkVal = static_cast<IDispatch*>(new Child(false)); return S_OK;
    case VT_ERROR: r->vt = VT_ERROR; r->scode = DISP_E_PARAMNOTFOUND; return S_OK;
    case 1000: r->vt = VT_BSTR; r->bstrVal = nullptr; return S_OK;  // a null BSTR
    case 1001: r->vt = VT_UNKNOWN; r->punkVal = new Plain; return S_OK;  // no IDispatch
    case 1002: r->vt = VT_DISPATCH; r->pdispVal = nullptr; return S_OK;
    case 1003: r->vt = VT_I4 | VT_BYREF; r->plVal = &g_refLong; return S_OK;
    case 1004:
      if (!g_refBstr) g_refBstr = SysAllocString(L"by reference");
      r->vt = VT_BSTR | VT_BYREF;
      r->pbstrVal = &g_refBstr;
      return S_OK;
    case 1005:  // a chain of two VARIANT references
      g_refVariant.vt = VT_R8;
      g_refVariant.dblVal = 6.5;
      g_refVariantOuter.vt = VT_VARIANT | VT_BYREF;
      g_refVariantOuter.pvarVal = &g_refVariant;
      r->vt = VT_VARIANT | VT_BYREF;
      r->pvarVal = &g_refVariantOuter;
      return S_OK;
    case 1006:  // a VARIANT reference to itself
      g_selfVariant.vt = VT_VARIANT | VT_BYREF;
      g_selfVariant.pvarVal = &g_selfVariant;
      r->vt = VT_VARIANT | VT_BYREF;
      r->pvarVal = &g_selfVariant;
      return S_OK;
    case 1007:  // a dispatch interface by reference (one the server keeps)
      r->vt = VT_DISPATCH | VT_BYREF;
      r->ppdispVal = &g_heldChild;
      return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}

SAFEARRAY* Vector(VARTYPE vt, LONG lower, ULONG n) {
  SAFEARRAYBOUND b = {n, lower};
  return SafeArrayCreate(vt, 1, &b);
}

void PutI4(SAFEARRAY* sa, LONG* index, LONG value) { SafeArrayPutElement(sa, index, &value); }

HRESULT Array(LONG kind, VARIANT* r) {
  switch (kind) {
    case 1: {  // {1, 2, 3}
      SAFEARRAY* sa = Vector(VT_I4, 0, 3);
      for (LONG i = 0; i < 3; ++i) PutI4(sa, &i, i + 1);
      r->vt = VT_ARRAY | VT_I4;
      r->parray = sa;
      return S_OK;
    }
    case 2: {  // 2 x 3, element (i, j) = 10 * i + j
      SAFEARRAYBOUND b[2] = {{2, 0}, {3, 0}};
      SAFEARRAY* sa = SafeArrayCreate(VT_I4, 2, b);
      for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 3; ++j) {
          LONG idx[2] = {i, j};
          PutI4(sa, idx, 10 * i + j);
        }
      r->vt = VT_ARRAY | VT_I4;
      r->parray = sa;
      return S_OK;
    }
    case 3: {  // 2 x 2 x 2 VARIANTs, element (i, j, k) = "ijk"
      SAFEARRAYBOUND b[3] = {{2, 0}, {2, 0}, {2, 0}};
      SAFEARRAY* sa = SafeArrayCreate(VT_VARIANT, 3, b);
      for (LONG i = 0; i < 2; ++i)
        for (LONG j = 0; j < 2; ++j)
          for (LONG k = 0; k < 2; ++k) {
            LONG idx[3] = {i, j, k};
            wchar_t text[4] = {static_cast<wchar_t>(L'0' + i), static_cast<wchar_t>(L'0' + j),
                               static_cast<wchar_t>(L'0' + k), 0};
            VARIANT v;
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocString(text);
            SafeArrayPutElement(sa, idx, &v);
            VariantClear(&v);
          }
      r->vt = VT_ARRAY | VT_VARIANT;
      r->parray = sa;
      return S_OK;
    }
    case 4: {  // {1, {"a", "b"}, {1.5, {5}}}: arrays inside VARIANTs
      SAFEARRAY* strings = Vector(VT_BSTR, 0, 2);
      const wchar_t* texts[2] = {L"a", L"b"};
      for (LONG i = 0; i < 2; ++i) {
        BSTR b = SysAllocString(texts[i]);
        SafeArrayPutElement(strings, &i, b);
        SysFreeString(b);
      }
      SAFEARRAY* shorts = Vector(VT_I2, 0, 1);
      SHORT five = 5;
      LONG zero = 0;
      SafeArrayPutElement(shorts, &zero, &five);
      SAFEARRAY* inner = Vector(VT_VARIANT, 0, 2);
      VARIANT v;
      v.vt = VT_R8;
      v.dblVal = 1.5;
      LONG i0 = 0, i1 = 1, i2 = 2;
      SafeArrayPutElement(inner, &i0, &v);
      v.vt = VT_ARRAY | VT_I2;
      v.parray = shorts;
      SafeArrayPutElement(inner, &i1, &v);  // copies
      SafeArrayDestroy(shorts);
      SAFEARRAY* outer = Vector(VT_VARIANT, 0, 3);
      v.vt = VT_I4;
      v.lVal = 1;
      SafeArrayPutElement(outer, &i0, &v);
      v.vt = VT_ARRAY | VT_BSTR;
      v.parray = strings;
      SafeArrayPutElement(outer, &i1, &v);
      SafeArrayDestroy(strings);
      v.vt = VT_ARRAY | VT_VARIANT;
      v.parray = inner;
      SafeArrayPutElement(outer, &i2, &v);
      SafeArrayDestroy(inner);
      r->vt = VT_ARRAY | VT_VARIANT;
      r->parray = outer;
      return S_OK;
    }
    case 5:  // empty
      r->vt = VT_ARRAY | VT_I4;
      r->parray = Vector(VT_I4, 0, 0);
      return S_OK;
    case 6:  // null array
      r->vt = VT_ARRAY | VT_I4;
      r->parray = nullptr;
      return S_OK;
    case 7: {  // 1 MiB of bytes, byte i = i & 255
      const ULONG n = 1u << 20;
      SAFEARRAY* sa = Vector(VT_UI1, 0, n);
      unsigned char* data = nullptr;
      SafeArrayAccessData(sa, reinterpret_cast<void**>(&data));
      for (ULONG i = 0; i < n; ++i) data[i] = static_cast<unsigned char>(i & 0xff);
      SafeArrayUnaccessData(sa);
      r->vt = VT_ARRAY | VT_UI1;
      r->parray = sa;
      return S_OK;
    }
    case 8: {  // three children
      SAFEARRAY* sa = Vector(VT_DISPATCH, 0, 3);
      for (LONG i = 0; i < 3; ++i) {
        IDispatch* d = new Child(false);
        SafeArrayPutElement(sa, &i, d);  // adds its own reference
        d->Release();
      }
      r->vt = VT_ARRAY | VT_DISPATCH;
      r->parray = sa;
      return S_OK;
    }
    case 9: {  // lower bound -2: {-2, -1, 0}
      SAFEARRAY* sa = Vector(VT_I4, -2, 3);
      for (LONG i = -2; i <= 0; ++i) PutI4(sa, &i, i);
      r->vt = VT_ARRAY | VT_I4;
      r->parray = sa;
      return S_OK;
    }
    case 10: {  // two objects without IDispatch
      SAFEARRAY* sa = Vector(VT_UNKNOWN, 0, 2);
      for (LONG i = 0; i < 2; ++i) {
        IUnknown* u = new Plain;
        SafeArrayPutElement(sa, &i, u);
        u->Release();
      }
      r->vt = VT_ARRAY | VT_UNKNOWN;
      r->parray = sa;
      return S_OK;
    }
    case 11: {  // an element type the client does not convert
      SAFEARRAY* sa = Vector(VT_ERROR, 0, 2);
      r->vt = VT_ARRAY | VT_ERROR;
      r->parray = sa;
      return S_OK;
    }
    case 12: {  // 3 x 0
      SAFEARRAYBOUND b[2] = {{3, 0}, {0, 0}};
      r->vt = VT_ARRAY | VT_I4;
      r->parray = SafeArrayCreate(VT_I4, 2, b);
      return S_OK;
    }
    case 13: {  // dates: 30 December 1899, 29 December 1899 06:00, 1 January 1900 12:00
      SAFEARRAY* sa = Vector(VT_DATE, 0, 3);
      const double dates[3] = {0.0, -1.25, 2.5};
      for (LONG i = 0; i < 3; ++i) SafeArrayPutElement(sa, &i, const_cast<double*>(&dates[i]));
      r->vt = VT_ARRAY | VT_DATE;
      r->parray = sa;
      return S_OK;
    }
  }
  return DISP_E_BADINDEX;
}

// ---------------------------------------------------------------- the server object

HRESULT WINAPI DeferredFill(EXCEPINFO* info) {
  info->bstrSource = SysAllocString(L"ZorvanTest.Deferred");
  info->bstrDescription = SysAllocString(L"Filled in later");
  info->pfnDeferredFillIn = nullptr;
  return S_OK;
}

class Server : public DispObject {
 public:
  Server() : DispObject("server") {
    VariantInit(&putOnly_);
    VariantInit(&obj_);
    name_ = SysAllocString(L"initial");
  }

 protected:
  enum {
    kEcho = 1, kAdd, kName, kPutOnly, kPutOnlyValue, kMutate, kFail, kFailDeferred, kNewCollection, kChild,
    kTyped, kArray, kDescribe, kObj, kNewNumber, kDateOf, kArgCount, kFailWith, kFailScode, kFailWCode,
    kCombinedOnly
  };
  const Member* Members(std::size_t& n) override {
    static const Member all[] = {
        {L"Echo", kEcho},         {L"Add", kAdd},
        {L"Name", kName},         {L"PutOnly", kPutOnly},
        {L"PutOnlyValue", kPutOnlyValue}, {L"Mutate", kMutate},
        {L"Fail", kFail},         {L"FailDeferred", kFailDeferred},
        {L"NewCollection", kNewCollection}, {L"Child", kChild},
        {L"Typed", kTyped},       {L"Array", kArray},
        {L"Describe", kDescribe}, {L"Obj", kObj},
        {L"NewNumber", kNewNumber}, {L"DateOf", kDateOf},
        {L"ArgCount", kArgCount}, {L"FailWith", kFailWith},
        {L"FailScode", kFailScode}, {L"FailWCode", kFailWCode},
        {L"CombinedOnly", kCombinedOnly},
        {L"Default", DISPID_VALUE},
    };
    n = sizeof all / sizeof all[0];
    return all;
  }

  HRESULT Call(DISPID id, WORD flags, const Params& p, VARIANT* result, EXCEPINFO* info) override {
    switch (id) {
      case kEcho:
        if (p.put) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        return result ? VariantCopyInd(result, &p.arg(0)) : S_OK;
      case kAdd:
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 2) return DISP_E_BADPARAMCOUNT;
        if (result) {
          result->vt = VT_I4;
          result->lVal = AsLong(p.arg(0)) + AsLong(p.arg(1));
        }
        return S_OK;
      case kName:
        if (p.put) {
          if (flags != DISPATCH_PROPERTYPUT || p.count() != 0) return DISP_E_MEMBERNOTFOUND;
          VARIANT t;
          VariantInit(&t);
          if (FAILED(VariantChangeType(&t, &p.value(), 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
          SysFreeString(name_);
          name_ = t.bstrVal;
          return S_OK;
        }
        if (flags != DISPATCH_PROPERTYGET || p.count() != 0) return DISP_E_MEMBERNOTFOUND;
        if (result) {
          result->vt = VT_BSTR;
          result->bstrVal = SysAllocStringLen(name_, SysStringLen(name_));
        }
        return S_OK;
      case kPutOnly:
        if (flags != DISPATCH_PROPERTYPUT) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 0) return DISP_E_BADPARAMCOUNT;
        VariantClear(&putOnly_);
        return VariantCopyInd(&putOnly_, &p.value());
      case kPutOnlyValue:
        if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
        return result ? VariantCopy(result, &putOnly_) : S_OK;
      case kMutate:
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        return Mutate(p, result);
      case kFail:
        if (info) {
          info->wCode = 0;
          info->scode = E_FAIL;
          info->bstrSource = SysAllocString(L"ZorvanTest.Server");
          info->bstrDescription = SysAllocString(L"The server failed on purpose");
        }
        return DISP_E_EXCEPTION;
      case kFailDeferred:
        if (info) {
          info->scode = E_FAIL;
          info->pfnDeferredFillIn = &DeferredFill;
        }
        return DISP_E_EXCEPTION;
      case kNewCollection:
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() < 1 || p.count() > 2) return DISP_E_BADPARAMCOUNT;
        SetDispatch(result, new Collection(AsLong(p.arg(0)), p.count() == 2 && AsLong(p.arg(1)) != 0));
        return S_OK;
      case kChild:
        if (flags != DISPATCH_PROPERTYGET) return DISP_E_MEMBERNOTFOUND;
        SetDispatch(result, new Child(false));
        return S_OK;
      case kTyped:
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        return result ? Typed(AsLong(p.arg(0)), result) : S_OK;
      case kArray:
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        return result ? Array(AsLong(p.arg(0)), result) : S_OK;
      case kDescribe: {
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        std::string s;
        for (UINT i = 0; i < p.count(); ++i) {
          if (i) s += ";";
          s += Describe(p.arg(i));
        }
        if (result) {
          const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
          result->vt = VT_BSTR;
          result->bstrVal = SysAllocStringLen(nullptr, static_cast<UINT>(n));
          MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), result->bstrVal, n);
        }
        return S_OK;
      }
      case kObj:
        if (flags == DISPATCH_PROPERTYPUTREF) {
          if (p.value().vt != VT_DISPATCH && p.value().vt != (VT_DISPATCH | VT_BYREF)) return DISP_E_TYPEMISMATCH;
          VariantClear(&obj_);
          return VariantCopyInd(&obj_, &p.value());
        }
        if (flags == DISPATCH_PROPERTYPUT) {
          VariantClear(&obj_);
          return VariantCopyInd(&obj_, &p.value());
        }
        if (flags != DISPATCH_PROPERTYGET) return DISP_E_MEMBERNOTFOUND;
        return result ? VariantCopy(result, &obj_) : S_OK;
      case kNewNumber:
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        SetDispatch(result, new Number(p.arg(0)));
        return S_OK;
      case kDateOf:
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        if (result) {
          result->vt = VT_DATE;
          result->date = AsDouble(p.arg(0));
        }
        return S_OK;
      case kArgCount:
        if (!IsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
        if (result) {
          result->vt = VT_I4;
          result->lVal = static_cast<LONG>(p.count());
        }
        return S_OK;
      case kFailScode:  // an exception with the scode it is given and no texts
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        if (info) info->scode = static_cast<SCODE>(AsLong(p.arg(0)));
        return DISP_E_EXCEPTION;
      case kFailWCode:  // an exception with the wCode it is given, scode 0, no texts
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        if (info) {
          info->wCode = static_cast<WORD>(AsLong(p.arg(0)));
          info->scode = 0;
        }
        return DISP_E_EXCEPTION;
      case kCombinedOnly: {
        // Answers only to the method call and the property get asked in one
        // Invoke, as script engines ask: "combined:" and its argument, if any.
        if (flags != (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        if (p.count() > 1) return DISP_E_BADPARAMCOUNT;
        std::wstring text = L"combined:";
        if (p.count() == 1) {
          VARIANT t;
          VariantInit(&t);
          if (FAILED(VariantChangeType(&t, &p.arg(0), 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
          text.append(t.bstrVal, SysStringLen(t.bstrVal));
          VariantClear(&t);
        }
        if (result) {
          result->vt = VT_BSTR;
          result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        }
        return S_OK;
      }
      case kFailWith:  // answers with the HRESULT it is given
        if (p.count() != 1) return DISP_E_BADPARAMCOUNT;
        return static_cast<HRESULT>(AsLong(p.arg(0)));
      case DISPID_VALUE:
        // The default member: another object, which knows "OnlyOnDefault".
        if (flags != DISPATCH_PROPERTYGET || p.count() != 0) return DISP_E_MEMBERNOTFOUND;
        SetDispatch(result, new Child(true));
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

  // Changes every argument passed by reference: numbers grow (I4 and I8 by
  // one, R8 doubled), strings get "!", logicals flip, dates move a day on,
  // a VARIANT reference gets the string "filled", a dispatch reference a new
  // child, an unknown reference a new plain object, an array reference {7, 8}.
  // The result is the number of arguments changed.
  HRESULT Mutate(const Params& p, VARIANT* result) {
    LONG changed = 0;
    for (UINT i = 0; i < p.count(); ++i) {
      VARIANT& a = p.arg(i);
      switch (a.vt) {
        case VT_I4 | VT_BYREF: *a.plVal += 1; break;
        case VT_I8 | VT_BYREF: *a.pllVal += 1; break;
        case VT_R8 | VT_BYREF: *a.pdblVal *= 2; break;
        case VT_BOOL | VT_BYREF: *a.pboolVal = *a.pboolVal ? VARIANT_FALSE : VARIANT_TRUE; break;
        case VT_DATE | VT_BYREF: *a.pdate += 1; break;
        case VT_BSTR | VT_BYREF: {
          std::wstring s(*a.pbstrVal ? *a.pbstrVal : L"", SysStringLen(*a.pbstrVal));
          s += L"!";
          SysFreeString(*a.pbstrVal);
          *a.pbstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
          break;
        }
        case VT_VARIANT | VT_BYREF:
          VariantClear(a.pvarVal);
          a.pvarVal->vt = VT_BSTR;
          a.pvarVal->bstrVal = SysAllocString(L"filled");
          break;
        case VT_DISPATCH | VT_BYREF:
          if (*a.ppdispVal) (*a.ppdispVal)->Release();
          *a.ppdispVal = new Child(false);
          break;
        case VT_UNKNOWN | VT_BYREF:
          if (*a.ppunkVal) (*a.ppunkVal)->Release();
          *a.ppunkVal = new Plain;
          break;
        case VT_ARRAY | VT_VARIANT | VT_BYREF: {
          if (*a.pparray) SafeArrayDestroy(*a.pparray);
          SAFEARRAY* sa = Vector(VT_VARIANT, 0, 2);
          for (LONG k = 0; k < 2; ++k) {
            VARIANT v;
            v.vt = VT_I4;
            v.lVal = 7 + k;
            SafeArrayPutElement(sa, &k, &v);
          }
          *a.pparray = sa;
          break;
        }
        default: continue;
      }
      ++changed;
    }
    if (result) {
      result->vt = VT_I4;
      result->lVal = changed;
    }
    return S_OK;
  }

  void OnDeath() override {
    VariantClear(&putOnly_);
    VariantClear(&obj_);
    SysFreeString(name_);
    name_ = nullptr;
  }

 private:
  BSTR name_;
  VARIANT putOnly_;
  VARIANT obj_;
};

// ---------------------------------------------------------------- class factories

class Factory : public IClassFactory {
 public:
  explicit Factory(bool failing) : failing_(failing) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // static objects
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (failing_) return CO_E_SERVER_EXEC_FAILURE;
    Server* s = new Server;
    const HRESULT hr = s->QueryInterface(riid, ppv);
    s->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  bool failing_;
};

Factory g_serverFactory(false);
Factory g_failingFactory(true);

// ---------------------------------------------------------------- registration

bool SetKey(const std::wstring& path, const wchar_t* valueName, const std::wstring& data) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const LONG rc = RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool RegisterServerClass(const wchar_t* clsid, const wchar_t* progId, const wchar_t* description, const std::wstring& path) {
  const std::wstring base = std::wstring(L"CLSID\\") + clsid;
  return SetKey(base, nullptr, description) && SetKey(base + L"\\InprocServer32", nullptr, path) &&
         SetKey(base + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
         SetKey(base + L"\\ProgID", nullptr, progId) && SetKey(progId, nullptr, description) &&
         SetKey(std::wstring(progId) + L"\\CLSID", nullptr, clsid);
}

void UnregisterServerClass(const wchar_t* clsid, const wchar_t* progId) {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + clsid).c_str());
  RegDeleteKeyW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + clsid).c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, progId);
  RegDeleteKeyW(HKEY_CLASSES_ROOT, progId);
}

}  // namespace

// ---------------------------------------------------------------- exports

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    g_heldChild = new Child(false);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  Factory* f = clsid == kServerClsid ? &g_serverFactory : clsid == kFailingClsid ? &g_failingFactory : nullptr;
  if (!f) return CLASS_E_CLASSNOTAVAILABLE;
  return f->QueryInterface(riid, ppv);
}

// The counters must survive the whole run: the library is never unloaded.
STDAPI DllCanUnloadNow() { return S_FALSE; }

STDAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return SELFREG_E_CLASS;
  const bool ok = RegisterServerClass(kServerClsidText, L"ZorvanTest.Server", L"Zorvan test automation server", path) &&
                  RegisterServerClass(kFailingClsidText, L"ZorvanTest.Failing", L"Zorvan test server that fails", path);
  return ok ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  UnregisterServerClass(kServerClsidText, L"ZorvanTest.Server");
  UnregisterServerClass(kFailingClsidText, L"ZorvanTest.Failing");
  return S_OK;
}

// Counted objects alive, references held on them, and references taken or
// released on objects already gone.
long ZtsLiveObjects() { return g_live; }
long ZtsOutstandingRefs() { return g_refs; }
long ZtsRefErrors() { return g_refErrors; }

// Copies the call log (lines ending in "\n") into buf, clears it, and
// returns its length (the copy is cut to size - 1 bytes).
int ZtsTakeLog(char* buf, int size) {
  const int n = static_cast<int>(g_log.size());
  if (buf && size > 0) {
    const int k = n < size - 1 ? n : size - 1;
    std::memcpy(buf, g_log.data(), static_cast<std::size_t>(k));
    buf[k] = '\0';
  }
  g_log.clear();
  return n;
}

void ZtsSetLogging(int on) { g_logging = on != 0; }

// A new server object (one reference, the caller's), without COM.
IDispatch* ZtsNewServer() { return new Server; }

}  // extern "C"
