#include "runtime/object.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <unordered_set>

#include "runtime/callstack.h"
#include "runtime/error.h"
#include "runtime/names.h"

namespace zv {

// ---------------------------------------------------------------- call stack

namespace {

std::vector<Frame>& frames() {
  static std::vector<Frame>* f = [] {
    auto* v = new std::vector<Frame>;
    v->reserve(256);
    return v;
  }();
  return *f;
}

// Pushes a frame for the time of a call; holds a reference to the receiver.
class FrameGuard {
 public:
  explicit FrameGuard(const Frame& f) : self_(f.self) {
    if (self_) self_->Retain();
    CallStack::Push(f);
  }
  ~FrameGuard() {
    CallStack::Pop();
    if (self_) self_->Release();
  }
  FrameGuard(const FrameGuard&) = delete;
  FrameGuard& operator=(const FrameGuard&) = delete;

 private:
  Object* self_;
};

}  // namespace

std::size_t CallStack::Depth() noexcept { return frames().size(); }

namespace {
std::size_t g_maxDepth = 1000;
bool g_raisingTooDeep = false;
}  // namespace

std::size_t CallStack::MaxDepth() noexcept {
  // While the error about the depth is being handled, the handler itself may
  // run methods: it gets some room, and past that the operation is abandoned.
  return g_raisingTooDeep ? g_maxDepth + 200 : g_maxDepth;
}
void CallStack::SetMaxDepth(std::size_t depth) noexcept { g_maxDepth = depth < 16 ? 16 : depth; }

const Frame& CallStack::At(std::size_t level) noexcept {
  auto& f = frames();
  return f[f.size() - 1 - level];
}

std::string CallStack::ProcName(const Frame& f) {
  if (f.method) {
    const std::string& cls = f.method->owner ? f.method->owner->Name() : std::string();
    return cls + ":" + f.method->name.name();
  }
  if (f.message.valid()) {
    std::string cls = f.self ? f.self->ClassName() : std::string();
    return cls + ":" + f.message.upper();
  }
  if (f.proc) return f.proc;
  return "(b)";
}

Object* CallStack::Owner(std::size_t skip) noexcept {
  auto& f = frames();
  if (skip >= f.size()) return nullptr;
  for (auto it = f.rbegin() + static_cast<std::ptrdiff_t>(skip); it != f.rend(); ++it) {
    if (it->callable) continue;
    if (it->self) return it->self;
    if (it->proc) return nullptr;  // a procedure runs on nobody's behalf
  }
  return nullptr;
}

const Frame* CallStack::InnermostMethod() noexcept {
  auto& f = frames();
  for (auto it = f.rbegin(); it != f.rend(); ++it) {
    if (it->method || it->message.valid()) return &*it;
    if (it->proc) return nullptr;
  }
  return nullptr;
}

Frame* detail::g_topFrame = nullptr;

void CallStack::Push(const Frame& fr) {
  auto& f = frames();
  f.push_back(fr);
  detail::g_topFrame = &f.back();
}

void CallStack::Pop() noexcept {
  auto& f = frames();
  f.pop_back();
  detail::g_topFrame = f.empty() ? nullptr : &f.back();
}

ProcFrame::ProcFrame(const char* name, SourceLocation at) {
  Frame f;
  f.proc = name;
  f.line = at.line();
  CallStack::Push(f);
}
ProcFrame::~ProcFrame() { CallStack::Pop(); }

// ---------------------------------------------------------------- method table

void MethodTable::Put(Symbol s, const Method* m) {
  if ((count_ + 1) * 2 > slots_.size()) Grow();
  std::uint32_t i = Hash(s.id()) & mask_;
  for (;;) {
    Slot& e = slots_[i];
    if (e.id == s.id()) {
      e.m = m;
      return;
    }
    if (e.id == 0) {
      e.id = s.id();
      e.m = m;
      ++count_;
      return;
    }
    i = (i + 1) & mask_;
  }
}

void MethodTable::Grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  std::size_t n = old.empty() ? 16 : old.size() * 2;
  slots_.assign(n, Slot{});
  mask_ = static_cast<std::uint32_t>(n - 1);
  count_ = 0;
  for (const Slot& e : old)
    if (e.id) {
      std::uint32_t i = Hash(e.id) & mask_;
      while (slots_[i].id) i = (i + 1) & mask_;
      slots_[i] = e;
      ++count_;
    }
}

