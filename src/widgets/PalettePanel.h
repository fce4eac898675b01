#pragma once

#include <QFrame>
#include <array>
#include <functional>

#include "base/CommonDlg.h"
#include "paint/ColourSwatches.h"
#include "paint/GenesisPalette.h"
#include "widgets/PaletteCell.h"

namespace tess::widgets {

// The palette panel Frame1 for the second toolbar strip: the foreground and
// background swatches picFore and picBack and the 16 palette cells picPal0 ..
// picPal15. Releasing a mouse button over a cell picks a swatch colour; a
// left double-click edits the entry through the colour dialog.
class PalettePanel : public QFrame {
    Q_OBJECT
public:
    // `romLoaded` tells whether a ROM is loaded (editing needs one);
    // `redrawSprite` redraws the sprite view after an entry changed. Both
    // swatches start on entry 0 with its colour.
    PalettePanel(QWidget* parent, paint::GenesisPalette& palette, CommonDlg& dialogs,
                 std::function<bool()> romLoaded, std::function<void()> redrawSprite);

    // Places the controls from their design twips with S per axis: swatches
    // at 3780 and 4080, cell i at 4440 + 300 i, all 255 x 255 with their top
    // at 60; the panel itself is 9315 x 360.
    void placeControls(double sx, double sy);

    PaletteCell* picFore() const { return fore_; }
    PaletteCell* picBack() const { return back_; }
    PaletteCell* picPal(int index) const;  // 0..15, else 9

    // The swatches' indices (what the paint tools paint with) and colours.
    // Whoever changes them calls showSwatches afterwards.
    const paint::ColourSwatches& swatches() const { return swatches_; }
    paint::ColourSwatches& swatches() { return swatches_; }
    void showSwatches();

    // Shows the palette's colours in the cells and renews the tooltips of
    // cells 1..15; call it after LoadPalette. The swatches are not touched.
    void refresh();

    // Double-click on cell i: with a ROM loaded, asks for a colour preset to
    // the entry's colour; a cancelled dialog changes nothing. Entry 0 takes
    // the colour exactly (no PaletteDirty), the swatches showing its old
    // colour follow, then the sprite is redrawn. Entries 1..15 are rounded to
    // a Genesis word, set PaletteDirty and renew the tooltip; the sprite is
    // redrawn, then the swatches showing the old colour follow.
    void EditPaletteEntry(int index);

    // Button released over cell i: left makes it the foreground, right the
    // background (index and colour); other buttons do nothing. Needs no ROM.
    void PickSwatchColour(int index, Qt::MouseButton button);

    QSize sizeHint() const override;

private:
    void showEntry(int index);

    paint::GenesisPalette& palette_;
    CommonDlg& dialogs_;
    std::function<bool()> romLoaded_;
    std::function<void()> redrawSprite_;
    paint::ColourSwatches swatches_;
    PaletteCell* fore_;
    PaletteCell* back_;
    std::array<PaletteCell*, paint::GenesisPalette::kEntries> cells_{};
    QSize designSize_{621, 24};
};

}  // namespace tess::widgets
