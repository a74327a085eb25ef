// The common fixture of the server tests: OLE initialised, requests played
// twenty times faster than normal, a journal file of the test's own, a
// control created from its ProgID.
#pragma once

#include <gtest/gtest.h>

#include "agent_client.h"
#include "agent_errors.h"

namespace agenttest {

class AgentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    SetEnvironmentVariableW(L"AGENT_TIME_SCALE", L"0.05");
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    journal_ = WorkPath(L"journal-" + std::wstring(name.begin(), name.end()) + L".txt");
    DeleteFileW(journal_.c_str());
    SetEnvironmentVariableW(L"AGENT_JOURNAL", journal_.c_str());
    control_ = CreateControl();
    ASSERT_TRUE(control_) << "Agent.Control.2 cannot be created: is the server registered?";
  }

  void TearDown() override {
    merlin_.Reset();
    control_.Reset();
    SetEnvironmentVariableW(L"AGENT_JOURNAL", nullptr);
    SetEnvironmentVariableW(L"AGENT_TIME_SCALE", nullptr);
    OleUninitialize();
  }

  // Connects, loads Merlin and gets the character, as the demo does.
  Obj LoadMerlin() {
    EXPECT_TRUE(control_.Put(L"CONNECTED", Var::Bool(true)).ok());
    Obj characters = control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD);
    EXPECT_TRUE(characters);
    if (!characters) return Obj();
    Outcome load = characters.Method(L"LOAD", {Var::Str(L"Merlin"), Var::Str(L"Merlin.acs")});
    EXPECT_TRUE(load.ok()) << load.description;
    return control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD, {Var::Str(L"Merlin")});
  }

  // Plays the queue to its end (the journal is paused meanwhile so that the
  // polling does not fill it).
  bool Drain(const Obj& character, DWORD ms = 20000) {
    SetEnvironmentVariableW(L"AGENT_JOURNAL", nullptr);
    bool done = PumpUntil([&] { return character.Get(L"QUEUELENGTH").Long() == 0; }, ms);
    SetEnvironmentVariableW(L"AGENT_JOURNAL", journal_.c_str());
    return done;
  }

  std::vector<std::wstring> Journal() const { return ReadLines(journal_); }

  std::wstring journal_;
  Obj control_;
  Obj merlin_;
};

}  // namespace agenttest
