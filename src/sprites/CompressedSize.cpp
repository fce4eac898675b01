#include "sprites/CompressedSize.h"

#include <algorithm>

#include "base/RomFile.h"
#include "sprites/CompressedSprite.h"
#include "sprites/SpriteFacts.h"
#include "sprites/SpriteSave.h"
#include "sprites/SpriteSelection.h"

namespace tess::sprites {

CompressedSize MeasureCompressedSize(tiles::SpriteDocument& doc, const TempFiles& files) {
    const tiles::SpriteRecord& record = doc.Record.value();
    CompressedSize size;
    size.name = record.sprite.name;
    size.offset = record.row.field("Offset").toLong();
    size.blockInRom = BlockSizeAt(readWhole(record.romPath), size.offset);
    size.maxSize = record.row.field("MaxSize").toLong();

    const SaveOutcome now = SaveSprite(record.romPath, files, doc, SaveHooks{}, SaveMode::DryRun);
    using Result = SaveOutcome::Result;
    if (now.result == Result::Saved || now.result == Result::Oversize) {
        size.packedNow = now.compressedSize;
    } else {
        size.whyNotPacked = now.result == Result::Refused ? now.reason : "cannot be packed";
    }
    return size;
}

std::string CompressedSizeText(const CompressedSize& size, bool withEdits) {
    std::string text =
        "Compressed sprite \"" + size.name + "\"\r\n\r\n" + SlotText(size, "\r\n") + "\r\n";
    text += withEdits ? "Packed now, with the edits on screen: " : "Packed now: ";
    if (!size.packedNow) return text + size.whyNotPacked;
    return text + std::to_string(*size.packedNow) + " bytes, " +
           SpareText(*size.packedNow, size.maxSize);
}

std::map<std::string, CompressedSize> CompressedSlots(gamedb::GameDatabase& db,
                                                      const std::string& romPath) {
    const std::vector<std::uint8_t> rom = readWhole(romPath);
    std::map<std::string, CompressedSize> slots;
    gamedb::ScanRows(SpriteTable(db, tiles::SpriteKind::Compressed), [&](gamedb::TableCursor& row) {
        try {
            CompressedSize slot;
            slot.name = row.field("Name").text();
            slot.offset = row.field("Offset").toLong();
            slot.maxSize = row.field("MaxSize").toLong();
            slot.blockInRom = BlockSizeAt(rom, slot.offset);
            slots.emplace(slot.name, slot);
        } catch (const RuntimeError&) {
            // The lint reports such a row; the tree shows it without a tooltip.
        }
    });
    return slots;
}

std::string SlotText(const CompressedSize& slot, std::string_view lineBreak) {
    const std::string block =
        slot.blockInRom ? std::to_string(*slot.blockInRom) + " bytes" : "none that unpacks";
    return "Block in the ROM: " + block + " at offset " + std::to_string(slot.offset) +
           std::string(lineBreak) + "Room for it (MaxSize): " + std::to_string(slot.maxSize) +
           " bytes";
}

std::string CompressedSizeTable(const std::vector<CompressedSize>& sizes, bool tsv) {
    const std::string missing = tsv ? "" : "-";
    auto number = [&](const auto& value) { return value ? std::to_string(*value) : missing; };
    auto spare = [&](const CompressedSize& size) {
        return size.packedNow ? std::to_string(size.maxSize - *size.packedNow) : missing;
    };
    std::vector<std::vector<std::string>> rows;
    rows.push_back(
        tsv ? std::vector<std::string>{"name", "offset", "in_rom", "packed", "max_size", "spare"}
            : std::vector<std::string>{"SPRITE", "OFFSET", "IN ROM", "PACKS TO", "MAXSIZE",
                                       "SPARE"});
    for (const CompressedSize& size : sizes) {
        rows.push_back({size.name, std::to_string(size.offset), number(size.blockInRom),
                        number(size.packedNow), std::to_string(size.maxSize), spare(size)});
    }
    std::string text;
    if (tsv) {
        for (const auto& row : rows) {
            for (std::size_t c = 0; c < row.size(); ++c) text += (c ? "\t" : "") + row[c];
            text += "\n";
        }
        return text;
    }
    // The name left-aligned, the numbers right-aligned under their headings.
    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    }
    for (const auto& row : rows) {
        std::string line = row[0] + std::string(widths[0] - row[0].size(), ' ');
        for (std::size_t c = 1; c < row.size(); ++c) {
            line += "  " + std::string(widths[c] - row[c].size(), ' ') + row[c];
        }
        text += line + "\n";
    }
    return text;
}

}  // namespace tess::sprites
