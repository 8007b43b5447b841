// The elevation-map path of the chart conversion on generated contour
// layers, up to about 200,000 arcs and 20,000 polygons (a 200 x 100 grid of
// cells, each side cut into five arcs, with its arc attribute table and its
// PAL section), beside GDAL building the same polygons through its library
// in this process on the layers it finishes. One run each; the times and
// their ratio are the figures to watch, and the ground both cover must
// agree. KV_E00_BENCH_KEEP=path keeps a copy of the generated layer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

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

// A filled ring of our full map: its points in degrees east and north.
using MapRing = std::vector<std::array<double, 2>>;

// The filled rings of a map file: each opens with a "-2" record that
// carries its fill, goes on with "-1" records and closes with a bare "-2".
std::vector<MapRing> FilledRings(const std::filesystem::path& map) {
    std::ifstream in(map, std::ios::binary);
    std::vector<MapRing> rings;
    bool open = false;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == ';') continue;
        std::vector<double> fields;
        for (const char* at = line.c_str();; ++at) {
            fields.push_back(std::strtod(at, nullptr));
            at = std::strchr(at, ',');
            if (at == nullptr) break;
        }
        if (fields.size() < 7) continue;
        const std::array<double, 2> point{-fields[3], fields[0]};  // the file's longitudes are positive west
        if (fields[6] == -2 && fields.size() > 7) {
            rings.push_back({point});
            open = true;
        } else if (fields[6] == -1 && open) {
            rings.back().push_back(point);
        } else if (fields[6] == -2) {
            open = false;
        }
    }
    return rings;
}

// Twice the ring's area, positive counterclockwise.
double TwiceSignedArea(const MapRing& ring) {
    double sum = 0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        sum += ring[j][0] * ring[i][1] - ring[i][0] * ring[j][1];
    }
    return sum;
}

bool Inside(const std::array<double, 2>& p, const MapRing& ring) {
    bool inside = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const auto& a = ring[i];
        const auto& b = ring[j];
        if ((a[1] > p[1]) != (b[1] > p[1]) && p[0] < (b[0] - a[0]) * (p[1] - a[1]) / (b[1] - a[1]) + a[0]) {
            inside = !inside;
        }
    }
    return inside;
}

// A point just inside the ring, off the middle of its longest side.
std::array<double, 2> PointWithin(const MapRing& ring, double twiceArea) {
    std::size_t longest = 0;
    double length = 0;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        const double l = std::hypot(ring[i + 1][0] - ring[i][0], ring[i + 1][1] - ring[i][1]);
        if (l > length) longest = i, length = l;
    }
    if (length == 0) return ring.front();
    const auto& a = ring[longest];
    const auto& b = ring[longest + 1];
    const double side = (twiceArea > 0 ? 1e-3 : -1e-3);  // towards the inside, a thousandth of the side away
    return {(a[0] + b[0]) / 2 - (b[1] - a[1]) * side, (a[1] + b[1]) / 2 + (b[0] - a[0]) * side};
}

// The ground our full map covers, in square degrees: a ring inside another
// is painted over it, so the area is that of the rings no other ring holds.
double CoveredArea(const std::filesystem::path& map) {
    const std::vector<MapRing> rings = FilledRings(map);
    std::vector<double> areas;
    std::vector<std::array<double, 4>> boxes;  // west, south, east, north
    for (const MapRing& ring : rings) {
        areas.push_back(TwiceSignedArea(ring) / 2);
        std::array<double, 4> box{ring[0][0], ring[0][1], ring[0][0], ring[0][1]};
        for (const auto& p : ring) {
            box = {std::min(box[0], p[0]), std::min(box[1], p[1]), std::max(box[2], p[0]), std::max(box[3], p[1])};
        }
        boxes.push_back(box);
    }
    double covered = 0;
    for (std::size_t i = 0; i < rings.size(); ++i) {
        const std::array<double, 4>& b = boxes[i];
        const auto within = PointWithin(rings[i], areas[i]);
        bool held = false;
        for (std::size_t j = 0; j < rings.size() && !held; ++j) {
            const std::array<double, 4>& o = boxes[j];
            held = j != i && std::abs(areas[j]) > std::abs(areas[i]) && o[0] <= b[0] && o[1] <= b[1] &&
                   o[2] >= b[2] && o[3] >= b[3] && Inside(within, rings[j]);
        }
        if (!held) covered += std::abs(areas[i]);
    }
    return covered;
}

// How far the two covered areas may differ, as a fraction of GDAL's: our
// map keeps six decimals of a degree, about a millionth of a cell's side.
constexpr double kAreaTolerance = 1e-4;

// Converts the generated layer of columns x rows cells (the first two
// arguments) with the elevation-map path, and with a third argument of 1
// alternates with GDAL building the layer's polygons from its PAL section
// in this process, clipped to the same bounds ("ogr2ogr -f GeoJSON -clipsrc
// west south east north out.json in.e00 PAL" through GDAL's library), both
// reading the same file.
//
// Ring counts say nothing about agreement. Our map paints each polygon's
// outline as one filled ring and the rings inside it (its holes, filled in
// the colour of what lies in them) as further rings painted over it, and
// the clip to the bounds can cut a ring into pieces; GDAL gives one polygon
// per PAL record with its holes as inner rings. On these cells without
// holes both give one ring a cell, but a layer with holes gives different
// counts for the same map. What both must agree on is the ground the
// polygons cover, so the run fails when the areas differ by more than
// kAreaTolerance.
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
    const auto fullMap = folder.Path() / "benchhynet_full.map";
    const auto ours = [&] { return quorlin::ConvertChartLines(job, ui).written; };
    state.counters["arcs"] = static_cast<double>(((gridRows + 1) * gridColumns + gridRows * (gridColumns + 1)) * kCuts);
    state.counters["polygons"] = static_cast<double>(gridRows * gridColumns);
    if (state.range(2) == 0) {
        for (auto _ : state) {
            if (!ours()) state.SkipWithError("not written");
        }
        state.counters["rings"] = static_cast<double>(FilledRings(fullMap).size());
        state.counters["area"] = CoveredArea(fullMap);
        return;
    }
    const auto json = folder.Path() / "out.json";
    const core::GeoBox& box = job.bounds;
    const std::vector<std::string> options{"-f", "GeoJSON", "-clipsrc", std::to_string(box.west),
                                           std::to_string(box.south), std::to_string(box.east),
                                           std::to_string(box.north), "PAL"};
    double area = 0, peerArea = 0, peerRings = 0;
    bench::AgainstGdal(
        state, ours,
        [&](const bench::GdalLibrary& gdal) {
            std::filesystem::remove(json);
            return gdal.VectorTranslate(input, json, options);
        },
        [&](const bench::GdalLibrary& gdal) {
            area = CoveredArea(fullMap);
            peerArea = gdal.Area(json);
            peerRings = gdal.Rings(json);
            return std::abs(area - peerArea) / peerArea;
        },
        kAreaTolerance);
    state.counters["area"] = area;
    state.counters["peer_area"] = peerArea;
    state.counters["rings"] = static_cast<double>(FilledRings(fullMap).size());
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
