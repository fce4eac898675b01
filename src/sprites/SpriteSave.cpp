#include "sprites/SpriteSave.h"

#include <algorithm>
#include <filesystem>

#include "base/FileSystem.h"
#include "base/Messages.h"
#include "base/RomFile.h"
#include "codec/Nemesis.h"
#include "nemesislib/NemesisEntries.h"
#include "tiles/RomHeader.h"
#include "tiles/TileListReader.h"

namespace tess::sprites {
namespace {

using Result = SaveOutcome::Result;

std::uint64_t cellKey(std::int32_t tx, std::int32_t ty) {
    return (std::uint64_t{static_cast<std::uint32_t>(tx)} << 32) | static_cast<std::uint32_t>(ty);
}

std::int64_t fileSize(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) throw fileError(path, ec.message());
    return static_cast<std::int64_t>(size);
}

// Why `length` bytes at `offset` may not be written into a file of `size`
// bytes, or "" when they may. Only the ROM has a header to keep.
std::string refusal(const std::string& what, std::int64_t offset, std::int64_t length,
                    std::int64_t size, bool isRom) {
    const std::string where = tiles::SpanText(offset, length);
    switch (tiles::FindSpanFault(offset, length, size, isRom)) {
        case tiles::SpanFault::Outside:
            return "Nothing was saved: " + what + " would go to " + where + ", outside " +
                   (isRom ? "the ROM" : "the decompressed data") + " (" + std::to_string(size) +
                   " bytes). Check the game database.";
        case tiles::SpanFault::OverHeader:
            return "Nothing was saved: " + what + " would go to " + where +
                   ", over the cartridge header (" +
                   tiles::SpanText(tiles::kHeaderStart, tiles::kHeaderEnd - tiles::kHeaderStart) +
                   "). Check the game database.";
        case tiles::SpanFault::None: break;
    }
    return {};
}

std::string tileRefusal(const std::vector<TileWrite>& writes, std::int64_t size, bool isRom) {
    for (const TileWrite& w : writes) {
        const std::string what =
            "the tile of cell " + std::to_string(w.tx) + "," + std::to_string(w.ty);
        std::string why = refusal(what, w.offset, tiles::kTileBytes, size, isRom);
        if (!why.empty()) return why;
    }
    return {};
}

// The white tiles in the order the save visits the cells: every row, then
// every column, the spare ones included. Nothing, with the reason, when the
// caller will not go on without an unlisted cell.
std::optional<std::vector<TileWrite>> planWhiteTiles(const tiles::SpriteDocument& doc,
                                                     const gamedb::TableRow& row,
                                                     const SaveHooks& hooks, std::string& why) {
    const std::int32_t columns = doc.SpriteBuffer.upperX() / 8;
    const std::int32_t rows = doc.SpriteBuffer.upperY() / 8;
    std::optional<WhiteTileList> list;  // read at the first white cell, as the save reads it
    std::vector<TileWrite> writes;
    for (std::int32_t ty = 0; ty <= rows; ++ty) {
        for (std::int32_t tx = 0; tx <= columns; ++tx) {
            if (doc.TileMap.at(tx, ty) != tiles::kWhiteTile) continue;
            if (!list) list.emplace(row.field("White").text());
            if (!WriteTile(doc, *list, tx, ty, writes) &&
                !(hooks.unlistedCell && hooks.unlistedCell(tx, ty))) {
                why = "Nothing was saved: the sprite's tile list names no tile for its cell " +
                      std::to_string(tx) + "," + std::to_string(ty) + ".";
                return std::nullopt;
            }
        }
    }
    return writes;
}

void letEventsRun(const SaveHooks& hooks) {
    if (hooks.letEventsRun) hooks.letEventsRun();
}

SaveOutcome outcomeOf(Result result, std::string reason = {}) {
    SaveOutcome outcome;
    outcome.result = result;
    outcome.reason = std::move(reason);
    return outcome;
}

SaveOutcome refused(std::string why) { return outcomeOf(Result::Refused, std::move(why)); }

// Bytes a save puts into the ROM.
struct RomPatch {
    std::int64_t offset;
    std::vector<std::uint8_t> bytes;
};

// Why the ROM on disk is not the one the sprite was read from, or "" when it
// is: the same size and cartridge header, and where the save will write, the
// bytes it held when the sprite was loaded (or this program last saved).
std::string romDiffers(const tiles::SpriteRecord& record, const std::vector<std::uint8_t>& now,
                       const std::vector<RomPatch>& patches) {
    const std::string start = "Nothing was saved: " + record.romPath + " ";
    const std::string advice =
        " Load the ROM again (File > Load) and select the sprite, then save.";
    if (now.size() != record.rom.size()) {
        return start + "is no longer the ROM the sprite was read from: it was " +
               std::to_string(record.rom.size()) + " bytes long and is now " +
               std::to_string(now.size()) + "." + advice;
    }
    if (!std::ranges::equal(tiles::HeaderBytes(now), tiles::HeaderBytes(record.rom))) {
        return start +
               "is no longer the ROM the sprite was read from: its cartridge header "
               "changed since." +
               advice;
    }
    for (const RomPatch& p : patches) {
        const auto first = now.begin() + p.offset;
        const auto last = first + static_cast<std::ptrdiff_t>(p.bytes.size());
        if (!std::equal(first, last, record.rom.begin() + p.offset)) {
            return start + "was changed by another program since the sprite was loaded, in the " +
                   tiles::SpanText(p.offset, static_cast<std::int64_t>(p.bytes.size())) +
                   " the save would write over." + advice;
        }
    }
    return {};
}

void apply(const std::vector<RomPatch>& patches, std::vector<std::uint8_t>& into) {
    for (const RomPatch& p : patches)
        std::copy(p.bytes.begin(), p.bytes.end(), into.begin() + p.offset);
}

// Writes the patches into the ROM all or nothing, once the ROM on disk has been
// found to be the sprite's own; then the record holds what the ROM now holds.
SaveOutcome writeRom(const std::string& romPath, tiles::SpriteDocument& doc,
                     const std::vector<RomPatch>& patches, const SaveHooks& hooks,
                     SaveOutcome outcome) {
    tiles::SpriteRecord& record = *doc.Record;
    letEventsRun(hooks);
    struct Changed {
        std::string why;
    };
    try {
        RewriteFile(romPath,
                    [&](std::vector<std::uint8_t>& rom) {
                        if (std::string why = romDiffers(record, rom, patches); !why.empty())
                            throw Changed{why};
                        apply(patches, rom);
                    },
                    {hooks.durability, hooks.letEventsRun});
    } catch (const Changed& changed) {
        return refused(changed.why);
    }
    apply(patches, record.rom);
    doc.SpriteDirty = false;
    return outcome;
}

// The patches of a plain sprite: its tiles, straight into the ROM.
SaveOutcome savePlain(const std::string& romPath, tiles::SpriteDocument& doc,
                      const std::vector<TileWrite>& writes, const SaveHooks& hooks, SaveMode mode) {
    if (std::string why = tileRefusal(writes, fileSize(romPath), true); !why.empty()) {
        return refused(why);
    }
    SaveOutcome outcome = outcomeOf(Result::Saved);
    outcome.tiles = writes.size();
    if (mode == SaveMode::DryRun) return outcome;
    std::vector<RomPatch> patches;
    for (const TileWrite& w : writes)
        patches.push_back({w.offset, {w.bytes.begin(), w.bytes.end()}});
    return writeRom(romPath, doc, patches, hooks, outcome);
}

// Save ROM packs with the codec's default effort, through Comp. A block too
// large for its slot is packed again with the best effort, which searches
// several times longer for the last bytes, so that a sprite is refused only
// when even that does not fit. Returns the block to write.
std::vector<std::uint8_t> fitted(const std::vector<std::uint8_t>& block,
                                 const std::vector<std::uint8_t>& data, std::int64_t maxSize) {
    if (static_cast<std::int64_t>(block.size()) <= maxSize) return block;
    codec::NemesisEncoded best = codec::encodeNemesis(data, codec::NemesisEffort::Best);
    return best.ok() && best.stream.size() < block.size() ? std::move(best.stream) : block;
}

// The data a compressed sprite's save packs: the block its record holds with
// the white tiles laid in. Nothing, with the reason, when there is no block
// (its decompression failed) or a tile lies outside it.
std::optional<std::vector<std::uint8_t>> compressedData(const tiles::SpriteRecord& record,
                                                        const std::vector<TileWrite>& writes,
                                                        std::string& why) {
    // An empty block must not reach the ROM.
    if (record.block.empty()) {
        why =
            "Nothing was saved: the sprite's compressed block was not unpacked when it was "
            "loaded. Select the sprite in the tree again.";
        return std::nullopt;
    }
    std::vector<std::uint8_t> data = record.block;
    why = tileRefusal(writes, static_cast<std::int64_t>(data.size()), false);
    if (!why.empty()) return std::nullopt;
    for (const TileWrite& w : writes) {
        std::copy(w.bytes.begin(), w.bytes.end(), data.begin() + w.offset);
    }
    return data;
}

// A compressed sprite packs the block it was loaded with, its edits laid in:
// the data this process holds, whatever another process may have left in
// "dump.bin" since. "dump.bin" and "dumpc.bin" are still written, and the
// compression still runs through Comp, as the compression interface has it.
SaveOutcome saveCompressed(const std::string& romPath, const TempFiles& files,
                           tiles::SpriteDocument& doc, const std::vector<TileWrite>& writes,
                           const SaveHooks& hooks, SaveMode mode) {
    const tiles::SpriteRecord& record = *doc.Record;
    SaveOutcome outcome = outcomeOf(Result::Saved);
    outcome.tiles = writes.size();
    std::string why;
    std::optional<std::vector<std::uint8_t>> laid = compressedData(record, writes, why);
    if (!laid) return refused(why);
    std::vector<std::uint8_t> data = std::move(*laid);

    std::vector<std::uint8_t> block;
    if (mode == SaveMode::DryRun) {
        codec::NemesisEncoded encoded = codec::encodeNemesis(data);
        if (!encoded.ok()) return outcomeOf(Result::CompressionFailed);
        block = std::move(encoded.stream);
    } else {
        writeWhole(files.dump, data);
        letEventsRun(hooks);
        if (Comp(files.dump.c_str(), files.dumpc.c_str()) == -1) {
            return outcomeOf(Result::CompressionFailed);
        }
        block = readWhole(files.dumpc);
    }
    // The block goes into the user's ROM: it must give back exactly the tiles,
    // whatever happened to "dump.bin" while Comp read it.
    const codec::NemesisDecoded check = codec::decodeNemesis(block);
    if (!check.ok() || check.consumed != block.size() || check.data != data) {
        return refused(
            "Nothing was saved: the compressed block did not decompress back to the "
            "sprite's tiles (was " +
            files.dump + " changed by another program?).");
    }
    outcome.maxSize = record.row.field("MaxSize").toLong();
    if (std::vector<std::uint8_t> best = fitted(block, data, outcome.maxSize); best != block) {
        // "dumpc.bin" holds the block that goes into the ROM.
        if (mode == SaveMode::Write) writeWhole(files.dumpc, best);
        block = std::move(best);
    }
    outcome.compressedSize = static_cast<std::int64_t>(block.size());
    if (outcome.compressedSize > outcome.maxSize) {
        if (mode == SaveMode::Write) std::filesystem::remove(files.dumpc);
        outcome.result = Result::Oversize;
        return outcome;
    }
    const std::int32_t offset = record.row.field("Offset").toLong();
    why = refusal("the compressed block", offset, outcome.compressedSize, fileSize(romPath), true);
    if (!why.empty()) return refused(why);
    if (mode == SaveMode::DryRun) return outcome;
    outcome = writeRom(romPath, doc, {{offset, std::move(block)}}, hooks, outcome);
    if (outcome.result == Result::Saved) doc.Record->block = std::move(data);
    return outcome;
}

}  // namespace

