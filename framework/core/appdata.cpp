#include "framework/core/appdata.h"

#include "framework/core/globals.h"

namespace zv {
namespace {

Value Initialize(Object& self, Args) {
  if (!AppData().IsObject()) AppData() = Value(&self);
  return AppData();
}

Value Create(Object& self, Args a) { return self.Send(sym::Initialize, a.Get(0)); }

// OnClose fires once, however often the object is destroyed.
Value Destroy(Object& self, Args) {
  if (self.Send(sym::lClosed).AsBool()) return {};
  self.Send(sym::set::lClosed, true);
  return self.Send(sym::OnClose);
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
  const Symbol reader(std::string_view{n});
  const Symbol writer("_" + n);
  if (!cls->HasMessage(reader) && !cls->HasMessage(writer)) cls->AddMemberAtRunTime(reader, Value());
  // The assignment is made on the caller's behalf: this method belongs to
  // the class, so a plain send from here would pass the visibility check for
  // the class's own hidden and protected members.
  Value v = a.Get(1);
  SendFromOutside(Value(&self), Msg(writer), Args(&v, 1));
  return {};
}

}  // namespace

Class* QAppDataClass() {
  static Class* c = [] {
    QVClass b("QAppData");
    ZV_REGISTER_MEMBERS(b, ZV_QAPPDATA_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TAppDataClass() {
  static Class* c = DeclarePublicClass("TAppData", QAppDataClass());
  return c;
}

}  // namespace zv
