#include <gtest/gtest.h>

#include <algorithm>
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

// Sixteen distinct colours, entry 0 black.
SpriteColours colours() {
    SpriteColours c;
    for (int i = 1; i < 16; ++i) {
        c[static_cast<std::size_t>(i)] =
            paint::GenesisToRgb(static_cast<std::uint8_t>(2 * (7 - i % 8)),
                                static_cast<std::uint8_t>((i >= 8 ? 0xE0 : 0x40) | 2 * (i % 8)));
    }
    return c;
}

// A document of one tile, white, so that 8 x 8 images fit it.
tiles::SpriteDocument oneTile() {
    tiles::SpriteDocument doc;
    doc.CreateGrids({1, 1});
    doc.TileMap.at(0, 0) = tiles::kWhiteTile;
    return doc;
}

std::vector<std::uint8_t> indicesOf(const IndexedPicture& picture) {
    std::vector<std::uint8_t> indices;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) indices.push_back(picture.at(x, y));
    }
    return indices;
}

std::optional<ImageImport> importBytes(const std::vector<std::uint8_t>& file,
                                       const SpriteColours& with = colours()) {
    test::TempDir dir;
    test::writeBytes(dir / "image", file);
    return ReadImageImport(dir.file("image"), oneTile(), with);
}

// Pixel (x, y) of an 8 x 8 test pattern, below `limit`.
std::uint8_t patternAt(int x, int y, int limit) {
    return static_cast<std::uint8_t>((x + 3 * y) % limit);
}

// The 8 x 8 pattern's scanlines packed at `bits` a sample.
std::vector<std::uint8_t> packedPattern(int bits, int limit) {
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < 8; ++y) {
        int acc = 0, filled = 0;
        for (int x = 0; x < 8; ++x) {
            acc = acc << bits | patternAt(x, y, limit);
            filled += bits;
            if (filled == 8) {
                rows.push_back(static_cast<std::uint8_t>(acc));
                acc = filled = 0;
            }
        }
        if (filled) rows.push_back(static_cast<std::uint8_t>(acc << (8 - filled)));
    }
    return rows;
}

TEST(SpriteImage, PalettePngsGiveTheirStoredIndicesAtEveryBitDepth) {
    struct Case {
        const char* what;
        int bits;
        int limit;  // indices used: 0 .. limit - 1
        int plteEntries;
    };
    const Case cases[] = {
        {"1-bit, both entries the same colour", 1, 2, 2},
        {"2-bit", 2, 4, 4},
        {"4-bit", 4, 16, 16},
        {"8-bit", 8, 16, 16},
        {"indices beyond a palette of 2 entries", 8, 12, 2},
    };
    for (const Case& c : cases) {
        test::PngContent png{8, 8, 3, c.bits, packedPattern(c.bits, c.limit)};
        png.plte.assign(3 * static_cast<std::size_t>(c.plteEntries), 0);  // all black
        const auto read = importBytes(test::pngFile(png));
        ASSERT_TRUE(read) << c.what;
        std::vector<std::uint8_t> expected;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) expected.push_back(patternAt(x, y, c.limit));
        }
        EXPECT_EQ(indicesOf(read->picture), expected) << c.what;
        EXPECT_EQ(read->inexactPixels, 0u) << c.what;
    }
}

TEST(SpriteImage, ColourPngsTakeTheNearestEntryTheirTransparentPixelsZero) {
    const SpriteColours c = colours();
    const auto c5 = c[5];
    const auto c9 = c[9];
    // RGBA, 8 bits: exact, near entry 9, transparent, black (entry 0's colour), then exact.
    std::vector<std::uint8_t> rgba;
    auto put = [&](paint::ScreenColour p, std::uint8_t alpha) {
        rgba.insert(rgba.end(), {p.r, p.g, p.b, alpha});
    };
    put(c5, 255);
    put({static_cast<std::uint8_t>(c9.r + 6), static_cast<std::uint8_t>(c9.g + 3),
         static_cast<std::uint8_t>(c9.b - 2)},
        255);
    put(c9, 0);
    put({0, 0, 0}, 255);
    while (rgba.size() < 8 * 8 * 4) put(c5, 255);
    const auto read = importBytes(test::pngFile({8, 8, 6, 8, rgba}));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->inexactPixels, 1u);
    EXPECT_EQ(read->note(),
              "1 pixel had no exact colour in the sprite's palette and took the nearest one.");
    const auto picked = indicesOf(read->picture);
    EXPECT_EQ(std::vector(picked.begin(), picked.begin() + 4),
              (std::vector<std::uint8_t>{5, 9, 0, 0}));
    // On a tie a visible entry wins over entry 0.
    SpriteColours withBlack = c;
    withBlack[12] = {0, 0, 0};
    EXPECT_EQ(indicesOf(importBytes(test::pngFile({8, 8, 6, 8, rgba}), withBlack)->picture)[3], 12);

    // A colour key (tRNS) makes its pixels transparent at 16 bits as at 8. Every
    // other pixel is keyed; the key differs from entry 5's colour only in the
    // least significant bits of its red sample.
    for (const int bits : {8, 16}) {
        const std::array<std::uint8_t, 3> visible = {c5.r, c5.g, c5.b};
        std::vector<std::uint8_t> rgb, key;
        for (int i = 0; i < 64; ++i) {
            for (std::size_t s = 0; s < 3; ++s) {
                const bool marked = i % 2 == 0 && s == 0;  // the red sample of a keyed pixel
                if (bits == 8)
                    rgb.push_back(static_cast<std::uint8_t>(visible[s] + (marked ? 1 : 0)));
                if (bits == 16)
                    rgb.insert(rgb.end(), {visible[s], static_cast<std::uint8_t>(marked ? 1 : 0)});
            }
        }
        for (std::size_t s = 0; s < 3; ++s) {
            // tRNS holds 16-bit samples; at 8 bits their high byte is 0.
            const auto low = static_cast<std::uint8_t>(s == 0);
            if (bits == 16) key.insert(key.end(), {visible[s], low});
            if (bits == 8) key.insert(key.end(), {0, static_cast<std::uint8_t>(visible[s] + low)});
        }
        test::PngContent keyed{8, 8, 2, bits, rgb};
        keyed.trns = key;
        const auto keyedRead = importBytes(test::pngFile(keyed));
        ASSERT_TRUE(keyedRead) << bits;
        const auto indices = indicesOf(keyedRead->picture);
        EXPECT_EQ(indices[0], 0) << bits;
        EXPECT_EQ(indices[1], 5) << bits;
        EXPECT_EQ(std::count(indices.begin(), indices.end(), 0), 32) << bits;
    }
}

