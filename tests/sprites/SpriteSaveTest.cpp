#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

#include "codec/Nemesis.h"
#include "sprites/BackgroundPacker.h"
#include "sprites/SpriteSave.h"
#include "sprites/SpriteSelection.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/GameFiles.h"
#include "tests/support/NemesisTestSupport.h"
#include "tests/support/TestFiles.h"
#include "tiles/TileCodec.h"

namespace tess::sprites {
namespace {

using tiles::SpriteKind;
using Result = SaveOutcome::Result;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kBlock = 6400;  // the fixture ROM's 4-tile Nemesis block
const std::string kAllFour = "0,0,0\r\n1,0,32\r\n0,1,64\r\n1,1,96";

TEST(WhiteTileList, TheFirstLineNamingTheCellWinsAndTheScanStopsAtABadLine) {
    struct Case {
        const char* list;
        int tx, ty;
        std::optional<std::int32_t> offset;
        int error;
    };
    const Case cases[] = {
        {"1,0,100\r\n0,0,200\r\n0,0,300", 0, 0, 200, 0},  // a cell listed twice: the first line
        {"&H1,&H0,&H20", 1, 0, 32, 0},                    // hex fields
        {"0,0,5\r\nx,0,400", 0, 0, 5, 0},              // a bad line after the match is never read
        {"0,0,5\r\nx,0,400", 1, 1, std::nullopt, 13},  // but one before it is
        {"7\r\n0,0,5", 0, 0, std::nullopt, 9},         // a line of one field
        {"0,0,5\r\n", 1, 0, std::nullopt, 9},          // the empty line after a final CR LF
        {"1,0\r\n0,0,5", 0, 0, 5, 0},                  // two fields suffice on other lines
        {"1,0\r\n0,0,5", 1, 0, std::nullopt, 9},       // not on the matching one
        {"0,0,5", 1, 1, std::nullopt, 0},              // not listed
        {"", 0, 0, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        std::optional<std::int32_t> offset;
        const int error =
            test::errorOf([&] { offset = WhiteTileList(c.list).offsetOf(c.tx, c.ty); });
        EXPECT_EQ(error, c.error) << c.list << " @" << c.tx << "," << c.ty;
        EXPECT_EQ(offset, c.offset) << c.list << " @" << c.tx << "," << c.ty;
    }
}

// A game "SAVETEST" in SQLite files with the rows a test gives, over the
// fixture ROM (plain data from 4096, Nemesis blocks, palettes at 7680).
class SpriteSave : public ::testing::Test {
protected:
    void makeGame(const std::string& spriteRows, const std::string& compressedRows) {
        test::makeGameList(dir, "(1, 'SAVETEST', 'save.mdb')");
        test::makeGame(dir.file("save.mdb"), "Save Test", "7680, '1', 'tests', ''",
                       test::spriteTables(
                           "('unused', 1, 0, 1, 1, '0,0,4096', '-1')" + spriteRows,
                           "('unused', 'A', 0, 1, 1, '0,0,0', '', 6144, 256)" + compressedRows));
        db = std::make_unique<gamedb::GameDatabase>(dir.folder());
        db->OpenGameData("save.mdb");
        test::writeFile(rom, test::fixtureGameRom("SAVETEST"));
        before = test::readBytes(rom);
    }
    void load(SpriteKind kind, const std::string& name) {
        ASSERT_TRUE(LoadSprite(*db, rom, {kind, name}, files, palette, doc, view, {}));
    }
    // Every white pixel of the loaded sprite takes `index`, but (0, 0), which takes 7.
    void paint(std::uint8_t index) {
        for (int y = 0; y < doc.SpriteBuffer.upperY(); ++y) {
            for (int x = 0; x < doc.SpriteBuffer.upperX(); ++x) {
                if (doc.TileMap.at(x / 8, y / 8) == tiles::kWhiteTile)
                    doc.SpriteBuffer.at(x, y) = index;
            }
        }
        doc.SpriteBuffer.at(0, 0) = 7;
        doc.SpriteDirty = true;
    }
    SaveOutcome save(SaveMode mode = SaveMode::Write) {
        SaveHooks hooks;
        hooks.unlistedCell = [this](std::int32_t tx, std::int32_t ty) {
            unlisted.push_back({tx, ty});
            return true;
        };
        return SaveSprite(rom, files, doc, hooks, mode);
    }
    // The ROM as it was, with `bytes` laid in at `offset`.
    Bytes romWith(std::initializer_list<std::pair<std::size_t, Bytes>> changes) const {
        Bytes expected = before;
        for (const auto& [offset, bytes] : changes)
            std::copy(bytes.begin(), bytes.end(), expected.begin() + offset);
        return expected;
    }
    Bytes tile(int tx, int ty) const {
        const auto bytes = tiles::EncodeTile(doc.SpriteBuffer, tx, ty);
        return {bytes.begin(), bytes.end()};
    }

    test::TempDir dir;
    std::string rom = dir.file("save.bin");
    TempFiles files{dir.file("dump.bin"), dir.file("dumpc.bin")};
    std::unique_ptr<gamedb::GameDatabase> db;
    paint::GenesisPalette palette{paint::ScreenColour{}};
    tiles::SpriteDocument doc;
    tiles::NullLoadTarget view;
    Bytes before;
    std::vector<std::pair<int, int>> unlisted;
};

TEST_F(SpriteSave, PlainSpriteWritesExactlyItsWhiteTilesAtTheFirstListedOffsets) {
    // Cell (0,0) is listed twice and (0,1) is grey; the spare column and row hold nothing.
    makeGame(",('plain', 1, 0, 2, 2, '1,0,4096\r\n0,0,8192\r\n0,0,12000\r\n1,1,9000', '0,1,5000')",
             "");
    load(SpriteKind::Plain, "plain");
    paint(3);
    const SaveOutcome outcome = save();
    EXPECT_EQ(outcome.result, Result::Saved);
    EXPECT_EQ(outcome.tiles, 3u);
    EXPECT_FALSE(doc.SpriteDirty);
    EXPECT_TRUE(unlisted.empty());
    EXPECT_TRUE(
        test::sameBytes(test::readBytes(rom),
                        romWith({{4096, tile(1, 0)}, {8192, tile(0, 0)}, {9000, tile(1, 1)}})));
    EXPECT_FALSE(std::filesystem::exists(files.dump));

    // A white cell its list does not name is reported once, and the rest is saved again.
    doc.TileMap.at(0, 1) = tiles::kWhiteTile;  // as if the list had changed under the sprite
    paint(5);
    EXPECT_EQ(save().result, Result::Saved);
    EXPECT_EQ(unlisted, (std::vector<std::pair<int, int>>{{0, 1}}));
    EXPECT_TRUE(
        test::sameBytes(test::readBytes(rom),
                        romWith({{4096, tile(1, 0)}, {8192, tile(0, 0)}, {9000, tile(1, 1)}})));
    EXPECT_FALSE(doc.SpriteDirty);
}

// A cell both lists name is grey, whichever list comes first in the row: the
// grey tile is shown (which the paint tools leave alone), and a save writes
// only the white tiles.
TEST_F(SpriteSave, ACellBothListsNameIsGreyAndIsNotSaved) {
    makeGame(",('both', 1, 0, 2, 1, '0,0,4096\r\n1,0,4128', '1,0,5000')",
             ",('both', 'A', 0, 2, 1, '0,0,0\r\n1,0,32', '1,0,64', 6400, 1000)");
    for (const SpriteKind kind : {SpriteKind::Plain, SpriteKind::Compressed}) {
        const bool compressed = kind == SpriteKind::Compressed;
        SCOPED_TRACE(compressed ? "compressed" : "plain");
        test::writeBytes(rom, before);
        load(kind, "both");
        const Bytes source = test::readBytes(compressed ? files.dump : rom);
        const auto greyAt = source.begin() + (compressed ? 64 : 5000);
        EXPECT_EQ(doc.TileMap.at(1, 0), tiles::kGreyTile);
        EXPECT_EQ(tile(1, 0), Bytes(greyAt, greyAt + 32));

        paint(3);
        const SaveOutcome outcome = save();
        EXPECT_EQ(outcome.result, Result::Saved);
        EXPECT_EQ(outcome.tiles, 1u);
        Bytes saved = compressed ? source : Bytes{};
        if (compressed) std::ranges::copy(tile(0, 0), saved.begin());
        EXPECT_TRUE(test::sameBytes(test::readBytes(rom),
                                    compressed
                                        ? romWith({{kBlock, codec::encodeNemesis(saved).stream}})
                                        : romWith({{4096, tile(0, 0)}})));
    }
}

// A block of exactly MaxSize bytes is written, one byte more is refused; a
// sprite too large at the default effort is packed again with the best first.
TEST_F(SpriteSave, ABlockOfMaxSizeAfterTheBestEffortIsWrittenAndOneByteMoreIsRefused) {
    const Bytes tile = test::tileBestPacksSmaller();
    const Bytes best = codec::encodeNemesis(tile, codec::NemesisEffort::Best).stream;
    ASSERT_LT(best.size(), codec::encodeNemesis(tile).stream.size())
        << "the default effort caught up: pick another tile";
    // Smaller than the block in the ROM, whose tail then stays behind it.
    ASSERT_LT(best.size(), codec::encodeNemesis(test::fixtureBlockData(6144, 1)).stream.size());
    const std::string size = std::to_string(best.size());
    makeGame("", ",('fits', 'A', 0, 1, 1, '0,0,0', '', 6144, " + size +
                     "),('short', 'A', 0, 1, 1, '0,0,0', '', 6144, " + size + " - 1)");
    for (const auto& [name, fits] : {std::pair{"short", false}, std::pair{"fits", true}}) {
        SCOPED_TRACE(name);
        load(SpriteKind::Compressed, name);
        for (int p = 0; p < 64; ++p) {
            doc.SpriteBuffer.at(p % 8, p / 8) =
                static_cast<std::uint8_t>(p % 2 ? tile[p / 2] & 15 : tile[p / 2] >> 4);
        }
        doc.SpriteDirty = true;
        std::string why;
        const auto job = PackingJobFor(doc, why);
        ASSERT_TRUE(job) << why;
        EXPECT_EQ(PackedSize(*job), static_cast<std::int64_t>(best.size()));  // the meter's figure
        const SaveOutcome outcome = save();
        EXPECT_EQ(outcome.compressedSize, static_cast<std::int64_t>(best.size()));
        EXPECT_EQ(outcome.maxSize, static_cast<std::int64_t>(best.size()) - (fits ? 0 : 1));
        EXPECT_EQ(outcome.result, fits ? Result::Saved : Result::Oversize);
        EXPECT_TRUE(test::sameBytes(test::readBytes(rom), fits ? romWith({{6144, best}}) : before));
        EXPECT_EQ(doc.SpriteDirty, !fits);
        // A refused block is not kept; the edits stay in "dump.bin" for the next try.
        EXPECT_TRUE(test::sameBytes(test::readBytes(files.dump), tile));
        EXPECT_EQ(std::filesystem::exists(files.dumpc), fits);
        if (fits) {
            EXPECT_TRUE(test::sameBytes(test::readBytes(files.dumpc), best));
        }
    }
}

TEST_F(SpriteSave, DryRunMeasuresWithoutWritingAnyFile) {
    makeGame(",('plain', 1, 0, 2, 1, '0,0,4096\r\n1,0,4128', '-1')",
             ",('packed', 'A', 0, 2, 2, '" + kAllFour + "', '0,1,64', 6400, 1000)");
    load(SpriteKind::Compressed, "packed");
    const Bytes dump = test::readBytes(files.dump);
    paint(2);
    const SaveOutcome packed = save(SaveMode::DryRun);
    EXPECT_EQ(packed.result, Result::Saved);
    EXPECT_EQ(packed.tiles, 3u);  // the grey tile is not written
    Bytes edited = dump;
    for (const auto& [offset, tx, ty] : {std::tuple{0, 0, 0}, {32, 1, 0}, {96, 1, 1}}) {
        const Bytes bytes = tile(tx, ty);
        std::copy(bytes.begin(), bytes.end(), edited.begin() + offset);
    }
    EXPECT_EQ(packed.compressedSize,
              static_cast<std::int64_t>(codec::encodeNemesis(edited).stream.size()));
    EXPECT_EQ(packed.maxSize, 1000);
    EXPECT_TRUE(test::sameBytes(test::readBytes(files.dump), dump));
    EXPECT_FALSE(std::filesystem::exists(files.dumpc));

    load(SpriteKind::Plain, "plain");
    paint(1);
    EXPECT_EQ(save(SaveMode::DryRun).tiles, 2u);
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), before));
    EXPECT_TRUE(doc.SpriteDirty);
}

