#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

#include "paint/PaintTools.h"
#include "tests/support/QtPrinters.h"
#include "tests/window/FixtureWindow.h"
#include "widgets/PalettePanel.h"

namespace tess::window {
namespace {

constexpr QRgb kHatchLine = qRgb(192, 192, 255);

// The fixture game's sprites: "alpha" is 2 x 1 white tiles; "Delta" has
// white tiles at (0, 0) and (1, 1), grey ones at (1, 0) and (0, 1); "Beta"
// has a white tile at (0, 0) and none at (0, 1). Saving what is painted: the
// canvas paints the buffer these tests read, Save ROM's tests save that buffer,
// and the toolbar's save runs Save ROM.
class Painting : public test::FixtureWindow {
protected:
    widgets::SpriteCanvas* canvas() { return window->spriteView().picSprite(); }
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = {}) {
        QMouseEvent event(type, at, canvas()->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(canvas(), &event);
    }
    // A press, moves through the other points with the button held, a release.
    void drag(Qt::MouseButton button, const std::vector<QPointF>& path) {
        mouse(QEvent::MouseButtonPress, path.front(), button, button);
        for (const QPointF& at : path) mouse(QEvent::MouseMove, at, Qt::NoButton, button);
        mouse(QEvent::MouseButtonRelease, path.back(), button, Qt::NoButton);
    }
    // The centre of sprite pixel (x, y) on the canvas.
    QPointF pixel(int x, int y) {
        const double z = window->spriteView().Zoom();
        return {(x + 0.5) * z, (y + 0.5) * z};
    }
    void setSwatches(int fore, int back) {
        window->palettePanel().PickSwatchColour(fore, Qt::LeftButton);
        window->palettePanel().PickSwatchColour(back, Qt::RightButton);
    }
    std::uint8_t& at(int x, int y) { return state.Sprite.SpriteBuffer.at(x, y); }
    void showActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // The other fixture game's "Big Sprite", 16 x 16 tiles, at zoom 4: 512
    // pixels a side, both bars enabled.
    void showBigSprite() {
        showActive();
        loadRev1();
        select("Big Sprite");
        window->mnuViewZoomE_Click(1);
    }
    // A wheel turn over the canvas, at a point of the frame.
    void wheel(QPointF atFrame, QPoint angle, Qt::KeyboardModifiers modifiers, QPoint pixels = {}) {
        const QPointF at = atFrame - QPointF(canvas()->pos());
        QWheelEvent event(at, canvas()->mapToGlobal(at), pixels, angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &event);
    }
    QScrollBar& h() { return *window->spriteView().sprScrollH(); }
    QScrollBar& v() { return *window->spriteView().sprScrollV(); }
};

TEST_F(Painting, PressAndMovesActOnThePixelUnderThePointerAndShowIt) {
    select("alpha");
    setSwatches(5, 9);
    const tiles::ByteGrid loaded = state.Sprite.SpriteBuffer;
    mouse(QEvent::MouseMove, {40, 20}, Qt::NoButton, Qt::NoButton);  // no button: only the status
    EXPECT_EQ(window->panelText(3), "Mouse: 5, 2");
    EXPECT_TRUE(state.Sprite.SpriteBuffer.at(5, 2) == loaded.at(5, 2) && !state.Sprite.SpriteDirty);

    mouse(QEvent::MouseButtonPress, {17.5, 3}, Qt::LeftButton, Qt::LeftButton);  // zoom 8
    EXPECT_EQ(window->panelText(3), "Mouse: 2, 0");
    EXPECT_EQ(at(2, 0), 5);
    EXPECT_TRUE(state.Sprite.SpriteDirty);
    mouse(QEvent::MouseMove, {-1, 3}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window->panelText(3), "Mouse: -1, 0");
    mouse(QEvent::MouseMove, {-9, -0.5}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window->panelText(3), "Mouse: -2, -1");
    mouse(QEvent::MouseButtonRelease, {-9, -0.5}, Qt::LeftButton, Qt::NoButton);
    at(2, 0) = loaded.at(2, 0);
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, loaded));  // nothing else changed
    QApplication::processEvents();
    EXPECT_EQ(surfacePixel(20, 4), entryColour(5));

