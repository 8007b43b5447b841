// Drawing point lists and circles: outlines with their pens, solid and
// patterned fills (straight and through the mask), arcs and their sweep.
// Pixels are checked where the result is unambiguous.
#include "mapdata/map_element_draw.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace mapdata {
namespace {

constexpr int kSize = 80;

class MapElementDrawTest : public ::testing::Test {
  protected:
    MapElementDrawTest() : canvas_(kSize, kSize), mask_(kSize, kSize) {
        canvas_.FillRect(canvas_.Bounds(), platform::Brush::Solid(platform::kWhite));
        context_.canvas = &canvas_;
        context_.state.cx = kSize / 2.0F;
        context_.state.cy = kSize / 2.0F;
        context_.state.k = 400.0F;
        context_.state.pixelsPerKm = 1.0F;
        context_.state.visibleBox = {-4.0F, -2.0F, 4.0F, 2.0F};
    }
    UnitVector At(int x, int y) const {
        return ScreenToUnitVector(context_.state, static_cast<float>(x) + 0.5F,
                                  static_cast<float>(y) + 0.5F);
    }
    CMapPolyElement Square(int left, int top, int right, int bottom, int pen) const {
        CMapPolyElement poly;
        for (auto [x, y] : std::vector<std::pair<int, int>>{
                 {left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}}) {
            const UnitVector p = At(x, y);
            EXPECT_TRUE(poly.AppendPointRecord({p.x, p.y, p.z, pen, 0}));
        }
        poly.ComputeBounds();
        return poly;
    }
    std::uint32_t Pixel(int x, int y) {
        canvas_.Finish();
        return canvas_.Pixels().Pixel(x, y) | 0xFF000000u;
    }

    platform::Canvas canvas_;
    platform::Canvas mask_;
    MapDrawContext context_;
};

TEST_F(MapElementDrawTest, OutlineUsesEachPointsPen) {
    CMapPolyElement poly = Square(10, 10, 50, 50, 13);  // palette 13: red
    DrawMapElement(poly, context_);
    EXPECT_EQ(Pixel(30, 10), 0xFFFF0000u);
    EXPECT_EQ(Pixel(50, 30), 0xFFFF0000u);
    EXPECT_EQ(Pixel(30, 30), 0xFFFFFFFFu);
}

TEST_F(MapElementDrawTest, SolidFillAndOutlineFlag) {
    CMapPolyElement poly = Square(10, 10, 50, 50, 13);
    poly.fillStyle = 1;
    poly.fillColour = 0xFF0000;  // COLORREF blue
    poly.outline = false;
    DrawMapElement(poly, context_);
    EXPECT_EQ(Pixel(30, 30), 0xFF0000FFu);
    EXPECT_NE(Pixel(30, 10), 0xFFFF0000u);
}

TEST_F(MapElementDrawTest, PatternFillGoesThroughTheMaskAndIsLeftOutWhenTooLow) {
    CMapPolyElement poly = Square(8, 8, 60, 60, 1);
    poly.fillStyle = 2 | (3 << 4);  // horizontal lines, phase 3 rows down
    poly.fillColour = 0x0000FF;     // red
    poly.outline = false;
    context_.mask = &mask_;
    context_.clientHeight = 10;
    DrawMapElement(poly, context_);
    EXPECT_EQ(Pixel(30, 28), 0xFFFFFFFFu);
    context_.clientHeight = 480;
    DrawMapElement(poly, context_);
    // Row 1 of the pattern is the line: device rows with (y - 3) mod 8 == 1.
    EXPECT_EQ(Pixel(30, 28), 0xFFFF0000u);
    EXPECT_EQ(Pixel(30, 29), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(30, 36), 0xFFFF0000u);
    EXPECT_EQ(Pixel(70, 28), 0xFFFFFFFFu);  // outside the area the target is kept
}

TEST_F(MapElementDrawTest, FilledCircleWithPaletteColourAndNoPen) {
    CMapCircleElement circle;
    circle.centre = At(40, 40);
    circle.radiusKm = 20.0F;
    circle.fillStyle = 1;
    circle.colourNumber = 6;  // blue
    circle.ComputeBounds();
    DrawMapElement(circle, context_);
    EXPECT_EQ(Pixel(40, 40), 0xFF0000FFu);
    EXPECT_EQ(Pixel(40, 25), 0xFF0000FFu);
    EXPECT_EQ(Pixel(40, 5), 0xFFFFFFFFu);
}

TEST_F(MapElementDrawTest, ArcRunsFromStartToEndBearing) {
    CMapCircleElement arc;
    arc.centre = At(40, 40);
    arc.radiusKm = 30.0F;
    arc.penNumber = 13;
    // Start below end with bearings decreasing: from north through west and
    // south to east, three quarters of a turn.
    arc.startBearing = 0.0F;
    arc.endBearing = 1.5707963F;
    arc.counterClockwise = true;
    arc.ComputeBounds();
    DrawMapElement(arc, context_);
    EXPECT_EQ(Pixel(10, 40), 0xFFFF0000u);  // west
    EXPECT_EQ(Pixel(40, 70), 0xFFFF0000u);  // south
    int redInNorthEast = 0;
    for (int y = 10; y < 38; ++y)
        for (int x = 42; x < 71; ++x) redInNorthEast += Pixel(x, y) == 0xFFFF0000u;
    EXPECT_EQ(redInNorthEast, 0);
}

}  // namespace
}  // namespace mapdata
