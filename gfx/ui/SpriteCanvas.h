#pragma once

#include <QCursor>
#include <QWidget>

#include "edit/core/GenesisPalette.h"
#include "gfx/core/SpriteRaster.h"

namespace tess::gfx {

// The drawing surface picSprite: a widget as large as the zoomed sprite that
// renders only the part of the picture it is asked to paint, straight from
// the raster, with the palette's current colours.
class SpriteCanvas : public QWidget {
    Q_OBJECT
public:
    SpriteCanvas(QWidget* parent, const SpriteRaster& raster, const edit::GenesisPalette& palette);

    // The canvas's mouse pointer: 32 x 32 with its hot spot at (16, 15),
    // black ticks above, below, left and right of the hot spot and a small
    // inverting plus on it.
    static QCursor crosshairCursor();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const SpriteRaster& raster_;
    const edit::GenesisPalette& palette_;
};

}  // namespace tess::gfx
