#include "tiles/SpriteSize.h"

#include "base/Int16.h"

namespace tess::tiles {

PixelBounds SpritePixelBounds(TileSize size) {
    return {mul16(8, size.width), mul16(8, size.height)};
}

SurfaceSize ZoomedSurfaceSize(TileSize size, std::int16_t zoom) {
    const std::int16_t width = mul16(mul16(size.width, zoom), 8);
    const std::int16_t height = mul16(mul16(size.height, zoom), 8);
    if (width < 0 || height < 0)
        throw RuntimeError(err::InvalidPropertyValue, "Invalid property value");
    return {width, height};
}

std::vector<std::int16_t> FailingZooms(TileSize size) {
    std::vector<std::int16_t> failing;
    for (const std::int16_t zoom : kZoomLevels) {
        try {
            // What a load at this zoom sizes: the view's surface, then the grids.
            ZoomedSurfaceSize(size, zoom);
            SpritePixelBounds(size);
        } catch (const RuntimeError&) {
            failing.push_back(zoom);
        }
    }
    return failing;
}

}  // namespace tess::tiles
