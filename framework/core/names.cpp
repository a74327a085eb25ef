// The framework's symbol constants (declared in framework/core/names.h).
#include "framework/core/names.h"

ZV_DEFINE_SYMBOLS(ZV_FRAMEWORK_NAMES)
ZV_DEFINE_SYMBOLS(ZV_SENT_ONLY_NAMES)
