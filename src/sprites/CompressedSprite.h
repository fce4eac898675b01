#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "gamedb/GameDatabase.h"
#include "paint/GenesisPalette.h"
#include "sprites/TempFiles.h"
#include "tiles/SpriteDocument.h"
#include "tiles/SpriteLoadTarget.h"

namespace tess::sprites {

// Loading a sprite of the "COMPRESSED" table: its block is decompressed from
// the ROM at the row's "Offset" into files.dump, and the tiles are read from
// there at the offsets of its lists. None of these catches anything.

// Looks the row up (returning false, with nothing changed, when the table has
// no row of that name), loads the palette and prepares view and grids as a
// plain sprite does, then LoadCompressedWhiteTiles with the row's "White".
// The row stays current for the grey tiles.
bool LoadCompressedSprite(gamedb::GameDatabase& db, const std::string& romPath,
                          const std::string& name, const TempFiles& files,
                          paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                          tiles::SpriteLoadTarget& view,
                          const std::function<void()>& paletteLoaded);

// Decompresses the row's block into files.dump, then reads every line
// of the list from it as a white tile; SpriteCompressed = true once the last
// line is loaded. The block's bytes are kept in doc.Record (which the load's
// preparation made), for saving. A block that does not unpack raises
// err::Decompression (source "Decompression execution") before any tile is
// read; one that unpacks but cannot be written to files.dump raises the file
// error with its reason; a result beyond 16 bits raises err::Overflow.
void LoadCompressedWhiteTiles(const gamedb::TableCursor& row, const std::string& romPath,
                              std::string_view list, const TempFiles& files,
                              tiles::SpriteSurface& view, tiles::SpriteDocument& doc);

// Decompresses the block again and reads the list's tiles as grey tiles.
void LoadCompressedGreyTiles(const gamedb::TableCursor& row, const std::string& romPath,
                             std::string_view list, const TempFiles& files,
                             tiles::SpriteSurface& view, tiles::SpriteDocument& doc);

// The size in bytes of the Nemesis block at `offset` of a ROM image, or
// nothing when no valid block starts there.
std::optional<std::size_t> BlockSizeAt(std::span<const std::uint8_t> rom, std::int32_t offset);

}  // namespace tess::sprites