TEST_F(SpriteSave, WritesOutsideTheFileOrOverTheHeaderAreRefusedWholesale) {
    // A blank one-tile block ending with the ROM, one inside the header, and
    // lists whose second tile lies past the end, over the header, or past the
    // data.
    const Bytes stream = codec::encodeNemesis(Bytes(32, 0)).stream;
    const std::string atEnd = std::to_string(16384 - stream.size());
    makeGame(
        ",('past end', 1, 0, 2, 1, '0,0,4096\r\n1,0,16360', '-1')"
        ",('header', 1, 0, 2, 1, '0,0,4096\r\n1,0,240', '-1')",
        ",('block at end', 'A', 0, 1, 1, '0,0,0', '', " + atEnd +
            ", 1000)"
            ",('block on header', 'A', 0, 1, 1, '0,0,0', '', 250, 1000)"
            ",('tile past data', 'A', 0, 2, 1, '0,0,0\r\n1,0,32', '', 6144, 1000)");
    // Both header cases start before the header and run into it.
    before = romWith({{16384 - stream.size(), stream}, {250, stream}});
    test::writeBytes(rom, before);

    for (const auto& [kind, name] : {std::pair{SpriteKind::Plain, "past end"},
                                     {SpriteKind::Plain, "header"},
                                     {SpriteKind::Compressed, "block at end"},
                                     {SpriteKind::Compressed, "block on header"},
                                     {SpriteKind::Compressed, "tile past data"}}) {
        SCOPED_TRACE(name);
        load(kind, name);
        // Pixels that compress worse than a blank tile, so the block grows.
        for (int y = 0; y < doc.SpriteBuffer.upperY(); ++y) {
            for (int x = 0; x < 8; ++x)
                doc.SpriteBuffer.at(x, y) = static_cast<std::uint8_t>((x * x * 7 + y * 5) % 16);
        }
        doc.SpriteDirty = true;
        const SaveOutcome outcome = save();
        EXPECT_EQ(outcome.result, Result::Refused);
        EXPECT_TRUE(outcome.reason.starts_with("Nothing was saved: ")) << outcome.reason;
        EXPECT_TRUE(test::sameBytes(test::readBytes(rom), before));
        EXPECT_TRUE(doc.SpriteDirty);
    }
}

