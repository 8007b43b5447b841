// The UI thread's share of showing a rendered map: copying a finished
// 800 x 480 canvas into a wxBitmap and drawing it as a paint handler does.
// Needs a display (run under xvfb-run).

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/init.h>

#include <memory>

#include "platform/canvas.h"
#include "platform/canvas_handover.h"
#include "platform/gui/canvas_bitmap.h"

namespace {

void BM_ConvertAndBlitAFinishedCanvas(benchmark::State& state) {
    platform::CanvasHandover handover;
    auto canvas = std::make_unique<platform::Canvas>(800, 480);
    canvas->FillRect(canvas->Bounds(), platform::Brush::Solid(platform::Colour{10, 200, 30}));
    handover.Publish(std::move(canvas));
    wxBitmap bitmap;
    wxBitmap screen(800, 480, 24);
    wxMemoryDC dc(screen);
    for (auto _ : state) {
        platform::gui::CopyFinished(handover, bitmap);
        dc.DrawBitmap(bitmap, 0, 0);
    }
}
BENCHMARK(BM_ConvertAndBlitAFinishedCanvas)->Unit(benchmark::kMillisecond);

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
