#include "paint/GenesisColour.h"

#include <cstdio>

namespace tess::paint {
namespace {

std::uint8_t level(int nibble) {
    return (nibble & 1) != 0 ? 0 : static_cast<std::uint8_t>(nibble * 16);
}

int evenHighNibble(std::uint8_t component) { return (component >> 4) & 0x0E; }

}  // namespace

ScreenColour GenesisToRgb(std::uint8_t high, std::uint8_t low) {
    return {level(low & 0x0F), level(low >> 4), level(high & 0x0F)};
}

GenesisWord RgbToGenesis(ScreenColour colour) {
    return {static_cast<std::uint8_t>(evenHighNibble(colour.b)),
            static_cast<std::uint8_t>(evenHighNibble(colour.g) << 4 | evenHighNibble(colour.r))};
}

std::string colourTooltip(ScreenColour colour) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(colour.packed()));
    return text;
}

}  // namespace tess::paint
