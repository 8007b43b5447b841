#include "nav/task_statistics.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>

#include "core/settings_values.h"
#include "glide/speed_to_fly.h"
#include "gps/nav_fix.h"
#include "nav/current_position.h"
#include "nav/olc_worker_group.h"
#include "platform/numbers.h"
#include "services/shared_locks.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace nav {

TaskStatsHolder g_taskStatsControl;

namespace {

using namespace std::chrono_literals;

constexpr float kStatisticsKmPerNm = 1.852F;
constexpr float kFeetPerKm = 3280.8F;
// Climb rate in feet per hour for each knot of MacCready.
constexpr float kFeetPerHourPerKnot = 6000.0F;
// The least climb rate (knots) the climb time is counted with.
constexpr float kLeastClimb = 1.0F;
// Half a minute: times are shown to the nearest minute.
constexpr float kHalfMinute = 1.0F / 120.0F;
constexpr double kMinutesPerHour = 60.0;
constexpr double kHoursPerDay = 24.0;

constexpr auto kLegPause = 200ms;
constexpr auto kCyclePause = 20 * 200ms;
constexpr auto kReplayCyclePause = 20 * 3ms;
constexpr auto kTaskLockRetry = 1ms;
constexpr auto kStopWaitLimit = 20s;
constexpr int kBelowNormalPriority = -1;

constexpr std::size_t kSpeedText = 0;
constexpr std::size_t kTargetTimeText = 1;
constexpr std::size_t kFinishTimeText = 2;
constexpr std::size_t kArrivalText = 3;
constexpr std::size_t kSpeedTextLength = 19;
constexpr std::size_t kShortTextLength = 9;

constexpr std::wstring_view kUnknownSpeed = L"v??.?";
constexpr std::wstring_view kUnknownTime = L"?h??";
constexpr std::wstring_view kUnknownArrival = L"e??:??";
constexpr std::wstring_view kNoTime = L"0h00";

WorkerGroup g_statsWorkers;
std::atomic<TaskStatsLocalClock> g_localClock{nullptr};

// --- Texts (callers hold glide::DisplayTextLock).

void SetText(std::size_t index, std::wstring_view text) {
    const std::size_t limit = index == kSpeedText ? kSpeedTextLength : kShortTextLength;
    glide::TaskStatText[index].Set(text.substr(0, limit));
}

// Whole hours and minutes, the minutes rounded to the nearest.
std::wstring HoursText(float hours) {
    const double rounded = std::max(0.0, static_cast<double>(hours + kHalfMinute));
    const double whole = std::floor(rounded);
    const double minutes = std::floor((rounded - whole) * kMinutesPerHour);
    return platform::FormatC(L"%0.0fh%02.0f", whole, minutes);
}

std::wstring ArrivalText(float neededHours) {
    const TaskStatsLocalClock clock = g_localClock.load();
    const platform::SystemTime now = clock != nullptr ? clock() : platform::SystemTimeLocal();
    const double rounded = std::max(0.0, static_cast<double>(neededHours + kHalfMinute));
    const double hours = std::floor(rounded);
    const double minutes = now.minute + std::floor((rounded - hours) * kMinutesPerHour);
    const double carry = std::floor(minutes / kMinutesPerHour);
    const double hour = std::fmod(now.hour + hours + carry, kHoursPerDay);
    return platform::FormatC(L"e%0d:%02d", static_cast<int>(hour),
                             static_cast<int>(minutes - carry * kMinutesPerHour));
}

void WritePlaceholders() {
    SetText(kSpeedText, kUnknownSpeed);
    SetText(kTargetTimeText, kUnknownTime);
    SetText(kFinishTimeText, kUnknownTime);
    SetText(kArrivalText, kUnknownArrival);
}

// --- Control.

void Wake(TaskStatsControl& block) {
    { const std::lock_guard lock(block.signalMutex); }
    block.signal.notify_all();
}

void RequestStop(TaskStatsControl& block) {
    block.stop = true;
    Wake(block);
}

// Sleeps up to `length`, less when the run is stopped.
void Pause(TaskStatsControl& block, std::chrono::milliseconds length) {
    std::unique_lock lock(block.signalMutex);
    block.signal.wait_for(lock, length, [&block] { return block.stop.load(); });
}

// core::TaskLock, unless the run is stopped while it waits for it: a stop
// never waits on a worker that waits for a lock the stopper may hold.
std::unique_lock<platform::CriticalSection> LockTask(const TaskStatsControl& block) {
    std::unique_lock lock(core::TaskLock, std::try_to_lock);
    while (!lock.owns_lock() && !block.stop) {
        std::this_thread::sleep_for(kTaskLockRetry);
        lock.try_lock();
    }
    return lock;
}

CTaskPoint* TimedPoint(const TaskStatsControl& block) {
    const platform::CriticalSectionLock lock(glide::DisplayTextLock);
    return block.timedPoint;
}

float KnownAltitude(const CTaskPoint& point) {
    return point.altitudeKnown != 0 ? point.altitude : 0.0F;
}

// --- One cycle.

struct TargetMark {
    float altitude = 0.0F;  // altitude needed above the target's own
    float time = 0.0F;      // time from the target to the finish
};

// The leg from the current position into the timed point: the time to the
// target, with the climb still needed at the least climb rate.
void WriteTimeToTarget(const LegEstimate& sums, TargetMark mark, const WaypointRecord& position,
                       float climb) {
    if (position.altitudeKnown) {
        const float excess = sums.altitude - mark.altitude - position.altitude;
        if (excess > 0.0F) mark.time -= excess / kFeetPerHourPerKnot / climb;
    }
    const platform::CriticalSectionLock lock(glide::DisplayTextLock);
    SetText(kTargetTimeText, sums.flyable ? HoursText(sums.time - mark.time) : kUnknownTime);
}

// Sums the legs from the finish back to the timed point; the leg into the
// timed point starts at the current position.
LegEstimate WalkLegs(TaskStatsControl& block, const CTaskPoint* timed,
                     const glide::GlideContext& context, float climb) {
    LegEstimate sums;
    if (timed == nullptr) return sums;
    const float safety = context.safetyAltitude;
    const CTaskPoint* target = nullptr;
    const CTaskPoint* point = nullptr;
    {
        const auto lock = LockTask(block);
        if (!lock.owns_lock() || block.stop || block.finishPoint == nullptr) return sums;
        sums.altitude = KnownAltitude(*block.finishPoint) + safety;
        target = timed;
        while (target != nullptr && target->notCounted != 0)
            target = target->next;
        point = block.finishPoint->previous;
    }
    TargetMark mark;  // at the finish until the walk passes the target
    while (point != nullptr) {
        {
            const auto lock = LockTask(block);
            if (!lock.owns_lock() || block.stop) break;
            const WaypointRecord position = CopyMapFix();
            AddLegEstimate(*point, timed, context, position, sums);
            if (point == target)
                mark = {sums.altitude - (safety + KnownAltitude(*point)), sums.time};
            const bool intoTimed = point->next == timed;
            if (intoTimed) WriteTimeToTarget(sums, mark, position, climb);
            point = intoTimed ? nullptr : point->previous;
        }
        if (block.paced) Pause(block, kLegPause);
    }
    return sums;
}

void Publish(const TaskStatsControl& block, const LegEstimate& sums, float baseAltitude,
             float climb, bool fromStart) {
    float needed = sums.time;
    const float climbTime = (sums.altitude - baseAltitude) / kFeetPerHourPerKnot / climb;
    if (climbTime > 0.0F) needed += climbTime;

    const platform::CriticalSectionLock lock(glide::DisplayTextLock);
    g_taskNeededAltitude = sums.altitude;
    g_taskNeededTime = needed;
    if ((fromStart && !block.singlePass) || !sums.flyable) {
        WritePlaceholders();
        return;
    }
    // With no time left the speed has no value: the last one stays.
    if (needed > 0.0F) {
        const float speed =
            sums.distance / kStatisticsKmPerNm * glide::CurrentSpeedUnit().factor / needed;
        SetText(kSpeedText, platform::FormatC(L"v%03.1f", static_cast<double>(speed)));
    }
    SetText(kFinishTimeText, HoursText(needed));
    SetText(kArrivalText, ArrivalText(needed));
}

enum class CycleEnd { kGoOn, kStopped, kNoTimedPoint };

CycleEnd RunCycle(TaskStatsControl& block) {
    const glide::GlideContext context = glide::CurrentGlideContext();
    const float climb = std::max(context.macCready, kLeastClimb);
    const LegEstimate sums = WalkLegs(block, TimedPoint(block), context, climb);

    const CTaskPoint* const timed = TimedPoint(block);
    if (timed == nullptr) return CycleEnd::kNoTimedPoint;
    if (block.stop) return CycleEnd::kStopped;
    float baseAltitude = context.safetyAltitude;
    bool fromStart = false;
    {
        const auto lock = LockTask(block);
        if (!lock.owns_lock() || block.stop) return CycleEnd::kStopped;
        const CTaskPoint* const start = g_taskStartPoint;
        fromStart = start != nullptr && timed == start;
        if (fromStart) baseAltitude += KnownAltitude(*start);
    }
    Publish(block, sums, baseAltitude, climb, fromStart);
    return CycleEnd::kGoOn;
}

int Finish(const TaskStatsHolder& block) {
    int code = kTaskStatsStopperFrees;
    {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        if (block->workerFrees) {
            if (block->holder != nullptr && *block->holder == block) block->holder->reset();
            block->holder = nullptr;
            code = kTaskStatsWorkerFrees;
        }
        block->exitCode = code;
        block->done = true;
    }
    Wake(*block);
    return code;
}

class StatisticsLink final : public TaskStatisticsLink {
  public:
    void Stop(bool wait) override { StopTaskStatsThread(g_taskStatsControl, wait); }
    void Start(CTaskPoint* timedPoint) override {
        StartTaskStatsThread(g_taskStatsControl, true, false, timedPoint);
    }
    CTaskPoint* TimedPoint() override {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        return g_taskStatsControl ? g_taskStatsControl->timedPoint : nullptr;
    }
    void SetTimedPoint(CTaskPoint* point) override {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        if (g_taskStatsControl) g_taskStatsControl->timedPoint = point;
    }
};

}  // namespace

