#pragma once

#include <array>
#include <cstdint>

#include "codec/NemesisFormat.h"

namespace tess::codec::nemesis {

// Least bits by code space: entry k is the least within k units.
using SpaceCosts = std::array<uint32_t, kCodeSpace + 1>;

// For one split of a colour's stretches (its run uses), the cheapest code lengths for every amount
// of code space (internal to the encoder).
//
// The result is exact over every choice the format allows: each run is inline (13 bits a use) or
// has a code of 1..8 bits (16 bits of entry, 256 >> length units of space), and a colour with any
// code pays 8 bits for its selector. That is a knapsack of at most 8 runs, each taking one of nine
// choices, over the 253 amounts of space. Costs count the colour's selector and entries in the
// table and its runs in the stream.
class ColourCurve {
public:
    // Writes the least bits within 0..`reach` units (at most 252) into `least`, leaving the
    // entries above alone: a search that looks at small amounts of space need not pay for the
    // rest. The lengths within `within` units (at most `reach`), which the caller is about to ask
    // for, are worked out at once.
    ColourCurve(const RunUses& uses, unsigned reach, unsigned within, SpaceCosts& least);

    unsigned reach() const { return reach_; }

    // The lengths of the cheapest choice within `space` units, at most reach(). Worked out again
    // when asked for another amount than last time; most curves are asked once.
    RunLengths lengthsWithin(unsigned space);

private:
    RunUses uses_;
    unsigned reach_;
    unsigned tracedWithin_;
    RunLengths traced_;
};

}  // namespace tess::codec::nemesis
