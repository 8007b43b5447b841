#pragma once
// Helpers shared by the benchmarks.

#include <benchmark/benchmark.h>
#include <time.h>

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

// Milliseconds of processor time this thread has used: unlike the steady
// clock, it leaves out the time other programs on a loaded machine hold
// the core.
inline double ThreadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The times of the project's work and of its peer's, one of each per
// iteration, in milliseconds: on the steady clock, and of this thread's
// processor time.
struct PeerTimes {
    std::vector<double> project;
    std::vector<double> peer;
    std::vector<double> projectCpu;
    std::vector<double> peerCpu;
};

// Runs project() and peer() once per iteration of state, the order turning
// each time so that the machine's load falls on both alike, each timed on
// the steady clock; afterProject() runs untimed right after project().
// Each returns true when its work succeeded; false ends the run, and the
// caller reports it. The times are then those of the iterations so far.
template <typename Project, typename Peer, typename AfterProject>
[[nodiscard]] bool AlternateWithPeer(benchmark::State& state, PeerTimes& times, Project&& project,
                                     Peer&& peer, AfterProject&& afterProject) {
    const auto timed = [](auto& run, std::vector<double>& wall, std::vector<double>& cpu) {
        const double cpuStart = ThreadCpuMilliseconds();
        const auto start = std::chrono::steady_clock::now();
        const bool ok = static_cast<bool>(run());
        wall.push_back(MillisecondsSince(start));
        cpu.push_back(ThreadCpuMilliseconds() - cpuStart);
        return ok;
    };
    bool peerFirst = false;
    for (auto _ : state) {
        if (peerFirst && !timed(peer, times.peer, times.peerCpu)) return false;
        if (!timed(project, times.project, times.projectCpu) || !afterProject()) return false;
        if (!peerFirst && !timed(peer, times.peer, times.peerCpu)) return false;
        peerFirst = !peerFirst;
    }
    return true;
}

template <typename Project, typename Peer>
[[nodiscard]] bool AlternateWithPeer(benchmark::State& state, PeerTimes& times, Project&& project,
                                     Peer&& peer) {
    return AlternateWithPeer(state, times, project, peer, [] { return true; });
}

// The project's times beside its peer's, taken in the same run: the median
// and 99th percentile of each and their ratios (project / peer), and the
// medians of the processor time with their ratio when they were taken.
inline void ReportAgainstPeer(benchmark::State& state, const PeerTimes& times) {
    const std::vector<double>& project = times.project;
    const std::vector<double>& peer = times.peer;
    state.counters["median_ms"] = Percentile(project, 0.5);
    state.counters["p99_ms"] = Percentile(project, 0.99);
    state.counters["peer_median_ms"] = Percentile(peer, 0.5);
    state.counters["peer_p99_ms"] = Percentile(peer, 0.99);
    state.counters["ratio_median"] = Percentile(project, 0.5) / Percentile(peer, 0.5);
    state.counters["ratio_p99"] = Percentile(project, 0.99) / Percentile(peer, 0.99);
    if (times.projectCpu.empty() || times.peerCpu.empty()) return;
    state.counters["cpu_median_ms"] = Percentile(times.projectCpu, 0.5);
    state.counters["peer_cpu_median_ms"] = Percentile(times.peerCpu, 0.5);
    state.counters["cpu_ratio_median"] = Percentile(times.projectCpu, 0.5) / Percentile(times.peerCpu, 0.5);
}

}  // namespace bench