void AddLegEstimate(const CTaskPoint& point, const CTaskPoint* timedPoint,
                    const glide::GlideContext& context, const WaypointRecord& position,
                    LegEstimate& sums) {
    if (g_taskTargetPoint.load() == nullptr || point.next == nullptr) return;
    float km = point.legDistance;
    double courseDeg = point.legCourse;
    if (point.next == timedPoint) {
        const EllipsoidLeg leg = EllipsoidLegBetween(position, point.next->target);
        km = leg.km;
        courseDeg = leg.courseDeg;
    }
    const glide::SpeedToFly stf =
        glide::SpeedToFlyForCourse(context, courseDeg * std::numbers::pi / 180.0, context.macCready,
                                   core::g_windCorrection != 0);
    sums.distance += km;
    if (stf.speed > 0.0F && stf.groundRatio > 0.0F) {
        const float perAirKnot = km / stf.speed / stf.groundRatio;
        sums.time += perAirKnot / kStatisticsKmPerNm * context.air.airspeedFactor;
        sums.altitude += perAirKnot * context.polar.Sink(stf.speed) * kFeetPerKm;
    } else {
        sums.flyable = false;
    }
    const float lowest = point.altitude + context.safetyAltitude;
    if (lowest > sums.altitude) sums.altitude = lowest;
}

