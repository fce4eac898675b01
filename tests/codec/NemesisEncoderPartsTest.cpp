#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "codec/ColourCurve.h"
#include "codec/HashIndex.h"
#include "codec/Nemesis.h"
#include "codec/NibbleStretches.h"
#include "tests/support/NemesisTestSupport.h"

namespace tess::codec::nemesis {
namespace {

// Calls visit(lengths, space) for every choice of lengths (0 = inline, else 1..8) of the first
// `runs` runs that leaves room for the escape.
template <class Visit>
void everyTable(unsigned runs, Visit visit) {
    RunLengths lengths{};
    for (;;) {
        unsigned space = 0;
        for (uint8_t length : lengths) space += length != 0 ? unitsOf(length) : 0;
        if (space <= kCodeSpace) visit(lengths, space);
        unsigned i = 0;
        while (i < runs && ++lengths[i] > kMaxCodeLength) lengths[i++] = 0;
        if (i == runs) return;
    }
}

// A colour's bits under `lengths` for a fixed split: its selector and entries, and its runs.
uint64_t colourBits(const RunLengths& lengths, const RunUses& uses) {
    const RunCosts costs = costsOf(lengths);
    const auto coded = std::count_if(lengths.begin(), lengths.end(), [](uint8_t l) { return l; });
    uint64_t bits = coded > 0 ? 8 + 16 * static_cast<uint64_t>(coded) : 0;
    for (unsigned i = 0; i < kMaxRun; ++i) bits += uint64_t{uses[i]} * costs[i];
    return bits;
}

TEST(NemesisColourCurve, MatchesBruteForceForEverySpace) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        // Up to 5 runs used, from rare to dominant.
        RunUses uses{};
        const unsigned runs = 1 + static_cast<unsigned>(random() % 5);
        for (unsigned i = 0; i < runs; ++i) {
            uses[i] =
                random() % 3 == 0 ? 0 : static_cast<uint32_t>(random() % (round % 2 ? 2000 : 12));
        }
        SpaceCosts expected;
        expected.fill(UINT32_MAX);
        everyTable(runs, [&](const RunLengths& lengths, unsigned space) {
            const uint64_t bits = colourBits(lengths, uses);
            for (unsigned k = space; k <= kCodeSpace; ++k) {
                expected[k] = std::min<uint32_t>(expected[k], static_cast<uint32_t>(bits));
            }
        });
        for (unsigned reach : {kCodeSpace, 40u}) {
            SpaceCosts least{};
            ColourCurve curve(uses, reach, reach, least);
            for (unsigned k = 0; k <= reach; ++k) {
                ASSERT_EQ(least[k], expected[k]) << "round " << round << " space " << k;
            }
            // The lengths it gives within a space cost that much and fit in it.
            for (unsigned k : {0u, 1u, 7u, 40u, reach}) {
                const RunLengths lengths = curve.lengthsWithin(k);
                unsigned space = 0;
                for (uint8_t length : lengths) space += length != 0 ? unitsOf(length) : 0;
                EXPECT_LE(space, k);
                EXPECT_EQ(colourBits(lengths, uses), expected[k]) << "round " << round;
            }
        }
    }
}

// The stretches and their counts by length are what every size is worked out from: one missed or
// miscounted would not break a stream, only make the search aim at the wrong sizes.
TEST(NemesisNibbleStretches, FindsEveryStretchOfTheSequence) {
    std::mt19937 random(3);
    std::vector<uint8_t> noise(3000);
    for (uint8_t& n : noise) n = static_cast<uint8_t>(random() % 3 == 0 ? random() % 16 : 0);
    // Stretches of 256 nibbles and more are counted apart from the shorter ones.
    for (int twice = 0; twice < 2; ++twice) {
        noise.insert(noise.end(), 260, 4);
        noise.push_back(0);
    }
    for (const std::vector<uint8_t>& nibbles : std::vector<std::vector<uint8_t>>{
             {7}, std::vector<uint8_t>(300, 2), {1, 1, 5, 5, 5, 1, 9}, noise}) {
        SCOPED_TRACE(nibbles.size());
        std::vector<std::pair<unsigned, uint32_t>> expected;  // (colour, length) in order
        std::map<std::pair<unsigned, uint32_t>, uint32_t> counts;
        for (std::size_t i = 0, j; i < nibbles.size(); i = j) {
            for (j = i + 1; j < nibbles.size() && nibbles[j] == nibbles[i];) ++j;
            expected.emplace_back(nibbles[i], static_cast<uint32_t>(j - i));
            ++counts[expected.back()];
        }
        const NibbleStretches stretches(nibbles);
        std::vector<std::pair<unsigned, uint32_t>> found;
        stretches.forEach([&](unsigned v, uint32_t length) { found.emplace_back(v, length); });
        EXPECT_EQ(found, expected);
        for (unsigned v = 0; v < kColours; ++v) {
            for (const NibbleStretches::LengthCount& lc : stretches.lengthsOf(v)) {
                const std::pair<unsigned, uint32_t> stretch(v, lc.length);
                EXPECT_EQ(lc.count, counts[stretch]) << v << " x" << lc.length;
                counts.erase(stretch);
            }
        }
        EXPECT_TRUE(counts.empty());
    }
}

