#include "tiles/SpriteDocument.h"

namespace tess::tiles {

void SpriteDocument::CreateGrids(TileSize size) {
    const PixelBounds pixels = SpritePixelBounds(size);
    // Build both before replacing either, so a failure keeps the old sprite.
    ByteGrid buffer(pixels.x, pixels.y);
    ByteGrid tiles(size.width, size.height);
    SpriteBuffer = std::move(buffer);
    TileMap = std::move(tiles);
}

}  // namespace tess::tiles
