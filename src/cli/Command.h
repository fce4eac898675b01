#pragma once

#include <iosfwd>
#include <string>

#include "gamedb/GameDatabase.h"

namespace tess::cli {

// Exit statuses of the command-line tool.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kDatabaseError = 2;

// Returns whether `rom` can be read; when it cannot, says why on `err`
// ("cannot read ROM: is a folder", in whyUnreadable's words).
bool RomReadableOrSay(const std::string& rom, std::ostream& err);

// Identifies the ROM as File > Load does. Returns false for a ROM that cannot
// be read (RomReadableOrSay) and, writing the unsupported-ROM message to
// `say`, for one no game matches.
bool IdentifyOrSay(gamedb::GameDatabase& db, const std::string& rom, std::ostream& say,
                   std::ostream& err);

}  // namespace tess::cli
