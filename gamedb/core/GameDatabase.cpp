#include "gamedb/core/GameDatabase.h"

#include "app/core/RuntimeError.h"

namespace tess::gamedb {

GameDatabase::GameDatabase(std::string appFolder)
    : appFolder_(std::move(appFolder)), directory_(openDatabase(appFolder_ + "game.mdb")) {
    games_.emplace(directory_->loadTable("Games"));
}

void GameDatabase::OpenGameData(const std::string& fileName) {
    CloseGameData();
    const auto db = openDatabase(appFolder_ + fileName);
    std::array<std::optional<TableCursor>, 4> tables;
    const char* names[] = {"NFO", "HEAD", "SPRITE", "COMPRESSED"};
    for (std::size_t i = 0; i < tables.size(); ++i) tables[i].emplace(db->loadTable(names[i]));
    gameData_ = std::move(tables);
}

void GameDatabase::CloseGameData() { gameData_.reset(); }

TableCursor& GameDatabase::table(GameTable which) {
    if (!gameData_) throw objectNotSetError();
    return *(*gameData_)[which];
}

}  // namespace tess::gamedb
