// The great-circle functions of map elements and the map transform.
#include "mapdata/sphere_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "mapdata/map_draw_state.h"
#include "testing/units.h"

namespace mapdata {
namespace {

using test_support::kRadiansPerDegree;


TEST(SphereGeometryTest, CoursesFromTheEquatorPointTheCompassWay) {
    // Longitudes are positive west: a point east of (0, 0) has a negative one.
    const UnitVector origin = ToUnitVector(0.0, 0.0);
    const struct {
        double lonWest, lat, course;
    } cases[] = {{0.0, 0.01, 0.0}, {-0.01, 0.0, 90.0}, {0.0, -0.01, 180.0}, {0.01, 0.0, 270.0}};
    for (const auto& c : cases) {
        const UnitCourse result = UnitCourseAndDistance(origin, ToUnitVector(c.lonWest, c.lat));
        EXPECT_NEAR(result.course / kRadiansPerDegree, c.course, 1e-3) << c.course;
        EXPECT_NEAR(result.distance, 0.01, 1e-6);
    }
}

TEST(SphereGeometryTest, DirectAndInverseAgree) {
    const UnitVector start = ToUnitVector(-7.5 * kRadiansPerDegree, 46.2 * kRadiansPerDegree);
    for (double course = 0.0; course < 360.0; course += 37.0) {
        for (const double distance : {0.001, 0.05, 1.2}) {
            const LonLat end = SphericalDirect(start, distance, course * kRadiansPerDegree);
            const UnitCourse back = UnitCourseAndDistance(start, ToUnitVector(end));
            EXPECT_NEAR(back.distance, distance, 2e-6) << course;
            EXPECT_NEAR(std::remainder(back.course - course * kRadiansPerDegree, 2 * std::numbers::pi), 0.0, 1e-3) << course;
        }
    }
}

TEST(SphereGeometryTest, PolesGiveLongitudeZero) {
    const LonLat north = UnitVectorToLonLat({0.0F, 0.0F, 1.0F});
    EXPECT_EQ(north.lon, 0.0F);
    EXPECT_NEAR(north.lat, std::numbers::pi / 2, 1e-6);
    // Rounded just off the pole: still finite.
    const LonLat near = UnitVectorToLonLat({1e-6F, 1e-6F, 1.0F});
    EXPECT_TRUE(std::isfinite(near.lon));
    EXPECT_EQ(SphericalDirect({0.0F, 0.0F, 1.0F}, 0.1, 1.0).lon, 0.0F);
    EXPECT_EQ(UnitCourseAndDistance({0.0F, 0.0F, 1.0F}, ToUnitVector(0.0, 0.5)).course, std::numbers::pi);
    EXPECT_EQ(UnitCourseAndDistance({0.0F, 0.0F, -1.0F}, ToUnitVector(0.0, 0.5)).course, 0.0);
}

// A transform about a centre as the map window builds one.
MapDrawState StateAbout(double lonWest, double lat, double rotationDeg) {
    MapDrawState s;
    const double cl = std::cos(lat), sl = std::sin(lat);
    const double co = std::cos(lonWest), so = std::sin(lonWest);
    s.centre = {cl * co, -cl * so, sl};
    s.eastX = -so;  // towards increasing west longitude: x grows westward
    s.eastY = -co;
    s.north = {-sl * co, sl * so, cl};
    const double r = rotationDeg * kRadiansPerDegree;
    s.r00 = static_cast<float>(std::cos(r));
    s.r01 = static_cast<float>(-std::sin(r));
    s.r10 = static_cast<float>(std::sin(r));
    s.r11 = static_cast<float>(std::cos(r));
    s.cx = 240.0F;
    s.cy = 320.0F;
    s.k = 5000.0F;
    return s;
}

TEST(SphereGeometryTest, ScreenPointsTurnBackIntoPositions) {
    for (const double rotation : {0.0, 37.0, 180.0}) {
        const MapDrawState state = StateAbout(-7.5 * kRadiansPerDegree, 46.0 * kRadiansPerDegree, rotation);
        const UnitVector p = ToUnitVector(-7.55 * kRadiansPerDegree, 46.02 * kRadiansPerDegree);
        const ScreenPoint screen = ProjectToScreen(state, p);
        const UnitVector back = ScreenToUnitVector(state, screen.x, screen.y);
        EXPECT_LT(UnitCourseAndDistance(p, back).distance, 1e-6) << rotation;
    }
    // The centre lands on the screen centre.
    const MapDrawState state = StateAbout(-7.5 * kRadiansPerDegree, 46.0 * kRadiansPerDegree, 0.0);
    const ScreenPoint centre = ProjectToScreen(state, ToUnitVector(-7.5 * kRadiansPerDegree, 46.0 * kRadiansPerDegree));
    EXPECT_NEAR(centre.x, 240.0F, 1e-3);
    EXPECT_NEAR(centre.y, 320.0F, 1e-3);
}

}  // namespace
}  // namespace mapdata
