// Compiled by the compile-failure test: as it stands it must compile; with
// one of the ZV_MISTAKE_... macros defined it must not, the compiler naming
// the mistake.
#include "framework/core/members.h"
#include "framework/window/control.h"

void UseControl(const zv::Value& v, zv::Object& self) {
  zv::TControlRef control(v);
#if defined(ZV_MISTAKE_VIEW_MEMBER)
  control.nLeftt(3);  // a property the class does not have
#elif defined(ZV_MISTAKE_SYMBOL)
  self.Send(zv::sym::SetBoundz, 1, 2);  // a member name nobody declared
#elif defined(ZV_MISTAKE_PUT_READER)
  zv::Put(self, zv::sym::nLeft, 3);  // assigning through the reading message
#elif defined(ZV_MISTAKE_ARGUMENT_KIND)
  control.lVisible(zv::Value::List({}));  // a list where the view wants a logical
#elif defined(ZV_MISTAKE_EVENT_AS_PROPERTY)
  control.OnClick("Handler");  // an event is bound with Bind, not assigned
#else
  control.nLeft(3);
  control.lVisible(true);
  zv::Put(self, zv::sym::set::nLeft, 3);
  self.Send(zv::sym::SetBounds, 1, 2);
  control.OnClick().Bind("Handler");
#endif
}
