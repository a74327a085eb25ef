// Objects holding an icon or a cursor (TIcon, TCursor): Handle is the one in
// use; pOwned is the same handle when the object made it (a copy of a
// program resource, one read from a file) and must destroy it, else 0 (a
// shared system icon or cursor, never destroyed). How the handle was
// obtained decides it, once, when it is loaded.
#pragma once

#include "framework/core/members.h"
#include "framework/window/winobject.h"

namespace zv::owned {

// Destroy is DestroyIcon or DestroyCursor.
template <BOOL(WINAPI* Destroy)(HICON)>
void Release(Object& self) {
  if (auto h = ValueHandle<HICON>(Get(self, sym::pOwned))) Destroy(h);
  Put(self, sym::set::pOwned, 0);
  Put(self, sym::set::Handle, 0);
}

inline Value Keep(Object& self, HICON h, bool owned) {
  Put(self, sym::set::Handle, HandleValue(h));
  Put(self, sym::set::pOwned, owned && h ? HandleValue(h) : Value(0));
  return h != nullptr;
}

// The name as stored: an absent name is the empty one.
inline Value StoredName(const Value& name) { return name.IsNil() ? Value("") : name; }

// The class destructor (it runs without sends): the slot of pOwned.
template <BOOL(WINAPI* Destroy)(HICON)>
void ReleaseSlot(Value& ownedSlot) {
  if (auto h = ValueHandle<HICON>(ownedSlot)) Destroy(h);
  ownedSlot = Value(0);
}

}  // namespace zv::owned
