#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QScrollBar>
#include <cstdint>
#include <functional>

#include "paint/GenesisPalette.h"
#include "tiles/SpriteDocument.h"
#include "tiles/SpriteLoadTarget.h"
#include "tiles/SpriteOverlay.h"
#include "tiles/SpriteRaster.h"
#include "widgets/SpriteCanvas.h"

class QWheelEvent;

namespace tess::widgets {

// The zoomed sprite view: the frame picEdBack, the drawing surface picSprite
// inside it (exactly as large as the zoomed sprite, up to 32767 pixels a
// side) and the scroll bars sprScrollH and sprScrollV that move the surface.
// It creates these controls as children of `parent`; the owner places them
// (placeControls gives the window's design layout).
//
// Over the frame and the canvas the pointer works as in pixel editors: the
// wheel scrolls vertically and with Shift horizontally (a touchpad's pixel
// deltas alike), through the bars' values, so that the scroll-position rule
// moves the surface; with Ctrl it steps the zoom, keeping the sprite pixel
// under the pointer there. While panning is on, a drag moves the surface
// the same way and the canvas passes no mouse event on.
//
// The view keeps what was drawn at sprite-pixel resolution (SpriteRaster) and
// paints only the exposed part of the surface. Colours are the palette's at
// paint time. It reads the sprite's grids and SpriteLoaded from the document
// and never touches the database: the sprite's size in tiles comes from a
// source the owner sets.
//
// Errors are raised, never caught: err::Overflow for a surface beyond 32767
// pixels, err::SubscriptOutOfRange for a zoom index outside 0..5 or a palette
// index 16..254.
class SpriteView : public QObject, public tiles::SpriteLoadTarget {
    Q_OBJECT
public:
    SpriteView(QWidget* parent, const tiles::SpriteDocument& doc,
               const paint::GenesisPalette& palette);
    ~SpriteView() override;

    QWidget* picEdBack() const { return frame_; }
    SpriteCanvas* picSprite() const { return canvas_; }
    QScrollBar* sprScrollH() const { return scrollH_; }
    QScrollBar* sprScrollV() const { return scrollV_; }

    // S per axis is the screen's twips per pixel, 1440 / logical dpi; it
    // starts from the parent's logical dpi, and scroll positions count in
    // units of S pixels. Sets S and places the controls at their design positions in the
    // parent, converted from twips: picEdBack 2520, 780, 6495 x 5355;
    // sprScrollV 9000, 780, 255 x 5355; sprScrollH 2520, 6120, 6495 x 255.
    // `extra` is how many pixels the owner's client area exceeds its design
    // size by: the frame takes all of it, the vertical bar moves right and
    // grows taller, the horizontal one moves down and grows wider. When the
    // frame changes size with a sprite shown, a bar whose surface now fits
    // goes back to 0 and is disabled, then the scroll-range rule runs with
    // the frame's new size.
    void placeControls(double sx, double sy, QSize extra = QSize(0, 0));

    // Screen pixels per sprite pixel: one of tiles::kZoomLevels, kStartZoom at start.
    std::int16_t Zoom() const { return zoom_; }
    // What Ctrl+wheel runs: View > Zoom item `index`, through the owner's
    // menu command. Without it, Ctrl+wheel does nothing.
    void setZoomCommand(std::function<void(int index)> command) {
        zoomCommand_ = std::move(command);
    }
    // Space held: a drag over the frame or the canvas pans instead of painting.
    void setPanning(bool on);
    bool panning() const { return panning_; }
    // The check mark of the Grid command; outlines are dashed while it is on.
    bool gridChecked() const { return gridChecked_; }
    tiles::SpriteRaster::LineStyle lineStyle() const { return raster_.lineStyle(); }
    const tiles::SpriteRaster& raster() const { return raster_; }

    // Where RedrawSprite takes the sprite's size in tiles from; it is asked
    // only when a sprite is loaded. Without a source, such a redraw raises err::ObjectNotSet.
    void setSpriteSizeSource(std::function<tiles::TileSize()> source) {
        sizeSource_ = std::move(source);
    }

    // Paints one sprite pixel as a Zoom x Zoom square (nothing for 255).
    // Cheap: repaints are gathered and done later or by flushPainting.
    void DrawCell(int x, int y, int index) override;
    void DrawCells(int x, int y, std::span<const std::uint8_t> indices) override;
    // Lays the grey-tile hatch over tile cell (tx, ty).
    void HatchTile(int tx, int ty) override;
    // Shows the tiles read so far now and then during a long load.
    void TileDone() override { flushPainting(); }
    // Shows `overlay` over the picture until the next one, at every zoom.
    void showOverlay(const tiles::SpriteOverlay& overlay) override;

