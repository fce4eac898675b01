// Paints one full viewport (433 x 357) of the sprite view for the largest
// sprites it can show: 170 x 170 tiles at zoom 24 (a 32640-pixel surface) and
// 511 x 511 tiles at zoom 1, also scrolled. Prints the time per viewport and
// the process's peak memory (goals: under 16 ms, under 150 MB).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "gfx/ui/SpriteView.h"

using namespace tess;
using namespace tess::gfx;

namespace {

// Remembers the area of the last paint of the watched widget.
struct PaintWatch : QObject {
    QSize last;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) last = static_cast<QPaintEvent*>(event)->rect().size();
        return false;
    }
};

// A main window sized as the program's, showing one loaded sprite.
struct Scene {
    QWidget window;
    SpriteDocument doc;
    edit::GenesisPalette palette{{212, 208, 200}};
    SpriteView view{&window, doc, palette};
    PaintWatch watch;

    Scene(TileSize size, int zoomIndex) {
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
                doc.TileMap.at(tx, ty) = (tx + ty) % 7 == 0 ? kGreyTile : kWhiteTile;
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

    void scrollTo(double fraction) {
        view.sprScrollH()->setValue(static_cast<int>(view.sprScrollH()->maximum() * fraction));
        view.sprScrollV()->setValue(static_cast<int>(view.sprScrollV()->maximum() * fraction));
        QApplication::processEvents();
    }
};

// Built on first use and shared by the benchmarks; main drops them while the
// QApplication still exists.
std::map<std::pair<int, int>, std::unique_ptr<Scene>> scenes;

Scene& scene(TileSize size, int zoomIndex) {
    auto& slot = scenes[{size.width, zoomIndex}];
    if (!slot) slot = std::make_unique<Scene>(size, zoomIndex);
    return *slot;
}

double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

void paintViewport(benchmark::State& state, TileSize size, int zoomIndex, double scroll) {
    Scene& s = scene(size, zoomIndex);
    s.scrollTo(scroll);
    for (auto _ : state) s.view.picSprite()->repaint();
    state.counters["painted_w"] = s.watch.last.width();
    state.counters["painted_h"] = s.watch.last.height();
    state.counters["surface_w"] = s.view.picSprite()->width();
    state.counters["peak_MB"] = peakMegabytes();
}

void redraw(benchmark::State& state, TileSize size, int zoomIndex) {
    Scene& s = scene(size, zoomIndex);
    for (auto _ : state) s.view.RedrawSprite();
    state.counters["peak_MB"] = peakMegabytes();
}

}  // namespace

BENCHMARK_CAPTURE(paintViewport, zoom24_170x170, TileSize{170, 170}, 5, 0.0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paintViewport, zoom24_170x170_scrolled, TileSize{170, 170}, 5, 0.6)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paintViewport, zoom1_511x511, TileSize{511, 511}, 0, 0.0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paintViewport, zoom1_511x511_scrolled, TileSize{511, 511}, 0, 0.6)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(redraw, zoom1_511x511, TileSize{511, 511}, 0)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("Peak memory (VmHWM): %.1f MB (goal: under 150 MB)\n", peakMegabytes());
    std::printf("Goal per viewport: under 16 ms\n");
    scenes.clear();
    return 0;
}
