#include "map/map_painter.h"

#include <gtest/gtest.h>

namespace map {
namespace {

TEST(MapPainter, AircraftRepaintsWhenItMovesOrTurnsIntoAnotherSector) {
    MapDrawingTables tables;
    tables.singleIcon = platform::Image(9, 9);
    tables.singleIcon.SetPixel(4, 0, 0xFFFF0000U);
    tables.singleIcon.MarkDirty();
    MapPainter painter(&tables);
    mapdata::MapDrawState state;
    state.cx = 60.0F;
    state.cy = 40.0F;
    state.k = 10000.0F;
    const nav::WaypointRecord fix(0.0, 0.0, false);
    EXPECT_EQ(painter.PlaceSprites(state, fix, 0.0, 0.0, std::nullopt).size(), 1U);
    EXPECT_TRUE(painter.PlaceSprites(state, fix, 10.0, 0.0, std::nullopt).empty());  // same sector
    EXPECT_EQ(painter.PlaceSprites(state, fix, 180.0, 0.0, std::nullopt).size(), 2U);  // erased, drawn
    EXPECT_EQ(painter.PlaceSprites(state, fix, 0.0, 180.0, std::nullopt).size(), 0U);  // still sector 4
    const auto withMark = painter.PlaceSprites(state, fix, 0.0, 180.0, nav::WaypointRecord(0.001, 0.0, false));
    EXPECT_EQ(withMark.size(), 1U);
    EXPECT_EQ(painter.HideSprites().size(), 2U);

    // The frame shows the turned aircraft (nose down) over the map.
    painter.PlaceSprites(state, fix, 180.0, 0.0, std::nullopt);
    platform::CanvasHandover back;
    auto canvas = std::make_unique<platform::Canvas>(120, 80);
    canvas->FillRect(canvas->Bounds(), platform::Brush::Solid(platform::kWhite));
    back.Publish(std::move(canvas));
    const platform::Image* frame = painter.Compose(120, 80, back, nullptr, {});
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Pixel(60, 44), 0xFFFF0000U);
    EXPECT_EQ(painter.Compose(0, 80, back, nullptr, {}), nullptr);
}

}  // namespace
}  // namespace map
