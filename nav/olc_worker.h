#pragma once
// The contest optimiser's worker: while flying, the map hands every new
// position to AddOlcPoint, which keeps a thinned trail (one point per
// g_olcMinSpacing km); a worker at the lowest priority searches the trail
// for the best free-distance flight (nav/olc_search.h), closed at the
// current position or, with "toDestination", at the destination, and stores
// the result (km) in its control block for the display texts to show once.
//
// Each run has its own control block, shared by the worker and
// g_olcControl. A stop marks the block it stops and lets go of it; the
// worker frees it when it ends. A worker only ever touches its own block, so
// a stopped worker finishing late never disturbs the next one.
//
// The worker searches again only when the trail, the closing point or the
// settings changed since its last search (the result would be the same);
// between searches it sleeps until a new point arrives, a stop or a
// settings change wakes it, or it is time to look at the closing point.
//
// Locks: OlcLock before a block's own lock. The worker takes core::TaskLock
// or core::MapLock only to copy the closing point, never with a block lock.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/waypoint_record.h"
#include "platform/critical_section.h"

namespace nav {

// Guards g_olcControl and g_olcLastPoint.
inline platform::CriticalSection OlcLock;

struct OlcControlBlock {
    // Guards points, result, resultValid, legCount, toDestination and
    // settingsChanges; the worker waits on `wake` under it.
    mutable platform::CriticalSection lock;
    std::condition_variable_any wake;

    // The thinned trail in time order; only ever appended to.
    std::vector<WaypointRecord> points;

    // Set by the stop: a search that sees abandon stores no result; stop
    // ends the worker.
    std::atomic<bool> abandon{false};
    std::atomic<bool> stop{false};
    // Until the worker has started and again once it has ended; points are
    // appended only while it is clear.
    std::atomic<bool> notRunning{true};

    bool toDestination = false;
    int legCount = 1;  // 1..8
    // Counts settings changes; the worker searches again after one.
    std::uint32_t settingsChanges = 0;

    // The latest result (km), new until the display takes it.
    float result = 0.0F;
    bool resultValid = false;

    // Searches completed (for the curious: tests and diagnostics).
    std::atomic<std::uint32_t> searches{0};
};

// The running block, or null. Under OlcLock.
extern std::shared_ptr<OlcControlBlock> g_olcControl;
// The last trail point kept, or nothing. Under OlcLock.
extern std::optional<WaypointRecord> g_olcLastPoint;

// Stops a running worker, then starts a new one with an empty trail and the
// leg count and closing choice in force.
void StartOlcThread();

// Marks the running block stopped and abandoned and lets go of it without
// waiting; its worker ends by itself.
void StopOlcThread();

// Shut-down: StopOlcThread, then waits up to limitMs for every worker
// started so far (those still running then are left to end by themselves).
// True when all have ended.
bool StopOlcThreadsAndWait(std::uint32_t limitMs);

// A new position (null: none). Kept when a worker runs and takes points and
// the fix is at least g_olcMinSpacing km from the last kept point; without a
// running worker, or with no fix, the last kept point is forgotten.
void AddOlcPoint(const WaypointRecord* fix);

// The display pass: the result (km) when a new one was stored since the
// last call, which takes it.
std::optional<float> TakeNewOlcResult();

// The running block (null when none), taken under OlcLock.
std::shared_ptr<OlcControlBlock> CurrentOlcControl();

// The worker's body: runs searches on block until it is stopped. Returns 31
// for a null block, 30 when stopped.
int OlcThreadProc(const std::shared_ptr<OlcControlBlock>& block);

}  // namespace nav
