#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "sprites/ColourDifference.h"
#include "sprites/SpriteImage.h"
#include "tests/support/TestFiles.h"

namespace tess::sprites {
namespace {

TEST(ColourDifference, Ciede2000MatchesPublishedReferencePairs) {
    // Pairs from the CIEDE2000 paper's test data (Sharma, Wu and Dalal),
    // chosen for the hue-angle and lightness cases an implementation gets wrong.
    struct Pair {
        Lab a, b;
        double expected;
    };
    const Pair pairs[] = {
        {{50.0, 2.6772, -79.7751}, {50.0, 0.0, -82.7485}, 2.0425},
        {{50.0, 0.0, 0.0}, {50.0, -1.0, 2.0}, 2.3669},
        {{50.0, 2.49, -0.001}, {50.0, -2.49, 0.0009}, 7.1792},
        {{50.0, 2.49, -0.001}, {50.0, -2.49, 0.0011}, 7.2195},
        {{50.0, 2.5, 0.0}, {73.0, 25.0, -18.0}, 27.1492},
        {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
        {{22.7233, 20.0904, -46.694}, {23.0331, 14.973, -42.5619}, 2.0373},
        {{2.0776, 0.0795, -1.135}, {0.9033, -0.0636, -0.5514}, 0.9082},
    };
    for (const Pair& p : pairs) {
        EXPECT_NEAR(Ciede2000(p.a, p.b), p.expected, 5e-5) << p.expected;
        EXPECT_NEAR(Ciede2000(p.b, p.a), p.expected, 5e-5) << p.expected;
    }
    EXPECT_NEAR(ToLab({255, 255, 255}).L, 100.0, 1e-3);
    EXPECT_EQ(Ciede2000(paint::ScreenColour{10, 20, 30}, paint::ScreenColour{10, 20, 30}), 0.0);
}

// Sixteen distinct Genesis colours, entry 0 black.
paint::GenesisPalette palette() {
    paint::GenesisPalette p{paint::ScreenColour{}};
    for (int i = 1; i < 16; ++i) {
        p.setWord(i, paint::RgbToGenesis({static_cast<std::uint8_t>(32 * (i % 8)), static_cast<std::uint8_t>(i >= 8 ? 224 : 64),
                                         static_cast<std::uint8_t>(32 * (7 - i % 8))}));
    }
    return p;
}

TEST(SpriteImage, ColourPngsTakeTheNearestEntryAndCountTheMisses) {
    const paint::GenesisPalette colours = palette();
    test::TempDir dir;
    QImage image(4, 1, QImage::Format_ARGB32);
    const auto c5 = colours.colour(5);
    const auto c9 = colours.colour(9);
    image.setPixel(0, 0, qRgb(c5.r, c5.g, c5.b));                // exact
    image.setPixel(1, 0, qRgb(c9.r + 6, c9.g + 3, c9.b - 2));     // near entry 9
    image.setPixel(2, 0, qRgba(c9.r, c9.g, c9.b, 0));            // transparent: 0 whatever its colour
    image.setPixel(3, 0, qRgb(0, 0, 0));                         // entry 0's colour
    ASSERT_TRUE(image.save(QString::fromStdString(dir.file("rgba.png"))));
    const SpriteImage read = ReadSpriteImage(dir.file("rgba.png"), colours);
    EXPECT_FALSE(read.bitmap);
    EXPECT_EQ(read.inexactPixels, 1u);
    EXPECT_EQ(read.picture.at(0, 0), 5);
    EXPECT_EQ(read.picture.at(1, 0), 9);
    EXPECT_EQ(read.picture.at(2, 0), 0);
    EXPECT_EQ(read.picture.at(3, 0), 0);

    // On a tie a visible entry wins over entry 0.
    paint::GenesisPalette withBlack = colours;
    withBlack.setWord(12, {0, 0});
    EXPECT_EQ(ReadSpriteImage(dir.file("rgba.png"), withBlack).picture.at(3, 0), 12);
}

TEST(SpriteImage, BitmapRowsArePaddedBottomUpOrTopDownAndShortFilesReadAsZero) {
    test::TempDir dir;
    constexpr auto pattern = [](int x, int y) { return (3 * x + 5 * y + 1) % 16; };
    // Width 5: each row is 3 bytes of pixels padded to 4.
    for (const int height : {3, -3}) {
        test::writeBytes(dir / "odd.bmp", test::bitmapFile(5, height, pattern));
        const SpriteImage read = ReadSpriteImage(dir.file("odd.bmp"), palette());
        ASSERT_TRUE(read.bitmap);
        ASSERT_EQ(read.picture.width(), 5);
        ASSERT_EQ(read.picture.height(), 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) EXPECT_EQ(read.picture.at(x, y), pattern(x, y)) << height << " " << x << "," << y;
        }
    }
    // Cut after the first stored row (the bottom one); the image size field says 0.
    std::vector<std::uint8_t> cut = test::bitmapFile(5, 3, pattern);
    cut.resize(118 + 4);
    std::fill(cut.begin() + 34, cut.begin() + 38, 0);
    test::writeBytes(dir / "cut.bmp", cut);
    const SpriteImage read = ReadSpriteImage(dir.file("cut.bmp"), palette());
    EXPECT_EQ(read.picture.at(4, 2), pattern(4, 2));
    EXPECT_EQ(read.picture.at(4, 0), 0);
}

TEST(SpriteImage, PicturesGoIntoWhiteTilesOnlyAndMustMatchTheSpriteSize) {
    tiles::SpriteDocument doc;
    doc.CreateGrids({2, 1});
    doc.TileMap.at(0, 0) = tiles::kWhiteTile;
    doc.TileMap.at(1, 0) = tiles::kGreyTile;
    // Larger than the sprite: what lies beyond it is passed over.
    const IndexedPicture big(20, 12, std::vector<std::uint8_t>(240, 7));
    EXPECT_EQ(LayPicture(big, doc), 64u);
    EXPECT_EQ(doc.SpriteBuffer.at(7, 7), 7);
    EXPECT_EQ(doc.SpriteBuffer.at(8, 0), 0);   // grey
    EXPECT_EQ(doc.SpriteBuffer.at(16, 8), 0);  // the spare column and row
    // Smaller: only what it covers changes.
    EXPECT_EQ(LayPicture(IndexedPicture(2, 1, {3, 3}), doc), 2u);
    EXPECT_EQ(doc.SpriteBuffer.at(1, 0), 3);
    EXPECT_EQ(doc.SpriteBuffer.at(2, 0), 7);

    try {
        RequireSpriteSize(big, doc);
        FAIL() << "a picture of another size was taken";
    } catch (const ImageRefused& refusal) {
        EXPECT_STREQ(refusal.what(), "The image is 20 x 12 pixels; this sprite needs 16 x 8 (2 x 1 tiles).");
    }
    RequireSpriteSize(IndexedPicture(16, 8, std::vector<std::uint8_t>(128)), doc);
}

}  // namespace
}  // namespace tess::sprites
