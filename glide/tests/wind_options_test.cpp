#include "glide/wind_options.h"

#include <gtest/gtest.h>

#include <string>

#include "core/settings_values.h"
#include "gps/settings_values.h"
#include "platform/settings_store.h"

namespace glide {
namespace {

constexpr char kWinds[] = "Settings\\Winds";

class WindOptionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        core::g_unitSpeed = 0;
        gps::g_windMethod = gps::WindMethod::kHeading;
        gps::g_windComputeOn = 1;
        gps::g_windMinimumSpeed = 10.0F;
        gps::g_windMinimumTurn = 20.0F;
    }
    void TearDown() override { core::g_unitSpeed = 0; }
    platform::SettingsStore store_{""};
};

TEST_F(WindOptionsTest, KilometresPerHourShowTheMinimumSpeedAndItsBounds) {
    core::g_unitSpeed = 2;
    WindOptions o = WindOptions::FromRunning();
    EXPECT_FLOAT_EQ(o.minimumSpeed, 18.5F);
    EXPECT_FLOAT_EQ(o.SpeedMinimum(), 9.2F);
    EXPECT_FLOAT_EQ(o.SpeedMaximum(), 92.6F);
    o.Apply(store_);  // as shown: the running knots stay
    EXPECT_FLOAT_EQ(gps::g_windMinimumSpeed, 10.0F);
    EXPECT_EQ(store_.GetString(kWinds, "MinimumSOGstr", std::string_view()), "10.0");
    o.minimumSpeed = 37.0F;
    o.Apply(store_);
    EXPECT_NEAR(gps::g_windMinimumSpeed, 19.98F, 0.01F);
    EXPECT_EQ(store_.GetString(kWinds, "MinimumSOGstr", std::string_view()), "20.0");
}

TEST_F(WindOptionsTest, TheInstrumentMethodTakesNoTrigger) {
    WindOptions o = WindOptions::FromRunning();
    o.method = 5;
    o.Apply(store_);
    EXPECT_EQ(gps::g_windComputeOn, -1);
    EXPECT_EQ(gps::g_windTriggerMask, -1);
    EXPECT_EQ(store_.GetInt(kWinds, "Method", 0), 5U);

    o.method = 4;
    o.computeOn = -1;  // no trigger chosen: each position
    o.Apply(store_);
    EXPECT_EQ(gps::g_windComputeOn, 0);
    EXPECT_EQ(gps::g_windTriggerMask, 3);
}

TEST_F(WindOptionsTest, EachMethodAllowsItsTriggers) {
    struct Case {
        int method;
        int current;
        bool position, heading, airspeed;
        int selected;
    };
    for (const Case c : {Case{0, 2, true, false, false, 0}, Case{2, 1, true, false, true, 2},
                         Case{2, 0, true, false, true, 0}, Case{3, 2, true, true, false, 1},
                         Case{4, -1, true, true, true, 0}, Case{4, 2, true, true, true, 2},
                         Case{5, 1, false, false, false, 1}}) {
        const TriggerChoices t = TriggerChoicesFor(c.method, c.current);
        EXPECT_EQ(t.enabled[0], c.position) << c.method;
        EXPECT_EQ(t.enabled[1], c.heading) << c.method;
        EXPECT_EQ(t.enabled[2], c.airspeed) << c.method;
        EXPECT_EQ(t.selected, c.selected) << c.method << " " << c.current;
    }
}

}  // namespace
}  // namespace glide
