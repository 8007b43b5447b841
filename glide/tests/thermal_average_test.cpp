// The thermal climb average and the automatic MacCready value.
#include "glide/thermal_average.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/settings_values.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly_text.h"
#include "glide/tests/glide_test_support.h"
#include "texts/display_texts.h"

namespace glide {
namespace {

class ThermalAverageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ThermalAverage = 0.0F;
        ThermalWeight = 0.0F;
        core::g_autoSetMacCready = 0;
        core::g_unitVario = 0;
    }
    static void Thermals(int count) {
        g_averageNthermals = count;
        InitThermalAverageDecay();
    }
    static float Commit(float climb) {
        LastThermalClimb = climb;
        return CommitThermalClimb();
    }
};

TEST_F(ThermalAverageTest, EarlierThermalsFadeByTheDecay) {
    Thermals(3);
    EXPECT_FLOAT_EQ(g_thermalAverageDecay, std::exp(-0.5F));
    EXPECT_FLOAT_EQ(Commit(2.0F), 2.0F);
    const float decay = std::exp(-0.5F);
    EXPECT_NEAR(Commit(4.0F), (decay * 2.0F + 4.0F) / (1.0F + decay), 1e-5);
    EXPECT_NEAR(ThermalWeight, 1.0F + decay, 1e-6);
    EXPECT_EQ(ThermalClimbText.Get(), L"T:3.2");
}

TEST_F(ThermalAverageTest, OneThermalReplacesTheAverage) {
    Thermals(1);
    EXPECT_FLOAT_EQ(g_thermalAverageDecay, 0.0F);
    Commit(2.0F);
    EXPECT_FLOAT_EQ(Commit(5.0F), 5.0F);
    // A sinking "thermal": the average goes below 0, the MacCready not.
    EXPECT_FLOAT_EQ(Commit(-1.0F), -1.0F);
    EXPECT_FLOAT_EQ(AutoMacCready, 0.0F);
    EXPECT_EQ(ThermalClimbText.Get(), L"T:0.0");
}

TEST_F(ThermalAverageTest, AutomaticMacCreadySetsTheValueInUse) {
    Thermals(1);
    core::g_autoSetMacCready = 1;
    core::g_unitVario = 1;  // m/s
    const GlidePolar polar = testing::StandardClassPolar();
    ChangePolarSettings([&polar](PolarSettings& s) { s.inUse = polar; });
    SetSpeedToFlyCourseSource([] { return SpeedToFlyCourses{}; });
    Commit(4.0F);
    EXPECT_FLOAT_EQ(core::g_macCready, 4.0F);
    EXPECT_EQ(MacCreadyText.Get(), L" 2.1");  // 4 kt in m/s
    EXPECT_EQ(ThermalClimbText.Get(), L"T:2.1");
    EXPECT_NEAR(StfSpeed, std::sqrt((polar.a + 4.0F) / polar.c), 1e-3);
    SetSpeedToFlyCourseSource(nullptr);
}

}  // namespace
}  // namespace glide
