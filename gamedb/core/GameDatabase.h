#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "gamedb/core/Database.h"
#include "gamedb/core/Table.h"

namespace tess::gamedb {

// The two open levels of the game database: the directory game.mdb with its
// Games table (open for the whole run) and the data of one game with its four
// tables (open from one identification to the next).
class GameDatabase {
public:
    enum GameTable { NFO = 0, HEAD = 1, SPRITE = 2, COMPRESSED = 3 };

    // Opens appFolder + "game.mdb" and its Games table. Raises DatabaseError.
    explicit GameDatabase(std::string appFolder);

    const std::string& appFolder() const { return appFolder_; }
    TableCursor& games() { return *games_; }

    // Closes the open game's data, then opens appFolder + fileName and its
    // tables "NFO", "HEAD", "SPRITE", "COMPRESSED". Raises DatabaseError; on
    // failure no game's data stays open.
    void OpenGameData(const std::string& fileName);
    void CloseGameData();

    bool hasGameData() const { return gameData_.has_value(); }
    // A table of the open game's data; raises "Object not set" (91) when none
    // is open, as reading a closed recordset does.
    TableCursor& table(GameTable which);

private:
    std::string appFolder_;
    std::unique_ptr<Database> directory_;
    std::optional<TableCursor> games_;
    std::optional<std::array<std::optional<TableCursor>, 4>> gameData_;
};

}  // namespace tess::gamedb
