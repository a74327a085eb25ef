// Virtual size, scroll bars and scrolling of TScrollingWinControl.
#include <gtest/gtest.h>
