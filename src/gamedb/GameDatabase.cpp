#include "gamedb/GameDatabase.h"

#include <algorithm>
#include <filesystem>

#include "base/RuntimeError.h"
#include "gamedb/AccessText.h"

namespace tess::gamedb {
namespace {

namespace fs = std::filesystem;

// The entry of `folder` named `name`: the exact name when it exists, else the
// first (in name order) whose name differs only in letter case. Nothing when
// neither exists.
std::optional<fs::path> entryIgnoringCase(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(folder / name, ec)) return folder / name;
    std::optional<fs::path> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path candidate = it->path();
        if (EqualsIgnoringCase(candidate.filename().string(), name) &&
            (!found || candidate < *found)) {
            found = candidate;
        }
    }
    return found;
}

// The entry of `folder` that Windows, where these databases are made, opens
// for `name`: as entryIgnoringCase, and failing that, by the name without its
// trailing spaces and dots, which Windows drops. A name as written wins, as a
// Linux file may really end in a space.
std::optional<fs::path> windowsEntry(const fs::path& folder, const std::string& name) {
    if (auto entry = entryIgnoringCase(folder, name)) return entry;
    const std::string trimmed = name.substr(0, name.find_last_not_of(" .") + 1);
    if (trimmed.empty() || trimmed == name) return std::nullopt;
    return entryIgnoringCase(folder, trimmed);
}

}  // namespace

std::string DatabasePath(const std::string& appFolder, const std::string& name) {
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::string joined = appFolder + relative;
    std::error_code ec;
    if (fs::exists(joined, ec)) return joined;
    fs::path path = appFolder.empty() ? fs::path(".") : fs::path(appFolder);
    for (const fs::path& part : fs::path(relative)) {
        const std::string piece = part.string();
        if (piece.empty() || piece == "." || piece == "..") {
            path /= part;
            continue;
        }
        const auto entry = windowsEntry(path, piece);
        if (!entry) return appFolder + name;  // the name as given, for the error message
        path = *entry;
    }
    return path.string();
}

GameDatabase::GameDatabase(std::string appFolder)
    : appFolder_(std::move(appFolder)),
      directory_(openDatabase(DatabasePath(appFolder_, "game.mdb"))) {
    games_.emplace(directory_->loadTable("Games"));
}

void GameDatabase::OpenGameData(const std::string& fileName) {
    CloseGameData();
    const auto db = openDatabase(DatabasePath(appFolder_, fileName));
    // The tables open in turn; those opened before one that fails stay open,
    // so the About list can read "NFO" of a game that lacks a later table.
    gameData_.emplace();
    const char* names[] = {"NFO", "HEAD", "SPRITE", "COMPRESSED"};
    for (std::size_t i = 0; i < gameData_->size(); ++i) {
        (*gameData_)[i].emplace(db->loadTable(names[i]));
    }
}

void GameDatabase::CloseGameData() { gameData_.reset(); }

TableCursor& GameDatabase::table(GameTable which) {
    if (!gameData_ || !(*gameData_)[which]) throw objectNotSetError();
    return *(*gameData_)[which];
}

}  // namespace tess::gamedb
