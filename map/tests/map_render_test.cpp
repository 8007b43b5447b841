#include "map/map_render.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "core/settings_values.h"
#include "mapdata/map_circle_element.h"
#include "services/track_cache.h"
#include "testing/wait_until.h"

namespace map {
namespace {

using namespace std::chrono_literals;

MapRenderInput SmallInput() {
    MapRenderInput input;
    input.width = 120;
    input.height = 80;
    input.mapLoaded = true;
    input.labelBottom = 77;
    input.draw.state.cx = 70.0F;
    input.draw.state.cy = 40.0F;
    input.draw.state.k = 2000.0F;
    input.draw.clientHeight = 80;
    return input;
}

TEST(MapRender, HandsOverOnlyFinishedFrames) {
    MapLists lists;
    auto circle = std::make_unique<mapdata::CMapCircleElement>();
    circle->radiusKm = 50.0F;
    circle->fillStyle = 1;
    circle->ComputeBounds();
    lists.zones.push_back(std::move(circle));
    MapRenderThread render(lists);
    int frames = 0;
    render.onFinished = [&frames] { ++frames; };
    render.Start(SmallInput());
    test_support::WaitUntil([&render] { return render.Finished(); });
    render.Stop();
    EXPECT_EQ(render.ExitCode(), 9);
    EXPECT_EQ(frames, 1);
    bool read = false;
    EXPECT_TRUE(render.handover.Read([&read](const platform::Image& image) {
        read = true;
        EXPECT_EQ(image.Width(), 120);
        // The button column, then the white map area.
        EXPECT_EQ(image.Pixel(5, 5), platform::PremultipliedArgb(255, 212, 208, 200));
        EXPECT_EQ(image.Pixel(30, 2), platform::PremultipliedArgb(255, 255, 255, 255));
    }));
    EXPECT_TRUE(read);
}

TEST(MapRender, StoppedFrameIsNotHandedOver) {
    MapLists lists;
    for (int i = 0; i < 2000; ++i) {
        auto circle = std::make_unique<mapdata::CMapCircleElement>();
        circle->radiusKm = 5.0F;
        circle->fillStyle = 1;
        lists.general.push_back(std::move(circle));
    }
    std::unique_lock hold(lists.lock);  // the render waits at the element pass
    MapRenderThread render(lists);
    render.Start(SmallInput());
    std::this_thread::sleep_for(5ms);
    hold.unlock();
    render.Stop();
    EXPECT_FALSE(render.handover.Read([](const platform::Image&) {}));
}

TEST(MapRender, TrackThreadDrawsOnTheHandedOverFrame) {
    core::g_trackCacheLength = 100;
    core::g_trackCacheSaveInterval = 1;
    ASSERT_EQ(core::TrackCacheAlloc(), 1);
    core::TrackCacheReset();
    core::g_trackAttribute = 40;  // strong lift
    core::TrackCacheAppend({1.0, 0.0, 0.0, 0, 0});  // the centre
    MapLists lists;
    MapRenderThread render(lists);
    std::atomic<int> progress{0};
    render.SetTrackProgress([&] { ++progress; });
    MapRenderInput input = SmallInput();
    input.track = TrackDrawInput{input.draw.state, TrackStyle{}, 10};
    render.Start(input);
    for (int i = 0; i < 5000 && !(render.Finished() && render.TrackFinished()); ++i)
        std::this_thread::sleep_for(1ms);
    render.Stop();
    EXPECT_EQ(render.TrackExitCode(), 97);
    EXPECT_GE(progress.load(), 1);
    std::uint32_t dot = 0;
    render.handover.Read([&](const platform::Image& image) { dot = image.Pixel(70, 40); });
    const platform::Colour lift = TrackColour(TrackStyle{}, 40);
    EXPECT_EQ(dot, platform::PremultipliedArgb(255, lift.red, lift.green, lift.blue));
    core::TrackCacheFree();
    core::g_trackCacheSaveInterval = 3;
    core::g_trackCacheLength = 8000;
}

}  // namespace
}  // namespace map
