#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <array>

#include "base/Messages.h"
#include "codec/Nemesis.h"
#include "tests/window/FixtureWindow.h"

namespace tess::window {
namespace {

constexpr auto kDiagonal = [](int x, int y) { return (x + 2 * y) % 16; };

class ImageImport : public test::FixtureWindow {
protected:
    std::unique_ptr<QMenu> menuOf(const QString& sprite) {
        return std::unique_ptr<QMenu>(window->spriteMenu(node(sprite)));
    }
    void run(const QString& sprite, const char* action) {
        auto menu = menuOf(sprite);
        ASSERT_TRUE(menu) << sprite.toStdString();
        QAction* item = menu->findChild<QAction*>(action);
        ASSERT_NE(item, nullptr) << action;
        item->trigger();
    }
    void writeBitmap(const std::string& name, int width, int height, int bits = 4) {
        test::writeBytes(dir / name, test::bitmapFile(width, height, kDiagonal, bits));
    }
};

// File > Import Sprite... takes 4-bit bitmaps alone; what goes into white
// tiles is the sprites core's (LayPicture).
TEST_F(ImageImport, ImportBitmapLaysA4BitBitmapOverTheSpriteAndLeavesThePalette) {
    window->mnuFileImport_Click();  // no sprite yet: not even a dialog
    EXPECT_TRUE(dialogs.fileRequests().empty());

    select("Delta");
    const tiles::ByteGrid before = state.Sprite.SpriteBuffer;
    const auto colours = state.Palette.colour(3);
    dialogs.queueFile("");  // cancelled
    window->mnuFileImport_Click();
    EXPECT_EQ(dialogs.fileRequests().back().filter,
              "Bitmap images (*.bmp)|*.bmp|All Files (*.*)|*.*");
    for (const int bits : {8, 24}) {
        writeBitmap("deep.bmp", 16, 16, bits);
        window->ImportBitmap(dir.file("deep.bmp"));
        EXPECT_EQ(dialogs.messages().back().text, kOnly4BitText);
        EXPECT_EQ(dialogs.messages().back().icon, MsgIcon::None);
    }
    test::writeFile(dir.file("empty.bmp"), "");
    window->ImportBitmap(dir.file("empty.bmp"));
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, before));
    EXPECT_FALSE(state.Sprite.SpriteDirty);

    writeBitmap("big.bmp", 20, -18);  // larger than the sprite
    dialogs.queueFile(dir.file("big.bmp"));
    window->mnuFileImport_Click();
    EXPECT_TRUE(state.Sprite.SpriteDirty);
    trigger("undo");  // File > Import Sprite... takes no undo step
    EXPECT_EQ(state.Sprite.SpriteBuffer.at(12, 13), kDiagonal(12, 13));
    EXPECT_EQ(state.Palette.colour(3), colours);
    EXPECT_FALSE(state.Palette.PaletteDirty());

    // A sprite of grey tiles only is marked changed all the same.
    select("Beta");
    state.Sprite.TileMap.at(0, 0) = tiles::kGreyTile;
    window->ImportBitmap(dir.file("big.bmp"));
    EXPECT_TRUE(state.Sprite.SpriteDirty);
}

TEST_F(ImageImport, ContextMenuExportsImportsAndMeasuresWithoutMovingTheLoadedSprite) {
    EXPECT_FALSE(menuOf("Enemies"));
    EXPECT_FALSE(menuOf("Compressed"));
    EXPECT_EQ(menuOf("alpha")->findChild<QAction*>("mnuSpriteSize"), nullptr);

    // Export another sprite while alpha is loaded and painted.
    select("alpha");
    state.Sprite.SpriteBuffer.at(0, 0) = 15;
    state.Sprite.SpriteDirty = true;
    dialogs.queueFile(dir.file("zebra.png"));
    run("zebra", "mnuSpriteExport");
    EXPECT_EQ(dialogs.fileRequests().back().fileName, "zebra.png");
    const QImage zebra(QString::fromStdString(dir.file("zebra.png")));
    ASSERT_EQ(zebra.size(), QSize(16, 16));
    EXPECT_EQ(zebra.pixelIndex(1, 0), test::fixtureBlockData(6400, 4)[0] & 15);
    dialogs.queueFile(dir.file("gamma.png"));
    run("gamma", "mnuSpriteExport");
    EXPECT_EQ(state.Sprite.TileMap.upperX(), 2);  // alpha stays, to be saved by its own row
    trigger("mnuViewZoomE0");  // and is drawn again at its own 2 x 1 tiles, not gamma's 1 x 1
    EXPECT_EQ(window->spriteView().picSprite()->size(), QSize(16, 8));

    // The sizes of a compressed sprite, then with an edit on screen.
    run("zebra", "mnuSpriteSize");
    const std::string block =
        std::to_string(codec::encodeNemesis(test::fixtureBlockData(6400, 4)).stream.size());
    EXPECT_EQ(dialogs.messages().back().text,
              "Compressed sprite \"zebra\"\r\n\r\nBlock in the ROM: " + block +
                  " bytes at offset 6400\r\nRoom for it (MaxSize): 512 bytes\r\n"
                  "Packed now: " +
                  block + " bytes, " + std::to_string(512 - std::stoi(block)) + " to spare");

    // Import into a sprite that is not loaded: the prompt, the load, then the image.
    QImage image(16, 16, QImage::Format_Indexed8);
    image.setColorTable(zebra.colorTable());
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) image.setPixel(x, y, static_cast<uint>(kDiagonal(x, y)));
    }
    ASSERT_TRUE(image.save(QString::fromStdString(dir.file("edited.png"))));
    state.Sprite.SpriteDirty = true;
    dialogs.queueAnswer(MsgAnswer::No);
    dialogs.queueFile(dir.file("edited.png"));
    run("zebra", "mnuSpriteImport");
    ASSERT_TRUE(state.Sprite.SpriteCompressed);
    EXPECT_EQ(state.Sprite.SpriteBuffer.at(9, 3), kDiagonal(9, 3));           // white
    EXPECT_EQ(state.Sprite.SpriteBuffer.at(9, 11), zebra.pixelIndex(9, 11));  // grey: as it was
    EXPECT_TRUE(state.Sprite.SpriteDirty);
    run("zebra", "mnuSpriteSize");
    EXPECT_NE(dialogs.messages().back().text.find("Packed now, with the edits on screen: "),
              std::string::npos);

    // An image of another size is refused, naming the size it needs.
    QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(dir.file("small.png")));
    window->importImage(dir.file("small.png"));
    EXPECT_EQ(dialogs.messages().back().text,
              "The image is 8 x 8 pixels; this sprite needs 16 x 16 (2 x 2 tiles).");
    EXPECT_EQ(dialogs.messages().back().icon, MsgIcon::None);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

