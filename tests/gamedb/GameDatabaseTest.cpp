// Database names as Windows users write them: "\" between folders, and letter
// case that need not match the file's.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/RuntimeError.h"
#include "gamedb/GameDatabase.h"
#include "tests/support/GameFiles.h"

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
    GameDatabase db(dir.folder());
    const std::pair<const char*, const char*> cases[] = {
        {"Sub\\game.mdb", "in a folder"},
        {"sub\\GAME.MDB", "in a folder"},
        {"SUB\\Deeper\\X.mdb", "two folders down"},
        {"SONIC.MDB", "lower case"},
        {"Exact.mdb", "exact"},  // an exact match wins over one ignoring case
        {"EXACT.MDB", "upper case"},
    };
    for (const auto& [name, game] : cases) {
        db.OpenGameData(name);
        EXPECT_EQ(db.table(GameDatabase::NFO).field("Name").text(), game) << name;
    }
}

TEST(DatabasePath, MissingFileIsNamedAsGiven) {
    test::TempDir dir;
    test::makeGameList(dir);
    GameDatabase db(dir.folder());
    const DatabaseError e = test::databaseErrorOf([&] { db.OpenGameData("Sub\\Missing.mdb"); });
    EXPECT_EQ(e.number(), err::DatabaseNotFound);
    EXPECT_EQ(e.description(), "Could not find file '" + dir.folder() + "Sub\\Missing.mdb'.");
    EXPECT_FALSE(db.hasGameData());
}

}  // namespace
}  // namespace tess::gamedb
