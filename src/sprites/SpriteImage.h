#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "paint/GenesisPalette.h"
#include "sprites/Bitmap4.h"
#include "sprites/ImageRefused.h"
#include "tiles/SpriteDocument.h"

namespace tess::sprites {

// Images in and out of a sprite: one set of rules for the window and the
// command line. An image's pixels become palette indices of the sprite.

// The colours a sprite's indices stand for: entries 1..15 of the palette as
// it stands (edits included), and entry 0 in the colour of the ROM's own word
// for it. The window shows index 0 in a colour of the user's, which says
// nothing about the sprite, so no image is matched against or exported with it.
using SpriteColours = std::array<paint::ScreenColour, paint::GenesisPalette::kEntries>;
// The ROM's word for entry 0 is read from romPath at the palette's offset;
// bytes past the end of the file, or a negative offset, read as black.
// Raises tess::fileError when the ROM cannot be read.
SpriteColours RomColours(const paint::GenesisPalette& palette, const std::string& romPath);

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

// An image read for a sprite, ready to be laid over it.
struct ImageImport {
    IndexedPicture picture;
    std::size_t inexactPixels = 0;  // colour pixels no entry matched exactly

    // What the user is told after the import, or "" when there is nothing to say.
    std::string note() const;
};

// Reads an image to import into the sprite:
// - a 4-bit BMP gives its pixel values, as File > Import Sprite... reads them,
//   and may be of any size: it is laid from the sprite's top-left corner;
//   a BMP of another depth is refused with that command's message;
// - a PNG must be exactly the sprite's size (8 x Width by 8 x Height pixels).
//   A palette PNG gives its stored indices as they are (any bit depth; an
//   index above 15 is refused: a sprite has 16 colours). Any other PNG (grey
//   or colour, 8 or 16 bits, with alpha or a colour key) maps each fully
//   transparent pixel to 0 and each other pixel to the nearest of `colours` by
//   CIEDE2000, a visible entry (1..15) winning a tie over entry 0.
// Returns nothing for an empty file. Raises ImageRefused for anything else it
// cannot take and tess::fileError when the file cannot be read.
std::optional<ImageImport> ReadImageImport(const std::string& path,
                                           const tiles::SpriteDocument& doc,
                                           const SpriteColours& colours);

// Lays the picture over the sprite from its top-left corner, one pixel to one
// sprite pixel, writing only into white tiles; pixels beyond the sprite, and
// those over grey tiles or cells without a tile, are passed over. Returns how
// many sprite pixels changed.
std::size_t LayPicture(const IndexedPicture& picture, tiles::SpriteDocument& doc);

// The sprite as an indexed PNG: one pixel per sprite pixel (8 x Width by
// 8 x Height) holding its palette index, `colours` as its palette and entry 0
// transparent.
std::vector<std::uint8_t> SpritePng(const tiles::SpriteDocument& doc, const SpriteColours& colours);

}  // namespace tess::sprites