// Cheapest cover of m nibbles with runs 1..8 by a plain shortest path, no shortcut.
uint64_t plainCover(uint32_t m, const RunCosts& costs) {
    std::vector<uint64_t> best(m + 1, UINT64_MAX);
    best[0] = 0;
    for (uint32_t k = 1; k <= m; ++k) {
        for (uint32_t r = 1; r <= kMaxRun && r <= k; ++r)
            best[k] = std::min(best[k], best[k - r] + costs[r - 1]);
    }
    return best[m];
}

TEST(NemesisNibbleStretches, SplitsLongStretchesExactly) {
    std::mt19937 random(11);
    // Stretches of colour 3 of many lengths: either side of the searched covers (8 nibbles for
    // r* = 2, 16 for r* = 3, ..., 48 for r* = 7, 49 for r* = 8), and far beyond them.
    std::vector<uint8_t> nibbles;
    const std::vector<uint32_t> lengths = {1,  5,  7,  8,  9,  15,  16,  17,  47,   48,  49,
                                           50, 56, 57, 64, 65, 255, 256, 257, 1000, 4099};
    for (uint32_t m : lengths) {
        nibbles.insert(nibbles.end(), m, 3);
        nibbles.push_back(0);
    }
    NibbleStretches stretches(nibbles);
    EXPECT_EQ(stretches.longestRun(3), 8u);
    EXPECT_EQ(stretches.longestRun(0), 1u);
    EXPECT_FALSE(stretches.has(5));
    for (int round = 0; round < 50; ++round) {
        RunCosts costs;
        for (uint32_t& cost : costs) cost = static_cast<uint32_t>(1 + random() % 13);
        RunUses uses;
        const uint64_t total = stretches.split(3, costs, uses);
        uint64_t expected = 0, nibblesCovered = 0;
        for (uint32_t m : lengths) {
            expected += plainCover(m, costs);
            uint64_t runCost = 0, covered = 0;
            stretches.forEachRun(3, m, [&](unsigned r) {
                runCost += costs[r - 1];
                covered += r;
            });
            EXPECT_EQ(covered, m);
            EXPECT_EQ(runCost, plainCover(m, costs)) << "stretch " << m;
            nibblesCovered += m;
        }
        EXPECT_EQ(total, expected);
        uint64_t counted = 0;
        for (unsigned r = 1; r <= kMaxRun; ++r) counted += uint64_t{uses[r - 1]} * r;
        EXPECT_EQ(counted, nibblesCovered);
    }
}

// The search remembers what it met in a HashIndex: a key forgotten or confused there would not
// break a stream, only make the search repeat or skip work, so no round trip would notice.
TEST(NemesisHashIndex, KeepsEveryKeyAndItsFirstValueAcrossGrowth) {
    // Keys that differ only in their low, middle or high bits, as weak hashes would, and enough
    // of them to grow the table several times.
    constexpr uint32_t kKeys = 3000;
    for (const int shift : {0, 24, 52}) {
        SCOPED_TRACE(shift);
        HashIndex index;
        for (uint32_t i = 0; i < kKeys; ++i) {
            EXPECT_EQ(index.tryEmplace(uint64_t{i} << shift, i), std::pair(i, true));
        }
        for (uint32_t i = 0; i < kKeys; ++i) {
            EXPECT_EQ(index.tryEmplace(uint64_t{i} << shift, kKeys + i), std::pair(i, false));
        }
        EXPECT_TRUE(index.insert(uint64_t{kKeys} << shift));
        EXPECT_FALSE(index.insert(uint64_t{kKeys} << shift));
    }
}

