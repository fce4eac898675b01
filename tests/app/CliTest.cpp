#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "tests/support/TestFiles.h"

namespace tess {
namespace {

struct CliRun {
    std::string out;
    int status = -1;
};

// Runs tessellane-cli with the given arguments; standard error is dropped.
CliRun cli(const std::string& args) {
    const std::string command = std::string(TESS_BIN_DIR) + "/tessellane-cli " + args + " 2>/dev/null";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buf{};
    while (const std::size_t n = fread(buf.data(), 1, buf.size(), pipe)) run.out.append(buf.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
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

}  // namespace
}  // namespace tess
