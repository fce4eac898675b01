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
#include "tests/support/GameFiles.h"
#include "tests/window/FixtureWindow.h"
#include "tiles/TileCodec.h"

namespace tess::window {
namespace {

using Bytes = std::vector<std::uint8_t>;

class SaveRom : public test::FixtureWindow {
protected:
    // Pixel (x, y) of the tile at `offset` of a fixture block's data.
    static int blockPixel(const Bytes& data, std::size_t offset, int x, int y) {
        const std::uint8_t byte = data[offset + static_cast<std::size_t>(y * 4 + x / 2)];
        return x % 2 == 0 ? byte >> 4 : byte & 0x0F;
    }
    void expectTile(int tx, int ty, const Bytes& data, std::size_t offset) {
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                ASSERT_EQ(state.Sprite.SpriteBuffer.at(8 * tx + x, 8 * ty + y),
                          blockPixel(data, offset, x, y))
                    << tx << "," << ty << " pixel " << x << "," << y;
            }
        }
    }
    // Paints pixel (x, y) of the loaded sprite as a paint tool would.
    void paint(int x, int y, std::uint8_t index) {
        state.Sprite.SpriteBuffer.at(x, y) = index;
        state.Sprite.SpriteDirty = true;
    }
    Bytes romBytes() const { return test::readBytes(rom); }
};

TEST_F(SaveRom, CompressedSpritesLoadTheirTilesFromTheDecompressedBlock) {
    select("zebra");  // 2 x 2 at 6400, palette 7712: white 0,0,0 and 1,0,32; grey 0,1,64 and 1,1,96
    EXPECT_TRUE(dialogs.messages().empty());
    const Bytes data = test::fixtureBlockData(6400, 4);
    ASSERT_TRUE(state.Sprite.SpriteLoaded);
    EXPECT_TRUE(state.Sprite.SpriteCompressed);
    EXPECT_EQ(state.Palette.PaletteOffset(), 7712);
    EXPECT_EQ(state.Sprite.TileMap.at(1, 0), tiles::kWhiteTile);
    EXPECT_EQ(state.Sprite.TileMap.at(1, 1), tiles::kGreyTile);
    for (int t = 0; t < 4; ++t) expectTile(t % 2, t / 2, data, static_cast<std::size_t>(32 * t));
    EXPECT_TRUE(test::sameBytes(test::readBytes(dir / "dump.bin"), data));
    EXPECT_FALSE(std::filesystem::exists(dir / "dumpc.bin"));

    // The other fixture game's "golf": its one line 0,0,32 reads bytes 32..63 of the block.
    const std::string rev1 = dir.file("rev1.bin");
    test::writeFile(rev1, test::fixtureGameRom("T-00001 -01"));
    window->LoadRom(rev1);
    select("golf");
    ASSERT_TRUE(state.Sprite.SpriteLoaded);
    expectTile(0, 0, test::fixtureBlockData(7424, 2), 32);
}

TEST_F(SaveRom, DecompressionFailureIsReportedAndKeepsWhatTheLoadHadDone) {
    select("zebra");
    std::string bytes = test::readFile(rom);
    bytes.replace(6656, 16, std::string(16, '\xFF'));  // "anvil"'s block
    const Bytes corrupt(bytes.begin(), bytes.end());
    ASSERT_FALSE(codec::decodeNemesis(corrupt, 6656).ok());
    test::writeFile(rom, bytes);

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
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), bytes));
    EXPECT_TRUE(ends.empty());
}

TEST_F(SaveRom, PromptYesSavesBeforeTheSwitchAndBeforeTheExit) {
    select("alpha");  // tiles at 4096 and 4128
    paint(3, 2, 15);
    const auto tile = tiles::EncodeTile(state.Sprite.SpriteBuffer, 0, 0);
    Bytes expected = romBytes();
    std::copy(tile.begin(), tile.end(), expected.begin() + 4096);
    dialogs.queueAnswer(MsgAnswer::Yes);
    select("gamma");
    EXPECT_TRUE(test::sameBytes(romBytes(), expected));
    EXPECT_FALSE(state.Sprite.SpriteDirty);
    EXPECT_EQ(state.Sprite.TileMap.upperX(), 1);  // gamma

    select("zebra");
    paint(0, 0, 9);
    Bytes edited = test::fixtureBlockData(6400, 4);
    edited[0] = static_cast<std::uint8_t>(0x90 | (edited[0] & 0x0F));
    const Bytes block = codec::encodeNemesis(edited).stream;
    std::copy(block.begin(), block.end(), expected.begin() + 6400);
    dialogs.queueAnswer(MsgAnswer::Yes);
    trigger("mnuFileExit");
    EXPECT_TRUE(test::sameBytes(romBytes(), expected));
    EXPECT_EQ(ends, std::vector<int>{0});
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
    EXPECT_FALSE(test::sameBytes(test::readFile(rom), before));
    EXPECT_FALSE(state.Sprite.SpriteDirty);
    EXPECT_TRUE(ends.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(ends, std::vector<int>{0});
}

TEST_F(SaveRom, NothingIsSavedIntoAnotherRomBeforeOneOfItsSpritesIsSelected) {
    select("alpha");
    paint(0, 0, 1);
    const std::string other = dir.file("other.bin");
    test::writeFile(other, test::fixtureGameRom());
    window->LoadRom(other);
    trigger("mnuFileSaveRom");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, kSpriteOfAnotherRomText);
    EXPECT_TRUE(test::sameBytes(test::readFile(other), test::fixtureGameRom()));
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), test::fixtureGameRom()));
    EXPECT_TRUE(state.Sprite.SpriteDirty);

    dialogs.queueAnswer(MsgAnswer::No);
    select("alpha");
    paint(0, 0, 1);
    trigger("mnuFileSaveRom");
    EXPECT_EQ(dialogs.messages().size(), 2u);  // the prompt only
    EXPECT_FALSE(test::sameBytes(test::readFile(other), test::fixtureGameRom()));
}

