#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "tiles/Grid.h"
#include "tiles/SpriteOverlay.h"

namespace tess::paint {

// The undo and redo steps of the sprite being edited. A step is what one
// gesture changed, kept tile by tile: for each 8 x 8 tile the gesture
// changed, the 64 pixels the sprite does not show at present (the pixels
// before the gesture while the step waits on the undo side, after it on the
// redo side), and likewise the selection the sprite does not show. Undo and
// redo are thus one operation: swap a step's tiles and selection with the
// sprite's and move the step to the other side.
//
// Memory: the steps together stay within the budget, the oldest undo steps
// dropped first; the one exception is a single step larger than the budget,
// kept alone so that the latest gesture can always be undone. A tile costs
// 72 bytes, so a step never holds more than 1.2 times the sprite's pixels.
class UndoHistory {
public:
    // 64 MiB: several whole-sprite steps of the largest sprite the view
    // shows at zoom 8 (511 x 511 tiles, 18 MiB a step), and hundreds of
    // thousands of ordinary strokes of a few tiles, while staying a small
    // part of a desktop's memory.
    static constexpr std::size_t kBudgetBytes = std::size_t{64} << 20;

    using Selection = std::optional<tiles::PixelRect>;

    explicit UndoHistory(std::size_t budgetBytes = kBudgetBytes) : budget_(budgetBytes) {}

    // Called before the gesture first changes a pixel of the tiles tx0..tx1
    // of tile row ty, which must lie wholly inside `buffer`: keeps their
    // pixels as they are. A tile already kept in this gesture is kept once.
    void keepTiles(const tiles::ByteGrid& buffer, std::int32_t tx0, std::int32_t tx1,
                   std::int32_t ty);

    // Ends the gesture: the kept tiles whose pixels now differ in `buffer`
    // become one undo step, with the selection from before the gesture, and
    // the redo side is emptied. When no pixel changed, returns false and
    // leaves both sides as they were.
    bool endGesture(const tiles::ByteGrid& buffer, const Selection& selectedBefore);

    // Swaps the newest undo (redo) step into `buffer` and `selection` and
    // moves it to the other side. Returns false, changing nothing, when that
    // side is empty. A buffer of another size than the steps were made on
    // belongs to another sprite: the history is then forgotten instead.
    bool undo(tiles::ByteGrid& buffer, Selection& selection);
    bool redo(tiles::ByteGrid& buffer, Selection& selection);

    // Forgets every step and the gesture in progress.
    void clear();

    std::size_t undoSteps() const { return undo_.size(); }
    std::size_t redoSteps() const { return redo_.size(); }
    // Bytes held by the steps and by the gesture in progress.
    std::size_t bytes() const;

private:
    static constexpr std::int32_t kTile = 8;
    struct TileCopy {
        std::int32_t tx;
        std::int32_t ty;
        std::array<std::uint8_t, kTile * kTile> pixels;
    };
    // A deque grows without moving what it holds: a whole-sprite step is
    // gathered without copies.
    using Tiles = std::deque<TileCopy>;
    struct Step {
        Tiles tiles;
        Selection selection;
    };

    static std::size_t stepBytes(const Tiles& tiles) { return tiles.size() * sizeof(TileCopy); }
    bool move(std::deque<Step>& from, std::deque<Step>& to, tiles::ByteGrid& buffer,
              Selection& selection);
    // Forgets the history when `buffer` is not the size it was made on.
    void adopt(const tiles::ByteGrid& buffer);

    std::size_t budget_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    std::size_t stepBytes_ = 0;  // of undo_ and redo_
    Tiles gesture_;
    // Per tile of the buffer, row by row: 1 once kept in this gesture.
    std::vector<std::uint8_t> kept_;
    std::int32_t upperX_ = -1;  // the buffer's bounds, -1 while the history is empty
    std::int32_t upperY_ = -1;
};

}  // namespace tess::paint
