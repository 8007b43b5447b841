// The map window's paint from a valid back canvas at 800 x 480: the
// composition (copy, GOTO line, task layer AND, outline XOR, the aircraft
// and conflict sprites, button column, scale text, wind disc), the copy
// into a wxBitmap and the draw. Needs a display (run under xvfb-run).

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/init.h>

#include <chrono>
#include <memory>
#include <vector>

#include "bench/bench_support.h"
#include "map/map_painter.h"
#include "platform/canvas.h"
#include "platform/canvas_handover.h"
#include "platform/gui/canvas_bitmap.h"

namespace {

void BM_MapViewPaintFromAValidBackCanvas(benchmark::State& state) {
    platform::CanvasHandover handover;
    auto back = std::make_unique<platform::Canvas>(800, 480);
    back->FillRect(back->Bounds(), platform::Brush::Solid(platform::Colour{240, 240, 230}));
    handover.Publish(std::move(back));
    platform::Image reachable(800, 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 800; ++x) reachable.SetPixel(x, y, (x * y) % 211 == 0 ? 0xFF00FF00U : 0xFF000000U);
    }
    reachable.MarkDirty();
    map::MapDrawingTables tables;
    tables.singleIcon = platform::Image(32, 32);
    for (int i = 4; i < 28; ++i) {
        tables.singleIcon.SetPixel(16, i, 0xFF000000U);
        tables.singleIcon.SetPixel(i, 14, 0xFF000000U);
    }
    tables.singleIcon.MarkDirty();
    map::MapPainter painter(&tables);
    mapdata::MapDrawContext context;
    context.state.cx = 412.0F;
    context.state.cy = 240.0F;
    context.state.k = 10000.0F;
    painter.RenderTaskLayer(800, 480, context);
    painter.PlaceSprites(context.state, nav::WaypointRecord(0.0, 0.0, false), 45.0, 0.0,
                         nav::WaypointRecord(0.002, 0.003, false));
    map::ComposeLayers layers;
    layers.state = context.state;
    layers.reachable = &reachable;
    layers.gotoLine = map::GotoLineInput{nav::WaypointRecord(0.0, 0.0, false), nav::WaypointRecord(0.01, 0.02, false)};
    layers.scaleText = "10.4";
    layers.labelBottom = 477;
    layers.wind = map::WindInput{12.0F, 250.0};
    wxBitmap bitmap;
    wxBitmap screen(800, 480, 24);
    wxMemoryDC dc(screen);
    std::vector<double> frames;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const platform::Image* frame = painter.Compose(800, 480, handover, nullptr, layers);
        platform::gui::CopyToBitmap(*frame, bitmap);
        dc.DrawBitmap(bitmap, 0, 0);
        frames.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["median_ms"] = bench::Percentile(frames, 0.5);
    state.counters["p99_ms"] = bench::Percentile(frames, 0.99);
}
BENCHMARK(BM_MapViewPaintFromAValidBackCanvas)->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxEntryCleanup();
    return 0;
}
