// Joining contour arcs into lines (the hynet path without polygons): a
// generated layer of contour lines, each cut into ten arcs, the arcs in
// shuffled order; both passes (equal identifier and value, then value).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bench/quorlin_bench_support.h"
#include "tools/quorlin/chart_layers.h"

namespace {

constexpr int kArcsPerLine = 10;

std::vector<quorlin::CE00Polyline> Contours(int lines) {
    std::vector<quorlin::CE00Polyline> arcs;
    for (int l = 0; l < lines; ++l) {
        const double y0 = 46.0 + (l % 200) * 0.02, x0 = 7.0 + (l / 200) * 0.5;
        for (int a = 0; a < kArcsPerLine; ++a) {
            quorlin::CE00Polyline arc;
            for (int p = 0; p <= 4; ++p) {
                const double x = x0 + (a * 4 + p) * 0.01;
                arc.AddPoint(x, y0 + 0.003 * ((a + p) % 3));
            }
            arc.value = static_cast<float>(100 * (l % 40));
            arc.coverageId = l % 7 == 0 ? a : l;  // some lines joined only by the second pass
            arc.UpdateBounds();
            arc.UpdateClosed();
            arcs.push_back(std::move(arc));
        }
    }
    std::shuffle(arcs.begin(), arcs.end(), std::mt19937(7));
    return arcs;
}

void BM_JoinLines(benchmark::State& state) {
    const auto source = Contours(static_cast<int>(state.range(0)));
    bench_support::QuietQuorlinUi ui;
    std::size_t joined = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto arcs = source;
        state.ResumeTiming();
        quorlin::JoinLines(arcs, true, ui);
        quorlin::JoinLines(arcs, false, ui);
        joined = arcs.size();
    }
    state.counters["arcs"] = static_cast<double>(source.size());
    state.counters["lines_after"] = static_cast<double>(joined);
}
BENCHMARK(BM_JoinLines)->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

}  // namespace
