#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "tests/support/QtPrinters.h"
#include "tests/window/FixtureWindow.h"
#include "widgets/PalettePanel.h"

namespace tess::window {
namespace {

constexpr QRgb kMagenta = qRgb(255, 0, 255);

class SpriteSelection : public test::FixtureWindow {
protected:
    // The sprite pixel at (x, y) as ReadTile decodes the fixture ROM.
    static int romPixel(std::size_t offset, int x, int y) {
        const std::size_t byte = offset + static_cast<std::size_t>(y * 4 + x / 2);
        const int value = static_cast<int>((byte * 7 + 3) & 0xFF);
        return x % 2 == 0 ? value >> 4 : value & 0x0F;
    }
};

TEST_F(SpriteSelection, PlainSpriteTakesItsTilesAndTheGameDefaultPalette) {
    select("alpha");  // palette 0, 2 x 1 tiles at 4096 and 4128
    EXPECT_TRUE(dialogs.messages().empty());
    const auto& doc = state.Sprite;
    ASSERT_TRUE(doc.SpriteLoaded);
    EXPECT_FALSE(doc.SpriteCompressed);
    EXPECT_EQ(doc.SpriteBuffer.upperX(), 16);
    EXPECT_EQ(doc.SpriteBuffer.upperY(), 8);
    EXPECT_EQ(doc.TileMap.upperX(), 2);
    // Every pixel of it is checked by the command line's export, which loads the same way.
    EXPECT_EQ(doc.SpriteBuffer.at(2, 5), romPixel(4096, 2, 5));
    EXPECT_EQ(doc.SpriteBuffer.at(14, 6), romPixel(4128, 6, 6));
    EXPECT_EQ(doc.TileMap.at(0, 0), 1);
    EXPECT_EQ(doc.TileMap.at(1, 0), 1);
    EXPECT_EQ(doc.TileMap.at(2, 0), 0);
    EXPECT_EQ(state.Palette.PaletteOffset(), 7680);
    EXPECT_EQ(state.Palette.colour(9),
              (paint::ScreenColour{0, 32, 224}));  // word 0E 10 read at 7698
    // The view shows it at zoom 8: pixel (0, 0) in its entry's colour.
    const auto c = state.Palette.colour(doc.SpriteBuffer.at(0, 0));
    EXPECT_EQ(surfacePixel(3, 3), qRgb(c.r, c.g, c.b));
    EXPECT_EQ(window->spriteView().picSprite()->size(), QSize(128, 64));
    EXPECT_EQ(window->palettePanel().picPal(9)->toolTip(), "E02000");
}

TEST_F(SpriteSelection, OwnPaletteAndGreyTiles) {
    select("Delta");  // palette 7712; white (0,0) and (1,1), grey (1,0) and (0,1)
    ASSERT_TRUE(state.Sprite.SpriteLoaded);
    EXPECT_EQ(state.Palette.PaletteOffset(), 7712);
    EXPECT_EQ(state.Palette.colour(3), (paint::ScreenColour{96, 0, 0}));  // word 00 06
    EXPECT_EQ(state.Sprite.TileMap.at(0, 0), 1);
    EXPECT_EQ(state.Sprite.TileMap.at(1, 1), 1);
    EXPECT_EQ(state.Sprite.TileMap.at(1, 0), 2);
    EXPECT_EQ(state.Sprite.TileMap.at(0, 1), 2);
    EXPECT_EQ(state.Sprite.SpriteBuffer.at(8, 0), romPixel(4320, 0, 0));
    select("Beta");  // "Grey" without a value: white tiles only, the rest magenta
    EXPECT_EQ(state.Sprite.TileMap.at(0, 1), 0);
    EXPECT_EQ(surfacePixel(20, 100), kMagenta);
}

TEST_F(SpriteSelection, RealDoubleClickOnASpriteLoadsIt) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    tree()->expandAll();
    QTreeWidgetItem* gamma = node("gamma");
    const QPoint centre = tree()->visualItemRect(gamma).center();
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_TRUE(state.Sprite.SpriteLoaded);
    EXPECT_EQ(state.Sprite.TileMap.upperX(), 1);
    // A user's double-click on an empty part of the tree starts with a single
    // click there: the selection stays, and the sprite is loaded again after
    // the prompt.
    state.Sprite.SpriteBuffer.at(0, 0) = 99;
    state.Sprite.SpriteDirty = true;
    dialogs.queueAnswer(MsgAnswer::No);
    const QPoint empty(5, tree()->viewport()->height() - 3);
    ASSERT_EQ(tree()->itemAt(empty), nullptr);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(tree()->selectedItems(), QList<QTreeWidgetItem*>{gamma});
    EXPECT_EQ(state.Sprite.SpriteBuffer.at(0, 0), 99);
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, empty);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, kSpriteChangedText);
    EXPECT_EQ(state.Sprite.SpriteBuffer.at(0, 0), romPixel(4224, 0, 0));
}

