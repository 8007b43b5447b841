#include "core/utm.h"
#include "testing/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace core {
namespace {

using test_support::kRadiansPerDegree;

constexpr double kEarthRadius = 6371000;  // metres, to express angle errors

UtmParameters International1924() {
    const double f = 1.0 / 297;
    return UtmParameters(0.9996, std::sqrt(2 * f - f * f), 297, 6378388);
}

// Restores the built-in parameters after a test that sets others.
struct BuiltInParametersAfterwards {
    ~BuiltInParametersAfterwards() { SetUtmParameters(UtmParameters()); }
};

struct Reference {
    std::string ellipsoid;
    int zone;
    double latitude, lonEast, easting, northing;
};

// Points projected by an independent implementation; see the file's header.
std::vector<Reference> LoadReference() {
    std::ifstream in(KV_SOURCE_DIR "/core/tests/data/utm_reference.txt");
    std::vector<Reference> points;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Reference r;
        fields >> r.ellipsoid >> r.zone >> r.latitude >> r.lonEast >> r.easting >> r.northing;
        points.push_back(r);
    }
    return points;
}

// Checks both directions for the reference points on one ellipsoid, with
// the process-wide parameters, and prints the largest errors.
void CheckAgainstReference(const std::string& ellipsoid) {
    double worstForward = 0, worstReverse = 0;
    int count = 0;
    for (const Reference& r : LoadReference()) {
        if (r.ellipsoid != ellipsoid) continue;
        ++count;
        SCOPED_TRACE(::testing::Message() << r.latitude << ' ' << r.lonEast);
        const UtmPosition utm = LatLonToUTM(r.latitude, -r.lonEast, AngleUnit::kDegrees);
        EXPECT_EQ(utm.zone, r.zone);
        const double forward =
            std::max(std::fabs(utm.easting - r.easting), std::fabs(utm.northing - r.northing));
        EXPECT_LT(forward, 1e-3);

        const auto back = UTMToLatLon(r.zone, r.northing, r.easting, AngleUnit::kDegrees);
        if (!back) {
            ADD_FAILURE() << "zone refused";
            continue;
        }
        const double dLat = (back->latitude - r.latitude) * kRadiansPerDegree * kEarthRadius;
        const double dLon =
            (-back->lonWest - r.lonEast) * kRadiansPerDegree * kEarthRadius * std::cos(r.latitude * kRadiansPerDegree);
        const double reverse = std::hypot(dLat, dLon);
        EXPECT_LT(reverse, 1e-3);
        worstForward = std::max(worstForward, forward * 1000);
        worstReverse = std::max(worstReverse, reverse * 1000);
    }
    EXPECT_GT(count, 0) << ellipsoid;
    std::printf("%s: largest errors forward %.3g mm, reverse %.3g mm over %d points\n",
                ellipsoid.c_str(), worstForward, worstReverse, count);
}

TEST(Utm, AgreesWithReferenceInBothDirections) {
    CheckAgainstReference("wgs84");
}

TEST(Utm, SetParametersRecomputesTheDerivedConstants) {
    const UtmParameters builtIn = GetUtmParameters();
    EXPECT_EQ(builtIn.CenterScaleFactor(), 0.9996);
    EXPECT_EQ(builtIn.SemiMajorAxis(), 6378137.0);
    EXPECT_NEAR(builtIn.EccentricitySquared(), 0.0066943799902, 1e-13);
    EXPECT_NEAR(builtIn.ThirdFlattening(), 0.00167922038638, 1e-14);
    EXPECT_NEAR(builtIn.MetresPerDegree(), 111132.95254791953, 1e-8);

    const BuiltInParametersAfterwards restore;
    SetUtmParameters(International1924());
    const UtmParameters set = GetUtmParameters();
    EXPECT_EQ(set.InverseFlattening(), 297);
    EXPECT_DOUBLE_EQ(set.ThirdFlattening(), 1.0 / 593);
    CheckAgainstReference("intl");
}

