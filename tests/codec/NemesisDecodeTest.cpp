#include <gtest/gtest.h>

#include "codec/Nemesis.h"
#include "tests/support/NemesisTestSupport.h"

namespace tess::codec {
namespace {

using test::Bytes;
using test::StreamWriter;

// Streams our encoder made from our own art (see tests/data/nemesis/README.md), with the art. Each
// cut anywhere is refused as cut short (never, say, as a corrupt code); other damage is the fuzz
// target's business.
TEST(NemesisDecode, GoldenStreamsAndEveryCutOfThem) {
    for (const char* name : {"flat", "stripes", "gradient", "ball", "dither"}) {
        SCOPED_TRACE(name);
        const std::string base = std::string(TESS_TEST_DATA) + "/nemesis/" + name;
        const Bytes stream = test::readBytes(base + ".nem");
        const Bytes expected = test::readBytes(base + ".bin");
        ASSERT_FALSE(stream.empty());
        ASSERT_FALSE(expected.empty());
        const NemesisDecoded decoded = decodeNemesis(stream);
        ASSERT_TRUE(decoded.ok()) << describe(decoded.status);
        EXPECT_EQ(decoded.data, expected);
        EXPECT_EQ(decoded.consumed, stream.size());
        for (std::size_t size = 0; size < stream.size(); ++size) {
            const NemesisStatus cut = decodeNemesis(std::span(stream.data(), size)).status;
            EXPECT_TRUE(cut == NemesisStatus::StreamEndsEarly ||
                        cut == NemesisStatus::TableUnterminated ||
                        (size == 0 && cut == NemesisStatus::OffsetOutsideBuffer))
                << size << ": " << describe(cut);
        }
    }
}

// A table in Sega's layout (every nibble once, runs ascending), an inline run, and a stream
// inside a larger buffer: bytes around it are never read or counted.
TEST(NemesisDecode, HandWrittenStreamInsideABuffer) {
    StreamWriter w;
    w.raw({0xAA, 0xBB, 0xCC});  // data before the stream
    w.header(1).select(0).entry(8, 1, 0b0).select(5).entry(1, 2, 0b10).entry(2, 3, 0b110).end();
    // 5; 0 x8; 5 x2; A x5 inline; 0 x8; then 40 more 0s as five 8-runs: 64 nibbles.
    w.bits(0b10, 2).bits(0b0, 1).bits(0b110, 3).inlineRun(5, 0xA).bits(0b0, 1);
    for (int i = 0; i < 5; ++i) w.bits(0b0, 1);
    const std::size_t streamEnd = w.bytes().size();
    w.raw({0xFF, 0xFF});  // data after the stream

    const NemesisDecoded decoded = decodeNemesis(w.bytes(), 3);
    ASSERT_TRUE(decoded.ok()) << describe(decoded.status) << " at " << decoded.errorAt;
    EXPECT_EQ(decoded.consumed, streamEnd - 3);
    // Runs cross rows: the 8-run of 0 ends in row 1.
    Bytes expected = {0x50, 0, 0, 0, 0x05, 0x5A, 0xAA, 0xAA};
    expected.resize(32);
    EXPECT_EQ(decoded.data, expected);
}

TEST(NemesisDecode, XorModeAccumulatesRowsAcrossTiles) {
    // Two tiles: row 0 is 0x12345678, every later row XORs in 0 -- all rows equal row 0.
    StreamWriter w;
    w.header(2, true).select(0).entry(8, 1, 0b0);
    for (unsigned n = 1; n <= 8; ++n) w.select(n).entry(1, 5, 0b10000 | (n - 1));
    w.end();
    for (unsigned n = 1; n <= 8; ++n) w.bits(0b10000 | (n - 1), 5);
    for (int i = 0; i < 15; ++i) w.bits(0, 1);  // 15 rows of XOR 0
    const NemesisDecoded decoded = decodeNemesis(w.bytes());
    ASSERT_TRUE(decoded.ok()) << describe(decoded.status);
    EXPECT_TRUE(decoded.xorMode);
    for (std::size_t row = 0; row < 16; ++row) {
        EXPECT_EQ(Bytes(decoded.data.begin() + row * 4, decoded.data.begin() + row * 4 + 4),
                  (Bytes{0x12, 0x34, 0x56, 0x78}));
    }
}

struct Malformed {
    const char* what;
    Bytes stream;
    NemesisStatus status;
    std::size_t errorAt;
    std::size_t offset = 0;
};

TEST(NemesisDecode, MalformedStreamsAndOffsetsOutsideTheBufferNameTheirFault) {
    using S = NemesisStatus;
    // One tile, nibble 0 as an 8-run with code "0": one zero byte of codes decodes it.
    const auto table = [](unsigned length, unsigned code) {
        return StreamWriter().header(1).select(0).entry(8, length, code);
    };
    const std::vector<Malformed> cases = {
        {"zero tiles", StreamWriter().header(0).select(0).end().raw({0}).bytes(), S::ZeroTiles, 0},
        {"header cut", Bytes{0x00}, S::StreamEndsEarly, 1},
        {"no table", StreamWriter().header(1).bytes(), S::TableUnterminated, 2},
        {"no terminator", table(1, 0).bytes(), S::TableUnterminated, 5},
        {"entry without code byte", table(1, 0).raw({0x71}).bytes(), S::TableUnterminated, 6},
        {"length 0", table(0, 0).end().raw({0}).bytes(), S::BadCodeLength, 3},
        {"length 9", table(9, 0).end().raw({0}).bytes(), S::BadCodeLength, 3},
        {"stray code bits", table(2, 0b101).end().raw({0}).bytes(), S::StrayCodeBits, 4},
        {"code 1", table(1, 0b1).end().bytes(), S::CodeClashesWithEscape, 3},
        {"code 111111", table(6, 0b111111).end().bytes(), S::CodeClashesWithEscape, 3},
        {"code 1111110", table(7, 0b1111110).end().bytes(), S::CodeClashesWithEscape, 3},
        {"prefix of another", table(1, 0).entry(1, 2, 0b01).end().bytes(), S::CodesNotPrefixFree,
         5},
        {"same code twice", table(3, 0b010).select(4).entry(2, 3, 0b010).end().bytes(),
         S::CodesNotPrefixFree, 6},
        {"no code matches", table(2, 0b00).end().raw({0x80}).bytes(), S::UnknownCode, 6},
        {"bitstream missing", table(1, 0).end().bytes(), S::StreamEndsEarly, 6},
        {"inline run cut", StreamWriter().header(1).select(0).end().raw({0xFC}).bytes(),
         S::StreamEndsEarly, 5},
        {"code cut", table(5, 0b01110).end().raw({0x73}).bytes(), S::StreamEndsEarly, 7},
        // 7 codes of 8 zeros, then 3-runs: the third one would end at nibble 65 of 64.
        {"run past the end", table(1, 0).entry(3, 2, 0b10).end().raw({0x01, 0x50}).bytes(),
         S::RunPastEnd, 9},
        {"empty buffer", Bytes{}, S::OffsetOutsideBuffer, 0},
        {"offset at the end", table(1, 0).end().raw({0}).bytes(), S::OffsetOutsideBuffer, 7, 7},
        {"offset past the end", table(1, 0).end().raw({0}).bytes(), S::OffsetOutsideBuffer, 8, 8},
        {"offset far past", table(1, 0).end().raw({0}).bytes(), S::OffsetOutsideBuffer, 1ull << 40,
         1ull << 40},
    };
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.what);
        const NemesisDecoded decoded = decodeNemesis(c.stream, c.offset);
        EXPECT_EQ(decoded.status, c.status) << describe(decoded.status);
        EXPECT_EQ(decoded.errorAt, c.errorAt);
        EXPECT_TRUE(decoded.data.empty());
    }
}

}  // namespace
}  // namespace tess::codec
