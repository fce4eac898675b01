#include "paint/UndoHistory.h"

#include <algorithm>

namespace tess::paint {
namespace {

// Row r of tile (tx, ty) in the buffer.
template <class Grid>
auto tileRow(Grid& buffer, std::int32_t tx, std::int32_t ty, std::int32_t r) {
    return buffer.row(8 * ty + r) + 8 * tx;
}

}  // namespace

void UndoHistory::adopt(const tiles::ByteGrid& buffer) {
    if (buffer.upperX() == upperX_ && buffer.upperY() == upperY_) return;
    clear();
    upperX_ = buffer.upperX();
    upperY_ = buffer.upperY();
}

void UndoHistory::keepTiles(const tiles::ByteGrid& buffer, std::int32_t tx0, std::int32_t tx1,
                            std::int32_t ty) {
    adopt(buffer);
    const std::int32_t tilesWide = upperX_ / kTile + 1;
    if (kept_.empty()) kept_.assign(static_cast<std::size_t>(tilesWide) * (upperY_ / kTile + 1), 0);
    std::uint8_t* kept = kept_.data() + static_cast<std::size_t>(ty) * tilesWide;
    for (std::int32_t tx = tx0; tx <= tx1; ++tx) {
        if (kept[tx]) continue;
        kept[tx] = 1;
        TileCopy copy;
        copy.tx = tx;
        copy.ty = ty;
        for (std::int32_t r = 0; r < kTile; ++r) {
            std::copy_n(tileRow(buffer, tx, ty, r), kTile, copy.pixels.data() + r * kTile);
        }
        gesture_.push_back(copy);
    }
}

bool UndoHistory::endGesture(const tiles::ByteGrid& buffer, const Selection& selectedBefore) {
    const auto unchanged = [&](const TileCopy& copy) {
        for (std::int32_t r = 0; r < kTile; ++r) {
            if (!std::equal(copy.pixels.data() + r * kTile, copy.pixels.data() + (r + 1) * kTile,
                            tileRow(buffer, copy.tx, copy.ty, r))) {
                return false;
            }
        }
        return true;
    };
    std::erase_if(gesture_, unchanged);
    Step step{{}, selectedBefore};
    step.tiles.swap(gesture_);
    kept_.clear();
    if (step.tiles.empty()) return false;

    for (const Step& dropped : redo_) stepBytes_ -= stepBytes(dropped.tiles);
    redo_.clear();
    stepBytes_ += stepBytes(step.tiles);
    undo_.push_back(std::move(step));
    while (stepBytes_ > budget_ && undo_.size() > 1) {
        stepBytes_ -= stepBytes(undo_.front().tiles);
        undo_.pop_front();
    }
    return true;
}

bool UndoHistory::move(std::deque<Step>& from, std::deque<Step>& to, tiles::ByteGrid& buffer,
                       Selection& selection) {
    adopt(buffer);
    if (from.empty()) return false;
    std::swap(from.back().selection, selection);
    for (TileCopy& copy : from.back().tiles) {
        for (std::int32_t r = 0; r < kTile; ++r) {
            std::swap_ranges(copy.pixels.data() + r * kTile, copy.pixels.data() + (r + 1) * kTile,
                             tileRow(buffer, copy.tx, copy.ty, r));
        }
    }
    to.push_back(std::move(from.back()));
    from.pop_back();
    return true;
}

bool UndoHistory::undo(tiles::ByteGrid& buffer, Selection& selection) {
    return move(undo_, redo_, buffer, selection);
}

bool UndoHistory::redo(tiles::ByteGrid& buffer, Selection& selection) {
    return move(redo_, undo_, buffer, selection);
}

void UndoHistory::clear() {
    undo_.clear();
    redo_.clear();
    stepBytes_ = 0;
    gesture_.clear();
    kept_.clear();
    upperX_ = upperY_ = -1;
}

std::size_t UndoHistory::bytes() const {
    return stepBytes_ + stepBytes(gesture_) + kept_.capacity();
}

}  // namespace tess::paint
