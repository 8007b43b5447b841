#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>

#include "map/alarm_zone_check.h"
#include "map/alarm_zone_thread.h"
#include "fix/first_fix.h"
#include "gps/nav_fix.h"
#include "map/settings_values.h"
#include "nav/current_position.h"
#include "mapdata/map_circle_element.h"
#include "mapdata/map_poly_element.h"
#include "testing/wait_until.h"
#include "testing/units.h"

namespace map {
namespace {

using test_support::kRadiansPerDegree;

namespace ef = mapdata::element_flag;
using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

mapdata::UnitVector Unit(double latDeg, double lonWestDeg) {
    const nav::WaypointRecord r(latDeg, lonWestDeg, true);
    return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.z)};
}

// A filled circle zone of radiusKm, 1000 to 5000 ft.
std::unique_ptr<mapdata::CMapCircleElement> Circle(double lat, double lon, float radiusKm) {
    auto c = std::make_unique<mapdata::CMapCircleElement>();
    c->centre = Unit(lat, lon);
    c->radiusKm = radiusKm;
    c->fillStyle = 1;
    c->flags = ef::kZone;
    c->lowerAltitude = 1000.0F;
    c->upperAltitude = 5000.0F;
    c->ComputeBounds();
    return c;
}

// A square zone of half side `half` degrees around (lat, lon).
std::unique_ptr<mapdata::CMapPolyElement> Square(double lat, double lon, double half) {
    auto p = std::make_unique<mapdata::CMapPolyElement>();
    const double corners[][2] = {{lat - half, lon - half}, {lat - half, lon + half},
                                 {lat + half, lon + half}, {lat + half, lon - half}};
    for (const auto& c : corners) {
        p->AddPoint(static_cast<float>(c[1] * kRadiansPerDegree), static_cast<float>(c[0] * kRadiansPerDegree), 0, 0);
    }
    p->PrepareZone(0.0F);
    p->ComputeBounds();
    return p;
}

nav::WaypointRecord FixAt(double lat, double lon, float altitude = 3000.0F) {
    nav::WaypointRecord r(lat, lon, true);
    r.altitude = altitude;
    r.altitudeKnown = true;
    return r;
}

TEST(AlarmPass, HitAcknowledgeAndLapseAfterHoldOutside) {
    mapdata::ElementList zones;
    zones.push_back(Circle(47.0, 8.0, 5.0F));
    mapdata::CMapElement& zone = *zones[0];
    const Clock::time_point t0{};
    AlarmVerdict v = RunAlarmPass(zones, FixAt(47.0, 8.0), {}, mapdata::kNoTerrain, t0);
    EXPECT_TRUE(v.active);
    EXPECT_EQ(v.zone, &zone);
    EXPECT_NE(zone.flags & ef::kInside, 0U);

    zone.flags |= ef::kAcknowledged;
    v = RunAlarmPass(zones, FixAt(47.0, 8.0), {}, mapdata::kNoTerrain, t0 + 10s);
    EXPECT_FALSE(v.active);
    EXPECT_EQ(v.zone, &zone);
    EXPECT_NE(zone.flags & ef::kInside, 0U);

    // Outside: the acknowledgement holds 180 s after the last hit.
    v = RunAlarmPass(zones, FixAt(48.0, 8.0), {}, mapdata::kNoTerrain, t0 + 100s);
    EXPECT_EQ(v.zone, nullptr);
    EXPECT_EQ(zone.flags & ef::kInside, 0U);
    EXPECT_NE(zone.flags & ef::kAcknowledged, 0U);
    RunAlarmPass(zones, FixAt(48.0, 8.0), {}, mapdata::kNoTerrain, t0 + 190s);
    EXPECT_NE(zone.flags & ef::kAcknowledged, 0U);
    RunAlarmPass(zones, FixAt(48.0, 8.0), {}, mapdata::kNoTerrain, t0 + 191s);
    EXPECT_EQ(zone.flags & ef::kAcknowledged, 0U);
}

TEST(AlarmPass, SecondZoneInsideAnAcknowledgedOneRaisesTheAlarm) {
    mapdata::ElementList zones;
    zones.push_back(Circle(47.0, 8.0, 50.0F));
    zones.push_back(Square(47.1, 8.0, 0.05));
    zones[0]->flags |= ef::kAcknowledged;
    AlarmVerdict v = RunAlarmPass(zones, FixAt(47.0, 8.0), {}, mapdata::kNoTerrain, {});
    EXPECT_FALSE(v.active);
    EXPECT_EQ(v.zone, zones[0].get());
    v = RunAlarmPass(zones, FixAt(47.1, 8.0), {}, mapdata::kNoTerrain, {});
    EXPECT_TRUE(v.active);
    EXPECT_EQ(v.zone, zones[1].get());
    EXPECT_NE(zones[0]->flags & ef::kInside, 0U);
    EXPECT_NE(zones[1]->flags & ef::kInside, 0U);
}

