// The FAI area: which regions a base leg gets, and that every outline point
// lies on the side of the third point and completes an FAI triangle.
#include "mapdata/fai_area.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "core/geodesy.h"
#include "testing/units.h"

namespace mapdata {
namespace {

using test_support::kRadiansPerDegree;

constexpr double kFaiTestKmPerNm = 1.852;

// The leg rule: the small-triangle bounds below 750 km, the large ones from
// there.
int ExactRule(float l1, float l2, float l3) {
    const float total = l1 + l2 + l3;
    if (!(total >= 0.1F)) return 0;
    const bool large = total >= 750.0F;
    for (const float leg : {l1, l2, l3}) {
        if (leg / total < (large ? 0.25F : 0.28F) || leg / total > (large ? 0.45F : 0.44F)) {
            return 0;
        }
    }
    return large ? 2 : 1;
}

// Whether the legs meet the bounds of one rule (1 small, 2 large), widened
// by `slack` (of the total and of 750 km) for points that the planar
// construction places on a boundary.
bool MeetsRule(const std::array<float, 3>& legs, int rule, float slack) {
    const float total = legs[0] + legs[1] + legs[2];
    const bool large = rule == 2;
    if (large ? total < 750.0F * (1 - slack) : total > 750.0F * (1 + slack)) return false;
    for (const float leg : legs) {
        if (leg / total < (large ? 0.25F : 0.28F) - slack ||
            leg / total > (large ? 0.45F : 0.44F) + slack) {
            return false;
        }
    }
    return true;
}

nav::WaypointRecord Record(double latitude, double lonEast) {
    return nav::WaypointRecord(latitude, -lonEast, false);
}

// The point `km` from p on `course` (radians).
nav::WaypointRecord Along(const nav::WaypointRecord& p, double course, double km) {
    const core::GeodesicDirectResult r = core::g_ellipsoid.GeodesicDirect(
        p.latitude, -p.longitude, course, km / kFaiTestKmPerNm, true);
    return Record(r.latitude, r.lonEast);
}

struct Triangle {
    nav::WaypointRecord a, b, side;
};

// A base of baseKm from 46 N 7 E on `course`, the side point off its
// middle to the left or right.
Triangle MakeTriangle(double baseKm, double course, bool left) {
    Triangle t;
    t.a = Record(46.0 * kRadiansPerDegree, 7.0 * kRadiansPerDegree);
    t.b = Along(t.a, course, baseKm);
    const nav::WaypointRecord middle = Along(t.a, course, baseKm / 2.0);
    t.side = Along(middle, course + (left ? -1.0 : 1.0) * std::numbers::pi / 2.0, baseKm / 2.0);
    return t;
}

// Which side of the great circle a-b the point lies on.
double SideOf(const nav::WaypointRecord& a, const nav::WaypointRecord& b, double x, double y,
              double z) {
    const double nx = a.y * b.z - a.z * b.y, ny = a.z * b.x - a.x * b.z, nz = a.x * b.y - a.y * b.x;
    return nx * x + ny * y + nz * z;
}

// The area is constructed in the plane about the base's middle, so its
// points drift from the ellipsoid's boundaries as the triangle grows: half a
// percent of the total up to a 200 km base, one percent at 400 km.
void CheckOutline(const CFaiAreaElement& area, const CMapPolyElement& outline, const Triangle& t,
                  int expectedClass, const std::string& what) {
    const float slack = area.BaseLengthKm() > 300.0 ? 0.01F : 0.005F;
    const double sideSign = SideOf(t.a, t.b, t.side.x, t.side.y, t.side.z);
    ASSERT_GT(outline.PointCount(), 10u) << what;
    for (const MapPoint& p : outline.Points()) {
        EXPECT_GT(SideOf(t.a, t.b, p.x, p.y, p.z) * sideSign, 0.0) << what;
        const LonLat ll = UnitVectorToLonLat(p.Position());
        const nav::WaypointRecord point(ll.lat, ll.lon, false);
        const auto legs = area.LegsWith(point);
        EXPECT_TRUE(MeetsRule(legs, expectedClass, slack))
            << what << " legs " << legs[0] << " " << legs[1] << " " << legs[2];
    }
    EXPECT_TRUE(outline.IsClosed() ||
                UnitCourseAndDistance(outline.Points().front().Position(),
                                      outline.Points().back().Position())
                        .distance < 1e-6)
        << what;
}

TEST(FaiAreaTest, EveryOutlinePointIsOnTheSidePointsSideAndFai) {
    for (const double baseKm : {100.0, 200.0, 400.0}) {
        for (int degrees = 0; degrees < 360; degrees += 15) {
            for (const bool left : {true, false}) {
                const Triangle t = MakeTriangle(baseKm, degrees * kRadiansPerDegree, left);
                CFaiAreaElement area;
                ASSERT_TRUE(area.BuildOutline(t.a, t.b, t.side));
                const std::string what = std::to_string(baseKm) + " km at " +
                                         std::to_string(degrees) + (left ? " left" : " right");
                // From a base of 330 km only the large region exists, and it
                // is the element's own outline.
                CheckOutline(area, area, t, baseKm / 0.44 >= 750.0 ? 2 : 1, what);
                if (area.LargeRegion().PointCount() > 0) {
                    CheckOutline(area, area.LargeRegion(), t, 2, what + " large");
                }
            }
        }
    }
}

TEST(FaiAreaTest, TheBaseDecidesWhichRegionsExist) {
    const struct {
        double baseKm;
        bool small, large;
    } cases[] = {{100.0, true, false}, {200.0, true, true}, {400.0, false, true}};
    for (const auto& c : cases) {
        const Triangle t = MakeTriangle(c.baseKm, 30.0 * kRadiansPerDegree, true);
        CFaiAreaElement area;
        ASSERT_TRUE(area.BuildOutline(t.a, t.b, t.side));
        EXPECT_NEAR(area.BaseLengthKm(), c.baseKm, 0.01);
        // With both, the large region has its own outline; alone it is the
        // element's.
        EXPECT_GT(area.PointCount(), 0u) << c.baseKm;
        EXPECT_EQ(area.LargeRegion().PointCount() > 0, c.small && c.large) << c.baseKm;
        EXPECT_EQ(area.fillStyle, 1);
        EXPECT_EQ(area.fillColour, 0xE0E0E0u);
        if (!c.small) CheckOutline(area, area, t, 2, "400 km");
    }
    // 100 km: totals 227 to 357 km, so the farthest point from the base
    // lies about 357 * 0.44 - ... within the small bounds; the nearest
    // region point is where both other legs are 0.28 of 227 km.
    const Triangle t = MakeTriangle(100.0, 0.0, false);
    CFaiAreaElement area;
    ASSERT_TRUE(area.BuildOutline(t.a, t.b, t.side));
    const LonLat first = UnitVectorToLonLat(area.Points().front().Position());
    const auto legs = area.LegsWith(nav::WaypointRecord(first.lat, first.lon, false));
    EXPECT_NEAR(legs[0], 0.28 * 100.0 / 0.44, 1.0);
    EXPECT_NEAR(legs[1], 0.28 * 100.0 / 0.44, 1.0);
}

TEST(FaiAreaTest, ClassificationUsesTheStoredBaseAndTheRule) {
    const Triangle t = MakeTriangle(100.0, 0.0, true);
    CFaiAreaElement area;
    ASSERT_TRUE(area.BuildOutline(t.a, t.b, t.side));
    // An equilateral third point is FAI; a point on the base is not.
    const nav::WaypointRecord middle = Along(t.a, 0.0, 50.0);
    const nav::WaypointRecord apex = Along(middle, -std::numbers::pi / 2.0, 100.0 * std::sqrt(3.0) / 2.0);
    EXPECT_EQ(area.ClassifyTriangleWith(apex, ExactRule), 1);
    EXPECT_EQ(area.ClassifyTriangleWith(middle, ExactRule), 0);
}

TEST(FaiAreaTest, CornersThatCoincideBuildNothing) {
    const nav::WaypointRecord a = Record(46.0 * kRadiansPerDegree, 7.0 * kRadiansPerDegree);
    CFaiAreaElement area;
    ASSERT_TRUE(area.BuildOutline(a, Along(a, 0.0, 100.0), Along(a, 1.0, 50.0)));
    EXPECT_FALSE(area.BuildOutline(a, a, Along(a, 1.0, 50.0)));
    EXPECT_EQ(area.PointCount(), 0u);
    EXPECT_EQ(area.BytesInUse(), 0u);
    EXPECT_EQ(area.LargeRegion().PointCount(), 0u);
}

}  // namespace
}  // namespace mapdata
