// The per-fix pass: first fixes, the low-altitude warning, map rotation,
// the destination's arrival and leaving, and the position lines.
#include "fix/position_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <any>
#include <bit>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "fix/tests/nav_texts_support.h"
#include "nav/tests/task_test_support.h"
#include "resources/ids/main_frame.h"
#include "services/track_cache.h"

namespace gps::testing {
namespace {

// An elevation model that answers one height everywhere.
class FlatModel final : public core::ElevationModel {
  public:
    explicit FlatModel(float feet) : feet_(feet) {}
    std::optional<float> GetElevationAt(double, double) const override { return feet_; }
    double SampleStepKm() const override { return 0.3; }

  private:
    float feet_;
};

int CountPosts(platform::RecordingUiPostBackend& posts, platform::WindowId window,
               unsigned message, std::uintptr_t wParam) {
    const auto records = posts.Records();
    return static_cast<int>(std::count_if(records.begin(), records.end(), [&](const auto& r) {
        return r.window == window && r.message == message && r.wParam == wParam;
    }));
}

class PositionTextsTest : public ::testing::Test {
  protected:
    NavTextsScope scope_;
};

TEST_F(PositionTextsTest, TheFirstTwoFixesWriteNothingAndTheThirdTakesTheDestination) {
    EXPECT_EQ(PublishAndRun({}), 0U);
    EXPECT_EQ(PublishAndRun({}), 0U);
    for (const glide::DisplayText* text : glide::AllDisplayTexts())
        EXPECT_EQ(text->Get(), text->DefaultText()) << std::wstring(text->Name());
    EXPECT_TRUE(scope_.Posts().Records().empty());

    const std::uint32_t result = PublishAndRun({});
    EXPECT_EQ(result & 0x7U, 0x7U);
    EXPECT_EQ(result & 0xFF00U, 0U);
    EXPECT_EQ(nav::g_destinationValid.load(), 1);
    EXPECT_EQ(nav::CopyDestination().name.View(), L" ???");
    EXPECT_EQ(glide::LatitudeText.Get(), L" 47:00'00\" N");
    EXPECT_EQ(glide::LongitudeText.Get(), L"  8:00'00\" E");
    EXPECT_EQ(glide::GroundSpeedText.Get(), L" 50.0kts");
    EXPECT_EQ(glide::TrackText.Get(), L"   0m ");
    const auto first = scope_.Posts().Records().front();
    EXPECT_EQ(first.message, platform::WM_USER_MAPFIXCOMMIT);
    EXPECT_TRUE(first.sent);
}

TEST_F(PositionTextsTest, SourceBitsAreMovedIntoTheResult) {
    for (int i = 0; i < 3; ++i)
        PublishAndRun({});
    const std::uint32_t result = UpdatePositionTexts(
        {value_bit::kCourseAndSpeed, 0x800 | 0x100 | 0x8000 | 0x10000}, false);
    EXPECT_EQ(result, 0x2U | 0x40U | 0x100U | 0x8000U);
    EXPECT_EQ(g_positionTextsMask.load() & 0x8142U, 0x8142U);
}

TEST_F(PositionTextsTest, LowOverTheTerrainWarnsAtTheFifthFifteenthAndThirtyFifthFix) {
    core::SetElevationModel(std::make_shared<FlatModel>(1000.0F));
    PublishedFix high{};
    high.altitude = 2500.0F;
    PublishedFix low = high;
    low.altitude = 1500.0F;  // 500 ft above the terrain
    for (int i = 0; i < 3; ++i)
        PublishAndRun(high);  // arms the warning
    EXPECT_EQ(glide::GroundClearanceText.Get(), L"G:1.5kF");
    std::vector<int> warnedAt;
    for (int i = 1; i <= 40; ++i) {
        scope_.Posts().Clear();
        PublishAndRun(low);
        if (CountPosts(scope_.Posts(), platform::kMainFrameWindow, platform::WM_APP_PLAYSOUND, 0) > 0)
            warnedAt.push_back(i);
    }
    EXPECT_EQ(warnedAt, (std::vector<int>{5, 15, 35}));
    EXPECT_EQ(glide::GroundClearanceText.Get(), L"G:0.5kF");
    EXPECT_FLOAT_EQ(g_heightAboveTerrain.load(), 500.0F);

    core::SetElevationModel(nullptr);
    PublishAndRun(low);
    EXPECT_EQ(glide::GroundClearanceText.Get(), L"G: ?? ");
}

TEST_F(PositionTextsTest, NeverArmedTheWarningStaysQuiet) {
    core::SetElevationModel(std::make_shared<FlatModel>(1000.0F));
    PublishedFix low{};
    low.altitude = 1200.0F;
    for (int i = 0; i < 50; ++i)
        PublishAndRun(low);
    EXPECT_EQ(CountPosts(scope_.Posts(), platform::kMainFrameWindow, platform::WM_APP_PLAYSOUND, 0), 0);
}

TEST_F(PositionTextsTest, TheMapTurnsOnlyForMoreThanTheMinimumAngle) {
    const auto rotations = [this] {
        return CountPosts(scope_.Posts(), platform::kMapViewWindow, platform::WM_USER_MAPNEWFIX, 1);
    };
    PublishedFix fix{};
    fix.track = 10.0;
    for (int i = 0; i < 3; ++i)
        PublishAndRun(fix);
    EXPECT_EQ(rotations(), 1);  // the first heading
    fix.track = 40.0;           // 30.0 degrees
    PublishAndRun(fix);
    EXPECT_EQ(rotations(), 1);
    fix.track = 40.1;  // 30.1 degrees
    PublishAndRun(fix);
    EXPECT_EQ(rotations(), 2);
    fix.track = 359.6;  // 40.5 degrees the short way round
    PublishAndRun(fix);
    EXPECT_EQ(rotations(), 3);
    // The map is told the track to turn to, in whole degrees.
    const auto records = scope_.Posts().Records();
    const auto last = std::find_if(records.rbegin(), records.rend(), [](const auto& r) {
        return r.window == platform::kMapViewWindow && r.message == platform::WM_USER_MAPNEWFIX &&
               r.wParam == 1;
    });
    ASSERT_NE(last, records.rend());
    EXPECT_EQ(last->lParam, 0);
    fix.straight = false;
    fix.track = 180.0;
    PublishAndRun(fix);
    EXPECT_EQ(rotations(), 3);
}

TEST_F(PositionTextsTest, ReplayingSendsTheNewFixToTheMap) {
    for (int i = 0; i < 3; ++i)
        PublishAndRun({});
    scope_.Posts().Clear();
    PublishAndRun({}, /*replaying=*/true);
    const auto records = scope_.Posts().Records();
    const auto map = std::find_if(records.begin(), records.end(), [](const auto& r) {
        return r.window == platform::kMapViewWindow && r.message == platform::WM_USER_MAPNEWFIX &&
               r.wParam == 0;
    });
    ASSERT_NE(map, records.end());
    EXPECT_TRUE(map->sent);
}

TEST_F(PositionTextsTest, ArrivingAndLeavingPlaySoundsAndMoveOnToTheNextWaypoint) {
    core::g_soundPathAt.Set(L"at.wav");
    core::g_soundPathTo.Set(L"to.wav");
    const nav::WaypointRecord first = nav::testing::At(47.05, 8.0, L"First");
    const nav::WaypointRecord second = nav::testing::At(47.2, 8.0, L"Second");
    nav::GoToWaypoint(second);
    nav::GoToWaypoint(first);
    nav::g_destinationValid = 1;
    PublishedFix fix{};
    fix.latitude = 47.0;
    for (int i = 0; i < 3; ++i)
        PublishAndRun(fix);
    EXPECT_TRUE(scope_.Links().sounds.empty());
    EXPECT_EQ(glide::DestinationPrefixText.Get().substr(0, 2), L"To");

    fix.latitude = 47.05;  // at the destination
    PublishAndRun(fix);
    EXPECT_EQ(scope_.Links().sounds, (std::vector<std::wstring>{L"at.wav"}));
    EXPECT_EQ(glide::DestinationPrefixText.Get().substr(0, 2), L"At");
    EXPECT_TRUE(DestinationReached());
    EXPECT_EQ(CountPosts(scope_.Posts(), platform::kMainFrameWindow, platform::WM_COMMAND,
                         xrc::main_frame::kNextWaypoint),
              0);

    fix.latitude = 47.1;  // 5.5 km on: left it
    PublishAndRun(fix);
    EXPECT_EQ(scope_.Links().sounds, (std::vector<std::wstring>{L"at.wav", L"to.wav"}));
    EXPECT_EQ(glide::DestinationPrefixText.Get().substr(0, 2), L"To");
    EXPECT_EQ(CountPosts(scope_.Posts(), platform::kMainFrameWindow, platform::WM_COMMAND,
                         xrc::main_frame::kNextWaypoint),
              1);
    PublishAndRun(fix);
    EXPECT_EQ(CountPosts(scope_.Posts(), platform::kMainFrameWindow, platform::WM_COMMAND,
                         xrc::main_frame::kNextWaypoint),
              1);
}

TEST_F(PositionTextsTest, PositionLinesFollowTheChosenForm) {
    for (int i = 0; i < 3; ++i)
        PublishAndRun({});
    core::g_decimalMinutes = 1;
    PublishedFix fix{};
    fix.latitude = -33.5;
    fix.lonEast = -70.25;
    PublishAndRun(fix);
    EXPECT_EQ(glide::LatitudeText.Get(), L" 33:30.00' S");
    EXPECT_EQ(glide::LongitudeText.Get(), L" 70:15.00' W");
    core::g_useUtm = 1;
    PublishAndRun(fix);
    EXPECT_EQ(glide::LatitudeText.Get().substr(0, 3), L"19S");
}

}  // namespace
}  // namespace gps::testing