std::vector<const Method*> MethodTable::All() const {
  std::vector<const Method*> out;
  for (const Slot& e : slots_)
    if (e.id) out.push_back(e.m);
  return out;
}

// ---------------------------------------------------------------- classes

namespace {

struct Registry {
  std::vector<Class*> all;
  std::unordered_set<const void*> members;         // the same, for IsClass
  std::unordered_map<std::string, Class*> byName;  // upper-case name
};

Registry& registry() {
  static Registry* r = new Registry;  // classes live for the whole run
  return *r;
}

Value CloneInit(const Value& v) {
  if (v.IsList()) {
    std::vector<Value> items;
    items.reserve(v.AsList().items.size());
    for (const Value& e : v.AsList().items) items.push_back(CloneInit(e));
    return Value::List(std::move(items));
  }
  if (v.IsMap()) {
    Value m = Value::Map();
    for (const auto& e : v.AsMap().entries()) m.AsMap().Put(e.first, CloneInit(e.second));
    return m;
  }
  return v;
}

bool NeedsClone(const Value& v) { return v.IsList() || v.IsMap(); }

}  // namespace

Class* Class::Find(std::string_view name) {
  auto& r = registry();
  auto it = r.byName.find(UpperName(name));
  return it == r.byName.end() ? nullptr : it->second;
}

bool Class::IsClass(const void* p) { return p && registry().members.count(p) != 0; }

bool Class::IsDerivedFrom(const Class* other) const noexcept {
  for (const Class* c = this; c; c = c->parent_)
    if (c == other) return true;
  return false;
}

bool Class::IsDerivedFrom(std::string_view className) const noexcept {
  for (const Class* c = this; c; c = c->parent_)
    if (SameName(c->name_, className)) return true;
  return false;
}

const DataMember* Class::FindData(Symbol s) const {
  for (const DataMember& d : data_)
    if (d.name == s) return &d;
  return nullptr;
}

Value Class::ClassValue(Symbol s) const {
  const DataMember* d = FindData(s);
  return d && d->cell ? *d->cell : Value();
}

void Class::SetClassValue(Symbol s, Value v) {
  const DataMember* d = FindData(s);
  if (d && d->cell) *d->cell = std::move(v);
}

void Class::Install(Symbol s, const Method* m, bool /*overrideOwn*/) { table_.Put(s, m); }

void Class::AddMethodAtRunTime(std::unique_ptr<Method> m) {
  m->owner = this;
  const Method* raw = m.get();
  own_.push_back(std::move(m));
  // This class, and every subclass whose entry is inherited from here or above.
  std::vector<Class*> todo{this};
  while (!todo.empty()) {
    Class* c = todo.back();
    todo.pop_back();
    const Method* cur = c->table_.Find(raw->name);
    if (c == this || !cur || this->IsDerivedFrom(cur->owner)) {
      c->table_.Put(raw->name, raw);
      todo.insert(todo.end(), c->children_.begin(), c->children_.end());
    }
  }
}

void Class::AddMemberAtRunTime(Symbol name, Value init, std::uint16_t visibility) {
  auto get = std::make_unique<Method>();
  get->kind = Method::Kind::ExtraGet;
  get->name = name;
  get->visibility = static_cast<std::uint16_t>(visibility & ~kReadOnly);
  get->block = init;
  auto set = std::make_unique<Method>();
  set->kind = Method::Kind::ExtraSet;
  set->name = Symbol("_" + name.name());
  set->slot = name.id();  // the member written
  set->visibility = visibility;
  AddMethodAtRunTime(std::move(get));
  AddMethodAtRunTime(std::move(set));
}

// ---------------------------------------------------------------- declaration

ClassDecl::ClassDecl(std::string_view name, Class* parent) : cls_(new Class) {
  cls_->name_ = std::string(name);
  if (!parent && !SameName(name, "Object")) parent = RootClass();
  cls_->parent_ = parent;
  if (parent) {
    cls_->data_ = parent->data_;
    cls_->init_ = parent->init_;
    cls_->cloneInit_ = parent->cloneInit_;
    cls_->size_ = parent->size_;
    cls_->table_ = parent->table_;
    cls_->undefined_ = parent->undefined_;
    cls_->destructors_ = parent->destructors_;
  }
}

ClassDecl::~ClassDecl() = default;

