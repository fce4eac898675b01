#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tess::tiles {

// The cartridge header lies at 0x100 to 0x1FF, after the 68000 vectors. Its
// checksum word, big-endian at 0x18E, covers every byte after the header.
inline constexpr std::int64_t kHeaderStart = 0x100;
inline constexpr std::int64_t kHeaderEnd = 0x200;
inline constexpr std::int64_t kChecksumOffset = 0x18E;

// Where `length` bytes at `offset` would lie in a file of `size` bytes: inside
// it, at least partly outside it, or, in a ROM, over its cartridge header,
// which nothing but the checksum command may write.
enum class SpanFault { None, Outside, OverHeader };
SpanFault FindSpanFault(std::int64_t offset, std::int64_t length, std::int64_t size, bool isRom);

// Where `length` bytes at `offset` lie, in the words every report uses:
// "bytes A to B", both ends included.
std::string SpanText(std::int64_t offset, std::int64_t length);

// The bytes of the cartridge header an image holds: all 256 of them, or fewer
// (none) when the image ends inside (before) the header.
std::span<const std::uint8_t> HeaderBytes(std::span<const std::uint8_t> rom);

// The 16-bit sum of the big-endian words from kHeaderEnd to the end of the
// image (0 when the image has nothing after its header). An odd final byte
// counts as the high byte of a word whose low byte is 0, as if the image were
// padded to a whole word.
std::uint16_t ComputeChecksum(std::span<const std::uint8_t> rom);

// The word stored at kChecksumOffset. The image must reach kHeaderEnd.
std::uint16_t StoredChecksum(std::span<const std::uint8_t> rom);

}  // namespace tess::tiles