TEST(AlarmPass, GuardsTerrainAndUntestedZones) {
    mapdata::ElementList zones;
    zones.push_back(Circle(47.0, 8.0, 5.0F));
    struct Case {
        float altitude;
        AlarmGuards guards;
        float terrain;
        bool hit;
    };
    const Case cases[] = {
        {5100.0F, {}, mapdata::kNoTerrain, false},
        {5100.0F, {0.0F, 200.0F}, mapdata::kNoTerrain, true},
        {900.0F, {}, mapdata::kNoTerrain, false},
        {900.0F, {200.0F, 0.0F}, mapdata::kNoTerrain, true},
        {900.0F, {}, 500.0F, false},  // no ground limits: the band still counts
    };
    for (const Case& c : cases) {
        const AlarmVerdict v =
            RunAlarmPass(zones, FixAt(47.0, 8.0, c.altitude), c.guards, c.terrain, {});
        EXPECT_EQ(v.zone != nullptr, c.hit) << c.altitude;
    }
    zones[0]->flags |= ef::kNotTested;
    EXPECT_EQ(RunAlarmPass(zones, FixAt(47.0, 8.0), {}, mapdata::kNoTerrain, {}).zone, nullptr);
}

TEST(AlarmPass, GroundLimitsNeedTheTerrainElseTheBandCounts) {
    // Floor 1000 ft above ground, or 1000 ft on the band without terrain.
    mapdata::ElementList zones;
    zones.push_back(Circle(47.0, 8.0, 5.0F));
    zones[0]->limitB = 1000.0F;
    struct Case {
        float altitude;
        float terrain;
        float guardBelow;
        bool hit;
    };
    const Case cases[] = {
        {1800.0F, 1000.0F, 0.0F, false},             // 800 ft above the ground
        {1800.0F, 1000.0F, 300.0F, true},            // within the guard below
        {2100.0F, 1000.0F, 0.0F, true},              // 1100 ft above the ground
        {1800.0F, mapdata::kNoTerrain, 0.0F, true},  // no terrain: 1000 to 5000 ft
        {900.0F, mapdata::kNoTerrain, 0.0F, false},
    };
    for (const Case& c : cases) {
        const AlarmVerdict v =
            RunAlarmPass(zones, FixAt(47.0, 8.0, c.altitude), {c.guardBelow, 0.0F}, c.terrain, {});
        EXPECT_EQ(v.zone != nullptr, c.hit) << c.altitude << " over " << c.terrain;
    }
}

TEST(ZoneAltitude, PressureAltitudeOnlyFromASourceThatHasIt) {
    struct Case {
        bool usePressure;
        bool known;
        std::uint32_t source;
        float expected;
    };
    const Case cases[] = {
        {true, true, 2, 4000.0F}, {false, true, 2, 3000.0F},
        {false, false, 2, 4000.0F}, {true, true, 0, 3000.0F},
    };
    for (const Case& c : cases) {
        nav::WaypointRecord fix = FixAt(47.0, 8.0, 3000.0F);
        fix.altitudeKnown = c.known;
        ChooseZoneAltitude(fix, c.usePressure, c.source, 4000.0F);
        EXPECT_EQ(fix.altitude, c.expected);
    }
}