    // What the Eyedropper picks shows on its swatch.
    trigger("b");
    at(4, 4) = 0;
    drag(Qt::LeftButton, {pixel(4, 4)});
    EXPECT_EQ(window->palettePanel().picFore()->colour(), state.Palette.colour(0));
    at(4, 4) = 7;
    drag(Qt::RightButton, {pixel(4, 4)});
    EXPECT_EQ(window->palettePanel().picBack()->colour(), state.Palette.colour(7));
}

TEST_F(Painting, KeysUndoAWholeDragRedoItAndForgetItWithAnotherSprite) {
    showActive();
    select("Delta");
    setSwatches(5, 9);
    const tiles::ByteGrid loaded = state.Sprite.SpriteBuffer;
    std::vector<QPointF> path;
    for (int i = 0; i < 20; ++i) path.push_back(pixel(i % 8, i / 3));
    drag(Qt::LeftButton, path);
    const tiles::ByteGrid painted = state.Sprite.SpriteBuffer;
    QApplication::processEvents();
    EXPECT_EQ(surfacePixel(72, 8), kHatchLine);  // grey tile (1, 0) under its hatch

    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, loaded));
    QApplication::processEvents();
    // Restored as a snapshot is: every pixel drawn again, no hatch.
    EXPECT_EQ(surfacePixel(72, 8), entryColour(loaded.at(9, 1)));
    EXPECT_EQ(surfacePixel(4, 4), entryColour(loaded.at(0, 0)));

    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, painted));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, painted));

    // The selection keys: copy a corner of the white tile, paste it into the other.
    QTest::keyClick(window.get(), Qt::Key_M);
    drag(Qt::LeftButton, {pixel(0, 0), pixel(1, 1)});
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
    drag(Qt::LeftButton, {pixel(8, 8), pixel(9, 9)});
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_EQ(at(9, 9), painted.at(1, 1));
    QTest::keyClick(window.get(), Qt::Key_Delete);
    EXPECT_EQ(at(9, 9), 0);

    // Selecting a sprite, even the same one again, starts a new history.
    dialogs.queueAnswer(MsgAnswer::No);
    select("Delta");
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, loaded));
    EXPECT_TRUE(ends.empty());
}

// Each button shows its 16 x 16 art unscaled at 1x (somewhere in the button:
// every opaque pixel of the art at one place), and carries a 32 x 32 copy for 2x.
TEST_F(Painting, ToolbarIconsShowTheirArtPixelForPixel) {
    showActive();
    auto* tbMain = window->findChild<QToolBar*>("tbMain");
    for (QAction* action : tbMain->actions()) {
        if (action->isSeparator()) continue;
        EXPECT_EQ(action->icon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
        const QImage art = action->icon().pixmap(QSize(16, 16), 1.0).toImage();
        const QImage shown = tbMain->widgetForAction(action)->grab().toImage();
        auto drawnAt = [&](int left, int top) {
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const QRgb pixel = art.pixel(x, y);
                    if (qAlpha(pixel) == 255 && shown.pixel(left + x, top + y) != pixel)
                        return false;
                }
            }
            return true;
        };
        bool found = false;
        for (int top = 0; top + 16 <= shown.height() && !found; ++top) {
            for (int left = 0; left + 16 <= shown.width() && !found; ++left)
                found = drawnAt(left, top);
        }
        EXPECT_TRUE(found) << action->objectName().toStdString();
    }
}

TEST_F(Painting, OneToolIsDownAtATimeChosenByItsButtonOrItsLetter) {
    showActive();
    // One tool down at a time, the Pencil at start; clicks and letters choose.
    auto down = [&] {
        QStringList checked;
        for (const char* key : {"a", "b", "c", "d", "e", "f", "g", "h"}) {
            if (window->findChild<QToolButton*>(key)->isChecked()) checked << key;
        }
        return checked.join("");
    };
    EXPECT_EQ(down(), "a");
    QTest::mouseClick(window->findChild<QToolButton*>("h"), Qt::LeftButton);
    EXPECT_EQ(down(), "h");
    EXPECT_EQ(window->paintTools().CurrentTool(), 7);
    const std::pair<Qt::Key, const char*> letters[] = {
        {Qt::Key_B, "a"}, {Qt::Key_I, "b"}, {Qt::Key_R, "c"}, {Qt::Key_M, "d"},
        {Qt::Key_E, "e"}, {Qt::Key_S, "f"}, {Qt::Key_G, "g"}, {Qt::Key_U, "h"},
    };
    for (const auto& [letter, key] : letters) {
        QTest::keyClick(window.get(), letter);
        EXPECT_EQ(down(), key);
        EXPECT_EQ(window->paintTools().CurrentTool(), key[0] - 'a');
    }
}

