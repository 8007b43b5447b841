// The replay: records become committed fixes, in order, with speed and
// course derived where the file has none; a live sentence meanwhile is
// neither parsed nor committed.
#include "recorder/replay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <numbers>
#include <vector>

#include "fix/tests/fix_test_support.h"
#include "platform/ui_post.h"
#include "recorder/settings_values.h"
#include "testing/units.h"

namespace recorder {
namespace {

using test_support::kRadiansPerDegree;

const std::filesystem::path kReplayTestData =
    std::filesystem::path(KV_SOURCE_DIR) / "../shared/testdata/igc";

struct Committed {
    int hours, minutes;
    float seconds;
    double latitude, longitude;
    float fixTime;
};

class ReplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gps::testing::StartFromLoad();
        g_fileReplayInterval = 0;
        g_replayPacing = -1;
        ReplayMapHooks hooks;
        hooks.redraw = [this] {
            const gps::GpsFixRecord& fix = gps::CurrentFix;
            committed_.push_back(
                {fix.hours, fix.minutes, fix.seconds, fix.latitude, fix.longitude, fix.fixTime});
        };
        SetReplayMapHooks(std::move(hooks));
    }
    void TearDown() override {
        SetReplayMapHooks({});
        gps::g_bReplayRunning = false;
        g_fileReplayInterval = 4;
    }

    std::vector<Committed> committed_;
};

TEST_F(ReplayTest, EveryValidRecordIsCommittedInOrder) {
    for (const char* name : {"18BF14K1.igc", "2010-08-20-XCS-AAA-08.igc"}) {
        committed_.clear();
        CFlightType reference;
        ASSERT_TRUE(reference.Open(kReplayTestData / name));
        CFlightType file;
        ASSERT_TRUE(file.Open(kReplayTestData / name));
        gps::g_bReplayRunning = true;
        EXPECT_EQ(ReplayThreadProc(file), 11);
        std::size_t i = 0;
        while (const auto record = reference.ParseRecord()) {
            ASSERT_LT(i, committed_.size()) << name;
            const Committed& c = committed_[i++];
            EXPECT_NEAR(c.hours + c.minutes / 60.0 + c.seconds / 3600.0, reference.lastTime, 1e-6);
            EXPECT_NEAR(c.fixTime, reference.lastTime + 24.0 * reference.dayCount, 1e-4);
            EXPECT_NEAR(c.latitude, record->latitude * kRadiansPerDegree, 1e-9);
            EXPECT_NEAR(c.longitude, record->lonWest * kRadiansPerDegree, 1e-9);
        }
        EXPECT_EQ(i, committed_.size()) << name;
    }
    EXPECT_TRUE(committed_.empty());  // the last file holds only invalid fixes
}

TEST_F(ReplayTest, ALiveSentenceDuringAReplayIsNotCommitted) {
    gps::g_bReplayRunning = true;
    gps::PendingFix.latitude = 0.5;
    std::string rmc =
        gps::testing::Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    EXPECT_FALSE(gps::testing::Receive(rmc));
    EXPECT_EQ(gps::PendingFix.latitude, 0.5);
    gps::g_bReplayRunning = false;
    rmc =
        gps::testing::Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    EXPECT_TRUE(gps::testing::Receive(rmc));
}

TEST_F(ReplayTest, TheThreadStopsWhenAskedWhileLiveDataArrives) {
    auto file = std::make_unique<CFlightType>();
    ASSERT_TRUE(file->Open(kReplayTestData / "18BF14K1.igc"));
    ASSERT_TRUE(StartReplay(std::move(file)));
    EXPECT_TRUE(gps::g_bReplayRunning.load());
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < end) {
        EXPECT_FALSE(gps::testing::Receive(gps::testing::Sentence(
            "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")));
    }
    StopReplay();
    JoinReplay();
    EXPECT_FALSE(ReplayThreadRunning());
    EXPECT_GT(committed_.size(), 0U);
    EXPECT_LT(committed_.size(), 202U);
}

// Unpaced until the first pause; the pause holds the playback, and play
// starts again at half a second a fix.
TEST_F(ReplayTest, APauseHoldsThePlaybackAndPlayStartsSlow) {
    std::atomic<bool> paused{true};
    std::atomic<int> commits{0};
    ReplayMapHooks hooks;
    hooks.paused = [&paused] { return paused.load(); };
    hooks.redraw = [&commits] { ++commits; };
    SetReplayMapHooks(std::move(hooks));
    auto file = std::make_unique<CFlightType>();
    ASSERT_TRUE(file->Open(kReplayTestData / "18BF14K1.igc"));
    ASSERT_TRUE(StartReplay(std::move(file)));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(commits.load(), 1);
    EXPECT_GT(g_replayPacing.load(), 0);

    paused = false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    // 454 ms, then 413 ms, 375 ms: two or three fixes where an unpaced
    // replay commits dozens.
    EXPECT_GE(commits.load(), 2);
    EXPECT_LE(commits.load(), 5);
    StopReplay();
    JoinReplay();
    EXPECT_FALSE(ReplayThreadRunning());
}