// A plain sprite of 16 x 16 tiles in a 3 MiB ROM, so that the new ROM is
// written in several pieces with a chance to stop between them.
class SafeSave : public SpriteSave {
protected:
    void SetUp() override {
        std::string white;
        for (int t = 0; t < 256; ++t) {
            white += (t ? "\r\n" : "") + std::to_string(t % 16) + "," + std::to_string(t / 16) +
                     "," + std::to_string(kTiles + 32 * t);
        }
        makeGame(",('big', 1, 0, 16, 16, '" + white + "', '-1')",
                 ",('packed', 'A', 0, 2, 2, '" + kAllFour + "', '', 6400, 1000)");
        before.resize(3 << 20, 0x5A);
        test::writeBytes(rom, before);
        load(SpriteKind::Plain, "big");
    }
    // The ROM a save of the sprite painted with `index` makes.
    Bytes painted(std::uint8_t index) {
        const tiles::ByteGrid pixels = doc.SpriteBuffer;
        paint(index);
        Bytes expected = before;
        for (int t = 0; t < 256; ++t) {
            const Bytes bytes = tile(t % 16, t / 16);
            std::copy(bytes.begin(), bytes.end(), expected.begin() + kTiles + 32 * t);
        }
        doc.SpriteBuffer = pixels;
        return expected;
    }
    // Runs `work` in a child process and gives its end: an exit status, or
    // 128 + the signal that ended it.
    static int inChild(const std::function<int()>& work,
                       const std::function<void(pid_t)>& meanwhile = {}) {
        const pid_t child = ::fork();
        if (child == 0) ::_exit(work());
        if (meanwhile) meanwhile(child);
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    bool temporariesLeft() const {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().filename().string().starts_with(".save.bin.tess-")) return true;
        }
        return false;
    }
    static constexpr std::size_t kTiles = 0x10000;
};

