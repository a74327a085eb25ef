// Character files: loading them through the server (absolute paths, bad
// files raising exceptions), the parser itself, and the shipped Merlin.acs.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "acs.h"
#include "agent_fixture.h"

namespace agenttest {
namespace {

const char kMinimal[] =
    "[character]\n"
    "name = Tiny\n"
    "width = 100\n"
    "height = 120\n"
    "[pose rest]\n"
    "[pose up]\n"
    "like = rest\n"
    "larm = 170 0\n"
    "[animation Wave]\n"
    "up 100\n"
    "rest 100 50\n";

// ---- through the server ----

class AgentFiles : public AgentTest {
 protected:
  void SetUp() override {
    AgentTest::SetUp();
    ASSERT_TRUE(control_.Put(L"CONNECTED", Var::Bool(true)).ok());
    characters_ = control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD);
    ASSERT_TRUE(characters_);
  }
  void TearDown() override {
    characters_.Reset();
    AgentTest::TearDown();
  }
  Outcome LoadText(const std::wstring& file, const std::string& text) {
    std::wstring path = WorkPath(file);
    WriteBytes(path, text);
    return characters_.Method(L"LOAD", {Var::Str(L"Test"), Var::Str(path)});
  }
  Obj characters_;
};

TEST_F(AgentFiles, AFileGivenByAbsolutePathLoadsWithItsOwnSizeAndAnimations) {
  Outcome o = LoadText(L"tiny.acs", kMinimal);
  ASSERT_TRUE(o.ok()) << std::string(o.description.begin(), o.description.end());
  Obj tiny = control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD, {Var::Str(L"test")});
  ASSERT_TRUE(tiny);
  EXPECT_EQ(tiny.Get(L"NAME").String(), L"Tiny");
  EXPECT_EQ(tiny.Get(L"WIDTH").Long(), 100);
  EXPECT_EQ(tiny.Get(L"HEIGHT").Long(), 120);
  Outcome names = tiny.Get(L"ANIMATIONNAMES");
  ASSERT_EQ(V_VT(&names.result.v), VT_ARRAY | VT_VARIANT);
  SAFEARRAY* sa = V_ARRAY(&names.result.v);
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(sa, 1, &lo);
  SafeArrayGetUBound(sa, 1, &hi);
  ASSERT_EQ(hi - lo + 1, 1);
  Var first;
  SafeArrayGetElement(sa, &lo, &first.v);
  EXPECT_EQ(std::wstring(V_BSTR(&first.v)), L"Wave");
  EXPECT_FALSE(tiny.Method(L"HASANIMATION", {Var::Str(L"Greet")}).Bool());
  // Its animation plays; the last frame fades it to half.
  EXPECT_TRUE(tiny.Method(L"PLAY", {Var::Str(L"wave")}).ok());
  ASSERT_TRUE(Drain(tiny));
  EXPECT_TRUE(tiny.Get(L"VISIBLE").Bool());
  // Unload removes it.
  EXPECT_TRUE(characters_.Method(L"UNLOAD", {Var::Str(L"Test")}).ok());
  EXPECT_EQ(characters_.Get(L"COUNT").Long(), 0);
  EXPECT_EQ(tiny.Method(L"SHOW").scode, agent::kErrUnloaded);
}

struct BadFile {
  const char* name;
  std::string text;
  const wchar_t* expected;  // part of the description after the file name
};

class AgentBadFiles : public AgentFiles, public ::testing::WithParamInterface<BadFile> {};

