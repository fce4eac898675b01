#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tiles/SpriteDocument.h"
#include "tiles/SpriteSurface.h"

namespace tess::tiles {

// Reading tiles from a file into the sprite being edited. Plain sprites read
// from the ROM, compressed ones from the decompressed data file; the source
// path says which.
//
// None of these catches errors: everything stored and drawn before a failure
// stays. The failures are: err::SubscriptOutOfRange for a cell outside the
// grids, err::TypeMismatch for a list field that is no number, err::Overflow
// for an offset or coordinate out of range, err::BadRecordNumber for a negative
// offset, and tess::fileError for a source that cannot be read.

// Reads the 32 bytes at `offset` of the source into doc.SpriteBuffer and draws
// them on `view` as it goes. With inTiles, (x, y) is a tile cell (multiplied
// by 8 in 32-bit arithmetic); otherwise it is the pixel position of the tile's
// top-left corner. The file is opened before any cell is touched. Bytes beyond
// the end of the file read as 0.
//
// A tile in the spare row of SpriteBuffer stores and draws its first pixel
// row and then fails with err::SubscriptOutOfRange; one in the spare column
// stores its first pixel and fails before drawing anything; one further out
// fails at once.
void ReadTile(const std::string& sourcePath, SpriteSurface& view, SpriteDocument& doc,
              std::int32_t offset, std::int32_t x, std::int32_t y, bool inTiles);

// Loads each line of a white tile list, first to last: ReadTile, then
// TileMap(tx, ty) = 1.
void LoadWhiteTiles(const std::string& sourcePath, std::string_view list, SpriteSurface& view,
                    SpriteDocument& doc);

// Loads each line of a grey tile list: ReadTile, TileMap(tx, ty) = 2, then
// view.HatchTile(tx, ty).
void LoadGreyTiles(const std::string& sourcePath, std::string_view list, SpriteSurface& view,
                   SpriteDocument& doc);

}  // namespace tess::tiles
