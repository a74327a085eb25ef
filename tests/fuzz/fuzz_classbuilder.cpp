// Fuzz target: the class builder (framework/core/classbuilder): a class
// declared from bytes, with properties, events, data members, methods,
// components and abstract methods in any order, valid and invalid, then
// finished and instantiated.
//
// Classes live for the whole process (the registry never frees one), and so
// do interned names. To keep both bounded however long the fuzzer runs, the
// class is named from a pool of eight names, and member names come from a
// pool of 155 (one to three of the letters a, A, b, B, x: case folding makes
// some of them one name). A builder whose name is already registered is
// exercised up to the end of its declaration and then dropped unfinished
// (an unfinished declaration is freed with its builder); only a name not yet
// registered is finished. So at most eight classes are ever added.
//
// Checked: declaring never leaves two properties or two events of one name;
// a valid property declaration is present afterwards and an invalid one
// changes nothing; the number of interned names stays bounded; the finished
// class lists the builder's properties in the builder's order; a plain
// property (no accessors, public, writable, its messages not taken by
// another member) starts at its default and reads back what was written.
#include <set>
#include <string>
#include <vector>

#include "framework/core/classbuilder.h"
#include "framework/core/component.h"
#include "fuzz_input.h"

namespace {

using zv::Value;

const char* const kClassNames[8] = {"FuzzA", "FuzzB", "FuzzC", "FuzzD", "fuzzA", "FUZZE", "FuzzF", "FuzzG"};

std::string MemberName(zvfuzz::FuzzInput& in) {
  static constexpr char kLetters[5] = {'a', 'A', 'b', 'B', 'x'};
  std::string s(1 + in.Below(3), 'a');
  for (char& c : s) c = kLetters[in.Below(5)];
  return s;
}

Value Scalar(zvfuzz::FuzzInput& in) {
  switch (in.Below(5)) {
    case 0: return Value();
    case 1: return Value(static_cast<long long>(in.Byte()));
    case 2: return Value(in.Bool() ? "text" : "other");
    case 3: return Value(in.Bool());
    default: return Value(2.5);
  }
}

std::uint16_t Visibility(zvfuzz::FuzzInput& in) {
  const std::uint16_t v[] = {zv::kPublic, zv::kPublished, zv::kProtected, zv::kHidden};
  return v[in.Below(4)];
}

Value EchoMethod(zv::Object&, zv::Args a) { return a.Get(0); }

// An accessor: none, a method name, a callable, or something invalid.
zv::Accessor AnAccessor(zvfuzz::FuzzInput& in, std::string& nameOut) {
  switch (in.Below(5)) {
    case 0:
    case 1: return {};
    case 2: nameOut = MemberName(in); return zv::Accessor(std::string_view(nameOut));
    case 3: return zv::Accessor(Value::Callable([](zv::Args a) { return a.Get(1); }));
    default: return zv::Accessor(Value(7));  // invalid: an error, nothing declared
  }
}

std::size_t CountNamed(const Value& list, const std::string& name) {
  std::size_t n = 0;
  for (const Value& d : list.AsList().items)
    if (zv::SameName(d.Item(1).AsString(), name)) ++n;
  return n;
}

void CheckUnique(const Value& list) {
  std::set<std::string> seen;
  for (const Value& d : list.AsList().items) FUZZ_CHECK(seen.insert(zv::UpperName(d.Item(1).AsString())).second);
}

void QuietErrors() {
  static const bool once = [] {
    zv::SetErrorHandler([](const Value&) { return Value(false); });
    return true;
  }();
  (void)once;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QuietErrors();
  zvfuzz::FuzzInput in(data, size);
  const std::string className = kClassNames[in.Below(8)];
  zv::Class* parent = nullptr;
  switch (in.Below(3)) {
    case 1: parent = zv::TComponentClass(); break;
    case 2: parent = zv::Class::Find(kClassNames[in.Below(8)]); break;  // an earlier fuzz class, if any
    default: break;
  }
  zv::QVClass b(className, parent ? std::initializer_list<zv::Class*>{parent} : std::initializer_list<zv::Class*>{});

  std::set<std::string> properties;  // declared here, upper case
  std::set<std::string> others;      // messages taken by other members here, upper case
  for (int steps = 0; steps < 48 && !in.empty(); ++steps) {
    const std::string name = MemberName(in);
    const std::string upper = zv::UpperName(name);
    switch (in.Below(7)) {
      case 0: {
        zv::PropertyDecl p;
        std::string getterName, setterName;
        const bool badName = in.Below(16) == 0;
        const std::string longName(63, 'a');
        p.name = badName ? (in.Bool() ? std::string_view() : std::string_view(longName)) : std::string_view(name);
        p.dflt = Scalar(in);
        const unsigned cls = in.Below(6);
        p.valueClass = cls == 0 ? Value(5) : cls == 1 ? Value("TFont") : Value();
        p.visibility = Visibility(in);
        p.readOnly = in.Below(4) == 0;
        p.getter = AnAccessor(in, getterName);
        p.setter = AnAccessor(in, setterName);
        p.spare = in.Below(4) == 0 ? Value(1) : Value();
        const unsigned ed = in.Below(8);
        p.editor = ed == 0 ? Value(3) : ed == 1 ? Value("PE_Color") : Value();
        const unsigned vn = in.Below(8);
        p.valueNames = vn == 0 ? Value(4) : vn == 1 ? Value::List({Value::List({"One", 1})}) : Value();
        const bool valid = !badName && !p.valueClass.IsNumber() && !p.getter.value().IsNumber() &&
                           !p.setter.value().IsNumber() && !p.editor.IsNumber() && !p.valueNames.IsNumber();
        const std::size_t before = b.aProperties().Len();
        b.AddProperty(p);
        if (valid) {
          FUZZ_CHECK(CountNamed(b.aProperties(), name) == 1);
          properties.insert(upper);
          if (!getterName.empty()) others.insert(zv::UpperName(getterName));
          if (!setterName.empty()) others.insert(zv::UpperName(setterName));
        } else {
          FUZZ_CHECK(b.aProperties().Len() == before);
        }
        break;
      }
      case 1: {
        const unsigned k = in.Below(4);
        const Value params = k == 0 ? Value(5) : k == 1 ? Value("oSender, nNew") : Value();
        const std::size_t before = b.aEvents().Len();
        b.AddEvent(name, Visibility(in), params);
        if (params.IsNumber()) FUZZ_CHECK(b.aEvents().Len() == before);
        else FUZZ_CHECK(CountNamed(b.aEvents(), name) == 1);
        others.insert(upper);
        break;
      }
      case 2: b.Data(in.Below(16) == 0 ? std::string_view() : name, Scalar(in), Visibility(in)); others.insert(upper); break;
      case 3: b.ClassData(name, Scalar(in), Visibility(in)); others.insert(upper); break;
      case 4: b.Method(name, in.Below(8) == 0 ? nullptr : &EchoMethod, Visibility(in)); others.insert(upper); break;
      case 5: b.AddComponent(name, in.Bool() ? "TComponent" : ""); others.insert(upper); break;
      default: b.Abstract(name, Visibility(in)); others.insert(upper); break;
    }
    CheckUnique(b.aProperties());
    CheckUnique(b.aEvents());
  }

  // The pools bound what the process keeps: 39 member names once case is
  // folded, each interned with its prefixes ("_", "F", "_F"), and the names
  // of the runtime and the framework's classes. Many thousands more would
  // mean that something interns names without bound.
  FUZZ_CHECK(zv::Symbol::Count() < 4096);

  if (zv::Class::Find(className)) return 0;  // registered already: dropped unfinished
  const Value declared = b.aProperties();
  const Value events = b.aEvents();
  zv::Class* cls = b.Create();
  FUZZ_CHECK(cls && zv::Class::Find(className) == cls);
  const Value names = zv::QV_GETCLASSPROPERTIES(zv::ClassValue(cls));
  FUZZ_CHECK(names.Len() == declared.Len());
  for (std::size_t i = 1; i <= names.Len(); ++i) FUZZ_CHECK(names.Item(i) == declared.Item(i).Item(1));

  Value obj = zv::Object::New(cls);
  FUZZ_CHECK(obj.Send("ClassName").AsString() == className);
  for (const Value& d : declared.AsList().items) {
    const std::string& name = d.Item(zv::kPropName).AsString();
    const std::string upper = zv::UpperName(name);
    const auto vis = d.Item(zv::kPropVisibility).AsInt();
    const bool plain = properties.count(upper) && !others.count(upper) && !others.count("_" + upper) &&
                       CountNamed(events, name) == 0 && d.Item(zv::kPropGetter).IsNil() &&
                       d.Item(zv::kPropSetter).IsNil() && !d.Item(zv::kPropReadOnly).AsBool() &&
                       (vis == zv::kPublic || vis == zv::kPublished);
    if (!plain) continue;
    const Value dflt = d.Item(zv::kPropDefault);
    FUZZ_CHECK(obj.Send(zv::Msg(name)) == dflt);
    obj.Send(zv::Msg("_" + name), 1234);
    FUZZ_CHECK(obj.Send(zv::Msg(name)).AsInt() == 1234);
  }
  return 0;
}
