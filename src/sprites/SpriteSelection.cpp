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

std::optional<std::string> GreyTileList(const gamedb::TableCursor& row, SpriteKind kind) {
    const gamedb::Value& grey = row.field("Grey");
    if (grey.isNull()) return std::nullopt;
    std::string list = grey.text();
    if (list.empty() || (kind == SpriteKind::Plain && list == "-1")) return std::nullopt;
    return list;
}

gamedb::TableCursor* SeekSpriteRow(GameDatabase& db, SpriteKind kind, const std::string& name,
                                   SpriteDocument& doc) {
    auto& table = db.table(kind == SpriteKind::Plain ? GameDatabase::SPRITE : GameDatabase::COMPRESSED);
    doc.GridsRow.reset();
    table.moveFirst();
    table.seek(gamedb::Value(name));
    return table.eof() ? nullptr : &table;
}

void PrepareSprite(GameDatabase& db, const std::string& romPath, const gamedb::TableCursor& row,
                   SpriteKind kind, edit::GenesisPalette& palette, SpriteDocument& doc,
                   SpriteLoadTarget& view, const std::function<void()>& paletteLoaded) {
    palette.LoadPalette(romPath, SpritePaletteOffset(db, row));
    if (paletteLoaded) paletteLoaded();
    palette.setPaletteDirty(false);

    const TileSize size = RowTileSize(row);
    view.clearSurface(size);
    doc.CreateGrids(size);
    doc.GridsRow = kind;
    view.resetScrollBars();
    view.setMagentaBackground();
}

bool LoadPlainSprite(GameDatabase& db, const std::string& romPath, const std::string& name,
                     edit::GenesisPalette& palette, SpriteDocument& doc, SpriteLoadTarget& view,
                     const std::function<void()>& paletteLoaded) {
    doc.SpriteCompressed = false;
    gamedb::TableCursor* sprites = SeekSpriteRow(db, SpriteKind::Plain, name, doc);
    if (!sprites) return false;
    PrepareSprite(db, romPath, *sprites, SpriteKind::Plain, palette, doc, view, paletteLoaded);

    LoadWhiteTiles(romPath, sprites->field("White").text(), view, doc);
    if (const auto grey = GreyTileList(*sprites, SpriteKind::Plain)) LoadGreyTiles(romPath, *grey, view, doc);
    doc.SpriteLoaded = true;
    return true;
}

}  // namespace tess::gfx
