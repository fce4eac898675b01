#include "tiles/TileCodec.h"

#include <limits>

#include "base/RuntimeError.h"

namespace tess::tiles {

namespace {

// Coordinates are worked out in 64 bits so that a tile placed near the end of
// the 32-bit range fails as "outside the grid" rather than wrapping.
std::int32_t coordinate(std::int64_t value) {
    if (value < 0 || value > std::numeric_limits<std::int32_t>::max()) throw subscriptError();
    return static_cast<std::int32_t>(value);
}

}  // namespace

void DecodeTile(std::span<const std::uint8_t, kTileBytes> bytes, ByteGrid& spriteBuffer,
                std::int32_t x0, std::int32_t y0, SpriteSurface& surface) {
    for (std::size_t k = 0; k < kTileBytes; ++k) {
        const std::int32_t x = coordinate(std::int64_t{x0} + 2 * static_cast<std::int64_t>(k % 4));
        const std::int32_t y = coordinate(std::int64_t{y0} + static_cast<std::int64_t>(k / 4));
        const int high = bytes[k] >> 4;
        const int low = bytes[k] & 0x0F;
        spriteBuffer.at(x, y) = static_cast<std::uint8_t>(high);
        spriteBuffer.at(coordinate(std::int64_t{x} + 1), y) = static_cast<std::uint8_t>(low);
        surface.DrawCell(x, y, high);
        surface.DrawCell(x + 1, y, low);
    }
}

TileBytes EncodeTile(const ByteGrid& spriteBuffer, std::int32_t tx, std::int32_t ty) {
    TileBytes bytes{};
    const std::int64_t left = std::int64_t{tx} * 8;
    const std::int64_t top = std::int64_t{ty} * 8;
    if (left < 0 || top < 0 || left + 7 > spriteBuffer.upperX() ||
        top + 7 > spriteBuffer.upperY()) {
        throw subscriptError();
    }
    for (std::size_t k = 0; k < kTileBytes; ++k) {
        const std::int32_t x = coordinate(left + 2 * static_cast<std::int64_t>(k % 4));
        const std::int32_t y = coordinate(top + static_cast<std::int64_t>(k / 4));
        const int value = 16 * spriteBuffer.at(x, y) + spriteBuffer.at(x + 1, y);
        if (value > 0xFF) throw overflowError();
        bytes[k] = static_cast<std::uint8_t>(value);
    }
    return bytes;
}

std::string TilesText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " tile" : " tiles");
}

}  // namespace tess::tiles
