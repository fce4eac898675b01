#include "codec/NibbleStretches.h"

#include <algorithm>
#include <map>

namespace tess::codec::nemesis {
namespace {

// Covers longer than this are extended with the run of least cost per nibble instead of being
// searched. That is exact: were r* that run, r* copies of any other run r can be traded for r
// copies of r* at no loss, so some cheapest cover uses fewer than r* copies of each other run,
// i.e. under 7 x (1 + ... + 8) = 252 nibbles of other runs. Any longer cover holds an r* run,
// and dropping it leaves a cheapest cover of the rest.
constexpr uint32_t kSearchedCover = 252 + kMaxRun;

}  // namespace

NibbleStretches::NibbleStretches(std::span<const uint8_t> nibbles) {
    std::array<std::map<uint32_t, uint32_t>, 16> counts;
    for (std::size_t i = 0; i < nibbles.size();) {
        std::size_t j = i + 1;
        while (j < nibbles.size() && nibbles[j] == nibbles[i]) ++j;
        ++counts[nibbles[i] & 0x0F][static_cast<uint32_t>(j - i)];
        i = j;
    }
    for (unsigned v = 0; v < 16; ++v) {
        Group& group = groups_[v];
        for (const auto& [length, count] : counts[v]) group.lengths.push_back({length, count});
        const uint32_t longest = group.lengths.empty() ? 0 : group.lengths.back().length;
        group.choice.assign(std::min(longest, kSearchedCover) + 1, 0);
    }
}

uint64_t NibbleStretches::split(const SymbolCosts& costs, SymbolUses& uses) {
    uint64_t total = 0;
    for (unsigned v = 0; v < 16; ++v) total += splitNibble(v, costs, uses);
    return total;
}

uint64_t NibbleStretches::splitNibble(unsigned nibble, const SymbolCosts& costs, SymbolUses& uses) {
    Group& group = groups_[nibble];
    const uint32_t* c = &costs[symbolOf(nibble, 1)] - 1;  // c[r] for r = 1..8
    uint32_t* u = &uses[symbolOf(nibble, 1)] - 1;
    for (unsigned r = 1; r <= kMaxRun; ++r) u[r] = 0;
    if (group.lengths.empty()) return 0;

    const std::size_t searched = group.choice.size() - 1;
    best_.resize(searched + 1);
    best_[0] = 0;
    for (std::size_t k = 1; k <= searched; ++k) {
        uint64_t cheapest = UINT64_MAX;
        uint8_t pick = 1;
        // Longest run first: on a tie the cover with fewer runs wins, which keeps the uses
        // concentrated on few symbols.
        for (std::size_t r = std::min<std::size_t>(k, kMaxRun); r >= 1; --r) {
            const uint64_t cost = best_[k - r] + c[r];
            if (cost < cheapest) {
                cheapest = cost;
                pick = static_cast<uint8_t>(r);
            }
        }
        best_[k] = cheapest;
        group.choice[k] = pick;
    }
    unsigned star = kMaxRun;
    for (unsigned r = kMaxRun; r >= 1; --r) {
        if (uint64_t{c[r]} * star < uint64_t{c[star]} * r) star = r;
    }
    group.cheapestRun = static_cast<uint8_t>(star);

    uint64_t total = 0;
    for (const LengthCount& lc : group.lengths) {
        uint32_t k = lc.length;
        if (k > searched) {
            const uint32_t extra = (k - static_cast<uint32_t>(searched) + star - 1) / star;
            k -= extra * star;
            u[star] += extra * lc.count;
            total += uint64_t{extra} * c[star] * lc.count;
        }
        total += best_[k] * lc.count;
        for (; k > 0; k -= group.choice[k]) u[group.choice[k]] += lc.count;
    }
    return total;
}

void NibbleStretches::runsOf(unsigned nibble, uint32_t length, std::vector<uint8_t>& runs) const {
    const Group& group = groups_[nibble & 0x0F];
    const uint32_t searched = static_cast<uint32_t>(group.choice.size() - 1);
    uint32_t k = length;
    for (; k > searched; k -= group.cheapestRun) runs.push_back(group.cheapestRun);
    for (; k > 0; k -= group.choice[k]) runs.push_back(group.choice[k]);
}

}  // namespace tess::codec::nemesis
