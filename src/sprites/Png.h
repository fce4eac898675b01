#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tess::sprites {

// PNG files through libpng, which gives what a sprite needs and an image
// library would hide: a palette image's stored indices whatever its bit depth,
// its palette's colours or its palette's length, and the transparency of a
// colour key at any bit depth.

// Whether the bytes begin with the PNG signature.
bool HasPngSignature(std::span<const std::uint8_t> bytes);

// A PNG's width and height as its header gives them, read without decoding
// anything; raises ImageRefused when the bytes hold no PNG header.
struct PngSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
PngSize ReadPngSize(std::span<const std::uint8_t> png);

// A decoded PNG. A palette image gives its stored indices, one byte a pixel,
// as they are (1, 2 and 4-bit ones widened, never looked up in the palette);
// any other gives 8-bit red, green, blue and alpha, a pixel of a colour-key
// (tRNS) colour getting alpha 0. Pixels row by row from the top-left.
struct PngPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool indexed = false;
    std::vector<std::uint8_t> pixels;  // indexed: 1 byte a pixel; else 4 (RGBA)
};
// Raises ImageRefused, with libpng's reason, for a damaged or cut file, and
// for a side above 32767 pixels.
PngPicture DecodePng(std::span<const std::uint8_t> png);

// A 4-bit palette PNG of the indices (one a pixel, row by row, each 0..15)
// with `colours` as 0xAARRGGBB: an alpha below 255 goes into the tRNS chunk.
std::vector<std::uint8_t> EncodeIndexedPng(std::int32_t width, std::int32_t height,
                                           std::span<const std::uint8_t> indices,
                                           const std::array<std::uint32_t, 16>& colours);

}  // namespace tess::sprites
