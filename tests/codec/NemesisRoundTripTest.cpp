#include <gtest/gtest.h>

#include "codec/Nemesis.h"
#include "tests/support/NemesisTestSupport.h"

namespace tess::codec {
namespace {

using test::Bytes;
using test::makeArt;

// Encodes with the given effort and mode and checks what every stream must satisfy: it decodes to
// the input, the decoder consumes all of it, and its last byte is needed (no padding byte after
// the codes).
Bytes roundTrip(const Bytes& art, NemesisEffort effort = NemesisEffort::Default,
                NemesisMode mode = NemesisMode::Smaller) {
    const NemesisEncoded encoded = encodeNemesis(art, effort, mode);
    EXPECT_TRUE(encoded.ok()) << describe(encoded.status);
    const NemesisDecoded decoded = decodeNemesis(encoded.stream);
    EXPECT_TRUE(decoded.ok()) << describe(decoded.status) << " at " << decoded.errorAt;
    EXPECT_EQ(decoded.data, art);
    EXPECT_EQ(decoded.consumed, encoded.stream.size());
    EXPECT_EQ(decoded.xorMode, encoded.xorMode);
    if (mode != NemesisMode::Smaller) {
        EXPECT_EQ(encoded.xorMode, mode == NemesisMode::Xor);
    }
    const Bytes cut(encoded.stream.begin(), encoded.stream.end() - 1);
    EXPECT_EQ(decodeNemesis(cut).status, NemesisStatus::StreamEndsEarly);
    return encoded.stream;
}

// At each effort, both single modes round-trip, and the smaller-of-both stream, the same on every
// call, is the one of the mode it chose. Best is never larger than the default.
void roundTripAllModes(const Bytes& art) {
    std::size_t defaultSize = 0;
    for (NemesisEffort effort : {NemesisEffort::Default, NemesisEffort::Best}) {
        const Bytes plain = roundTrip(art, effort, NemesisMode::Plain);
        const Bytes xorred = roundTrip(art, effort, NemesisMode::Xor);
        const NemesisEncoded either = encodeNemesis(art, effort);
        EXPECT_EQ(either.stream, either.xorMode ? xorred : plain);
        EXPECT_EQ(encodeNemesis(art, effort).stream, either.stream);
        if (effort == NemesisEffort::Default) defaultSize = either.stream.size();
        EXPECT_LE(either.stream.size(), defaultSize);
    }
}

TEST(NemesisRoundTrip, FlatNoiseGradientsStretchesAndSingleTilesInEveryMode) {
    for (int colour : {0, 7, 15}) {
        roundTripAllModes(makeArt(3, [&](int, int, int) { return colour; }));
    }
    roundTripAllModes(test::noiseArt(20, 1));
    roundTripAllModes(test::noiseArt(20, 2, 2));
    roundTripAllModes(test::noiseArt(30, 5, 6));
    roundTripAllModes(makeArt(16, [](int t, int x, int y) { return x + y + t; }));
    roundTripAllModes(makeArt(16, [](int t, int x, int) { return (t * 8 + x) / 8; }));
    roundTripAllModes(test::noiseArt(1, 4));
    roundTripAllModes(makeArt(1, [](int, int x, int y) { return x == y ? 9 : 0; }));
    // Alternating colours in stretches around multiples of the 8-run limit.
    for (int stretch : {7, 8, 9, 16, 17, 63, 64, 65}) {
        SCOPED_TRACE(stretch);
        roundTripAllModes(makeArt(
            4, [&](int t, int x, int y) { return ((t * 64 + y * 8 + x) / stretch) % 2 ? 3 : 12; }));
    }
}

TEST(NemesisRoundTrip, RepeatedRowsFavourXorMode) {
    // Every row equals the row above except for a shifting colour: XOR leaves mostly zeros.
    const Bytes art = makeArt(
        12, [](int t, int x, int y) { return ((x * 5 + t) % 16) ^ (y == (t % 8) ? 1 : 0); });
    const NemesisEncoded best = encodeNemesis(art);
    ASSERT_TRUE(best.ok());
    EXPECT_TRUE(best.xorMode);
    EXPECT_LT(best.stream.size(),
              encodeNemesis(art, NemesisEffort::Default, NemesisMode::Plain).stream.size());
    roundTripAllModes(art);
}

TEST(NemesisRoundTrip, ThousandsOfSpriteLikeTilesShrinkBelowAQuarter) {
    // A background with shapes, repeated with variations.
    const Bytes many = makeArt(3000, [](int t, int x, int y) {
        const int dx = x - 4 + t % 3, dy = y - 4;
        return dx * dx + dy * dy < (t % 7) * 2 ? 1 + (t / 7) % 15 : 0;
    });
    const Bytes stream = roundTrip(many);
    EXPECT_LT(stream.size(), many.size() / 4);
}

TEST(NemesisRoundTrip, EncoderRefusesWhatIsNotWholeTiles) {
    EXPECT_EQ(encodeNemesis(Bytes{}).status, NemesisStatus::EmptyInput);
    EXPECT_EQ(encodeNemesis(Bytes(100, 0)).status, NemesisStatus::NotWholeTiles);
    EXPECT_EQ(encodeNemesis(Bytes(31, 0)).status, NemesisStatus::NotWholeTiles);
    const NemesisEncoded tooMany = encodeNemesis(Bytes((kNemesisMaxTiles + 1) * 32, 0));
    EXPECT_EQ(tooMany.status, NemesisStatus::TooManyTiles);
    EXPECT_TRUE(tooMany.stream.empty());
    // The largest block the header can count still round-trips.
    roundTrip(Bytes(kNemesisMaxTiles * 32, 0x11));
}

}  // namespace
}  // namespace tess::codec