TEST_F(Painting, ToolbarFileButtonsRunTheMenuCommandsAndReloadDoesNothing) {
    showActive();
    select("alpha");
    QSignalSpy saveRom(window->findChild<QAction*>("mnuFileSaveRom"), &QAction::triggered);
    QSignalSpy savePalette(window->findChild<QAction*>("mnuFileSavePalette"), &QAction::triggered);
    QTest::mouseClick(window->findChild<QToolButton*>("save"), Qt::LeftButton, {}, QPoint(6, 8));
    window->findChild<QAction*>("srom")->trigger();
    EXPECT_EQ(saveRom.count(), 2);
    EXPECT_EQ(savePalette.count(), 0);
    window->findChild<QAction*>("spal")->trigger();
    EXPECT_EQ(savePalette.count(), 1);
    EXPECT_EQ(saveRom.count(), 2);

    state.Sprite.SpriteDirty = true;
    const tiles::ByteGrid before = state.Sprite.SpriteBuffer;
    const std::string romBefore = test::readFile(rom);
    QTest::mouseClick(window->findChild<QToolButton*>("reload"), Qt::LeftButton);
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, before));
    EXPECT_TRUE(state.Sprite.SpriteDirty);
    EXPECT_EQ(test::readFile(rom), romBefore);
    EXPECT_EQ(state.RomPath, rom);
    EXPECT_TRUE(dialogs.messages().empty());

    dialogs.queueFile("");  // "open" asks for a ROM; cancelled
    QTest::mouseClick(window->findChild<QToolButton*>("open"), Qt::LeftButton);
    EXPECT_EQ(dialogs.fileRequests().size(), 1u);
    EXPECT_TRUE(ends.empty());
}

// Ctrl+wheel steps the zoom as the Zoom menu does, its check following, and
// keeps the sprite pixel under the pointer there while the view can scroll.
TEST_F(Painting, CtrlWheelStepsTheZoomKeepingThePixelUnderThePointer) {
    showBigSprite();
    h().setValue(4);
    v().setValue(3);
    const QPointF at(200.5, 150.5);
    auto pixelUnder = [&] {
        const QPointF p = (at - QPointF(canvas()->pos())) / window->spriteView().Zoom();
        return tiles::Pixel{static_cast<int>(std::floor(p.x())),
                            static_cast<int>(std::floor(p.y()))};
    };
    const tiles::Pixel kept = pixelUnder();
    EXPECT_EQ(kept, (tiles::Pixel{65, 48}));
    // The Zoom menu's items that are checked.
    auto checked = [&] {
        QString items;
        for (int i = 0; i < 6; ++i) {
            if (window->findChild<QAction*>(QString("mnuViewZoomE%1").arg(i))->isChecked())
                items += QString::number(i);
        }
        return items;
    };
    const std::pair<int, int> steps[] = {{1, 2},  {1, 3},  {1, 4},  {1, 5}, {1, 5},
                                         {-1, 4}, {-1, 3}, {-1, 2}, {-1, 1}};
    for (const auto& [notch, item] : steps) {
        wheel(at, {0, 120 * notch}, Qt::ControlModifier);
        const std::string label = "zoom " + std::to_string(window->spriteView().Zoom());
        EXPECT_EQ(window->spriteView().Zoom(), tiles::kZoomLevels[static_cast<std::size_t>(item)])
            << label;
        EXPECT_EQ(checked(), QString::number(item)) << label;
        EXPECT_EQ(pixelUnder(), kept) << label;
    }
    // A fine wheel's small turns add up to a notch; at zoom 1 the sprite fits, at 0, 0.
    for (int i = 0; i < 4; ++i) wheel(at, {0, -30}, Qt::ControlModifier);
    EXPECT_EQ(window->spriteView().Zoom(), 1);
    EXPECT_EQ(canvas()->pos(), QPoint(0, 0));

    // The menus do the same; Grid's check follows the view, which keeps the
    // grid on when zooming out and below 8 turns it off.
    trigger("mnuViewZoomE4");
    EXPECT_EQ(checked(), "4");
    EXPECT_EQ(window->spriteView().Zoom(), 16);
    trigger("mnuViewGrid");
    EXPECT_TRUE(window->findChild<QAction*>("mnuViewGrid")->isChecked());
    trigger("mnuViewZoomE2");
    trigger("mnuViewGrid");
    EXPECT_FALSE(window->findChild<QAction*>("mnuViewGrid")->isChecked());
    EXPECT_TRUE(ends.empty());
}

