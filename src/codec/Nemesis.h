#pragma once

// Nemesis codec for Sega Genesis tile art (4 bits a pixel, 32-byte tiles).
//
// Bytes in, bytes out, all in memory. Neither function throws on bad data: malformed input gives
// a status other than Ok, never a read or write outside the caller's buffer and never a hang.
// The only exception either may throw is std::bad_alloc.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/NemesisStatus.h"

namespace tess::codec {

inline constexpr std::size_t kNemesisTileBytes = 32;
// The header keeps the tile count in 15 bits. (The console's own decoder handles only counts up
// to 0x1FFF; larger blocks decode here and in other tools.)
inline constexpr std::size_t kNemesisMaxTiles = 0x7FFF;

struct NemesisDecoded {
    NemesisStatus status = NemesisStatus::Ok;
    // On failure: index into the whole buffer of the byte where the fault was found.
    std::size_t errorAt = 0;
    // On success: the decompressed block, tiles x 32 bytes.
    std::vector<uint8_t> data;
    // On success: bytes of the stream from `offset` to its last code byte, inclusive.
    std::size_t consumed = 0;
    bool xorMode = false;

    bool ok() const { return status == NemesisStatus::Ok; }
    std::size_t tiles() const { return data.size() / kNemesisTileBytes; }
};

// Decodes the one stream that starts at `buffer[offset]`. The stream's end is found from its
// header and codes; bytes after it are never read. Fails with OffsetOutsideBuffer when offset
// >= buffer.size(), with StreamEndsEarly when the buffer ends inside the stream, and with the
// status naming the fault for a malformed header, code table or bitstream. A final run that
// overshoots the declared size is an error (RunPastEnd), not silently cut.
NemesisDecoded decodeNemesis(std::span<const uint8_t> buffer, std::size_t offset = 0);

enum class NemesisMode {
    Smaller,  // search both ways, keep the smaller stream (the one its mode alone gives)
    Plain,    // rows as they are
    Xor,      // each row XOR the row before it
};

// How hard the encoder searches. Both levels are deterministic and give streams that decode to the
// same tiles; Best's are never larger than Default's.
enum class NemesisEffort {
    Default,  // fast enough to run after every edit
    Best,     // a search several times longer for the last bytes, for when a stream must fit
};

struct NemesisEncoded {
    NemesisStatus status = NemesisStatus::Ok;
    std::vector<uint8_t> stream;
    bool xorMode = false;

    bool ok() const { return status == NemesisStatus::Ok; }
};

// Compresses whole tiles into one stream that decodes exactly to `tiles`, stops on its last
// nibble (no run overshoots the end) and has no padding byte after its last code byte.
// Fails with EmptyInput, NotWholeTiles (size not a multiple of 32) or TooManyTiles (more than
// kNemesisMaxTiles). The encoder searches for the smallest stream it can find with the given
// effort; the result is deterministic for a given input, effort and mode.
NemesisEncoded encodeNemesis(std::span<const uint8_t> tiles,
                             NemesisEffort effort = NemesisEffort::Default,
                             NemesisMode mode = NemesisMode::Smaller);

}  // namespace tess::codec
