#pragma once

#include <cstdint>
#include <optional>

#include "tiles/Grid.h"
#include "tiles/SpriteSize.h"

namespace tess::tiles {

// Tile states stored in TileMap.
inline constexpr std::uint8_t kNoTile = 0;
inline constexpr std::uint8_t kWhiteTile = 1;  // shown, paintable, saved
inline constexpr std::uint8_t kGreyTile = 2;   // shown hatched, read-only

// The two tables a sprite can come from: "SPRITE" (tiles in the ROM) and
// "COMPRESSED" (tiles in a Nemesis block).
enum class SpriteKind { Plain, Compressed };

// The state of the sprite being edited, replaced as a whole by each
// selection. For a sprite of Width x Height tiles, SpriteBuffer has cells
// x = 0..8*Width, y = 0..8*Height (palette indices) and TileMap cells
// tx = 0..Width, ty = 0..Height; the last column and row of each belong to no
// tile.
struct SpriteDocument {
    ByteGrid SpriteBuffer;
    ByteGrid TileMap;
    bool SpriteLoaded = false;
    bool SpriteCompressed = false;
    bool SpriteDirty = false;
    // The table whose current row the grids were created for. Save ROM writes
    // by that row's tile list, so it must not run while the row belongs to
    // another sprite: a selection clears this before it moves the row, a
    // File > Load (which moves every row) clears it too.
    std::optional<SpriteKind> GridsRow;

    // Replaces both grids with new all-zero ones for a sprite of the given
    // size (see SpritePixelBounds: overflow 6 beyond 32767); a negative size
    // raises 9. On error the old grids stay.
    void CreateGrids(TileSize size);
};

}  // namespace tess::tiles
