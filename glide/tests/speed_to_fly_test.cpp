// Speeds to fly against an independent brute-force minimisation, the
// special cases of each form, and the speed-to-fly text.
#include "glide/speed_to_fly.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/settings_values.h"
#include "glide/speed_to_fly_text.h"
#include "glide/tests/glide_test_support.h"
#include "texts/display_texts.h"

namespace glide {
namespace {

using testing::ContextWith;
using testing::kDegree;
using testing::StandardClassPolar;

// Ground speed at air speed v on a course with the wind (w in indicated
// knots), computed from the velocity vectors.
double GroundSpeed(double v, double course, double w, double windFrom) {
    // The air moves toward windFrom + 180 degrees.
    const double airNorth = -w * std::cos(windFrom);
    const double airEast = -w * std::sin(windFrom);
    const double along = airNorth * std::cos(course) + airEast * std::sin(course);
    const double across = -airNorth * std::sin(course) + airEast * std::cos(course);
    if (v * v < across * across) return -1.0;
    return std::sqrt(v * v - across * across) + along;  // crab to hold the course
}

struct Optimum {
    double speed;
    double cost;  // (sink + M) / ground speed
};

// The speed between the minimum speed and 250 kt with the least
// (sink + M) / ground speed, on a 0.001 kt grid.
Optimum BruteForce(const GlideContext& context, double course, double macCready) {
    const GlidePolar& p = context.polar;
    const double w = context.wind.speed * context.air.airspeedFactor;
    Optimum best{0.0, 1e30};
    for (double v = p.minimumSpeed; v <= 250.0; v += 0.001) {
        const double g = GroundSpeed(v, course, w, context.wind.direction);
        if (g <= 0.0) continue;
        const double cost = (((p.c * v) + p.b) * v + p.a + macCready) / g;
        if (cost < best.cost) best = {v, cost};
    }
    return best;
}

double Cost(const GlideContext& context, double course, double macCready, double v) {
    const GlidePolar& p = context.polar;
    const double w = context.wind.speed * context.air.airspeedFactor;
    return (((p.c * v) + p.b) * v + p.a + macCready) /
           GroundSpeed(v, course, w, context.wind.direction);
}

TEST(SpeedToFlyTest, AgreesWithBruteForceForEveryMacCreadyAndWind) {
    const double course = 30.0 * kDegree;
    for (const float airspeedFactor : {1.0F, 1.15F}) {
        for (int windFrom = 0; windFrom < 360; windFrom += 45) {
            for (int mcMs = 0; mcMs <= 5; ++mcMs) {
                const double macCready = mcMs / testing::kMetresPerSecondPerKnot;
                GlideContext context = ContextWith(StandardClassPolar(), 20.0F, windFrom);
                context.air.airspeedFactor = airspeedFactor;
                SCOPED_TRACE("wind from " + std::to_string(windFrom) + ", MacCready " +
                             std::to_string(mcMs) + " m/s, factor " +
                             std::to_string(airspeedFactor));
                const SpeedToFly stf =
                    SpeedToFlyForCourse(context, course, static_cast<float>(macCready), true);
                const Optimum best = BruteForce(context, course, macCready);
                EXPECT_NEAR(stf.speed, best.speed, 1.0);
                EXPECT_LE(Cost(context, course, macCready, stf.speed), best.cost * 1.001);
                const double w = 20.0 * airspeedFactor;
                EXPECT_NEAR(stf.groundRatio,
                            GroundSpeed(stf.speed, course, w, windFrom * kDegree) / stf.speed,
                            0.01);
            }
        }
    }
}

TEST(SpeedToFlyTest, WithoutWindTheStillAirOptimumEvenBelowTheMinimumSpeed) {
    GlidePolar polar = StandardClassPolar();
    polar.minimumSpeed = 60.0F;  // above the still-air optimum
    const GlideContext context = ContextWith(polar);
    const SpeedToFly stf = SpeedToFlyForCourse(context, 1.0, 0.0F, true);
    EXPECT_NEAR(stf.speed, std::sqrt(polar.a / polar.c), 1e-3);
    EXPECT_FLOAT_EQ(stf.groundRatio, 1.0F);
    // The air-mass form keeps to the minimum speed.
    EXPECT_FLOAT_EQ(SpeedToFlyWind(context, 1.0, 0.1F, true).speed, 60.0F);
}

TEST(SpeedToFlyTest, AHeadWindStrongerThanTheMinimumSpeedStartsAboveIt) {
    // A 50 kt head wind: the search begins at w + 1 + 5 and the result makes
    // headway.
    const GlideContext context = ContextWith(StandardClassPolar(), 50.0F, 90.0);
    const SpeedToFly stf = SpeedToFlyForCourse(context, 90.0 * kDegree, 0.0F, true);
    EXPECT_GT(stf.speed, 51.0F);
    EXPECT_GT(stf.groundRatio, 0.0F);
    const Optimum best = BruteForce(context, 90.0 * kDegree, 0.0);
    EXPECT_NEAR(stf.speed, best.speed, 1.0);
}

TEST(SpeedToFlyTest, SpecialInputs) {
    GlidePolar polar = StandardClassPolar();
    // Below MacCready 0: the minimum speed, with the ground ratio there.
    GlideContext windy = ContextWith(polar, 10.0F, 0.0);
    SpeedToFly stf = SpeedToFlyForCourse(windy, 0.0, -1.0F, true);
    EXPECT_FLOAT_EQ(stf.speed, polar.minimumSpeed);
    EXPECT_NEAR(stf.groundRatio, (polar.minimumSpeed - 10.0F) / polar.minimumSpeed, 1e-5);
    EXPECT_FLOAT_EQ(SpeedToFlyForCourse(ContextWith(polar), 0.0, -1.0F, true).groundRatio, 1.0F);
    // An air mass climbing faster than the MacCready value: the minimum speed.
    EXPECT_FLOAT_EQ(SpeedToFlyWind(windy, 0.0, -0.5F, true).speed, polar.minimumSpeed);
    // A polar that is not fitted: the best-glide speed.
    polar.valid = false;
    EXPECT_FLOAT_EQ(SpeedToFlyForCourse(ContextWith(polar, 10.0F), 0.0, 2.0F, true).speed,
                    polar.bestGlideSpeed);
}

TEST(SpeedToFlyTest, AirMassFormFindsTheTotalEnergyRoot) {
    const GlidePolar polar = StandardClassPolar();
    const GlideContext context = ContextWith(polar);
    const float x = 4.0F;
    const float v = SpeedToFlyWind(context, 0.0, x, false).speed;
    EXPECT_NEAR(2.0 * polar.c * v * v + polar.b * v, x, 1e-3);
    // With wind the search meets (2cv + b) k g = x.
    const GlideContext windy = ContextWith(polar, 20.0F, 0.0);
    const SpeedToFly head = SpeedToFlyWind(windy, 0.0, x, true);
    EXPECT_GT(head.speed, v);
    const double g = head.speed - 20.0;
    EXPECT_NEAR((2.0 * polar.c * head.speed + polar.b) * g, x, 0.1);
}

TEST(SpeedToFlyTest, HeadWindTableSpeeds) {
    const GlidePolar polar = StandardClassPolar();
    // The root of (2cv + b)(v - H) = M - climb.
    for (const float headWind : {0.0F, 10.0F, 20.0F, -15.0F}) {
        const float v = WindSpeedToFly(polar, -1.0F, 2.0F, headWind);
        EXPECT_NEAR((2.0F * polar.c * v + polar.b) * (v - headWind), 3.0F, 1e-3F) << headWind;
    }
    // No real root: 1.25 x the minimum speed.
    GlidePolar flat = polar;
    flat.b = 0.0F;
    EXPECT_FLOAT_EQ(WindSpeedToFly(flat, 0.0F, -10.0F, 0.0F), 1.25F * flat.minimumSpeed);
}

TEST(SpeedToFlyTest, GroundGlideRatioOverTheGround) {
    GlidePolar polar = StandardClassPolar();
    const GlideContext still = ContextWith(polar);
    const float v = std::sqrt(polar.a / polar.c);
    EXPECT_NEAR(GroundGlideRatio(still, 0.0, true, 0.0F), v / polar.Sink(v), 1e-3);
    const GlideContext head = ContextWith(polar, 15.0F, 0.0);
    EXPECT_LT(GroundGlideRatio(head, 0.0, true, 0.0F), GroundGlideRatio(still, 0.0, true, 0.0F));
    polar.usePolar = false;
    polar.glideRatio = 30.0F;
    EXPECT_FLOAT_EQ(GroundGlideRatio(ContextWith(polar), 0.0, true, 0.0F), 30.0F);
}

class SpeedToFlyTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ChangePolarSettings([](PolarSettings& s) { s.inUse = StandardClassPolar(); });
        SetCurrentWind({});
        core::g_unitSpeed = 0;
        core::g_windCorrection = 0;
    }
    void TearDown() override { SetSpeedToFlyCourseSource(nullptr); }
};

