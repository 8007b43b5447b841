// Glide-path clearance: a ridge on a sampled grid, and hand-made routes for
// the distances, the conflict record and the rest of the route.
#include "glide/glide_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/geodesy.h"
#include "mapdata/grid_elevation_model.h"
#include "core/terrain_sampling.h"
#include "glide/tests/glide_test_support.h"

namespace glide {
namespace {

using testing::kDegree;

constexpr int kSlot = 2;

// 45..46 N, 7..8 E in 0.001 degree cells: 200 m everywhere except a
// north-south ridge rising linearly from 7.45 E to a 1500 m crest from
// 7.495 to 7.505 E and falling again to 7.55 E.
mapdata::GridElevationModel RidgeGrid() {
    constexpr int kCells = 1000;
    std::vector<std::int16_t> samples(kCells * kCells);
    for (int column = 0; column < kCells; ++column) {
        const double lon = 7.0 + (column + 0.5) * 0.001;
        const double fromCrest = std::fabs(lon - 7.5);
        double metres = 200.0;
        if (fromCrest < 0.005) {
            metres = 1500.0;
        } else if (fromCrest < 0.05) {
            metres = 1500.0 - 1300.0 * (fromCrest - 0.005) / 0.045;
        }
        for (int row = 0; row < kCells; ++row) {
            samples[static_cast<std::size_t>(row * kCells + column)] =
                static_cast<std::int16_t>(std::lround(metres));
        }
    }
    return mapdata::GridElevationModel({{7.0, 45.0, 8.0, 46.0}, kCells, kCells}, std::move(samples));
}

// Longitude (degrees east) on the ridge's western slope where the terrain
// reaches the given height in feet.
double WesternSlopeAt(double feet) {
    const double metres = feet / 3.2809;
    return 7.45 + (metres - 200.0) / 1300.0 * 0.045;
}

TEST(GlidePathTest, RidgeConflictLiesWhereTheGeometryPutsIt) {
    const mapdata::GridElevationModel grid = RidgeGrid();
    const double latitude = 45.5 * kDegree;
    const auto leg =
        core::g_ellipsoid.GeodesicInverse(latitude, 7.2 * kDegree, latitude, 7.8 * kDegree, true);
    const double lengthKm = leg.distance * 1.852;
    std::array<GlidePathLeg, 2> route{};
    route[0].start = {latitude, -7.2 * kDegree, 200.0F * 3.2809F, true};
    route[0].length = static_cast<float>(lengthKm);
    route[0].course = leg.course12;
    route[1].start = {latitude, -7.8 * kDegree, 200.0F * 3.2809F, true};
    route[0].plannedAltitude[kSlot] = 3000.0F;  // a level glide at 3000 ft
    route[1].plannedAltitude[kSlot] = 3000.0F;

    RouteTerrainInfo info;
    ASSERT_EQ(SampleGlidePath(&grid, route, 1, info), 1);
    EXPECT_FLOAT_EQ(info.highest, 1500.0F * 3.2809F);
    const double tolerance = grid.SampleStepKm() + 0.1;  // a step and a cell

    for (const float margin : {0.0F, 500.0F}) {
        SCOPED_TRACE(margin);
        TerrainConflict conflict;
        GlidePathLeg rest;
        ASSERT_TRUE(FindGlidePathClearance(info, &conflict, kSlot, margin, 0, -1, &rest));
        // The margin is slack: the terrain must rise above the line by it.
        const double conflictLon = WesternSlopeAt(3000.0 + margin);
        const auto& slot = info.slots[kSlot];
        EXPECT_NEAR(slot.conflictDistance, lengthKm * (conflictLon - 7.2) / 0.6, tolerance);
        ASSERT_TRUE(conflict.valid);
        EXPECT_NEAR(-conflict.lonWest / kDegree, conflictLon, 0.005);
        EXPECT_NEAR(conflict.latitude, latitude, 1e-4);
        EXPECT_GT(conflict.elevation, 3000.0F + margin);
        // The lowest pass is at the start of the crest.
        EXPECT_NEAR(slot.lowestDistance, lengthKm * (7.495 - 7.2) / 0.6, tolerance);
        EXPECT_NEAR(slot.minimumClearance, 3000.0F - 1500.0F * 3.2809F, 1.0);
        EXPECT_NEAR(rest.length, lengthKm - slot.lowestDistance, 1e-3);
    }
}

// Two legs of 4 and 2 km on the equator, northward, with the given samples.
struct HandRoute {
    std::array<GlidePathLeg, 3> legs{};
    RouteTerrainInfo info;

