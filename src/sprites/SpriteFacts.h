#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tiles/SpriteDocument.h"

namespace tess::sprites {

// What the sprite panel shows of the loaded sprite, a label and a value a
// line: its kind, size, tiles, where they lie in the ROM (a plain sprite's
// tiles from its first tile's offset to its last one's end, a compressed
// sprite's block at "Offset" as the ROM holds it now) and its palette.
using SpriteFacts = std::vector<std::pair<std::string, std::string>>;
SpriteFacts DescribeSprite(const tiles::SpriteDocument& doc, std::int32_t paletteOffset);

// How a packed size stands against its slot, in words the window and the
// command line share: "N to spare", or "N too many: too large, Save ROM would
// refuse it".
std::string SpareText(std::int64_t packed, std::int64_t maxSize);

// The size meter's words for a compressed sprite: "packed N of MaxSize bytes,"
// then SpareText.
std::string MeterText(std::int64_t packed, std::int64_t maxSize);

}  // namespace tess::sprites
