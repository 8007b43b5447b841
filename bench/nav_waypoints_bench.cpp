// Loading a waypoint file of 100 000 records (made once by the benchmark, in
// mixed name order, some with map values, comments and metre altitudes):
// waypoints per second for the read-and-sort and for the background loader
// end to end, and the heap a load holds at its peak per waypoint beyond the
// record itself (counted by replacing the global allocation functions), with
// the growth of the resident set. Beside them, for comparison in the same
// process, a plain reader of the same file: whole-file read, std::from_chars
// for the numbers, one vector of records, std::sort by name. Run pinned and
// interleaved:
//   taskset -c 3 nav_waypoints_bench --benchmark_enable_random_interleaving=true
//       --benchmark_repetitions=5
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_support.h"
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

// The plain reader's record: the name, the position in radians with its
// unit vector, and the altitude in metres.
struct PlainWaypoint {
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double altitude = 0.0;
    std::size_t order = 0;  // equal names keep the file's order
};

// The numbers of a decimal line after its name: degrees, minutes and
// seconds of latitude and longitude, then the altitude.
bool ParsePlain(std::string_view rest, PlainWaypoint& waypoint) {
    double values[7] = {};
    const char* at = rest.data();
    const char* const end = rest.data() + rest.size();
    for (double& value : values) {
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc{}) return false;
        at = next < end ? next + 1 : end;
    }
    constexpr double kRadians = 3.14159265358979323846 / 180.0;
    waypoint.latitude = (values[0] + values[1] / 60.0 + values[2] / 3600.0) * kRadians;
    waypoint.longitude = (values[3] + values[4] / 60.0 + values[5] / 3600.0) * kRadians;
    const double cosLatitude = std::cos(waypoint.latitude);
    waypoint.x = cosLatitude * std::cos(waypoint.longitude);
    waypoint.y = -cosLatitude * std::sin(waypoint.longitude);
    waypoint.z = std::sin(waypoint.latitude);
    waypoint.altitude = values[6];
    return true;
}

std::vector<PlainWaypoint> ReadPlain(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(std::filesystem::file_size(path)), '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    std::vector<PlainWaypoint> waypoints;
    waypoints.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    bool commentNext = false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (commentNext || line.empty() || line.front() == ';') {
            commentNext = false;
            continue;
        }
        commentNext = line.front() == '\\';
        if (commentNext) line.remove_prefix(1);
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) continue;
        PlainWaypoint waypoint;
        if (!ParsePlain(line.substr(comma + 1), waypoint)) continue;
        waypoint.name.assign(line.substr(0, comma));
        waypoint.order = waypoints.size();
        waypoints.push_back(std::move(waypoint));
    }
    std::sort(waypoints.begin(), waypoints.end(),
              [](const PlainWaypoint& a, const PlainWaypoint& b) {
                  return a.name != b.name ? a.name < b.name : a.order < b.order;
              });
    return waypoints;
}

void BM_PlainFromCharsReader(benchmark::State& state) {
    const std::filesystem::path path(platform::ToUtf8(Fixture().Path()));
    std::size_t count = 0;
    for (auto _ : state) {
        auto waypoints = ReadPlain(path);
        count = waypoints.size();
        benchmark::DoNotOptimize(waypoints.data());
        state.PauseTiming();
        waypoints = {};
        state.ResumeTiming();
    }
    state.counters["records"] = static_cast<double>(count);
    state.counters["waypoints/s"] =
        benchmark::Counter(kWaypoints, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PlainFromCharsReader)->Unit(benchmark::kMillisecond)->UseRealTime();

// The project's read-and-sort beside the plain reader, interleaved in one
// run (the order alternating), with the ratio of their medians and 99th
// percentiles; both must read every waypoint.
void BM_ReadAgainstPlain(benchmark::State& state) {
    const std::filesystem::path path(platform::ToUtf8(Fixture().Path()));
    // What each read gave, freed after the project's run, untimed.
    std::vector<std::unique_ptr<nav::LoadedWaypoints>> loads;
    std::vector<std::vector<PlainWaypoint>> plainLoads;
    const auto read = [&] {
        nav::CWaypointFile file;
        file.OpenWaypoints(Fixture().Path(), core::OpenMode::kRead, true);
        auto loaded = std::make_unique<nav::LoadedWaypoints>();
        nav::ReadAllWaypoints(file, *loaded);
        const bool all = loaded->list.Count() == static_cast<std::size_t>(kWaypoints);
        loads.push_back(std::move(loaded));
        return all;
    };
    const auto readPlain = [&] {
        plainLoads.push_back(ReadPlain(path));
        return plainLoads.back().size() == static_cast<std::size_t>(kWaypoints);
    };
    const auto free = [&] {
        loads.clear();
        plainLoads.clear();
        return true;
    };
    bench::PeerTimes times;
    if (!bench::AlternateWithPeer(state, times, read, readPlain, free)) {
        state.SkipWithError("a reader missed waypoints");
        return;
    }
    bench::ReportAgainstPeer(state, times);
}
BENCHMARK(BM_ReadAgainstPlain)->Unit(benchmark::kMillisecond)->Iterations(40);

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