Method& ClassDecl::Own(std::unique_ptr<Method> m) {
  m->owner = cls_.get();
  Method& ref = *m;
  cls_->own_.push_back(std::move(m));
  cls_->Install(ref.name, &ref, true);
  return ref;
}

std::uint32_t ClassDecl::AddData(std::string_view name, Value init, std::uint16_t visibility,
                                 std::string_view type) {
  Class& c = *cls_;
  Symbol sym(name);
  std::uint32_t slot;
  auto it = std::find_if(c.data_.begin(), c.data_.end(),
                         [&](const DataMember& d) { return d.name == sym && !d.classWide(); });
  if (it != c.data_.end()) {
    // Re-declared: same slot, new initial value and visibility.
    slot = it->slot;
    it->visibility = visibility;
    it->owner = &c;
    if (!type.empty()) it->type = std::string(type);
  } else {
    slot = c.size_++;
    c.data_.push_back({sym, slot, {}, visibility, &c, std::string(type), nullptr});
    c.init_.resize(c.size_);
    c.cloneInit_.resize(c.size_);
  }
  c.cloneInit_[slot] = NeedsClone(init);
  c.init_[slot] = std::move(init);
  for (DataMember& d : c.data_)
    if (d.slot == slot && !d.classWide()) d.init = c.init_[slot];
  AddSlotGetter(name, slot, static_cast<std::uint16_t>(visibility & ~(kReadOnly | kClassWide)));
  AddSlotSetter("_" + std::string(name), slot, static_cast<std::uint16_t>(visibility & ~kClassWide));
  return slot;
}

void ClassDecl::AddClassData(std::string_view name, Value init, std::uint16_t visibility) {
  Class& c = *cls_;
  Symbol sym(name);
  auto cell = std::make_shared<Value>(std::move(init));
  auto it = std::find_if(c.data_.begin(), c.data_.end(), [&](const DataMember& d) { return d.name == sym; });
  if (it != c.data_.end() && it->classWide()) {
    it->cell = cell;
    it->visibility = visibility;
    it->owner = &c;
  } else {
    c.data_.push_back({sym, 0, *cell, visibility, &c, {}, cell});
  }
  auto get = std::make_unique<Method>();
  get->kind = Method::Kind::ClassGet;
  get->name = sym;
  get->visibility = static_cast<std::uint16_t>(visibility & ~(kReadOnly | kClassWide));
  get->cell = cell;
  Own(std::move(get));
  auto set = std::make_unique<Method>();
  set->kind = Method::Kind::ClassSet;
  set->name = Symbol("_" + std::string(name));
  set->visibility = static_cast<std::uint16_t>(visibility & ~kClassWide);
  set->cell = cell;
  Own(std::move(set));
}

Method& ClassDecl::AddMethod(std::string_view name, NativeFn fn, std::uint16_t visibility) {
  auto m = std::make_unique<Method>();
  m->kind = Method::Kind::Native;
  m->name = Symbol(name);
  m->fn = fn;
  m->visibility = visibility;
  return Own(std::move(m));
}

Method& ClassDecl::AddInline(std::string_view name, Value callable, std::uint16_t visibility) {
  auto m = std::make_unique<Method>();
  m->kind = Method::Kind::Inline;
  m->name = Symbol(name);
  m->block = std::move(callable);
  m->visibility = visibility;
  return Own(std::move(m));
}

Method& ClassDecl::AddAbstract(std::string_view name, std::uint16_t visibility) {
  auto m = std::make_unique<Method>();
  m->kind = Method::Kind::Abstract;
  m->name = Symbol(name);
  m->visibility = visibility;
  return Own(std::move(m));
}

Method& ClassDecl::AddSlotGetter(std::string_view name, std::uint32_t slot, std::uint16_t visibility) {
  auto m = std::make_unique<Method>();
  m->kind = Method::Kind::SlotGet;
  m->name = Symbol(name);
  m->slot = slot;
  m->visibility = visibility;
  return Own(std::move(m));
}

Method& ClassDecl::AddSlotSetter(std::string_view name, std::uint32_t slot, std::uint16_t visibility) {
  auto m = std::make_unique<Method>();
  m->kind = Method::Kind::SlotSet;
  m->name = Symbol(name);
  m->slot = slot;
  m->visibility = visibility;
  return Own(std::move(m));
}

