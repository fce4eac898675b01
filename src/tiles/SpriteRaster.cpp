#include "tiles/SpriteRaster.h"

#include <algorithm>
#include <cstring>

#include "base/RuntimeError.h"
#include "tiles/SpriteDocument.h"

namespace tess::tiles {
namespace {

constexpr bool dashOn(std::int32_t along) { return (along & 3) < 2; }

constexpr std::uint64_t kOnes = 0x0101010101010101u;

// Whether every index is 0..15, looked at 8 at a time.
bool allPaletteIndices(std::span<const std::uint8_t> indices) {
    std::size_t i = 0;
    for (; i + 8 <= indices.size(); i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, indices.data() + i, sizeof eight);
        if (eight & (0xF0 * kOnes)) return false;
    }
    for (; i < indices.size(); ++i) {
        if (indices[i] > 15) return false;
    }
    return true;
}

}  // namespace

void SpriteRaster::reset(std::int32_t upperX, std::int32_t upperY, int zoom) {
    ByteGrid shown(upperX, upperY);
    shown.fill(kNothing);
    hatch_ = ByteGrid(upperX / 8, upperY / 8);
    shown_ = std::move(shown);
    zoom_ = std::max(zoom, 1);
}

void SpriteRaster::clear() {
    shown_.fill(kNothing);
    hatch_.fill(0);
}

void SpriteRaster::drawCell(std::int32_t x, std::int32_t y, int index) {
    if (index == kNothing) return;
    if (index < 0 || index > 15) throw subscriptError();
    if (!shown_.contains(x, y)) return;
    shown_.at(x, y) =
        static_cast<std::uint8_t>(index | (style_ == LineStyle::Dashed ? kDashedBit : 0));
}

void SpriteRaster::drawCells(std::int32_t x, std::int32_t y,
                             std::span<const std::uint8_t> indices) {
    if (!allPaletteIndices(indices)) {
        // Cells that draw nothing or raise an error are rare: leave them to drawCell.
        for (const std::uint8_t index : indices) drawCell(x++, y, index);
        return;
    }
    if (y < 0 || y > shown_.upperY()) return;
    // The part of the run inside the picture: cells [first, last) of indices.
    const std::int64_t size = static_cast<std::int64_t>(indices.size());
    const std::int64_t first = std::clamp<std::int64_t>(-std::int64_t{x}, 0, size);
    const std::int64_t last =
        std::clamp<std::int64_t>(std::int64_t{shown_.upperX()} + 1 - x, 0, size);
    if (first >= last) return;
    const std::uint8_t* from = indices.data() + first;
    std::uint8_t* to = shown_.row(y) + (x + first);
    const std::size_t count = static_cast<std::size_t>(last - first);

    // Drawn 8 cells at a time: a whole sprite is 16 million cells.
    const std::uint8_t style = style_ == LineStyle::Dashed ? kDashedBit : 0;
    const std::uint64_t styleBits = style * kOnes;
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, from + i, sizeof eight);
        eight |= styleBits;
        std::memcpy(to + i, &eight, sizeof eight);
    }
    for (; i < count; ++i) to[i] = static_cast<std::uint8_t>(from[i] | style);
}

void SpriteRaster::hatchTile(std::int32_t tx, std::int32_t ty) {
    if (!hatch_.contains(tx, ty)) return;
    hatch_.at(tx, ty) = style_ == LineStyle::Dashed ? 2 : 1;
}

void SpriteRaster::drawSprite(const ByteGrid& spriteBuffer, const ByteGrid& tileMap) {
    const std::int32_t lastX = spriteBuffer.upperX();
    const std::int32_t lastY = spriteBuffer.upperY();
    for (std::int32_t y = 0; y <= lastY; ++y) {
        const std::uint8_t* cells = spriteBuffer.row(y);
        for (std::int32_t tx = 0; tx <= lastX / 8; ++tx) {
            const std::uint8_t state = tileMap.at(tx, y / 8);
            if (state != kWhiteTile && state != kGreyTile) continue;
            std::int32_t end = std::min(8 * tx + 7, lastX);
            if (y == lastY && end == lastX) --end;  // (lastX, lastY) belongs to no tile
            drawCells(8 * tx, y, {cells + 8 * tx, static_cast<std::size_t>(end - 8 * tx + 1)});
            if (state == kGreyTile) hatchTile(tx, y / 8);
        }
    }
}

