#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "tiles/Grid.h"

namespace tess::tiles {

// What the sprite view has drawn, kept at sprite-pixel resolution so that any
// part of the zoomed picture (up to 32767 pixels a side) can be rendered on
// demand without ever holding the whole picture.
//
// The picture behaves like a persistent drawing: a cell shows what was last
// drawn on it, in the line style that was in force then, until the picture is
// cleared; hatches stay over their tile until then. Colours are looked up at
// render time.
class SpriteRaster {
public:
    enum class LineStyle { Solid, Dashed };

    // Colours as 0xAARRGGBB.
    static constexpr std::uint32_t kBackground = 0xFFFF00FF;    // magenta
    static constexpr std::uint32_t kHatchOutline = 0xFFE0E0E0;  // light grey
    static constexpr std::uint32_t kHatchLine = 0xFFC0C0FF;     // light blue
    // Index that draws nothing.
    static constexpr std::uint8_t kNothing = 255;

    using Colours = std::array<std::uint32_t, 16>;

    // A new, empty picture for sprite cells (0..upperX, 0..upperY) at `zoom`
    // screen pixels per cell (1..24). Raises err::SubscriptOutOfRange for
    // negative bounds.
    void reset(std::int32_t upperX, std::int32_t upperY, int zoom);
    // Removes every drawn cell and hatch; size and zoom stay.
    void clear();

    int zoom() const { return zoom_; }
    std::int32_t upperX() const { return shown_.upperX(); }
    std::int32_t upperY() const { return shown_.upperY(); }

    // The style of the outlines drawn from now on; what is drawn keeps its own.
    void setLineStyle(LineStyle style) { style_ = style; }
    LineStyle lineStyle() const { return style_; }

    // Draws cell (x, y) in palette entry `index`. 255 draws nothing, a cell
    // outside the picture is not visible and is ignored, and an index of 16
    // to 254 (no such entry) raises err::SubscriptOutOfRange.
    void drawCell(std::int32_t x, std::int32_t y, int index);
    // drawCell on (x, y), (x + 1, y), ... for each of `indices`.
    void drawCells(std::int32_t x, std::int32_t y, std::span<const std::uint8_t> indices);
    // Hatches tile cell (tx, ty); a tile outside the picture is ignored.
    void hatchTile(std::int32_t tx, std::int32_t ty);

    // Draws every cell (x, y) of spriteBuffer except the last one (upperX,
    // upperY) whose tile in tileMap is white (1) or grey (2), hatching each
    // grey tile once all its cells are drawn. Cells of other tiles stay
    // empty. A tile missing from tileMap raises err::SubscriptOutOfRange
    // after the cells before it were drawn.
    void drawSprite(const ByteGrid& spriteBuffer, const ByteGrid& tileMap);

    // Renders the zoomed pixels [left, left + width) x [top, top + height)
    // (left, top >= 0) into `out`, `stride` pixels apart from row to row.
    // Cells never drawn, pixels beyond the picture and the gaps of dashed
    // outlines show the magenta background. A dashed outline runs along the
    // outermost ring of a square, 2 pixels on and 2 off from its top-left
    // corner. A hatched tile gets a light-grey outline in its style and
    // light-blue diagonal lines 8 pixels apart inside, with the cells visible
    // between them.
    void render(const Colours& colours, std::int32_t left, std::int32_t top, std::int32_t width,
                std::int32_t height, std::uint32_t* out, std::ptrdiff_t stride) const;

private:
    // A drawn cell is stored as its index, with this bit when its outline is
    // dashed; hatches as 0 (none) or 1 + the style.
    static constexpr std::uint8_t kDashedBit = 0x40;

    void renderHatch(std::int32_t tx, std::int32_t ty, std::uint8_t hatch, std::int32_t left,
                     std::int32_t top, std::int32_t width, std::int32_t height, std::uint32_t* out,
                     std::ptrdiff_t stride) const;

    ByteGrid shown_;
    ByteGrid hatch_;
    int zoom_ = 8;
    LineStyle style_ = LineStyle::Solid;
};

}  // namespace tess::tiles
