#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace tess::cli {

// export ROM SPRITE OUT.png: writes the sprite as an indexed PNG of its palette
// indices. SPRITE is a tree key or a bare name (SPRITE first, then COMPRESSED).
int ExportSprite(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err);

// export --sheet ROM FOLDER: every sprite of the game, plain then compressed,
// as FOLDER/<name>.png, and FOLDER/index.tsv listing name, kind, size in
// tiles and file. A sprite that cannot be loaded is reported and skipped.
int ExportSheet(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err);

// import [--dry-run] ROM SPRITE IMAGE: lays a PNG or 4-bit BMP of exactly the
// sprite's size into its white tiles and saves it as Save ROM does. With
// --dry-run nothing is written; it prints what the save would write. The ROM
// is left byte for byte as it was whenever the status is not kOk.
int ImportSprite(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err);

// size [--tsv] ROM [SPRITE...]: for each compressed sprite named (all of the
// game's when none is), the block now in the ROM, what its tiles pack to
// today, its "MaxSize" and the bytes to spare (negative: too many), as a
// table, or tab-separated with --tsv. kFailed when a block in the ROM does not
// unpack, or a sprite named is not a compressed sprite of the game.
int SizeReport(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err);

}  // namespace tess::cli
