#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "paint/GenesisColour.h"
#include "paint/ScreenColour.h"

namespace tess::paint {

// The 16-entry palette line the sprite is drawn with. Entries 1..15 have a
// Genesis colour word, kept exactly as read or edited, and the screen colour
// it gives. Entry 0 is the background entry: it has a screen colour only, is
// never read from or written to the ROM and takes any colour exactly.
//
// In the ROM a palette line is 16 big-endian words from PaletteOffset; only
// the 30 bytes of entries 1..15 (PaletteOffset + 2 .. + 31) are ever touched.
class GenesisPalette {
public:
    static constexpr int kEntries = 16;

    // Entry 0 starts as `background` (the window's background colour),
    // entries 1..15 as word (0, 0), black.
    explicit GenesisPalette(ScreenColour background);

    // Entry colour 0..15; another index raises err::SubscriptOutOfRange.
    ScreenColour colour(int index) const;
    // Entry word 1..15; another index raises err::SubscriptOutOfRange.
    GenesisWord word(int index) const;

    // The offset recorded by the last LoadPalette (0 before any).
    std::int32_t PaletteOffset() const { return offset_; }

    // Entries 1..15 changed since the palette was last saved or reset by a
    // sprite selection.
    bool PaletteDirty() const { return dirty_; }
    void setPaletteDirty(bool dirty);
    // Called with the new value whenever PaletteDirty changes.
    void setDirtyObserver(std::function<void(bool)> observer) { observer_ = std::move(observer); }

    // Sets entry 1..15 to `word` and its colour to GenesisToRgb(word); leaves
    // PaletteDirty alone.
    void setWord(int index, GenesisWord word);

    // Takes a colour the user chose for an entry. Entries 1..15 are rounded
    // to the Genesis word RgbToGenesis(chosen), show that word's colour and
    // set PaletteDirty; entry 0 takes `chosen` exactly and sets nothing.
    void applyChosenColour(int index, ScreenColour chosen);

    // Reads entries 1..15 from the 30 bytes at offset + 2 of the file and
    // records `offset`; PaletteDirty is left alone. Bytes past the end of the
    // file read as 0. A negative position raises err::BadRecordNumber, an
    // unreadable file tess::fileError; on any error the palette is unchanged.
    void LoadPalette(const std::string& romPath, std::int32_t offset);

    // Writes the words of entries 1..15 at PaletteOffset() + 2 (30 bytes,
    // nothing else; the file is never shortened), all or nothing, then clears
    // PaletteDirty. Raises tess::fileError, with the system's reason, when the
    // file cannot be written, and err::BadRecordNumber for a negative offset.
    void SavePalette(const std::string& romPath);

private:
    static void checkIndex(int index, int first);

    std::array<ScreenColour, kEntries> colours_{};
    std::array<GenesisWord, kEntries> words_{};  // [0] unused
    std::int32_t offset_ = 0;
    bool dirty_ = false;
    std::function<void(bool)> observer_;
};

}  // namespace tess::paint
