#include <gtest/gtest.h>

#include "base/RuntimeError.h"
#include "gamedb/GameSummary.h"
#include "tests/support/GameFiles.h"

namespace tess::gamedb {
namespace {

// The Game Information text is pinned by the main window's tests.
TEST(SupportedGames, RowsAndCommentsInGamesOrder) {
    GameDatabase db(std::string(TESS_TEST_DATA) + "/jet/");
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

// Of four games, the second cannot be opened: it gets no row and no comment,
// and the rows after it move up while their comments keep their place. The
// third lacks its COMPRESSED table: the game's tables open in the order NFO,
// HEAD, SPRITE, COMPRESSED, so "NFO" is open when the missing one fails (a
// failure the list skips), and the list reads nothing but "NFO".
TEST(SupportedGames, UnreadableGamesAreSkippedAndAGameMissingALaterTableIsListed) {
    test::TempDir dir;
    test::makeGameList(dir, "(1,'A','a.db'),(2,'B','gone.db'),(3,'C','c.db'),(4,'D','d.db')");
    test::makeGame(dir.file("a.db"), "Game a", "0, 100, NULL, 'about a'");
    test::makeGame(dir.file("c.db"), "Game c", "0, 30, 'Cy', 'about c'",
                   "CREATE TABLE HEAD (ID INTEGER PRIMARY KEY);"
                   "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY);");
    test::makeGame(dir.file("d.db"), "Game d", "0, 40, 'Di', 'about d'");
    GameDatabase db(dir.folder());
    const SupportedGames games = BuildSupportedGames(db);
    EXPECT_EQ(games.rows,
              (std::vector<std::string>{"Game a*100%*", "Game c*30%*Cy", "Game d*40%*Di"}));
    EXPECT_EQ(games.comments[1], "about a");
    EXPECT_EQ(games.comments[2], "");
    EXPECT_EQ(games.comments[3], "about c");
    EXPECT_EQ(games.comments[4], "about d");
}

TEST(SupportedGames, FirstGameThatCannotBeOpenedIsAnError) {
    test::TempDir dir;
    test::makeGameList(dir, "(1, 'A', 'gone.db')");
    GameDatabase db(dir.folder());
    EXPECT_THROW(BuildSupportedGames(db), DatabaseError);
}

TEST(SupportedGames, RowTextSplitsAtEveryStar) {
    EXPECT_EQ(SplitListRow("a*b%*c"), (std::vector<std::string>{"a", "b%", "c"}));
    EXPECT_EQ(SplitListRow("*%*"), (std::vector<std::string>{"", "%", ""}));
    EXPECT_EQ(SplitListRow("one"), (std::vector<std::string>{"one"}));
    EXPECT_TRUE(SplitListRow("").empty());
}

}  // namespace
}  // namespace tess::gamedb
