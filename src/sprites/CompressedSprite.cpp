#include "sprites/CompressedSprite.h"

#include "base/Int16.h"
#include "base/RomFile.h"
#include "codec/Nemesis.h"
#include "nemesislib/NemesisEntries.h"
#include "sprites/SpriteSelection.h"
#include "tiles/TileLoading.h"

namespace tess::sprites {
namespace {

RuntimeError decompressionError() {
    return {err::Decompression,
            "Program encountered an error while running the decompression routine.",
            "Decompression execution"};
}

// The Nemesis block at `offset` of a ROM image; a failed decode where none
// starts, a negative offset included.
codec::NemesisDecoded decodeAt(std::span<const std::uint8_t> rom, std::int32_t offset) {
    if (offset < 0) {
        codec::NemesisDecoded outside;
        outside.status = codec::NemesisStatus::OffsetOutsideBuffer;
        return outside;
    }
    return codec::decodeNemesis(rom, static_cast<std::size_t>(offset));
}

// Unpacks the row's block through Decomp into files.dump and gives its bytes.
std::vector<std::uint8_t> decompressBlock(const gamedb::TableCursor& row,
                                          const std::string& romPath, const TempFiles& files) {
    const std::int32_t offset = row.field("Offset").toLong();
    // The caller keeps the result in a 16-bit variable.
    const std::int16_t result = narrow16(Decomp(romPath.c_str(), files.dump.c_str(), offset));
    if (result != -1) return readWhole(files.dump);
    // Decomp says only that it failed. A block that unpacks here failed to be
    // written (a full disk, a folder without write permission): that is a file
    // error with its reason, not a damaged block.
    const codec::NemesisDecoded block = decodeAt(readWhole(romPath), offset);
    if (!block.ok()) throw decompressionError();
    writeWhole(files.dump, block.data);
    return block.data;
}

}  // namespace

std::optional<std::size_t> BlockSizeAt(std::span<const std::uint8_t> rom, std::int32_t offset) {
    const codec::NemesisDecoded block = decodeAt(rom, offset);
    if (!block.ok()) return std::nullopt;
    return block.consumed;
}

bool LoadCompressedSprite(gamedb::GameDatabase& db, const std::string& romPath,
                          const std::string& name, const TempFiles& files,
                          paint::GenesisPalette& palette, tiles::SpriteDocument& doc,
                          tiles::SpriteLoadTarget& view,
                          const std::function<void()>& paletteLoaded) {
    const tiles::SpriteChoice sprite{tiles::SpriteKind::Compressed, name};
    gamedb::TableCursor* row = SeekSpriteRow(db, sprite);
    if (!row) return false;
    PrepareSprite(db, romPath, *row, sprite, palette, doc, view, paletteLoaded);
    LoadCompressedWhiteTiles(*row, romPath, row->field("White").text(), files, view, doc);
    return true;
}

void LoadCompressedWhiteTiles(const gamedb::TableCursor& row, const std::string& romPath,
                              std::string_view list, const TempFiles& files,
                              tiles::SpriteSurface& view, tiles::SpriteDocument& doc) {
    doc.Record->block = decompressBlock(row, romPath, files);
    tiles::LoadWhiteTiles(files.dump, list, view, doc);
    doc.SpriteCompressed = true;
}

void LoadCompressedGreyTiles(const gamedb::TableCursor& row, const std::string& romPath,
                             std::string_view list, const TempFiles& files,
                             tiles::SpriteSurface& view, tiles::SpriteDocument& doc) {
    decompressBlock(row, romPath, files);
    tiles::LoadGreyTiles(files.dump, list, view, doc);
}

}  // namespace tess::sprites
