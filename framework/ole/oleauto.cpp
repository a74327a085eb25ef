// TOleAuto, VTWrapper and VTArrayWrapper: the late-bound automation client.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/classbuilder.h"
#include "framework/ole/ole_internal.h"
#include "runtime/operators.h"

namespace zv {
namespace ole {
namespace {

// ---------------------------------------------------------------- helpers

void SetSlot(Object& o, std::uint32_t slot, Value v) { o.Slot(slot) = std::move(v); }

std::string Label(Object& self) { return self.Slot(slots().cClassName).AsString(); }

Value ArgList(Args args) {
  std::vector<Value> v;
  v.reserve(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) v.push_back(args.Get(i));
  return Value::List(std::move(v));
}

// This module's own message box (GetActiveObject uses it): a plain MessageBoxA.
int OleMessageBox(HWND hwnd, const char* text, const char* title, UINT type) {
  return MessageBoxA(hwnd, text, title, type);
}

// Runs f with a handler that turns any raised error into a failure, for the
// operations that must notice an error and answer with another one.
struct Trapped {};

template <typename F>
Value TryCall(F&& f, bool& failed) {
  failed = false;
  struct Restore {
    ErrorHandler previous;
    ~Restore() { SetErrorHandler(std::move(previous)); }
  } restore{SetErrorHandler([](const Value&) -> Value { throw Trapped{}; })};
  try {
    return f();
  } catch (const Trapped&) {
    failed = true;
    return {};
  }
}

// ---------------------------------------------------------------- dispatch calls

HRESULT GetId(IDispatch* d, const wchar_t* name, LCID lcid, DISPID* id) {
  LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
  const HRESULT hr = d->GetIDsOfNames(IID_NULL, names, 1, lcid, id);
  SetLastOleError(hr);
  return hr;
}

HRESULT GetId(IDispatch* d, std::string_view name, LCID lcid, DISPID* id) {
  WideName wide(name);
  return GetId(d, wide.get(), lcid, id);
}

// The name of a late-bound member as sent (upper case: labels, errors) and
// in UTF-16 for GetIDsOfNames.
struct MemberName {
  const std::string& text;
  const wchar_t* wide;  // wide + 1 is the name without its leading "_"
};

// The name of a message in both forms. The UTF-16 form is made once per
// message and kept for the run: the names sent to servers are few, and the
// conversion would otherwise be repeated by every call. (The entries never
// move: a call that a server makes back into the module while a name is in
// use may add names.)
MemberName NameOf(Symbol message) {
  struct Entry {
    const std::string* text;
    std::wstring wide;
  };
  static auto* names = new std::vector<std::unique_ptr<Entry>>;  // by symbol id
  const std::uint32_t id = message.id();
  if (id >= names->size()) names->resize(id + 1);
  std::unique_ptr<Entry>& e = (*names)[id];
  if (!e) {
    const std::string& text = message.upper();  // the symbol table keeps it for the run
    WideName wide(text);
    e.reset(new Entry{&text, wide.get()});
  }
  return {*e->text, e->wide.c_str()};
}

// One Invoke: the exception record is cleared first and taken after a
// server exception.
HRESULT CallInvoke(IDispatch* d, DISPID id, WORD kind, DISPPARAMS* params, VARIANT* result) {
  ClearException();
  EXCEPINFO info;
  std::memset(&info, 0, sizeof info);
  UINT argError = 0;
  if (result) InitVariant(*result);
  const HRESULT hr = d->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, params, result, &info, &argError);
  if (hr == DISP_E_EXCEPTION)
    TakeException(info);
  else
    FreeException(info);
  if (FAILED(hr) && result) ClearVariant(*result);
  SetLastOleError(hr);
  return hr;
}

// Whether the value put by an assignment goes by reference first
// (DISPATCH_PROPERTYPUTREF): when it was passed by reference or is a list or
// an object. The value put is the last argument (the one the named argument
// DISPID_PROPERTYPUT designates); the arguments before it are indexes.
bool PutByRef(Args args) {
  if (args.empty()) return false;
  const std::size_t last = args.size() - 1;
  const Value& v = args.raw(last).Deref();
  return args.IsRef(last) || v.IsList() || v.IsObject();
}

HRESULT CallPut(IDispatch* d, DISPID id, ArgPack& pack, Args args) {
  if (PutByRef(args)) {
    const HRESULT hr = CallInvoke(d, id, DISPATCH_PROPERTYPUTREF, pack.ForPut(), nullptr);
    if (SUCCEEDED(hr)) return hr;
  }
  return CallInvoke(d, id, DISPATCH_PROPERTYPUT, pack.ForPut(), nullptr);
}

Value LastArg(Args args) { return args.empty() ? Value() : args.Get(args.size() - 1); }

// An object returned by member `name` of self is labelled "self's label:name".
void Relabel(const Value& result, Object& self, const std::string& name) {
  if (result.IsObject() && IsOleAuto(result))
    SetSlot(*result.AsObject(), slots().cClassName, Value(Label(self) + ":" + name));
}

// The value of a call's result, which is cleared. Strings and 32-bit
// integers, the usual results, are converted here; anything else goes
// through VariantToValue. The VARIANT is emptied before the conversion,
// which may call the module again (a returned interface becomes a new
// object).
Value TakeResult(VARIANT& result) {
  switch (result.vt) {
    case VT_EMPTY: return {};
    case VT_I4: result.vt = VT_EMPTY; return Value(static_cast<long long>(result.lVal));
    case VT_BSTR: {
      struct Free {
        BSTR b;
        ~Free() { SysFreeString(b); }
      } taken{result.bstrVal};
      result.vt = VT_EMPTY;
      return Value(FromBstr(taken.b));
    }
    default: {
      VARIANT taken = result;
      InitVariant(result);
      struct Clear {
        VARIANT& v;
        ~Clear() { ClearVariant(v); }
      } clear{taken};
      return VariantToValue(taken);
    }
  }
}

// The failure worth reporting among those of the call kinds tried: a member
// that exists but refuses one kind answers DISP_E_MEMBERNOTFOUND for it, which
// must not hide a more telling failure of another kind (a wrong argument
// count, a type mismatch).
// (Only a server exception has texts, and none is tried after one, so the
// code is all there is to keep.)
struct Failure {
  HRESULT hr = S_OK;
  bool set = false;
  void Note(HRESULT h) {
    if (set && h == DISP_E_MEMBERNOTFOUND && hr != DISP_E_MEMBERNOTFOUND) return;
    hr = h;
    set = true;
  }
};

struct Outcome {
  bool ok = false;
  bool resolved = false;  // the name was found
  HRESULT hr = S_OK;
  Value result;
};

// The late-bound call on one interface: resolve the name, try the call
// kinds in order, convert the result, copy back by-reference arguments.
Outcome Attempt(IDispatch* d, const MemberName& name, Args args) {
  Outcome out;
  ArgPack pack(args);
  DISPID id = DISPID_UNKNOWN;
  bool assign = false;
  HRESULT hr = E_FAIL;
  if (name.text.size() > 1 && name.text[0] == '_' && !args.empty()) {
    hr = GetId(d, name.wide + 1, LOCALE_SYSTEM_DEFAULT, &id);
    assign = SUCCEEDED(hr);
  }
  if (!assign) hr = GetId(d, name.wide, 0, &id);
  if (FAILED(hr)) {
    out.hr = hr;
    pack.CopyBack();
    return out;
  }
  out.resolved = true;
  Failure failure;
  VARIANT result;
  InitVariant(result);
  bool done = false;
  if (assign) {
    hr = CallPut(d, id, pack, args);
    if (SUCCEEDED(hr)) {
      out.result = LastArg(args);
      done = true;
    } else {
      failure.Note(hr);
    }
  }
  // A server exception means the member exists and ran: no other call kind
  // is tried (it would run the member again and lose the server's text).
  auto goOn = [&] { return !done && !(failure.set && failure.hr == DISP_E_EXCEPTION); };
  if (goOn()) {
    hr = CallInvoke(d, id, DISPATCH_METHOD, pack.Plain(), &result);
    if (SUCCEEDED(hr)) done = true;
    else failure.Note(hr);
  }
  if (goOn()) {
    hr = CallInvoke(d, id, DISPATCH_PROPERTYGET, pack.Plain(), &result);
    if (SUCCEEDED(hr)) done = true;
    else failure.Note(hr);
  }
  if (goOn() && !assign && !args.empty()) {
    hr = CallPut(d, id, pack, args);
    if (SUCCEEDED(hr)) {
      out.result = LastArg(args);
      done = true;
    } else {
      failure.Note(hr);
    }
  }
  // A member that refused every kind on its own may answer to the method
  // call and the property get asked in one Invoke, as script engines call
  // (a property that takes arguments, such as WScript.Shell's
  // SpecialFolders("Desktop"), may answer only so).
  if (!done && failure.hr == DISP_E_MEMBERNOTFOUND) {
    hr = CallInvoke(d, id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, pack.Plain(), &result);
    if (SUCCEEDED(hr)) done = true;
    else failure.Note(hr);
  }
  if (done) {
    out.ok = true;
    out.hr = S_OK;
    if (result.vt != VT_EMPTY) out.result = TakeResult(result);
    SetLastOleError(S_OK);
  } else {
    SetLastOleError(failure.hr);
    out.hr = failure.hr;
  }
  pack.CopyBack();
  return out;
}

// The interface of the default member (DISPID_VALUE read as a property),
// with a reference of its own, or nullptr.
IDispatch* DefaultDispatch(IDispatch* d) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT result;
  if (FAILED(CallInvoke(d, DISPID_VALUE, DISPATCH_PROPERTYGET, &none, &result))) return nullptr;
  IDispatch* p = nullptr;
  if (result.vt == VT_DISPATCH) {
    p = result.pdispVal;
    result.pdispVal = nullptr;  // the reference moves to the caller
    result.vt = VT_EMPTY;
  } else if (result.vt == (VT_DISPATCH | VT_BYREF) && result.ppdispVal) {
    p = *result.ppdispVal;
    QuietAddRef(p);
  }
  ClearVariant(result);
  return p;
}

// The call error. For a server exception the sub-code is the server's own
// code (its scode, else its wCode), so that one failure of the server can be
// told from another; the description is the server's text, else the
// system's message for the scode, else the name of the HRESULT.
Value RaiseCallError(Object& self, const std::string& operation, Args args, HRESULT hr) {
  ErrorInfo e;
  e.genCode = kErrOle;
  e.subCode = static_cast<long long>(hr);
  e.subSystem = Label(self);
  if (hr == DISP_E_EXCEPTION) {
    const long code = ExceptionCode();
    if (code != 0) e.subCode = static_cast<long long>(code);
    e.description = ExceptionDescription();
    // A wCode is the server's own number, not one the system knows.
    if (e.description.empty() && code < 0) e.description = SystemMessage(static_cast<HRESULT>(code));
  }
  if (e.description.empty()) e.description = ErrorName(hr);
  e.operation = operation;
  e.args = ArgList(args);
  e.severity = 2;
  e.canSubstitute = true;
  return RaiseError(e);
}

// The handler of every message TOleAuto does not define.
Value LateBound(Object& self, Symbol message, Args args) {
  const MemberName name = NameOf(message);
  IDispatch* d = DispatchOf(self);
  if (!d) {
    // No interface: nothing to call (the object failed to attach).
    SetLastOleError(E_UNEXPECTED);
    ClearException();
    return RaiseCallError(self, name.text, args, E_UNEXPECTED);
  }
  // (The frame of the running message holds self alive.)
  Outcome first = Attempt(d, name, args);
  if (first.ok) {
    Relabel(first.result, self, name.text);
    return std::move(first.result);
  }
  HRESULT hr = first.hr;
  if (hr != DISP_E_EXCEPTION) {
    // Once per call: the object of the default member may know the name.
    ErrorState saved = SaveErrorState();
    bool useSaved = true;
    if (IDispatch* def = DefaultDispatch(d)) {
      Outcome retry = Attempt(def, name, args);
      def->Release();
      if (retry.ok) {
        Relabel(retry.result, self, name.text);
        return std::move(retry.result);
      }
      if (retry.resolved) {  // the default's object has the member: its failure tells more
        hr = retry.hr;
        useSaved = false;
      }
    }
    if (useSaved) RestoreErrorState(std::move(saved));
  }
  return RaiseCallError(self, name.text, args, hr);
}

Value Undefined(Object& self, Symbol message, Args args) { return LateBound(self, message, args); }

// ---------------------------------------------------------------- creation

// Class and interface identifiers from the arguments of CREATEOLEOBJECT and
// GETOLEOBJECT; false when they cannot be had (the last OLE error says why).
bool Identifiers(const Value& classId, const Value& interfaceId, CLSID& clsid, IID& iid) {
  const Value& c = classId.Deref();
  if (!c.IsString()) {
    SetLastOleError(E_INVALIDARG);
    return false;
  }
  WideName wide(c.AsString());
  HRESULT hr = c.AsString().starts_with("{") ? CLSIDFromString(wide.get(), &clsid)
                                             : CLSIDFromProgID(wide.get(), &clsid);
  SetLastOleError(hr);
  if (FAILED(hr)) return false;
  iid = IID_IDispatch;
  const Value& i = interfaceId.Deref();
  if (i.IsString()) {
    const std::string& s = i.AsString();
    if (s.starts_with("{")) {
      WideName w(s);
      hr = CLSIDFromString(w.get(), &iid);
      if (FAILED(hr)) {
        SetLastOleError(hr);
        return false;
      }
    } else if (s.size() >= sizeof(IID)) {
      std::memcpy(&iid, s.data(), sizeof(IID));  // the GUID in its 16-byte form
    } else {
      SetLastOleError(E_INVALIDARG);  // too short to be a GUID
      return false;
    }
  }
  return true;
}

Value CreationError(Args args) {
  ErrorInfo e;
  e.args = ArgList(args);
  e.canDefault = false;
  e.canRetry = false;
  e.canSubstitute = true;
  e.genCode = kErrOle;
  e.operation = CallStack::ProcName(0);  // the running constructor
  e.severity = 2;
  e.subCode = -1;
  const std::string name = ErrorName(LastOleError());
  if (name == "DISP_E_EXCEPTION") {
    e.description = ExceptionDescription();
    e.subSystem = ExceptionSource();
  } else {
    e.description = name;
    e.subSystem = "TOleAuto";
  }
  return RaiseError(e);
}

void ReleaseHeld(Object& self) {
  if (auto* p = static_cast<IUnknown*>(PointerOf(self.Slot(slots().hObj)))) {
    SetSlot(self, slots().hObj, Value(0));
    QuietRelease(p);
  }
}

Value OleNew(Object& self, Args a) {
  if (DispatchOf(self)) return LateBound(self, ZV_SYM("_NEW"), a);  // not a construction: the server's "New"
  const Value x = a.Get(0);
  if (x.IsString()) {
    const Value p = CREATEOLEOBJECT(x);
    if (LastOleError() != S_OK) return CreationError(a);
    SetSlot(self, slots().hObj, p);
    SetSlot(self, slots().cClassName, x);
    return Value(&self);
  }
  if ((x.IsNumber() || x.IsPointer()) && PointerOf(x)) {
    OLEADDREF(x);
    SetSlot(self, slots().hObj, PointerValue(PointerOf(x)));
    const Value label = a.Get(1);
    SetSlot(self, slots().cClassName,
            label.IsString() ? label : Value(std::to_string(reinterpret_cast<std::uintptr_t>(PointerOf(x)))));
    return Value(&self);
  }
  // Anything else, a null pointer included.
  ErrorInfo e;
  e.genCode = 0;
  e.subSystem = "TOleAuto";
  e.description = "Invalid argument to contrustor!";
  e.operation = CallStack::ProcName(0);
  e.args = ArgList(a);
  RaiseError(e);
  return Value(&self);
}

Value OleGetActiveObject(Object& self, Args a) {
  const Value x = a.Get(0);
  if (!x.IsString()) {
    OleMessageBox(nullptr, "Invalid parameter type to constructor TOleAuto():GetActiveObject()!", "OLE Interface", 0);
    ReleaseHeld(self);
    return Value(&self);
  }
  const Value p = GETOLEOBJECT(x);
  if (LastOleError() != S_OK) return CreationError(a);
  ReleaseHeld(self);  // attaching again must not leak what the object held
  SetSlot(self, slots().hObj, p);
  SetSlot(self, slots().cClassName, x);
  return Value(&self);
}

// ---------------------------------------------------------------- explicit calls

enum class CallKind { Method, Put, Get };

// Invoke / Set / Get: the member name first, then its arguments. They raise
// no error: a failure gives no value and OLEERROR() tells why.
Value Explicit(Object& self, Args a, CallKind kind) {
  const Value nameValue = a.Get(0);
  IDispatch* d = DispatchOf(self);
  if (!nameValue.IsString() || !d) {
    ClearException();
    SetLastOleError(d ? DISP_E_UNKNOWNNAME : E_UNEXPECTED);
    return {};
  }
  Value keep(&self);
  const std::string& name = nameValue.AsString();
  Args rest = a.Skip(1);
  ArgPack pack(rest);
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = E_FAIL;
  if (name.size() > 1 && name[0] == '_' && !rest.empty())
    hr = GetId(d, std::string_view(name).substr(1), LOCALE_SYSTEM_DEFAULT, &id);
  if (FAILED(hr)) hr = GetId(d, name, 0, &id);
  Value out;
  if (SUCCEEDED(hr)) {
    VARIANT result;
    InitVariant(result);
    switch (kind) {
      case CallKind::Method: hr = CallInvoke(d, id, DISPATCH_METHOD, pack.Plain(), &result); break;
      case CallKind::Get: hr = CallInvoke(d, id, DISPATCH_PROPERTYGET, pack.Plain(), &result); break;
      case CallKind::Put:
        hr = CallPut(d, id, pack, rest);
        if (SUCCEEDED(hr)) out = LastArg(rest);
        break;
    }
    if (SUCCEEDED(hr) && result.vt != VT_EMPTY) {
      const ErrorState state = SaveErrorState();
      out = TakeResult(result);
      RestoreErrorState(state);
      Relabel(out, self, name);
    }
  }
  pack.CopyBack();
  return out;
}

Value OleInvoke(Object& self, Args a) { return Explicit(self, a, CallKind::Method); }
Value OleSet(Object& self, Args a) { return Explicit(self, a, CallKind::Put); }
Value OleGet(Object& self, Args a) { return Explicit(self, a, CallKind::Get); }

// ---------------------------------------------------------------- default member

Value OleValueOf(Object& self) {
  IDispatch* d = DispatchOf(self);
  if (!d) {
    SetLastOleError(E_UNEXPECTED);
    ClearException();
    return RaiseCallError(self, "OLEVALUE", Args(), E_UNEXPECTED);
  }
  Value keep(&self);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT result;
  const HRESULT hr = CallInvoke(d, DISPID_VALUE, DISPATCH_PROPERTYGET, &none, &result);
  if (FAILED(hr)) return RaiseCallError(self, "OLEVALUE", Args(), hr);
  Value out = VariantToValue(result);
  ClearVariant(result);
  SetLastOleError(S_OK);
  return out;
}

Value SetOleValueOf(Object& self, Args a) {
  IDispatch* d = DispatchOf(self);
  if (!d) {
    SetLastOleError(E_UNEXPECTED);
    ClearException();
    return RaiseCallError(self, "_OLEVALUE", a, E_UNEXPECTED);
  }
  Value keep(&self);
  ArgPack pack(a);
  const HRESULT hr = CallPut(d, DISPID_VALUE, pack, a);
  pack.CopyBack();
  if (FAILED(hr)) return RaiseCallError(self, "_OLEVALUE", a, hr);
  return LastArg(a);
}

Value OleValueMethod(Object& self, Args) { return OleValueOf(self); }
Value SetOleValueMethod(Object& self, Args a) { return SetOleValueOf(self, a); }

// ---------------------------------------------------------------- enumeration

Value NewEnumerator(Object& self) {
  IDispatch* d = DispatchOf(self);
  if (!d) {
    SetLastOleError(E_UNEXPECTED);
    ClearException();
    return RaiseCallError(self, "OLENEWENUMERATOR", Args(), E_UNEXPECTED);
  }
  Value keep(&self);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT result;
  HRESULT hr = CallInvoke(d, DISPID_NEWENUM, DISPATCH_PROPERTYGET, &none, &result);
  if (FAILED(hr)) hr = CallInvoke(d, DISPID_NEWENUM, DISPATCH_METHOD, &none, &result);
  if (FAILED(hr)) return RaiseCallError(self, "OLENEWENUMERATOR", Args(), hr);
  IUnknown* unknown = nullptr;
  switch (result.vt) {
    case VT_UNKNOWN:
    case VT_DISPATCH: unknown = result.punkVal; break;
    case VT_UNKNOWN | VT_BYREF:
    case VT_DISPATCH | VT_BYREF: unknown = result.ppunkVal ? *result.ppunkVal : nullptr; break;
    default: break;
  }
  Value out;
  if (!unknown) {
    SetLastOleError(E_FAIL);
  } else {
    IEnumVARIANT* e = nullptr;
    hr = unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&e));
    SetLastOleError(hr);
    if (SUCCEEDED(hr) && e) out = PointerValue(e);
  }
  ClearVariant(result);
  return out;
}