TEST_F(SaveRom, OversizeWarnsAndACompressorFailureEndsTheProgram) {
    // The fixture ROM's 4-tile block as the sprite "tight" of a game whose slot holds 20 bytes.
    test::makeGameList(dir, "(1, 'T-00001', 'tight.mdb')");
    test::makeGame(dir.file("tight.mdb"), "Tight", "7680, NULL, NULL, NULL",
                   "CREATE TABLE HEAD (ID INTEGER PRIMARY KEY, Name TEXT);"
                   "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY);"
                   "CREATE TABLE COMPRESSED (Name TEXT PRIMARY KEY, SubHead TEXT, Palette INTEGER,"
                   " Width INTEGER, Height INTEGER, White TEXT, Grey TEXT, \"Offset\" INTEGER, "
                   "MaxSize INTEGER);"
                   "INSERT INTO COMPRESSED VALUES ('tight', 'T', 0, 2, 2,"
                   " '0,0,0' || char(13, 10) || '1,0,32', '', 6400, 20);");
    ProgramState other;
    const auto tight = anotherWindow(other, dir.path().string());
    tight->LoadRom(rom);
    select("tight", tight.get());
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
        Bytes dump = test::readBytes(dir / "dump.bin");
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

TEST_F(SaveRom, TwoWindowsInOneFolderEachSaveTheirOwnSprite) {
    // Window A paints "zebra" (its block unpacked into ./dump.bin); window B, in
    // the same folder, then unpacks "anvil" into the same ./dump.bin.
    select("zebra");
    paint(0, 0, 9);
    ProgramState other;
    const auto b = anotherWindow(other, std::string(TESS_TEST_DATA) + "/jet");
    b->LoadRom(rom);
    select("anvil", b.get());
    ASSERT_TRUE(other.Sprite.SpriteCompressed);
    other.Sprite.SpriteBuffer.at(1, 1) = 4;
    other.Sprite.SpriteDirty = true;

    window->mnuFileSaveRom_Click();
    b->mnuFileSaveRom_Click();
    EXPECT_TRUE(dialogs.messages().empty());
    const Bytes now = romBytes();
    Bytes zebra = test::fixtureBlockData(6400, 4);
    zebra[0] = static_cast<std::uint8_t>(0x90 | (zebra[0] & 0x0F));
    Bytes anvil = test::fixtureBlockData(6656, 1);
    anvil[4] = static_cast<std::uint8_t>((anvil[4] & 0xF0) | 4);
    EXPECT_EQ(codec::decodeNemesis(now, 6400).data, zebra);
    EXPECT_EQ(codec::decodeNemesis(now, 6656).data, anvil);
}

TEST_F(SaveRom, ARomReplacedOnDiskAfterItsLoadIsNotWrittenInto) {
    select("alpha");
    paint(0, 0, 1);
    const std::string otherGame = test::fixtureGameRom("OTHER GAME");
    test::writeFile(rom, otherGame);
    trigger("mnuFileSaveRom");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].text.starts_with("Nothing was saved: " + rom +
                                                       " is no longer the ROM"))
        << dialogs.messages()[0].text;
    EXPECT_EQ(dialogs.messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), otherGame));
    EXPECT_TRUE(state.Sprite.SpriteDirty);
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
    EXPECT_TRUE(std::equal(loaded.row(0), loaded.row(loaded.upperY() + 1),
                           second.Sprite.SpriteBuffer.row(0)));
    kept.reset();

    ProgramState third;
    auto restored = reopen(third, MsgAnswer::Yes);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_TRUE(std::equal(painted.row(0), painted.row(painted.upperY() + 1),
                           third.Sprite.SpriteBuffer.row(0)));
    EXPECT_TRUE(third.Sprite.SpriteDirty);
    restored->paintTools().Undo();  // the restore is an edit of its own
    EXPECT_TRUE(std::equal(loaded.row(0), loaded.row(loaded.upperY() + 1),
                           third.Sprite.SpriteBuffer.row(0)));
    restored->paintTools().Redo();
    // An error that ends the program keeps them too; a save then forgets them.
    restored->endProgram(1);
    EXPECT_EQ(ends, std::vector<int>{1});
    restored.reset();
    ProgramState fourth;
    auto saved = reopen(fourth, MsgAnswer::Yes);
    ASSERT_EQ(dialogs.messages().size(), 3u);
    saved->mnuFileSaveRom_Click();
    saved.reset();
    ProgramState fifth;
    reopen(fifth, MsgAnswer::Yes);
    EXPECT_EQ(dialogs.messages().size(), 3u);  // nothing left to offer
    EXPECT_TRUE(std::equal(painted.row(0), painted.row(painted.upperY() + 1),
                           fifth.Sprite.SpriteBuffer.row(0)));
}

}  // namespace
}  // namespace tess::window
