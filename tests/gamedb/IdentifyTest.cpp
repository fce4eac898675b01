#include <gtest/gtest.h>

#include "base/RuntimeError.h"
#include "gamedb/Identify.h"
#include "tests/support/GameFiles.h"

namespace tess::gamedb {
namespace {

using test::TempDir;
using test::writeFile;
using test::writeRom;

const std::string kJet = std::string(TESS_TEST_DATA) + "/jet/";

// The identification table of the fixture game.mdb: IDs "T-00001 -01" (Key 9)
// and "T-00001" (Key 10), a prefix pair in index order. A ROM of no game
// leaves the game identified before it open, and Games past its last row.
TEST(Identify, FirstMatchInIndexOrderWinsAmongPrefixIds) {
    TempDir dir;
    GameDatabase db(kJet);
    const struct {
        const char* header;
        std::optional<std::string> game;
    } cases[] = {
        {"T-00001 -00", "Test Game One"},
        {"T-00001 -01", "Test Game One (Rev 01)"},
        {"T-00001 -02", "Test Game One"},
        {"T-00001 -01 and more text", "Test Game One (Rev 01)"},
        {"T-00002 -00", std::nullopt},
        {"t-00001 -01", std::nullopt},  // the comparison is case-sensitive
    };
    for (const auto& c : cases) {
        writeRom(dir.file("rom.bin"), c.header);
        EXPECT_EQ(IdentifyRom(db, dir.file("rom.bin")), c.game) << c.header;
        if (c.game) continue;
        EXPECT_TRUE(db.games().eof()) << c.header;
        EXPECT_EQ(db.table(GameDatabase::NFO).field("Name").text(), "Test Game One (Rev 01)");
    }
}

TEST(Identify, HeaderWindowOfShortFilesIsZeroPadded) {
    TempDir dir;
    writeFile(dir.file("short.bin"), std::string(0x183, 'x') + "AB");
    EXPECT_EQ(ReadHeaderText(dir.file("short.bin")), std::string("AB") + std::string(30, '\0'));
    writeFile(dir.file("tiny.bin"), "x");
    EXPECT_EQ(ReadHeaderText(dir.file("tiny.bin")), std::string(32, '\0'));
    EXPECT_THROW(ReadHeaderText(dir.file("missing.bin")), RuntimeError);
}

// IDs are compared with the header as Windows-1252 text, the code page the
// databases were written in: one byte a character. An empty ID, last in
// index order, matches every header the others miss.
TEST(Identify, IdsMatchHeaderBytesAsWindows1252TextAndAnEmptyIdMatchesAll) {
    TempDir dir;
    test::makeGameList(dir, "(1, 'ABC', 'abc.db'), (2, 'CAFÉ', 'cafe.db'), (3, '€URO', 'euro.db'),"
                            "(4, 'ΩMEGA', 'omega.db'), (5, '', 'any.db')");
    for (const char* name : {"abc.db", "cafe.db", "euro.db", "omega.db", "any.db"}) {
        test::makeGame(dir.file(name), name);
    }
    GameDatabase db(dir.folder());
    const struct {
        std::string header;
        std::string game;
    } cases[] = {
        {"ABCDEF", "abc.db"},
        {"XYZ", "any.db"},
        {"CAF\xC9 SERIAL", "cafe.db"},
        {"CAF\xC3\x89", "any.db"},  // the UTF-8 bytes of the ID are no match
        {"\x80URO", "euro.db"},
        {"\xCE\xA9MEGA", "any.db"},  // the code page has no omega: no header matches
    };
    for (const auto& c : cases) {
        writeRom(dir.file("rom.bin"), c.header);
        EXPECT_EQ(IdentifyRom(db, dir.file("rom.bin")), c.game) << c.header;
    }
    writeFile(dir.file("short.bin"), "tiny");  // a header of 32 zero characters
    EXPECT_EQ(IdentifyRom(db, dir.file("short.bin")), "any.db");
}

}  // namespace
}  // namespace tess::gamedb
