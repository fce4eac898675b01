#pragma once

#include <cstdint>
#include <unordered_set>

#include "codec/CodeLengthSolver.h"
#include "codec/NibbleStretches.h"

namespace tess::codec::nemesis {

// Looks for the code table that makes one mode's stream smallest (internal to the encoder).
//
// The size of a stream is fixed by the table alone: given the code lengths, the cheapest split of
// every stretch is found exactly (NibbleStretches), and given the split, the cheapest table is
// found exactly (CodeLengthSolver). Alternating the two never makes the size worse, but it stops
// in a local optimum: a run that has no code is expensive, so the split avoids it, so it never
// earns a code. Which runs a colour is written with is the real choice: real art is best served by
// very different shapes, e.g. the background colour as single nibbles with a 1- or 2-bit code
// plus a code for 8-runs, against every colour coded by its own run lengths. So the search
//   1. descends from two opposite starts: longest runs everywhere, and single nibbles everywhere;
//   2. for each colour, most used first, descends again with that colour limited to runs of
//      at most 1, 2, 4 or 8;
//   3. kicks the best table a fixed number of times (more for larger inputs): one colour's costs
//      are shaken, weighted towards the most used colours, and the search descends again.
// Every split it has descended from is remembered (by a hash), so no descent is repeated. The kicks come
// from a fixed-seed generator: the same input always gives the same stream.
class SizeSearch {
public:
    SizeSearch(NibbleStretches& stretches, std::size_t tiles);

    // Steps 1 and 2.
    void explore();
    // Step 3, as often as the input's size calls for.
    void kick();
    // Stream bytes of the best table so far: header, table, end byte and bitstream.
    std::size_t bestBytes() const { return 3 + (bestBits_ + 7) / 8; }

    const CodeLengths& bestLengths() const { return bestLengths_; }

private:
    void descendFrom(const SymbolCosts& costs);
    void descend(SymbolUses uses);
    void tryColourShapes();
    void kick(unsigned times);
    // Nibbles with stretches, most nibbles covered first.
    unsigned rankColours(std::array<unsigned, 16>& order) const;
    uint32_t nextRandom();

    NibbleStretches& stretches_;
    std::size_t tiles_;
    CodeLengthSolver solver_;
    std::unordered_set<uint64_t> seen_;
    CodeLengths bestLengths_{};
    SymbolUses bestUses_{};
    uint64_t bestBits_ = UINT64_MAX;
    uint32_t random_ = 0x9E3779B9u;
};

}  // namespace tess::codec::nemesis
