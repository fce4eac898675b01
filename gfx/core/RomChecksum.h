#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tess::gfx {

// The cartridge header's checksum word: big-endian at 0x18E, over every byte
// after the header, which ends at 0x200.
inline constexpr std::size_t kChecksumOffset = 0x18E;
inline constexpr std::size_t kHeaderEnd = 0x200;

// The 16-bit sum of the big-endian words from kHeaderEnd to the end of the
// image (0 when the image has nothing after its header). An odd final byte
// counts as the high byte of a word whose low byte is 0, as if the image were
// padded to a whole word.
std::uint16_t ComputeChecksum(std::span<const std::uint8_t> rom);

// The word stored at kChecksumOffset. The image must reach kHeaderEnd.
std::uint16_t StoredChecksum(std::span<const std::uint8_t> rom);

}  // namespace tess::gfx
