#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/NemesisFormat.h"

namespace tess::codec::nemesis {

// Cost of one use of each (nibble, run) symbol: in bits, its code length or 13 for an inline run.
using SymbolCosts = std::array<uint32_t, kSymbols>;
using SymbolUses = std::array<uint32_t, kSymbols>;

// The nibble sequence seen as maximal stretches of one value (internal to the encoder).
//
// A stretch of m equal nibbles can be written as any sequence of runs of 1..8 that adds up to m,
// and the runs of different stretches do not interact. So for given symbol costs the cheapest
// split of a stretch depends only on its nibble and length, and one shortest-path table per
// nibble (cheapest cover of k nibbles) serves every stretch of it. The size search therefore
// works on counts of (nibble, length), never on the sequence itself.
class NibbleStretches {
public:
    explicit NibbleStretches(std::span<const uint8_t> nibbles);

    // Splits every stretch as cheaply as the costs allow; fills `uses` and returns the total
    // cost. The split stays available to runsOf() until the next call.
    uint64_t split(const SymbolCosts& costs, SymbolUses& uses);

    // The same for the stretches of one nibble only: sets the uses of that nibble's symbols,
    // leaves the others alone, and returns that nibble's cost.
    uint64_t splitNibble(unsigned nibble, const SymbolCosts& costs, SymbolUses& uses);

    // The runs of the last split of a stretch of `length` nibbles of `nibble`, appended in the
    // order they are to be written. `length` must be one that occurs in the sequence.
    void runsOf(unsigned nibble, uint32_t length, std::vector<uint8_t>& runs) const;

    bool hasNibble(unsigned nibble) const { return !groups_[nibble].lengths.empty(); }

private:
    struct LengthCount {
        uint32_t length;
        uint32_t count;
    };
    struct Group {
        std::vector<LengthCount> lengths;  // ascending length
        std::vector<uint8_t> choice;       // last run of the cheapest cover of k nibbles
        uint8_t cheapestRun = 1;           // the run with the least cost per nibble
    };
    std::array<Group, 16> groups_;
    std::vector<uint64_t> best_;  // scratch: cheapest cover of k nibbles
};

}  // namespace tess::codec::nemesis
