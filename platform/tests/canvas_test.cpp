#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/canvas_handover.h"

namespace platform {
namespace {

constexpr Colour kRed{255, 0, 0};
constexpr Colour kBlue{0, 0, 255};
constexpr Colour kKey{255, 0, 255};

using PixelSet = std::set<std::pair<int, int>>;

// The pixels of the canvas that are not white.
PixelSet Inked(Canvas& canvas) {
    PixelSet inked;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.GetPixel({x, y}) != kWhite) inked.insert({x, y});
    }
    return inked;
}

void Clear(Canvas& canvas, Colour colour = kWhite) {
    canvas.FillRect(canvas.Bounds(), Brush::Solid(colour));
}

TEST(CanvasTest, NewCanvasIsOpaqueBlack) {
    Canvas canvas(4, 3);
    ASSERT_TRUE(canvas.Valid());
    EXPECT_EQ(canvas.Pixels().Pixel(3, 2), 0xFF000000U);
    EXPECT_FALSE(Canvas(0, 5).Valid());
}

TEST(CanvasTest, ThinLinesTakeOnePixelPerStepAndLeaveOutTheLastPoint) {
    struct Case {
        Point from, to;
        PixelSet pixels;
    };
    const Case cases[] = {
        {{1, 2}, {5, 2}, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
        {{3, 5}, {3, 1}, {{3, 5}, {3, 4}, {3, 3}, {3, 2}}},
        {{0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {{0, 0}, {5, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {{5, 2}, {0, 0}, {{5, 2}, {4, 2}, {3, 1}, {2, 1}, {1, 0}}},
        {{2, 7}, {3, 0}, {{2, 7}, {2, 6}, {2, 5}, {2, 4}, {3, 3}, {3, 2}, {3, 1}}},
        {{4, 4}, {4, 4}, {}},
    };
    for (const Case& c : cases) {
        Canvas canvas(8, 8);
        Clear(canvas);
        canvas.SetPen(Pen::Solid(kBlack));
        canvas.MoveTo(c.from);
        canvas.LineTo(c.to);
        EXPECT_EQ(Inked(canvas), c.pixels)
            << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
        EXPECT_EQ(canvas.CurrentPosition(), c.to);
    }
}

TEST(CanvasTest, DashesRunEighteenOnSixOffAcrossTheJointsOfAPolyline) {
    Canvas canvas(64, 4);
    Clear(canvas);
    canvas.SetPen(Pen::Dashed(kBlue));
    const Point points[] = {{0, 1}, {30, 1}, {60, 1}};
    canvas.Polyline(points);
    for (int x = 0; x < 64; ++x) {
        const bool drawn = x < 60 && x % 24 < 18;
        EXPECT_EQ(canvas.GetPixel({x, 1}), drawn ? kBlue : kWhite) << x;
    }
}

// A run of lines in one call draws what LineTo point by point draws: the
// same pixels, the dashes running on from the current position, inside no
// clip, one clip rectangle and a region of several.
TEST(CanvasTest, LineThroughDrawsWhatLineToDrawsInsideEveryClip) {
    const std::vector<Point> points{{40, 9}, {41, 9}, {12, 35}, {-20, 70}, {55, 44}, {55, 44}};
    enum class Clip { kNone, kOneRectangle, kTwoRectangles };
    const auto inside = [](Clip clip, int x) {
        if (clip == Clip::kOneRectangle) return x >= 10 && x < 50;
        if (clip == Clip::kTwoRectangles) return x < 20 || x >= 30;
        return true;
    };
    for (const Pen& pen : {Pen::Solid(kRed), Pen::Dashed(kBlue)}) {
        PixelSet unclipped;
        for (const Clip clip : {Clip::kNone, Clip::kOneRectangle, Clip::kTwoRectangles}) {
            Canvas oneByOne(60, 60);
            Canvas inOneCall(60, 60);
            for (Canvas* canvas : {&oneByOne, &inOneCall}) {
                canvas->FillRect(canvas->Bounds(), Brush::Solid(kWhite));
                if (clip == Clip::kOneRectangle) canvas->ClipTo({10, 0, 50, 60});
                if (clip == Clip::kTwoRectangles) canvas->ExcludeClip({20, 0, 30, 60});
                canvas->SetPen(pen);
                canvas->MoveTo({1, 1});
                canvas->LineTo({3, 4});
            }
            for (const Point p : points) oneByOne.LineTo(p);
            inOneCall.LineThrough(points);
            const PixelSet drawn = Inked(inOneCall);
            EXPECT_EQ(Inked(oneByOne), drawn);
            EXPECT_EQ(oneByOne.CurrentPosition(), inOneCall.CurrentPosition());
            if (clip == Clip::kNone) unclipped = drawn;
            PixelSet kept;
            for (const auto& [x, y] : unclipped)
                if (inside(clip, x)) kept.insert({x, y});
            EXPECT_EQ(drawn, kept);
            EXPECT_FALSE(drawn.empty());
        }
    }
}

TEST(CanvasTest, LinesFarOutsideTheCanvasDrawTheirVisiblePart) {
    for (const int width : {1, 3}) {
        Canvas canvas(10, 10);
        Clear(canvas);
        canvas.SetPen(Pen::Solid(kRed, width));
        canvas.MoveTo({-2'000'000'000, 4});
        canvas.LineTo({2'000'000'000, 4});
        canvas.MoveTo({5, -2'000'000'000});
        canvas.LineTo({5, 2'000'000'000});
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(canvas.GetPixel({i, 4}), kRed) << "width " << width << " x " << i;
            EXPECT_EQ(canvas.GetPixel({5, i}), kRed) << "width " << width << " y " << i;
        }
        EXPECT_EQ(canvas.GetPixel({0, 0}), kWhite);
    }
}

TEST(CanvasTest, FarAwayShapesTextAndImagesNeverWrapOntoTheCanvas) {
    constexpr int kFar = (1 << 24) + 5;  // beyond cairo's fixed-point range
    Canvas canvas(10, 10);
    Clear(canvas);
    canvas.SetPen(Pen::Solid(kBlue, 3));
    canvas.SetBrush(Brush::Solid(kRed));
    canvas.SetFont(Font{"DejaVu Sans", 12, 400, 0});
    canvas.DrawText("far", {kFar, 2, kFar + 40, 20}, kTextLeft);
    canvas.DrawText("far", {-kFar - 40, 2, -kFar, 20}, kTextLeft | kTextNoClip);
    canvas.DrawTextAt({2, kFar}, "far");
    canvas.Ellipse({kFar, kFar, kFar + 9, kFar + 9});
    const Point farSquare[] = {{kFar, 0}, {kFar + 8, 0}, {kFar + 8, 8}, {kFar, 8}};
    canvas.Polygon(farSquare);
    Image icon(4, 4);
    EXPECT_TRUE(canvas.TransparentBlit({kFar, 0, kFar + 8, 8}, icon, {0, 0, 4, 4}, kKey));
    canvas.Blit({kFar, 0}, {4, 4}, icon, {0, 0}, RasterOp::kCopy);
    canvas.Blit({0, 0}, {4, 4}, icon, {kFar, kFar}, RasterOp::kCopy);
    EXPECT_EQ(Inked(canvas), PixelSet{});

    // A circle far larger than the canvas fills all of it.
    canvas.SetPen(Pen::None());
    canvas.Ellipse({-2'000'000'000, -2'000'000'000, 2'000'000'000, 2'000'000'000});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(canvas.GetPixel({x, y}), kRed) << x << "," << y;
}

TEST(CanvasTest, WidePensAreCentredOnThePixelCentresWithRoundEnds) {
    Canvas canvas(16, 9);
    Clear(canvas);
    canvas.SetPen(Pen::Solid(kBlack, 3));
    canvas.MoveTo({4, 4});
    canvas.LineTo({11, 4});
    canvas.Finish();
    for (int x = 4; x <= 11; ++x) {
        for (int y = 3; y <= 5; ++y)
            EXPECT_EQ(canvas.GetPixel({x, y}), kBlack) << x << "," << y;
        EXPECT_EQ(canvas.GetPixel({x, 2}), kWhite) << x;
        EXPECT_EQ(canvas.GetPixel({x, 6}), kWhite) << x;
    }
    // Round caps reach one pixel past each end.
    EXPECT_EQ(canvas.GetPixel({3, 4}), kBlack);
    EXPECT_EQ(canvas.GetPixel({12, 4}), kBlack);
    EXPECT_EQ(canvas.GetPixel({3, 2}), kWhite);
    EXPECT_EQ(canvas.GetPixel({2, 4}), kWhite);
    EXPECT_EQ(canvas.GetPixel({13, 4}), kWhite);
}

TEST(CanvasTest, PolygonsFillTheAlternateAreaThenDrawTheirOutline) {
    Canvas canvas(12, 12);
    Clear(canvas);
    canvas.SetPen(Pen::None());
    canvas.SetBrush(Brush::Solid(kRed));
    // A square drawn twice over its middle: the middle is inside twice,
    // so the alternate rule leaves it empty.
    const Point twice[] = {{1, 1}, {11, 1}, {11, 11}, {1, 11}, {1, 1},
                           {4, 4}, {8, 4},  {8, 8},   {4, 8},  {4, 4}};
    canvas.Polygon(twice);
    EXPECT_EQ(canvas.GetPixel({2, 2}), kRed);
    EXPECT_EQ(canvas.GetPixel({10, 10}), kRed);
    EXPECT_EQ(canvas.GetPixel({11, 5}), kWhite);  // right edge outside
    EXPECT_EQ(canvas.GetPixel({5, 5}), kWhite);
    EXPECT_EQ(canvas.GetPixel({7, 7}), kWhite);
    EXPECT_EQ(canvas.GetPixel({3, 3}), kRed);

    canvas.SetPen(Pen::Solid(kBlue));
    canvas.SetBrush(Brush::Hollow());
    const Point triangle[] = {{0, 0}, {6, 0}, {0, 6}};
    canvas.Polygon(triangle);
    EXPECT_EQ(canvas.GetPixel({0, 0}), kBlue);
    EXPECT_EQ(canvas.GetPixel({5, 0}), kBlue);
    EXPECT_EQ(canvas.GetPixel({0, 5}), kBlue);
    EXPECT_EQ(canvas.GetPixel({3, 3}), kBlue);
    EXPECT_EQ(canvas.GetPixel({2, 2}), kRed);  // the hollow brush left the fill
}

constexpr PatternRows kDiagonal = {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE};

// The six fill patterns of the maps: lines across, down, both diagonals,
// a grid and a diagonal cross.
constexpr PatternRows kPatterns[] = {
    {0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF},
    kDiagonal,
    {0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F},
    {0xBF, 0x00, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF},
    {0x7E, 0xBD, 0xDB, 0xE7, 0xE7, 0xDB, 0xBD, 0x7E},
};

bool OneBit(const PatternRows& rows, int x, int y, Point origin) {
    const int row = ((y - origin.y) % 8 + 8) % 8;
    const int column = ((x - origin.x) % 8 + 8) % 8;
    return (rows[static_cast<std::size_t>(row)] >> (7 - column) & 1) != 0;
}

TEST(CanvasTest, PatternsStartAtTheBrushOriginDirectAndMasked) {
    constexpr Colour kGreenish{40, 200, 90};
    for (const PatternRows& rows : kPatterns)
        for (const Point origin : {Point{0, 0}, Point{3, 5}}) {
            // Direct: opaque, 0 bits in the colour, 1 bits in the background.
            Canvas direct(20, 20);
            Clear(direct);
            direct.FillRect({2, 2, 18, 18}, Brush::Pattern(rows, kRed, kBlue, origin));
            for (int y = 2; y < 18; ++y) {
                for (int x = 2; x < 18; ++x)
                    ASSERT_EQ(direct.GetPixel({x, y}), OneBit(rows, x, y, origin) ? kBlue : kRed)
                        << x << "," << y << " origin " << origin.x << "," << origin.y;
            }
            // Masked: drawn on white with white 1 bits, then ANDed on.
            Canvas mask(20, 20);
            Clear(mask);
            mask.SetPen(Pen::None());
            mask.SetBrush(Brush::Pattern(rows, kRed, kWhite, origin));
            const Point square[] = {{2, 2}, {18, 2}, {18, 18}, {2, 18}};
            mask.Polygon(square);
            Canvas target(20, 20);
            Clear(target, kGreenish);
            target.Blit({0, 0}, {20, 20}, mask.Pixels(), {0, 0}, RasterOp::kAnd);
            for (int y = 2; y < 18; ++y) {
                for (int x = 2; x < 18; ++x) {
                    const Colour want = OneBit(rows, x, y, origin) ? kGreenish : Colour{40, 0, 0};
                    ASSERT_EQ(target.GetPixel({x, y}), want) << x << "," << y;
                }
            }
        }
}

TEST(CanvasTest, RasterOperationsWorkBitwiseAndKeepPixelsOpaque) {
    struct Case {
        RasterOp op;
        std::uint32_t source, target, result;
    };
    const Case cases[] = {
        {RasterOp::kCopy, 0xFF123456, 0xFFABCDEF, 0xFF123456},
        {RasterOp::kCopy, 0x00123456, 0xFFABCDEF, 0xFF123456},
        {RasterOp::kAnd, 0xFFF0F0F0, 0xFF3C5A77, 0xFF305070},
        {RasterOp::kAnd, 0xFFFFFFFF, 0xFF3C5A77, 0xFF3C5A77},
        {RasterOp::kXor, 0xFFFF00FF, 0xFF0F0F0F, 0xFFF00FF0},
        {RasterOp::kXor, 0xFF000000, 0xFF0F0F0F, 0xFF0F0F0F},
        {RasterOp::kXor, 0xFF0F0F0F, 0xFF0F0F0F, 0xFF000000},
    };
    for (const Case& c : cases) {
        Image source(3, 3);
        source.SetPixel(1, 1, c.source);
        Canvas canvas(4, 4);
        canvas.Pixels().SetPixel(2, 2, c.target);
        canvas.Pixels().MarkDirty();
        canvas.Blit({1, 1}, {2, 2}, source, {0, 0}, c.op);
        EXPECT_EQ(canvas.Pixels().Pixel(2, 2), c.result) << std::hex << c.source << " " << c.target;
        EXPECT_EQ(canvas.Pixels().Pixel(3, 3) >> 24, 0xFFU);
    }
}

TEST(CanvasTest, BlitsKeepToTheSourceAndTheClipRegion) {
    Canvas source(4, 4);
    Clear(source, kRed);
    Canvas canvas(10, 10);
    Clear(canvas);
    canvas.ExcludeClip({0, 0, 3, 10});
    canvas.Blit({1, 1}, {8, 8}, source.Pixels(), {2, 2}, RasterOp::kCopy);
    // Source columns 2 and 3 land at x 1 and 2, both excluded.
    EXPECT_EQ(Inked(canvas), PixelSet{});
    canvas.ResetClip();
    canvas.Blit({1, 1}, {8, 8}, source.Pixels(), {2, 2}, RasterOp::kCopy);
    EXPECT_EQ(Inked(canvas), (PixelSet{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));
}

TEST(CanvasTest, TransparentStretchDoublesAndSkipsTheKeyColour) {
    Image symbol(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            // A key-coloured frame around a blue square with one red pixel.
            const bool frame = x < 4 || y < 4 || x >= 28 || y >= 28;
            symbol.SetPixel(x, y, (frame ? kKey : kBlue).Argb());
        }
    }
    symbol.SetPixel(10, 20, kRed.Argb());
    symbol.SetPixel(5, 5, 0xFFFE00FF);  // one step off the key: drawn
    Canvas canvas(70, 70);
    Clear(canvas, Colour{1, 2, 3});
    ASSERT_TRUE(canvas.TransparentBlit({3, 3, 67, 67}, symbol, {0, 0, 32, 32}, kKey));
    for (int y = 0; y < 70; ++y) {
        for (int x = 0; x < 70; ++x) {
            Colour want{1, 2, 3};
            if (x >= 3 && x < 67 && y >= 3 && y < 67) {
                const int sx = (x - 3) / 2;
                const int sy = (y - 3) / 2;
                const std::uint32_t source = symbol.Pixel(sx, sy);
                if ((source & 0xFFFFFF) != 0xFF00FF) want = Colour::FromArgb(source);
            }
            ASSERT_EQ(canvas.GetPixel({x, y}), want) << x << "," << y;
        }
    }
    EXPECT_FALSE(canvas.TransparentBlit({0, 0, 10, 10}, symbol, {0, 0, 33, 32}, kKey));
    EXPECT_FALSE(canvas.TransparentBlit({0, 0, 0, 10}, symbol, {0, 0, 32, 32}, kKey));
}

// The canvas as text: '#' black, '.' white, 'o' any other colour.
std::vector<std::string> Picture(Canvas& canvas) {
    std::vector<std::string> rows;
    for (int y = 0; y < canvas.Height(); ++y) {
        std::string row;
        for (int x = 0; x < canvas.Width(); ++x) {
            const Colour c = canvas.GetPixel({x, y});
            row += c == kBlack ? '#' : c == kWhite ? '.' : 'o';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(CanvasTest, EllipsesOutlineTheirBoxEdgePixelsAndFillInside) {
    struct Case {
        PixelRect box;
        std::vector<std::string> picture;
    };
    const Case cases[] = {
        {{1, 0, 10, 9},
         {"....###.....", "...#ooo#....", "..#ooooo#...", ".#ooooooo#..", ".#ooooooo#..",
          ".#ooooooo#..", "..#ooooo#...", "...#ooo#....", "....###....."}},
        {{0, 1, 12, 8},
         {"............", "...######...", ".##oooooo##.", "#oooooooooo#", "#oooooooooo#",
          "#oooooooooo#", ".##oooooo##.", "...######...", "............"}},
        {{5, 4, 6, 5},
         {"............", "............", "............", "............", ".....#......",
          "............", "............", "............", "............"}},
    };
    for (const Case& c : cases) {
        Canvas canvas(12, 9);
        Clear(canvas);
        canvas.SetPen(Pen::Solid(kBlack));
        canvas.SetBrush(Brush::Solid(kRed));
        canvas.Ellipse(c.box);
        EXPECT_EQ(Picture(canvas), c.picture) << c.box.left << "," << c.box.top;
    }
    // Without a pen: the fill alone, inside the box.
    Canvas disc(24, 24);
    Clear(disc);
    disc.SetPen(Pen::None());
    disc.SetBrush(Brush::Solid(kRed));
    disc.Ellipse({1, 0, 23, 22});
    const PixelSet inked = Inked(disc);
    EXPECT_TRUE(inked.contains({12, 11}) && inked.contains({1, 11}) && inked.contains({22, 11}));
    EXPECT_TRUE(inked.contains({12, 0}) && inked.contains({12, 21}));
    EXPECT_FALSE(inked.contains({1, 0}) || inked.contains({22, 21}) || inked.contains({12, 22}));
}

TEST(CanvasTest, ClippingHoldsForFillsPixelsAndLinesAndTheGuardPutsItBack) {
    Canvas canvas(10, 10);
    Clear(canvas);
    {
        const Canvas::StateGuard guard(canvas);
        canvas.ClipTo({2, 2, 8, 8});
        canvas.ExcludeClip({4, 4, 6, 6});
        EXPECT_EQ(canvas.ClipRectangles().size(), 4U);
        canvas.FillRect(canvas.Bounds(), Brush::Solid(kRed));
        canvas.SetPixel({0, 0}, kBlue);
        canvas.SetPen(Pen::Solid(kBlue));
        canvas.MoveTo({0, 5});
        canvas.LineTo({10, 5});
    }
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside =
                x >= 2 && x < 8 && y >= 2 && y < 8 && !(x >= 4 && x < 6 && y >= 4 && y < 6);
            const Colour want = !inside ? kWhite : (y == 5 ? kBlue : kRed);
            ASSERT_EQ(canvas.GetPixel({x, y}), want) << x << "," << y;
        }
    }
    EXPECT_EQ(canvas.CurrentPen(), Pen());
    canvas.FillRect(canvas.Bounds(), Brush::Solid(kBlue));
    EXPECT_EQ(canvas.GetPixel({0, 0}), kBlue);
}

// A guard around drawing that leaves the clip region alone (text with its
// own cut among it) keeps the clip for what is drawn afterwards.
TEST(CanvasTest, AGuardThatFindsTheClipUnchangedKeepsIt) {
    Canvas canvas(40, 20);
    Clear(canvas);
    canvas.ExcludeClip({0, 0, 10, 20});
    {
        const Canvas::StateGuard guard(canvas);
        canvas.SetBackgroundMode(BackgroundMode::kTransparent);
        canvas.DrawText("W", {12, 0, 30, 20}, kTextLeft);
        canvas.SetPen(Pen::Solid(kBlue));
        canvas.MoveTo({0, 19});
        canvas.LineTo({40, 19});
    }
    canvas.FillRect(canvas.Bounds(), Brush::Solid(kRed));
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 10; ++x) ASSERT_EQ(canvas.GetPixel({x, y}), kWhite) << x << "," << y;
    }
    EXPECT_EQ(canvas.GetPixel({10, 19}), kRed);
    EXPECT_EQ(canvas.ClipRectangles().size(), 1U);
}

TEST(CanvasTest, TextHasASaneExtentAndStaysInItsRectangle) {
    Canvas canvas(200, 60);
    Clear(canvas);
    canvas.SetFont(Font{"DejaVu Sans", 20, 400, 0});
    const Size w = canvas.TextExtent("W");
    const Size six = canvas.TextExtent(std::wstring(L"WOWOWO"));
    EXPECT_GE(w.width, 12);
    EXPECT_LE(w.width, 24);
    EXPECT_GE(six.width, 5 * w.width);
    EXPECT_GE(six.height, 20);
    EXPECT_LE(six.height, 30);
    EXPECT_EQ(canvas.TextExtent(""), (Size{0, six.height}));
    canvas.SetFont(Font{"DejaVu Sans", 20, 900, 0});
    EXPECT_GT(canvas.TextExtent("WOWOWO").width, six.width);  // bold is wider

    // Right-aligned at the bottom of its rectangle, cut at its left edge.
    canvas.SetBackgroundMode(BackgroundMode::kTransparent);
    const PixelRect rect{50, 10, 120, 50};
    canvas.DrawText("WOWOWOWOWO", rect, kTextRight | kTextBottom);
    const PixelSet inked = Inked(canvas);
    ASSERT_FALSE(inked.empty());
    int left = 999, right = -1, bottom = -1;
    for (const auto& [x, y] : inked) {
        EXPECT_TRUE(x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom)
            << x << "," << y;
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    EXPECT_LE(left, rect.left + 3);  // cut, not shrunk
    EXPECT_GE(right, rect.right - 4);
    EXPECT_GE(bottom, rect.bottom - 10);
    // Text is drawn without antialiasing: black or white only.
    for (const auto& [x, y] : inked)
        EXPECT_EQ(canvas.GetPixel({x, y}), kBlack);
}

TEST(CanvasTest, OpaqueTextFillsItsExtentAndTurnedTextRunsUpwards) {
    Canvas canvas(60, 60);
    Clear(canvas);
    canvas.SetFont(Font{"DejaVu Sans", 14, 400, 0});
    canvas.SetBackgroundColour(kBlue);
    canvas.SetBackgroundMode(BackgroundMode::kOpaque);
    const Size size = canvas.TextExtent("Hi");
    canvas.DrawText("Hi", {0, 0, 60, 60}, kTextLeft | kTextTop);
    EXPECT_EQ(canvas.GetPixel({size.width - 1, size.height - 1}), kBlue);
    EXPECT_EQ(canvas.GetPixel({size.width, 0}), kWhite);

    Canvas turned(60, 60);
    Clear(turned);
    turned.SetBackgroundMode(BackgroundMode::kTransparent);
    turned.SetFont(Font{"DejaVu Sans", 14, 400, 900});
    turned.DrawTextAt({5, 55}, "WWW");
    const PixelSet inked = Inked(turned);
    ASSERT_FALSE(inked.empty());
    int top = 99, bottom = -1, right = -1;
    for (const auto& [x, y] : inked) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        right = std::max(right, x);
    }
    EXPECT_GT(bottom - top, 25);  // the text runs up the canvas
    EXPECT_LE(bottom, 55);
    EXPECT_LE(right, 5 + 20);
}

TEST(CanvasTest, IconsAreLaidOverByTheirAlpha) {
    Image icon(2, 1);
    icon.SetPixel(0, 0, PremultipliedArgb(255, 255, 0, 0));
    icon.SetPixel(1, 0, PremultipliedArgb(0, 0, 0, 0));
    Canvas canvas(4, 4);
    Clear(canvas, kBlue);
    canvas.DrawImage({1, 1}, icon);
    EXPECT_EQ(canvas.GetPixel({1, 1}), kRed);
    EXPECT_EQ(canvas.GetPixel({2, 1}), kBlue);
}

// Draws a scene with every kind of call, from tables shared between threads.
struct SharedTables {
    std::vector<Pen> pens{Pen::Solid(kRed), Pen::Dashed(kBlue), Pen::Solid(kBlack, 3)};
    std::vector<Brush> brushes{Brush::Solid(kRed),
                               Brush::Pattern(kDiagonal, kBlue, kWhite, {2, 3})};
    Font font{"DejaVu Sans", 12, 700, 0};
    Image symbol = [] {
        Image image(32, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                image.SetPixel(x, y, ((x + y) % 3 == 0 ? kKey : kBlue).Argb());
        return image;
    }();
};

void DrawScene(Canvas& canvas, const SharedTables& tables, int seed) {
    Clear(canvas);
    for (int i = 0; i < 200; ++i) {
        const int a = (seed * 31 + i * 17) % 120;
        const int b = (seed * 7 + i * 29) % 90;
        canvas.SetPen(tables.pens[static_cast<std::size_t>(i) % tables.pens.size()]);
        canvas.SetBrush(tables.brushes[static_cast<std::size_t>(i) % tables.brushes.size()]);
        const Point triangle[] = {{a, b}, {a + 20, b + 3}, {a + 5, b + 25}};
        canvas.Polygon(triangle);
        canvas.MoveTo({b, a});
        canvas.LineTo({a, b});
        canvas.Ellipse({a, b, a + 11, b + 9});
        canvas.SetFont(tables.font);
        canvas.DrawText("Waypoint", {a, b, a + 60, b + 20}, kTextCenter);
        canvas.TransparentBlit({b, a, b + 16, a + 16}, tables.symbol, {0, 0, 32, 32}, kKey);
    }
    canvas.Finish();
}

std::vector<std::uint32_t> PixelWords(Canvas& canvas) {
    std::vector<std::uint32_t> words;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            words.push_back(canvas.Pixels().Pixel(x, y));
    return words;
}

TEST(CanvasTest, ThreadsDrawTheirOwnCanvasesFromSharedTablesAtOnce) {
    const SharedTables tables;
    Canvas reference(160, 120);
    DrawScene(reference, tables, 1);
    const std::vector<std::uint32_t> want = PixelWords(reference);

    Canvas first(160, 120);
    Canvas second(160, 120);
    std::thread one([&] {
        for (int round = 0; round < 3; ++round)
            DrawScene(first, tables, 1);
    });
    std::thread two([&] {
        for (int round = 0; round < 3; ++round)
            DrawScene(second, tables, 1);
    });
    one.join();
    two.join();
    EXPECT_EQ(PixelWords(first), want);
    EXPECT_EQ(PixelWords(second), want);
}

TEST(CanvasHandoverTest, ReadersSeeOnlyTheLastPublishedCanvas) {
    CanvasHandover handover;
    EXPECT_FALSE(handover.Read([](const Image&) { FAIL(); }));

    auto canvas = std::make_unique<Canvas>(3, 2);
    Clear(*canvas, kRed);
    Canvas* drawn = canvas.get();
    EXPECT_EQ(handover.Publish(std::move(canvas)), nullptr);
    auto next = std::make_unique<Canvas>(3, 2);
    Clear(*next, kBlue);
    std::unique_ptr<Canvas> back = handover.Publish(std::move(next));
    EXPECT_EQ(back.get(), drawn);

    std::uint32_t seen = 0;
    EXPECT_TRUE(handover.Read([&](const Image& pixels) { seen = pixels.Pixel(2, 1); }));
    EXPECT_EQ(seen, kBlue.Argb());

    // A worker drawing and publishing while the reader reads.
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) {
            Clear(*back, i % 2 == 0 ? kRed : kBlue);
            back = handover.Publish(std::move(back));
        }
    });
    for (int i = 0; i < 50; ++i) {
        handover.Read([](const Image& pixels) {
            const std::uint32_t p = pixels.Pixel(0, 0);
            EXPECT_TRUE(p == kRed.Argb() || p == kBlue.Argb());
        });
    }
    worker.join();
    EXPECT_NE(handover.Take(), nullptr);
    EXPECT_FALSE(handover.Read([](const Image&) {}));
}

TEST(CanvasHandoverTest, DrawsOnTheFinishedCanvasWithItsMarkUnderTheLock) {
    CanvasHandover handover;
    EXPECT_FALSE(handover.Draw([](Canvas&, Point&) { FAIL(); }));
    auto canvas = std::make_unique<Canvas>(4, 2);
    Clear(*canvas, kBlue);
    handover.Publish(std::move(canvas));

    Point seenMark;
    EXPECT_TRUE(handover.Draw([&](Canvas& c, Point& mark) {
        seenMark = mark;
        c.SetPixel({1, 1}, kRed);
        mark = {1, 1};
    }));
    EXPECT_EQ(seenMark, CanvasHandover::kNoMark);
    handover.Draw([&](Canvas&, Point& mark) { seenMark = mark; });
    EXPECT_EQ(seenMark, (Point{1, 1}));
    std::uint32_t drawn = 0;
    handover.Read([&](const Image& pixels) { drawn = pixels.Pixel(1, 1); });
    EXPECT_EQ(drawn, kRed.Argb());

    // A new canvas comes with a new mark.
    auto next = std::make_unique<Canvas>(4, 2);
    Clear(*next, kBlue);
    auto old = handover.Publish(std::move(next));
    handover.Draw([&](Canvas&, Point& mark) { seenMark = mark; });
    EXPECT_EQ(seenMark, CanvasHandover::kNoMark);

    // A reader never sees half of a turn: each turn paints the whole row.
    std::thread writer([&] {
        for (int i = 0; i < 200; ++i) {
            handover.Draw([i](Canvas& c, Point&) {
                for (int x = 0; x < 4; ++x) c.SetPixel({x, 0}, i % 2 == 0 ? kRed : kBlue);
            });
        }
    });
    for (int i = 0; i < 200; ++i) {
        handover.Read([](const Image& pixels) {
            for (int x = 1; x < 4; ++x) EXPECT_EQ(pixels.Pixel(x, 0), pixels.Pixel(0, 0));
        });
    }
    writer.join();
}

}  // namespace
}  // namespace platform
