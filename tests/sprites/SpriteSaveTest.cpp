#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "codec/Nemesis.h"
#include "paint/PaintTools.h"
#include "sprites/SpriteChoice.h"
#include "sprites/SpriteSave.h"
#include "tests/support/ErrorNumber.h"
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
        {"1,0,100\r\n0,0,200\r\n0,0,300", 0, 0, 200, 0},    // a cell listed twice: the first line
        {"&H1,&H0,&H20", 1, 0, 32, 0},                      // hex fields
        {"0,0,5\r\nx,0,400", 0, 0, 5, 0},                   // a bad line after the match is never read
        {"0,0,5\r\nx,0,400", 1, 1, std::nullopt, 13},       // but one before it is
        {"7\r\n0,0,5", 0, 0, std::nullopt, 9},              // a line of one field
        {"0,0,5\r\n", 1, 0, std::nullopt, 9},               // the empty line after a final CR LF
        {"1,0\r\n0,0,5", 0, 0, 5, 0},                       // two fields suffice on other lines
        {"1,0\r\n0,0,5", 1, 0, std::nullopt, 9},            // not on the matching one
        {"0,0,5", 1, 1, std::nullopt, 0},                   // not listed
        {"", 0, 0, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        std::optional<std::int32_t> offset;
        const int error = test::errorOf([&] { offset = WhiteTileList(c.list).offsetOf(c.tx, c.ty); });
        EXPECT_EQ(error, c.error) << c.list << " @" << c.tx << "," << c.ty;
        EXPECT_EQ(offset, c.offset) << c.list << " @" << c.tx << "," << c.ty;
    }
}

// A game "SAVETEST" in SQLite files with the rows a test gives, over the
// fixture ROM (plain data from 4096, Nemesis blocks, palettes at 7680).
class SpriteSave : public ::testing::Test {
protected:
    void makeGame(const std::string& spriteRows, const std::string& compressedRows) {
        test::makeSqliteDb(dir.file("game.mdb"),
                           "CREATE TABLE Games(\"Key\" INTEGER PRIMARY KEY, ID TEXT, \"Database\" TEXT);"
                           "INSERT INTO Games VALUES (1, 'SAVETEST', 'save.mdb');");
        test::makeSqliteDb(
            dir.file("save.mdb"),
            "CREATE TABLE NFO(ID INTEGER PRIMARY KEY, Name TEXT, Palette INTEGER, Completion TEXT,"
            " Author TEXT, Comment TEXT);"
            "INSERT INTO NFO VALUES (1, 'Save Test', 7680, '1', 'tests', '');"
            "CREATE TABLE HEAD(ID INTEGER PRIMARY KEY, Name TEXT);"
            "INSERT INTO HEAD VALUES (1, 'All');"
            "CREATE TABLE SPRITE(Name TEXT PRIMARY KEY COLLATE NOCASE, Heading INTEGER,"
            " Palette INTEGER, Width INTEGER, Height INTEGER, White TEXT, Grey TEXT);"
            "INSERT INTO SPRITE VALUES ('unused', 1, 0, 1, 1, '0,0,4096', '-1')" + spriteRows + ";"
            "CREATE TABLE COMPRESSED(Name TEXT PRIMARY KEY COLLATE NOCASE, SubHead TEXT,"
            " Palette INTEGER, Width INTEGER, Height INTEGER, White TEXT, Grey TEXT,"
            " \"Offset\" INTEGER, MaxSize INTEGER);"
            "INSERT INTO COMPRESSED VALUES ('unused', 'A', 0, 1, 1, '0,0,0', '', 6144, 256)" +
                compressedRows + ";");
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
                if (doc.TileMap.at(x / 8, y / 8) == tiles::kWhiteTile) doc.SpriteBuffer.at(x, y) = index;
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
        return SaveSprite(*db, rom, files, doc, hooks, mode);
    }
    // The ROM as it was, with `bytes` laid in at `offset`.
    Bytes romWith(std::initializer_list<std::pair<std::size_t, Bytes>> changes) const {
        Bytes expected = before;
        for (const auto& [offset, bytes] : changes) std::copy(bytes.begin(), bytes.end(), expected.begin() + offset);
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
    makeGame(",('plain', 1, 0, 2, 2, '1,0,4096\r\n0,0,8192\r\n0,0,12000\r\n1,1,9000', '0,1,5000')", "");
    load(SpriteKind::Plain, "plain");
    paint(3);
    const SaveOutcome outcome = save();
    EXPECT_EQ(outcome.result, Result::Saved);
    EXPECT_EQ(outcome.tiles, 3u);
    EXPECT_FALSE(doc.SpriteDirty);
    EXPECT_TRUE(unlisted.empty());
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom),
                                romWith({{4096, tile(1, 0)}, {8192, tile(0, 0)}, {9000, tile(1, 1)}})));
    EXPECT_FALSE(std::filesystem::exists(files.dump));

    // A white cell its list does not name is reported once, and the rest is saved again.
    doc.TileMap.at(0, 1) = tiles::kWhiteTile;  // as if the list had changed under the sprite
    paint(5);
    EXPECT_EQ(save().result, Result::Saved);
    EXPECT_EQ(unlisted, (std::vector<std::pair<int, int>>{{0, 1}}));
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom),
                                romWith({{4096, tile(1, 0)}, {8192, tile(0, 0)}, {9000, tile(1, 1)}})));
    EXPECT_FALSE(doc.SpriteDirty);
}

