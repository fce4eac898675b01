#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "gamedb/GameDatabase.h"

namespace tess::cli {

// lint [ROM]: prints one line per finding of the game-database lint, for the
// ROM's game or, without a ROM, for every game of game.mdb. Returns kOk when
// nothing worse than a warning was found, kFailed otherwise or for an
// unsupported ROM (its message to `err`). Database errors that stop the lint
// propagate.
int LintGames(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err);

}  // namespace tess::cli