WhiteTileList::WhiteTileList(std::string_view text) {
    tiles::TileListLines lines(text);
    std::string_view lineText;
    while (badLine_ == SIZE_MAX && lines.next(lineText)) {
        const tiles::TileListFields fields = tiles::SplitTileListLine(lineText);
        Line line;
        try {
            if (fields.count < 2) throw subscriptError();
            // The row is compared first, then the column.
            line.ty = tiles::TileListNumber(fields.field[1]);
            line.tx = tiles::TileListNumber(fields.field[0]);
        } catch (const RuntimeError& e) {
            badLine_ = lines_.size();
            badLineError_ = e;
            break;
        }
        try {
            if (fields.count < 3) throw subscriptError();
            line.offset = tiles::TileListNumber(fields.field[2]);
        } catch (const RuntimeError& e) {
            line.offsetError = e;
        }
        firstLine_.try_emplace(cellKey(line.tx, line.ty), lines_.size());
        lines_.push_back(std::move(line));
    }
}

std::optional<std::int32_t> WhiteTileList::offsetOf(std::int32_t tx, std::int32_t ty) const {
    const auto found = firstLine_.find(cellKey(tx, ty));
    if (found == firstLine_.end()) {
        if (badLineError_) throw *badLineError_;
        return std::nullopt;
    }
    const Line& line = lines_[found->second];
    if (line.offsetError) throw *line.offsetError;
    return line.offset;
}

