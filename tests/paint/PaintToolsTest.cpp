#include <gtest/gtest.h>

#include <vector>

#include "paint/PaintTools.h"
#include "tiles/SpriteLoadTarget.h"

using namespace tess::paint;
using tess::tiles::ByteGrid;
using tess::tiles::Pixel;
using tess::tiles::PixelRect;

namespace {

constexpr std::uint8_t kFore = 5;
constexpr std::uint8_t kBack = 9;

// A sprite of 3 x 2 tiles at zoom 1, tiles laid out as
//   white  white  grey
//   white  absent white
// painted with the foreground 5 and the background 9, drawn on no screen.
struct Tools : ::testing::Test {
    tess::tiles::SpriteDocument doc;
    GenesisPalette palette{{}};
    ColourSwatches swatches{{}};
    tess::tiles::NullLoadTarget surface;
    PaintTools tools{doc, swatches, palette, surface};

    Tools() {
        doc.CreateGrids({3, 2});
        const std::uint8_t tiles[2][3] = {{1, 1, 2}, {1, 0, 1}};
        for (int ty = 0; ty < 2; ++ty) {
            for (int tx = 0; tx < 3; ++tx) doc.TileMap.at(tx, ty) = tiles[ty][tx];
        }
        doc.SpriteLoaded = true;
        swatches.setForeground({kFore, {}});
        swatches.setBackground({kBack, {}});
    }
    void choose(PaintTool tool) { tools.setCurrentTool(static_cast<std::int16_t>(tool)); }
    // Presses at the first pixel, moves through the others, releases at the last.
    void stroke(std::int16_t button, const std::vector<Pixel>& path, std::int16_t shift = 0) {
        for (const Pixel p : path) tools.ApplyTool(p, button, shift);
        tools.ReleaseTool(path.back(), shift);
    }
    void pattern() {
        for (std::int32_t y = 0; y < 16; ++y) {
            for (std::int32_t x = 0; x < 24; ++x)
                at(x, y) = static_cast<std::uint8_t>((x + 2 * y) % 7 + 1);
        }
    }
    std::uint8_t& at(std::int32_t x, std::int32_t y) { return doc.SpriteBuffer.at(x, y); }
    // The pixels whose index differs from `before`.
    std::vector<Pixel> changedSince(const ByteGrid& before) {
        std::vector<Pixel> changed;
        for (std::int32_t y = 0; y <= before.upperY(); ++y) {
            for (std::int32_t x = 0; x <= before.upperX(); ++x) {
                if (before.at(x, y) != at(x, y)) changed.push_back({x, y});
            }
        }
        return changed;
    }
    const UndoHistory& history() const { return tools.painter().history(); }
};

}  // namespace

TEST_F(Tools, OneStrokeOfManyMovesIsOneUndoStepThatRedoBringsBack) {
    const ByteGrid before = doc.SpriteBuffer;
    std::vector<Pixel> path;
    for (std::int32_t x = 0; x < 24; ++x) path.push_back({x, x / 3});
    stroke(kLeftButton, path);
    const ByteGrid after = doc.SpriteBuffer;
    EXPECT_EQ(changedSince(before).size(), 16u);  // the 8 pixels in the grey tile stay
    EXPECT_EQ(history().undoSteps(), 1u);

    // Undo and redo leave the flag alone: an undone edit is still unsaved work.
    EXPECT_TRUE(tools.Undo());
    EXPECT_TRUE(changedSince(before).empty());
    EXPECT_TRUE(doc.SpriteDirty);
    EXPECT_FALSE(tools.Undo());  // nothing more to undo
    doc.SpriteDirty = false;
    EXPECT_TRUE(tools.Redo());
    EXPECT_TRUE(changedSince(after).empty());
    EXPECT_FALSE(doc.SpriteDirty);

    // A stroke that changes no pixel adds no step and keeps the redo side...
    tools.Undo();
    stroke(kLeftButton, {{17, 1}, {18, 1}});  // grey tile
    stroke(4, {{1, 1}});                      // the middle button paints nothing
    EXPECT_EQ(history().undoSteps(), 0u);
    EXPECT_EQ(history().redoSteps(), 1u);
    // ...even when it paints a pixel over with its own index, which still marks the sprite.
    at(2, 2) = kFore;
    stroke(kLeftButton, {{2, 2}});
    EXPECT_TRUE(doc.SpriteDirty);
    EXPECT_EQ(history().redoSteps(), 1u);
    // A stroke that changes something empties it.
    stroke(kRightButton, {{2, 2}});
    EXPECT_EQ(history().undoSteps(), 1u);
    EXPECT_EQ(history().redoSteps(), 0u);

    tools.spriteReplaced();
    EXPECT_EQ(history().undoSteps(), 0u);
    EXPECT_FALSE(tools.Undo());
}

