#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "tiles/Grid.h"
#include "tiles/SpriteSurface.h"

namespace tess::tiles {

// A Genesis tile: 8 rows of 4 bytes, rows top to bottom; byte k holds the
// pixels of columns 2(k mod 4) (high nibble) and 2(k mod 4) + 1 (low nibble)
// of row k div 4.
inline constexpr std::size_t kTileBytes = 32;
using TileBytes = std::array<std::uint8_t, kTileBytes>;

// "1 tile", "N tiles".
std::string TilesText(std::size_t count);

// Stores the 64 pixels of `bytes` into spriteBuffer with the tile's top-left
// pixel at (x0, y0), in file order, drawing each pair of cells on `surface`
// right after storing it. The first cell outside the buffer raises
// err::SubscriptOutOfRange: cells stored before it stay, and the pair it
// belongs to is not drawn.
void DecodeTile(std::span<const std::uint8_t, kTileBytes> bytes, ByteGrid& spriteBuffer,
                std::int32_t x0, std::int32_t y0, SpriteSurface& surface);

// The 32 bytes of tile cell (tx, ty) of spriteBuffer in file order: the save
// side of DecodeTile, its exact inverse for cell values 0..15. Raises
// err::SubscriptOutOfRange when the tile lies outside the buffer and
// err::Overflow for a cell above 15.
TileBytes EncodeTile(const ByteGrid& spriteBuffer, std::int32_t tx, std::int32_t ty);

}  // namespace tess::tiles