int TaskStatsThreadProc(const TaskStatsHolder& block) {
    const TaskStatsHolder self = block;  // the caller's holder may let go of it
    CycleEnd end = CycleEnd::kStopped;
    while (!self->stop) {
        end = RunCycle(*self);
        if (end != CycleEnd::kGoOn || self->singlePass) break;
        if (self->paced) Pause(*self, gps::g_bReplayRunning ? kReplayCyclePause : kCyclePause);
    }
    if (end == CycleEnd::kNoTimedPoint) {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        g_taskNeededTime = 0.0F;
        SetText(kTargetTimeText, kNoTime);
        SetText(kFinishTimeText, kNoTime);
    }
    return Finish(self);
}

int StartTaskStatsThread(TaskStatsHolder& holder, bool paced, bool singlePass,
                         CTaskPoint* timedPoint) {
    auto block = std::make_shared<TaskStatsControl>();
    block->paced = paced && !singlePass;
    block->singlePass = singlePass;
    block->timedPoint = timedPoint != nullptr ? timedPoint : g_taskStartPoint.load();
    block->finishPoint = g_taskFinishPoint;
    block->task = g_currentTask;
    block->holder = &holder;
    StopTaskStatsThread(holder, false);
    {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        holder = block;
    }
    if (singlePass) return TaskStatsThreadProc(block);

    const bool started = g_statsWorkers.Start([block](const std::stop_token& token) {
        const std::stop_callback onStop(token, [&block] { RequestStop(*block); });
        LowerThisThreadPriority(kBelowNormalPriority);
        TaskStatsThreadProc(block);
    });
    if (started) return 1;
    const platform::CriticalSectionLock lock(glide::DisplayTextLock);
    if (holder == block) holder.reset();
    return 0;
}

void StopTaskStatsThread(TaskStatsHolder& holder, bool wait) {
    TaskStatsHolder block;
    {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        block = holder;
        if (!block) return;
        block->workerFrees = !wait;
        block->holder = nullptr;
        if (!wait) holder.reset();
    }
    RequestStop(*block);
    if (!wait) return;
    {
        std::unique_lock lock(block->signalMutex);
        block->signal.wait_for(lock, kStopWaitLimit, [&block] { return block->done.load(); });
    }
    const platform::CriticalSectionLock lock(glide::DisplayTextLock);
    if (holder == block) holder.reset();
}

bool StopTaskStatsThreadsAndWait(std::uint32_t limitMs) {
    StopTaskStatsThread(g_taskStatsControl, false);
    return g_statsWorkers.StopAll(limitMs);
}

void InstallTaskStatistics() {
    SetTaskStatisticsLink(std::make_shared<StatisticsLink>());
}

void SetTaskStatsLocalClock(TaskStatsLocalClock clock) {
    g_localClock = clock;
}

}  // namespace nav
