#include <gtest/gtest.h>

#include <filesystem>

#include "sprites/SpriteSelection.h"
#include "tests/support/SpriteGrids.h"
#include "tests/support/TestFiles.h"

namespace tess::sprites {
namespace {

using tiles::SpriteKind;

// Sprites of the Access fixture games over their fixture ROMs, loaded as a
// selection in the tree and the command line load them: every cell of both
// grids, and the palette's offset.
TEST(LoadSprite, TilesComeFromTheRomOrTheUnpackedBlockThePaletteFromTheRowOrTheGame) {
    struct Tile {
        int tx, ty;
        std::uint8_t state;
        std::size_t offset;  // in the ROM, or in a compressed sprite's unpacked block
    };
    struct Case {
        bool rev1;  // of the game's revision 01, else of the game
        tiles::SpriteChoice sprite;
        tiles::TileSize size;
        std::int32_t palette;
        test::FixtureBlock block;  // a compressed sprite's block in the ROM
        std::vector<Tile> tiles;
    };
    constexpr auto P = SpriteKind::Plain, C = SpriteKind::Compressed;
    constexpr std::uint8_t W = tiles::kWhiteTile, G = tiles::kGreyTile;
    const Case cases[] = {
        {false,
         {P, "Delta"},
         {2, 2},
         7712,
         {},
         {{0, 0, W, 4256}, {1, 1, W, 4288}, {1, 0, G, 4320}, {0, 1, G, 4352}}},
        {false, {P, "Beta"}, {1, 2}, 7712, {}, {{0, 0, W, 4160}}},                    // "Grey" NULL
        {true, {P, "Lima"}, {2, 1}, 0x1E40, {}, {{1, 0, W, 4128}, {0, 0, W, 4256}}},  // "&H1E40"
        {true, {P, "kilo"}, {1, 1}, 0x1E20, {}, {{0, 0, W, 4096}}},  // the game's palette
        {false,
         {C, "zebra"},
         {2, 2},
         7712,
         {6400, 4},
         {{0, 0, W, 0}, {1, 0, W, 32}, {0, 1, G, 64}, {1, 1, G, 96}}},
        {false, {C, "anvil"}, {1, 1}, 7680, {6656, 1}, {{0, 0, W, 0}}},  // "Grey" empty
        {true, {C, "golf"}, {1, 1}, 7712, {7424, 2}, {{0, 0, W, 32}}},
    };
    test::TempDir dir;
    const TempFiles files{dir.file("dump.bin"), dir.file("dumpc.bin")};
    const std::string rom = dir.file("game.bin");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sprite.name);
        const bool compressed = c.sprite.kind == SpriteKind::Compressed;
        test::writeFile(rom, test::fixtureGameRom(c.rev1 ? "T-00001 -01" : "T-00001 -00"));
        gamedb::GameDatabase db(TESS_TEST_DATA "/jet/");
        db.OpenGameData(c.rev1 ? "t00001r1.mdb" : "t00001.mdb");
        paint::GenesisPalette palette{paint::ScreenColour{}};
        tiles::SpriteDocument doc;
        tiles::NullLoadTarget view;
        ASSERT_TRUE(LoadSprite(db, rom, c.sprite, files, palette, doc, view, {}));

        const std::vector<std::uint8_t> source =
            compressed ? test::fixtureBlockData(c.block.offset, c.block.tiles)
                       : test::readBytes(rom);
        tiles::SpriteDocument expected;
        expected.CreateGrids(c.size);
        for (const Tile& t : c.tiles) {
            expected.TileMap.at(t.tx, t.ty) = t.state;
            for (int p = 0; p < 64; ++p) {
                const std::uint8_t byte = source[t.offset + static_cast<std::size_t>(p / 2)];
                expected.SpriteBuffer.at(8 * t.tx + p % 8, 8 * t.ty + p / 8) =
                    p % 2 == 0 ? byte >> 4 : byte & 15;
            }
        }
        EXPECT_TRUE(test::sameGrid(doc.TileMap, expected.TileMap));
        EXPECT_TRUE(test::sameGrid(doc.SpriteBuffer, expected.SpriteBuffer));
        EXPECT_EQ(palette.PaletteOffset(), c.palette);
        EXPECT_TRUE(doc.SpriteLoaded);
        EXPECT_EQ(doc.SpriteCompressed, compressed);
        // A compressed sprite's block is unpacked into "dump.bin", never packed on a load.
        if (compressed) {
            EXPECT_TRUE(test::sameBytes(test::readBytes(files.dump), source));
        }
        EXPECT_FALSE(std::filesystem::exists(files.dumpc));
        files.remove();
    }
}

}  // namespace
}  // namespace tess::sprites