TEST_F(SafeSave, AKillAtAnyStepOrAnyMomentLeavesTheOldRomOrTheNewOneNeverAMix) {
    const Bytes after = painted(3);
    // Stopped at each point where the save lets events run, one after the other.
    int kills = 0;
    for (int step = 1;; ++step) {
        test::writeBytes(rom, before);
        const int end = inChild([&] {
            int calls = 0;
            SaveHooks hooks;
            hooks.letEventsRun = [&] {
                if (++calls == step) ::raise(SIGKILL);
            };
            paint(3);
            return SaveSprite(rom, files, doc, hooks).result == Result::Saved ? 0 : 1;
        });
        const Bytes now = test::readBytes(rom);
        EXPECT_TRUE(now == before || now == after) << "killed at step " << step;
        if (end != 128 + SIGKILL) {
            EXPECT_EQ(end, 0);
            EXPECT_TRUE(test::sameBytes(now, after));
            break;
        }
        EXPECT_TRUE(test::sameBytes(now, before)) << "the rename is the last step";
        ++kills;
    }
    EXPECT_GE(kills, 3);  // before the write and between its pieces

    // Killed at random moments, by any of the signals that end a process,
    // while it saves two paintings in turn.
    const Bytes other = painted(9);
    test::writeBytes(rom, before);
    std::minstd_rand random(2026);
    std::size_t torn = 0;
    for (int run = 0; run < 12; ++run) {
        const int signal = std::array{SIGKILL, SIGTERM, SIGHUP}[static_cast<std::size_t>(run % 3)];
        inChild(
            [&] {
                for (std::uint8_t index = 3;; index = index == 3 ? 9 : 3) {
                    paint(index);
                    if (SaveSprite(rom, files, doc, {}).result != Result::Saved) return 1;
                }
            },
            [&](pid_t child) {
                std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 40000));
                ::kill(child, signal);
            });
        const Bytes now = test::readBytes(rom);
        torn += now != before && now != after && now != other;
        test::writeBytes(rom, before);
    }
    EXPECT_EQ(torn, 0u);
    // What the killed processes left beside the ROM goes with the next save.
    paint(3);
    EXPECT_EQ(save().result, Result::Saved);
    EXPECT_FALSE(temporariesLeft());
}

