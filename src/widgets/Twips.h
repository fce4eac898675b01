#pragma once

#include <cmath>

namespace tess::widgets {

// Window layouts are designed in twips (1440 per inch). S, the screen's twips
// per pixel, is 1440 / logical dots per inch, per axis (15 at 96 dpi).
inline double twipsPerPixel(double dotsPerInch) { return 1440.0 / dotsPerInch; }

inline int twipsToPixels(double twips, double s) {
    return static_cast<int>(std::lround(twips / s));
}

}  // namespace tess::widgets