TEST_F(SpeedToFlyTextTest, TextShowsTheSpeedInTheUnitAndTheWindMark) {
    SetSpeedToFlyCourseSource([] { return SpeedToFlyCourses{false, false, 0.0, 0.0}; });
    SpeedToFlyText(0.0F);
    const float still = std::sqrt(StandardClassPolar().a / StandardClassPolar().c);
    EXPECT_NEAR(StfSpeed.load(), still, 1e-3);
    EXPECT_EQ(SpeedToFlyValueText.Get(), L"v:55kts");

    core::g_unitSpeed = 2;
    core::g_windCorrection = 1;
    SetCurrentWind({20.0F, 0.0, true});
    SpeedToFlyText(0.0F);
    EXPECT_GT(StfSpeed.load(), still);  // into the wind
    const std::wstring text = SpeedToFlyValueText.Get();
    EXPECT_EQ(text.substr(0, 2), L"v>");
    EXPECT_TRUE(text.ends_with(L"kph"));
}

TEST_F(SpeedToFlyTextTest, NoFixNoTextAndASlowSpeedShowsDashes) {
    SpeedToFlyValueText.Set(L"before");
    SetSpeedToFlyCourseSource([] { return std::optional<SpeedToFlyCourses>{}; });
    SpeedToFlyText(1.0F);
    EXPECT_EQ(SpeedToFlyValueText.Get(), L"before");

    ChangePolarSettings([](PolarSettings& s) {
        s.inUse.valid = false;
        s.inUse.bestGlideSpeed = 0.5F;
    });
    SetSpeedToFlyCourseSource([] { return SpeedToFlyCourses{}; });
    SpeedToFlyText(1.0F);
    EXPECT_EQ(SpeedToFlyValueText.Get(), L"v: ---");
}

TEST_F(SpeedToFlyTextTest, AutoDetectComputesBothLegsAndLeavesTheText) {
    core::g_windCorrection = 1;
    SetCurrentWind({20.0F, 0.0, true});
    SpeedToFlyValueText.Set(L"kept");
    SetSpeedToFlyCourseSource([] { return SpeedToFlyCourses{true, true, 0.0, 180.0 * kDegree}; });
    SpeedToFlyText(2.0F);
    EXPECT_GT(StfSpeed.load(), StfNextLegSpeed.load());  // into the wind, then with it
    EXPECT_EQ(SpeedToFlyValueText.Get(), L"kept");
}

}  // namespace
}  // namespace glide