Value OleNewEnumeratorMethod(Object& self, Args) { return NewEnumerator(self); }

// ---------------------------------------------------------------- operators

// Each operator works on OleValue(); any error on the way becomes the
// operator's argument error with the object and the operand.
template <Value (*Op)(const Value&, const Value&)>
Value Binary(Object& self, Args a, const char* name, int subCode) {
  const Value operand = a.Get(0);
  bool failed = false;
  Value r = TryCall([&] { return Op(OleValueOf(self), operand); }, failed);
  if (failed) return RaiseOperatorError(name, subCode, Value::List({Value(&self), operand}));
  return r;
}

template <Value (*Op)(const Value&)>
Value Unary(Object& self, const char* name, int subCode) {
  bool failed = false;
  Value r = TryCall(
      [&] {
        Value v = Op(OleValueOf(self));
        Value arg[1] = {v};
        SetOleValueOf(self, Args(arg, 1));
        return v;
      },
      failed);
  if (failed) return RaiseOperatorError(name, subCode, Value::List({Value(&self)}));
  return r;
}

Value OpPlus(Object& s, Args a) { return Binary<OpAdd>(s, a, "+", 1081); }
Value OpMinus(Object& s, Args a) { return Binary<OpSubtract>(s, a, "-", 1082); }
Value OpTimes(Object& s, Args a) { return Binary<OpMultiply>(s, a, "*", 1083); }
Value OpSlash(Object& s, Args a) { return Binary<OpDivide>(s, a, "/", 1084); }
Value OpPercent(Object& s, Args a) { return Binary<OpModulo>(s, a, "%", 1085); }
Value OpCaret(Object& s, Args a) { return Binary<OpPower>(s, a, "^", 1088); }
Value OpEq(Object& s, Args a) { return Binary<OpEqual>(s, a, "=", 1085); }
Value OpExactEq(Object& s, Args a) { return Binary<OpExactEqual>(s, a, "==", 1085); }
Value OpNotEq(Object& s, Args a) { return Binary<OpNotEqual>(s, a, "!=", 1085); }
Value OpInc(Object& s, Args) { return Unary<OpIncrement>(s, "++", 1086); }
Value OpDec(Object& s, Args) { return Unary<OpDecrement>(s, "--", 1087); }

