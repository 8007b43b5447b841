// Cost of one reachable outline over 100 km x 100 km of synthetic terrain in
// 3 arc-second cells (the sampling step is then its 0.3 km floor), without
// the worker's pacing pauses between directions.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "core/geodesy.h"
#include "mapdata/grid_elevation_model.h"
#include "glide/reach_point.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// 0.9 degrees of latitude by 1.27 of longitude around 45.5 N 7.5 E: rolling
// hills between 100 and 700 m.
const mapdata::GridElevationModel& Terrain() {
    static const mapdata::GridElevationModel terrain = [] {
        constexpr int kRows = 1080;
        constexpr int kColumns = 1524;
        std::vector<std::int16_t> samples(static_cast<std::size_t>(kRows) * kColumns);
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const double hills = std::sin(row * 0.021) * std::cos(column * 0.017) +
                                     0.5 * std::sin((row + column) * 0.047);
                samples[static_cast<std::size_t>(row) * kColumns + column] =
                    static_cast<std::int16_t>(400.0 + 200.0 * hills);
            }
        }
        return mapdata::GridElevationModel({{6.865, 45.05, 8.135, 45.95}, kRows, kColumns},
                                        std::move(samples));
    }();
    return terrain;
}

glide::GlideContext Context() {
    glide::GlideContext context;
    glide::GlidePolar& polar = context.polar;
    polar.a = 3.19F;
    polar.b = -0.0935F;
    polar.c = 0.001068F;
    polar.valid = true;
    polar.usePolar = true;
    polar.minimumSpeed = 37.8F;
    polar.bestGlideSpeed = std::sqrt(polar.a / polar.c);
    context.wind = {12.0F, 250.0 * kDegree, true};
    return context;
}

double MeanReachKm(const glide::GlidePoint& start, const std::vector<glide::OutlinePoint>& points) {
    double sum = 0.0;
    for (const glide::OutlinePoint& p : points) {
        sum += core::g_ellipsoid
                   .GeodesicInverse(start.latitude, -start.lonWest, p.latitude, -p.lonWest, true)
                   .distance *
               1.852;
    }
    return points.empty() ? 0.0 : sum / static_cast<double>(points.size());
}

void BM_ReachableOutline(benchmark::State& state) {
    const mapdata::GridElevationModel& terrain = Terrain();
    const glide::GlideContext context = Context();
    glide::ReachSettings settings;
    settings.useWind = true;
    settings.useDem = true;
    // At most about 47 km of glide (down wind): the outline stays on the
    // terrain.
    const glide::GlidePoint start{45.5 * kDegree, -7.5 * kDegree, 0.0F, false};
    const int points = static_cast<int>(state.range(0));
    std::vector<glide::OutlinePoint> last;
    for (auto _ : state) {
        const glide::OutlinePass pass =
            glide::ComputeOutline(context, settings, &terrain, start, 3800.0F, points);
        if (pass.status != glide::OutlinePass::Status::kComplete) {
            state.SkipWithError("the outline failed");
            break;
        }
        benchmark::DoNotOptimize(pass.points.data());
        last = pass.points;
    }
    state.counters["mean_reach_km"] = MeanReachKm(start, last);
}
BENCHMARK(BM_ReachableOutline)->Arg(48)->Arg(240)->Unit(benchmark::kMillisecond);

}  // namespace
