#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "tiles/Grid.h"
#include "tiles/SpriteRaster.h"

namespace tess::tiles {

// A sprite pixel position; either coordinate may be negative.
struct Pixel {
    std::int32_t x = 0;
    std::int32_t y = 0;

    bool operator==(const Pixel&) const = default;
};

// A rectangle of sprite pixels: columns x .. x + width - 1, rows y .. y +
// height - 1. Empty when either side is 0 or less.
struct PixelRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    // The rectangle with corners a and b, both inside, in any order.
    static PixelRect spanning(Pixel a, Pixel b) {
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::abs(a.x - b.x) + 1,
                std::abs(a.y - b.y) + 1};
    }

    bool empty() const { return width <= 0 || height <= 0; }
    bool contains(Pixel p) const {
        return p.x >= x && p.y >= y && p.x - x < width && p.y - y < height;
    }
    // The common part; empty when there is none.
    PixelRect intersected(const PixelRect& o) const {
        const std::int32_t left = std::max(x, o.x);
        const std::int32_t top = std::max(y, o.y);
        const std::int32_t right = std::min(x + width, o.x + o.width);
        const std::int32_t bottom = std::min(y + height, o.y + o.height);
        if (right <= left || bottom <= top) return {};
        return {left, top, right - left, bottom - top};
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    PixelRect united(const PixelRect& o) const {
        if (o.empty()) return *this;
        if (empty()) return o;
        const std::int32_t left = std::min(x, o.x);
        const std::int32_t top = std::min(y, o.y);
        return {left, top, std::max(x + width, o.x + o.width) - left,
                std::max(y + height, o.y + o.height) - top};
    }

    bool operator==(const PixelRect&) const = default;
};

// What a paint gesture in progress shows over the sprite picture without
// having changed the sprite: cells in palette colours (a shape being drawn,
// pixels being moved) and the marquee of a selected rectangle.
class SpriteOverlay {
public:
    // A cell that shows the picture beneath.
    static constexpr std::uint8_t kClear = 255;
    // Marquee dashes: this many screen pixels black, then as many white.
    static constexpr int kDash = 4;
    // From this zoom on the marquee is 2 screen pixels thick, so that it
    // stands out from the dashed grid.
    static constexpr int kThickMarqueeZoom = 8;

    // Shows nothing.
    SpriteOverlay() = default;
    // Cells over `area`, all clear at first.
    explicit SpriteOverlay(PixelRect area);

    // Sets a cell of the area; cells outside it are ignored.
    void setCell(Pixel p, std::uint8_t index);
    // The cell's index, kClear outside the area.
    std::uint8_t cell(Pixel p) const;
    const PixelRect& area() const { return area_; }

    void setMarquee(std::optional<PixelRect> marquee) { marquee_ = marquee; }
    const std::optional<PixelRect>& marquee() const { return marquee_; }

    // The sprite pixels the overlay draws over, marquee included.
    PixelRect bounds() const;
    bool empty() const { return bounds().empty(); }

    // Draws over the zoomed pixels [left, left + width) x [top, top + height)
    // of `out` (as SpriteRaster::render lays them out): each cell that is not
    // clear as a solid `zoom` x `zoom` square of its colour, and the
    // marquee as a ring just inside the selected squares, dashed black and
    // white along the canvas diagonal.
    void render(const SpriteRaster::Colours& colours, int zoom, std::int32_t left, std::int32_t top,
                std::int32_t width, std::int32_t height, std::uint32_t* out,
                std::ptrdiff_t stride) const;

private:
    PixelRect area_;
    ByteGrid cells_;
    std::optional<PixelRect> marquee_;
};

}  // namespace tess::tiles
