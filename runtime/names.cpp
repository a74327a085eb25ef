// The runtime's symbol constants (declared in runtime/names.h).
#include "runtime/names.h"

ZV_DEFINE_SYMBOLS(ZV_RUNTIME_NAMES)
