// The demonstration flight through the program's own per-fix code, with the
// harnesses of the fix tests: its sentences through the parser, the commit
// and the fix-processing thread for the wind (the demo's method 3), and its
// fixes through the navigation texts' per-fix pass for the OLC distance.
#include <gtest/gtest.h>

#include <any>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "fix/fix_processing_thread.h"
#include "fix/tests/fix_test_support.h"
#include "fix/tests/nav_texts_support.h"
#include "glide/current_wind.h"
#include "glide/tests/wind_test_support.h"
#include "glide/wind_estimation.h"
#include "glide/wind_history.h"
#include "nav/olc_search.h"
#include "nav/olc_settings.h"
#include "nav/olc_worker.h"
#include "platform/ui_post.h"
#include "testing/units.h"
#include "testing/wait_until.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"
#include "tools/demo/demo_region.h"
#include "tools/demo/flight_path.h"
#include "tools/demo/tests/demo_flight.h"
#include "tools/flight_text/sentence_epochs.h"

namespace demo {
namespace {

using test_support::kMetresPerSecondPerKnot;

using flight_text::Epoch;
using flight_text::SplitEpochs;

using glide::testing::AngleBetween;

using namespace std::chrono_literals;
constexpr double kDegree = std::numbers::pi / 180.0;

// The wind fit of true airspeed and ground velocity (Method 3, as the demo's
// settings choose), each estimate it posts handed to the main window's
// handler as it comes: settled after the first thermal, and within 3 kt and
// 10 degrees of 15 kt from 240 degrees after the second.
class DemoWind : public ::testing::Test {
  protected:
    void SetUp() override {
        gps::testing::StartFromLoad();
        glide::ClearWindHistory();
        glide::g_windEstimator.Reset();
        glide::g_windEstimator.SetNotifyWindow(platform::kMainFrameWindow);
        gps::g_windTriggerMask = 3;  // each position
        gps::g_windMethod = gps::WindMethod::kAirspeedFit;
        ASSERT_TRUE(gps::StartFixProcessing());
    }
    void TearDown() override {
        gps::StopFixProcessing(2000);
        glide::g_windEstimator.StopFits();
        glide::g_windEstimator.SetNotifyWindow(0);
        glide::g_windEstimator.Reset();
        glide::ClearWindHistory();
        glide::SetCurrentWind({});
        gps::g_windMethod = gps::WindMethod::kNone;
    }

    // Plays the seconds [from, to) as the reader would, one published fix
    // at a time, and hands the estimates posted meanwhile to the handler.
    void Fly(const std::vector<Epoch>& epochs, int from, int to) {
        for (int i = from; i < to; ++i) {
            for (const std::string& line : epochs[i].lines) gps::testing::Receive(line + "\r\n");
            const float hours = kFlightHour + static_cast<float>(i) / 3600.0F;
            ASSERT_TRUE(
                test_support::WaitUntil([&] { return gps::CurrentNav()->fixTimeHours >= hours - 1e-5F; }, 5000ms))
                << i;
            const std::vector<std::any> payloads = posts->Payloads();
            for (; handled_ < payloads.size(); ++handled_)
                if (const auto* e = std::any_cast<glide::WindEstimate>(&payloads[handled_]))
                    accepted_ += glide::OnWindEstimate(*e) ? 1 : 0;
        }
    }

    void ExpectTheFlightsWind(const char* when) {
        const glide::Wind wind = glide::CurrentWind();
        ASSERT_TRUE(wind.valid) << when;
        EXPECT_NEAR(wind.speed, kWindKnots, 3.0) << when;
        EXPECT_LE(AngleBetween(wind.direction / kDegree, kWindFromDeg), 10.0) << when;
        std::printf("wind %s: %.1f kt from %.0f degrees (%d estimates accepted)\n", when,
                    wind.speed, wind.direction / kDegree, accepted_);
    }

