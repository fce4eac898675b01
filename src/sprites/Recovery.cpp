#include "sprites/Recovery.h"

#include <filesystem>
#include <sstream>

#include "base/WholeFile.h"
#include "tiles/RomHeader.h"

namespace tess::sprites {
namespace {

constexpr std::string_view kMagic = "TESSELLANE RECOVERY 1\n";

// FNV-1a: a file name from a sprite's identity, and a fingerprint of a header.
std::uint64_t fnv(std::string_view bytes, std::uint64_t hash = 0xCBF29CE484222325u) {
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    return hash;
}

std::string absolute(const std::string& path) {
    std::error_code error;
    const auto full = std::filesystem::weakly_canonical(path, error);
    return error ? path : full.string();
}

// The lines that say whose pixels a file holds; the pixels follow them.
std::string identity(const tiles::SpriteRecord& record, const tiles::ByteGrid& grid) {
    const std::span<const std::uint8_t> header = tiles::HeaderBytes(record.rom);
    std::ostringstream text;
    text << kMagic << absolute(record.romPath) << "\n"
         << (record.sprite.kind == tiles::SpriteKind::Compressed ? "compressed" : "plain") << "\n"
         << record.sprite.name << "\n"
         << record.rom.size() << " "
         << fnv({reinterpret_cast<const char*>(header.data()), header.size()}) << "\n"
         << grid.upperX() << " " << grid.upperY() << "\n";
    return text.str();
}

}  // namespace

std::string Recovery::fileFor(const tiles::SpriteRecord& record) const {
    const std::string key = absolute(record.romPath) + '\n' +
                            (record.sprite.kind == tiles::SpriteKind::Compressed ? "c" : "p") +
                            record.sprite.name;
    std::ostringstream name;
    name << std::hex << fnv(key) << ".recovery";
    return (std::filesystem::path(folder_) / name.str()).string();
}

bool Recovery::keep(const tiles::SpriteDocument& doc, std::string& why) const {
    if (folder_.empty() || !doc.Record) return true;
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) {
        why = error.message();
        return false;
    }
    const tiles::ByteGrid& grid = doc.SpriteBuffer;
    std::string text = identity(*doc.Record, grid);
    for (std::int32_t y = 0; y <= grid.upperY(); ++y) {
        text.append(reinterpret_cast<const char*>(grid.row(y)),
                    static_cast<std::size_t>(grid.upperX()) + 1);
    }
    return writeWholeFile(fileFor(*doc.Record),
                          {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, why);
}

std::optional<tiles::ByteGrid> Recovery::find(const tiles::SpriteDocument& doc) const {
    if (folder_.empty() || !doc.Record) return std::nullopt;
    std::string why;
    const auto bytes = readWholeFile(fileFor(*doc.Record), why);
    if (!bytes) return std::nullopt;
    tiles::ByteGrid grid(doc.SpriteBuffer.upperX(), doc.SpriteBuffer.upperY());
    const std::string expected = identity(*doc.Record, grid);
    const std::size_t pixels =
        static_cast<std::size_t>(grid.upperX() + 1) * static_cast<std::size_t>(grid.upperY() + 1);
    // Another sprite's file under the same name, another ROM at the same path,
    // or a file cut short: nothing to restore.
    if (bytes->size() != expected.size() + pixels ||
        !std::equal(expected.begin(), expected.end(), bytes->begin())) {
        return std::nullopt;
    }
    const auto* at = bytes->data() + expected.size();
    for (std::int32_t y = 0; y <= grid.upperY(); ++y, at += grid.upperX() + 1) {
        std::copy(at, at + grid.upperX() + 1, grid.row(y));
    }
    return grid;
}

void Recovery::forget(const tiles::SpriteDocument& doc) const {
    if (folder_.empty() || !doc.Record) return;
    std::error_code ignored;
    std::filesystem::remove(fileFor(*doc.Record), ignored);
}

namespace {

// Calls visit(x, y) for every pixel of the document's white tiles.
template <class Visit>
void eachWhitePixel(const tiles::SpriteDocument& doc, Visit&& visit) {
    for (std::int32_t y = 0; y < doc.SpriteBuffer.upperY(); ++y) {
        for (std::int32_t x = 0; x < doc.SpriteBuffer.upperX(); ++x) {
            if (doc.TileMap.at(x / 8, y / 8) == tiles::kWhiteTile) visit(x, y);
        }
    }
}

}  // namespace

bool KeptPixelsDiffer(const tiles::ByteGrid& kept, const tiles::SpriteDocument& doc) {
    bool differ = false;
    eachWhitePixel(doc, [&](std::int32_t x, std::int32_t y) {
        differ = differ || kept.at(x, y) != doc.SpriteBuffer.at(x, y);
    });
    return differ;
}

void RestorePixels(const tiles::ByteGrid& kept, tiles::SpriteDocument& doc) {
    eachWhitePixel(
        doc, [&](std::int32_t x, std::int32_t y) { doc.SpriteBuffer.at(x, y) = kept.at(x, y); });
}

}  // namespace tess::sprites
