// The elevation-map path of the chart conversion on generated contour
// layers, up to about 200,000 arcs and 20,000 polygons (a 200 x 100 grid of
// cells, each side cut into five arcs, with its arc attribute table and its
// PAL section), beside GDAL building the same polygons through its library
// in this process on the layers it finishes. One run each; the times and
// their ratio are the figures to watch. KV_E00_BENCH_KEEP=path keeps a copy
// of the generated layer.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/gdal_library.h"
#include "bench/quorlin_bench_support.h"
#include "platform/numbers.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/chart_layers.h"

namespace {

constexpr int kCuts = 5;
// The grid of cells, set by the benchmark's arguments before each layer is written.
int gridColumns = 200, gridRows = 100;
constexpr double kCell = 0.01, kWest = 7.0, kSouth = 46.0;

using QuietUi = bench_support::QuietQuorlinUi;

int Cell(int row, int column) {  // polygon number; 1 outside
    return row < 0 || row >= gridRows || column < 0 || column >= gridColumns ? 1 : 2 + row * gridColumns + column;
}
int Elevation(int polygon) {  // feet, in steps of 100
    if (polygon == 1) return 0;
    const int r = (polygon - 2) / gridColumns, c = (polygon - 2) % gridColumns;
    return 100 * static_cast<int>(40 + 30 * std::sin(r * 0.11) + 30 * std::cos(c * 0.07));
}
int Node(int row, int column, int cut, bool vertical) {  // grid points and cut points
    return 1 + ((row * (gridColumns + 1) + column) * kCuts + cut) * 2 + (vertical ? 1 : 0);
}

struct Arc {
    int from, to, left, right, value, type;
    double x0, y0, x1, y1;
};

std::vector<Arc> Arcs() {
    std::vector<Arc> arcs;
    for (int r = 0; r <= gridRows; ++r) {  // horizontal sides, eastward: cell above on the left
        for (int c = 0; c < gridColumns; ++c) {
            const int left = Cell(r, c), right = Cell(r - 1, c);
            for (int k = 0; k < kCuts; ++k) {
                const double x = kWest + (c + k / double(kCuts)) * kCell, y = kSouth + r * kCell;
                const int from = k == 0 ? Node(r, c, 0, false) : Node(r, c, k, false);
                const int to = k == kCuts - 1 ? Node(r, c + 1, 0, false) : Node(r, c, k + 1, false);
                arcs.push_back({from, to, left, right, std::max(Elevation(left), Elevation(right)),
                                left == 1 || right == 1 ? 0 : 1, x, y, x + kCell / kCuts, y});
            }
        }
    }
    for (int r = 0; r < gridRows; ++r) {  // vertical sides, northward: cell west on the left
        for (int c = 0; c <= gridColumns; ++c) {
            const int left = Cell(r, c - 1), right = Cell(r, c);
            for (int k = 0; k < kCuts; ++k) {
                const double x = kWest + c * kCell, y = kSouth + (r + k / double(kCuts)) * kCell;
                const int from = k == 0 ? Node(r, c, 0, false) : Node(r, c, k, true);
                const int to = k == kCuts - 1 ? Node(r + 1, c, 0, false) : Node(r, c, k + 1, true);
                arcs.push_back({from, to, left, right, std::max(Elevation(left), Elevation(right)),
                                left == 1 || right == 1 ? 0 : 1, x, y, x, y + kCell / kCuts});
            }
        }
    }
    return arcs;
}

std::string Real(double v) { return platform::FormatC("%14.7E", v); }

void WriteLayer(const std::filesystem::path& path) {
    const auto arcs = Arcs();
    std::string out = "EXP  0 /BENCH/BENCHHYNET.E00\nARC  2\n";
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        const Arc& a = arcs[i];
        const double mx = (a.x0 + a.x1) / 2 + (a.y1 - a.y0) * 0.1, my = (a.y0 + a.y1) / 2 + (a.x1 - a.x0) * 0.1;
        out += platform::FormatC("%10d%10d%10d%10d%10d%10d%10d\n", int(i + 1), int(i + 1), a.from, a.to, a.left,
                                 a.right, 3);
        out += Real(a.x0) + Real(a.y0) + Real(mx) + Real(my) + "\n" + Real(a.x1) + Real(a.y1) + "\n";
    }
    out += platform::FormatC("%10d%10d%10d%10d%10d%10d%10d\n", -1, 0, 0, 0, 0, 0, 0);
    // PAL: each cell walked counterclockwise; the outside first, with an empty entry.
    const int horizontal = (gridRows + 1) * gridColumns * kCuts;
    const auto hArc = [&](int r, int c, int k) { return 1 + (r * gridColumns + c) * kCuts + k; };
    const auto vArc = [&](int r, int c, int k) { return 1 + horizontal + (r * (gridColumns + 1) + c) * kCuts + k; };
    out += "PAL  2\n";
    out += platform::FormatC("%10d", 1) + Real(kWest) + Real(kSouth) + Real(kWest + gridColumns * kCell) +
           Real(kSouth + gridRows * kCell) + "\n" + platform::FormatC("%10d%10d%10d\n", 0, 0, 0);
    for (int r = 0; r < gridRows; ++r) {
        for (int c = 0; c < gridColumns; ++c) {
            std::vector<std::array<int, 3>> entries;
            for (int k = 0; k < kCuts; ++k) entries.push_back({hArc(r, c, k), 0, Cell(r - 1, c)});
            for (int k = 0; k < kCuts; ++k) entries.push_back({vArc(r, c + 1, k), 0, Cell(r, c + 1)});
            for (int k = kCuts - 1; k >= 0; --k) entries.push_back({-hArc(r + 1, c, k), 0, Cell(r + 1, c)});
            for (int k = kCuts - 1; k >= 0; --k) entries.push_back({-vArc(r, c, k), 0, Cell(r, c - 1)});
            const double x = kWest + c * kCell, y = kSouth + r * kCell;
            out += platform::FormatC("%10d", int(entries.size())) + Real(x) + Real(y) + Real(x + kCell) +
                   Real(y + kCell) + "\n";
            for (std::size_t i = 0; i < entries.size(); i += 2) {
                for (std::size_t j = i; j < std::min(i + 2, entries.size()); ++j) {
                    out += platform::FormatC("%10d%10d%10d", entries[j][0], entries[j][1], entries[j][2]);
                }
                out += "\n";
            }
        }
    }
    out += platform::FormatC("%10d%10d%10d%10d%10d%10d%10d\n", -1, 0, 0, 0, 0, 0, 0);
    out += "IFO  2\n";
    out += platform::FormatC("%-32sXX%4d%4d%4d%10d\n", "BENCHHYNET.AAT", 9, 9, 36, int(arcs.size()));
    const char* items[] = {"FNODE#", "TNODE#", "LPOLY#", "RPOLY#", "LENGTH", "BENCHHYNET#", "BENCHHYNET-ID",
                           "CONTVAL", "CONTTYPE"};
    for (int i = 0; i < 9; ++i) {
        const bool real = i == 4;
        out += platform::FormatC("%-16s%3d-1%4d4-1%4d%2d%3d-1  -1  -1-1%16s%4d-\n", items[i], 4, 1 + 4 * i,
                                 real ? 12 : 5, real ? 3 : -1, real ? 60 : 50, "", i + 1);
    }
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        const Arc& a = arcs[i];
        const std::string record = platform::FormatC("%11d%11d%11d%11d", a.from, a.to, a.left, a.right) +
                                   Real(kCell / kCuts) +
                                   platform::FormatC("%11d%11d%11d%11d", int(i + 1), int(i + 1), a.value, a.type);
        out += record.substr(0, 80) + "\n" + record.substr(80) + "\n";
    }
    out += "EOI\nEOS\n";
    std::ofstream(path, std::ios::binary) << out;
}

