#include "sprites/SpriteSelection.h"

#include "gamedb/Identify.h"
#include "tiles/TileLoading.h"

namespace tess::sprites {

using gamedb::GameDatabase;

tiles::TileSize RowTileSize(const gamedb::TableCursor& row) {
    return {row.field("Width").toInteger(), row.field("Height").toInteger()};
}

std::int32_t SpritePaletteOffset(GameDatabase& db, const gamedb::TableCursor& row) {
    const std::int32_t own = row.field("Palette").toLong();
    return own != 0 ? own : gamedb::DefaultPaletteOffset(db);
}

std::optional<std::string> GreyTileList(const gamedb::TableCursor& row, tiles::SpriteKind kind) {
    const gamedb::Value& grey = row.field("Grey");
    if (grey.isNull()) return std::nullopt;
    std::string list = grey.text();
    if (list.empty() || (kind == tiles::SpriteKind::Plain && list == "-1")) return std::nullopt;
    return list;
}

gamedb::TableCursor* SeekSpriteRow(GameDatabase& db, tiles::SpriteKind kind, const std::string& name,
                                   tiles::SpriteDocument& doc) {
    auto& table = db.table(kind == tiles::SpriteKind::Plain ? GameDatabase::SPRITE : GameDatabase::COMPRESSED);
    doc.GridsRow.reset();
    table.moveFirst();
    table.seek(gamedb::Value(name));
    return table.eof() ? nullptr : &table;
}

void PrepareSprite(GameDatabase& db, const std::string& romPath, const gamedb::TableCursor& row,
                   tiles::SpriteKind kind, paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                   tiles::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded) {
    palette.LoadPalette(romPath, SpritePaletteOffset(db, row));
    if (paletteLoaded) paletteLoaded();
    palette.setPaletteDirty(false);

    const tiles::TileSize size = RowTileSize(row);
    view.clearSurface(size);
    doc.CreateGrids(size);
    doc.GridsRow = kind;
    view.resetScrollBars();
    view.setMagentaBackground();
}

bool LoadPlainSprite(GameDatabase& db, const std::string& romPath, const std::string& name,
                     paint::GenesisPalette& palette, tiles::SpriteDocument& doc, tiles::SpriteLoadTarget& view,
                     const std::function<void()>& paletteLoaded) {
    doc.SpriteCompressed = false;
    gamedb::TableCursor* sprites = SeekSpriteRow(db, tiles::SpriteKind::Plain, name, doc);
    if (!sprites) return false;
    PrepareSprite(db, romPath, *sprites, tiles::SpriteKind::Plain, palette, doc, view, paletteLoaded);

    tiles::LoadWhiteTiles(romPath, sprites->field("White").text(), view, doc);
    if (const auto grey = GreyTileList(*sprites, tiles::SpriteKind::Plain)) tiles::LoadGreyTiles(romPath, *grey, view, doc);
    doc.SpriteLoaded = true;
    return true;
}

}  // namespace tess::sprites
