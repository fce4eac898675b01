#include "sprites/CompressedSize.h"

#include <algorithm>

#include "sprites/CompressedSprite.h"
#include "sprites/SpriteSave.h"

namespace tess::sprites {

CompressedSize MeasureCompressedSize(tiles::SpriteDocument& doc, const TempFiles& files) {
    const tiles::SpriteRecord& record = doc.Record.value();
    CompressedSize size;
    size.name = record.sprite.name;
    size.offset = record.row.field("Offset").toLong();
    size.blockInRom = BlockSizeInRom(record.romPath, size.offset);
    size.maxSize = record.row.field("MaxSize").toLong();

    SaveHooks hooks;
    hooks.unlistedCell = [](std::int32_t, std::int32_t) { return false; };
    const SaveOutcome now = SaveSprite(record.romPath, files, doc, hooks, SaveMode::DryRun);
    using Result = SaveOutcome::Result;
    if (now.result == Result::Saved || now.result == Result::Oversize) {
        size.packedNow = now.compressedSize;
    } else {
        size.whyNotPacked = now.result == Result::Refused ? now.reason : "cannot be packed";
    }
    return size;
}

std::string CompressedSizeText(const CompressedSize& size, bool withEdits) {
    const std::string offset = std::to_string(size.offset);
    std::string text = "Compressed sprite \"" + size.name + "\"\r\n\r\n";
    text += size.blockInRom ? "Block in the ROM: " + std::to_string(*size.blockInRom) +
                                  " bytes at offset " + offset
                            : "Block in the ROM: none that unpacks at offset " + offset;
    text += "\r\nRoom for it (MaxSize): " + std::to_string(size.maxSize) + " bytes\r\n";
    text += withEdits ? "Packed now, with the edits on screen: " : "Packed now: ";
    if (!size.packedNow) return text + size.whyNotPacked;
    const std::int64_t spare = size.maxSize - *size.packedNow;
    return text + std::to_string(*size.packedNow) + " bytes, " +
           (spare >= 0 ? std::to_string(spare) + " to spare"
                       : std::to_string(-spare) + " too many: Save ROM would refuse it");
}

std::string CompressedSizeTable(const std::vector<CompressedSize>& sizes, bool tsv) {
    const std::string missing = tsv ? "" : "-";
    auto number = [&](const auto& value) { return value ? std::to_string(*value) : missing; };
    auto spare = [&](const CompressedSize& size) {
        return size.packedNow ? std::to_string(size.maxSize - *size.packedNow) : missing;
    };
    std::vector<std::vector<std::string>> rows;
    rows.push_back(tsv ? std::vector<std::string>{"name", "offset", "in_rom", "packed", "max_size", "spare"}
                       : std::vector<std::string>{"SPRITE", "OFFSET", "IN ROM", "PACKS TO", "MAXSIZE", "SPARE"});
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
