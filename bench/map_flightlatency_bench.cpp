// The map window at 800 x 480 flown on a recorded flight through a
// pseudo-terminal, the real port reader and fix-processing thread:
//   - from a sentence written to the terminal to the end of the paint that
//     shows the aircraft at that fix;
//   - from a timer tick (the aircraft moved) to the end of that paint;
//   - the process's CPU over ten seconds idle: a map, a fix standing still
//     and sent again once a second, the window's timer running.
// Median and 99th percentile in milliseconds are reported as counters.
// Needs a display (run under xvfb-run).

#include <sys/resource.h>

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "core/settings_values.h"
#include "fix/first_fix.h"
#include "fix/fix_commit.h"
#include "fix/fix_processing_thread.h"
#include "gps/gps_port.h"
#include "gps/nav_fix.h"
#include "map/map_view.h"
#include "mapdata/map_draw_state.h"
#include "mapdata/sphere_geometry.h"
#include "nav/current_position.h"
#include "platform/gui/ui_bridge.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "services/module_services.h"
#include "services/shared_locks.h"
#include "services/track_cache.h"
#include "testing/flight_map.h"
#include "testing/igc_flight.h"
#include "testing/pseudo_terminal.h"
#include "testing/scratch_folder.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test_support::IgcFix;

constexpr double kRad = 3.14159265358979323846 / 180.0;
constexpr int kWidth = 800;
constexpr int kHeight = 480;
constexpr std::size_t kFirst = 2380;
constexpr std::size_t kLast = 2700;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// GTK paints on its frame clock, at most once in 1/60 s: back-to-back
// iterations would measure that cap. A receiver sends once a second; the
// iterations come 50 ms apart, which keeps the run short and each paint
// unhindered by the one before.
constexpr auto kBetweenIterations = 50ms;

// Runs what is pending on the UI thread, as the main loop would when woken.
void Pump() {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
}

// Pumps until done() holds; false after limit.
template <typename Done>
bool PumpUntil(Done done, Clock::duration limit = 3s) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end) return false;
        Pump();
        std::this_thread::sleep_for(100us);
    }
    return true;
}

// The map window flying the flight's stretch over its own map.
class Flight {
  public:
    Flight()
        : fixes_(test_support::ReadIgcFile(std::filesystem::path(KV_SOURCE_DIR) /
                                           "../shared/testdata/igc/apf-bug554.igc")) {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(scratch_ / "settings.ini"));
        core::g_documentsFolder = scratch_.Path().wstring();
        core::g_allowRotationToTog = 0;
        core::TrackCacheAlloc();
        const auto map = test_support::MakeFlightMap(
            fixes_, {.first = kFirst, .last = kLast, .underAt = 2480, .crossAt = 2600, .townAt = 2640});
        map::g_mapFileName.Set(scratch_.Write("flight.map", map.text).wstring());

        frame_ = new wxFrame(nullptr, wxID_ANY, "bench", wxDefaultPosition, wxSize(kWidth + 40, kHeight + 40));
        view_ = new map::CGPSmapView(frame_, wxPoint(0, 0), wxSize(kWidth, kHeight));
        view_->KillMapTimer();
        view_->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
            if (watched_ && (!watchedFix_ || AtFix(*watchedFix_)) &&
                view_->GetUpdateRegion().Contains(AircraftPoint()) != wxOutRegion)
                shown_ = true;
            event.Skip();  // the window's own paint follows
        });
        frame_->Show();
        Pump();
        gps::InitGpsData();
        gps::RestartFirstFix();
        ok_ = pty_.Valid() && gps::OpenGpsPort(platform::FromUtf8(pty_.Path())) &&
              gps::StartFixProcessing();
        view_->StartupDone();
        ok_ = ok_ && view_->LoadMapFile(map::g_mapFileName.Get(), 1) == 1 &&
              PumpUntil([this] { return view_->MapReadDone(); });
        for (next_ = kFirst; ok_ && next_ < kFirst + 4; ++next_) ok_ = SendAndWait(next_);
        ok_ = ok_ && gps::FirstFixAnnounced();
        // Closer in, so that every fix moves the aircraft by some pixels.
        for (int i = 0; i < 3; ++i) view_->ZoomMap(true);
        PumpUntil([] { return false; }, 300ms);
    }
    ~Flight() {
        gps::CloseGpsPort();
        gps::StopFixProcessing(2000);
        frame_->Destroy();
        PumpUntil([] { return false; }, 50ms);
        wxTheApp->ProcessIdle();
        platform::SetAppSettings(nullptr);
    }
    Flight(const Flight&) = delete;
    Flight& operator=(const Flight&) = delete;

    bool Ok() const { return ok_; }
    map::CGPSmapView& View() { return *view_; }
    const test_support::PseudoTerminal& Terminal() const { return pty_; }

    // The next fix of the stretch, wrapping round to its start.
    std::size_t NextFix() {
        if (++next_ > kLast) next_ = kFirst + 4;
        return next_;
    }
    std::string Sentences(std::size_t i) const {
        return test_support::FixSentences(fixes_[i], &fixes_[i - 1]);
    }
    const IgcFix& Fix(std::size_t i) const { return fixes_[i]; }

    // Whether the map's position is fix i.
    bool AtFix(std::size_t i) const {
        const nav::WaypointRecord at = nav::CopyMapFix();
        return std::fabs(at.latitude - fixes_[i].latitude * kRad) < 1e-7 &&
               std::fabs(at.longitude + fixes_[i].longitude * kRad) < 1e-7;
    }

    // Watches for the paint that covers the aircraft where it is when
    // painted (once it is at fix `fix`, when given).
    void WatchAircraft(std::optional<std::size_t> fix = std::nullopt) {
        watchedFix_ = fix;
        shown_ = false;
        watched_ = true;
    }
    bool Shown() const { return shown_; }
    void StopWatching() { watched_ = false; }

    wxPoint AircraftPoint() const {
        const nav::WaypointRecord at = nav::CopyMapFix();
        const mapdata::ScreenPoint p = mapdata::ProjectToScreen(
            view_->Model().Published(), mapdata::ToUnitVector(at.longitude, at.latitude));
        return {static_cast<int>(p.x), static_cast<int>(p.y)};
    }

    // Sends fix i and waits until the map's position is it.
    bool SendAndWait(std::size_t i) {
        pty_.Send(Sentences(i));
        const float hours = static_cast<float>(fixes_[i].utc % 86400) / 3600.0F;
        return PumpUntil([&] {
            if (std::fabs(gps::CurrentNav()->fixTimeHours - hours) > 1e-4F) return false;
            return !gps::FirstFixAnnounced() || AtFix(i);  // the first two fixes are not followed
        });
    }

  private:
    test_support::ScratchFolder scratch_{"flightbench"};
    platform::gui::ScopedUiBridge bridge_;
    std::vector<IgcFix> fixes_;
    test_support::PseudoTerminal pty_;
    wxFrame* frame_ = nullptr;
    map::CGPSmapView* view_ = nullptr;
    std::size_t next_ = kFirst;
    bool ok_ = false;
    bool watched_ = false;
    std::optional<std::size_t> watchedFix_;
    bool shown_ = false;
};

