// TCursor: one mouse cursor. Its name says where the cursor comes from: a
// number is a system cursor (32512, the arrow), a name without a dot a
// cursor resource of the program (else a system cursor of that name), any
// other name a cursor file. Assigning cName loads the cursor of that name;
// Handle is the cursor handle (0 when nothing could be loaded).
//
// A cursor the object made itself (from a file, or a copy of a program
// resource) is the object's own and goes with Destroy, or with the object;
// a shared system cursor is only forgotten.
#pragma once

#include "framework/window/winobject.h"

#define ZV_QCURSOR_MEMBERS(X) \
  X(PROPERTY, Value, cName, .dflt = "", .setter = sym::Create) \
  X(DATA_H, long long, pOwned, 0) \
  X(CONSTRUCTOR, New, &CursorNew) \
  X(CONSTRUCTOR, Create, &CursorCreate) \
  X(METHOD, Load, &Load) \
  X(METHOD, LoadFromResource, &LoadFromResource) \
  X(METHOD, LoadFromFile, &LoadFromFile) \
  X(METHOD, Destroy, &Destroy) \
  X(METHOD, Clone, &Clone)

namespace zv {

Class* QCursorClass();
Class* TCursorClass();

class TCursorRef : public TWinObjectRef {
  ZV_VIEW_CLASS(TCursorRef, TWinObjectRef, QCursorClass)
  ZV_VIEW_MEMBERS(ZV_QCURSOR_MEMBERS)
  HCURSOR hcursor() const { return reinterpret_cast<HCURSOR>(static_cast<std::intptr_t>(Handle())); }
};

}  // namespace zv