// "[]" with an index reads the item ("Item"); with an index and a value it
// writes it ("_Item", else "SetItem"). A negative index counts from the end.
Value OleIndex(Object& self, Args a) {
  Value self_(&self);
  if (a.empty()) return self_.Send(ZV_SYM("Item"));
  if (a.size() < 2) return self_.Send(ZV_SYM("Item"), a.raw(0));
  Value index = a.Get(0);
  const Value value = a.raw(1);
  if (index.IsNumber() && index.AsDouble() < 0) {
    const Value count = self_.Send(ZV_SYM("Count"));
    if (count.IsNumber()) index = OpAdd(OpAdd(index, count), 1);
  }
  bool failed = false;
  Value r = TryCall([&] { return self_.Send(ZV_SYM("_Item"), index, value); }, failed);
  if (failed) return self_.Send(ZV_SYM("SetItem"), index, value);
  return r;
}

void OleDestroy(Object& self) { ReleaseHeld(self); }

// ---------------------------------------------------------------- VTWrapper

Value WrapperNew(Object& self, Args a) {
  SetSlot(self, slots().vt, a.Get(0));
  SetSlot(self, slots().value, a.Get(1));
  return Value(&self);
}

void WrapperDestroy(Object& self) {
  if (auto* p = static_cast<IUnknown*>(PointerOf(self.Slot(slots().owned)))) {
    SetSlot(self, slots().owned, Value());
    QuietRelease(p);
  }
}

