#include <gtest/gtest.h>

#include <QBitmap>
#include <QImage>
#include <QWidget>
#include <vector>

#include "tests/support/ErrorNumber.h"
#include "widgets/SpriteView.h"

using namespace tess::tiles;
using namespace tess::widgets;
using tess::test::errorOf;

namespace {

constexpr QRgb kMagenta = qRgb(255, 0, 255);
constexpr QRgb kEntry0 = qRgb(10, 20, 30);
constexpr QRgb kRed = qRgb(224, 0, 0);   // entry 1
constexpr QRgb kBlue = qRgb(0, 0, 224);  // entry 2
constexpr QRgb kGrey = qRgb(224, 224, 224);
constexpr QRgb kLightBlue = qRgb(192, 192, 255);

// A view in a 621 x 448 window at 15 twips per pixel.
struct SpriteViewTest : ::testing::Test {
    QWidget window;
    SpriteDocument doc;
    tess::paint::GenesisPalette palette{{10, 20, 30}};
    SpriteView view{&window, doc, palette};
    TileSize size;

    SpriteViewTest() {
        window.resize(621, 448);
        view.placeControls(15, 15);
        palette.setWord(1, {0x00, 0x0E});
        palette.setWord(2, {0x0E, 0x00});
        view.setSpriteSizeSource([this] { return size; });
    }
    // Loads a sprite of white tiles whose pixels are all `index`.
    void load(TileSize tiles, std::uint8_t index = 0) {
        size = tiles;
        doc.CreateGrids(tiles);
        doc.SpriteBuffer.fill(index);
        for (int t = 0; t < tiles.width * tiles.height; ++t) {
            doc.TileMap.at(t % tiles.width, t / tiles.width) = kWhiteTile;
        }
        doc.SpriteLoaded = true;
    }
    void zoom(int index) { view.ZoomCommand(index, true); }
    QImage surface(const QRect& rect) const { return view.picSprite()->grab(rect).toImage(); }
    QRgb at(int x, int y) const { return surface({x, y, 1, 1}).pixel(0, 0); }
    QScrollBar& h() { return *view.sprScrollH(); }
    QScrollBar& v() { return *view.sprScrollV(); }
};

}  // namespace

TEST_F(SpriteViewTest, TheCanvasSitsInTheFrameUnderACrosshair) {
    EXPECT_EQ(window.findChild<QWidget*>("picSprite")->parentWidget(), view.picEdBack());
    const QCursor cursor = view.picSprite()->cursor();
    EXPECT_EQ(cursor.hotSpot(), QPoint(16, 15));
    const QImage bits = cursor.bitmap().toImage();
    const QImage mask = cursor.mask().toImage();
    EXPECT_EQ(bits.pixelIndex(16, 10) + mask.pixelIndex(16, 10), 2);  // black tick above
    EXPECT_EQ(bits.pixelIndex(16, 15) - mask.pixelIndex(16, 15), 1);  // inverting plus
}

TEST_F(SpriteViewTest, SurfaceSizeAndScrollRangesFollowZoom) {
    view.RedrawSprite();  // nothing loaded: nothing happens
    EXPECT_TRUE(view.picSprite()->isHidden());
    load({4, 2});
    const int zooms[] = {1, 4, 6, 8, 16, 24};
    for (int i = 0; i < 6; ++i) {
        zoom(i);
        EXPECT_EQ(view.picSprite()->size(), QSize(32 * zooms[i], 16 * zooms[i]));
    }
    zoom(3);
    EXPECT_FALSE(h().isEnabled() || v().isEnabled());  // 256 x 128 fits

    load({4, 4});
    zoom(5);
    EXPECT_EQ(view.picSprite()->size(), QSize(768, 768));
    EXPECT_TRUE(h().isEnabled() && v().isEnabled());
    EXPECT_EQ(h().maximum(), 51);  // 51.2
    EXPECT_EQ(v().maximum(), 51);
    h().setValue(10);
    v().setValue(3);
    EXPECT_EQ(view.picSprite()->pos(), QPoint(-150, -45));

    view.ZoomCommand(0, false);  // without a ROM only Zoom changes
    EXPECT_EQ(view.Zoom(), 1);
    EXPECT_EQ(view.picSprite()->size(), QSize(768, 768));
    zoom(3);
    EXPECT_FALSE(h().isEnabled());
    EXPECT_EQ(view.picSprite()->pos(), QPoint(0, 0));
    EXPECT_EQ(errorOf([&] { view.ZoomCommand(6, true); }), 9);
}

TEST_F(SpriteViewTest, ScrollRangeRuleOnlyEnablesAndRoundsHalfToEven) {
    view.placeControls(16, 16);  // 90 dpi: the frame is 406 pixels wide
    load({55, 1});
    zoom(0);
    EXPECT_EQ(h().maximum(), 28);  // 440 / 16 = 27.5
    EXPECT_FALSE(v().isEnabled());
    load({57, 1});
    view.RedrawSprite();
    EXPECT_EQ(h().maximum(), 28);  // 28.5

    view.clearSurface({2, 2});  // the selection's steps
    view.applyScrollRange();
    EXPECT_TRUE(h().isEnabled());
    view.disableScrollBars();
    view.applyScrollRange();
    EXPECT_FALSE(h().isEnabled());
}