// The smallest plain-mode stream for `nibbles`, by trying every table of every colour (each
// colour's stretches at most 4 long) and the best way to share the code space among them.
std::size_t smallestStreamByExhaustion(const std::vector<uint8_t>& nibbles) {
    // stretches[v][m]: how many stretches of colour v are m long.
    std::array<std::array<uint64_t, 5>, kColours> stretches{};
    for (std::size_t i = 0; i < nibbles.size();) {
        std::size_t j = i + 1;
        while (j < nibbles.size() && nibbles[j] == nibbles[i]) ++j;
        ++stretches[nibbles[i]][j - i];
        i = j;
    }
    // total[coded][k]: the least bits of the colours so far within k units, with or without any
    // code among them (a table of inline runs only still opens with a selector).
    constexpr uint64_t kNone = UINT64_MAX / 4;
    std::array<std::vector<uint64_t>, 2> total = {std::vector<uint64_t>(kCodeSpace + 1, 0),
                                                  std::vector<uint64_t>(kCodeSpace + 1, kNone)};
    for (unsigned v = 0; v < kColours; ++v) {
        if (stretches[v] == std::array<uint64_t, 5>{}) continue;
        std::vector<uint64_t> colour(kCodeSpace + 1, kNone);
        everyTable(4, [&](const RunLengths& lengths, unsigned space) {
            uint64_t bits = colourBits(lengths, RunUses{});
            for (uint32_t m = 1; m <= 4; ++m) {
                bits += stretches[v][m] * plainCover(m, costsOf(lengths));
            }
            colour[space] = std::min(colour[space], bits);
        });
        std::array<std::vector<uint64_t>, 2> next = {std::vector<uint64_t>(kCodeSpace + 1, kNone),
                                                     std::vector<uint64_t>(kCodeSpace + 1, kNone)};
        for (unsigned k = 0; k <= kCodeSpace; ++k) {
            for (unsigned j = 0; j <= k; ++j) {
                for (int coded = 0; coded < 2; ++coded) {
                    uint64_t& to = next[coded || j > 0][k];
                    to = std::min(to, total[coded][k - j] + colour[j]);
                }
            }
        }
        total = next;
    }
    const uint64_t bits = std::min(total[1][kCodeSpace], total[0][kCodeSpace] + 8);
    return 3 + (bits + 7) / 8;
}

// Best tries every table of such colours and shares the space out exactly, so it must find the
// smallest stream; the default searches only part of them and may stop short, never below.
TEST(NemesisSizeSearch, BestFindsTheSmallestStreamWhereEveryTableCanBeTried) {
    std::mt19937 random(5);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        // Stretches of 1..4 nibbles, each of another colour than the last, from a small palette;
        // some colours common, some rare.
        const int tiles = 1 + static_cast<int>(random() % 24);
        const std::vector<uint8_t> palette = {0, 0, 0, 5, 5, 9, 12, 15};
        std::vector<uint8_t> nibbles;
        while (nibbles.size() < static_cast<std::size_t>(tiles) * kNibblesPerTile) {
            uint8_t colour;
            do {
                colour = palette[random() % (round % 3 == 0 ? 4 : palette.size())];
            } while (!nibbles.empty() && colour == nibbles.back());
            const std::size_t stretch =
                std::min<std::size_t>(1 + random() % 4, tiles * kNibblesPerTile - nibbles.size());
            nibbles.insert(nibbles.end(), stretch, colour);
        }
        test::Bytes art(nibbles.size() / 2);
        for (std::size_t i = 0; i < art.size(); ++i) {
            art[i] = static_cast<uint8_t>(nibbles[2 * i] << 4 | nibbles[2 * i + 1]);
        }
        const std::size_t smallest = smallestStreamByExhaustion(nibbles);
        const NemesisEncoded best = encodeNemesis(art, NemesisEffort::Best, NemesisMode::Plain);
        const NemesisEncoded quick = encodeNemesis(art, NemesisEffort::Default, NemesisMode::Plain);
        EXPECT_EQ(best.stream.size(), smallest);
        EXPECT_GE(quick.stream.size(), smallest);
        EXPECT_EQ(decodeNemesis(best.stream).data, art);
        EXPECT_EQ(decodeNemesis(quick.stream).data, art);
    }
}

}  // namespace
}  // namespace tess::codec::nemesis