Value BoundError(int subCode, Object& self, const Value& index) {
  ErrorInfo e;
  e.genCode = kErrBound;
  e.subCode = subCode;
  e.subSystem = "BASE";
  e.operation = "[]";
  e.args = Value::List({Value(&self), index});
  e.canSubstitute = true;
  return RaiseError(e);
}

Value ByteValue(long long vt, unsigned char b) {
  return vt == VT_I1 ? Value(static_cast<int>(static_cast<signed char>(b))) : Value(static_cast<int>(b));
}

// "[]" of a VTArrayWrapper: the byte at a 1-based index of Value.
Value ArrayWrapperIndex(Object& self, Args a) {
  const Value index = a.Get(0);
  const std::string bytes = self.Slot(slots().value).AsString();
  const long long vt = self.Slot(slots().vt).AsInt();
  const long long i = index.AsInt();
  const bool inRange = index.IsNumber() && i >= 1 && static_cast<unsigned long long>(i) <= bytes.size();
  if (a.size() < 2) {
    if (!inRange) return BoundError(1132, self, index);
    return ByteValue(vt, static_cast<unsigned char>(bytes[static_cast<std::size_t>(i - 1)]));
  }
  if (!inRange) return BoundError(1133, self, index);
  const Value x = a.Get(1);
  std::string changed = bytes;
  changed[static_cast<std::size_t>(i - 1)] =
      x.IsString() ? (x.AsString().empty() ? '\0' : x.AsString()[0]) : static_cast<char>(x.AsInt() & 0xff);
  SetSlot(self, slots().value, Value(std::move(changed)));
  return x;
}

