#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/NemesisFormat.h"

namespace tess::codec::nemesis {

// The nibble sequence seen as maximal stretches of one value (internal to the encoder).
//
// A stretch of m equal nibbles can be written as any sequence of runs of 1..8 that adds up to m,
// and the runs of different stretches do not interact. So for given run costs the cheapest split
// of a stretch depends only on its colour and length, and one shortest-path table per colour
// (cheapest cover of k nibbles) serves every stretch of it. The size search therefore works on
// counts of (colour, length), never on the sequence itself.
class NibbleStretches {
public:
    struct LengthCount {
        uint32_t length;
        uint32_t count;
    };

    // Covers longer than searchedCover(r*) are extended with the run r* of least cost per nibble
    // instead of being searched. That is exact: among any r* runs other than r*, some add up to a
    // multiple of r* (two of their r* + 1 running sums agree modulo r*), and that many r* runs cost
    // no more. So some cheapest cover has fewer than r* other runs, at most 8 nibbles each (7 when
    // r* = 8); any longer cover holds an r* run, and dropping it leaves a cheapest cover of the
    // rest.
    static constexpr uint32_t searchedCover(unsigned star) {
        return (star - 1) * (star == kMaxRun ? kMaxRun - 1 : kMaxRun);
    }
    // The most any split searches: r* = 8.
    static constexpr uint32_t kSearchedCover = (kMaxRun - 1) * (kMaxRun - 1);
    // r*: the least cost per nibble, the longest on a tie.
    static unsigned cheapestPerNibble(const RunCosts& costs);

    explicit NibbleStretches(std::span<const uint8_t> nibbles);

    // How many stretches of each length the colour has, by ascending length.
    std::span<const LengthCount> lengthsOf(unsigned colour) const {
        return groups_[colour].lengths;
    }

    // Calls visit(colour, length) for every stretch, in order.
    template <class Visit>
    void forEach(Visit visit) const {
        for (uint32_t s : sequence_) visit(s & 0x0F, s >> 4);
    }

    bool has(unsigned colour) const { return !groups_[colour].lengths.empty(); }
    // The longest run the colour can use: its longest stretch, at most 8.
    unsigned longestRun(unsigned colour) const { return groups_[colour].longestRun; }

    // Splits every stretch of `colour` as cheaply as `costs` allow; fills `uses` and returns the
    // bits. The split stays available to forEachRun() until the colour's next split.
    uint64_t split(unsigned colour, const RunCosts& costs, RunUses& uses);

    // Calls visit(run) for the runs of the last split of a stretch of `length` nibbles of
    // `colour`, in the order they are to be written. `length` must be one that occurs in the
    // sequence.
    template <class Visit>
    void forEachRun(unsigned colour, uint32_t length, Visit visit) const {
        const Group& group = groups_[colour & 0x0F];
        uint32_t k = length;
        for (; k > group.searched; k -= group.cheapestRun) visit(unsigned{group.cheapestRun});
        for (; k > 0; k -= group.choice[k]) visit(unsigned{group.choice[k]});
    }

private:
    struct Group {
        std::vector<LengthCount> lengths;  // ascending length
        std::vector<uint32_t> choice;      // last run of the cheapest cover of k nibbles
        uint32_t searched = 0;             // the covers the last split searched
        uint8_t cheapestRun = 1;           // the run with the least cost per nibble
        uint8_t longestRun = 0;
    };
    std::array<Group, kColours> groups_;
    std::vector<uint32_t> sequence_;  // every stretch in order: length << 4 | colour
    std::vector<uint32_t> best_;      // scratch: cheapest cover of k nibbles
    std::vector<uint32_t> passing_;   // scratch: stretches whose split passes through k nibbles
};

}  // namespace tess::codec::nemesis
