// The map window's paint from a valid back canvas at 800 x 480: the
// composition (copy, task layer AND, outline XOR, button column, scale
// text), the copy into a wxBitmap and the draw, then the aircraft sprite.
// Needs a display (run under xvfb-run).

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/init.h>

#include <chrono>
#include <memory>
#include <vector>

#include "bench/bench_support.h"
#include "map/map_render.h"
#include "platform/canvas.h"
#include "platform/canvas_handover.h"
#include "platform/gui/canvas_bitmap.h"

namespace {

void BM_MapViewPaintFromAValidBackCanvas(benchmark::State& state) {
    platform::CanvasHandover handover;
    auto back = std::make_unique<platform::Canvas>(800, 480);
    back->FillRect(back->Bounds(), platform::Brush::Solid(platform::Colour{240, 240, 230}));
    handover.Publish(std::move(back));
    platform::Image task(800, 480);
    platform::Image reachable(800, 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 800; ++x) {
            task.SetPixel(x, y, (x + y) % 97 == 0 ? 0xFF0000FFU : 0xFFFFFFFFU);
            reachable.SetPixel(x, y, (x * y) % 211 == 0 ? 0xFF00FF00U : 0xFF000000U);
        }
    }
    task.MarkDirty();
    reachable.MarkDirty();
    map::ComposeLayers layers;
    layers.taskLayer = &task;
    layers.reachable = &reachable;
    layers.scaleText = "10 km";
    layers.labelBottom = 477;
    platform::Canvas out(800, 480);
    wxBitmap bitmap;
    wxBitmap screen(800, 480, 24);
    wxMemoryDC dc(screen);
    std::vector<double> frames;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        handover.Read([&](const platform::Image& pixels) { map::ComposeMapFrame(out, pixels, layers); });
        platform::gui::CopyToBitmap(out.Pixels(), bitmap);
        dc.DrawBitmap(bitmap, 0, 0);
        dc.SetPen(wxPen(*wxBLACK, 3));
        dc.DrawLine(392, 240, 409, 240);
        dc.DrawLine(400, 232, 400, 249);
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
