#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "base/Messages.h"
#include "codec/Nemesis.h"
#include "paint/PaintTools.h"
#include "tests/window/FixtureWindow.h"

namespace tess::window {
namespace {

using SaveRom = test::FixtureWindow;

TEST_F(SaveRom, DecompressionFailureIsReportedAndKeepsWhatTheLoadHadDone) {
    select("zebra");
    auto bytes = test::readBytes(rom);
    std::fill_n(bytes.begin() + 6656, 16, 0xFF);  // "anvil"'s block
    ASSERT_FALSE(codec::decodeNemesis(bytes, 6656).ok());
    test::writeBytes(rom, bytes);

    select("anvil");  // 1 x 1, the game's palette
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(
        dialogs.messages()[0].text,
        "Runtime Error: 7000\r\n'Program encountered an error while running the decompression "
        "routine.'\r\n\r\nSource: Decompression execution");
    // Palette, view and empty grids are the new sprite's; the flags are as they were.
    EXPECT_EQ(state.Palette.PaletteOffset(), 7680);
    EXPECT_EQ(window->spriteView().picSprite()->size(), QSize(64, 64));
    EXPECT_EQ(state.Sprite.SpriteBuffer.upperX(), 8);
    EXPECT_EQ(state.Sprite.TileMap.at(0, 0), tiles::kNoTile);
    EXPECT_TRUE(state.Sprite.SpriteCompressed);
    EXPECT_TRUE(state.Sprite.SpriteLoaded);

    // There is no block to rebuild: saving explains and writes nothing.
    trigger("mnuFileSaveRom");
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), bytes));
    EXPECT_TRUE(ends.empty());
}

TEST_F(SaveRom, CommandsWaitWhileASaveRuns) {
    select("alpha");
    paint(0, 0, 1);
    const std::string before = test::readFile(rom);
    // Everything a user could do while the save lets events run: the file
    // dialog, a second save, a palette save and a selection are refused, the
    // exit waits for the end of the save.
    QTimer::singleShot(0, window.get(), [this] {
        ASSERT_TRUE(window->saving());
        // A real double-click on another sprite: refused, and the highlight stays.
        const QRect gamma = tree()->visualItemRect(node("gamma"));
        QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, gamma.center());
        EXPECT_EQ(tree()->currentItem(), node("alpha"));
        trigger("mnuFileLoad");
        trigger("mnuFileSaveRom");
        trigger("mnuFileSavePalette");
        window->close();
    });
    trigger("mnuFileSaveRom");
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(dialogs.fileRequests().empty());
    EXPECT_EQ(state.Sprite.TileMap.upperX(), 2);  // still alpha
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), withTile(before, 4096, 0, 0)));
    EXPECT_FALSE(state.Sprite.SpriteDirty);
    EXPECT_TRUE(ends.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(ends, std::vector<int>{0});
}

// After another ROM is loaded, the painting on screen still belongs to the
// first, and so does the palette when the other is no game's: neither is
// saved into it.
TEST_F(SaveRom, NothingIsSavedIntoAnotherRomBeforeOneOfItsSpritesIsSelected) {
    select("alpha");
    paint(0, 0, 1);
    state.Palette.applyChosenColour(3, {255, 255, 255});
    const std::string unknown = dir.file("unknown.bin");
    test::writeRom(unknown, "NOT A GAME", 16384);
    const std::string unknownBefore = test::readFile(unknown);
    window->LoadRom(unknown);
    trigger("mnuFileSaveRom");
    trigger("mnuFileSavePalette");
    const std::string other = dir.file("other.bin");
    test::writeFile(other, test::fixtureGameRom());
    window->LoadRom(other);
    trigger("mnuFileSaveRom");
    ASSERT_EQ(dialogs.messages().size(), 4u);  // the first, that the ROM is no game's
    EXPECT_EQ(dialogs.messages()[1].text, kSpriteOfAnotherRomText);
    EXPECT_EQ(dialogs.messages()[2].text, kPaletteOfAnotherRomText);
    EXPECT_EQ(dialogs.messages()[2].icon, MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.messages()[3].text, kSpriteOfAnotherRomText);
    EXPECT_TRUE(test::sameBytes(test::readFile(unknown), unknownBefore));
    EXPECT_TRUE(test::sameBytes(test::readFile(other), test::fixtureGameRom()));
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), test::fixtureGameRom()));
    EXPECT_TRUE(state.Sprite.SpriteDirty);
    EXPECT_TRUE(state.Palette.PaletteDirty());

    // Once one of its sprites is selected, both are saved into it.
    dialogs.queueAnswer(MsgAnswer::No);
    dialogs.queueAnswer(MsgAnswer::No);
    select("alpha");
    paint(0, 0, 1);
    state.Palette.applyChosenColour(3, {255, 255, 255});
    trigger("mnuFileSaveRom");
    trigger("mnuFileSavePalette");
    EXPECT_TRUE(dialogs.allAnswersUsed());
    std::string expected = withTile(test::fixtureGameRom(), 4096, 0, 0);
    expected.replace(7680 + 2 * 3, 2, "\x0E\xEE");  // entry 3 alone
    EXPECT_TRUE(test::sameBytes(test::readFile(other), expected));
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), test::fixtureGameRom()));
    EXPECT_FALSE(state.Palette.PaletteDirty());
}

