// Loading, saving and importing the largest compressed sprite a real block
// gives: the largest stream of the corpus (882 tiles of a 1991 game's level
// art), shown as one 42 x 21-tile sprite whose every tile is white.
//
//   bench_save [STREAM.nem] [benchmark flags]
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "base/WholeFile.h"
#include "codec/Nemesis.h"
#include "sprites/SpriteImage.h"
#include "sprites/SpriteSave.h"
#include "sprites/SpriteSelection.h"

namespace {

namespace fs = std::filesystem;
using namespace tess;

constexpr int kColumns = 42;
constexpr std::size_t kBlockOffset = 0x1000;

std::string streamPath = TESS_LARGEST_STREAM;

void sql(const fs::path& file, const std::string& text) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    char* error = nullptr;
    if (sqlite3_exec(db, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::cerr << file << ": " << (error ? error : "?") << "\n";
        std::exit(1);
    }
    sqlite3_close(db);
}

// A game whose one compressed sprite is the stream, in a ROM of its own.
struct LargestSprite {
    fs::path folder = fs::temp_directory_path() / ("tess_bench_save_" + std::to_string(::getpid()));
    std::string rom = (folder / "rom.bin").string();
    sprites::TempFiles files{(folder / "dump.bin").string(), (folder / "dumpc.bin").string()};
    std::unique_ptr<gamedb::GameDatabase> db;
    paint::GenesisPalette palette{paint::ScreenColour{}};
    tiles::SpriteDocument doc;
    tiles::NullLoadTarget view;
    std::size_t tiles = 0;

