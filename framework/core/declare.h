// Declaration tables: how a framework class is written.
//
// Each class has one table, an X-macro beside the class, that lists its
// members. The table is the single source of the class's registration
// through the class builder (ZV_REGISTER_MEMBERS) and of its typed view
// (ZV_VIEW_MEMBERS), so the two cannot drift apart; its names are the
// symbol constants of framework/core/names.h, so a misspelled name does not
// compile. One row per member, in registration order:
//
//   X(PROPERTY,   type, name, builder fields...)  property; view reads and writes
//   X(PROPERTY_R, type, name, builder fields...)  property; view only reads
//   X(PROPERTY_P, type, name, builder fields...)  protected property; no view
//   X(DATA,       type, name[, initial value])    public data member
//   X(DATA_R,     type, name[, initial value])    public, read-only from outside
//   X(DATA_P,     type, name[, initial value])    protected data member; no view
//   X(DATA_H,     type, name[, initial value])    hidden data member; no view
//   X(DATA_PUB,   type, name[, initial value])    published data member
//   X(COMPONENT,  type, name[, "TYPE"])           public member holding a child
//                                                 component (an object, or a value
//                                                 of the named type: "ARRAY")
//   X(EVENT,      name[, "parameter description"])  published event
//   X(EVENT_PUBLIC, name[, "parameter description"])
//   X(CONSTRUCTOR, name, function)
//   X(METHOD,     name, function)                 public method
//   X(METHOD_PUB, name, function)                 published method
//   X(METHOD_P,   name, function)                 protected method; no view
//   X(METHOD_NV,  name, function)                 public method without a view
//                                                 member (a name that is a C++
//                                                 type of views, such as Value)
//   X(SETTER,     name, function)                 the assignment message "_name"
//                                                 of a member the class computes
//   X(ABSTRACT,   name)   X(ABSTRACT_P, name)     empty until overridden
//   X(HANDLER,    name, function)                 window-message handler taking its
//                                                 message unpacked (see
//                                                 framework/window/messages.h); no view
//
// The builder fields of a property are PropertyDecl's, in its order
// (.dflt, .valueClass, .visibility, .readOnly, .getter, .setter, .editor,
// .valueNames); accessors are symbols of methods of the class
// (.setter = sym::SetLeft) or C++ functions. The view type of a member is a
// C++ type: bool, int, long long, double, std::string, Value, or a view.
//
//   #define ZV_TCOUNTER_MEMBERS(X)   (each row but the last ends in a backslash)
//     X(PROPERTY, int, nCount, .dflt = 0, .setter = sym::SetCount)
//     X(EVENT, OnChange, "oSender, nNew")
//     X(METHOD, SetCount, &SetCount)
//
//   // registration (in the .cpp, where SetCount is defined)
//   QVClass b("TCounter", {TComponentClass()});
//   ZV_REGISTER_MEMBERS(b, ZV_TCOUNTER_MEMBERS);
//
//   // view (in the header)
//   class TCounterRef : public TComponentRef {
//     ZV_VIEW_CLASS(TCounterRef, TComponentRef, TCounterClass)
//     ZV_VIEW_MEMBERS(ZV_TCOUNTER_MEMBERS)
//   };
//   TCounterRef c(value);  c.nCount(3);  c.OnChange().Bind(form, sym::CounterChanged);
#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "framework/core/classbuilder.h"
#include "framework/core/names.h"

// ---------------------------------------------------------------- registration

#define ZV_REGISTER_MEMBERS(builder, TABLE) \
  do {                                      \
    ::zv::QVClass& zv_b_ = (builder);       \
    TABLE(ZV_REG_MEMBER_)                   \
  } while (0)

#define ZV_REG_MEMBER_(kind, ...) ZV_REG_##kind(__VA_ARGS__)
#define ZV_REG_PROPERTY(type, member, ...) zv_b_.AddProperty({.name = ::zv::sym::member.name(), __VA_ARGS__});
#define ZV_REG_PROPERTY_R ZV_REG_PROPERTY
#define ZV_REG_PROPERTY_P ZV_REG_PROPERTY
#define ZV_REG_DATA(type, member, ...) zv_b_.Data(::zv::sym::member.name(), ::zv::Value(__VA_ARGS__), ::zv::kPublic);
#define ZV_REG_DATA_R(type, member, ...) \
  zv_b_.Data(::zv::sym::member.name(), ::zv::Value(__VA_ARGS__), ::zv::kPublic | ::zv::kReadOnly);
#define ZV_REG_DATA_P(type, member, ...) \
  zv_b_.Data(::zv::sym::member.name(), ::zv::Value(__VA_ARGS__), ::zv::kProtected);
