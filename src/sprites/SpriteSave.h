#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/CommonDlg.h"
#include "base/FileSystem.h"
#include "base/RuntimeError.h"
#include "sprites/TempFiles.h"
#include "tiles/SpriteDocument.h"
#include "tiles/TileCodec.h"

namespace tess::sprites {

// Save ROM: the loaded sprite's white tiles go back at the offsets of its
// "White" list, into the ROM for a plain sprite; for a compressed sprite into
// the decompressed data, which is then recompressed, checked against the
// row's "MaxSize" and written as one block at its "Offset". Nothing outside
// those bytes is ever written: not the cartridge header, not a byte past the
// end of a file, not the bytes after a block that shrank.

// The "White" list as Save ROM consults it for one cell: the lines are taken
// first to last and the first whose first two fields name the cell wins. Each
// line visited before it needs two fields that are numbers (raising
// TileListReader's errors otherwise) and the matching line a third. Parsed
// once, so a save costs one pass over the list however many tiles it has.
class WhiteTileList {
public:
    explicit WhiteTileList(std::string_view text);

    // The offset of the first line naming (tx, ty), or nothing when no line
    // names it; raises the error the scan for that cell meets first.
    std::optional<std::int32_t> offsetOf(std::int32_t tx, std::int32_t ty) const;

private:
    struct Line {
        std::int32_t tx = 0;
        std::int32_t ty = 0;
        std::int32_t offset = 0;
        std::optional<RuntimeError> offsetError;
    };
    std::vector<Line> lines_;
    std::unordered_map<std::uint64_t, std::size_t> firstLine_;
    // The first line whose cell cannot be read, and why: no scan gets past it.
    std::size_t badLine_ = SIZE_MAX;
    std::optional<RuntimeError> badLineError_;
};

// One tile Save ROM writes: where its 32 bytes go, and which cell they are.
struct TileWrite {
    std::int32_t tx = 0;
    std::int32_t ty = 0;
    std::int32_t offset = 0;
    tiles::TileBytes bytes{};
};

// Tile cell (tx, ty) of the sprite, if it is a white tile, to the offset its
// list gives, appended to `writes`. Returns false when the list does not name
// the cell (the caller reports it and the save goes on); true otherwise.
bool WriteTile(const tiles::SpriteDocument& doc, const WhiteTileList& list, std::int32_t tx,
               std::int32_t ty, std::vector<TileWrite>& writes);

// What the save asks of its caller while it runs.
struct SaveHooks {
    // A white cell its list does not name. Return true to report it and go on
    // with the other tiles, false to write nothing at all; without a hook,
    // nothing is written.
    std::function<bool(std::int32_t tx, std::int32_t ty)> unlistedCell;
    // Called before the writes and between their pieces, so that a window
    // can stay responsive.
    std::function<void()> letEventsRun;
    // Every save flushes the new ROM to the disk; benchmarks time it without.
    Durability durability = Durability::Flushed;
};

enum class SaveMode {
    Write,   // the whole save
    DryRun,  // every check and the compressed size, but no file is written
};

struct SaveOutcome {
    enum class Result {
        NothingLoaded,      // no sprite was ever loaded: nothing happened
        AnotherRom,         // the sprite was read from another ROM than the one loaded now
        Refused,            // `reason` says why nothing was written
        CompressionFailed,  // the compressor failed: the ROM was not touched
        Oversize,           // the block is larger than "MaxSize": the ROM was not touched
        Saved,              // written (with DryRun: would be written)
    };
    Result result = Result::NothingLoaded;
    bool compressed = false;
    std::string reason;
    std::size_t tiles = 0;            // white tiles written
    std::int64_t compressedSize = 0;  // compressed sprites: the new block's size
    std::int64_t maxSize = 0;         // and the row's "MaxSize"
};

// Save ROM for the loaded sprite, by the row its record keeps, into `romPath`,
// the ROM loaded now, which must be the one the sprite was read from. The tiles
// are all worked out and checked before the first byte is written. A plain
// save puts them into the ROM. A compressed save lays them into the block the
// record holds, writes that to files.dump, packs it into files.dumpc through
// the library's Comp, refuses a packed block that does not unpack to exactly
// that data, deletes files.dumpc and stops when it is larger than "MaxSize",
// and puts it at "Offset". The ROM is written all or nothing, and only when it
// is still the ROM the record holds where the save writes (its size, its
// cartridge header, the bytes under the save); then SpriteDirty is cleared.
// SpriteDirty stays set whenever the ROM was not written.
//
// Errors of the game data (a list line that does not parse, a null field) and
// file errors are raised, never caught; a write that fails raises too, the ROM
// as it was.
SaveOutcome SaveSprite(const std::string& romPath, const TempFiles& files,
                       tiles::SpriteDocument& doc, const SaveHooks& hooks,
                       SaveMode mode = SaveMode::Write);

// What a save of a compressed sprite packs, taken from the document so that
// the packing may run elsewhere (the window's size meter packs on a thread of
// its own while the user paints on): the block's data with the white tiles
// laid in, as SaveSprite lays them, and the row's "MaxSize". Nothing, with the
// reason, for a sprite that is not compressed or whose save would be refused
// before it packs.
struct PackingJob {
    std::vector<std::uint8_t> data;
    std::int64_t maxSize = 0;
};
std::optional<PackingJob> PackingJobFor(const tiles::SpriteDocument& doc, std::string& why);

// The size of the block SaveSprite writes for the job's data, by the same
// packing; nothing when the data cannot be packed (it is not whole tiles).
std::optional<std::int64_t> PackedSize(const PackingJob& job);

// What the user is told of an outcome, in the same words by the window (as
// the box) and the command line (its text): nothing for Saved and
// NothingLoaded.
std::optional<MessageRequest> SaveMessage(const SaveOutcome& outcome);

// The size of what a save writes or would write: "compressed N bytes, limit
// M" for a compressed sprite, "plain sprite: K tiles" for a plain one.
std::string SaveSizeLine(const SaveOutcome& outcome);

}  // namespace tess::sprites
