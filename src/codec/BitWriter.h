#pragma once

#include <cstdint>
#include <vector>

namespace tess::codec::nemesis {

// Appends bit fields most significant bit first; finish() pads the last byte with zero bits
// (internal to the encoder).
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}

    // Appends the low `count` bits of `value` (count <= 16).
    void put(unsigned value, unsigned count) {
        acc_ = (acc_ << count) | (value & ((1u << count) - 1));
        pending_ += count;
        while (pending_ >= 8) {
            pending_ -= 8;
            out_.push_back(static_cast<uint8_t>(acc_ >> pending_));
        }
    }

    void finish() {
        if (pending_ > 0) out_.push_back(static_cast<uint8_t>(acc_ << (8 - pending_)));
        pending_ = 0;
    }

private:
    std::vector<uint8_t>& out_;
    uint32_t acc_ = 0;
    unsigned pending_ = 0;
};

}  // namespace tess::codec::nemesis
