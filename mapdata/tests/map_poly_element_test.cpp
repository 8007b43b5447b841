// Point lists: the bytes-in-use figure the binary map stores, closing, the
// inside and distance tests, simplification, winding and zone offsets.
#include "mapdata/map_poly_element.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "mapdata/map_circle_element.h"
#include "testing/units.h"

namespace mapdata {
namespace {

using test_support::kRadiansPerDegree;


CMapPolyElement Outline(const std::vector<LonLat>& points, bool close) {
    CMapPolyElement poly;
    for (const LonLat& p : points) poly.AddPoint(p.lon, p.lat, 0, 1);
    if (close) poly.ClosePolygon();
    poly.ComputeBounds();
    return poly;
}

nav::WaypointRecord Fix(double lonWest, double lat) { return nav::WaypointRecord(lat, lonWest, false); }

TEST(MapPolyElementTest, BytesInUseCountASpareRecordUntilClosed) {
    CMapPolyElement poly;
    EXPECT_EQ(poly.BytesInUse(), 0u);
    for (int i = 0; i < 3; ++i) poly.AddPoint(0.01F * i, 0.02F * (i % 2), 0, 1);
    EXPECT_EQ(poly.BytesInUse(), 20u * 4);  // open: count + 1
    poly.ClosePolygon();
    EXPECT_EQ(poly.PointCount(), 4u);
    EXPECT_EQ(poly.BytesInUse(), 20u * 4);  // closed: the spare place filled
    poly.ClosePolygon();                    // already closed: nothing added
    EXPECT_EQ(poly.PointCount(), 4u);

    const CMapPolyElement closedCopy(poly);
    EXPECT_EQ(closedCopy.BytesInUse(), 20u * 4);
    EXPECT_EQ(closedCopy.PointCount(), 4u);

    poly.RemoveAllPoints();
    EXPECT_EQ(poly.BytesInUse(), 0u);
    EXPECT_EQ(poly.bounds, core::GeoBox{});
    for (int i = 0; i < 5; ++i) poly.AddPoint(0.01F * i, 0.001F * i * i, 0, 1);
    EXPECT_EQ(poly.BytesInUse(), 20u * 5);  // no spare after RemoveAllPoints
    const CMapPolyElement openCopy(poly);
    EXPECT_EQ(openCopy.BytesInUse(), 20u * 6);

    ASSERT_TRUE(poly.Simplify(0.0F, 0.0F));
    EXPECT_EQ(poly.BytesInUse(), 20u * (poly.PointCount() + 1));
}

TEST(MapPolyElementTest, InsideTestOfATriangle) {
    // Three distinct points closed by a repeated fourth, and the same left
    // open: the closing edge counts either way.
    const std::vector<LonLat> corners{{0.10F, 0.10F}, {0.20F, 0.10F}, {0.15F, 0.20F}};
    for (const bool close : {true, false}) {
        const CMapPolyElement zone = Outline(corners, close);
        const struct {
            double lon, lat;
            bool inside;
        } cases[] = {
            {0.15, 0.12, true},   {0.15, 0.099, false}, {0.15, 0.101, true}, {0.1195, 0.14, false},
            {0.13, 0.14, true},   {0.15, 0.199, true},  {0.15, 0.201, false}, {0.25, 0.15, false},
            {0.1995, 0.1005, true}, {0.1205, 0.14, true},
        };
        for (const auto& c : cases) {
            EXPECT_EQ(zone.ZoneTest(Fix(c.lon, c.lat), 0, 0, kNoTerrain), c.inside)
                << c.lon << "," << c.lat << (close ? " closed" : " open");
        }
    }
    // Fewer than three points is never a zone.
    EXPECT_FALSE(Outline({{0.1F, 0.1F}, {0.2F, 0.2F}}, false).ZoneTest(Fix(0.15, 0.15), 0, 0, 0));
}

TEST(MapPolyElementTest, RayAlongAnEdgeRestartsSteeper) {
    // The edge from (0, 0) to (0.11, 0.23) runs exactly along the first ray
    // of a fix at (0, 0) or on the edge's line below it.
    const std::vector<PlanePoint> parallel{{0.0, 0.0}, {0.11, 0.23}, {0.3, 0.0}};
    EXPECT_TRUE(IsInsideLonLatPolygon(parallel, 0.15, 0.05));
    EXPECT_FALSE(IsInsideLonLatPolygon(parallel, -0.11, -0.23));  // ray through both vertices
    EXPECT_FALSE(IsInsideLonLatPolygon(parallel, 0.35, 0.05));
}

TEST(MapPolyElementTest, DistanceToTheOutline) {
    const CMapPolyElement square =
        Outline({{0.10F, 0.10F}, {0.20F, 0.10F}, {0.20F, 0.20F}, {0.10F, 0.20F}}, true);
    const struct {
        double lon, lat, distance;
    } cases[] = {
        {0.15, 0.12, 0.02},                                      // inside, to the southern edge
        {0.15, 0.05, 0.05},                                      // outside, perpendicular
        {0.25, 0.15, 0.05 * std::cos(0.15)},                     // longitude scaled
        {0.25, 0.25, std::hypot(0.05, 0.05 * std::cos(0.25))},  // nearest a corner
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(square.DistanceTo(Fix(c.lon, c.lat)), c.distance, 2e-6) << c.lon << "," << c.lat;
    }
    // An open outline measures its closing edge too.
    const CMapPolyElement open =
        Outline({{0.10F, 0.10F}, {0.20F, 0.10F}, {0.20F, 0.20F}, {0.10F, 0.20F}}, false);
    EXPECT_NEAR(open.DistanceTo(Fix(0.05, 0.15)), 0.05 * std::cos(0.15), 2e-6);
}

TEST(MapPolyElementTest, SimplifyLeavesShortListsAndKeepsGapsOnStraightLines) {
    CMapPolyElement triangle = Outline({{0.1F, 0.1F}, {0.2F, 0.1F}, {0.15F, 0.2F}}, false);
    EXPECT_FALSE(triangle.Simplify(0.01F, 0.0F));
    EXPECT_EQ(triangle.PointCount(), 3u);

    // A meridian of 101 points 0.001 rad apart.
    CMapPolyElement line;
    for (int i = 0; i <= 100; ++i) line.AddPoint(0.1F, 0.001F * i, 3, 3);
    const float maxGap = 50.0F / 6371.0F;
    ASSERT_TRUE(line.Simplify(0.75F / 6371.0F, maxGap));
    ASSERT_LT(line.PointCount(), 101u);
    EXPECT_EQ(line.Points().front().pen, 3);
    EXPECT_EQ(line.Points().front().kind, 1u);
    EXPECT_NEAR(UnitVectorToLonLat(line.Points().back().Position()).lat, 0.1F, 1e-6);
    for (std::size_t i = 1; i < line.PointCount(); ++i) {
        const double gap = UnitCourseAndDistance(line.Points()[i - 1].Position(),
                                                 line.Points()[i].Position())
                               .distance;
        EXPECT_LE(gap, maxGap + 0.0011) << i;
        EXPECT_EQ(line.Points()[i].kind, 1u);
    }

    // A sharp corner survives a coarse tolerance; each half beside it keeps
    // its own farthest point.
    CMapPolyElement corner;
    for (int i = 0; i <= 10; ++i) corner.AddPoint(0.01F * i, 0.0F, 0, 1);
    for (int i = 1; i <= 10; ++i) corner.AddPoint(0.1F, 0.01F * i, 0, 1);
    ASSERT_TRUE(corner.Simplify(0.005F, 0.0F));
    ASSERT_EQ(corner.PointCount(), 5u);
    const LonLat kept = UnitVectorToLonLat(corner.Points()[2].Position());
    EXPECT_NEAR(kept.lon, 0.1F, 1e-6);
    EXPECT_NEAR(kept.lat, 0.0F, 1e-6);
}

// The square 0.10..0.20 in both, clockwise or anticlockwise in (lon, lat).
CMapPolyElement Square(bool reversed) {
    std::vector<LonLat> corners{{0.10F, 0.10F}, {0.20F, 0.10F}, {0.20F, 0.20F}, {0.10F, 0.20F}};
    if (reversed) std::reverse(corners.begin(), corners.end());
    return Outline(corners, true);
}

// Angular distance of p from the great circle through a and b.
double FromGreatCircle(const UnitVector& p, const UnitVector& a, const UnitVector& b) {
    const double nx = a.y * b.z - a.z * b.y, ny = a.z * b.x - a.x * b.z, nz = a.x * b.y - a.y * b.x;
    const double n = std::sqrt(nx * nx + ny * ny + nz * nz);
    return std::asin(std::fabs((nx * p.x + ny * p.y + nz * p.z) / n));
}

TEST(MapPolyElementTest, WindingOfBothSenses) {
    CMapPolyElement forward = Square(false);
    CMapPolyElement backward = Square(true);
    const int a = forward.ComputeWinding();
    const int b = backward.ComputeWinding();
    EXPECT_NE(a, 0);
    EXPECT_EQ(a, -b);
    // An open outline has no winding.
    EXPECT_EQ(Outline({{0.1F, 0.1F}, {0.2F, 0.1F}, {0.2F, 0.2F}}, false).ComputeWinding(), 0);
}

TEST(MapPolyElementTest, PrepareZoneOffsetsEveryEdgeOutwardByTheMargin) {
    const float margin = 0.01F;
    for (const bool reversed : {false, true}) {
        const CMapPolyElement original = Square(reversed);
        CMapPolyElement zone = original;
        zone.PrepareZone(margin);
        ASSERT_EQ(zone.PointCount(), original.PointCount());
        EXPECT_TRUE(zone.IsClosed());
        for (std::size_t i = 0; i + 1 < zone.PointCount(); ++i) {
            const UnitVector moved = zone.Points()[i].Position();
            // Outside the original, at the margin from both edges it joins.
            const LonLat p = UnitVectorToLonLat(moved);
            EXPECT_FALSE(original.ZoneTest(Fix(p.lon, p.lat), 0, 0, kNoTerrain)) << i;
            const std::size_t before = i == 0 ? original.PointCount() - 2 : i - 1;
            const UnitVector v = original.Points()[i].Position();
            EXPECT_NEAR(FromGreatCircle(moved, original.Points()[before].Position(), v), margin,
                        2e-5)
                << i << (reversed ? " reversed" : "");
            EXPECT_NEAR(FromGreatCircle(moved, v, original.Points()[i + 1].Position()), margin,
                        2e-5)
                << i << (reversed ? " reversed" : "");
        }
        // The offset outline contains the original.
        EXPECT_TRUE(zone.ZoneTest(Fix(0.10, 0.10), 0, 0, kNoTerrain) ||
                    zone.ZoneTest(Fix(0.1001, 0.1001), 0, 0, kNoTerrain));
        EXPECT_GT(zone.bounds.east, original.bounds.east);
    }
}

TEST(MapPolyElementTest, ASpikeStaysFinite) {
    // The outline goes out to (0.3, 0.15) and straight back.
    CMapPolyElement zone = Outline({{0.10F, 0.10F}, {0.20F, 0.10F}, {0.20F, 0.15F}, {0.30F, 0.15F},
                                    {0.20F, 0.15F}, {0.20F, 0.20F}, {0.10F, 0.20F}},
                                   true);
    zone.PrepareZone(0.01F);
    for (const MapPoint& p : zone.Points()) {
        const LonLat ll = UnitVectorToLonLat(p.Position());
        EXPECT_TRUE(std::isfinite(ll.lon) && std::isfinite(ll.lat));
        EXPECT_LT(std::fabs(ll.lon - 0.2), 0.2);
        EXPECT_LT(std::fabs(ll.lat - 0.15), 0.2);
    }
}

TEST(MapPolyElementTest, CircleOutlinesAppendAsPoints) {
    CMapCircleElement circle;
    circle.centre = ToUnitVector(-7.0 * kRadiansPerDegree, 46.0 * kRadiansPerDegree);
    circle.radiusKm = 10.0F;
    CMapPolyElement poly;
    ASSERT_TRUE(poly.AddCircleOutline(circle, 10.0F, 2, 1));
    EXPECT_EQ(poly.PointCount(), circle.GenerateOutline(10.0F).size());
    EXPECT_EQ(poly.Points()[0].pen, 2);
}

}  // namespace
}  // namespace mapdata