    // `romBytes`: the ROM's size; the block sits at its start, the rest is filler.
    bool make(benchmark::State& state, std::size_t romBytes = 0x20000) {
        std::string why;
        const auto stream = tess::readWholeFile(streamPath, why);
        if (!stream) {
            state.SkipWithError(("no corpus stream at " + streamPath + ": " + why).c_str());
            return false;
        }
        tiles = codec::decodeNemesis(*stream).tiles();
        fs::create_directories(folder);
        std::vector<std::uint8_t> image(romBytes, 0);
        const std::string id = "BENCHSAVE";
        std::copy(id.begin(), id.end(), image.begin() + 0x183);
        std::copy(stream->begin(), stream->end(), image.begin() + kBlockOffset);
        tess::writeWholeFile(rom, image, why);

        std::string white;
        for (std::size_t t = 0; t < tiles; ++t) {
            if (t) white += "\r\n";
            white += std::to_string(t % kColumns) + "," + std::to_string(t / kColumns) + "," +
                     std::to_string(32 * t);
        }
        sql(folder / "game.mdb",
            "CREATE TABLE Games(K INTEGER PRIMARY KEY, ID TEXT, \"Database\" TEXT);"
            "INSERT INTO Games VALUES (1, 'BENCHSAVE', 'bench.mdb');");
        sql(folder / "bench.mdb",
            "CREATE TABLE NFO(ID INTEGER PRIMARY KEY, Name TEXT, Palette INTEGER);"
            "INSERT INTO NFO VALUES (1, 'Bench', 256);"
            "CREATE TABLE HEAD(ID INTEGER PRIMARY KEY, Name TEXT);"
            "CREATE TABLE SPRITE(Name TEXT PRIMARY KEY);"
            "CREATE TABLE COMPRESSED(Name TEXT PRIMARY KEY, SubHead TEXT, Palette INTEGER,"
            " Width INTEGER, Height INTEGER, White TEXT, Grey TEXT, \"Offset\" INTEGER, MaxSize "
            "INTEGER);"
            "INSERT INTO COMPRESSED VALUES ('level', 'Art', 0, " +
                std::to_string(kColumns) + ", " +
                std::to_string((tiles + kColumns - 1) / kColumns) + ", '" + white + "', '', " +
                std::to_string(kBlockOffset) + ", 65536);");
        db = std::make_unique<gamedb::GameDatabase>(folder.string() + "/");
        db->OpenGameData("bench.mdb");
        return true;
    }
    void load() {
        sprites::LoadSprite(*db, rom, {tiles::SpriteKind::Compressed, "level"}, files, palette, doc,
                            view, {});
    }
    void save(Durability durability = Durability::Flushed) {
        sprites::SaveHooks hooks;
        hooks.durability = durability;
        const sprites::SaveOutcome outcome = sprites::SaveSprite(rom, files, doc, hooks);
        if (outcome.result != sprites::SaveOutcome::Result::Saved) std::abort();
    }
    ~LargestSprite() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

void BM_LoadLargestCompressedSprite(benchmark::State& state) {
    LargestSprite sprite;
    if (!sprite.make(state)) return;
    for (auto _ : state) sprite.load();
    state.counters["tiles"] = static_cast<double>(sprite.tiles);
}
BENCHMARK(BM_LoadLargestCompressedSprite)->Unit(benchmark::kMillisecond);

void BM_SaveLargestCompressedSprite(benchmark::State& state) {
    LargestSprite sprite;
    if (!sprite.make(state)) return;
    sprite.load();
    std::uint8_t colour = 0;
    for (auto _ : state) {
        sprite.doc.SpriteBuffer.at(5, 5) = colour++ & 15;  // one painted pixel a save
        sprite.save();
    }
    state.counters["block bytes"] = static_cast<double>(fs::file_size(sprite.files.dumpc));
}
BENCHMARK(BM_SaveLargestCompressedSprite)->Unit(benchmark::kMillisecond);

// What the size meter does after a stroke on the largest compressed sprite:
// takes the job on the window's thread, then packs it (on its own thread).
void BM_MeterPacksLargestCompressedSprite(benchmark::State& state) {
    LargestSprite sprite;
    if (!sprite.make(state)) return;
    sprite.load();
    std::uint8_t colour = 0;
    for (auto _ : state) {
        sprite.doc.SpriteBuffer.at(5, 5) = colour++ & 15;
        std::string why;
        const auto job = sprites::PackingJobFor(sprite.doc, why);
        if (!job || !sprites::PackedSize(*job)) std::abort();
    }
}
BENCHMARK(BM_MeterPacksLargestCompressedSprite)->Unit(benchmark::kMillisecond);

// A save writes the whole ROM anew beside the old one and renames it over it:
// its cost grows with the ROM. Timed on 4 MiB (the common cartridge) and 64 MiB
// ROMs, with the flush to disk that every save does and without it.
void BM_SaveIntoRomOfSize(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    const auto durability = state.range(1) ? Durability::Flushed : Durability::Cached;
    LargestSprite sprite;
    if (!sprite.make(state, mib << 20)) return;
    sprite.load();
    std::uint8_t colour = 0;
    for (auto _ : state) {
        sprite.doc.SpriteBuffer.at(5, 5) = colour++ & 15;
        sprite.save(durability);
    }
    state.SetLabel(std::to_string(mib) + " MiB ROM, " +
                   (durability == Durability::Flushed ? "flushed to disk" : "without the flush"));
}
BENCHMARK(BM_SaveIntoRomOfSize)
    ->Args({4, 0})
    ->Args({4, 1})
    ->Args({64, 0})
    ->Args({64, 1})
    ->Unit(benchmark::kMillisecond);

// What `tessellane-cli import` does once the sprite is loaded: read the PNG,
// lay it into the white tiles and save.
void BM_ImportLargestCompressedSprite(benchmark::State& state) {
    LargestSprite sprite;
    if (!sprite.make(state)) return;
    sprite.load();
    const std::string png = (sprite.folder / "level.png").string();
    std::string why;
    const sprites::SpriteColours colours = sprites::RomColours(sprite.palette, sprite.rom);
    tess::writeWholeFile(png, sprites::SpritePng(sprite.doc, colours), why);
    for (auto _ : state) {
        const auto image = sprites::ReadImageImport(png, sprite.doc, colours);
        sprites::LayPicture(image->picture, sprite.doc);
        sprite.save();
    }
}
BENCHMARK(BM_ImportLargestCompressedSprite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && argv[1][0] != '-') {
        streamPath = argv[1];
        --argc;
        ++argv;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
