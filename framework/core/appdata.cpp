#include "framework/core/appdata.h"

#include "framework/core/globals.h"

namespace zv {
namespace {

Value Initialize(Object& self, Args) {
  if (!AppData().IsObject()) AppData() = Value(&self);
  return AppData();
}

Value Create(Object& self, Args a) { return self.Send("Initialize", a.Get(0)); }

// OnClose fires once, however often the object is destroyed.
Value Destroy(Object& self, Args) {
  if (self.Send("lClosed").AsBool()) return {};
  self.Send("_lClosed", true);
  return self.Send("OnClose");
}

Value AddData(Object& self, Args a) {
  const Value name = a.Get(0);
  if (!name.IsString() || name.AsString().empty()) {
    ErrorInfo e;
    e.genCode = kErrArgument;
    e.subCode = 3101;
    e.description = "Argument error";
    e.operation = "AddData";
    e.args = Value::List({name, a.Get(1)});
    e.canSubstitute = true;
    RaiseError(e);
    return {};
  }
  const std::string& n = name.AsString();
  Class* cls = self.GetClass();
  if (!cls->HasMessage(Symbol(std::string_view(n))) && !cls->HasMessage(Symbol("_" + n)))
    cls->AddMemberAtRunTime(Symbol(std::string_view(n)), Value());
  self.Send(Msg("_" + n), a.Get(1));
  return {};
}

}  // namespace

Class* QAppDataClass() {
  static Class* c = [] {
    QVClass b("QAppData");
    b.AddEvent("OnClose", kPublished, "oSender");
    b.Data("lClosed", false, kHidden);
    b.Constructor("Initialize", &Initialize);
    b.Method("Create", &Create);
    b.Method("Destroy", &Destroy);
    b.Method("AddData", &AddData);
    return b.Create();
  }();
  return c;
}

Class* TAppDataClass() {
  static Class* c = DeclarePublicClass("TAppData", QAppDataClass());
  return c;
}

}  // namespace zv
