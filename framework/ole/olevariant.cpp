// Conversions between values and VARIANTs, and the argument pack of a call.
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "framework/ole/ole_internal.h"

namespace zv::ole {
namespace {

// Variant chains and nested arrays deeper than this are not followed (a
// VT_VARIANT reference may point at itself).
constexpr int kMaxDepth = 64;

// Size of an element of a SAFEARRAY whose elements are plain data (no
// strings, interfaces or VARIANTs inside); 0 for other types.
std::size_t PlainSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1: return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR: return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE: return 8;
    case VT_DECIMAL: return sizeof(DECIMAL);
    default: return 0;
  }
}

// Size of an element of a SAFEARRAY that the conversion reads; 0 for element
// types it does not convert.
std::size_t ElementSize(VARTYPE vt) {
  switch (vt) {
    case VT_ERROR: return 0;
    case VT_BSTR: return sizeof(BSTR);
    case VT_DISPATCH: return sizeof(IDispatch*);
    case VT_UNKNOWN: return sizeof(IUnknown*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return PlainSize(vt);
  }
}

// The lists being converted, innermost first: a list that contains itself is
// not converted again.
struct ListPath {
  const ListObj* list;
  const ListPath* up;
};

enum class Storage { None, Used };

Storage ToVariantImpl(const Value& in, VARIANT& out, VARIANT* store, void** original, const ListPath* path);

SAFEARRAY* ListToSafeArray(const Value& list, const ListPath* path) {
  const ListObj* self = &list.AsList();
  for (const ListPath* p = path; p; p = p->up) {
    if (p->list == self) {
      TraceUnexpectedType(static_cast<std::uintptr_t>(Kind::List), __FILE__, __LINE__);
      return nullptr;
    }
  }
  const ListPath here{self, path};
  const std::vector<Value>& items = self->items;
  SAFEARRAY* sa = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
  if (!sa) return nullptr;
  VARIANT* data = nullptr;
  if (items.empty() || FAILED(SafeArrayAccessData(sa, reinterpret_cast<void**>(&data)))) return sa;
  for (std::size_t i = 0; i < items.size(); ++i) ToVariantImpl(items[i], data[i], nullptr, nullptr, &here);
  SafeArrayUnaccessData(sa);
  return sa;
}

// A string that starts with the bytes 122, 123, 124, 125 carries a
// one-dimensional SAFEARRAY: the fifth byte is the element type and the bytes
// after it are the elements. Only plain-data element types are accepted (raw
// bytes taken as strings or interfaces would be wild pointers), and a
// trailing partial element is dropped.
bool MagicArray(const std::string& s, VARIANT& out) {
  if (s.size() < 5 || static_cast<unsigned char>(s[0]) != 122 || static_cast<unsigned char>(s[1]) != 123 ||
      static_cast<unsigned char>(s[2]) != 124 || static_cast<unsigned char>(s[3]) != 125)
    return false;
  const VARTYPE et = static_cast<unsigned char>(s[4]);
  const std::size_t size = PlainSize(et);
  if (size == 0) {
    TraceUnexpectedType(et, __FILE__, __LINE__);
    return true;
  }
  const std::size_t count = (s.size() - 5) / size;
  SAFEARRAY* sa = SafeArrayCreateVector(et, 0, static_cast<ULONG>(count));
  if (!sa) return true;
  void* data = nullptr;
  if (count && SUCCEEDED(SafeArrayAccessData(sa, &data))) {
    std::memcpy(data, s.data() + 5, count * size);
    SafeArrayUnaccessData(sa);
  }
  out.vt = static_cast<VARTYPE>(VT_ARRAY | et);
  out.parray = sa;
  return true;
}

// A VTWrapper or VTArrayWrapper as an argument.
Storage WrapperToVariant(Object& w, VARIANT& out, VARIANT* store, void** original) {
  const long long vt = w.Slot(slots().vt).AsInt();
  const Value value = w.Slot(slots().value).Deref();
  if (w.GetClass()->IsDerivedFrom(VTArrayWrapperClass())) {
    if ((vt != VT_I1 && vt != VT_UI1) || !value.IsString()) {
      TraceUnexpectedType(static_cast<std::uintptr_t>(vt), __FILE__, __LINE__);
      return Storage::None;
    }
    const std::string& bytes = value.AsString();
    SAFEARRAY* sa = SafeArrayCreateVector(static_cast<VARTYPE>(vt), 0, static_cast<ULONG>(bytes.size()));
    if (!sa) return Storage::None;
    void* data = nullptr;
    if (!bytes.empty() && SUCCEEDED(SafeArrayAccessData(sa, &data))) {
      std::memcpy(data, bytes.data(), bytes.size());
      SafeArrayUnaccessData(sa);
    }
    out.vt = static_cast<VARTYPE>(VT_ARRAY | vt);
    out.parray = sa;
    return Storage::None;
  }
  IUnknown* p = IsOleAuto(value) ? DispatchOf(*value.AsObject()) : static_cast<IUnknown*>(PointerOf(value));
  if (vt == VT_UNKNOWN) {
    QuietAddRef(p);
    out.vt = VT_UNKNOWN;
    out.punkVal = p;
    return Storage::None;
  }
  if (vt == (VT_UNKNOWN | VT_BYREF) && store) {
    QuietAddRef(p);
    store->vt = VT_UNKNOWN;
    store->punkVal = p;
    if (original) *original = p;
    out.vt = VT_UNKNOWN | VT_BYREF;
    out.ppunkVal = &store->punkVal;
    return Storage::Used;
  }
  TraceUnexpectedType(static_cast<std::uintptr_t>(vt), __FILE__, __LINE__);
  return Storage::None;
}

Storage ToVariantImpl(const Value& in, VARIANT& out, VARIANT* store, void** original, const ListPath* path) {
  InitVariant(out);
  const Value& v = in.Deref();
  switch (v.kind()) {
    case Kind::Nil: break;
    case Kind::Pointer:
      out.vt = VT_PTR;
      out.byref = const_cast<void*>(v.AsPointer());
      break;
    case Kind::Integer: {
      const long long n = v.AsInt();
      if (n >= std::numeric_limits<LONG>::min() && n <= std::numeric_limits<LONG>::max()) {
        out.vt = VT_I4;
        out.lVal = static_cast<LONG>(n);
      } else {
        out.vt = VT_I8;
        out.llVal = n;
      }
      break;
    }
    case Kind::Double:
      out.vt = VT_R8;
      out.dblVal = v.AsDouble();
      break;
    case Kind::Date:
      if (v.AsJulian() == 0) {
        out.vt = VT_NULL;
      } else {
        out.vt = VT_DATE;
        out.date = OleDateFromJulian(v.AsJulian());
      }
      break;
    case Kind::Logical:
      out.vt = VT_BOOL;
      out.boolVal = v.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case Kind::String:
      if (!MagicArray(v.AsString(), out)) {
        out.vt = VT_BSTR;
        out.bstrVal = ToBstr(v.AsString());
      }
      break;
    case Kind::Object: {
      Object* o = v.AsObject();
      if (IsOleAuto(v)) {
        IDispatch* p = DispatchOf(*o);
        QuietAddRef(p);
        out.vt = VT_DISPATCH;
        out.pdispVal = p;
      } else if (IsVTWrapper(v)) {
        return WrapperToVariant(*o, out, store, original);
      } else {
        Trace("Class: '%s' not suported!\n", o->ClassName().c_str());
      }
      break;
    }
    case Kind::List:
      if (SAFEARRAY* sa = ListToSafeArray(v, path)) {
        out.vt = VT_ARRAY | VT_VARIANT;
        out.parray = sa;
      }
      break;
    default:  // maps, callables
      TraceUnexpectedType(static_cast<std::uintptr_t>(v.kind()), __FILE__, __LINE__);
      break;
  }
  return Storage::None;
}

// An argument passed by reference whose value can come back: the VARIANT
// points into `store`, which holds the value. False for values passed as
// they are.
bool ToVariantByRef(const Value& v, VARIANT& out, VARIANT& store, void** original) {
  InitVariant(out);
  InitVariant(store);
  switch (v.kind()) {
    case Kind::Integer: {
      const long long n = v.AsInt();
      if (n >= std::numeric_limits<LONG>::min() && n <= std::numeric_limits<LONG>::max()) {
        store.vt = VT_I4;
        store.lVal = static_cast<LONG>(n);
        out.vt = VT_I4 | VT_BYREF;
        out.plVal = &store.lVal;
      } else {
        store.vt = VT_I8;
        store.llVal = n;
        out.vt = VT_I8 | VT_BYREF;
        out.pllVal = &store.llVal;
      }
      return true;
    }
    case Kind::Double:
      store.vt = VT_R8;
      store.dblVal = v.AsDouble();
      out.vt = VT_R8 | VT_BYREF;
      out.pdblVal = &store.dblVal;
      return true;
    case Kind::Logical:
      store.vt = VT_BOOL;
      store.boolVal = v.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
      out.vt = VT_BOOL | VT_BYREF;
      out.pboolVal = &store.boolVal;
      return true;
    case Kind::String:
      if (MagicArray(v.AsString(), store)) {  // an array in a string goes by value
        ClearVariant(store);
        return false;
      }
      store.vt = VT_BSTR;
      store.bstrVal = ToBstr(v.AsString());
      out.vt = VT_BSTR | VT_BYREF;
      out.pbstrVal = &store.bstrVal;
      return true;
    case Kind::Date:
      if (v.AsJulian() == 0) {
        store.vt = VT_NULL;
        out.vt = VT_VARIANT | VT_BYREF;
        out.pvarVal = &store;
      } else {
        store.vt = VT_DATE;
        store.date = OleDateFromJulian(v.AsJulian());
        out.vt = VT_DATE | VT_BYREF;
        out.pdate = &store.date;
      }
      return true;
    case Kind::Nil:
      out.vt = VT_VARIANT | VT_BYREF;
      out.pvarVal = &store;
      return true;
    case Kind::List: {
      SAFEARRAY* sa = ListToSafeArray(v, nullptr);
      if (!sa) return false;
      store.vt = VT_ARRAY | VT_VARIANT;
      store.parray = sa;
      out.vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
      out.pparray = &store.parray;
      return true;
    }
    case Kind::Object: {
      if (!IsOleAuto(v)) return false;
      IDispatch* p = DispatchOf(*v.AsObject());
      QuietAddRef(p);
      store.vt = VT_DISPATCH;
      store.pdispVal = p;
      *original = p;
      out.vt = VT_DISPATCH | VT_BYREF;
      out.ppdispVal = &store.pdispVal;
      return true;
    }
    default: return false;
  }
}

Value FromVariant(const VARIANT& v, int depth);

// A SAFEARRAY as nested lists: the outer list runs over the first
// dimension, the innermost over the last.
Value ArrayToList(SAFEARRAY* sa, VARTYPE elemVt, int depth) {
  if (!sa) return Value::List({});
  const UINT dims = SafeArrayGetDim(sa);
  if (dims == 0) return Value::List({});
  const std::size_t size = ElementSize(elemVt);
  if (size == 0 || SafeArrayGetElemsize(sa) != size || depth > kMaxDepth) {
    TraceUnexpectedType(static_cast<std::uintptr_t>(VT_ARRAY | elemVt), __FILE__, __LINE__);
    return {};
  }
  if (FAILED(SafeArrayLock(sa))) return {};
  std::vector<LONG> lower(dims), upper(dims), index(dims);
  for (UINT d = 0; d < dims; ++d) {
    SafeArrayGetLBound(sa, d + 1, &lower[d]);
    SafeArrayGetUBound(sa, d + 1, &upper[d]);
  }
  // index[k] is the index in dimension k + 1 (SafeArrayPtrOfIndex takes them
  // in that order).
  auto level = [&](auto& self, UINT k) -> Value {
    const long long count = static_cast<long long>(upper[k]) - lower[k] + 1;
    std::vector<Value> items;
    if (count > 0) items.reserve(static_cast<std::size_t>(count));
    for (long long j = 0; j < count; ++j) {
      index[k] = static_cast<LONG>(lower[k] + j);
      if (k + 1 < dims) {
        items.push_back(self(self, k + 1));
        continue;
      }
      void* cell = nullptr;
      if (FAILED(SafeArrayPtrOfIndex(sa, index.data(), &cell)) || !cell) {
        items.emplace_back();
        continue;
      }
      VARIANT e;
      e.vt = static_cast<VARTYPE>(elemVt | VT_BYREF);
      e.byref = cell;
      items.push_back(FromVariant(e, depth + 1));
    }
    return Value::List(std::move(items));
  };
  Value result = level(level, 0);
  SafeArrayUnlock(sa);
  return result;
}

Value FromUnknown(IUnknown* unknown) {
  if (!unknown) return {};
  IDispatch* dispatch = nullptr;
  if (SUCCEEDED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) && dispatch) {
    Value r = OleWrapDispatch(dispatch);
    dispatch->Release();  // the query's reference: the object holds its own
    return r;
  }
  return OwningUnknownWrapper(unknown);
}

