#include "paint/PixelShapes.h"

#include <algorithm>
#include <cstdlib>

namespace tess::paint {

using tiles::Pixel;

std::vector<Pixel> LinePixels(Pixel a, Pixel b) {
    const std::int32_t dx = std::abs(b.x - a.x);
    const std::int32_t dy = -std::abs(b.y - a.y);
    const std::int32_t sx = a.x < b.x ? 1 : -1;
    const std::int32_t sy = a.y < b.y ? 1 : -1;
    std::vector<Pixel> pixels;
    pixels.reserve(static_cast<std::size_t>(std::max(dx, -dy)) + 1);
    // The all-integer form: err measures how far the next pixel strays from
    // the true line, scaled by dx and dy so that it stays whole.
    std::int32_t err = dx + dy;
    for (Pixel p = a;;) {
        pixels.push_back(p);
        if (p == b) break;
        const std::int32_t twice = 2 * err;
        if (twice >= dy) {
            err += dy;
            p.x += sx;
        }
        if (twice <= dx) {
            err += dx;
            p.y += sy;
        }
    }
    return pixels;
}

std::vector<Pixel> RectanglePixels(Pixel a, Pixel b) {
    const tiles::PixelRect r = tiles::PixelRect::spanning(a, b);
    const std::int32_t right = r.x + r.width - 1;
    const std::int32_t bottom = r.y + r.height - 1;
    std::vector<Pixel> pixels;
    for (std::int32_t x = r.x; x <= right; ++x) {
        pixels.push_back({x, r.y});
        if (bottom != r.y) pixels.push_back({x, bottom});
    }
    for (std::int32_t y = r.y + 1; y < bottom; ++y) {
        pixels.push_back({r.x, y});
        if (right != r.x) pixels.push_back({right, y});
    }
    return pixels;
}

}  // namespace tess::paint
