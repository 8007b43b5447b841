#include "map/task_layer_draw.h"

#include <gtest/gtest.h>

#include <vector>

namespace map {
namespace {

// 1 pixel = 1e-4 of arc around 0 N 0 E.
mapdata::MapDrawState State() {
    mapdata::MapDrawState s;
    s.cx = 50.0F;
    s.cy = 50.0F;
    s.k = 10000.0F;
    return s;
}

// A position rightPx pixels right of the centre (longitude positive west,
// as this state's east vector runs).
nav::WaypointRecord At(double northPx, double rightPx) {
    return nav::WaypointRecord(northPx * 1e-4, rightPx * 1e-4, false);
}

bool Drawn(platform::Canvas& c, int x, int y) {
    return c.Pixels().Pixel(x, y) != platform::PremultipliedArgb(255, 255, 255, 255);
}

TEST(TaskLegs, WideTaskLineDoublesBesideTheLeg) {
    const std::vector<nav::WaypointRecord> flat{At(0, -30), At(0, 30)};
    platform::Canvas canvas(100, 100);
    canvas.FillRect({0, 0, 100, 100}, platform::Brush::Solid(platform::kWhite));
    DrawTaskLegs(canvas, State(), flat, 2);
    canvas.Finish();
    int rows = 0;
    for (int y = 45; y <= 55; ++y) {
        bool any = false;
        for (int x = 30; x < 70; ++x) any = any || Drawn(canvas, x, y);
        rows += any ? 1 : 0;
    }
    EXPECT_EQ(rows, 2);  // the leg and its second line below it
    EXPECT_FALSE(Drawn(canvas, 10, 50));
}

TEST(GotoLine, StaysInsideTheClientRectangle) {
    platform::Canvas canvas(100, 100);
    canvas.FillRect({0, 0, 100, 100}, platform::Brush::Solid(platform::kWhite));
    DrawGotoLine(canvas, State(), At(0, 0), At(0, 200), {0, 0, 80, 100});
    canvas.Finish();
    EXPECT_TRUE(Drawn(canvas, 70, 50));
    EXPECT_FALSE(Drawn(canvas, 90, 50));
    EXPECT_EQ(canvas.Pixels().Pixel(70, 50), platform::PremultipliedArgb(255, 0, 0, 200));
}

}  // namespace
}  // namespace map