TEST(UndoHistory, KeepsTheNewestStepsWithinItsBudget) {
    ByteGrid buffer(24, 8);  // three tiles in a row and the spare column
    const std::size_t tileBytes = 72;
    UndoHistory history(2 * tileBytes);
    auto paintTiles = [&](std::int32_t firstTile, std::int32_t tiles, std::uint8_t index) {
        for (std::int32_t tx = firstTile; tx < firstTile + tiles; ++tx) {
            history.keepTiles(buffer, tx, tx, 0);
            buffer.at(8 * tx + 3, 4) = index;
        }
        return history.endGesture(buffer, {});
    };
    for (std::uint8_t step = 1; step <= 3; ++step) EXPECT_TRUE(paintTiles(step - 1, 1, step));
    EXPECT_EQ(history.undoSteps(), 2u);  // the first step made room

    EXPECT_TRUE(paintTiles(0, 3, 7));  // larger than the budget: kept alone
    EXPECT_EQ(history.undoSteps(), 1u);
    UndoHistory::Selection selection;
    EXPECT_TRUE(history.undo(buffer, selection));
    EXPECT_EQ(buffer.at(3, 4), 1);
    EXPECT_EQ(buffer.at(19, 4), 3);

    ByteGrid other(8, 8);  // another sprite's buffer: the steps do not apply to it
    history.redo(other, selection);
    EXPECT_EQ(history.redoSteps(), 0u);
    EXPECT_EQ(other.at(3, 4), 0);
}

TEST_F(Tools, ButtonMasksDecideWhatPencilEyedropperColorReplacerAndEraserDo) {
    struct Case {
        PaintTool tool;
        std::int16_t buttons;
        int pixel;  // index at (3, 3) afterwards; it holds 7 before
        bool dirty;
        int fore, back;  // the swatches afterwards; kFore and kBack before
    };
    constexpr std::int16_t both = kLeftButton | kRightButton;
    constexpr std::int16_t middle = 4;
    const Case cases[] = {
        {PaintTool::Pencil, kLeftButton, kFore, true, kFore, kBack},
        {PaintTool::Pencil, kRightButton, kBack, true, kFore, kBack},
        {PaintTool::Pencil, both, 7, false, kFore, kBack},
        {PaintTool::Pencil, middle, 7, false, kFore, kBack},
        {PaintTool::Eyedropper, kLeftButton, 7, false, 7, kBack},
        {PaintTool::Eyedropper, kRightButton, 7, false, kFore, 7},
        {PaintTool::Eyedropper, both, 7, false, kFore, kBack},
        {PaintTool::ColorReplacer, both, 7, false, kFore, kBack},
        {PaintTool::Eraser, kLeftButton, 0, true, kFore, kBack},
        {PaintTool::Eraser, kRightButton, 0, true, kFore, kBack},
        {PaintTool::Eraser, both, 0, true, kFore, kBack},
        {PaintTool::Eraser, middle, 0, true, kFore, kBack},
    };
    for (const Case& c : cases) {
        choose(c.tool);
        swatches.setForeground({kFore, {}});
        swatches.setBackground({kBack, {}});
        at(3, 3) = 7;
        doc.SpriteDirty = false;
        const bool picked = tools.ApplyTool({3, 3}, c.buttons, 0);
        tools.ApplyTool({3, 3}, 0, 0);
        const std::string label =
            std::to_string(static_cast<int>(c.tool)) + " " + std::to_string(c.buttons);
        EXPECT_EQ(at(3, 3), c.pixel) << label;
        EXPECT_EQ(doc.SpriteDirty, c.dirty) << label;
        EXPECT_EQ(swatches.foreground().index, c.fore) << label;
        EXPECT_EQ(swatches.background().index, c.back) << label;
        EXPECT_EQ(picked, c.fore != kFore || c.back != kBack) << label;
    }

    // The Color Replacer swaps the pressed button's swatch index for the other's along a drag.
    choose(PaintTool::ColorReplacer);
    swatches.setForeground({3, {}});
    const int row[] = {3, 5, 3, 9};
    for (int x = 0; x < 4; ++x) at(x, 1) = static_cast<std::uint8_t>(row[x]);
    stroke(kLeftButton, {{0, 1}, {1, 1}, {2, 1}, {3, 1}});
    EXPECT_EQ((std::vector<int>{at(0, 1), at(1, 1), at(2, 1), at(3, 1)}),
              (std::vector<int>{9, 5, 9, 9}));
    stroke(kRightButton, {{1, 1}, {2, 1}});
    EXPECT_EQ((std::vector<int>{at(1, 1), at(2, 1)}), (std::vector<int>{5, 3}));
}