    HandRoute(std::vector<float> first, std::vector<float> second, float planned) {
        for (int i = 0; i < 3; ++i) {
            legs[static_cast<std::size_t>(i)].start = {0.001 * i, 0.0, 0.0F, true};
            legs[static_cast<std::size_t>(i)].plannedAltitude[kSlot] = planned;
        }
        legs[0].samples = std::move(first);
        legs[0].length = 4.0F;
        legs[1].samples = std::move(second);
        legs[1].length = 2.0F;
        info.legs = legs;
        info.legCount = 2;
    }
};

TEST(GlidePathTest, DistancesToTheLowestPointAndTheConflict) {
    // Planned 400 ft throughout; a 500 ft hill at sample 2 of the first leg,
    // a 450 ft one at sample 1 of the second.
    HandRoute route({0, 0, 500, 0, 0}, {0, 450, 0}, 400.0F);
    TerrainConflict conflict;
    ASSERT_TRUE(FindGlidePathClearance(route.info, &conflict, kSlot, 0.0F, 0, -1, nullptr));
    const auto& slot = route.info.slots[kSlot];
    EXPECT_FLOAT_EQ(slot.minimumClearance, -100.0F);
    EXPECT_EQ(slot.lowestLeg, 0);
    EXPECT_EQ(slot.lowestSample, 2);
    EXPECT_FLOAT_EQ(slot.lowestDistance, 2.0F * 4.0F / 4.0F);    // j / (n - 1)
    EXPECT_FLOAT_EQ(slot.conflictDistance, 2.0F * 4.0F / 5.0F);  // j / n
    EXPECT_FLOAT_EQ(route.legs[0].lowestDistance[kSlot], 2.0F);
    EXPECT_EQ(route.legs[0].lowestSample[kSlot], 2);
    EXPECT_EQ(route.legs[1].lowestSample[kSlot], -1);
    EXPECT_TRUE(conflict.valid && conflict.foundNow);
    EXPECT_FLOAT_EQ(conflict.elevation, 500.0F);
    EXPECT_NEAR(conflict.latitude, 0.001 * 2.0 / 5.0, 1e-12);

    // Only the second leg: its distances count the first leg's length.
    ASSERT_TRUE(FindGlidePathClearance(route.info, &conflict, kSlot, 0.0F, 1, 1, nullptr));
    EXPECT_EQ(slot.lowestLeg, 1);
    EXPECT_FLOAT_EQ(slot.lowestDistance, 4.0F + 1.0F);
    EXPECT_FLOAT_EQ(slot.conflictDistance, 4.0F + 2.0F / 3.0F);
    EXPECT_NEAR(conflict.latitude, 0.001 + 0.001 / 3.0, 1e-12);
}

TEST(GlidePathTest, ConflictRecordIsClearedWhenTheGlideClears) {
    HandRoute route({0, 0, 500, 0, 0}, {0, 0, 0}, 400.0F);
    TerrainConflict conflict;
    ASSERT_TRUE(FindGlidePathClearance(route.info, &conflict, kSlot, 0.0F, 0, -1, nullptr));
    ASSERT_TRUE(conflict.valid);
    // Lower the hill below the margin: no conflict, the old one goes.
    route.legs[0].samples[2] = 100.0F;
    ASSERT_TRUE(FindGlidePathClearance(route.info, &conflict, kSlot, 200.0F, 0, -1, nullptr));
    EXPECT_FALSE(conflict.valid);
    EXPECT_FLOAT_EQ(route.info.slots[kSlot].conflictDistance, -1.0F);
    // A record that was not valid stays so, marked as not needing a clear.
    ASSERT_TRUE(FindGlidePathClearance(route.info, &conflict, kSlot, 200.0F, 0, -1, nullptr));
    EXPECT_FALSE(conflict.valid);
    EXPECT_TRUE(conflict.foundNow);
}

TEST(GlidePathTest, RestOfTheRouteStartsAtTheLowestPoint) {
    // The glide descends from 1000 to 600 ft over the first leg.
    HandRoute route({100, 200, 300, 700, 100}, {0, 0, 0}, 600.0F);
    route.legs[0].plannedAltitude[kSlot] = 1000.0F;
    route.legs[0].course = 0.25;
    ASSERT_TRUE(FindGlidePathClearance(route.info, nullptr, kSlot, 0.0F, 0, -1, nullptr));
    // Clearance at sample 3: 1000 - 300 - 700 = 0.
    const GlidePathLeg& rest = ConflictLegs[kSlot];
    EXPECT_EQ(route.info.slots[kSlot].lowestSample, 3);
    EXPECT_FLOAT_EQ(rest.length, 4.0F - 3.0F);
    EXPECT_DOUBLE_EQ(rest.course, 0.25);
    EXPECT_EQ(rest.samples, (std::vector<float>{700, 100}));
    EXPECT_FLOAT_EQ(rest.start.elevation, 700.0F);
    EXPECT_TRUE(rest.start.elevationKnown);
    EXPECT_NEAR(rest.start.latitude, 0.001 * 3.0 / 5.0, 1e-12);
    EXPECT_FLOAT_EQ(rest.plannedAltitude[kSlot], 700.0F);
    EXPECT_FLOAT_EQ(rest.lowestDistance[kSlot], -1.0F);
    EXPECT_EQ(rest.conflictLeg[kSlot], nullptr);

    // An unknown elevation at the lowest point stays unknown.
    route.legs[0].samples[3] = 900.0F;
    route.legs[1].samples = {-5.0F, core::kMissingSample, -5.0F};
    route.legs[1].plannedAltitude[kSlot] = -500.0F;
    route.legs[2].plannedAltitude[kSlot] = -500.0F;
    GlidePathLeg out;
    ASSERT_TRUE(FindGlidePathClearance(route.info, nullptr, kSlot, 0.0F, 1, -1, &out));
    EXPECT_FALSE(out.start.elevationKnown);
}

TEST(GlidePathTest, BadInputAndShortLegs) {
    HandRoute route({0}, {0, 0, 0}, 400.0F);
    route.legs[0].lowestSample[kSlot] = 7;
    auto& slot = route.info.slots[kSlot];
    slot.conflictDistance = 3.0F;
    // One sample on the first leg: the search stops after resetting.
    EXPECT_FALSE(FindGlidePathClearance(route.info, nullptr, kSlot, 0.0F, 0, -1, nullptr));
    EXPECT_EQ(route.legs[0].lowestSample[kSlot], -1);
    EXPECT_FLOAT_EQ(slot.conflictDistance, -1.0F);
    EXPECT_FLOAT_EQ(slot.minimumClearance, 100000.0F);
    // lastLeg -1 reaches the second leg; lastLeg beyond the route is refused.
    EXPECT_TRUE(FindGlidePathClearance(route.info, nullptr, kSlot, 0.0F, 1, -1, nullptr));
    EXPECT_FALSE(FindGlidePathClearance(route.info, nullptr, kSlot, 0.0F, 0, 2, nullptr));
    EXPECT_FALSE(FindGlidePathClearance(route.info, nullptr, kGlideSlots, 0.0F, 1, -1, nullptr));
    RouteTerrainInfo empty;
    EXPECT_FALSE(FindGlidePathClearance(empty, nullptr, kSlot, 0.0F, 0, -1, nullptr));
}

TEST(GlidePathTest, SamplingNeedsKnownRoutePoints) {
    const mapdata::GridElevationModel grid = RidgeGrid();
    std::array<GlidePathLeg, 2> route{};
    route[0].start = {45.5 * kDegree, -7.2 * kDegree, 0.0F, true};
    route[0].length = 10.0F;
    route[0].samples = {1.0F};
    route[1].start = {45.5 * kDegree, -7.3 * kDegree, 0.0F, false};
    RouteTerrainInfo info;
    EXPECT_EQ(SampleGlidePath(&grid, route, 1, info), 0);
    EXPECT_TRUE(route[0].samples.empty());
    EXPECT_EQ(SampleGlidePath(&grid, route, 2, info), 0);  // not enough records
}

}  // namespace
}  // namespace glide
