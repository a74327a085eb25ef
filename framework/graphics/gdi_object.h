// What the GDI object classes (fonts, brushes, pens) share: the object's
// handle deleted and cleared, a setter that stores and makes the object
// again, and the destructor that deletes a handle nobody destroyed.
#pragma once

#include "framework/core/members.h"
#include "framework/window/winobject.h"

namespace zv::gdi {

inline HGDIOBJ HandleOf(Object& self) { return ValueHandle<HGDIOBJ>(Get(self, sym::Handle)); }

inline void DeleteHandle(Object& self) {
  if (HGDIOBJ h = HandleOf(self)) DeleteObject(h);
  Put(self, sym::set::Handle, 0);
}

// A property setter: stores into the field, then Recreate (which makes the
// GDI object again when there is one; "ReCreate" is the same message).
template <const SetterSymbol* Field>
Value StoreAndRecreate(Object& self, Args a) {
  Put(self, *Field, a.Get(0));
  self.Send(sym::Recreate);
  return a.Get(0);
}

// The class destructor: the GDI object goes with its framework object.
inline void DeleteInDestructor(Object& self) {
  if (const DataMember* d = self.GetClass()->FindData(sym::Handle))
    if (HGDIOBJ h = ValueHandle<HGDIOBJ>(self.Slot(d->slot))) DeleteObject(h);
}

}  // namespace zv::gdi
