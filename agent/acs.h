// The character file (".acs"): a small line-based text format that describes
// a character: its name and size, its colours, its poses and its animations
// (sequences of poses with durations). See docs/agent.md for the format.
//
// The parser is portable and defensive: the file and every line have a size
// limit, every number a range, every list a length limit, and any violation
// is reported with its line number instead of being accepted or crashing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pose.h"

namespace agent {

inline constexpr std::size_t kAcsMaxFileSize = 256 * 1024;
inline constexpr std::size_t kAcsMaxLine = 400;
inline constexpr std::size_t kAcsMaxName = 64;
inline constexpr std::size_t kAcsMaxText = 200;
inline constexpr std::size_t kAcsMaxPoses = 256;
inline constexpr std::size_t kAcsMaxAnimations = 256;
inline constexpr std::size_t kAcsMaxFrames = 128;
inline constexpr int kAcsMaxFrameMs = 10000;
inline constexpr int kAcsMaxAnimationMs = 60000;

struct Frame {
  int pose = 0;      // index into CharacterFile::poses
  int ms = 100;      // how long the pose is held
  int opacity = -1;  // the opacity (0..100) reached at the end of the frame; -1 keeps it
};

struct Animation {
  std::string name;
  std::vector<Frame> frames;
  bool changesOpacity = false;  // some frame has an opacity
  int TotalMs() const;
};

struct CharacterColours {
  std::uint32_t robe = 0x3B4CC0;  // 0xRRGGBB
  std::uint32_t hat = 0x3B4CC0;
  std::uint32_t trim = 0xF5C842;
  std::uint32_t skin = 0xF3C7A1;
  std::uint32_t beard = 0xF4F4F4;
};

struct CharacterFile {
  std::string name;         // UTF-8
  std::string description;  // UTF-8
  int width = 150;
  int height = 200;
  CharacterColours colours;
  std::vector<std::pair<std::string, Pose>> poses;
  std::vector<Animation> animations;

  // Case-insensitive (ASCII) lookups; -1 when absent.
  int FindPose(std::string_view name) const;
  int FindAnimation(std::string_view name) const;
  // The pose named "rest", or the built-in neutral pose.
  Pose RestPose() const;
};

struct AcsError {
  int line = 0;  // 1-based; 0 for errors about the file as a whole
  std::string message;
};

// Parses the text of a character file. On failure returns false and fills
// `error`; `out` is then unspecified.
bool ParseCharacterFile(std::string_view text, CharacterFile& out, AcsError& error);

// ASCII case-insensitive equality, the rule for every name in the format.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace agent