TEST_F(SpriteSelection, TileListFailingHalfwayKeepsWhatWasLoaded) {
    select("Trailing CRLF");  // two tiles, then an empty last line
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text.substr(0, 18), "Runtime Error: 9\r\n");
    EXPECT_FALSE(state.Sprite.SpriteLoaded);
    EXPECT_EQ(state.Sprite.TileMap.at(0, 0), 1);
    EXPECT_EQ(state.Sprite.TileMap.at(1, 0), 1);
    EXPECT_EQ(state.Sprite.SpriteBuffer.at(15, 7), romPixel(4480, 7, 7));
}

TEST_F(SpriteSelection, NameMissingFromItsTableShowsTheProcessingError) {
    node("gamma")->setText(0, "no such sprite");
    select("no such sprite");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].title, "Processing error!");
    EXPECT_FALSE(state.Sprite.SpriteLoaded);
}

TEST_F(SpriteSelection, HeadingsAndEmptySelectionDoNothing) {
    state.Palette.applyChosenColour(3, {255, 255, 255});
    state.Sprite.SpriteDirty = true;
    select("Enemies");
    select("Compressed");
    select("Title");
    tree()->clearSelection();
    window->tvSprites_DblClick();  // no node: error 91, reported silently
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_FALSE(state.Sprite.SpriteLoaded);
}

// Switching sprites asks about a changed palette, then about a changed sprite
// (Yes saves it: Save ROM's tests).
TEST_F(SpriteSelection, SwitchPromptsCancelKeepsEverythingYesSavesNoDiscards) {
    select("alpha");
    state.Palette.applyChosenColour(3, {255, 255, 255});
    test::writeFile(dir.file("dump.bin"), "x");
    test::writeFile(dir.file("dumpc.bin"), "x");
    std::string expected = test::readFile(rom);
    dialogs.queueAnswer(MsgAnswer::Cancel);
    select("gamma");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest box = dialogs.messages()[0];
    EXPECT_EQ(box.text,
              "Palette has been changed. Switching sprites will reset the palette, do you wish you "
              "save your changes made to the palette?");
    EXPECT_EQ(box.title, "Confirm");
    EXPECT_EQ(box.icon, MsgIcon::Question);
    EXPECT_EQ(box.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(state.Sprite.TileMap.upperX(), 2);  // alpha stays
    EXPECT_TRUE(state.Palette.PaletteDirty());
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), expected));
    EXPECT_TRUE(std::filesystem::exists(dir.file("dump.bin")));

    dialogs.queueAnswer(MsgAnswer::Yes);
    select("gamma");
    expected.replace(7680 + 2 * 3, 2, "\x0E\xEE");  // entry 3 and nothing else
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), expected));
    EXPECT_FALSE(state.Palette.PaletteDirty());
    EXPECT_EQ(state.Sprite.TileMap.upperX(), 1);  // gamma
    EXPECT_FALSE(std::filesystem::exists(dir.file("dump.bin")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("dumpc.bin")));

    state.Palette.applyChosenColour(3, {0, 0, 0});
    dialogs.queueAnswer(MsgAnswer::No);
    select("alpha");
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), expected));  // not written
    EXPECT_FALSE(state.Palette.PaletteDirty());
    EXPECT_EQ(state.Palette.colour(3),
              (paint::ScreenColour{224, 224, 224}));  // reloaded from the ROM

    state.Sprite.SpriteDirty = true;
    dialogs.queueAnswer(MsgAnswer::Cancel);
    select("gamma");
    EXPECT_EQ(dialogs.messages().back().text,
              "Sprite has been changed. Switching sprites will destroy any changes you have made "
              "to this sprite, do you wish you save your changes before you switch?");
    EXPECT_TRUE(state.Sprite.SpriteDirty);
    EXPECT_EQ(state.Sprite.TileMap.upperX(), 2);  // alpha stays
    dialogs.queueAnswer(MsgAnswer::No);
    select("gamma");
    EXPECT_FALSE(state.Sprite.SpriteDirty);
    EXPECT_EQ(state.Sprite.TileMap.upperX(), 1);
    EXPECT_EQ(dialogs.messages().size(), 5u);
}

