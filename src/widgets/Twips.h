#pragma once

#include <QRect>
#include <cmath>

namespace tess::widgets {

// Window layouts are designed in twips (1440 per inch). S, the screen's twips
// per pixel, is 1440 / logical dots per inch, per axis (15 at 96 dpi).
inline double twipsPerPixel(double dotsPerInch) { return 1440.0 / dotsPerInch; }

inline int twipsToPixels(double twips, double s) {
    return static_cast<int>(std::lround(twips / s));
}

// A design rectangle in twips, in pixels.
inline QRect twipsToRect(int left, int top, int width, int height, double sx, double sy) {
    return {twipsToPixels(left, sx), twipsToPixels(top, sy), twipsToPixels(width, sx),
            twipsToPixels(height, sy)};
}

}  // namespace tess::widgets
