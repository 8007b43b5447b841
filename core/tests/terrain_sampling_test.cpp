// Terrain profiles along a course and along a route: sample count and
// spacing, the end point through the direct geodesic, missing samples, and
// the lowest and highest sample.
#include "core/terrain_sampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <mutex>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

#include "core/geodesy.h"

namespace core {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Answers with a function of the position and remembers where it was asked.
class FakeModel final : public ElevationModel {
  public:
    using Terrain = std::optional<float> (*)(double lonWest, double latitude);
    FakeModel(double step, Terrain terrain) : step_(step), terrain_(terrain) {}

    std::optional<float> GetElevationAt(double lonWest, double latitude) const override {
        const std::lock_guard lock(mutex_);
        asked_.emplace_back(lonWest, latitude);
        return terrain_(lonWest, latitude);
    }
    double SampleStepKm() const override { return step_; }
    std::vector<std::pair<double, double>> Asked() const {
        const std::lock_guard lock(mutex_);
        return asked_;
    }

  private:
    double step_;
    Terrain terrain_;
    mutable std::mutex mutex_;
    mutable std::vector<std::pair<double, double>> asked_;
};

std::optional<float> Flat(double, double) {
    return 100.0F;
}
// Rises northwards: 1000 ft per degree of latitude above 45 N.
std::optional<float> RisingNorth(double, double latitude) {
    return static_cast<float>((latitude / kDegree - 45.0) * 1000.0);
}
// No data west of 7.5 E.
std::optional<float> HoleInTheWest(double lonWest, double) {
    if (-lonWest / kDegree < 7.5) return std::nullopt;
    return 50.0F;
}

TEST(TerrainSamplingTest, CourseSamplesAreEvenlySpacedAndStopShortOfTheEnd) {
    const FakeModel model(0.3, RisingNorth);
    const double lonWest = -7.0 * kDegree;
    const double latitude = 45.0 * kDegree;
    const TerrainProfile profile = SampleAlongCourse(&model, lonWest, latitude, 0.0, 10.0F);
    // floor(10 / 0.3) + 1 samples, 10 / 34 km apart.
    ASSERT_EQ(profile.samples.size(), 34U);
    EXPECT_EQ(profile.status, SampleStatus::kComplete);
    EXPECT_FLOAT_EQ(profile.distanceKm, 10.0F);

    const auto asked = model.Asked();
    EXPECT_EQ(asked.front(), std::make_pair(lonWest, latitude));
    const auto end = g_ellipsoid.GeodesicDirect(latitude, -lonWest, 0.0, 10.0 / 1.852, true);
    const double step = (static_cast<float>(end.latitude) - latitude) / 34.0;
    for (std::size_t i = 0; i < asked.size(); ++i) {
        EXPECT_NEAR(asked[i].second, latitude + step * static_cast<double>(i), 1e-12);
    }
    EXPECT_NEAR(asked.back().second + step, end.latitude, 1e-7);
    EXPECT_FLOAT_EQ(profile.lowest, profile.samples.front());
    EXPECT_FLOAT_EQ(profile.highest, profile.samples.back());
}

TEST(TerrainSamplingTest, ShortCoursesMissingDataAndNoModel) {
    const FakeModel flat(0.3, Flat);
    const TerrainProfile one = SampleAlongCourse(&flat, 0.0, 0.5, 1.0, 0.2F);
    EXPECT_EQ(one.samples.size(), 1U);
    EXPECT_EQ(one.status, SampleStatus::kNone);

    // Eastward from 7.4 E: the first samples have no data.
    const FakeModel holed(0.3, HoleInTheWest);
    const TerrainProfile holes =
        SampleAlongCourse(&holed, -7.4 * kDegree, 45.0 * kDegree, 90.0 * kDegree, 20.0F);
    EXPECT_EQ(holes.status, SampleStatus::kMissing);
    EXPECT_EQ(holes.samples.front(), kMissingSample);
    EXPECT_FLOAT_EQ(holes.samples.back(), 50.0F);
    EXPECT_FLOAT_EQ(holes.lowest, 50.0F);  // missing samples do not count
    EXPECT_FLOAT_EQ(holes.highest, 50.0F);

    EXPECT_EQ(SampleAlongCourse(nullptr, 0.0, 0.5, 1.0, 10.0F).status, SampleStatus::kNone);
    EXPECT_TRUE(SampleAlongCourse(&flat, 0.0, 0.5, 1.0, -1.0F).samples.empty());
}

TEST(TerrainSamplingTest, CourseAcrossTheDateLineTakesTheShortWay) {
    const FakeModel flat(0.3, Flat);
    // From 179.9 E eastwards for 40 km.
    SampleAlongCourse(&flat, -179.9 * kDegree, 0.0, 90.0 * kDegree, 40.0F);
    for (const auto& [lonWest, latitude] : flat.Asked()) {
        const double lonEast = -lonWest / kDegree;
        EXPECT_TRUE(lonEast >= 179.9 - 1e-9 && lonEast < 180.3) << lonEast;
    }
}

TEST(TerrainSamplingTest, RouteLegsFollowEachOther) {
    const FakeModel model(0.5, RisingNorth);
    const double lon = -7.0 * kDegree;
    const std::vector<RouteStop> stops{
        {45.0 * kDegree, lon, true, 2.2F},
        {45.02 * kDegree, lon, true, 1.0F},
        {45.03 * kDegree, lon, true, 0.0F},
    };
    const TerrainProfile profile = SampleAlongRoute(&model, stops);
    EXPECT_EQ(profile.status, SampleStatus::kComplete);
    ASSERT_EQ(profile.legCounts, (std::vector<int>{5, 3}));
    ASSERT_EQ(profile.samples.size(), 8U);
    const auto asked = model.Asked();
    // Leg 0 in steps of a fifth of the way, leg 1 from its own start point.
    EXPECT_NEAR(asked[1].second, 45.004 * kDegree, 1e-12);
    EXPECT_NEAR(asked[5].second, 45.02 * kDegree, 1e-12);
    EXPECT_NEAR(asked[7].second, (45.02 + 2.0 * 0.01 / 3.0) * kDegree, 1e-12);
    EXPECT_NEAR(profile.highest, 1000.0 * (0.02 + 2.0 * 0.01 / 3.0), 1e-2);
}

TEST(TerrainSamplingTest, RouteNeedsEveryElevation) {
    const FakeModel model(0.5, Flat);
    const std::vector<RouteStop> stops{{0.0, 0.0, true, 5.0F}, {0.001, 0.0, false, 0.0F}};
    const TerrainProfile profile = SampleAlongRoute(&model, stops);
    EXPECT_EQ(profile.status, SampleStatus::kNone);
    EXPECT_TRUE(profile.samples.empty());
    EXPECT_TRUE(model.Asked().empty());
}

}  // namespace
}  // namespace core
