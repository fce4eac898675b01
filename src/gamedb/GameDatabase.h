#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "gamedb/Database.h"
#include "gamedb/Table.h"

namespace tess::gamedb {

// The file a name in the game database stands for: appFolder followed by the
// name, in which "\" separates folders, as on Windows where the names were
// written. Where no file has that exact name, folder by folder, one whose name
// differs only in letter case is taken, and failing that one named without
// the trailing spaces and dots Windows drops. With none, the path as given.
std::string DatabasePath(const std::string& appFolder, const std::string& name);

// The two open levels of the game database: the directory game.mdb with its
// Games table (open for the whole run) and the data of one game with its four
// tables (open from one identification to the next).
class GameDatabase {
public:
    enum GameTable { NFO = 0, HEAD = 1, SPRITE = 2, COMPRESSED = 3 };

    // Opens appFolder + "game.mdb" (see DatabasePath) and its Games table.
    // Raises DatabaseError.
    explicit GameDatabase(std::string appFolder);

    const std::string& appFolder() const { return appFolder_; }
    TableCursor& games() { return *games_; }

    // Closes the open game's data, then opens appFolder + fileName (see
    // DatabasePath) and its tables "NFO", "HEAD", "SPRITE", "COMPRESSED" in
    // that order. Raises DatabaseError; the tables opened before the one that
    // failed stay open.
    void OpenGameData(const std::string& fileName);
    void CloseGameData();

    // Whether a game's database is open (maybe without all its tables).
    bool hasGameData() const { return gameData_.has_value(); }
    // A table of the open game's data; raises err::ObjectNotSet when it
    // is not open, as reading a closed recordset does.
    TableCursor& table(GameTable which);

private:
    std::string appFolder_;
    std::unique_ptr<Database> directory_;
    std::optional<TableCursor> games_;
    std::optional<std::array<std::optional<TableCursor>, 4>> gameData_;
};

}  // namespace tess::gamedb
