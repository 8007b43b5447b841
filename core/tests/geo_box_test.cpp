#include "core/geo_box.h"

#include <gtest/gtest.h>

#include <vector>

namespace core {
namespace {

constexpr GeoBox kAlps{6.0, 45.0, 10.0, 47.0};  // west, south, east, north
// Unwrapped across the 180th meridian: from 179 E to 181 E (179 W).
constexpr GeoBox kDateLine{179.0, -10.0, 181.0, -9.0};

TEST(GeoBox, ContainsPointsWithOrWithoutItsEdges) {
    struct Case {
        GeoBox box;
        GeoPoint p;
        bool closed, open;
    };
    for (const Case& c : std::vector<Case>{
             {kAlps, {46.0, 8.0}, true, true},       // inside
             {kAlps, {45.0, 8.0}, true, false},      // on the south edge
             {kAlps, {46.0, 10.0}, true, false},     // on the east edge
             {kAlps, {47.0, 6.0}, true, false},      // the north-west corner
             {kAlps, {46.0, 10.001}, false, false},  // just east
             {kAlps, {46.0, -8.0}, false, false},    // west-positive by mistake
             {kDateLine, {-9.5, 180.0}, true, true},
             {kDateLine, {-9.5, -180.0}, false, false},  // not wrapped
             {kDateLine, {-9.5, -179.5}, false, false},
             {GeoBox{}, {0.0, 0.0}, false, false},  // empty
         }) {
        EXPECT_EQ(c.box.Contains(c.p), c.closed) << c.p.latitude << " " << c.p.longitude;
        EXPECT_EQ(c.box.ContainsInside(c.p), c.open) << c.p.latitude << " " << c.p.longitude;
    }
}

TEST(GeoBox, TouchingBoxesIntersectButDoNotOverlapInside) {
    struct Case {
        GeoBox other;
        bool intersects, overlapsInside;
    };
    for (const Case& c : std::vector<Case>{
             {{8.0, 46.0, 12.0, 48.0}, true, true},    // a corner over
             {{7.0, 45.5, 8.0, 46.0}, true, true},     // within
             {{10.0, 40.0, 12.0, 50.0}, true, false},  // shares the east edge
             {{10.0, 47.0, 11.0, 48.0}, true, false},  // shares a corner
             {{10.5, 45.0, 11.0, 47.0}, false, false}, // east of it
             {{6.0, 47.5, 10.0, 48.0}, false, false},  // north of it
             {GeoBox{}, false, false},                 // empty
         }) {
        EXPECT_EQ(kAlps.Intersects(c.other), c.intersects) << c.other.west << " " << c.other.south;
        EXPECT_EQ(c.other.Intersects(kAlps), c.intersects);
        EXPECT_EQ(kAlps.OverlapsInside(c.other), c.overlapsInside) << c.other.west << " " << c.other.south;
        EXPECT_EQ(c.other.OverlapsInside(kAlps), c.overlapsInside);
    }
    EXPECT_FALSE(GeoBox{}.Intersects(GeoBox{}));
    EXPECT_FALSE(kDateLine.Intersects(GeoBox{-180.0, -10.0, -179.5, -9.0}));  // not wrapped
}

TEST(GeoBox, EmptyUntilExtendedAndUnionIgnoresEmptyBoxes) {
    GeoBox box;
    EXPECT_TRUE(box.IsEmpty());
    box.Extend(GeoPoint{46.0, 8.0});
    EXPECT_FALSE(box.IsEmpty());  // a single point is a box
    EXPECT_EQ(box, GeoBox::Around(GeoPoint{46.0, 8.0}));
    EXPECT_TRUE(box.Contains(GeoPoint{46.0, 8.0}));
    EXPECT_FALSE(box.ContainsInside(GeoPoint{46.0, 8.0}));
    box.Extend(GeoPoint{45.0, 10.0});
    box.Extend(GeoPoint{47.0, 6.0});
    EXPECT_EQ(box, kAlps);

    EXPECT_EQ(Union(kAlps, GeoBox{}), kAlps);
    EXPECT_EQ(Union(GeoBox{}, kAlps), kAlps);
    EXPECT_TRUE(Union(GeoBox{}, GeoBox{}).IsEmpty());
    EXPECT_EQ(Union(kAlps, GeoBox{9.0, 30.0, 12.0, 46.0}), (GeoBox{6.0, 30.0, 12.0, 47.0}));
    EXPECT_TRUE((GeoBox{10.0, 45.0, 6.0, 47.0}).IsEmpty());  // west beyond east

    GeoBox across;  // an outline unwrapped past 180
    across.Extend(GeoPoint{-10.0, 179.5});
    across.Extend(GeoPoint{-9.0, 180.5});
    EXPECT_EQ(across, (GeoBox{179.5, -10.0, 180.5, -9.0}));
    EXPECT_DOUBLE_EQ(across.Width(), 1.0);
    EXPECT_DOUBLE_EQ(across.Height(), 1.0);
}

}  // namespace
}  // namespace core
