#pragma once

#include <cstdint>
#include <string>

#include "paint/ScreenColour.h"

namespace tess::paint {

// A Genesis colour word as stored big-endian in the ROM: high byte 0000BBBB,
// low byte GGGGRRRR, each nibble even (bit 0 carries no meaning). Bytes read
// from a ROM are kept as they are, unused bits included.
struct GenesisWord {
    std::uint8_t high = 0;
    std::uint8_t low = 0;

    bool operator==(const GenesisWord&) const = default;
};

// The screen colour of a word: each nibble n becomes 16 * n. Bits 12..15 are
// ignored; an odd nibble has no screen level and gives 0.
ScreenColour GenesisToRgb(std::uint8_t high, std::uint8_t low);

// The word nearest below a screen colour: each component's high nibble, an
// odd one lowered to the even value below it. Round trip through
// GenesisToRgb gives 32 * (c / 32) per component.
GenesisWord RgbToGenesis(ScreenColour colour);

// A palette cell's tooltip: the packed colour in uppercase hexadecimal
// without leading zeros ("E0" for (224, 0, 0), "0" for black).
std::string colourTooltip(ScreenColour colour);

}  // namespace tess::paint
