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
    EXPECT_EQ(missing.err.substr(0, 31), "An unexpected error occured and");
}

TEST_F(CliOnFixtures, LintPrintsTheFixturesFindings) {
    const std::string rev01 = "Test Game One (Rev 01)\t";
    const std::string one = "Test Game One\t";
    const std::string leftOut = "\" is no ID of HEAD: the tree leaves the sprite out\n";
    const std::string rev01Findings =
        "warning\t" + rev01 + "HEAD\tx9\tthe heading has no sprites\n" +
        "error\t" + rev01 + "SPRITE\tNovember\tHeading \"zz" + leftOut;
    const std::string oneFindings =
        "warning\t" + one + "HEAD\t5\tthe heading has no sprites\n" +
        "error\t" + one + "SPRITE\torphan\tHeading \"99" + leftOut +
        "error\t" + one + "SPRITE\tTrailing CRLF\tWhite line 3 has fewer than three fields\n";
    const CliRun all = cli(db + " lint");
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(all.out, rev01Findings + oneFindings);

    // The fixture ROM holds no Nemesis data where the compressed sprites lie.
    test::writeFile(dir.file("game.bin"), test::fixtureGameRom());
    const CliRun rom = cli(db + " lint " + quoted(dir.file("game.bin")));
    EXPECT_EQ(rom.status, 1);
    const std::string noCode =
        " does not decode: code byte has bits set above its code length (ROM byte ";
    EXPECT_EQ(rom.out, oneFindings +
        "error\t" + one + "COMPRESSED\tanvil\tthe block at 6656" + noCode + "6664)\n"
        "error\t" + one + "COMPRESSED\tShared\tthe block at 6144" + noCode + "6152)\n"
        "error\t" + one + "COMPRESSED\tzebra\tthe block at 6400" + noCode + "6408)\n");

    test::writeRom(dir.file("other.bin"), "T-00002 -00");
    const CliRun other = cli(db + " lint " + quoted(dir.file("other.bin")));
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.out, "");
    EXPECT_EQ(other.err.substr(0, 22), "File is either an corr");
    EXPECT_EQ(cli("--db-folder " + quoted(dir.folder()) + " lint").status, 2);  // no game.mdb
}

TEST(CliOnDemo, LintFindsNothingAndTheChecksumHolds) {
    const std::string demo = quoted(std::string(TESS_BIN_DIR) + "/demo.bin");
    for (const std::string& args : {std::string("lint"), "lint " + demo}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 0) << args << "\n" << run.err;
        EXPECT_EQ(run.out, "") << args;
    }
    EXPECT_EQ(cli("checksum " + demo).status, 0);
}

// The words after the header are 1234 FFFF 0001 and an odd last byte AB: the
// sum wraps (1234 + FFFF + 0001 = 1234) and the odd byte counts as AB00.
TEST(CliChecksum, PrintsBothWordsAndFixWritesOnlyTheHeaderWord) {
    test::TempDir dir;
    const std::string path = dir.file("rom.bin");
    std::string rom(0x200, '\x5A');
    rom[0x18E] = '\x43';
    rom[0x18F] = '\x21';
    rom += std::string("\x12\x34\xFF\xFF\x00\x01\xAB", 7);
    test::writeFile(path, rom);

    const CliRun check = cli("checksum " + quoted(path));
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, "stored:   0x4321\ncomputed: 0xBD34\n");
    EXPECT_EQ(test::readFile(path), rom);

    const CliRun fix = cli("checksum " + quoted(path) + " --fix");
    EXPECT_EQ(fix.status, 0) << fix.err;
    EXPECT_EQ(fix.out, "stored:   0x4321\ncomputed: 0xBD34\nfixed:    0xBD34 written at 0x018E\n");
    std::string fixed = rom;
    fixed[0x18E] = '\xBD';
    fixed[0x18F] = '\x34';
    EXPECT_EQ(test::readFile(path), fixed);
    EXPECT_EQ(cli("checksum " + quoted(path)).status, 0);
}

TEST(CliChecksum, RefusesARomShorterThanTheHeaderAndBadUse) {
    test::TempDir dir;
    const std::string path = dir.file("short.bin");
    const std::string rom(0x1FF, '\x11');
    test::writeFile(path, rom);
    const CliRun run = cli("checksum " + quoted(path) + " --fix");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("511 bytes long, shorter than the 512-byte cartridge header"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(test::readFile(path), rom);
    EXPECT_EQ(cli("checksum " + quoted(dir.file("missing.bin"))).status, 1);
    EXPECT_EQ(cli("checksum " + quoted(path) + " --fox").status, 1);
    EXPECT_EQ(cli("checksum").status, 1);
}

}  // namespace
}  // namespace tess
