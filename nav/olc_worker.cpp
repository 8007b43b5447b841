#include "nav/olc_worker.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <stop_token>
#include <utility>

#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/olc_search.h"
#include "nav/olc_settings.h"
#include "nav/olc_worker_group.h"
#include "core/waypoint_course.h"
#include "platform/clock.h"
#include "platform/settings_store.h"

namespace nav {

std::shared_ptr<OlcControlBlock> g_olcControl;
std::optional<WaypointRecord> g_olcLastPoint;

namespace {

constexpr int kLowestPriority = -2;
constexpr int kNullBlockExit = 31;
constexpr int kStoppedExit = 30;
constexpr double kPercent = 100.0;
// How often an idle worker looks whether the closing point has moved.
constexpr auto kClosingPointPoll = std::chrono::milliseconds(250);
constexpr std::string_view kPerformanceSection = "Performance\\OLC";

WorkerGroup g_olcWorkers;

void MarkStopped(OlcControlBlock& block) {
    block.abandon = true;
    block.stop = true;
    // Taking the lock orders the flags before a waiting worker's next look.
    { const platform::CriticalSectionLock lock(block.lock); }
    block.wake.notify_all();
}

WaypointRecord ClosingPoint(bool toDestination) {
    if (toDestination && g_destinationValid != 0) return CopyDestination();
    return CopyMapFix();
}

// What one search works from, read under the block's lock.
struct SearchInput {
    std::vector<WaypointRecord> newPoints;
    std::size_t pointCount = 0;
    int legCount = 1;
    bool toDestination = false;
    std::uint32_t settingsChanges = 0;
};

SearchInput ReadInput(OlcControlBlock& block, std::size_t pointsTaken) {
    const platform::CriticalSectionLock lock(block.lock);
    SearchInput input;
    input.pointCount = block.points.size();
    input.newPoints.assign(block.points.begin() + static_cast<std::ptrdiff_t>(pointsTaken),
                           block.points.end());
    input.legCount = block.legCount;
    input.toDestination = block.toDestination;
    input.settingsChanges = block.settingsChanges;
    return input;
}

// Sleeps until a new point, a settings change or a stop, or for one poll of
// the closing point.
void WaitForChange(OlcControlBlock& block, const SearchInput& seen) {
    std::unique_lock lock(block.lock);
    block.wake.wait_for(lock, kClosingPointPoll, [&block, &seen] {
        return block.stop || block.points.size() != seen.pointCount ||
               block.settingsChanges != seen.settingsChanges;
    });
}

void WritePerformance(std::uint32_t elapsedMs, std::size_t pointCount) {
    platform::SettingsStore& store = platform::AppSettings();
    store.WriteInt(kPerformanceSection, "lastTime", elapsedMs);
    store.WriteInt(kPerformanceSection, "lastNpts", static_cast<std::uint32_t>(pointCount));
}

// The worker's memory between searches: the trail taken in, the search table
// over it and what the last search was made with.
class OlcWorkerState {
  public:
    explicit OlcWorkerState(OlcControlBlock& block) : block_(block) {}

    // One round: a search when something changed, else a wait.
    void Step() {
        const std::uint32_t started = platform::TickCount();
        SearchInput input = ReadInput(block_, trail_.size());
        const WaypointRecord closing = ClosingPoint(input.toDestination);
        const OlcWeights weights = CurrentOlcWeights();
        if (!Changed(input, closing, weights)) {
            WaitForChange(block_, input);
            return;
        }
        Take(input, weights);
        const std::optional<OlcSolution> solution =
            search_->Solve(closing, [this] { return block_.abandon.load(); });
        // An abandoned search counts as none. The flag stays set: only a stop
        // sets it, and a block once stopped never searches again.
        if (block_.abandon.load() || !solution) return;
        lastClosing_ = closing;
        settingsChanges_ = input.settingsChanges;
        searchedPoints_ = trail_.size();
        Store(*solution, platform::TickCount() - started);
    }

  private:
    bool Changed(const SearchInput& input, const WaypointRecord& closing,
                 const OlcWeights& weights) const {
        return !search_ || !lastClosing_ ||
               trail_.size() + input.newPoints.size() != searchedPoints_ ||
               input.settingsChanges != settingsChanges_ || input.legCount != search_->LegCount() ||
               weights != search_->Weights() || !closing.IsSamePosition(*lastClosing_);
    }

