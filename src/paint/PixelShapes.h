#pragma once

#include <vector>

#include "tiles/SpriteOverlay.h"

namespace tess::paint {

// The pixels of the straight line from a to b, both ends included, in order
// from a: one pixel per step along the longer axis, the nearest to the true
// line on the other (Bresenham's line).
std::vector<tiles::Pixel> LinePixels(tiles::Pixel a, tiles::Pixel b);

// The outline of the rectangle with corners a and b, each pixel once.
std::vector<tiles::Pixel> RectanglePixels(tiles::Pixel a, tiles::Pixel b);

}  // namespace tess::paint
