#include <gtest/gtest.h>

#include "app/core/RuntimeError.h"
#include "gamedb/core/GameSummary.h"
#include "tests/support/TestFiles.h"

namespace tess::gamedb {
namespace {

const std::string kJet = std::string(TESS_TEST_DATA) + "/jet/";
const std::string kEmptyTables =
    "CREATE TABLE HEAD (ID INTEGER PRIMARY KEY);"
    "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY);"
    "CREATE TABLE COMPRESSED (Name TEXT PRIMARY KEY);";

TEST(SupportedGames, RowsAndCommentsInGamesOrder) {
    GameDatabase db(kJet);
    const SupportedGames games = BuildSupportedGames(db);
    EXPECT_EQ(games.rows, (std::vector<std::string>{"Test Game One (Rev 01)*40%*Second Author",
                                                    "Test Game One*75%*Fixture Author"}));
    EXPECT_EQ(games.comments[1], "Revision 01 of the first test game.");
    EXPECT_EQ(games.comments[2], "First line of the comment.\r\nSecond line.");
    EXPECT_EQ(games.comments[0], "");
    // The list leaves no game open and Games on its first row.
    EXPECT_FALSE(db.hasGameData());
    EXPECT_EQ(db.games().field("Key").toLong(), 9);
}

// Three games, the second of which cannot be opened: it gets no row and no
// comment, and the rows after it move up while their comments keep their place.
TEST(SupportedGames, UnreadableGameIsSkipped) {
    test::TempDir dir;
    test::makeSqliteDb(dir.file("game.mdb"),
                       "CREATE TABLE Games (Key INTEGER PRIMARY KEY, ID TEXT, Database TEXT);"
                       "INSERT INTO Games VALUES (1,'A','a.db'),(2,'B','gone.db'),(3,'C','c.db');");
    for (const char* g : {"a", "c"}) {
        test::makeSqliteDb(dir.file(std::string(g) + ".db"),
                           "CREATE TABLE NFO (ID INTEGER PRIMARY KEY, Name TEXT, Completion, "
                           "Author TEXT, Comment TEXT);"
                           "INSERT INTO NFO VALUES (1, 'Game " + std::string(g) +
                               "', 100, NULL, 'about " + g + "');" + kEmptyTables);
    }
    GameDatabase db(dir.folder());
    const SupportedGames games = BuildSupportedGames(db);
    EXPECT_EQ(games.rows, (std::vector<std::string>{"Game a*100%*", "Game c*100%*"}));
    EXPECT_EQ(games.comments[1], "about a");
    EXPECT_EQ(games.comments[2], "");
    EXPECT_EQ(games.comments[3], "about c");
}

// A game whose database opens but lacks a table other than "NFO" still gets
// its row: the game's tables open in the order NFO, HEAD, SPRITE,
// COMPRESSED, so "NFO" is open when the missing one fails (a failure the list
// skips), and the list reads nothing but "NFO".
TEST(SupportedGames, GameWithoutItsCompressedTableStillGetsItsRow) {
    test::TempDir dir;
    test::makeSqliteDb(dir.file("game.mdb"),
                       "CREATE TABLE Games (Key INTEGER PRIMARY KEY, ID TEXT, Database TEXT);"
                       "INSERT INTO Games VALUES (1,'A','a.db'),(2,'B','b.db'),(3,'C','c.db');");
    const std::string nfo =
        "CREATE TABLE NFO (ID INTEGER PRIMARY KEY, Name TEXT, Completion, Author TEXT, "
        "Comment TEXT);";
    test::makeSqliteDb(
        dir.file("a.db"),
        nfo + "INSERT INTO NFO VALUES (1, 'Game a', 10, 'Ann', 'about a');" + kEmptyTables);
    test::makeSqliteDb(dir.file("b.db"),
                       nfo + "INSERT INTO NFO VALUES (1, 'Game b', 20, 'Bo', 'about b');" +
                           "CREATE TABLE HEAD (ID INTEGER PRIMARY KEY);"
                           "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY);");
    test::makeSqliteDb(
        dir.file("c.db"),
        nfo + "INSERT INTO NFO VALUES (1, 'Game c', 30, 'Cy', 'about c');" + kEmptyTables);
    GameDatabase db(dir.folder());
    const SupportedGames games = BuildSupportedGames(db);
    EXPECT_EQ(games.rows,
              (std::vector<std::string>{"Game a*10%*Ann", "Game b*20%*Bo", "Game c*30%*Cy"}));
    EXPECT_EQ(games.comments[2], "about b");
}

TEST(SupportedGames, FirstGameThatCannotBeOpenedIsAnError) {
    test::TempDir dir;
    test::makeSqliteDb(dir.file("game.mdb"),
                       "CREATE TABLE Games (Key INTEGER PRIMARY KEY, ID TEXT, Database TEXT);"
                       "INSERT INTO Games VALUES (1, 'A', 'gone.db');");
    GameDatabase db(dir.folder());
    EXPECT_THROW(BuildSupportedGames(db), DatabaseError);
}

TEST(SupportedGames, RowTextSplitsAtEveryStar) {
    EXPECT_EQ(SplitListRow("a*b%*c"), (std::vector<std::string>{"a", "b%", "c"}));
    EXPECT_EQ(SplitListRow("*%*"), (std::vector<std::string>{"", "%", ""}));
    EXPECT_EQ(SplitListRow("one"), (std::vector<std::string>{"one"}));
    EXPECT_TRUE(SplitListRow("").empty());
}

TEST(GameInformation, SummarisesTheOpenGame) {
    GameDatabase db(kJet);
    EXPECT_EQ(GameInformationText(db), "");  // nothing open: no text at all
    db.OpenGameData("t00001.mdb");
    EXPECT_EQ(GameInformationText(db),
              "Game Name: Test Game One\r\n\r\nTotal Sprites Defined: 10\r\n"
              "Number of Sprite Headings: 4");
}

}  // namespace
}  // namespace tess::gamedb
