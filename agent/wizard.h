// The drawn wizard: one frame of the character for a pose.
#pragma once

#include <windows.h>

#include "acs.h"
#include "pose.h"
#include "raster.h"

namespace agent {

// Draws the figure in `pose` into an image of width x height pixels (the
// figure is designed on a grid of 190 x 210 units and scaled to fit,
// standing near the bottom edge). `seed` varies the effects from frame to
// frame.
Image DrawWizard(const Pose& pose, const CharacterColours& colours, int width, int height, unsigned seed);

// The horizontal position of the figure's head in such an image (where a
// speech balloon's tail points).
int WizardHeadX(int width, int height);

}  // namespace agent
