#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tess::codec::nemesis {

// A map from 64-bit hashes to small numbers, for the search's memory of what it met (internal to
// the encoder). The search asks it once or more for every split it makes, so it lives in one
// array probed in order rather than in a node per key.
class HashIndex {
public:
    // The value stored with `key`, or `value` stored with it now: (value, whether it was new).
    std::pair<uint32_t, bool> tryEmplace(uint64_t key, uint32_t value) {
        if (2 * (count_ + 1) > slots_.size()) grow();
        std::size_t i = slotOf(key);
        for (; slots_[i].value != kEmpty; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i].key == key) return {slots_[i].value, false};
        }
        slots_[i] = {key, value};
        ++count_;
        return {value, true};
    }

    // Whether `key` was new.
    bool insert(uint64_t key) { return tryEmplace(key, 0).second; }

private:
    static constexpr uint32_t kEmpty = UINT32_MAX;
    struct Slot {
        uint64_t key = 0;
        uint32_t value = kEmpty;
    };

    // The keys are hashes already, but their bits may be spread unevenly: one multiplication
    // mixes them into the top bits, which pick the slot.
    std::size_t slotOf(uint64_t key) const { return (key * 0x9E3779B97F4A7C15ull) >> (64 - bits_); }

    void grow() {
        std::vector<Slot> old(std::size_t{1} << ++bits_);
        old.swap(slots_);
        count_ = 0;
        for (const Slot& slot : old) {
            if (slot.value != kEmpty) tryEmplace(slot.key, slot.value);
        }
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
    unsigned bits_ = 5;  // 64 slots from the first key on
};

}  // namespace tess::codec::nemesis
