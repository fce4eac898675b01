#include <gtest/gtest.h>

#include <cctype>

#include "lint/GameLint.h"
#include "tests/support/GameFiles.h"

namespace tess::lint {
namespace {

// A tile list in SQL, lines given with "|" between them.
std::string tiles(const std::string& lines) {
    return "replace('" + lines + "', '|', char(13) || char(10))";
}

// Two Games rows name one file, so every finding must come once.
const std::string kGames = "(1, 'LINT', 'lint.mdb'), (2, 'LINTB', 'lint.mdb')";

// A clean game: a 2 x 2 plain sprite and a compressed one in an 8 KiB ROM.
const std::string kGameTables =
    test::spriteTables("('Hero', 1, '0', 2, 2, " + tiles("0,0,2048|1,0,2080") + ", " +
                           tiles("0,1,2112|1,1,2144") + ")",
                       "('Chest', 'Objects', '0', 1, 1, '0,0,0', '', 4096, 7)");

// One blank tile in Nemesis: header (1 tile), code table (nibble 0, run 8, code
// "0"), terminator, then eight 0 bits. Its last byte is 0, so a second copy may
// start on it and both still decode: two blocks that overlap by one byte.
const std::vector<std::uint8_t> kBlankTile = {0x00, 0x01, 0x80, 0x71, 0x00, 0xFF, 0x00};
constexpr std::size_t kBlock = 4096;
constexpr std::size_t kOverlappingBlock = kBlock + 6;

enum class Run { Both, RomOnly, AllOnly };

struct Expect {
    Run run;
    LintLevel level;
    const char* table;
    const char* row;
    std::string message;
};

struct LintCase {
    const char* what;
    std::string sql;  // run on the game's database after kGameTables
    std::vector<Expect> expected;
};

constexpr auto E = LintLevel::Error;
constexpr auto W = LintLevel::Warning;
constexpr auto Both = Run::Both;
constexpr auto RomOnly = Run::RomOnly;

class LintedGame : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string rom = dir.file("lint.bin");

