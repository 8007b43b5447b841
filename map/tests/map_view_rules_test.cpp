#include "map/map_view_rules.h"

#include <gtest/gtest.h>

#include <fstream>

#include "mapdata/map_circle_element.h"
#include "testing/comma_locale.h"
#include "testing/scratch_folder.h"

namespace map {
namespace {

TEST(DroppedWaypoint, NameAndNote) {
    EXPECT_EQ(DroppedWaypointName(-11), L"Waypoint    1");
    EXPECT_EQ(DroppedWaypointName(-137), L"Waypoint    127");
    const UtcStamp utc{2026, 7, 4, 9, 5, 3};
    EXPECT_EQ(DroppedWaypointNote(utc, false), L"2026/7/4  9:5:3\r\n");
    EXPECT_EQ(DroppedWaypointNote(utc, true), L"2026/7/4  9:5:3  GL\r\n");
}

TEST(DroppedWaypoint, TheWaypointOfAPointWithGroundLevelOnlyOverKnownTerrain) {
    const UtcStamp utc{2026, 7, 4, 9, 5, 3};
    nav::WaypointRecord point(47.5, -7.25, true);
    const nav::WaypointRecord plain = DroppedWaypoint(point, -12, utc, true);
    EXPECT_TRUE(plain.IsSamePosition(point));
    EXPECT_EQ(plain.name.View(), L"Waypoint    2");
    EXPECT_FALSE(plain.altitudeKnown);
    EXPECT_EQ(plain.attachments.comment, L"2026/7/4  9:5:3\r\n") << "no altitude: no GL";

    point.altitude = 1500.0F;
    point.altitudeKnown = true;
    EXPECT_EQ(DroppedWaypoint(point, -11, utc, false).attachments.comment, L"2026/7/4  9:5:3\r\n");
    const nav::WaypointRecord ground = DroppedWaypoint(point, -11, utc, true);
    EXPECT_EQ(ground.attachments.comment, L"2026/7/4  9:5:3  GL\r\n");
    EXPECT_EQ(ground.altitude, 1500.0F);
}

TEST(DefaultMap, ThreePlacesAndTheEarlierMapIsKeptUnderAFreeName) {
    const test_support::ScratchFolder dir("defmap");
    const auto places = DefaultMapPlaces(dir / "docs", dir / "cwd");
    ASSERT_EQ(places.size(), 3U);
    EXPECT_EQ(places[0], dir / "docs" / "KOR_VAN WinCE" / "!!!def##.map");
    EXPECT_EQ(places[1], dir / "docs" / "!!!def##.map");
    EXPECT_EQ(places[2], dir / "cwd" / "!!!def##.map");

    const auto map = dir / "!!!def##.map";
    const auto holds = [](const std::filesystem::path& p) { return std::filesystem::file_size(p) > 6; };
    EXPECT_FALSE(KeepEarlierDefaultMap(map, holds).keptAs);  // none yet
    dir.Write("!!!def##.map", "header");
    KeepResult kept = KeepEarlierDefaultMap(map, holds);  // empty: replaced later
    EXPECT_TRUE(kept.ok);
    EXPECT_FALSE(kept.keptAs);
    EXPECT_TRUE(std::filesystem::exists(map));

    dir.Write("!!!def##.map", "header\n-11 waypoint");
    dir.Write("!!!def##-1.map", "an older flight");
    kept = KeepEarlierDefaultMap(map, holds);
    ASSERT_TRUE(kept.ok && kept.keptAs);
    EXPECT_EQ(*kept.keptAs, dir / "!!!def##-2.map");
    EXPECT_FALSE(std::filesystem::exists(map));
    std::ifstream older(dir / "!!!def##-1.map");
    std::string text;
    std::getline(older, text);
    EXPECT_EQ(text, "an older flight");
}

TEST(OlcFeed, EveryFixWhileCirclingOtherwiseEveryFiveMinutesAfterAFirst) {
    OlcFeed feed;
    EXPECT_FALSE(feed.HandOver(false, 1000000));  // no hand-over yet
    EXPECT_TRUE(feed.HandOver(true, 1000));
    EXPECT_TRUE(feed.HandOver(true, 2000));
    EXPECT_FALSE(feed.HandOver(false, 302000));
    EXPECT_TRUE(feed.HandOver(false, 302001));
    EXPECT_FALSE(feed.HandOver(false, 302002));
    OlcFeed wrapped;  // the tick count wraps after 49 days
    EXPECT_TRUE(wrapped.HandOver(true, 0xFFFFFF00U));
    EXPECT_TRUE(wrapped.HandOver(false, 300000U));
}

TEST(LiftColour, ClampedAndOddWhenClimbImproves) {
    EXPECT_EQ(LiftColourIndex(0.0F, 0.0F, 0.0F), 20);
    EXPECT_EQ(LiftColourIndex(2.4F, 1.0F, 2.0F), 25);
    EXPECT_EQ(LiftColourIndex(2.5F, 2.0F, 1.0F), 26);
    EXPECT_EQ(LiftColourIndex(-30.0F, 0.0F, 0.0F), 0);
    EXPECT_EQ(LiftColourIndex(30.0F, 0.0F, 1.0F), 41);
}

TEST(ZoneAlarmText, TheBandInThePilotsUnitThenTheNote) {
    mapdata::CMapCircleElement zone;
    zone.lowerAltitude = 0.0F;
    zone.upperAltitude = 3281.0F;
    zone.note = L"TMA Example";
    EXPECT_EQ(ZoneAlarmText(zone, false), L"Alt: 0-3281ft\r\nTMA Example");
    EXPECT_EQ(ZoneAlarmText(zone, true), L"Alt: 0-1000m\r\nTMA Example");
}

TEST(AlarmHold, FlagsBySetting) {
    EXPECT_EQ(AlarmHoldFlags(false, true).zone, kZoneAcknowledged);
    EXPECT_EQ(AlarmHoldFlags(true, false).zone, kZoneOff);
    const HoldFlags hidden = AlarmHoldFlags(true, true);
    EXPECT_EQ(hidden.zone, kZoneOff | kZoneHidden);
    EXPECT_EQ(hidden.linked, kZoneHidden);
    EXPECT_TRUE(hidden.redraw);
}

TEST(GlideModeButton, ReplayHoldWhileReplayingOtherwiseToggleOnRelease) {
    EXPECT_EQ(GlideModeButton(kGlideReplayRunning, true).replayHold, true);
    EXPECT_EQ(GlideModeButton(kGlideReplayRunning, false).replayHold, false);
    EXPECT_FALSE(GlideModeButton(kGlideReplayRunning, false).postPolarToggle);
    for (int icon : {kGlidePolar, kGlideNoPolar, kGlideConstantSpeed}) {
        EXPECT_FALSE(GlideModeButton(icon, true).postPolarToggle);
        EXPECT_TRUE(GlideModeButton(icon, false).postPolarToggle);
        EXPECT_FALSE(GlideModeButton(icon, false).replayHold);
    }
}

TEST(InitCoordinate, SixDecimalsInTheCLocale) {
    EXPECT_EQ(InitCoordinateText(47.1234567), "47.123457");
    EXPECT_EQ(InitCoordinateText(-8.5), "-8.500000");
    const test_support::CommaLocale comma;
    if (comma.Active()) {
        EXPECT_EQ(InitCoordinateText(47.5), "47.500000");
    }
}

}  // namespace
}  // namespace map
