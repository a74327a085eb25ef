// TComponent: the root of the framework's classes.
//
// It holds the owner link (oParent), a free-use value (Cargo), the life-cycle
// flags lFree and lCreated, and the construction protocol every subclass
// extends: New(oParent) constructs, Create(oParent) constructs and creates
// the resources, Destroy(lFree) releases (and frees when asked), End() is
// Destroy(true).
#pragma once

#include "framework/core/classbuilder.h"
#include "framework/core/declare.h"

#define ZV_QCOMPONENT_MEMBERS(X)              \
  X(PROPERTY, Value, Cargo)                   \
  X(DATA_P, bool, lFree, true)                \
  X(DATA_P, bool, lCreated, false)            \
  X(PROPERTY, Value, oParent)                 \
  X(DATA_R, std::string, cAuthor, "")         \
  X(DATA_R, std::string, cCopyright, "")      \
  X(DATA_R, std::string, cProduct, "")        \
  X(DATA_R, std::string, cVersion, "")        \
  X(CONSTRUCTOR, New, &ComponentNew)          \
  X(CONSTRUCTOR, Create, &ComponentCreate)    \
  X(METHOD, Destroy, &ComponentDestroy)       \
  X(ABSTRACT, Free)                           \
  X(METHOD, End, &ComponentEnd)               \
  X(METHOD, EventAssigned, &ComponentEventAssigned) \
  X(ABSTRACT, QVNotify)

namespace zv {

Class* QComponentClass();
Class* TComponentClass();

class TComponentRef : public ObjectRef {
  ZV_VIEW_CLASS(TComponentRef, ObjectRef, QComponentClass)
  ZV_VIEW_MEMBERS(ZV_QCOMPONENT_MEMBERS)
};

// A new object of the class with its New constructor run on the arguments.
template <typename... A>
Value NewObject(Class* cls, A&&... args) {
  Value o = Object::New(cls);
  return o.Send(sym::New, std::forward<A>(args)...);
}

}  // namespace zv