Slots g_slots{};

}  // namespace

const Slots& slots() {
  TOleAutoClass();
  VTArrayWrapperClass();
  return g_slots;
}

bool IsOleAuto(const Value& v) {
  Object* o = v.Deref().AsObject();
  return o && o->GetClass()->IsDerivedFrom(TOleAutoClass());
}

bool IsVTWrapper(const Value& v) {
  Object* o = v.Deref().AsObject();
  return o && o->GetClass()->IsDerivedFrom(VTWrapperClass());
}

bool IsVTArrayWrapper(const Value& v) {
  Object* o = v.Deref().AsObject();
  return o && o->GetClass()->IsDerivedFrom(VTArrayWrapperClass());
}

IDispatch* DispatchOf(Object& self) {
  const Value& h = self.Slot(g_slots.hObj);
  // hObj holds the pointer as an integer; anything else goes the long way.
  if (h.IsInteger()) return reinterpret_cast<IDispatch*>(static_cast<std::uintptr_t>(h.AsInt()));
  return static_cast<IDispatch*>(PointerOf(h));
}

Value OwningUnknownWrapper(IUnknown* unknown) {
  Value w = Object::New(VTWrapperClass());
  Object& o = *w.AsObject();
  QuietAddRef(unknown);
  SetSlot(o, g_slots.vt, Value(static_cast<int>(VT_UNKNOWN)));
  SetSlot(o, g_slots.value, PointerValue(unknown));
  SetSlot(o, g_slots.owned, PointerValue(unknown));
  return w;
}

}  // namespace ole

