// The outline tracer and the whole thresholded chain on 3601 x 3601 cells,
// each beside GDAL doing comparable work through its library in this
// process (bench/gdal_library.h), interleaved: tracing a generated
// two-value picture against gdal_polygonize.py on the same raster (the
// outlines' length must equal GDAL's rings'), and grid -> thresholded
// bitmap -> up/down ".plt" -> tiled ".map" against "gdal_contour -p -fl
// 150" on the same grid. Three runs each; the medians and their ratio.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/gdal_library.h"
#include "bench/quorlin_bench_support.h"
#include "mapdata/dib.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/outline_map.h"
#include "tools/quorlin/outline_tracer.h"
#include "tools/quorlin/plt_outlines.h"
#include "tools/quorlin/threshold_bitmap.h"

namespace {

constexpr int kSide = 3601;
constexpr float kLevel = 150.0f;

using QuietUi = bench_support::QuietQuorlinUi;

// Hills and valleys with a slightly rough surface: many lakes and islands
// at 150 m, and a few single-pixel specks along the shores.
std::int16_t Terrain(int r, int c) {
    const double smooth = 150 + 400 * std::sin(r * 0.011) * std::cos(c * 0.013) + 150 * std::sin((r + c) * 0.031);
    const int noise = static_cast<int>((static_cast<unsigned>(r) * 2654435761u ^ static_cast<unsigned>(c) * 40503u) % 7) - 3;
    return static_cast<std::int16_t>(smooth + noise);
}

struct Tile {
    test_support::ScratchFolder folder{"quorlin-outlines-bench"};
    quorlin::ElevationGridHeader grid;

    Tile() {
        std::string bin;
        bin.reserve(std::size_t{kSide} * kSide * 2);
        mapdata::CDib picture;
        picture.CreateEmpty(false, kSide, kSide, 8, nullptr);
        for (int r = 0; r < kSide; ++r) {
            std::uint8_t* row = picture.GetPixelAddress(0, r, false);
            for (int c = 0; c < kSide; ++c) {
                const std::int16_t v = Terrain(r, c);
                bin += static_cast<char>(static_cast<std::uint16_t>(v) & 0xFF);
                bin += static_cast<char>(static_cast<std::uint16_t>(v) >> 8);
                row[c] = v > kLevel ? 0 : 255;
            }
        }
        folder.Write("tile.bin", bin);
        folder.Write("tile.hdr", "BYTEORDER I\nLAYOUT BIL\nNROWS 3601\nNCOLS 3601\nNBANDS 1\nNBITS 16\n"
                                 "NODATA -9999\nULXMAP 7\nULYMAP 47\nXDIM 0.000277777777778\nYDIM 0.000277777777778\n");
        picture.SaveToFile(folder / "two.bmp", 100, nullptr);
        grid = quorlin::ReadGridHeader("BYTEORDER I\nNROWS 3601\nNCOLS 3601\nNODATA -9999\nULXMAP 7\nULYMAP 47\n"
                                       "XDIM 0.000277777777778\nYDIM 0.000277777777778\n",
                                       quorlin::kElevationGrid)
                   .header;
    }
};

Tile& TheTile() {
    static Tile tile;
    return tile;
}

// The outlines of a ".plt" file: one pen-up move each.
double PltOutlines(const std::filesystem::path& plt) {
    std::ifstream in(plt, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    double outlines = 0;
    for (std::size_t at = 0; (at = text.find("PU", at)) != std::string::npos; at += 2) ++outlines;
    return outlines;
}

// The length of the outlines of a ".plt" file, in pixels.
double PltLength(const std::filesystem::path& plt) {
    std::ifstream in(plt, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    double length = 0;
    const quorlin::PlotMove* last = nullptr;
    const std::vector<quorlin::PlotMove> moves = quorlin::ReadPlotMoves(text);
    for (const quorlin::PlotMove& move : moves) {
        if (move.penDown && last != nullptr) length += std::hypot(move.x - last->x, move.y - last->y);
        last = &move;
    }
    return length;
}

// The two-value picture traced into outlines against GDAL's polygonize
// (gdal_polygonize.py) on the same picture. Both find the same 4-connected
// regions (1,903 outer outlines, 1,903 polygons) but cut the boundaries of
// the holes into rings differently (224 inner outlines, 1,024 inner rings),
// so the counts say nothing about agreement. What both must agree on is the
// boundary itself: every pixel edge between two regions lies on two rings
// and every edge of the picture on one, so the rings' total length must be
// the same, or the run fails.
void BM_TraceAgainstGdalPolygonize(benchmark::State& state) {
    Tile& t = TheTile();
    double rings = 0, length = 0, peerLength = 0;
    bench::AgainstGdal(
        state,
        [&] {
            return quorlin::TraceMain({"Morvist.exe", "-of", (t.folder / "two.plt").string(),
                                       (t.folder / "two.bmp").string()})
                .empty();
        },
        [&](const bench::GdalLibrary& gdal) { return gdal.Polygonize(t.folder / "two.bmp", t.folder / "two.geojson"); },
        [&](const bench::GdalLibrary& gdal) {
            rings = gdal.Rings(t.folder / "two.geojson");
            length = PltLength(t.folder / "two.plt");
            peerLength = gdal.RingLength(t.folder / "two.geojson");
            return std::abs(length - peerLength);
        },
        0);
    state.counters["outlines"] = PltOutlines(t.folder / "two.plt");
    state.counters["peer_rings"] = rings;
    state.counters["length"] = length;
    state.counters["peer_length"] = peerLength;
}

// Grid -> thresholded bitmap -> up/down ".plt" -> tiled ".map" against
// gdal_contour -p -fl 150 on the same grid, both in this process. The two
// make different things (pixel-edge outlines of the high ground with the
// low areas it encloses filled in, against contour polygons interpolated
// between cell centres), so nothing of their output must agree: the
// counts of our outlines and GDAL's rings are shown for information.
void BM_ChainAgainstGdalContour(benchmark::State& state) {
    Tile& t = TheTile();
    QuietUi ui;
    int busy = 0;
    double rings = 0;
    const auto outlines = [&] {
        return PltOutlines(t.folder / "tile_0150up.plt") + PltOutlines(t.folder / "tile_0150down.plt");
    };
    bench::AgainstGdal(
        state,
        [&] {
            quorlin::ThresholdIndices indices;
            quorlin::ConvertGridToThresholdBitmap(
                {t.folder / "tile.bin", t.folder / "tile_0150.bmp", t.grid, kLevel, true, true}, indices, ui,
                busy);
            quorlin::OutlineMapJob job;
            job.input = t.folder / "tile_0150up.plt";
            job.output = t.folder / "tile_0150up.map";
            job.grid = {-t.grid.west, t.grid.south, -t.grid.east, t.grid.north};
            job.style = {2, 17, 10, 20, 30, 0.0f};
            return quorlin::ConvertOutlinesToMap(job, ui, busy);
        },
        [&](const bench::GdalLibrary& gdal) {
            return gdal.ContourPolygons(t.folder / "tile.bin", t.folder / "contour.geojson", kLevel);
        },
        [&](const bench::GdalLibrary& gdal) {
            rings = gdal.Rings(t.folder / "contour.geojson");
            return std::abs(outlines() - rings);
        });
    state.counters["outlines"] = outlines();
    state.counters["peer_rings"] = rings;
}

BENCHMARK(BM_TraceAgainstGdalPolygonize)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ChainAgainstGdalContour)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
