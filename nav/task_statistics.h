#pragma once
// Task statistics: for the task being flown, the time still needed to the
// target turnpoint and to the finish, the arrival clock time and the speed
// over the rest of the task, from a final-glide estimate summed over the
// remaining legs (walking back from the finish). The worker writes the four
// glide::TaskStatText texts and g_taskNeededAltitude / g_taskNeededTime under
// glide::DisplayTextLock. It runs on a thread of its own, repeating with a
// pause, while a task is flown, or once on the caller's thread (a single
// pass, which never pauses) when a view wants fresh values at once.
//
// Each run has its own control block, held by the caller's holder
// (g_taskStatsControl for the running worker) and by the worker. Every
// holder and the blocks' timed points are read and written under
// glide::DisplayTextLock. A stop concerns the block it finds in the holder:
// the stopped worker never touches the holder again, so a worker that ends
// late never clears the next run's block. A worker that ends on its own
// (single pass, timed point gone) clears the holder only while it still
// holds its own block.
//
// Locks: the worker takes core::TaskLock per leg (giving up when it is
// stopped while waiting for it), and never holds glide::DisplayTextLock
// while taking TaskLock. A waiting stop holds no lock while it waits, and
// must not be called with TaskLock held.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "glide/glide_context.h"
#include "nav/task_model.h"
#include "core/waypoint_record.h"
#include "platform/clock.h"

namespace nav {

struct TaskStatsControl;
using TaskStatsHolder = std::shared_ptr<TaskStatsControl>;

struct TaskStatsControl {
    std::atomic<bool> done{false};
    bool paced = false;       // pause between legs and between cycles
    bool singlePass = false;  // one cycle, on the caller's thread
    // Set unless a waiting stop took the block over.
    std::atomic<bool> workerFrees{true};
    std::atomic<bool> stop{false};
    // Where the estimate runs from; follows the target (task navigation).
    // Under glide::DisplayTextLock.
    CTaskPoint* timedPoint = nullptr;
    CTaskPoint* finishPoint = nullptr;
    CTask* task = nullptr;
    // The caller's holder; null once a stop has let go of the block. Under
    // glide::DisplayTextLock.
    TaskStatsHolder* holder = nullptr;
    // Set before done.
    int exitCode = 0;

    // Wakes pauses at a stop and tells a waiting stop that the worker ended.
    std::mutex signalMutex;
    std::condition_variable signal;
};

// The running repeating worker's block, or null. Under glide::DisplayTextLock.
extern TaskStatsHolder g_taskStatsControl;

// The altitude (feet) and the time (hours) needed for the rest of the task.
inline std::atomic<float> g_taskNeededAltitude{0.0F};
inline std::atomic<float> g_taskNeededTime{0.0F};

// Exit codes of a run: the stopper took the block over; the worker let go
// of it itself.
inline constexpr int kTaskStatsStopperFrees = -2;
inline constexpr int kTaskStatsWorkerFrees = -3;

// Starts a run in `holder` (a run the holder still holds is stopped first,
// without waiting) from timedPoint (null: g_taskStartPoint) to
// g_taskFinishPoint of g_currentTask. A single pass runs here and returns
// its exit code; otherwise the worker starts on its own thread below normal
// priority and 1 comes back (0 when no thread could be started).
int StartTaskStatsThread(TaskStatsHolder& holder, bool paced, bool singlePass,
                         CTaskPoint* timedPoint);

// Stops the run in `holder`, if any, and clears the holder. With wait,
// returns once the worker has ended (or after the shut-down limit); without,
// at once, leaving the worker to end by itself.
void StopTaskStatsThread(TaskStatsHolder& holder, bool wait);

// Shut-down: stops g_taskStatsControl's worker and waits up to limitMs for
// every statistics thread started so far. True when all have ended.
bool StopTaskStatsThreadsAndWait(std::uint32_t limitMs);

// The run itself: cycles until stopped (or once for a single pass); returns
// kTaskStatsStopperFrees or kTaskStatsWorkerFrees.
int TaskStatsThreadProc(const TaskStatsHolder& block);

// Installs the link through which task activation and navigation start,
// stop and steer the worker in g_taskStatsControl (start-up).
void InstallTaskStatistics();

// One leg's contribution to the estimate.
struct LegEstimate {
    float distance = 0.0F;  // km
    float altitude = 0.0F;  // feet needed
    float time = 0.0F;      // hours
    // Cleared when a leg cannot be flown (the head wind beats the speed to
    // fly): its time and altitude are then unknown.
    bool flyable = true;
};

// Adds the leg from `point` to its next point: its leg distance and course,
// or, when the next point is the timed point, from `position` (the current
// position) to the next point's target. Nothing while there is no target
// point (g_taskTargetPoint null) or no next point.
void AddLegEstimate(const CTaskPoint& point, const CTaskPoint* timedPoint,
                    const glide::GlideContext& context, const WaypointRecord& position,
                    LegEstimate& sums);

// The local clock the arrival time is counted from; tests install their own
// (null: the system's).
using TaskStatsLocalClock = platform::SystemTime (*)();
void SetTaskStatsLocalClock(TaskStatsLocalClock clock);

}  // namespace nav