// A VARIANT that is neither an array nor a reference.
Value FromScalar(const VARIANT& v) {
  switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL: return {};
    case VT_I1: return Value(static_cast<int>(static_cast<signed char>(v.cVal)));
    case VT_UI1: return Value(static_cast<int>(v.bVal));
    case VT_I2: return Value(static_cast<int>(v.iVal));
    case VT_UI2: return Value(static_cast<int>(v.uiVal));
    case VT_I4: return Value(static_cast<long long>(v.lVal));
    case VT_UI4: return Value(static_cast<long long>(v.ulVal));
    case VT_INT: return Value(static_cast<long long>(v.intVal));
    case VT_UINT: return Value(static_cast<long long>(v.uintVal));
    // 64-bit integers come back as integers too: a 64-bit integer passed by
    // reference is a VT_I8, and must not come back empty.
    case VT_I8: return Value(static_cast<long long>(v.llVal));
    case VT_UI8:
      if (v.ullVal > static_cast<ULONGLONG>(std::numeric_limits<long long>::max()))
        return Value(static_cast<double>(v.ullVal));
      return Value(static_cast<long long>(v.ullVal));
    case VT_R4: return Value(static_cast<double>(v.fltVal));
    case VT_R8: return Value(v.dblVal);
    case VT_CY: {
      double d = 0;
      VarR8FromCy(v.cyVal, &d);
      return Value(d);
    }
    case VT_DECIMAL: {
      DECIMAL dec = v.decVal;
      double d = 0;
      VarR8FromDec(&dec, &d);
      return Value(d);
    }
    case VT_DATE:
      if (!std::isfinite(v.date)) break;
      return Value::Date(JulianFromOleDate(v.date));
    case VT_BSTR: return Value(FromBstr(v.bstrVal));
    case VT_BOOL: return Value(v.boolVal != VARIANT_FALSE);
    case VT_DISPATCH: return OleWrapDispatch(v.pdispVal);
    case VT_UNKNOWN: return FromUnknown(v.punkVal);
    case VT_PTR: return Value::Pointer(v.byref);
    default: break;
  }
  TraceUnexpectedType(v.vt, __FILE__, __LINE__);
  return {};
}

