// The wind estimator: its ring of samples, the fit, the acceptance rule,
// the posted estimate and its settings.
#include "glide/wind_estimation.h"

#include <gtest/gtest.h>

#include <any>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "glide/current_wind.h"
#include "glide/tests/wind_test_support.h"
#include "glide/wind_history.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "testing/wait_until.h"

namespace glide {
namespace {

using testing::Fly;
using testing::KnownWind;

struct RingStep {
    float tas;
    float track;
    float altitude;
    int second;
    int expected;                     // AddWindSample's result
    std::vector<float> keptTracks;    // newest first, after the call
};

WindSample SampleOf(const RingStep& step) {
    WindSample sample;
    sample.tas = step.tas;
    sample.groundSpeed = step.tas;
    sample.track = step.track;
    sample.altitude = step.altitude;
    sample.time = static_cast<float>(step.second / 3600.0);
    return sample;
}

std::vector<float> KeptTracks(const CWindEstimator& estimator) {
    std::vector<float> tracks;
    for (const WindSample& sample : estimator.KeptSamples())
        tracks.push_back(sample.track);
    return tracks;
}

TEST(WindSampleRing, TakesRefusesReplacesAndPrunesSamples) {
    const RingStep steps[] = {
        {30, 0, 1000, 0, 0, {}},           // below the minimum airspeed
        {60, 0, 1000, 0, 1, {0}},          // the first sample
        {70, 4, 1000, 10, 0, {0}},         // within 30 kt and 5 degrees
        {60, 358, 1000, 20, 0, {0}},       // 358 against 0 is 2 degrees
        {60, 40, 1000, 30, 2, {40, 0}},
        {60, 80, 1200, 40, 3, {80, 40, 0}},
        // Like the kept 40: that one goes, the others close up in order.
        {60, 42, 1000, 50, 3, {42, 80, 0}},
        // 600 ft above the newest: replaces it, and the sample 600 ft below
        // goes; the one 400 ft below stays.
        {60, 120, 1600, 60, 2, {120, 80}},
        // More than 300 s after the newest: replaces it, and the older one
        // from long ago goes.
        {60, 160, 1600, 361, 1, {160}},
        // An airspeed 30 kt apart is new on the same track.
        {90, 160, 1600, 370, 2, {160, 160}},
    };
    CWindEstimator estimator;
    for (const RingStep& step : steps) {
        const int newBefore = estimator.NewSamples();
        EXPECT_EQ(estimator.AddWindSample(SampleOf(step)), step.expected) << step.track;
        EXPECT_EQ(KeptTracks(estimator), step.keptTracks) << step.track;
        if (step.expected == 0) {
            EXPECT_EQ(estimator.NewSamples(), newBefore) << step.track;
        } else {
            EXPECT_LE(estimator.NewSamples(), step.expected);
        }
    }
}

TEST(WindSampleRing, AFullRingDropsTheOldestAndComputesTheGroundVector) {
    CWindEstimator estimator;
    ASSERT_EQ(estimator.Capacity(), 10);
    for (int i = 0; i < 12; ++i) {
        const RingStep step{60, static_cast<float>(30 * i), 1000, 10 * i, 0, {}};
        EXPECT_EQ(estimator.AddWindSample(SampleOf(step)), std::min(i + 1, 10));
    }
    const std::vector<float> expected{330, 300, 270, 240, 210, 180, 150, 120, 90, 60};
    EXPECT_EQ(KeptTracks(estimator), expected);
    EXPECT_EQ(estimator.NewSamples(), 10);
    const WindSample newest = estimator.KeptSamples().front();
    EXPECT_NEAR(newest.x, 60.0 * std::cos(330 * testing::kRadian), 1e-4);
    EXPECT_NEAR(newest.y, 60.0 * std::sin(330 * testing::kRadian), 1e-4);
    EXPECT_FLOAT_EQ(newest.tasSquared, 3600.0F);

    estimator.Reset();
    EXPECT_TRUE(estimator.KeptSamples().empty());
    EXPECT_EQ(estimator.NewSamples(), 0);
}

TEST(WindSampleRing, FitLimitsFollowTheCapacity) {
    CWindEstimator estimator(3);  // raised to 8
    EXPECT_EQ(estimator.Capacity(), 8);
    EXPECT_EQ(estimator.SetMinPointsInFit(12), 8);
    EXPECT_EQ(estimator.SetMinPointsToChange(9), 8);
    EXPECT_EQ(estimator.SetMinPointsInFit(4), 4);
    EXPECT_EQ(estimator.MinPointsToChange(), 4);
}

std::vector<WindSample> ExactSamples(const KnownWind& wind) {
    std::vector<WindSample> samples;
    for (int heading = 320; heading >= 0; heading -= 40)
        samples.push_back(Fly(wind, heading, 60.0).Sample(0.0F));
    for (WindSample& sample : samples) {
        const double track = sample.track * testing::kRadian;
        sample.x = static_cast<float>(sample.groundSpeed * std::cos(track));
        sample.y = static_cast<float>(sample.groundSpeed * std::sin(track));
        sample.tasSquared = sample.tas * sample.tas;
    }
    return samples;
}

TEST(WindFit, SamplesOfOneWindConvergeToItWithNoUncertainty) {
    const KnownWind wind{240.0, 15.0};
    const WindFitResult result = FitWind(ExactSamples(wind), 0.0F, 0.0F);
    ASSERT_EQ(result.end, WindFitEnd::kConverged);
    EXPECT_NEAR(result.estimate.x, 15.0 * std::cos(240 * testing::kRadian), 0.1);
    EXPECT_NEAR(result.estimate.y, 15.0 * std::sin(240 * testing::kRadian), 0.1);
    EXPECT_FLOAT_EQ(result.estimate.altitude, 3000.0F);
    EXPECT_GE(result.estimate.uncertainty, 0.0F);
    EXPECT_LT(result.estimate.uncertainty, 1.0F);
}

TEST(WindFit, SamplesWithoutGroundVectorsAreSingular) {
    std::vector<WindSample> samples(5);
    for (WindSample& sample : samples)
        sample.tasSquared = 3600.0F;
    EXPECT_EQ(FitWind(samples, 0.0F, 0.0F).end, WindFitEnd::kSingular);
    EXPECT_EQ(FitWind({}, 0.0F, 0.0F).end, WindFitEnd::kSingular);
}

TEST(WindAcceptance, UncertaintyAgainstTheLimits) {
    struct Case {
        float speed;
        float uncertainty;
        bool accepted;
    };
    const Case cases[] = {
        {20, 9, true},      // 0.5 * 20 = 10 >= 6, 9 <= 10, 9 < 12
        {8, 7, false},      // 0.5 * 8 < 6, 7 > 6
        {20, 10, true},     // exactly factor * speed
        {20, 10.01F, false},
        {8, 6, true},       // exactly the lower limit
        {30, 12, false},    // the upper limit itself is refused
        {30, 11.99F, true},
        {0, 0, true},       // no wind, no doubt
        {20, -1, false},    // not computed
    };
    const WindAcceptance limits;
    for (const Case& c : cases) {
        const WindEstimate estimate{0.0F, c.speed, 0.0F, c.uncertainty, -1.0F, -1.0F};
        EXPECT_EQ(AcceptWindEstimate(estimate, limits), c.accepted)
            << c.speed << " kt, u " << c.uncertainty;
    }
}

TEST(WindEstimate, AnAcceptedEstimateBecomesTheCurrentWindAndItsHistoryLine) {
    ClearWindHistory();
    SetCurrentWind({});
    EXPECT_FALSE(OnWindEstimate({3.0F, 4.0F, 0.0F, 7.0F, -1.0F, -1.0F}));
    EXPECT_FALSE(CurrentWind().valid);

    // From 90 degrees: all east.
    EXPECT_TRUE(OnWindEstimate({0.0F, 20.0F, 2000.0F, 9.0F, -1.0F, -1.0F}));
    Wind wind = CurrentWind();
    EXPECT_TRUE(wind.valid);
    EXPECT_FLOAT_EQ(wind.speed, 20.0F);
    EXPECT_NEAR(wind.direction, std::numbers::pi / 2, 1e-9);
    ASSERT_EQ(WindHistory().size(), 1U);
    EXPECT_FLOAT_EQ(WindHistory().front().wind.direction, 90.0F);

    // A zero-speed estimate comes from 0 degrees.
    EXPECT_TRUE(OnWindEstimate({0.0F, 0.0F, 0.0F, 0.5F, -1.0F, -1.0F}));
    wind = CurrentWind();
    EXPECT_EQ(wind.speed, 0.0F);
    EXPECT_EQ(wind.direction, 0.0);
    ClearWindHistory();
    SetCurrentWind({});
}

TEST(WindEstimatorFits, AFitPostsItsEstimateAndCountsItOnlyWithANotifyWindow) {
    platform::ScopedRecordingUiPost posts;
    CWindEstimator estimator(10, platform::kMainFrameWindow);
    const KnownWind wind{0.0, 12.0};
    int second = 0;
    for (int heading = 0; heading < 360; heading += 72)
        estimator.AddWindSample(Fly(wind, heading, 60.0).Sample(second++ / 3600.0F));
    ASSERT_EQ(estimator.KeptSamples().size(), 5U);

    estimator.StartFit(0.0F, 0.0F, 0);
    ASSERT_TRUE(test_support::WaitUntil([&] { return posts->Records().size() == 1; }));
    estimator.StopFits();
    EXPECT_EQ(posts->Records().front().message, platform::WM_APP_WINDESTIMATE);
    const std::vector<std::any> payloads = posts->Payloads();
    const auto* estimate = std::any_cast<WindEstimate>(&payloads.front());
    ASSERT_NE(estimate, nullptr);
    EXPECT_NEAR(estimate->x, 12.0, 0.1);
    EXPECT_NEAR(estimate->y, 0.0, 0.1);
    EXPECT_EQ(estimator.Statistics()[0], 1);
    EXPECT_EQ(estimator.NewSamples(), 0);
    EXPECT_EQ(estimator.KeptSamples().size(), 5U);  // no reset asked

    // With the reset flag the ring empties; without a window nothing is
    // posted or counted.
    estimator.SetNotifyWindow(0);
    estimator.StartFit(0.0F, 0.0F, 1);
    EXPECT_TRUE(estimator.KeptSamples().empty());
    estimator.StopFits();
    EXPECT_EQ(posts->Records().size(), 1U);
    EXPECT_EQ(estimator.Statistics()[0], 1);

    // Fewer than three samples start nothing.
    estimator.SetNotifyWindow(platform::kMainFrameWindow);
    estimator.AddWindSample(Fly(wind, 0, 60.0).Sample(0.0F));
    estimator.AddWindSample(Fly(wind, 90, 60.0).Sample(0.0F));
    estimator.StartFit(0.0F, 0.0F, 0);
    estimator.StopFits();
    EXPECT_EQ(posts->Records().size(), 1U);
}

TEST(WindEstimatorFits, AResultForAWindowThatIsGoneIsDropped) {
    platform::ScopedRecordingUiPost posts;
    posts->SetWindowGone(platform::kMainFrameWindow);
    CWindEstimator estimator(10, platform::kMainFrameWindow);
    WindFitResult result;
    result.end = WindFitEnd::kConverged;
    result.estimate.uncertainty = 45.0F;
    EXPECT_FALSE(estimator.Deliver(result, platform::kMainFrameWindow));
    EXPECT_EQ(estimator.Statistics()[29], 1);  // 30 and more count in the last bin
    result.end = WindFitEnd::kNoConvergence;
    EXPECT_FALSE(estimator.Deliver(result, platform::kMainFrameWindow));
    EXPECT_EQ(estimator.Statistics()[29], 1);
}

TEST(WindEstimatorSettings, RoundTripInHundredthsWithTheStatistics) {
    platform::SettingsStore store{std::filesystem::path()};
    const std::string section = "Settings\\defWindFromTASandTrack";

    CWindEstimator defaults;
    defaults.LoadSettings(store);  // nothing stored: the defaults stay
    defaults.SaveSettings(store);
    const std::pair<const char*, int> stored[] = {
        {"altSpanx100", 50000},       {"speedStepx100", 3000},
        {"angleStepx100", 500},       {"minSpeedx100", 3500},
        {"minUncertaintyx100", 600},  {"maxUncertaintyx100", 1200},
        {"uncertaintyFactorx100", 50}, {"timeSpan", 300},
        {"minPointsInFit", 5},        {"minPointsToChange", 3},
        {"resetOnCompute", 0},        {"confStat_0", 0},
        {"confStat_29", 0},
    };
    for (const auto& [name, value] : stored)
        EXPECT_EQ(static_cast<int>(store.GetInt(section, name, 12345)), value) << name;

    CWindEstimator changed;
    WindEstimatorSettings settings = changed.Settings();
    settings.altSpan = 123.456F;      // 12345
    settings.uncertaintyFactor = 0.257F;  // 25
    settings.minPointsInFit = 7;
    settings.resetOnCompute = 1;
    changed.SetSettings(settings);
    WindFitResult result;
    result.end = WindFitEnd::kConverged;
    result.estimate.uncertainty = 3.5F;
    {
        platform::ScopedRecordingUiPost posts;
        changed.Deliver(result, platform::kMainFrameWindow);
    }
    changed.SaveSettings(store);
    EXPECT_EQ(store.GetInt(section, "altSpanx100", 0), 12345U);
    EXPECT_EQ(store.GetInt(section, "uncertaintyFactorx100", 0), 25U);
    EXPECT_EQ(store.GetInt(section, "confStat_3", 0), 1U);

    CWindEstimator loaded;
    loaded.LoadSettings(store);
    const WindEstimatorSettings back = loaded.Settings();
    EXPECT_FLOAT_EQ(back.altSpan, 123.45F);
    EXPECT_FLOAT_EQ(back.uncertaintyFactor, 0.25F);
    EXPECT_EQ(back.minPointsInFit, 7);
    EXPECT_EQ(back.resetOnCompute, 1);
    EXPECT_EQ(loaded.Statistics()[3], 0);  // the statistics are never read back
}

}  // namespace
}  // namespace glide
