// Paints one full viewport (433 x 357) of the sprite view for the largest
// sprites it can show: 170 x 170 tiles at zoom 24 (a 32640-pixel surface) and
// 511 x 511 tiles at zoom 1, also scrolled. Prints the time per viewport and
// the process's peak memory (goals: under 16 ms, under 150 MB).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <map>
#include <memory>

#include "bench/support/SpriteScene.h"

using namespace tess;
using namespace tess::tiles;
using bench::peakMegabytes;

namespace {

struct Scene : bench::SpriteScene {
    using SpriteScene::SpriteScene;
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
