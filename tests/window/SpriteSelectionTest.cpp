#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "base/Messages.h"
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

// What a selection loads is the sprites core's (LoadSprite); the window shows it.
TEST_F(SpriteSelection, ASelectedSpriteIsDrawnWithItsPaletteAndCellsWithoutATileMagenta) {
    select("alpha");  // 2 x 1 tiles, the game's palette at 7680
    EXPECT_TRUE(dialogs.messages().empty());
    ASSERT_TRUE(state.Sprite.SpriteLoaded);
    EXPECT_EQ(surfacePixel(3, 3), entryColour(state.Sprite.SpriteBuffer.at(0, 0)));  // zoom 8
    EXPECT_EQ(window->spriteView().picSprite()->size(), QSize(128, 64));
    EXPECT_EQ(window->palettePanel().picPal(9)->toolTip(), "E02000");  // word 0E 20 at 7698
    select("Beta");  // its own palette at 7712; no tile at (0, 1)
    EXPECT_EQ(window->palettePanel().picPal(3)->toolTip(), "60");  // word 00 06
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

// A heading or no node at all loads nothing, without a word or a prompt; a
// sprite its table lacks, or whose list fails halfway, is reported, and
// what was read before the failure stays.
TEST_F(SpriteSelection, HeadingsLoadNothingAndFailuresAreReported) {
    state.Palette.applyChosenColour(3, {255, 255, 255});
    state.Sprite.SpriteDirty = true;
    for (const char* heading : {"Enemies", "Compressed", "Title"}) select(heading);
    tree()->clearSelection();
    window->tvSprites_DblClick();  // no node: error 91, reported silently
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_FALSE(state.Sprite.SpriteLoaded);
    state.Palette.setPaletteDirty(false);
    state.Sprite.SpriteDirty = false;

    node("gamma")->setText(0, "no such sprite");
    select("no such sprite");
    select("Trailing CRLF");  // two tiles, then an empty last line
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[0].title, "Processing error!");
    EXPECT_TRUE(dialogs.messages()[1].text.starts_with("Runtime Error: 9\r\n"));
    EXPECT_FALSE(state.Sprite.SpriteLoaded);
    EXPECT_EQ(state.Sprite.TileMap.at(1, 0), tiles::kWhiteTile);
    EXPECT_EQ(state.Sprite.SpriteBuffer.at(15, 7), romPixel(4480, 7, 7));
}

// The unsaved-change prompts of a switch to another sprite, of Exit and of
// the close box: the palette's first, then the sprite's. Yes saves (the
// palette's entries, the sprite by Save ROM), No forgets the change on a
// switch, Cancel stops there with everything as it was.
TEST_F(SpriteSelection, UnsavedChangesAskFirstAboutThePaletteThenAboutTheSprite) {
    enum Then { Switch, Exit, Close };
    using enum MsgAnswer;
    // Each row: what was changed, then what, the answers (one a prompt), what
    // was saved, whether the switch to "gamma" or the end of the program came,
    // and what is still changed afterwards.
    struct Case {
        bool palette, sprite;
        Then then;
        std::vector<MsgAnswer> answers;
        bool paletteSaved, spriteSaved;
        bool done;
        bool paletteDirty, spriteDirty;
    };
    const Case cases[] = {
        {true, false, Switch, {Cancel}, false, false, false, true, false},
        {true, false, Switch, {Yes}, true, false, true, false, false},
        {true, false, Switch, {No}, false, false, true, false, false},
        {false, true, Switch, {Cancel}, false, false, false, false, true},
        {false, true, Switch, {Yes}, false, true, true, false, false},
        {false, true, Switch, {No}, false, false, true, false, false},
        {false, false, Exit, {}, false, false, true, false, false},
        {true, true, Exit, {Yes, Cancel}, true, false, false, false, true},
        {false, true, Exit, {Yes}, false, true, true, false, false},
        {true, true, Close, {No, No}, false, false, true, true, true},
    };
    const std::string paletteAsked =
        "Palette has been changed. Switching sprites will reset the palette, do you wish you "
        "save your changes made to the palette?";
    const std::string spriteAsked =
        "Sprite has been changed. Switching sprites will destroy any changes you have made "
        "to this sprite, do you wish you save your changes before you switch?";
    const std::string original = test::fixtureGameRom();
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        state.Palette.setPaletteDirty(false);
        state.Sprite.SpriteDirty = false;
        test::writeFile(rom, original);
        window->LoadRom(rom);
        select("alpha");  // its tile (0, 0) lies at 4096
        test::writeFile(dir.file("dump.bin"), "x");
        test::writeFile(dir.file("dumpc.bin"), "x");
        if (c.palette) state.Palette.applyChosenColour(3, {255, 255, 255});
        if (c.sprite) paint(0, 0, 15);
        std::string expected = c.spriteSaved ? withTile(original, 4096, 0, 0) : original;
        if (c.paletteSaved) expected.replace(7680 + 2 * 3, 2, "\x0E\xEE");  // entry 3 alone
        const std::size_t before = dialogs.messages().size();
        ends.clear();
        for (const MsgAnswer answer : c.answers) dialogs.queueAnswer(answer);

        if (c.then == Switch) select("gamma");
        if (c.then == Exit) trigger("mnuFileExit");
        if (c.then == Close) window->close();

        ASSERT_EQ(dialogs.messages().size(), before + c.answers.size());
        for (std::size_t i = 0; i < c.answers.size(); ++i) {
            const MessageRequest& box = dialogs.messages()[before + i];
            EXPECT_EQ(box.text, i == 0 && c.palette ? paletteAsked : spriteAsked);
            EXPECT_EQ(box.title, "Confirm");
            EXPECT_EQ(box.icon, MsgIcon::Question);
            EXPECT_EQ(box.buttons, MsgButtons::YesNoCancel);
        }
        EXPECT_TRUE(test::sameBytes(test::readFile(rom), expected));
        EXPECT_EQ(state.Palette.PaletteDirty(), c.paletteDirty);
        EXPECT_EQ(state.Sprite.SpriteDirty, c.spriteDirty);
        if (c.then == Switch) {
            EXPECT_EQ(state.Sprite.TileMap.upperX(), c.done ? 1 : 2);  // gamma, or alpha still
            // The compression interface's files go with the sprite they were made for.
            EXPECT_EQ(std::filesystem::exists(dir.file("dump.bin")), !c.done);
            EXPECT_EQ(std::filesystem::exists(dir.file("dumpc.bin")), !c.done);
        } else {
            EXPECT_EQ(ends, c.done ? std::vector<int>{0} : std::vector<int>{});
        }
    }
}

}  // namespace
}  // namespace tess::window
