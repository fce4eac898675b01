#include <gtest/gtest.h>

#include "app/core/RuntimeError.h"
#include "gamedb/core/Identify.h"
#include "tests/support/TestFiles.h"

namespace tess::gamedb {
namespace {

using test::TempDir;
using test::makeSqliteDb;
using test::writeFile;
using test::writeRom;

const std::string kJet = std::string(TESS_TEST_DATA) + "/jet/";

// The identification table of the fixture game.mdb: IDs "T-00001 -01" (Key 9)
// and "T-00001" (Key 10), a prefix pair in index order.
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
    }
}

TEST(Identify, UnsupportedRomKeepsThePreviousGameOpen) {
    TempDir dir;
    GameDatabase db(kJet);
    writeRom(dir.file("good.bin"), "T-00001 -00");
    writeRom(dir.file("bad.bin"), "NOTHING");
    ASSERT_TRUE(IdentifyRom(db, dir.file("good.bin")));
    EXPECT_FALSE(IdentifyRom(db, dir.file("bad.bin")));
    EXPECT_TRUE(db.games().eof());
    ASSERT_TRUE(db.hasGameData());
    EXPECT_EQ(db.table(GameDatabase::NFO).field("Name").text(), "Test Game One");
    EXPECT_EQ(DefaultPaletteOffset(db), 7680);
}

TEST(Identify, HeaderWindowOfShortFilesIsZeroPadded) {
    TempDir dir;
    writeFile(dir.file("short.bin"), std::string(0x183, 'x') + "AB");
    EXPECT_EQ(ReadHeaderText(dir.file("short.bin")), std::string("AB") + std::string(30, '\0'));
    writeFile(dir.file("tiny.bin"), "x");
    EXPECT_EQ(ReadHeaderText(dir.file("tiny.bin")), std::string(32, '\0'));
    EXPECT_THROW(ReadHeaderText(dir.file("missing.bin")), RuntimeError);
}

TEST(Identify, EmptyIdMatchesEveryHeaderAndOrderDecides) {
    TempDir dir;
    makeSqliteDb(dir.file("game.mdb"),
                 "CREATE TABLE Games (Key INTEGER PRIMARY KEY, ID TEXT, Database TEXT);"
                 "INSERT INTO Games VALUES (2, '', 'any.db'), (1, 'ABC', 'abc.db');");
    for (const char* name : {"any.db", "abc.db"}) {
        makeSqliteDb(dir.file(name),
                     std::string("CREATE TABLE NFO (ID INTEGER PRIMARY KEY, Name TEXT, Palette INTEGER);"
                                 "INSERT INTO NFO VALUES (1, '") +
                         name + "', 0);"
                                "CREATE TABLE HEAD (ID INTEGER PRIMARY KEY, Name TEXT);"
                                "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY);"
                                "CREATE TABLE COMPRESSED (Name TEXT PRIMARY KEY);");
    }
    GameDatabase db(dir.folder());
    writeRom(dir.file("abc.bin"), "ABCDEF");
    writeRom(dir.file("xyz.bin"), "XYZ");
    writeFile(dir.file("short.bin"), "tiny");  // a header of 32 zero characters
    EXPECT_EQ(IdentifyRom(db, dir.file("abc.bin")), "abc.db");
    EXPECT_EQ(IdentifyRom(db, dir.file("xyz.bin")), "any.db");
    EXPECT_EQ(IdentifyRom(db, dir.file("short.bin")), "any.db");
}

// IDs are compared with the header as Windows-1252 text, the code page the
// databases were written in: one byte a character.
TEST(Identify, IdsMatchHeaderBytesAsWindows1252Text) {
    TempDir dir;
    makeSqliteDb(dir.file("game.mdb"),
                 "CREATE TABLE Games (Key INTEGER PRIMARY KEY, ID TEXT, Database TEXT);"
                 "INSERT INTO Games VALUES (1, 'CAFÉ', 'cafe.db'), (2, '€URO', 'euro.db'),"
                 "(3, 'ΩMEGA', 'omega.db');");
    for (const char* name : {"cafe.db", "euro.db", "omega.db"}) {
        makeSqliteDb(dir.file(name),
                     std::string("CREATE TABLE NFO (ID INTEGER PRIMARY KEY, Name TEXT);"
                                 "INSERT INTO NFO VALUES (1, '") +
                         name + "');" +
                         "CREATE TABLE HEAD (ID INTEGER PRIMARY KEY);"
                         "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY);"
                         "CREATE TABLE COMPRESSED (Name TEXT PRIMARY KEY);");
    }
    GameDatabase db(dir.folder());
    const struct {
        std::string header;
        std::optional<std::string> game;
    } cases[] = {
        {"CAF\xC9 SERIAL", "cafe.db"},
        {"CAF\xC3\x89", std::nullopt},  // the UTF-8 bytes of the ID are no match
        {"\x80URO", "euro.db"},
        {"\xCE\xA9MEGA", std::nullopt},  // the code page has no omega: no header matches
    };
    for (const auto& c : cases) {
        writeRom(dir.file("rom.bin"), c.header);
        EXPECT_EQ(IdentifyRom(db, dir.file("rom.bin")), c.game) << c.header;
    }
}

TEST(Identify, BrokenGameDataIsADatabaseError) {
    TempDir dir;
    makeSqliteDb(dir.file("game.mdb"),
                 "CREATE TABLE Games (Key INTEGER PRIMARY KEY, ID TEXT, Database TEXT);"
                 "INSERT INTO Games VALUES (1, 'A', 'missing.db'), (2, 'B', 'notables.db');");
    makeSqliteDb(dir.file("notables.db"), "CREATE TABLE NFO (ID INTEGER PRIMARY KEY);");
    GameDatabase db(dir.folder());
    writeRom(dir.file("a.bin"), "A");
    writeRom(dir.file("b.bin"), "B");
    EXPECT_THROW(IdentifyRom(db, dir.file("a.bin")), DatabaseError);
    EXPECT_FALSE(db.hasGameData());
    // The tables open in turn: "NFO" stays open, the missing "HEAD" is not set.
    EXPECT_THROW(IdentifyRom(db, dir.file("b.bin")), DatabaseError);
    EXPECT_EQ(db.table(GameDatabase::NFO).rowCount(), 0);
    EXPECT_THROW(db.table(GameDatabase::HEAD), RuntimeError);
}

}  // namespace
}  // namespace tess::gamedb
