#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ErrorNumber.h"
#include "tests/support/TestFiles.h"
#include "tiles/TileCodec.h"
#include "tiles/TileLoading.h"

using namespace tess::tiles;
using tess::test::errorOf;

namespace {

// Records what the loaders draw, in order.
struct RecordingSurface : SpriteSurface {
    std::vector<std::array<int, 3>> cells;            // x, y, index
    std::vector<std::array<std::size_t, 3>> hatches;  // tx, ty, cells drawn before
    void DrawCell(int x, int y, int index) override { cells.push_back({x, y, index}); }
    void HatchTile(int tx, int ty) override {
        hatches.push_back({std::size_t(tx), std::size_t(ty), cells.size()});
    }
    void setMagentaBackground() override {}
};

std::vector<std::uint8_t> sampleTile() {
    std::vector<std::uint8_t> bytes(32);
    for (std::size_t k = 0; k < 32; ++k) bytes[k] = static_cast<std::uint8_t>(k * 37 + 11);
    bytes[5] = 0x1F;
    return bytes;
}

// A 2 x 2 tile sprite and a file of two tiles: sampleTile at 0, 0x21s at 32.
struct TwoByTwo : ::testing::Test {
    tess::test::TempFile file{[] {
        auto bytes = sampleTile();
        bytes.resize(64, 0x21);
        return bytes;
    }()};
    SpriteDocument doc;
    RecordingSurface view;
    TwoByTwo() { doc.CreateGrids({2, 2}); }

    int load(const std::string& white, const std::string& grey = "") {
        return errorOf([&] {
            LoadWhiteTiles(file.path(), white, view, doc);
            LoadGreyTiles(file.path(), grey, view, doc);
        });
    }
    int pixel(int x, int y) const { return doc.SpriteBuffer.at(x, y); }
    int tile(int tx, int ty) const { return doc.TileMap.at(tx, ty); }
};

}  // namespace

TEST(SpriteDocument, GridsHaveOneSpareColumnAndRowAndRefuseBadSizes) {
    SpriteDocument doc;
    EXPECT_EQ(errorOf([&] { doc.SpriteBuffer.at(0, 0); }), 9);  // no sprite yet
    doc.CreateGrids({4, 3});
    EXPECT_EQ(doc.SpriteBuffer.upperX(), 32);
    EXPECT_EQ(doc.SpriteBuffer.upperY(), 24);
    EXPECT_EQ(doc.TileMap.upperX(), 4);
    EXPECT_EQ(doc.SpriteBuffer.at(32, 24), 0);
    EXPECT_EQ(errorOf([&] { doc.SpriteBuffer.at(33, 0); }), 9);

    doc.TileMap.at(1, 1) = 1;
    EXPECT_EQ(errorOf([&] { doc.CreateGrids({4096, 1}); }), 6);  // 8 * 4096 > 32767
    EXPECT_EQ(errorOf([&] { doc.CreateGrids({1, -1}); }), 9);
    EXPECT_EQ(doc.TileMap.at(1, 1), 1);  // failures keep the old sprite
}

TEST_F(TwoByTwo, ReadTilePutsTheHighNibbleLeftDrawsAsItStoresAndEncodesBack) {
    ReadTile(file.path(), view, doc, 0, 0, 0, true);
    EXPECT_EQ(pixel(2, 1), 1);  // byte 5 = 0x1F
    EXPECT_EQ(pixel(3, 1), 15);
    ASSERT_EQ(view.cells.size(), 64u);
    EXPECT_EQ(view.cells[11], (std::array<int, 3>{3, 1, 15}));
    const TileBytes encoded = EncodeTile(doc.SpriteBuffer, 0, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(encoded.begin(), encoded.end()), sampleTile());

    ReadTile(file.path(), view, doc, 0, 3, 5, false);  // corner at pixel (3, 5)
    EXPECT_EQ(pixel(6, 6), 15);
    EXPECT_EQ(errorOf([&] { EncodeTile(doc.SpriteBuffer, 2, 0); }), 9);
}