void Report(benchmark::State& state, const std::vector<double>& ms) {
    state.counters["median_ms"] = bench::Percentile(ms, 0.5);
    state.counters["p99_ms"] = bench::Percentile(ms, 0.99);
    state.counters["max_ms"] = bench::Percentile(ms, 1.0);
}

void BM_SentenceToPaintedFix(benchmark::State& state) {
    Flight flight;
    if (!flight.Ok()) {
        state.SkipWithError("the flight could not be set up");
        return;
    }
    std::vector<double> latencies;
    for (auto _ : state) {
        PumpUntil([] { return false; }, kBetweenIterations);
        const std::size_t i = flight.NextFix();
        const std::string sentences = flight.Sentences(i);
        const Clock::time_point written = Clock::now();
        flight.WatchAircraft(i);
        flight.Terminal().Send(sentences);
        // The fix arrives, then the paint that covers the aircraft there.
        if (!PumpUntil([&] { return flight.Shown(); }, 1s)) {
            // The aircraft stayed on its pixel: no paint was due.
            flight.StopWatching();
            continue;
        }
        flight.StopWatching();
        const double ms = Ms(Clock::now() - written);
        state.SetIterationTime(ms / 1000.0);
        latencies.push_back(ms);
    }
    state.counters["painted"] = static_cast<double>(latencies.size());
    Report(state, latencies);
}
BENCHMARK(BM_SentenceToPaintedFix)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);

void BM_TimerTickToAircraftPainted(benchmark::State& state) {
    Flight flight;
    if (!flight.Ok()) {
        state.SkipWithError("the flight could not be set up");
        return;
    }
    std::vector<double> latencies;
    for (auto _ : state) {
        PumpUntil([] { return false; }, kBetweenIterations);
        // The aircraft a little further on, as the fix thread would leave it.
        {
            const platform::CriticalSectionLock lock(core::MapLock);
            const nav::WaypointRecord at = nav::g_mapFix;
            nav::MoveCurrentPosition(at.latitude + 0.0005 * kRad, at.longitude);
        }
        flight.WatchAircraft();
        const Clock::time_point tick = Clock::now();
        flight.View().TimerTick();
        if (!PumpUntil([&] { return flight.Shown(); }, 1s)) {
            state.SkipWithError("the aircraft was not painted");
            break;
        }
        flight.StopWatching();
        const double ms = Ms(Clock::now() - tick);
        state.SetIterationTime(ms / 1000.0);
        latencies.push_back(ms);
    }
    Report(state, latencies);
}
BENCHMARK(BM_TimerTickToAircraftPainted)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_IdleCpuWithAStandingFix(benchmark::State& state) {
    Flight flight;
    if (!flight.Ok()) {
        state.SkipWithError("the flight could not be set up");
        return;
    }
    const std::size_t last = kFirst + 3;
    IgcFix standing = flight.Fix(last);
    flight.View().StartMapTimer(400);
    for (auto _ : state) {
        // A receiver standing still: the same position once a second.
        std::atomic<bool> stop{false};
        std::thread receiver([&] {
            IgcFix before = standing;
            while (!stop) {
                IgcFix now = before;
                ++now.utc;
                flight.Terminal().Send(test_support::FixSentences(now, &before));
                before = now;
                for (int i = 0; i < 10 && !stop; ++i) std::this_thread::sleep_for(100ms);
            }
        });
        wxEventLoop loop;
        wxTimer end;
        end.Bind(wxEVT_TIMER, [&loop](wxTimerEvent&) { loop.Exit(); });
        const double cpuBefore = CpuSeconds();
        const Clock::time_point start = Clock::now();
        end.StartOnce(10000);
        loop.Run();
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = CpuSeconds() - cpuBefore;
        stop = true;
        receiver.join();
        state.SetIterationTime(wall);
        state.counters["cpu_percent_of_a_core"] = 100.0 * cpu / wall;
    }
    flight.View().KillMapTimer();
}
BENCHMARK(BM_IdleCpuWithAStandingFix)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) return 1;
    wxTheApp->CallOnInit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
