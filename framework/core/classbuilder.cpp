#include "framework/core/classbuilder.h"

namespace zv {
namespace {

bool g_debug = false;

Value Field(const Value& descriptor, std::size_t i) { return descriptor.Item(i); }

// Index (1-based) of the descriptor named `name` in a list, 0 when absent.
std::size_t FindNamed(const Value& list, std::string_view name) {
  const auto& items = list.AsList().items;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (SameName(items[i].Item(1).AsString(), name)) return i + 1;
  return 0;
}

Value CopyList(const Value& list, std::size_t reserveMore) {
  std::vector<Value> items;
  if (list.IsList()) {
    items.reserve(list.AsList().items.size() + reserveMore);
    items = list.AsList().items;
  }
  items.reserve(items.size() + reserveMore);
  return Value::List(std::move(items));
}

bool IsAccessorValue(const Value& v) { return v.IsNil() || v.IsString() || v.IsCallable() || v.IsPointer(); }

NativeFn AsNative(const Value& v) { return reinterpret_cast<NativeFn>(const_cast<void*>(v.AsPointer())); }

// The slot pair of an event, from its caller method in an object's class.
const Method* EventMethod(const Class* c, std::string_view eventName) {
  const Method* m = c->FindMethod(Symbol(eventName));
  return (m && m->kind == Method::Kind::Native && m->fn == &QV_CALLEVENT) ? m : nullptr;
}

}  // namespace

bool ISDEBUG() { return g_debug; }
void SetDebug(bool on) { g_debug = on; }

// ------------------------------------------------------------------ builder

QVClass::QVClass(std::string_view className, std::initializer_list<Class*> parents)
    : name_(className),
      decl_(className, parents.size() ? *(parents.end() - 1) : nullptr) {
  // Several parents would need multiple inheritance, which the runtime does
  // not have: the last one is the parent (its lists are the ones taken).
  Check(parents.size() <= 1, "New", "a class has exactly one parent class");
  Class* parent = decl_.Parent();
  aProperties_ = CopyList(parent ? parent->ClassValue(sym::aProperties) : Value(), 16);
  aEvents_ = CopyList(parent ? parent->ClassValue(sym::aEvents) : Value(), 16);
}

bool QVClass::Check(bool ok, std::string_view operation, std::string_view what) {
  if (ok) return true;
  ErrorInfo e;
  e.genCode = kErrArgument;
  e.subCode = 3101;
  e.subSystem = "QVCLASS";
  e.description = "Argument error: " + std::string(what);
  e.operation = std::string(operation);
  e.args = Value::List({Value(name_)});
  e.canDefault = true;
  RaiseError(e);
  return false;
}

QVClass& QVClass::Handler(std::string_view name, NativeFn fn, Method::PacketFn packet, const void* target,
                          std::uint16_t visibility) {
  if (Check(!name.empty() && fn && packet && target, "Handler", "a handler needs a name and its functions")) {
    zv::Method& m = decl_.AddMethod(name, fn, visibility);
    m.packetFn = packet;
    m.target = target;
  }
  return *this;
}

QVClass& QVClass::Data(std::string_view name, Value init, std::uint16_t visibility, std::string_view type) {
  if (Check(!name.empty(), "Data", "a member needs a name")) decl_.AddData(name, std::move(init), visibility, type);
  return *this;
}

QVClass& QVClass::ClassData(std::string_view name, Value init, std::uint16_t visibility) {
  if (Check(!name.empty(), "ClassData", "a member needs a name"))
    decl_.AddClassData(name, std::move(init), static_cast<std::uint16_t>(visibility | kClassWide));
  return *this;
}

QVClass& QVClass::Method(std::string_view name, NativeFn fn, std::uint16_t visibility) {
  if (Check(!name.empty() && fn, "Method", "a method needs a name and a function"))
    decl_.AddMethod(name, fn, visibility);
  return *this;
}

QVClass& QVClass::Constructor(std::string_view name, NativeFn fn, std::uint16_t visibility) {
  return Method(name, fn, static_cast<std::uint16_t>(visibility | kConstructor));
}

QVClass& QVClass::Inline(std::string_view name, Value callable, std::uint16_t visibility) {
  if (Check(!name.empty() && callable.IsCallable(), "Inline", "an inline method needs a name and a callable"))
    decl_.AddInline(name, std::move(callable), visibility);
  return *this;
}

QVClass& QVClass::Abstract(std::string_view name, std::uint16_t visibility) {
  if (Check(!name.empty(), "Abstract", "a method needs a name")) decl_.AddAbstract(name, visibility);
  return *this;
}

QVClass& QVClass::Destructor(DestructorFn fn) {
  if (fn) decl_.AddDestructor(fn);
  return *this;
}

QVClass& QVClass::OnUndefined(UndefinedFn fn) {
  decl_.SetUndefinedHandler(fn);
  return *this;
}

// A property declaration. When the name is new, the descriptor is appended.
// When it exists (inherited or declared twice), every absent field among the
// default, value class, getter, setter, spare, editor kind and value names is
// taken from the existing descriptor, and visibility and read-only come from
// the new declaration; if all of the first six were absent, the merged
// descriptor moves to the end of the list, otherwise it replaces the old one
// in place. Then the storage "F" + name is declared (protected), and the
// getter (message name) and setter (message "_" + name) are installed.
QVClass& QVClass::AddProperty(const PropertyDecl& p) {
  const std::string_view op = "AddProperty";
  if (!Check(!p.name.empty(), op, "a property needs a name")) return *this;
  if (!Check(p.name.size() <= kMaxPropertyName, op,
             "the property name \"" + std::string(p.name) + "\" is longer than 62 characters"))
    return *this;
  if (!Check(p.valueClass.IsNil() || p.valueClass.IsString(), op, "the value class must be a class name"))
    return *this;
  if (!Check(IsAccessorValue(p.getter.value()) && IsAccessorValue(p.setter.value()), op,
             "a getter or setter must be a method, a method name or a callable"))
    return *this;
  if (!Check(p.editor.IsNil() || p.editor.IsString(), op, "the editor kind must be a text")) return *this;
  if (!Check(p.valueNames.IsNil() || p.valueNames.IsList(), op, "the value names must be a list")) return *this;

  Value fields[10] = {Value(p.name), p.dflt,    p.valueClass,        Value(p.visibility), Value(p.readOnly),
                      p.getter.value(), p.setter.value(), p.spare, p.editor, p.valueNames};
  const std::size_t at = FindNamed(aProperties_, p.name);
  if (at == 0) {
    aProperties_.Append(Value::List(std::vector<Value>(std::begin(fields), std::end(fields))));
  } else {
    const Value old = aProperties_.Item(at);
    bool allAbsent = true;
    for (std::size_t f : {kPropDefault, kPropValueClass, kPropGetter, kPropSetter, kPropSpare, kPropEditor}) {
      if (!fields[f - 1].IsNil()) allAbsent = false;
      else fields[f - 1] = Field(old, f);
    }
    if (fields[kPropValueNames - 1].IsNil()) fields[kPropValueNames - 1] = Field(old, kPropValueNames);
    Value merged = Value::List(std::vector<Value>(std::begin(fields), std::end(fields)));
    auto& items = aProperties_.AsList().items;
    if (allAbsent) {
      items.erase(items.begin() + static_cast<std::ptrdiff_t>(at - 1));
      items.push_back(merged);
    } else {
      items[at - 1] = merged;
    }
  }

  const Value& dflt = fields[kPropDefault - 1];
  const Value& valueClass = fields[kPropValueClass - 1];
  const std::string name(p.name);
  const std::uint32_t slot = decl_.AddData("F" + name, dflt, kProtected, valueClass.AsString());

  const Value& getter = fields[kPropGetter - 1];
  const Value& setter = fields[kPropSetter - 1];
  InstallAccessor(name, getter, p.visibility, slot, false);
  std::uint16_t setVis = p.visibility;
  if (p.readOnly) setVis = (setter.IsString() || setter.IsCallable()) ? kProtected : kReadOnly;
  InstallAccessor("_" + name, setter, setVis, slot, true);
  return *this;
}

void QVClass::InstallAccessor(const std::string& message, const Value& accessor, std::uint16_t visibility,
                              std::uint32_t slot, bool setter) {
  if (accessor.IsNil()) {
    // The generic getter / setter: the storage slot, found once.
    if (setter) decl_.AddSlotSetter(message, slot, visibility);
    else decl_.AddSlotGetter(message, slot, visibility);
  } else if (accessor.IsPointer()) {
    decl_.AddMethod(message, AsNative(accessor), visibility).yieldsArgument = setter;
  } else if (accessor.IsString()) {
    // Bound when the class is finished, so that it may name a method
    // declared further down.
    aReadWrite_.push_back({message, UpperName(accessor.AsString()), visibility, setter});
  } else if (accessor.IsCallable()) {
    decl_.AddInline(message, accessor, visibility).yieldsArgument = setter;
  }
}

QVClass& QVClass::AddEvent(std::string_view name, std::uint16_t visibility, Value params) {
  const std::string_view op = "AddEvent";
  if (!Check(!name.empty(), op, "an event needs a name")) return *this;
  if (!Check(params.IsNil() || params.IsString(), op, "the parameter description must be a text")) return *this;
  const std::size_t at = FindNamed(aEvents_, name);
  if (at == 0) {
    aEvents_.Append(Value::List({Value(name), params.IsNil() ? Value("") : params, Value(visibility)}));
  } else {
    Value desc = params;
    if (desc.IsNil()) desc = aEvents_.Item(at).Item(2);
    if (desc.IsNil()) desc = "";
    aEvents_.AsList().items[at - 1] = Value::List({Value(name), desc, Value(visibility)});
  }
  return *this;
}

QVClass& QVClass::AddComponent(std::string_view name, std::string_view type) {
  if (!Check(!name.empty(), "AddComponent", "a component needs a name")) return *this;
  decl_.AddData(name, {}, kPublic, type);
  if (ISDEBUG()) {
    std::vector<Value> fields(10);
    fields[0] = "*" + std::string(name);
    fields[2] = std::string(type);
    fields[3] = 2;
    aProperties_.Append(Value::List(std::move(fields)));
  }
  return *this;
}

Class* QVClass::Create() {
  if (!Check(!created_, "Create", "the class is already finished")) return Class::Find(name_);
  created_ = true;
  // 1. Every instance knows its declared class name.
  decl_.AddData("ClassName", Value(name_), kPublic);
  // 2. Accessors named by method name.
  for (const ReadWrite& rw : aReadWrite_) {
    const zv::Method* m = decl_.Find(rw.method);
    // A misspelled accessor name would otherwise show only when the
    // property is first read or written.
    if (!Check(m && (m->kind == zv::Method::Kind::Native || m->kind == zv::Method::Kind::Inline ||
                     m->kind == zv::Method::Kind::Abstract),
               "Create", "the accessor " + rw.method + " of " + rw.message + " is not a method of the class"))
      continue;
    if (m->kind == zv::Method::Kind::Abstract) {
      decl_.AddAbstract(rw.message, rw.visibility);
      continue;
    }
    if (m->kind == zv::Method::Kind::Native)
      decl_.AddMethod(rw.message, m->fn, rw.visibility).yieldsArgument = rw.setter;
    else if (m->kind == zv::Method::Kind::Inline)
      decl_.AddInline(rw.message, m->block, rw.visibility).yieldsArgument = rw.setter;
  }
  aReadWrite_.clear();
  // 3. Event slots. An event the parent already has keeps the parent's two
  // slots: renumbering it would leave the old pair unused in every object of
  // the subclass, level after level (a subclass that adds nothing would still
  // grow by two slots per event). A new event gets the next two free slots,
  // after every data member declared so far.
  Class* parent = decl_.Parent();
  for (const Value& e : aEvents_.AsList().items) {
    const std::string& name = e.Item(1).AsString();
    const auto vis = static_cast<std::uint16_t>(e.Item(3).AsInt());
    const zv::Method* inherited = parent ? EventMethod(parent, name) : nullptr;
    const std::uint32_t p = inherited ? inherited->slot : decl_.ReserveSlots(2);
    decl_.AddMethod("_" + name, &QV_SETEVENT, vis).slot = p;
    decl_.AddMethod(name, &QV_CALLEVENT, vis).slot = p;
  }
  // 4. The class's own descriptor lists.
  decl_.AddClassData("aProperties", aProperties_, kPublic | kClassWide);
  decl_.AddClassData("aEvents", aEvents_, kPublic | kClassWide);
  return decl_.Finish();
}

Class* DeclarePublicClass(std::string_view publicName, Class* implementation) {
  QVClass b(publicName, {implementation});
  return b.Create();
}

// ------------------------------------------------------------------ queries

Value ClassValue(Class* c) { return Value::Pointer(c); }

Class* ClassOf(const Value& v) {
  const Value& c = v.Deref();
  if (c.IsString()) return Class::Find(c.AsString());
  if (Object* o = c.AsObject()) return o->GetClass();
  // Any pointer may arrive here: only a registered class is taken as one.
  if (c.IsPointer() && Class::IsClass(c.AsPointer())) return static_cast<Class*>(const_cast<void*>(c.AsPointer()));
  return nullptr;
}

namespace {
// A class not made by the class builder (Error, the root class) has no
// descriptor lists: it answers empty ones.
Value Names(const Value& cls, const char* listName) {
  Value out = Value::List({});
  Class* c = ClassOf(cls);
  const Value list = c ? c->ClassValue(Symbol(listName)) : Value();
  if (list.IsList())
    for (const Value& d : list.AsList().items) out.Append(d.Item(1));
  return out;
}
Value Copy(const Value& cls, const char* listName) {
  Class* c = ClassOf(cls);
  return CopyList(c ? c->ClassValue(Symbol(listName)) : Value(), 0);
}
}  // namespace

Value QV_GETCLASSPROPERTIES(const Value& cls) { return Names(cls, "aProperties"); }
Value QV_GETCLASSEVENTS(const Value& cls) { return Names(cls, "aEvents"); }
Value GETPROPERTIES(const Value& cls) { return Copy(cls, "aProperties"); }
Value GETEVENTS(const Value& cls) { return Copy(cls, "aEvents"); }

// ------------------------------------------------------------------ events

// Binding a handler to an event. Both slots are cleared first. A text names
// a method of the object on whose behalf the assignment runs (the receiver of
// the innermost executing method, callables skipped); a callable or nothing
// is stored as the target; a C++ method must be one of the owner's class.
// Anything else leaves the event unbound.
namespace {
// The slot pair of the event whose generic setter or caller is running, or
// false when the function was called some other way (directly, or through a
// method that is not an event's): it then does nothing.
bool EventSlots(Object& self, Args args, NativeFn fn, std::uint32_t& p) {
  const zv::Method* m = args.method();
  if (!m || m->kind != zv::Method::Kind::Native || m->fn != fn || m->slot + 1 >= self.SlotCount()) {
    ErrorInfo e;
    e.genCode = kErrArgument;
    e.subCode = 3101;
    e.description = "Argument error: not called as the method of an event";
    e.operation = fn == &QV_SETEVENT ? "QV_SETEVENT" : "QV_CALLEVENT";
    e.canDefault = true;
    RaiseError(e);
    return false;
  }
  p = m->slot;
  return true;
}
}  // namespace

Value QV_SETEVENT(Object& self, Args args) {
  std::uint32_t p = 0;
  if (!EventSlots(self, args, &QV_SETEVENT, p)) return {};
  self.Slot(p) = Value();
  self.Slot(p + 1) = Value();
  const Value v = args.Get(0);
  // The frame of this setter is skipped: the owner is whoever assigns.
  Object* owner = CallStack::Owner(1);
  if (v.IsString()) {
    const zv::Method* m = owner ? owner->GetClass()->FindMethod(Symbol(std::string_view(v.AsString()))) : nullptr;
    if (m && (m->kind == zv::Method::Kind::Native || m->kind == zv::Method::Kind::Inline ||
              m->kind == zv::Method::Kind::Abstract)) {
      self.Slot(p) = Value(owner);
      self.Slot(p + 1) = static_cast<std::int64_t>(m->name.id());
    } else {
      ErrorInfo e;
      e.genCode = kErrNoMethod;
      e.subCode = kSubNoMethod;
      e.description = "No exported method";
      e.operation = v.AsString();
      e.args = Value::List({v});
      e.canSubstitute = true;
      RaiseError(e);
    }
  } else if (v.IsNil() || v.IsCallable()) {
    self.Slot(p) = v;
  } else if (v.IsPointer()) {
    NativeFn fn = AsNative(v);
    const zv::Method* found = nullptr;
    if (owner)
      for (const zv::Method* m : owner->GetClass()->Methods())
        if (m->kind == zv::Method::Kind::Native && m->fn == fn) {
          found = m;
          break;
        }
    if (found) {
      self.Slot(p) = Value(owner);
      self.Slot(p + 1) = static_cast<std::int64_t>(found->name.id());
    } else {
      ErrorInfo e;
      e.genCode = kErrArgument;
      e.subCode = kSubNoMethod;
      e.description = "It is not a valid function pointer.";
      e.operation = args.method()->name.name();
      e.args = Value::List({v});
      e.canSubstitute = true;
      RaiseError(e);
    }
  }
  return v;
}

// Firing an event: the bound method is sent to the target (or the callable
// evaluated) with the sender followed by the arguments, passed on unchanged
// (by-reference arguments stay by reference); its result is returned.
Value QV_CALLEVENT(Object& self, Args args) {
  std::uint32_t p = 0;
  if (!EventSlots(self, args, &QV_CALLEVENT, p)) return {};
  const Value target = self.Slot(p);
  if (!target.IsObject() && !target.IsCallable()) return {};
  ArgVector argv(Value(&self), args);
  if (target.IsObject()) {
    Symbol method = Symbol::FromId(static_cast<std::uint32_t>(self.Slot(p + 1).AsInt()));
    return SendUnchecked(target, Msg(method), argv.args());
  }
  return CallValue(target, argv.args());
}

bool BindEvent(Object& self, Symbol event, const Value& target, Symbol method) {
  const zv::Method* m = event.valid() ? EventMethod(self.GetClass(), event.name()) : nullptr;
  if (!m || m->slot + 1 >= self.SlotCount()) return false;
  if (target.IsObject()) {
    if (!method.valid() || !target.AsObject()->GetClass()->HasMessage(method)) return false;
    self.Slot(m->slot) = target;
    self.Slot(m->slot + 1) = static_cast<std::int64_t>(method.id());
    return true;
  }
  if (!target.IsNil() && !target.IsCallable()) return false;
  self.Slot(m->slot) = target;
  self.Slot(m->slot + 1) = Value();
  return true;
}

bool EventAssigned(Object& self, std::string_view eventName) {
  const zv::Method* m = EventMethod(self.GetClass(), eventName);
  if (!m) return false;
  const Value& target = self.Slot(m->slot);
  return target.IsObject() || target.IsCallable();
}

}  // namespace zv
