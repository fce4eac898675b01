#pragma once

// Helpers shared by the Nemesis tests, beside the shared test files: synthetic tile art and a
// hand-made stream writer.

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

namespace tess::test {

using Bytes = std::vector<uint8_t>;

// `tiles` tiles whose pixel (x, y) of tile t is pixel(t, x, y) & 15.
template <class Pixel>
Bytes makeArt(int tiles, Pixel pixel) {
    Bytes bytes(static_cast<std::size_t>(tiles) * 32);
    for (int t = 0; t < tiles; ++t) {
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; x += 2) {
                const int hi = pixel(t, x, y) & 15;
                const int lo = pixel(t, x + 1, y) & 15;
                bytes[static_cast<std::size_t>(t * 32 + y * 4 + x / 2)] =
                    static_cast<uint8_t>(hi << 4 | lo);
            }
        }
    }
    return bytes;
}

inline Bytes noiseArt(int tiles, unsigned seed, int colours = 16) {
    std::mt19937 random(seed);
    return makeArt(tiles, [&](int, int, int) { return static_cast<int>(random() % colours); });
}

// A tile the default effort packs into one byte more than the best effort.
inline Bytes tileBestPacksSmaller() {
    std::minstd_rand random(92);
    Bytes tile(32);
    int colour = 0;
    int left = 0;
    for (std::uint8_t& byte : tile) {
        for (int half = 0; half < 2; ++half) {
            if (left == 0) {
                colour = static_cast<int>(random() % 5);
                left = 1 + static_cast<int>(random() % 6);
            }
            byte = static_cast<std::uint8_t>(byte << 4 | colour);
            --left;
        }
    }
    return tile;
}

// Writes a stream by hand: header, table and bitstream, most significant bit first.
class StreamWriter {
public:
    StreamWriter& header(unsigned tiles, bool xorMode = false) {
        const unsigned word = tiles | (xorMode ? 0x8000u : 0u);
        bytes_.push_back(static_cast<uint8_t>(word >> 8));
        bytes_.push_back(static_cast<uint8_t>(word));
        return *this;
    }
    StreamWriter& raw(std::initializer_list<uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes);
        return *this;
    }
    StreamWriter& select(unsigned nibble) { return raw({static_cast<uint8_t>(0x80 | nibble)}); }
    // A table entry: `code` holds the code in its low `length` bits.
    StreamWriter& entry(unsigned run, unsigned length, unsigned code) {
        return raw({static_cast<uint8_t>((run - 1) << 4 | length), static_cast<uint8_t>(code)});
    }
    StreamWriter& end() { return raw({0xFF}); }
    StreamWriter& bits(unsigned value, unsigned count) {
        for (unsigned i = count; i-- > 0;) {
            if (pending_ == 0) bytes_.push_back(0);
            bytes_.back() |= static_cast<uint8_t>(((value >> i) & 1) << (7 - pending_));
            pending_ = (pending_ + 1) % 8;
        }
        return *this;
    }
    StreamWriter& inlineRun(unsigned run, unsigned nibble) {
        return bits(0x3F, 6).bits(run - 1, 3).bits(nibble, 4);
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
    unsigned pending_ = 0;
};

}  // namespace tess::test
