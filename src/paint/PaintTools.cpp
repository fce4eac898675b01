#include "paint/PaintTools.h"

#include <cstring>
#include <vector>

#include "paint/PixelShapes.h"

namespace tess::paint {

using tiles::Pixel;
using tiles::PixelRect;
using tiles::SpriteOverlay;

PaintTools::PaintTools(tiles::SpriteDocument& doc, ColourSwatches& swatches,
                       const GenesisPalette& palette, tiles::SpriteSurface& surface)
    : swatches_(swatches), palette_(palette), painter_(doc, surface) {}

std::optional<std::uint8_t> PaintTools::swatchIndex(std::int16_t button) const {
    if (button == kLeftButton) return static_cast<std::uint8_t>(swatches_.foreground().index);
    if (button == kRightButton) return static_cast<std::uint8_t>(swatches_.background().index);
    return std::nullopt;
}

void PaintTools::setCurrentTool(std::int16_t tool) {
    if (tool < 0 || tool >= kToolCount) return;
    finishGesture(pointer_, 0);
    selection_.drop();
    selection_.forget();
    show({});
    tool_ = static_cast<PaintTool>(tool);
}

bool PaintTools::ApplyTool(Pixel p, std::int16_t button, std::int16_t shift) {
    pointer_ = p;
    if (button == 0) {
        finishGesture(p, shift);
        return false;
    }
    const bool pressed = !inGesture_;
    if (pressed) startGesture(button, p);

    const bool white = painter_.paintable(p);
    const std::optional<std::uint8_t> index = swatchIndex(button);
    switch (tool_) {
        case PaintTool::Pencil:
            if (white && index) painter_.paint(p, *index);
            break;
        case PaintTool::Eyedropper:
            if (white && index) {
                pick(button, p);
                return true;
            }
            break;
        case PaintTool::ColorReplacer:
            if (white) replaceColour(button, p);
            break;
        case PaintTool::Eraser:
            if (white) painter_.paint(p, 0);
            break;
        case PaintTool::SprayCan:
            if (index) spray(p, *index);
            break;
        case PaintTool::PaintBucket:
            if (pressed && white && index) fill(p, *index);
            break;
        case PaintTool::Shape: show(shapePlan(shift)); break;
        case PaintTool::Selection:
            if (pressed) {
                selection_.press(p);
            } else {
                selection_.drag(p);
            }
            show(selection_.overlay());
            break;
    }
    return false;
}

void PaintTools::ReleaseTool(Pixel p, std::int16_t shift) {
    pointer_ = p;
    finishGesture(p, shift);
}

void PaintTools::ModifiersChanged(std::int16_t shift) {
    if (inGesture_ && tool_ == PaintTool::Shape) show(shapePlan(shift));
}

void PaintTools::startGesture(std::int16_t button, Pixel p) {
    inGesture_ = true;
    // The Selection tool makes its own undo steps.
    if (tool_ != PaintTool::Selection) painter_.begin();
    pressedAt_ = p;
    shapeIndex_ = swatchIndex(button);
    // The same stroke sprays the same dots: the sequence starts from the press.
    sprayDots_.seed(static_cast<std::uint32_t>(p.x) * 73856093u ^
                    static_cast<std::uint32_t>(p.y) * 19349663u);
}

void PaintTools::finishGesture(Pixel p, std::int16_t shift) {
    if (!inGesture_) return;
    inGesture_ = false;
    if (tool_ == PaintTool::Shape) {
        painter_.paintCells(shapePlan(shift));
        show({});
    } else if (tool_ == PaintTool::Selection) {
        selection_.release(p);
        show(selection_.overlay());
    }
    painter_.end();
}

bool PaintTools::Undo() {
    Drop();
    return showRestored(painter_.Undo());
}

bool PaintTools::Redo() {
    Drop();
    return showRestored(painter_.Redo());
}

bool PaintTools::showRestored(bool restored) {
    if (tool_ == PaintTool::Selection) show(selection_.overlay());
    return restored;
}

void PaintTools::selectionCommand(void (SelectionTool::*command)()) {
    if (tool_ != PaintTool::Selection) return;
    finishGesture(pointer_, 0);
    (selection_.*command)();
    show(selection_.overlay());
}

void PaintTools::Copy() { selectionCommand(&SelectionTool::Copy); }
void PaintTools::Cut() { selectionCommand(&SelectionTool::Cut); }
void PaintTools::Delete() { selectionCommand(&SelectionTool::Clear); }
void PaintTools::Paste() { selectionCommand(&SelectionTool::Paste); }
void PaintTools::Cancel() { selectionCommand(&SelectionTool::cancel); }

void PaintTools::Drop() {
    finishGesture(pointer_, 0);  // with any tool: undo and imports rely on it
    selectionCommand(&SelectionTool::drop);
}

void PaintTools::recordEdit(const std::function<void()>& edit) {
    Drop();
    painter_.recordEdit(edit);
}

void PaintTools::spriteReplaced() {
    inGesture_ = false;
    painter_.forget();
    selection_.forget();
    show({});
}

void PaintTools::show(SpriteOverlay overlay) {
    if (overlay.empty() && preview_.empty()) return;
    preview_ = std::move(overlay);
    painter_.surface().showOverlay(preview_);
}

void PaintTools::pick(std::int16_t button, Pixel p) {
    const int i = painter_.index(p);
    const Swatch picked{i, palette_.colour(i)};
    if (button == kLeftButton) {
        swatches_.setForeground(picked);
    } else {
        swatches_.setBackground(picked);
    }
}

void PaintTools::replaceColour(std::int16_t button, Pixel p) {
    const int i = painter_.index(p);
    const int fore = swatches_.foreground().index;
    const int back = swatches_.background().index;
    if (button == kLeftButton && i == fore) {
        painter_.paint(p, back);
    } else if (button == kRightButton && i == back) {
        painter_.paint(p, fore);
    }
}

void PaintTools::spray(Pixel centre, std::uint8_t index) {
    constexpr int r = kSprayRadius;
    auto offset = [this] { return static_cast<std::int32_t>(sprayDots_() % (2 * r + 1)) - r; };
    for (int dot = 0; dot < kSprayDots; ++dot) {
        std::int32_t dx = 0;
        std::int32_t dy = 0;
        do {  // a point of the disc, not of its square
            dx = offset();
            dy = offset();
        } while (dx * dx + dy * dy > r * r);
        const Pixel p{centre.x + dx, centre.y + dy};
        if (painter_.paintable(p)) painter_.paint(p, index);
    }
}

namespace {

// The pixels a fill may take: inside a white tile and of the target index.
// A fill may test each pixel of a 4088 x 4088 sprite several times, so it
// reads the grids' rows directly and takes whole tile rows of 8 pixels at
// once where it can.
class FillRegion {
public:
    FillRegion(const tiles::SpriteDocument& doc, std::uint8_t target)
        : buffer_(doc.SpriteBuffer), tiles_(doc.TileMap), target_(target) {}

