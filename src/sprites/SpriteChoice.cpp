#include "sprites/SpriteChoice.h"

#include <string_view>

#include "gamedb/SpriteTree.h"
#include "sprites/CompressedSprite.h"
#include "sprites/SpriteSelection.h"

namespace tess::sprites {

using gamedb::GameDatabase;
using tiles::SpriteKind;

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
                const TempFiles& files, paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                tiles::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded) {
    if (sprite.kind == SpriteKind::Plain) {
        return sprites::LoadPlainSprite(db, romPath, sprite.name, palette, doc, view, paletteLoaded);
    }
    if (!LoadCompressedSprite(db, romPath, sprite.name, files, palette, doc, view, paletteLoaded)) {
        return false;
    }
    doc.SpriteLoaded = true;
    const auto& row = db.table(GameDatabase::COMPRESSED);
    if (const auto grey = sprites::GreyTileList(row, SpriteKind::Compressed)) {
        LoadCompressedGreyTiles(row, romPath, *grey, files, view, doc);
    }
    return true;
}

bool LoadDetached(GameDatabase& db, const std::string& romPath, const SpriteChoice& sprite,
                  DetachedSprite& detached) {
    tiles::NullLoadTarget view;
    return LoadSprite(db, romPath, sprite, detached.temp.files(), detached.palette, detached.doc, view,
                      {});
}

}  // namespace tess::sprites
