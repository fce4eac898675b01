#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tess::cli {

// "lint [ROM]" (args[0] is "lint"): prints one line per finding of the game
// database lint to `out`, for the ROM's game or, without a ROM, for every game
// of game.mdb. Returns 0 when nothing worse than a warning was found, 1
// otherwise or for an unsupported ROM (its message to `err`), and -1 for a
// malformed command line. Database errors that stop it propagate.
int runLintCommand(const std::vector<std::string>& args, const std::string& appFolder,
                   std::ostream& out, std::ostream& err);

}  // namespace tess::cli
