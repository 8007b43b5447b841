#include "map/alarm_zone_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/settings_values.h"
#include "gps/settings_values.h"
#include "map/settings_values.h"
#include "platform/settings_store.h"

namespace map {
namespace {

constexpr char kSection[] = "Settings\\AlarmZones";

TEST(AlarmZoneOptions, QnhInHectopascalSetsTheCorrectionOnlyWhenChanged) {
    core::g_unitPressure = 1;
    gps::g_qnhInches = 30.10F;
    platform::SettingsStore store("");
    const AlarmZoneOptions shown = AlarmZoneOptions::FromRunning();
    EXPECT_EQ(shown.qnh, 10193);
    shown.Apply(store, shown);
    EXPECT_TRUE(std::isnan(gps::g_typedQnhCorrection.load()));
    EXPECT_EQ(gps::g_stopAutoQnh, 0);

    AlarmZoneOptions typed = shown;
    typed.qnh = 10132;
    typed.Apply(store, shown);
    EXPECT_NEAR(gps::g_qnhInches, 29.92F, 0.001F);
    EXPECT_NEAR(gps::g_typedQnhCorrection, 0.0F, 0.5F);
    EXPECT_EQ(gps::g_stopAutoQnh, 1);
    gps::g_stopAutoQnh = 0;
    gps::g_typedQnhCorrection = std::nanf("");
    core::g_unitPressure = 0;
}

TEST(AlarmZoneOptions, OnlyAChangedHorizontalGuardRebuildsTheEnlargedZones) {
    // The guards are put back afterwards: a guard left set would enlarge the
    // zones every later map read in this program makes.
    const float horGuard = g_horGuardNm;
    const float altGuardAbove = g_altGuardAbove;
    const float transitionAltitude = core::g_transitionAltitude;
    core::g_unitDist = 2;
    core::g_unitAlt = 1;
    g_horGuardNm = 500.0F / 1852.0F;
    core::g_transitionAltitude = 18000.0F;
    int builds = 0;
    SetBuildEnlargedZones([&builds] { ++builds; });
    platform::SettingsStore store("");
    const AlarmZoneOptions shown = AlarmZoneOptions::FromRunning();
    EXPECT_FLOAT_EQ(shown.horGuard, 500.0F);
    EXPECT_FLOAT_EQ(shown.transitionAltitude, 5486.0F);
    EXPECT_FLOAT_EQ(shown.TransitionRange().maximum, 10000.0F);
    shown.Apply(store, shown);
    EXPECT_EQ(builds, 0);
    EXPECT_FLOAT_EQ(core::g_transitionAltitude, 18000.0F);
    EXPECT_EQ(store.GetString(kSection, "transitionAltitude", std::string_view()), "18000.0");

    AlarmZoneOptions changed = shown;
    changed.horGuard = 600.0F;
    changed.altGuardAbove = 100.0F;
    changed.Apply(store, shown);
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(store.GetString(kSection, "HorGuard", std::string_view()), "0.32397");
    EXPECT_NEAR(g_altGuardAbove, 328.08F, 0.01F);
    SetBuildEnlargedZones(nullptr);
    core::g_unitDist = 0;
    core::g_unitAlt = 0;
    g_horGuardNm = horGuard;
    g_altGuardAbove = altGuardAbove;
    core::g_transitionAltitude = transitionAltitude;
}

}  // namespace
}  // namespace map
