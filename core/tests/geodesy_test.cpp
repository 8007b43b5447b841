#include "core/geodesy.h"

#include <gtest/gtest.h>
#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "testing/units.h"

namespace core {
namespace {

using test_support::kRadiansPerDegree;

constexpr double kMetresPerNm = 1852.0;
constexpr double kArcSecond = kRadiansPerDegree / 3600;

double Dms(double d, double m, double s) {
    return (d + m / 60 + s / 3600) * kRadiansPerDegree;
}

// Smallest difference of two courses, in arc seconds.
double CourseErrorArcSec(double a, double b) {
    return std::fabs(std::remainder(a - b, 2 * g_pi)) / kArcSecond;
}

const GeographicLib::Geodesic& Oracle() {
    return GeographicLib::Geodesic::WGS84();
}

TEST(GeodesyAngles, BringAnglesIntoRange) {
    struct Case {
        double (*fn)(double);
        double in;
        double out;
    };
    const Case cases[] = {
        {ModCourse, -0.5, 2 * g_pi - 0.5},
        {ModCourse, 2 * g_pi + 1, 1},
        {ModLongitude, g_pi, -g_pi},
        {ModLongitude, 1.5 * g_pi, -0.5 * g_pi},
        {ModLongitude, -3.5 * g_pi, 0.5 * g_pi},
        {ModLatitude, 0.25, 0.25},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.fn(c.in), c.out, 1e-12) << c.in;
    EXPECT_DOUBLE_EQ(FloorMod(-7, 3), 2);
}

// Vincenty's test line (1975), Flinders Peak to Buninyong.
TEST(Geodesic, FlindersPeakToBuninyong) {
    const double lat1 = -Dms(37, 57, 3.72030), lon1 = Dms(144, 25, 29.52440);
    const double lat2 = -Dms(37, 39, 10.15610), lon2 = Dms(143, 55, 35.38390);
    const double course = Dms(306, 52, 5.37), reverse = Dms(127, 10, 25.07);

    const GeodesicInverseResult inv = g_ellipsoid.GeodesicInverse(lat1, lon1, lat2, lon2, true);
    ASSERT_TRUE(inv.valid);
    EXPECT_NEAR(inv.distance * kMetresPerNm, 54972.271, 0.001);
    EXPECT_LT(CourseErrorArcSec(inv.course12, course), 0.01);
    EXPECT_LT(CourseErrorArcSec(inv.course21, reverse), 0.01);

    const GeodesicDirectResult dir =
        g_ellipsoid.GeodesicDirect(lat1, lon1, course, 54972.271 / kMetresPerNm, true);
    EXPECT_NEAR(dir.latitude / kRadiansPerDegree, lat2 / kRadiansPerDegree, 1e-8);
    EXPECT_NEAR(dir.lonEast / kRadiansPerDegree, lon2 / kRadiansPerDegree, 1e-8);
    EXPECT_LT(CourseErrorArcSec(dir.reverseCourse, reverse), 0.01);
}

TEST(Geodesic, EquatorAndQuarterMeridian) {
    const double a = g_ellipsoid.SemiMajorAxis();
    const auto equator = g_ellipsoid.GeodesicInverse(0, 0, 0, 1, true);
    EXPECT_NEAR(equator.distance * kMetresPerNm, a * kMetresPerNm, 1e-5);
    EXPECT_NEAR(equator.course12, g_pi / 2, 1e-12);
    const auto meridian = g_ellipsoid.GeodesicInverse(0, 0.3, g_pi / 2, 0.3, true);
    EXPECT_NEAR(meridian.distance * kMetresPerNm, 10001965.729, 0.001);
}

struct OracleErrors {
    double distanceMm = 0;
    double courseArcSec = 0;
    void Note(double mm, double arcSec) {
        distanceMm = std::max(distanceMm, mm);
        courseArcSec = std::max(courseArcSec, arcSec);
    }
};

// A random point, uniform over the sphere, in degrees.
struct RandomPoints {
    std::mt19937_64 engine{20240601};
    std::uniform_real_distribution<double> unit{-1, 1};
    double Latitude() { return std::asin(unit(engine)) / kRadiansPerDegree; }
    double Longitude() { return 180 * unit(engine); }
};

TEST(Geodesic, InverseAgreesWithGeographicLib) {
    RandomPoints random;
    OracleErrors errors;
    int nearAntipodal = 0, failed = 0;
    for (int i = 0; i < 3000; ++i) {
        const double lat1 = random.Latitude(), lon1 = random.Longitude();
        double lat2 = random.Latitude(), lon2 = random.Longitude();
        if (i % 10 == 0) {  // within a few degrees of the antipode
            lat2 = std::clamp(-lat1 + 3 * random.unit(random.engine), -90.0, 90.0);
            lon2 = lon1 + 180 + 3 * random.unit(random.engine);
        }
        double s12, azi1, azi2;
        Oracle().Inverse(lat1, lon1, lat2, lon2, s12, azi1, azi2);
        const auto ours =
            g_ellipsoid.GeodesicInverse(lat1 * kRadiansPerDegree, lon1 * kRadiansPerDegree, lat2 * kRadiansPerDegree, lon2 * kRadiansPerDegree, true);
        SCOPED_TRACE(::testing::Message() << lat1 << ' ' << lon1 << ' ' << lat2 << ' ' << lon2);
        if (s12 > 19000e3) {
            // Near the antipode the iteration may stop at its cap; it must
            // then say so. When it converges it must be right.
            ++nearAntipodal;
            if (!ours.valid) {
                ++failed;
                continue;
            }
        }
        ASSERT_TRUE(ours.valid);
        const double mm = std::fabs(ours.distance * kMetresPerNm - s12) * 1000;
        const double arcSec = std::max(CourseErrorArcSec(ours.course12, azi1 * kRadiansPerDegree),
                                       CourseErrorArcSec(ours.course21, azi2 * kRadiansPerDegree + g_pi));
        EXPECT_LT(mm, 0.5);
        EXPECT_LT(arcSec, 0.01);
        errors.Note(mm, arcSec);
    }
    std::printf(
        "inverse: largest errors %.3g mm, %.3g arcsec; %d near-antipodal, %d reported "
        "not converged\n",
        errors.distanceMm, errors.courseArcSec, nearAntipodal, failed);
    EXPECT_GT(nearAntipodal, 100);
}

TEST(Geodesic, DirectAgreesWithGeographicLib) {
    RandomPoints random;
    std::uniform_real_distribution<double> distance(0, 19000e3);
    OracleErrors errors;
    for (int i = 0; i < 2000; ++i) {
        const double lat1 = random.Latitude(), lon1 = random.Longitude();
        const double course = 180 * (random.unit(random.engine) + 1), s = distance(random.engine);
        double lat2, lon2, azi2;
        Oracle().Direct(lat1, lon1, course, s, lat2, lon2, azi2);
        const auto ours = g_ellipsoid.GeodesicDirect(lat1 * kRadiansPerDegree, lon1 * kRadiansPerDegree, course * kRadiansPerDegree,
                                                     s / kMetresPerNm, true);
        double apart;
        Oracle().Inverse(lat2, lon2, ours.latitude / kRadiansPerDegree, ours.lonEast / kRadiansPerDegree, apart);
        SCOPED_TRACE(::testing::Message() << lat1 << ' ' << lon1 << ' ' << course << ' ' << s);
        const double arcSec = CourseErrorArcSec(ours.reverseCourse, azi2 * kRadiansPerDegree + g_pi);
        EXPECT_LT(apart * 1000, 0.5);
        EXPECT_LT(arcSec, 0.01);
        errors.Note(apart * 1000, arcSec);
    }
    std::printf("direct: largest errors %.3g mm, %.3g arcsec\n", errors.distanceMm,
                errors.courseArcSec);
}

// Every message is an "Alert" box with no owner, on top.
std::vector<std::wstring> AlertTexts(const platform::RecordingMessageBoxSink& sink) {
    std::vector<std::wstring> texts;
    for (const auto& box : sink.Boxes()) {
        EXPECT_EQ(box.caption, L"Alert");
        EXPECT_EQ(box.style, platform::mb::kTopmost);
        EXPECT_EQ(box.owner, nullptr);
        texts.push_back(box.text);
    }
    return texts;
}

TEST(GeodesicInverse, IdenticalPointsAreReportedAndInvalid) {
    platform::ScopedRecordingSink sink;
    const double nextLat = std::nextafter(0.18407359433513704, 1.0);
    struct Case {
        double lat1, lon1, lat2, lon2;
    } const cases[] = {
        {0.5, 1, 0.5, 1},
        {0.5, -g_pi, 0.5, g_pi},  // a whole turn apart
        // Distinct doubles, one point for the series: it would divide 0 by 0.
        {0.18407359433513704, 0.2, nextLat, 0.2},
    };
    for (const Case& c : cases) {
        for (const bool quiet : {true, false}) {
            const auto r = g_ellipsoid.GeodesicInverse(c.lat1, c.lon1, c.lat2, c.lon2, quiet);
            EXPECT_FALSE(r.valid);
            EXPECT_EQ(r.distance, 0);
            EXPECT_EQ(r.course12, 0);
            EXPECT_EQ(r.course21, g_pi);
        }
    }
    const auto texts = AlertTexts(*sink);
    EXPECT_EQ(texts,
              std::vector<std::wstring>(3, L"Points 1 and 2 are identical- course undefined"));
}

TEST(GeodesicInverse, NonFiniteInputGivesTheIdenticalPointsAnswer) {
    const double nan = std::nan("");
    const auto r = g_ellipsoid.GeodesicInverse(nan, 0, 0.1, 0.1, true);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.distance, 0);
    EXPECT_EQ(r.course21, g_pi);
}

TEST(GeodesicInverse, AntipodesAreMovedNorthAndReported) {
    platform::ScopedRecordingSink sink;
    const auto r = g_ellipsoid.GeodesicInverse(0, 0, 0, g_pi, false);
    const auto moved = g_ellipsoid.GeodesicInverse(0.00001, 0, 0, g_pi, true);
    EXPECT_EQ(AlertTexts(*sink),
              std::vector<std::wstring>{L"Course and distance between antipodal points is "
                                        L"undefined"});
    EXPECT_EQ(r.valid, moved.valid);
    EXPECT_EQ(r.distance, moved.distance);
    EXPECT_EQ(r.course12, moved.course12);
    EXPECT_TRUE(std::isfinite(r.distance));
    sink->Clear();
    g_ellipsoid.GeodesicInverse(0, 0, 0, g_pi, true);
    EXPECT_TRUE(sink->Boxes().empty());
}

TEST(GeodesicInverse, NoConvergenceIsReportedWithTheRecord) {
    platform::ScopedRecordingSink sink;
    // Nearly antipodal: the longitude iteration oscillates.
    const auto r = g_ellipsoid.GeodesicInverse(0.1 * kRadiansPerDegree, 0, -0.5 * kRadiansPerDegree, 179.7 * kRadiansPerDegree, false);
    EXPECT_FALSE(r.valid);
    EXPECT_TRUE(std::isfinite(r.distance));
    EXPECT_EQ(AlertTexts(*sink), std::vector<std::wstring>{L"Algorithm did not converge"});
}

TEST(GeodesicDirect, FromThePoleOnlyNorthSouthCoursesAreMeaningful) {
    platform::ScopedRecordingSink sink;
    const auto r = g_ellipsoid.GeodesicDirect(g_pi / 2, 0, 1, 100, false);
    g_ellipsoid.GeodesicDirect(g_pi / 2, 0, 1, 100, true);
    g_ellipsoid.GeodesicDirect(g_pi / 2, 0, g_pi, 100, false);
    EXPECT_EQ(AlertTexts(*sink),
              std::vector<std::wstring>{L"Only N-S courses are meaningful, starting at a pole!"});
    // The computation goes on: 100 nm down a meridian.
    double lat2, lon2, azi2;
    Oracle().Direct(90, 0, 180, 100 * kMetresPerNm, lat2, lon2, azi2);
    EXPECT_NEAR(r.latitude / kRadiansPerDegree, lat2, 1e-8);
}

TEST(GeodesicDirect, AbsurdDistanceEnds) {
    // So many turns that the series steps between two neighbouring doubles
    // further apart than its tolerance: an uncapped loop never ends here.
    const auto r = g_ellipsoid.GeodesicDirect(-1.087, 0, 5.664, 67032417005.0, true);
    EXPECT_TRUE(std::isfinite(r.latitude));
}

TEST(Ellipsoid, OtherEllipsoidsUseTheirOwnAxes) {
    // A sphere of radius 1: a quarter turn along the equator is pi/2.
    const Ellipsoid sphere(1.0, 1e300);
    const auto r = sphere.GeodesicInverse(0, 0, 0, g_pi / 2, true);
    EXPECT_NEAR(r.distance, g_pi / 2, 1e-12);
    const Ellipsoid wgs84;
    EXPECT_DOUBLE_EQ(wgs84.SemiMajorAxis() * kMetresPerNm, 6378137.0);
    EXPECT_NEAR(wgs84.SemiMajorAxis(), 3443.91847, 5e-6);
    EXPECT_EQ(wgs84.InverseFlattening(), 298.257223563);
}

}  // namespace
}  // namespace core
