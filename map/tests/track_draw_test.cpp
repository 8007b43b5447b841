#include "map/track_draw.h"

#include <gtest/gtest.h>

#include "core/settings_values.h"
#include "core/track_cache.h"
#include "core/waypoint_record.h"
#include "map/map_draw_math.h"

namespace map {
namespace {

std::uint32_t Argb(platform::Colour c) { return platform::PremultipliedArgb(255, c.red, c.green, c.blue); }

TEST(TrackDot, DiamondSpacingAndLiftColour) {
    platform::Canvas canvas(100, 60);
    TrackStyle style;
    platform::Point last{-100, -100};
    const int strongLift = TrackColourIndex(5.0F, 6.0F);  // 31: rising
    EXPECT_TRUE(DrawTrackDot(canvas, last, {50, 30}, false, strongLift, style));
    EXPECT_FALSE(DrawTrackDot(canvas, last, {52, 31}, false, strongLift, style));  // within 3 px
    EXPECT_FALSE(DrawTrackDot(canvas, last, {20, 30}, true, strongLift, style));   // button column
    canvas.Finish();
    const std::uint32_t colour = Argb(TrackColour(style, strongLift));
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

TEST(StoredTrack, DrawsNewestFirstUntilStopped) {
    core::g_trackCacheLength = 100;
    core::g_trackCacheSaveInterval = 1;
    ASSERT_EQ(core::TrackCacheAlloc(), 1);
    core::TrackCacheReset();
    for (int i = 0; i < 30; ++i) {
        const nav::WaypointRecord p(0.0, -0.001 * i, true);  // eastwards
        core::g_trackAttribute = 20;
        core::TrackCacheAppend({p.x, p.y, p.z, 0, 0});
    }
    mapdata::MapDrawState state;  // centre (1, 0, 0): 0 N 0 E
    state.cx = 40.0F;
    state.cy = 30.0F;
    state.k = 20000.0F;
    platform::Canvas canvas(100, 60);
    platform::Point last{-100, -100};
    const std::atomic<int> stop{0};
    const std::atomic<int> go{1};
    TrackStyle style;
    EXPECT_EQ(DrawStoredTrack(canvas, last, state, style, 50, stop, {}), -97);
    EXPECT_EQ(DrawStoredTrack(canvas, last, state, style, 50, go, {}), 97);
    EXPECT_EQ(canvas.Pixels().Pixel(last.x, last.y), Argb(TrackColour(style, 20)));
    core::TrackCacheFree();
    core::g_trackCacheSaveInterval = 3;
    core::g_trackCacheLength = 8000;
}

}  // namespace
}  // namespace map
