// The wind as the fix commit finds it: sentences of a flight with true
// airspeed and a compass heading in a known wind go through the parser, the
// commit and the fix-processing thread (also run under ThreadSanitizer);
// a real flight log's airspeeds give estimates; a capture without airspeed
// or heading gives none.
#include <gtest/gtest.h>

#include <algorithm>
#include <any>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fix/fix_processing_thread.h"
#include "fix/tests/fix_test_support.h"
#include "glide/current_wind.h"
#include "glide/heading_wind.h"
#include "glide/tests/wind_test_support.h"
#include "glide/wind_estimation.h"
#include "glide/wind_history.h"
#include "platform/ui_post.h"
#include "testing/wait_until.h"

namespace gps::testing {
namespace {

using glide::testing::AngleBetween;

using namespace std::chrono_literals;
constexpr double kDegree = std::numbers::pi / 180.0;

struct KnownWind {
    double fromDegrees;
    double speed;
};

// The sentences of one second: airspeed, true heading, then the fix.
struct Second {
    float fixTime;  // hours
    std::vector<std::string> lines;
};

class WindFlight {
  public:
    explicit WindFlight(KnownWind wind) : wind_(wind) {}

    // Straight on a heading for seconds.
    void Leg(double heading, int seconds) {
        for (int i = 0; i < seconds; ++i)
            Step(heading);
    }
    // A full circle to the right, 9 degrees a second.
    void Circle() {
        for (int i = 1; i <= 40; ++i)
            Step(heading_ + 9.0);
    }
    const std::vector<Second>& Seconds() const { return seconds_; }

  private:
    void Step(double heading) {
        heading_ = std::fmod(heading + 360.0, 360.0);
        const double north = kAirspeed * std::cos(heading_ * kDegree) -
                             wind_.speed * std::cos(wind_.fromDegrees * kDegree);
        const double east = kAirspeed * std::sin(heading_ * kDegree) -
                            wind_.speed * std::sin(wind_.fromDegrees * kDegree);
        latitude_ += north / 3600.0 / 60.0;
        lonEast_ += east / 3600.0 / (60.0 * std::cos(latitude_ * kDegree));
        double course = std::atan2(east, north) / kDegree;
        if (course < 0.0) course += 360.0;
        ++second_;
        const std::string time = platform::FormatC("%02d%02d%02d", second_ / 3600,
                                                   second_ / 60 % 60, second_ % 60);
        const auto split = [](double degrees, int width) {
            const double whole = std::floor(degrees);
            return platform::FormatC("%0*.0f%08.5f", width, whole, (degrees - whole) * 60.0);
        };
        const std::string position = split(latitude_, 2) + ",N," + split(lonEast_, 3) + ",E";
        Second s{static_cast<float>(second_ / 3600.0), {}};
        s.lines.push_back(Sentence(platform::FormatC("PTAS1,200,200,5000,%.1f", kAirspeed)));
        s.lines.push_back(Sentence(platform::FormatC("HCHDT,%.1f,T", heading_)));
        s.lines.push_back(Sentence(platform::FormatC("GPRMC,%s,A,%s,%05.1f,%05.1f,281010,000.0,E",
                                                     time.c_str(), position.c_str(),
                                                     std::hypot(north, east), course)));
        seconds_.push_back(std::move(s));
    }

    static constexpr double kAirspeed = 60.0;
    KnownWind wind_;
    double heading_ = 0.0;
    double latitude_ = 47.5;
    double lonEast_ = 8.25;
    int second_ = 12 * 3600;
    std::vector<Second> seconds_;
};

// Legs on eight headings at least 30 degrees apart with circles between.
WindFlight LegsAndCircles(KnownWind wind) {
    WindFlight flight(wind);
    for (const double heading : {20.0, 80.0, 140.0, 200.0, 260.0, 320.0, 50.0, 170.0}) {
        flight.Leg(heading, 30);
        flight.Circle();
    }
    return flight;
}

double DirectionDegrees(const glide::Wind& wind) {
    return wind.direction / kDegree;
}

class WindCommitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        StartFromLoad();
        glide::ResetHeadingWind();
        glide::ClearWindHistory();
        glide::g_windEstimator.Reset();
        glide::g_windEstimator.SetNotifyWindow(platform::kMainFrameWindow);
        g_windTriggerMask = 3;  // each position
        ASSERT_TRUE(StartFixProcessing());
    }
    void TearDown() override {
        StopFixProcessing(2000);
        glide::g_windEstimator.StopFits();
        glide::g_windEstimator.SetNotifyWindow(0);
        glide::g_windEstimator.Reset();
        glide::ResetHeadingWind();
        glide::ClearWindHistory();
        glide::SetCurrentWind({});
        g_windMethod = WindMethod::kNone;
    }

