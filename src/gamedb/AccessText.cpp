#include "gamedb/AccessText.h"

#include <algorithm>
#include <compare>
#include <cstdint>
#include <utility>
#include <vector>

#include "gamedb/TextCoding.h"

namespace tess::gamedb {
namespace {

// The groups of base weights, in the order Access sorts them.
enum Group : std::uint32_t {
    kPunctuation = 1,
    kSymbols,
    kMoreSymbols,
    kOtherSymbols,  // outside the code page, by code point
    kDigits,
    kLetters,
    kOtherLetters,  // outside the code page, by code point
};
constexpr std::uint32_t weight(Group group, std::uint32_t rank) { return group << 24 | rank; }

// Each group's characters in Access's order.
constexpr std::u32string_view kPunctuationOrder =
    U" \u00A0\t\n\v\f\r!\"#$%&()*,./:;?@[\\]^_`{|}~\u00A1\u00A6\u00A8\u00AF\u00B4\u00B8\u00BF"
    U"\u00A2\u00A3\u00A4\u00A5";
constexpr std::u32string_view kSymbolOrder = U"+<=>\u00B1\u00AB\u00BB\u00D7\u00F7";
constexpr std::u32string_view kMoreSymbolOrder =
    U"\u00A7\u00A9\u00AC\u00AE\u00B0\u00B5\u00B6\u00B7";

// Accent weights: they decide between texts whose base weights are equal.
enum Accent : std::uint8_t {
    kPlain = 0x02,
    kOrdinal = 0x03,
    kAcute = 0x0E,
    kGrave = 0x0F,
    kCircumflex = 0x12,
    kDiaeresis = 0x13,
    kTilde = 0x19,
    kRing = 0x1A,
    kCedilla = 0x1C,
    kCaron = 0x1E,
    kStroke = 0x21,
    kEth = 0x68,
    kQuarter = 0xCE,
    kHalf = 0xD6,
    kThreeQuarters = 0xDE,
};

// Letters of the code page that sort as plain letters (lower case), with an
// accent or as two letters.
struct Composed {
    char32_t c;
    std::u32string_view base;
    Accent accent;
};
constexpr Composed kComposed[] = {
    {U'ª', U"a", kOrdinal},    {U'º', U"o", kOrdinal},    {U'à', U"a", kGrave},
    {U'á', U"a", kAcute},      {U'â', U"a", kCircumflex}, {U'ã', U"a", kTilde},
    {U'ä', U"a", kDiaeresis},  {U'å', U"a", kRing},       {U'æ', U"ae", kPlain},
    {U'ç', U"c", kCedilla},    {U'è', U"e", kGrave},      {U'é', U"e", kAcute},
    {U'ê', U"e", kCircumflex}, {U'ë', U"e", kDiaeresis},  {U'ì', U"i", kGrave},
    {U'í', U"i", kAcute},      {U'î', U"i", kCircumflex}, {U'ï', U"i", kDiaeresis},
    {U'ð', U"d", kEth},        {U'ñ', U"n", kTilde},      {U'ò', U"o", kGrave},
    {U'ó', U"o", kAcute},      {U'ô', U"o", kCircumflex}, {U'õ', U"o", kTilde},
    {U'ö', U"o", kDiaeresis},  {U'ø', U"o", kStroke},     {U'ù', U"u", kGrave},
    {U'ú', U"u", kAcute},      {U'û', U"u", kCircumflex}, {U'ü', U"u", kDiaeresis},
    {U'ý', U"y", kAcute},      {U'þ', U"th", kPlain},     {U'ÿ', U"y", kDiaeresis},
    {U'ß', U"ss", kPlain},     {U'œ', U"oe", kPlain},     {U'š', U"s", kCaron},
    {U'ž', U"z", kCaron},
};

// Digits rank "0", then the fractions ¼ and ½, then "1" to "9"; superscripts
// are their digits.
constexpr std::uint32_t digitRank(char32_t digit) {
    return digit == U'0' ? 0 : static_cast<std::uint32_t>(digit - U'0') + 1;
}
struct DigitLike {
    char32_t c;
    std::uint32_t rank;
    Accent accent;
};
constexpr DigitLike kDigitLike[] = {{U'¹', digitRank(U'1'), kPlain},
                                    {U'²', digitRank(U'2'), kPlain},
                                    {U'³', digitRank(U'3'), kPlain},
                                    {U'¼', 1, kQuarter},
                                    {U'½', 1, kHalf},
                                    {U'¾', digitRank(U'3'), kThreeQuarters}};

char32_t foldCase(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    switch (c) {
        case 0x0152: return 0x0153;  // Œ
        case 0x0160: return 0x0161;  // Š
        case 0x017D: return 0x017E;  // Ž
        case 0x0178: return 0x00FF;  // Ÿ
        default: return c;
    }
}

// Characters Access passes over at first (they only break ties), and ones it
// drops altogether.
bool passedOver(char32_t c) {
    return c == U'-' || c == U'\'' || (c >= 0x01 && c <= 0x08) || (c >= 0x0E && c <= 0x1F) ||
           c == 0x7F;
}
bool dropped(char32_t c) { return c == 0x00 || c == 0xAD; }

// Punctuation and symbols outside the code page's first half sort among the
// symbols; anything else past U+00FF counts as a letter.
bool otherSymbol(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || (c >= 0x02B0 && c <= 0x02FF) || c == 0x0192 ||
           (c >= 0x2000 && c <= 0x2BFF);
}

std::uint32_t rankIn(std::u32string_view order, char32_t c) {
    const auto at = order.find(c);
    return at == std::u32string_view::npos ? 0 : static_cast<std::uint32_t>(at + 1);
}

// A text's key at the three levels Access compares, one after the other.
struct SortKey {
    std::vector<std::uint32_t> bases;
    std::vector<std::uint8_t> accents;
    // (position among the based characters, code point) of each passed-over one.
    std::vector<std::pair<std::uint32_t, char32_t>> passed;