#define ZV_REG_DATA_H(type, member, ...) zv_b_.Data(::zv::sym::member.name(), ::zv::Value(__VA_ARGS__), ::zv::kHidden);
#define ZV_REG_DATA_PUB(type, member, ...) \
  zv_b_.Data(::zv::sym::member.name(), ::zv::Value(__VA_ARGS__), ::zv::kPublished);
#define ZV_REG_COMPONENT(type, member, ...) zv_b_.AddComponent(::zv::sym::member.name() __VA_OPT__(, ) __VA_ARGS__);
#define ZV_REG_EVENT_PUBLIC(member, ...) \
  zv_b_.AddEvent(::zv::sym::member.name(), ::zv::kPublic, ::zv::Value(__VA_ARGS__));
#define ZV_REG_METHOD_PUB(member, fn) zv_b_.Method(::zv::sym::member.name(), fn, ::zv::kPublished);
#define ZV_REG_EVENT(member, ...) zv_b_.AddEvent(::zv::sym::member.name(), ::zv::kPublished, ::zv::Value(__VA_ARGS__));
#define ZV_REG_CONSTRUCTOR(member, fn) zv_b_.Constructor(::zv::sym::member.name(), fn);
#define ZV_REG_METHOD(member, fn) zv_b_.Method(::zv::sym::member.name(), fn);
#define ZV_REG_METHOD_P(member, fn) zv_b_.Method(::zv::sym::member.name(), fn, ::zv::kProtected);
#define ZV_REG_METHOD_NV ZV_REG_METHOD
#define ZV_REG_SETTER(member, fn) zv_b_.Method(::zv::sym::set::member.symbol().name(), fn);
#define ZV_REG_ABSTRACT(member) zv_b_.Abstract(::zv::sym::member.name());
#define ZV_REG_ABSTRACT_P(member) zv_b_.Abstract(::zv::sym::member.name(), ::zv::kProtected);
#define ZV_REG_HANDLER(member, fn) ::zv::AddHandler(zv_b_, ::zv::sym::member, fn);

// ---------------------------------------------------------------- views

#define ZV_VIEW_MEMBERS(TABLE) TABLE(ZV_VIEW_MEMBER_)

#define ZV_VIEW_MEMBER_(kind, ...) ZV_VIEW_##kind(__VA_ARGS__)
#define ZV_VIEW_PROPERTY(type, member, ...)                                                       \
  type member() const { return this->template ReadMember<type>(::zv::sym::member); }                    \
  void member(const type& v) const { this->WriteMember(::zv::sym::set::member, v); }
#define ZV_VIEW_PROPERTY_R(type, member, ...) \
  type member() const { return this->template ReadMember<type>(::zv::sym::member); }
#define ZV_VIEW_PROPERTY_P(...)
#define ZV_VIEW_DATA ZV_VIEW_PROPERTY
#define ZV_VIEW_DATA_R ZV_VIEW_PROPERTY_R
#define ZV_VIEW_DATA_PUB ZV_VIEW_PROPERTY
#define ZV_VIEW_COMPONENT ZV_VIEW_PROPERTY
#define ZV_VIEW_EVENT_PUBLIC ZV_VIEW_EVENT
#define ZV_VIEW_METHOD_PUB ZV_VIEW_METHOD
#define ZV_VIEW_DATA_P(...)
#define ZV_VIEW_DATA_H(...)
#define ZV_VIEW_EVENT(member, ...) \
  ::zv::EventRef member() const { return this->Event(::zv::sym::member, ::zv::sym::set::member); }
#define ZV_VIEW_METHOD(member, ...)                                  \
  template <typename... A>                                           \
  ::zv::Value member(A&&... a) const {                               \
    return this->Call(::zv::sym::member, std::forward<A>(a)...);     \
  }
#define ZV_VIEW_CONSTRUCTOR ZV_VIEW_METHOD
#define ZV_VIEW_ABSTRACT ZV_VIEW_METHOD
#define ZV_VIEW_SETTER(...)
#define ZV_VIEW_METHOD_P(...)
#define ZV_VIEW_METHOD_NV(...)
#define ZV_VIEW_ABSTRACT_P(...)
#define ZV_VIEW_HANDLER(...)

// The opening of a view class: constructors (those of ObjectRef) and the
// class the view is written for.
#define ZV_VIEW_CLASS(View, Base, classFn)                  \
 public:                                                    \
  using ViewBase = Base;                                    \
  using ViewBase::ViewBase;                                 \
  static ::zv::Class* ViewClass() { return classFn(); }

