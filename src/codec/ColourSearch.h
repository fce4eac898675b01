#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "codec/ColourCurve.h"
#include "codec/HashIndex.h"
#include "codec/NibbleStretches.h"

namespace tess::codec::nemesis {

// What one colour can cost for every amount of code space, as far as the search has found
// (internal to the encoder).
//
// A colour's part of the stream (its selector and entries, and its runs) depends only on its own
// code lengths; colours share nothing but the code space. Each split of the colour's stretches
// that the search meets gives a whole curve of exact costs by space (ColourCurve); the frontier is
// the least of all of them, so a split found while looking at one amount of space still serves
// every other.
class ColourSearch {
public:
    ColourSearch(NibbleStretches& stretches, unsigned colour);

    unsigned colour() const { return colour_; }
    // Where the frontier falls: (k, least bits within k) for k = 0 and each k where it is below
    // k - 1. Meaningful after the first tryCosts().
    struct Fall {
        unsigned space;
        uint32_t bits;
    };
    std::span<const Fall> falls();
    // The code lengths behind the least bits within `space` units.
    RunLengths lengthsWithin(unsigned space);

    // Tries every table of the colour: its frontier is then exact, and the other searches have
    // nothing left to find. For colours whose stretches are at most `longest` nibbles long (up to
    // 9^min(longest, 8) tables, most of them pruned); others are left as they are. True when it
    // did.
    bool exhaust(unsigned longest);

    // Splits the stretches as cheaply as `costs` allow; a split not met before joins the frontier.
    // True when it was new.
    bool tryCosts(const RunCosts& costs);

    // Alternates within `space` units, starting from `costs`: the cheapest split for the costs,
    // then the cheapest lengths for that split, until a split comes round again. Every split met
    // joins the frontier. True when any was new. Where a descent goes from a split depends only on
    // the split and the space, so no descent goes on from a split another went on from.
    bool descend(RunCosts costs, unsigned space);

    // Whether the frontier fell since the last call.
    bool takeChanged() { return std::exchange(changed_, false); }

    // The runs this colour's stretches can use, 1..longestRun().
    unsigned longestRun() const { return stretches_.longestRun(colour_); }

private:
    // The curve, up to at least `reach` units, of a split (its uses and their hash); `added` tells
    // whether the split or the part of its curve beyond its old reach was new. A new curve has its
    // lengths within `within` units ready.
    ColourCurve& curveFor(const RunUses& uses, uint64_t split, unsigned reach, unsigned within,
                          bool& added);

    // Exhaustion's walk: the tables from run `run` on, given the lengths of the runs before.
    struct Walk;

    NibbleStretches& stretches_;
    unsigned colour_;
    std::vector<RunLengths> exhausted_;  // once exhausted: the lengths behind each frontier entry
    std::vector<ColourCurve> curves_;
    HashIndex known_;     // hash of a split's uses -> its curve
    HashIndex tried_;     // costs a descent went on from, with its space
    HashIndex followed_;  // splits a descent went on from, with its space
    SpaceCosts bits_;     // the frontier: the least bits found within k units, for k = 0..252
    std::array<uint32_t, kCodeSpace + 1> where_;  // the curve behind each entry of the frontier
    bool changed_ = false;
    std::array<Fall, kCodeSpace + 1> falls_;
    std::size_t fallCount_ = 0;
    bool fallsStale_ = true;
};

}  // namespace tess::codec::nemesis