// The rings of our full map: each starts with a "-2" record (a fill code
// and colour may follow).
double ClosedRings(const std::filesystem::path& output) {
    std::ifstream in(output.parent_path() / (output.stem().string() + "_full.map"), std::ios::binary);
    double rings = 0;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        rings += line.find(",-2,") != std::string::npos || line.ends_with(",-2") ? 1 : 0;
    }
    return rings;
}

// Converts the generated layer of columns x rows cells (the first two
// arguments) with the elevation-map path, and with a third argument of 1
// alternates with GDAL building the layer's polygons from its PAL section
// in this process ("ogr2ogr -f GeoJSON out.json in.e00 PAL" through GDAL's
// library), both reading the same file. Compared: our closed rings
// against GDAL's polygon rings.
void BM_ElevationMap(benchmark::State& state) {
    gridColumns = static_cast<int>(state.range(0));
    gridRows = static_cast<int>(state.range(1));
    test_support::ScratchFolder folder("e00bench");
    const auto input = folder.Path() / "benchhynet.e00";
    WriteLayer(input);
    if (const char* keep = std::getenv("KV_E00_BENCH_KEEP")) std::filesystem::copy_file(input, keep);
    QuietUi ui;
    quorlin::ChartJob job;
    job.input = input;
    job.output = folder.Path() / "benchhynet.map";
    job.layer.hynet = job.layer.net = job.layer.polyline = true;
    job.bounds = {kWest, kSouth, kWest + gridColumns * kCell, kSouth + gridRows * kCell};
    job.fillClosed = true;
    job.removeLonLat = false;
    const auto ours = [&] { return quorlin::ConvertChartLines(job, ui).written; };
    state.counters["arcs"] = static_cast<double>(((gridRows + 1) * gridColumns + gridRows * (gridColumns + 1)) * kCuts);
    state.counters["polygons"] = static_cast<double>(gridRows * gridColumns);
    if (state.range(2) == 0) {
        for (auto _ : state) {
            if (!ours()) state.SkipWithError("not written");
        }
        state.counters["rings"] = ClosedRings(job.output);
        return;
    }
    const auto json = folder.Path() / "out.json";
    double peerRings = 0;
    bench::AgainstGdal(
        state, ours,
        [&](const bench::GdalLibrary& gdal) {
            std::filesystem::remove(json);
            const bool made = gdal.VectorTranslate(input, json, {"-f", "GeoJSON", "PAL"});
            peerRings = gdal.Rings(json);
            return made;
        },
        [&] { return std::abs(ClosedRings(job.output) - peerRings); });
    state.counters["rings"] = ClosedRings(job.output);
    state.counters["peer_rings"] = peerRings;
}
// GDAL beside ours on layers it finishes: its time grows with the square
// of the layer (about 15 s for 2,000 arcs, 520 s for 13,000 on the
// development machine), so the full layer of about 200,000 arcs is ours
// alone.
BENCHMARK(BM_ElevationMap)
    ->Args({20, 10, 1})
    ->Args({50, 25, 1})
    ->Args({200, 100, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