TEST(EnlargedZones, OnChangedAndOff) {
    mapdata::ElementList zones;
    zones.push_back(Circle(47.0, 8.0, 5.0F));
    zones.push_back(Square(47.5, 8.0, 0.05));
    zones.push_back(Circle(46.0, 8.0, 5.0F));
    zones[2]->flags |= ef::kNotTested;  // switched off for good
    const double sourceTop = zones[1]->bounds.north;
    std::int32_t counter = 1;

    BuildEnlargedZones(zones, 1.0F, counter);
    ASSERT_EQ(zones.size(), 6U);
    EXPECT_EQ(counter, 4);
    for (std::size_t i = 0; i < 6; i += 2) {
        EXPECT_NE(zones[i]->flags & ef::kNotTested, 0U);
        EXPECT_NE(zones[i + 1]->flags & ef::kEnlargedCopy, 0U);
        EXPECT_EQ(zones[i]->zoneSerial, zones[i + 1]->zoneSerial);
    }
    EXPECT_EQ(zones[1]->flags & ef::kNotTested, 0U);
    EXPECT_NE(zones[5]->flags & ef::kNotTested, 0U);  // the copy stays off
    const auto& circleCopy = static_cast<const mapdata::CMapCircleElement&>(*zones[1]);
    EXPECT_NEAR(circleCopy.radiusKm, 5.0F + 1.852F, 1e-4F);
    const double margin = 1.852 / 6371.0 * 180.0 / 3.14159265358979;  // degrees
    EXPECT_NEAR(zones[3]->bounds.north - sourceTop, margin, margin * 0.01);

    // A changed guard remakes the copies; no new serials.
    BuildEnlargedZones(zones, 2.0F, counter);
    ASSERT_EQ(zones.size(), 6U);
    EXPECT_EQ(counter, 4);
    EXPECT_NEAR(static_cast<const mapdata::CMapCircleElement&>(*zones[1]).radiusKm, 5.0F + 3.704F, 1e-4F);
    EXPECT_NEAR(zones[3]->bounds.north - sourceTop, 2.0 * margin, margin * 0.02);

    BuildEnlargedZones(zones, 0.0F, counter);
    ASSERT_EQ(zones.size(), 3U);
    EXPECT_EQ(zones[0]->flags & ef::kNotTested, 0U);
    EXPECT_EQ(zones[1]->flags & ef::kNotTested, 0U);
    EXPECT_NE(zones[2]->flags & ef::kNotTested, 0U);
    for (const auto& z : zones) EXPECT_EQ(z->zoneSerial, 0);
    EXPECT_DOUBLE_EQ(zones[1]->bounds.north, sourceTop);
}

TEST(ZoneAltitude, TheLiveFixTakesTheSettingThePublishedPressureAltitudeAndTheTerrain) {
    struct Case {
        int setting;
        bool known;
        bool pressureKnown;
        float expected;
    };
    const Case cases[] = {
        {0, true, true, 3000.0F}, {1, true, true, 4000.0F},
        {0, false, true, 4000.0F}, {1, true, false, 3000.0F},
    };
    const nav::WaypointRecord saved = nav::g_mapFix;
    for (const Case& c : cases) {
        nav::g_mapFix = FixAt(47.0, 8.0, 3000.0F);
        nav::g_mapFix.altitudeKnown = c.known;
        g_pressureAltForZones = c.setting;
        gps::ChangeNav([&](gps::NavSnapshot& nav) {
            nav.pressureKnown = c.pressureKnown;
            nav.pressureAltitude = 4000.0F;
        });
        gps::g_terrainElevation = 1200.0F;
        const AlarmFixInput input = ReadLiveAlarmFix();
        EXPECT_EQ(input.fix.altitude, c.expected) << c.setting << c.known << c.pressureKnown;
        EXPECT_EQ(input.fix.altitudeKnown, c.known || c.pressureKnown);
        EXPECT_EQ(input.terrain, 1200.0F);
    }
    nav::g_mapFix = saved;
    g_pressureAltForZones = 0;
    gps::ChangeNav([&](gps::NavSnapshot& nav) {
        nav.pressureKnown = false;
        nav.pressureAltitude = 0.0F;
    });
    gps::g_terrainElevation = gps::kUnknownTerrain;
}

AlarmSources FastSources(std::atomic<bool>& haveFix, nav::WaypointRecord fix) {
    AlarmSources s;
    s.haveFix = [&haveFix] { return haveFix.load(); };
    s.readFix = [fix] { return AlarmFixInput{fix, mapdata::kNoTerrain}; };
    s.guards = [] { return AlarmGuards{}; };
    s.period = 1ms;
    return s;
}

TEST(AlarmThread, ExitCodesAndVerdict) {
    std::atomic<bool> haveFix{false};
    mapdata::ElementList empty;
    {
        AlarmZoneThread t(empty, FastSources(haveFix, FixAt(47.0, 8.0)));
        t.Start();
        t.Stop();
        EXPECT_EQ(t.ExitCode(), 3);
    }
    mapdata::ElementList zones;
    zones.push_back(Circle(47.0, 8.0, 5.0F));
    AlarmZoneThread t(zones, FastSources(haveFix, FixAt(47.0, 8.0)));
    t.Start();
    std::this_thread::sleep_for(5ms);
    t.Stop();
    EXPECT_EQ(t.ExitCode(), 4);
    EXPECT_TRUE(t.Finished());

    haveFix = true;
    t.Start();
    test_support::WaitUntil([&t] { return t.alarmActive.load() != 0; });
    EXPECT_EQ(t.alarmActive.load(), 1);
    EXPECT_EQ(t.alarmedZone.load(), zones[0].get());
    t.Stop();
    EXPECT_EQ(t.ExitCode(), 5);
}

}  // namespace
}  // namespace map
