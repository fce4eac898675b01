#pragma once

#include <cstdint>

namespace tess::codec {

// Outcome of a Nemesis decode or encode. Every value but Ok names one fault.
enum class NemesisStatus : uint8_t {
    Ok,
    // Decoding
    OffsetOutsideBuffer,    // the stream's offset is not inside the buffer
    ZeroTiles,              // the header declares no tiles
    TableUnterminated,      // the code table runs to the end of the buffer without 0xFF
    BadCodeLength,          // a table entry gives a code length of 0 or above 8
    StrayCodeBits,          // a code byte has bits set above its code length
    CodeClashesWithEscape,  // a code is a prefix of, or begins with, the escape 111111
    CodesNotPrefixFree,     // a code is a prefix of another code (or a duplicate)
    UnknownCode,            // the bitstream holds a bit pattern that matches no code
    StreamEndsEarly,        // the buffer ends before the declared number of tiles was decoded
    RunPastEnd,             // the last run goes past the declared number of tiles
    // Encoding
    EmptyInput,     // nothing to encode
    NotWholeTiles,  // the input length is not a multiple of 32 bytes
    TooManyTiles,   // more tiles than the 15-bit header can count
};

// A short lower-case English description, e.g. "code table has no terminator".
const char* describe(NemesisStatus status);

}  // namespace tess::codec
