#pragma once

#include <gtest/gtest.h>

#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/frmMain.h"
#include "gfx/ui/SpriteView.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestFiles.h"

namespace tess::test {

// The main window with the fixture game "T-00001" loaded from a ROM in a
// fresh temp folder, which is also the current directory (the compression
// interface's temporary files go there).
class GameWindow : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        InitProgram(state, "", std::string(TESS_TEST_DATA) + "/jet");
        window = std::make_unique<frmMain>(state, dialogs, [this](int code) { ends.push_back(code); });
        writeFile(rom, fixtureGameRom());
        window->LoadRom(rom);
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    QTreeWidget* tree() { return window->findChild<QTreeWidget*>("tvSprites"); }
    QTreeWidgetItem* node(const QString& text) {
        const auto found = tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    // Selects the sprite the way a double-click in the tree does.
    void select(const QString& text) {
        QTreeWidgetItem* item = node(text);
        ASSERT_NE(item, nullptr) << text.toStdString();
        tree()->setCurrentItem(item);
        window->tvSprites_DblClick();
    }
    // The sprite pixel at (x, y) as ReadTile decodes the fixture ROM.
    static int romPixel(std::size_t offset, int x, int y) {
        const std::size_t byte = offset + static_cast<std::size_t>(y * 4 + x / 2);
        const int value = static_cast<int>((byte * 7 + 3) & 0xFF);
        return x % 2 == 0 ? value >> 4 : value & 0x0F;
    }
    QRgb surfacePixel(int x, int y) {
        return window->spriteView().picSprite()->grab(QRect(x, y, 1, 1)).toImage().pixel(0, 0);
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
