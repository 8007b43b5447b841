// Cost of the per-fix pass of the navigation texts: 16 queued waypoints, a
// 6-point task being flown, a ridge terrain model, posts recorded and the
// settings store in memory (no settings file is written).
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>

#include "core/elevation_model.h"
#include "fix/tests/nav_texts_support.h"
#include "nav/task_activation.h"
#include "nav/tests/task_test_support.h"

namespace {

// 600 ft, with a 5000 ft ridge across 47.10..47.12 N.
class RidgeModel final : public core::ElevationModel {
  public:
    std::optional<float> GetElevationAt(double, double latitude) const override {
        const double degrees = latitude / gps::testing::kRadiansPerDegree;
        return degrees > 47.10 && degrees < 47.12 ? 5000.0F : 600.0F;
    }
    double SampleStepKm() const override { return 0.3; }
};

void BM_PositionTextsPass(benchmark::State& state) {
    gps::testing::NavTextsScope scope;
    nav::testing::TaskStateScope taskState;
    gps::testing::UseStandardClassPolar();
    core::SetElevationModel(std::make_shared<RidgeModel>());
    for (int i = 0; i < 16; ++i)
        nav::GoToWaypoint(nav::testing::At(47.0 + 0.02 * i, 8.05, L"Queued"));
    nav::g_destinationValid = 1;
    const nav::WaypointRecord start = nav::testing::At(47.0, 8.0, L"Start");
    auto task = nav::testing::MakeTask(
        {start, nav::testing::Offset(start, 0.0, 20.0), nav::testing::Offset(start, 60.0, 30.0),
         nav::testing::Offset(start, 120.0, 30.0), nav::testing::Offset(start, 180.0, 20.0),
         nav::testing::Offset(start, 10.0, 1.0)});
    nav::testing::MakeCylinder(*task->points.back(), nav::kRoleFinish, 1.0F);
    nav::ActivateTask(task.get(), true);

    gps::testing::PublishedFix fix{};
    fix.altitude = 6000.0F;
    int i = 0;
    for (auto _ : state) {
        fix.latitude = 46.99 + (i % 200) * 0.001;
        fix.track = (i * 3) % 360;
        benchmark::DoNotOptimize(gps::testing::PublishAndRun(fix));
        if (++i % 1000 == 0) scope.Posts().Clear();
    }
}
BENCHMARK(BM_PositionTextsPass)->Unit(benchmark::kMicrosecond);

}  // namespace
