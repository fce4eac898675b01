#include "tiles/TileLoading.h"

#include <limits>

#include "base/RomFile.h"
#include "tiles/TileCodec.h"
#include "tiles/TileListReader.h"

namespace tess::tiles {
namespace {

std::int32_t times8(std::int32_t value) {
    const std::int64_t product = std::int64_t{value} * 8;
    if (product < std::numeric_limits<std::int32_t>::min() ||
        product > std::numeric_limits<std::int32_t>::max()) {
        throw overflowError();
    }
    return static_cast<std::int32_t>(product);
}

void loadList(const std::string& sourcePath, std::string_view list, SpriteSurface& view,
              SpriteDocument& doc, std::uint8_t state) {
    TileListReader reader(list);
    TileListEntry entry;
    while (reader.next(entry)) {
        ReadTile(sourcePath, view, doc, entry.offset, entry.tx, entry.ty, true);
        doc.TileMap.at(entry.tx, entry.ty) = state;
        if (state == kGreyTile) view.HatchTile(entry.tx, entry.ty);
        view.TileDone();
    }
}

}  // namespace

void ReadTile(const std::string& sourcePath, SpriteSurface& view, SpriteDocument& doc,
              std::int32_t offset, std::int32_t x, std::int32_t y, bool inTiles) {
    if (inTiles) {
        x = times8(x);
        y = times8(y);
    }
    // One read instead of 32; a tile cut short by the end of the file keeps
    // zeros for its missing bytes.
    TileBytes bytes{};
    readAt(sourcePath, offset, bytes);
    DecodeTile(bytes, doc.SpriteBuffer, x, y, view);
}

void LoadWhiteTiles(const std::string& sourcePath, std::string_view list, SpriteSurface& view,
                    SpriteDocument& doc) {
    loadList(sourcePath, list, view, doc, kWhiteTile);
}

void LoadGreyTiles(const std::string& sourcePath, std::string_view list, SpriteSurface& view,
                   SpriteDocument& doc) {
    loadList(sourcePath, list, view, doc, kGreyTile);
}

}  // namespace tess::tiles
