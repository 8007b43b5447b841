#pragma once
// Helpers shared by the benchmarks.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace bench {

// The value below which the given fraction of the values lie.
inline double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at),
                     values.end());
    return values[at];
}

// Milliseconds since `start` on the steady clock.
inline double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The project's times beside its peer's, taken in the same run: the median
// and 99th percentile of each and their ratios (project / peer).
inline void ReportAgainstPeer(benchmark::State& state, const std::vector<double>& project,
                              const std::vector<double>& peer) {
    state.counters["median_ms"] = Percentile(project, 0.5);
    state.counters["p99_ms"] = Percentile(project, 0.99);
    state.counters["peer_median_ms"] = Percentile(peer, 0.5);
    state.counters["peer_p99_ms"] = Percentile(peer, 0.99);
    state.counters["ratio_median"] = Percentile(project, 0.5) / Percentile(peer, 0.5);
    state.counters["ratio_p99"] = Percentile(project, 0.99) / Percentile(peer, 0.99);
}

}  // namespace bench
