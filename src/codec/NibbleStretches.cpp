#include "codec/NibbleStretches.h"

#include <algorithm>

namespace tess::codec::nemesis {
namespace {

// Stretches shorter than this are counted in a table, longer ones sorted.
constexpr uint32_t kCountedLength = 256;

// best[k]: the cheapest cover of k nibbles, for k <= searched; choice[k]: its last run. Each cover
// is extended by every run into a window of the next eight covers, held in registers; the first of
// them is then final, and the window moves on. Only the step from one cover to the next through
// run 1 is on the critical path. The longest run reaches a cover first, so on a tie the cover with
// fewer runs wins, which keeps the uses concentrated on few runs.
void coverCheapest(const RunCosts& costs, std::size_t searched, uint32_t* best, uint32_t* choice) {
    uint32_t w[kMaxRun], last[kMaxRun];
    for (unsigned i = 0; i < kMaxRun; ++i) {
        w[i] = UINT32_MAX;
        last[i] = i + 1;
    }
    uint32_t from = 0;
    best[0] = 0;
    for (std::size_t k = 0; k < searched; ++k) {
        for (unsigned i = 0; i < kMaxRun; ++i) {
            const uint32_t reached = from + costs[i];
            const bool lower = reached < w[i];
            w[i] = lower ? reached : w[i];
            last[i] = lower ? i + 1 : last[i];
        }
        from = best[k + 1] = w[0];
        choice[k + 1] = last[0];
        for (unsigned i = 0; i + 1 < kMaxRun; ++i) {
            w[i] = w[i + 1];
            last[i] = last[i + 1];
        }
        w[kMaxRun - 1] = UINT32_MAX;
        last[kMaxRun - 1] = kMaxRun;
    }
}

}  // namespace

unsigned NibbleStretches::cheapestPerNibble(const RunCosts& costs) {
    unsigned star = kMaxRun;
    for (unsigned r = kMaxRun; r >= 1; --r) {
        if (uint64_t{costs[r - 1]} * star < uint64_t{costs[star - 1]} * r) star = r;
    }
    return star;
}

NibbleStretches::NibbleStretches(std::span<const uint8_t> nibbles) {
    // Where a stretch ends depends on the art, so a branch on it would be mispredicted at every
    // stretch: each nibble writes the stretch so far instead, and only an end moves on past it.
    // The sequence ends with the last nibble's stretch, which the loop leaves unfinished.
    sequence_.resize(nibbles.size());
    std::size_t stretches = 0, start = 0;
    for (std::size_t i = 0; i + 1 < nibbles.size(); ++i) {
        sequence_[stretches] = static_cast<uint32_t>(i + 1 - start) << 4 | (nibbles[i] & 0x0F);
        const bool ends = nibbles[i + 1] != nibbles[i];
        stretches += ends;
        start = ends ? i + 1 : start;
    }
    if (!nibbles.empty()) {
        sequence_[stretches++] =
            static_cast<uint32_t>(nibbles.size() - start) << 4 | (nibbles.back() & 0x0F);
    }
    sequence_.resize(stretches);

    std::vector<std::array<uint32_t, kCountedLength>> counted(kColours);
    std::array<uint32_t, kColours> longestCounted{};
    std::array<std::vector<uint32_t>, kColours> longer;
    for (uint32_t s : sequence_) {
        const uint32_t length = s >> 4, v = s & 0x0F;
        if (length < kCountedLength) {
            ++counted[v][length];
            longestCounted[v] = std::max(longestCounted[v], length);
        } else {
            longer[v].push_back(length);
        }
    }
    for (unsigned v = 0; v < kColours; ++v) {
        Group& group = groups_[v];
        for (uint32_t length = 1; length <= longestCounted[v]; ++length) {
            if (counted[v][length] != 0) group.lengths.push_back({length, counted[v][length]});
        }
        std::sort(longer[v].begin(), longer[v].end());
        for (uint32_t length : longer[v]) {
            if (group.lengths.empty() || group.lengths.back().length != length) {
                group.lengths.push_back({length, 0});
            }
            ++group.lengths.back().count;
        }
        const uint32_t longest = group.lengths.empty() ? 0 : group.lengths.back().length;
        group.choice.assign(std::min(longest, kSearchedCover) + 1, 0);
        group.longestRun = static_cast<uint8_t>(std::min(longest, kMaxRun));
    }
}

uint64_t NibbleStretches::split(unsigned colour, const RunCosts& costs, RunUses& uses) {
    Group& group = groups_[colour];
    // Runs are 1..8; costs and uses hold them from index 0.
    uses.fill(0);
    if (group.lengths.empty()) return 0;

    const unsigned star = cheapestPerNibble(costs);
    group.cheapestRun = static_cast<uint8_t>(star);
    const uint32_t searched =
        std::min(static_cast<uint32_t>(group.choice.size() - 1), searchedCover(star));
    group.searched = searched;
    best_.resize(searched + 1);
    coverCheapest(costs, searched, best_.data(), group.choice.data());

    // Every stretch follows the last runs of the cheapest covers from its length down to 0. Rather
    // than walking each, count how many pass through each cover, from the top down: each run is
    // then counted once for all of them.
    passing_.assign(searched + 1, 0);
    uint64_t total = 0;
    for (const LengthCount& lc : group.lengths) {
        uint32_t k = lc.length;
        if (k > searched) {
            const uint32_t extra = (k - searched + star - 1) / star;
            k -= extra * star;
            uses[star - 1] += extra * lc.count;
            total += uint64_t{extra} * costs[star - 1] * lc.count;
        }
        total += uint64_t{best_[k]} * lc.count;
        passing_[k] += lc.count;
    }
    for (uint32_t k = searched; k > 0; --k) {
        const uint32_t run = group.choice[k];
        uses[run - 1] += passing_[k];
        passing_[k - run] += passing_[k];
    }
    return total;
}

}  // namespace tess::codec::nemesis
