// The waypoint record, great-circle course and distance, the proximity state
// and the current-position records.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "core/settings_values.h"
#include "core/waypoint_course.h"
#include "nav/current_position.h"
#include "nav/waypoint_entry.h"
#include "nav/waypoint_proximity.h"
#include "services/shared_locks.h"

namespace nav {
namespace {

constexpr double kPi = std::numbers::pi;

WaypointRecord CoursePointAt(double latDeg, double lonWestDeg) {
    return WaypointRecord(latDeg, lonWestDeg, true);
}

class Variation {
  public:
    explicit Variation(double degrees) : saved_(core::g_magneticVariation.exchange(degrees)) {}
    ~Variation() { core::g_magneticVariation = saved_; }
    Variation(const Variation&) = delete;
    Variation& operator=(const Variation&) = delete;

  private:
    double saved_;
};

TEST(WaypointRecordTest, ConstructionCopyAndPosition) {
    const WaypointRecord record(45.0, -90.0, true);
    EXPECT_NEAR(record.latitude, kPi / 4, 1e-15);
    EXPECT_NEAR(record.longitude, -kPi / 2, 1e-15);
    EXPECT_NEAR(record.x, 0.0, 1e-15);
    EXPECT_NEAR(record.y, std::sqrt(0.5), 1e-15);  // east of Greenwich: y > 0
    EXPECT_NEAR(record.z, std::sqrt(0.5), 1e-15);

    WaypointRecord original = CoursePointAt(1.0, 2.0);
    original.name.Assign(L"A name far longer than the forty-three characters a record keeps");
    EXPECT_EQ(original.name.size(), WaypointName::kCapacity);
    original.attachments.comment = L"note";
    original.attachments.commentLineOffset = 42;
    WaypointRecord copy = original;
    copy.attachments.comment += L" changed";
    EXPECT_EQ(original.attachments.comment, L"note");
    EXPECT_EQ(copy.attachments.commentLineOffset, 42U);

    WaypointRecord moved = CoursePointAt(0.0, 0.0);
    moved.CopyPosition(original);
    EXPECT_TRUE(moved.IsSamePosition(original));
    EXPECT_TRUE(moved.name.empty());
    moved.latitude += 0.99e-7;
    EXPECT_TRUE(moved.IsSamePosition(original));
    moved.latitude += 0.02e-7;
    EXPECT_FALSE(moved.IsSamePosition(original));
}

struct CourseCase {
    const char* label;
    double fromLat, fromLon, toLat, toLon;  // degrees, longitude positive west
    double course;                          // degrees
    double distanceKm;
};

TEST(CourseAndDistanceTest, Courses) {
    const Variation none(0.0);
    const double degreeKm = 6371.0 * kPi / 180.0;
    const std::vector<CourseCase> cases = {
        {"north", 0, 0, 1, 0, 0.0, degreeKm},
        {"south", 1, 0, 0, 0, 180.0, degreeKm},
        {"west on the equator", 0, 0, 0, 1, 270.0, degreeKm},
        {"east on the equator", 0, 0, 0, -1, 90.0, degreeKm},
        {"west across the 180th meridian", 0, 179, 0, -179, 270.0, 2 * degreeKm},
        {"east across the 180th meridian", 0, -179, 0, 179, 90.0, 2 * degreeKm},
        {"identical points", 10, 10, 10, 10, 0.0, 0.0},
        {"antipodes", 0, 0, 0, 180, 0.0, 6371.0 * kPi},
        {"from the north pole", 90, 0, 0, 0, 180.0, 90 * degreeKm},
        {"from the south pole", -90, 0, 0, 30, 0.0, 90 * degreeKm},
    };
    for (const CourseCase& c : cases) {
        SCOPED_TRACE(c.label);
        CourseResult course;
        const float distance = CourseAndDistance(CoursePointAt(c.fromLat, c.fromLon),
                                                 CoursePointAt(c.toLat, c.toLon), &course);
        EXPECT_NEAR(distance, c.distanceKm, 1e-3 * std::max(1.0, c.distanceKm));
        EXPECT_NEAR(course.trueCourseDeg, c.course, 1e-6);
        EXPECT_NEAR(course.magneticCourseDeg, c.course, 1e-6);
        EXPECT_NEAR(course.trueCourseRad, c.course * kPi / 180.0, 1e-8);
    }
}

TEST(CourseAndDistanceTest, MatchesTheHaversineDistanceAndTheEarthRadiusSetting) {
    const WaypointRecord a = CoursePointAt(47.5, -8.25);
    const WaypointRecord b = CoursePointAt(-33.9, 70.5);
    const double dLat = b.latitude - a.latitude;
    const double dLon = b.longitude - a.longitude;
    const double h =
        std::sin(dLat / 2) * std::sin(dLat / 2) +
        std::cos(a.latitude) * std::cos(b.latitude) * std::sin(dLon / 2) * std::sin(dLon / 2);
    EXPECT_NEAR(CourseAndDistance(a, b), 2 * 6371.0 * std::asin(std::sqrt(h)), 0.01);

    const double saved = core::g_earthRadius.exchange(3440.0);  // nautical miles
    EXPECT_NEAR(CourseAndDistance(CoursePointAt(0, 0), CoursePointAt(1, 0)), 3440.0 * kPi / 180.0,
                1e-3);
    core::g_earthRadius = saved;
}

TEST(CourseAndDistanceTest, MagneticVariation) {
    struct Case {
        double variation;
        double from[2];
        double to[2];
        double magnetic;
    };
    const std::vector<Case> cases = {
        {998.0, {0, 0}, {0, -1}, 90.0 - 998.0 + 360.0},  // still subtracted
        {998.5, {0, 0}, {0, -1}, 90.0},                  // no variation known
        {20.0, {0, 0}, {0, -1}, 70.0},
        {100.0, {0, 0}, {0, -1}, 350.0},  // below 0: +360
        {-100.0, {0, 0}, {0, 1}, 10.0},   // above 360: -360
        {-90.0, {0, 0}, {0, 1}, 360.0},   // exactly 360 stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variation);
        const Variation variation(c.variation);
        CourseResult course;
        CourseAndDistance(CoursePointAt(c.from[0], c.from[1]), CoursePointAt(c.to[0], c.to[1]),
                          &course);
        EXPECT_NEAR(course.magneticCourseDeg, c.magnetic, 1e-6);
    }
}

TEST(ProximityTest, EnteringAndLeaving) {
    struct Step {
        float distance;
        int state;
    };
    // Radius 1: outside, entered, inside, left, outside.
    const std::vector<Step> steps = {{5.0F, 2}, {0.5F, 13}, {0.5F, 4}, {5.0F, 11}, {5.0F, 2}};
    int state = 0;
    for (const Step& step : steps) {
        state = NextProximityState(state, step.distance, 1.0F, false);
        EXPECT_EQ(state, step.state) << step.distance;
    }
}

TEST(ProximityTest, ApproachBand) {
    struct Step {
        float distance;
        int state;
    };
    // Radius 1: far; outer part of the band; inner part (band entered); still
    // in it; far again (band left).
    const std::vector<Step> steps = {
        {1.8F, 2}, {1.6F, 2 | 32 | 64}, {1.2F, 2 | 32 | 16}, {1.2F, 2 | 32}, {1.9F, 2 | 16}};
    int state = 0;
    for (const Step& step : steps) {
        state = NextProximityState(state, step.distance, 1.0F, true);
        EXPECT_EQ(state, step.state) << step.distance;
    }
}

TEST(ProximityTest, UpdateMeasuresFromTheCurrentPosition) {
    ResetCurrentPosition(0.0, 0.0);
    g_proximityState = kProximityOutside;
    const int saved = core::g_autoZoomWaypoint.exchange(0);
    float distance = 0.0F;
    const WaypointRecord target = CoursePointAt(0.001, 0.0);
    EXPECT_EQ(UpdateProximityState(target, distance, 1.0F), kProximityChange | kProximityInside);
    EXPECT_NEAR(distance, 6371.0 * 0.001 * kPi / 180.0, 1e-4);
    EXPECT_EQ(g_proximityState, kProximityChange | kProximityInside);
    const platform::CriticalSectionLock lock(core::MapLock);
    EXPECT_NEAR(g_proximityCourse.trueCourseDeg, 0.0, 1e-6);
    core::g_autoZoomWaypoint = saved;
}

TEST(CurrentPositionTest, StartPositionAndDestination) {
    ResetCurrentPosition(0.5, 2.0);
    {
        const platform::CriticalSectionLock lock(core::MapLock);
        g_mapFix.altitude = 1234.0F;
        g_mapFix.altitudeKnown = true;
    }
    MoveCurrentPosition(0.6, 2.1);
    const WaypointRecord fix = CopyMapFix();
    EXPECT_DOUBLE_EQ(fix.latitude, 0.6);
    EXPECT_NEAR(fix.z, std::sin(0.6), 1e-15);
    EXPECT_TRUE(fix.altitudeKnown);  // a move keeps the rest

    SetDestinationToCurrentPosition(L"Start");
    const WaypointRecord destination = CopyDestination();
    EXPECT_EQ(destination.name.View(), L"Start");
    EXPECT_TRUE(destination.IsSamePosition(fix));

    ResetCurrentPosition(0.5, 2.0);
    EXPECT_FALSE(CopyMapFix().altitudeKnown);
}

TEST(WaypointEntryTest, NamesCompareIgnoringCase) {
    CWaypointEntry lower;
    CWaypointEntry upper;
    lower.record.name.Assign(L"lesce \u00e9");
    upper.record.name.Assign(L"LESCE \u00c9");
    EXPECT_EQ(lower.Compare(upper), 0);
    EXPECT_EQ(lower.CompareKey(L'L'), 0);
    EXPECT_LT(CompareWaypointNames(L"[", L"a"), 0);
    EXPECT_LT(CompareWaypointNames(L"[", L"A"), 0);
    EXPECT_LT(CompareWaypointNames(L"Ab", L"abc"), 0);
}

}  // namespace
}  // namespace nav
