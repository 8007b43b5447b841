// The drift estimator on synthetic circling tracks: the wind it finds, the
// circle counting, the thermal climb and the cases that give no wind.
#include "glide/thermal_drift.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <optional>
#include <string>
#include <thread>

#include "core/settings_values.h"
#include "glide/settings_values.h"
#include "glide/tests/glide_test_support.h"
#include "gps/settings_values.h"
#include "platform/ui_post.h"
#include "texts/display_texts.h"

namespace glide {
namespace {

using testing::kDegree;

constexpr double kEarthRadiusNm = 3443.9;

// A glider circling at a constant true air speed and turn rate in a steady
// wind, climbing steadily; one fix every two seconds.
class Circler {
  public:
    Circler(double airSpeed, double windSpeed, double windFromDegrees, double turnDegreesPerSecond,
            double climbFeetPerMinute = 0.0)
        : airSpeed_(airSpeed),
          windNorth_(-windSpeed * std::cos(windFromDegrees * kDegree)),
          windEast_(-windSpeed * std::sin(windFromDegrees * kDegree)),
          turn_(turnDegreesPerSecond),
          climb_(climbFeetPerMinute) {}

    DriftFix Next() {
        const double north = airSpeed_ * std::cos(heading_ * kDegree) + windNorth_;
        const double east = airSpeed_ * std::sin(heading_ * kDegree) + windEast_;
        double track = std::atan2(east, north) / kDegree;
        if (track < 0.0) track += 360.0;
        DriftFix fix;
        fix.trackDegrees = track;
        fix.groundSpeed = static_cast<float>(std::hypot(north, east));
        fix.latitude = latitude_;
        fix.lonWest = lonWest_;
        fix.altitude = static_cast<float>(3000.0 + climb_ * seconds_ / 60.0);
        fix.time = static_cast<float>(10.0 + seconds_ / 3600.0);
        // Two seconds on.
        const double hours = kStep / 3600.0;
        latitude_ += north * hours / kEarthRadiusNm;
        lonWest_ -= east * hours / kEarthRadiusNm / std::cos(latitude_);
        heading_ = std::fmod(heading_ + turn_ * kStep + 360.0, 360.0);
        seconds_ += kStep;
        return fix;
    }
    void Reverse() { turn_ = -turn_; }

  private:
    static constexpr double kStep = 2.0;
    double airSpeed_;
    double windNorth_;
    double windEast_;
    double turn_;
    double climb_;
    double heading_ = 0.0;
    double seconds_ = 0.0;
    double latitude_ = 45.0 * kDegree;
    double lonWest_ = -7.0 * kDegree;
};

class ThermalDriftTest : public ::testing::Test {
  protected:
    void SetUp() override {
        core::g_initCircles = 1;
        core::g_autoZoom = 1;
        core::g_unitSpeed = 0;
        g_initCirclesMacCready = 3;
        gps::g_windMinimumSpeed = 10.0F;
        g_thermalEstablished = 0;
    }

    // Starts a thermal at the circler's first fix and feeds `seconds` of it.
    DriftUpdate Circle(Circler& circler, int seconds, bool reset = true) {
        DriftUpdate last;
        for (int t = 0; t < seconds; t += 2) {
            const DriftFix fix = circler.Next();
            if (reset && t == 0) {
                ResetDriftEstimate(fix.trackDegrees);
                RestartDriftReference(fix.latitude, fix.lonWest);
                ClearThermalEntry();
            }
            const DriftUpdate update = UpdateDrift(fix);
            if (update.wind) last.wind = update.wind;
            if (update.thermalClimb) last.thermalClimb = update.thermalClimb;
        }
        return last;
    }

