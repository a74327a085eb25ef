// Framework classes that one layer creates by name from another: the
// application object creates the tooltip windows, the screen, printer,
// font, icon, help and mutex objects through this catalogue, so a class
// that does not exist yet simply makes the caller go on without it.
#pragma once

#include <string_view>

#include "runtime/runtime.h"

namespace zv {

// The class, declared on first use; nullptr when the framework has none by that name.
Class* FrameworkClass(std::string_view name);
// A new object of the class (no constructor run), or no value.
Value NewFrameworkObject(std::string_view name);

}  // namespace zv
