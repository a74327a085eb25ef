#include "framework/window/paint_frame.h"
