#include "tiles/SpriteLoadTarget.h"

#include "base/Int16.h"

namespace tess::tiles {

SurfaceSize ZoomedSurfaceSize(TileSize size, std::int16_t zoom) {
    const std::int16_t width = mul16(mul16(size.width, zoom), 8);
    const std::int16_t height = mul16(mul16(size.height, zoom), 8);
    if (width < 0 || height < 0) throw RuntimeError(err::InvalidPropertyValue, "Invalid property value");
    return {width, height};
}

}  // namespace tess::tiles