std::uint32_t ClassDecl::ReserveSlots(std::uint32_t n) {
  Class& c = *cls_;
  std::uint32_t first = c.size_;
  c.size_ += n;
  c.init_.resize(c.size_);
  c.cloneInit_.resize(c.size_);
  return first;
}

void ClassDecl::SetUndefinedHandler(UndefinedFn fn) { cls_->undefined_ = fn; }

void ClassDecl::AddDestructor(DestructorFn fn) {
  cls_->destructors_.insert(cls_->destructors_.begin(), fn);
}

const Method* ClassDecl::Find(std::string_view name) const { return cls_->table_.Find(Symbol(name)); }
const DataMember* ClassDecl::FindData(std::string_view name) const { return cls_->FindData(Symbol(name)); }
std::uint32_t ClassDecl::InstanceSize() const { return cls_->size_; }
const std::string& ClassDecl::Name() const { return cls_->name_; }
Class* ClassDecl::Parent() const { return cls_->parent_; }

Class* ClassDecl::Finish() {
  Class* c = cls_.release();
  c->finished_ = true;
  auto& r = registry();
  r.all.push_back(c);
  r.members.insert(c);
  r.byName[UpperName(c->name_)] = c;
  if (c->parent_) c->parent_->children_.push_back(c);
  return c;
}

// ---------------------------------------------------------------- objects

Object::Object(Class* cls) noexcept : cls_(cls), nslots_(cls->size_) {
  Value* slots_ = slots();
  const Value* init = cls->init_.data();
  const std::uint8_t* clone = cls->cloneInit_.data();
  for (std::uint32_t i = 0; i < nslots_; ++i) {
    if (clone[i])
      new (&slots_[i]) Value(CloneInit(init[i]));
    else
      new (&slots_[i]) Value(init[i]);
  }
}

Object::~Object() {
  Value* s = slots();
  for (std::uint32_t i = nslots_; i-- > 0;) s[i].~Value();
}

Value Object::New(Class* cls) {
  static_assert(sizeof(Object) % alignof(Value) == 0);
  void* mem = ::operator new(sizeof(Object) + std::size_t{cls->size_} * sizeof(Value));
  return Value(new (mem) Object(cls));
}

const std::string& Object::ClassName() const noexcept { return cls_->name_; }

Value* Object::Extra(Symbol s) noexcept {
  if (!extra_) return nullptr;
  auto it = extra_->find(s.id());
  return it == extra_->end() ? nullptr : &it->second;
}

void Object::SetExtra(Symbol s, Value v) {
  if (!extra_) extra_ = std::make_unique<std::unordered_map<std::uint32_t, Value>>();
  (*extra_)[s.id()] = std::move(v);
}

void Object::Traverse(const GcVisitor& visit) {
  for (std::uint32_t i = 0; i < nslots_; ++i) VisitValue(Slot(i), visit);
  if (extra_)
    for (auto& e : *extra_) VisitValue(e.second, visit);
}

void Object::ClearRefs() noexcept {
  for (std::uint32_t i = 0; i < nslots_; ++i) {
    Value old;
    old.swap(Slot(i));
  }
  if (extra_) {
    auto old = std::move(extra_);
  }
}

void Object::Finalize() noexcept {
  if (finalized_) return;
  finalized_ = true;
  for (DestructorFn d : cls_->destructors_) {
    try {
      Frame f;
      f.self = this;
      f.proc = "(destructor)";
      FrameGuard g(f);
      d(*this);
    } catch (...) {
      // A destructor cannot report anything: the object is going away.
    }
  }
}

// ---------------------------------------------------------------- root class

Class* RootClass() {
  static Class* root = [] {
    ClassDecl d("Object", nullptr);
    d.AddMethod(sym::ClassName.name(), [](Object& self, Args) -> Value { return Value(self.ClassName()); });
    d.AddMethod(sym::IsDerivedFrom.name(), [](Object& self, Args a) -> Value {
      Value x = a.Get(0);
      if (x.IsString()) return self.GetClass()->IsDerivedFrom(std::string_view(x.AsString()));
      if (Object* o = x.AsObject()) return self.GetClass()->IsDerivedFrom(o->GetClass());
      return false;
    });
    return d.Finish();
  }();
  return root;
}

// ---------------------------------------------------------------- send

