#include "gfx/selection/SpriteSelection.h"

#include "gamedb/core/Identify.h"
#include "gfx/core/TileLoading.h"

namespace tess::gfx {

using gamedb::GameDatabase;

TileSize RowTileSize(const gamedb::TableCursor& row) {
    return {row.field("Width").toInteger(), row.field("Height").toInteger()};
}

std::int32_t SpritePaletteOffset(GameDatabase& db, const gamedb::TableCursor& row) {
    const std::int32_t own = row.field("Palette").toLong();
    return own != 0 ? own : gamedb::DefaultPaletteOffset(db);
}

std::optional<std::string> GreyTileList(const gamedb::TableCursor& row, bool compressed) {
    const gamedb::Value& grey = row.field("Grey");
    if (grey.isNull()) return std::nullopt;
    std::string list = grey.text();
    if (list.empty() || (!compressed && list == "-1")) return std::nullopt;
    return list;
}

bool LoadPlainSprite(GameDatabase& db, const std::string& romPath, const std::string& name,
                     edit::GenesisPalette& palette, SpriteDocument& doc, SpriteLoadTarget& view,
                     const std::function<void()>& paletteLoaded) {
    doc.SpriteCompressed = false;
    auto& sprites = db.table(GameDatabase::SPRITE);
    sprites.moveFirst();
    sprites.seek(gamedb::Value(name));
    if (sprites.eof()) return false;

    palette.LoadPalette(romPath, SpritePaletteOffset(db, sprites));
    if (paletteLoaded) paletteLoaded();
    palette.setPaletteDirty(false);

    const TileSize size = RowTileSize(sprites);
    view.clearSurface(size);
    doc.CreateGrids(size);
    view.resetScrollBars();
    view.setMagentaBackground();

    LoadWhiteTiles(romPath, sprites.field("White").text(), view, doc);
    if (const auto grey = GreyTileList(sprites, false)) LoadGreyTiles(romPath, *grey, view, doc);
    doc.SpriteLoaded = true;
    return true;
}

}  // namespace tess::gfx
