// Drawing on an 800 x 480 canvas as the map render thread does: each
// benchmark draws 10,000 operations of one kind (items per second gives
// the time per operation), and one mixes them as a map does.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/canvas.h"

namespace {

using platform::Brush;
using platform::Canvas;
using platform::Colour;
using platform::Pen;
using platform::Point;

constexpr int kWidth = 800;
constexpr int kHeight = 480;
constexpr int kOperations = 10'000;

// Map-like geometry: short polylines of 2 to 12 points, some of them
// reaching far beyond the screen.
struct Scene {
    std::vector<std::vector<Point>> lines;
    std::vector<std::array<Point, 6>> areas;
    std::vector<Point> places;
    platform::Image symbol{32, 32};

    Scene() {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> x(-200, kWidth + 200);
        std::uniform_int_distribution<int> y(-200, kHeight + 200);
        std::uniform_int_distribution<int> step(-40, 40);
        std::uniform_int_distribution<int> count(2, 12);
        for (int i = 0; i < kOperations; ++i) {
            std::vector<Point> line{{x(random), y(random)}};
            for (int n = count(random); n > 1; --n)
                line.push_back({line.back().x + step(random), line.back().y + step(random)});
            lines.push_back(std::move(line));
            const Point c{x(random), y(random)};
            areas.push_back({Point{c.x, c.y},
                             {c.x + 60, c.y + 5},
                             {c.x + 80, c.y + 50},
                             {c.x + 30, c.y + 70},
                             {c.x - 10, c.y + 40},
                             {c.x + 20, c.y + 20}});
            places.push_back({x(random), y(random)});
        }
        for (int py = 0; py < 32; ++py)
            for (int px = 0; px < 32; ++px)
                symbol.SetPixel(px, py,
                                (px - 16) * (px - 16) + (py - 16) * (py - 16) < 200 ? 0xFF0000C0U
                                                                                    : 0xFFFF00FFU);
    }
};

const Scene& TheScene() {
    static const Scene scene;
    return scene;
}

constexpr platform::PatternRows kHatch = {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE};

void Lines(Canvas& canvas, const Pen& pen) {
    canvas.SetPen(pen);
    for (const auto& line : TheScene().lines)
        canvas.Polyline(line);
}

template <typename Draw>
void Run(benchmark::State& state, Draw draw) {
    Canvas canvas(kWidth, kHeight);
    for (auto _ : state) {
        canvas.FillRect(canvas.Bounds(), Brush::Solid(platform::kWhite));
        draw(canvas);
        canvas.Finish();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kOperations);
}

void BM_ThinPolylines(benchmark::State& state) {
    Run(state, [](Canvas& c) { Lines(c, Pen::Solid(Colour{0, 0, 128})); });
}
void BM_DashedPolylines(benchmark::State& state) {
    Run(state, [](Canvas& c) { Lines(c, Pen::Dashed(Colour{0, 128, 0})); });
}
void BM_WidePolylines(benchmark::State& state) {
    Run(state, [](Canvas& c) { Lines(c, Pen::Solid(Colour{128, 0, 0}, 3)); });
}
void BM_SolidPolygons(benchmark::State& state) {
    Run(state, [](Canvas& c) {
        c.SetPen(Pen::Solid(platform::kBlack));
        c.SetBrush(Brush::Solid(Colour{192, 192, 192}));
        for (const auto& area : TheScene().areas)
            c.Polygon(area);
    });
}
void BM_PatternPolygons(benchmark::State& state) {
    Run(state, [](Canvas& c) {
        c.SetPen(Pen::None());
        c.SetBrush(Brush::Pattern(kHatch, Colour{255, 0, 0}, platform::kWhite, {3, 2}));
        for (const auto& area : TheScene().areas)
            c.Polygon(area);
    });
}
void BM_Ellipses(benchmark::State& state) {
    Run(state, [](Canvas& c) {
        c.SetPen(Pen::Solid(Colour{0, 0, 255}));
        c.SetBrush(Brush::Hollow());
        for (const Point p : TheScene().places)
            c.Ellipse({p.x, p.y, p.x + 40, p.y + 40});
    });
}
void BM_Labels(benchmark::State& state) {
    Run(state, [](Canvas& c) {
        c.SetFont(platform::Font{"DejaVu Sans", 12, 700, 0});
        c.SetBackgroundMode(platform::BackgroundMode::kTransparent);
        for (const Point p : TheScene().places)
            c.DrawText("Waypoint", {p.x - 6, p.y + 5, p.x + 60, p.y + 20}, platform::kTextLeft);
    });
}
void BM_TransparentSymbols(benchmark::State& state) {
    Run(state, [](Canvas& c) {
        for (const Point p : TheScene().places)
            c.TransparentBlit({p.x - 16, p.y - 16, p.x + 16, p.y + 16}, TheScene().symbol,
                              {0, 0, 32, 32}, Colour{255, 0, 255});
    });
}
void BM_Mixed(benchmark::State& state) {
    // Per 10 operations: 6 thin lines, 1 dashed, 1 wide, 1 area, 1 symbol
    // with its label.
    const Scene& scene = TheScene();
    Run(state, [&scene](Canvas& c) {
        c.SetFont(platform::Font{"DejaVu Sans", 12, 700, 0});
        c.SetBackgroundMode(platform::BackgroundMode::kTransparent);
        for (std::size_t i = 0; i < kOperations; ++i) {
            switch (i % 10) {
                case 6:
                    c.SetPen(Pen::Dashed(Colour{0, 128, 0}));
                    c.Polyline(scene.lines[i]);
                    break;
                case 7:
                    c.SetPen(Pen::Solid(Colour{128, 0, 0}, 3));
                    c.Polyline(scene.lines[i]);
                    break;
                case 8:
                    c.SetPen(Pen::Solid(platform::kBlack));
                    c.SetBrush(Brush::Solid(Colour{224, 224, 224}));
                    c.Polygon(scene.areas[i]);
                    break;
                case 9: {
                    const Point p = scene.places[i];
                    c.TransparentBlit({p.x - 16, p.y - 16, p.x + 16, p.y + 16}, scene.symbol,
                                      {0, 0, 32, 32}, Colour{255, 0, 255});
                    c.DrawText("Waypoint", {p.x - 6, p.y + 5, p.x + 60, p.y + 20},
                               platform::kTextLeft);
                    break;
                }
                default:
                    c.SetPen(Pen::Solid(Colour{0, 0, 128}));
                    c.Polyline(scene.lines[i]);
            }
        }
    });
}
void BM_AndBlitOfAWholeCanvas(benchmark::State& state) {
    Canvas canvas(kWidth, kHeight);
    Canvas overlay(kWidth, kHeight);
    overlay.FillRect(overlay.Bounds(), Brush::Solid(platform::kWhite));
    const platform::Image& pixels = overlay.Pixels();
    for (auto _ : state) {
        canvas.Blit({0, 0}, {kWidth, kHeight}, pixels, {0, 0}, platform::RasterOp::kAnd);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_ThinPolylines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DashedPolylines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WidePolylines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolidPolygons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternPolygons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ellipses)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Labels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransparentSymbols)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mixed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AndBlitOfAWholeCanvas)->Unit(benchmark::kMillisecond);

}  // namespace
