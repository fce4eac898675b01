#include "gamedb/GameSummary.h"

#include "base/ErrorReporting.h"

namespace tess::gamedb {
namespace {

// The NFO row's field as "&" would join it: no value contributes nothing.
std::string nfo(GameDatabase& db, const char* field) {
    return db.table(GameDatabase::NFO).field(field).keyText();
}

}  // namespace

SupportedGames BuildSupportedGames(GameDatabase& db) {
    SupportedGames list;
    auto& games = db.games();
    games.moveFirst();
    db.OpenGameData(games.field("Database").text());

    const int count = games.rowCount();
    for (int i = 1; i <= count; ++i) {
        std::string row;
        skipOnError([&] {
            row = nfo(db, "Name") + "*" + nfo(db, "Completion") + "%*" + nfo(db, "Author");
        });
        if (!row.empty()) list.rows.push_back(row);
        if (i <= 255) {
            skipOnError([&] { list.comments[static_cast<std::size_t>(i)] = nfo(db, "Comment"); });
        }
        skipOnError([&] { games.moveNext(); });
        skipOnError([&] { db.OpenGameData(games.field("Database").text()); });
    }
    db.CloseGameData();
    games.moveFirst();
    return list;
}

std::vector<std::string> SplitListRow(const std::string& rowText) {
    std::vector<std::string> pieces;
    if (rowText.empty()) return pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t star = rowText.find('*', start);
        pieces.push_back(rowText.substr(start, star - start));
        if (star == std::string::npos) return pieces;
        start = star + 1;
    }
}

std::string GameInformationText(GameDatabase& db) {
    std::string text;
    skipOnError([&] { text = "Game Name: " + nfo(db, "Name") + "\r\n\r\n"; });
    skipOnError([&] {
        const int sprites = db.table(GameDatabase::SPRITE).rowCount() +
                            db.table(GameDatabase::COMPRESSED).rowCount();
        text += "Total Sprites Defined: " + std::to_string(sprites) + "\r\n";
    });
    skipOnError([&] {
        text +=
            "Number of Sprite Headings: " + std::to_string(db.table(GameDatabase::HEAD).rowCount());
    });
    return text;
}

}  // namespace tess::gamedb
