#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/core/RuntimeError.h"
#include "gfx/core/TileCodec.h"
#include "gfx/core/TileLoading.h"
#include "tests/support/TempFile.h"

using namespace tess;
using namespace tess::gfx;
using tess::test::TempFile;

namespace {

// Records what the loaders draw, in order.
struct RecordingSurface : SpriteSurface {
    struct Cell {
        int x, y, index;
    };
    std::vector<Cell> cells;
    std::vector<std::pair<int, int>> hatches;
    std::vector<std::size_t> cellsBeforeHatch;

    void DrawCell(int x, int y, int index) override { cells.push_back({x, y, index}); }
    void HatchTile(int tx, int ty) override {
        hatches.emplace_back(tx, ty);
        cellsBeforeHatch.push_back(cells.size());
    }
};

int errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

std::vector<std::uint8_t> sampleTile() {
    std::vector<std::uint8_t> bytes(32);
    for (std::size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = static_cast<std::uint8_t>(k * 37 + 11);
    bytes[5] = 0x1F;
    return bytes;
}

// A 2 x 2 tile sprite and a file of two tiles: offset 0 = sampleTile, 32 = 0x21s.
struct TwoByTwo : ::testing::Test {
    TempFile file{[] {
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
    doc.CreateGrids({4, 4});
    EXPECT_EQ(doc.SpriteBuffer.upperX(), 32);
    EXPECT_EQ(doc.SpriteBuffer.upperY(), 32);
    EXPECT_EQ(doc.TileMap.upperX(), 4);
    EXPECT_EQ(doc.TileMap.upperY(), 4);
    EXPECT_EQ(doc.SpriteBuffer.at(32, 32), 0);
    EXPECT_EQ(errorOf([&] { doc.SpriteBuffer.at(33, 0); }), 9);
    EXPECT_EQ(errorOf([&] { doc.TileMap.at(0, -1); }), 9);

    doc.TileMap.at(1, 1) = 1;
    EXPECT_EQ(errorOf([&] { doc.CreateGrids({4096, 1}); }), 6);  // 8 * 4096 > 32767
    EXPECT_EQ(errorOf([&] { doc.CreateGrids({1, -1}); }), 9);
    EXPECT_EQ(doc.TileMap.at(1, 1), 1);  // failures keep the old sprite
    doc.CreateGrids({4095, 0});
    EXPECT_EQ(doc.SpriteBuffer.upperX(), 32760);
}

TEST_F(TwoByTwo, ReadTilePutsTheHighNibbleLeftDrawsAsItStoresAndEncodesBack) {
    ReadTile(file.path(), view, doc, 0, 0, 0, true);
    EXPECT_EQ(pixel(2, 1), 1);  // byte 5 = 0x1F
    EXPECT_EQ(pixel(3, 1), 15);
    ASSERT_EQ(view.cells.size(), 64u);
    EXPECT_EQ(view.cells[11].x, 3);
    EXPECT_EQ(view.cells[11].y, 1);
    EXPECT_EQ(view.cells[11].index, 15);

    const auto expected = sampleTile();
    const TileBytes encoded = EncodeTile(doc.SpriteBuffer, 0, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(encoded.begin(), encoded.end()), expected);

    // Pixel placement: the tile's corner at (3, 5), not a tile cell.
    ReadTile(file.path(), view, doc, 0, 3, 5, false);
    EXPECT_EQ(pixel(5, 6), 1);
    EXPECT_EQ(pixel(6, 6), 15);
    EXPECT_EQ(errorOf([&] { EncodeTile(doc.SpriteBuffer, 2, 0); }), 9);
    doc.SpriteBuffer.at(0, 0) = 16;
    EXPECT_EQ(errorOf([&] { EncodeTile(doc.SpriteBuffer, 0, 0); }), 6);
}

TEST_F(TwoByTwo, WhiteTileAtItsListOffsetFillsOnlyItsCell) {
    ASSERT_EQ(load("1,0,32"), 0);
    for (int y = 0; y <= 16; ++y) {
        for (int x = 0; x <= 16; ++x) {
            const bool inTile = x >= 8 && x <= 15 && y <= 7;
            EXPECT_EQ(pixel(x, y), inTile ? (x % 2 == 0 ? 2 : 1) : 0) << x << "," << y;
        }
    }
    for (int ty = 0; ty <= 2; ++ty) {
        for (int tx = 0; tx <= 2; ++tx) EXPECT_EQ(tile(tx, ty), tx == 1 && ty == 0 ? 1 : 0);
    }
}

TEST_F(TwoByTwo, ListLinesAreLoadedUpToTheFirstBadOne) {
    EXPECT_EQ(load(""), 0);
    EXPECT_TRUE(view.cells.empty());

    // The empty line after the last CR LF has no fields.
    EXPECT_EQ(load("0,0,0\r\n1,0,32\r\n"), 9);
    EXPECT_EQ(tile(0, 0), 1);
    EXPECT_EQ(tile(1, 0), 1);
    EXPECT_EQ(view.cells.size(), 128u);

    EXPECT_EQ(load("0,1,0\r\n1,1"), 9);
    EXPECT_EQ(tile(0, 1), 1);
    EXPECT_EQ(load("1,1,x"), 13);
    EXPECT_EQ(load("1,1,"), 13);  // three fields, the last one empty
    EXPECT_EQ(load("1,1,99999999999"), 6);
    EXPECT_EQ(tile(1, 1), 0);

    // Hex fields, extra fields ignored; a later line for a cell wins.
    EXPECT_EQ(load("&H1,&H1,&H20,junk\r\n1,1,0"), 0);
    EXPECT_EQ(pixel(10, 13), 1);
    EXPECT_EQ(load("1,1,&H20"), 0);
    EXPECT_EQ(pixel(10, 13), 2);
}

TEST_F(TwoByTwo, CellsOutsideTheSpriteFailAfterWhatFitsTheSpareColumnAndRow) {
    // Spare row: the tile's first pixel row fits the grid, then y = 17 fails.
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
    EXPECT_TRUE(view.cells.empty());
    EXPECT_EQ(tile(2, 0), 0);

    EXPECT_EQ(load("3,0,32"), 9);
    EXPECT_EQ(load("0,-1,32"), 9);
    EXPECT_EQ(load("268435456,0,0"), 6);  // 8 * tx beyond 32 bits
    EXPECT_TRUE(view.cells.empty());
}

TEST_F(TwoByTwo, GreyTilesAreHatchedAfterReadingAndWinOverWhite) {
    ASSERT_EQ(load("0,0,0\r\n1,1,0", "0,0,32\r\n1,0,32"), 0);
    EXPECT_EQ(tile(0, 0), 2);
    EXPECT_EQ(tile(1, 0), 2);
    EXPECT_EQ(tile(1, 1), 1);
    EXPECT_EQ(pixel(0, 0), 2);
    EXPECT_EQ((view.hatches), (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}}));
    EXPECT_EQ((view.cellsBeforeHatch), (std::vector<std::size_t>{192, 256}));
}

TEST_F(TwoByTwo, SourceFileProblems) {
    // Bytes past the end of the file read as 0.
    ASSERT_EQ(load("1,1,60"), 0);
    EXPECT_EQ(pixel(8, 8), 2);
    EXPECT_EQ(pixel(9, 8), 1);
    EXPECT_EQ(pixel(8, 9), 0);
    EXPECT_EQ(pixel(15, 15), 0);
    EXPECT_EQ(load("0,0,-1"), 63);

    const std::size_t drawn = view.cells.size();
    EXPECT_EQ(errorOf([&] { LoadWhiteTiles(file.path() + ".missing", "0,0,0", view, doc); }), 53);
    EXPECT_EQ(errorOf([&] { LoadWhiteTiles("/tmp", "0,0,0", view, doc); }), 75);
    EXPECT_EQ(view.cells.size(), drawn);
    EXPECT_EQ(tile(0, 0), 0);
}
