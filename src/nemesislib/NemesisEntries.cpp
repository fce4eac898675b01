#include "nemesislib/NemesisEntries.h"

#include <new>

#include "base/WholeFile.h"
#include "codec/Nemesis.h"

using namespace tess::codec;
using tess::readWholeFile;
using tess::writeWholeFile;

// No exception may cross into C callers: anything thrown (only allocation failure is expected)
// is a failure like any other.

extern "C" int32_t Decomp(const char* source, const char* destination, int32_t offset) {
    try {
        if (source == nullptr || destination == nullptr || offset < 0) return -1;
        std::string why;
        const auto input = readWholeFile(source, why);
        if (!input) return -1;
        const NemesisDecoded decoded = decodeNemesis(*input, static_cast<std::size_t>(offset));
        if (!decoded.ok()) return -1;
        return writeWholeFile(destination, decoded.data, why) ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

extern "C" int32_t Comp(const char* source, const char* destination) {
    try {
        if (source == nullptr || destination == nullptr) return -1;
        std::string why;
        const auto input = readWholeFile(source, why);
        if (!input) return -1;
        const NemesisEncoded encoded = encodeNemesis(*input);
        if (!encoded.ok()) return -1;
        if (!writeWholeFile(destination, encoded.stream, why)) return -1;
        return static_cast<int32_t>(encoded.stream.size());
    } catch (...) {
        return -1;
    }
}
