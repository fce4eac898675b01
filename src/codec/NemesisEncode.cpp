// The encoder. A stream's size is decided by its table: once the code lengths are fixed, the
// cheapest way to write every stretch of equal nibbles follows exactly, and so does the size.
// SizeSearch looks for the table (see there how); writeStream() then writes the header, the table
// and the stretches split the cheapest way under it. Both modes are searched and the smaller
// stream is kept.

#include <algorithm>
#include <array>
#include <memory>

#include "codec/BitWriter.h"
#include "codec/Nemesis.h"
#include "codec/SizeSearch.h"

namespace tess::codec {
namespace {

using namespace nemesis;

// The costs the search tries on each run of each colour. 13 takes a run's code away, 1 makes it
// the colour's main run, and the short lengths after it favour it less strongly: they find most
// of what the longer ones would. Best tries every length, within other shares too, and every
// table of colours whose stretches are at most 4 long.
constexpr std::array<uint8_t, 5> kDefaultCosts = {13, 1, 2, 3, 4};
constexpr std::array<uint8_t, 9> kBestCosts = {13, 1, 2, 3, 4, 5, 6, 7, 8};
constexpr SearchWidth kDefaultWidth{0, kDefaultCosts, false};
constexpr SearchWidth kBestWidth{4, kBestCosts, true};

// At the default effort, a mode whose stream is this much behind the other's after the start is
// not improved: improving gains about half a percent.
constexpr std::size_t kModeMarginPercent = 2;

void writeStream(std::size_t tiles, bool xorMode, const std::array<RunLengths, kColours>& lengths,
                 NibbleStretches& stretches, std::vector<uint8_t>& out) {
    // Canonical codes from 0 upwards, shortest first; the top of the code space stays free for
    // the escape (the search kept the lengths within 252 of its 256 units).
    std::array<RunLengths, kColours> codes{};
    std::vector<std::pair<unsigned, unsigned>> order;  // (colour, run - 1)
    for (unsigned v = 0; v < kColours; ++v) {
        for (unsigned i = 0; i < kMaxRun; ++i) {
            if (lengths[v][i] != 0) order.emplace_back(v, i);
        }
    }
    std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) {
        return lengths[a.first][a.second] < lengths[b.first][b.second];
    });
    unsigned next = 0;  // in units of 2^-8
    for (const auto& [v, i] : order) {
        codes[v][i] = static_cast<uint8_t>(next >> (8 - lengths[v][i]));
        next += unitsOf(lengths[v][i]);
    }

    const unsigned header = static_cast<unsigned>(tiles) | (xorMode ? kXorFlag : 0);
    out.push_back(static_cast<uint8_t>(header >> 8));
    out.push_back(static_cast<uint8_t>(header));
    bool anyCode = false;
    for (unsigned v = 0; v < kColours; ++v) {
        bool selected = false;
        for (unsigned i = 0; i < kMaxRun; ++i) {
            if (lengths[v][i] == 0) continue;
            if (!selected) out.push_back(static_cast<uint8_t>(kSelector | v));
            selected = anyCode = true;
            out.push_back(static_cast<uint8_t>((i << 4) | lengths[v][i]));
            out.push_back(codes[v][i]);
        }
    }
    if (!anyCode) out.push_back(static_cast<uint8_t>(kSelector));
    out.push_back(static_cast<uint8_t>(kTableEnd));

    RunUses uses;
    for (unsigned v = 0; v < kColours; ++v) stretches.split(v, costsOf(lengths[v]), uses);
    BitWriter bits(out);
    stretches.forEach([&](unsigned v, uint32_t stretch) {
        stretches.forEachRun(v, stretch, [&](unsigned r) {
            const unsigned length = lengths[v][r - 1];
            if (length != 0) {
                bits.put(codes[v][r - 1], length);
            } else {
                bits.put(0x3F, 6);
                bits.put(((r - 1u) << 4) | v, 7);
            }
        });
    });
    bits.finish();
}

// One mode's search.
struct ModeSearch {
    ModeSearch(std::span<const uint8_t> tiles, bool xor_)
        : xorMode(xor_), search(nibblesOf(tiles, xor_)) {}

    bool xorMode;
    SizeSearch search;
};

}  // namespace

NemesisEncoded encodeNemesis(std::span<const uint8_t> tiles, NemesisEffort effort,
                             NemesisMode mode) {
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
            m->search.start();
            smallest = std::min(smallest, m->search.bestBytes());
        }
        for (auto& m : modes) {
            if (m->search.bestBytes() <= smallest + smallest * kModeMarginPercent / 100) {
                m->search.improve(kDefaultWidth);
            }
        }
        // Best goes on from where the default stopped, so its stream is never the larger.
        if (effort == NemesisEffort::Best) {
            for (auto& m : modes) m->search.improve(kBestWidth);
        }
        ModeSearch* chosen = modes.front().get();
        for (auto& m : modes) {
            if (m->search.bestBytes() < chosen->search.bestBytes()) chosen = m.get();
        }
        writeStream(tiles.size() / kNemesisTileBytes, chosen->xorMode, chosen->search.bestLengths(),
                    chosen->search.stretches(), result.stream);
        result.xorMode = chosen->xorMode;
    }
    return result;
}

}  // namespace tess::codec
