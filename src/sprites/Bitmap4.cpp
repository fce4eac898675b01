#include "sprites/Bitmap4.h"

#include <algorithm>

#include "base/RomFile.h"

namespace tess::sprites {
namespace {

constexpr std::size_t kPixelDataOffset = 14 + 40 + 16 * 4;

std::uint32_t little(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        const std::size_t k = at + static_cast<std::size_t>(i);
        value = value << 8 | (k < bytes.size() ? bytes[k] : 0u);
    }
    return value;
}

std::int64_t rowBytes(std::int32_t width) { return (std::int64_t{width} * 4 + 31) / 32 * 4; }

}  // namespace

std::uint8_t Bitmap4::at(std::int32_t x, std::int32_t y) const {
    const std::int64_t row = height < 0 ? y : rows() - 1 - y;
    const std::int64_t index = row * rowBytes(width) + x / 2;
    if (index < 0 || index >= static_cast<std::int64_t>(pixelData.size())) return 0;
    const std::uint8_t byte = pixelData[static_cast<std::size_t>(index)];
    return x % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

std::optional<Bitmap4> ReadBitmap4(const std::string& path) {
    return ParseBitmap4(readWhole(path));
}

std::optional<Bitmap4> ParseBitmap4(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return std::nullopt;
    Bitmap4 bitmap;
    bitmap.width = static_cast<std::int32_t>(little(bytes, 18, 4));
    bitmap.height = static_cast<std::int32_t>(little(bytes, 22, 4));
    bitmap.bitsPerPixel = static_cast<std::uint16_t>(little(bytes, 28, 2));
    std::int64_t imageSize = little(bytes, 34, 4);
    // Uncompressed bitmaps may leave the image size 0: then it is the rows'.
    if (imageSize == 0 && bitmap.width > 0) imageSize = rowBytes(bitmap.width) * bitmap.rows();
    if (bytes.size() > kPixelDataOffset) {
        const auto available = static_cast<std::int64_t>(bytes.size() - kPixelDataOffset);
        const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(kPixelDataOffset);
        bitmap.pixelData.assign(begin, begin + std::min(imageSize, available));
    }
    return bitmap;
}

}  // namespace tess::sprites
