// Classes, objects and message send.
//
// A class is declared at run time (ClassDecl), with single inheritance, data
// members (per instance or class-wide) with initial values, methods bound to
// C++ functions, inline methods (callables that receive the object first) and
// abstract methods. A message is sent by name (case-insensitive); each class
// keeps a flat table from interned name to method, inherited entries
// included, so a send is one hash probe and never compares strings.
//
// Data members are reached by messages too: "nLeft" reads the member and
// "_nLeft" (the assignment form) writes it.
//
// Visibility codes: 1 public, 2 published, 4 protected (methods of the
// declaring class and of its subclasses, on an object of such a class), 8
// hidden (methods of the declaring class only); flags 16 constructor, 32
// read-only (a member readable from anywhere but assignable only from inside,
// as for protected), 64 class-wide.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/callstack.h"
#include "runtime/source_location.h"
#include "runtime/value.h"

namespace zv {

enum Visibility : std::uint16_t {
  kPublic = 1,
  kPublished = 2,
  kProtected = 4,
  kHidden = 8,
  kConstructor = 16,
  kReadOnly = 32,
  kClassWide = 64,
};

// A C++ method: receives the object and the arguments.
using NativeFn = Value (*)(Object& self, Args args);
// Handler of messages that a class does not define.
using UndefinedFn = Value (*)(Object& self, Symbol message, Args args);
// Run when an object of the class goes away (most-derived class first).
using DestructorFn = void (*)(Object& self);

// A message with the place in C++ where it is sent (recorded in the call
// stack for error reports).
struct Msg {
  Msg(Symbol s, SourceLocation at = SourceLocation::current()) : sym(s), where(at) {}
  Msg(SetterSymbol s, SourceLocation at = SourceLocation::current()) : sym(s.symbol()), where(at) {}
  Msg(const char* name, SourceLocation at = SourceLocation::current())
      : sym(name), where(at) {}
  Msg(std::string_view name, SourceLocation at = SourceLocation::current())
      : sym(name), where(at) {}
  Msg(const std::string& name, SourceLocation at = SourceLocation::current())
      : sym(std::string_view(name)), where(at) {}
  Symbol sym;
  SourceLocation where;
};

struct Method {
  enum class Kind : std::uint8_t {
    Native,     // fn
    Inline,     // block (a callable receiving the object first)
    Abstract,   // declared, empty until overridden; calling it returns absent
    SlotGet,    // reads slot
    SlotSet,    // writes slot
    ClassGet,   // reads the class-wide cell
    ClassSet,   // writes the class-wide cell
    ExtraGet,   // member added at run time: reads the object's extra member
    ExtraSet,
  };
  Kind kind = Kind::Native;
  std::uint16_t visibility = kPublic;
  Symbol name;
  Class* owner = nullptr;         // the declaring class
  NativeFn fn = nullptr;
  Value block;                    // Inline: the callable; ExtraGet: the initial value
  std::uint32_t slot = 0;         // SlotGet/SlotSet, or free for natives to use
  std::shared_ptr<Value> cell;    // ClassGet/ClassSet
  Value data;                     // free for the declaring code (e.g. a method name)
  // A property setter: the send yields the value written (the first
  // argument), whatever the setter itself returns.
  bool yieldsArgument = false;
  // A native that also takes its arguments as one C++ structure (a window
  // message handler takes the message unpacked): packetFn runs it from such
  // a structure without building argument values (see InvokePacket);
  // `target` is the typed function that packetFn and fn both call.
  using PacketFn = Value (*)(Object& self, const Method& m, const void* packet);
  PacketFn packetFn = nullptr;
  const void* target = nullptr;
  // True when running the method is a call frame of its own (natives and
  // inline methods); accessors run without one.
  bool HasFrame() const { return kind == Kind::Native || kind == Kind::Inline; }
};

// Flat table from symbol id to method (open addressing).
class MethodTable {
 public:
  const Method* Find(Symbol s) const noexcept {
    if (mask_ == 0) return nullptr;
    std::uint32_t i = Hash(s.id()) & mask_;
    for (;;) {
      const Slot& e = slots_[i];
      if (e.id == s.id()) return e.m;
      if (e.id == 0) return nullptr;
      i = (i + 1) & mask_;
    }
  }
  void Put(Symbol s, const Method* m);
  template <typename F>
  void ForEach(F&& f) const {
    for (const Slot& e : slots_)
      if (e.id) f(Symbol(), e.m);
  }
  std::vector<const Method*> All() const;
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::uint32_t id = 0;
    const Method* m = nullptr;
  };
  // Symbol ids are handed out in sequence, so their low bits already spread
  // evenly over the table.
  static std::uint32_t Hash(std::uint32_t id) { return id; }
  void Grow();
  std::vector<Slot> slots_;
  std::uint32_t mask_ = 0;
  std::size_t count_ = 0;
};

