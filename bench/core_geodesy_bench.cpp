// Cost of one geodesic solution (task legs, zones and the reachable outline
// call these in loops) and of one UTM conversion.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/geodesy.h"
#include "core/utm.h"

namespace {

struct Pair {
    double lat1, lon1, lat2, lon2;
};

// Random pairs over the globe, or within a glider's range (up to ~500 km).
std::vector<Pair> MakePairs(double spread) {
    std::mt19937_64 engine(7);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::vector<Pair> pairs(1024);
    for (Pair& p : pairs) {
        p.lat1 = std::asin(unit(engine)) * 0.9;
        p.lon1 = core::g_pi * unit(engine);
        p.lat2 = std::clamp(p.lat1 + spread * unit(engine), -1.5, 1.5);
        p.lon2 = p.lon1 + spread * unit(engine);
    }
    return pairs;
}

void Inverse(benchmark::State& state, double spread) {
    const std::vector<Pair> pairs = MakePairs(spread);
    std::size_t i = 0;
    for (auto _ : state) {
        const Pair& p = pairs[i++ % pairs.size()];
        benchmark::DoNotOptimize(
            core::g_ellipsoid.GeodesicInverse(p.lat1, p.lon1, p.lat2, p.lon2, true));
    }
}
BENCHMARK_CAPTURE(Inverse, local, 0.08);
BENCHMARK_CAPTURE(Inverse, global, 1.5);

void Direct(benchmark::State& state) {
    const std::vector<Pair> pairs = MakePairs(1.5);
    std::size_t i = 0;
    for (auto _ : state) {
        const Pair& p = pairs[i++ % pairs.size()];
        // lat2/lon2 serve as a course and a distance in nautical miles.
        benchmark::DoNotOptimize(core::g_ellipsoid.GeodesicDirect(p.lat1, p.lon1, p.lon2 + 4,
                                                                  std::fabs(p.lat2) * 3000, true));
    }
}
BENCHMARK(Direct);

void LatLonToUtm(benchmark::State& state) {
    const std::vector<Pair> pairs = MakePairs(0.05);
    std::size_t i = 0;
    for (auto _ : state) {
        const Pair& p = pairs[i++ % pairs.size()];
        benchmark::DoNotOptimize(core::LatLonToUTM(p.lat1, p.lon1, core::AngleUnit::kRadians));
    }
}
BENCHMARK(LatLonToUtm);

}  // namespace
