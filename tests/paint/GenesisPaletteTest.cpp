#include <gtest/gtest.h>

#include <vector>

#include "paint/GenesisPalette.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/TestFiles.h"

using namespace tess::paint;
using tess::test::errorOf;
using tess::test::TempFile;

namespace {

constexpr std::int32_t kOffset = 40;

// A 128-byte "ROM" with a distinct byte everywhere and a palette line at 40
// whose words include unused high bits and odd nibbles.
std::vector<std::uint8_t> romBytes() {
    std::vector<std::uint8_t> bytes(128);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::uint8_t line[] = {0xAB, 0xCD,  // entry 0: never read
                                 0x0E, 0xEE, 0x00, 0x00, 0x08, 0x42, 0xF4, 0x00, 0x01, 0x35};
    std::copy(std::begin(line), std::end(line), bytes.begin() + kOffset);
    return bytes;
}

// That ROM in a file and the palette loaded from its line at 40.
struct LoadedPalette : ::testing::Test {
    TempFile rom{romBytes()};
    GenesisPalette palette{{1, 2, 3}};
    LoadedPalette() { palette.LoadPalette(rom.path(), kOffset); }
};

}  // namespace

TEST(GenesisColour, WordsBecomeScreenColoursAndBack) {
    EXPECT_EQ(GenesisToRgb(0x0E, 0xEE), (ScreenColour{224, 224, 224}));
    EXPECT_EQ(GenesisToRgb(0x00, 0x00), (ScreenColour{0, 0, 0}));
    EXPECT_EQ(GenesisToRgb(0x08, 0x42), (ScreenColour{32, 64, 128}));
    EXPECT_EQ(GenesisToRgb(0xF4, 0x00), GenesisToRgb(0x04, 0x00));
    EXPECT_EQ(GenesisToRgb(0x03, 0x5A), (ScreenColour{160, 0, 0}));  // odd nibbles show 0

    // Each grey rounds down to a level of 32 (channel order: the edit test below).
    for (int c = 0; c < 256; ++c) {
        const auto v = static_cast<std::uint8_t>(c);
        const auto level = static_cast<std::uint8_t>(32 * (c / 32));
        const GenesisWord w = RgbToGenesis({v, v, v});
        EXPECT_EQ(GenesisToRgb(w.high, w.low), (ScreenColour{level, level, level})) << c;
    }

    EXPECT_EQ(colourTooltip({224, 0, 0}), "E0");
    EXPECT_EQ(colourTooltip({0, 32, 224}), "E02000");
    EXPECT_EQ(colourTooltip({0, 0, 0}), "0");
}

// A save writes the words as they were read, unused bits and all, and after
// edits only entries 1 to 15.
TEST_F(LoadedPalette, LoadThenSaveLeavesTheRomByteForByteEditsChangeEntries1To15) {
    EXPECT_EQ(palette.PaletteOffset(), kOffset);
    EXPECT_EQ(palette.colour(0), (ScreenColour{1, 2, 3}));
    EXPECT_EQ(palette.colour(1), (ScreenColour{224, 224, 224}));
    EXPECT_EQ(palette.colour(4), (ScreenColour{0, 0, 64}));
    EXPECT_EQ(palette.word(4), (GenesisWord{0xF4, 0x00}));
    palette.SavePalette(rom.path());
    EXPECT_EQ(rom.bytes(), romBytes());

    std::vector<bool> changes;
    palette.setDirtyObserver([&](bool dirty) { changes.push_back(dirty); });

    palette.applyChosenColour(0, {250, 10, 10});
    EXPECT_EQ(palette.colour(0), (ScreenColour{250, 10, 10}));
    EXPECT_FALSE(palette.PaletteDirty());

    palette.applyChosenColour(5, {31, 32, 63});
    EXPECT_EQ(palette.word(5), (GenesisWord{0x02, 0x20}));
    EXPECT_EQ(palette.colour(5), (ScreenColour{0, 32, 32}));
    EXPECT_TRUE(palette.PaletteDirty());
    palette.LoadPalette(rom.path(), kOffset + 2);  // a load leaves the flag alone
    EXPECT_TRUE(palette.PaletteDirty());
    // Every entry gets a word that differs from the ROM's bytes.
    for (int i = 1; i < 16; ++i) {
        palette.applyChosenColour(i, {static_cast<std::uint8_t>(16 * i), 0x30, 0x40});
    }
    palette.SavePalette(rom.path());
    EXPECT_FALSE(palette.PaletteDirty());
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));

    auto expected = romBytes();
    for (int i = 1; i < 16; ++i) {
        const auto at = static_cast<std::size_t>(kOffset + 2 + 2 * i);
        expected[at] = 0x04;
        expected[at + 1] = static_cast<std::uint8_t>(0x20 | ((i & ~1) & 0x0F));
    }
    EXPECT_EQ(rom.bytes(), expected);  // bytes 44..73 only; entry 0 at 42 untouched
}

TEST_F(LoadedPalette, ShortFilesReadAsZeroUnreadableOnesChangeNothing) {
    EXPECT_EQ(errorOf([&] { palette.LoadPalette(rom.path(), -3); }), 63);
    EXPECT_EQ(errorOf([&] { palette.LoadPalette(rom.path() + ".gone", 0); }), 53);
    EXPECT_EQ(palette.PaletteOffset(), kOffset);
    EXPECT_EQ(palette.word(1), (GenesisWord{0x0E, 0xEE}));
    EXPECT_EQ(errorOf([&] { palette.colour(16); }), 9);
    EXPECT_EQ(errorOf([&] { palette.word(0); }), 9);

    palette.LoadPalette(rom.path(), 128 - 31);  // a line one byte past the end
    EXPECT_EQ(palette.word(15), (GenesisWord{rom.bytes()[127], 0x00}));
    EXPECT_EQ(palette.PaletteOffset(), 128 - 31);
    palette.applyChosenColour(1, {0, 0, 0});
    EXPECT_EQ(errorOf([&] { palette.SavePalette(rom.path() + ".gone"); }), 53);
    EXPECT_FALSE(std::filesystem::exists(rom.path() + ".gone"));
    EXPECT_TRUE(palette.PaletteDirty());
}
