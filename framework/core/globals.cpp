#include "framework/core/globals.h"

namespace zv {
namespace {
struct Globals {
  Value application, appData, screen, printer;
};
Globals& globals() {
  static auto* g = new Globals;  // lives to the end; emptied explicitly
  return *g;
}
}  // namespace

Value& Application() { return globals().application; }
Value& AppData() { return globals().appData; }
Value& Screen() { return globals().screen; }
Value& Printer() { return globals().printer; }

void ClearGlobals() {
  Globals& g = globals();
  g.printer = Value();
  g.screen = Value();
  g.appData = Value();
  g.application = Value();
}

}  // namespace zv