    platform::ScopedRecordingUiPost posts;
    std::size_t handled_ = 0;
    int accepted_ = 0;
};

TEST_F(DemoWind, TheWindFitFindsTheFlightsWindInTheFirstTwoThermals) {
    const FlightEvents& e = TheDemoFlight().events;
    const std::vector<Epoch> epochs = SplitEpochs(FlightSentences(TheDemoFlight()));
    Fly(epochs, 0, e.thermalEnd[0]);
    ExpectTheFlightsWind("after the first thermal");
    Fly(epochs, e.thermalEnd[0], e.thermalEnd[1]);
    ExpectTheFlightsWind("after the second thermal");
}

// The per-fix pass over the flight's fixes, the map's part (every position
// to the OLC worker) played by the test. The distance shown ends within 2 %
// of nav's search over every fix of the flight, which finds at least the
// task's triangle and no more than was flown. It never falls by more than
// the display's rounding: the search closes at the present position, so a
// closing leg that shortens may take a few hundred metres off.
TEST(DemoOlc, TheDistanceShownEndsAtNavsSearchAndNeverFallsBeyondRounding) {
    const Flight& f = TheDemoFlight();
    gps::testing::NavTextsScope scope;
    gps::testing::UseStandardClassPolar();
    nav::g_olcMinSpacing = nav::OlcMinSpacing(4);
    nav::StartOlcThread();
    const std::shared_ptr<nav::OlcControlBlock> worker = nav::CurrentOlcControl();
    ASSERT_TRUE(worker);
    ASSERT_TRUE(test_support::WaitUntil([&] { return !worker->notRunning.load(); }, 5000ms));

    // The text is in the distance unit chosen; in km here.
    const double unit = glide::CurrentDistanceUnit().factor;
    const auto shown = [unit] {
        float value = -1.0F;
        std::swscanf(glide::OlcDistanceText.Get().c_str(), L"D: %f", &value);
        return value / unit;
    };
    std::vector<nav::WaypointRecord> trail;
    double flownKm = 0.0, last = 0.0;
    const auto publish = [&](const FlightSample& s) {
        const LatLon p = ToLatLon(s.at);
        gps::testing::PublishedFix fix;
        fix.latitude = p.latitude;
        fix.lonEast = p.longitude;
        fix.altitude = static_cast<float>(s.altitudeM * 3.2808);
        fix.track = std::atan2(s.groundEastMs, s.groundNorthMs) / kDegree + 360.0;
        fix.track = std::fmod(fix.track, 360.0);
        fix.speed = static_cast<float>(std::hypot(s.groundEastMs, s.groundNorthMs) / kMetresPerSecondPerKnot);
        gps::testing::PublishAndRun(fix);
        const nav::WaypointRecord here = nav::CopyMapFix();
        nav::AddOlcPoint(&here);
        return here;
    };
    std::uint32_t searches = 0;  // before the last fix
    for (int i = f.events.takeOff; i <= f.events.landing; ++i) {
        searches = worker->searches.load();
        trail.push_back(publish(f.samples[i]));
        if (i > f.events.takeOff) flownKm += DistanceKm(f.samples[i - 1].at, f.samples[i].at);
        const double km = shown();
        EXPECT_GE(km, last - 1.0 / unit - 1e-6) << "at second " << i;
        last = std::max(last, km);
        std::this_thread::sleep_for(50us);  // the worker runs at the lowest priority
    }
    // The search that closes at the last fix (a second one when a search was
    // under way as it came; each takes milliseconds), then the pass that
    // shows it.
    ASSERT_TRUE(test_support::WaitUntil([&] { return worker->searches.load() > searches; }, 60s));
    test_support::WaitUntil([&] { return worker->searches.load() > searches + 1; }, 2s);
    publish(f.samples[f.events.landing]);
    nav::StopOlcThreadsAndWait(5000);

    nav::OlcSearch search({100, 100, 100, 100, 0, 0, 0, 0}, 4);
    search.Append(std::span<const nav::WaypointRecord>(trail).first(trail.size() - 1));
    const auto solution = search.Solve(trail.back());
    ASSERT_TRUE(solution);
    const double reference = solution->value / 100.0;
    const Task& t = TheTask();
    const double triangle = DistanceKm(t.start, t.turnpoint1) +
                            DistanceKm(t.turnpoint1, t.turnpoint2) +
                            DistanceKm(t.turnpoint2, t.finish);
    std::printf("OLC shown %.0f km; nav's search over every fix %.1f km (triangle %.1f km, "
                "flown %.1f km)\n", shown(), reference, triangle, flownKm);
    EXPECT_GE(reference, triangle * 0.98);
    EXPECT_LE(reference, flownKm);
    EXPECT_NEAR(shown(), reference, reference * 0.02 + 0.5 / unit);
}

}  // namespace
}  // namespace demo
