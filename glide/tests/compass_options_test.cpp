#include "glide/compass_options.h"

#include <gtest/gtest.h>

#include <string>

#include "core/settings_values.h"
#include "gps/settings_values.h"
#include "platform/settings_store.h"

namespace glide {
namespace {

constexpr char kCompass[] = "Settings\\Compass";

TEST(CompassOptions, KilometresPerHourShowConvertedSpeedsAndTheirRanges) {
    core::g_unitSpeed = 2;
    gps::g_speedMaximum = 85.0F;
    gps::g_speedTolerance = 3.0F * 3600.0F;
    gps::g_turnTolerance = 3.0F * 3600.0F;
    CompassOptions o = CompassOptions::FromRunning();
    EXPECT_FLOAT_EQ(o.speedMaximum, 157.4F);
    EXPECT_FLOAT_EQ(o.speedTolerance, 5.6F);
    EXPECT_FLOAT_EQ(o.SpeedMaximumRange().maximum, 240.0F);
    EXPECT_FLOAT_EQ(o.SpeedToleranceRange().maximum, 10.0F);

    platform::SettingsStore store("");
    o.Apply(store);  // as shown: nothing moves by rounding
    EXPECT_FLOAT_EQ(gps::g_speedMaximum, 85.0F);
    EXPECT_EQ(store.GetString(kCompass, "SpeedMaximum", std::string_view()), "85.0");
    EXPECT_EQ(store.GetString(kCompass, "SpeedTolerance", std::string_view()), "3.00");

    o.speedMaximum = 185.2F;
    o.turnTolerance = 2.5F;
    o.Apply(store);
    EXPECT_NEAR(gps::g_speedMaximum, 100.0F, 1e-3F);
    EXPECT_FLOAT_EQ(gps::g_turnTolerance, 9000.0F);
    EXPECT_EQ(store.GetString(kCompass, "TurnTolerance", std::string_view()), "2.5");
    core::g_unitSpeed = 0;
}

}  // namespace
}  // namespace glide
