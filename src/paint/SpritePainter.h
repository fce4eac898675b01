#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "paint/UndoHistory.h"
#include "tiles/SpriteDocument.h"
#include "tiles/SpriteOverlay.h"
#include "tiles/SpriteSurface.h"

namespace tess::paint {

// The one way the paint tools change the sprite, and so the one place that
// makes a gesture one undo step: a gesture runs from begin() to end(),
// however many calls it takes, and every pixel it paints goes through
// paint() or paintRun(), which keep the pixel's tile for undo before its
// first change. The selection belongs to the step too: undo and redo bring
// back the selection of their side with the pixels.
class SpritePainter {
public:
    SpritePainter(tiles::SpriteDocument& doc, tiles::SpriteSurface& surface)
        : doc_(doc), surface_(surface) {}

    const tiles::SpriteDocument& doc() const { return doc_; }
    tiles::SpriteSurface& surface() const { return surface_; }
    const UndoHistory& history() const { return history_; }

    // The pixels of the sprite, a white tile or not: 8 x Width by 8 x Height.
    tiles::PixelRect spriteArea() const;
    // Whether a tool may change pixel p: a sprite is loaded and p lies in
    // one of its white tiles.
    bool paintable(tiles::Pixel p) const;
    // SpriteBuffer's index at p, which must lie in spriteArea().
    std::uint8_t index(tiles::Pixel p) const;

    // The Selection tool's rectangle; none at first and for another sprite.
    const std::optional<tiles::PixelRect>& selection() const { return selection_; }
    void select(std::optional<tiles::PixelRect> selection) { selection_ = selection; }

    void begin() {
        inGesture_ = true;
        selectedBefore_ = selection_;
    }
    // Ends the gesture: an undo step when it changed a pixel.
    void end();

    // Paints a paintable pixel during a gesture: SpriteDirty is set first,
    // then the cell is drawn and SpriteBuffer written.
    void paint(tiles::Pixel p, int index);
    // Paints the run x0..x1 of row y, every pixel of it paintable.
    void paintRun(std::int32_t x0, std::int32_t x1, std::int32_t y, std::uint8_t index);
    // Paints each cell of `plan` that is not clear, every one of them
    // paintable: what a preview showed becomes the sprite's.
    void paintCells(const tiles::SpriteOverlay& plan);

    // Makes an edit of the white tiles' pixels done elsewhere (an image laid
    // over the sprite) one undo step of its own, after ending a gesture in
    // progress.
    void recordEdit(const std::function<void()>& edit);

    // Ends a gesture in progress, then restores the newest undo (redo) step:
    // SpriteBuffer takes the step's pixels, and the picture is drawn again as
    // a restored snapshot is: cleared, then every pixel of the sprite through
    // DrawCell, row by row, whatever its tile, without hatches. SpriteDirty
    // stays as it is; the selection becomes the step's. Returns false,
    // doing nothing more, when that side is empty.
    bool Undo();
    bool Redo();

    // Another sprite replaced the grids: the history, the selection and a
    // gesture in progress are forgotten.
    void forget();

    // Called whenever the pixels changed: after a gesture or an edit that
    // changed one, and after an undo or a redo.
    void setChangeObserver(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    // After an undo or a redo that restored a step: draws the sprite again and
    // tells the observer. Returns `restored`.
    bool showRestored(bool restored);

    tiles::SpriteDocument& doc_;
    tiles::SpriteSurface& surface_;
    UndoHistory history_;
    bool inGesture_ = false;
    std::function<void()> changed_;
    std::optional<tiles::PixelRect> selection_;
    std::optional<tiles::PixelRect> selectedBefore_;  // when the gesture began
};

}  // namespace tess::paint
