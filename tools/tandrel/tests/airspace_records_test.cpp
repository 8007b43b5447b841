// The map records of one airspace.
#include "tools/tandrel/airspace_records.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

#include "core/geodesy.h"

#include "platform/numbers.h"

namespace tandrel {
namespace {

std::string Records(const CAirspace& airspace, const MapStyle& style) {
    std::string out;
    WriteMap(airspace, style, out);
    return out;
}

CAirspace Circle() {
    CAirspace a(AirspaceKind::kSpecialUse);
    a.identifier = "ED-R1";
    a.label = "R1\\RESTRICTED";
    a.SetLimits(ParseAltitude("GND"), ParseAltitude("3000AGL"));
    a.AddBoundaryLine({"C", "", "", "", "", "49.5", "-8.25", "4"});
    return a;
}

TEST(WriteMap, ACircleWithLimitsOffsetsAndFill) {
    MapStyle style;
    style.topOffset = 500;
    style.bottomOffset = 100;
    EXPECT_EQ(Records(Circle(), style),
              ";ED-R1:\r\n"
              "49.5000000,0,0,8.2500000,0,0,-7,;3500,100,,3000,0\r\n"
              "49.5000000,0,0,8.2500000,0,0,-5,R1\\RESTRICTED#!\r\n"
              "49.5000000,0,0,8.2500000,0,0,1,@-7.40800,0,2M\r\n");

    style.fill = true;
    style.borderColour = 0;
    style.wideBorder = true;
    style.noNotes = true;
    style.unitFactor = 1.0;
    const std::string filled = Records(Circle(), style);
    EXPECT_NE(filled.find("-7,;3500,100,H3000,0\r\n"), std::string::npos) << filled;
    // No border colour with fill: the pen is 2, negated for the wide border.
    EXPECT_NE(filled.find("1,@-4.00000,-17,-2,224,224,255M\r\n"), std::string::npos) << filled;
}

TEST(WriteMap, AnOutlineWithArcsShortenedAtTheirEnds) {
    CAirspace a(AirspaceKind::kControl);
    a.identifier = "A1";
    a.label = "A";
    a.SetLimits(ParseAltitude("SURFACE"), ParseAltitude("FL100"));
    a.AddBoundaryLine({"G", "49.0", "9.0", "49.1", "9.0", "", "", ""});
    // A 10-degree clockwise arc round (49, 9), last in the outline.
    constexpr double kDeg = std::numbers::pi / 180.0;
    const auto start = core::g_ellipsoid.GeodesicInverse(49 * kDeg, 9 * kDeg, 49.1 * kDeg, 9 * kDeg, true);
    const auto end = core::g_ellipsoid.GeodesicDirect(49 * kDeg, 9 * kDeg, 10 * kDeg, start.distance, true);
    const std::string endLat = platform::FormatC("%.9f", end.latitude / kDeg);
    const std::string endLon = platform::FormatC("%.9f", end.lonEast / kDeg);
    a.AddBoundaryLine({"R", "49.1", "9.0", endLat, endLon, "49.0", "9.0", "6"});
    ASSERT_EQ(a.Segments().size(), 3U);
    const AirspaceSegment& arc = a.Segments()[2];
    MapStyle style;
    style.borderColour = 5;
    const std::string out = Records(a, style);
    const std::string arcLine = platform::FormatC(
        "49.0000000,0,0,-9.0000000,0,0,-6,#%.4lf,%.4lf,%.4lf,5M\r\n", arc.radiusNm * 1.852,
        arc.startBearing + 2.0, arc.endBearing - 2.0);  // a fifth of the sweep at both ends
    EXPECT_NEAR(arc.endBearing - arc.startBearing, 10.0, 1e-6);
    EXPECT_NE(out.find(arcLine), std::string::npos) << out << "\nwanted " << arcLine;
    // After a last arc: a vertex back at the first point, and the closing
    // record at the arc's untrimmed end.
    const std::string tail = "49.0000000,0,0,-9.0000000,0,0,-1,5\r\n" +
                             platform::FormatC("%.7lf,0,0,%.7lf,0,0,-2\r\n", arc.point.latitude,
                                               -arc.point.longitude);
    EXPECT_TRUE(out.ends_with(tail)) << out;
    EXPECT_NE(out.find("49.0000000,0,0,-9.0000000,0,0,-2\r\n49.1000000,0,0,-9.0000000,0,0,-1,5\r\n"),
              std::string::npos)
        << out;
}

TEST(WriteMap, AFilledOutlineStartsWithItsFillAndAnEmptyAirspaceWritesNothing) {
    CAirspace a(AirspaceKind::kControl);
    a.identifier = "T";
    a.AddBoundaryLine({"B", "1", "2", "1", "3", "", "", ""});
    a.AddBoundaryLine({"B", "", "", "1", "2", "", "", ""});
    MapStyle style;
    style.fill = true;
    style.fillColour = 0x102030;  // COLORREF: red 0x30, green 0x20, blue 0x10
    style.wideBorder = true;
    const std::string out = Records(a, style);
    EXPECT_NE(out.find("1.0000000,0,0,-2.0000000,0,0,-2,99,48,32,16\r\n"
                       "1.0000000,0,0,-3.0000000,0,0,-3,2\r\n"),
              std::string::npos)
        << out;
    EXPECT_TRUE(out.ends_with("1.0000000,0,0,-2.0000000,0,0,-2\r\n")) << out;
    EXPECT_EQ(Records(CAirspace(AirspaceKind::kControl), style), "");
}

}  // namespace
}  // namespace tandrel
