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

PixelRect SelectionTool::moved() const {
    return selection_->translated(pointer_.x - anchor_.x, pointer_.y - anchor_.y);
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

SpriteOverlay SelectionTool::movePlan() const {
    const PixelRect target = moved();
    SpriteOverlay plan(selection_->united(target));
    vacate(plan, lifted_, topLeft(*selection_));
    place(plan, lifted_, topLeft(target));
    return plan;
}

void SelectionTool::press(Pixel p) {
    anchor_ = pointer_ = p;
    if (selection_ && selection_->contains(p)) {
        drag_ = Drag::Move;
        lifted_ = lift(*selection_);
    } else {
        drag_ = Drag::Marquee;
    }
}

void SelectionTool::drag(Pixel p) {
    if (drag_ != Drag::None) pointer_ = p;
}

void SelectionTool::release(Pixel p) {
    pointer_ = p;
    if (drag_ == Drag::Marquee) {
        selection_ = p == anchor_ ? std::nullopt : within(PixelRect::spanning(anchor_, p));
    } else if (drag_ == Drag::Move && p != anchor_) {
        painter_.paintCells(movePlan());
        selection_ = within(moved());
    }
    drag_ = Drag::None;
    lifted_ = {};
}

void SelectionTool::drop() {
    selection_.reset();
    drag_ = Drag::None;
    lifted_ = {};
}

void SelectionTool::Copy() {
    if (selection_) clipboard_ = lift(*selection_);
}

void SelectionTool::Cut() {
    Copy();
    Clear();
}

void SelectionTool::Clear() {
    if (!selection_) return;
    SpriteOverlay plan(*selection_);
    vacate(plan, lift(*selection_), topLeft(*selection_));
    painter_.paintCells(plan);
}

void SelectionTool::Paste() {
    if (clipboard_.upperX() < 0) return;
    const Pixel at = selection_ ? topLeft(*selection_) : Pixel{};
    SpriteOverlay plan(extent(clipboard_, at));
    place(plan, clipboard_, at);
    painter_.paintCells(plan);
    selection_ = within(extent(clipboard_, at));
}

SpriteOverlay SelectionTool::overlay() const {
    if (drag_ == Drag::Move) {
        SpriteOverlay plan = movePlan();
        plan.setMarquee(within(moved()));
        return plan;
    }
    SpriteOverlay marquee;
    marquee.setMarquee(drag_ == Drag::Marquee ? within(PixelRect::spanning(anchor_, pointer_))
                                              : selection_);
    return marquee;
}

}  // namespace tess::paint