    // New points join the trail; new weights or legs start the table anew.
    void Take(SearchInput& input, const OlcWeights& weights) {
        trail_.insert(trail_.end(), std::make_move_iterator(input.newPoints.begin()),
                      std::make_move_iterator(input.newPoints.end()));
        if (!search_ || search_->LegCount() != input.legCount || search_->Weights() != weights) {
            search_.emplace(weights, input.legCount);
            search_->Append(trail_);
        } else {
            search_->Append(std::span(trail_).last(trail_.size() - search_->PointCount()));
        }
    }

    void Store(const OlcSolution& solution, std::uint32_t elapsedMs) {
        {
            const platform::CriticalSectionLock lock(block_.lock);
            block_.result = static_cast<float>(solution.value / kPercent);
            block_.resultValid = true;
        }
        ++block_.searches;
        // The statistics change the settings file; a moving closing point
        // alone (a search a second) does not rewrite it.
        if (trail_.size() != writtenPoints_) {
            WritePerformance(elapsedMs, trail_.size());
            writtenPoints_ = trail_.size();
        }
    }

    OlcControlBlock& block_;
    std::vector<WaypointRecord> trail_;
    std::optional<OlcSearch> search_;
    std::optional<WaypointRecord> lastClosing_;
    std::uint32_t settingsChanges_ = 0;
    std::size_t searchedPoints_ = 0;
    std::size_t writtenPoints_ = static_cast<std::size_t>(-1);
};

}  // namespace

int OlcThreadProc(const std::shared_ptr<OlcControlBlock>& block) {
    if (!block) return kNullBlockExit;
    {
        const platform::CriticalSectionLock lock(block->lock);
        block->resultValid = false;
    }
    block->notRunning = false;
    OlcWorkerState state(*block);
    while (!block->stop)
        state.Step();
    block->notRunning = true;
    return kStoppedExit;
}

void StartOlcThread() {
    const platform::CriticalSectionLock lock(OlcLock);
    StopOlcThread();
    auto block = std::make_shared<OlcControlBlock>();
    block->legCount = std::clamp(g_olcLegCountLess1 + 1, 1, kMaxOlcLegs);
    block->toDestination = g_olcToDestination != 0;
    g_olcLastPoint.reset();
    const bool started = g_olcWorkers.Start([block](const std::stop_token& token) {
        const std::stop_callback onStop(token, [&block] { MarkStopped(*block); });
        LowerThisThreadPriority(kLowestPriority);
        OlcThreadProc(block);
    });
    if (started) g_olcControl = std::move(block);
}

void StopOlcThread() {
    const platform::CriticalSectionLock lock(OlcLock);
    if (!g_olcControl) return;
    MarkStopped(*g_olcControl);
    g_olcControl.reset();
}

bool StopOlcThreadsAndWait(std::uint32_t limitMs) {
    StopOlcThread();
    return g_olcWorkers.StopAll(limitMs);
}

void AddOlcPoint(const WaypointRecord* fix) {
    const platform::CriticalSectionLock lock(OlcLock);
    OlcControlBlock* const block = g_olcControl.get();
    if (fix == nullptr || block == nullptr || block->abandon || block->notRunning) {
        g_olcLastPoint.reset();
        return;
    }
    if (g_olcLastPoint && CourseAndDistance(*g_olcLastPoint, *fix) < g_olcMinSpacing) return;
    g_olcLastPoint = *fix;
    {
        const platform::CriticalSectionLock blockLock(block->lock);
        block->points.push_back(*fix);
    }
    block->wake.notify_all();
}

std::optional<float> TakeNewOlcResult() {
    const platform::CriticalSectionLock lock(OlcLock);
    if (!g_olcControl) return std::nullopt;
    const platform::CriticalSectionLock blockLock(g_olcControl->lock);
    if (!g_olcControl->resultValid) return std::nullopt;
    g_olcControl->resultValid = false;
    return g_olcControl->result;
}

std::shared_ptr<OlcControlBlock> CurrentOlcControl() {
    const platform::CriticalSectionLock lock(OlcLock);
    return g_olcControl;
}

}  // namespace nav