namespace zv {

class ObjectRef;

template <typename T>
inline constexpr bool kIsView = std::is_base_of_v<ObjectRef, T>;

// Conversions between values and the C++ types of views.
template <typename T>
T FromValue(const Value& v) {
  if constexpr (std::is_same_v<T, Value>) return v;
  else if constexpr (std::is_same_v<T, bool>) return v.AsBool();
  else if constexpr (std::is_integral_v<T>) return static_cast<T>(v.AsInt());
  else if constexpr (std::is_floating_point_v<T>) return static_cast<T>(v.AsDouble());
  else if constexpr (std::is_same_v<T, std::string>) return v.AsString();
  else if constexpr (kIsView<T>) return T(v.AsObject());
  else static_assert(sizeof(T) == 0, "no conversion from a value to this type");
}

template <typename T>
Value ToValue(const T& v) {
  if constexpr (kIsView<T>) return v.value();
  else return Value(v);
}

// An event of an object, seen from C++.
class EventRef {
 public:
  EventRef(Object* source, Symbol fire, SetterSymbol assign) : o_(source), fire_(fire), assign_(assign) {}
  // By method name, as user code binds (the owner is the object whose method
  // is running).
  void Bind(const char* methodName) const { SendTo(Msg(assign_), Value(methodName)); }
  // With an explicit owner: the owner's method `method`, or a C++ function
  // run on the owner (receiving the sender and the event's arguments).
  bool Bind(const Value& owner, Symbol method) const { return o_ && BindEvent(*o_, fire_, owner, method); }
  bool Bind(const Value& owner, NativeFn fn) const;
  // A C++ object and one of its member functions (receiving the sender and
  // the event's arguments); the object must outlive the binding.
  template <typename T>
  bool Bind(T* owner, Value (T::*fn)(Args)) const {
    return o_ && BindEvent(*o_, fire_, Value::Callable([owner, fn](Args a) { return (owner->*fn)(a); }));
  }
  // A callable, or an absent value to clear the event.
  bool Bind(const Value& callable) const { return o_ && BindEvent(*o_, fire_, callable); }
  void Clear() const { Bind(Value()); }
  bool Assigned() const { return o_ && EventAssigned(*o_, fire_.name()); }
  // Fires the event (the sender is added in front of the arguments).
  template <typename... A>
  Value operator()(A&&... a) const {
    return SendTo(Msg(fire_), ToValue(std::forward<A>(a))...);
  }

 private:
  template <typename... V>
  Value SendTo(const Msg& m, V&&... v) const {
    if (!o_) return {};
    Value argv[] = {Value(), std::forward<V>(v)...};
    return Send(*o_, m, Args(argv + 1, sizeof...(V)));
  }
  Object* o_;
  Symbol fire_;
  SetterSymbol assign_;
};

// The base of every view: a non-owning reference to an object. It does not
// keep the object alive (whoever made the view holds the value), and it is
// not made from a temporary value for that reason.
class ObjectRef {
 public:
  ObjectRef() = default;
  ObjectRef(const Value& v) : o_(v.AsObject()) {}
  ObjectRef(Value&&) = delete;  // the object would go with the temporary: hold the value first
  ObjectRef(Object& o) : o_(&o) {}
  explicit ObjectRef(Object* o) : o_(o) {}

  Object* object() const { return o_; }
  Value value() const { return Value(o_); }
  explicit operator bool() const { return o_ != nullptr; }
  // Whether the object is of the class (or derived from it).
  bool IsA(const Class* c) const { return o_ && c && o_->GetClass()->IsDerivedFrom(c); }
  // Any message, by symbol (for members a view does not list).
  template <typename... A>
  Value Send(Msg m, A&&... a) const {
    return Call(m, std::forward<A>(a)...);
  }

 protected:
  template <typename T>
  T ReadMember(Symbol member) const {
    return FromValue<T>(Call(member));
  }
  template <typename T>
  void WriteMember(SetterSymbol setter, const T& v) const {
    Call(Msg(setter), ToValue(v));
  }
  template <typename... A>
  Value Call(const Msg& m, A&&... a) const {
    if (!o_) return zv::Send(Value(), m, Args());  // the runtime's error for a message to no object
    if constexpr (sizeof...(A) == 0) {
      return zv::Send(*o_, m, Args());
    } else {
      Value argv[] = {ToValue(std::forward<A>(a))...};
      return zv::Send(*o_, m, Args(argv, sizeof...(A)));
    }
  }
  EventRef Event(Symbol fire, SetterSymbol assign) const { return EventRef(o_, fire, assign); }

 private:
  Object* o_ = nullptr;
};

inline bool EventRef::Bind(const Value& owner, NativeFn fn) const {
  Object* ow = owner.AsObject();
  if (!o_ || !ow || !fn) return false;
  for (const Method* m : ow->GetClass()->Methods())
    if (m->kind == Method::Kind::Native && m->fn == fn) return BindEvent(*o_, fire_, owner, m->name);
  return BindEvent(*o_, fire_, Value::Closure({owner}, [fn](Args a, std::span<const Value> bound) -> Value {
                     Object* self = bound[0].AsObject();
                     return self ? fn(*self, a) : Value();
                   }));
}

}  // namespace zv
