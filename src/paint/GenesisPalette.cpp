#include "paint/GenesisPalette.h"

#include "base/FileSystem.h"
#include "base/RomFile.h"
#include "base/RuntimeError.h"

namespace tess::paint {
namespace {

constexpr std::size_t kLineBytes = 2 * (GenesisPalette::kEntries - 1);

}  // namespace

GenesisPalette::GenesisPalette(ScreenColour background) { colours_[0] = background; }

void GenesisPalette::checkIndex(int index, int first) {
    if (index < first || index >= kEntries) throw subscriptError();
}

ScreenColour GenesisPalette::colour(int index) const {
    checkIndex(index, 0);
    return colours_[static_cast<std::size_t>(index)];
}

GenesisWord GenesisPalette::word(int index) const {
    checkIndex(index, 1);
    return words_[static_cast<std::size_t>(index)];
}

void GenesisPalette::setPaletteDirty(bool dirty) {
    if (dirty == dirty_) return;
    dirty_ = dirty;
    if (observer_) observer_(dirty);
}

void GenesisPalette::setWord(int index, GenesisWord word) {
    checkIndex(index, 1);
    words_[static_cast<std::size_t>(index)] = word;
    colours_[static_cast<std::size_t>(index)] = GenesisToRgb(word.high, word.low);
}

void GenesisPalette::applyChosenColour(int index, ScreenColour chosen) {
    checkIndex(index, 0);
    if (index == 0) {
        colours_[0] = chosen;
        return;
    }
    setWord(index, RgbToGenesis(chosen));
    setPaletteDirty(true);
}

void GenesisPalette::LoadPalette(const std::string& romPath, std::int32_t offset) {
    // All 30 bytes first, so that a failing read changes nothing. A line past
    // the end of a short ROM reads as black, as its tiles read as index 0:
    // a truncated ROM of a known game still loads.
    std::array<std::uint8_t, kLineBytes> bytes{};
    readAt(romPath, std::int64_t{offset} + 2, bytes);
    for (int i = 1; i < kEntries; ++i) {
        const auto at = static_cast<std::size_t>(2 * (i - 1));
        setWord(i, {bytes[at], bytes[at + 1]});
    }
    offset_ = offset;
}

void GenesisPalette::SavePalette(const std::string& romPath) {
    std::array<std::uint8_t, kLineBytes> bytes{};
    for (int i = 1; i < kEntries; ++i) {
        const auto at = static_cast<std::size_t>(2 * (i - 1));
        bytes[at] = words_[static_cast<std::size_t>(i)].high;
        bytes[at + 1] = words_[static_cast<std::size_t>(i)].low;
    }
    const std::int64_t at = std::int64_t{offset_} + 2;
    if (at < 0) throw badRecordNumberError();
    RewriteFile(romPath, [&](std::vector<std::uint8_t>& rom) {
        // A line past the end lengthens the file, zeros in the gap, as a write there would.
        const auto end = static_cast<std::size_t>(at) + bytes.size();
        if (rom.size() < end) rom.resize(end);
        std::copy(bytes.begin(), bytes.end(), rom.begin() + at);
    });
    setPaletteDirty(false);
}

}  // namespace tess::paint