TEST_P(AgentBadFiles, RaiseAnExceptionNamingTheFileAndTheFault) {
  const BadFile& bad = GetParam();
  std::wstring file = std::wstring(bad.name, bad.name + strlen(bad.name)) + L".acs";
  Outcome o = LoadText(file, bad.text);
  EXPECT_EQ(o.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(o.scode, agent::kErrFileMalformed);
  EXPECT_EQ(o.source, L"Agent.Control.2");
  std::wstring head = L"The character file \"" + WorkPath(file) + L"\" is malformed: ";
  EXPECT_EQ(o.description.substr(0, head.size()), head) << std::string(o.description.begin(), o.description.end());
  EXPECT_NE(o.description.find(bad.expected), std::wstring::npos)
      << std::string(o.description.begin(), o.description.end());
  EXPECT_EQ(characters_.Get(L"COUNT").Long(), 0);
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const std::string kHead = "[character]\nname = X\n";

INSTANTIATE_TEST_SUITE_P(
    Files, AgentBadFiles,
    ::testing::Values(
        BadFile{"empty", "", L"the [character] section is missing"},
        BadFile{"binary", std::string("\x7F" "ELF\x01\x02\x03\n\xFF\xFE", 10), L"line 1: text outside a section"},
        BadFile{"nulbyte", kHead + std::string("desc\0ription = x\n", 17), L"line 3: the line contains a NUL byte"},
        BadFile{"longline", kHead + "description = " + std::string(500, 'a') + "\n",
                L"line 3: the line is longer than 400 characters"},
        BadFile{"huge", kHead + Repeat("# padding padding padding padding padding padding\n", 6000),
                L"the file is larger than 256 KiB"},
        BadFile{"noname", "[character]\nwidth = 100\n", L"[character] has no name"},
        BadFile{"unknownkey", kHead + "[pose wave]\nlram = 10 10\n", L"line 4: unknown key \"lram\" in [pose wave]"},
        BadFile{"badnumber", kHead + "width = 1e3\n", L"line 3: bad value \"1e3\" for width"},
        BadFile{"range", kHead + "[pose p]\nlean = 90\n", L"line 4: bad value \"90\" for lean in [pose p]"},
        BadFile{"arm", kHead + "[pose p]\nlarm = 10\n", L"expected two angles"},
        BadFile{"twice", kHead + "[pose p]\neyes = up\neyes = down\n", L"line 5: the key \"eyes\" is given twice"},
        BadFile{"unknownpose", kHead + "[animation A]\nnope 100\n",
                L"line 4: [animation A] uses the unknown pose \"nope\""},
        BadFile{"noframes", kHead + "[animation A]\n", L"[animation A] has no frames"},
        BadFile{"duplicate", kHead + "[pose p]\n[animation A]\np 10\n[animation a]\np 10\n",
                L"line 6: the animation \"a\" is defined twice"},
        BadFile{"opacity", kHead + "[pose p]\n[animation A]\np 100 150\n", L"line 5: bad opacity \"150\""},
        BadFile{"duration", kHead + "[pose p]\n[animation A]\np 0\n", L"line 5: bad duration \"0\""},
        BadFile{"like", kHead + "[pose p]\nlike = q\n", L"\"like\" names \"q\", which is not a pose defined above"},
        BadFile{"header", kHead + "[pose\n", L"line 3: a section header must end with \"]\""},
        BadFile{"badutf8", "[character]\nname = M\xC3\x28rlin\n", L"its text is not UTF-8"},
        BadFile{"colour", kHead + "robe = blue\n", L"bad value \"blue\" for robe"},
        BadFile{"frames", kHead + "[pose p]\n[animation A]\n" + Repeat("p 10\n", 129), L"line 133: more than 128 frames"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

// ---- the parser ----

TEST(AgentParser, ReadsPosesFramesAndColours) {
  agent::CharacterFile f;
  agent::AcsError e;
  std::string text = std::string("\xEF\xBB\xBF") +  // a BOM is allowed
                     "# comment\r\n"
                     "[character]\r\n"
                     "name = Wizard\r\n"
                     "robe = #102030\r\n"
                     "[pose rest]\r\n"
                     "rarm = 20 -5.5\r\n"
                     "[pose big]\r\n"
                     "like = rest\r\n"
                     "ears = BIG\r\n"
                     "fx = sparkles clouds\r\n"
                     "[animation Grow]\r\n"
                     "  big   250   40  \r\n"
                     "REST 100\r\n";
  ASSERT_TRUE(agent::ParseCharacterFile(text, f, e)) << e.line << ": " << e.message;
  EXPECT_EQ(f.name, "Wizard");
  EXPECT_EQ(f.colours.robe, 0x102030u);
  EXPECT_EQ(f.width, 150);  // default size
  ASSERT_EQ(f.poses.size(), 2u);
  const agent::Pose& big = f.poses[1].second;
  EXPECT_FLOAT_EQ(big.rarm[0], 20);
  EXPECT_FLOAT_EQ(big.rarm[1], -5.5f);  // copied from "rest" by like
  EXPECT_EQ(big.ears, agent::Ears::Big);
  EXPECT_EQ(big.fx, agent::kFxSparkles | agent::kFxClouds);
  ASSERT_EQ(f.FindAnimation("grow"), 0);
  const agent::Animation& a = f.animations[0];
  ASSERT_EQ(a.frames.size(), 2u);
  EXPECT_EQ(a.frames[0].pose, 1);
  EXPECT_EQ(a.frames[0].ms, 250);
  EXPECT_EQ(a.frames[0].opacity, 40);
  EXPECT_EQ(a.frames[1].pose, 0);
  EXPECT_EQ(a.frames[1].opacity, -1);
  EXPECT_TRUE(a.changesOpacity);
  EXPECT_EQ(a.TotalMs(), 350);
}

TEST(AgentParser, EnforcesItsLimits) {
  agent::CharacterFile f;
  agent::AcsError e;
  std::string poses = "[character]\nname = X\n";
  for (int i = 0; i < 257; ++i) poses += "[pose p" + std::to_string(i) + "]\n";
  EXPECT_FALSE(agent::ParseCharacterFile(poses, f, e));
  EXPECT_EQ(e.message, "more than 256 poses");
  EXPECT_EQ(e.line, 259);

  std::string longAnim = "[character]\nname = X\n[pose p]\n[animation A]\n" + Repeat("p 10000\n", 7);
  EXPECT_FALSE(agent::ParseCharacterFile(longAnim, f, e));
  EXPECT_EQ(e.message, "[animation A] is longer than 60 seconds");

  std::string longName = "[character]\nname = X\n[pose " + std::string(65, 'n') + "]\n";
  EXPECT_FALSE(agent::ParseCharacterFile(longName, f, e));
  EXPECT_EQ(e.line, 3);

  // A text field shown in an error is shortened and stripped of control
  // characters.
  std::string junk = "[character]\nname = X\n[pose p]\n" + std::string(60, 'k') + "\x01 = 1\n";
  EXPECT_FALSE(agent::ParseCharacterFile(junk, f, e));
  EXPECT_EQ(e.message.find('\x01'), std::string::npos);
  EXPECT_NE(e.message.find("...\""), std::string::npos);
}

// ---- the shipped character ----

agent::CharacterFile ShippedMerlin() {
  std::ifstream in(AGENT_SOURCE_DIR "/Merlin.acs", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  agent::CharacterFile f;
  agent::AcsError e;
  EXPECT_TRUE(agent::ParseCharacterFile(text.str(), f, e)) << e.line << ": " << e.message;
  return f;
}

TEST(AgentMerlin, HasEveryAnimationOfTheDemoEachAVisiblyDistinctSequence) {
  agent::CharacterFile f = ShippedMerlin();
  EXPECT_EQ(f.name, "Merlin");
  const char* names[] = {"Acknowledge", "Alert", "Announce", "Blink", "Confused", "Congratulate", "Congratulate_2",
                         "Decline", "DoMagic1", "DoMagic2", "DontRecognize", "Explain", "GestureDown", "GestureLeft",
                         "GestureRight", "GestureUp", "GetAttention", "GetAttentionContinued", "GetAttentionReturn",
                         "Greet", "Hearing_1", "Hearing_2", "Hearing_3", "Hearing_4", "Hide", "Show"};
  std::set<std::vector<int>> sequences;
  const int rest = f.FindPose("rest");
  for (const char* name : names) {
    int i = f.FindAnimation(name);
    ASSERT_GE(i, 0) << name;
    const agent::Animation& a = f.animations[static_cast<std::size_t>(i)];
    std::vector<int> poses;
    bool moves = false;
    for (const agent::Frame& fr : a.frames) {
      poses.push_back(fr.pose);
      moves |= fr.pose != rest;
    }
    EXPECT_TRUE(moves) << name << " never leaves the rest pose";
    EXPECT_GE(a.frames.size(), 2u) << name;
    EXPECT_LE(a.TotalMs(), 4000) << name << " is not short";
    EXPECT_TRUE(sequences.insert(poses).second) << name << " repeats another animation's poses";
  }
  // Hide ends invisible, Show visible.
  EXPECT_EQ(f.animations[static_cast<std::size_t>(f.FindAnimation("Hide"))].frames.back().opacity, 0);
  int show = f.FindAnimation("Show");
  bool reachesFull = false;
  for (const agent::Frame& fr : f.animations[static_cast<std::size_t>(show)].frames) reachesFull |= fr.opacity == 100;
  EXPECT_TRUE(reachesFull);
}

}  // namespace
}  // namespace agenttest
