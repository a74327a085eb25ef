// TIcon: one icon. A number names a system icon (32512, the application
// icon); a name without a dot an icon resource of the program, else of the
// system, of nWidth by nHeight pixels; any other name an icon file (or a
// program or library holding icons). Handle is the icon (0 when none could
// be loaded). An icon the object made itself is destroyed with it; a shared
// system icon is only forgotten.
#pragma once

#include "framework/window/winobject.h"

#define ZV_QICON_MEMBERS(X) \
  X(PROPERTY, Value, cName, .dflt = "", .setter = sym::Load) \
  X(PROPERTY, int, nWidth, .dflt = 32) \
  X(PROPERTY, int, nHeight, .dflt = 32) \
  X(DATA_H, long long, pOwned, 0) \
  X(CONSTRUCTOR, New, &IconCreate) \
  X(CONSTRUCTOR, Create, &IconCreate) \
  X(METHOD, Load, &IconLoad) \
  X(METHOD, LoadFromResource, &IconLoadFromResource) \
  X(METHOD, LoadFromFile, &IconLoadFromFile) \
  X(METHOD, Destroy, &IconDestroy) \
  X(METHOD, Clone, &IconClone) \
  X(METHOD, Paint, &IconPaint)

namespace zv {

Class* QIconClass();
Class* TIconClass();

class TIconRef : public TWinObjectRef {
  ZV_VIEW_CLASS(TIconRef, TWinObjectRef, QIconClass)
  ZV_VIEW_MEMBERS(ZV_QICON_MEMBERS)
};

}  // namespace zv
