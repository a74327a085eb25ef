// Tooltips with zones, drag and drop, help and status-bar messages of controls.
#include <gtest/gtest.h>

#include "tests/support/test_forms.h"
