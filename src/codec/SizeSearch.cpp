#include "codec/SizeSearch.h"

#include <algorithm>

namespace tess::codec::nemesis {
namespace {

// Kicks per tile, and their floor and ceiling: larger inputs have more bytes to win, and a
// descent costs about the same whatever the input's size.
constexpr double kKicksPerTile = 0.3;
constexpr double kMinKicks = 60;
constexpr double kMaxKicks = 1000;

uint64_t hashOf(const SymbolUses& uses) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t u : uses) {
        h = (h ^ u) * 1099511628211ull;
        h ^= h >> 29;
    }
    return h;
}

}  // namespace

SizeSearch::SizeSearch(NibbleStretches& stretches, std::size_t tiles)
    : stretches_(stretches), tiles_(tiles) {}

void SizeSearch::explore() {
    SymbolCosts costs;
    costs.fill(1);  // every tie goes to the longer run
    descendFrom(costs);
    for (unsigned v = 0; v < 16; ++v) {
        for (unsigned r = 1; r <= kMaxRun; ++r) costs[symbolOf(v, r)] = 2 * r - 1;  // singles win
    }
    descendFrom(costs);
    tryColourShapes();
}

void SizeSearch::kick() {
    const double kicks = static_cast<double>(tiles_) * kKicksPerTile;
    kick(static_cast<unsigned>(std::clamp(kicks, kMinKicks, kMaxKicks)));
}

void SizeSearch::descendFrom(const SymbolCosts& costs) {
    SymbolUses uses;
    stretches_.split(costs, uses);
    descend(uses);
}

void SizeSearch::descend(SymbolUses uses) {
    if (!seen_.insert(hashOf(uses)).second) return;
    uint64_t previous = UINT64_MAX;
    for (;;) {
        CodeLengths lengths;
        solver_.solve(uses, lengths);
        const uint64_t bits = stretches_.split(costsOf(lengths), uses) + tableBits(lengths);
        if (bits < bestBits_) {
            bestBits_ = bits;
            bestLengths_ = lengths;
            bestUses_ = uses;
        }
        if (bits >= previous || !seen_.insert(hashOf(uses)).second) return;
        previous = bits;
    }
}

unsigned SizeSearch::rankColours(std::array<unsigned, 16>& order) const {
    std::array<uint64_t, 16> weight{};
    unsigned count = 0;
    for (unsigned v = 0; v < 16; ++v) {
        for (unsigned r = 1; r <= kMaxRun; ++r)
            weight[v] += uint64_t{bestUses_[symbolOf(v, r)]} * r;
        if (weight[v] != 0) order[count++] = v;
    }
    std::stable_sort(order.begin(), order.begin() + count,
                     [&](unsigned a, unsigned b) { return weight[a] > weight[b]; });
    return count;
}

void SizeSearch::tryColourShapes() {
    for (int pass = 0; pass < 2; ++pass) {
        const uint64_t before = bestBits_;
        std::array<unsigned, 16> order;
        const unsigned colours = rankColours(order);
        for (unsigned i = 0; i < colours; ++i) {
            const unsigned v = order[i];
            for (unsigned longest = 1; longest <= kMaxRun; longest *= 2) {
                SymbolCosts costs = costsOf(bestLengths_);
                const uint32_t single = bestLengths_[symbolOf(v, 1)];
                const uint32_t shared = single != 0 ? single : 4;
                for (unsigned r = 1; r <= kMaxRun; ++r) {
                    costs[symbolOf(v, r)] = r <= longest ? shared : kInlineBits;
                }
                SymbolUses uses = bestUses_;
                stretches_.splitNibble(v, costs, uses);
                descend(uses);
            }
        }
        if (bestBits_ == before) return;
    }
}

void SizeSearch::kick(unsigned times) {
    for (unsigned i = 0; i < times; ++i) {
        std::array<unsigned, 16> order;
        const unsigned colours = rankColours(order);
        if (colours == 0) return;
        // Product of two uniform picks: the most used colours are shaken most often.
        const uint32_t a = nextRandom() % colours;
        const uint32_t b = nextRandom() % colours;
        const unsigned v = order[a * b / colours];
        SymbolCosts costs = costsOf(bestLengths_);
        for (unsigned r = 1; r <= kMaxRun; ++r) {
            uint32_t& c = costs[symbolOf(v, r)];
            if (nextRandom() % 3 == 0) {
                c = kInlineBits;
            } else {
                const int from = c == kInlineBits ? 7 : static_cast<int>(c);
                const int shaken = from + static_cast<int>(nextRandom() % 7) - 3;
                c = static_cast<uint32_t>(std::clamp(shaken, 1, 12));
            }
        }
        SymbolUses uses = bestUses_;
        stretches_.splitNibble(v, costs, uses);
        descend(uses);
    }
}

uint32_t SizeSearch::nextRandom() {
    // xorshift32: small, fast and the same on every platform.
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return random_;
}

}  // namespace tess::codec::nemesis