TEST_F(SafeSave, AFullDiskOrAFileSizeLimitLeavesTheRomAsItWasWithTheReason) {
    // A limit on the size of the files this process writes: the new ROM cannot be written whole.
    const int end = inChild([&] {
        const rlimit limit{1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
        paint(3);
        try {
            SaveSprite(rom, files, doc, {});
        } catch (const RuntimeError& e) {
            return e.number() == err::PathFileAccess &&
                           e.description().ends_with(": " + std::string(std::strerror(EFBIG)))
                       ? 0
                       : 2;
        }
        return 1;
    });
    EXPECT_EQ(end, 0);
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), before));
    EXPECT_FALSE(temporariesLeft());

    // A file system with room for the ROM but not for a second copy of it.
    test::TempDir small;
    const std::string mount = "mount -t tmpfs -o size=" + std::to_string((3 << 20) + (1 << 16)) +
                              " tmpfs " + test::quote(small.folder()) + " 2>/dev/null";
    if (std::system(mount.c_str()) != 0) {
        GTEST_SKIP() << "no tmpfs could be mounted here (it needs root); the file-size limit stood "
                        "for a full disk";
    }
    const std::string full = small.file("save.bin");
    test::writeBytes(full, before);
    ASSERT_TRUE(LoadSprite(*db, full, {SpriteKind::Plain, "big"}, files, palette, doc, view, {}));
    paint(3);
    const int error = test::errorOf([&] { SaveSprite(full, files, doc, {}); });
    const Bytes now = test::readBytes(full);
    std::system(("umount " + test::quote(small.folder())).c_str());
    EXPECT_EQ(error, err::PathFileAccess);
    EXPECT_TRUE(test::sameBytes(now, before));
}

