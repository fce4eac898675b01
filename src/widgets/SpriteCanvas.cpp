#include "widgets/SpriteCanvas.h"

#include <QBitmap>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tess::widgets {
namespace {

// Paint in bands of at most this many pixels, so that even a request for the
// whole of a 32767-pixel surface never needs a picture of that size.
constexpr int kBandPixels = 1 << 18;

QImage monoImage() {
    QImage image(32, 32, QImage::Format_MonoLSB);
    image.setColor(0, qRgb(255, 255, 255));  // bit 0
    image.setColor(1, qRgb(0, 0, 0));        // bit 1
    image.fill(0);
    return image;
}

int buttonMask(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftMask(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace

SpriteCanvas::SpriteCanvas(QWidget* parent, const tiles::SpriteRaster& raster,
                           const tiles::SpriteOverlay& overlay,
                           const paint::GenesisPalette& palette)
    : QWidget(parent), raster_(raster), overlay_(overlay), palette_(palette) {
    // Every pixel is painted by paintEvent: no background fill is needed.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(crosshairCursor());
    setMouseTracking(true);  // moves without a button show the position too
}

tiles::Pixel SpriteCanvas::pixelAt(const QMouseEvent* event) const {
    // The position as the mouse events give it, in 32-bit floats.
    const auto x = static_cast<float>(event->position().x());
    const auto y = static_cast<float>(event->position().y());
    const auto zoom = static_cast<float>(raster_.zoom());
    return {static_cast<std::int32_t>(std::floor(x / zoom)),
            static_cast<std::int32_t>(std::floor(y / zoom))};
}

void SpriteCanvas::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(pixelAt(event), buttonMask(event->button()), shiftMask(event->modifiers()));
}

void SpriteCanvas::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(pixelAt(event), buttonMask(event->buttons()), shiftMask(event->modifiers()));
}

void SpriteCanvas::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(pixelAt(event), buttonMask(event->button()), shiftMask(event->modifiers()));
}

QCursor SpriteCanvas::crosshairCursor() {
    constexpr int hx = 16;
    constexpr int hy = 15;
    QImage bits = monoImage();
    QImage mask = monoImage();
    // Bitmap 1 with mask 1 is black; bitmap 1 with mask 0 inverts the screen.
    auto black = [&](int x, int y) {
        bits.setPixel(x, y, 1);
        mask.setPixel(x, y, 1);
    };
    for (int d = 3; d <= 9; ++d) {
        black(hx, hy - d);
        black(hx, hy + d);
        black(hx - d, hy);
        black(hx + d, hy);
    }
    for (int d = -1; d <= 1; ++d) {
        bits.setPixel(hx + d, hy, 1);
        bits.setPixel(hx, hy + d, 1);
    }
    return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), hx, hy);
}

void SpriteCanvas::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect() & rect();
    if (area.isEmpty()) return;

    tiles::SpriteRaster::Colours colours;
    for (int i = 0; i < paint::GenesisPalette::kEntries; ++i) {
        const paint::ScreenColour c = palette_.colour(i);
        colours[static_cast<std::size_t>(i)] = qRgb(c.r, c.g, c.b);
    }

    QPainter painter(this);
    const int band = std::max(1, kBandPixels / area.width());
    QImage image;
    for (int top = area.top(); top <= area.bottom(); top += band) {
        const int height = std::min(band, area.bottom() - top + 1);
        if (image.height() != height) image = QImage(area.width(), height, QImage::Format_RGB32);
        auto* pixels = reinterpret_cast<std::uint32_t*>(image.bits());
        const std::ptrdiff_t stride = image.bytesPerLine() / 4;
        raster_.render(colours, area.left(), top, area.width(), height, pixels, stride);
        overlay_.render(colours, raster_.zoom(), area.left(), top, area.width(), height, pixels,
                        stride);
        painter.drawImage(area.left(), top, image);
    }
}

}  // namespace tess::widgets
