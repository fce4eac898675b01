#pragma once

#include <cstdint>
#include <optional>
#include <random>

#include "paint/ColourSwatches.h"
#include "paint/GenesisPalette.h"
#include "paint/SelectionTool.h"
#include "paint/SpritePainter.h"

namespace tess::paint {

// CurrentTool's values, in the order of the toolbar's keys "a" to "h".
enum class PaintTool : std::int16_t {
    Pencil,
    Eyedropper,
    ColorReplacer,
    Selection,
    Eraser,
    SprayCan,
    PaintBucket,
    Shape,
};
inline constexpr int kToolCount = 8;

// The canvas's button mask (1 left, 2 right, 4 middle) and the Shift bit of
// its shift mask.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kShiftKey = 1;

// The paint tools on the sprite canvas. They take the mouse as the canvas
// passes it on, never as a widget event, and change the sprite only through
// the painter, so only inside white tiles.
//
// A gesture runs from the first call with a button held to the release (or
// to a move with no button held, should the release never come) and is one
// undo step. Pencil, Spray can, Paint bucket and Shape paint the foreground
// index with the left button and the background index with the right; other
// masks paint nothing with them.
class PaintTools {
public:
    // The Spray can paints this many dots a call within this radius.
    static constexpr int kSprayDots = 6;
    static constexpr int kSprayRadius = 3;

    PaintTools(tiles::SpriteDocument& doc, ColourSwatches& swatches, const GenesisPalette& palette,
               tiles::SpriteSurface& surface);

    std::int16_t CurrentTool() const { return static_cast<std::int16_t>(tool_); }
    // Takes tool 0..7 (any other number is ignored). A gesture in progress
    // ends first, a floating block is dropped and the selection forgotten.
    void setCurrentTool(std::int16_t tool);

    // The canvas's press and move handler, given the sprite pixel under the
    // pointer (either coordinate may be negative), the buttons held (a mask)
    // and the modifiers (a mask). Pencil, Eyedropper, Color Replacer and
    // Eraser act on that pixel alone when it lies in a white tile: the Pencil
    // paints a swatch index (1 foreground, 2 background), the Eyedropper sets
    // that swatch's index and colour from the pixel, the Color Replacer swaps
    // the pressed button's swatch index for the other one's, the Eraser paints
    // 0 for any mask. The Paint bucket fills on the press, the 4-connected
    // region of the pixel's index within white tiles; the Spray can paints
    // dots around the pointer, the same dots for the same stroke; Shape and
    // Selection follow the pointer and show their preview. Returns whether a
    // swatch changed (the Eyedropper took one).
    bool ApplyTool(tiles::Pixel p, std::int16_t button, std::int16_t shift);
    // The canvas's release handler: ends the gesture at p. The Shape draws its
    // line from the press to here, or with Shift held the rectangle outline
    // with these corners; the Selection takes its rectangle, and a moved
    // block goes on floating.
    void ReleaseTool(tiles::Pixel p, std::int16_t shift);
    // The modifiers changed without a move (Shift pressed or released): the
    // Shape's preview shows what a release now would draw.
    void ModifiersChanged(std::int16_t shift);

    // Undo and redo (see SpritePainter); a gesture in progress ends first and
    // a floating block is dropped.
    bool Undo();
    bool Redo();

    // The Selection tool's keyboard commands (see SelectionTool); with
    // another tool they do nothing. Each is an undo step of its own when it
    // changes pixels.
    void Copy();
    void Cut();
    void Delete();
    void Paste();
    // Puts a floating block down (Enter, and whatever needs the sprite as
    // the user sees it: a save, another sprite, an import).
    void Drop();
    // Forgets a floating block, or without one the selection (Esc).
    void Cancel();

    // An edit of the white tiles made elsewhere (an image import) becomes
    // one undo step; a gesture in progress ends first and a floating block
    // is dropped.
    void recordEdit(const std::function<void()>& edit);

    // Another sprite replaced the grids: the history, a gesture in progress,
    // a floating block and the selection are forgotten.
    void spriteReplaced();

    const SpritePainter& painter() const { return painter_; }
    // See SpritePainter::setChangeObserver.
    void setChangeObserver(std::function<void()> changed) {
        painter_.setChangeObserver(std::move(changed));
    }
    const SelectionTool& selection() const { return selection_; }
    // What the tools show over the sprite now (also given to the surface).
    const tiles::SpriteOverlay& preview() const { return preview_; }

private:
    // The swatch index a painting button uses, none for other masks.
    std::optional<std::uint8_t> swatchIndex(std::int16_t button) const;
    void startGesture(std::int16_t button, tiles::Pixel p);
    void finishGesture(tiles::Pixel p, std::int16_t shift);
    // Ends a gesture in progress, then runs a command of the Selection tool
    // and shows its marquee.
    void selectionCommand(void (SelectionTool::*command)());
    void show(tiles::SpriteOverlay overlay);
    // After an undo or a redo, which may bring back another selection: the
    // Selection tool shows the marquee anew. Returns `restored`.
    bool showRestored(bool restored);

    void pick(std::int16_t button, tiles::Pixel p);
    void replaceColour(std::int16_t button, tiles::Pixel p);
    void spray(tiles::Pixel centre, std::uint8_t index);
    void fill(tiles::Pixel start, std::uint8_t index);
    // The Shape's pixels from the press to the pointer: a line, or with Shift
    // the rectangle outline.
    tiles::SpriteOverlay shapePlan(std::int16_t shift) const;

    ColourSwatches& swatches_;
    const GenesisPalette& palette_;
    SpritePainter painter_;
    SelectionTool selection_{painter_};
    tiles::SpriteOverlay preview_;
    PaintTool tool_ = PaintTool::Pencil;
    tiles::Pixel pointer_;  // where the last call was

    // The gesture in progress.
    bool inGesture_ = false;
    tiles::Pixel pressedAt_;
    std::optional<std::uint8_t> shapeIndex_;
    std::minstd_rand sprayDots_;
};

}  // namespace tess::paint