TEST_F(SafeSave, ARomReplacedOrChangedUnderTheSpriteSinceItsLoadIsRefused) {
    const Bytes after = painted(3);
    struct Case {
        const char* what;
        std::size_t at;      // a byte changed on disk after the load
        std::size_t length;  // the file cut to this length, when not 0
        bool refused;
    };
    const Case cases[] = {
        {"another game's header", 0x183, 0, true},
        {"a byte the save writes over", kTiles + 32 * 200 + 5, 0, true},
        {"a byte nothing writes", kTiles - 1, 0, false},
        {"a shorter file", 0, (3 << 20) - 16, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::writeBytes(rom, before);
        load(SpriteKind::Plain, "big");
        Bytes changed = before;
        if (c.length) changed.resize(c.length);
        if (!c.length) changed[c.at] ^= 0xFF;
        test::writeBytes(rom, changed);
        paint(3);
        const SaveOutcome outcome = save();
        if (c.refused) {
            EXPECT_EQ(outcome.result, Result::Refused);
            EXPECT_TRUE(outcome.reason.starts_with("Nothing was saved: " + rom + " "))
                << outcome.reason;
            EXPECT_TRUE(test::sameBytes(test::readBytes(rom), changed));
            EXPECT_TRUE(doc.SpriteDirty);
        } else {
            Bytes expected = after;
            expected[c.at] ^= 0xFF;
            EXPECT_EQ(outcome.result, Result::Saved);
            EXPECT_TRUE(test::sameBytes(test::readBytes(rom), expected));
        }
    }
}

TEST_F(SafeSave, ACompressedSavePacksItsOwnDataAndRefusesABlockThatUnpacksToOther) {
    load(SpriteKind::Compressed, "packed");
    paint(4);
    // Another program rewrites "dump.bin" after the save wrote it, before Comp reads it.
    SaveHooks hooks;
    hooks.letEventsRun = [this] {
        if (!std::filesystem::exists(files.dump)) return;
        Bytes dump = test::readBytes(files.dump);
        dump[5] ^= 0x11;
        test::writeBytes(files.dump, dump);
    };
    const SaveOutcome outcome = SaveSprite(rom, files, doc, hooks);
    EXPECT_EQ(outcome.result, Result::Refused);
    EXPECT_NE(outcome.reason.find("did not decompress back to the sprite's tiles"),
              std::string::npos);
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), before));
    EXPECT_TRUE(doc.SpriteDirty);

    // Another program's "dump.bin" left there before the save changes nothing either.
    test::writeBytes(files.dump, Bytes(128, 0x77));
    EXPECT_EQ(save().result, Result::Saved);
    const codec::NemesisDecoded written = codec::decodeNemesis(test::readBytes(rom), kBlock);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.data[0] >> 4, 7);  // the sprite's own pixel (0, 0)
    EXPECT_EQ(written.data[1] >> 4, 4);
}

