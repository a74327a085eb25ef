#include "framework/window/msgbar.h"