// Description of a data member.
struct DataMember {
  Symbol name;
  std::uint32_t slot = 0;
  Value init;
  std::uint16_t visibility = kPublic;
  Class* owner = nullptr;
  std::string type;  // the declared value type or class ("TFont", "ARRAY" ...), may be empty
  std::shared_ptr<Value> cell;  // class-wide members only
  bool classWide() const { return cell != nullptr; }
};

class Class {
 public:
  const std::string& Name() const { return name_; }
  Class* Parent() const { return parent_; }
  bool IsDerivedFrom(const Class* other) const noexcept;
  bool IsDerivedFrom(std::string_view className) const noexcept;
  std::uint32_t InstanceSize() const { return size_; }

  const Method* FindMethod(Symbol s) const noexcept { return table_.Find(s); }
  bool HasMessage(Symbol s) const noexcept { return table_.Find(s) != nullptr; }
  // Data member by name, inherited ones included (nullptr if none).
  const DataMember* FindData(Symbol s) const;
  const std::vector<DataMember>& Data() const { return data_; }
  std::vector<const Method*> Methods() const { return table_.All(); }
  UndefinedFn Undefined() const { return undefined_; }
  bool Finished() const { return finished_; }
  // The class-wide value of a member (declared with kClassWide).
  Value ClassValue(Symbol s) const;
  void SetClassValue(Symbol s, Value v);

  // Adds an instance data member to a finished class, at run time: every
  // object of the class and of its subclasses, existing ones included, then
  // answers "name" and "_name". The value lives beside the object's slots.
  void AddMemberAtRunTime(Symbol name, Value init, std::uint16_t visibility = kPublic);
  // Adds or replaces a method of a finished class (and of subclasses that do
  // not define the message themselves).
  void AddMethodAtRunTime(std::unique_ptr<Method> m);

  // Registry of declared classes by name (any case).
  static Class* Find(std::string_view name);
  // Whether a pointer is one of the finished classes (a pointer value that
  // claims to be a class is checked with this before it is used as one).
  static bool IsClass(const void* p);

 private:
  friend class ClassDecl;
  friend class Object;
  Class() = default;
  void Install(Symbol s, const Method* m, bool overrideOwn);

  std::string name_;
  Class* parent_ = nullptr;
  std::vector<Class*> children_;
  std::vector<DataMember> data_;                   // all members, inherited first
  std::vector<Value> init_;                        // initial slot values
  std::vector<std::uint8_t> cloneInit_;            // slot's initial list is copied per object
  std::uint32_t size_ = 0;
  MethodTable table_;
  std::vector<std::unique_ptr<Method>> own_;
  UndefinedFn undefined_ = nullptr;
  std::vector<DestructorFn> destructors_;          // most-derived first
  bool finished_ = false;
};

// Declares a class. Members are declared in order; re-declaring a data member
// keeps its slot and replaces its initial value and visibility; re-declaring a
// message overrides it.
class ClassDecl {
 public:
  ClassDecl(std::string_view name, Class* parent);
  ClassDecl(const ClassDecl&) = delete;
  ~ClassDecl();