Value FromVariant(const VARIANT& v, int depth) {
  const VARTYPE vt = v.vt;
  if (vt & VT_ARRAY) {
    SAFEARRAY* sa = (vt & VT_BYREF) ? (v.pparray ? *v.pparray : nullptr) : v.parray;
    return ArrayToList(sa, static_cast<VARTYPE>(vt & VT_TYPEMASK), depth);
  }
  if (vt == (VT_VARIANT | VT_BYREF)) {
    if (!v.pvarVal || depth > kMaxDepth) {
      TraceUnexpectedType(vt, __FILE__, __LINE__);
      return {};
    }
    return FromVariant(*v.pvarVal, depth + 1);
  }
  if (!(vt & VT_BYREF)) return FromScalar(v);
  if (!v.byref) return {};
  // Follow the reference: a shallow copy of the value it points at (the copy
  // owns nothing and is not cleared).
  VARIANT t;
  InitVariant(t);
  const VARTYPE base = static_cast<VARTYPE>(vt & ~VT_BYREF);
  switch (base) {
    case VT_I1: t.cVal = *v.pcVal; break;
    case VT_UI1: t.bVal = *v.pbVal; break;
    case VT_I2: t.iVal = *v.piVal; break;
    case VT_UI2: t.uiVal = *v.puiVal; break;
    case VT_I4: t.lVal = *v.plVal; break;
    case VT_UI4: t.ulVal = *v.pulVal; break;
    case VT_INT: t.intVal = *v.pintVal; break;
    case VT_UINT: t.uintVal = *v.puintVal; break;
    case VT_I8: t.llVal = *v.pllVal; break;
    case VT_UI8: t.ullVal = *v.pullVal; break;
    case VT_R4: t.fltVal = *v.pfltVal; break;
    case VT_R8: t.dblVal = *v.pdblVal; break;
    case VT_CY: t.cyVal = *v.pcyVal; break;
    case VT_DECIMAL: t.decVal = *v.pdecVal; break;  // overlaps vt: set below
    case VT_DATE: t.date = *v.pdate; break;
    case VT_BSTR: t.bstrVal = *v.pbstrVal; break;
    case VT_BOOL: t.boolVal = *v.pboolVal; break;
    case VT_DISPATCH: t.pdispVal = *v.ppdispVal; break;
    case VT_UNKNOWN: t.punkVal = *v.ppunkVal; break;
    default: TraceUnexpectedType(vt, __FILE__, __LINE__); return {};
  }
  t.vt = base;
  return FromScalar(t);
}

}  // namespace

