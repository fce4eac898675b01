#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/NemesisCommand.h"
#include "codec/Nemesis.h"
#include "tests/support/NemesisTestSupport.h"

namespace tess::cli {
namespace {

using test::Bytes;

class NemesisCommand : public ::testing::Test {
protected:
    struct Result {
        int status;
        std::string out;
        std::string err;
    };
    Result run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = runNemesisCommand(args, out, err);
        return {status, out.str(), err.str()};
    }

    test::TempDir dir;
    const Bytes art = test::makeArt(38, [](int t, int x, int y) { return (x * y + t) % 5; });
};

TEST_F(NemesisCommand, CompressesAtEitherEffortAndDecompressesFromAHugeFileAtDecimalAndHexOffsets) {
    test::writeBytes(dir / "art.bin", art);
    const Result packed = run({"compress", dir.file("art.bin"), dir.file("art.nem")});
    const Bytes stream = test::readBytes(dir / "art.nem");
    const codec::NemesisEncoded expected = codec::encodeNemesis(art);
    EXPECT_EQ(packed.status, 0) << packed.err;
    EXPECT_EQ(stream, expected.stream);
    EXPECT_EQ(packed.out, "compressed 1216 bytes (38 tiles) into " + std::to_string(stream.size()) +
                              " bytes (" + (expected.xorMode ? "xor" : "plain") + " mode) in " +
                              dir.file("art.nem") + "\n");

    // The stream near the end of a 64 GiB file, all holes but the stream (so it
    // takes no disk): decompress reads the stream, not the file.
    {
        std::ofstream huge(dir / "huge.bin", std::ios::binary);
        huge.seekp(0xFFFFFFF00);
        huge.write(reinterpret_cast<const char*>(stream.data()),
                   static_cast<std::streamsize>(stream.size()));
        huge.write("trailing..", 10);
    }
    for (const std::string offset : {"68719476480", "0xFFFFFFF00", "0XFFFFFFF00"}) {
        const Result unpacked =
            run({"decompress", dir.file("huge.bin"), offset, dir.file("out.bin")});
        EXPECT_EQ(unpacked.status, 0) << unpacked.err;
        EXPECT_EQ(unpacked.out, "decompressed 1216 bytes (38 tiles) from " +
                                    std::to_string(stream.size()) + " bytes at offset " + offset +
                                    " into " + dir.file("out.bin") + "\n");
        EXPECT_EQ(test::readBytes(dir / "out.bin"), art);
    }

    // --best packs with the codec's longer search, which wins on this tile.
    const Bytes tile = test::tileBestPacksSmaller();
    const Bytes bestStream = codec::encodeNemesis(tile, codec::NemesisEffort::Best).stream;
    ASSERT_LT(bestStream.size(), codec::encodeNemesis(tile).stream.size());
    test::writeBytes(dir / "tile.bin", tile);
    const Result best = run({"compress", "--best", dir.file("tile.bin"), dir.file("best.nem")});
    EXPECT_EQ(best.status, 0) << best.err;
    EXPECT_EQ(test::readBytes(dir / "best.nem"), bestStream);
    EXPECT_NE(best.out.find(" into " + std::to_string(bestStream.size()) + " bytes"),
              std::string::npos);
}

TEST_F(NemesisCommand, ErrorsSayWhyAndLeaveNoOutput) {
    test::writeBytes(dir / "odd.bin", Bytes(100, 0));
    test::writeBytes(dir / "empty.bin", Bytes{});
    test::writeBytes(dir / "rom.bin", Bytes(4096, 0));
    // 12 bytes of other data, then a stream whose table runs to the end of the file.
    test::writeBytes(dir / "corrupt.bin", Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11,  //
                                                0x00, 0x01, 0x80, 0x71, 0x00});
    const std::string out = dir.file("out.bin");

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"compress", dir.file("odd.bin"), out}, "not a whole number of tiles: 100 bytes\n"},
        {{"compress", dir.file("empty.bin"), out},
         "nothing to compress: " + dir.file("empty.bin") + " is empty\n"},
        {{"decompress", dir.file("rom.bin"), "5000", out},
         "offset 5000 is outside the file (4096 bytes)\n"},
        {{"decompress", dir.file("corrupt.bin"), "12", out},
         "corrupt stream at byte 17: code table has no terminator\n"},
        {{"decompress", dir.file("rom.bin"), "0", out},
         "corrupt stream at byte 0: header declares 0 tiles\n"},
        {{"decompress", dir.file("missing.bin"), "0", out},
         "cannot read " + dir.file("missing.bin") + ": no such file\n"},
        {{"compress", dir.file("rom.bin"), dir.path().string()},
         "cannot write " + dir.path().string() + ": is a folder\n"},
    };
    for (const auto& [args, message] : cases) {
        const Result result = run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, message);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(NemesisCommand, MalformedCommandLinesShowTheUsage) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"squash", "a", "b"},
             {"compress", "a"},
             {"compress", "--best", "a"},
             {"compress", "a", "b", "c"},
             {"decompress", "a", "0"},
             {"decompress", "a", "-1", "b"},
             {"decompress", "a", "0x", "b"},
             {"decompress", "a", "12abc", "b"},
             {"decompress", "a", "99999999999999999999999", "b"}}) {
        const Result result = run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("usage: nemesis decompress FILE OFFSET OUT"), std::string::npos)
            << result.err;
    }
    const Result help = run({"help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage:", 0), 0u);
}

}  // namespace
}  // namespace tess::cli
