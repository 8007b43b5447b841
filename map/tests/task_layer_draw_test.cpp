#include "map/task_layer_draw.h"

#include <gtest/gtest.h>

#include <memory>
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
nav::WaypointRecord TaskPointAt(double northPx, double rightPx) {
    return nav::WaypointRecord(northPx * 1e-4, rightPx * 1e-4, false);
}

bool Drawn(platform::Canvas& c, int x, int y) {
    return c.Pixels().Pixel(x, y) != platform::PremultipliedArgb(255, 255, 255, 255);
}

TEST(TaskLegs, WideTaskLineDoublesBesideTheLeg) {
    const std::vector<nav::WaypointRecord> flat{TaskPointAt(0, -30), TaskPointAt(0, 30)};
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
    DrawGotoLine(canvas, State(), TaskPointAt(0, 0), TaskPointAt(0, 200), {0, 0, 80, 100});
    canvas.Finish();
    EXPECT_TRUE(Drawn(canvas, 70, 50));
    EXPECT_FALSE(Drawn(canvas, 90, 50));
    EXPECT_EQ(canvas.Pixels().Pixel(70, 50), platform::PremultipliedArgb(255, 0, 0, 200));
}

// A task of the given points (pixel offsets), each its own position.
std::unique_ptr<nav::CTask> TaskThrough(std::initializer_list<std::pair<double, double>> points) {
    auto task = std::make_unique<nav::CTask>();
    for (const auto& [north, right] : points)
        task->AddPoint(std::make_unique<nav::CTaskPoint>(TaskPointAt(north, right)));
    return task;
}

TEST(TaskLayer, LegsSkipTheExtraPointsAndFollowMarkedPoints) {
    auto task = TaskThrough({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
    task->extraStart = 1;
    task->extraFinish = 1;
    task->points[2]->working = TaskPointAt(20, 20);
    task->points[2]->working.flags |= nav::kMarkedFlag;
    const auto points = TaskLegPoints(*task);
    ASSERT_EQ(points.size(), 2U);
    EXPECT_DOUBLE_EQ(points[0].longitude, TaskPointAt(0, 10).longitude);
    EXPECT_DOUBLE_EQ(points[1].latitude, TaskPointAt(20, 20).latitude);  // where it was reached
    task->extraStart = 0;
    task->extraFinish = 0;
    task->points[2]->working.flags = 0;
    EXPECT_EQ(TaskLegPoints(*task).size(), 4U);
    EXPECT_DOUBLE_EQ(TaskLegPoints(*task)[2].latitude, TaskPointAt(10, 10).latitude);
}

TEST(TaskLayer, DrawsLegsZonesAndTheFaiArea) {
    mapdata::MapDrawContext context;
    context.state = State();
    context.state.pixelsPerKm = 10000.0F / 6371.0F;
    context.state.visibleBox = {-60.0, -60.0, 60.0, 60.0};
    auto task = TaskThrough({{0, -30}, {0, 30}});
    nav::TaskMapElements zones;
    nav::ZoneShape circle;
    circle.kind = nav::ZoneShapeKind::kCircle;
    const auto geo = [](const nav::WaypointRecord& r) {
        return core::FromRadiansWest(r.latitude, r.longitude);
    };
    circle.centre = geo(TaskPointAt(0, 30));
    circle.radiusKm = 10.0F * 6371.0F / 10000.0F;  // 10 px
    zones.push_back(MakeTaskZoneElement(circle));
    nav::ZoneShape line;
    line.points = {geo(TaskPointAt(-20, -30)), geo(TaskPointAt(20, -30))};
    zones.push_back(MakeTaskZoneElement(line));
    nav::ZoneShape dot = circle;
    dot.radiusKm = 0.0F;
    EXPECT_EQ(MakeTaskZoneElement(dot), nullptr);
    line.points.resize(1);
    EXPECT_EQ(MakeTaskZoneElement(line), nullptr);

    const auto draw = [&](const TaskLayerSource& source) {
        auto canvas = std::make_unique<platform::Canvas>(100, 100);
        canvas->FillRect({0, 0, 100, 100}, platform::Brush::Solid(platform::kWhite));
        DrawTaskLayer(*canvas, context, source);
        canvas->Finish();
        return canvas;
    };
    const platform::Colour zone = MapPenFor(context, kTaskZonePenNumber).colour;
    const std::uint32_t zoneArgb = platform::PremultipliedArgb(255, zone.red, zone.green, zone.blue);
    TaskLayerSource source{task.get(), &zones, nullptr, 1, true};
    auto canvas = draw(source);
    const int right = 50;  // the centre
    const int east = right + 30;
    // The dashed leg: some of the pixels about its middle.
    const auto legDrawn = [&] {
        bool any = false;
        for (int x = 40; x < 70; ++x) any = any || Drawn(*canvas, x, 50);
        return any;
    };
    EXPECT_TRUE(legDrawn());
    EXPECT_EQ(canvas->Pixels().Pixel(east, 40), zoneArgb);               // the cylinder's top
    const int west = 2 * right - east;
    EXPECT_EQ(canvas->Pixels().Pixel(west, 40), zoneArgb);               // the line zone
    source.drawZones = false;
    canvas = draw(source);
    EXPECT_FALSE(Drawn(*canvas, east, 40));
    EXPECT_TRUE(legDrawn());

    // The FAI area fills the region that makes a triangle with the base.
    MapFaiArea fai;
    fai.BuildOutline(TaskPointAt(0, -30), TaskPointAt(0, 30), TaskPointAt(30, 0));
    source.faiArea = &fai;
    source.drawZones = true;
    canvas = draw(source);
    EXPECT_TRUE(Drawn(*canvas, right, 25));
    EXPECT_FALSE(Drawn(*canvas, right, 75));  // not on the far side of the base
    EXPECT_EQ(fai.ClassifyTriangleWith(TaskPointAt(30, 0)), 1);
    EXPECT_EQ(fai.ClassifyTriangleWith(TaskPointAt(2, 0)), 0);
    source.task = nullptr;
    canvas = draw(source);
    EXPECT_FALSE(Drawn(*canvas, right, 25));
}

TEST(GotoLine, ShownWithTheSettingAndATargetAndBesideATaskOnlyWhenAllowed) {
    EXPECT_TRUE(GotoLineShown(true, true, false, false));
    EXPECT_FALSE(GotoLineShown(false, true, false, true));
    EXPECT_FALSE(GotoLineShown(true, false, false, true));
    EXPECT_FALSE(GotoLineShown(true, true, true, false));
    EXPECT_TRUE(GotoLineShown(true, true, true, true));
}

}  // namespace
}  // namespace map
