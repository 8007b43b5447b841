// The fix-processing thread with a reader and a user interface on threads
// of their own (also run under ThreadSanitizer).
#include "fix/fix_processing_thread.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "fix/tests/fix_test_support.h"
#include "platform/ui_post.h"
#include "testing/wait_until.h"

namespace gps::testing {
namespace {

using namespace std::chrono_literals;
using Record = platform::RecordingUiPostBackend::Record;

class FixProcessingThreadTest : public ::testing::Test {
  protected:
    void SetUp() override { StartFromLoad(); }
    void TearDown() override { StopFixProcessing(2000); }

    platform::ScopedRecordingUiPost posts;
};

TEST_F(FixProcessingThreadTest, PublishesEverythingTheReaderCommitsWhileTheUiAsksForRedraws) {
    ASSERT_TRUE(StartFixProcessing());
    EXPECT_FALSE(StartFixProcessing());

    const FlightScript script = MidnightFlight();
    std::atomic<bool> readerDone{false};
    std::thread ui([&readerDone] {
        while (!readerDone.load()) {
            SignalNewGpsData(4);
            std::this_thread::sleep_for(200us);
        }
    });
    std::thread reader([&script, &readerDone] {
        for (const ScriptedFix& fix : script.Fixes()) {
            EXPECT_TRUE(Receive(fix.rmc));
            EXPECT_TRUE(Receive(fix.gga));
            std::this_thread::sleep_for(100us);
        }
        readerDone = true;
    });
    reader.join();
    ui.join();

    const ScriptedFix& last = script.Fixes().back();
    ASSERT_TRUE(
        test_support::WaitUntil([] { return CurrentNav()->fixTimeHours >= 24.0F + 39.5F / 3600.0F; }, 5000ms));
    EXPECT_TRUE(test_support::WaitUntil(
        [&last] { return std::abs(CurrentNav()->gpsAltitude - last.altitudeM * 3.2808) < 0.05; },
        5000ms));
    EXPECT_NEAR(CurrentNav()->latRad, last.latitudeDeg * std::numbers::pi / 180.0, 5e-9);
    EXPECT_NEAR(CurrentNav()->trackDeg, last.courseDeg, 0.05);

    EXPECT_TRUE(StopFixProcessing(2000));
    EXPECT_FALSE(FixProcessingRunning());

    int circlingPosts = 0;
    int firstFixSends = 0;
    for (const Record& r : posts->Records()) {
        if (r.window == platform::kPosViewWindow && r.message == platform::WM_APP_CIRCLING)
            ++circlingPosts;
        if (r.message == platform::WM_USER_MAPFIXCOMMIT) ++firstFixSends;
    }
    EXPECT_EQ(circlingPosts, 2);
    EXPECT_EQ(firstFixSends, 1);
}

TEST_F(FixProcessingThreadTest, AnIdleThreadStopsAtOnce) {
    ASSERT_TRUE(StartFixProcessing());
    std::this_thread::sleep_for(10ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(StopFixProcessing(2000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
    EXPECT_FALSE(FixProcessingRunning());
    // It can be started again (a port reopened after a replay, say).
    EXPECT_TRUE(StartFixProcessing());
}

}  // namespace
}  // namespace gps::testing
