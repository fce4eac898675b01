#include "codec/ColourCurve.h"

#include <algorithm>
#include <array>

#include "codec/VectorClones.h"

namespace tess::codec::nemesis {
namespace {

constexpr unsigned kStates = kCodeSpace + 1;
constexpr uint32_t kEntryBits = 16;
constexpr uint32_t kSelectorBits = 8;
// Above any real cost (at most 13 bits for each of 2^21 nibbles) and small enough that adding
// nine choices to it never overflows.
constexpr uint32_t kUnreachable = 1u << 30;

// A layer's amounts 0..252, after 128 unreachable ones so that in[k - units] needs no check.
constexpr unsigned kPad = unitsOf(1);
using Layer = std::array<uint32_t, kPad + kStates>;

// Adds one run to `in` over the first `states` amounts: out[k] = min(in[k] + its inline cost,
// min over lengths of in[k - units] + entry + uses x length). Both point at amount 0.
TESS_VECTOR_CLONES
void addRun(const uint32_t* in, uint32_t uses, unsigned states, uint32_t* out) {
    std::array<uint32_t, kMaxCodeLength + 1> add;  // by length, 0 for inline
    add[0] = uses * kInlineBits;
    for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
        add[length] = kEntryBits + uses * length;
    }
    for (int k = 0; k < static_cast<int>(states); ++k) {
        uint32_t least = in[k] + add[0];
        for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
            least = std::min(least, in[k - static_cast<int>(unitsOf(length))] + add[length]);
        }
        out[k] = std::min(least, kUnreachable);
    }
}

// out[k] = min(in[k], cap) for k < states.
TESS_VECTOR_CLONES
void capAt(const uint32_t* in, uint32_t cap, unsigned states, uint32_t* out) {
    for (unsigned k = 0; k < states; ++k) out[k] = std::min(in[k], cap);
}

// The layers, reused from knapsack to knapsack on each thread: their padding is never written
// after this.
std::array<Layer, kMaxRun + 1>& paddedLayers() {
    thread_local std::array<Layer, kMaxRun + 1> layers = [] {
        std::array<Layer, kMaxRun + 1> padded;
        for (Layer& layer : padded) layer.fill(kUnreachable);
        return padded;
    }();
    return layers;
}

// layer(j)[k]: least bits of the first j coded runs within k units, for k < states, with the
// selector paid. Counting the selector from the start keeps every layer a plain minimum over
// amounts of space; the one table that needs no selector, every run inline, is compared at the end.
struct Knapsack {
    // Runs used at least twice; a run used once never pays for its 16-bit entry.
    std::array<unsigned, kMaxRun> runs{};
    unsigned count = 0;
    uint32_t allInline = 0;
    std::array<Layer, kMaxRun + 1>& layers = paddedLayers();

    Knapsack(const RunUses& uses, unsigned states) {
        uint32_t uncoded = 0;
        for (unsigned i = 0; i < kMaxRun; ++i) {
            if (uses[i] >= 2) {
                runs[count++] = i;
            } else {
                uncoded += uses[i] * kInlineBits;
            }
            allInline += uses[i] * kInlineBits;
        }
        std::fill_n(layer(0), states, uncoded + kSelectorBits);
        for (unsigned j = 0; j < count; ++j) addRun(layer(j), uses[runs[j]], states, layer(j + 1));
    }

    uint32_t* layer(unsigned j) { return layers[j].data() + kPad; }
    const uint32_t* layer(unsigned j) const { return layers[j].data() + kPad; }

    // least[k] for k <= space: the least bits within k units.
    void leastWithin(unsigned space, uint32_t* least) const {
        capAt(layer(count), allInline, space + 1, least);
    }

    // Walks the layers back from `space` units to recover each run's choice.
    RunLengths trace(const RunUses& uses, unsigned space) const {
        RunLengths lengths{};
        uint32_t cost = layer(count)[space];
        for (unsigned j = count; j-- > 0;) {
            const unsigned i = runs[j];
            const uint32_t* before = layer(j);
            if (before[space] + uses[i] * kInlineBits == cost) {
                cost = before[space];
                continue;
            }
            for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
                const unsigned w = unitsOf(length);
                if (w <= space && before[space - w] + kEntryBits + uses[i] * length == cost) {
                    lengths[i] = static_cast<uint8_t>(length);
                    cost = before[space - w];
                    space -= w;
                    break;
                }
            }
        }
        return lengths;
    }
};

// The least amount of space that gives the least bits within `space` units.
unsigned cheapestWithin(const uint32_t* least, unsigned space) {
    while (space > 0 && least[space - 1] == least[space]) --space;
    return space;
}

}  // namespace

ColourCurve::ColourCurve(const RunUses& uses, unsigned reach, unsigned within, SpaceCosts& least)
    : uses_(uses), reach_(reach), tracedWithin_(within) {
    const Knapsack knapsack(uses, reach + 1);
    knapsack.leastWithin(reach, least.data());
    traced_ = knapsack.trace(uses, cheapestWithin(least.data(), within));
}

RunLengths ColourCurve::lengthsWithin(unsigned space) {
    if (space != tracedWithin_) {
        // Only the amounts up to `space` matter for its lengths.
        const Knapsack knapsack(uses_, space + 1);
        SpaceCosts least;
        knapsack.leastWithin(space, least.data());
        traced_ = knapsack.trace(uses_, cheapestWithin(least.data(), space));
        tracedWithin_ = space;
    }
    return traced_;
}

}  // namespace tess::codec::nemesis