namespace {

Value ArgsList(const Value* receiver, Args args) {
  std::vector<Value> v;
  v.reserve(args.size() + 1);
  if (receiver) v.push_back(*receiver);
  for (std::size_t i = 0; i < args.size(); ++i) v.push_back(args.raw(i).Deref());
  return Value::List(std::move(v));
}

bool Understands(const Value& receiver, Symbol message) {
  const Object* o = receiver.AsObject();
  return o && (o->GetClass()->HasMessage(message) || o->GetClass()->Undefined());
}

Value NotUnderstood(const Value& receiver, const Msg& m, Args args, bool checked) {
  const bool assign = m.sym.upper().size() > 1 && m.sym.upper()[0] == '_';
  ErrorInfo e;
  e.genCode = kErrNoMethod;
  e.subCode = assign ? kSubNoVariable : kSubNoMethod;
  e.description = assign ? "No exported variable" : "No exported method";
  e.operation = m.sym.upper();
  e.args = ArgsList(&receiver, args);
  e.canRetry = true;
  e.canSubstitute = true;
  // A retry succeeds only once the receiver understands the message (a
  // member added meanwhile, an undefined-message handler installed).
  return RaiseError(
      e,
      [&](Value& result) {
        if (!Understands(receiver, m.sym)) return false;
        result = checked ? Send(receiver, m, args) : SendUnchecked(receiver, m, args);
        return true;
      },
      m.where);
}

bool ScopeAllows(const Method& meth, int& subCode) {
  const Frame* f = CallStack::InnermostMethod();
  if (meth.visibility & kHidden) {
    subCode = kSubHidden;
    return f && f->method && f->method->owner == meth.owner;
  }
  subCode = (meth.visibility & kProtected) ? kSubProtected : kSubReadOnly;
  return f && f->self && f->self->GetClass()->IsDerivedFrom(meth.owner);
}

Value ScopeViolation(const Value& receiver, const Msg& m, Args args, int subCode) {
  ErrorInfo e;
  e.genCode = kErrNoMethod;
  e.subCode = subCode;
  e.description = subCode == kSubHidden      ? "Scope violation (hidden)"
                  : subCode == kSubProtected ? "Scope violation (protected)"
                                             : "Scope violation (read-only)";
  e.operation = m.sym.upper();
  e.args = ArgsList(&receiver, args);
  e.canSubstitute = true;
  return RaiseError(e, {}, m.where);
}

// A call that would run deeper than the call stack allows: a run-time error
// (the call does not happen; the default result is absent).
Value TooDeep(const Value& receiver, Symbol message) {
  if (g_raisingTooDeep) throw Break(Value("recursion too deep inside the error handler"));
  ErrorInfo e;
  e.genCode = kErrRecursion;
  e.description = "Recursion too deep";
  e.operation = message.valid() ? message.upper() : std::string();
  e.args = Value::List({receiver});
  e.canDefault = true;
  g_raisingTooDeep = true;
  struct Reset {
    ~Reset() { g_raisingTooDeep = false; }
  } reset;
  return RaiseError(e);
}

}  // namespace

Value detail::RunMethod(Object& o, const Method& meth, Args args) {
  switch (meth.kind) {
    case Method::Kind::SlotGet:
      if (meth.slot < o.SlotCount()) return o.Slot(meth.slot);
      return {};
    case Method::Kind::SlotSet: {
      Value v = args.Get(0);
      if (meth.slot < o.SlotCount()) o.Slot(meth.slot) = v;
      return v;
    }
    case Method::Kind::ClassGet: return *meth.cell;
    case Method::Kind::ClassSet: {
      Value v = args.Get(0);
      *meth.cell = v;
      return v;
    }
    case Method::Kind::ExtraGet: {
      Symbol name = meth.name;
      if (Value* e = o.Extra(name)) return *e;
      return meth.block;
    }
    case Method::Kind::ExtraSet: {
      Value v = args.Get(0);
      o.SetExtra(Symbol::FromId(meth.slot), v);
      return v;
    }
    case Method::Kind::Abstract: return {};
    case Method::Kind::Native: {
      if (CallStack::Depth() >= CallStack::MaxDepth()) return TooDeep(Value(&o), meth.name);
      Value written = meth.yieldsArgument ? args.Get(0) : Value();
      Frame f;
      f.self = &o;
      f.method = &meth;
      FrameGuard g(f);
      Value r = meth.fn(o, Args(args.span().data(), args.size(), &meth));
      return meth.yieldsArgument ? written : r;
    }
    case Method::Kind::Inline: {
      if (CallStack::Depth() >= CallStack::MaxDepth()) return TooDeep(Value(&o), meth.name);
      Value written = meth.yieldsArgument ? args.Get(0) : Value();
      Frame f;
      f.self = &o;
      f.method = &meth;
      f.callable = true;
      FrameGuard g(f);
      if (!meth.block.IsCallable()) return {};
      ArgVector argv(Value(&o), args);
      Value fnHolder = meth.block;  // keeps the callable alive during the call
      Value r = fnHolder.AsCallable().fn ? fnHolder.AsCallable().fn(argv.args(&meth)) : Value();
      return meth.yieldsArgument ? written : r;
    }
  }
  return {};
}