// ---------------------------------------------------------------- ArgPack

ArgPack::ArgPack(Args args) : args_(args), n_(args.size()) {
  if (n_ <= kInline) {
    argv_ = inlineArgv_;
    store_ = inlineStore_;
    mode_ = inlineMode_;
    original_ = inlineOriginal_;
  } else {
    heapArgv_.reset(new VARIANT[n_]);
    heapStore_.reset(new VARIANT[n_]);
    heapMode_.reset(new std::uint8_t[n_]);
    heapOriginal_.reset(new void*[n_]);
    argv_ = heapArgv_.get();
    store_ = heapStore_.get();
    mode_ = heapMode_.get();
    original_ = heapOriginal_.get();
  }
  for (std::size_t i = 0; i < n_; ++i) {
    VARIANT& out = argv_[n_ - 1 - i];  // the last argument first
    mode_[i] = kNone;  // store_[i] and original_[i] are used only by the other modes
    const Value& raw = args.raw(i);
    // Numbers, logicals, absent values and strings passed by value: the
    // common cases, inline.
    switch (raw.kind()) {
      case Kind::Nil: out.vt = VT_EMPTY; continue;
      case Kind::Logical:
        out.vt = VT_BOOL;
        out.boolVal = raw.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
        continue;
      case Kind::Double:
        out.vt = VT_R8;
        out.dblVal = raw.AsDouble();
        continue;
      case Kind::Integer: {
        const long long n = raw.AsInt();
        if (n >= std::numeric_limits<LONG>::min() && n <= std::numeric_limits<LONG>::max()) {
          out.vt = VT_I4;
          out.lVal = static_cast<LONG>(n);
          continue;
        }
        break;
      }
      case Kind::String: {  // a string passed by value: a BSTR (or an array, see MagicArray)
        owning_ = true;
        out.vt = VT_EMPTY;
        const std::string& text = raw.AsString();
        if (text.empty() || static_cast<unsigned char>(text[0]) != 122 || !MagicArray(text, out)) {
          out.vt = VT_BSTR;
          out.bstrVal = ToBstr(text);
        }
        continue;
      }
      default: break;
    }
    owning_ = true;
    VARIANT& store = store_[i];
    InitVariant(store);
    original_[i] = nullptr;
    if (raw.IsRef() && ToVariantByRef(raw.Deref(), out, store, &original_[i])) {
      mode_[i] = kCopyBack;
      copyBack_ = true;
      continue;
    }
    if (ToVariantImpl(raw, out, &store, &original_[i], nullptr) == Storage::Used) {
      mode_[i] = raw.IsRef() ? kCopyBack : kStore;
      copyBack_ = copyBack_ || raw.IsRef();
    }
  }
}

