// Writes the demo ROM: makedemorom OUT.bin DB_FOLDER ART_DIR PALETTES.txt
//
// The demo game's database is the source of truth for where things lie: every
// sprite's art (ART_DIR/<Name>.txt, one character per pixel, "." or a hex
// digit) is stored at the offsets of its tile lists with the editor's own tile
// encoder, and compressed sprites are packed with the editor's own Nemesis
// encoder and checked against their slot. A sprite without an art file must
// reuse tiles another sprite wrote.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "base/WholeFile.h"
#include "codec/Nemesis.h"
#include "gamedb/GameDatabase.h"
#include "gamedb/Identify.h"
#include "sprites/SpriteSelection.h"
#include "tiles/RomHeader.h"
#include "tiles/SpriteDocument.h"
#include "tiles/TileCodec.h"
#include "tiles/TileListReader.h"

namespace {

using tess::gamedb::GameDatabase;
using tess::gamedb::ScanRows;
using tess::gamedb::TableCursor;
using tess::tiles::SpriteKind;

constexpr std::size_t kRomSize = 0x10000;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void put(std::vector<std::uint8_t>& rom, std::size_t at, const std::string& text,
         std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        rom.at(at + i) = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
}

void putWord(std::vector<std::uint8_t>& rom, std::size_t at, unsigned word) {
    rom.at(at) = static_cast<std::uint8_t>(word >> 8);
    rom.at(at + 1) = static_cast<std::uint8_t>(word);
}

void putLong(std::vector<std::uint8_t>& rom, std::size_t at, unsigned long value) {
    putWord(rom, at, static_cast<unsigned>(value >> 16));
    putWord(rom, at + 2, static_cast<unsigned>(value & 0xFFFF));
}

// A cartridge header a Genesis accepts: vectors, the "SEGA" header, a program
// that idles, and the checksum over everything after the header.
void writeHeader(std::vector<std::uint8_t>& rom, const std::string& id) {
    putLong(rom, 0x000, 0x00FFFE00);  // initial stack pointer
    putLong(rom, 0x004, 0x00000200);  // entry point
    putWord(rom, 0x200, 0x60FE);      // bra.s * : the demo's whole program
    put(rom, 0x100, "SEGA MEGA DRIVE", 16);
    put(rom, 0x110, "(C)TESS 2026.DEC", 16);
    put(rom, 0x120, "TESSELLANE DEMO", 48);
    put(rom, 0x150, "TESSELLANE DEMO", 48);
    put(rom, 0x180, "GM " + id + "-00", 14);
    put(rom, 0x190, "J", 16);
    putLong(rom, 0x1A0, 0);
    putLong(rom, 0x1A4, kRomSize - 1);
    putLong(rom, 0x1A8, 0x00FF0000);
    putLong(rom, 0x1AC, 0x00FFFFFF);
    put(rom, 0x1B0, "", 12);
    put(rom, 0x1BC, "", 12);
    put(rom, 0x1C8, "Sprites to edit with Tessellane", 40);
    put(rom, 0x1F0, "JUE", 16);
}

// Copies bytes into the ROM at an offset, which must leave them inside it.
void place(std::vector<std::uint8_t>& rom, std::int64_t offset,
           std::span<const std::uint8_t> bytes) {
    if (offset < 0x200 || static_cast<std::size_t>(offset) + bytes.size() > rom.size()) {
        throw Failure("offset " + std::to_string(offset) + " lies outside the ROM's data area");
    }
    std::copy(bytes.begin(), bytes.end(), rom.begin() + offset);
}

void writePalettes(std::vector<std::uint8_t>& rom, const std::string& path) {
    std::ifstream in(path);
    if (!in) throw Failure("cannot read " + path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string offsetText;
        words >> offsetText;
        const auto offset = static_cast<std::size_t>(tess::gamedb::parseNumberText(offsetText));
        for (std::size_t i = 0; i < 16; ++i) {
            std::string word;
            if (!(words >> word)) throw Failure(path + ": a palette needs 16 words: " + line);
            putWord(rom, offset + 2 * i, static_cast<unsigned>(std::stoul(word, nullptr, 16)));
        }
    }
}

// The sprite's art as SpriteBuffer values, or false when it has no art file.
bool loadArt(const std::filesystem::path& file, tess::tiles::SpriteDocument& doc) {
    std::ifstream in(file);
    if (!in) return false;
    const auto width = doc.SpriteBuffer.upperX();
    const auto height = doc.SpriteBuffer.upperY();
    std::string line;
    std::int32_t y = 0;
    for (; std::getline(in, line); ++y) {
        if (y >= height || static_cast<std::int32_t>(line.size()) != width) {
            throw Failure(file.string() + ": art must be " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels (line " + std::to_string(y + 1) + ")");
        }
        for (std::int32_t x = 0; x < width; ++x) {
            const char c = line[static_cast<std::size_t>(x)];
            doc.SpriteBuffer.at(x, y) =
                c == '.' ? 0 : static_cast<std::uint8_t>(std::stoi(std::string(1, c), nullptr, 16));
        }
    }
    if (y != height) throw Failure(file.string() + ": too few lines");
    return true;
}

// Calls visit(entry) for every line of the sprite's white and grey lists.
template <class Visit>
void forEachTile(TableCursor& row, SpriteKind kind, Visit visit) {
    const std::optional<std::string> lists[] = {row.field("White").text(),
                                                tess::sprites::GreyTileList(row, kind)};
    for (const auto& list : lists) {
        if (!list) continue;
        tess::tiles::TileListReader reader(*list);
        tess::tiles::TileListEntry entry;
        while (reader.next(entry)) visit(entry);
    }
}

tess::tiles::SpriteDocument documentFor(TableCursor& row) {
    tess::tiles::SpriteDocument doc;
    doc.CreateGrids(tess::sprites::RowTileSize(row));
    return doc;
}

void writePlainSprites(std::vector<std::uint8_t>& rom, TableCursor& sprites,
                       const std::filesystem::path& artDir) {
    std::set<std::int32_t> written;
    std::set<std::string> withoutArt;
    ScanRows(sprites, [&](TableCursor& row) {
        const std::string name = row.field("Name").text();
        auto doc = documentFor(row);
        if (!loadArt(artDir / (name + ".txt"), doc)) {
            withoutArt.insert(name);
            return;
        }
        forEachTile(row, SpriteKind::Plain, [&](const tess::tiles::TileListEntry& t) {
            const auto bytes = tess::tiles::EncodeTile(doc.SpriteBuffer, t.tx, t.ty);
            place(rom, t.offset, bytes);
            written.insert(t.offset);
        });
    });
    // Checked once all art is written: a sprite may borrow from a later row.
    ScanRows(sprites, [&](TableCursor& row) {
        const std::string name = row.field("Name").text();
        if (!withoutArt.count(name)) return;
        forEachTile(row, SpriteKind::Plain, [&](const tess::tiles::TileListEntry& t) {
            if (!written.count(t.offset)) {
                throw Failure(name + " has no art and uses the tile at " +
                              std::to_string(t.offset) + ", which no sprite's art fills");
            }
        });
    });
}

void writeCompressedSprites(std::vector<std::uint8_t>& rom, TableCursor& sprites,
                            const std::filesystem::path& artDir) {
    ScanRows(sprites, [&](TableCursor& row) {
        const std::string name = row.field("Name").text();
        auto doc = documentFor(row);
        if (!loadArt(artDir / (name + ".txt"), doc)) throw Failure(name + ": no art file");
        std::vector<std::uint8_t> block;
        forEachTile(row, SpriteKind::Compressed, [&](const tess::tiles::TileListEntry& t) {
            const auto bytes = tess::tiles::EncodeTile(doc.SpriteBuffer, t.tx, t.ty);
            const auto at = static_cast<std::size_t>(t.offset);
            if (block.size() < at + bytes.size()) block.resize(at + bytes.size());
            std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
        });
        const auto encoded = tess::codec::encodeNemesis(block);
        if (!encoded.ok()) throw Failure(name + ": its tiles cannot be compressed");
        const auto& packed = encoded.stream;
        const auto maxSize = static_cast<std::size_t>(row.field("MaxSize").toLong());
        const auto offset = static_cast<std::size_t>(row.field("Offset").toLong());
        if (packed.size() > maxSize) {
            throw Failure(name + ": compresses to " + std::to_string(packed.size()) +
                          " bytes, more than its MaxSize " + std::to_string(maxSize));
        }
        place(rom, static_cast<std::int64_t>(offset), packed);
        std::cout << name << ": " << block.size() / 32 << " tiles packed into " << packed.size()
                  << " of its " << maxSize << " bytes\n";
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: makedemorom OUT.bin DB_FOLDER ART_DIR PALETTES.txt\n";
        return 1;
    }
    const std::string out = argv[1];
    try {
        GameDatabase db(std::string(argv[2]) + "/");
        db.games().moveFirst();
        const std::string id = db.games().field("ID").text();
        db.OpenGameData(db.games().field("Database").text());

        std::vector<std::uint8_t> rom(kRomSize, 0);
        writeHeader(rom, id);
        writePalettes(rom, argv[4]);
        writePlainSprites(rom, db.table(GameDatabase::SPRITE), argv[3]);
        writeCompressedSprites(rom, db.table(GameDatabase::COMPRESSED), argv[3]);
        putWord(rom, tess::tiles::kChecksumOffset, tess::tiles::ComputeChecksum(rom));

        std::string why;
        if (!tess::writeWholeFile(out, rom, why)) throw Failure("cannot write " + out + ": " + why);

        // The ROM must be recognised as the demo game.
        if (!tess::gamedb::IdentifyRom(db, out))
            throw Failure(out + " is not identified as the demo");
    } catch (const std::exception& e) {
        std::cerr << "makedemorom: " << e.what() << "\n";
        std::filesystem::remove(out);
        return 1;
    }
    return 0;
}
