#include "framework/window/theme.h"