namespace gps::testing {
namespace {

// Each stored track point carries the colour index of the climb at its fix,
// the index the map's track is drawn by.
TEST_F(PositionTextsTest, TrackPointsCarryTheirClimbsColourIndex) {
    const int interval = core::g_trackCacheSaveInterval.load();
    core::g_trackCacheSaveInterval = 1;
    ASSERT_EQ(core::TrackCacheAlloc(), 1);
    PublishAndRun({});  // the first two fixes store nothing
    PublishAndRun({});
    const struct {
        float average, climb;
    } fixes[] = {{0.0F, 0.0F}, {2.0F, 3.0F}, {-12.0F, -15.0F}, {4.4F, 1.0F}};
    for (const auto& f : fixes) {
        ChangeNav([&](NavSnapshot& nav) {
            nav.averageVario = f.average;
            nav.vario = f.climb;
        });
        PublishAndRun({});
    }
    std::vector<std::uint32_t> attributes;
    core::TrackCacheRecord record;
    for (int more = core::TrackCacheFirst(record, 1); more >= 0; more = core::TrackCacheNext(record, 1)) {
        attributes.push_back(core::g_trackAttribute);
        if (more == 0) break;
    }
    EXPECT_EQ(attributes, (std::vector<std::uint32_t>{2 * 10, 2 * 12 + 1, 2 * 0, 2 * 14}));
    core::TrackCacheFree();
    core::g_trackCacheSaveInterval = interval;
}

}  // namespace
}  // namespace gps::testing

namespace gps::testing {
namespace {

TEST_F(PositionTextsTest, FlyingStraightHandsThePageTheCourseInRadians) {
    for (int i = 0; i < 3; ++i) PublishAndRun({.track = 90.0});
    const auto records = scope_.Posts().Records();
    const auto last = std::find_if(records.rbegin(), records.rend(), [](const auto& r) {
        return r.window == platform::kPosViewWindow && r.message == platform::WM_USER_MAPNEWFIX;
    });
    ASSERT_NE(last, records.rend());
    EXPECT_EQ(last->wParam, 0U);
    const float course = std::bit_cast<float>(static_cast<std::uint32_t>(last->lParam));
    EXPECT_NEAR(course, std::numbers::pi / 2, 1e-6);
}

}  // namespace
}  // namespace gps::testing
