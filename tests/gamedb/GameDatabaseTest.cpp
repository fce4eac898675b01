// Database names as Windows users write them: "\" between folders, letter
// case that need not match the file's and trailing spaces and dots, which
// Windows drops; and database files that exist but do not open.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/RuntimeError.h"
#include "gamedb/GameDatabase.h"
#include "tests/support/GameFiles.h"
#include "tests/support/Unprivileged.h"

namespace tess::gamedb {
namespace {

using test::makeGame;

TEST(DatabasePath, WindowsNamesOpenTheirFiles) {
    test::TempDir dir;
    std::filesystem::create_directories(dir / "Sub" / "deeper");
    test::makeGameList(dir);
    makeGame(dir.file("Sub/game.mdb"), "in a folder");
    makeGame(dir.file("Sub/deeper/x.mdb"), "two folders down");
    makeGame(dir.file("sonic.mdb"), "lower case");
    makeGame(dir.file("Exact.mdb"), "exact");
    makeGame(dir.file("EXACT.MDB"), "upper case");
    makeGame(dir.file("spaced.mdb "), "a Linux name ending in a space");
    makeGame(dir.file("spaced.mdb"), "spaced, as Windows names it");
    GameDatabase db(dir.folder());
    const std::pair<const char*, const char*> cases[] = {
        {"Sub\\game.mdb", "in a folder"},
        {"sub\\GAME.MDB", "in a folder"},
        {"SUB\\Deeper\\X.mdb", "two folders down"},
        {"SONIC.MDB", "lower case"},
        {"Exact.mdb", "exact"},  // an exact match wins over one ignoring case
        {"EXACT.MDB", "upper case"},
        {"Exact.mdb.", "exact"},
        {"sonic.mdb ", "lower case"},
        {"SONIC.MDB. . ", "lower case"},
        {"Sub.\\deeper \\x.mdb...", "two folders down"},
        {"spaced.mdb ", "a Linux name ending in a space"},  // the name as written wins
        {"spaced.mdb  ", "spaced, as Windows names it"},
        {"spaced.mdb", "spaced, as Windows names it"},
        {"Sub\\Missing.mdb", nullptr},  // named as given
    };
    for (const auto& [name, game] : cases) {
        if (game) {
            db.OpenGameData(name);
            EXPECT_EQ(db.table(GameDatabase::NFO).field("Name").text(), game) << name;
            continue;
        }
        const DatabaseError e = test::databaseErrorOf([&] { db.OpenGameData(name); });
        EXPECT_EQ(e.number(), err::DatabaseNotFound);
        EXPECT_EQ(e.description(), "Could not find file '" + dir.folder() + name + "'.");
        EXPECT_FALSE(db.hasGameData());
    }
}

// Not a missing file: the engine's error for a file it may not read, with the
// system's reason, for game.mdb and for a game's own file. Either store is
// chosen by what the file holds, so the check comes before it is read.
TEST(GameDatabase, AFileWithoutTheRightToReadItIsNoMissingOne) {
    for (const char* unreadable : {"game.mdb", "t00001.mdb"}) {
        SCOPED_TRACE(unreadable);
        test::TempDir dir;
        test::makeGameList(dir, "(1, 'T-00001', 't00001.mdb')");
        makeGame(dir.file("t00001.mdb"), "T");
        test::makeUnreadable(dir / unreadable);
        const std::string seen = test::runWithoutReadRights([&] {
            const DatabaseError e = test::databaseErrorOf([&] {
                GameDatabase db(dir.folder());
                db.OpenGameData("t00001.mdb");
            });
            return std::to_string(e.number()) + " " + e.description();
        });
        EXPECT_EQ(seen, "3051 The Microsoft Jet database engine cannot open the file '" +
                            dir.file(unreadable) +
                            "'. It is already opened exclusively by another user, or you "
                            "need permission to view its data (Permission denied).");
    }
}

}  // namespace
}  // namespace tess::gamedb
