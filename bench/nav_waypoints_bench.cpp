// Loading a waypoint file of 100 000 records (made once by the benchmark, in
// mixed name order, some with map values, comments and metre altitudes):
// waypoints per second for the read-and-sort and for the background loader
// end to end, and the heap a load holds at its peak per waypoint beyond the
// record itself (counted by replacing the global allocation functions), with
// the growth of the resident set.
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "nav/waypoint_file.h"
#include "nav/waypoint_loader.h"
#include "platform/utf.h"

namespace {

std::atomic<long long> g_heapNow{0};
std::atomic<long long> g_heapPeak{0};

void Allocated(void* p) {
    const auto size = static_cast<long long>(malloc_usable_size(p));
    const long long now = g_heapNow.fetch_add(size, std::memory_order_relaxed) + size;
    long long peak = g_heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

void* Allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    Allocated(p);
    return p;
}

void Free(void* p) noexcept {
    if (p == nullptr) return;
    g_heapNow.fetch_sub(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete[](void* p) noexcept {
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Free(p);
}

namespace {

constexpr int kWaypoints = 100000;

std::string Line(int i) {
    // Names in no particular order and of mixed case.
    const unsigned hash = static_cast<unsigned>(i) * 2654435761U;
    char name[32];
    std::snprintf(name, sizeof name, "%c%c%05u Field %d", 'A' + static_cast<int>(hash % 26),
                  (hash >> 8) % 2 != 0 ? 'a' : 'B', hash % 100000, i % 97);
    char line[160];
    const double lat = 35.0 + (hash % 200000) / 10000.0;
    const double lon = -5.0 + ((hash >> 4) % 300000) / 10000.0;
    if (i % 10 == 0) {
        std::snprintf(line, sizeof line, "%s,%.7f,0,0,%.7f,0,0,%dM, %d^1.5,2.5,0.5,4.5\r\n", name,
                      lat, lon, 200 + i % 3000, 1 + i % 40);
    } else if (i % 20 == 1) {
        std::snprintf(line, sizeof line, "\\%s,%.7f,0,0,%.7f,0,0,%d\r\nA comment\\on two lines\r\n",
                      name, lat, lon, 500 + i % 9000);
    } else {
        std::snprintf(line, sizeof line, "%s,%.7f,0,0,%.7f,0,0,%d\r\n", name, lat, lon,
                      500 + i % 9000);
    }
    return line;
}

class WaypointFixture {
  public:
    WaypointFixture()
        : path_(std::filesystem::temp_directory_path() /
                ("kv_waypoints_bench_" + std::to_string(::getpid()) + ".dta")) {
        std::ofstream out(path_, std::ios::binary);
        out << "; generated\r\n";
        for (int i = 0; i < kWaypoints; ++i)
            out << Line(i);
    }
    ~WaypointFixture() { std::filesystem::remove(path_); }
    WaypointFixture(const WaypointFixture&) = delete;
    WaypointFixture& operator=(const WaypointFixture&) = delete;

    std::wstring Path() const { return platform::FromUtf8(path_.string()); }

  private:
    std::filesystem::path path_;
};

const WaypointFixture& Fixture() {
    static const WaypointFixture fixture;
    return fixture;
}

long MaxRssKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct MemoryCounts {
    double records = 0;
    double peakBeyondRecord = 0;
    double heldBeyondRecord = 0;
    double rssGrowth = 0;
};

// The first load, with the heap counted: what it holds at its peak and when
// done, per waypoint, less the record; and the growth of the resident set.
MemoryCounts CountMemory() {
    MemoryCounts counts;
    const long rssBefore = MaxRssKb();
    const long long base = g_heapNow.load();
    g_heapPeak = base;
    {
        nav::CWaypointFile file;
        file.OpenWaypoints(Fixture().Path(), core::OpenMode::kRead, true);
        nav::LoadedWaypoints loaded;
        nav::ReadAllWaypoints(file, loaded);
        const double record = sizeof(nav::WaypointRecord);
        counts.records = loaded.list.Count();
        counts.peakBeyondRecord =
            static_cast<double>(g_heapPeak.load() - base) / kWaypoints - record;
        counts.heldBeyondRecord =
            static_cast<double>(g_heapNow.load() - base) / kWaypoints - record;
    }
    counts.rssGrowth = static_cast<double>(MaxRssKb() - rssBefore) * 1024.0 / kWaypoints;
    return counts;
}

void ReportMemory(benchmark::State& state) {
    static const MemoryCounts counts = CountMemory();
    state.counters["records"] = counts.records;
    state.counters["record_bytes"] = sizeof(nav::WaypointRecord);
    state.counters["peak_bytes_per_wpt_beyond_record"] = counts.peakBeyondRecord;
    state.counters["held_bytes_per_wpt_beyond_record"] = counts.heldBeyondRecord;
    state.counters["rss_growth_bytes_per_wpt"] = counts.rssGrowth;
}

void BM_ReadAndSortWaypoints(benchmark::State& state) {
    Fixture();
    ReportMemory(state);
    for (auto _ : state) {
        nav::CWaypointFile file;
        file.OpenWaypoints(Fixture().Path(), core::OpenMode::kRead, true);
        auto loaded = std::make_unique<nav::LoadedWaypoints>();
        nav::ReadAllWaypoints(file, *loaded);
        benchmark::DoNotOptimize(loaded->list.Count());
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    state.counters["waypoints/s"] =
        benchmark::Counter(kWaypoints, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ReadAndSortWaypoints)->Unit(benchmark::kMillisecond)->UseRealTime();

// The background loader from start to its completion: reading, sorting,
// publishing, and freeing the list it replaced.
void BM_BackgroundLoad(benchmark::State& state) {
    Fixture();
    for (auto _ : state) {
        nav::g_waypointLoader.Start(Fixture().Path(), 0);
        nav::g_waypointLoader.Wait(60000);
    }
    state.counters["waypoints/s"] =
        benchmark::Counter(kWaypoints, benchmark::Counter::kIsIterationInvariantRate);
    nav::ClearPublishedWaypoints();
}
BENCHMARK(BM_BackgroundLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
