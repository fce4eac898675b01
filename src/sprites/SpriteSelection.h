#pragma once

#include <functional>
#include <optional>
#include <string>

#include "gamedb/GameDatabase.h"
#include "paint/GenesisPalette.h"
#include "tiles/SpriteDocument.h"
#include "tiles/SpriteLoadTarget.h"

namespace tess::sprites {

// A sprite row's size in tiles ("Width", "Height" as 16-bit numbers).
tiles::TileSize RowTileSize(const gamedb::TableCursor& row);

// The palette a sprite row is drawn with: its own "Palette" offset, or the
// game's default ("NFO"."Palette") when that is 0.
std::int32_t SpritePaletteOffset(gamedb::GameDatabase& db, const gamedb::TableCursor& row);

// The "Grey" tile list of a sprite row, or nothing when the row has no grey
// tiles: no value, the empty text, or for a plain sprite the text "-1". (For a
// compressed sprite, "-1" is a list, and a bad one.)
std::optional<std::string> GreyTileList(const gamedb::TableCursor& row, tiles::SpriteKind kind);

// Moves the sprite's table to its first row, then seeks the row named `name`.
// Returns the table, or nullptr (with doc untouched but GridsRow, which no
// longer describes the current row) when the table holds no such row.
gamedb::TableCursor* SeekSpriteRow(gamedb::GameDatabase& db, tiles::SpriteKind kind,
                                   const std::string& name, tiles::SpriteDocument& doc);

// What every sprite load does once its row is found, whatever the tiles come
// from: loads the row's palette and clears PaletteDirty (paletteLoaded is told
// right after the palette changed), clears and sizes the view, creates the
// grids anew for the row (GridsRow = kind), resets the scroll bars and sets
// the magenta background. Nothing is caught.
void PrepareSprite(gamedb::GameDatabase& db, const std::string& romPath,
                   const gamedb::TableCursor& row, tiles::SpriteKind kind, paint::GenesisPalette& palette,
                   tiles::SpriteDocument& doc, tiles::SpriteLoadTarget& view,
                   const std::function<void()>& paletteLoaded);

// Loads the plain sprite `name` the way selecting it in the tree does:
// SpriteCompressed = false, looks its SPRITE row up (returning false, with
// nothing else changed, when there is none), PrepareSprite, reads the white
// tiles and then the grey ones (if GreyTileList gives any) from the ROM,
// and sets SpriteLoaded.
//
// Nothing is caught: an error ends the load where it happened, and whatever
// was done before it stays done (SpriteLoaded only becomes true at the end).
bool LoadPlainSprite(gamedb::GameDatabase& db, const std::string& romPath, const std::string& name,
                     paint::GenesisPalette& palette, tiles::SpriteDocument& doc, tiles::SpriteLoadTarget& view,
                     const std::function<void()>& paletteLoaded);

}  // namespace tess::sprites
