#include "sprites/SpriteImage.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <limits>
#include <unordered_map>

#include "base/Messages.h"
#include "base/RomFile.h"
#include "base/RuntimeError.h"
#include "sprites/ColourDifference.h"

namespace tess::sprites {
namespace {

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr std::size_t kPngColourTypeAt = 25;  // in the IHDR chunk that must come first
constexpr std::uint8_t kPngPaletteColours = 3;

bool startsWith(const std::vector<std::uint8_t>& bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

std::string at(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

SpriteImage fromPalettePng(const QImage& image) {
    const QImage indexed = image.format() == QImage::Format_Indexed8
                               ? image
                               : image.convertToFormat(QImage::Format_Indexed8, image.colorTable());
    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(indexed.width()) * static_cast<std::size_t>(indexed.height()));
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* line = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            if (line[x] > 15) {
                throw ImageRefused("Pixel " + at(x, y) + " uses palette index " +
                                   std::to_string(line[x]) +
                                   "; a sprite has 16 colours, indices 0 to 15.");
            }
            indices.push_back(line[x]);
        }
    }
    return {IndexedPicture(indexed.width(), indexed.height(), std::move(indices))};
}

SpriteImage fromColourPng(const QImage& image, const paint::GenesisPalette& palette) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    std::array<Lab, paint::GenesisPalette::kEntries> entries;
    for (int i = 0; i < paint::GenesisPalette::kEntries; ++i) entries[i] = ToLab(palette.colour(i));

    struct Match {
        std::uint8_t index;
        bool exact;
    };
    std::unordered_map<QRgb, Match> seen;  // pictures have few distinct colours
    auto nearest = [&](QRgb rgb) {
        const paint::ScreenColour colour{static_cast<std::uint8_t>(qRed(rgb)),
                                        static_cast<std::uint8_t>(qGreen(rgb)),
                                        static_cast<std::uint8_t>(qBlue(rgb))};
        const Lab lab = ToLab(colour);
        Match best{0, false};
        double bestDistance = std::numeric_limits<double>::infinity();
        for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0}) {
            const double distance = Ciede2000(lab, entries[static_cast<std::size_t>(i)]);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = {static_cast<std::uint8_t>(i), palette.colour(i) == colour};
            }
        }
        return best;
    };

    std::size_t inexact = 0;
    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(argb.width()) * static_cast<std::size_t>(argb.height()));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) == 0) {
                indices.push_back(0);
                continue;
            }
            const QRgb rgb = line[x] | 0xFF000000u;
            auto found = seen.find(rgb);
            if (found == seen.end()) found = seen.emplace(rgb, nearest(rgb)).first;
            indices.push_back(found->second.index);
            if (!found->second.exact) ++inexact;
        }
    }
    return {IndexedPicture(argb.width(), argb.height(), std::move(indices)), false, inexact};
}

}  // namespace

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

SpriteImage ReadSpriteImage(const std::string& path, const paint::GenesisPalette& palette) {
    const std::vector<std::uint8_t> bytes = readWhole(path);
    if (startsWith(bytes, "BM")) {
        std::optional<Bitmap4> bitmap = ParseBitmap4(bytes);
        if (bitmap && bitmap->bitsPerPixel != 4) throw ImageRefused(kOnly4BitText);
        if (!bitmap || bitmap->width <= 0 || bitmap->height == 0) {
            throw ImageRefused("The bitmap holds no picture.");
        }
        return {IndexedPicture(std::move(*bitmap)), true};
    }
    if (!startsWith(bytes, std::string_view(kPngSignature, sizeof kPngSignature - 1))) {
        throw ImageRefused("The file is neither a PNG nor a BMP image.");
    }
    QImage image;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "PNG")) {
        throw ImageRefused("The PNG image cannot be read: it is damaged or too large.");
    }
    return bytes.size() > kPngColourTypeAt && bytes[kPngColourTypeAt] == kPngPaletteColours
               ? fromPalettePng(image)
               : fromColourPng(image, palette);
}

void RequireSpriteSize(const IndexedPicture& picture, const tiles::SpriteDocument& doc) {
    const std::int32_t width = doc.SpriteBuffer.upperX();
    const std::int32_t height = doc.SpriteBuffer.upperY();
    if (picture.width() == width && picture.height() == height) return;
    throw ImageRefused("The image is " + std::to_string(picture.width()) + " x " +
                       std::to_string(picture.height()) + " pixels; this sprite needs " +
                       std::to_string(width) + " x " + std::to_string(height) + " (" +
                       std::to_string(width / 8) + " x " + std::to_string(height / 8) +
                       " tiles).");
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
                                    const paint::GenesisPalette& palette) {
    const int width = doc.SpriteBuffer.upperX();
    const int height = doc.SpriteBuffer.upperY();
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < paint::GenesisPalette::kEntries; ++i) {
        const auto c = palette.colour(i);
        colours << qRgba(c.r, c.g, c.b, i == 0 ? 0 : 255);
    }
    image.setColorTable(colours);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) line[x] = doc.SpriteBuffer.at(x, y);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw RuntimeError(err::OutOfMemory, "Out of memory");
    return {png.begin(), png.end()};
}

}  // namespace tess::sprites
