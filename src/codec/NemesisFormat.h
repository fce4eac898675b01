#pragma once

// Constants of the Nemesis stream layout shared by the decoder and the encoder (internal).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tess::codec::nemesis {

inline constexpr unsigned kXorFlag = 0x8000;
inline constexpr unsigned kTileCountMask = 0x7FFF;
inline constexpr unsigned kTableEnd = 0xFF;
inline constexpr unsigned kSelector = 0x80;
inline constexpr unsigned kMaxCodeLength = 8;
inline constexpr unsigned kMaxRun = 8;
// 8-bit windows from this value up begin with the inline escape 111111.
inline constexpr unsigned kEscapeWindow = 0xFC;
// An inline run: 111111, 3 bits run - 1, 4 bits nibble.
inline constexpr unsigned kInlineBits = 13;
inline constexpr std::size_t kNibblesPerTile = 64;
inline constexpr unsigned kColours = 16;

// Code space in units of 2^-8, the share of one code of length 8. The escape 111111 holds 4 of the
// 256 units; the codes share the other 252.
inline constexpr unsigned kCodeSpace = 252;
inline constexpr unsigned unitsOf(unsigned codeLength) { return 256u >> codeLength; }

// Per run length 1..8 of one colour, indexed by run - 1: how often each run is written, what one
// use of it costs in bits, and its code length (0 for a run written inline).
using RunUses = std::array<uint32_t, kMaxRun>;
using RunCosts = std::array<uint32_t, kMaxRun>;
using RunLengths = std::array<uint8_t, kMaxRun>;

// The nibble sequence the bitstream carries: the rows as they are, or each row XOR the one
// before it (what the decoder's accumulator undoes).
inline std::vector<uint8_t> nibblesOf(std::span<const uint8_t> tiles, bool xorMode) {
    std::vector<uint8_t> nibbles(tiles.size() * 2);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const uint8_t b = xorMode && i >= 4 ? tiles[i] ^ tiles[i - 4] : tiles[i];
        nibbles[2 * i] = b >> 4;
        nibbles[2 * i + 1] = b & 0x0F;
    }
    return nibbles;
}

inline RunCosts costsOf(const RunLengths& lengths) {
    RunCosts costs;
    for (unsigned i = 0; i < kMaxRun; ++i) costs[i] = lengths[i] != 0 ? lengths[i] : kInlineBits;
    return costs;
}

}  // namespace tess::codec::nemesis
