#include "tiles/RomHeader.h"

#include <algorithm>

namespace tess::tiles {

SpanFault FindSpanFault(std::int64_t offset, std::int64_t length, std::int64_t size, bool isRom) {
    if (offset < 0 || offset + length > size) return SpanFault::Outside;
    if (isRom && offset < kHeaderEnd && offset + length > kHeaderStart)
        return SpanFault::OverHeader;
    return SpanFault::None;
}

std::string SpanText(std::int64_t offset, std::int64_t length) {
    return "bytes " + std::to_string(offset) + " to " + std::to_string(offset + length - 1);
}

std::span<const std::uint8_t> HeaderBytes(std::span<const std::uint8_t> rom) {
    const auto begin = std::min<std::size_t>(kHeaderStart, rom.size());
    const auto end = std::min<std::size_t>(kHeaderEnd, rom.size());
    return rom.subspan(begin, end - begin);
}

std::uint16_t ComputeChecksum(std::span<const std::uint8_t> rom) {
    std::uint16_t sum = 0;
    for (std::size_t i = kHeaderEnd; i < rom.size(); i += 2) {
        const unsigned low = i + 1 < rom.size() ? rom[i + 1] : 0;
        sum = static_cast<std::uint16_t>(sum + (rom[i] << 8 | low));
    }
    return sum;
}

std::uint16_t StoredChecksum(std::span<const std::uint8_t> rom) {
    return static_cast<std::uint16_t>(rom[kChecksumOffset] << 8 | rom[kChecksumOffset + 1]);
}

}  // namespace tess::tiles
