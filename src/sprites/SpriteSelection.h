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

// Choosing a sprite and loading it, the rules the window and the command line
// share. None of the loaders catches anything: an error ends the load where it
// happened, and whatever was done before it stays done.

// The table a sprite kind is read from: "SPRITE" for plain sprites,
// "COMPRESSED" for compressed ones.
gamedb::TableCursor& SpriteTable(gamedb::GameDatabase& db, tiles::SpriteKind kind);

// The sprite a tree node stands for, from its parent's key and its text: a
// plain sprite when the parent's key contains "QBRKHEAD_", else a compressed
// one.
tiles::SpriteChoice ChoiceOfNode(const std::string& parentKey, const std::string& text);

// A sprite as the command line names it: a tree key ("QBRKCHILD_" + name for
// a plain sprite, "QBRKHEADCOMPCHILD_" + name for a compressed one, which
// tells apart a plain and a compressed sprite of the same name), or a bare
// name, looked up in "SPRITE" first and then in "COMPRESSED". Nothing when a
// bare name is in neither table. May move the tables' current rows.
std::optional<tiles::SpriteChoice> ChooseSprite(gamedb::GameDatabase& db,
                                                const std::string& keyOrName);

// A sprite row's size in tiles ("Width", "Height" as 16-bit numbers).
tiles::TileSize RowTileSize(const gamedb::TableCursor& row);

// The palette a sprite row is drawn with: its own "Palette" offset, or the
// game's default ("NFO"."Palette") when that is 0.
std::int32_t SpritePaletteOffset(gamedb::GameDatabase& db, const gamedb::TableCursor& row);

// The "Grey" tile list of a sprite row, or nothing when the row has no grey
// tiles: no value, the empty text, or for a plain sprite the text "-1". (For a
// compressed sprite, "-1" is a list, and a bad one.)
std::optional<std::string> GreyTileList(const gamedb::TableCursor& row, tiles::SpriteKind kind);

// Moves the sprite's table to its first row, then seeks the row of that name.
// Returns the table, or nullptr when it holds no such row.
gamedb::TableCursor* SeekSpriteRow(gamedb::GameDatabase& db, const tiles::SpriteChoice& sprite);

// What every sprite load does once its row is found, whatever the tiles come
// from: loads the row's palette and clears PaletteDirty (paletteLoaded is told
// right after the palette changed), clears and sizes the view, creates the
// grids anew with the record of the sprite, its ROM and its row, resets the
// scroll bars and sets the magenta background.
void PrepareSprite(gamedb::GameDatabase& db, const std::string& romPath,
                   const gamedb::TableCursor& row, const tiles::SpriteChoice& sprite,
                   paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                   tiles::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded);

// Loads the plain sprite `name` the way selecting it in the tree does:
// SpriteCompressed = false, looks its SPRITE row up (returning false, with
// nothing else changed, when there is none), PrepareSprite, reads the white
// tiles and then the grey ones (if GreyTileList gives any) from the ROM, and
// sets SpriteLoaded.
bool LoadPlainSprite(gamedb::GameDatabase& db, const std::string& romPath, const std::string& name,
                     paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                     tiles::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded);

// Loads a sprite as a double-click in the tree does once the unsaved-change
// prompts are answered: a plain sprite from the ROM, a compressed one through
// files.dump, then SpriteLoaded = true and, for a compressed sprite whose
// "Grey" is not empty, its grey tiles. The record is marked complete at the
// end. Returns false, with nothing loaded, when the sprite's table has no row
// of that name.
bool LoadSprite(gamedb::GameDatabase& db, const std::string& romPath,
                const tiles::SpriteChoice& sprite, const TempFiles& files,
                paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                tiles::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded);

// A sprite loaded apart from the one being edited, with its own palette,
// grids and temporary files: for exporting, importing or measuring any
// sprite without a window. Loading it moves the tables' current rows like any
// load.
struct DetachedSprite {
    paint::GenesisPalette palette{paint::ScreenColour{}};
    tiles::SpriteDocument doc;
    PrivateTempFiles temp;
};
bool LoadDetached(gamedb::GameDatabase& db, const std::string& romPath,
                  const tiles::SpriteChoice& sprite, DetachedSprite& detached);

}  // namespace tess::sprites