// A cell both lists name is grey, whichever list comes first in the row: the
// grey tile is shown, the pencil leaves it alone, and a save writes only the
// white tiles.
TEST_F(SpriteSave, ACellBothListsNameIsGreyNeitherPaintedNorSaved) {
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

        paint::ColourSwatches swatches{{}};
        swatches.setForeground({3, {}});
        paint::PaintTools pencil(doc, swatches, palette, view);
        for (int x = 0; x < 16; ++x) {
            pencil.ApplyTool(paint::kLeftButton, 0, static_cast<float>(x) + 0.5f, 0.5f, 1);
        }
        pencil.ReleaseTool(0, 15.5f, 0.5f, 1);
        EXPECT_EQ(doc.SpriteBuffer.at(7, 0), 3);  // the white tile took the stroke
        EXPECT_EQ(tile(1, 0), Bytes(greyAt, greyAt + 32));

        const SaveOutcome outcome = save();
        EXPECT_EQ(outcome.result, Result::Saved);
        EXPECT_EQ(outcome.tiles, 1u);
        Bytes saved = compressed ? source : Bytes{};
        if (compressed) std::ranges::copy(tile(0, 0), saved.begin());
        EXPECT_TRUE(test::sameBytes(test::readBytes(rom),
                                    compressed ? romWith({{kBlock, codec::encodeNemesis(saved).stream}})
                                               : romWith({{4096, tile(0, 0)}})));
    }
}

TEST_F(SpriteSave, CompressedBlockOfExactlyMaxSizeIsWrittenAndOneByteMoreIsRefused) {
    // The edit makes the block far smaller than the one in the ROM.
    const std::size_t oldSize = codec::encodeNemesis(test::fixtureBlockData(kBlock, 4)).stream.size();
    Bytes edited(128, 0);
    edited[0] = 0x70;
    const Bytes block = codec::encodeNemesis(edited).stream;
    const std::string size = std::to_string(block.size());
    ASSERT_LT(block.size(), oldSize);
    makeGame("", ",('exact', 'A', 0, 2, 2, '" + kAllFour + "', '', 6400, " + size + ")"
                 ",('tight', 'A', 0, 2, 2, '" + kAllFour + "', '', 6400, " + size + " - 1)");

    load(SpriteKind::Compressed, "tight");
    paint(0);
    const SaveOutcome refused = save();
    EXPECT_EQ(refused.result, Result::Oversize);
    EXPECT_EQ(refused.compressedSize, static_cast<std::int64_t>(block.size()));
    EXPECT_EQ(refused.maxSize, static_cast<std::int64_t>(block.size()) - 1);
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), before));
    EXPECT_FALSE(std::filesystem::exists(files.dumpc));
    EXPECT_TRUE(test::sameBytes(test::readBytes(files.dump), edited));  // the edits stay for the next try
    EXPECT_TRUE(doc.SpriteDirty);

    load(SpriteKind::Compressed, "exact");
    paint(0);
    EXPECT_EQ(save().result, Result::Saved);
    // Only the new block's bytes change; the old block's tail stays behind it.
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), romWith({{kBlock, block}})));
    EXPECT_TRUE(test::sameBytes(test::readBytes(files.dumpc), block));
    EXPECT_FALSE(doc.SpriteDirty);
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
    EXPECT_EQ(packed.compressedSize, static_cast<std::int64_t>(codec::encodeNemesis(edited).stream.size()));
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
    makeGame(",('past end', 1, 0, 2, 1, '0,0,4096\r\n1,0,16360', '-1')"
             ",('header', 1, 0, 2, 1, '0,0,4096\r\n1,0,400', '-1')",
             ",('block at end', 'A', 0, 1, 1, '0,0,0', '', " + atEnd + ", 1000)"
             ",('block on header', 'A', 0, 1, 1, '0,0,0', '', 300, 1000)"
             ",('tile past data', 'A', 0, 2, 1, '0,0,0\r\n1,0,32', '', 6144, 1000)");
    before = romWith({{16384 - stream.size(), stream}, {300, stream}});
    test::writeBytes(rom, before);

    for (const auto& [kind, name] : {std::pair{SpriteKind::Plain, "past end"}, {SpriteKind::Plain, "header"},
                                     {SpriteKind::Compressed, "block at end"},
                                     {SpriteKind::Compressed, "block on header"},
                                     {SpriteKind::Compressed, "tile past data"}}) {
        SCOPED_TRACE(name);
        load(kind, name);
        // Pixels that compress worse than a blank tile, so the block grows.
        for (int y = 0; y < doc.SpriteBuffer.upperY(); ++y) {
            for (int x = 0; x < 8; ++x) doc.SpriteBuffer.at(x, y) = static_cast<std::uint8_t>((x * x * 7 + y * 5) % 16);
        }
        doc.SpriteDirty = true;
        const SaveOutcome outcome = save();
        EXPECT_EQ(outcome.result, Result::Refused);
        EXPECT_TRUE(outcome.reason.starts_with("Nothing was saved: ")) << outcome.reason;
        EXPECT_TRUE(test::sameBytes(test::readBytes(rom), before));
        EXPECT_TRUE(doc.SpriteDirty);
    }
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

TEST_F(SpriteSave, NothingIsWrittenByARowThatNoLongerBelongsToTheSprite) {
    makeGame(",('plain', 1, 0, 1, 1, '0,0,4096', '-1')", "");
    EXPECT_EQ(save().result, Result::NothingLoaded);
    load(SpriteKind::Plain, "plain");
    paint(4);
    db->table(gamedb::GameDatabase::SPRITE).moveFirst();  // what identifying another ROM does
    doc.GridsRow.reset();
    EXPECT_EQ(save().result, Result::RowNotCurrent);
    // A compressed selection that failed before its white tiles kept SpriteCompressed false.
    doc.GridsRow = SpriteKind::Compressed;
    EXPECT_EQ(save().result, Result::RowNotCurrent);
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), before));
    EXPECT_TRUE(doc.SpriteDirty);
}

}  // namespace
}  // namespace tess::sprites
