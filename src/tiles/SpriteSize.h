#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tess::tiles {

// A sprite's size in tiles, as its database row gives it.
struct TileSize {
    std::int16_t width = 0;
    std::int16_t height = 0;
};

// The zooms of the View menu, screen pixels per sprite pixel. The view starts
// at kStartZoom, and a load without a window sizes its surface at it too.
inline constexpr std::array<std::int16_t, 6> kZoomLevels{1, 4, 6, 8, 16, 24};
inline constexpr std::int16_t kStartZoom = 8;

// The upper bounds of SpriteBuffer for a sprite of `size` tiles: 8 x Width by
// 8 x Height, 16-bit products (err::Overflow beyond 32767).
struct PixelBounds {
    std::int16_t x;
    std::int16_t y;
};
PixelBounds SpritePixelBounds(TileSize size);

// The zoomed surface of a sprite of `size` tiles at `zoom` screen pixels per
// sprite pixel: Width x Zoom x 8 by Height x Zoom x 8, in 16-bit arithmetic
// (err::Overflow beyond 32767; a negative size raises
// err::InvalidPropertyValue).
struct SurfaceSize {
    std::int16_t width;
    std::int16_t height;
};
SurfaceSize ZoomedSurfaceSize(TileSize size, std::int16_t zoom);

// The zooms of kZoomLevels at which a sprite of `size` tiles fails to load or
// to redraw, by the two rules above: all of them when it can never load, none
// when it loads at every zoom.
std::vector<std::int16_t> FailingZooms(TileSize size);

}  // namespace tess::tiles