    void add(std::uint32_t base, Accent accent) {
        bases.push_back(base);
        accents.push_back(accent);
    }
};

SortKey sortKey(std::string_view text) {
    SortKey key;
    std::uint32_t position = 0;
    for (const char32_t raw : Utf8CodePoints(text)) {
        const char32_t c = foldCase(raw);
        if (dropped(c)) continue;
        if (passedOver(c)) {
            key.passed.emplace_back(position, c);
            continue;
        }
        ++position;
        if (c >= U'0' && c <= U'9') {
            key.add(weight(kDigits, digitRank(c)), kPlain);
        } else if (c >= U'a' && c <= U'z') {
            key.add(weight(kLetters, c), kPlain);
        } else if (const auto r = rankIn(kPunctuationOrder, c)) {
            key.add(weight(kPunctuation, r), kPlain);
        } else if (const auto s = rankIn(kSymbolOrder, c)) {
            key.add(weight(kSymbols, s), kPlain);
        } else if (const auto m = rankIn(kMoreSymbolOrder, c)) {
            key.add(weight(kMoreSymbols, m), kPlain);
        } else if (const auto* d = std::find_if(std::begin(kDigitLike), std::end(kDigitLike),
                                                [&](const auto& e) { return e.c == c; });
                   d != std::end(kDigitLike)) {
            key.add(weight(kDigits, d->rank), d->accent);
        } else if (const auto* l = std::find_if(std::begin(kComposed), std::end(kComposed),
                                                [&](const auto& e) { return e.c == c; });
                   l != std::end(kComposed)) {
            for (const char32_t base : l->base) key.bases.push_back(weight(kLetters, base));
            key.accents.push_back(l->accent);
        } else {
            key.add(weight(otherSymbol(c) ? kOtherSymbols : kOtherLetters, c), kPlain);
        }
    }
    // Plain letters at the end add nothing: "a" and "á" differ, "a" and "a" do not.
    while (!key.accents.empty() && key.accents.back() == kPlain) key.accents.pop_back();
    return key;
}

template <typename Range>
int compareRanges(const Range& a, const Range& b) {
    const auto order =
        std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end());
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

}  // namespace

int CompareAccessText(std::string_view a, std::string_view b) {
    const SortKey x = sortKey(a);
    const SortKey y = sortKey(b);
    if (const int bases = compareRanges(x.bases, y.bases)) return bases;
    if (const int accents = compareRanges(x.accents, y.accents)) return accents;
    return compareRanges(x.passed, y.passed);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    const auto x = Utf8CodePoints(a);
    const auto y = Utf8CodePoints(b);
    return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                      [](char32_t p, char32_t q) { return foldCase(p) == foldCase(q); });
}

}  // namespace tess::gamedb
