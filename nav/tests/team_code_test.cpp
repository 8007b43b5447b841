// Team codes in every convention: the documented examples, round trips
// around a centre, the codes nobody can decode, and the settings.
#include "nav/team_code.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <vector>

#include "core/geodesy.h"
#include "platform/settings_store.h"
#include "testing/units.h"

namespace nav {
namespace {

using test_support::kRadiansPerDegree;

constexpr double kCentreLat = 47.0 * kRadiansPerDegree;
constexpr double kCentreLonWest = -8.0 * kRadiansPerDegree;  // 8 degrees east

TeamSettings Centred(int convention, std::wstring key = L"* KOR_VAN *") {
    TeamSettings settings;
    settings.encodeInfo = convention;
    settings.lastCode = std::move(key);
    settings.centerLat = kCentreLat;
    settings.centerLon = kCentreLonWest;
    return settings;
}

// The position at a course (degrees) and distance (nm) from the centre.
TeamPosition Away(double courseDegrees, double nm) {
    const core::GeodesicDirectResult end =
        core::g_ellipsoid.GeodesicDirect(kCentreLat, -kCentreLonWest, courseDegrees * kRadiansPerDegree, nm, true);
    return {-end.lonEast, end.latitude};
}

double NmBetween(const TeamPosition& a, const TeamPosition& b) {
    return core::g_ellipsoid
        .GeodesicInverse(a.latitude, -a.longitude, b.latitude, -b.longitude, true)
        .distance;
}

TEST(TeamDigits, ValuesShiftsAndCleaning) {
    EXPECT_EQ(TeamDigitValue(L'0'), 0);
    EXPECT_EQ(TeamDigitValue(L'Z'), 35);
    EXPECT_EQ(TeamDigitValue(L'a'), -999);
    EXPECT_EQ(TeamDigitChar(35), L'Z');
    EXPECT_EQ(TeamDigitChar(36), L'_');
    EXPECT_EQ(TeamDigitChar(-1), L'_');
    EXPECT_EQ(TeamCodeToValue(L"0Z", 1), 1294);
    EXPECT_EQ(TeamCodeToValue(L"0z", 1), 1294);
    EXPECT_EQ(TeamCodeToValue(L"0*", 0), -999);
    EXPECT_EQ(TeamCodeToValue(L"ZZZZZZZZ", 0), -999);  // beyond the int range
    EXPECT_EQ(TeamCodeFromValue(0, 0), L"0");
    EXPECT_EQ(TeamCodeFromValue(1294, 1), L"0Z");
    EXPECT_EQ(TeamCodeFromValue(0, 1), L"1");
    EXPECT_EQ(CleanTeamCode(L" 9 0c-x!", 3), L"90C");
    EXPECT_EQ(TeamKeyShift(L"1"), 1);
    EXPECT_EQ(TeamKeyShift(std::wstring(200, L'Z')), 35);  // long keys do not overflow
    EXPECT_EQ(TeamKeyShift(L"* KOR_VAN *"), -999);
}

TEST(TeamCodes, TheDocumentedExamples) {
    const TeamCoder own(Centred(0));
    // Near the centre: ring 0, the angle in quarter turns.
    const std::pair<double, const wchar_t*> nearCentre[] = {
        {0.0, L"A0"}, {90.0, L"A1"}, {180.0, L"A2"}, {270.0, L"A3"}, {350.0, L"A4"}};
    for (const auto& [course, code] : nearCentre) {
        const TeamPosition p = Away(course, 0.05);
        EXPECT_EQ(own.Encode(p.longitude, p.latitude), code) << course;
    }
    TeamPosition p = Away(90.0, 0.54);
    EXPECT_EQ(own.Encode(p.longitude, p.latitude), L"B1");
    // Ring 40 and angle 200 (steps of 1/40 radian).
    p = Away(5.0 / kRadiansPerDegree, 40 * 0.54);
    EXPECT_EQ(own.Encode(p.longitude, p.latitude), L"EK B5");

    const TeamCoder base36(Centred(1));
    p = Away(90.01, 1250.0 / 1852.0);
    EXPECT_EQ(base36.Encode(p.longitude, p.latitude), L"9 0C");
    EXPECT_FALSE(base36.Decode(L"9 0").has_value());
    EXPECT_TRUE(base36.Decode(L"9 0C").has_value());

    const TeamCoder grid(Centred(2));
    const TeamPosition origin = *grid.Decode(L"A1 A1 A1 A1");
    EXPECT_EQ(grid.Encode(origin.longitude + 1e-6, origin.latitude), L"???");  // west
    EXPECT_EQ(grid.Encode(origin.longitude - 1e-6, origin.latitude - 1e-6), L"???");  // south
    const TeamPosition cell = *grid.Decode(L"B2 A1 A1 A1");
    EXPECT_EQ(grid.Encode(cell.longitude - 1e-6, cell.latitude + 1e-6).substr(0, 2), L"B2");
    // Five top-level cells north of the centre would need "10".
    p = Away(0.0, 5 * 20480 / 36000.0 * 60.0 + 1.0);
    EXPECT_EQ(grid.Encode(p.longitude, p.latitude), L"???");
    EXPECT_FALSE(grid.Decode(L"???").has_value());
    EXPECT_FALSE(grid.Decode(L"E5 D").has_value());

    EXPECT_EQ(TeamCoder(Centred(7)).Encode(p.longitude, p.latitude), L"???");
}

struct Sweep {
    int convention;
    const wchar_t* key;
    double tolerance;  // nm, plus a share of the distance
    double share;
};

class TeamCodeRoundTrip : public ::testing::TestWithParam<Sweep> {};

TEST_P(TeamCodeRoundTrip, EveryPositionAroundTheCentreDecodesNearItself) {
    const Sweep sweep = GetParam();
    const TeamCoder coder(Centred(sweep.convention, sweep.key));
    for (const double nm : {0.02, 0.3, 1.0, 5.0, 20.0, 60.0}) {
        for (double course = 5.0; course < 360.0; course += 25.0) {
            const TeamPosition p = Away(course, nm);
            const std::wstring code = coder.Encode(p.longitude, p.latitude);
            const auto back = coder.Decode(code);
            ASSERT_TRUE(back.has_value()) << code;
            EXPECT_LE(NmBetween(p, *back), sweep.tolerance + sweep.share * nm)
                << code << " at " << course << " degrees, " << nm << " nm";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Conventions, TeamCodeRoundTrip,
    ::testing::Values(Sweep{0, L"", 0.4, 0.0},           // rings and angles of 0.54 nm
                      Sweep{1, L"", 0.06, 0.005},        // 100 m and 1296 courses
                      Sweep{2, L"", 0.1, 0.0},           // cells of about 120 m
                      Sweep{3, L"1", 0.06, 0.005},       // the key shifts every digit
                      Sweep{3, L"KEY7", 0.06, 0.005}));

TEST(TeamCodes, NoCentreGivesDashesAndNothingDecodes) {
    for (int convention = 0; convention <= 3; ++convention) {
        TeamSettings settings = Centred(convention);
        settings.centerLat = kNoTeamCentre;
        const TeamCoder none(settings);
        EXPECT_EQ(none.Encode(kCentreLonWest, kCentreLat), L"----");
        EXPECT_FALSE(none.Decode(L"A1 A1").has_value());
        settings.centerLat = 89.5 * kRadiansPerDegree;
        EXPECT_EQ(TeamCoder(settings).Encode(kCentreLonWest, kCentreLat), L"----");
        settings.centerLat = std::nan("");
        EXPECT_EQ(TeamCoder(settings).Encode(kCentreLonWest, kCentreLat), L"----");
    }
    // At the centre itself the base-36 course is unknown.
    EXPECT_EQ(TeamCoder(Centred(1)).Encode(kCentreLonWest, kCentreLat), L"----");
    EXPECT_EQ(TeamCoder(Centred(0)).Encode(kCentreLonWest, kCentreLat), L"A0");
}

TEST(TeamSettingsStore, ReadsEightByteCentresAndIgnoresOthers) {
    platform::SettingsStore store{std::filesystem::path()};
    TeamSettings written = Centred(3, L"AB");
    written.grid = 3;
    written.enable = 1;
    written.wptName = L"Home";
    WriteTeamSettings(store, written);
    TeamSettings read = ReadTeamSettings(store, TeamSettings{});
    EXPECT_EQ(read.encodeInfo, 3);
    EXPECT_EQ(read.grid, 3);
    EXPECT_EQ(read.enable, 1);
    EXPECT_EQ(read.lastCode, L"AB");
    EXPECT_EQ(read.wptName, L"Home");
    EXPECT_EQ(read.centerLat, kCentreLat);
    EXPECT_EQ(read.centerLon, kCentreLonWest);
    EXPECT_EQ(TeamCoder(read).Shift(), 11);

    const std::vector<std::uint8_t> four{1, 2, 3, 4};
    store.WriteBinary("Settings\\teamFlight", "centerLat", four);
    TeamSettings defaults;
    defaults.centerLat = 0.25;
    EXPECT_EQ(ReadTeamSettings(store, defaults).centerLat, 0.25);
}

TEST(TeamCodes, TheInstalledSettingsCodeTheOwnPositionAndMakeWaypoints) {
    SetTeamSettings(Centred(1));
    const TeamPosition p = Away(90.01, 1250.0 / 1852.0);
    EXPECT_EQ(ComputeOwnTeamCode(p.longitude, p.latitude), L"9 0C");
    const auto waypoint = TeamCodeToPosition(L"90C");
    ASSERT_TRUE(waypoint.has_value());
    EXPECT_LT(NmBetween({waypoint->record.longitude, waypoint->record.latitude}, p), 0.06);
    EXPECT_EQ(waypoint->record.name.View(), L"90C");
    EXPECT_FALSE(TeamCodeToPosition(L"90").has_value());
    SetTeamSettings(TeamSettings{});
}

}  // namespace
}  // namespace nav
