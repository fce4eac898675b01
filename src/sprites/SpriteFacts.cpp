#include "sprites/SpriteFacts.h"

#include <algorithm>

#include "sprites/CompressedSprite.h"
#include "tiles/RomHeader.h"
#include "tiles/TileCodec.h"
#include "tiles/TileListReader.h"

namespace tess::sprites {
namespace {

// Where a plain sprite's white tiles lie: from the lowest offset its list
// names to the end of the highest one's tile. A list that does not read is
// taken as far as it reads.
std::string tileRange(const gamedb::TableRow& row) {
    std::int64_t low = INT64_MAX;
    std::int64_t high = INT64_MIN;
    try {
        const std::string list = row.field("White").text();  // the reader keeps a view of it
        tiles::TileListReader reader(list);
        tiles::TileListEntry entry;
        while (reader.next(entry)) {
            low = std::min<std::int64_t>(low, entry.offset);
            high = std::max<std::int64_t>(
                high, entry.offset + static_cast<std::int64_t>(tiles::kTileBytes) - 1);
        }
    } catch (const RuntimeError&) {
    }
    if (low > high) return "none listed";
    return tiles::SpanText(low, high - low + 1);
}

std::string block(const tiles::SpriteRecord& record) {
    std::int32_t offset = 0;
    try {
        offset = record.row.field("Offset").toLong();
    } catch (const RuntimeError&) {
        return "no offset";
    }
    const std::string text = "at " + std::to_string(offset) + ", ";
    const std::optional<std::size_t> inRom = BlockSizeAt(record.rom, offset);
    if (!inRom) return text + "none that unpacks";
    return text + std::to_string(*inRom) + " bytes";
}

}  // namespace

SpriteFacts DescribeSprite(const tiles::SpriteDocument& doc, std::int32_t paletteOffset) {
    if (!doc.Record) return {};
    const tiles::SpriteRecord& record = *doc.Record;
    const bool compressed = record.sprite.kind == tiles::SpriteKind::Compressed;
    std::size_t white = 0;
    std::size_t grey = 0;
    for (std::int32_t ty = 0; ty < doc.TileMap.upperY(); ++ty) {
        for (std::int32_t tx = 0; tx < doc.TileMap.upperX(); ++tx) {
            white += doc.TileMap.at(tx, ty) == tiles::kWhiteTile;
            grey += doc.TileMap.at(tx, ty) == tiles::kGreyTile;
        }
    }
    SpriteFacts facts = {
        {"Sprite", record.sprite.name},
        {"Kind", compressed ? "compressed" : "plain"},
        {"Size", std::to_string(doc.TileMap.upperX()) + " x " +
                     std::to_string(doc.TileMap.upperY()) + " tiles"},
        {"Tiles", std::to_string(white) + " white, " + std::to_string(grey) + " grey"},
    };
    if (compressed) {
        facts.push_back({"Block", block(record)});
        try {
            facts.push_back(
                {"MaxSize", std::to_string(record.row.field("MaxSize").toLong()) + " bytes"});
        } catch (const RuntimeError&) {
        }
    } else {
        facts.push_back({"In the ROM", tileRange(record.row)});
    }
    facts.push_back({"Palette", "at " + std::to_string(paletteOffset)});
    return facts;
}

std::string SpareText(std::int64_t packed, std::int64_t maxSize) {
    const std::int64_t spare = maxSize - packed;
    if (spare >= 0) return std::to_string(spare) + " to spare";
    return std::to_string(-spare) + " too many: too large, Save ROM would refuse it";
}

std::string MeterText(std::int64_t packed, std::int64_t maxSize) {
    return "packed " + std::to_string(packed) + " of " + std::to_string(maxSize) + " bytes, " +
           SpareText(packed, maxSize);
}

}  // namespace tess::sprites
