#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "tests/support/ScriptedDialogs.h"
#include "widgets/PalettePanel.h"

using namespace tess;
using namespace tess::paint;
using namespace tess::widgets;

namespace {

struct PalettePanelTest : ::testing::Test {
    GenesisPalette palette{{212, 208, 200}};
    test::ScriptedDialogs dialogs;
    bool romLoaded = true;
    // The foreground swatch's colour as each redraw saw it.
    std::vector<ScreenColour> foreAtRedraw;
    PalettePanel panel{nullptr, palette, dialogs, [this] { return romLoaded; },
                       [this] { foreAtRedraw.push_back(panel.swatches().foreground().colour); }};

    PalettePanelTest() {
        for (int i = 1; i < 16; ++i)
            palette.setWord(i, {0x00, static_cast<std::uint8_t>(i & 0x0E)});
        palette.setWord(3, {0x0E, 0x20});  // (0, 32, 224)
        palette.setWord(7, {0x0E, 0x20});
        panel.refresh();
    }
    PaletteCell* cell(int i) {
        return panel.findChild<PaletteCell*>(QStringLiteral("picPal%1").arg(i));
    }
    // The events a real double-click sends.
    void doubleClick(QWidget* widget, Qt::MouseButton button) {
        QTest::mouseClick(widget, button);
        QTest::mouseDClick(widget, button);
        QTest::mouseRelease(widget, button);
    }
    void edit(int i, ScreenColour chosen) {
        dialogs.queueColour(chosen.packed());
        panel.EditPaletteEntry(i);
    }
};

}  // namespace

TEST_F(PalettePanelTest, EditingAnEntryRoundsItMarksThePaletteAndRedraws) {
    romLoaded = false;
    panel.EditPaletteEntry(5);  // no ROM: no dialog
    romLoaded = true;
    dialogs.queueColour(std::nullopt);
    panel.EditPaletteEntry(5);  // cancelled
    EXPECT_FALSE(palette.PaletteDirty());
    EXPECT_TRUE(foreAtRedraw.empty());

    edit(5, {255, 255, 255});
    EXPECT_EQ(dialogs.colourPresets(), (std::vector<std::uint32_t>{0x40, 0x40}));
    EXPECT_EQ(cell(5)->colour(), (ScreenColour{224, 224, 224}));
    EXPECT_EQ(cell(5)->toolTip(), "E0E0E0");
    EXPECT_TRUE(palette.PaletteDirty());
    EXPECT_EQ(foreAtRedraw.size(), 1u);

    // Entry 0 keeps the exact colour, its tooltip and the flag.
    palette.setPaletteDirty(false);
    edit(0, {250, 10, 10});
    EXPECT_EQ(cell(0)->colour(), (ScreenColour{250, 10, 10}));
    EXPECT_EQ(cell(0)->toolTip(), "Changing this, will change the background color of the window");
    EXPECT_FALSE(palette.PaletteDirty());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(PalettePanelTest, SwatchesFollowAnEditByColourNotByIndex) {
    panel.PickSwatchColour(7, Qt::LeftButton);
    panel.PickSwatchColour(3, Qt::RightButton);
    panel.PickSwatchColour(9, Qt::MiddleButton);

    // Entries 3 and 7 share a colour: editing 3 recolours both swatches, after
    // the redraw.
    edit(3, {0, 224, 0});
    EXPECT_EQ(foreAtRedraw.back(), (ScreenColour{0, 32, 224}));
    EXPECT_EQ(panel.swatches().foreground().index, 7);
    EXPECT_EQ(panel.swatches().foreground().colour, (ScreenColour{0, 224, 0}));
    EXPECT_EQ(panel.picFore()->colour(), (ScreenColour{0, 224, 0}));
    EXPECT_EQ(panel.swatches().background().colour, (ScreenColour{0, 224, 0}));
    EXPECT_EQ(palette.colour(7), (ScreenColour{0, 32, 224}));

    // Entry 0 recolours its followers before the redraw.
    panel.PickSwatchColour(0, Qt::LeftButton);
    edit(0, {1, 2, 3});
    EXPECT_EQ(foreAtRedraw.back(), (ScreenColour{1, 2, 3}));
    EXPECT_EQ(panel.swatches().background().colour, (ScreenColour{0, 224, 0}));
}

TEST_F(PalettePanelTest, MouseReleasePicksAndLeftDoubleClickEdits) {
    QTest::mouseClick(cell(4), Qt::LeftButton);
    QTest::mouseClick(cell(6), Qt::RightButton);
    QTest::mouseClick(cell(8), Qt::MiddleButton);
    EXPECT_EQ(panel.swatches().foreground().index, 4);
    EXPECT_EQ(panel.swatches().background().index, 6);

    doubleClick(cell(10), Qt::RightButton);  // a right double-click only picks
    EXPECT_EQ(panel.swatches().background().index, 10);
    EXPECT_TRUE(dialogs.colourPresets().empty());

    // Works without a ROM too; then the edit follows the double-click.
    romLoaded = false;
    QTest::mouseClick(cell(2), Qt::LeftButton);
    EXPECT_EQ(panel.swatches().foreground().index, 2);
    romLoaded = true;
    dialogs.queueColour(ScreenColour{160, 160, 160}.packed());
    doubleClick(cell(12), Qt::LeftButton);
    EXPECT_EQ(panel.swatches().foreground().index, 12);
    EXPECT_EQ(panel.swatches().foreground().colour, (ScreenColour{160, 160, 160}));
}