using namespace ole;

Class* TOleAutoClass() {
  static Class* c = [] {
    QVClass b("TOleAuto");
    ZV_REGISTER_MEMBERS(b, ZV_TOLEAUTO_MEMBERS);
    b.Method("+", &OpPlus);
    b.Method("-", &OpMinus);
    b.Method("*", &OpTimes);
    b.Method("/", &OpSlash);
    b.Method("%", &OpPercent);
    b.Method("^", &OpCaret);
    b.Method("++", &OpInc);
    b.Method("--", &OpDec);
    b.Method("=", &OpEq);
    b.Method("==", &OpExactEq);
    b.Method("!=", &OpNotEq);
    b.Method("[]", &OleIndex);
    b.OnUndefined(&Undefined);
    b.Destructor(&OleDestroy);
    Class* cls = b.Create();
    g_slots.hObj = cls->FindData(sym::hObj)->slot;
    g_slots.cClassName = cls->FindData(sym::cClassName)->slot;
    g_slots.pOleEnumerator = cls->FindData(sym::pOleEnumerator)->slot;
    return cls;
  }();
  return c;
}

Class* VTWrapperClass() {
  static Class* c = [] {
    QVClass b("VTWrapper");
    // pOwned: the reference the wrapper owns when it was made from an
    // interface a server returned (released with the wrapper).
    ZV_REGISTER_MEMBERS(b, ZV_VTWRAPPER_MEMBERS);
    b.Destructor(&WrapperDestroy);
    Class* cls = b.Create();
    g_slots.vt = cls->FindData(sym::vt)->slot;
    g_slots.value = cls->FindData(sym::Value)->slot;
    g_slots.owned = cls->FindData(sym::pOwned)->slot;
    return cls;
  }();
  return c;
}

