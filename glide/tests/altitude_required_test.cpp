// Altitudes required for a glide: at the speed to fly against brute force,
// at a given speed, and from the present air speed, with the unreachable
// cases.
#include "glide/altitude_required.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "glide/tests/glide_test_support.h"

namespace glide {
namespace {

using testing::ContextWith;
using testing::kDegree;
using testing::StandardClassPolar;

constexpr double kFeetPerKm = 3280.8;
constexpr float kDistanceKm = 50.0F;
constexpr float kBase = 500.0F;

// Altitude to glide the distance at air speed v with the given ground speed.
double AltitudeAt(const GlideContext& context, double v, double groundSpeed) {
    const double sinkFeetPerKm =
        context.polar.Sink(static_cast<float>(v)) / groundSpeed * kFeetPerKm;
    return kDistanceKm * sinkFeetPerKm + kBase + context.safetyAltitude;
}

double HeadWindComponent(const GlideContext& context, double course) {
    return std::cos(course - context.wind.direction) * context.wind.speed *
           context.air.airspeedFactor;
}

double CrossWind2(const GlideContext& context, double course) {
    const double w = context.wind.speed * context.air.airspeedFactor;
    const double head = HeadWindComponent(context, course);
    return w * w - head * head;
}

double Ground(const GlideContext& context, double course, double v) {
    return std::sqrt(v * v - CrossWind2(context, course)) - HeadWindComponent(context, course);
}

TEST(AltitudeRequiredTest, AtMacCreadyAgreesWithBruteForce) {
    const double course = 200.0 * kDegree;
    for (int windFrom = 0; windFrom < 360; windFrom += 45) {
        for (int mcMs = 0; mcMs <= 5; ++mcMs) {
            SCOPED_TRACE("wind from " + std::to_string(windFrom) + ", MacCready " +
                         std::to_string(mcMs) + " m/s");
            const GlideContext context = ContextWith(StandardClassPolar(), 20.0F, windFrom);
            const double macCready = mcMs / testing::kMetresPerSecondPerKnot;
            // Independent optimum of (sink + M) / g, and the altitude there.
            double bestSpeed = 0.0;
            double bestCost = 1e30;
            double leastAltitude = 1e30;
            for (double v = context.polar.minimumSpeed; v < 250.0; v += 0.001) {
                const double g = Ground(context, course, v);
                if (!(g > 0.0)) continue;
                const double cost = (context.polar.Sink(static_cast<float>(v)) + macCready) / g;
                if (cost < bestCost) {
                    bestCost = cost;
                    bestSpeed = v;
                }
                leastAltitude = std::min(leastAltitude, AltitudeAt(context, v, g));
            }
            const LegAltitude leg = AltitudeRequiredAtMacCready(context, kDistanceKm, kBase, course,
                                                                1, static_cast<float>(macCready));
            const double expected =
                AltitudeAt(context, bestSpeed, Ground(context, course, bestSpeed));
            const double glideHeight = expected - kBase - context.safetyAltitude;
            EXPECT_NEAR(leg.altitude, expected, 0.005 * glideHeight);
            if (mcMs == 0) {
                EXPECT_NEAR(leg.altitude, leastAltitude, 0.001 * glideHeight);
            }
            const double legTime = kDistanceKm / 1.852 / Ground(context, course, leg.speed);
            EXPECT_NEAR(leg.legTime, legTime, 0.005 * legTime);
            EXPECT_FLOAT_EQ(LegTime[1], leg.legTime);
            EXPECT_FLOAT_EQ(LegBestSpeed[1], leg.legBestSpeed);
        }
    }
}

TEST(AltitudeRequiredTest, AtMacCreadySlotZeroIgnoresTheWind) {
    const GlideContext windy = ContextWith(StandardClassPolar(), 25.0F, 0.0);
    const GlideContext still = ContextWith(StandardClassPolar());
    const LegAltitude a = AltitudeRequiredAtMacCready(windy, kDistanceKm, kBase, 0.0, 0, 2.0F);
    const LegAltitude b = AltitudeRequiredAtMacCready(still, kDistanceKm, kBase, 0.0, 0, 2.0F);
    EXPECT_FLOAT_EQ(a.altitude, b.altitude);
    EXPECT_FLOAT_EQ(a.legBestSpeed, std::sqrt(still.polar.a / still.polar.c));
    EXPECT_FLOAT_EQ(LegTime[0], a.legTime);
}

struct AtSpeedCase {
    const char* what;
    float windSpeed;
    double windFromDegrees;
    float speed;
    bool reachable;
};

TEST(AltitudeRequiredTest, AtSpeedIsUnreachableWithoutHeadway) {
    // Course north; winds from the north are head winds.
    const std::vector<AtSpeedCase> cases{
        {"still air", 0.0F, 0.0, 60.0F, true},
        {"head wind below the air speed", 40.0F, 0.0, 60.0F, true},
        {"head wind equal to the air speed", 60.0F, 0.0, 60.0F, false},
        {"head wind above the air speed", 80.0F, 0.0, 60.0F, false},
        {"cross wind above the air speed", 80.0F, 90.0, 60.0F, false},
        {"tail wind", 80.0F, 180.0, 60.0F, true},
        {"speed below 1 kt", 0.0F, 0.0, 0.5F, false},
        {"speed above 1000 kt", 0.0F, 0.0, 1001.0F, false},
    };
    for (const AtSpeedCase& c : cases) {
        SCOPED_TRACE(c.what);
        const GlideContext context =
            ContextWith(StandardClassPolar(), c.windSpeed, c.windFromDegrees);
        const float altitude =
            AltitudeRequiredAtSpeed(context, kDistanceKm, kBase, c.speed, 0.0, true);
        if (!c.reachable) {
            EXPECT_EQ(altitude, kUnreachableAtSpeed);
            continue;
        }
        const double ground = c.speed - HeadWindComponent(context, 0.0);
        EXPECT_NEAR(altitude, AltitudeAt(context, c.speed, ground), 0.01);
    }
}

TEST(AltitudeRequiredTest, FromTheAirSpeedOverTheGround) {
    GlideContext context = ContextWith(StandardClassPolar(), 20.0F, 90.0);
    context.altTeCompFactor = 1.0F;
    const double track = 90.0 * kDegree;
    // 80 kt over the ground into a 20 kt head wind: 100 kt through the air.
    const RequiredAltitude result =
        AltitudeRequired(context, kDistanceKm, kBase, track, 80.0F, track, true, 0, 0.0F);
    EXPECT_NEAR(result.altitude, AltitudeAt(context, 100.0, 80.0), 0.05);
    EXPECT_FALSE(result.speed);
    const double vMin = context.polar.minimumSpeed;
    EXPECT_NEAR(EnergyHeight, (100.0 * 100.0 - vMin * vMin) * 0.044, 0.01);

    // A constant glide speed replaces the air speed.
    context.useConstantGlideSpeed = true;
    const RequiredAltitude constant =
        AltitudeRequired(context, kDistanceKm, kBase, track, 80.0F, track, true, 0, 70.0F);
    EXPECT_NEAR(constant.altitude, AltitudeAt(context, 70.0, 50.0), 0.05);
    // An air speed below the floor, or not above the head wind, gets nowhere.
    EXPECT_EQ(
        AltitudeRequired(context, kDistanceKm, kBase, track, 80.0F, track, true, 0, 15.0F).altitude,
        kUnreachable);
    context.useConstantGlideSpeed = false;
    context.air.instrumentAirspeed = true;
    context.air.indicatedAirspeed = 36.0F;
    context.air.airspeedFactor = 2.0F;  // 18 kt true air speed
    EXPECT_EQ(
        AltitudeRequired(context, kDistanceKm, kBase, track, 0.0F, track, true, 0, 0.0F).altitude,
        kUnreachable);
}

TEST(AltitudeRequiredTest, CirclingUsesTheSpeedToFly) {
    GlideContext context = ContextWith(StandardClassPolar(), 15.0F, 45.0);
    context.air.circling = true;
    context.macCready = 3.0F;
    context.driftValid = true;
    const double course = 10.0 * kDegree;
    const float atZero =
        AltitudeRequiredAtMacCready(context, kDistanceKm, kBase, course, 1, 0.0F).altitude;
    RequiredAltitude result =
        AltitudeRequired(context, kDistanceKm, kBase, course, 60.0F, 0.0, true, 0, 0.0F);
    EXPECT_FLOAT_EQ(result.altitude, atZero);
    ASSERT_TRUE(result.speed);

    context.useMcrForAlt = true;
    result = AltitudeRequired(context, kDistanceKm, kBase, course, 60.0F, 0.0, true, 1, 0.0F);
    EXPECT_GT(result.altitude, atZero);
    // Mode 2 glides at MacCready 0 and reports no speed.
    result = AltitudeRequired(context, kDistanceKm, kBase, course, 60.0F, 0.0, true, 2, 0.0F);
    EXPECT_FLOAT_EQ(result.altitude, atZero);
    EXPECT_FALSE(result.speed);
}

TEST(AltitudeRequiredTest, WithoutAFittedPolarTheGlideRatio) {
    GlidePolar polar = StandardClassPolar();
    polar.valid = false;
    polar.glideRatio = 25.0F;
    GlideContext context = ContextWith(polar);
    context.air.indicatedAirspeed = 60.0F;
    const RequiredAltitude result =
        AltitudeRequired(context, kDistanceKm, kBase, 0.0, 60.0F, 0.0, false, 1, 0.0F);
    EXPECT_NEAR(result.altitude, kDistanceKm * kFeetPerKm / 25.0 + kBase + 1000.0, 0.01);
    EXPECT_NEAR(AltitudeRequiredAtSpeed(context, kDistanceKm, kBase, 60.0F, 0.0, false),
                kDistanceKm * kFeetPerKm / 25.0 + kBase + 1000.0, 0.01);
}

}  // namespace
}  // namespace glide
