#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "codec/NibbleStretches.h"

namespace tess::codec::nemesis {

// Code lengths of the table, 0 for a symbol that is written inline.
using CodeLengths = std::array<uint8_t, kSymbols>;

// Code space is counted in units of 2^-8 (one code of length 8). The escape 111111 holds 4 of
// the 256 units.
inline constexpr int kCodeSpace = 252;
// Costs indexed by code space used, 0..kCodeSpace.
using SpaceCosts = std::array<uint32_t, kCodeSpace + 1>;
// A cost no table reaches.
inline constexpr uint32_t kUnreachable = 1u << 30;

// Bits a table with these lengths costs: 16 per entry, 8 per nibble that has entries (its
// selector) and never less than one selector, since the table must start with one.
uint64_t tableBits(const CodeLengths& lengths);

// Bits per use that the lengths give each symbol (13 for the inline ones).
SymbolCosts costsOf(const CodeLengths& lengths);

// Chooses, for fixed symbol use counts, which symbols get a code and how long each code is
// (internal to the encoder).
//
// The result is exact: it minimises  sum(uses x length) + 13 x uses of inline symbols +
// tableBits()  over every table the format allows. A prefix-free set of codes of lengths
// L1..Ln (each 1..8) that leaves the escape 111111 free exists exactly when
// sum(2^-Li) <= 63/64: place the escape at the top of the code space and the codes from 0
// upwards in order of length, each lands aligned. Counting the code space in units of 2^-8 makes
// that a knapsack of capacity 252 over the symbols, each taking one of nine choices (inline or a
// length); a nibble's first coded symbol also pays for its selector, so the state carries whether
// the current nibble has one yet.
class CodeLengthSolver {
public:
    // Returns the minimised cost in bits; unused symbols are left inline.
    uint64_t solve(const SymbolUses& uses, CodeLengths& lengths);

    // The same knapsack started from `start` instead of from nothing: start[k] is what other
    // symbols, decided elsewhere, cost when they take k units. Returns the least total of start
    // and the symbols in `uses`, and sets the lengths of the latter only.
    uint64_t solve(const SymbolUses& uses, const SpaceCosts& start, CodeLengths& lengths);

    // One nibble's symbols added to `in`: out[k] is the least cost of in's symbols and this
    // nibble's ones together taking k units. No lengths are recorded.
    static void addNibble(const SpaceCosts& in, unsigned nibble, const SymbolUses& uses,
                          SpaceCosts& out);

private:
    std::vector<uint32_t> layers_;
};

}  // namespace tess::codec::nemesis
