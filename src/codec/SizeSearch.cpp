#include "codec/SizeSearch.h"

#include <algorithm>

#include "codec/VectorClones.h"

namespace tess::codec::nemesis {
namespace {

constexpr uint32_t kSelectorBits = 8;
// Above any cost, and far enough below 2^32 that adding a colour's cost to it never overflows.
constexpr uint32_t kOutOfReach = 1u << 31;
// Colours whose stretches are at most this long have at most 9^3 tables: trying them all costs less
// than the splits the search would make for them.
constexpr unsigned kAlwaysExhausted = 3;

// A colour that takes j[i] units for bits[i], i = 0..3, added to the totals before it:
// out[k] = min(out[k], min over i of in[k - j[i]] + bits[i]) for k = 0..252, where in[] below 0 is
// out of reach. Four at a time, in a loop of fixed length: fewer passes, and one the processor
// predicts.
TESS_VECTOR_CLONES
void addShares(const uint32_t* __restrict in, const std::array<int, 4>& j,
               const std::array<uint32_t, 4>& bits, uint32_t* __restrict out) {
    for (int k = 0; k <= static_cast<int>(kCodeSpace); ++k) {
        const uint32_t a = std::min(in[k - j[0]] + bits[0], in[k - j[1]] + bits[1]);
        const uint32_t b = std::min(in[k - j[2]] + bits[2], in[k - j[3]] + bits[3]);
        out[k] = std::min(out[k], std::min(a, b));
    }
}

}  // namespace

SizeSearch::SizeSearch(std::span<const uint8_t> nibbles) : stretches_(nibbles) {
    // Colours with long stretches have the most splits and change most often; the knapsack keeps
    // the totals of the colours before the first that changed, so those go last.
    std::array<unsigned, kColours> order;
    for (unsigned v = 0; v < kColours; ++v) order[v] = v;
    std::stable_sort(order.begin(), order.end(), [&](unsigned a, unsigned b) {
        return stretches_.longestRun(a) < stretches_.longestRun(b);
    });
    colours_.reserve(kColours);  // each holds its frontier: not to be copied as the vector grows
    for (unsigned v : order) {
        if (stretches_.has(v)) colours_.emplace_back(stretches_, v);
    }
    shares_.assign(colours_.size(), 0);
    // Each row of totals follows a row out of reach, which addShares() reads for amounts below 0.
    totals_.assign((colours_.size() + 1) * 2 * (kCodeSpace + 1), kOutOfReach);
}

template <class Shape>
void SizeSearch::splitAll(Shape shape) {
    RunCosts costs;
    for (unsigned r = 1; r <= kMaxRun; ++r) costs[r - 1] = shape(r);
    for (ColourSearch& colour : colours_) colour.tryCosts(costs);
}

void SizeSearch::start() {
    for (ColourSearch& colour : colours_) colour.exhaust(kAlwaysExhausted);
    splitAll([](unsigned) { return 1u; });           // every tie goes to the longer run
    splitAll([](unsigned r) { return 2 * r - 1; });  // singles win
    settle();
}

void SizeSearch::improve(const SearchWidth& width) {
    if (width.exhaustedStretch > kAlwaysExhausted) {
        for (ColourSearch& colour : colours_) colour.exhaust(width.exhaustedStretch);
        settle();
    }
    if (!capped_) {
        for (unsigned longest = 1; longest <= kMaxRun; longest *= 2) {
            for (uint32_t cost : {2u, 4u, 6u}) {
                splitAll([&](unsigned r) { return r <= longest ? cost : kInlineBits; });
            }
        }
        capped_ = true;
        settle();
    }
    reshaped_.assign(colours_.size(), {kCodeSpace + 1, RunLengths{}});
    for (;;) {
        const uint64_t before = bestBits_;
        for (std::size_t i = 0; i < colours_.size(); ++i) {
            ColourSearch& colour = colours_[i];
            const unsigned share = shares_[i];
            // A colour whose share and lengths are as in the last round would make the same
            // descents again.
            const RunLengths& lengths = bestLengths_[colour.colour()];
            if (reshaped_[i] == std::pair{share, lengths}) continue;
            reshaped_[i] = {share, lengths};
            const RunCosts current = costsOf(lengths);
            // Its own split first: a reshaping that splits the same way then stops at once.
            colour.descend(current, share);
            for (unsigned r = 0; r < colour.longestRun(); ++r) {
                for (uint8_t cost : width.runCosts) {
                    if (cost == current[r]) continue;
                    RunCosts shaped = current;
                    shaped[r] = cost;
                    colour.descend(shaped, share);
                    if (width.otherShares) {
                        colour.descend(shaped, std::min(kCodeSpace, 2 * share + 8));
                        colour.descend(shaped, share / 2);
                    }
                }
            }
        }
        settle();
        if (bestBits_ == before) return;
    }
}

void SizeSearch::settle() {
    for (;;) {
        bestBits_ = shareCodeSpace();
        bool any = false;
        for (std::size_t i = 0; i < colours_.size(); ++i) {
            const RunLengths lengths = colours_[i].lengthsWithin(shares_[i]);
            RunLengths& best = bestLengths_[colours_[i].colour()];
            // Lengths tried before split the same way again.
            if (lengths == best) continue;
            best = lengths;
            any = colours_[i].tryCosts(costsOf(lengths)) || any;
        }
        if (!any) return;
    }
}

uint32_t* SizeSearch::total(std::size_t i) {
    return totals_.data() + (2 * i + 1) * (kCodeSpace + 1);
}

// The knapsack: total(i)[k] is the least cost of the first i colours within k units. A colour's
// frontier only changes where it falls, so only those amounts are tried.
uint64_t SizeSearch::shareCodeSpace() {
    const std::size_t n = colours_.size();
    // Totals before the first colour whose frontier changed are still right.
    std::size_t from = 0;
    while (from < n && !colours_[from].takeChanged()) ++from;
    for (std::size_t i = from + 1; i < n; ++i) colours_[i].takeChanged();
    std::fill(total(0), total(0) + kCodeSpace + 1, 0);
    for (std::size_t i = from; i + 1 < n; ++i) {
        std::fill(total(i + 1), total(i + 1) + kCodeSpace + 1, UINT32_MAX);
        // Four amounts at a time; where fewer are left, the first of them stands in for the rest.
        const auto falls = colours_[i].falls();
        for (std::size_t b = 0; b < falls.size(); b += 4) {
            std::array<int, 4> shares;
            std::array<uint32_t, 4> bits;
            for (std::size_t q = 0; q < 4; ++q) {
                const ColourSearch::Fall& fall = falls[b + q < falls.size() ? b + q : b];
                shares[q] = static_cast<int>(fall.space);
                bits[q] = fall.bits;
            }
            addShares(total(i), shares, bits, total(i + 1));
        }
    }
    // Of the last colour's totals only the one within all the space is ever read.
    unsigned k = kCodeSpace;
    uint32_t least = UINT32_MAX;
    for (const ColourSearch::Fall& fall : colours_[n - 1].falls()) {
        least = std::min(least, total(n - 1)[k - fall.space] + fall.bits);
    }
    total(n)[k] = least;
    bool anyCode = false;
    for (std::size_t i = n; i-- > 0;) {
        // The least space that gives the total: where it is taken, the frontier falls.
        for (const ColourSearch::Fall& fall : colours_[i].falls()) {
            if (fall.space <= k && total(i)[k - fall.space] + fall.bits == total(i + 1)[k]) {
                shares_[i] = fall.space;
                break;
            }
        }
        anyCode = anyCode || shares_[i] > 0;
        k -= shares_[i];
    }
    // The table opens with a selector even when every run is inline.
    return least + (anyCode ? 0 : kSelectorBits);
}

}  // namespace tess::codec::nemesis
