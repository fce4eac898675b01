#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gamedb/GameDatabase.h"
#include "sprites/TempFiles.h"
#include "tiles/SpriteDocument.h"

namespace tess::sprites {

// How a compressed sprite stands against its slot in the ROM.
struct CompressedSize {
    std::string name;
    std::int32_t offset = 0;                // "Offset"
    std::optional<std::size_t> blockInRom;  // the block there now; none when none unpacks there
    std::int64_t maxSize = 0;               // "MaxSize"
    std::optional<std::int64_t> packedNow;  // what its tiles pack to now, as Save ROM would
    std::string whyNotPacked;               // when they cannot be packed
};

// Measures the compressed sprite a document holds by its record (its ROM and
// row), packing its tiles as Save ROM would, without writing anything but
// nothing to files. Raises the errors a save would meet (the game data's,
// a ROM that cannot be read).
CompressedSize MeasureCompressedSize(tiles::SpriteDocument& doc, const TempFiles& files);

// The measurement in words, one fact a line (CR LF between them);
// `withEdits` says the tiles measured are the ones on screen.
std::string CompressedSizeText(const CompressedSize& size, bool withEdits);

// Every compressed sprite's slot as the game's table and the ROM give it, by
// name, without loading a sprite: "Offset", "MaxSize" and the block that
// unpacks there now (what the tree's tooltips show). The table is scanned in
// index order and left on its first row; a row whose fields do not read is
// left out. Raises tess::fileError when the ROM cannot be read.
std::map<std::string, CompressedSize> CompressedSlots(gamedb::GameDatabase& db,
                                                      const std::string& romPath);

// A slot in words: where its block lies and how large it is, then after
// `lineBreak` the room "MaxSize" gives it.
std::string SlotText(const CompressedSize& slot, std::string_view lineBreak = "\n");

// Measurements as a table, a row a sprite: SPRITE, OFFSET, IN ROM (the block
// there now), PACKS TO, MAXSIZE and SPARE (MaxSize less what it packs to,
// negative when it does not fit), a value that is not known left as "-". With
// `tsv`, tab-separated with lower-case column names and unknown values empty.
std::string CompressedSizeTable(const std::vector<CompressedSize>& sizes, bool tsv);

}  // namespace tess::sprites
