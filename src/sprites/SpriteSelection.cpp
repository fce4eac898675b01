#include "sprites/SpriteSelection.h"

#include <string_view>

#include "base/RomFile.h"
#include "gamedb/Identify.h"
#include "gamedb/SpriteTree.h"
#include "sprites/CompressedSprite.h"
#include "tiles/TileLoading.h"

namespace tess::sprites {

using gamedb::GameDatabase;
using tiles::SpriteChoice;
using tiles::SpriteKind;

gamedb::TableCursor& SpriteTable(GameDatabase& db, SpriteKind kind) {
    return db.table(kind == SpriteKind::Plain ? GameDatabase::SPRITE : GameDatabase::COMPRESSED);
}

SpriteChoice ChoiceOfNode(const std::string& parentKey, const std::string& text) {
    const bool plain = parentKey.find(gamedb::kHeadingKey) != std::string::npos;
    return {plain ? SpriteKind::Plain : SpriteKind::Compressed, text};
}

std::optional<SpriteChoice> ChooseSprite(GameDatabase& db, const std::string& keyOrName) {
    constexpr SpriteKind kinds[] = {SpriteKind::Plain, SpriteKind::Compressed};
    for (const SpriteKind kind : kinds) {
        const std::string_view prefix =
            kind == SpriteKind::Plain ? gamedb::kPlainSpriteKey : gamedb::kCompressedSpriteKey;
        if (keyOrName.starts_with(prefix))
            return SpriteChoice{kind, keyOrName.substr(prefix.size())};
    }
    for (const SpriteKind kind : kinds) {
        if (SeekSpriteRow(db, {kind, keyOrName})) return SpriteChoice{kind, keyOrName};
    }
    return std::nullopt;
}

tiles::TileSize RowTileSize(const gamedb::TableCursor& row) {
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

gamedb::TableCursor* SeekSpriteRow(GameDatabase& db, const SpriteChoice& sprite) {
    auto& table = SpriteTable(db, sprite.kind);
    table.moveFirst();
    table.seek(gamedb::Value(sprite.name));
    return table.eof() ? nullptr : &table;
}

void PrepareSprite(GameDatabase& db, const std::string& romPath, const gamedb::TableCursor& row,
                   const SpriteChoice& sprite, paint::GenesisPalette& palette,
                   tiles::SpriteDocument& doc, tiles::SpriteLoadTarget& view,
                   const std::function<void()>& paletteLoaded) {
    palette.LoadPalette(romPath, SpritePaletteOffset(db, row));
    if (paletteLoaded) paletteLoaded();
    palette.setPaletteDirty(false);

    const tiles::TileSize size = RowTileSize(row);
    view.clearSurface(size);
    doc.CreateGrids(size);
    doc.Record = tiles::SpriteRecord{sprite, romPath, row.currentRow(), readWhole(romPath)};
    view.resetScrollBars();
    view.setMagentaBackground();
}

bool LoadPlainSprite(GameDatabase& db, const std::string& romPath, const std::string& name,
                     paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                     tiles::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded) {
    doc.SpriteCompressed = false;
    const SpriteChoice sprite{SpriteKind::Plain, name};
    gamedb::TableCursor* row = SeekSpriteRow(db, sprite);
    if (!row) return false;
    PrepareSprite(db, romPath, *row, sprite, palette, doc, view, paletteLoaded);

    tiles::LoadWhiteTiles(romPath, row->field("White").text(), view, doc);
    if (const auto grey = GreyTileList(*row, SpriteKind::Plain)) {
        tiles::LoadGreyTiles(romPath, *grey, view, doc);
    }
    doc.SpriteLoaded = true;
    return true;
}

bool LoadSprite(GameDatabase& db, const std::string& romPath, const SpriteChoice& sprite,
                const TempFiles& files, paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                tiles::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded) {
    if (sprite.kind == SpriteKind::Plain) {
        if (!LoadPlainSprite(db, romPath, sprite.name, palette, doc, view, paletteLoaded))
            return false;
    } else {
        if (!LoadCompressedSprite(db, romPath, sprite.name, files, palette, doc, view,
                                  paletteLoaded)) {
            return false;
        }
        doc.SpriteLoaded = true;
        const auto& row = SpriteTable(db, SpriteKind::Compressed);
        if (const auto grey = GreyTileList(row, SpriteKind::Compressed)) {
            LoadCompressedGreyTiles(row, romPath, *grey, files, view, doc);
        }
    }
    doc.Record->complete = true;
    return true;
}

bool LoadDetached(GameDatabase& db, const std::string& romPath, const SpriteChoice& sprite,
                  DetachedSprite& detached) {
    tiles::NullLoadTarget view;
    return LoadSprite(db, romPath, sprite, detached.temp.files(), detached.palette, detached.doc,
                      view, {});
}

}  // namespace tess::sprites