TEST(Utm, NamedPoints) {
    struct Case {
        double latitude, lonWest;
        int zone;
        double easting, northing;
    } const cases[] = {
        {0, -3, 31, 500000, 0},                      // on the central meridian at the equator
        {-10, -20, -34, 390399.2275, 8894421.4108},  // south: false northing added
        // Flinders Peak, the worked example of the geodetic datum manual.
        {-(37 + 57 / 60.0 + 3.7203 / 3600), -(144 + 25 / 60.0 + 29.5244 / 3600), -55, 273741.297,
         5796489.777},
        {0, 0, 30, 833978.557, 0},  // a zone boundary belongs to the western zone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latitude);
        const UtmPosition utm = LatLonToUTM(c.latitude, c.lonWest, AngleUnit::kDegrees);
        EXPECT_EQ(utm.zone, c.zone);
        EXPECT_NEAR(utm.easting, c.easting, 1e-3);
        EXPECT_NEAR(utm.northing, c.northing, 1e-3);
    }
}

TEST(Utm, AnglesInRadiansAndWholeTurns) {
    const UtmPosition degrees = LatLonToUTM(47.5, -12.25, AngleUnit::kDegrees);
    for (const double lonWest : {-12.25, -12.25 + 360, -12.25 - 720}) {
        const UtmPosition radians = LatLonToUTM(47.5 * kRadiansPerDegree, lonWest * kRadiansPerDegree, AngleUnit::kRadians);
        EXPECT_EQ(radians.zone, degrees.zone);
        EXPECT_NEAR(radians.easting, degrees.easting, 1e-6);
        EXPECT_NEAR(radians.northing, degrees.northing, 1e-6);
    }
    const auto back =
        UTMToLatLon(degrees.zone, degrees.northing, degrees.easting, AngleUnit::kRadians);
    ASSERT_TRUE(back.has_value());
    EXPECT_NEAR(back->latitude, 47.5 * kRadiansPerDegree, 1e-10);
    EXPECT_NEAR(back->lonWest, -12.25 * kRadiansPerDegree, 1e-10);
}

TEST(Utm, NonFinitePositionGivesNoZone) {
    const UtmPosition utm = LatLonToUTM(std::nan(""), 3, AngleUnit::kDegrees);
    EXPECT_EQ(utm.zone, 0);
    EXPECT_FALSE(std::isfinite(utm.easting));
    EXPECT_EQ(LatLonToUTM(10, INFINITY, AngleUnit::kDegrees).zone, 0);
}

TEST(UtmToLatLon, SouthernZoneRemovesTheFalseNorthing) {
    // Zone 33's central meridian is 15 degrees east.
    for (const auto& [zone, northing] : {std::pair{-33, 10000000.0}, std::pair{33, 0.0}}) {
        const auto p = UTMToLatLon(zone, northing, 500000, AngleUnit::kDegrees);
        ASSERT_TRUE(p.has_value());
        EXPECT_NEAR(p->latitude, 0, 1e-12);
        EXPECT_NEAR(p->lonWest, -15, 1e-12);
    }
    const auto south = UTMToLatLon(-33, 6000000, 400000, AngleUnit::kDegrees);
    ASSERT_TRUE(south.has_value());
    EXPECT_LT(south->latitude, -30);
}

TEST(UtmToLatLon, ZonesOutsideOneToSixtyAreRefused) {
    for (const int zone : {0, 61, -61, 1000, INT_MIN, INT_MAX})
        EXPECT_FALSE(UTMToLatLon(zone, 5000000, 500000, AngleUnit::kDegrees).has_value()) << zone;
    for (const int zone : {1, 60, -1, -60})
        EXPECT_TRUE(UTMToLatLon(zone, 5000000, 500000, AngleUnit::kDegrees).has_value()) << zone;
}

}  // namespace
}  // namespace core
