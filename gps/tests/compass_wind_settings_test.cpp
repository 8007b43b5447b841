#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "gps/compass_settings.h"
#include "gps/wind_settings.h"
#include "gps/settings_values.h"
#include "platform/settings_store.h"

namespace {

// Each test loads from a fresh in-memory store, starting from the built-in
// values.
class CompassWindSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(""));
        gps::g_speedMaximum = 85.0F;
        gps::g_speedMinimum = 40.0F;
        gps::g_speedTolerance = 3.0F * 3600.0F;
        gps::g_turnTolerance = 3.0F * 3600.0F;
        gps::g_correction = 0.0F;
        gps::g_hcHdgTrue = 1;
        gps::g_windMinimumTurn = 20.0F;
        gps::g_windMinimumSpeed = 10.0F;
    }
    void TearDown() override { platform::SetAppSettings(nullptr); }

    platform::SettingsStore& Store() { return platform::AppSettings(); }
};

TEST_F(CompassWindSettingsTest, NothingStoredKeepsTheBuiltInValues) {
    gps::LoadCompassSettings();
    gps::LoadWindSettings();
    EXPECT_EQ(gps::g_speedMaximum, 85.0F);
    EXPECT_EQ(gps::g_speedMinimum, 40.0F);
    EXPECT_EQ(gps::g_speedTolerance, 3.0F * 3600.0F);
    EXPECT_EQ(gps::g_turnTolerance, 3.0F * 3600.0F);
    EXPECT_EQ(gps::g_correction, 0.0F);
    EXPECT_EQ(gps::g_hcHdgTrue, 1);
    EXPECT_EQ(gps::g_windMinimumSpeed, 10.0F);
    EXPECT_EQ(gps::g_windMinimumTurn, 20.0F);
    EXPECT_EQ(gps::g_windMethod, static_cast<gps::WindMethod>(1));
    EXPECT_EQ(gps::g_windComputeOn, 1);
    EXPECT_EQ(gps::g_windTriggerMask, 512);
}

TEST_F(CompassWindSettingsTest, StoredValuesAreReadAndTolerancesHeldPerHour) {
    Store().WriteString("Settings\\Compass", "SpeedMaximum", "90.5");
    Store().WriteString("Settings\\Compass", "TurnTolerance", "2.0");
    Store().WriteString("Settings\\Compass", "SpeedTolerance", "no number");
    Store().WriteString("Settings\\Compass", "Correction", "-4.0");
    Store().WriteInt("Settings\\Compass", "HCHDGtrue", 0);
    Store().WriteInt("Settings\\Winds", "MinimumSOG", 12);
    Store().WriteInt("Settings\\Winds", "MinimumTurn", 200);
    gps::LoadCompassSettings();
    gps::LoadWindSettings();
    EXPECT_EQ(gps::g_speedMaximum, 90.5F);
    EXPECT_EQ(gps::g_turnTolerance, 2.0F * 3600.0F);
    EXPECT_EQ(gps::g_speedTolerance, 3.0F * 3600.0F);
    EXPECT_EQ(gps::g_correction, -4.0F);
    EXPECT_EQ(gps::g_hcHdgTrue, 0);
    EXPECT_EQ(gps::g_windMinimumSpeed, 12.0F);  // the older integer form
    EXPECT_EQ(gps::g_windMinimumTurn, 90.0F);
}

TEST_F(CompassWindSettingsTest, TriggerMaskFollowsMethodAndComputeOn) {
    struct Case {
        int method;
        int computeOn;
        int mask;
        int computeOnAfter;
    };
    const Case cases[] = {{1, -1, -1, -1}, {1, 0, 3, 0},  {1, 1, 512, 1},
                          {4, 2, 256, 2},  {5, 1, -1, 1}, {1, 7, 3, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "method " << c.method << " on " << c.computeOn);
        Store().WriteInt("Settings\\Winds", "Method", static_cast<std::uint32_t>(c.method));
        Store().WriteInt("Settings\\Winds", "ComputeOn", static_cast<std::uint32_t>(c.computeOn));
        gps::LoadWindSettings();
        EXPECT_EQ(gps::g_windTriggerMask, c.mask);
        EXPECT_EQ(gps::g_windComputeOn, c.computeOnAfter);
        EXPECT_EQ(static_cast<int>(Store().GetInt("Settings\\Winds", "ComputeOn", 99)),
                  c.computeOnAfter);
    }
}

}  // namespace