  // An instance data member; returns its slot.
  std::uint32_t AddData(std::string_view name, Value init = {}, std::uint16_t visibility = kPublic,
                        std::string_view type = {});
  // A class-wide data member (one value for the class and its subclasses
  // until a subclass declares it again).
  void AddClassData(std::string_view name, Value init = {}, std::uint16_t visibility = kPublic);
  Method& AddMethod(std::string_view name, NativeFn fn, std::uint16_t visibility = kPublic);
  Method& AddInline(std::string_view name, Value callable, std::uint16_t visibility = kPublic);
  Method& AddAbstract(std::string_view name, std::uint16_t visibility = kPublic);
  // A message answered by an accessor of a slot (e.g. a second name for a member).
  Method& AddSlotGetter(std::string_view name, std::uint32_t slot, std::uint16_t visibility);
  Method& AddSlotSetter(std::string_view name, std::uint32_t slot, std::uint16_t visibility);
  // Slots that belong to no named member (the builder puts event slots there).
  std::uint32_t ReserveSlots(std::uint32_t n);
  void SetUndefinedHandler(UndefinedFn fn);
  void AddDestructor(DestructorFn fn);

  // The message's method as declared so far (inherited or own), or nullptr.
  const Method* Find(std::string_view name) const;
  const DataMember* FindData(std::string_view name) const;
  std::uint32_t InstanceSize() const;
  const std::string& Name() const;
  Class* Parent() const;

  // Finishes the class; afterwards it can be instantiated. The declaration
  // cannot be used again.
  Class* Finish();

 private:
  Method& Own(std::unique_ptr<Method> m);
  std::unique_ptr<Class> cls_;
};

// An object: an instance of a class with one slot per data member.
class Object final : public GcObject {
 public:
  // A new object of a finished class, its members set to their initial
  // values (lists are copied, so objects never share an initial list). No
  // constructor runs: send it New or Create.
  static Value New(Class* cls);

  Class* GetClass() const noexcept { return cls_; }
  const std::string& ClassName() const noexcept;
  std::uint32_t SlotCount() const noexcept { return nslots_; }
  Value& Slot(std::uint32_t i) noexcept { return slots()[i]; }
  const Value& Slot(std::uint32_t i) const noexcept { return const_cast<Object*>(this)->slots()[i]; }
  // Members added at run time (Class::AddMemberAtRunTime).
  Value* Extra(Symbol s) noexcept;
  void SetExtra(Symbol s, Value v);

  template <typename... A>
  Value Send(Msg m, A&&... args);

  static void operator delete(void* p) { ::operator delete(p); }

 private:
  explicit Object(Class* cls) noexcept;
  ~Object() override;
  void Traverse(const GcVisitor& visit) override;
  void ClearRefs() noexcept override;
  void Finalize() noexcept override;

  Class* cls_;
  std::uint32_t nslots_;
  bool finalized_ = false;
  // Members added at run time, by symbol id (hashed: a program may add
  // thousands of them to one object).
  std::unique_ptr<std::unordered_map<std::uint32_t, Value>> extra_;
  // The slots are stored just past the object.
  Value* slots() noexcept { return reinterpret_cast<Value*>(this + 1); }
};

// The root class of the runtime: ClassName and IsDerivedFrom.
Class* RootClass();

// --- message send

// Sends m to a value. A message that the receiver's class does not define
// goes to the class's handler of undefined messages, else raises error 13
// (sub-code 1004, or 1005 for an assignment "_name") whose operation is the
// message name; a message sent to a value that is not an object raises the
// same error. Visibility is enforced against the innermost executing method.
inline Value Send(const Value& receiver, const Msg& m, Args args);
// The same without the visibility check: for the framework's own dispatch
// (window procedure, event calls), which calls methods on an object's behalf.
inline Value SendUnchecked(const Value& receiver, const Msg& m, Args args);
// The send as code outside the receiver's class makes it, whatever method
// is running: protected, hidden and read-only members are refused (a method
// that acts on its caller's behalf uses it, so that it does not lend the
// caller its own access).
Value SendFromOutside(const Value& receiver, const Msg& m, Args args);
// Runs the parent-class version of the executing method (or of the named
// message) on self: the method is looked up in the parent of the class that
// declared the innermost executing method.
Value Super(Object& self, const Msg& m, Args args);
// The method Super would run, or nullptr.
const Method* SuperMethod(Object& self, Symbol message);
// Calls a callable with arguments (a frame that event-owner lookups skip).
Value CallValue(const Value& callable, Args args);
// Runs a specific method on an object (no lookup).
Value Invoke(Object& self, const Method& method, Args args, const SourceLocation& where);
// Runs a method that takes a structure (method.packetFn set) with one, in a
// call frame of its own as any native.
Value InvokePacket(Object& self, const Method& method, const void* packet);

