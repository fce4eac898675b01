#include "codec/ColourSearch.h"

#include <algorithm>

#include "codec/VectorClones.h"

namespace tess::codec::nemesis {
namespace {

// More than any cover searched costs (an inline run for each of its nibbles), and small enough to
// add to.
constexpr uint32_t kUnreachableCover = 1u << 16;

// A descent settles in a few steps; the cap only guards against a long walk through ties.
constexpr int kMaxDescentSteps = 8;

// A descent looks within its space; its curves reach a little beyond, far enough for the knapsack
// to grow the colour's share, without paying for all 252 units.
unsigned reachAround(unsigned space) { return std::min(kCodeSpace, 2 * space + 16); }

uint64_t hashOf(const std::array<uint32_t, kMaxRun>& values, uint64_t h = 1469598103934665603ull) {
    for (uint32_t v : values) {
        h = (h ^ v) * 1099511628211ull;
        h ^= h >> 29;
    }
    return h;
}

// frontier = min(frontier, least) over 0..reach, noting `curve` where it falls.
TESS_VECTOR_CLONES
bool lower(const SpaceCosts& least, unsigned reach, uint32_t curve, SpaceCosts& frontier,
           std::array<uint32_t, kCodeSpace + 1>& where) {
    uint32_t fell = 0;
    for (unsigned k = 0; k <= reach; ++k) {
        const bool lower = least[k] < frontier[k];
        frontier[k] = lower ? least[k] : frontier[k];
        where[k] = lower ? curve : where[k];
        fell |= lower;
    }
    return fell != 0;
}

}  // namespace

ColourSearch::ColourSearch(NibbleStretches& stretches, unsigned colour)
    : stretches_(stretches), colour_(colour) {
    bits_.fill(UINT32_MAX);
}

std::span<const ColourSearch::Fall> ColourSearch::falls() {
    if (fallsStale_) {
        // Without a branch on where it falls, which the processor could not predict: each amount
        // is written, and only a fall moves on past it.
        falls_[0] = {0, bits_[0]};
        fallCount_ = 1;
        for (unsigned k = 1; k <= kCodeSpace; ++k) {
            falls_[fallCount_] = {k, bits_[k]};
            fallCount_ += bits_[k] < bits_[k - 1];
        }
        fallsStale_ = false;
    }
    return {falls_.data(), fallCount_};
}

RunLengths ColourSearch::lengthsWithin(unsigned space) {
    if (!exhausted_.empty()) return exhausted_[space];
    return curves_[where_[space]].lengthsWithin(space);
}

// Runs are given lengths in order, 1 first; cover[r][m] is the cheapest cover of m nibbles with
// runs 1..r, built from cover[r - 1] as run r gets its length. A run whose code would cost no less
// than covering it with shorter runs is never written, so it never gets one: that prunes most
// tables. Longer stretches are covered as NibbleStretches::split() covers them.
struct ColourSearch::Walk {
    std::span<const NibbleStretches::LengthCount> stretches;
    unsigned runs;     // the runs the stretches can use: 1..runs
    unsigned covered;  // the covers worked out: of up to `covered` nibbles
    std::array<std::array<uint32_t, NibbleStretches::kSearchedCover + 1>, kMaxRun + 1> cover;
    RunLengths lengths{};
    SpaceCosts bits;
    std::vector<RunLengths> tables;  // the table behind bits[k], which takes exactly k units

    explicit Walk(std::span<const NibbleStretches::LengthCount> counts)
        : stretches(counts),
          runs(std::min(stretches.back().length, kMaxRun)),
          covered(std::min(stretches.back().length, NibbleStretches::kSearchedCover)),
          tables(kCodeSpace + 1) {
        std::fill_n(cover[0].begin(), covered + 1, kUnreachableCover);
        cover[0][0] = 0;
        bits.fill(UINT32_MAX);
    }