    bool contains(std::int32_t x, std::int32_t y) const {
        // The spare column and row of the grids belong to no tile.
        return x >= 0 && y >= 0 && x < buffer_.upperX() && y < buffer_.upperY() &&
               tiles_.row(y / 8)[x / 8] == tiles::kWhiteTile && buffer_.row(y)[x] == target_;
    }
    // The first and the last pixel of the region's run through (x, y), which
    // lies in the region.
    std::int32_t runStart(std::int32_t x, std::int32_t y) const {
        while (x % 8 == 0 && share(x - 8, y) == Share::All) x -= 8;
        while (contains(x - 1, y)) --x;
        return x;
    }
    std::int32_t runEnd(std::int32_t x, std::int32_t y) const {
        while ((x + 1) % 8 == 0 && share(x + 1, y) == Share::All) x += 8;
        while (contains(x + 1, y)) ++x;
        return x;
    }
    // Seeds the first pixel of each run of the region on row y within
    // x0..x1, columns of the sprite.
    void seedRuns(std::int32_t y, std::int32_t x0, std::int32_t x1,
                  std::vector<Pixel>& seeds) const {
        bool inRun = false;
        for (std::int32_t x = x0; x <= x1;) {
            const Share tileRow = x % 8 == 0 && x + 7 <= x1 ? share(x, y) : Share::Some;
            const bool in = tileRow == Share::Some ? contains(x, y) : tileRow == Share::All;
            if (in && !inRun) seeds.push_back({x, y});
            inRun = in;
            x += tileRow == Share::Some ? 1 : 8;
        }
    }

private:
    static constexpr std::uint64_t kOnes = 0x0101010101010101u;
    enum class Share { None, Some, All };

    // How many of the 8 pixels of a tile's row from (x, y), x a multiple of
    // 8, lie in the region: none, some or all of them.
    Share share(std::int32_t x, std::int32_t y) const {
        if (x < 0 || y < 0 || x + 8 > buffer_.upperX() || y >= buffer_.upperY() ||
            tiles_.row(y / 8)[x / 8] != tiles::kWhiteTile) {
            return Share::None;
        }
        std::uint64_t eight;
        std::memcpy(&eight, buffer_.row(y) + x, sizeof eight);
        const std::uint64_t diff =
            eight ^ (target_ * kOnes);  // a 0 byte where the pixel is the target
        if (diff == 0) return Share::All;
        return ((diff - kOnes) & ~diff & (kOnes << 7)) != 0 ? Share::Some : Share::None;
    }

    const tiles::ByteGrid& buffer_;
    const tiles::ByteGrid& tiles_;
    std::uint64_t target_;
};

}  // namespace

void PaintTools::fill(Pixel start, std::uint8_t index) {
    const std::uint8_t target = painter_.index(start);
    if (target == index) return;
    const FillRegion region(painter_.doc(), target);
    // Scanline fill: paint a seed's whole run, then seed each run above and below it.
    std::vector<Pixel> seeds{start};
    while (!seeds.empty()) {
        const auto [x, y] = seeds.back();
        seeds.pop_back();
        if (!region.contains(x, y)) continue;
        const std::int32_t x0 = region.runStart(x, y);
        const std::int32_t x1 = region.runEnd(x, y);
        painter_.paintRun(x0, x1, y, index);
        region.seedRuns(y - 1, x0, x1, seeds);
        region.seedRuns(y + 1, x0, x1, seeds);
    }
}

SpriteOverlay PaintTools::shapePlan(std::int16_t shift) const {
    if (!shapeIndex_) return {};
    const bool rectangle = (shift & kShiftKey) != 0;
    const std::vector<Pixel> pixels =
        rectangle ? RectanglePixels(pressedAt_, pointer_) : LinePixels(pressedAt_, pointer_);
    SpriteOverlay plan(
        PixelRect::spanning(pressedAt_, pointer_).intersected(painter_.spriteArea()));
    for (const Pixel p : pixels) {
        if (painter_.paintable(p)) plan.setCell(p, *shapeIndex_);
    }
    return plan;
}

}  // namespace tess::paint
