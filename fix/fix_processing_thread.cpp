#include "fix/fix_processing_thread.h"

#include <optional>
#include <utility>

#include "fix/position_texts.h"
#include "fix/waypoint_queue_texts.h"
#include "gps/nav_fix.h"
#include "gps/settings_values.h"
#include "platform/worker_thread.h"

namespace gps {
namespace {

struct Committed {
    GpsFixRecord fix;
    CommittedInstruments instruments;
    FlightState flight;
};

platform::WorkerThread g_fixThread;

// Takes the committed fix when it brought anything since the last take.
// With no wind method the instrument wind's bit stays, so that choosing a
// method later shows the last wind; it alone is nothing new.
std::optional<Committed> TakeCommittedFix() {
    const std::uint32_t kept = g_windMethod.load() == WindMethod::kNone
                                   ? CurrentFix.valueMask & value_bit::kInstrumentWind
                                   : 0;
    if ((CurrentFix.valueMask & ~kept) == 0 && CurrentFix.sourceMask == 0) return std::nullopt;
    Committed committed{CurrentFix, g_currentInstruments, g_currentFlight};
    CurrentFix.sourceMask = 0;
    CurrentFix.valueMask = kept;
    return committed;
}

void RunFixProcessing(const std::stop_token& stop) {
    const std::stop_callback wake(stop, [] { DataAvailableEvent.Set(); });
    FixProcessor processor;
    while (!stop.stop_requested()) {
        DataAvailableEvent.Wait();
        if (stop.stop_requested()) break;
        processor.Pass(stop);
    }
    FlushProcessTimeStatistics();
}

}  // namespace

void FixProcessor::Pass(const std::stop_token& stop) {
    std::uint32_t requests = 0;
    std::optional<Committed> committed;
    {
        const platform::CriticalSectionLock lock(FixLock);
        requests = std::exchange(g_nPendingData, 0);
        committed = TakeCommittedFix();
    }
    if (requests != 0) UpdateWaypointQueueTexts(static_cast<int>(requests) - 1);
    if (!committed) return;
    const std::uint32_t mask =
        publisher_.Publish(committed->fix, committed->instruments, committed->flight);
    if (stop.stop_requested()) return;
    publisher_.WriteTexts(mask, *CurrentNav(), committed->fix, committed->instruments);
    if (stop.stop_requested()) return;
    UpdatePositionTexts({mask, committed->fix.sourceMask}, g_bReplayRunning.load());
}

bool StartFixProcessing() {
    return g_fixThread.Start(RunFixProcessing);
}

bool StopFixProcessing(std::uint32_t timeoutMs) {
    return g_fixThread.Stop(timeoutMs);
}

bool FixProcessingRunning() {
    return g_fixThread.Running();
}

}  // namespace gps
