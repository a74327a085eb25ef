#include "framework/core/component.h"

namespace zv {
namespace {

Value ComponentNew(Object& self, Args a) {
  if (a.Has(0)) self.Send("_oParent", a.Get(0));  // through the setter: subclasses re-parent
  self.Send("_lFree", true);
  return Value(&self);
}

Value ComponentCreate(Object& self, Args a) {
  ComponentNew(self, a);
  self.Send("_lCreated", true);
  return Value(&self);
}

Value ComponentDestroy(Object& self, Args a) {
  const bool free = a.Get(0).AsBool();
  self.Send("_lFree", free);
  if (free) self.Send("Free");
  self.Send("_lCreated", false);
  return Value(&self);
}

Value ComponentEnd(Object& self, Args) {
  self.Send("Destroy", true);
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
    b.AddProperty({.name = "Cargo"});
    b.Data("lFree", true, kProtected);
    b.Data("lCreated", false, kProtected);
    b.AddProperty({.name = "oParent"});
    b.Data("cAuthor", "", kPublic | kReadOnly);
    b.Data("cCopyright", "", kPublic | kReadOnly);
    b.Data("cProduct", "", kPublic | kReadOnly);
    b.Data("cVersion", "", kPublic | kReadOnly);
    b.Constructor("New", &ComponentNew);
    b.Constructor("Create", &ComponentCreate);
    b.Method("Destroy", &ComponentDestroy);
    b.Abstract("Free");
    b.Method("End", &ComponentEnd);
    b.Method("EventAssigned", &ComponentEventAssigned);
    b.Abstract("QVNotify");
    return b.Create();
  }();
  return c;
}

Class* TComponentClass() {
  static Class* c = DeclarePublicClass("TComponent", QComponentClass());
  return c;
}

}  // namespace zv