Class* VTArrayWrapperClass() {
  static Class* c = [] {
    QVClass b("VTArrayWrapper", {VTWrapperClass()});
    b.Method("[]", &ArrayWrapperIndex);
    return b.Create();
  }();
  return c;
}

// ---------------------------------------------------------------- functions

Value CreateObject(const Value& progId) {
  Value o = Object::New(TOleAutoClass());
  return o.Send(sym::New, progId);
}

Value GetActiveObject(const Value& progId) {
  Value o = Object::New(TOleAutoClass());
  return o.Send(sym::GetActiveObject, progId);
}

Value CREATEOLEOBJECT(const Value& classId, const Value& interfaceId) {
  CLSID clsid;
  IID iid;
  if (!Identifiers(classId, interfaceId, clsid, iid)) return Value(0);
  void* p = nullptr;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, iid, &p);
  SetLastOleError(hr);
  return FAILED(hr) || !p ? Value(0) : PointerValue(p);
}

Value GETOLEOBJECT(const Value& classId, const Value& interfaceId) {
  CLSID clsid;
  IID iid;
  if (!Identifiers(classId, interfaceId, clsid, iid)) return Value(0);
  IUnknown* unknown = nullptr;
  HRESULT hr = ::GetActiveObject(clsid, nullptr, &unknown);
  SetLastOleError(hr);
  if (FAILED(hr) || !unknown) return Value(0);
  void* p = nullptr;
  hr = unknown->QueryInterface(iid, &p);
  SetLastOleError(hr);
  unknown->Release();
  return FAILED(hr) || !p ? Value(0) : PointerValue(p);
}

