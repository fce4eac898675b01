#include "codec/NemesisStatus.h"

namespace tess::codec {

const char* describe(NemesisStatus status) {
    switch (status) {
        case NemesisStatus::Ok: return "ok";
        case NemesisStatus::OffsetOutsideBuffer: return "offset is outside the data";
        case NemesisStatus::ZeroTiles: return "header declares 0 tiles";
        case NemesisStatus::TableUnterminated: return "code table has no terminator";
        case NemesisStatus::BadCodeLength: return "code length is 0 or above 8";
        case NemesisStatus::StrayCodeBits: return "code byte has bits set above its code length";
        case NemesisStatus::CodeClashesWithEscape:
            return "code clashes with the inline escape 111111";
        case NemesisStatus::CodesNotPrefixFree: return "codes are not prefix-free";
        case NemesisStatus::UnknownCode: return "bit pattern matches no code";
        case NemesisStatus::StreamEndsEarly: return "stream ends before its last tile";
        case NemesisStatus::RunPastEnd: return "last run goes past the end of the data";
        case NemesisStatus::EmptyInput: return "nothing to compress";
        case NemesisStatus::NotWholeTiles: return "not a whole number of tiles";
        case NemesisStatus::TooManyTiles: return "too many tiles for one stream";
    }
    return "unknown error";
}

}  // namespace tess::codec
