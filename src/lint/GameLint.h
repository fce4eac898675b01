#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gamedb/GameDatabase.h"
#include "lint/LintFinding.h"

namespace tess::lint {

// Checks game databases through the cursors, conversions, tile-list reader,
// sprite tree and decoder the editor uses, and never changes anything. Each
// game's findings come in table order (Games, NFO, HEAD, SPRITE, COMPRESSED),
// then row order.

// Lints the game of every Games row, in index order; a database file that
// several rows name is checked once. Without a ROM, the checks that need its
// bytes (tile and palette offsets against the ROM's end and its compressed
// blocks, the blocks themselves) are left out. Raises DatabaseError only when
// the Games table itself cannot be read.
std::vector<LintFinding> LintAllGames(gamedb::GameDatabase& db);

// Lints the game the ROM belongs to (identified as File > Load does), with
// every check. Returns nothing when no Games row matches the ROM's header.
// Raises a file error when the ROM cannot be read.
std::optional<std::vector<LintFinding>> LintRomGame(gamedb::GameDatabase& db,
                                                    const std::string& romPath);

}  // namespace tess::lint
