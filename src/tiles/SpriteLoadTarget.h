#pragma once

#include "tiles/SpriteSize.h"
#include "tiles/SpriteSurface.h"

namespace tess::tiles {

// What loading a sprite asks of the view it loads into, besides drawing: the
// sprite view on screen, or a stand-in without a window.
class SpriteLoadTarget : public SpriteSurface {
public:
    // Clears the surface, sizes it for `size` at the current zoom (raising
    // ZoomedSurfaceSize's errors before anything changes) and shows it.
    virtual void clearSurface(TileSize size) = 0;
    // Disables both scroll bars, puts the surface at the frame's top-left and
    // applies the scroll-range rule.
    virtual void resetScrollBars() = 0;
};

// A target that shows nothing, for loading sprites without a window. It
// checks the surface size at the start-up zoom, as the window would.
class NullLoadTarget final : public SpriteLoadTarget {
public:
    void DrawCell(int, int, int) override {}
    void HatchTile(int, int) override {}
    void clearSurface(TileSize size) override { ZoomedSurfaceSize(size, kStartZoom); }
    void resetScrollBars() override {}
    void setMagentaBackground() override {}
};

}  // namespace tess::tiles
