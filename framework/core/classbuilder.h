// The class builder: how every framework class is declared.
//
// Besides ordinary data members and methods a class declares properties (a
// value with a default, stored in the protected member "F" + name, read with
// the message name and written with "_" + name, optionally through a custom
// getter or setter), events (late-bound notifications that user code binds to
// a method of the object making the assignment, by name, or to a callable)
// and components (public members that hold child components).
//
// Framework classes are declared through a declaration table (see
// framework/core/declare.h), which calls this builder; user classes call it
// directly:
//
//   zv::QVClass b("TCounter", {zv::TComponentClass()});
//   b.AddProperty({.name = "nCount", .dflt = 0, .setter = "SetCount"});
//   b.AddEvent("OnChange", zv::kPublished, "oSender, nNew");
//   b.Method("SetCount", &SetCount);
//   zv::Class* cls = b.Create();
//
// An accessor named by method name must be a method of the class when it is
// finished: Create() raises an error for one that is not.
//
// Each finished class carries the class-wide lists aProperties (property
// descriptors, ten fields each) and aEvents (event descriptors: name,
// parameter description, visibility), inherited entries included.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/names.h"
#include "runtime/runtime.h"

namespace zv {

// A property getter or setter: none, a C++ method, the name of a method of
// the class (resolved when the class is finished), or a callable (receiving
// the object first, and the value for a setter).
class Accessor {
 public:
  Accessor() = default;
  Accessor(NativeFn fn) : v_(Value::Pointer(reinterpret_cast<const void*>(fn))) {}
  Accessor(const char* methodName) : v_(methodName) {}
  Accessor(std::string_view methodName) : v_(methodName) {}
  Accessor(Symbol methodName) : v_(std::string_view(methodName.name())) {}
  Accessor(Value v) : v_(std::move(v)) {}
  const Value& value() const { return v_; }

 private:
  Value v_;
};

// The ten fields of a property declaration. Absent fields (absent values,
// empty accessors) are taken from an inherited declaration of the same name.
struct PropertyDecl {
  std::string_view name{};
  Value dflt{};                      // initial value
  Value valueClass{};                // "TFont" ... or absent
  std::uint16_t visibility = kPublished;
  bool readOnly = false;
  Accessor getter{};
  Accessor setter{};
  Value spare{};
  Value editor{};                    // design-time editor kind ("PE_Color" ...)
  Value valueNames{};                // list of {symbolic name, value}
};

// Positions of the fields of a property descriptor (1-based, as in the list).
enum PropertyField : std::size_t {
  kPropName = 1, kPropDefault, kPropValueClass, kPropVisibility, kPropReadOnly,
  kPropGetter, kPropSetter, kPropSpare, kPropEditor, kPropValueNames
};

constexpr std::size_t kMaxPropertyName = 62;

class QVClass {
 public:
  static constexpr std::string_view kClassName = "QVClass";

  // Starts a class derived from the listed class (exactly one; none means
  // the root class).
  QVClass(std::string_view className, std::initializer_list<Class*> parents = {});
  QVClass(const QVClass&) = delete;
  QVClass& operator=(const QVClass&) = delete;

  // Ordinary members.
  QVClass& Data(std::string_view name, Value init = {}, std::uint16_t visibility = kPublic,
                std::string_view type = {});
  QVClass& ClassData(std::string_view name, Value init = {}, std::uint16_t visibility = kPublic);
  QVClass& Method(std::string_view name, NativeFn fn, std::uint16_t visibility = kPublic);
  QVClass& Constructor(std::string_view name, NativeFn fn, std::uint16_t visibility = kPublic);
  QVClass& Inline(std::string_view name, Value callable, std::uint16_t visibility = kPublic);
  QVClass& Abstract(std::string_view name, std::uint16_t visibility = kPublic);
  // A native that also runs from a C++ structure (see Method::packetFn): a
  // send with argument values runs fn, the framework's own dispatch runs
  // packet; both call target.
  QVClass& Handler(std::string_view name, NativeFn fn, Method::PacketFn packet, const void* target,
                   std::uint16_t visibility = kPublic);
  QVClass& Destructor(DestructorFn fn);
  QVClass& OnUndefined(UndefinedFn fn);

  // Declares or re-declares a property (see the merging rules in the .cpp).
  QVClass& AddProperty(const PropertyDecl& p);
  // Declares or re-declares an event; an absent description keeps the
  // inherited one.
  QVClass& AddEvent(std::string_view name, std::uint16_t visibility = kPublished, Value params = {});
  // Declares a public member that holds a child component.
  QVClass& AddComponent(std::string_view name, std::string_view type = {});

  // Finishes the class. The builder cannot be used afterwards.
  Class* Create();

  const std::string& cClassName() const { return name_; }
  const Value& aProperties() const { return aProperties_; }
  const Value& aEvents() const { return aEvents_; }

 private:
  struct ReadWrite {
    std::string message;
    std::string method;  // upper case
    std::uint16_t visibility;
    bool setter;         // the send yields the value written
  };
  bool Check(bool ok, std::string_view operation, std::string_view what);
  void InstallAccessor(const std::string& message, const Value& accessor, std::uint16_t visibility,
                       std::uint32_t slot, bool setter);

  std::string name_;
  ClassDecl decl_;
  Value aProperties_;
  Value aEvents_;
  std::vector<ReadWrite> aReadWrite_;
  bool created_ = false;
};

// The public class over an implementation class: "TForm" over "QForm",
// adding nothing but its own name.
Class* DeclarePublicClass(std::string_view publicName, Class* implementation);

// Class queries. A class may be given as a Class*, a class name or an object;
// an absent or unknown class gives empty lists.
Value QV_GETCLASSPROPERTIES(const Value& cls);   // property names, in list order
Value QV_GETCLASSEVENTS(const Value& cls);       // event names
Value GETPROPERTIES(const Value& cls);           // copy of the descriptor list
Value GETEVENTS(const Value& cls);
Class* ClassOf(const Value& cls);
Value ClassValue(Class* c);                      // a Class* as a value (a pointer)

// The debugger flag: when set, components are listed as pseudo-properties.
bool ISDEBUG();
void SetDebug(bool on);

// Event protocol: the generic event setter and caller of every event, and
// the query whether an object's event has a handler.
Value QV_SETEVENT(Object& self, Args args);
Value QV_CALLEVENT(Object& self, Args args);
bool EventAssigned(Object& self, std::string_view eventName);
// Binds an event from C++ with an explicit owner: the event then sends
// `method` to `owner` (which must answer it), as a binding by name made
// inside a method of the owner does. A callable target binds the callable
// (method is ignored); an absent one clears the event. False, and nothing
// bound, when the object has no such event or the owner does not answer
// the method.
bool BindEvent(Object& self, Symbol event, const Value& target, Symbol method = {});

}  // namespace zv
