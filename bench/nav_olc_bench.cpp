// The contest optimiser on a 9-hour flight: fixes every second (32400) along
// a 1000 km triangle flown at 90 kt with a thermal every 20 minutes (5
// minutes of circling at 45 kt, drifting in a 10 kt wind), fed through
// AddOlcPoint to a running worker, which keeps one point per 1 km (4 legs)
// or 2 km (8 legs). Measured: a whole search from nothing over the kept
// trail, and what the worker does afterwards: one new point, or a moved
// closing point.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "bench/block_pruned_olc.h"
#include "nav/olc_search.h"
#include "nav/olc_settings.h"
#include "nav/olc_worker.h"
#include "nav/tests/olc_plain_programme.h"

namespace {

constexpr double kEarthM = 6371000.0;
constexpr double kDegree = std::numbers::pi / 180.0;
constexpr int kFixes = 9 * 3600;

// Every second's position, longitude positive west as the program keeps it.
std::vector<nav::WaypointRecord> Flight() {
    const double legHeadings[] = {60.0, 180.0, 300.0};
    constexpr double kLegM = 340000.0;
    constexpr double kCruiseMps = 46.3;  // 90 kt
    constexpr double kCircleMps = 23.1;  // 45 kt
    constexpr double kCirclePeriodS = 25.0;
    constexpr double kWindEastMps = 5.1;  // 10 kt from the west
    constexpr int kThermalEveryS = 1200;
    constexpr int kCirclingS = 300;

    std::vector<nav::WaypointRecord> fixes;
    double lat = 45.0 * kDegree;
    double lonEast = 6.0 * kDegree;
    double alongLeg = 0.0;
    int leg = 0;
    for (int t = 0; t < kFixes; ++t) {
        double north = 0.0;
        double east = kWindEastMps;
        if (t % kThermalEveryS >= kThermalEveryS - kCirclingS) {
            const double angle = 2.0 * std::numbers::pi * t / kCirclePeriodS;
            north += kCircleMps * std::cos(angle);
            east += kCircleMps * std::sin(angle);
        } else {
            const double wobble = 4.0 * std::sin(t * 0.013) * kDegree;
            const double heading = legHeadings[leg % 3] * kDegree + wobble;
            north += kCruiseMps * std::cos(heading);
            east += kCruiseMps * std::sin(heading);
            alongLeg += kCruiseMps;
            if (alongLeg > kLegM) {
                alongLeg = 0.0;
                ++leg;
            }
        }
        lat += north / kEarthM;
        lonEast += east / (kEarthM * std::cos(lat));
        fixes.emplace_back(lat, -lonEast, false);
    }
    return fixes;
}

// The trail a running worker keeps of the flight.
std::vector<nav::WaypointRecord> KeptTrail(const nav::OlcWeights& weights) {
    nav::ApplyOlcSettings(weights, false);
    nav::StartOlcThread();
    const auto block = nav::CurrentOlcControl();
    while (block->notRunning)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (const nav::WaypointRecord& fix : Flight())
        nav::AddOlcPoint(&fix);
    std::vector<nav::WaypointRecord> trail;
    {
        const platform::CriticalSectionLock lock(block->lock);
        trail = block->points;
    }
    nav::StopOlcThreadsAndWait(20000);
    return trail;
}

nav::OlcWeights WeightsFor(int legs) {
    nav::OlcWeights weights{};
    for (int leg = 0; leg < legs; ++leg)
        weights[static_cast<std::size_t>(leg)] = 100;
    return weights;
}

const std::vector<nav::WaypointRecord>& Trail(int legs) {
    static const std::vector<nav::WaypointRecord> four = KeptTrail(WeightsFor(4));
    static const std::vector<nav::WaypointRecord> eight = KeptTrail(WeightsFor(8));
    return legs == 4 ? four : eight;
}

void BM_OlcWholeSearch(benchmark::State& state) {
    const int legs = static_cast<int>(state.range(0));
    const auto& trail = Trail(legs);
    double km = 0.0;
    for (auto _ : state) {
        const auto solution = nav::OptimiseOlcDistance(trail, trail.back(), WeightsFor(legs), legs);
        km = solution->value / 100.0;
        benchmark::DoNotOptimize(km);
    }
    state.counters["points"] = static_cast<double>(trail.size());
    state.counters["km"] = km;
}
BENCHMARK(BM_OlcWholeSearch)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_OlcPlainWholeSearch(benchmark::State& state) {
    const int legs = static_cast<int>(state.range(0));
    const auto& trail = Trail(legs);
    double km = 0.0;
    for (auto _ : state) {
        const nav::PlainOlcProgramme plain(trail, WeightsFor(legs), legs);
        km = plain.Close(trail.back(), legs).value / 100.0;
        benchmark::DoNotOptimize(km);
    }
    state.counters["points"] = static_cast<double>(trail.size());
    state.counters["km"] = km;
}
BENCHMARK(BM_OlcPlainWholeSearch)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// The whole search on the worker's kept trail beside a peer, interleaved in
// one run (the order alternating), with the ratio of their medians and 99th
// percentiles; both must find the same flight, value and points. Run
// pinned to one core: taskset -c 3 nav_olc_bench --benchmark_filter=Against
template <typename Peer>
void AgainstPeer(benchmark::State& state, Peer peer) {
    const int legs = static_cast<int>(state.range(0));
    const auto& trail = Trail(legs);
    nav::OlcSolution ours;
    nav::OlcSolution theirs;
    const auto search = [&] {
        ours = *nav::OptimiseOlcDistance(trail, trail.back(), WeightsFor(legs), legs);
        benchmark::DoNotOptimize(ours.value);
        return true;
    };
    const auto runPeer = [&] {
        theirs = peer(trail, legs);
        benchmark::DoNotOptimize(theirs.value);
        return true;
    };
    bench::PeerTimes times;
    if (!bench::AlternateWithPeer(state, times, search, runPeer)) return;
    if (ours != theirs) {
        state.SkipWithError("the searches disagree");
        return;
    }
    state.counters["points"] = static_cast<double>(trail.size());
    state.counters["km"] = ours.value / 100.0;
    bench::ReportAgainstPeer(state, times);
}

// Beside the plain programme: every pair of points.
void BM_OlcAgainstPlain(benchmark::State& state) {
    AgainstPeer(state, [](const std::vector<nav::WaypointRecord>& trail, int legs) {
        return nav::PlainOlcProgramme(trail, WeightsFor(legs), legs).Close(trail.back(), legs);
    });
}
BENCHMARK(BM_OlcAgainstPlain)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(2000);

// Beside the block-pruned programme (bench/block_pruned_olc.h).
void BM_OlcAgainstBlockPruned(benchmark::State& state) {
    AgainstPeer(state, [](const std::vector<nav::WaypointRecord>& trail, int legs) {
        return bench::BlockPrunedOlc(trail, WeightsFor(legs), legs).Close(trail.back());
    });
}
BENCHMARK(BM_OlcAgainstBlockPruned)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(2000);

// n fixes, one every 32400 / n seconds: the whole flight.
std::vector<nav::WaypointRecord> Sampled(std::size_t n) {
    static const std::vector<nav::WaypointRecord> flight = Flight();
    std::vector<nav::WaypointRecord> fixes;
    const std::size_t stride = flight.size() / n;
    for (std::size_t i = 0; i < n; ++i)
        fixes.push_back(flight[i * stride]);
    return fixes;
}

void BM_OlcGrowth(benchmark::State& state) {
    const auto trail = Sampled(static_cast<std::size_t>(state.range(0)));
    double km = 0.0;
    for (auto _ : state) {
        km = nav::OptimiseOlcDistance(trail, trail.back(), WeightsFor(4), 4)->value / 100.0;
        benchmark::DoNotOptimize(km);
    }
    state.counters["km"] = km;
}
BENCHMARK(BM_OlcGrowth)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Arg(16000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);

void BM_OlcPlainGrowth(benchmark::State& state) {
    const auto trail = Sampled(static_cast<std::size_t>(state.range(0)));
    double km = 0.0;
    for (auto _ : state) {
        km = nav::PlainOlcProgramme(trail, WeightsFor(4), 4).Close(trail.back(), 4).value / 100.0;
        benchmark::DoNotOptimize(km);
    }
    state.counters["km"] = km;
}
BENCHMARK(BM_OlcPlainGrowth)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Arg(16000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);

void BM_OlcOneNewPoint(benchmark::State& state) {
    const int legs = static_cast<int>(state.range(0));
    const auto& trail = Trail(legs);
    const std::span all(trail);
    for (auto _ : state) {
        state.PauseTiming();
        nav::OlcSearch search(WeightsFor(legs), legs);
        search.Append(all.first(all.size() - 1));
        benchmark::DoNotOptimize(search.Solve(trail[trail.size() - 2]));
        state.ResumeTiming();
        search.Append(all.last(1));
        benchmark::DoNotOptimize(search.Solve(trail.back()));
    }
    state.counters["points"] = static_cast<double>(trail.size());
}
BENCHMARK(BM_OlcOneNewPoint)->Arg(4)->Arg(8)->Unit(benchmark::kMicrosecond);

void BM_OlcClosingPointMoved(benchmark::State& state) {
    const int legs = static_cast<int>(state.range(0));
    const auto& trail = Trail(legs);
    nav::OlcSearch search(WeightsFor(legs), legs);
    search.Append(trail);
    std::size_t closing = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(search.Solve(trail[closing]));
        closing = (closing + 97) % trail.size();
    }
    state.counters["points"] = static_cast<double>(trail.size());
}
BENCHMARK(BM_OlcClosingPointMoved)->Arg(4)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace
