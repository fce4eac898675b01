#include "paint/SpritePainter.h"

#include <algorithm>

namespace tess::paint {

using tiles::Pixel;

tiles::PixelRect SpritePainter::spriteArea() const {
    if (!doc_.SpriteLoaded) return {};
    return {0, 0, doc_.SpriteBuffer.upperX(), doc_.SpriteBuffer.upperY()};
}

bool SpritePainter::paintable(Pixel p) const {
    // The spare column and row of the grids belong to no tile.
    if (!spriteArea().contains(p)) return false;
    return doc_.TileMap.at(p.x / 8, p.y / 8) == tiles::kWhiteTile;
}

std::uint8_t SpritePainter::index(Pixel p) const { return doc_.SpriteBuffer.at(p.x, p.y); }

void SpritePainter::end() {
    if (!inGesture_) return;
    inGesture_ = false;
    if (history_.endGesture(doc_.SpriteBuffer, selectedBefore_) && changed_) changed_();
}

void SpritePainter::paint(Pixel p, int index) {
    doc_.SpriteDirty = true;
    history_.keepTiles(doc_.SpriteBuffer, p.x / 8, p.x / 8, p.y / 8);
    surface_.DrawCell(p.x, p.y, index);
    doc_.SpriteBuffer.at(p.x, p.y) = static_cast<std::uint8_t>(index);
}

void SpritePainter::paintRun(std::int32_t x0, std::int32_t x1, std::int32_t y, std::uint8_t index) {
    doc_.SpriteDirty = true;
    history_.keepTiles(doc_.SpriteBuffer, x0 / 8, x1 / 8, y / 8);
    std::uint8_t* row = doc_.SpriteBuffer.row(y);
    std::fill(row + x0, row + x1 + 1, index);
    surface_.DrawCells(x0, y, {row + x0, static_cast<std::size_t>(x1 - x0 + 1)});
}

void SpritePainter::paintCells(const tiles::SpriteOverlay& plan) {
    const tiles::PixelRect& area = plan.area();
    for (std::int32_t y = area.y; y < area.y + area.height; ++y) {
        for (std::int32_t x = area.x; x < area.x + area.width; ++x) {
            const std::uint8_t index = plan.cell({x, y});
            if (index != tiles::SpriteOverlay::kClear) paint({x, y}, index);
        }
    }
}

void SpritePainter::recordEdit(const std::function<void()>& edit) {
    end();
    begin();
    const tiles::PixelRect area = spriteArea();
    for (std::int32_t ty = 0; ty < area.height / 8; ++ty) {
        for (std::int32_t tx = 0; tx < area.width / 8; ++tx) {
            if (doc_.TileMap.at(tx, ty) == tiles::kWhiteTile)
                history_.keepTiles(doc_.SpriteBuffer, tx, tx, ty);
        }
    }
    edit();
    end();
}

bool SpritePainter::Undo() {
    end();
    return showRestored(history_.undo(doc_.SpriteBuffer, selection_));
}

bool SpritePainter::Redo() {
    end();
    return showRestored(history_.redo(doc_.SpriteBuffer, selection_));
}

bool SpritePainter::showRestored(bool restored) {
    if (!restored) return false;
    const tiles::PixelRect area = spriteArea();
    surface_.setMagentaBackground();
    for (std::int32_t y = 0; y < area.height; ++y) {
        surface_.DrawCells(0, y, {doc_.SpriteBuffer.row(y), static_cast<std::size_t>(area.width)});
    }
    if (changed_) changed_();
    return true;
}

void SpritePainter::forget() {
    inGesture_ = false;
    selection_.reset();
    history_.clear();
}

}  // namespace tess::paint
