#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "codec/ColourSearch.h"
#include "codec/NibbleStretches.h"

namespace tess::codec::nemesis {

// How widely improve() looks: up to which stretch length colours have every table tried, the costs
// it tries on each run of each colour, and whether a colour also descends within twice and half
// its share of the code space.
struct SearchWidth {
    unsigned exhaustedStretch = 0;
    std::span<const uint8_t> runCosts;
    bool otherShares = false;
};

// Looks for the code table that makes one mode's stream smallest (internal to the encoder).
//
// A stream's size is fixed by its code lengths: given them, the cheapest split of every stretch
// follows exactly (NibbleStretches). The colours share only the code space, so the search keeps,
// per colour, the least cost it has found for every amount of space (ColourSearch), and a knapsack
// over the colours shares the 252 units out exactly. Then:
//   1. start: a colour whose stretches are all short has every table tried (ColourSearch::
//      exhaust); the others are split the two opposite ways (longest runs everywhere, single
//      nibbles everywhere). The shares are then settled: each colour is split again under the
//      lengths its share gives it, and shared again, until no split is new. That alternation
//      stops in a local optimum: a run without a code costs 13 bits, so the split avoids it, so
//      it never earns a code.
//   2. improve: so each colour is also split with runs capped at 1, 2, 4 or 8, and then given other
//      shapes in turn: one run's cost is set to each of a few values (1 makes it the colour's main
//      run, 13 takes its code away), and the colour descends from there within its share.
//      Whatever a descent meets stays on the colour's frontier, so it serves every other share
//      too. The shares are settled after each round, and rounds go on while they gain.
// Start is cheap and tells the two modes apart; improve gains about half a percent. Everything is
// deterministic: the same input always gives the same table.
class SizeSearch {
public:
    explicit SizeSearch(std::span<const uint8_t> nibbles);

    // Step 1.
    void start();
    // Step 2; may be called again with a wider search, which goes on from where it stopped.
    void improve(const SearchWidth& width);

    // Stream bytes of the best table so far: header, table, end byte and bitstream.
    std::size_t bestBytes() const { return 3 + (bestBits_ + 7) / 8; }
    // The best table so far, per colour.
    const std::array<RunLengths, kColours>& bestLengths() const { return bestLengths_; }

    NibbleStretches& stretches() { return stretches_; }

private:
    // Splits every colour under the costs `shape` gives for a run 1..8.
    template <class Shape>
    void splitAll(Shape shape);
    // Shares the code space out, then splits each colour again under its lengths, until nothing
    // new is found.
    void settle();
    uint64_t shareCodeSpace();
    uint32_t* total(std::size_t colours);

    NibbleStretches stretches_;
    std::vector<ColourSearch> colours_;  // the colours that occur
    std::vector<unsigned> shares_;       // units of code space per colour, from the last knapsack
    // Each colour's share and lengths when it was last reshaped.
    std::vector<std::pair<unsigned, RunLengths>> reshaped_;
    std::vector<uint32_t> totals_;    // knapsack scratch, see total()
    uint64_t bestBits_ = UINT64_MAX;  // of the best table so far and the bitstream under it
    std::array<RunLengths, kColours> bestLengths_{};
    bool capped_ = false;  // whether the capped shapes have been split
};

}  // namespace tess::codec::nemesis
