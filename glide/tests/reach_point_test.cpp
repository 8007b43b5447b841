// The reach in one direction: the glide range, the cut at the terrain, and
// the directions that fail an outline.
#include "glide/reach_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/geodesy.h"
#include "mapdata/grid_elevation_model.h"
#include "glide/speed_to_fly.h"
#include "glide/tests/glide_test_support.h"

namespace glide {
namespace {

using testing::ContextWith;
using testing::kDegree;
using testing::StandardClassPolar;

constexpr double kReachTestFeetPerKm = 3280.8;
constexpr float kFlatMetres = 200.0F;

// 45..46 N, 7..8 E, 0.001 degree cells, flat at 200 m; with a ridge, a wall
// of 1500 m from 7.50 to 7.51 E.
mapdata::GridElevationModel Terrain(bool ridge) {
    constexpr int kCells = 1000;
    std::vector<std::int16_t> samples(kCells * kCells, static_cast<std::int16_t>(kFlatMetres));
    if (ridge) {
        for (int row = 0; row < kCells; ++row) {
            for (int column = 500; column < 510; ++column)
                samples[row * kCells + column] = 1500;
        }
    }
    return mapdata::GridElevationModel({{7.0, 45.0, 8.0, 46.0}, kCells, kCells}, std::move(samples));
}

const GlidePoint kStart{45.5 * kDegree, -7.3 * kDegree, 0.0F, false};

double DistanceKm(const ReachPoint& point) {
    return core::g_ellipsoid
               .GeodesicInverse(kStart.latitude, -kStart.lonWest, point.latitude, -point.lonWest,
                                true)
               .distance *
           1.852;
}

ReachSettings Settings(bool useDem) {
    ReachSettings settings;
    settings.macCready = 0.0F;
    settings.useWind = true;
    settings.useDem = useDem;
    settings.groundClearAltitude = 500.0F;
    settings.baseOffset = 200.0F;
    return settings;
}

TEST(ReachPointTest, RangeIsTheGlideFromAboveTheSafetyAltitude) {
    const GlideContext context = ContextWith(StandardClassPolar(), 15.0F, 270.0);
    for (const double direction : {0.0, 90.0 * kDegree, 270.0 * kDegree}) {
        const ReachPoint point =
            ComputeReachPoint(context, Settings(false), nullptr, kStart, 6000.0F, direction);
        ASSERT_EQ(point.result, ReachResult::kOk);
        const double glideRatio = GroundGlideRatio(context, direction, true, 0.0F);
        EXPECT_NEAR(DistanceKm(point), (6000.0 - 1000.0 - 200.0) * glideRatio / kReachTestFeetPerKm,
                    1e-3);
    }
    // Down wind reaches farther than up wind.
    const double downWind = DistanceKm(
        ComputeReachPoint(context, Settings(false), nullptr, kStart, 6000.0F, 90.0 * kDegree));
    const double upWind = DistanceKm(
        ComputeReachPoint(context, Settings(false), nullptr, kStart, 6000.0F, 270.0 * kDegree));
    EXPECT_GT(downWind, upWind * 1.2);
}

TEST(ReachPointTest, TerrainCutsTheReach) {
    const GlideContext context = ContextWith(StandardClassPolar());
    const double glideRatio = GroundGlideRatio(context, 0.0, true, 0.0F);
    // Over flat ground the glide ends where the line at the safety altitude
    // meets it (the base offset only shortens the range sampled).
    const mapdata::GridElevationModel flat = Terrain(false);
    const ReachPoint level =
        ComputeReachPoint(context, Settings(true), &flat, kStart, 4000.0F, 180.0 * kDegree);
    ASSERT_EQ(level.result, ReachResult::kOk);
    EXPECT_NEAR(DistanceKm(level),
                (4000.0 - 1000.0 - kFlatMetres * 3.2809) * glideRatio / kReachTestFeetPerKm,
                flat.SampleStepKm());

    // Eastward the wall at 7.5 E stops the glide at it (within one sample
    // step: the reach counts the step after the last clear sample).
    const mapdata::GridElevationModel ridge = Terrain(true);
    const ReachPoint east =
        ComputeReachPoint(context, Settings(true), &ridge, kStart, 4000.0F, 90.0 * kDegree);
    ASSERT_EQ(east.result, ReachResult::kOk);
    const double endLon = -east.lonWest / kDegree;
    EXPECT_NEAR(endLon, 7.5, 0.005);
}

TEST(ReachPointTest, FailingDirections) {
    const GlideContext context = ContextWith(StandardClassPolar(), 50.0F, 0.0);
    // Too low: 0.05 km of glide or less above the safety altitude.
    EXPECT_EQ(ComputeReachPoint(context, Settings(false), nullptr, kStart, 1201.0F, 0.5).result,
              ReachResult::kNoReach);
    // No terrain known: the full range, marked.
    const ReachPoint unknown =
        ComputeReachPoint(context, Settings(true), nullptr, kStart, 6000.0F, 180.0 * kDegree);
    EXPECT_EQ(unknown.result, ReachResult::kNoTerrain);
    EXPECT_GT(DistanceKm(unknown), 10.0);
    // Below MacCready 0 the glide is at the minimum speed, which makes no
    // headway into a 50 kt wind.
    ReachSettings slow = Settings(false);
    slow.macCready = -1.0F;
    EXPECT_EQ(ComputeReachPoint(context, slow, nullptr, kStart, 6000.0F, 0.0).result,
              ReachResult::kNoReach);
    EXPECT_EQ(ComputeOutline(context, slow, nullptr, kStart, 6000.0F, 48).status,
              OutlinePass::Status::kFailed);
}

TEST(ReachPointTest, OutlineHasOnePointPerDirection) {
    const GlideContext context = ContextWith(StandardClassPolar());
    const OutlinePass pass = ComputeOutline(context, Settings(false), nullptr, kStart, 6000.0F, 48);
    ASSERT_EQ(pass.status, OutlinePass::Status::kComplete);
    ASSERT_EQ(pass.points.size(), 48U);
    // Point 12 lies at 6.283 x 12 / 48 rad, just short of due east.
    const auto inverse = core::g_ellipsoid.GeodesicInverse(
        kStart.latitude, -kStart.lonWest, pass.points[12].latitude, -pass.points[12].lonWest, true);
    EXPECT_NEAR(inverse.course12, 6.283 * 12 / 48, 1e-6);
    const OutlinePoint& p = pass.points[12];
    EXPECT_NEAR(p.x, std::cos(p.latitude) * std::cos(p.lonWest), 1e-6);
    EXPECT_NEAR(p.y, -std::cos(p.latitude) * std::sin(p.lonWest), 1e-6);
    EXPECT_NEAR(p.z, std::sin(p.latitude), 1e-6);

    int calls = 0;
    const OutlinePass abandoned = ComputeOutline(context, Settings(false), nullptr, kStart, 6000.0F,
                                                 48, [&calls] { return ++calls < 5; });
    EXPECT_EQ(abandoned.status, OutlinePass::Status::kAbandoned);
    EXPECT_EQ(calls, 5);
}

}  // namespace
}  // namespace glide