IDispatch* OleDispatchOf(const Value& oleAuto) {
  return IsOleAuto(oleAuto) ? DispatchOf(*oleAuto.Deref().AsObject()) : nullptr;
}

Value OleWrapDispatch(IDispatch* dispatch, std::string_view label) {
  if (!dispatch) return {};
  Value o = Object::New(TOleAutoClass());
  Object& self = *o.AsObject();
  QuietAddRef(dispatch);
  SetSlot(self, g_slots.hObj, PointerValue(dispatch));
  SetSlot(self, g_slots.cClassName,
          label.empty() ? Value(std::to_string(reinterpret_cast<std::uintptr_t>(dispatch))) : Value(label));
  return o;
}

// ---------------------------------------------------------------- iteration

OleItems::OleItems(Value object) : object_(std::move(object)) {}

OleItems::~OleItems() { Finish(); }

OleItems::iterator OleItems::begin() {
  if (!started_) {
    started_ = true;
    Start();
  }
  return iterator(this);
}

void OleItems::Start() {
  const Value& o = object_.Deref();
  if (IsVTArrayWrapper(o)) {
    bytes_ = true;
    Advance();
    return;
  }
  if (!IsOleAuto(o)) {
    done_ = true;
    return;
  }
  Object& self = *o.AsObject();
  previousEnumerator_ = self.Slot(g_slots.pOleEnumerator);
  const Value e = NewEnumerator(self);
  // A value the error handler put in place of a failed call is no enumerator.
  enumerator_ = LastOleError() == S_OK ? PointerOf(e) : nullptr;
  if (!enumerator_) {
    done_ = true;
    return;
  }
  SetSlot(self, g_slots.pOleEnumerator, PointerValue(enumerator_));
  Advance();
}

void OleItems::Advance() {
  if (done_) return;
  if (bytes_) {
    Object& w = *object_.Deref().AsObject();
    const std::string& bytes = w.Slot(g_slots.value).AsString();
    if (byte_ >= bytes.size()) {
      done_ = true;
      current_ = Value();
      return;
    }
    current_ = ByteValue(w.Slot(g_slots.vt).AsInt(), static_cast<unsigned char>(bytes[byte_++]));
    return;
  }
  auto* e = static_cast<IEnumVARIANT*>(enumerator_);
  VARIANT v;
  InitVariant(v);
  if (e->Next(1, &v, nullptr) != S_OK) {
    ClearVariant(v);
    current_ = Value();
    Finish();
    return;
  }
  current_ = VariantToValue(v);
  ClearVariant(v);
}

void OleItems::Finish() {
  done_ = true;
  if (!enumerator_) return;
  auto* e = static_cast<IEnumVARIANT*>(enumerator_);
  enumerator_ = nullptr;
  // An iteration nested inside another one of the same object gives the
  // outer one its enumerator back.
  if (Object* o = object_.Deref().AsObject()) SetSlot(*o, g_slots.pOleEnumerator, previousEnumerator_);
  previousEnumerator_ = Value();
  e->Release();
}

std::size_t ForEachOle(const Value& object, const std::function<void(const Value&)>& body) {
  std::size_t n = 0;
  for (const Value& item : OleItems(object)) {
    body(item);
    ++n;
  }
  return n;
}

}  // namespace zv
