#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gamedb/Table.h"
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

// A sprite of a game: its table and its "Name".
struct SpriteChoice {
    SpriteKind kind = SpriteKind::Plain;
    std::string name;

    bool operator==(const SpriteChoice&) const = default;
};

// The sprite a document's grids were made for, recorded when they were made:
// which sprite, the ROM it was read from, and its database row as it stood
// then. Saving, exporting and measuring read their fields from here, never
// from a table cursor, which File > Load and other sprites move on.
struct SpriteRecord {
    SpriteChoice sprite;
    std::string romPath;
    gamedb::TableRow row;
    // The ROM as it was read when the grids were made, and as this program has
    // saved into it since: a save refuses a ROM on disk that differs from it in
    // size, in its cartridge header or in the bytes the save would write over.
    std::vector<std::uint8_t> rom = {};
    // A compressed sprite's decompressed block, as it was unpacked and as it
    // was last saved; empty until it is unpacked.
    std::vector<std::uint8_t> block = {};
    // Every tile of both lists was read: the grids show the whole sprite.
    bool complete = false;
};

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
    // Set together with the grids; nothing before the first sprite.
    std::optional<SpriteRecord> Record;

    // Replaces both grids with new all-zero ones for a sprite of the given
    // size (see SpritePixelBounds: err::Overflow beyond 32767); a negative
    // size raises err::SubscriptOutOfRange. On error the old grids stay.
    void CreateGrids(TileSize size);
};

}  // namespace tess::tiles
