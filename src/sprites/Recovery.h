#pragma once

#include <optional>
#include <string>

#include "tiles/SpriteDocument.h"

namespace tess::sprites {

// Unsaved painting kept on disk, so that it survives whatever ends the
// program before a save: a crash, a kill, a power cut, an error that ends it.
// One file a sprite of a ROM, in a folder of the user's own; each is written
// all or nothing and flushed, so a file is either the last kept pixels or the
// ones before.
class Recovery {
public:
    // An empty folder keeps nothing.
    explicit Recovery(std::string folder) : folder_(std::move(folder)) {}

    // Keeps the pixels of the document's sprite, replacing what was kept for
    // it. Returns false, with the reason in `why`, when they cannot be kept.
    bool keep(const tiles::SpriteDocument& doc, std::string& why) const;

    // The pixels kept for the document's sprite of its ROM: only when the ROM
    // is the same (its size and header) and the grids the same size.
    std::optional<tiles::ByteGrid> find(const tiles::SpriteDocument& doc) const;

    // Forgets what was kept for the document's sprite.
    void forget(const tiles::SpriteDocument& doc) const;

private:
    std::string fileFor(const tiles::SpriteRecord& record) const;

    std::string folder_;
};

// Whether kept pixels differ from the document's in any white tile (the only
// tiles painting changes), and laying them over those tiles.
bool KeptPixelsDiffer(const tiles::ByteGrid& kept, const tiles::SpriteDocument& doc);
void RestorePixels(const tiles::ByteGrid& kept, tiles::SpriteDocument& doc);

}  // namespace tess::sprites
