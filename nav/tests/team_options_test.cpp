#include "nav/team_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "nav/team_code.h"
#include "platform/settings_store.h"

namespace nav {
namespace {

TEST(TeamOptions, AnglesSplitIntoFieldsAndJoinBack) {
    const double tenThirty = 10.5 * std::numbers::pi / 180.0;
    const AngleFields f = SplitAngle(-tenThirty);
    EXPECT_TRUE(f.negative);
    EXPECT_EQ(f.degrees, 10);
    EXPECT_EQ(f.minutes, 30);
    EXPECT_DOUBLE_EQ(f.seconds, 0.0);
    EXPECT_DOUBLE_EQ(JoinAngle(89, 0, 30), 89.0 + 30.0 / 3600.0);  // beyond 89: refused by the page
    const AngleFields g = SplitAngle(JoinAngle(47, 12, 59.97) * std::numbers::pi / 180.0);
    EXPECT_EQ(g.degrees, 47);
    EXPECT_EQ(g.minutes, 13);  // 59.97 s shows as the next minute
    EXPECT_NEAR(g.seconds, 0.0, 1e-9);
}

TEST(TeamOptions, TypedCodesAreMarkersOrFourDigitKeys) {
    struct Case {
        const wchar_t* typed;
        int convention;
        const wchar_t* code;
        bool refused;
    };
    for (const Case c : {Case{L"* seeyou  *", 1, L"* SEEYOU  *", false},
                         Case{L"* KOR_VAN *", 0, L"* KOR_VAN *", false},
                         Case{L"* WINPILOT *", 2, L"* WINPILOT *", false},
                         Case{L"ab-c9z", 3, L"ABC9", false},
                         Case{L"", 1, L"* SEEYOU  *", true},
                         Case{L"--", 1, L"* SEEYOU  *", true}}) {
        const CheckedTeamCode checked = CheckTeamCode(c.typed);
        EXPECT_EQ(checked.convention, c.convention) << c.typed;
        EXPECT_EQ(checked.code, c.code) << c.typed;
        EXPECT_EQ(checked.refused, c.refused) << c.typed;
    }
    EXPECT_EQ(CleanTypedTeamCode(L"x1y2z3"), L"X1Y2");
}

TEST(TeamOptions, ApplyInstallsOneSnapshotAndWritesIt) {
    platform::SettingsStore store("");
    TeamOptions o = TeamOptions::FromRunning();
    o.enable = 1;
    o.code = L"";
    o.lonWest = -10.5 * std::numbers::pi / 180.0;
    o.wptName = L"Centre";
    o.Apply(store);
    const TeamSettings& s = CurrentTeamCoder()->Settings();
    EXPECT_EQ(s.encodeInfo, 1);
    EXPECT_EQ(s.lastCode, L"* SEEYOU  *");
    EXPECT_NEAR(s.centerLon, -0.18326, 1e-5);
    EXPECT_EQ(store.GetString("Settings\\teamFlight", "lastCode", std::string_view()), "* SEEYOU  *");
    EXPECT_EQ(ReadTeamSettings(store, TeamSettings{}).wptName, L"Centre");
    SetTeamSettings(TeamSettings{});
}

}  // namespace
}  // namespace nav
