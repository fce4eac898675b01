// Fuzz target: any bytes into the decoder; whatever decodes must survive a round trip through the
// encoder. Built with libFuzzer when TESSELLANE_FUZZ is on (clang), and always as a replay test
// over the checked-in seeds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "codec/Nemesis.h"

namespace {

// The encoder searches hard for the smallest table, which makes it far slower than the decoder;
// the round trip is checked on the smaller blocks only so that fuzzing keeps its pace. The tests
// cover the encoder on large inputs.
constexpr std::size_t kMaxRoundTripTiles = 16;

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tess::codec;
    const std::span<const uint8_t> input(data, size);

    // A second decode from an offset chosen by the input exercises the offset handling.
    const std::size_t offset = size > 0 ? data[0] % (size + 1) : 0;
    const NemesisDecoded shifted = decodeNemesis(input, offset);
    check(shifted.ok() ? offset + shifted.consumed <= size : shifted.data.empty());

    const NemesisDecoded decoded = decodeNemesis(input, 0);
    if (!decoded.ok()) {
        check(decoded.data.empty() && decoded.errorAt <= size);
        return 0;
    }
    check(decoded.consumed >= 3 && decoded.consumed <= size);
    check(!decoded.data.empty() && decoded.data.size() % kNemesisTileBytes == 0);
    if (decoded.tiles() > kMaxRoundTripTiles) return 0;

    const NemesisEncoded encoded = encodeNemesis(decoded.data);
    check(encoded.ok());
    const NemesisDecoded again = decodeNemesis(encoded.stream);
    check(again.ok() && again.data == decoded.data && again.consumed == encoded.stream.size());
    return 0;
}
