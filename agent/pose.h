// A pose of the drawn wizard: what the painter needs to draw one frame.
// Portable (no Windows headers): the character file parser fills it.
#pragma once

#include <cstdint>

namespace agent {

enum class Eyes : std::uint8_t { Open, Closed, Wide, Half, Up, Down, Left, Right };
enum class Brows : std::uint8_t { Normal, Raised, Frown, Worried };
enum class Mouth : std::uint8_t { Smile, Open, O, Flat, Frown, Grin };
enum class Ears : std::uint8_t { Normal, Big, Left, Right };
enum class Prop : std::uint8_t { Wand, None, Trumpet, Trophy };

// Effects drawn around the figure (a set of bits).
enum Effect : std::uint32_t {
  kFxSparkles = 1u << 0,  // twinkling stars at the wand's tip
  kFxGlow = 1u << 1,      // a ring of stars around the figure
  kFxClouds = 1u << 2,    // smoke clouds at the feet
  kFxQuestion = 1u << 3,  // a question mark beside the hat
  kFxExclaim = 1u << 4,   // an exclamation mark beside the hat
  kFxNotes = 1u << 5,     // musical notes
  kFxKnock = 1u << 6,     // impact lines at the right hand
  kFxConfetti = 1u << 7,  // confetti falling around the figure
};

// Arm angles are in degrees. The first number turns the upper arm at the
// shoulder: 0 hangs straight down, 90 points sideways away from the body,
// 180 points straight up. The second bends the forearm at the elbow in the
// same sense (positive: further away from the body and up; negative: across
// the body). "larm" is the arm on the left of the screen, "rarm" the one on
// the right (the one that holds the wand).
struct Pose {
  float lean = 0;    // whole figure, degrees, positive leans to the right
  float bow = 0;     // the head bends forward and down, 0 to 20
  float rise = 0;    // the figure is lifted by this many units
  float head = 0;    // head tilt, degrees, positive to the right
  float turn = 0;    // the face turns, -1 (left) to 1 (right)
  float larm[2] = {12, 8};
  float rarm[2] = {12, 8};
  Eyes eyes = Eyes::Open;
  Brows brows = Brows::Normal;
  Mouth mouth = Mouth::Smile;
  Ears ears = Ears::Normal;
  Prop prop = Prop::Wand;
  std::uint32_t fx = 0;
};

}  // namespace agent