namespace detail {
Value SendSlow(const Value& receiver, const Msg& m, Args args, bool checked);
Value RunMethod(Object& o, const Method& meth, Args args);

// The common case inline: a public message of an object. Everything else
// (undefined messages, scope checks, errors) takes the out-of-line path.
// The method of a message that may run at once, or nullptr.
inline const Method* FastMethod(const Object* o, Symbol s, bool checked) noexcept {
  const Method* meth = o->GetClass()->FindMethod(s);
  // A restricted member is always open to the object's own running methods
  // (the method was found in the object's class, so that class derives from
  // the member's), except a hidden one, which only its declaring class sees.
  if (meth && (!checked || !(meth->visibility & (kProtected | kHidden | kReadOnly)) ||
               (!(meth->visibility & kHidden) && detail::g_topFrame && detail::g_topFrame->self == o)))
    return meth;
  return nullptr;
}

inline Value RunFast(Object* o, const Method* meth, const Msg& m, Args args) {
  CallStack::SetLine(m.where.line());
  if (meth->slot < o->SlotCount()) {
    if (meth->kind == Method::Kind::SlotGet) return o->Slot(meth->slot);
    if (meth->kind == Method::Kind::SlotSet) {
      Value v = args.empty() ? Value() : args.raw(0).Deref();
      o->Slot(meth->slot) = v;
      return v;
    }
  }
  return RunMethod(*o, *meth, args);
}

inline Value SendFast(const Value& receiver, const Msg& m, Args args, bool checked) {
  if (receiver.kind() == Kind::Object) {
    Object* o = static_cast<Object*>(receiver.heap());
    if (const Method* meth = FastMethod(o, m.sym, checked)) return RunFast(o, meth, m, args);
  }
  return SendSlow(receiver, m, args, checked);
}
}  // namespace detail

inline Value Send(const Value& receiver, const Msg& m, Args args) {
  return detail::SendFast(receiver, m, args, true);
}
inline Value SendUnchecked(const Value& receiver, const Msg& m, Args args) {
  return detail::SendFast(receiver, m, args, false);
}
// The same, to an object held by reference (no value is made for it).
inline Value Send(Object& receiver, const Msg& m, Args args) {
  if (const Method* meth = detail::FastMethod(&receiver, m.sym, true)) return detail::RunFast(&receiver, meth, m, args);
  return detail::SendSlow(Value(&receiver), m, args, true);
}
inline Value SendUnchecked(Object& receiver, const Msg& m, Args args) {
  if (const Method* meth = detail::FastMethod(&receiver, m.sym, false))
    return detail::RunFast(&receiver, meth, m, args);
  return detail::SendSlow(Value(&receiver), m, args, false);
}

template <typename... A>
inline Value Value::Send(Msg m, A&&... args) const {
  if constexpr (sizeof...(A) == 0) {
    return zv::Send(*this, m, Args());
  } else {
    Value argv[] = {Value(std::forward<A>(args))...};
    return zv::Send(*this, m, Args(argv, sizeof...(A)));
  }
}

template <typename... A>
inline Value Value::Call(A&&... args) const {
  if constexpr (sizeof...(A) == 0) {
    return CallValue(*this, Args());
  } else {
    Value argv[] = {Value(std::forward<A>(args))...};
    return CallValue(*this, Args(argv, sizeof...(A)));
  }
}

template <typename... A>
inline Value Object::Send(Msg m, A&&... args) {
  return Value(this).Send(m, std::forward<A>(args)...);
}

// Sends with the arguments in a vector.
Value SendList(const Value& receiver, const Msg& m, std::vector<Value>& args);

}  // namespace zv
