// Quorlin's two grid conversions on a generated 3601 x 3601 tile (a smooth
// terrain from 0 to 4,000 m with a few missing cells), each beside GDAL
// doing the same work through its library in this process: ".asc" to a
// 16-bit grid against gdal_translate -of EHdr -ot Int16, and the big-endian
// ".hgt" (with its GTOPO30-style ".hdr") to a 24-bit bitmap of the 15
// levels against gdaldem color-relief with a colour table that draws the
// same picture. Five runs each, interleaved; the medians and their ratio
// are the figures to watch, and a cell where the outputs differ fails the
// run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <string_view>
#include <vector>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/gdal_library.h"
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
        std::string colours = "nv 128 255 255\n-9999 128 255 255\n";
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

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The 16-bit cells of two grids that differ (ours big-endian or not, GDAL's
// in this machine's order); -1 when the sizes differ.
double DifferingCells(const std::filesystem::path& ours, const std::filesystem::path& gdal) {
    const std::string a = ReadAll(ours);
    const std::string b = ReadAll(gdal);
    if (a.size() != b.size()) return -1;
    double differing = 0;
    double swapped = 0;
    for (std::size_t i = 0; i + 1 < a.size(); i += 2) {
        differing += a[i] != b[i] || a[i + 1] != b[i + 1] ? 1 : 0;
        swapped += a[i] != b[i + 1] || a[i + 1] != b[i] ? 1 : 0;
    }
    return std::min(differing, swapped);
}

// The pixels of two 24-bit bitmaps that differ, each read from its own
// pixel offset, row by row (the padding at a row's end aside); -1 when
// their sizes differ.
double DifferingPixels(const std::filesystem::path& ours, const std::filesystem::path& gdal) {
    const std::string a = ReadAll(ours);
    const std::string b = ReadAll(gdal);
    const auto word = [](const std::string& bmp, std::size_t at) {
        return static_cast<std::int64_t>(static_cast<unsigned char>(bmp[at]) |
                                         static_cast<unsigned char>(bmp[at + 1]) << 8 |
                                         static_cast<unsigned char>(bmp[at + 2]) << 16 |
                                         static_cast<std::uint32_t>(static_cast<unsigned char>(bmp[at + 3])) << 24);
    };
    if (a.size() < 54 || b.size() < 54 || word(a, 18) != word(b, 18) || word(a, 22) != word(b, 22)) return -1;
    const std::int64_t width = word(a, 18);
    const std::int64_t height = std::abs(static_cast<std::int32_t>(word(a, 22)));
    const std::int64_t stride = (width * 3 + 3) / 4 * 4;
    const std::int64_t fromA = word(a, 10);
    const std::int64_t fromB = word(b, 10);
    if (static_cast<std::int64_t>(a.size()) < fromA + stride * height ||
        static_cast<std::int64_t>(b.size()) < fromB + stride * height)
        return -1;
    double differing = 0;
    for (std::int64_t row = 0; row < height; ++row) {
        for (std::int64_t x = 0; x < width * 3; x += 3) {
            const auto at = static_cast<std::size_t>(row * stride + x);
            differing += a.compare(static_cast<std::size_t>(fromA) + at, 3, b, static_cast<std::size_t>(fromB) + at, 3) != 0 ? 1 : 0;
        }
    }
    return differing;
}

const quorlin::ElevationGridHeader& AsciiHeader() {
    static const auto header =
        quorlin::ReadGridHeader("ncols 3601\nnrows 3601\nxllcorner 6.99986111111\nyllcorner 45.99986111111\n"
                                "cellsize 0.000277777777778\nNODATA_value -9999\n",
                                quorlin::kAsciiGrid)
            .header;
    return header;
}

// ".asc" to a 16-bit grid against gdal_translate -of EHdr -ot Int16.
void BM_AsciiToGridAgainstGdal(benchmark::State& state) {
    Tile& t = TheTile();
    QuietUi ui;
    bench::AgainstGdal(
        state,
        [&] { return quorlin::ConvertAsciiGrid({t.folder / "tile.asc", t.folder / "ours.bin", AsciiHeader(), false, 0}, ui); },
        [&](const bench::GdalLibrary& gdal) {
            return gdal.Translate(t.folder / "tile.asc", t.folder / "gdal.bil", {"-of", "EHdr", "-ot", "Int16"});
        },
        [&] { return DifferingCells(t.folder / "ours.bin", t.folder / "gdal.bil"); }, 0);
}

// The ".hgt" grid to a 24-bit bitmap of the 15 levels against gdaldem
// color-relief with a table giving every elevation its level's colour
// (nearest entry: every cell value has an entry of its own; no data in the
// no-data colour).
void BM_GridToBitmapAgainstGdal(benchmark::State& state) {
    Tile& t = TheTile();
    QuietUi ui;
    int busy = 0;
    bench::AgainstGdal(
        state,
        [&] { return quorlin::ConvertGridToBitmap({t.folder / "tile.hgt", t.folder / "ours.bmp", t.grid}, ui, busy); },
        [&](const bench::GdalLibrary& gdal) {
            return gdal.ColourRelief(t.folder / "tile.hgt", t.folder / "levels.txt", t.folder / "gdal.bmp",
                                     {"-of", "BMP", "-nearest_color_entry"});
        },
        [&] { return DifferingPixels(t.folder / "ours.bmp", t.folder / "gdal.bmp"); }, 0);
}

BENCHMARK(BM_AsciiToGridAgainstGdal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_GridToBitmapAgainstGdal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
