// The encoder. A stream's size is decided by its table: once the code lengths are fixed, the
// cheapest way to write every stretch of equal nibbles follows exactly, and so does the size.
// SizeSearch looks for the table (see there why its search works); writeStream() then writes the
// header, the table and the stretches split the cheapest way under it. Both modes are searched
// and the smaller stream is kept.

#include <algorithm>
#include <array>
#include <memory>

#include "codec/BitWriter.h"
#include "codec/CodeLengthSolver.h"
#include "codec/Nemesis.h"
#include "codec/NibbleStretches.h"
#include "codec/SizeSearch.h"

namespace tess::codec {
namespace {

using namespace nemesis;

// A mode whose explored size is more than this much behind the other's gets no kicks.
constexpr std::size_t kModeMarginPercent = 3;

// The nibble sequence the bitstream carries: the rows as they are, or each row XOR the one
// before it (what the decoder's accumulator undoes).
std::vector<uint8_t> nibblesOf(std::span<const uint8_t> tiles, bool xorMode) {
    std::vector<uint8_t> nibbles(tiles.size() * 2);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const uint8_t b = xorMode && i >= 4 ? tiles[i] ^ tiles[i - 4] : tiles[i];
        nibbles[2 * i] = b >> 4;
        nibbles[2 * i + 1] = b & 0x0F;
    }
    return nibbles;
}

void writeStream(std::span<const uint8_t> nibbles, std::size_t tiles, bool xorMode,
                 const CodeLengths& lengths, NibbleStretches& stretches,
                 std::vector<uint8_t>& out) {
    // Canonical codes from 0 upwards, shortest first; the top of the code space stays free for
    // the escape (the solver kept the lengths within 63/64 of it).
    std::array<unsigned, kSymbols> codes{};
    std::vector<int> order;
    for (int s = 0; s < kSymbols; ++s) {
        if (lengths[s] != 0) order.push_back(s);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return lengths[a] < lengths[b]; });
    unsigned next = 0;  // in units of 2^-8
    for (int s : order) {
        codes[s] = next >> (8 - lengths[s]);
        next += 256u >> lengths[s];
    }

    const unsigned header = static_cast<unsigned>(tiles) | (xorMode ? kXorFlag : 0);
    out.push_back(static_cast<uint8_t>(header >> 8));
    out.push_back(static_cast<uint8_t>(header));
    bool anyCode = false;
    for (unsigned v = 0; v < 16; ++v) {
        bool selected = false;
        for (unsigned r = 1; r <= kMaxRun; ++r) {
            const int s = symbolOf(v, r);
            if (lengths[s] == 0) continue;
            if (!selected) out.push_back(static_cast<uint8_t>(kSelector | v));
            selected = anyCode = true;
            out.push_back(static_cast<uint8_t>(((r - 1) << 4) | lengths[s]));
            out.push_back(static_cast<uint8_t>(codes[s]));
        }
    }
    if (!anyCode) out.push_back(static_cast<uint8_t>(kSelector));
    out.push_back(static_cast<uint8_t>(kTableEnd));

    SymbolUses uses;
    stretches.split(costsOf(lengths), uses);
    BitWriter bits(out);
    std::vector<uint8_t> runs;
    for (std::size_t i = 0; i < nibbles.size();) {
        std::size_t j = i + 1;
        while (j < nibbles.size() && nibbles[j] == nibbles[i]) ++j;
        const unsigned v = nibbles[i];
        runs.clear();
        stretches.runsOf(v, static_cast<uint32_t>(j - i), runs);
        for (uint8_t r : runs) {
            const int s = symbolOf(v, r);
            if (lengths[s] != 0) {
                bits.put(codes[s], lengths[s]);
            } else {
                bits.put(0x3F, 6);
                bits.put(((r - 1u) << 4) | v, 7);
            }
        }
        i = j;
    }
    bits.finish();
}

// One mode's nibbles and its search.
struct ModeSearch {
    ModeSearch(std::span<const uint8_t> tiles, bool xor_)
        : xorMode(xor_),
          nibbles(nibblesOf(tiles, xor_)),
          stretches(nibbles),
          search(stretches, tiles.size() / kNemesisTileBytes) {}

    bool xorMode;
    std::vector<uint8_t> nibbles;
    NibbleStretches stretches;
    SizeSearch search;
};

}  // namespace

NemesisEncoded encodeNemesis(std::span<const uint8_t> tiles, NemesisMode mode) {
    NemesisEncoded result;
    if (tiles.empty()) {
        result.status = NemesisStatus::EmptyInput;
    } else if (tiles.size() % kNemesisTileBytes != 0) {
        result.status = NemesisStatus::NotWholeTiles;
    } else if (tiles.size() / kNemesisTileBytes > kNemesisMaxTiles) {
        result.status = NemesisStatus::TooManyTiles;
    } else {
        std::vector<std::unique_ptr<ModeSearch>> modes;
        if (mode != NemesisMode::Xor) modes.push_back(std::make_unique<ModeSearch>(tiles, false));
        if (mode != NemesisMode::Plain) modes.push_back(std::make_unique<ModeSearch>(tiles, true));
        std::size_t smallest = SIZE_MAX;
        for (auto& m : modes) {
            m->search.explore();
            smallest = std::min(smallest, m->search.bestBytes());
        }
        // The kicks gain a percent or two; a mode already further behind than that after the
        // exploration is not worth them.
        for (auto& m : modes) {
            if (m->search.bestBytes() <= smallest + smallest * kModeMarginPercent / 100) {
                m->search.kick();
            }
        }
        ModeSearch* chosen = modes.front().get();
        for (auto& m : modes) {
            if (m->search.bestBytes() < chosen->search.bestBytes()) chosen = m.get();
        }
        writeStream(chosen->nibbles, tiles.size() / kNemesisTileBytes, chosen->xorMode,
                    chosen->search.bestLengths(), chosen->stretches, result.stream);
        result.xorMode = chosen->xorMode;
    }
    return result;
}

}  // namespace tess::codec
