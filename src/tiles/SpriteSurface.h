#pragma once

#include <cstdint>
#include <span>

namespace tess::tiles {

class SpriteOverlay;

// What the tile loaders and the paint tools draw through: the sprite view on
// screen, or nothing at all for work without a window.
class SpriteSurface {
public:
    virtual ~SpriteSurface() = default;

    // Paints sprite pixel (x, y) in the colour of palette entry `index`;
    // 255 paints nothing. Cells outside the surface are not visible.
    virtual void DrawCell(int x, int y, int index) = 0;
    // Paints the cells (x, y), (x + 1, y), ... in `indices`: the same as
    // DrawCell on each from left to right, which a surface may do faster.
    virtual void DrawCells(int x, int y, std::span<const std::uint8_t> indices) {
        for (const std::uint8_t index : indices) DrawCell(x++, y, index);
    }
    // Lays the read-only hatch over tile cell (tx, ty).
    virtual void HatchTile(int tx, int ty) = 0;
    // Clears the picture to the magenta background.
    virtual void setMagentaBackground() = 0;
    // Called once after each tile of a list has been loaded, so that a
    // surface on screen can show the progress of a long load.
    virtual void TileDone() {}
    // Shows what a paint gesture in progress would do, over the picture and
    // apart from it; an empty overlay shows nothing. The surface keeps a copy.
    virtual void showOverlay(const SpriteOverlay&) {}
};

}  // namespace tess::tiles