TEST_F(Tools, HatchedAndAbsentTilesNeverChangeWhateverTheToolAndButton) {
    pattern();
    const ByteGrid before = doc.SpriteBuffer;
    // Strokes 3 pixels (the spray's reach) inside the grey tile (2, 0) and the absent (1, 1).
    const std::vector<Pixel> strokes[] = {{{19, 4}, {20, 4}, {19, 3}},
                                          {{11, 12}, {12, 12}, {11, 11}}};
    for (int tool = 0; tool < kToolCount; ++tool) {
        tools.setCurrentTool(static_cast<std::int16_t>(tool));
        for (const std::int16_t button : {kLeftButton, kRightButton, std::int16_t{4}}) {
            for (const auto& path : strokes) {
                stroke(button, path);
                tools.Delete();
                tools.Cut();
            }
        }
    }
    EXPECT_TRUE(changedSince(before).empty());
    EXPECT_FALSE(doc.SpriteDirty);
    EXPECT_EQ(history().undoSteps(), 0u);
}

TEST_F(Tools, PaintBucketFillsTheFourConnectedRegionInsideWhiteTiles) {
    // A pocket at (10, 2) closed on four sides; its diagonal neighbours are open.
    for (const Pixel p : {Pixel{10, 1}, Pixel{11, 2}, Pixel{10, 3}, Pixel{9, 2}}) at(p.x, p.y) = 3;
    const ByteGrid before = doc.SpriteBuffer;
    choose(PaintTool::PaintBucket);
    stroke(kLeftButton, {{0, 0}, {12, 12}});  // only the press fills

    for (std::int32_t y = 0; y < 16; ++y) {
        for (std::int32_t x = 0; x < 24; ++x) {
            const bool region = doc.TileMap.at(x / 8, y / 8) == 1 && !(x >= 16 && y >= 8);
            const int expected = before.at(x, y) == 3 || Pixel{x, y} == Pixel{10, 2}
                                     ? before.at(x, y)
                                 : region ? kFore
                                          : 0;
            ASSERT_EQ(at(x, y), expected) << x << "," << y;
        }
    }
    stroke(kRightButton, {{20, 12}});  // the white tile beyond the grey and the absent one
    EXPECT_EQ(at(16, 8), kBack);
    stroke(kLeftButton | kRightButton, {{0, 0}});
    stroke(kLeftButton, {{18, 2}});  // grey tile
    EXPECT_EQ(at(0, 0), kFore);
    EXPECT_EQ(at(18, 2), 0);

    EXPECT_EQ(history().undoSteps(), 2u);
    tools.Undo();
    tools.Undo();
    EXPECT_TRUE(changedSince(before).empty());
}

TEST_F(Tools, ShapePreviewsThenDrawsALineOrWithShiftARectangleOnRelease) {
    choose(PaintTool::Shape);
    const ByteGrid before = doc.SpriteBuffer;
    tools.ApplyTool({1, 1}, kLeftButton, 0);
    tools.ApplyTool({9, 9}, kLeftButton, 0);
    tools.ApplyTool({5, 3}, kLeftButton, 0);
    EXPECT_TRUE(changedSince(before).empty());  // a preview only
    EXPECT_EQ(tools.preview().cell({3, 2}), kFore);
    EXPECT_EQ(tools.preview().cell({9, 9}), tess::tiles::SpriteOverlay::kClear);
    tools.ReleaseTool({5, 3}, 0);
    EXPECT_EQ(changedSince(before), (std::vector<Pixel>{{1, 1}, {2, 2}, {3, 2}, {4, 3}, {5, 3}}));
    EXPECT_TRUE(tools.preview().empty());

    // Across the grey tile only the white pixels change.
    stroke(kRightButton, {{12, 5}, {20, 5}});
    EXPECT_EQ(at(15, 5), kBack);
    EXPECT_EQ(at(16, 5), 0);

    // Shift at the release makes it the outline of a rectangle. Pressed or
    // released without a move, it changes the preview at once, and the
    // release draws what the preview showed.
    for (const std::int16_t shift : {kShiftKey, std::int16_t{0}}) {
        const ByteGrid beforeShape = doc.SpriteBuffer;
        tools.ApplyTool({5, 11}, kLeftButton, kShiftKey ^ shift);
        tools.ApplyTool({2, 9}, kLeftButton, kShiftKey ^ shift);
        tools.ModifiersChanged(shift);
        std::vector<Pixel> previewed;
        for (std::int32_t y = 0; y < 16; ++y) {
            for (std::int32_t x = 0; x < 24; ++x) {
                if (tools.preview().cell({x, y}) == kFore) previewed.push_back({x, y});
            }
        }
        tools.ReleaseTool({2, 9}, shift);
        EXPECT_EQ(changedSince(beforeShape), previewed) << shift;
        if (shift) {
            EXPECT_EQ(previewed.size(), 10u);  // 4 x 3 pixels, the middle two inside
            EXPECT_EQ(at(3, 10), 0);
            EXPECT_EQ(at(2, 10), kFore);
            tools.Undo();
        } else {
            EXPECT_EQ(previewed.size(), 4u);  // the line
        }
    }
    EXPECT_EQ(history().undoSteps(), 3u);
}

