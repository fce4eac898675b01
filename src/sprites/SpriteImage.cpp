#include "sprites/SpriteImage.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>

#include "base/Messages.h"
#include "base/RomFile.h"
#include "sprites/ColourDifference.h"
#include "sprites/Png.h"

namespace tess::sprites {
namespace {

bool hasBitmapSignature(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

std::string at(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

// The sprite's size in pixels, without the spare column and row.
PngSize spriteSize(const tiles::SpriteDocument& doc) {
    return {doc.SpriteBuffer.upperX(), doc.SpriteBuffer.upperY()};
}

void requireSpriteSize(PngSize image, const tiles::SpriteDocument& doc) {
    const PngSize sprite = spriteSize(doc);
    if (image.width == sprite.width && image.height == sprite.height) return;
    throw ImageRefused("The image is " + std::to_string(image.width) + " x " +
                       std::to_string(image.height) + " pixels; this sprite needs " +
                       std::to_string(sprite.width) + " x " + std::to_string(sprite.height) + " (" +
                       std::to_string(sprite.width / 8) + " x " +
                       std::to_string(sprite.height / 8) + " tiles).");
}

ImageImport fromIndices(const PngPicture& png) {
    for (std::size_t i = 0; i < png.pixels.size(); ++i) {
        if (png.pixels[i] > 15) {
            const auto x = static_cast<int>(i % static_cast<std::size_t>(png.width));
            const auto y = static_cast<int>(i / static_cast<std::size_t>(png.width));
            throw ImageRefused("Pixel " + at(x, y) + " uses palette index " +
                               std::to_string(png.pixels[i]) +
                               "; a sprite has 16 colours, indices 0 to 15.");
        }
    }
    return {IndexedPicture(png.width, png.height, png.pixels)};
}

ImageImport fromColours(const PngPicture& png, const SpriteColours& colours) {
    std::array<Lab, paint::GenesisPalette::kEntries> entries;
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = ToLab(colours[i]);

    struct Match {
        std::uint8_t index;
        bool exact;
    };
    std::unordered_map<std::uint32_t, Match> seen;  // pictures have few distinct colours
    auto nearest = [&](paint::ScreenColour colour) {
        const Lab lab = ToLab(colour);
        Match best{0, false};
        double bestDistance = std::numeric_limits<double>::infinity();
        // Entry 0 last: on a tie a visible entry keeps the pixel visible.
        constexpr std::uint8_t kOrder[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0};
        for (const std::uint8_t i : kOrder) {
            const double distance = Ciede2000(lab, entries[i]);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = {i, colours[i] == colour};
            }
        }
        return best;
    };

    ImageImport image{IndexedPicture(png.width, png.height, {})};
    std::vector<std::uint8_t> indices;
    indices.reserve(png.pixels.size() / 4);
    for (std::size_t i = 0; i + 3 < png.pixels.size(); i += 4) {
        if (png.pixels[i + 3] == 0) {
            indices.push_back(0);
            continue;
        }
        const paint::ScreenColour colour{png.pixels[i], png.pixels[i + 1], png.pixels[i + 2]};
        auto found = seen.find(colour.packed());
        if (found == seen.end()) found = seen.emplace(colour.packed(), nearest(colour)).first;
        indices.push_back(found->second.index);
        if (!found->second.exact) ++image.inexactPixels;
    }
    image.picture = IndexedPicture(png.width, png.height, std::move(indices));
    return image;
}

}  // namespace

SpriteColours RomColours(const paint::GenesisPalette& palette, const std::string& romPath) {
    SpriteColours colours;
    for (int i = 1; i < paint::GenesisPalette::kEntries; ++i)
        colours[static_cast<std::size_t>(i)] = palette.colour(i);
    std::array<std::uint8_t, 2> word{};
    if (palette.PaletteOffset() >= 0) readAt(romPath, palette.PaletteOffset(), word);
    colours[0] = paint::GenesisToRgb(word[0], word[1]);
    return colours;
}

IndexedPicture::IndexedPicture(std::int32_t width, std::int32_t height,
                               std::vector<std::uint8_t> indices)
    : width_(width), height_(height), indices_(std::move(indices)) {}

IndexedPicture::IndexedPicture(Bitmap4 bitmap)
    : width_(bitmap.width),
      height_(static_cast<std::int32_t>(std::min<std::int64_t>(bitmap.rows(), INT32_MAX))),
      bitmap_(std::move(bitmap)),
      isBitmap_(true) {}

std::uint8_t IndexedPicture::at(std::int32_t x, std::int32_t y) const {
    if (isBitmap_) return bitmap_.at(x, y);
    return indices_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                    static_cast<std::size_t>(x)];
}

std::string ImageImport::note() const {
    if (inexactPixels == 0) return {};
    return std::to_string(inexactPixels) + (inexactPixels == 1 ? " pixel had" : " pixels had") +
           " no exact colour in the sprite's palette and took the nearest one.";
}

std::optional<ImageImport> ReadImageImport(const std::string& path,
                                           const tiles::SpriteDocument& doc,
                                           const SpriteColours& colours) {
    const std::vector<std::uint8_t> bytes = readWhole(path);
    if (bytes.empty()) return std::nullopt;
    if (hasBitmapSignature(bytes)) {
        std::optional<Bitmap4> bitmap = ParseBitmap4(bytes);
        if (bitmap->bitsPerPixel != 4) throw ImageRefused(kOnly4BitText);
        if (bitmap->width <= 0 || bitmap->height == 0) {
            throw ImageRefused("The bitmap holds no picture.");
        }
        return ImageImport{IndexedPicture(std::move(*bitmap))};
    }
    if (!HasPngSignature(bytes)) {
        throw ImageRefused("The file is neither a PNG nor a BMP image.");
    }
    // Checked before decoding: an image of the wrong size costs nothing.
    requireSpriteSize(ReadPngSize(bytes), doc);
    const PngPicture png = DecodePng(bytes);
    return png.indexed ? fromIndices(png) : fromColours(png, colours);
}

std::size_t LayPicture(const IndexedPicture& picture, tiles::SpriteDocument& doc) {
    const std::int32_t width = std::min(picture.width(), doc.SpriteBuffer.upperX() + 1);
    const std::int32_t height = std::min(picture.height(), doc.SpriteBuffer.upperY() + 1);
    std::size_t changed = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            if (doc.TileMap.at(x / 8, y / 8) != tiles::kWhiteTile) continue;
            std::uint8_t& cell = doc.SpriteBuffer.at(x, y);
            const std::uint8_t index = picture.at(x, y);
            if (cell != index) ++changed;
            cell = index;
        }
    }
    return changed;
}

std::vector<std::uint8_t> SpritePng(const tiles::SpriteDocument& doc,
                                    const SpriteColours& colours) {
    const PngSize size = spriteSize(doc);
    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height));
    for (std::int32_t y = 0; y < size.height; ++y) {
        const std::uint8_t* row = doc.SpriteBuffer.row(y);
        indices.insert(indices.end(), row, row + size.width);
    }
    std::array<std::uint32_t, 16> table;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::uint32_t alpha = i == 0 ? 0x00 : 0xFF;
        table[i] = alpha << 24 | colours[i].r << 16 | colours[i].g << 8 | colours[i].b;
    }
    return EncodeIndexedPng(size.width, size.height, indices, table);
}

}  // namespace tess::sprites
