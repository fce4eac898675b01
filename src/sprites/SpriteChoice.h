#pragma once

#include <functional>
#include <optional>
#include <string>

#include "gamedb/GameDatabase.h"
#include "paint/GenesisPalette.h"
#include "sprites/TempFiles.h"
#include "tiles/SpriteDocument.h"
#include "tiles/SpriteLoadTarget.h"

namespace tess::sprites {

// A sprite of the loaded game: its table and its "Name".
struct SpriteChoice {
    tiles::SpriteKind kind = tiles::SpriteKind::Plain;
    std::string name;

    bool operator==(const SpriteChoice&) const = default;
};

// A sprite as the command line names it: a tree key ("QBRKCHILD_" + name for
// a plain sprite, "QBRKHEADCOMPCHILD_" + name for a compressed one, which
// tells apart a plain and a compressed sprite of the same name), or a bare
// name, looked up in "SPRITE" first and then in "COMPRESSED". Nothing when a
// bare name is in neither table. May move the tables' current rows.
std::optional<SpriteChoice> ChooseSprite(gamedb::GameDatabase& db, const std::string& keyOrName);

// Loads a sprite as a double-click in the tree does once the unsaved-change
// prompts are answered: a plain sprite from the ROM, a compressed one through
// files.dump, then SpriteLoaded = true and, for a compressed sprite whose
// "Grey" is not empty, its grey tiles. Returns false, with nothing loaded, when
// the sprite's table has no row of that name. Nothing is caught.
bool LoadSprite(gamedb::GameDatabase& db, const std::string& romPath, const SpriteChoice& sprite,
                const TempFiles& files, paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                tiles::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded);

// A sprite loaded apart from the one being edited, with its own palette,
// grids and temporary files: for exporting or measuring any sprite. Loading
// it moves the tables' current rows like any load.
struct DetachedSprite {
    paint::GenesisPalette palette{paint::ScreenColour{}};
    tiles::SpriteDocument doc;
    PrivateTempFiles temp;
};
bool LoadDetached(gamedb::GameDatabase& db, const std::string& romPath, const SpriteChoice& sprite,
                  DetachedSprite& detached);

}  // namespace tess::sprites
