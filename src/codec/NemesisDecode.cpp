#include <array>

#include "codec/Nemesis.h"
#include "codec/NemesisFormat.h"

namespace tess::codec {
namespace {

// What an 8-bit window of the bitstream starts with. length 0 marks a window that begins with no
// code of the table.
struct CodeSlot {
    uint8_t length = 0;
    uint8_t nibble = 0;
    uint8_t run = 0;
};
using CodeLookup = std::array<CodeSlot, 256>;

// Reads the bitstream most significant bit first. Past the end it sees zero bits, so a window can
// always be formed; callers compare code lengths with available() before trusting one.
class BitReader {
public:
    BitReader(const uint8_t* data, std::size_t bytes) : data_(data), bits_(bytes * 8) {}

    std::size_t available() const { return bits_ - pos_; }
    std::size_t position() const { return pos_; }

    unsigned peek8() const { return peek16() >> 8; }

    unsigned peek16() const {
        const std::size_t byte = pos_ >> 3;
        const std::size_t bytes = bits_ >> 3;
        const unsigned hi = byte < bytes ? data_[byte] : 0;
        const unsigned mid = byte + 1 < bytes ? data_[byte + 1] : 0;
        const unsigned lo = byte + 2 < bytes ? data_[byte + 2] : 0;
        const unsigned window = (hi << 16) | (mid << 8) | lo;
        return (window >> (8 - (pos_ & 7))) & 0xFFFF;
    }

    void skip(std::size_t bits) { pos_ += bits; }

private:
    const uint8_t* data_;
    std::size_t bits_;
    std::size_t pos_ = 0;
};

NemesisDecoded failure(NemesisStatus status, std::size_t at) {
    NemesisDecoded result;
    result.status = status;
    result.errorAt = at;
    return result;
}

// With fewer than 8 bits left, a window that matches no code may still be the start of a code or
// escape that the missing bits would complete: then the stream is cut short, not corrupt.
bool couldBeCutCode(const CodeLookup& lookup, unsigned window, std::size_t available) {
    const unsigned span = 1u << (8 - available);
    for (unsigned w = window; w < window + span; ++w) {
        if (w >= nemesis::kEscapeWindow || lookup[w].length > available) return true;
    }
    return false;
}

}  // namespace

NemesisDecoded decodeNemesis(std::span<const uint8_t> buffer, std::size_t offset) {
    const std::size_t size = buffer.size();
    if (offset >= size) return failure(NemesisStatus::OffsetOutsideBuffer, offset);
    if (size - offset < 2) return failure(NemesisStatus::StreamEndsEarly, size);

    const unsigned header = (unsigned{buffer[offset]} << 8) | buffer[offset + 1];
    const bool xorMode = (header & nemesis::kXorFlag) != 0;
    const std::size_t tiles = header & nemesis::kTileCountMask;
    if (tiles == 0) return failure(NemesisStatus::ZeroTiles, offset);

    // Code table. The first byte is always taken as a nibble selector, as the console does.
    CodeLookup lookup{};
    std::size_t pos = offset + 2;
    if (pos >= size) return failure(NemesisStatus::TableUnterminated, size);
    unsigned nibble = buffer[pos++] & 0x0F;
    for (;;) {
        if (pos >= size) return failure(NemesisStatus::TableUnterminated, size);
        const unsigned b = buffer[pos];
        if (b == nemesis::kTableEnd) {
            ++pos;
            break;
        }
        if (b & 0x80) {
            nibble = b & 0x0F;
            ++pos;
            continue;
        }
        if (pos + 1 >= size) return failure(NemesisStatus::TableUnterminated, size);
        const unsigned length = b & 0x0F;
        const unsigned run = ((b >> 4) & 7) + 1;
        const unsigned code = buffer[pos + 1];
        if (length == 0 || length > nemesis::kMaxCodeLength) {
            return failure(NemesisStatus::BadCodeLength, pos);
        }
        if ((code >> length) != 0) return failure(NemesisStatus::StrayCodeBits, pos + 1);
        const unsigned first = code << (8 - length);
        const unsigned last = first + (1u << (8 - length));
        if (last > nemesis::kEscapeWindow) {
            return failure(NemesisStatus::CodeClashesWithEscape, pos);
        }
        for (unsigned w = first; w < last; ++w) {
            if (lookup[w].length != 0) return failure(NemesisStatus::CodesNotPrefixFree, pos);
            lookup[w] = {static_cast<uint8_t>(length), static_cast<uint8_t>(nibble),
                         static_cast<uint8_t>(run)};
        }
        pos += 2;
    }

    // Bitstream: runs of nibbles until the declared size is reached exactly.
    NemesisDecoded result;
    result.xorMode = xorMode;
    result.data.assign(tiles * kNemesisTileBytes, 0);
    uint8_t* out = result.data.data();
    const std::size_t total = tiles * kNemesisTileBytes * 2;
    std::size_t produced = 0;
    BitReader bits(buffer.data() + pos, size - pos);
    while (produced < total) {
        const std::size_t available = bits.available();
        const std::size_t codeByte = pos + bits.position() / 8;
        if (available == 0) return failure(NemesisStatus::StreamEndsEarly, size);
        const unsigned window = bits.peek8();
        unsigned runNibble;
        unsigned run;
        if (window >= nemesis::kEscapeWindow) {
            if (available < nemesis::kInlineBits) {
                return failure(NemesisStatus::StreamEndsEarly, size);
            }
            // 111111 rrr nnnn
            const unsigned inlineRun = (bits.peek16() >> 3) & 0x7F;
            run = (inlineRun >> 4) + 1;
            runNibble = inlineRun & 0x0F;
            bits.skip(nemesis::kInlineBits);
        } else {
            const CodeSlot slot = lookup[window];
            if (slot.length == 0 || slot.length > available) {
                if (available < 8 && couldBeCutCode(lookup, window, available)) {
                    return failure(NemesisStatus::StreamEndsEarly, size);
                }
                return failure(NemesisStatus::UnknownCode, codeByte);
            }
            run = slot.run;
            runNibble = slot.nibble;
            bits.skip(slot.length);
        }
        if (run > total - produced) return failure(NemesisStatus::RunPastEnd, codeByte);
        for (unsigned i = 0; i < run; ++i, ++produced) {
            out[produced >> 1] |= static_cast<uint8_t>((produced & 1) ? runNibble : runNibble << 4);
        }
    }

    if (xorMode) {
        // The accumulator's rows: each output row is the previous output row XOR the decoded row.
        for (std::size_t i = 4; i < result.data.size(); ++i) out[i] ^= out[i - 4];
    }
    result.consumed = pos - offset + (bits.position() + 7) / 8;
    return result;
}

}  // namespace tess::codec
