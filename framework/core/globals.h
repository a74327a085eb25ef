// The process-wide named objects: Application, AppData, Screen, Printer.
// Each holds no value until start-up puts an object in it.
#pragma once

#include "runtime/runtime.h"

namespace zv {

Value& Application();
Value& AppData();
Value& Screen();
Value& Printer();
// Empties all four (end of the program).
void ClearGlobals();

}  // namespace zv
