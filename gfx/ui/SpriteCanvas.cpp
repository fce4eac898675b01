#include "gfx/ui/SpriteCanvas.h"

#include <QBitmap>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace tess::gfx {
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

}  // namespace

SpriteCanvas::SpriteCanvas(QWidget* parent, const SpriteRaster& raster,
                           const edit::GenesisPalette& palette)
    : QWidget(parent), raster_(raster), palette_(palette) {
    // Every pixel is painted by paintEvent: no background fill is needed.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(crosshairCursor());
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

    SpriteRaster::Colours colours;
    for (int i = 0; i < edit::GenesisPalette::kEntries; ++i) {
        const edit::ScreenColour c = palette_.colour(i);
        colours[static_cast<std::size_t>(i)] = qRgb(c.r, c.g, c.b);
    }

    QPainter painter(this);
    const int band = std::max(1, kBandPixels / area.width());
    QImage image;
    for (int top = area.top(); top <= area.bottom(); top += band) {
        const int height = std::min(band, area.bottom() - top + 1);
        if (image.height() != height) image = QImage(area.width(), height, QImage::Format_RGB32);
        raster_.render(colours, area.left(), top, area.width(), height,
                       reinterpret_cast<std::uint32_t*>(image.bits()), image.bytesPerLine() / 4);
        painter.drawImage(area.left(), top, image);
    }
}

}  // namespace tess::gfx
