// Quorlin's two grid conversions on a generated 3601 x 3601 tile (a smooth
// terrain from 0 to 4,000 m with a few missing cells), each beside GDAL
// doing the same work: ".asc" to a 16-bit grid against
// "gdal_translate -of EHdr -ot Int16", and the big-endian ".hgt" (with its
// GTOPO30-style ".hdr") to a 24-bit bitmap of the 15 levels against
// "gdaldem color-relief -exact_color_entry ... -of BMP". Five warm runs
// each; the medians and their ratio are the figures to watch.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/quorlin_bench_support.h"
#include "platform/numbers.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/ascii_grid.h"
#include "tools/quorlin/colour_bitmap.h"

namespace {

constexpr int kSide = 3601;

using QuietUi = bench_support::QuietQuorlinUi;

std::int16_t Terrain(int r, int c) {
    if ((r * 7919 + c * 104729) % 5003 == 0) return -9999;
    return static_cast<std::int16_t>(2000 + 1000 * std::sin(r * 0.004) + 1000 * std::cos(c * 0.003));
}

struct Tile {
    test_support::ScratchFolder folder{"quorlin-bench"};
    quorlin::ElevationGridHeader grid;

    Tile() {
        std::string asc = "ncols " + std::to_string(kSide) + "\nnrows " + std::to_string(kSide) +
                          "\nxllcorner 6.99986111111\nyllcorner 45.99986111111\ncellsize 0.000277777777778\nNODATA_value -9999\n";
        std::string hgt;
        asc.reserve(std::size_t{kSide} * kSide * 6);
        hgt.reserve(std::size_t{kSide} * kSide * 2);
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c) {
                const std::int16_t v = Terrain(r, c);
                asc += std::to_string(v);
                asc += c + 1 < kSide ? ' ' : '\n';
                hgt += static_cast<char>(static_cast<std::uint16_t>(v) >> 8);
                hgt += static_cast<char>(static_cast<std::uint16_t>(v) & 0xFF);
            }
        }
        folder.Write("tile.asc", asc);
        folder.Write("tile.hgt", hgt);
        folder.Write("tile.hdr", "BYTEORDER M\nLAYOUT BIL\nNROWS 3601\nNCOLS 3601\nNBANDS 1\nNBITS 16\n"
                                 "NODATA -9999\nULXMAP 7\nULYMAP 47\nXDIM 0.000277777777778\nYDIM 0.000277777777778\n");
        // gdaldem's colour table: our 15 levels, each elevation band's colour
        // given exactly for every value of the band.
        std::string colours = "-9999 128 255 255\n";
        const quorlin::ColourTable table = quorlin::DefaultColourTable();
        for (int e = 0; e <= 4100; ++e) {
            const quorlin::Bgr b = quorlin::CellColour(static_cast<std::int16_t>(e), quorlin::kDefaultThresholds, table);
            colours += platform::FormatC("%d %d %d %d\n", e, b.red, b.green, b.blue);
        }
        folder.Write("levels.txt", colours);
        grid = quorlin::ReadGridHeader(
                   "BYTEORDER M\nNROWS 3601\nNCOLS 3601\nNODATA -9999\nULXMAP 7\nULYMAP 47\nXDIM 0.000277777777778\nYDIM 0.000277777777778\n",
                   quorlin::kElevationGrid, true)
                   .header;
    }
};

Tile& TheTile() {
    static Tile tile;
    return tile;
}

void Run(benchmark::State& state, const std::string& command) {
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("gdal failed");
    }
}

void BM_AsciiToGrid_Quorlin(benchmark::State& state) {
    Tile& t = TheTile();
    QuietUi ui;
    const auto header = quorlin::ReadGridHeader("ncols 3601\nnrows 3601\nxllcorner 6.99986111111\nyllcorner 45.99986111111\n"
                                                "cellsize 0.000277777777778\nNODATA_value -9999\n",
                                                quorlin::kAsciiGrid)
                            .header;
    for (auto _ : state) {
        if (!quorlin::ConvertAsciiGrid({t.folder / "tile.asc", t.folder / "ours.bin", header, false, 0}, ui)) {
            state.SkipWithError("conversion failed");
        }
    }
}

void BM_AsciiToGrid_Gdal(benchmark::State& state) {
    Tile& t = TheTile();
    Run(state, "gdal_translate -q -of EHdr -ot Int16 '" + (t.folder / "tile.asc").string() + "' '" +
                   (t.folder / "gdal.bil").string() + "'");
}

void BM_GridToBitmap_Quorlin(benchmark::State& state) {
    Tile& t = TheTile();
    QuietUi ui;
    int busy = 0;
    for (auto _ : state) {
        if (!quorlin::ConvertGridToBitmap({t.folder / "tile.hgt", t.folder / "ours.bmp", t.grid}, ui, busy)) {
            state.SkipWithError("conversion failed");
        }
    }
}

void BM_GridToBitmap_Gdal(benchmark::State& state) {
    Tile& t = TheTile();
    Run(state, "gdaldem color-relief -q -exact_color_entry '" + (t.folder / "tile.hgt").string() + "' '" +
                   (t.folder / "levels.txt").string() + "' '" + (t.folder / "gdal.bmp").string() + "' -of BMP");
}

#define QUORLIN_BENCH(name) \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)

QUORLIN_BENCH(BM_AsciiToGrid_Quorlin);
QUORLIN_BENCH(BM_AsciiToGrid_Gdal);
QUORLIN_BENCH(BM_GridToBitmap_Quorlin);
QUORLIN_BENCH(BM_GridToBitmap_Gdal);

}  // namespace
