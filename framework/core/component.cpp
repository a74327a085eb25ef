#include "framework/core/component.h"

namespace zv {
namespace {

Value ComponentNew(Object& self, Args a) {
  if (a.Has(0)) self.Send(sym::set::oParent, a.Get(0));  // through the setter: subclasses re-parent
  self.Send(sym::set::lFree, true);
  return Value(&self);
}

Value ComponentCreate(Object& self, Args a) {
  ComponentNew(self, a);
  self.Send(sym::set::lCreated, true);
  return Value(&self);
}

Value ComponentDestroy(Object& self, Args a) {
  const bool free = a.Get(0).AsBool();
  self.Send(sym::set::lFree, free);
  if (free) self.Send(sym::Free);
  self.Send(sym::set::lCreated, false);
  return Value(&self);
}

Value ComponentEnd(Object& self, Args) {
  self.Send(sym::Destroy, true);
  return {};
}

Value ComponentEventAssigned(Object& self, Args a) {
  const Value name = a.Get(0);
  return name.IsString() && EventAssigned(self, name.AsString());
}

}  // namespace

Class* QComponentClass() {
  static Class* c = [] {
    QVClass b("QComponent");
    ZV_REGISTER_MEMBERS(b, ZV_QCOMPONENT_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TComponentClass() {
  static Class* c = DeclarePublicClass("TComponent", QComponentClass());
  return c;
}

}  // namespace zv
