#include "map/track_draw.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/settings_values.h"
#include "core/waypoint_record.h"
#include "map/map_draw_math.h"
#include "services/track_cache.h"

namespace map {
namespace {

std::uint32_t TrackArgb(platform::Colour c) {
    return platform::PremultipliedArgb(255, c.red, c.green, c.blue);
}

TEST(TrackDot, DiamondSpacingAndLiftColour) {
    platform::Canvas canvas(100, 60);
    TrackStyle style;
    platform::Point last{-100, -100};
    const int strongLift = TrackColourIndex(5.0F, 6.0F);  // 31: rising
    EXPECT_TRUE(DrawTrackDot(canvas, last, {50, 30}, false, strongLift, style));
    EXPECT_FALSE(DrawTrackDot(canvas, last, {52, 31}, false, strongLift, style));  // within 3 px
    EXPECT_FALSE(DrawTrackDot(canvas, last, {20, 30}, true, strongLift, style));   // button column
    canvas.Finish();
    const std::uint32_t colour = TrackArgb(TrackColour(style, strongLift));
    EXPECT_EQ(colour, platform::PremultipliedArgb(255, 255, 130, 0));
    // dotSize 2: a diamond of half-size 1.
    EXPECT_EQ(canvas.Pixels().Pixel(50, 30), colour);
    EXPECT_EQ(canvas.Pixels().Pixel(51, 30), colour);
    EXPECT_EQ(canvas.Pixels().Pixel(50, 29), colour);
    EXPECT_NE(canvas.Pixels().Pixel(51, 29), colour);
    EXPECT_NE(canvas.Pixels().Pixel(52, 30), colour);

    // Zoomed, rising lift shown bigger: half-size 3.
    style.zoomed = true;
    EXPECT_TRUE(DrawTrackDot(canvas, last, {80, 30}, true, strongLift, style));
    canvas.Finish();
    EXPECT_EQ(canvas.Pixels().Pixel(83, 30), colour);
    EXPECT_EQ(TrackColour(style, 99), TrackColour(style, 41));
    EXPECT_EQ(TrackColour(style, -5), TrackColour(style, 0));
}

// A ring of `points` points going east from 0 N 0 E, one colour index each.
class StoredTrackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        core::g_trackCacheLength = 100;
        core::g_trackCacheSaveInterval = 1;
        ASSERT_EQ(core::TrackCacheAlloc(), 1);
        core::TrackCacheReset();
        state.cx = 40.0F;
        state.cy = 30.0F;
        state.k = 20000.0F;  // 0.001 rad = 20 px
    }
    void TearDown() override {
        core::TrackCacheFree();
        core::g_trackCacheSaveInterval = 3;
        core::g_trackCacheLength = 8000;
    }
    static nav::WaypointRecord Point(int i) {
        return {0.0, 0.0002 * i, false};  // 4 px apart on the screen
    }
    platform::Point Where(int i) const {
        const nav::WaypointRecord p = Point(i);
        const mapdata::ScreenPoint at = mapdata::ProjectToScreen(
            state, {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
        return {static_cast<int>(at.x), static_cast<int>(at.y)};
    }
    static void Append(int points) {
        for (int i = 0; i < points; ++i) {
            const nav::WaypointRecord p = Point(i);
            core::g_trackAttribute = static_cast<std::uint32_t>(2 * (i % 21));
            core::TrackCacheAppend({p.x, p.y, p.z, 0, 0});
        }
    }
    std::uint32_t PixelAt(platform::CanvasHandover& handover, platform::Point at) {
        std::uint32_t pixel = 0;
        handover.Read([&](const platform::Image& image) { pixel = image.Pixel(at.x, at.y); });
        return pixel;
    }
    static platform::CanvasHandover& White(platform::CanvasHandover& handover) {
        auto canvas = std::make_unique<platform::Canvas>(200, 60);
        canvas->FillRect(canvas->Bounds(), platform::Brush::Solid(platform::kWhite));
        handover.Publish(std::move(canvas));
        return handover;
    }
    mapdata::MapDrawState state;  // centre (1, 0, 0): 0 N 0 E
    TrackStyle style;
};

TEST_F(StoredTrackTest, DrawsNewestFirstInTurnsUnderTheHandOver) {
    const std::atomic<int> stop{0};
    const std::atomic<int> go{1};
    platform::CanvasHandover none;
    Append(30);
    EXPECT_EQ(DrawStoredTrack(none, state, style, 50, go, {}), -97);  // nothing handed over
    platform::CanvasHandover handover;
    White(handover);
    EXPECT_EQ(DrawStoredTrack(handover, state, style, 50, stop, {}), -97);
    int turns = 0;
    EXPECT_EQ(DrawStoredTrack(handover, state, style, 50, go, {}, [&] { ++turns; }), 97);
    EXPECT_EQ(turns, 3);
    // Every point in its own colour; the oldest (index 0) at the centre is
    // the last dot, kept as the canvas's mark.
    for (int i : {0, 7, 20, 29}) {
        EXPECT_EQ(PixelAt(handover, Where(i)), TrackArgb(TrackColour(style, 2 * (i % 21)))) << i;
    }
    platform::Point mark;
    handover.Draw([&](platform::Canvas&, platform::Point& m) { mark = m; });
    EXPECT_EQ(mark, Where(0));
}

TEST_F(StoredTrackTest, CountLimitsThePointsAndLinesJoinThem) {
    const std::atomic<int> go{1};
    Append(30);
    platform::CanvasHandover handover;
    White(handover);
    EXPECT_EQ(DrawStoredTrack(handover, state, style, 5, go, {}), 97);  // the newest 5: 25..29
    EXPECT_NE(PixelAt(handover, Where(25)), TrackArgb(platform::kWhite));
    EXPECT_EQ(PixelAt(handover, Where(24)), TrackArgb(platform::kWhite));

    style.zoomed = true;
    White(handover);
    EXPECT_EQ(DrawStoredTrack(handover, state, style, 30, go, {}), 97);
    // Lines: the pixels between the points are drawn too.
    EXPECT_NE(PixelAt(handover, {(Where(10).x + Where(11).x) / 2, 30}),
              TrackArgb(platform::kWhite));
}

TEST_F(StoredTrackTest, ThreadDrawsAndStops) {
    Append(30);
    platform::CanvasHandover handover;
    White(handover);
    TrackDrawThread thread(handover);
    std::atomic<int> progress{0};
    thread.onProgress = [&] { ++progress; };
    thread.Start({state, style, 30});
    thread.Stop();  // joined, wherever it was
    EXPECT_TRUE(thread.Finished());
    thread.pause = std::chrono::milliseconds(0);
    thread.Start({state, style, 30});
    while (!thread.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(thread.ExitCode(), 97);
    EXPECT_GE(progress.load(), 1);
    EXPECT_EQ(PixelAt(handover, Where(0)), TrackArgb(TrackColour(style, 0)));
    thread.Start({state, style, 0});
    thread.Stop();
    EXPECT_EQ(thread.ExitCode(), -97);
}

TEST_F(StoredTrackTest, LiveDotsAndPaintsGoOnWhileTheTrackThreadDraws) {
    Append(100);
    platform::CanvasHandover handover;
    White(handover);
    TrackDrawThread thread(handover);
    thread.pause = std::chrono::milliseconds(1);
    for (int round = 0; round < 5; ++round) {
        thread.Start({state, style, 100});
        for (int i = 0; i < 20; ++i) {
            DrawLiveTrackPoint(handover, {30 + i, 10}, 2 * i, style);
            handover.Read([](const platform::Image& image) { EXPECT_EQ(image.Width(), 200); });
        }
        if (round % 2 == 0) thread.Stop();
    }
    thread.Start({state, style, 100});
    while (!thread.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(thread.ExitCode(), 97);
    EXPECT_EQ(PixelAt(handover, Where(20)), TrackArgb(TrackColour(style, 2 * (20 % 21))));
}

TEST(LiveTrack, DotsKeepTheirSpacingAndLinesStartAtTheLastPoint) {
    platform::CanvasHandover handover;
    TrackStyle style;
    EXPECT_FALSE(DrawLiveTrackPoint(handover, {50, 30}, 20, style));  // no canvas yet
    auto canvas = std::make_unique<platform::Canvas>(100, 60);
    canvas->FillRect(canvas->Bounds(), platform::Brush::Solid(platform::kWhite));
    handover.Publish(std::move(canvas));
    EXPECT_TRUE(DrawLiveTrackPoint(handover, {50, 30}, 41, style));  // far from the start mark
    EXPECT_FALSE(DrawLiveTrackPoint(handover, {51, 31}, 41, style));
    style.zoomed = true;
    EXPECT_TRUE(DrawLiveTrackPoint(handover, {70, 30}, 1, style));  // a line from (50, 30)
    std::uint32_t between = 0;
    handover.Read([&](const platform::Image& image) { between = image.Pixel(60, 30); });
    EXPECT_EQ(between, TrackArgb(TrackColour(style, 1)));
}

}  // namespace
}  // namespace map
