// Helpers of the OLE client tests: OLE initialised for the test program, an
// error trap, and the test server's counters and call log.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ole/oleauto.h"
#include "framework/ole/olevariant.h"
#include "runtime/runtime.h"
#include "support/error_trap.h"

namespace oletest {

constexpr const char* kProgId = "ZorvanTest.Server";
constexpr const char* kClsid = "{A2C7D4E1-E402-40F3-B414-C1044A3D4686}";
constexpr const char* kFailingProgId = "ZorvanTest.Failing";
constexpr const char* kUnregisteredClsid = "{7B6F30F7-DCA3-4793-8545-441BEC579693}";

// The error trap of every test program.
using zvtest::ErrorTrap;

// The test server's exported counters and call log.
struct Server {
  static HMODULE Module();  // loads the server through COM on first use
  static long Live();
  static long Refs();
  static long RefErrors();
  static std::vector<std::string> TakeLog();
  static void SetLogging(bool on);
  static IDispatch* NewRaw();  // a server object with one reference (the caller's)
};

// A test that starts with an empty call log and ends, after every value of
// the test is gone, with the server's objects and references as they were.
class OleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  long live0_ = 0, refs0_ = 0, errors0_ = 0;
};

// The contents of "trace.log" in the current directory.
std::string ReadTrace();

// A HRESULT as the error objects carry it (a negative number).
inline long long Code(HRESULT hr) { return static_cast<long long>(hr); }

}  // namespace oletest
