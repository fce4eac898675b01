#pragma once

#include <optional>
#include <string>

#include "gamedb/GameDatabase.h"

namespace tess::gamedb {

// The header window compared with the Games IDs: 32 bytes from 0x183, inside
// the cartridge's serial-number field. Bytes past the end of a short file
// count as zero characters.
inline constexpr long kHeaderOffset = 0x183;
inline constexpr std::size_t kHeaderLength = 32;

// Reads the header window of a ROM file. Raises a file error when the file
// cannot be opened.
std::string ReadHeaderText(const std::string& romPath);

// Moves Games to its first row and on to the first row, in index order, whose
// "ID", as Windows-1252 bytes, is a case-sensitive prefix of the header text.
// Returns false, with the cursor past its last row, when no row matches.
bool FindGameRow(TableCursor& games, const std::string& headerText);

// Identifies the ROM: on a match opens the game's own data and returns the
// game's display name ("NFO"."Name"); returns nothing for an unsupported ROM,
// leaving the previous game's data open. Database errors propagate.
std::optional<std::string> IdentifyRom(GameDatabase& db, const std::string& romPath);

// The game's default palette offset, "NFO"."Palette".
std::int32_t DefaultPaletteOffset(GameDatabase& db);

}  // namespace tess::gamedb
