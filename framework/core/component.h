// TComponent: the root of the framework's classes.
//
// It holds the owner link (oParent), a free-use value (Cargo), the life-cycle
// flags lFree and lCreated, and the construction protocol every subclass
// extends: New(oParent) constructs, Create(oParent) constructs and creates
// the resources, Destroy(lFree) releases (and frees when asked), End() is
// Destroy(true).
#pragma once

#include "framework/core/classbuilder.h"

namespace zv {

Class* QComponentClass();
Class* TComponentClass();

// A new object of the class with its New constructor run on the arguments.
template <typename... A>
Value NewObject(Class* cls, A&&... args) {
  Value o = Object::New(cls);
  return o.Send("New", std::forward<A>(args)...);
}

}  // namespace zv
