#pragma once

#include <cstdint>

namespace tess::paint {

// A colour on screen, 0..255 per component.
struct ScreenColour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    // red + 256 * green + 65536 * blue: the form colour dialogs and the
    // palette cell tooltips use.
    std::uint32_t packed() const {
        return std::uint32_t{r} | std::uint32_t{g} << 8 | std::uint32_t{b} << 16;
    }
    // The inverse of packed(); bits above 23 are ignored.
    static ScreenColour fromPacked(std::uint32_t packed) {
        return {static_cast<std::uint8_t>(packed & 0xFF),
                static_cast<std::uint8_t>((packed >> 8) & 0xFF),
                static_cast<std::uint8_t>((packed >> 16) & 0xFF)};
    }

    bool operator==(const ScreenColour&) const = default;
};

}  // namespace tess::paint