    // Feeds the seconds as the reader would, one published fix at a time.
    void Fly(const std::vector<Second>& seconds) {
        for (const Second& second : seconds) {
            for (const std::string& line : second.lines)
                Receive(line);
            ASSERT_TRUE(test_support::WaitUntil(
                [&] { return CurrentNav()->fixTimeHours >= second.fixTime - 1e-6F; }, 5000ms));
        }
    }

    // The main window's part: every posted estimate through the handler.
    std::vector<glide::Wind> HandleEstimates() {
        glide::g_windEstimator.StopFits();
        std::vector<glide::Wind> accepted;
        for (const std::any& payload : posts->Payloads()) {
            const auto* estimate = std::any_cast<glide::WindEstimate>(&payload);
            if (estimate != nullptr && glide::OnWindEstimate(*estimate))
                accepted.push_back(glide::CurrentWind());
        }
        return accepted;
    }

    platform::ScopedRecordingUiPost posts;
};

class WindCommitInKnownWind : public WindCommitTest,
                              public ::testing::WithParamInterface<KnownWind> {};

TEST_P(WindCommitInKnownWind, TheAirspeedFitFindsTheWind) {
    const KnownWind wind = GetParam();
    g_windMethod = WindMethod::kAirspeedFit;
    Fly(LegsAndCircles(wind).Seconds());
    const std::vector<glide::Wind> accepted = HandleEstimates();
    ASSERT_FALSE(accepted.empty());
    const glide::Wind last = accepted.back();
    EXPECT_NEAR(last.speed, wind.speed, 1.0);
    EXPECT_LE(AngleBetween(DirectionDegrees(last), wind.fromDegrees), 3.0);
}

TEST_P(WindCommitInKnownWind, TheHeadingMethodFindsTheWind) {
    const KnownWind wind = GetParam();
    g_windMethod = WindMethod::kHeading;
    // The position page steps through the history while the fix thread
    // adds to it.
    std::atomic<bool> flying{true};
    std::thread page([&flying] {
        for (int step = 1; flying.load(); step = -step) {
            (void)glide::StepWindHistoryCursor(step);
            (void)glide::WindHistory();
            std::this_thread::sleep_for(200us);
        }
    });
    Fly(LegsAndCircles(wind).Seconds());
    flying = false;
    page.join();
    ASSERT_TRUE(test_support::WaitUntil([] { return !glide::WindHistory().empty(); }, 2000ms));
    const glide::Wind last = glide::CurrentWind();
    EXPECT_TRUE(last.valid);
    EXPECT_NEAR(last.speed, wind.speed, 2.0);
    EXPECT_LE(AngleBetween(DirectionDegrees(last), wind.fromDegrees), 5.0);
}

INSTANTIATE_TEST_SUITE_P(Winds, WindCommitInKnownWind,
                         ::testing::Values(KnownWind{240.0, 15.0}, KnownWind{0.0, 15.0},
                                           KnownWind{90.0, 15.0}));

std::optional<std::filesystem::path> TestData(const char* name) {
    for (const char* root : {KV_SOURCE_DIR "/../shared/testdata/", KV_SOURCE_DIR "/../../shared/testdata/"}) {
        const std::filesystem::path path = std::filesystem::path(root) / name;
        if (std::filesystem::exists(path)) return path;
    }
    return std::nullopt;
}