TEST_F(ReplayTest, SpeedAndCourseFromSuccessivePositions) {
    core::g_magneticVariation = 2.0;
    CFlightType file;
    ReplayFixBuilder builder;
    const auto fill = [&](double latitude, double lonWest, double hours, int dayCount) {
        file.lastTime = hours;
        file.dayCount = dayCount;
        builder.Fill({lonWest, latitude, false, false, false}, file);
        return gps::PendingFix;
    };
    gps::GpsFixRecord fix = fill(47.0, -8.5, 23.98, 0);
    EXPECT_EQ(fix.groundSpeed, 0.0F);
    EXPECT_EQ(fix.lonLetter, 'E');
    EXPECT_EQ(fix.latLetter, 'N');
    EXPECT_DOUBLE_EQ(fix.lonDegrees, 8.0);
    EXPECT_DOUBLE_EQ(fix.lonMinutes, 30.0);
    fix = fill(47.0, 0.0, 23.99, 0);
    // 0.01 degree north in 36 s, across midnight.
    fix = fill(47.01, 0.0, 0.0, 1);
    EXPECT_NEAR(fix.groundSpeed, 0.01 * kRadiansPerDegree * 6371.0 / 1.852 / 0.01, 1e-3);
    EXPECT_NEAR(fix.trueCourse, 0.0, 1e-6);
    EXPECT_NEAR(fix.magneticCourse, 358.0, 1e-6);
    EXPECT_EQ(fix.hours, 0);
    fix = fill(47.01, -0.01, 0.01, 1);  // east
    EXPECT_NEAR(fix.trueCourse, 90.0, 1e-6);
    fix = fill(47.01, 0.0, 0.02, 1);  // west
    EXPECT_NEAR(fix.trueCourse, 270.0, 1e-6);
    EXPECT_EQ(fix.sourceMask & 0x2U, 0x2U);
    EXPECT_EQ(fix.valueMask & 0x4029U, 0x4029U);
    core::g_magneticVariation = 0.0;
}

// Takes the replay's end notice on the replay thread, as it is posted, and
// notes what the main window would then find.
class EndNoticeProbe final : public platform::UiPostBackend {
  public:
    bool Post(platform::WindowMessage message) override {
        if (message.message == platform::WM_USER_REPLAYDONE) {
            lastEndedAtNotice = LastReplayEnded();
            ++notices;
        }
        return true;
    }
    std::optional<std::intptr_t> Send(platform::WindowMessage) override { return std::nullopt; }

    std::atomic<bool> lastEndedAtNotice{false};
    std::atomic<int> notices{0};
};

// The main window handles the end notice while the replay thread may not
// have returned yet: the replay already counts as ended then. A replay
// started since is not taken for ended by an earlier one's notice.
TEST_F(ReplayTest, TheEndNoticeFindsTheLastReplayEndedAndALaterOneRunning) {
    const auto probe = std::make_shared<EndNoticeProbe>();
    const auto previous = platform::SetUiPostBackend(probe);
    auto first = std::make_unique<CFlightType>();
    ASSERT_TRUE(first->Open(kReplayTestData / "18BF14K1.igc"));
    ASSERT_TRUE(StartReplay(std::move(first)));
    EXPECT_FALSE(LastReplayEnded());
    StopReplay();
    JoinReplay();
    EXPECT_EQ(probe->notices.load(), 1);
    EXPECT_TRUE(probe->lastEndedAtNotice.load());

    std::atomic<bool> paused{true};
    ReplayMapHooks hooks;
    hooks.paused = [&paused] { return paused.load(); };
    SetReplayMapHooks(std::move(hooks));
    auto second = std::make_unique<CFlightType>();
    ASSERT_TRUE(second->Open(kReplayTestData / "18BF14K1.igc"));
    ASSERT_TRUE(StartReplay(std::move(second)));
    EXPECT_FALSE(LastReplayEnded());  // the first replay's notice, handled late, is ignored
    StopReplay();
    JoinReplay();
    EXPECT_TRUE(LastReplayEnded());
    platform::SetUiPostBackend(previous);
}

}  // namespace
}  // namespace recorder
