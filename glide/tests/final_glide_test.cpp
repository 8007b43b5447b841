// The required-MacCready solvers against a brute-force root of the
// altitude-required function, and the published final-glide results.
#include "glide/final_glide.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "glide/altitude_required.h"
#include "glide/tests/glide_test_support.h"

namespace glide {
namespace {

using testing::ContextWith;
using testing::kDegree;
using testing::StandardClassPolar;

// The MacCready value at which the glide over the legs needs exactly the
// height (bisection on the altitude-required function).
double BruteForceMc(const GlideContext& context, float height, float d0, double course0,
                    float d1, double course1, int slot) {
    const auto needed = [&](double mc) {
        const float m = static_cast<float>(mc);
        float total = AltitudeRequiredAtMacCready(context, d0, 0.0F, course0, slot, m).altitude;
        if (d1 > 0.0F) total += AltitudeRequiredAtMacCready(context, d1, 0.0F, course1, slot, m).altitude;
        const int legs = d1 > 0.0F ? 2 : 1;
        return total - legs * context.safetyAltitude;
    };
    double low = 0.0;
    double high = 20.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = (low + high) / 2.0;
        (needed(mid) < height ? low : high) = mid;
    }
    return (low + high) / 2.0;
}

struct OneLegCase {
    const char* what;
    float windSpeed;
    double windFrom;
    float distance;
    double course;
    float height;
};

TEST(FinalGlideTest, OneLegMacCreadyMatchesTheBruteForceRoot) {
    const OneLegCase cases[] = {
        {"still air", 0.0F, 0.0, 50.0F, 0.0, 4000.0F},
        {"still air, steep", 0.0F, 0.0, 20.0F, 0.0, 4500.0F},
        {"head wind", 15.0F, 90.0, 60.0F, 90.0 * kDegree, 8000.0F},
        {"tail wind", 20.0F, 270.0, 60.0F, 90.0 * kDegree, 3500.0F},
        {"cross wind", 18.0F, 0.0, 40.0F, 90.0 * kDegree, 3500.0F},
    };
    for (const OneLegCase& c : cases) {
        const GlideContext context = ContextWith(StandardClassPolar(), c.windSpeed, c.windFrom);
        const int slot = c.windSpeed > 0.0F ? 1 : 0;
        const auto solution = RequiredMcForHeight(context, c.height, c.distance, c.course, slot);
        ASSERT_TRUE(solution) << c.what;
        const double expected = BruteForceMc(context, c.height, c.distance, c.course, 0.0F, 0.0, slot);
        EXPECT_NEAR(solution->macCready, expected, 0.05) << c.what;
        EXPECT_GT(expected, 0.3) << c.what << ": the case should need a real MacCready";
    }
}

TEST(FinalGlideTest, TwoLegsMatchTheBruteForceRoot) {
    const GlideContext still = ContextWith(StandardClassPolar());
    TwoLegInput in;
    in.gpsAltitude = 7000.0F;
    in.targetAltitude = 500.0F;
    in.distance0 = 30.0F;
    in.distance1 = 25.0F;
    const auto solution = TwoLegRequiredMacCready(still, in, 0);
    ASSERT_TRUE(solution);
    const float height = in.gpsAltitude - in.targetAltitude - still.safetyAltitude;
    EXPECT_NEAR(solution->firstLeg.macCready,
                BruteForceMc(still, height, in.distance0, 0.0, in.distance1, 0.0, 0), 0.05);
    EXPECT_FLOAT_EQ(solution->secondLegSpeed, solution->firstLeg.speed);

    // With wind the spare height goes where it saves time; the MacCready of
    // the first leg stays near the common root.
    const GlideContext windy = ContextWith(StandardClassPolar(), 12.0F, 0.0);
    in.course0 = 0.0;
    in.course1 = 180.0 * kDegree;
    const LegAltitude second =
        AltitudeRequiredAtMacCready(windy, in.distance1, in.targetAltitude, in.course1, 1, 0.0F);
    const LegAltitude first = AltitudeRequiredAtMacCready(
        windy, in.distance0, second.altitude - windy.safetyAltitude, in.course0, 1, 0.0F);
    in.need1 = second.altitude;
    in.needTotal = first.altitude;
    in.time0 = first.legTime;
    in.time1 = second.legTime;
    const auto withWind = TwoLegRequiredMacCready(windy, in, 1);
    ASSERT_TRUE(withWind);
    EXPECT_GT(withWind->middleAltitude, in.need1);
    EXPECT_LT(withWind->middleAltitude, in.gpsAltitude);
    EXPECT_NEAR(withWind->firstLeg.macCready,
                BruteForceMc(windy, height, in.distance0, in.course0, in.distance1, in.course1, 1),
                0.5);
}

TEST(FinalGlideTest, EdgesGiveNoSolutionOrZeroNeverNaN) {
    const GlideContext still = ContextWith(StandardClassPolar());
    const GlideContext windy = ContextWith(StandardClassPolar(), 15.0F, 45.0);
    // Distance 0, with and without height.
    EXPECT_FALSE(RequiredMcForHeight(still, 0.0F, 0.0F, 0.0, 0));
    EXPECT_FALSE(RequiredMcForHeight(still, 1000.0F, 0.0F, 0.0, 0));
    EXPECT_FALSE(RequiredMcForHeight(windy, 0.0F, 0.0F, 0.0, 1));
    // No spare height: far too shallow for the polar.
    EXPECT_FALSE(RequiredMcForHeight(still, 0.0F, 30.0F, 0.0, 0));
    EXPECT_FALSE(RequiredMcForHeight(still, std::numeric_limits<float>::quiet_NaN(), 30.0F, 0.0, 0));

    // Two legs with wind whose spare height is zero: neither leg saves
    // time, the middle altitude is the MacCready-0 one.
    TwoLegInput in;
    in.targetAltitude = 0.0F;
    in.distance0 = 20.0F;
    in.distance1 = 20.0F;
    const LegAltitude second = AltitudeRequiredAtMacCready(windy, 20.0F, 0.0F, 0.0, 1, 0.0F);
    const LegAltitude first = AltitudeRequiredAtMacCready(
        windy, 20.0F, second.altitude - windy.safetyAltitude, 0.0, 1, 0.0F);
    in.need1 = second.altitude;
    in.needTotal = first.altitude;
    in.gpsAltitude = first.altitude;
    in.time0 = first.legTime;
    in.time1 = second.legTime;
    if (const auto solution = TwoLegRequiredMacCready(windy, in, 1)) {
        EXPECT_TRUE(std::isfinite(solution->middleAltitude));
        EXPECT_TRUE(std::isfinite(solution->firstLeg.macCready));
        EXPECT_NEAR(solution->firstLeg.macCready, 0.0F, 0.2F);
    }
}

TEST(FinalGlideTest, PublishedResultsAreFiniteAndRunAgainAfterNoSolution) {
    ResetFinalGlide();
    GlideContext context = ContextWith(StandardClassPolar(), 10.0F, 0.0);
    FinalGlideRoute route;
    route.gpsAltitude = 1000.0F;  // only the safety altitude: no spare height
    route.targetAltitude = 0.0F;
    route.distance[0] = 0.0F;     // at the target
    FinalGlide(context, route);
    FinalGlideResults results = CurrentFinalGlide();
    for (int k = 0; k < 2; ++k) {
        EXPECT_TRUE(std::isfinite(results.macCready[k])) << k;
        EXPECT_TRUE(std::isfinite(results.arrival[k])) << k;
        EXPECT_TRUE(std::isfinite(results.speed[k])) << k;
    }
    EXPECT_LT(results.macCready[0], 0.0F);  // no solution: runs again next time

    route.gpsAltitude = 6000.0F;
    route.distance[0] = 40.0F;
    FinalGlide(context, route);
    results = CurrentFinalGlide();
    EXPECT_GT(results.macCready[0], 0.0F);
    EXPECT_FLOAT_EQ(results.arrival[0], 6000.0F);
    EXPECT_NEAR(results.macCready[0], BruteForceMc(context, 5000.0F, 40.0F, 0.0, 0.0F, 0.0, 0), 0.05);
    ResetFinalGlide();
}

}  // namespace
}  // namespace glide
