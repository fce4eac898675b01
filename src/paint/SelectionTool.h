#pragma once

#include <optional>

#include "paint/SpritePainter.h"
#include "tiles/Grid.h"
#include "tiles/SpriteOverlay.h"

namespace tess::paint {

// The Selection tool: a rectangle of sprite pixels chosen by dragging, shown
// as a marquee over the canvas and never written into the sprite. Dragging
// inside it moves its pixels; Copy, Cut, Clear and Paste work with a
// clipboard of the tool's own, which outlives a change of sprite.
//
// The tool takes and changes only pixels of white tiles: it lifts, copies
// and clears those, and puts pixels down only where the tile is white.
// Cleared pixels get index 0. The painting calls (release after a move, Cut,
// Clear, Paste) paint through the painter inside the caller's gesture.
class SelectionTool {
public:
    explicit SelectionTool(SpritePainter& painter) : painter_(painter) {}

    const std::optional<tiles::PixelRect>& selection() const { return selection_; }

    // A gesture's first pixel: inside the selection it starts a move,
    // elsewhere a new marquee from p.
    void press(tiles::Pixel p);
    // The pointer at p while the button is held.
    void drag(tiles::Pixel p);
    // The gesture ends at p: a marquee becomes the selection (within the
    // sprite; a click that did not leave its pixel drops the selection), a
    // move puts the pixels down and the selection follows them.
    void release(tiles::Pixel p);
    // Forgets the selection and a drag in progress; the clipboard stays.
    void drop();

    void Copy();
    void Cut();    // Copy, then Clear
    void Clear();  // the selected pixels to index 0
    // Puts the clipboard down at the selection's top-left, or the sprite's
    // without one; the pasted rectangle becomes the selection.
    void Paste();

    // What the tool shows: the marquee, and during a move the pixels at
    // their new place and index 0 where they were.
    tiles::SpriteOverlay overlay() const;

private:
    enum class Drag { None, Marquee, Move };

    // The painting commands first plan their pixels as overlay cells (what a
    // move previews is what its release paints), then paint the plan.

    // The white-tile pixels of r; kClear for every other cell.
    tiles::ByteGrid lift(const tiles::PixelRect& r) const;
    // Plans index 0 where the lifted pixels, top-left at `at`, were taken from.
    static void vacate(tiles::SpriteOverlay& plan, const tiles::ByteGrid& lifted, tiles::Pixel at);
    // Plans `pixels`, top-left at `at`, put down over white tiles.
    void place(tiles::SpriteOverlay& plan, const tiles::ByteGrid& pixels, tiles::Pixel at) const;
    tiles::SpriteOverlay movePlan() const;
    // The part of r inside the sprite; none when nothing of it is.
    std::optional<tiles::PixelRect> within(const tiles::PixelRect& r) const;
    // Where a move would put the selection now.
    tiles::PixelRect moved() const;

    SpritePainter& painter_;
    std::optional<tiles::PixelRect> selection_;
    Drag drag_ = Drag::None;
    tiles::Pixel anchor_;
    tiles::Pixel pointer_;
    tiles::ByteGrid lifted_;
    tiles::ByteGrid clipboard_;
};

}  // namespace tess::paint