bool WriteTile(const tiles::SpriteDocument& doc, const WhiteTileList& list, std::int32_t tx,
               std::int32_t ty, std::vector<TileWrite>& writes) {
    if (doc.TileMap.at(tx, ty) != tiles::kWhiteTile) return true;
    const std::optional<std::int32_t> offset = list.offsetOf(tx, ty);
    if (!offset) return false;
    writes.push_back({tx, ty, *offset, tiles::EncodeTile(doc.SpriteBuffer, tx, ty)});
    return true;
}

SaveOutcome SaveSprite(const std::string& romPath, const TempFiles& files,
                       tiles::SpriteDocument& doc, const SaveHooks& hooks, SaveMode mode) {
    if (!doc.SpriteLoaded || !doc.Record) return outcomeOf(Result::NothingLoaded);
    const tiles::SpriteRecord& record = *doc.Record;
    if (record.romPath != romPath) return outcomeOf(Result::AnotherRom);
    std::string why;
    const std::optional<std::vector<TileWrite>> writes =
        planWhiteTiles(doc, record.row, hooks, why);
    if (!writes) return refused(why);
    const bool compressed = record.sprite.kind == tiles::SpriteKind::Compressed;
    SaveOutcome outcome = compressed ? saveCompressed(romPath, files, doc, *writes, hooks, mode)
                                     : savePlain(romPath, doc, *writes, hooks, mode);
    outcome.compressed = compressed;
    return outcome;
}