// The wheel scrolls vertically, with Shift sideways, a touchpad by its
// pixels (S = 15 pixels a bar unit); Space held makes a drag pan, not paint.
TEST_F(Painting, TheWheelScrollsAndASpaceDragPansWithoutPainting) {
    showBigSprite();
    const int notch = QApplication::wheelScrollLines() * h().singleStep();
    struct Turn {
        QPoint angle;
        QPoint pixels;
        Qt::KeyboardModifiers modifiers;
        int h, v;  // the bars' values afterwards
    };
    const Turn turns[] = {
        {{0, -120}, {}, Qt::NoModifier, 0, notch},  // towards the user: further down
        {{0, -120}, {}, Qt::ShiftModifier, notch, notch},
        {{0, 120}, {}, Qt::NoModifier, notch, 0},
        {{0, 0}, {-30, -50}, Qt::NoModifier, notch + 2, 3},  // 50 / 15: the rest is kept
        {{0, 0}, {0, -10}, Qt::NoModifier, notch + 2, 4},
    };
    for (const Turn& turn : turns) {
        wheel({100, 100}, turn.angle, turn.modifiers, turn.pixels);
        EXPECT_EQ(h().value(), turn.h);
        EXPECT_EQ(v().value(), turn.v);
    }
    EXPECT_EQ(canvas()->pos(), QPoint(-15 * h().value(), -15 * v().value()));

    const tiles::ByteGrid before = state.Sprite.SpriteBuffer;
    QCursor::setPos(window->spriteView().picEdBack()->mapToGlobal(QPoint(100, 100)));
    QTest::keyPress(tree(), Qt::Key_Space);  // whichever control has the focus
    const QPoint values(h().value(), v().value());
    drag(Qt::LeftButton, {pixel(20, 20), pixel(20, 20) + QPointF(-45, -30)});
    EXPECT_EQ(h().value(), values.x() + 3);
    EXPECT_EQ(v().value(), values.y() + 2);
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, before));
    QTest::keyRelease(tree(), Qt::Key_Space);
    drag(Qt::LeftButton, {pixel(20, 20)});
    EXPECT_FALSE(test::sameGrid(state.Sprite.SpriteBuffer, before));
}

// The window's keys and drop points for a floating block: Esc puts it back,
// Enter and Save ROM put it down (the save writes what the user sees);
// Shift changes the Shape's preview without a move.
TEST_F(Painting, KeysAndSaveEndAFloatingBlockAndShiftReshapesThePreview) {
    showActive();
    select("Delta");  // its white tile (0, 0) lies at 4256 of the ROM
    const tiles::ByteGrid loaded = state.Sprite.SpriteBuffer;
    const std::string romBefore = test::readFile(rom);
    QTest::keyClick(window.get(), Qt::Key_M);
    drag(Qt::LeftButton, {pixel(0, 0), pixel(1, 1)});
    drag(Qt::LeftButton, {pixel(0, 0), pixel(4, 4)});
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->paintTools().selection().floating());
    drag(Qt::LeftButton, {pixel(0, 0), pixel(4, 4)});
    EXPECT_TRUE(test::sameGrid(state.Sprite.SpriteBuffer, loaded));
    trigger("mnuFileSaveRom");
    EXPECT_FALSE(window->paintTools().selection().floating());
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(at(5, 5), loaded.at(1, 1));
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), withTile(romBefore, 4256, 0, 0)));

    QTest::keyClick(window.get(), Qt::Key_U);
    setSwatches(5, 9);
    mouse(QEvent::MouseButtonPress, pixel(1, 1), Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, pixel(4, 3), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window->paintTools().preview().cell({4, 1}), tiles::SpriteOverlay::kClear);  // a line
    QTest::keyPress(window.get(), Qt::Key_Shift);
    EXPECT_EQ(window->paintTools().preview().cell({4, 1}), 5);  // a rectangle's corner
    mouse(QEvent::MouseButtonRelease, pixel(4, 3), Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    QTest::keyRelease(window.get(), Qt::Key_Shift);
    EXPECT_EQ(at(4, 1), 5);
    EXPECT_TRUE(ends.empty());
}

}  // namespace
}  // namespace tess::window