// The B records of a flight log whose extension carries the true airspeed
// and the ground speed (hundredths of km/h) and the track, as sentences.
std::vector<Second> FlightLogSeconds(const std::filesystem::path& file) {
    constexpr double kKmhPerKnot = 1.852;
    std::ifstream in(file);
    std::vector<Second> seconds;
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 54 || line[0] != 'B') continue;
        const int hours = std::stoi(line.substr(1, 2));
        const int minutes = std::stoi(line.substr(3, 2));
        const int secs = std::stoi(line.substr(5, 2));
        const double tas = std::stoi(line.substr(41, 5)) / 100.0 / kKmhPerKnot;
        const double speed = std::stoi(line.substr(46, 5)) / 100.0 / kKmhPerKnot;
        const int track = std::stoi(line.substr(51, 3));
        const std::string latitude = line.substr(7, 4) + "." + line.substr(11, 3) + "," + line[14];
        const std::string longitude = line.substr(15, 5) + "." + line.substr(20, 3) + "," + line[23];
        Second s{static_cast<float>(hours + minutes / 60.0 + secs / 3600.0), {}};
        s.lines.push_back(Sentence(platform::FormatC("PTAS1,200,200,5000,%.1f", tas)));
        s.lines.push_back(Sentence(platform::FormatC(
            "GPRMC,%s,A,%s,%s,%05.1f,%03d.0,281010,000.0,E", line.substr(1, 6).c_str(),
            latitude.c_str(), longitude.c_str(), speed, track)));
        seconds.push_back(std::move(s));
    }
    return seconds;
}

TEST_F(WindCommitTest, ARealFlightsAirspeedsGiveSteadyEstimates) {
    const auto file = TestData("igc/0asljd01.igc");
    if (!file) GTEST_SKIP() << "the shared test data is not beside the checkout";
    g_windMethod = WindMethod::kAirspeedFit;
    const std::vector<Second> seconds = FlightLogSeconds(*file);
    ASSERT_GT(seconds.size(), 3000U);
    Fly(seconds);
    const std::size_t posted = posts->Payloads().size();
    const std::vector<glide::Wind> accepted = HandleEstimates();
    std::printf("%zu estimates posted, %zu accepted\n", posted, accepted.size());
    ASSERT_GE(accepted.size(), 3U);
    int steady = 0;
    std::vector<double> changes;
    for (std::size_t i = 0; i < accepted.size(); ++i) {
        const glide::Wind& w = accepted[i];
        EXPECT_TRUE(std::isfinite(w.speed) && std::isfinite(w.direction));
        EXPECT_LT(w.speed, 60.0F);
        double change = 0.0;
        if (i > 0) {
            const glide::Wind& before = accepted[i - 1];
            change = std::hypot(w.North() - before.North(), w.East() - before.East());
            if (change < 12.0) ++steady;
            changes.push_back(change);
        }
        std::printf("  %2zu  %5.1f kt from %3.0f at %5.0f ft, %4.1f kt from the one before\n",
                    i + 1, w.speed, DirectionDegrees(w), w.altitude, change);
    }
    // Between circles the wind does not jump: two thirds of the estimates
    // are within 12 kt of the one before, and the typical change is below
    // 10 kt.
    EXPECT_GE(3 * steady, 2 * static_cast<int>(changes.size()));
    std::sort(changes.begin(), changes.end());
    EXPECT_LT(changes[changes.size() / 2], 10.0);
}

TEST_F(WindCommitTest, ACaptureWithoutAirspeedOrHeadingGivesNoWind) {
    const auto file = TestData("nmea/flarm-capture.nmea");
    if (!file) GTEST_SKIP() << "the shared test data is not beside the checkout";
    for (const WindMethod method : {WindMethod::kAirspeedFit, WindMethod::kHeading}) {
        g_windMethod = method;
        std::ifstream in(*file);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            Receive(line + "\r\n");
        }
    }
    StopFixProcessing(2000);
    glide::g_windEstimator.StopFits();
    EXPECT_TRUE(glide::g_windEstimator.KeptSamples().empty());
    for (const auto& record : posts->Records())
        EXPECT_NE(record.message, platform::WM_APP_WINDESTIMATE);
    EXPECT_TRUE(glide::WindHistory().empty());
    EXPECT_FALSE(glide::CurrentWind().valid);
}

}  // namespace
}  // namespace gps::testing