TEST(SpriteImage, BitmapRowsArePaddedBottomUpOrTopDownAndShortFilesReadAsZero) {
    constexpr auto pattern = [](int x, int y) { return (3 * x + 5 * y + 1) % 16; };
    // Width 5: each row is 3 bytes of pixels padded to 4; a bitmap may be of any size.
    for (const int height : {3, -3}) {
        const auto read = importBytes(test::bitmapFile(5, height, pattern));
        ASSERT_TRUE(read);
        ASSERT_EQ(read->picture.width(), 5);
        ASSERT_EQ(read->picture.height(), 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(read->picture.at(x, y), pattern(x, y)) << height << " " << x << "," << y;
        }
    }
    // Cut after the first stored row (the bottom one); the image size field says 0.
    std::vector<std::uint8_t> cut = test::bitmapFile(5, 3, pattern);
    cut.resize(118 + 4);
    std::fill(cut.begin() + 34, cut.begin() + 38, 0);
    const auto read = importBytes(cut);
    EXPECT_EQ(read->picture.at(4, 2), pattern(4, 2));
    EXPECT_EQ(read->picture.at(4, 0), 0);
}

TEST(SpriteImage, WhatCannotGoInIsRefusedInWordsAndAnEmptyFileIsNothing) {
    EXPECT_FALSE(importBytes({}));
    test::PngContent index16{8, 8, 3, 8, packedPattern(8, 21)};
    index16.plte.assign(3 * 21, 0);
    std::vector<std::uint8_t> cut =
        test::pngFile({8, 8, 3, 8, std::vector<std::uint8_t>(64), {0, 0, 0}});
    cut.resize(cut.size() - 20);
    // A message ending in ": " is followed by libpng's reason.
    const std::pair<std::vector<std::uint8_t>, std::string> refused[] = {
        {test::bitmapFile(
             8, 8, [](int, int) { return 1; }, 8),
         "Error: Only supports 4bit (16-color) bitmaps."},
        {{'G', 'I', 'F', '8', '9', 'a'}, "The file is neither a PNG nor a BMP image."},
        {test::pngFile({16, 8, 3, 8, std::vector<std::uint8_t>(128), {0, 0, 0}}),
         "The image is 16 x 8 pixels; this sprite needs 8 x 8 (1 x 1 tiles)."},
        {test::pngFile(index16),
         "Pixel (7, 3) uses palette index 16; a sprite has 16 colours, indices 0 to 15."},
        {cut, "The PNG image cannot be read: "},
    };
    for (const auto& [file, message] : refused) {
        try {
            importBytes(file);
            ADD_FAILURE() << message;
        } catch (const ImageRefused& refusal) {
            const std::string what = refusal.what();
            EXPECT_EQ(message.ends_with(": ") ? what.substr(0, message.size()) : what, message);
        }
    }
}

TEST(SpriteImage, PicturesGoIntoWhiteTilesOnly) {
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
}

TEST(SpriteImage, ExportedPngsGiveTheSpritesIndicesBackAndEntryZeroIsTransparent) {
    tiles::SpriteDocument doc = oneTile();
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) doc.SpriteBuffer.at(x, y) = patternAt(x, y, 16);
    }
    const SpriteColours c = colours();
    const std::vector<std::uint8_t> png = SpritePng(doc, c);
    const auto read = importBytes(png);
    ASSERT_TRUE(read);
    EXPECT_EQ(indicesOf(read->picture), packedPattern(8, 16));
    // PLTE holds the colours, tRNS makes entry 0 alone transparent.
    const auto plte = std::search(png.begin(), png.end(), std::begin("PLTE"), std::end("PLTE") - 1);
    ASSERT_NE(plte, png.end());
    EXPECT_EQ(plte[4 + 3 * 5], c[5].r);
    const auto trns = std::search(png.begin(), png.end(), std::begin("tRNS"), std::end("tRNS") - 1);
    ASSERT_NE(trns, png.end());
    EXPECT_EQ(trns[-1], 1);  // the chunk's length: one entry
    EXPECT_EQ(trns[4], 0);
}

}  // namespace
}  // namespace tess::sprites
