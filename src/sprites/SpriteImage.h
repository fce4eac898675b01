#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "paint/GenesisPalette.h"
#include "sprites/Bitmap4.h"
#include "tiles/SpriteDocument.h"

namespace tess::sprites {

// Images in and out of a sprite, the rules the window and the command line
// share. An image's pixels become palette indices of the sprite's palette.

// Why an image cannot go into a sprite, in words for the user.
class ImageRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A picture as palette indices 0..15, pixel (x, y) counted from the top-left.
class IndexedPicture {
public:
    IndexedPicture(std::int32_t width, std::int32_t height, std::vector<std::uint8_t> indices);
    explicit IndexedPicture(Bitmap4 bitmap);

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    std::uint8_t at(std::int32_t x, std::int32_t y) const;

private:
    std::int32_t width_;
    std::int32_t height_;
    std::vector<std::uint8_t> indices_;  // one a pixel, unless the picture is a bitmap
    Bitmap4 bitmap_;
    bool isBitmap_ = false;
};

struct SpriteImage {
    IndexedPicture picture;
    bool bitmap = false;          // a 4-bit BMP, which may be laid over a sprite of any size
    std::size_t inexactPixels = 0;  // colour pixels no palette entry matched exactly
};

// Reads a PNG or a BMP as palette indices of `palette`:
// - a palette PNG gives its pixel values as they are (a value above 15 is
//   refused: a sprite has 16 colours);
// - a 4-bit BMP gives its pixel values as File > Import Sprite... reads them;
//   a BMP of any other depth is refused with that command's message;
// - any other PNG (grey, RGB, RGBA) maps each pixel to the nearest palette
//   entry by CIEDE2000, a fully transparent pixel to entry 0, and counts the
//   pixels that no entry matched exactly. On a tie a visible entry (1..15)
//   wins over entry 0, so that a black outline stays black when entry 0 is
//   black too.
// Raises ImageRefused for anything else, tess::fileError when the file cannot
// be read.
SpriteImage ReadSpriteImage(const std::string& path, const paint::GenesisPalette& palette);

// Refuses a picture that is not exactly the sprite's size (8 x Width by
// 8 x Height pixels), naming the size it needs.
void RequireSpriteSize(const IndexedPicture& picture, const tiles::SpriteDocument& doc);

// Lays the picture over the sprite from its top-left corner, one pixel to one
// sprite pixel, writing only into white tiles; pixels beyond the sprite, and
// those over grey tiles or cells without a tile, are passed over. Returns how
// many sprite pixels changed.
std::size_t LayPicture(const IndexedPicture& picture, tiles::SpriteDocument& doc);

// The sprite as an indexed PNG: one pixel per sprite pixel (8 x Width by
// 8 x Height) holding its palette index, the palette's screen colours as the
// colour table and entry 0 transparent.
std::vector<std::uint8_t> SpritePng(const tiles::SpriteDocument& doc,
                                    const paint::GenesisPalette& palette);

}  // namespace tess::sprites
