#pragma once

#include "paint/ScreenColour.h"

namespace tess::sprites {

// CIEDE2000 colour difference between two screen colours (sRGB, D65 white).
// Chosen over the plain CIELAB distance because it corrects that distance
// where it is known to disagree with the eye -- blues, greys and saturated
// colours -- which is where a 512-colour Genesis palette has its near misses.
double Ciede2000(paint::ScreenColour a, paint::ScreenColour b);

struct Lab {
    double L, a, b;
};
Lab ToLab(paint::ScreenColour colour);
double Ciede2000(const Lab& first, const Lab& second);

}  // namespace tess::sprites
