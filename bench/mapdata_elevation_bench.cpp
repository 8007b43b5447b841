// Cost of one elevation lookup on a mapped grid of 1080 x 1524 cells (3 arc
// seconds over 0.9 x 1.27 degrees, 3.3 MB), at random points spread over it,
// both byte orders.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "mapdata/elevation_model.h"
#include "testing/scratch_folder.h"

namespace {

constexpr int kRows = 1080;
constexpr int kColumns = 1524;
constexpr double kRad = mapdata::kGridRadiansPerDegree;

struct Grid {
    test_support::ScratchFolder folder{"elevation-bench"};
    mapdata::CElevationModel model;

    explicit Grid(bool littleEndian) {
        std::string samples;
        samples.reserve(static_cast<std::size_t>(kRows) * kColumns * 2);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                const auto v = static_cast<std::uint16_t>(400 + (r * 7 + c * 3) % 600);
                const char lo = static_cast<char>(v & 0xFF), hi = static_cast<char>(v >> 8);
                samples += littleEndian ? std::string{lo, hi} : std::string{hi, lo};
            }
        }
        folder.Write("terrain.bin", samples);
        folder.Write("terrain.hdr",
                     "left_map_x=6.865\nright_map_x=8.135\nupper_map_y=45.95\nlower_map_y=45.05\n"
                     "number_of_rows=1080\nnumber_of_columns=1524\ndata_byte_order=" +
                         std::string(littleEndian ? "little_endian" : "big_endian") + "\n");
        if (!model.ParseHeader(folder / "terrain.hdr") || !model.MapDataFile()) std::abort();
    }
};

void BM_ElevationLookup(benchmark::State& state) {
    const Grid grid(state.range(0) != 0);
    const auto view = grid.model.View();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lat(45.06 * kRad, 45.94 * kRad);
    std::uniform_real_distribution<double> lon(-8.13 * kRad, -6.87 * kRad);
    std::vector<std::pair<double, double>> points(4096);
    for (auto& p : points) p = {lon(random), lat(random)};
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& p = points[i++ & 4095];
        benchmark::DoNotOptimize(view->GetElevationAt(p.first, p.second));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ElevationLookup)->Arg(1)->Arg(0)->ArgName("littleEndian");

}  // namespace
