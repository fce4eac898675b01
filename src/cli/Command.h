#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gamedb/GameDatabase.h"

namespace tess::cli {

// Exit statuses of the command-line tool.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kDatabaseError = 2;

// The line every command says when a file does not read or write:
// "cannot read PATH: WHY" ("cannot write" for writing).
std::string CannotRead(const std::string& path, const std::string& why);
std::string CannotWrite(const std::string& path, const std::string& why);

// Returns whether `path` can be read; when it cannot, says why on `err`
// ("cannot read ROM: is a folder", in whyUnreadable's words).
bool ReadableOrSay(const std::string& path, std::ostream& err);
// The file's bytes; when it cannot be read, nothing, with why on `err`.
std::optional<std::vector<std::uint8_t>> ReadOrSay(const std::string& path, std::ostream& err);
// Creates or replaces the file, all or nothing (writeWholeFile); when it
// cannot, returns false with why on `err`.
bool WriteOrSay(const std::string& path, std::span<const std::uint8_t> bytes, std::ostream& err);

// Identifies the ROM as File > Load does. Returns false for a ROM that cannot
// be read (ReadableOrSay) and, writing the unsupported-ROM message to
// `say`, for one no game matches.
bool IdentifyOrSay(gamedb::GameDatabase& db, const std::string& rom, std::ostream& say,
                   std::ostream& err);

}  // namespace tess::cli
