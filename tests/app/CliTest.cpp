#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include <QImage>

#include "tests/support/TestFiles.h"

namespace tess {
namespace {

struct CliRun {
    std::string out;
    std::string err;
    int status = -1;
};

// Runs tessellane-cli with the given arguments.
CliRun cli(const std::string& args) {
    test::TempDir scratch;
    const std::string errFile = scratch.file("stderr");
    const std::string command =
        std::string(TESS_BIN_DIR) + "/tessellane-cli " + args + " 2>'" + errFile + "'";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buf{};
    while (const std::size_t n = fread(buf.data(), 1, buf.size(), pipe)) run.out.append(buf.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = test::readFile(errFile);
    return run;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

class CliOnFixtures : public ::testing::Test {
protected:
    std::string db = "--db-folder " + quoted(std::string(TESS_TEST_DATA) + "/jet");
    test::TempDir dir;
};

TEST_F(CliOnFixtures, IdentifyNamesTheGameOrSaysUnsupported) {
    test::writeRom(dir.file("rev1.bin"), "T-00001 -01");
    test::writeRom(dir.file("other.bin"), "T-00002 -00");
    const CliRun ok = cli(db + " identify " + quoted(dir.file("rev1.bin")));
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "Game: Test Game One (Rev 01)\n");
    const CliRun no = cli(db + " identify " + quoted(dir.file("other.bin")));
    EXPECT_EQ(no.status, 1);
    EXPECT_EQ(no.out,
              "File is either an corrupt, invalid, or does not currently have support by "
              "Tessellane\n");
}

TEST_F(CliOnFixtures, TreePrintsOneIndentedNodeALine) {
    test::writeRom(dir.file("rev1.bin"), "T-00001 -01");
    const CliRun run = cli(db + " tree " + quoted(dir.file("rev1.bin")));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "QBRKHEAD_h1\tProps\t1\n"
              "  QBRKCHILD_kilo\tkilo\t2\n"
              "QBRKHEAD_H10\tVillains\t1\n"
              "  QBRKCHILD_Big Sprite\tBig Sprite\t2\n"
              "  QBRKCHILD_Lima\tLima\t2\n"
              "QBRKHEAD_h2\tHeroes\t1\n"
              "  QBRKCHILD_Hex Offsets\tHex Offsets\t2\n"
              "  QBRKCHILD_mike\tmike\t2\n"
              "QBRKHEAD_x9\tHeading without sprites\t1\n"
              "QBRKHEADCOMP\tCompressed\t1\n"
              "  QBRKHEADCOMP_Zone 2\tZone 2\t1\n"
              "    QBRKHEADCOMPCHILD_echo\techo\t2\n"
              "    QBRKHEADCOMPCHILD_golf\tgolf\t2\n"
              "  QBRKHEADCOMP_Zone 1\tZone 1\t1\n"
              "    QBRKHEADCOMPCHILD_Foxtrot\tFoxtrot\t2\n");
}

TEST_F(CliOnFixtures, GamesListsTheAboutRows) {
    const CliRun run = cli(db + " games");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Test Game One (Rev 01)*40%*Second Author\nTest Game One*75%*Fixture Author\n");
}

TEST_F(CliOnFixtures, ExitCodesForBadUseMissingRomAndBrokenDatabase) {
    EXPECT_EQ(cli("").status, 1);
    EXPECT_EQ(cli(db + " frobnicate").status, 1);
    EXPECT_EQ(cli(db + " identify " + quoted(dir.file("missing.bin"))).status, 1);
    // A folder without game.mdb, and one whose game.mdb is no database at all.
    EXPECT_EQ(cli("--db-folder " + quoted(dir.folder()) + " games").status, 2);
    test::writeFile(dir.file("game.mdb"), std::string(4096, 'x'));
    test::writeRom(dir.file("rom.bin"), "T-00001 -01");
    const CliRun broken = cli("--db-folder " + quoted(dir.folder()) + " identify " + quoted(dir.file("rom.bin")));
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.out, "");
}

TEST_F(CliOnFixtures, ExportWritesTheSpriteAsIndexedPng) {
    test::writeFile(dir.file("game.bin"), test::fixtureGameRom());
    const CliRun run = cli(db + " export " + quoted(dir.file("game.bin")) + " alpha " +
                           quoted(dir.file("alpha.png")));
    ASSERT_EQ(run.status, 0) << run.err;
    const QImage png(QString::fromStdString(dir.file("alpha.png")));
    ASSERT_EQ(png.size(), QSize(16, 8));
    ASSERT_EQ(png.format(), QImage::Format_Indexed8);
    ASSERT_EQ(png.colorCount(), 16);
    EXPECT_EQ(qAlpha(png.color(0)), 0);
    EXPECT_EQ(png.color(1), qRgb(0, 32, 32));  // word 02 20 at 7682
    const std::string rom = test::fixtureGameRom();
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            const auto byte = static_cast<unsigned char>(rom[4096 + 32 * (x / 8) + 4 * y + (x % 8) / 2]);
            ASSERT_EQ(png.pixelIndex(x, y), x % 2 == 0 ? byte >> 4 : byte & 15) << x << "," << y;
        }
    }
}

TEST_F(CliOnFixtures, ExportErrorsPrintTheBoxText) {
    test::writeFile(dir.file("game.bin"), test::fixtureGameRom());
    const std::string rom = quoted(dir.file("game.bin"));
    const CliRun crlf = cli(db + " export " + rom + " 'Trailing CRLF' " + quoted(dir.file("t.png")));
    EXPECT_EQ(crlf.status, 1);
    EXPECT_EQ(crlf.err.substr(0, 18), "Runtime Error: 9\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("t.png")));
    const CliRun missing = cli(db + " export " + rom + " nope " + quoted(dir.file("n.png")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "The game has no sprite named \"nope\" (neither plain nor compressed).\n");
}

}  // namespace
}  // namespace tess