namespace {

Value SendImpl(const Value& receiver, const Msg& m, Args args, bool checked) {
  CallStack::SetLine(m.where.line());
  Object* o = receiver.AsObject();
  if (!o) return NotUnderstood(receiver, m, args, checked);
  const Method* meth = o->GetClass()->FindMethod(m.sym);
  if (!meth) {
    if (UndefinedFn handler = o->GetClass()->Undefined()) {
      Frame f;
      f.self = o;
      f.message = m.sym;
      FrameGuard g(f);
      return handler(*o, m.sym, args);
    }
    return NotUnderstood(receiver, m, args, checked);
  }
  if (checked && (meth->visibility & (kProtected | kHidden | kReadOnly))) {
    int sub = 0;
    if (!ScopeAllows(*meth, sub)) return ScopeViolation(receiver, m, args, sub);
  }
  return detail::RunMethod(*o, *meth, args);
}

}  // namespace

Value detail::SendSlow(const Value& receiver, const Msg& m, Args args, bool checked) {
  return SendImpl(receiver, m, args, checked);
}

Value SendFromOutside(const Value& receiver, const Msg& m, Args args) {
  const Object* o = receiver.AsObject();
  const Method* meth = o ? o->GetClass()->FindMethod(m.sym) : nullptr;
  if (meth && (meth->visibility & (kProtected | kHidden | kReadOnly))) {
    CallStack::SetLine(m.where.line());
    const int sub = (meth->visibility & kHidden) ? kSubHidden : (meth->visibility & kProtected) ? kSubProtected : kSubReadOnly;
    return ScopeViolation(receiver, m, args, sub);
  }
  return SendUnchecked(receiver, m, args);
}

Value SendList(const Value& receiver, const Msg& m, std::vector<Value>& args) {
  return Send(receiver, m, Args(args.data(), args.size()));
}

Value Invoke(Object& self, const Method& method, Args args, const SourceLocation& where) {
  CallStack::SetLine(where.line());
  return detail::RunMethod(self, method, args);
}

Value InvokePacket(Object& self, const Method& method, const void* packet) {
  if (CallStack::Depth() >= CallStack::MaxDepth()) return TooDeep(Value(&self), method.name);
  Frame f;
  f.self = &self;
  f.method = &method;
  FrameGuard g(f);
  return method.packetFn(self, method, packet);
}

const Method* SuperMethod(Object& self, Symbol message) {
  const Frame* f = CallStack::InnermostMethod();
  const Class* from = (f && f->method && f->self == &self) ? f->method->owner : self.GetClass();
  const Class* parent = from ? from->Parent() : nullptr;
  return parent ? parent->FindMethod(message) : nullptr;
}

Value Super(Object& self, const Msg& m, Args args) {
  CallStack::SetLine(m.where.line());
  const Method* meth = SuperMethod(self, m.sym);
  if (!meth) return NotUnderstood(Value(&self), m, args, false);
  return detail::RunMethod(self, *meth, args);
}

Value CallValue(const Value& callable, Args args) {
  const Value& c = callable.Deref();
  if (CallStack::Depth() >= CallStack::MaxDepth()) return TooDeep(c, Symbol("EVAL"));
  if (!c.IsCallable()) {
    ErrorInfo e;
    e.genCode = kErrNoMethod;
    e.subCode = kSubNoMethod;
    e.description = "No exported method";
    e.operation = "EVAL";
    e.args = ArgsList(&c, args);
    e.canSubstitute = true;
    return RaiseError(e);
  }
  Value holder = c;  // the callable stays alive while it runs
  Frame f;
  f.callable = true;
  FrameGuard g(f);
  if (!holder.AsCallable().fn) return {};  // broken up by a collection
  return holder.AsCallable().fn(args);
}

}  // namespace zv
