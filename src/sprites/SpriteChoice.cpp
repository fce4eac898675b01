#include "compress/sprites/SpriteChoice.h"

#include <string_view>

#include "compress/sprites/CompressedSprite.h"
#include "gamedb/core/SpriteTree.h"
#include "gfx/selection/SpriteSelection.h"

namespace tess::compress {

using gamedb::GameDatabase;
using gfx::SpriteKind;

std::optional<SpriteChoice> ChooseSprite(GameDatabase& db, const std::string& keyOrName) {
    for (const auto& [prefix, kind] : {std::pair{std::string_view(gamedb::kPlainSpriteKey), SpriteKind::Plain},
                                       std::pair{std::string_view(gamedb::kCompressedSpriteKey),
                                                 SpriteKind::Compressed}}) {
        if (keyOrName.starts_with(prefix)) return SpriteChoice{kind, keyOrName.substr(prefix.size())};
    }
    for (const auto& [table, kind] : {std::pair{GameDatabase::SPRITE, SpriteKind::Plain},
                                      std::pair{GameDatabase::COMPRESSED, SpriteKind::Compressed}}) {
        auto& rows = db.table(table);
        rows.moveFirst();
        rows.seek(gamedb::Value(keyOrName));
        if (!rows.eof()) return SpriteChoice{kind, keyOrName};
    }
    return std::nullopt;
}

bool LoadSprite(GameDatabase& db, const std::string& romPath, const SpriteChoice& sprite,
                const TempFiles& files, edit::GenesisPalette& palette, gfx::SpriteDocument& doc,
                gfx::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded) {
    if (sprite.kind == SpriteKind::Plain) {
        return gfx::LoadPlainSprite(db, romPath, sprite.name, palette, doc, view, paletteLoaded);
    }
    if (!LoadCompressedSprite(db, romPath, sprite.name, files, palette, doc, view, paletteLoaded)) {
        return false;
    }
    doc.SpriteLoaded = true;
    const auto& row = db.table(GameDatabase::COMPRESSED);
    if (const auto grey = gfx::GreyTileList(row, SpriteKind::Compressed)) {
        LoadCompressedGreyTiles(row, romPath, *grey, files, view, doc);
    }
    return true;
}

bool LoadDetached(GameDatabase& db, const std::string& romPath, const SpriteChoice& sprite,
                  DetachedSprite& detached) {
    gfx::NullLoadTarget view;
    return LoadSprite(db, romPath, sprite, detached.temp.files(), detached.palette, detached.doc, view,
                      {});
}

}  // namespace tess::compress