TEST_F(Tools, SprayCanDotsAroundThePointerInWhiteTilesTheSameWayEachStroke) {
    choose(PaintTool::SprayCan);
    const ByteGrid before = doc.SpriteBuffer;
    const std::vector<Pixel> path = {{14, 3}, {15, 4}, {16, 6}, {14, 9}};
    stroke(kLeftButton, path);
    const ByteGrid sprayed = doc.SpriteBuffer;
    const std::vector<Pixel> dots = changedSince(before);
    ASSERT_FALSE(dots.empty());
    EXPECT_LE(dots.size(), path.size() * PaintTools::kSprayDots);
    for (const Pixel dot : dots) {
        EXPECT_EQ(doc.TileMap.at(dot.x / 8, dot.y / 8), 1) << dot.x << "," << dot.y;
        bool near = false;
        for (const Pixel p : path) {
            const int dx = dot.x - p.x;
            const int dy = dot.y - p.y;
            near |= dx * dx + dy * dy <= PaintTools::kSprayRadius * PaintTools::kSprayRadius;
        }
        EXPECT_TRUE(near) << dot.x << "," << dot.y;
    }
    EXPECT_EQ(history().undoSteps(), 1u);
    tools.Undo();
    stroke(kLeftButton, path);
    EXPECT_TRUE(changedSince(sprayed).empty());
}

// A moved block floats: nothing under it changes until it is dropped, and
// dropping writes only into white tiles, as one undo step that takes the
// marquee with it.
TEST_F(Tools, SelectionMovesAFloatingBlockThatOnlyADropWrites) {
    pattern();
    choose(PaintTool::Selection);
    const ByteGrid before = doc.SpriteBuffer;
    const PixelRect source{1, 1, 3, 2};
    const PixelRect overGrey{15, 1, 3, 2};  // its right two columns over the grey tile
    stroke(kLeftButton, {{3, 2}, {1, 1}});
    EXPECT_EQ(tools.selection().selection(), source);
    EXPECT_EQ(tools.preview().marquee(), source);
    EXPECT_EQ(history().undoSteps(), 0u);

    // Dragged 14 to the right, onto the grey tile, and back: nothing is lost.
    tools.ApplyTool({2, 1}, kLeftButton, 0);
    tools.ApplyTool({16, 1}, kLeftButton, 0);
    EXPECT_EQ(tools.preview().cell({15, 1}), before.at(1, 1));
    EXPECT_EQ(tools.preview().cell({1, 1}), 0);
    EXPECT_EQ(tools.preview().cell({16, 1}), tess::tiles::SpriteOverlay::kClear);  // grey
    tools.ReleaseTool({16, 1}, 0);
    EXPECT_TRUE(tools.selection().floating());
    EXPECT_EQ(tools.preview().marquee(), overGrey);
    stroke(kLeftButton, {{16, 2}, {2, 2}});
    tools.Drop();
    EXPECT_TRUE(changedSince(before).empty());
    EXPECT_EQ(history().undoSteps(), 0u);  // a drop that changes nothing is no step

    // Moved and dropped over the grey tile: one step, white pixels only.
    stroke(kLeftButton, {{2, 1}, {16, 1}});
    EXPECT_TRUE(changedSince(before).empty());  // floating
    stroke(kLeftButton, {{20, 12}, {21, 13}});  // a press outside drops it, then marks anew
    for (std::int32_t y = 1; y <= 2; ++y) {
        for (std::int32_t x = 1; x <= 3; ++x) {
            EXPECT_EQ(at(x, y), 0);
            EXPECT_EQ(at(x + 14, y), x + 14 < 16 ? before.at(x, y) : before.at(x + 14, y));
        }
    }
    EXPECT_EQ(tools.selection().selection(), (PixelRect{20, 12, 2, 2}));
    EXPECT_EQ(history().undoSteps(), 1u);

    // Undo and redo bring back the marquee of their side with the pixels.
    const ByteGrid dropped = doc.SpriteBuffer;
    tools.Undo();
    EXPECT_TRUE(changedSince(before).empty());
    EXPECT_EQ(tools.selection().selection(), source);
    EXPECT_EQ(tools.preview().marquee(), source);
    tools.Redo();
    EXPECT_TRUE(changedSince(dropped).empty());
    EXPECT_EQ(tools.selection().selection(), (PixelRect{20, 12, 2, 2}));
    tools.Undo();

    // Esc puts a moved block back where it came from; undo drops a block first.
    stroke(kLeftButton, {{2, 2}, {10, 10}});
    tools.Cancel();
    EXPECT_FALSE(tools.selection().floating());
    EXPECT_EQ(tools.selection().selection(), source);
    EXPECT_TRUE(changedSince(before).empty());
    stroke(kLeftButton, {{2, 2}, {10, 10}});
    tools.Undo();
    EXPECT_TRUE(changedSince(before).empty());
    EXPECT_EQ(tools.selection().selection(), source);
    EXPECT_EQ(history().redoSteps(), 1u);  // the drop, which redo brings back
    tools.Cancel();                        // without a block: the selection goes
    EXPECT_FALSE(tools.selection().selection());
}