TEST_F(SpriteViewTest, CellsAreZoomSquaresAndEmptyTilesStayMagenta) {
    load({4, 4});
    doc.TileMap.at(1, 0) = kNoTile;
    doc.SpriteBuffer.at(3, 2) = 1;
    zoom(1);  // 4
    const QImage image = surface({0, 0, 64, 32});
    for (int y = 7; y <= 12; ++y) {
        for (int x = 11; x <= 16; ++x) {
            const bool inCell = x >= 12 && x <= 15 && y >= 8 && y <= 11;
            EXPECT_EQ(image.pixel(x, y), inCell ? kRed : kEntry0) << x << "," << y;
        }
    }
    EXPECT_EQ(image.pixel(32, 0), kMagenta);
    EXPECT_EQ(image.pixel(63, 31), kMagenta);

    // DrawCell and DrawCells paint whatever the tile map says; a redraw draws from the grids.
    view.DrawCell(8, 0, 2);
    view.DrawCell(0, 0, 255);
    EXPECT_EQ(at(33, 1), kBlue);
    EXPECT_EQ(at(1, 1), kEntry0);
    EXPECT_EQ(errorOf([&] { view.DrawCell(0, 0, 16); }), 9);
    // A run from left of the picture to beyond it: the cells inside show.
    view.DrawCells(-2, 1, std::vector<std::uint8_t>(40, 2));
    EXPECT_EQ(at(1, 5), kBlue);
    EXPECT_EQ(at(127, 5), kBlue);
    // In a run 255 draws nothing; 16 raises 9 after the cells before it were drawn.
    const std::vector<std::uint8_t> mixed{2, 255, 16, 2};
    EXPECT_EQ(errorOf([&] { view.DrawCells(0, 2, mixed); }), 9);
    EXPECT_EQ(at(1, 9), kBlue);
    EXPECT_EQ(at(5, 9), kEntry0);
    EXPECT_EQ(at(13, 9), kRed);
    view.RedrawSprite();
    EXPECT_EQ(at(33, 1), kMagenta);
    EXPECT_EQ(at(1, 5), kEntry0);

    palette.setWord(1, {0x00, 0xE0});  // colours are the palette's at paint time
    EXPECT_EQ(at(13, 9), qRgb(0, 224, 0));
}

TEST_F(SpriteViewTest, GreyTilesCarryAnOutlineAndCrossHatch) {
    load({2, 1}, 2);
    doc.TileMap.at(1, 0) = kGreyTile;
    view.RedrawSprite();  // zoom 8
    const QImage image = surface({0, 0, 128, 64});
    for (const QPoint p : {QPoint(64, 0), QPoint(127, 0), QPoint(64, 63), QPoint(127, 63),
                           QPoint(100, 0), QPoint(64, 30)}) {
        EXPECT_EQ(image.pixel(p), kGrey);
    }
    EXPECT_EQ(image.pixel(72, 8), kLightBlue);  // on hatch lines
    EXPECT_EQ(image.pixel(120, 8), kLightBlue);
    EXPECT_EQ(image.pixel(66, 5), kBlue);  // between them
    EXPECT_EQ(image.pixel(63, 0), kBlue);  // the white tile has neither
    EXPECT_EQ(image.pixel(8, 8), kBlue);
}

TEST_F(SpriteViewTest, GridDashesOutlinesFromZoom8AndStaysOnWhenZoomingOut) {
    load({1, 1}, 1);
    h().setValue(5);
    zoom(4);  // 16
    EXPECT_TRUE(view.GridCommand());
    EXPECT_EQ(h().value(), 0);
    EXPECT_EQ(view.picSprite()->pos(), QPoint(0, 0));
    const QImage cell = surface({16, 16, 16, 16});  // sprite pixel (1, 1)
    EXPECT_EQ(cell.pixel(0, 0), kRed);
    EXPECT_EQ(cell.pixel(2, 0), kMagenta);   // gap in the top edge
    EXPECT_EQ(cell.pixel(15, 6), kMagenta);  // gap in the right edge
    EXPECT_EQ(cell.pixel(15, 5), kRed);
    EXPECT_EQ(cell.pixel(2, 1), kRed);  // inside

    zoom(1);  // 4: the grid stays on
    EXPECT_TRUE(view.gridChecked());
    EXPECT_EQ(at(6, 4), kMagenta);
    EXPECT_FALSE(view.GridCommand());  // below 8: off
    EXPECT_EQ(at(6, 4), kRed);
    zoom(2);  // 6: clicking leaves it off
    EXPECT_FALSE(view.GridCommand());
    EXPECT_EQ(view.lineStyle(), SpriteRaster::LineStyle::Solid);
}

// 170 tiles at zoom 24 make the largest surface, 32640 pixels a side; one
// tile more overflows before anything changes.
TEST_F(SpriteViewTest, TheLargestSurfacePaintsThroughTheFrameAndOneTileMoreOverflows) {
    load({170, 170}, 1);
    doc.TileMap.at(169, 169) = kGreyTile;
    view.ZoomCommand(5, false);
    view.clearSurface(size);  // as a selection does: sized and shown
    view.RedrawSprite();
    h().setValue(h().maximum() - 2);
    v().setValue(v().maximum() - 2);
    EXPECT_EQ(view.picSprite()->pos(), QPoint(-32610, -32610));
    const QImage frame = view.picEdBack()->grab().toImage();
    ASSERT_EQ(frame.size(), QSize(433, 357));
    EXPECT_EQ(frame.pixel(29, 29), kGrey);  // bottom-right corner of the last tile
    EXPECT_EQ(frame.pixel(9, 10), kRed);    // between hatch lines

    load({171, 1});
    EXPECT_EQ(errorOf([&] { view.RedrawSprite(); }), 6);
    EXPECT_EQ(errorOf([&] { view.clearSurface({1, 171}); }), 6);
    EXPECT_EQ(view.picSprite()->width(), 32640);
    EXPECT_EQ(view.raster().upperX(), 8 * 170);
}
