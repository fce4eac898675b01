#include "paint/SelectionTool.h"

namespace tess::paint {

using tiles::ByteGrid;
using tiles::Pixel;
using tiles::PixelRect;
using tiles::SpriteOverlay;

namespace {

PixelRect extent(const ByteGrid& pixels, Pixel at) {
    return {at.x, at.y, pixels.upperX() + 1, pixels.upperY() + 1};
}

// Calls f(pixel, cell) for each cell of `pixels` that is not clear, laid
// with its top-left at `at`.
template <class F>
void forEachCell(const ByteGrid& pixels, Pixel at, F f) {
    for (std::int32_t j = 0; j <= pixels.upperY(); ++j) {
        for (std::int32_t i = 0; i <= pixels.upperX(); ++i) {
            const std::uint8_t cell = pixels.at(i, j);
            if (cell != SpriteOverlay::kClear) f(Pixel{at.x + i, at.y + j}, cell);
        }
    }
}

Pixel topLeft(const PixelRect& r) { return {r.x, r.y}; }

}  // namespace

std::optional<PixelRect> SelectionTool::within(const PixelRect& r) const {
    const PixelRect inside = r.intersected(painter_.spriteArea());
    if (inside.empty()) return std::nullopt;
    return inside;
}

std::optional<PixelRect> SelectionTool::selection() const {
    if (float_) return within(extent(float_->pixels, float_->at));
    return painter_.selection();
}

ByteGrid SelectionTool::lift(const PixelRect& r) const {
    ByteGrid pixels(r.width - 1, r.height - 1);
    for (std::int32_t j = 0; j < r.height; ++j) {
        for (std::int32_t i = 0; i < r.width; ++i) {
            const Pixel p{r.x + i, r.y + j};
            pixels.at(i, j) = painter_.paintable(p) ? painter_.index(p) : SpriteOverlay::kClear;
        }
    }
    return pixels;
}

void SelectionTool::vacate(SpriteOverlay& plan, const ByteGrid& lifted, Pixel at) {
    forEachCell(lifted, at, [&](Pixel p, std::uint8_t) { plan.setCell(p, 0); });
}

void SelectionTool::place(SpriteOverlay& plan, const ByteGrid& pixels, Pixel at) const {
    forEachCell(pixels, at, [&](Pixel p, std::uint8_t cell) {
        if (painter_.paintable(p)) plan.setCell(p, cell);
    });
}

SpriteOverlay SelectionTool::floatPlan(bool withPixels) const {
    const PixelRect now = extent(float_->pixels, float_->at);
    SpriteOverlay plan(float_->from ? now.united(extent(float_->pixels, *float_->from)) : now);
    if (float_->from) vacate(plan, float_->pixels, *float_->from);
    if (withPixels) place(plan, float_->pixels, float_->at);
    return plan;
}

void SelectionTool::commit(const SpriteOverlay& plan, std::optional<PixelRect> selected) {
    painter_.begin();
    painter_.paintCells(plan);
    painter_.select(selected);
    painter_.end();
}

void SelectionTool::press(Pixel p) {
    anchor_ = pointer_ = p;
    if (float_ && extent(float_->pixels, float_->at).contains(p)) {
        drag_ = Drag::Move;
        floatStart_ = float_->at;
        return;
    }
    drop();
    const std::optional<PixelRect>& selected = painter_.selection();
    drag_ = selected && selected->contains(p) ? Drag::Lift : Drag::Marquee;
}

void SelectionTool::drag(Pixel p) {
    if (drag_ == Drag::None) return;
    pointer_ = p;
    if (drag_ == Drag::Lift && p != anchor_) {
        const PixelRect& selected = *painter_.selection();
        float_ = Float{lift(selected), topLeft(selected), topLeft(selected)};
        floatStart_ = float_->at;
        drag_ = Drag::Move;
    }
    if (drag_ == Drag::Move && float_) {  // a key may have dropped the block meanwhile
        float_->at = {floatStart_.x + p.x - anchor_.x, floatStart_.y + p.y - anchor_.y};
    }
}

void SelectionTool::release(Pixel p) {
    drag(p);
    if (drag_ == Drag::Marquee) {
        painter_.select(p == anchor_ ? std::nullopt : within(PixelRect::spanning(anchor_, p)));
    }
    drag_ = Drag::None;
}

void SelectionTool::drop() {
    if (!float_) return;
    const SpriteOverlay plan = floatPlan();
    const std::optional<PixelRect> placed = selection();
    float_.reset();
    commit(plan, placed);
}

void SelectionTool::cancel() {
    if (float_) {
        float_.reset();
    } else {
        painter_.select(std::nullopt);
    }
}

void SelectionTool::forget() {
    float_.reset();
    painter_.select(std::nullopt);
    drag_ = Drag::None;
}

void SelectionTool::Copy() {
    if (float_) {
        clipboard_ = float_->pixels;
    } else if (painter_.selection()) {
        clipboard_ = lift(*painter_.selection());
    }
}

void SelectionTool::Cut() {
    Copy();
    Clear();
}

void SelectionTool::Clear() {
    const std::optional<PixelRect> selected = selection();
    if (float_) {
        const SpriteOverlay plan = floatPlan(false);
        float_.reset();
        commit(plan, selected);
    } else if (selected) {
        SpriteOverlay plan(*selected);
        vacate(plan, lift(*selected), topLeft(*selected));
        commit(plan, selected);
    }
}

void SelectionTool::Paste() {
    if (clipboard_.upperX() < 0) return;
    drop();
    const std::optional<PixelRect>& selected = painter_.selection();
    float_ = Float{clipboard_, selected ? topLeft(*selected) : Pixel{}, std::nullopt};
}

SpriteOverlay SelectionTool::overlay() const {
    if (drag_ == Drag::Marquee) {
        SpriteOverlay marquee;
        marquee.setMarquee(within(PixelRect::spanning(anchor_, pointer_)));
        return marquee;
    }
    SpriteOverlay shown = float_ ? floatPlan() : SpriteOverlay();
    shown.setMarquee(selection());
    return shown;
}

}  // namespace tess::paint
