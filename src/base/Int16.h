#pragma once

#include <cstdint>

#include "base/RuntimeError.h"

namespace tess {

// Sizes in screen and sprite pixels are 16-bit signed quantities: a product
// outside -32768..32767 raises err::Overflow instead of wrapping.
inline std::int16_t mul16(std::int32_t a, std::int32_t b) {
    const std::int64_t product = std::int64_t{a} * b;
    if (product < INT16_MIN || product > INT16_MAX) throw overflowError();
    return static_cast<std::int16_t>(product);
}

// A 32-bit result kept in a 16-bit variable: err::Overflow outside its range.
inline std::int16_t narrow16(std::int32_t value) { return mul16(value, 1); }

}  // namespace tess
