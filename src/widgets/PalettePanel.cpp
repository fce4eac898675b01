#include "widgets/PalettePanel.h"

#include "base/RuntimeError.h"
#include "widgets/Twips.h"

namespace tess::widgets {
namespace {

constexpr char kEntry0Tip[] = "Changing this, will change the background color of the window";

}  // namespace

PalettePanel::PalettePanel(QWidget* parent, paint::GenesisPalette& palette, CommonDlg& dialogs,
                           std::function<bool()> romLoaded, std::function<void()> redrawSprite)
    : QFrame(parent),
      palette_(palette),
      dialogs_(dialogs),
      romLoaded_(std::move(romLoaded)),
      redrawSprite_(std::move(redrawSprite)),
      swatches_(palette.colour(0)),
      fore_(new PaletteCell(this)),
      back_(new PaletteCell(this)) {
    setObjectName("Frame1");
    fore_->setObjectName("picFore");
    fore_->setToolTip("Foreground color");
    back_->setObjectName("picBack");
    back_->setToolTip("Background color");
    for (int i = 0; i < paint::GenesisPalette::kEntries; ++i) {
        auto* cell = new PaletteCell(this);
        cell->setObjectName(QStringLiteral("picPal%1").arg(i));
        cell->setColour(palette_.colour(i));
        connect(cell, &PaletteCell::released, this,
                [this, i](Qt::MouseButton button) { PickSwatchColour(i, button); });
        connect(cell, &PaletteCell::doubleClicked, this, [this, i](Qt::MouseButton button) {
            if (button == Qt::LeftButton) EditPaletteEntry(i);
        });
        cells_[static_cast<std::size_t>(i)] = cell;
    }
    cells_[0]->setToolTip(kEntry0Tip);
    showSwatches();
    placeControls(15, 15);
}

PaletteCell* PalettePanel::picPal(int index) const {
    if (index < 0 || index >= paint::GenesisPalette::kEntries) throw subscriptError();
    return cells_[static_cast<std::size_t>(index)];
}

void PalettePanel::placeControls(double sx, double sy) {
    auto place = [&](QWidget* widget, int left) {
        widget->setGeometry(twipsToRect(left, 60, 255, 255, sx, sy));
    };
    place(fore_, 3780);
    place(back_, 4080);
    for (int i = 0; i < paint::GenesisPalette::kEntries; ++i) place(picPal(i), 4440 + 300 * i);
    designSize_ = {twipsToPixels(9315, sx), twipsToPixels(360, sy)};
    setMinimumSize(designSize_);
    updateGeometry();
}

QSize PalettePanel::sizeHint() const { return designSize_; }

void PalettePanel::showEntry(int index) {
    picPal(index)->setColour(palette_.colour(index));
    if (index != 0)
        picPal(index)->setToolTip(
            QString::fromStdString(paint::colourTooltip(palette_.colour(index))));
}

void PalettePanel::showSwatches() {
    fore_->setColour(swatches_.foreground().colour);
    back_->setColour(swatches_.background().colour);
}

void PalettePanel::refresh() {
    for (int i = 0; i < paint::GenesisPalette::kEntries; ++i) showEntry(i);
}

void PalettePanel::EditPaletteEntry(int index) {
    const paint::ScreenColour old = palette_.colour(index);
    if (!romLoaded_()) return;
    const auto chosen = dialogs_.chooseColour(old.packed());
    if (!chosen) return;

    const paint::ColourSwatches::Followers followers = swatches_.showing(old);
    palette_.applyChosenColour(index, paint::ScreenColour::fromPacked(*chosen));
    showEntry(index);
    // Entry 0 recolours the swatches before the redraw, the others after it:
    // a failing redraw leaves the swatches of an edited entry 1..15 as they were.
    if (index == 0) {
        swatches_.follow(followers, palette_.colour(0));
        showSwatches();
        redrawSprite_();
    } else {
        redrawSprite_();
        swatches_.follow(followers, palette_.colour(index));
        showSwatches();
    }
}

void PalettePanel::PickSwatchColour(int index, Qt::MouseButton button) {
    const paint::Swatch picked{index, palette_.colour(index)};
    if (button == Qt::LeftButton) {
        swatches_.setForeground(picked);
    } else if (button == Qt::RightButton) {
        swatches_.setBackground(picked);
    } else {
        return;
    }
    showSwatches();
}

}  // namespace tess::widgets
