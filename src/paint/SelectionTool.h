#pragma once

#include <optional>

#include "paint/SpritePainter.h"
#include "tiles/Grid.h"
#include "tiles/SpriteOverlay.h"

namespace tess::paint {

// The Selection tool: a rectangle of sprite pixels chosen by dragging, shown
// as a marquee over the canvas and never written into the sprite. Copy, Cut,
// Clear and Paste work with a clipboard of the tool's own, which outlives a
// change of sprite.
//
// Dragging inside the selection lifts its pixels, and Paste brings the
// clipboard's, into a floating block: it moves over the sprite, and nothing
// under it changes, until it is dropped (a press outside it, drop(), Paste)
// or cancelled (cancel()). A drop is one undo step: a moved block's pixels
// become 0 where they were lifted from, then its pixels go down where the
// tile is white. The selection itself (the painter's) is what undo and redo
// restore with the pixels; while a block floats the marquee follows the
// block instead.
//
// The tool takes and changes only pixels of white tiles: it lifts, copies
// and clears those, and puts pixels down only where the tile is white.
// Cleared pixels get index 0. Each write is an undo step of its own, so the
// tool is used outside the painter's gestures.
class SelectionTool {
public:
    explicit SelectionTool(SpritePainter& painter) : painter_(painter) {}

    // What the marquee surrounds: the floating block, or else the selection.
    std::optional<tiles::PixelRect> selection() const;
    bool floating() const { return float_.has_value(); }

    // A gesture's first pixel: inside the floating block it starts moving the
    // block; elsewhere it drops the block, then inside the selection it
    // starts a move (the pixels are lifted on the first step away), and
    // outside a new marquee from p.
    void press(tiles::Pixel p);
    // The pointer at p while the button is held.
    void drag(tiles::Pixel p);
    // The gesture ends at p: a marquee becomes the selection (within the
    // sprite; a click that did not leave its pixel drops the selection); a
    // moved block goes on floating.
    void release(tiles::Pixel p);

    // Puts a floating block down (one undo step); the selection becomes the
    // block's place within the sprite. Nothing without one.
    void drop();
    // Forgets a floating block, as if it had never been lifted or pasted:
    // the sprite stays as it is and the marquee returns to the selection.
    // Without a block, forgets the selection.
    void cancel();
    // Forgets the selection, a floating block and a drag in progress; the
    // clipboard stays.
    void forget();

    // Copies the floating block's pixels, or the selected ones.
    void Copy();
    void Cut();  // Copy, then Clear
    // The selected pixels to index 0; a floating block is thrown away,
    // and a moved one's pixels stay 0 where they were lifted from.
    void Clear();
    // Drops a floating block, then floats the clipboard at the selection's
    // top-left, or the sprite's without one.
    void Paste();

    // What the tool shows: the marquee, and with a floating block what a
    // drop would write now.
    tiles::SpriteOverlay overlay() const;

private:
    enum class Drag { None, Marquee, Lift, Move };
    struct Float {
        tiles::ByteGrid pixels;  // kClear where nothing was lifted
        tiles::Pixel at;         // the top-left, now
        // Where a moved block was lifted from; none for a pasted one.
        std::optional<tiles::Pixel> from;
    };

    // The white-tile pixels of r; kClear for every other cell.
    tiles::ByteGrid lift(const tiles::PixelRect& r) const;
    // Plans index 0 where the lifted pixels, top-left at `at`, were taken from.
    static void vacate(tiles::SpriteOverlay& plan, const tiles::ByteGrid& lifted, tiles::Pixel at);
    // Plans `pixels`, top-left at `at`, put down over white tiles.
    void place(tiles::SpriteOverlay& plan, const tiles::ByteGrid& pixels, tiles::Pixel at) const;
    // What dropping the floating block would write; `withPixels` false
    // plans only the vacated place.
    tiles::SpriteOverlay floatPlan(bool withPixels = true) const;
    // Writes a plan as one undo step, after which `selected` is the selection.
    void commit(const tiles::SpriteOverlay& plan, std::optional<tiles::PixelRect> selected);
    // The part of r inside the sprite; none when nothing of it is.
    std::optional<tiles::PixelRect> within(const tiles::PixelRect& r) const;

    SpritePainter& painter_;
    std::optional<Float> float_;
    Drag drag_ = Drag::None;
    tiles::Pixel anchor_;
    tiles::Pixel pointer_;
    tiles::Pixel floatStart_;  // the block's top-left when the move began
    tiles::ByteGrid clipboard_;
};

}  // namespace tess::paint