// Without changes Exit ends at once; the close box runs the same procedure.
TEST_F(SpriteSelection, ExitEndsAtOnceOrAsksYesSavesThePaletteThenCancelKeepsRunning) {
    trigger("mnuFileExit");
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(ends, std::vector<int>{0});
    select("alpha");
    state.Palette.applyChosenColour(3, {255, 255, 255});
    state.Sprite.SpriteDirty = true;
    dialogs.queueAnswer(MsgAnswer::Yes);
    dialogs.queueAnswer(MsgAnswer::Cancel);
    trigger("mnuFileExit");
    EXPECT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(test::readFile(rom).substr(7686, 2), std::string("\x0E\xEE"));
    EXPECT_TRUE(state.Sprite.SpriteDirty);
    EXPECT_EQ(ends, std::vector<int>{0});
    // No to every prompt ends the program.
    state.Palette.applyChosenColour(3, {0, 0, 0});
    dialogs.queueAnswer(MsgAnswer::No);
    dialogs.queueAnswer(MsgAnswer::No);
    window->close();
    EXPECT_EQ(ends, (std::vector<int>{0, 0}));
}

TEST_F(SpriteSelection, PaletteIsNeverSavedIntoAnotherRom) {
    select("alpha");
    state.Palette.applyChosenColour(3, {255, 255, 255});
    test::writeRom(dir.file("unknown.bin"), "NOT A GAME", 16384);
    window->LoadRom(dir.file("unknown.bin"));
    const std::string before = test::readFile(dir.file("unknown.bin"));
    window->findChild<QAction*>("mnuFileSavePalette")->trigger();
    EXPECT_EQ(test::readFile(dir.file("unknown.bin")), before);
    ASSERT_EQ(dialogs.messages().size(), 2u);  // unsupported, then why nothing was saved
    EXPECT_EQ(dialogs.messages()[1].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(state.Palette.PaletteDirty());
    // Loading the game's ROM again makes its palette savable.
    window->LoadRom(rom);
    window->findChild<QAction*>("mnuFileSavePalette")->trigger();
    EXPECT_EQ(dialogs.messages().size(), 2u);
    EXPECT_FALSE(state.Palette.PaletteDirty());
}

TEST_F(SpriteSelection, ZoomAndGridFollowTheMenus) {
    select("alpha");
    window->findChild<QAction*>("mnuViewZoomE5")->trigger();  // 24
    EXPECT_EQ(window->spriteView().Zoom(), 24);
    EXPECT_EQ(window->spriteView().picSprite()->size(), QSize(384, 192));
    EXPECT_TRUE(window->findChild<QAction*>("mnuViewZoomE5")->isChecked());
    EXPECT_FALSE(window->findChild<QAction*>("mnuViewZoomE3")->isChecked());
    window->findChild<QAction*>("mnuViewGrid")->trigger();
    EXPECT_TRUE(window->findChild<QAction*>("mnuViewGrid")->isChecked());
    window->findChild<QAction*>("mnuViewZoomE2")->trigger();  // 6: the grid stays on
    window->findChild<QAction*>("mnuViewGrid")->trigger();    // below 8 it switches off
    EXPECT_FALSE(window->findChild<QAction*>("mnuViewGrid")->isChecked());
    EXPECT_TRUE(ends.empty());
}

}  // namespace
}  // namespace tess::window
