#pragma once
// Helpers shared by the task tests: positions, points and tasks built in
// code, a recording statistics link and map hook, and a scope that puts the
// program's task state back to its start.

#include <atomic>
#include <memory>
#include <mutex>
#include <numbers>
#include <string>
#include <vector>

#include "core/geodesy.h"
#include "nav/destination_queue.h"
#include "nav/settings_values.h"
#include "nav/task_activation.h"
#include "nav/task_model.h"
#include "nav/task_navigation.h"

namespace nav::testing {

inline constexpr double kRadPerDeg = std::numbers::pi / 180.0;

// A record at latitude and EAST longitude in degrees.
inline WaypointRecord At(double latDeg, double lonEastDeg, const wchar_t* name = L"") {
    WaypointRecord record(latDeg, -lonEastDeg, true);
    record.name.Assign(name);
    return record;
}

// The record `km` from `from` on the true course `bearingDeg`.
inline WaypointRecord Offset(const WaypointRecord& from, double bearingDeg, double km) {
    const auto end = core::g_ellipsoid.GeodesicDirect(from.latitude, -from.longitude,
                                                      bearingDeg * kRadPerDeg, km / 1.852, true);
    WaypointRecord record;
    record.latitude = end.latitude;
    record.longitude = -end.lonEast;
    record.ComputeUnitVector();
    return record;
}

inline std::unique_ptr<CTaskPoint> MakePoint(const WaypointRecord& at) {
    auto point = std::make_unique<CTaskPoint>(at);
    point->working = point->target;
    return point;
}

// Zones: a start line, a turnpoint cylinder, a finish cylinder.
inline void MakeStartLine(CTaskPoint& p, float halfWidthKm, float directionDeg) {
    p.role = kRoleStart;
    p.pointKind = kKindControlPoint;
    p.sectorMode = 0;
    p.lineHalfWidth = halfWidthKm;
    p.sectorDirection = directionDeg;
}
inline void MakeCylinder(CTaskPoint& p, int role, float radiusKm, int sectorMode = 0) {
    p.role = role;
    p.pointKind = role == kRoleOrdinary ? kKindTurnpoint : kKindControlPoint;
    p.sectorMode = sectorMode;
    p.hasCylinder = 1;
    p.cylinderRadius = radiusKm;
}

// A task of the records in order (the first the start, the last the
// finish), each point's ordinal its number; copied on activation.
inline std::unique_ptr<CTask> MakeTask(const std::vector<WaypointRecord>& records,
                                       const wchar_t* name = L"Test") {
    auto task = std::make_unique<CTask>();
    task->name = name;
    int number = 0;
    for (const auto& record : records) {
        auto point = MakePoint(record);
        point->ordinal = MakeOrdinal(number++);
        task->AddPoint(std::move(point));
    }
    return task;
}

// Counts stops and starts and keeps the timed point.
class RecordingStatisticsLink final : public TaskStatisticsLink {
  public:
    void Stop(bool wait) override {
        ++stops;
        if (wait) ++waitingStops;
        timed = nullptr;
    }
    void Start(CTaskPoint* timedPoint) override {
        ++starts;
        timed = timedPoint != nullptr ? timedPoint : g_taskStartPoint.load();
    }
    CTaskPoint* TimedPoint() override { return timed; }
    void SetTimedPoint(CTaskPoint* point) override { timed = point; }

    std::atomic<int> stops{0};
    std::atomic<int> waitingStops{0};
    std::atomic<int> starts{0};
    std::atomic<CTaskPoint*> timed{nullptr};
};

// An FAI area that accepts nothing but records its outlines.
class RecordingFaiArea final : public FaiAreaElement {
  public:
    void Reset() override { ++resets; }
    void BuildOutline(const WaypointRecord&, const WaypointRecord&,
                      const WaypointRecord&) override {
        ++outlines;
    }
    int ClassifyTriangleWith(const WaypointRecord&) override { return 0; }
    int resets = 0;
    int outlines = 0;
};

struct RecordedShape final : TaskMapElement {
    explicit RecordedShape(const ZoneShape& shapeIn) : shape(shapeIn) {}
    ZoneShape shape;
};

class RecordingTaskMapHook final : public TaskMapHook {
  public:
    std::unique_ptr<TaskMapElement> MakeZoneElement(const ZoneShape& shape) override {
        return std::make_unique<RecordedShape>(shape);
    }
    bool PlaceTouchMarker(std::unique_ptr<TaskMapElement>& marker,
                          const WaypointRecord& at) override {
        if (!marker) marker = std::make_unique<RecordedShape>(ZoneShape{});
        static_cast<RecordedShape&>(*marker).shape.centre =
            core::FromRadiansWest(at.latitude, at.longitude);
        ++markers;
        return true;
    }
    FaiAreaElement* FaiArea() override { return &area; }
    void ShowHiddenTaskPanel() override { ++panels; }
    void TaskZonesChanged() override { ++zoneChanges; }

    RecordingFaiArea area;
    std::atomic<int> markers{0};
    std::atomic<int> panels{0};
    std::atomic<int> zoneChanges{0};
};

// Puts the flown task, the queue, the prompts, the limits and the installed
// links back to the program's start, on entry and on exit.
class TaskStateScope {
  public:
    TaskStateScope() { Reset(); }
    ~TaskStateScope() { Reset(); }
    TaskStateScope(const TaskStateScope&) = delete;
    TaskStateScope& operator=(const TaskStateScope&) = delete;

  private:
    static void Reset() {
        DeleteCopiedCurrentTask();
        ClearTaskZoneElements();
        ResetWaypointQueue();
        g_bAutodetectPrevPrompt = 0;
        g_bAutodetectNextPrompt = 0;
        g_maxStartSpeed = 1000.0F;
        g_maxStartAltitude = 100000.0F;
        g_maxNumDestinations = 6;
        g_insertPostAtFinish = 0;
        g_updateTaskFinishGate = 0;
        g_resetClock = 0;
        g_startEndCheckpointDirection = 1;
        SetTaskStatisticsLink(nullptr);
        SetTaskMapHook(nullptr);
    }
};

}  // namespace nav::testing
