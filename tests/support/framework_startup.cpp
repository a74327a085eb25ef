// Linked into a test program, starts the framework once before its tests
// run (the application object, its tooltip windows, OLE), as a program's
// start-up does before MAIN.
#include <gtest/gtest.h>

#include "framework/core/application.h"

namespace {

class FrameworkStartUp : public ::testing::Environment {
 public:
  void SetUp() override { zv::FrameworkStartUp(); }
};

const auto* const g_env = ::testing::AddGlobalTestEnvironment(new FrameworkStartUp);

}  // namespace
