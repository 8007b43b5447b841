// Limits, outlines, arcs and boxes of one airspace.
#include "tools/tandrel/airspace.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tandrel {
namespace {

struct AltitudeCase {
    const char* text;
    double value;
    double agl;
    bool zeroAgl;
    bool recognised;
};

TEST(ParseAltitude, ReadsEveryFormAndRefusesTheRest) {
    const AltitudeCase cases[] = {
        {"FL000", 0, -1, true, true},          {"FL180", 18000, -1, false, true},
        {"3000AGL", 3000, 3000, false, true},  {"0AGL", 0, 0, true, true},
        {"2000AMSL", 2000, -1, false, true},   {"0AMSL", 0, -1, true, true},
        {"SURFACE", 0, 0, true, true},         {"GND", 0, 0, true, true},
        {"UNLTD", 100000, -1, false, true},    {"BY NOTAM", -1, -1, false, false},
        {"FLXYZ", -1, -1, false, false},       {"", -1, -1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Altitude a = ParseAltitude(c.text);
        EXPECT_EQ(a.value, c.value);
        EXPECT_EQ(a.agl, c.agl);
        EXPECT_EQ(a.zeroAgl, c.zeroAgl);
        EXPECT_EQ(a.recognised, c.recognised);
    }
}

TEST(AirspaceLimits, AnUnreadableLimitTakesTheSafeSide) {
    CAirspace a(AirspaceKind::kControl);
    a.SetLimits(ParseAltitude("BY NOTAM"), ParseAltitude("UNKNOWN"));
    EXPECT_EQ(a.bottom, 0.0);
    EXPECT_EQ(a.top, 100000.0);
    EXPECT_FALSE(a.zeroAgl);  // not claimed to reach the ground
    EXPECT_TRUE(a.unreadableLimit);

    CAirspace b(AirspaceKind::kControl);
    b.SetLimits(ParseAltitude("FL000"), ParseAltitude("FL180"));
    EXPECT_EQ(b.top, 18000.0);
    EXPECT_TRUE(b.zeroAgl);
    EXPECT_FALSE(b.unreadableLimit);
}

CAirspace::ShapeFields Straight(const char* lat1, const char* lon1, const char* lat2, const char* lon2) {
    return {"G", lat1, lon1, lat2, lon2, "", "", ""};
}

TEST(AirspaceOutline, StraightLinesNeedTheirNumbersAndCrossTheMeridian) {
    CAirspace a(AirspaceKind::kControl);
    a.AddBoundaryLine(Straight("", "179.5", "10", "179.5"));  // first latitude missing
    EXPECT_TRUE(a.Segments().empty());

    a.AddBoundaryLine(Straight("10", "179.0", "10", "179.5"));
    a.AddBoundaryLine(Straight("x", "x", "10.5", "-179.5"));  // only the second point is read
    ASSERT_EQ(a.Segments().size(), 3U);
    EXPECT_EQ(a.MeridianState(), 1);
    EXPECT_EQ(a.Segments()[2].point.longitude, 180.5);
    EXPECT_EQ(a.Box().east, 180.5);
    EXPECT_EQ(a.Box().south, 10.0);
    EXPECT_EQ(a.Box().north, 10.5);
}

TEST(AirspaceOutline, ArcsAgreeWithAnIndependentGeodesic) {
    const auto& wgs84 = GeographicLib::Geodesic::WGS84();
    // A clockwise arc of 10 degrees round (47, 8) at about 10 nm.
    double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0, unused = 0;
    wgs84.Direct(47.0, 8.0, 40.0, 18520.0, lat1, lon1, unused);
    wgs84.Direct(47.0, 8.0, 50.0, 18520.0, lat2, lon2, unused);
    const auto text = [](double v) { return std::to_string(v); };
    CAirspace a(AirspaceKind::kControl);
    a.AddBoundaryLine({"R", text(lat1), text(lon1), text(lat2), text(lon2), "47", "8", "10"});
    ASSERT_EQ(a.Segments().size(), 2U);
    const AirspaceSegment& arc = a.Segments()[1];
    ASSERT_EQ(arc.kind, AirspaceSegment::Kind::kArc);
    EXPECT_TRUE(arc.clockwise);
    EXPECT_NEAR(arc.startBearing, 40.0, 1e-4);
    EXPECT_NEAR(arc.endBearing, 50.0, 1e-4);
    EXPECT_NEAR(arc.radiusNm * 1852.0, 18520.0, 0.5);

    double s12 = 0, azi1 = 0, azi2 = 0;
    wgs84.Inverse(47.0, 8.0, arc.mid.latitude, arc.mid.longitude, s12, azi1, azi2);
    EXPECT_NEAR(azi1, 45.0, 1e-4);
    EXPECT_NEAR(s12, 18520.0, 1.0);

    // The arc's end is its second point, to a metre.
    wgs84.Inverse(lat2, lon2, arc.point.latitude, arc.point.longitude, s12, azi1, azi2);
    EXPECT_LT(s12, 1.0);
}

TEST(AirspaceOutline, AnArcCentredOnItsOwnPointIsAStraightLine) {
    CAirspace a(AirspaceKind::kControl);
    a.AddBoundaryLine({"L", "47", "8", "47.1", "8.1", "47", "8", "5"});
    ASSERT_EQ(a.Segments().size(), 2U);
    EXPECT_EQ(a.Segments()[1].kind, AirspaceSegment::Kind::kPoint);
    EXPECT_EQ(a.brokenArcs, 1);

    CAirspace b(AirspaceKind::kControl);
    b.AddBoundaryLine({"L", "47", "8", "47.1", "8.1", "47.05", "8.05", ""});  // radius field empty
    EXPECT_TRUE(b.Segments().empty());
}

TEST(AirspaceOutline, ACircleSetsItsBoxAndLabelPointButNoLastPoint) {
    CAirspace a(AirspaceKind::kSpecialUse);
    a.AddBoundaryLine({"C", "", "", "", "", "46", "7", "5"});
    ASSERT_EQ(a.Segments().size(), 1U);
    EXPECT_NEAR(a.Box().north - 46.0, 5.0 / 60.0, 0.001);
    EXPECT_NEAR(46.0 - a.Box().south, 5.0 / 60.0, 0.001);
    EXPECT_EQ(*a.LabelPoint(), (core::GeoPoint{46.0, 7.0}));
}

TEST(AirspaceOutline, TheLabelPointCountsAClosingPointOnce) {
    CAirspace a(AirspaceKind::kControl);
    a.AddBoundaryLine(Straight("0", "0", "0", "2"));
    a.AddBoundaryLine(Straight("", "", "2", "2"));
    a.AddBoundaryLine(Straight("", "", "0", "0"));  // back to the start
    EXPECT_EQ(*a.LabelPoint(), (core::GeoPoint{2.0 / 3.0, 4.0 / 3.0}));
    EXPECT_FALSE(CAirspace(AirspaceKind::kControl).LabelPoint());
}

TEST(AirspaceBox, BandsAcrossTheBoxOverlapIt) {
    core::GeoBox user;
    user.Extend(core::GeoPoint{40, 0});
    user.Extend(core::GeoPoint{50, 10});
    const auto box = [](double s, double w, double n, double e) {
        core::GeoBox b;
        b.Extend(core::GeoPoint{s, w});
        b.Extend(core::GeoPoint{n, e});
        return b;
    };
    EXPECT_TRUE(box(42, -5, 44, 15).Intersects(user));   // latitude inside, longitude beyond both edges
    EXPECT_TRUE(box(35, 2, 55, 4).Intersects(user));     // the transposed band
    EXPECT_TRUE(box(50, 10, 51, 11).Intersects(user));   // touching corners
    EXPECT_FALSE(box(51, 0, 52, 10).Intersects(user));
    EXPECT_TRUE(ReachesBeyond(box(39, 0, 50, 10), user));
    EXPECT_FALSE(ReachesBeyond(box(41, 1, 49, 9), user));
}

}  // namespace
}  // namespace tandrel