    platform::ScopedRecordingUiPost posts_;
};

TEST_F(ThermalDriftTest, CirclingInAKnownWindGivesTheWind) {
    for (const double windFrom : {270.0, 0.0, 90.0, 225.0}) {
        SCOPED_TRACE(windFrom);
        Circler circler(60.0, 15.0, windFrom, 15.0);  // 24 s circles
        const DriftUpdate update = Circle(circler, 6 * 24);
        ASSERT_TRUE(update.wind);
        const DriftWind& wind = *update.wind;
        EXPECT_NEAR(wind.speed, 15.0, 0.5);
        EXPECT_GE(wind.directionDegrees, 0.0F);
        EXPECT_LT(wind.directionDegrees, 360.0F);
        const double error = std::remainder(wind.directionDegrees - windFrom, 360.0);
        EXPECT_NEAR(error, 0.0, 5.0);
        // Components in the frame of the wind records: x north, y east, both
        // pointing where the wind comes from.
        EXPECT_NEAR(wind.x, wind.speed * std::cos(wind.directionDegrees * kDegree), 1e-3);
        EXPECT_NEAR(wind.y, wind.speed * std::sin(wind.directionDegrees * kDegree), 1e-3);
        EXPECT_NEAR(CurrentDrift().speed, wind.speed, 1e-4);
        EXPECT_TRUE(DriftReference());
    }
    // "DRFT: %5.1lf%s %3.0lft": about 15 kt from about 225 degrees.
    const std::wstring text = DriftText.Get();
    EXPECT_TRUE(text.starts_with(L"DRFT:  1")) << text;
    EXPECT_NE(text.find(L"kts 22"), std::wstring::npos) << text;
    EXPECT_TRUE(text.ends_with(L"t")) << text;
}

TEST_F(ThermalDriftTest, FirstCirclesCountUpToTheZoom) {
    Circler circler(50.0, 10.0, 180.0, 15.0);
    const DriftFix first = circler.Next();
    ResetDriftEstimate(first.trackDegrees);
    EXPECT_EQ(DriftText.Get(), L"DRFT:  ---   ---");
    EXPECT_EQ(g_circleCounter, -2);
    EXPECT_EQ(g_driftValid, 0);
    UpdateDrift(first);
    for (int t = 2; t < 24 + 6; t += 2)
        UpdateDrift(circler.Next());
    // The first circle: -1, the fit starts collecting; nothing to solve yet.
    EXPECT_EQ(g_circleCounter, -1);
    EXPECT_EQ(g_driftValid, 1);
    EXPECT_EQ(DriftText.Get(), L"DRFT:  ---   ---");
    EXPECT_TRUE(posts_->Records().empty());
    for (int t = 0; t < 24; t += 2)
        UpdateDrift(circler.Next());
    // The second: 0, the first solution and the zoom into the thermal.
    EXPECT_EQ(g_circleCounter, 0);
    EXPECT_NE(DriftText.Get(), L"DRFT:  ---   ---");
    const auto records = posts_->Records();
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].window, platform::kMapViewWindow);
    EXPECT_EQ(records[0].message, platform::WM_APP_CIRCLING);
    EXPECT_EQ(records[0].wParam, 0U);
    EXPECT_EQ(records[0].lParam, 1);
    EXPECT_EQ(g_thermalEstablished, 0);
    for (int t = 0; t < 2 * 24; t += 2)
        UpdateDrift(circler.Next());
    EXPECT_EQ(g_circleCounter, 2);
    EXPECT_EQ(g_thermalEstablished, 1);  // more than 3 circles from the start value
}

TEST_F(ThermalDriftTest, ReversingTheTurnLosesOneCrossing) {
    Circler circler(50.0, 0.0, 0.0, 15.0);
    Circle(circler, 3 * 24 + 12);  // three circles, and half of the next
    EXPECT_EQ(g_circleCounter, -2 + 3);
    circler.Reverse();
    Circle(circler, 3 * 24, false);
    EXPECT_EQ(g_circleCounter, -2 + 3 + 2);
}

TEST_F(ThermalDriftTest, ClimbSinceTheFirstCircleWithTheDensityCorrection) {
    Circler circler(50.0, 5.0, 0.0, 15.0, 400.0);
    const DriftUpdate update = Circle(circler, 4 * 24 + 2);
    ASSERT_TRUE(update.thermalClimb);
    // 400 ft/min from about 3200 ft to 3600 ft: k = 3.4 thousand feet.
    const double k = (3000.0 + 400.0 * 24.0 / 60.0 + 3000.0 + 400.0 * 96.0 / 60.0) / 2000.0;
    const double expected = 400.0 * 60.0 / 6076.0 * (1.0 - 0.014633 * k + 5.63038e-5 * k * k);
    EXPECT_NEAR(*update.thermalClimb, expected, 0.01);
}

TEST_F(ThermalDriftTest, SlowAirOrSlowGroundGivesNoWind) {
    // A mean air speed below the wind page's minimum: shown, not used.
    Circler slow(9.0, 4.0, 90.0, 15.0);
    const DriftUpdate update = Circle(slow, 6 * 24);
    EXPECT_FALSE(update.wind);
    EXPECT_NE(DriftText.Get(), L"DRFT:  ---   ---");
    EXPECT_NEAR(CurrentDrift().speed, 4.0, 0.5);

    // Below 3 kt over the ground nothing happens at all.
    Circler crawling(2.0, 0.0, 0.0, 15.0);
    Circle(crawling, 6 * 24);
    EXPECT_EQ(g_circleCounter, -2);
}

TEST_F(ThermalDriftTest, ThePilotMayResetWhileFixesArrive) {
    // The fix commit and the user interface change the estimator together.
    Circler circler(55.0, 12.0, 300.0, 15.0);
    std::atomic<bool> done{false};
    std::thread commit([&] {
        for (int i = 0; i < 2000; ++i)
            UpdateDrift(circler.Next());
        done = true;
    });
    while (!done) {
        ResetDriftEstimate(123.0);
        RestartDriftReference(0.8, 0.1);
        (void)DriftReference();
        (void)CurrentDrift();
    }
    commit.join();
    EXPECT_GE(g_circleCounter, -2);
}

}  // namespace
}  // namespace glide
