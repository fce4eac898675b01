#include "codec/CodeLengthSolver.h"

#include <algorithm>

namespace tess::codec::nemesis {
namespace {

constexpr int kStates = kCodeSpace + 1;
constexpr uint32_t kEntryBits = 16;
constexpr uint32_t kSelectorBits = 8;

constexpr int unitsOf(unsigned length) { return 256 >> length; }

// The knapsack's inner loops are plain min-plus over arrays; on x86-64 an AVX2 copy runs where the
// processor has it.
#if defined(__x86_64__) && defined(__ELF__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define TESS_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef TESS_VECTOR_CLONES
#define TESS_VECTOR_CLONES
#endif

// Adds one coded-or-inline symbol to `in`: out[k] = min(in[k] + inline cost,
// min over lengths of in[k - units] + entry + uses x length + extra). Clamped to kUnreachable so
// that sums never overflow.
TESS_VECTOR_CLONES
void addSymbol(const uint32_t* in, uint32_t uses, uint32_t extra, bool mayInline, uint32_t* out) {
    const uint32_t inlineCost = mayInline ? uses * kInlineBits : kUnreachable;
    for (int k = 0; k < kStates; ++k) out[k] = std::min(in[k] + inlineCost, kUnreachable);
    const uint32_t fixed = kEntryBits + extra;
    for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
        const int w = unitsOf(length);
        const uint32_t add = fixed + uses * length;
        for (int k = w; k < kStates; ++k) out[k] = std::min(out[k], in[k - w] + add);
    }
}

SpaceCosts emptyStart() {
    SpaceCosts start;
    start.fill(kUnreachable);
    start[0] = 0;
    return start;
}

// One nibble's symbols that have uses, most used first.
struct NibbleSymbols {
    int count = 0;
    std::array<int, kMaxRun> symbols{};
    uint32_t inlineTotal = 0;  // bits when all of them go inline
};

NibbleSymbols symbolsOf(unsigned nibble, const SymbolUses& uses) {
    NibbleSymbols ns;
    for (unsigned r = 1; r <= kMaxRun; ++r) {
        const int s = symbolOf(nibble, r);
        if (uses[s] == 0) continue;
        ns.symbols[ns.count++] = s;
        ns.inlineTotal += uses[s] * kInlineBits;
    }
    std::stable_sort(ns.symbols.begin(), ns.symbols.begin() + ns.count,
                     [&](int a, int b) { return uses[a] > uses[b]; });
    return ns;
}

}  // namespace

uint64_t tableBits(const CodeLengths& lengths) {
    uint64_t entries = 0;
    uint64_t selectors = 0;
    for (unsigned v = 0; v < 16; ++v) {
        bool any = false;
        for (unsigned r = 1; r <= kMaxRun; ++r) {
            if (lengths[symbolOf(v, r)] != 0) {
                ++entries;
                any = true;
            }
        }
        selectors += any ? 1 : 0;
    }
    return entries * kEntryBits + std::max<uint64_t>(selectors, 1) * kSelectorBits;
}

SymbolCosts costsOf(const CodeLengths& lengths) {
    SymbolCosts costs;
    for (int s = 0; s < kSymbols; ++s) costs[s] = lengths[s] != 0 ? lengths[s] : kInlineBits;
    return costs;
}

uint64_t CodeLengthSolver::solve(const SymbolUses& uses, CodeLengths& lengths) {
    lengths.fill(0);
    const uint64_t cost = solve(uses, emptyStart(), lengths);
    for (uint8_t length : lengths) {
        if (length != 0) return cost;
    }
    // A table without entries still needs its opening selector.
    return cost + kSelectorBits;
}

void CodeLengthSolver::addNibble(const SpaceCosts& in, unsigned nibble, const SymbolUses& uses,
                                 SpaceCosts& out) {
    const NibbleSymbols ns = symbolsOf(nibble, uses);
    if (ns.count == 0) {
        out = in;
        return;
    }
    uint32_t a[kStates], b[kStates];
    addSymbol(in.data(), uses[ns.symbols[0]], kSelectorBits, false, a);
    for (int j = 1; j < ns.count; ++j) {
        addSymbol(a, uses[ns.symbols[j]], 0, true, b);
        std::copy(b, b + kStates, a);
    }
    for (int k = 0; k < kStates; ++k) {
        out[k] = std::min(std::min(in[k] + ns.inlineTotal, kUnreachable), a[k]);
    }
}

// Within a nibble, the coded symbols can be taken to be its most used ones: were a more used
// symbol inline and a less used one coded, swapping them would keep the table and the code space
// and save bits. So a nibble either has no code, or codes its most used symbol (paying the
// selector) and then decides the others in order of use. Layer per symbol: the best cost by code
// space used, on the path where the nibble has a code; walking back through the layers recovers
// the decisions.
uint64_t CodeLengthSolver::solve(const SymbolUses& uses, const SpaceCosts& start,
                                 CodeLengths& lengths) {
    std::array<NibbleSymbols, 16> nibbles;
    int n = 0;
    for (unsigned v = 0; v < 16; ++v) {
        nibbles[v] = symbolsOf(v, uses);
        n += nibbles[v].count;
    }
    // Layout: per nibble, its input (the folded state before it) and one layer per symbol.
    layers_.resize(static_cast<std::size_t>(n + 16 + 1) * kStates);
    uint32_t* cur = layers_.data();
    std::copy(start.begin(), start.end(), cur);
    std::array<uint32_t*, 16> inputs{};
    for (unsigned v = 0; v < 16; ++v) {
        const NibbleSymbols& ns = nibbles[v];
        inputs[v] = cur;
        if (ns.count == 0) continue;
        uint32_t* layer = cur + kStates;
        addSymbol(cur, uses[ns.symbols[0]], kSelectorBits, false, layer);
        for (int j = 1; j < ns.count; ++j, layer += kStates) {
            addSymbol(layer, uses[ns.symbols[j]], 0, true, layer + kStates);
        }
        uint32_t* next = layer + kStates;
        for (int k = 0; k < kStates; ++k) {
            next[k] = std::min(std::min(cur[k] + ns.inlineTotal, kUnreachable), layer[k]);
        }
        cur = next;
    }

    int k = static_cast<int>(std::min_element(cur, cur + kStates) - cur);
    const uint32_t total = cur[k];
    uint32_t cost = total;
    for (unsigned v = 16; v-- > 0;) {
        const NibbleSymbols& ns = nibbles[v];
        if (ns.count == 0) continue;
        const uint32_t* in = inputs[v];
        for (int j = 0; j < ns.count; ++j) lengths[ns.symbols[j]] = 0;
        if (std::min(in[k] + ns.inlineTotal, kUnreachable) == cost) {
            cost = in[k];
            continue;
        }
        // The nibble has codes: walk its layers back, last symbol first.
        for (int j = ns.count; j-- > 0;) {
            const int s = ns.symbols[j];
            const uint32_t u = uses[s];
            const uint32_t* before = j == 0 ? in : in + static_cast<std::size_t>(j) * kStates;
            const uint32_t fixed = kEntryBits + (j == 0 ? kSelectorBits : 0);
            if (j > 0 && before[k] + u * kInlineBits == cost) {
                cost = before[k];
                continue;
            }
            for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
                const int w = unitsOf(length);
                if (w <= k && before[k - w] + fixed + u * length == cost) {
                    lengths[s] = static_cast<uint8_t>(length);
                    cost = before[k - w];
                    k -= w;
                    break;
                }
            }
        }
    }
    return total;
}

}  // namespace tess::codec::nemesis
