#include "framework/window/scrolling.h"

#include "framework/core/members.h"
#include "framework/window/messages.h"

namespace zv {

Class* QScrollingWinControlClass() {
  static Class* c = [] {
    QVClass b("QScrollingWinControl", {TWinControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QSCROLLINGWINCONTROL_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TScrollingWinControlClass() {
  static Class* c = DeclarePublicClass("TScrollingWinControl", QScrollingWinControlClass());
  return c;
}

}  // namespace zv
