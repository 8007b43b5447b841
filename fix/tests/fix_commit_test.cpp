// The fix commit and the publication, driven with sentences through the
// real parser, one publication pass after each second (or as stated).
#include "fix/fix_commit.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "fix/fix_processing_thread.h"
#include "fix/tests/fix_test_support.h"
#include "nav/current_position.h"
#include "platform/ui_post.h"
#include "testing/units.h"
#include "texts/display_texts.h"

namespace gps::testing {
namespace {

using Record = platform::RecordingUiPostBackend::Record;

using test_support::kRadiansPerDegree;

class FixCommitTest : public ::testing::Test {
  protected:
    void SetUp() override { StartFromLoad(); }
    void TearDown() override {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        core::g_hFlightLog.Close();
        if (!logPath_.empty()) ::unlink(logPath_.c_str());
    }

    void Feed(std::string_view body) { ASSERT_TRUE(Receive(Sentence(body))) << body; }
    void FeedAndPublish(std::string_view body) {
        Feed(body);
        processor.Pass();
    }

    void OpenLog() {
        logPath_ = ::testing::TempDir() + "kv_fix_log_XXXXXX";
        const int fd = ::mkstemp(logPath_.data());
        ASSERT_GE(fd, 0);
        const platform::CriticalSectionLock lock(core::LogFileLock);
        core::g_hFlightLog.Attach(platform::UniqueFd(fd));
        core::g_igcDigest.Start(0);
    }
    std::vector<std::string> LogLines() const {
        std::ifstream in(logPath_, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::vector<Record> Posts(platform::WindowId window, unsigned message) const {
        std::vector<Record> found;
        for (const Record& r : posts->Records())
            if (r.window == window && r.message == message) found.push_back(r);
        return found;
    }

    platform::ScopedRecordingUiPost posts;
    FixProcessor processor;
    std::string logPath_;
};

TEST_F(FixCommitTest, ScriptedFlightAcrossMidnight) {
    OpenLog();
    const FlightScript script = MidnightFlight();
    std::vector<float> times;
    int circlingSeconds = 0;
    for (const ScriptedFix& fix : script.Fixes()) {
        g_fixAgeHours = 0.5;  // the map's timer ages the fix between fixes
        ASSERT_TRUE(Receive(fix.rmc));
        ASSERT_TRUE(Receive(fix.gga));
        processor.Pass();
        EXPECT_EQ(g_fixAgeHours.load(), 0.0);
        times.push_back(CurrentNav()->fixTimeHours);
        EXPECT_NEAR(CurrentNav()->latRad, fix.latitudeDeg * kRadiansPerDegree, 5e-9);
        EXPECT_NEAR(CurrentNav()->lonRad, -fix.lonEastDeg * kRadiansPerDegree, 5e-9);
        EXPECT_NEAR(CurrentNav()->gpsAltitude, fix.altitudeM * 3.2808, 0.05);
        EXPECT_NEAR(CurrentNav()->trackDeg, fix.courseDeg, 0.05);
        if (CurrentNav()->circling) ++circlingSeconds;
    }

    // Times across midnight: 23:58:31 = 23.97528 h, then on beyond 24.
    ASSERT_EQ(times.size(), 130U);
    EXPECT_NEAR(times.front(), 23.975278F, 1e-5);
    EXPECT_NEAR(times[89], 24.0F, 1e-5);  // 00:00:00
    EXPECT_NEAR(times.back(), 24.0F + 40.0F / 3600.0F, 1e-5);
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    EXPECT_EQ(glide::TimeText.Get(), L" 0:00'40\" UTC");

    // Circling starts at the first turn and ends 11 s after the last one;
    // each is told once.
    EXPECT_FALSE(CurrentNav()->circling);
    EXPECT_GE(circlingSeconds, 60 + 10);
    EXPECT_LE(circlingSeconds, 60 + 12);
    EXPECT_EQ(
        Posts(platform::kPosViewWindow, platform::WM_APP_CIRCLING),
        (std::vector<Record>{{platform::kPosViewWindow, platform::WM_APP_CIRCLING, 0, 1, false},
                             {platform::kPosViewWindow, platform::WM_APP_CIRCLING, 0, 0, false}}));
    const auto mapCircling = Posts(platform::kMapViewWindow, platform::WM_APP_CIRCLING);
    EXPECT_EQ(std::count(mapCircling.begin(), mapCircling.end(),
                         Record{platform::kMapViewWindow, platform::WM_APP_CIRCLING, 0, 0, false}),
              1);

    // The map hears of the first fix once, at the third; the destination
    // is where the glider was then.
    EXPECT_EQ(Posts(platform::kMapViewWindow, platform::WM_USER_MAPFIXCOMMIT),
              (std::vector<Record>{
                  {platform::kMapViewWindow, platform::WM_USER_MAPFIXCOMMIT, 0, 0, true}}));
    EXPECT_EQ(nav::g_destinationValid.load(), 1);
    EXPECT_NEAR(nav::CopyDestination().latitude, script.Fixes()[2].latitudeDeg * kRadiansPerDegree,
                2e-9);
    EXPECT_NEAR(nav::CopyMapFix().latitude, script.Fixes().back().latitudeDeg * kRadiansPerDegree,
                2e-9);

    // Every position fix after the first two is logged, across midnight.
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 128U);
    EXPECT_EQ(lines.front().substr(0, 7), "B235833");
    EXPECT_EQ(lines[86].substr(0, 7), "B235959");
    EXPECT_EQ(lines[87].substr(0, 7), "B000000");
    EXPECT_EQ(lines.back(), "B0000404730368N00815088EA0056000560009\r");
}

TEST_F(FixCommitTest, DayRollsOverOnlyWhenTheTimeFallsByMoreThan12Hours) {
    const auto published = [this](std::string_view time) {
        FeedAndPublish("GPRMC," + std::string(time) +
                       ",A,4730.000,N,00815.000,E,050.0,090.0,311224,002.0,E");
        return CurrentNav()->fixTimeHours;
    };
    EXPECT_NEAR(published("120010"), 12.002778F, 1e-5);
    EXPECT_NEAR(published("120005"), 12.001389F, 1e-5);  // a glitch, not midnight
    EXPECT_NEAR(published("235959"), 23.999722F, 1e-5);
    EXPECT_NEAR(published("000001"), 24.000278F, 1e-5);
    EXPECT_NEAR(published("120000"), 36.0F, 1e-5);
    EXPECT_NEAR(published("235959"), 47.999722F, 1e-4);
    EXPECT_NEAR(published("000002"), 48.000556F, 1e-4);
}

TEST_F(FixCommitTest, CommitsBeforeAPublicationAddUpAndARequestDoesNotSwallowThem) {
    Feed("GPRMC,120000,A,4730.000,N,00815.000,E,050.0,090.0,311224,002.0,E");
    Feed("GPGGA,120000,4730.000,N,00815.000,E,1,08,0.9,1000.0,M,0.0,M,,");
    SignalNewGpsData(4);
    EXPECT_EQ(DataAvailableEvent.Wait(0), platform::WaitResult::kSignalled);
    EXPECT_EQ(DataAvailableEvent.Wait(0), platform::WaitResult::kTimeout);  // one wake
    processor.Pass();

    EXPECT_NEAR(CurrentNav()->latRad, 47.5 * kRadiansPerDegree, 1e-9);  // from the RMC
    EXPECT_NEAR(CurrentNav()->gpsAltitude, 3280.8, 0.01);               // from the GGA
    EXPECT_FLOAT_EQ(CurrentNav()->speedKt, 50.0F);
    EXPECT_EQ(CurrentNav()->lastSourceMask, source_bit::kRmcCourse | source_bit::kGpsAltitude);
    EXPECT_EQ(TakePendingRequests(), 0U);
    {
        const platform::CriticalSectionLock lock(FixLock);
        EXPECT_EQ(CurrentFix.valueMask, 0U);
        EXPECT_EQ(CurrentFix.sourceMask, 0U);
    }
}

TEST_F(FixCommitTest, RedrawRequestsAddUpAndWakeTheThreadOnce) {
    SignalNewGpsData(4);
    SignalNewGpsData(0);
    EXPECT_EQ(DataAvailableEvent.Wait(0), platform::WaitResult::kSignalled);
    EXPECT_EQ(DataAvailableEvent.Wait(0), platform::WaitResult::kTimeout);
    EXPECT_EQ(TakePendingRequests(), 5U | 1U);
    SignalNewGpsData(4);
    EXPECT_EQ(DataAvailableEvent.Wait(0), platform::WaitResult::kSignalled);
}

TEST_F(FixCommitTest, CirclingNeedsMoreThan10Knots) {
    for (const double speed : {9.0, 11.0}) {
        SCOPED_TRACE(speed);
        StartFromLoad();
        posts->Clear();
        FlightScript script(12 * 3600, 47.5, 8.25);
        script.Straight(3, 0.0, speed);
        script.Circle(5, 10.0, speed);
        for (const ScriptedFix& fix : script.Fixes()) {
            ASSERT_TRUE(Receive(fix.rmc));
            processor.Pass();
        }
        EXPECT_EQ(CurrentNav()->circling, speed > 10.0);
        EXPECT_EQ(Posts(platform::kPosViewWindow, platform::WM_APP_CIRCLING).size(),
                  speed > 10.0 ? 1U : 0U);
    }
}

// The thermal climb is known only while its circling lasts, even when the
// fix that ends the circling is published together with the ones after it.
TEST_F(FixCommitTest, TheThermalClimbIsForgottenWhenCirclingEnds) {
    FlightScript script(12 * 3600, 47.5, 8.25);
    script.Straight(2, 0.0, 30.0);
    script.Circle(5, 10.0, 30.0);
    script.Straight(20, 0.0, 30.0);
    const std::vector<ScriptedFix>& fixes = script.Fixes();
    std::size_t next = 0;
    for (; next < 7; ++next) {
        ASSERT_TRUE(Receive(fixes[next].rmc));
        processor.Pass();
    }
    ASSERT_TRUE(CurrentNav()->circling);
    ChangeNav([](NavSnapshot& published) { published.thermalClimbKnown = true; });
    for (; next < fixes.size(); ++next)
        ASSERT_TRUE(Receive(fixes[next].rmc));
    processor.Pass();
    EXPECT_FALSE(CurrentNav()->circling);
    EXPECT_FALSE(CurrentNav()->thermalClimbKnown);
    EXPECT_EQ(CurrentNav()->circlingEnds, 1U);
}

TEST_F(FixCommitTest, ClimbComesFromAltitudesAtLeast0point9SecondsApart) {
    FeedAndPublish("GPGGA,120000.0,4730.000,N,00815.000,E,1,08,0.9,1000.0,M,0.0,M,,");
    FeedAndPublish("GPGGA,120000.8,4730.000,N,00815.000,E,1,08,0.9,1010.0,M,0.0,M,,");
    EXPECT_FLOAT_EQ(PendingFix.gpsClimb, 0.0F);
    // 100 ft in 10 s from the first altitude.
    FeedAndPublish("GPGGA,120010.0,4730.000,N,00815.000,E,1,08,0.9,1030.48,M,0.0,M,,");
    EXPECT_NEAR(CurrentNav()->gpsClimb, 100.0 / (10.0 / 3600.0) * 0.00016458, 0.01);
    // Without an instrument vario, the vario is the GPS climb.
    EXPECT_NEAR(CurrentNav()->vario, CurrentNav()->gpsClimb * CurrentNav()->densityFactor, 0.02);
}

// The wind from heading and airspeed, with winds from north and from east,
// through the commit, the publication and the wind text.
TEST_F(FixCommitTest, WindFromHeadingAndAirspeed) {
    struct Case {
        const char* airspeed;
        const char* rmcSpeedAndCourse;
        double speed;
        double direction;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"55", "045.00,000.00", 10.0, 0.0, L" Wnd:  10.0kts   0t"},
        // 50 kt north through the air, blown west: 50.99 kt on 348.69.
        {"50", "050.99,348.69", 10.0, 90.0, L" Wnd:  10.0kts   90t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.direction);
        StartFromLoad();
        g_windMethod = WindMethod::kHeadingAirspeed;
        g_hcHdgTrue = 1;
        for (int second = 0; second < 4; ++second) {
            Receive(Sentence("HCHDT,0.0,T"));
            Receive(Sentence(std::string("PTAS1,,,,") + c.airspeed));
            FeedAndPublish(
                platform::FormatC("GPRMC,12000%d,A,4730.000,N,00815.000,E,%s,311224,"
                                  "002.0,E",
                                  second, c.rmcSpeedAndCourse));
        }
        const glide::Wind wind = glide::CurrentWind();
        ASSERT_TRUE(wind.valid);
        EXPECT_NEAR(wind.speed, c.speed, 0.02);
        EXPECT_NEAR(wind.direction / kRadiansPerDegree, c.direction, 0.1);
        EXPECT_EQ(glide::WindText.Get(), c.text);
        EXPECT_NEAR(wind.North(), c.speed * std::cos(c.direction * kRadiansPerDegree), 0.02);
        EXPECT_NEAR(wind.East(), c.speed * std::sin(c.direction * kRadiansPerDegree), 0.02);
    }
}

// The airspeed through the wind and the angle to steer into it: a head
// wind adds to the airspeed and needs no correction.
TEST_F(FixCommitTest, WindCorrectionAngle) {
    struct Case {
        double windFrom;
        double airspeed;
        double angle;
    };
    const Case cases[] = {
        {0.0, 100.0, 0.0},       // head wind
        {180.0, 60.0, 0.0},      // tail wind
        {90.0, 82.462, 14.036},  // from the right: steer right
        {270.0, 82.462, -14.036},
    };
    core::g_windCorrection = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windFrom);
        glide::SetCurrentWind({20.0F, c.windFrom * kRadiansPerDegree, true});
        FeedAndPublish("GPRMC,120000,A,4730.000,N,00815.000,E,080.0,000.0,311224,002.0,E");
        EXPECT_NEAR(CurrentNav()->shownAirspeed, c.airspeed, 0.01);
        EXPECT_NEAR(CurrentNav()->windCorrectionAngle, c.angle, 0.01);
    }
    core::g_windCorrection = 0;
    FeedAndPublish("GPRMC,120001,A,4730.000,N,00815.000,E,080.0,000.0,311224,002.0,E");
    EXPECT_FLOAT_EQ(CurrentNav()->windCorrectionAngle, 0.0F);
}

// The automatic QNH: ten pressure altitudes skipped, then the difference to
// the receiver's altitude at rest; none without a receiver altitude.
TEST_F(FixCommitTest, AutomaticQnhCalibratesAtRestAgainstTheReceiverAltitude) {
    for (int i = 0; i < 15; ++i) {
        FeedAndPublish("GPGGA,120000,4730.000,N,00815.000,E,1,08,0.9,304.8,M,0.0,M,,");
        FeedAndPublish("PGRMZ,1100,F");
        if (i < 10) {
            EXPECT_FLOAT_EQ(CurrentNav()->autoQnhCorrection, kNoValue);
        }
    }
    EXPECT_NEAR(CurrentNav()->autoQnhCorrection, 100.0, 0.5);
    EXPECT_NEAR(CurrentNav()->qnhAltitude, 1000.0, 0.5);
    EXPECT_TRUE(CurrentNav()->pressureKnown);

    StartFromLoad();
    for (int i = 0; i < 15; ++i)
        FeedAndPublish("PGRMZ,1100,F");
    EXPECT_FLOAT_EQ(CurrentNav()->autoQnhCorrection, kNoValue);
    EXPECT_FLOAT_EQ(CurrentNav()->qnhAltitude, 1100.0F);
    EXPECT_FLOAT_EQ(CurrentNav()->gpsAltitude, 1100.0F);  // stood in for the GPS altitude
}

TEST_F(FixCommitTest, ShownAltitudeChangesSidesOfTheTransitionOnlyWhenBothAgree) {
    // With a QNH correction of -100 ft (QNH above standard).
    ChangeNav([&](NavSnapshot& nav) { nav.autoQnhCorrection = -100.0F; });
    struct Step {
        int pressure;
        float shown;
        bool above;
    };
    const Step steps[] = {
        {17800, 17900.0F, false}, {17950, 18000.0F, false},  // QNH above: held at 18000
        {18000, 18000.0F, true},  {18100, 18100.0F, true},
        {17950, 18000.0F, true},  {17850, 17950.0F, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.pressure);
        FeedAndPublish(platform::FormatC("PGRMZ,%d,F", step.pressure));
        EXPECT_FLOAT_EQ(CurrentNav()->qnhAltitude, step.shown);
        EXPECT_EQ(CurrentNav()->aboveTransition, step.above);
    }
}

TEST_F(FixCommitTest, DensityFactorFromTheAltitude) {
    FeedAndPublish("GPGGA,120000,4730.000,N,00815.000,E,1,08,0.9,3048.0,M,0.0,M,,");
    EXPECT_NEAR(CurrentNav()->densityFactor, 0.8593, 1e-4);  // 10000 ft
}

}  // namespace
}  // namespace gps::testing
