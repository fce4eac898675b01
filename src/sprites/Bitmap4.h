#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tess::sprites {

// A 16-colour Windows bitmap read the way File > Import Sprite... reads it:
// width (file offset 18), height (22), bits per pixel (28) and image size (34)
// from the information header, and the pixel data from offset 118, right
// after a 16-entry colour table, whatever offset the file header names. The
// colour table is not used: pixel values are palette indices.
//
// Rows are padded to whole 4-byte words. A positive height stores them bottom
// up, a negative one top down (the picture is upright either way). In each
// byte the high nibble is the left pixel. Bytes the file does not hold read
// as 0, so a truncated file still reads.
struct Bitmap4 {
    std::int32_t width = 0;
    std::int32_t height = 0;  // as stored: negative for top-down rows
    std::uint16_t bitsPerPixel = 0;
    std::vector<std::uint8_t> pixelData;

    std::int64_t rows() const { return height < 0 ? -std::int64_t{height} : height; }
    // Pixel (x, y) counted from the top-left; 0 <= x < width, 0 <= y < rows().
    std::uint8_t at(std::int32_t x, std::int32_t y) const;
};

// Reads a bitmap file, or its bytes. Returns nothing for a file of length 0;
// raises tess::fileError when the file cannot be read. The bits per pixel are
// not checked here: the caller refuses anything but 4.
std::optional<Bitmap4> ReadBitmap4(const std::string& path);
std::optional<Bitmap4> ParseBitmap4(const std::vector<std::uint8_t>& bytes);

}  // namespace tess::sprites