// An empty file is nothing, as File > Import Sprite... has it; an import is
// one undo step.
TEST_F(ImageImport, AnImageDroppedOnTheViewIsImportedIntoTheLoadedSprite) {
    select("gamma");
    const tiles::ByteGrid loaded = state.Sprite.SpriteBuffer;
    test::writeFile(dir.file("empty.png"), "");
    writeBitmap("drop.bmp", 8, 8);
    QWidget* frame = window->spriteView().picEdBack();
    for (const char* file : {"empty.png", "drop.bmp"}) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file(file)))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(frame, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(frame, &drop);
        EXPECT_EQ(state.Sprite.SpriteDirty, file == std::string("drop.bmp")) << file;
    }
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(state.Sprite.SpriteBuffer.at(6, 5), kDiagonal(6, 5));
    EXPECT_EQ(surfacePixel(6 * 8 + 3, 5 * 8 + 3), entryColour(kDiagonal(6, 5)));  // at zoom 8
    trigger("undo");
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, loaded));
}

// The window and the command line import with one set of rules: the same
// files give the same ROMs, or the same refusal with the ROM as it was.
TEST_F(ImageImport, TheWindowAndTheCommandLineMakeTheSameRomOfTheSameImage) {
    // Colours the palette has, white and black (which it has not: entry 0's
    // ROM colour is black, the window's is grey), near misses and transparency.
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < 16 * 16; ++i) {
        const paint::ScreenColour exact = state.Palette.colour(1 + i % 15);
        const std::uint8_t v = static_cast<std::uint8_t>(17 * (i % 16));
        const std::array<std::array<std::uint8_t, 4>, 5> choices = {
            {{exact.r, exact.g, exact.b, 255},
             {255, 255, 255, 255},
             {0, 0, 0, 255},
             {v, v, 255, 255},
             {v, 0, 0, 0}}};
        const auto& pixel = choices[static_cast<std::size_t>(i * 7 % 5)];
        rgba.insert(rgba.end(), pixel.begin(), pixel.end());
    }
    test::writeBytes(dir / "colour.png", test::pngFile({16, 16, 6, 8, rgba}));
    writeBitmap("larger.bmp", 24, -20);
    QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(dir.file("small.png")));

    const std::string original = test::readFile(rom);
    const std::string cliRom = dir.file("cli.bin");
    const std::string db = "--db-folder " + test::quote(std::string(TESS_TEST_DATA) + "/jet");
    const std::pair<const char*, const char*> sprites[] = {{"Delta", "QBRKCHILD_Delta"},
                                                           {"zebra", "QBRKHEADCOMPCHILD_zebra"}};
    for (const auto& [sprite, key] : sprites) {
        for (const char* image : {"colour.png", "larger.bmp", "small.png"}) {
            const std::string label = std::string(sprite) + " " + image;
            test::writeFile(rom, original);
            test::writeFile(cliRom, original);
            window->LoadRom(rom);
            select(sprite);
            window->importImage(dir.file(image));
            window->mnuFileSaveRom_Click();
            test::runCli(db + " import " + test::quote(cliRom) + " " + key + " " +
                         test::quote(dir.file(image)));
            EXPECT_TRUE(test::sameBytes(test::readFile(cliRom), test::readFile(rom))) << label;
            EXPECT_EQ(test::readFile(rom) == original, std::string(image) == "small.png") << label;
        }
    }
}

}  // namespace
}  // namespace tess::window