ArgPack::~ArgPack() {
  if (!owning_) return;
  for (std::size_t i = 0; i < n_; ++i) {
    ClearVariant(argv_[n_ - 1 - i]);
    if (mode_[i] != kNone) ClearVariant(store_[i]);  // only these hold a value in their store
  }
}

DISPPARAMS* ArgPack::Plain() {
  params_.rgvarg = n_ ? argv_ : nullptr;
  params_.rgdispidNamedArgs = nullptr;
  params_.cArgs = static_cast<UINT>(n_);
  params_.cNamedArgs = 0;
  return &params_;
}

DISPPARAMS* ArgPack::ForPut() {
  params_.rgvarg = n_ ? argv_ : nullptr;
  params_.rgdispidNamedArgs = &putId_;
  params_.cArgs = static_cast<UINT>(n_);
  params_.cNamedArgs = 1;
  return &params_;
}

void ArgPack::CopyBackArguments() {
  copiedBack_ = true;
  for (std::size_t i = 0; i < n_; ++i) {
    if (mode_[i] != kCopyBack || !args_.IsRef(i)) continue;
    const VARIANT& s = store_[i];
    // An interface the server left in place: the caller keeps its own object.
    if ((s.vt == VT_DISPATCH || s.vt == VT_UNKNOWN) && original_[i] && s.punkVal == original_[i]) continue;
    args_.Set(i, FromVariant(s, 0));
  }
}

}  // namespace zv::ole

namespace zv {

void ValueToVariant(const Value& value, VARIANT& out) {
  ole::ToVariantImpl(value, out, nullptr, nullptr, nullptr);
}

Value VariantToValue(const VARIANT& variant) { return ole::FromVariant(variant, 0); }

}  // namespace zv
