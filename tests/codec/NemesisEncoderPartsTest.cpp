#include <gtest/gtest.h>

#include <random>

#include "codec/CodeLengthSolver.h"
#include "codec/NibbleStretches.h"

namespace tess::codec::nemesis {
namespace {

// Cost of a table by brute force: 13 bits a use inline, length bits a use plus 16 per entry
// coded, 8 per nibble with entries; infeasible when the codes leave no room for the escape.
uint64_t bruteForceBest(const std::vector<int>& symbols, const SymbolUses& uses) {
    uint64_t best = UINT64_MAX;
    std::vector<unsigned> choice(symbols.size(), 0);  // 0 = inline, else the length
    for (;;) {
        CodeLengths lengths{};
        unsigned space = 0;
        for (std::size_t i = 0; i < symbols.size(); ++i) {
            lengths[symbols[i]] = static_cast<uint8_t>(choice[i]);
            if (choice[i] != 0) space += 256u >> choice[i];
        }
        if (space <= 252) {
            uint64_t bits = tableBits(lengths);
            for (int s : symbols) bits += uint64_t{uses[s]} * costsOf(lengths)[s];
            best = std::min(best, bits);
        }
        std::size_t i = 0;
        while (i < choice.size() && ++choice[i] > 8) choice[i++] = 0;
        if (i == choice.size()) return best;
    }
}

TEST(NemesisCodeLengthSolver, MatchesBruteForceOnSmallTables) {
    std::mt19937 random(7);
    CodeLengthSolver solver;
    for (int round = 0; round < 60; ++round) {
        // Up to 5 symbols over 1..3 nibbles; uses from rare to dominant.
        SymbolUses uses{};
        std::vector<int> symbols;
        const int count = 1 + static_cast<int>(random() % 5);
        while (static_cast<int>(symbols.size()) < count) {
            const int s = symbolOf(static_cast<unsigned>(random() % 3), 1 + random() % 8);
            if (uses[s] != 0) continue;
            uses[s] = static_cast<uint32_t>(1 + random() % (round % 2 ? 2000 : 12));
            symbols.push_back(s);
        }
        CodeLengths lengths;
        const uint64_t cost = solver.solve(uses, lengths);
        const uint64_t expected = bruteForceBest(symbols, uses);
        EXPECT_EQ(cost, expected) << "round " << round;

        // The lengths it returns cost exactly that and leave the escape free.
        uint64_t bits = tableBits(lengths);
        unsigned space = 0;
        for (int s : symbols) bits += uint64_t{uses[s]} * costsOf(lengths)[s];
        for (uint8_t length : lengths) space += length != 0 ? 256u >> length : 0;
        EXPECT_EQ(bits, cost);
        EXPECT_LE(space, 252u);
    }
}

// Cheapest cover of m nibbles with runs 1..8 by a plain shortest path, no shortcut.
uint64_t plainCover(uint32_t m, const uint32_t* cost) {
    std::vector<uint64_t> best(m + 1, UINT64_MAX);
    best[0] = 0;
    for (uint32_t k = 1; k <= m; ++k) {
        for (uint32_t r = 1; r <= 8 && r <= k; ++r)
            best[k] = std::min(best[k], best[k - r] + cost[r]);
    }
    return best[m];
}

TEST(NemesisNibbleStretches, SplitsLongStretchesExactly) {
    std::mt19937 random(11);
    // Stretches of nibble 3 of many lengths, up to far beyond the searched covers.
    std::vector<uint8_t> nibbles;
    const std::vector<uint32_t> lengths = {1, 5, 8, 9, 250, 261, 262, 263, 1000, 4099};
    for (uint32_t m : lengths) {
        nibbles.insert(nibbles.end(), m, 3);
        nibbles.push_back(0);
    }
    NibbleStretches stretches(nibbles);
    for (int round = 0; round < 50; ++round) {
        SymbolCosts costs{};
        uint32_t cost[9] = {};
        for (unsigned r = 1; r <= 8; ++r) {
            cost[r] = static_cast<uint32_t>(1 + random() % 13);
            costs[symbolOf(3, r)] = cost[r];
        }
        costs[symbolOf(0, 1)] = 5;
        SymbolUses uses{};
        const uint64_t total = stretches.split(costs, uses);
        uint64_t expected = uint64_t{5} * lengths.size();
        uint64_t nibblesCovered = 0;
        for (uint32_t m : lengths) {
            expected += plainCover(m, cost);
            std::vector<uint8_t> runs;
            stretches.runsOf(3, m, runs);
            uint64_t runCost = 0, covered = 0;
            for (uint8_t r : runs) {
                runCost += cost[r];
                covered += r;
            }
            EXPECT_EQ(covered, m);
            EXPECT_EQ(runCost, plainCover(m, cost)) << "stretch " << m;
            nibblesCovered += m;
        }
        EXPECT_EQ(total, expected);
        uint64_t counted = 0;
        for (unsigned r = 1; r <= 8; ++r) counted += uint64_t{uses[symbolOf(3, r)]} * r;
        EXPECT_EQ(counted, nibblesCovered);
    }
}

}  // namespace
}  // namespace tess::codec::nemesis
