#include "tiles/SpriteOverlay.h"

namespace tess::tiles {
namespace {

constexpr std::uint32_t kMarqueeBlack = 0xFF000000;
constexpr std::uint32_t kMarqueeWhite = 0xFFFFFFFF;

// A rectangle of screen pixels, as [left, right) x [top, bottom).
struct Span {
    std::int64_t left, top, right, bottom;
    Span clipped(const Span& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
    }
};

Span screenSpan(const PixelRect& r, int zoom) {
    return {std::int64_t{r.x} * zoom, std::int64_t{r.y} * zoom,
            (std::int64_t{r.x} + r.width) * zoom, (std::int64_t{r.y} + r.height) * zoom};
}

}  // namespace

SpriteOverlay::SpriteOverlay(PixelRect area) : area_(area) {
    if (area.empty()) return;
    cells_ = ByteGrid(area.width - 1, area.height - 1);
    cells_.fill(kClear);
}

void SpriteOverlay::setCell(Pixel p, std::uint8_t index) {
    if (area_.contains(p)) cells_.at(p.x - area_.x, p.y - area_.y) = index;
}

std::uint8_t SpriteOverlay::cell(Pixel p) const {
    return area_.contains(p) ? cells_.at(p.x - area_.x, p.y - area_.y) : kClear;
}

PixelRect SpriteOverlay::bounds() const { return marquee_ ? area_.united(*marquee_) : area_; }

void SpriteOverlay::render(const SpriteRaster::Colours& colours, int zoom, std::int32_t left,
                           std::int32_t top, std::int32_t width, std::int32_t height,
                           std::uint32_t* out, std::ptrdiff_t stride) const {
    const Span request{left, top, std::int64_t{left} + width, std::int64_t{top} + height};
    auto pixel = [&](std::int64_t px, std::int64_t py) -> std::uint32_t& {
        return out[(py - top) * stride + (px - left)];
    };

    const Span cells = screenSpan(area_, zoom).clipped(request);
    for (std::int64_t py = cells.top; py < cells.bottom; ++py) {
        for (std::int64_t px = cells.left; px < cells.right; ++px) {
            const std::uint8_t index = cells_.at(static_cast<std::int32_t>(px / zoom - area_.x),
                                                 static_cast<std::int32_t>(py / zoom - area_.y));
            if (index != kClear) pixel(px, py) = colours[index & 0x0F];
        }
    }

    if (!marquee_ || marquee_->empty()) return;
    const Span ring = screenSpan(*marquee_, zoom);
    const Span visible = ring.clipped(request);
    const std::int64_t thick = zoom >= kThickMarqueeZoom ? 2 : 1;
    for (std::int64_t py = visible.top; py < visible.bottom; ++py) {
        const bool edgeRow = py < ring.top + thick || py >= ring.bottom - thick;
        for (std::int64_t px = visible.left; px < visible.right; ++px) {
            if (edgeRow || px < ring.left + thick || px >= ring.right - thick) {
                pixel(px, py) = ((px + py) / kDash) % 2 == 0 ? kMarqueeBlack : kMarqueeWhite;
            } else {
                px = std::max(px, ring.right - thick - 1);  // skip the inside
            }
        }
    }
}

}  // namespace tess::tiles
