#pragma once

#include <array>
#include <string>
#include <vector>

#include "gamedb/GameDatabase.h"

namespace tess::gamedb {

// The supported-games list of the About window: one "*"-separated row text
// per game ("Name*Completion%*Author") and, for the first 255 games, the
// game's comment at the game's 1-based position.
struct SupportedGames {
    std::vector<std::string> rows;
    std::array<std::string, 256> comments;
};

// Opens every game's data in Games order to build the list, then closes the
// last one and moves Games to its first row. Opening the first game's data is
// not guarded (its failure propagates); anything later that fails is skipped
// statement by statement, so a game whose data cannot be read gets no row.
SupportedGames BuildSupportedGames(GameDatabase& db);

// Splits a list row text at every "*"; an empty text has no pieces.
std::vector<std::string> SplitListRow(const std::string& rowText);

// The Game Information text of the open game; each of its three lines is left
// out when it cannot be built, so the text is empty with no game data open.
std::string GameInformationText(GameDatabase& db);

}  // namespace tess::gamedb
