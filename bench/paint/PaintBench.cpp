// The paint tools as the window runs them, on the largest sprites the view
// shows, each call followed by the repaint it asks for:
// - one Pencil call during a drag at zoom 24 on 170 x 170 tiles (goal: under 2 ms),
//   alone and while the size meter packs on its thread;
// - a Paint bucket fill of a whole 511 x 511-tile sprite, and one undo step of
//   it (goal: under 50 ms each);
// - the undo history's peak memory over 100 strokes on the 511 x 511 sprite:
//   pencil drags, and whole-sprite fills, which meet the history's budget.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>

#include "bench/support/SpriteScene.h"
#include "paint/PaintTools.h"
#include "sprites/BackgroundPacker.h"

using namespace tess;
using paint::kLeftButton;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

struct PaintScene : bench::SpriteScene {
    paint::ColourSwatches swatches{{}};
    paint::PaintTools tools{doc, swatches, palette, view};

    // With `flat`, every tile is white and every pixel 0: one region to fill.
    PaintScene(tiles::TileSize size, int zoomIndex, bool flat) : SpriteScene(size, zoomIndex) {
        if (flat) makeFlat();
    }
    // Every tile white, every pixel 0, no history.
    void makeFlat() {
        doc.SpriteBuffer.fill(0);
        doc.TileMap.fill(tiles::kWhiteTile);
        view.RedrawSprite();
        tools.spriteReplaced();
        repaint();
    }
    void useForeground(int index) { swatches.setForeground({index, palette.colour(index)}); }
    void use(paint::PaintTool tool) { tools.setCurrentTool(static_cast<std::int16_t>(tool)); }
    void click(tiles::Pixel p) {
        tools.ApplyTool(p, kLeftButton, 0);
        tools.ReleaseTool(p, 0);
    }
    std::size_t historyBytes() const { return tools.painter().history().bytes(); }
};

// Built on first use and shared; main drops them while the QApplication exists.
std::unique_ptr<PaintScene> zoom24;
std::unique_ptr<PaintScene> largest;

PaintScene& zoom24Scene() {
    if (!zoom24) zoom24 = std::make_unique<PaintScene>(tiles::TileSize{170, 170}, 5, false);
    return *zoom24;
}
PaintScene& largestScene() {
    if (!largest) largest = std::make_unique<PaintScene>(tiles::TileSize{511, 511}, 0, true);
    return *largest;
}

// The size meter's packing kept busy on another thread, as while the user
// paints a large compressed sprite: 882 tiles of sprite-like art (the size of
// the corpus's largest block), asked for again as soon as it is packed.
class BusyMeter {
public:
    BusyMeter() : packer_([this](std::uint64_t, std::optional<std::int64_t>) { again(); }) {
        again();
    }
    ~BusyMeter() { stopping_ = true; }

private:
    void again() {
        if (stopping_) return;
        sprites::PackingJob job{std::vector<std::uint8_t>(882 * 32), 65536};
        for (std::size_t i = 0; i < job.data.size(); ++i) {
            job.data[i] =
                static_cast<std::uint8_t>((i * 2654435761u >> 13) % 5 * 0x11 + (i / 96) % 3);
        }
        packer_.pack(std::move(job));
    }
    std::atomic<bool> stopping_{false};
    sprites::BackgroundPacker packer_;
};

void pencilCall(benchmark::State& state) {
    const std::unique_ptr<BusyMeter> meter =
        state.range(0) ? std::make_unique<BusyMeter>() : nullptr;
    PaintScene& s = zoom24Scene();
    s.use(paint::PaintTool::Pencil);
    s.useForeground(3);
    const long paintsBefore = s.watch.paints;
    int i = 0;
    for (auto _ : state) {
        // A new pixel each call, in the white tile (1, 0), which is on screen.
        s.tools.ApplyTool({8 + i % 8, i / 8 % 8}, kLeftButton, 0);
        s.repaint();
        ++i;
    }
    s.tools.ReleaseTool({0, 0}, 0);
    state.counters["paints_per_call"] = static_cast<double>(s.watch.paints - paintsBefore) /
                                        static_cast<double>(state.iterations());
}

void bucketFill(benchmark::State& state) {
    PaintScene& s = largestScene();
    s.use(paint::PaintTool::PaintBucket);
    int index = 1;
    for (auto _ : state) {
        s.useForeground(index);
        s.click({100, 100});
        s.repaint();
        index = index % 15 + 1;
    }
    state.counters["pixels"] = 4088.0 * 4088.0;
}

void undoStep(benchmark::State& state) {
    PaintScene& s = largestScene();
    s.use(paint::PaintTool::PaintBucket);
    s.useForeground(7);
    s.click({100, 100});
    for (auto _ : state) {
        s.tools.Undo();
        s.repaint();
        state.PauseTiming();
        s.tools.Redo();
        s.repaint();
        state.ResumeTiming();
    }
}

// The history's largest size over 100 strokes, each sampled before and after its release.
void historyMemory(benchmark::State& state, bool fills) {
    for (auto _ : state) {
        PaintScene& s = largestScene();
        s.makeFlat();
        std::size_t peak = 0;
        for (int stroke = 0; stroke < 100; ++stroke) {
            s.useForeground(stroke % 15 + 1);
            s.use(fills ? paint::PaintTool::PaintBucket : paint::PaintTool::Pencil);
            // A pencil drag of 400 moves across a fifth of the sprite.
            const tiles::Pixel start{37 * stroke % 3000, 53 * stroke % 3000};
            const int moves = fills ? 1 : 400;
            for (int m = 0; m < moves; ++m) {
                s.tools.ApplyTool({start.x + 2 * m, start.y + m}, kLeftButton, 0);
            }
            peak = std::max(peak, s.historyBytes());
            s.tools.ReleaseTool(start, 0);
            peak = std::max(peak, s.historyBytes());
        }
        state.counters["peak_history_MiB"] = static_cast<double>(peak) / kMiB;
        state.counters["undo_steps"] = static_cast<double>(s.tools.painter().history().undoSteps());
    }
}

}  // namespace

// pencilCall/0 alone, pencilCall/1 with the size meter packing all the while.
BENCHMARK(pencilCall)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(bucketFill)->Unit(benchmark::kMillisecond);
BENCHMARK(undoStep)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(historyMemory, pencil_strokes, false)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(historyMemory, whole_fills, true)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Windows paint as soon as asked instead of at the next frame, so that
    // each call's time holds its repaint.
    qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("Goals: a pencil call under 2 ms; a whole fill or an undo step under 50 ms.\n");
    std::printf("History budget: %.0f MiB; process peak memory (VmHWM): %.1f MB\n",
                static_cast<double>(paint::UndoHistory::kBudgetBytes) / kMiB,
                bench::peakMegabytes());
    zoom24.reset();
    largest.reset();
    return 0;
}
