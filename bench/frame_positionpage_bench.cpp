// One repaint of the position page with the terrain profile: the display
// texts copied under their lock, the fields and the profile (about 100
// samples with two straight glide lines and two that turn at a leg's end)
// drawn on the page's canvas. No display is
// needed: the window only copies the finished canvas to the screen.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <vector>

#include "frame/position_painter.h"
#include "frame/position_profile.h"
#include "platform/canvas.h"

namespace {

void BM_PositionPageRepaintWithProfile(benchmark::State& state) {
    const frame::PositionLayout layout = frame::ComputePositionLayout(frame::kCompactRows);
    const frame::PositionFonts fonts = frame::MakePositionFonts(20, L"DejaVu Sans");
    platform::Canvas canvas(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<float> ground(101);
    for (std::size_t i = 0; i < ground.size(); ++i) {
        ground[i] = 500.0F + 2000.0F * std::exp(-std::pow((static_cast<float>(i) - 40.0F) / 4.0F, 2.0F));
    }
    frame::ProfileInput input;
    input.ground = ground;
    input.lowest = 500.0F;
    input.highest = 2500.0F;
    input.altitude = 3000.0F;
    input.glideEnds = {1200.0F, 400.0F};
    input.glidePaths = frame::LegGlidePaths({.altitude = 3000.0F, .distanceKm = 50.0F, .legKm = 30.0F,
                                             .margins = {900.0F, 600.0F},
                                             .finalGlideMargins = std::array{1200.0F, 800.0F},
                                             .usePolar = true});
    frame::PositionPaint paint;
    paint.mode = frame::ViewMode::kProfile;
    paint.destinationExists = true;
    paint.fixReceived = true;
    for (auto _ : state) {
        const frame::PositionTexts texts = frame::TakePositionTexts({});
        frame::PaintPositionFields(canvas, layout, paint, texts, fonts);
        const auto drawing = frame::LayOutProfile(input, layout, canvas.Width(), {});
        frame::DrawProfile(canvas, *drawing, L"TRK", fonts.profileLabel);
        canvas.Finish();
        benchmark::DoNotOptimize(canvas.Pixels());
    }
}
// The landscape pane, the portrait compact pane.
BENCHMARK(BM_PositionPageRepaintWithProfile)
    ->Args({240, 480})
    ->Args({480, 125})
    ->Unit(benchmark::kMillisecond);

}  // namespace