void SpriteRaster::render(const Colours& colours, std::int32_t left, std::int32_t top,
                          std::int32_t width, std::int32_t height, std::uint32_t* out,
                          std::ptrdiff_t stride) const {
    if (width <= 0 || height <= 0) return;
    const int z = zoom_;
    const std::int32_t lastX = shown_.upperX();
    for (std::int32_t j = 0; j < height; ++j) {
        std::uint32_t* dst = out + j * stride;
        const std::int32_t py = top + j;
        const std::int32_t cy = py / z;
        if (cy > shown_.upperY()) {
            std::fill(dst, dst + width, kBackground);
            continue;
        }
        const int ry = py % z;
        const bool edgeRow = ry == 0 || ry == z - 1;
        const std::uint8_t* cells = shown_.row(cy);
        std::int32_t cx = left / z;
        int rx = left % z;
        // Walk the row cell by cell so the inner loop has no division.
        for (std::int32_t i = 0; i < width;) {
            const std::int32_t run = std::min<std::int32_t>(z - rx, width - i);
            const std::uint8_t v = cx <= lastX ? cells[cx] : kNothing;
            if (v == kNothing) {
                std::fill(dst + i, dst + i + run, kBackground);
            } else {
                const std::uint32_t c = colours[v & 0x0F];
                std::fill(dst + i, dst + i + run, c);
                if (v & kDashedBit) {
                    for (std::int32_t k = 0; k < run; ++k) {
                        const int r = rx + k;
                        const bool edge = edgeRow || r == 0 || r == z - 1;
                        if (edge && !dashOn(edgeRow ? r : ry)) dst[i + k] = kBackground;
                    }
                }
            }
            i += run;
            rx = 0;
            ++cx;
        }
    }

    const std::int32_t tileSize = 8 * z;
    const std::int32_t tx0 = left / tileSize;
    const std::int32_t ty0 = top / tileSize;
    const std::int32_t tx1 = std::min((left + width - 1) / tileSize, hatch_.upperX());
    const std::int32_t ty1 = std::min((top + height - 1) / tileSize, hatch_.upperY());
    for (std::int32_t ty = ty0; ty <= ty1; ++ty) {
        const std::uint8_t* hatches = hatch_.row(ty);
        for (std::int32_t tx = tx0; tx <= tx1; ++tx) {
            if (hatches[tx] != 0) {
                renderHatch(tx, ty, hatches[tx], left, top, width, height, out, stride);
            }
        }
    }
}

void SpriteRaster::renderHatch(std::int32_t tx, std::int32_t ty, std::uint8_t hatch,
                               std::int32_t left, std::int32_t top, std::int32_t width,
                               std::int32_t height, std::uint32_t* out,
                               std::ptrdiff_t stride) const {
    const std::int32_t size = 8 * zoom_;
    const std::int32_t x0 = tx * size;
    const std::int32_t y0 = ty * size;
    const bool dashed = hatch == 2;
    const std::int32_t fromY = std::max(y0, top);
    const std::int32_t toY = std::min(y0 + size, top + height);
    const std::int32_t fromX = std::max(x0, left);
    const std::int32_t toX = std::min(x0 + size, left + width);
    for (std::int32_t py = fromY; py < toY; ++py) {
        std::uint32_t* dst = out + (py - top) * stride;
        const std::int32_t ry = py - y0;
        const bool edgeRow = ry == 0 || ry == size - 1;
        for (std::int32_t px = fromX; px < toX; ++px) {
            const std::int32_t rx = px - x0;
            if (edgeRow || rx == 0 || rx == size - 1) {
                if (!dashed || dashOn(edgeRow ? rx : ry)) dst[px - left] = kHatchOutline;
            } else if (((px + py) & 7) == 0 || ((px - py) & 7) == 0) {
                dst[px - left] = kHatchLine;
            }
        }
    }
}

}  // namespace tess::tiles
