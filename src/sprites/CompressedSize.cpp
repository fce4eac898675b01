#include "sprites/CompressedSize.h"

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

}  // namespace tess::sprites