    // Nothing unless doc.SpriteLoaded. Otherwise: works out the surface size
    // for the source's Width x Height at Zoom (raising err::Overflow before anything
    // changes), clears the picture, sizes the surface, puts it at 0, 0,
    // applies the scroll-range rule and draws every cell of a white or grey
    // tile from SpriteBuffer, hatching the grey tiles.
    void RedrawSprite();

    // The view's part of a sprite selection, one call per step.
    // Clears the picture, sizes the surface for `size` at Zoom (6 beyond 32767
    // pixels, raised before anything changes) and shows it.
    void clearSurface(tiles::TileSize size) override;
    // disableScrollBars, moveSurfaceHome, then applyScrollRange.
    void resetScrollBars() override;
    void disableScrollBars();
    // Puts the surface at 0, 0 of the frame; the scroll values stay.
    void moveSurfaceHome();
    // For each axis where surface * S exceeds the frame's size in twips:
    // enables the bar and sets its maximum to surface / S rounded half to
    // even. Never disables a bar or sets its value.
    void applyScrollRange();
    // Clears the picture to the magenta background.
    void setMagentaBackground() override;

    // View > Zoom item `index` (0..5, else 9): sets Zoom; with a ROM loaded
    // also disables both bars and redraws. The owner keeps the menu checks.
    void ZoomCommand(int index, bool romLoaded);
    // View > Grid. At Zoom 8 or more toggles the grid (dashed outlines while
    // on), redraws and sets both scroll values to 0; below 8 turns it off and
    // redraws. Returns the new check mark for the menu item.
    bool GridCommand();

    // A file dropped on the view: its local path goes to the handler. Without
    // a handler the view takes no drops.
    void setDropHandler(std::function<void(const std::string& path)> handler);

    // Repaints what was drawn since the last flush at once, when more than
    // 30 ms have passed since then; otherwise does nothing.
    void flushPainting();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSize surfaceSize(tiles::TileSize size) const;
    void markDirty(const QRect& rect);
    void markDirty(const tiles::PixelRect& cells);
    void postPendingUpdate();
    void scrollX(int value);
    void scrollY(int value);
    void followFrame();
    void wheel(const QWheelEvent& event);
    // The place in tiles::kZoomLevels `steps` levels from Zoom's, kept within the list.
    int zoomIndexSteppedBy(int steps) const;
    // Runs `zoom`, a zoom command (which redraws and resets the bars), then
    // scrolls so that the sprite pixel under `at`, a point of the frame, is
    // under it again, as far as the bars reach. The bars take the nearest
    // values and the surface then moves by the rest, less than S pixels, so
    // that the pixel stays even where it is smaller than S; the next scroll
    // puts the surface back on the bars' steps.
    void zoomKeeping(QPointF at, const std::function<void()>& zoom);
    // Handles a mouse event while panning; false for events it leaves alone.
    bool pan(QEvent* event);
    void showPanCursor(Qt::CursorShape hand);
    // Handles a file dragged or dropped on the frame; false for other events.
    bool takeFileDrop(QEvent* event);

    const tiles::SpriteDocument& doc_;
    tiles::SpriteRaster raster_;
    tiles::SpriteOverlay overlay_;
    QPointer<QWidget> frame_;
    QPointer<SpriteCanvas> canvas_;
    QPointer<QScrollBar> scrollH_;
    QPointer<QScrollBar> scrollV_;
    std::function<tiles::TileSize()> sizeSource_;
    std::function<void(const std::string&)> dropHandler_;
    std::function<void(int)> zoomCommand_;
    double sx_ = 15;
    double sy_ = 15;
    std::int16_t zoom_ = tiles::kStartZoom;
    bool gridChecked_ = false;
    // Wheel turns not yet a whole bar step (in bar units) or zoom step (in
    // eighths of a degree).
    QPointF wheelRest_;
    int zoomWheelRest_ = 0;
    bool panning_ = false;
    QPointF panFrom_;   // global position of the press
    QPoint panValues_;  // the bars' values at the press
    QRect pending_;
    bool updatePosted_ = false;
    QElapsedTimer sinceFlush_;
};

}  // namespace tess::widgets
