#include "map/map_render.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "mapdata/map_circle_element.h"

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
    for (int i = 0; i < 5000 && !render.Finished(); ++i) std::this_thread::sleep_for(1ms);
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

TEST(MapRender, ComposeCopiesAndsXorsAndDrawsTheWindDisc) {
    platform::Canvas back(60, 200);
    back.FillRect({0, 0, 60, 200}, platform::Brush::Solid({10, 20, 30}));
    back.Finish();
    platform::Image task(60, 200);
    platform::Canvas taskCanvas(60, 200);
    taskCanvas.FillRect({0, 0, 60, 200}, platform::Brush::Solid(platform::kWhite));
    taskCanvas.FillRect({40, 0, 60, 10}, platform::Brush::Solid(platform::kBlack));
    taskCanvas.Finish();
    ComposeLayers layers;
    layers.taskLayer = &taskCanvas.Pixels();
    layers.windValid = true;
    layers.windSpeedKt = 8.1F;
    platform::Canvas out(60, 200);
    ComposeMapFrame(out, back.Pixels(), layers);
    const platform::Image& img = out.Pixels();
    EXPECT_EQ(img.Pixel(30, 50), platform::PremultipliedArgb(255, 10, 20, 30));
    EXPECT_EQ(img.Pixel(50, 5), platform::PremultipliedArgb(255, 0, 0, 0));
    EXPECT_EQ(img.Pixel(12, 165), platform::PremultipliedArgb(255, 255, 255, 0));
    EXPECT_EQ(img.Pixel(12, 50), platform::PremultipliedArgb(255, 212, 208, 200));
}

}  // namespace
}  // namespace map
