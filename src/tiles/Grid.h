#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/RuntimeError.h"

namespace tess::tiles {

// A two-dimensional array indexed (x, y) with inclusive upper bounds: x runs
// 0..upperX(), y 0..upperY(). Every cell starts as T{}. Accessing a cell
// outside the bounds raises err::SubscriptOutOfRange. A default-made grid
// has no cells at all (upper bounds -1), so every access to it raises that too.
template <class T>
class Grid {
public:
    Grid() = default;

    // Raises err::SubscriptOutOfRange when an upper bound is below 0 (such an
    // array cannot exist).
    Grid(std::int32_t upperX, std::int32_t upperY) : upperX_(upperX), upperY_(upperY) {
        if (upperX < 0 || upperY < 0) throw subscriptError();
        cells_.assign(width() * (static_cast<std::size_t>(upperY) + 1), T{});
    }

    std::int32_t upperX() const { return upperX_; }
    std::int32_t upperY() const { return upperY_; }

    bool contains(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x <= upperX_ && y <= upperY_;
    }

    T& at(std::int32_t x, std::int32_t y) {
        if (!contains(x, y)) throw subscriptError();
        return cells_[index(x, y)];
    }
    const T& at(std::int32_t x, std::int32_t y) const {
        if (!contains(x, y)) throw subscriptError();
        return cells_[index(x, y)];
    }

    // Row-major storage for bulk readers that check the bounds themselves:
    // row y starts at row(y) and holds upperX() + 1 cells.
    const T* row(std::int32_t y) const { return cells_.data() + index(0, y); }
    T* row(std::int32_t y) { return cells_.data() + index(0, y); }

    void fill(const T& value) { cells_.assign(cells_.size(), value); }

private:
    std::size_t width() const { return static_cast<std::size_t>(upperX_) + 1; }
    std::size_t index(std::int32_t x, std::int32_t y) const {
        return static_cast<std::size_t>(y) * width() + static_cast<std::size_t>(x);
    }

    std::int32_t upperX_ = -1;
    std::int32_t upperY_ = -1;
    std::vector<T> cells_;
};

// The byte grids of a sprite: SpriteBuffer holds palette indices, TileMap
// tile states.
using ByteGrid = Grid<std::uint8_t>;

}  // namespace tess::tiles
