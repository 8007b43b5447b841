// Circles and arcs: outlines, bounds, the inside test and the distance.
#include "mapdata/map_circle_element.h"
#include "testing/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace mapdata {
namespace {

using test_support::kRadiansPerDegree;


CMapCircleElement CircleAt(double lonWestDeg, double latDeg, float radiusKm) {
    CMapCircleElement circle;
    circle.centre = ToUnitVector(lonWestDeg * kRadiansPerDegree, latDeg * kRadiansPerDegree);
    circle.radiusKm = radiusKm;
    circle.fillStyle = 1;
    return circle;
}

double BearingFromCentre(const CMapCircleElement& c, const LonLat& p) {
    return UnitCourseAndDistance(c.centre, ToUnitVector(p)).course / kRadiansPerDegree;
}

TEST(MapCircleElementTest, ADefaultFullCircleRunsTwoDegreeStepsBackToItsStart) {
    const CMapCircleElement circle = CircleAt(-7.0, 46.0, 20.0F);
    const std::vector<LonLat> outline = circle.GenerateOutline(2.0F);
    ASSERT_EQ(outline.size(), 181u);
    for (std::size_t i = 1; i + 1 < outline.size(); ++i) {
        const double step = BearingFromCentre(circle, outline[i - 1]) -
                            BearingFromCentre(circle, outline[i]);
        EXPECT_NEAR(step, 2.0, 0.01) << i;  // decreasing bearing
        EXPECT_NEAR(UnitCourseAndDistance(circle.centre, ToUnitVector(outline[i])).distance,
                    20.0 / 6371.0, 1e-6);
    }
    EXPECT_LT(UnitCourseAndDistance(ToUnitVector(outline.front()), ToUnitVector(outline.back()))
                  .distance,
              0.002 * 20.0 / 6371.0);
}

TEST(MapCircleElementTest, ArcsRunTheirWayRound) {
    CMapCircleElement arc = CircleAt(-7.0, 46.0, 20.0F);
    arc.startBearing = static_cast<float>(10.0 * kRadiansPerDegree);
    arc.endBearing = static_cast<float>(100.0 * kRadiansPerDegree);
    // Anticlockwise from 10 to 100 degrees: 270 degrees of arc.
    const std::vector<LonLat> anticlockwise = arc.GenerateOutline(5.0F);
    EXPECT_EQ(anticlockwise.size(), 55u);
    EXPECT_NEAR(BearingFromCentre(arc, anticlockwise[1]), 5.0, 0.01);
    arc.counterClockwise = false;
    const std::vector<LonLat> clockwise = arc.GenerateOutline(5.0F);
    EXPECT_EQ(clockwise.size(), 19u);
    EXPECT_NEAR(BearingFromCentre(arc, clockwise[1]), 15.0, 0.01);
    EXPECT_NEAR(BearingFromCentre(arc, clockwise.back()), 100.0, 0.01);
}

TEST(MapCircleElementTest, BearingsOutOfRangeAreBroughtIntoOneTurn) {
    CMapCircleElement arc = CircleAt(-7.0, 46.0, 20.0F);
    arc.counterClockwise = false;
    arc.startBearing = static_cast<float>(1080.0 * kRadiansPerDegree);  // three turns: 0
    arc.endBearing = static_cast<float>(-270.0 * kRadiansPerDegree);    // 90
    const std::vector<LonLat> outline = arc.GenerateOutline(1.0F);
    EXPECT_EQ(outline.size(), 91u);
    arc.startBearing = std::nanf("");
    EXPECT_LE(arc.GenerateOutline(1.0F).size(), 362u);
    EXPECT_LT(NormaliseBearing(-1e-9F), static_cast<float>(2 * std::numbers::pi));
}

TEST(MapCircleElementTest, InsideIsStrictlyWithinTheRadius) {
    const CMapCircleElement circle = CircleAt(0.0, 0.0, 63.71F);  // 0.01 rad
    const auto fixAt = [](double lonWest, double lat) {
        return nav::WaypointRecord(lat, lonWest, false);
    };
    EXPECT_TRUE(circle.ZoneTest(fixAt(0.0, 0.0099), 0, 0, kNoTerrain));
    EXPECT_FALSE(circle.ZoneTest(fixAt(0.0, 0.0101), 0, 0, kNoTerrain));
    EXPECT_NEAR(circle.DistanceTo(fixAt(0.0, 0.0)), -0.01 / 0.0002909, 1e-3);
    EXPECT_NEAR(circle.DistanceTo(fixAt(0.0, 0.02)), 0.01 / 0.0002909, 0.1);
    // An arc (no fill) is never a zone.
    CMapCircleElement arc = circle;
    arc.fillStyle = 0;
    EXPECT_FALSE(arc.ZoneTest(fixAt(0.0, 0.0), 0, 0, kNoTerrain));
    EXPECT_EQ(arc.DistanceTo(fixAt(0.0, 0.0)), 1e10);
    // An earth radius that is no usable number reads as 6371 km.
    CMapCircleElement broken = circle;
    broken.earthRadiusKm = 0.0F;
    EXPECT_DOUBLE_EQ(broken.AngularRadius(), circle.AngularRadius());
    broken.earthRadiusKm = std::nanf("");
    EXPECT_DOUBLE_EQ(broken.AngularRadius(), circle.AngularRadius());
}

TEST(MapCircleElementTest, BoundsHoldTheOutlineAndASectorsCentre) {
    CMapCircleElement sector = CircleAt(-7.0, 46.0, 10.0F);
    sector.startBearing = static_cast<float>(300.0 * kRadiansPerDegree);
    sector.endBearing = static_cast<float>(60.0 * kRadiansPerDegree);
    sector.counterClockwise = false;
    sector.ComputeBounds();
    const LonLat centre = UnitVectorToLonLat(sector.centre);
    const core::GeoPoint centreDegrees = core::FromRadiansWest(centre.lat, centre.lon);
    EXPECT_GT(sector.bounds.south, centreDegrees.latitude);  // the arc lies north
    sector.sector = true;
    sector.ComputeBounds();
    EXPECT_DOUBLE_EQ(sector.bounds.south, centreDegrees.latitude);
    const LonLat start = UnitVectorToLonLat(sector.GetArcStart());
    EXPECT_GT(start.lon, centre.lon);  // north-west: longitude positive west
    EXPECT_GT(start.lat, centre.lat);
}

}  // namespace
}  // namespace mapdata
