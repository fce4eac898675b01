#pragma once

#include "gfx/core/SpriteSurface.h"

namespace tess::gfx {

// A surface that shows nothing, for loading tiles without a window.
class NullSurface final : public SpriteSurface {
public:
    void DrawCell(int, int, int) override {}
    void HatchTile(int, int) override {}
};

}  // namespace tess::gfx
