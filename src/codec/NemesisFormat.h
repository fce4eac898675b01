#pragma once

// Constants of the Nemesis stream layout shared by the decoder and the encoder (internal).

#include <cstddef>

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

// A (nibble, run) pair as one index: nibble * 8 + run - 1.
inline constexpr int kSymbols = 16 * kMaxRun;
inline constexpr int symbolOf(unsigned nibble, unsigned run) {
    return static_cast<int>(nibble * kMaxRun + run - 1);
}

}  // namespace tess::codec::nemesis
