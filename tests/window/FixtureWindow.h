#pragma once

#include <gtest/gtest.h>

#include <QTreeWidget>
#include <filesystem>
#include <memory>

#include "tests/support/GameFiles.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/SpriteGrids.h"
#include "tests/support/TestFiles.h"
#include "tiles/TileCodec.h"
#include "widgets/SpriteView.h"
#include "window/frmMain.h"

namespace tess::test {

using window::frmMain;
using window::InitProgram;
using window::ProgramState;

// The main window over the Access fixture games, with the fixture ROM of game
// "T-00001" loaded, run in a temporary current directory (where the
// compression interface keeps its files), the dialogs scripted and the end of
// the program recorded.
class FixtureWindow : public ::testing::Test {
protected:
    void SetUp() override {
        openWindow();
        window->LoadRom(rom);
    }
    // The window as start-up leaves it, nothing loaded; the fixture ROM written.
    void openWindow() {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        InitProgram(state, "", std::string(TESS_TEST_DATA) + "/jet");
        state.RecoveryFolder = dir.file("recovery");
        window =
            std::make_unique<frmMain>(state, dialogs, [this](int code) { ends.push_back(code); });
        writeFile(rom, fixtureGameRom());
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    // The tree of `in`, the fixture window unless another is named.
    QTreeWidget* tree(frmMain* in = nullptr) {
        return (in ? in : window.get())->findChild<QTreeWidget*>("tvSprites");
    }
    QTreeWidgetItem* node(const QString& text, frmMain* in = nullptr) {
        const auto found = tree(in)->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    // Selects the node with this text (the first in tree order) and double-clicks the tree.
    void select(const QString& text, frmMain* in = nullptr) {
        QTreeWidgetItem* item = node(text, in);
        ASSERT_NE(item, nullptr) << text.toStdString();
        tree(in)->setCurrentItem(item);
        (in ? in : window.get())->tvSprites_DblClick();
    }
    // Another main window in the same current directory, over the game
    // databases in `folder`, its program ends recorded with the fixture's.
    std::unique_ptr<frmMain> anotherWindow(ProgramState& other, const std::string& folder) {
        InitProgram(other, "", folder);
        other.RecoveryFolder = state.RecoveryFolder;
        return std::make_unique<frmMain>(other, dialogs,
                                         [this](int code) { ends.push_back(code); });
    }
    // Another window over a game whose one sprite, "tight", is the fixture
    // ROM's 4-tile block as 2 x 2 white tiles in a slot of `maxSize` bytes;
    // the ROM loaded and "tight" selected.
    std::unique_ptr<frmMain> tightWindow(ProgramState& other, std::size_t maxSize) {
        makeGameList(dir, "(1, 'T-00001', 'tight.mdb')");
        makeGame(dir.file("tight.mdb"), "Tight", "7680, NULL, NULL, NULL",
                 spriteTables("",
                              "('tight', 'T', 0, 2, 2, '0,0,0\r\n1,0,32\r\n0,1,64\r\n1,1,96',"
                              " '', 6400, " +
                                  std::to_string(maxSize) + ")"));
        auto tight = anotherWindow(other, dir.path().string());
        tight->LoadRom(rom);
        select("tight", tight.get());
        return tight;
    }
    // The fixture ROM of the game's revision 01 ("Big Sprite", "golf"), loaded.
    void loadRev1() {
        const std::string rev1 = dir.file("rev1.bin");
        writeFile(rev1, fixtureGameRom("T-00001 -01"));
        window->LoadRom(rev1);
    }
    // Pixel (x, y) of the loaded sprite changed as a paint tool would, without an undo step.
    void paint(int x, int y, std::uint8_t index) {
        state.Sprite.SpriteBuffer.at(x, y) = index;
        state.Sprite.SpriteDirty = true;
    }
    // The ROM `before` with tile (tx, ty) of the loaded sprite at `offset`, as Save ROM writes it.
    std::string withTile(std::string before, std::size_t offset, int tx, int ty) const {
        const tiles::TileBytes tile = tiles::EncodeTile(state.Sprite.SpriteBuffer, tx, ty);
        return before.replace(offset, tile.size(), std::string(tile.begin(), tile.end()));
    }
    void trigger(const char* action) { window->findChild<QAction*>(action)->trigger(); }
    QRgb surfacePixel(int x, int y) {
        return window->spriteView().picSprite()->grab(QRect(x, y, 1, 1)).toImage().pixel(0, 0);
    }
    // How the view shows palette entry `index`.
    QRgb entryColour(int index) {
        const paint::ScreenColour c = state.Palette.colour(index);
        return qRgb(c.r, c.g, c.b);
    }

    std::filesystem::path previous;
    TempDir dir;
    std::string rom = dir.file("t00001.bin");
    ScriptedDialogs dialogs;
    ProgramState state;
    std::vector<int> ends;
    std::unique_ptr<frmMain> window;
};

}  // namespace tess::test
