// Both wind methods over a synthetic flight in a known wind, and the
// heading method's cases.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "glide/heading_wind.h"
#include "glide/tests/wind_test_support.h"
#include "glide/wind_estimation.h"

namespace glide {
namespace {

using testing::AngleBetween;
using testing::DirectionOf;
using testing::Fly;
using testing::KnownWind;
using testing::Moment;

// Straight legs on six headings 60 degrees apart, each 30 s long, with
// circles between them (no samples while circling), at 60 kt.
std::vector<Moment> LegMoments(const KnownWind& wind) {
    std::vector<Moment> moments;
    for (const double heading : {20.0, 80.0, 140.0, 200.0, 260.0, 320.0, 50.0, 170.0})
        moments.push_back(Fly(wind, heading, 60.0));
    return moments;
}

class WindMethodsInKnownWind : public ::testing::TestWithParam<KnownWind> {};

TEST_P(WindMethodsInKnownWind, TheFitFindsTheWindWithinAKnotAndThreeDegrees) {
    const KnownWind wind = GetParam();
    CWindEstimator estimator;  // no notify window: the fits run here instead
    std::optional<WindEstimate> accepted;
    int second = 0;
    for (const Moment& leg : LegMoments(wind)) {
        for (int s = 0; s < 30; ++s, ++second) {
            const int kept = estimator.AddWindSample(leg.Sample(second / 3600.0F));
            if (kept < estimator.MinPointsInFit() ||
                estimator.NewSamples() < estimator.MinPointsToChange()) {
                continue;
            }
            const std::vector<WindSample> samples = estimator.KeptSamples();
            const float x0 = accepted ? accepted->x : 0.0F;
            const float y0 = accepted ? accepted->y : 0.0F;
            estimator.StartFit(x0, y0, 0);
            const WindFitResult fit = FitWind(samples, x0, y0);
            if (fit.end == WindFitEnd::kConverged &&
                AcceptWindEstimate(fit.estimate, estimator.Settings().Acceptance())) {
                accepted = fit.estimate;
            }
        }
        second += 40;  // the circle
    }
    estimator.StopFits();
    ASSERT_TRUE(accepted.has_value());
    EXPECT_NEAR(std::hypot(accepted->x, accepted->y), wind.speed, 1.0);
    EXPECT_LE(AngleBetween(DirectionOf(accepted->x, accepted->y), wind.fromDegrees), 3.0);
}

TEST_P(WindMethodsInKnownWind, TheHeadingMethodFindsTheWindWithinTwoKnotsAndFiveDegrees) {
    const KnownWind wind = GetParam();
    ResetHeadingWind();
    std::optional<gps::WindRecord> good;
    int results = 0;
    for (const Moment& leg : LegMoments(wind)) {
        gps::WindRecord record;
        const int result = ComputeHeadingWind(leg.Heading(), record);
        if (results++ == 0) {
            EXPECT_EQ(result, kHeadingWindFirstLine);
        }
        if (result == kHeadingWindGood) good = record;
    }
    ASSERT_TRUE(good.has_value());
    EXPECT_NEAR(good->speed, wind.speed, 2.0);
    EXPECT_LE(AngleBetween(good->direction, wind.fromDegrees), 5.0);
    EXPECT_NEAR(good->x, good->speed * std::cos(good->direction * testing::kRadian), 1e-3);
    EXPECT_NEAR(good->y, good->speed * std::sin(good->direction * testing::kRadian), 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Winds, WindMethodsInKnownWind,
                         ::testing::Values(KnownWind{240.0, 15.0}, KnownWind{0.0, 15.0},
                                           KnownWind{90.0, 15.0}));

// A line of the heading method with its track set apart from its heading.
HeadingWindInput Line(const KnownWind& wind, double heading, double track) {
    HeadingWindInput input = Fly(wind, heading, 60.0).Heading();
    input.track = track * testing::kRadian;
    return input;
}

TEST(HeadingWind, FirstLineNearlyParallelAndReplacement) {
    const KnownWind wind{240.0, 15.0};
    gps::WindRecord record{9, 9, 9, 9, 9, 9, 9, 9};
    ResetHeadingWind();
    EXPECT_EQ(ComputeHeadingWind(Line(wind, 0, 0), record), kHeadingWindFirstLine);
    EXPECT_EQ(record.x, 0.0F);
    EXPECT_EQ(record.speed, 0.0F);
    EXPECT_EQ(record.speedSquared, 0.0F);
    // Headings 20 degrees apart: |cos 20| > 0.87.
    EXPECT_EQ(ComputeHeadingWind(Line(wind, 20, 20), record), kHeadingWindNearlyParallel);

    ResetHeadingWind();
    ComputeHeadingWind(Line(wind, 0, 0), record);
    EXPECT_EQ(ComputeHeadingWind(Line(wind, 90, 90), record), kHeadingWindGood);
    // A new line on track 10 gives way to the line on track 0, not 90: the
    // lines at 10 and 90 are far from parallel.
    EXPECT_EQ(ComputeHeadingWind(Line(wind, 10, 10), record), kHeadingWindGood);
    EXPECT_NEAR(record.speed, 15.0, 1e-3);
    EXPECT_NEAR(record.direction, 240.0, 1e-2);
}

TEST(HeadingWind, ParallelLinesAndLinesWithoutLengthInstallNothing) {
    gps::WindRecord record;
    // No wind across either heading (a heading that mirrors the track): the
    // lines have no length and there is nothing to divide by.
    ResetHeadingWind();
    ComputeHeadingWind({60.0F, 0.0F, 1.0F, 0.0F, 0.0, 0.0F, 0.0F}, record);
    EXPECT_EQ(ComputeHeadingWind({0.0F, 60.0F, 0.0F, 1.0F, 1.5707963, 0.0F, 0.0F}, record),
              kHeadingWindParallel);
    EXPECT_TRUE(std::isfinite(record.speed));
    EXPECT_EQ(record.speed, 0.0F);

    // Two lines on the same heading: the first line's cross wind, from
    // behind its track.
    ResetHeadingWind();
    const KnownWind wind{90.0, 10.0};
    ComputeHeadingWind(Line(wind, 0, 0), record);
    EXPECT_EQ(ComputeHeadingWind(Line(wind, 0, 0), record), kHeadingWindParallel);
    EXPECT_NEAR(record.speed, 10.0, 1e-4);
    EXPECT_NEAR(record.direction, 180.0, 1e-4);
}

TEST(HeadingWind, AVeryLightWindComesFromNorth) {
    gps::WindRecord record;
    ResetHeadingWind();
    const KnownWind wind{45.0, 0.05};
    ComputeHeadingWind(Line(wind, 0, 0), record);
    EXPECT_EQ(ComputeHeadingWind(Line(wind, 90, 90), record), kHeadingWindGood);
    EXPECT_NEAR(record.speed, 0.05, 1e-3);
    EXPECT_EQ(record.direction, 0.0F);
}

}  // namespace
}  // namespace glide
