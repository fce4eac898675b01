#pragma once

#include <QCursor>
#include <QWidget>

#include "paint/GenesisPalette.h"
#include "tiles/SpriteOverlay.h"
#include "tiles/SpriteRaster.h"

namespace tess::widgets {

// The drawing surface picSprite: a widget as large as the zoomed sprite that
// renders only the part of the picture it is asked to paint, straight from
// the raster, with the palette's current colours, and the overlay above it.
//
// It passes the mouse on as the paint tools take it, and does nothing else
// with it: the sprite pixel under the pointer (floor of the position in
// canvas pixels over the zoom, so left of and above the canvas negative), a
// button mask (1 left, 2 right, 4 middle) and a shift mask (1 Shift, 2 Ctrl,
// 4 Alt). A press or release names the one button that caused it; a move
// names every button held. The view takes the wheel.
class SpriteCanvas : public QWidget {
    Q_OBJECT
public:
    SpriteCanvas(QWidget* parent, const tiles::SpriteRaster& raster,
                 const tiles::SpriteOverlay& overlay, const paint::GenesisPalette& palette);

    // The canvas's mouse pointer: 32 x 32 with its hot spot at (16, 15),
    // black ticks above, below, left and right of the hot spot and a small
    // inverting plus on it.
    static QCursor crosshairCursor();

signals:
    void mousePressed(tess::tiles::Pixel pixel, int button, int shift);
    void mouseMoved(tess::tiles::Pixel pixel, int button, int shift);
    void mouseReleased(tess::tiles::Pixel pixel, int button, int shift);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    tiles::Pixel pixelAt(const QMouseEvent* event) const;

    const tiles::SpriteRaster& raster_;
    const tiles::SpriteOverlay& overlay_;
    const paint::GenesisPalette& palette_;
};

}  // namespace tess::widgets
