#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QLabel>
#include <filesystem>

#include "codec/Nemesis.h"
#include "paint/PaintTools.h"
#include "tests/window/FixtureWindow.h"
#include "widgets/PalettePanel.h"
#include "widgets/SpritePanel.h"

namespace tess::window {
namespace {

using Meter = widgets::SpritePanel::Meter;

class SpritePanel : public test::FixtureWindow {
protected:
    widgets::SpritePanel& panel(frmMain* in = nullptr) {
        return *(in ? in : window.get())->findChild<widgets::SpritePanel*>("SpritePanel");
    }
    // The meter once the newest packing has come back.
    Meter settled(frmMain* in = nullptr) {
        QElapsedTimer waited;
        waited.start();
        while (panel(in).meterState() == Meter::Packing && waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return panel(in).meterState();
    }
    std::int64_t meterFigure(frmMain* in = nullptr) {
        const std::string text = panel(in).meterText().toStdString();
        return std::stoll(text.substr(text.find(' ') + 1));  // "packed N of ..."
    }
    // A pencil stroke along row y, pixel x of colour colours(x, y).
    void stroke(paint::PaintTools& tools, int y, int width, int (*colours)(int, int),
                frmMain* in = nullptr) {
        for (int x = 0; x < width; ++x) {
            (in ? in : window.get())
                ->palettePanel()
                .PickSwatchColour(colours(x, y), Qt::LeftButton);
            tools.ApplyTool({x, y}, paint::kLeftButton, 0);
            tools.ReleaseTool({x, y}, 0);
        }
    }
};

TEST_F(SpritePanel, TheMeterShowsWhatSaveRomWritesEditAfterEdit) {
    select("zebra");  // compressed, 2 x 2 tiles at 6400, MaxSize 512
    ASSERT_EQ(settled(), Meter::Fits);
    EXPECT_EQ(meterFigure(),
              static_cast<std::int64_t>(
                  codec::encodeNemesis(test::fixtureBlockData(6400, 4)).stream.size()));
    auto& tools = window->paintTools();
    int (*const edits[])(int, int) = {[](int, int) { return 0; }, [](int x, int) { return x % 3; },
                                      [](int x, int) { return (x * 7) % 16; }};
    int row = 0;
    for (auto colours : edits) {
        stroke(tools, row++, 16, colours);
        ASSERT_EQ(settled(), Meter::Fits);
        const std::int64_t shown = meterFigure();
        window->mnuFileSaveRom_Click();
        const codec::NemesisDecoded written = codec::decodeNemesis(test::readBytes(rom), 6400);
        ASSERT_TRUE(written.ok());
        EXPECT_EQ(shown, static_cast<std::int64_t>(written.consumed)) << "edit " << row;
    }
    select("alpha");  // plain: no meter
    EXPECT_EQ(panel().meterState(), Meter::Hidden);
}

TEST_F(SpritePanel, AStrokeThatMakesTheSpriteTooLargeTurnsTheMeterAndUndoTurnsItBack) {
    // The fixture ROM's 4-tile block as the sprite "tight", whose slot holds it exactly.
    const auto block = codec::encodeNemesis(test::fixtureBlockData(6400, 4)).stream.size();
    ProgramState other;
    const auto tight = tightWindow(other, block);
    ASSERT_EQ(settled(tight.get()), Meter::Fits);
    EXPECT_EQ(
        panel(tight.get()).meterText().toStdString(),
        "packed " + std::to_string(block) + " of " + std::to_string(block) + " bytes, 0 to spare");

    auto& tools = tight->paintTools();
    for (int row = 0; row < 16; ++row) {
        stroke(
            tools, row, 16, [](int x, int y) { return (x * x * 5 + y * 11 + x * y) % 16; },
            tight.get());
    }
    ASSERT_EQ(settled(tight.get()), Meter::TooLarge);
    EXPECT_NE(panel(tight.get()).meterText().indexOf("too many: too large"), -1);
    for (int y = 0; y < 16 * 16; ++y) tools.Undo();
    ASSERT_EQ(settled(tight.get()), Meter::Fits);
    EXPECT_EQ(meterFigure(tight.get()), static_cast<std::int64_t>(block));
}

TEST_F(SpritePanel, ItTellsAPlainAndACompressedDemoSpritesFacts) {
    const std::string demo = dir.file("demo.bin");
    std::filesystem::copy_file(std::string(TESS_BIN_DIR) + "/demo.bin", demo);
    ProgramState other;
    const auto window2 = anotherWindow(other, TESS_BIN_DIR);
    window2->LoadRom(demo);
    auto facts = [&] {
        std::string all;
        auto* form = panel(window2.get()).findChild<QFormLayout*>();
        for (int row = 0; row < form->rowCount(); ++row) {
            const auto* label =
                qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget());
            const auto* value =
                qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::FieldRole)->widget());
            all += label->text().toStdString() + " " + value->text().toStdString() + "\n";
        }
        return all;
    };
    select("Hero", window2.get());
    EXPECT_EQ(facts(),
              "Sprite: Hero\nKind: plain\nSize: 2 x 3 tiles\nTiles: 6 white, 0 grey\n"
              "In the ROM: bytes 8192 to 8383\nPalette: at 4096\n");
    select("Treasure Chest", window2.get());
    EXPECT_EQ(
        facts(),
        "Sprite: Treasure Chest\nKind: compressed\nSize: 2 x 2 tiles\nTiles: 4 white, 0 grey\n"
        "Block: at 12288, 64 bytes\nMaxSize: 100 bytes\nPalette: at 4096\n");
    // The tree tells a compressed sprite's slot too.
    EXPECT_EQ(node("Treasure Chest", window2.get())->toolTip(0).toStdString(),
              "Block in the ROM: 64 bytes at offset 12288\nRoom for it (MaxSize): 100 bytes");
}

}  // namespace
}  // namespace tess::window
