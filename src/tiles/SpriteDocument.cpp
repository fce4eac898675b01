#include "tiles/SpriteDocument.h"

#include "base/Int16.h"

namespace tess::tiles {

void SpriteDocument::CreateGrids(TileSize size) {
    const std::int16_t pixelsX = mul16(8, size.width);
    const std::int16_t pixelsY = mul16(8, size.height);
    // Build both before replacing either, so a failure keeps the old sprite.
    ByteGrid buffer(pixelsX, pixelsY);
    ByteGrid tiles(size.width, size.height);
    SpriteBuffer = std::move(buffer);
    TileMap = std::move(tiles);
}

}  // namespace tess::tiles
