// Drawing map elements: outlines with their pens, solid and patterned
// fills (straight and through the mask), arcs and their sweep, labels and
// symbols.
// Pixels are checked where the result is unambiguous.
#include "mapdata/map_element_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        context_.state.visibleBox = {-180.0, -90.0, 180.0, 90.0};
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

TEST_F(MapElementDrawTest, LabelLinesAreCentredAroundThePoint) {
    CMapTextElement label;
    label.kindCode = kLabelCode;
    label.text = L"III\\III\\III";
    label.position = At(40, 40);
    DrawMapElement(label, context_);
    const int lineHeight = canvas_.TextExtent(std::wstring_view(L"WOWOWO")).height;
    int top = kSize;
    int bottom = -1;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (Pixel(x, y) != 0xFFFFFFFFu) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_LT(top, 40 - lineHeight / 2);
    EXPECT_GT(bottom, 40 + lineHeight / 2);
    EXPECT_NEAR((top + bottom) / 2.0, 40.0, lineHeight / 2.0);
}

TEST_F(MapElementDrawTest, SymbolsResolveToIconsAndTransparentUserBitmaps) {
    MapSymbolImages symbols;
    symbols.icons[0] = platform::Image(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) symbols.icons[0].SetPixel(x, y, 0xFFFF0000u);
    platform::Image user(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) user.SetPixel(x, y, x < 16 ? 0xFF00FF00u : 0xFF0000FFu);
    symbols.users.push_back({std::move(user), platform::Colour{0, 0, 255}});
    context_.symbols = &symbols;
    CMapTextElement symbol;
    symbol.position = At(20, 20);
    symbol.kindCode = 99;  // above the loaded symbols: built-in symbol 0
    DrawMapElement(symbol, context_);
    EXPECT_EQ(Pixel(4, 4), 0xFFFF0000u);
    symbol.position = At(50, 50);
    symbol.kindCode = 16;  // the first user symbol
    DrawMapElement(symbol, context_);
    EXPECT_EQ(Pixel(36, 50), 0xFF00FF00u);
    EXPECT_EQ(Pixel(60, 50), 0xFFFFFFFFu);  // the key colour leaves the target
    symbol.kindCode = -3;  // other negative codes draw nothing
    symbol.position = At(60, 10);
    DrawMapElement(symbol, context_);
    EXPECT_EQ(Pixel(45, 0), 0xFFFFFFFFu);
}

TEST_F(MapElementDrawTest, FaiAreaIsDrawnOnTheSideOfTheThirdPoint) {
    CFaiAreaElement area;
    const nav::WaypointRecord a(0.0, 0.004, false);
    const nav::WaypointRecord b(0.0, -0.004, false);
    const nav::WaypointRecord side(0.004, 0.0, false);
    ASSERT_TRUE(area.BuildOutline(a, b, side));
    context_.state.k = 3000.0F;
    DrawMapElement(area, context_);
    int north = 0;
    int south = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (Pixel(x, y) != 0xFFFFFFFFu) (y < 39 ? north : south) += 1;
    EXPECT_GT(north, 20);
    EXPECT_EQ(south, 0);
}

}  // namespace
}  // namespace mapdata