    void from(unsigned run, unsigned space, unsigned entries) {
        if (run > runs) {
            uint32_t total = entries > 0 ? 8 + 16 * entries : 0;
            for (const auto& [length, count] : stretches) {
                uint32_t m = length, extra = 0;
                if (m > covered) {  // only for colours of long stretches, so rarely
                    const RunCosts costs = costsOf(lengths);
                    const unsigned star = NibbleStretches::cheapestPerNibble(costs);
                    const uint32_t stars = (m - covered + star - 1) / star;
                    m -= stars * star;
                    extra = stars * costs[star - 1];
                }
                total += count * (cover[runs][m] + extra);
            }
            if (total < bits[space]) {
                bits[space] = total;
                tables[space] = lengths;
            }
            return;
        }
        const auto& shorter = cover[run - 1];
        auto& with = cover[run];
        for (unsigned length = 0; length <= kMaxCodeLength; ++length) {
            const unsigned units = length != 0 ? unitsOf(length) : 0;
            const uint32_t cost = length != 0 ? length : kInlineBits;
            if (space + units > kCodeSpace || (length != 0 && cost >= shorter[run])) continue;
            lengths[run - 1] = static_cast<uint8_t>(length);
            for (unsigned m = 0; m <= covered; ++m) {
                with[m] = m >= run ? std::min(shorter[m], with[m - run] + cost) : shorter[m];
            }
            from(run + 1, space + units, entries + (length != 0 ? 1 : 0));
        }
        lengths[run - 1] = 0;
    }
};

bool ColourSearch::exhaust(unsigned longest) {
    const auto stretches = stretches_.lengthsOf(colour_);
    if (!exhausted_.empty() || stretches.back().length > longest) return !exhausted_.empty();
    Walk walk(stretches);
    walk.from(1, 0, 0);
    // The least within k units, and its table.
    exhausted_.resize(kCodeSpace + 1);
    for (unsigned k = 0; k <= kCodeSpace; ++k) {
        const bool falls = k == 0 || walk.bits[k] < bits_[k - 1];
        bits_[k] = falls ? walk.bits[k] : bits_[k - 1];
        exhausted_[k] = falls ? walk.tables[k] : exhausted_[k - 1];
    }
    changed_ = fallsStale_ = true;
    return true;
}

ColourCurve& ColourSearch::curveFor(const RunUses& uses, uint64_t split, unsigned reach,
                                    unsigned within, bool& added) {
    const auto [id, isNew] = known_.tryEmplace(split, static_cast<uint32_t>(curves_.size()));
    added = isNew || curves_[id].reach() < reach;
    if (!added) return curves_[id];
    SpaceCosts least;
    if (isNew) {
        curves_.emplace_back(uses, reach, within, least);
    } else {
        curves_[id] = ColourCurve(uses, reach, within, least);
    }
    if (lower(least, reach, id, bits_, where_)) changed_ = fallsStale_ = true;
    return curves_[id];
}

bool ColourSearch::tryCosts(const RunCosts& costs) {
    if (!exhausted_.empty()) return false;
    RunUses uses;
    stretches_.split(colour_, costs, uses);
    bool added = false;
    curveFor(uses, hashOf(uses), kCodeSpace, kCodeSpace, added);
    return added;
}

bool ColourSearch::descend(RunCosts costs, unsigned space) {
    if (!exhausted_.empty()) return false;
    const unsigned reach = reachAround(space);
    bool any = false;
    for (int step = 0; step < kMaxDescentSteps; ++step) {
        // What follows costs, or a split, within a given space is always the same: follow each
        // once. Costs met before need not be split again to know.
        const uint64_t spaceBits = uint64_t{space} << 56;
        if (!tried_.insert(hashOf(costs) ^ spaceBits)) break;
        RunUses uses;
        stretches_.split(colour_, costs, uses);
        const uint64_t splitHash = hashOf(uses);
        if (!followed_.insert(splitHash ^ spaceBits)) break;
        bool added = false;
        ColourCurve& curve = curveFor(uses, splitHash, reach, space, added);
        any = any || added;
        costs = costsOf(curve.lengthsWithin(space));
    }
    return any;
}

}  // namespace tess::codec::nemesis
