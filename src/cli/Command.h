#pragma once

#include <iosfwd>
#include <string>

#include "gamedb/GameDatabase.h"

namespace tess::cli {

// Exit statuses of the command-line tool.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kDatabaseError = 2;

// Identifies the ROM as File > Load does; when no game matches, writes the
// unsupported-ROM message to `say` and returns false.
bool IdentifyOrSay(gamedb::GameDatabase& db, const std::string& rom, std::ostream& say);

}  // namespace tess::cli