    // Games holds the SQL rows `games`; NFO's palette is at 1024.
    void makeGame(const std::string& games, const std::string& sql) {
        test::makeGameList(dir, games);
        test::makeGame(dir.file("lint.mdb"), "Lint Game", "1024, '0', '', ''", kGameTables + sql);
        test::writeRom(rom, "LINT", 8192);
        auto bytes = test::readBytes(rom);
        std::copy(kBlankTile.begin(), kBlankTile.end(), bytes.begin() + kBlock);
        std::copy(kBlankTile.begin(), kBlankTile.end(), bytes.begin() + kOverlappingBlock);
        test::writeBytes(rom, bytes);
    }
};

class GameLint : public LintedGame, public ::testing::WithParamInterface<LintCase> {};

std::vector<std::string> lines(const std::vector<LintFinding>& findings) {
    std::vector<std::string> out;
    for (const auto& f : findings) out.push_back(FormatFinding(f));
    return out;
}

std::vector<std::string> expectedLines(const std::vector<Expect>& expected, Run skip) {
    std::vector<std::string> out;
    for (const auto& e : expected) {
        if (e.run != skip)
            out.push_back(FormatFinding({e.level, "Lint Game", e.table, e.row, e.message}));
    }
    return out;
}

// A side that does not fit the view at the zooms listed, or at any when none are.
std::string tooLarge(const std::string& side, const std::string& zooms) {
    return zooms.empty() ? side + " does not fit the view at any zoom: the sprite cannot load"
                         : side + " does not fit the view at zoom " + zooms +
                               ": the sprite fails to load or redraw there";
}

TEST_P(GameLint, FindsEachKindWithTheRomAndTheRomFreeOnesWithout) {
    makeGame(kGames, GetParam().sql);
    gamedb::GameDatabase db(dir.folder());
    const auto withRom = LintRomGame(db, rom);
    ASSERT_TRUE(withRom.has_value());
    EXPECT_EQ(lines(*withRom), expectedLines(GetParam().expected, Run::AllOnly));
    EXPECT_EQ(lines(LintAllGames(db)), expectedLines(GetParam().expected, Run::RomOnly));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, GameLint,
    ::testing::Values(
        LintCase{"a clean game", "", {}},
        LintCase{
            "tile lists that do not parse",
            "UPDATE SPRITE SET White = " + tiles("0,0,2048|1,0|1,x,2080|0,0,&H1FFFFFFFF|") + ";",
            {{Both, E, "SPRITE", "Hero", "White line 2 has fewer than three fields"},
             {Both, E, "SPRITE", "Hero", "White line 3, field 2 is not a number"},
             {Both, E, "SPRITE", "Hero", "White line 4, field 3 is out of range"},
             {Both, E, "SPRITE", "Hero", "White line 5 has fewer than three fields"}}},
        LintCase{
            "cells outside the grid or listed twice",
            "UPDATE SPRITE SET White = " + tiles("0,0,2048|2,0,2080|0,0,2048|1,0,2080|1,0,2176") +
                ", Grey = " + tiles("0,1,2112|0,-1,2112|0,1,2144|1,1,2144") + ";",
            {{Both, E, "SPRITE", "Hero", "White line 2: cell (2,0) is outside the 2 x 2 tile grid"},
             {Both, W, "SPRITE", "Hero", "White lines 1 and 3 both name cell (0,0)"},
             {Both, E, "SPRITE", "Hero",
              "White lines 4 and 5 both name cell (1,0): the tile shown is read at 2176, a save "
              "writes it at 2080"},
             {Both, E, "SPRITE", "Hero", "Grey line 2: cell (0,-1) is outside the 2 x 2 tile grid"},
             {Both, W, "SPRITE", "Hero", "Grey lines 1 and 3 both name cell (0,1)"}}},
        LintCase{
            "grey cells over white ones",
            "UPDATE SPRITE SET Grey = " + tiles("1,0,2112|1,1,2144") + ";",
            {{Both, W, "SPRITE", "Hero",
              "Grey line 1 covers White line 2 at cell (1,0): that white tile is never saved"}}},
        LintCase{
            "plain tiles outside the ROM, over its header or inside a compressed block",
            "UPDATE SPRITE SET White = " + tiles("0,0,8176|1,0,-32") +
                ", Grey = " + tiles("0,1,4100|1,1,300") + ";",
            {{RomOnly, E, "SPRITE", "Hero",
              "White line 1: the tile at 8176 does not fit in the ROM (8192 bytes)"},
             {Both, E, "SPRITE", "Hero",
              "White line 2: the tile at -32 lies before the start of the ROM"},
             {RomOnly, E, "SPRITE", "Hero",
              "Grey line 1: the tile at 4100 lies inside the compressed block of Chest (bytes 4096 "
              "to 4102)"},
             {Both, E, "SPRITE", "Hero",
              "Grey line 2: the tile at 300 lies over the cartridge header (bytes 256 to 511)"}}},
        LintCase{"palettes outside the ROM or inside a compressed block",
                 "UPDATE NFO SET Palette = 8170; UPDATE SPRITE SET Palette = '&H1000';",
                 {{RomOnly, E, "NFO", "Lint Game",
                   "the palette at 8170 does not fit in the ROM (8192 bytes)"},
                  {RomOnly, E, "SPRITE", "Hero",
                   "the palette at 4096 lies inside the compressed block of Chest (bytes 4096 to "
                   "4102)"}}},
        LintCase{
            "blocks that do not decode, lie outside the ROM or outgrow MaxSize",
            "UPDATE COMPRESSED SET MaxSize = 6, White = '0,0,32';"
            "INSERT INTO COMPRESSED VALUES ('Bad', 'Objects', '0', 1, 1, '0,0,0', '', 5000, 100),"
            " ('Far', 'Objects', '0', 1, 1, '0,0,0', '', 9000, 100),"
            " ('Neg', 'Objects', '0', 1, 1, '0,0,0', '', -2, 100);",
            {{RomOnly, E, "COMPRESSED", "Bad",
              "the block at 5000 does not decode: header declares 0 tiles (ROM byte 5000)"},
             {RomOnly, W, "COMPRESSED", "Chest",
              "the block at 4096 takes 7 bytes, more than its MaxSize of 6"},
             {RomOnly, E, "COMPRESSED", "Chest",
              "White line 1: the tile at 32 does not fit in the decompressed block (32 bytes)"},
             {RomOnly, E, "COMPRESSED", "Far",
              "the block at 9000 does not fit in the ROM (8192 bytes)"},
             {Both, E, "COMPRESSED", "Neg", "the block at -2 lies before the start of the ROM"}}},
        LintCase{
            "blocks that overlap",
            "INSERT INTO COMPRESSED VALUES ('Lid', 'Objects', '0', 1, 1, '0,0,0', '', 4102, 7);",
            {{RomOnly, E, "COMPRESSED", "Lid",
              "its block (bytes 4102 to 4108) overlaps the block of Chest (bytes 4096 to 4102)"}}},
        LintCase{"headings without sprites and sprites without heading",
                 "INSERT INTO HEAD VALUES (2, 'Empty');"
                 "INSERT INTO SPRITE VALUES ('Stray', 7, '0', 1, 1, '0,0,2048', '-1');",
                 {{Both, W, "HEAD", "2", "the heading has no sprites"},
                  {Both, E, "SPRITE", "Stray",
                   "Heading \"7\" is no ID of HEAD: the tree leaves the sprite out"}}},
        // The edges of each zoom: 170 tiles fit at zoom 24 (32640 pixels), 255 at 16, 511 at
        // 8, 682 at 6, 1023 at 4 and 4095 at 1; the grids, 8 pixels a tile, end at 4095 too.
        LintCase{"sides too large for the view at some zooms or at all",
                 "INSERT INTO SPRITE VALUES ('Edge1', 1, '0', 170, 171, '', '-1'),"
                 " ('Edge2', 1, '0', 511, 1, '', '-1'), ('Edge3', 1, '0', 1, 512, '', '-1'),"
                 " ('Edge4', 1, '0', 683, 1024, '', '-1'), ('Edge5', 1, '0', 4095, 4096, '', '-1'),"
                 " ('Edge6', 1, '0', -1, 32767, '', '-1'), ('Edge7', 1, '0', 1, 32768, '', '-1');"
                 "INSERT INTO COMPRESSED VALUES"
                 " ('Edge1', 'Objects', '0', 512, 511, '0,0,0', '', 4096, 7),"
                 " ('Edge2', 'Objects', '0', 5000, 255, '0,0,0', '', 4096, 7);",
                 {{Both, E, "SPRITE", "Edge1", tooLarge("Height 171", "24")},
                  {Both, E, "SPRITE", "Edge2", tooLarge("Width 511", "16 and 24")},
                  {Both, E, "SPRITE", "Edge3", tooLarge("Height 512", "8, 16 and 24")},
                  {Both, E, "SPRITE", "Edge4", tooLarge("Width 683", "6, 8, 16 and 24")},
                  {Both, E, "SPRITE", "Edge4", tooLarge("Height 1024", "4, 6, 8, 16 and 24")},
                  {Both, E, "SPRITE", "Edge5", tooLarge("Width 4095", "4, 6, 8, 16 and 24")},
                  {Both, E, "SPRITE", "Edge5", tooLarge("Height 4096", "")},
                  {Both, E, "SPRITE", "Edge6", tooLarge("Width -1", "")},
                  {Both, E, "SPRITE", "Edge6", tooLarge("Height 32767", "")},
                  {Both, E, "SPRITE", "Edge7", "Height is out of range"},
                  {Both, E, "COMPRESSED", "Edge1", tooLarge("Width 512", "8, 16 and 24")},
                  {Both, E, "COMPRESSED", "Edge1", tooLarge("Height 511", "16 and 24")},
                  {Both, E, "COMPRESSED", "Edge2", tooLarge("Width 5000", "")},
                  {Both, E, "COMPRESSED", "Edge2", tooLarge("Height 255", "24")}}},
        LintCase{"fields the editor cannot read",
                 "UPDATE SPRITE SET Width = NULL; UPDATE COMPRESSED SET Offset = '&HZZ';",
                 {{Both, E, "SPRITE", "Hero", "Width has no value"},
                  {Both, E, "COMPRESSED", "Chest", "Offset is not a number"}}}),
    [](const ::testing::TestParamInfo<LintCase>& tested) {
        std::string name = tested.param.what;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

// A Games row whose database is missing is a finding; a ROM of no game is
// not linted.
TEST_F(LintedGame, GamesRowWhoseDatabaseIsMissingAndRomOfNoGame) {
    makeGame(kGames + ", (3, 'GONE', 'gone.mdb')", "");
    test::writeRom(dir.file("other.bin"), "OTHER");
    gamedb::GameDatabase db(dir.folder());
    EXPECT_EQ(lines(LintAllGames(db)),
              std::vector<std::string>{
                  "error\tGONE\tGames\tGONE\tits database file gone.mdb is missing"});
    EXPECT_FALSE(LintRomGame(db, dir.file("other.bin")).has_value());
}

}  // namespace
}  // namespace tess::lint
