#include "widgets/SpriteView.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "base/RuntimeError.h"
#include "widgets/Twips.h"

namespace tess::widgets {
namespace {

using tiles::kZoomLevels;

constexpr int kFlushMilliseconds = 30;

// A wheel notch turns 120 eighths of a degree.
constexpr int kNotch = 120;

int roundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

// Moves an enabled bar by whole units, keeping the fraction in `rest` for
// the next turn (touchpads and fine wheels turn by little).
void scrollBy(QScrollBar& bar, double units, double& rest) {
    if (!bar.isEnabled()) {
        rest = 0;
        return;
    }
    rest += units;
    const int whole = static_cast<int>(rest);
    rest -= whole;
    bar.setValue(bar.value() + whole);
}

// Sets an enabled bar to the value nearest to moving the surface `offset`
// pixels (S pixels a unit), within its range; returns the offset in pixels
// that range allows. A disabled bar's surface stays at 0.
int scrollNear(QScrollBar& bar, double offset, double s) {
    if (!bar.isEnabled()) return 0;
    const double reach = std::clamp(offset, 0.0, bar.maximum() * s);
    bar.setValue(qRound(reach / s));
    return static_cast<int>(std::floor(reach));
}

}  // namespace

SpriteView::SpriteView(QWidget* parent, const tiles::SpriteDocument& doc,
                       const paint::GenesisPalette& palette)
    : QObject(parent), doc_(doc) {
    frame_ = new QWidget(parent);
    frame_->setObjectName("picEdBack");
    frame_->setAutoFillBackground(true);

    canvas_ = new SpriteCanvas(frame_, raster_, overlay_, palette);
    canvas_->setObjectName("picSprite");
    canvas_->resize(0, 0);
    canvas_->hide();  // until the first sprite is selected

    scrollV_ = new QScrollBar(Qt::Vertical, parent);
    scrollV_->setObjectName("sprScrollV");
    scrollH_ = new QScrollBar(Qt::Horizontal, parent);
    scrollH_->setObjectName("sprScrollH");
    for (QScrollBar* bar : {scrollH_.data(), scrollV_.data()}) {
        bar->setEnabled(false);
        bar->setSingleStep(2);
        bar->setPageStep(20);
    }
    connect(scrollH_, &QScrollBar::valueChanged, this, &SpriteView::scrollX);
    connect(scrollH_, &QScrollBar::sliderMoved, this, &SpriteView::scrollX);
    connect(scrollV_, &QScrollBar::valueChanged, this, &SpriteView::scrollY);
    connect(scrollV_, &QScrollBar::sliderMoved, this, &SpriteView::scrollY);
    frame_->installEventFilter(this);
    canvas_->installEventFilter(this);

    if (parent != nullptr && parent->logicalDpiX() > 0 && parent->logicalDpiY() > 0) {
        sx_ = twipsPerPixel(parent->logicalDpiX());
        sy_ = twipsPerPixel(parent->logicalDpiY());
    }
}

SpriteView::~SpriteView() {
    // The canvas paints from this object's raster: it must not outlive it.
    delete frame_;
    delete scrollH_;
    delete scrollV_;
}

void SpriteView::placeControls(double sx, double sy, QSize extra) {
    sx_ = sx;
    sy_ = sy;
    const QSize before = frame_->size();
    const int dx = extra.width();
    const int dy = extra.height();
    frame_->setGeometry(twipsToRect(2520, 780, 6495, 5355, sx, sy).adjusted(0, 0, dx, dy));
    scrollV_->setGeometry(
        twipsToRect(9000, 780, 255, 5355, sx, sy).translated(dx, 0).adjusted(0, 0, 0, dy));
    scrollH_->setGeometry(
        twipsToRect(2520, 6120, 6495, 255, sx, sy).translated(0, dy).adjusted(0, 0, dx, 0));
    if (frame_->size() != before && doc_.SpriteLoaded) followFrame();
}

void SpriteView::followFrame() {
    // A bar left enabled over a surface that fits could scroll it out of
    // sight for good: it is disabled, as a zoom disables it, at 0.
    if (canvas_->width() <= frame_->width()) {
        scrollH_->setValue(0);
        scrollH_->setEnabled(false);
    }
    if (canvas_->height() <= frame_->height()) {
        scrollV_->setValue(0);
        scrollV_->setEnabled(false);
    }
    applyScrollRange();
}

QSize SpriteView::surfaceSize(tiles::TileSize size) const {
    const tiles::SurfaceSize pixels = tiles::ZoomedSurfaceSize(size, zoom_);
    return {pixels.width, pixels.height};
}

void SpriteView::resetScrollBars() {
    disableScrollBars();
    moveSurfaceHome();
    applyScrollRange();
}

int SpriteView::zoomIndexSteppedBy(int steps) const {
    const auto index =
        std::find(kZoomLevels.begin(), kZoomLevels.end(), zoom_) - kZoomLevels.begin();
    return std::clamp(static_cast<int>(index) + steps, 0, static_cast<int>(kZoomLevels.size()) - 1);
}

void SpriteView::DrawCell(int x, int y, int index) {
    raster_.drawCell(x, y, index);
    if (index != tiles::SpriteRaster::kNothing) markDirty(tiles::PixelRect{x, y, 1, 1});
}

void SpriteView::DrawCells(int x, int y, std::span<const std::uint8_t> indices) {
    raster_.drawCells(x, y, indices);
    markDirty(tiles::PixelRect{x, y, static_cast<std::int32_t>(indices.size()), 1});
}

void SpriteView::showOverlay(const tiles::SpriteOverlay& overlay) {
    markDirty(overlay_.bounds());
    overlay_ = overlay;
    markDirty(overlay_.bounds());
}

void SpriteView::HatchTile(int tx, int ty) {
    raster_.hatchTile(tx, ty);
    markDirty(tiles::PixelRect{8 * tx, 8 * ty, 8, 8});
}

void SpriteView::markDirty(const tiles::PixelRect& cells) {
    const tiles::PixelRect shown =
        cells.intersected({0, 0, raster_.upperX() + 1, raster_.upperY() + 1});
    if (shown.empty()) return;
    const int z = raster_.zoom();
    markDirty(QRect(shown.x * z, shown.y * z, shown.width * z, shown.height * z));
}

void SpriteView::markDirty(const QRect& rect) {
    pending_ |= rect;
    if (!updatePosted_) {
        // One update for all the cells drawn before the event loop runs.
        updatePosted_ = true;
        QMetaObject::invokeMethod(this, &SpriteView::postPendingUpdate, Qt::QueuedConnection);
    }
}

void SpriteView::postPendingUpdate() {
    updatePosted_ = false;
    if (!pending_.isEmpty()) canvas_->update(pending_);
    pending_ = QRect();
}

void SpriteView::flushPainting() {
    if (sinceFlush_.isValid() && sinceFlush_.elapsed() <= kFlushMilliseconds) return;
    sinceFlush_.start();
    const QRect visible = QRect(-canvas_->pos(), frame_->size()) & canvas_->rect();
    const QRect area = pending_ & visible;
    pending_ = QRect();
    if (!area.isEmpty() && canvas_->isVisible()) canvas_->repaint(area);
}

void SpriteView::RedrawSprite() {
    if (!doc_.SpriteLoaded) return;
    if (!sizeSource_) throw objectNotSetError();
    const QSize size = surfaceSize(sizeSource_());
    raster_.reset(doc_.SpriteBuffer.upperX(), doc_.SpriteBuffer.upperY(), zoom_);
    pending_ = QRect();
    canvas_->resize(size);
    moveSurfaceHome();
    applyScrollRange();
    canvas_->update();
    raster_.drawSprite(doc_.SpriteBuffer, doc_.TileMap);
}

void SpriteView::clearSurface(tiles::TileSize size) {
    const QSize pixels = surfaceSize(size);
    const tiles::PixelBounds bounds = tiles::SpritePixelBounds(size);
    raster_.reset(bounds.x, bounds.y, zoom_);
    pending_ = QRect();
    canvas_->resize(pixels);
    canvas_->update();
    canvas_->show();
}

void SpriteView::disableScrollBars() {
    scrollH_->setEnabled(false);
    scrollV_->setEnabled(false);
}

void SpriteView::moveSurfaceHome() { canvas_->move(0, 0); }

void SpriteView::applyScrollRange() {
    // The rule compares surface * S with the frame's size in twips, which is
    // its size in pixels * S: so pixels compare directly; S only scales the
    // maximum.
    if (canvas_->width() > frame_->width()) {
        scrollH_->setEnabled(true);
        scrollH_->setMaximum(roundHalfEven(canvas_->width() / sx_));
    }
    if (canvas_->height() > frame_->height()) {
        scrollV_->setEnabled(true);
        scrollV_->setMaximum(roundHalfEven(canvas_->height() / sy_));
    }
}

void SpriteView::setMagentaBackground() {
    raster_.clear();
    pending_ = QRect();
    canvas_->update();
}

void SpriteView::ZoomCommand(int index, bool romLoaded) {
    if (index < 0 || index >= static_cast<int>(kZoomLevels.size())) throw subscriptError();
    zoom_ = kZoomLevels[static_cast<std::size_t>(index)];
    if (!romLoaded) return;
    disableScrollBars();
    RedrawSprite();
}

bool SpriteView::GridCommand() {
    if (zoom_ >= 8) {
        gridChecked_ = !gridChecked_;
        raster_.setLineStyle(gridChecked_ ? tiles::SpriteRaster::LineStyle::Dashed
                                          : tiles::SpriteRaster::LineStyle::Solid);
        RedrawSprite();
        scrollH_->setValue(0);
        scrollV_->setValue(0);
    } else {
        gridChecked_ = false;
        raster_.setLineStyle(tiles::SpriteRaster::LineStyle::Solid);
        RedrawSprite();
    }
    return gridChecked_;
}

void SpriteView::setDropHandler(std::function<void(const std::string&)> handler) {
    dropHandler_ = std::move(handler);
    frame_->setAcceptDrops(static_cast<bool>(dropHandler_));
}

void SpriteView::zoomKeeping(QPointF at, const std::function<void()>& zoom) {
    const QPointF kept = (at - QPointF(canvas_->pos())) / zoom_;  // in sprite pixels
    const std::int16_t before = zoom_;
    zoom();
    if (zoom_ == before || !doc_.SpriteLoaded) return;
    // Flooring both keeps the pointer inside the same pixel's square.
    const QPoint offset(
        scrollNear(*scrollH_, std::floor(kept.x() * zoom_) - std::floor(at.x()), sx_),
        scrollNear(*scrollV_, std::floor(kept.y() * zoom_) - std::floor(at.y()), sy_));
    canvas_->move(-offset);
}

void SpriteView::wheel(const QWheelEvent& event) {
    if (event.modifiers() & Qt::ControlModifier) {
        zoomWheelRest_ += event.angleDelta().y();
        const int steps = zoomWheelRest_ / kNotch;
        zoomWheelRest_ -= steps * kNotch;
        const int index = zoomIndexSteppedBy(steps);
        if (!zoomCommand_ || kZoomLevels[static_cast<std::size_t>(index)] == zoom_) return;
        zoomKeeping(frame_->mapFromGlobal(event.globalPosition()), [&] { zoomCommand_(index); });
        return;
    }
    // In bar units: a touchpad's pixels over S; a notch scrolls as many
    // single steps as the platform scrolls lines.
    QPointF units;
    if (!event.pixelDelta().isNull()) {
        units = {event.pixelDelta().x() / sx_, event.pixelDelta().y() / sy_};
    } else {
        const double perNotch = QApplication::wheelScrollLines() * scrollH_->singleStep();
        units = QPointF(event.angleDelta()) * perNotch / kNotch;
    }
    // Shift turns the wheel sideways (some platforms do that themselves).
    if (event.modifiers() & Qt::ShiftModifier) units = {units.y() != 0 ? units.y() : units.x(), 0};
    // The wheel turned away from the user shows what lies above: smaller values.
    scrollBy(*scrollH_, -units.x(), wheelRest_.rx());
    scrollBy(*scrollV_, -units.y(), wheelRest_.ry());
}

void SpriteView::setPanning(bool on) {
    if (on == panning_) return;
    panning_ = on;
    if (on) {
        showPanCursor(Qt::OpenHandCursor);
    } else {
        canvas_->setCursor(SpriteCanvas::crosshairCursor());
        frame_->unsetCursor();
    }
}

void SpriteView::showPanCursor(Qt::CursorShape hand) {
    canvas_->setCursor(hand);
    frame_->setCursor(hand);
}

bool SpriteView::pan(QEvent* event) {
    if (!panning_) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* press = static_cast<QMouseEvent*>(event);
            panFrom_ = press->globalPosition();
            panValues_ = {scrollH_->value(), scrollV_->value()};
            showPanCursor(Qt::ClosedHandCursor);
            return true;
        }
        case QEvent::MouseMove: {
            const auto* move = static_cast<QMouseEvent*>(event);
            if (move->buttons() == Qt::NoButton) return true;
            // The surface follows the pointer: dragging right shows what lies left.
            const QPointF moved = move->globalPosition() - panFrom_;
            if (scrollH_->isEnabled()) scrollH_->setValue(panValues_.x() - qRound(moved.x() / sx_));
            if (scrollV_->isEnabled()) scrollV_->setValue(panValues_.y() - qRound(moved.y() / sy_));
            return true;
        }
        case QEvent::MouseButtonRelease: showPanCursor(Qt::OpenHandCursor); return true;
        case QEvent::MouseButtonDblClick: return true;
        default: return false;
    }
}

bool SpriteView::eventFilter(QObject*, QEvent* event) {
    // The filter watches the frame and the canvas; only the frame takes drops.
    // By type alone: a canvas being destroyed still sends events.
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: return pan(event);
        case QEvent::Wheel: wheel(*static_cast<QWheelEvent*>(event)); return true;
        default: return takeFileDrop(event);
    }
}

bool SpriteView::takeFileDrop(QEvent* event) {
    if (!dropHandler_) return false;
    const auto firstFile = [](const QMimeData* data) {
        const QList<QUrl> urls = data ? data->urls() : QList<QUrl>{};
        return urls.isEmpty() || !urls.front().isLocalFile() ? QString()
                                                             : urls.front().toLocalFile();
    };
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!firstFile(drag->mimeData()).isEmpty()) drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = firstFile(drop->mimeData());
        if (path.isEmpty()) return true;
        drop->acceptProposedAction();
        dropHandler_(path.toStdString());
        return true;
    }
    return false;
}

void SpriteView::scrollX(int value) { canvas_->move(-qRound(value * sx_), canvas_->y()); }

void SpriteView::scrollY(int value) { canvas_->move(canvas_->x(), -qRound(value * sy_)); }

}  // namespace tess::widgets