TEST_F(TwoByTwo, WhiteTileAtItsListOffsetFillsOnlyItsCell) {
    ASSERT_EQ(load("1,0,32"), 0);
    for (int y = 0; y <= 16; ++y) {
        for (int x = 0; x <= 16; ++x) {
            const bool inTile = x >= 8 && x <= 15 && y <= 7;
            EXPECT_EQ(pixel(x, y), inTile ? (x % 2 == 0 ? 2 : 1) : 0) << x << "," << y;
        }
    }
    for (int t = 0; t < 9; ++t) EXPECT_EQ(tile(t % 3, t / 3), t == 1 ? 1 : 0);
}

TEST_F(TwoByTwo, ListLinesAreLoadedUpToTheFirstBadOne) {
    EXPECT_EQ(load(""), 0);
    EXPECT_TRUE(view.cells.empty());
    // The empty line after the last CR LF has no fields.
    EXPECT_EQ(load("0,0,0\r\n1,0,32\r\n"), 9);
    EXPECT_EQ(tile(0, 0) + tile(1, 0), 2);
    EXPECT_EQ(load("0,1,0\r\n1,1"), 9);
    EXPECT_EQ(tile(0, 1), 1);
    EXPECT_EQ(load("1,1,x"), 13);
    EXPECT_EQ(load("1,1,"), 13);  // three fields, the last one empty
    EXPECT_EQ(tile(1, 1), 0);
    // Hex fields, extra fields ignored.
    EXPECT_EQ(load("&H1,&H1,&H20,junk"), 0);
    EXPECT_EQ(pixel(10, 13), 2);
}

TEST_F(TwoByTwo, CellsOutsideTheSpriteFailAfterWhatFitsTheSpareColumnAndRow) {
    // Spare row: the first pixel row fits the grid, then y = 17 fails.
    EXPECT_EQ(load("1,2,0"), 9);
    const auto bytes = sampleTile();
    for (int x = 8; x <= 15; ++x) {
        const int b = bytes[static_cast<std::size_t>((x - 8) / 2)];
        EXPECT_EQ(pixel(x, 16), x % 2 == 0 ? b >> 4 : b & 15);
    }
    EXPECT_EQ(view.cells.size(), 8u);
    EXPECT_EQ(tile(1, 2), 0);

    // Spare column: x = 16 is stored, x = 17 fails before anything is drawn.
    view.cells.clear();
    EXPECT_EQ(load("2,0,32"), 9);
    EXPECT_EQ(pixel(16, 0), 2);
    EXPECT_EQ(load("3,0,32"), 9);
    EXPECT_EQ(load("0,-1,32"), 9);
    EXPECT_TRUE(view.cells.empty());
}

TEST_F(TwoByTwo, GreyTilesAreHatchedAfterReadingAndWinOverWhite) {
    ASSERT_EQ(load("0,0,0\r\n1,1,0", "0,0,32\r\n1,0,32"), 0);
    EXPECT_EQ(tile(0, 0), 2);
    EXPECT_EQ(tile(1, 0), 2);
    EXPECT_EQ(tile(1, 1), 1);
    EXPECT_EQ(pixel(0, 0), 2);
    using Hatch = std::array<std::size_t, 3>;
    EXPECT_EQ(view.hatches, (std::vector<Hatch>{{0, 0, 192}, {1, 0, 256}}));
}

TEST_F(TwoByTwo, SourceFileProblems) {
    ASSERT_EQ(load("1,1,60"), 0);  // bytes past the end of the file read as 0
    EXPECT_EQ(pixel(8, 8), 2);
    EXPECT_EQ(pixel(8, 9), 0);
    EXPECT_EQ(load("0,0,-1"), 63);
    const std::size_t drawn = view.cells.size();
    EXPECT_EQ(errorOf([&] { LoadWhiteTiles(file.path() + ".gone", "0,0,0", view, doc); }), 53);
    EXPECT_EQ(errorOf([&] { LoadWhiteTiles("/tmp", "0,0,0", view, doc); }), 75);
    EXPECT_EQ(view.cells.size(), drawn);
    EXPECT_EQ(tile(0, 0), 0);
}
