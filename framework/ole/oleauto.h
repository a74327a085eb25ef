// The late-bound OLE automation client.
//
// A TOleAuto object drives a COM automation server by name. Every message
// that the class does not define becomes, at the moment it is sent, an
// IDispatch::GetIDsOfNames plus IDispatch::Invoke on the server; arguments
// and results are converted between values and VARIANTs, and interfaces that
// come back are new TOleAuto objects, so chains work:
//
//   zv::Value dict = zv::CreateObject("Scripting.Dictionary");
//   dict.Send("Add", "a", 1);                 // a method call
//   long long n = dict.Send("Count").AsInt(); // a property get
//   dict.Send("_CompareMode", 1);             // a property put (assignment)
//   for (const zv::Value& key : zv::OleItems(dict)) { ... }   // _NewEnum
//
// Failures raise run-time errors (GenCode 1001) through the installed error
// handler; the handler's answer becomes the result of the failed call.
// Interface pointers are carried in values as integers (the pointer value):
// hObj holds one. See docs/ole.md for the whole protocol.
//
// OLE must be initialised on the calling thread (OleInitialize or
// CoInitialize); the application object does it at start-up.
#pragma once

#include <cstddef>
#include <functional>
#include <iterator>

#include "framework/core/declare.h"
#include "runtime/runtime.h"

// The automation client's own members (its operators "+", "[]" ... are
// declared beside the table: they are not names).
#define ZV_TOLEAUTO_MEMBERS(X)                              \
  X(DATA, long long, hObj, 0)                               \
  X(DATA, std::string, cClassName, "")                      \
  X(DATA, Value, pOleEnumerator)                            \
  X(CONSTRUCTOR, New, &OleNew)                              \
  X(CONSTRUCTOR, GetActiveObject, &OleGetActiveObject)      \
  X(METHOD, Invoke, &OleInvoke)                             \
  X(METHOD, CallMethod, &OleInvoke)                         \
  X(METHOD, Set, &OleSet)                                   \
  X(METHOD, SetProperty, &OleSet)                           \
  X(METHOD, Get, &OleGet)                                   \
  X(METHOD, GetProperty, &OleGet)                           \
  X(METHOD, OleValue, &OleValueMethod)                      \
  X(SETTER, OleValue, &SetOleValueMethod)                   \
  X(METHOD, OleNewEnumerator, &OleNewEnumeratorMethod)

#define ZV_VTWRAPPER_MEMBERS(X)                             \
  X(DATA, int, vt, 0)                                       \
  X(DATA, Value, Value)                                     \
  X(DATA_H, Value, pOwned)                                  \
  X(CONSTRUCTOR, New, &WrapperNew)

namespace zv {

// Generic code of every automation error.
constexpr int kErrOle = 1001;

// TOleAuto (class name "TOleAuto", derived from the root class).
//   Data (public): hObj (the IDispatch pointer, one counted reference; 0 when
//   none), cClassName (the label used as the subsystem of errors: the ProgID,
//   "label:MEMBER" for an object returned by a member, or the pointer as
//   decimal text), pOleEnumerator (the IEnumVARIANT of an iteration in
//   progress, else absent).
//   Methods: New(cProgId | cClsid | nPointer [, cLabel]), GetActiveObject(cProgId),
//   Invoke / CallMethod(cName, ...), Set / SetProperty(cName, ...),
//   Get / GetProperty(cName, ...), OleValue(), _OleValue(x),
//   OleNewEnumerator(), the operators "+", "-", "*", "/", "%", "^", "++",
//   "--", "=", "==", "!=" (on OleValue()) and "[]" (collection items).
Class* TOleAutoClass();
// VTWrapper(nVt, xValue): passes xValue to a server as a VARIANT of type nVt
// (VT_UNKNOWN, or VT_UNKNOWN | VT_BYREF, with an interface pointer).
Class* VTWrapperClass();
// VTArrayWrapper(nVt, cBytes): passes the bytes as a one-dimensional SAFEARRAY
// of VT_I1 (16) or VT_UI1 (17); "[]" reads and writes a byte (1-based).
Class* VTArrayWrapperClass();

// A new TOleAuto created from a ProgID or CLSID string (New), or attached to
// a running instance of the class (GetActiveObject).
Value CreateObject(const Value& progId);
Value GetActiveObject(const Value& progId);

// The new interface pointer (0 on failure) of a class given by ProgID or
// CLSID string; the interface is IID_IDispatch unless an identifier ("{...}"
// or a 16-byte GUID) is given. Both set the last OLE error.
Value CREATEOLEOBJECT(const Value& classId, const Value& interfaceId = Value());
Value GETOLEOBJECT(const Value& classId, const Value& interfaceId = Value());

// The last HRESULT as a number, and its symbolic name ("S_OK",
// "DISP_E_UNKNOWNNAME" ... or "Unknown error").
Value OLEERROR();
Value OLE2TXTERROR();
// Source and description of the last server exception (only when the last
// error is DISP_E_EXCEPTION; otherwise absent).
Value OLEEXCEPTIONSOURCE();
Value OLEEXCEPTIONDESCRIPTION();
// AddRef / Release on an interface pointer: the new count, also stored as
// the last OLE error.
Value OLEADDREF(const Value& pointer);
Value OLERELEASEOBJECT(const Value& pointer);

// Iteration over a TOleAuto (through its enumerator, DISPID_NEWENUM) or over
// the bytes of a VTArrayWrapper:
//
//   for (const zv::Value& item : zv::OleItems(collection)) { ... }
//
// While the loop runs, the object's pOleEnumerator holds the enumerator; the
// enumerator is released and pOleEnumerator restored when the range goes
// away, also when the loop is left early or by an exception. Anything else
// iterates over nothing.
class OleItems {
 public:
  explicit OleItems(Value object);
  ~OleItems();
  OleItems(const OleItems&) = delete;
  OleItems& operator=(const OleItems&) = delete;

  class iterator {
   public:
    using value_type = Value;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    const Value& operator*() const { return owner_->current_; }
    const Value* operator->() const { return &owner_->current_; }
    iterator& operator++() {
      owner_->Advance();
      return *this;
    }
    void operator++(int) { owner_->Advance(); }
    friend bool operator==(const iterator& it, std::default_sentinel_t) { return it.AtEnd(); }

   private:
    friend class OleItems;
    explicit iterator(OleItems* owner) : owner_(owner) {}
    bool AtEnd() const { return !owner_ || owner_->done_; }
    OleItems* owner_ = nullptr;
  };

  // Starts the iteration on the first call.
  iterator begin();
  std::default_sentinel_t end() const { return {}; }

 private:
  void Start();
  void Advance();
  void Finish();

  Value object_;
  Value current_;
  Value previousEnumerator_;
  void* enumerator_ = nullptr;  // IEnumVARIANT*
  std::size_t byte_ = 0;        // VTArrayWrapper: the next byte (0-based)
  bool bytes_ = false;
  bool started_ = false;
  bool done_ = false;
};

// Calls body with each item (see OleItems); returns the number of items.
std::size_t ForEachOle(const Value& object, const std::function<void(const Value&)>& body);

// A typed view of an automation object: its own members (the server's
// members are late bound: send them by name).
class TOleAutoRef : public ObjectRef {
  ZV_VIEW_CLASS(TOleAutoRef, ObjectRef, TOleAutoClass)
  ZV_VIEW_MEMBERS(ZV_TOLEAUTO_MEMBERS)
};

}  // namespace zv
