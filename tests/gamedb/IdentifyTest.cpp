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

// Games in index order; the first whose ID starts the header wins, compared
// case-sensitively as Windows-1252 text, the code page the databases were
// written in: one byte a character. The fixture game.mdb holds IDs
// "T-00001 -01" (Key 9) and "T-00001" (Key 10), a prefix pair in index order;
// the list written here ends with an empty ID, which matches every header the
// others miss. A ROM of no game leaves the game identified before it open,
// and Games past its last row.
TEST(Identify, FirstMatchInIndexOrderWinsAmongIdsAsWindows1252Text) {
    TempDir dir;
    test::makeGameList(dir,
                       "(1, 'ABC', 'abc.db'), (2, 'CAFÉ', 'cafe.db'), (3, '€URO', 'euro.db'),"
                       "(4, 'ΩMEGA', 'omega.db'), (5, '', 'any.db')");
    for (const char* name : {"abc.db", "cafe.db", "euro.db", "omega.db", "any.db"}) {
        test::makeGame(dir.file(name), name);
    }
    GameDatabase fixture(kJet), written(dir.folder());
    const struct {
        GameDatabase& db;
        std::string header;
        std::optional<std::string> game;
    } cases[] = {
        {fixture, "T-00001 -00", "Test Game One"},
        {fixture, "T-00001 -01", "Test Game One (Rev 01)"},
        {fixture, "T-00001 -02", "Test Game One"},
        {fixture, "T-00001 -01 and more text", "Test Game One (Rev 01)"},
        {fixture, "T-00002 -00", std::nullopt},
        {fixture, "t-00001 -01", std::nullopt},
        {written, "ABCDEF", "abc.db"},
        {written, "XYZ", "any.db"},
        {written, "CAF\xC9 SERIAL", "cafe.db"},
        {written, "CAF\xC3\x89", "any.db"},  // the UTF-8 bytes of the ID are no match
        {written, "\x80URO", "euro.db"},
        {written, "\xCE\xA9MEGA", "any.db"},  // the code page has no omega: no header matches
        {written, std::string(32, '\0'), "any.db"},
    };
    for (const auto& c : cases) {
        writeRom(dir.file("rom.bin"), c.header);
        EXPECT_EQ(IdentifyRom(c.db, dir.file("rom.bin")), c.game) << c.header;
        if (c.game) continue;
        EXPECT_TRUE(c.db.games().eof()) << c.header;
        EXPECT_EQ(c.db.table(GameDatabase::NFO).field("Name").text(), "Test Game One (Rev 01)");
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

}  // namespace
}  // namespace tess::gamedb