std::optional<PackingJob> PackingJobFor(const tiles::SpriteDocument& doc, std::string& why) {
    if (!doc.SpriteLoaded || !doc.Record ||
        doc.Record->sprite.kind != tiles::SpriteKind::Compressed) {
        why = "not a compressed sprite";
        return std::nullopt;
    }
    try {
        const std::optional<std::vector<TileWrite>> writes =
            planWhiteTiles(doc, doc.Record->row, SaveHooks{}, why);
        if (!writes) return std::nullopt;
        std::optional<std::vector<std::uint8_t>> data = compressedData(*doc.Record, *writes, why);
        if (!data) return std::nullopt;
        return PackingJob{std::move(*data), doc.Record->row.field("MaxSize").toLong()};
    } catch (const RuntimeError& e) {
        why = e.description();
        return std::nullopt;
    }
}

std::optional<std::int64_t> PackedSize(const PackingJob& job) {
    const codec::NemesisEncoded encoded = codec::encodeNemesis(job.data);
    if (!encoded.ok()) return std::nullopt;
    return static_cast<std::int64_t>(fitted(encoded.stream, job.data, job.maxSize).size());
}

std::optional<MessageRequest> SaveMessage(const SaveOutcome& outcome) {
    switch (outcome.result) {
        case Result::NothingLoaded:
        case Result::Saved: return std::nullopt;
        case Result::AnotherRom:
            return MessageRequest{kSpriteOfAnotherRomText, kAppTitle, MsgIcon::Exclamation};
        case Result::Refused:
            return MessageRequest{outcome.reason, kAppTitle, MsgIcon::Exclamation};
        case Result::Oversize: return MessageRequest{kOversizeText};
        case Result::CompressionFailed: return MessageRequest{kCompressionFailedText};
    }
    return std::nullopt;
}

std::string SaveSizeLine(const SaveOutcome& outcome) {
    if (outcome.compressed) {
        return "compressed " + std::to_string(outcome.compressedSize) + " bytes, limit " +
               std::to_string(outcome.maxSize);
    }
    return "plain sprite: " + tiles::TilesText(outcome.tiles);
}

}  // namespace tess::sprites
