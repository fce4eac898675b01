#pragma once

#include <vector>

#include "gfx/core/SpriteOverlay.h"

namespace tess::edit {

// The pixels of the straight line from a to b, both ends included, in order
// from a: one pixel per step along the longer axis, the nearest to the true
// line on the other (Bresenham's line).
std::vector<gfx::Pixel> LinePixels(gfx::Pixel a, gfx::Pixel b);

// The outline of the rectangle with corners a and b, each pixel once.
std::vector<gfx::Pixel> RectanglePixels(gfx::Pixel a, gfx::Pixel b);

}  // namespace tess::edit
