// The drawing of the character: the figure, its poses, its balloons and the
// blending over a backdrop (what the screen shows on displays that do not
// blend layered windows).
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "acs.h"
#include "balloon.h"
#include "raster.h"
#include "wizard.h"

namespace agenttest {
namespace {

agent::CharacterFile Merlin() {
  std::ifstream in(AGENT_SOURCE_DIR "/Merlin.acs", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  agent::CharacterFile f;
  agent::AcsError e;
  EXPECT_TRUE(agent::ParseCharacterFile(text.str(), f, e)) << e.message;
  return f;
}

unsigned Alpha(const agent::Image& img, int x, int y) {
  return img.pixels[static_cast<std::size_t>(y) * img.width + x] >> 24;
}

TEST(AgentDraw, ComposeOverShowsTheBackdropWhereTheImageIsClear) {
  agent::Image img;
  img.width = 4;
  img.height = 1;
  // clear, opaque red, half-covered white (premultiplied), opaque blue
  img.pixels = {0x00000000u, 0xFFFF0000u, 0x80808080u, 0xFF0000FFu};
  const std::uint32_t backdrop[4] = {0x00123456u, 0x00123456u, 0x00000000u, 0x00FFFFFFu};
  std::uint32_t out[4] = {};
  agent::ComposeOver(img, backdrop, 1.0, out);
  EXPECT_EQ(out[0], 0xFF123456u);
  EXPECT_EQ(out[1], 0xFFFF0000u);
  EXPECT_EQ(out[2], 0xFF808080u);
  EXPECT_EQ(out[3], 0xFF0000FFu);
  // Faded to nothing, only the backdrop remains; half-way, half of each.
  agent::ComposeOver(img, backdrop, 0.0, out);
  EXPECT_EQ(out[1], 0xFF123456u);
  agent::ComposeOver(img, backdrop, 0.5, out);
  EXPECT_NEAR(static_cast<int>((out[3] >> 16) & 0xFF), 128, 2);  // white backdrop, half blue over it
  EXPECT_EQ(out[3] & 0xFF, 0xFFu);
}

TEST(AgentDraw, TheFigureStandsOnAClearBackground) {
  agent::CharacterFile f = Merlin();
  agent::Image img = agent::DrawWizard(f.RestPose(), f.colours, f.width, f.height, 1);
  ASSERT_EQ(img.width, f.width);
  ASSERT_EQ(img.height, f.height);
  // The corners are clear, the robe in the middle is solid and blue.
  EXPECT_EQ(Alpha(img, 0, 0), 0u);
  EXPECT_EQ(Alpha(img, img.width - 1, 0), 0u);
  EXPECT_EQ(Alpha(img, 0, img.height - 1), 0u);
  const std::uint32_t robe = img.pixels[static_cast<std::size_t>(img.height * 85 / 100) * img.width + img.width / 2 - 12];
  EXPECT_EQ(robe >> 24, 0xFFu);
  EXPECT_GT(robe & 0xFF, ((robe >> 16) & 0xFF) + 60);
  std::size_t solid = 0, edge = 0;
  for (std::uint32_t p : img.pixels) {
    solid += (p >> 24) == 0xFF;
    edge += (p >> 24) > 0 && (p >> 24) < 0xFF;
  }
  EXPECT_GT(solid, img.pixels.size() / 6);
  EXPECT_LT(solid, img.pixels.size() / 2);
  EXPECT_GT(edge, 100u);  // smoothed edges
  // The colours of the file are used.
  agent::CharacterColours red = f.colours;
  red.robe = 0xC03020;
  agent::Image other = agent::DrawWizard(f.RestPose(), red, f.width, f.height, 1);
  const std::uint32_t otherRobe =
      other.pixels[static_cast<std::size_t>(img.height * 85 / 100) * img.width + img.width / 2 - 12];
  EXPECT_GT((otherRobe >> 16) & 0xFF, (otherRobe & 0xFF) + 60);
}

// Each animation of the demo changes the picture during its course, and no
// two animations show the same pictures.
TEST(AgentDraw, EveryDemoAnimationShowsItsOwnChangingPictures) {
  agent::CharacterFile f = Merlin();
  const char* names[] = {"Acknowledge", "Alert", "Announce", "Blink", "Confused", "Congratulate", "Congratulate_2",
                         "Decline", "DoMagic1", "DoMagic2", "DontRecognize", "Explain", "GestureDown", "GestureLeft",
                         "GestureRight", "GestureUp", "GetAttention", "GetAttentionContinued", "GetAttentionReturn",
                         "Greet", "Hearing_1", "Hearing_2", "Hearing_3", "Hearing_4", "Hide", "Show"};
  const int small = 80;  // drawn small: enough to tell poses apart, and quick
  std::vector<std::uint32_t> rest = agent::DrawWizard(f.RestPose(), f.colours, small, small * 11 / 10, 1).pixels;
  std::set<std::vector<std::uint32_t>> firstPictures;
  for (const char* name : names) {
    const agent::Animation& a = f.animations[static_cast<std::size_t>(f.FindAnimation(name))];
    std::set<std::vector<std::uint32_t>> pictures;
    std::vector<std::uint32_t> first;
    for (const agent::Frame& fr : a.frames) {
      const agent::Pose& p = f.poses[static_cast<std::size_t>(fr.pose)].second;
      std::vector<std::uint32_t> px = agent::DrawWizard(p, f.colours, small, small * 11 / 10, 1).pixels;
      if (first.empty() && px != rest) first = px;
      pictures.insert(px);
    }
    EXPECT_GE(pictures.size(), 2u) << name << " shows a single picture";
    ASSERT_FALSE(first.empty()) << name << " never leaves the rest pose";
    // Where two animations begin with the same pose, their sequences still
    // differ (checked on the poses in AgentMerlin); most begin differently.
    firstPictures.insert(first);
  }
  EXPECT_GE(firstPictures.size(), 20u);
}

TEST(AgentDraw, BalloonsWrapLongTextAndShowItWordByWord) {
  agent::BalloonLayout shortOne = agent::LayoutBalloon(L"Have fun!", false, true);
  agent::BalloonLayout longOne = agent::LayoutBalloon(std::wstring(2000, L'x') + L" " + std::wstring(3000, L'y'), false, true);
  EXPECT_LT(shortOne.width, longOne.width);
  EXPECT_LE(longOne.width, 300);
  EXPECT_LE(longOne.height, 250);  // nine lines at most
  EXPECT_EQ(longOne.text.back(), L'\u2026');
  EXPECT_LT(longOne.text.size(), 1000u);
  // The tail is below the body when the balloon sits above the character.
  EXPECT_LT(shortOne.body.bottom, shortOne.height - 10);
  agent::BalloonLayout below = agent::LayoutBalloon(L"Have fun!", false, false);
  EXPECT_GT(below.body.top, 10);

  agent::BalloonLayout l = agent::LayoutBalloon(L"Welcome to Zorvan Agent Demo !!!", false, true);
  agent::Image none = agent::DrawBalloon(l, 0, l.width / 2);
  agent::Image some = agent::DrawBalloon(l, 8, l.width / 2);
  agent::Image all = agent::DrawBalloon(l, l.text.size(), l.width / 2);
  auto dark = [](const agent::Image& img) {
    std::size_t n = 0;
    for (std::uint32_t p : img.pixels) n += (p >> 24) == 0xFF && (p & 0xFF) < 100;
    return n;
  };
  EXPECT_LT(dark(none), dark(some));
  EXPECT_LT(dark(some), dark(all));
  EXPECT_EQ(Alpha(all, 0, 0), 0u);  // rounded corner: clear
  EXPECT_EQ(Alpha(all, all.width / 2, all.height / 3), 0xFFu);

  // A thought is a cloud: white, with a different outline from the speech.
  agent::BalloonLayout t = agent::LayoutBalloon(L"Welcome to Zorvan Agent Demo !!!", true, true);
  agent::Image cloud = agent::DrawBalloon(t, t.text.size(), t.width / 2);
  EXPECT_NE(cloud.pixels, all.pixels);
}

}  // namespace
}  // namespace agenttest