TEST_F(SpriteSave, AnEmptyWhiteListStillDecompressesTheBlockAndMarksTheSpriteCompressed) {
    makeGame("", ",('blank', 'A', 0, 2, 2, '', '', 6400, 1000)");
    load(SpriteKind::Compressed, "blank");
    EXPECT_TRUE(doc.SpriteCompressed);
    EXPECT_TRUE(doc.SpriteLoaded);
    EXPECT_TRUE(test::sameBytes(test::readBytes(files.dump), test::fixtureBlockData(kBlock, 4)));
    EXPECT_EQ(doc.TileMap.at(0, 0), tiles::kNoTile);
    EXPECT_EQ(doc.SpriteBuffer.at(3, 3), 0);
}

TEST_F(SpriteSave, ASpriteIsSavedByItsOwnRowWhereverTheCursorsStandAndOnlyIntoItsOwnRom) {
    makeGame(",('plain', 1, 0, 1, 1, '0,0,4096', '-1'),('zother', 1, 0, 1, 1, '0,0,8192', '-1')",
             "");
    EXPECT_EQ(save().result, Result::NothingLoaded);
    load(SpriteKind::Plain, "plain");
    paint(4);
    // What File > Load, or a selection that failed, does to the cursor.
    ASSERT_TRUE(SeekSpriteRow(*db, {SpriteKind::Plain, "zother"}));
    EXPECT_EQ(save().result, Result::Saved);
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), romWith({{4096, tile(0, 0)}})));

    const Bytes saved = test::readBytes(rom);
    paint(5);
    const std::string another = dir.file("another.bin");
    test::writeBytes(another, before);
    EXPECT_EQ(SaveSprite(another, files, doc, {}).result, Result::AnotherRom);
    EXPECT_TRUE(test::sameBytes(test::readBytes(another), before));
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), saved));
    EXPECT_TRUE(doc.SpriteDirty);
}

// The size meter's packer: whoever asks never waits, and when jobs come
// faster than they pack, the newest is the one whose figure arrives last.
TEST(BackgroundPacker, TheNewestJobWinsWhenJobsComeFasterThanTheyPack) {
    std::mutex lock;
    std::condition_variable reported;
    std::vector<std::pair<std::uint64_t, std::int64_t>> results;
    std::uint64_t last = 0;
    {
        BackgroundPacker packer([&](std::uint64_t job, std::optional<std::int64_t> size) {
            const std::lock_guard guard(lock);
            results.emplace_back(job, size.value_or(-1));
            reported.notify_all();
        });
        // 40 jobs of 400 tiles, asked for one right after the other.
        std::minstd_rand random(7);
        std::vector<PackingJob> jobs(40, PackingJob{Bytes(400 * 32), 100000});
        for (PackingJob& job : jobs) {
            for (std::uint8_t& byte : job.data)
                byte = static_cast<std::uint8_t>(random() % 3 * 0x11);
        }
        const PackingJob newest = jobs.back();
        for (PackingJob& job : jobs) last = packer.pack(std::move(job));
        std::unique_lock wait(lock);
        ASSERT_TRUE(reported.wait_for(wait, std::chrono::seconds(30), [&] {
            return !results.empty() && results.back().first == last;
        }));
        EXPECT_EQ(results.back().second, PackedSize(newest));
    }
    EXPECT_LT(results.size(), 40u);  // jobs that waited while another packed were dropped
    for (std::size_t i = 1; i < results.size(); ++i)
        EXPECT_LT(results[i - 1].first, results[i].first);
}

}  // namespace
}  // namespace tess::sprites
