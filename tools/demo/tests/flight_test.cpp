// The demonstration flight's geometry and its sentences.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/demo/demo_files.h"
#include "tools/demo/demo_region.h"
#include "tools/demo/flight_path.h"
#include "tools/flight_text/sentence_epochs.h"
#include "testing/units.h"
#include "tools/demo/tests/demo_flight.h"

namespace demo {
namespace {

using test_support::kMetresPerSecondPerKnot;

using flight_text::ChecksumValid;
using flight_text::Epoch;
using flight_text::SplitEpochs;


TEST(DemoFlight, PhasesComeInOrderOverAboutSeventyFiveMinutes) {
    const Flight& f = TheDemoFlight();
    const FlightEvents& e = f.events;
    const std::vector<int> order{e.takeOff,         e.release,         e.thermalStart[0],
                                 e.thermalEnd[0],   e.start,           e.thermalStart[1],
                                 e.thermalEnd[1],   e.zoneEntry,       e.zoneExit,
                                 e.turnpoint1,      e.thermalStart[2], e.thermalEnd[2],
                                 e.turnpoint2,      e.finish,          e.landing,
                                 e.stopped};
    for (std::size_t i = 1; i < order.size(); ++i) EXPECT_LT(order[i - 1], order[i]) << i;
    EXPECT_EQ(e.takeOff, 205);  // three minutes standing, then the roll
    EXPECT_NEAR(e.release - e.takeOff, 8 * 60, 30);
    EXPECT_NEAR(f.samples.size() / 60.0, 75.0, 4.0);  // about 75 minutes
    // Released 700 m over the field.
    EXPECT_NEAR(f.samples[e.release - 1].altitudeM - Airfields().front().elevationM, 700.0, 5.0);
    EXPECT_NEAR(e.arrivalAboveHomeM, 150.0, 25.0);
    // Standing still at the end, on the ground.
    for (std::size_t i = e.stopped; i < f.samples.size(); ++i) {
        EXPECT_TRUE(f.samples[i].onGround);
        EXPECT_EQ(std::hypot(f.samples[i].groundEastMs, f.samples[i].groundNorthMs), 0.0);
    }
}

TEST(DemoFlight, EveryTaskZoneIsReachedByTheTasksRules) {
    const Flight& f = TheDemoFlight();
    const Task& task = TheTask();
    const double leg1 = BearingDeg(task.start, task.turnpoint1);
    // The start line: crossed in the direction of the first leg, within its width.
    const auto along = [&](LocalPoint p) {
        const double b = leg1 * 3.14159265358979 / 180.0;
        return (p.east - task.start.east) * std::sin(b) + (p.north - task.start.north) * std::cos(b);
    };
    const FlightSample& before = f.samples[f.events.start - 1];
    const FlightSample& after = f.samples[f.events.start];
    EXPECT_LT(along(before.at), 0.0);
    EXPECT_GE(along(after.at), 0.0);
    EXPECT_LT(DistanceKm(task.start, after.at), task.startLineWidthKm / 2.0);
    // Each cylinder entered after the one before.
    const auto firstInside = [&](LocalPoint centre, double radius, int from) {
        for (std::size_t i = from; i < f.samples.size(); ++i)
            if (DistanceKm(centre, f.samples[i].at) < radius) return static_cast<int>(i);
        return -1;
    };
    const int tp1 = firstInside(task.turnpoint1, task.turnpointRadiusKm, f.events.start);
    const int tp2 = firstInside(task.turnpoint2, task.turnpointRadiusKm, tp1);
    const int finish = firstInside(task.finish, task.finishRadiusKm, tp2);
    EXPECT_EQ(tp1, f.events.turnpoint1);
    EXPECT_EQ(tp2, f.events.turnpoint2);
    EXPECT_EQ(finish, f.events.finish);
    EXPECT_FALSE(f.samples[finish].onGround);
}

TEST(DemoFlight, CrossesOneZoneInsideItsBandPassesUnderAnotherEndsNearAThird) {
    const Flight& f = TheDemoFlight();
    const auto& zones = Zones();
    const auto inBand = [](const Zone& z, const FlightSample& s) {
        return InsideOutline(z, s.at) && s.altitudeM >= z.floorM && s.altitudeM <= z.ceilingM;
    };
    int first = -1, seconds = 0;
    bool under = false;
    for (const FlightSample& s : f.samples) {
        if (inBand(zones[0], s)) {
            if (first < 0) first = s.second;
            ++seconds;
        }
        EXPECT_FALSE(inBand(zones[1], s)) << s.second;
        EXPECT_FALSE(inBand(zones[3], s)) << s.second;
        if (InsideOutline(zones[1], s.at)) {
            under = true;
            EXPECT_LT(s.altitudeM, zones[1].floorM - 500.0);
        }
    }
    EXPECT_EQ(first, f.events.zoneEntry);
    EXPECT_NEAR(seconds, 120, 20);  // about two minutes
    EXPECT_TRUE(under);
    // The landing lies within a few km of the control zone, outside it.
    const LocalPoint landed = f.samples.back().at;
    EXPECT_FALSE(InsideOutline(zones[2], landed));
    EXPECT_LT(DistanceKm(zones[2].centre, landed) - zones[2].radiusKm, 6.0);
}

TEST(DemoFlight, ClearsTheRidgeOnTheFinalGlide) {
    const Flight& f = TheDemoFlight();
    double lowest = 1e9;
    for (int i = f.events.turnpoint2; i < f.events.finish; ++i) {
        const FlightSample& s = f.samples[i];
        if (TerrainHeightM(s.at) > 1000.0) lowest = std::min(lowest, s.altitudeM - TerrainHeightM(s.at));
    }
    EXPECT_LT(lowest, 1e9);  // it does fly over the ridge
    EXPECT_GT(lowest, 100.0);
}

// Mean ground velocity over whole turns of a thermal, which is the drift.
TEST(DemoFlight, CirclesDriftWithTheWind) {
    const Flight& f = TheDemoFlight();
    const LocalPoint wind = WindVelocityMs();
    for (int t = 0; t < 3; ++t) {
        const int from = f.events.thermalStart[t] + 5;
        double turned = 0.0;
        int to = from;
        for (int i = from + 1; i < f.events.thermalEnd[t]; ++i) {
            double d = f.samples[i].headingDeg - f.samples[i - 1].headingDeg;
            d = std::remainder(d, 360.0);
            turned += std::fabs(d);
            if (turned >= 720.0 && std::fabs(std::remainder(turned, 360.0)) < 3.0) to = i;
        }
        ASSERT_GT(to, from) << t;
        const double seconds = to - from;
        const double east = (f.samples[to].at.east - f.samples[from].at.east) * 1000.0 / seconds;
        const double north = (f.samples[to].at.north - f.samples[from].at.north) * 1000.0 / seconds;
        EXPECT_LT(std::hypot(east - wind.east, north - wind.north) / kMetresPerSecondPerKnot, 1.0) << t;
    }
}

// The sentences as written: checksums, order, and the closure of true
// airspeed, ground velocity and wind at the sentences' own resolution.
TEST(DemoFlight, SentencesCloseAirspeedGroundVelocityAndWind) {
    const Flight& f = TheDemoFlight();
    const std::vector<Epoch> epochs = SplitEpochs(FlightSentences(f));
    ASSERT_EQ(epochs.size(), f.samples.size());
    const LocalPoint wind = WindVelocityMs();
    int gsa = 0;
    std::string lastSatellites;
    int satelliteChanges = 0;
    for (std::size_t i = 0; i < epochs.size(); ++i) {
        const Epoch& epoch = epochs[i];
        ASSERT_GE(epoch.lines.size(), 3U);
        for (const std::string& line : epoch.lines) EXPECT_TRUE(ChecksumValid(line)) << line;
        EXPECT_TRUE(epoch.lines[0].starts_with("$PTAS1,"));
        EXPECT_TRUE(epoch.lines[1].starts_with("$GPRMC,"));
        EXPECT_TRUE(epoch.lines[2].starts_with("$GPGGA,"));
        if (epoch.lines.size() == 4) {
            ++gsa;
            EXPECT_EQ(i % 10, 0U);
            const std::string satellites = epoch.lines[3].substr(10, 26);
            if (!lastSatellites.empty() && satellites != lastSatellites) ++satelliteChanges;
            lastSatellites = satellites;
        }
        ASSERT_TRUE(epoch.utc);
        if (i > 0) {
            EXPECT_EQ(*epoch.utc, *epochs[i - 1].utc + 1);
        }

        float vario = 0, average = 0, pressure = 0, tas = 0, speed = 0, track = 0, altitude = 0;
        ASSERT_EQ(std::sscanf(epoch.lines[0].c_str(), "$PTAS1,%f,%f,%f,%f", &vario, &average,
                              &pressure, &tas), 4);
        ASSERT_EQ(std::sscanf(epoch.lines[1].c_str(),
                              "$GPRMC,%*[^,],A,%*[^,],%*c,%*[^,],%*c,%f,%f", &speed, &track), 2);
        ASSERT_EQ(std::sscanf(epoch.lines[2].c_str(),
                              "$GPGGA,%*[^,],%*[^,],%*c,%*[^,],%*c,1,%*d,%*f,%f", &altitude), 1);
        const double t = track * 3.14159265358979 / 180.0;
        const double airEast = speed * std::sin(t) - wind.east / kMetresPerSecondPerKnot;
        const double airNorth = speed * std::cos(t) - wind.north / kMetresPerSecondPerKnot;
        EXPECT_NEAR(std::hypot(airEast, airNorth), tas, 0.5) << i;
        // Pressure altitude 30 m below the GPS altitude.
        EXPECT_NEAR((pressure - 2000.0) / 3.2808, altitude - 30.0, 0.5) << i;
        EXPECT_NEAR((vario - 200.0) / 10.0, f.samples[i].varioMs / kMetresPerSecondPerKnot, 0.06) << i;
    }
    EXPECT_EQ(gsa, static_cast<int>((epochs.size() + 9) / 10));
    EXPECT_EQ(satelliteChanges, 2);
}

}  // namespace
}  // namespace demo
