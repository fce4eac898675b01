#pragma once

// A main window sized as the program's, showing one loaded sprite in the
// sprite view, for the benchmarks that paint it.

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QWidget>
#include <fstream>
#include <string>

#include "widgets/SpriteView.h"

namespace tess::bench {

// Remembers the area of the last paint of the watched widget, and counts paints.
struct PaintWatch : QObject {
    QSize last;
    long paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            last = static_cast<QPaintEvent*>(event)->rect().size();
            ++paints;
        }
        return false;
    }
};

// A sprite of `size` tiles whose pixel (x, y) holds (x ^ y) & 15, every 7th
// tile grey, the others white, shown at zoom item `zoomIndex`.
struct SpriteScene {
    QWidget window;
    tiles::SpriteDocument doc;
    paint::GenesisPalette palette{{212, 208, 200}};
    widgets::SpriteView view{&window, doc, palette};
    PaintWatch watch;

    SpriteScene(tiles::TileSize size, int zoomIndex) {
        window.resize(621, 448);
        view.placeControls(15, 15);
        for (int i = 1; i < 16; ++i) {
            palette.setWord(
                i, {static_cast<std::uint8_t>(i & 0x0E), static_cast<std::uint8_t>(i * 17)});
        }
        doc.CreateGrids(size);
        for (std::int32_t y = 0; y <= doc.SpriteBuffer.upperY(); ++y) {
            for (std::int32_t x = 0; x <= doc.SpriteBuffer.upperX(); ++x) {
                doc.SpriteBuffer.at(x, y) = static_cast<std::uint8_t>((x ^ y) & 15);
            }
        }
        for (std::int32_t ty = 0; ty < size.height; ++ty) {
            for (std::int32_t tx = 0; tx < size.width; ++tx) {
                doc.TileMap.at(tx, ty) = (tx + ty) % 7 == 0 ? tiles::kGreyTile : tiles::kWhiteTile;
            }
        }
        doc.SpriteLoaded = true;
        view.setSpriteSizeSource([size] { return size; });
        view.ZoomCommand(zoomIndex, false);
        view.clearSurface(size);
        view.RedrawSprite();
        view.picSprite()->installEventFilter(&watch);
        window.show();
        QApplication::processEvents();
    }

    // Runs the repaints that drawing has asked for: the view gathers them
    // first, then the window paints.
    void repaint() {
        QApplication::processEvents();
        QApplication::processEvents();
    }
};

// The process's peak resident memory so far.
inline double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

}  // namespace tess::bench
