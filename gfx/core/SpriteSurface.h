#pragma once

namespace tess::gfx {

// What the tile loaders draw through while they read: the sprite view on
// screen, or nothing at all for work without a window.
class SpriteSurface {
public:
    virtual ~SpriteSurface() = default;

    // Paints sprite pixel (x, y) in the colour of palette entry `index`;
    // 255 paints nothing. Cells outside the surface are not visible.
    virtual void DrawCell(int x, int y, int index) = 0;
    // Lays the read-only hatch over tile cell (tx, ty).
    virtual void HatchTile(int tx, int ty) = 0;
    // Called once after each tile of a list has been loaded, so that a
    // surface on screen can show the progress of a long load.
    virtual void TileDone() {}
};

}  // namespace tess::gfx
