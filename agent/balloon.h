// The speech balloon and the thought cloud: their size for a text and their
// drawing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "raster.h"

namespace agent {

struct BalloonLayout {
  std::wstring text;  // the text shown (shortened with an ellipsis when too long)
  bool thought = false;
  bool tailDown = true;  // the balloon sits above the character, its tail at the bottom
  int width = 0;         // the window
  int height = 0;
  RECT body{};      // the balloon without its tail, in window pixels
  RECT textRect{};  // where the text goes
};

// Lays out a text: lines wrap at a fixed width; at most nine lines are
// shown, the rest replaced by an ellipsis.
BalloonLayout LayoutBalloon(const std::wstring& text, bool thought, bool tailDown);

// Draws the balloon with the first `shown` characters of the text, the tail
// (or the thought bubbles) pointing at window x `tailX`.
Image DrawBalloon(const BalloonLayout& layout, std::size_t shown, int tailX);

}  // namespace agent
