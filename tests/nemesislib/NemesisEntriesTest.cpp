#include <gtest/gtest.h>

#include "codec/Nemesis.h"
#include "nemesislib/NemesisEntries.h"
#include "tests/support/NemesisTestSupport.h"

namespace tess::nemesislib {
namespace {

using test::Bytes;

class NemesisEntries : public ::testing::Test {
protected:
    // Sprite-like art: a ring on a transparent background, 6 tiles.
    const Bytes art = test::makeArt(6, [](int t, int x, int y) {
        const int dx = x + (t % 3) * 8 - 12, dy = y + (t / 3) * 8 - 8;
        const int d = dx * dx + dy * dy;
        return d > 30 && d < 60 ? 4 + t : 0;
    });
    test::TempDir dir;
};

TEST_F(NemesisEntries, CompThenDecompFromInsideARom) {
    test::writeBytes(dir / "dump.bin", art);
    const int32_t size = Comp(dir.file("dump.bin").c_str(), dir.file("dumpc.bin").c_str());
    const Bytes stream = test::readBytes(dir / "dumpc.bin");
    ASSERT_GT(size, 0);
    EXPECT_EQ(static_cast<std::size_t>(size), stream.size());
    EXPECT_EQ(stream, codec::encodeNemesis(art).stream);

    // The block sits at offset 1000 of a "ROM", with other data after it.
    Bytes rom(1000 + stream.size() + 500, 0x77);
    std::fill_n(rom.begin(), 1000, uint8_t{0xEE});
    std::copy(stream.begin(), stream.end(), rom.begin() + 1000);
    test::writeBytes(dir / "game.bin", rom);
    test::writeBytes(dir / "out.bin", Bytes(5000, 1));  // replaced, not overwritten in place
    EXPECT_EQ(Decomp(dir.file("game.bin").c_str(), dir.file("out.bin").c_str(), 1000), 0);
    EXPECT_EQ(test::readBytes(dir / "out.bin"), art);
    EXPECT_EQ(dir.entries(), 4u);  // no temporary file left behind
}

// Each way out of an entry once; which fault of a read, decode, encode or write lies behind it is
// for the codec, whole-file and command tests to tell apart.
TEST_F(NemesisEntries, FailuresReturnMinusOneAndWriteNothing) {
    const Bytes stream = codec::encodeNemesis(art).stream;
    test::writeBytes(dir / "rom.bin", stream);
    test::writeBytes(dir / "cut.bin", Bytes(stream.begin(), stream.end() - 1));
    test::writeBytes(dir / "odd.bin", Bytes(100, 0x12));
    test::writeBytes(dir / "art.bin", art);

    const std::string out = dir.file("out.bin"), folder = dir.path().string();
    const std::string rom = dir.file("rom.bin"), missingDir = dir.file("no/such/dir/out.bin");
    EXPECT_EQ(Decomp(dir.file("missing.bin").c_str(), out.c_str(), 0), -1);
    EXPECT_EQ(Decomp(rom.c_str(), out.c_str(), -1), -1);
    EXPECT_EQ(Decomp(dir.file("cut.bin").c_str(), out.c_str(), 0), -1);
    EXPECT_EQ(Decomp(folder.c_str(), out.c_str(), 0), -1);
    EXPECT_EQ(Decomp(nullptr, out.c_str(), 0), -1);
    EXPECT_EQ(Decomp(rom.c_str(), missingDir.c_str(), 0), -1);
    EXPECT_EQ(Comp(dir.file("missing.bin").c_str(), out.c_str()), -1);
    EXPECT_EQ(Comp(dir.file("odd.bin").c_str(), out.c_str()), -1);
    EXPECT_EQ(Comp(dir.file("art.bin").c_str(), nullptr), -1);
    EXPECT_EQ(Comp(dir.file("art.bin").c_str(), missingDir.c_str()), -1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(dir.entries(), 4u);

    // A failed decode leaves an existing destination as it was.
    test::writeBytes(out, Bytes{1, 2, 3});
    EXPECT_EQ(Decomp(dir.file("cut.bin").c_str(), out.c_str(), 0), -1);
    EXPECT_EQ(test::readBytes(out), (Bytes{1, 2, 3}));

    // Compressing a file onto itself replaces it with its stream.
    EXPECT_EQ(Comp(dir.file("art.bin").c_str(), dir.file("art.bin").c_str()), std::ssize(stream));
    EXPECT_EQ(test::readBytes(dir / "art.bin"), stream);
}

}  // namespace
}  // namespace tess::nemesislib