TEST_F(Tools, SelectionCopiesCutsClearsAndPastesAFloatingBlock) {
    pattern();
    const ByteGrid before = doc.SpriteBuffer;
    choose(PaintTool::Selection);
    tools.Paste();  // an empty clipboard pastes nothing
    EXPECT_FALSE(tools.selection().floating());

    // Copy, paste in place, move the pasted block away: the original stays,
    // and the pasted pixels go down where the block was dropped.
    stroke(kLeftButton, {{0, 0}, {1, 1}});
    tools.Copy();
    tools.Paste();
    EXPECT_TRUE(changedSince(before).empty());
    stroke(kLeftButton, {{0, 0}, {20, 10}});
    tools.Drop();
    EXPECT_EQ(changedSince(before), (std::vector<Pixel>{{20, 10}, {21, 10}, {20, 11}, {21, 11}}));
    EXPECT_EQ(at(21, 11), before.at(1, 1));
    EXPECT_EQ(tools.selection().selection(), (PixelRect{20, 10, 2, 2}));
    EXPECT_EQ(history().undoSteps(), 1u);

    // A pasted block moved over pixels leaves them as they were when moved on.
    const ByteGrid pasted = doc.SpriteBuffer;
    tools.Paste();
    stroke(kLeftButton, {{20, 10}, {22, 12}});
    stroke(kLeftButton, {{22, 12}, {5, 5}});
    EXPECT_TRUE(changedSince(pasted).empty());
    tools.Cancel();  // Esc: a pasted block writes nothing
    EXPECT_TRUE(changedSince(pasted).empty());
    EXPECT_EQ(history().undoSteps(), 1u);

    // Cut and Delete clear to 0, a floating block included.
    tools.Cut();
    EXPECT_EQ(at(20, 10), 0);
    tools.Paste();
    stroke(kLeftButton, {{20, 10}, {4, 4}});
    tools.Delete();  // the pasted block is thrown away
    EXPECT_EQ(at(4, 4), before.at(4, 4));
    stroke(kLeftButton, {{0, 0}});  // no selection: pastes at the top-left corner
    at(0, 0) = 15;
    tools.Paste();
    tools.Drop();
    EXPECT_EQ(at(0, 0), before.at(0, 0));
    tools.Delete();
    EXPECT_EQ(at(1, 1), 0);
    EXPECT_EQ(history().undoSteps(), 4u);  // drop, cut, drop, delete

    choose(PaintTool::Pencil);  // the keys belong to the Selection tool
    tools.Paste();
    EXPECT_EQ(history().undoSteps(), 4u);
    EXPECT_FALSE(tools.selection().selection());
}
