#include "compress/sprites/CompressedSprite.h"

#include "compress/codec/Nemesis.h"
#include "compress/lib/NemesisEntries.h"
#include "gfx/core/Int16.h"
#include "gfx/core/RomFile.h"
#include "gfx/core/TileLoading.h"
#include "gfx/selection/SpriteSelection.h"

namespace tess::compress {
namespace {

void decompressBlock(const gamedb::TableCursor& row, const std::string& romPath,
                     const TempFiles& files) {
    const std::int32_t offset = row.field("Offset").toLong();
    // The caller keeps the result in a 16-bit variable.
    const std::int16_t result = gfx::narrow16(Decomp(romPath.c_str(), files.dump.c_str(), offset));
    if (result == -1) throw decompressionError();
}

}  // namespace

std::optional<std::size_t> BlockSizeInRom(const std::string& romPath, std::int32_t offset) {
    const std::vector<std::uint8_t> rom = gfx::readWhole(romPath);
    if (offset < 0) return std::nullopt;
    const NemesisDecoded block = decodeNemesis(rom, static_cast<std::size_t>(offset));
    if (!block.ok()) return std::nullopt;
    return block.consumed;
}

RuntimeError decompressionError() {
    return {err::Decompression, "Program encountered an error while running the decompression routine.",
            "Decompression execution"};
}

bool LoadCompressedSprite(gamedb::GameDatabase& db, const std::string& romPath,
                          const std::string& name, const TempFiles& files,
                          edit::GenesisPalette& palette, gfx::SpriteDocument& doc,
                          gfx::SpriteLoadTarget& view, const std::function<void()>& paletteLoaded) {
    gamedb::TableCursor* row = gfx::SeekSpriteRow(db, gfx::SpriteKind::Compressed, name, doc);
    if (!row) return false;
    gfx::PrepareSprite(db, romPath, *row, gfx::SpriteKind::Compressed, palette, doc, view,
                       paletteLoaded);
    LoadCompressedWhiteTiles(*row, romPath, row->field("White").text(), files, view, doc);
    return true;
}

void LoadCompressedWhiteTiles(const gamedb::TableCursor& row, const std::string& romPath,
                              std::string_view list, const TempFiles& files,
                              gfx::SpriteSurface& view, gfx::SpriteDocument& doc) {
    decompressBlock(row, romPath, files);
    gfx::LoadWhiteTiles(files.dump, list, view, doc);
    doc.SpriteCompressed = true;
}

void LoadCompressedGreyTiles(const gamedb::TableCursor& row, const std::string& romPath,
                             std::string_view list, const TempFiles& files,
                             gfx::SpriteSurface& view, gfx::SpriteDocument& doc) {
    decompressBlock(row, romPath, files);
    gfx::LoadGreyTiles(files.dump, list, view, doc);
}

}  // namespace tess::compress