TEST_F(SaveRom, OversizeWarnsAndACompressorFailureEndsTheProgram) {
    ProgramState other;
    const auto tight = tightWindow(other, 20);
    other.Sprite.SpriteBuffer.at(0, 0) ^= 1;
    other.Sprite.SpriteDirty = true;
    tight->mnuFileSaveRom_Click();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest& warning = dialogs.messages()[0];
    EXPECT_EQ(warning.text,
              std::string("WARNING:\r\nData is LARGER than the maximum size to fit in the ROM. "
                          "Saving to the end of the ROM is currently unsupported. You must make "
                          "your sprite less detailed so the compressor will compress it enough "
                          "to fit."));
    EXPECT_EQ(warning.title, "Tessellane");
    EXPECT_EQ(warning.icon, MsgIcon::None);
    EXPECT_FALSE(std::filesystem::exists(dir / "dumpc.bin"));
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), test::fixtureGameRom()));
    EXPECT_TRUE(other.Sprite.SpriteDirty);

    // Another program cuts "dump.bin" short while the save lets events run:
    // the compressor fails on it, which ends the program.
    select("zebra");
    paint(0, 0, 9);
    QTimer::singleShot(0, [this] {
        auto dump = test::readBytes(dir / "dump.bin");
        dump.pop_back();
        test::writeBytes(dir / "dump.bin", dump);
    });
    trigger("mnuFileSaveRom");
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].text, "File did not get compressed...");
    EXPECT_EQ(dialogs.messages()[1].icon, MsgIcon::None);
    EXPECT_EQ(ends, std::vector<int>{1});
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), test::fixtureGameRom()));
}

// Painting that was never saved comes back in the next session, whether the
// program was killed (the window just goes) or ended by an error.
TEST_F(SaveRom, UnsavedPaintingIsOfferedBackWhenTheSpriteIsNextOpened) {
    select("Delta");
    const tiles::ByteGrid loaded = state.Sprite.SpriteBuffer;
    auto& tools = window->paintTools();
    for (int x = 0; x < 8; ++x) tools.ApplyTool({x, 3}, paint::kLeftButton, 0);
    tools.ReleaseTool({7, 3}, 0);
    const tiles::ByteGrid painted = state.Sprite.SpriteBuffer;
    ASSERT_TRUE(state.Sprite.SpriteDirty);
    QTest::qWait(800);  // the recovery file is written a moment after the stroke
    window.reset();     // gone without a word, as a killed program

    auto reopen = [&](ProgramState& next, MsgAnswer answer) {
        auto again = anotherWindow(next, std::string(TESS_TEST_DATA) + "/jet");
        again->LoadRom(rom);
        dialogs.queueAnswer(answer);
        select("Delta", again.get());
        return again;
    };
    ProgramState second;
    auto kept = reopen(second, MsgAnswer::Cancel);  // not now: still kept
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].title, "Unsaved changes");
    EXPECT_EQ(dialogs.messages()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(test::sameGrid(second.Sprite.SpriteBuffer, loaded));
    kept.reset();

    ProgramState third;
    auto restored = reopen(third, MsgAnswer::Yes);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_TRUE(test::sameGrid(third.Sprite.SpriteBuffer, painted));
    EXPECT_TRUE(third.Sprite.SpriteDirty);
    restored->paintTools().Undo();  // the restore is an edit of its own
    EXPECT_TRUE(test::sameGrid(third.Sprite.SpriteBuffer, loaded));
    restored->paintTools().Redo();
    // An error that ends the program keeps them too; a save then forgets them.
    restored->endProgram(1);
    EXPECT_EQ(ends, std::vector<int>{1});
    restored.reset();
    ProgramState fourth;
    auto saved = reopen(fourth, MsgAnswer::Yes);
    ASSERT_EQ(dialogs.messages().size(), 3u);
    saved->mnuFileSaveRom_Click();
    EXPECT_TRUE(std::filesystem::is_empty(state.RecoveryFolder));
    saved.reset();
    ProgramState fifth;
    reopen(fifth, MsgAnswer::Yes);
    EXPECT_EQ(dialogs.messages().size(), 3u);  // nothing left to offer
    EXPECT_TRUE(test::sameGrid(fifth.Sprite.SpriteBuffer, painted));
}

}  // namespace
}  // namespace tess::window
