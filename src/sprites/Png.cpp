#include "sprites/Png.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>

#include "sprites/ImageRefused.h"

namespace tess::sprites {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxSide = 32767;  // no sprite is wider or taller

// libpng reports an error by calling onError and then jumping back to the
// setjmp of the call in progress. So each call keeps everything the jump must
// not lose in a Session that lives outside the function holding the setjmp,
// and no C++ object with a destructor lives in that function's frame.
struct Session {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::span<const std::uint8_t> input;
    std::size_t read = 0;
    std::vector<std::uint8_t>* output = nullptr;
    std::string error;
};

void onError(png_structp png, png_const_charp message) {
    static_cast<Session*>(png_get_error_ptr(png))->error = message;
}
void onWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* s = static_cast<Session*>(png_get_io_ptr(png));
    if (length > s->input.size() - s->read) png_error(png, "the file ends too early");
    std::memcpy(out, s->input.data() + s->read, length);
    s->read += length;
}

void writeBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* s = static_cast<Session*>(png_get_io_ptr(png));
    s->output->insert(s->output->end(), data, data + length);
}
void flush(png_structp) {}

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

// Asks for the pixels in PngPicture's form and returns whether they are indices.
bool chooseTransforms(png_structp png, png_infop info) {
    const png_byte colourType = png_get_color_type(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_packing(png);
        return true;
    }
    const bool keyed = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    // The colour key is compared at the file's own bit depth, before the strip.
    if (keyed) png_set_tRNS_to_alpha(png);
    png_set_strip_16(png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if ((colourType & PNG_COLOR_MASK_ALPHA) == 0 && !keyed) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    return false;
}

bool decode(Session& s, PngPicture& picture, std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_set_read_fn(s.png, &s, readBytes);
    png_set_user_limits(s.png, kMaxSide, kMaxSide);
    // Indices beyond a short palette are the image's own: the caller judges them.
    png_set_check_for_invalid_index(s.png, -1);
    png_read_info(s.png, s.info);
    picture.indexed = chooseTransforms(s.png, s.info);
    png_set_interlace_handling(s.png);
    png_read_update_info(s.png, s.info);
    picture.width = static_cast<std::int32_t>(png_get_image_width(s.png, s.info));
    picture.height = static_cast<std::int32_t>(png_get_image_height(s.png, s.info));
    const std::size_t rowBytes = png_get_rowbytes(s.png, s.info);
    picture.pixels.resize(rowBytes * static_cast<std::size_t>(picture.height));
    rows.resize(static_cast<std::size_t>(picture.height));
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = picture.pixels.data() + y * rowBytes;
    png_read_image(s.png, rows.data());
    png_read_end(s.png, nullptr);
    return true;
}

bool encode(Session& s, std::int32_t width, std::int32_t height,
            const std::vector<png_color>& palette, const std::vector<png_byte>& alpha,
            std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_set_write_fn(s.png, &s, writeBytes, flush);
    png_set_IHDR(s.png, s.info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 4, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(s.png, s.info, palette.data(), static_cast<int>(palette.size()));
    if (!alpha.empty()) {
        png_set_tRNS(s.png, s.info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
    }
    png_write_info(s.png, s.info);
    png_set_packing(s.png);
    png_write_image(s.png, rows.data());
    png_write_end(s.png, nullptr);
    return true;
}

}  // namespace

bool HasPngSignature(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= sizeof kSignature &&
           std::memcmp(bytes.data(), kSignature, sizeof kSignature) == 0;
}

PngSize ReadPngSize(std::span<const std::uint8_t> png) {
    // The IHDR chunk must come first: its width and height follow the signature
    // and the chunk's length and type.
    if (png.size() < 24 || !HasPngSignature(png) || std::memcmp(png.data() + 12, "IHDR", 4) != 0) {
        throw ImageRefused("The file is not a PNG image it can read: its header is damaged.");
    }
    return {static_cast<std::int32_t>(bigEndian(png, 16) & 0x7FFFFFFF),
            static_cast<std::int32_t>(bigEndian(png, 20) & 0x7FFFFFFF)};
}

PngPicture DecodePng(std::span<const std::uint8_t> png) {
    Session s;
    s.input = png;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, onError, onWarning);
    if (s.png) s.info = png_create_info_struct(s.png);
    PngPicture picture;
    std::vector<png_bytep> rows;
    const bool done = s.info && decode(s, picture, rows);
    png_destroy_read_struct(&s.png, &s.info, nullptr);
    if (!done) {
        throw ImageRefused("The PNG image cannot be read" +
                           (s.error.empty() ? std::string(".") : ": " + s.error + "."));
    }
    return picture;
}

std::vector<std::uint8_t> EncodeIndexedPng(std::int32_t width, std::int32_t height,
                                           std::span<const std::uint8_t> indices,
                                           const std::array<std::uint32_t, 16>& colours) {
    std::vector<png_color> palette;
    std::vector<png_byte> alpha;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const std::uint32_t c = colours[i];
        palette.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                           static_cast<png_byte>(c)});
        alpha.push_back(static_cast<png_byte>(c >> 24));
    }
    while (!alpha.empty() && alpha.back() == 255) alpha.pop_back();  // opaque ones need no entry

    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        // libpng reads the rows only; it takes them as non-const.
        rows[y] = const_cast<png_bytep>(indices.data() + y * static_cast<std::size_t>(width));
    }
    std::vector<std::uint8_t> out;
    Session s;
    s.output = &out;
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &s, onError, onWarning);
    if (s.png) s.info = png_create_info_struct(s.png);
    const bool done = s.info && encode(s, width, height, palette, alpha, rows);
    png_destroy_write_struct(&s.png, &s.info);
    if (!done) throw std::bad_alloc();  // only memory can fail a write to memory
    return out;
}

}  // namespace tess::sprites
