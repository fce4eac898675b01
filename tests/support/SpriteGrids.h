#pragma once

#include <gtest/gtest.h>

#include "tiles/Grid.h"

namespace tess::test {

// Whether a sprite's grid holds what was expected, and if not, where it first differs.
inline ::testing::AssertionResult sameGrid(const tiles::ByteGrid& actual,
                                           const tiles::ByteGrid& expected) {
    if (actual.upperX() != expected.upperX() || actual.upperY() != expected.upperY()) {
        return ::testing::AssertionFailure()
               << "bounds " << actual.upperX() << " x " << actual.upperY() << " against "
               << expected.upperX() << " x " << expected.upperY();
    }
    for (std::int32_t y = 0; y <= expected.upperY(); ++y) {
        for (std::int32_t x = 0; x <= expected.upperX(); ++x) {
            if (actual.at(x, y) != expected.at(x, y)) {
                return ::testing::AssertionFailure()
                       << "(" << x << ", " << y << ") holds " << int{actual.at(x, y)} << ", not "
                       << int{expected.at(x, y)};
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace tess::test
