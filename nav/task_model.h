#pragma once
// Tasks in memory: CTaskPoint (one observation zone with its flight
// progress), CTask (the ordered points of a task with its legs) and CTaskList
// (the tasks of the task file), and the task state that activation,
// navigation and the task statistics share.
//
// Units: distances km, angles degrees, positions radians with longitude
// positive west (as in WaypointRecord), altitudes feet, times hours.
//
// Threads: the fix-processing thread (navigation), the task statistics
// worker and the UI thread all read tasks. Whoever changes a task that may
// be flown, relinks or frees its points, holds core::TaskLock (recursive);
// the navigation pass holds it for its whole run. Lock order: TaskLock
// before glide::DisplayTextLock before core::MapLock; never TaskLock while
// holding DisplayTextLock.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "nav/destination_queue.h"
#include "nav/task_map_elements.h"
#include "core/waypoint_course.h"
#include "core/waypoint_record.h"

namespace nav {

// --- Point kinds (CTaskPoint::pointKind).
inline constexpr int kKindControlPoint = 0;  // start, finish, extra points
inline constexpr int kKindTurnpoint = 1;
inline constexpr int kKindNotCountedBit = 2;  // 3 = a turnpoint that is not counted

// --- Roles (CTaskPoint::role).
inline constexpr int kRoleOrdinary = 0;  // turnpoint or extra point
inline constexpr int kRoleStart = 1;
inline constexpr int kRoleFinish = 2;
// Added to a start whose cylinder counts on entering (outside is "in zone").
inline constexpr int kRoleEnterCylinderBit = 4;

// --- Flags of a point's working record.
inline constexpr std::uint32_t kReachedFlag = 0x40;
inline constexpr std::uint32_t kMarkedFlag = 0x80;  // reached and marked on the map

// --- Zone states (one per caller slot, see IsFixInTaskPointZone).
inline constexpr int kZoneOutside = 2;
inline constexpr int kZoneInside = 4;
inline constexpr int kZoneBeyondLine = 16;  // on the far side of a start or finish line
inline constexpr int kZoneChangeMark = 1;   // with 8: the state changed
inline constexpr int kZoneChanged = 9;
inline constexpr int kZoneFaiFinish = 128;
inline constexpr int kZoneInitial = 8;

// --- Zone-state slots: who tested the zone.
inline constexpr int kZoneSlotQueue = 0;
inline constexpr int kZoneSlotNavigation = 1;
inline constexpr int kZoneSlotMap = 2;
inline constexpr int kZoneSlotStatistics = 3;

// The time reached of a point not reached yet.
inline constexpr float kNotReached = -1000.0F;
// The leg-table entry of a leg that is not counted.
inline constexpr float kUncountedLeg = -0.00001F;
inline constexpr int kLegTableSize = 100;

// Ordinals: the high 16 bits number the file's ordinary points from 0; the
// extra start point is -1, the extra finish point -2. The low 16 bits are
// the destination-queue slot (kNoQueueSlot when none).
inline constexpr int kExtraStartNumber = -1;
inline constexpr int kExtraFinishNumber = -2;
int MakeOrdinal(int number, int slot = kNoQueueSlot);
inline int OrdinalNumber(int ordinal) {
    return ordinal >> 16;  // arithmetic: keeps -1 and -2
}
inline int OrdinalSlot(int ordinal) {
    return ordinal & 0xFFFF;
}

// "The hysteresis limit of the inside counter."
inline std::atomic<int> g_insideCountLimit{1};

// The optimised point of a zone (see optimised_path.h) and its map marker.
struct TouchPoint {
    WaypointRecord record;
    std::unique_ptr<TaskMapElement> marker;
};

class CTaskPoint final : public QueueTaskPoint {
  public:
    // Position zero, no name, the default zone.
    CTaskPoint();
    // At the record's position, named by it (trimmed of blanks); the whole
    // record becomes the target.
    explicit CTaskPoint(const WaypointRecord& record);
    // Copies every field except the leg links, the triangle links and the
    // marker of the touch point (which the map owns per point).
    CTaskPoint(const CTaskPoint& other);
    CTaskPoint& operator=(const CTaskPoint& other);
    ~CTaskPoint() override;

    // --- Position.
    double longitude = 0.0;  // radians, positive west
    double latitude = 0.0;
    double x = 0.0, y = 0.0, z = 0.0;  // unit vector as WaypointRecord's
    float altitude = 0.0F;             // feet
    int altitudeKnown = 0;
    std::wstring name;

    // --- Zone.
    int pointKind = kKindControlPoint;
    int role = kRoleOrdinary;
    int hasCylinder = 0;
    int hasSector = 0;
    int sectorMode = -1;
    float sectorRadius = 3.0F;    // km
    float cylinderRadius = 0.5F;  // km
    float sectorAngle = 90.0F;    // degrees, the full opening
    // Degrees true from the point into the sector; -1 = compute it.
    float sectorDirection = -1.0F;
    float lineHalfWidth = 0.0F;  // km; 0 = no line
    core::GeoBox box;            // from BuildZoneElements; degrees, east positive
    int insideCount = -2;        // see UpdateInsideCount
    float sectorInnerRadius = 0.0F;
    int notCounted = 0;  // 1 exactly when pointKind is 3

    // --- Flight progress.
    WaypointRecord working;          // the position legs use (the fix where reached)
    WaypointRecord target;           // the aim point; its attachments carry note, image, sound
    CTaskPoint* previous = nullptr;  // navigation links, never copied
    CTaskPoint* next = nullptr;
    float bestLegSum = 0.0F;
    float legDistance = 0.0F;  // km to the next counted point
    float timeReached = kNotReached;
    std::array<int, 4> zoneState{kZoneInitial, kZoneInitial, kZoneInitial, kZoneInitial};
    double legCourse = 0.0;
    float distanceFlown = 0.0F;  // on the current leg, km
    float legSpeed = 0.0F;       // knots
    int ordinal = -1;

    // --- Triangle and optimised path.
    CTaskPoint* trianglePrevious = nullptr;
    CTaskPoint* triangleNext = nullptr;
    FaiAreaElement* faiArea = nullptr;  // the map's, not owned
    std::unique_ptr<TouchPoint> touchPoint;

    // Sets position and unit vector.
    void SetPosition(double latitudeRad, double lonWestRad);
    // Takes the zone's kind and shape (role, cylinder, sector, line, inner
    // radius, not-counted flag) from other; not its box or inside count.
    void TakeZoneShape(const CTaskPoint& other);
    // Role and kind both 0: a point before the start or after the finish.
    bool IsExtraPoint() const { return role == kRoleOrdinary && pointKind == kKindControlPoint; }
    bool IsStartRole() const { return (role & 3) == kRoleStart; }
    bool IsFinishRole() const { return (role & 3) == kRoleFinish; }
    bool IsReached() const { return timeReached >= 0.0F; }
    // The point's own position as a record (position, unit vector, altitude).
    WaypointRecord PositionRecord() const;
    // The note carried by the target record.
    const std::wstring& Note() const { return target.attachments.comment; }

    // Bounding-box hysteresis: 2 just entered, 1 stays in, -2 just left,
    // -1 stays out, 0 undecided.
    int UpdateInsideCount(const WaypointRecord& position);
    // Great-circle distance (km, sphere of 6371 km) from this point to r;
    // unless distanceOnly, the courses into *out as CourseAndDistance gives
    // them.
    float CourseAndDistanceTo(const WaypointRecord& r, bool distanceOnly, CourseResult* out) const;
    // The true course in degrees from this point to r; 0 when they coincide.
    double CourseTo(const WaypointRecord& r) const;
    // Appends the elements that draw the zone and sets the bounding box; 0
    // when the zone cannot be drawn (see task_zone.h).
    int BuildZoneElements(TaskMapElements& elements);

    // QueueTaskPoint.
    std::wstring_view Name() const override { return name; }
    std::wstring_view Comment() const override { return Note(); }
    WaypointRecord QueueRecord() const override;
    int QueueSlot() const override { return OrdinalSlot(ordinal); }
    void SetQueueSlot(int slot) override;
    void LeftDestination() override;
    void DetachedFromQueue() override;

  private:
    void CopyFrom(const CTaskPoint& other);
};

using TaskPoints = std::vector<std::unique_ptr<CTaskPoint>>;

class CTask final : public QueueTask {
  public:
    CTask();
    // Deep copies (see operator=).
    CTask(const CTask& other);
    // Deletes its own points, then copies the line values, the extra flags,
    // the name, the total, the owned-copy flag, the leg table and a copy of
    // every point (triangle corners redirected to the copies), the progress
    // values and the triangle flag. Assigning a task to itself changes
    // nothing.
    CTask& operator=(const CTask& other);
    ~CTask() override;

    std::wstring name = L"defaultTask";
    TaskPoints points;    // owned; addresses stay put while the task lives
    int extraFinish = 0;  // the last entry is a point after the finish
    int extraStart = 0;   // the first entry is a point before the start
    std::array<float, kLegTableSize> legs{};
    float totalDistance = 0.0F;  // km

    // Task line values.
    float fifthValue = 0.0F;
    float startLineWidth = 4.0F;   // km
    float finishLineWidth = 4.0F;  // km
    int startIsLine = 0;
    int finishIsLine = 0;

    int ownedCopy = 1;  // activation copies the task rather than adopting it

    // Progress, written by navigation.
    float distanceFlown = 0.0F;        // km
    float taskSpeed = 0.0F;            // knots
    float distanceToLastPoint = 0.0F;  // km flown up to the last reached point
    float achievedDistance = 0.0F;     // km

    int triangle = 0;
    std::array<CTaskPoint*, 3> corners{};

    // Valid when it has at least two points besides the extra ones.
    bool IsValid() const;
    void AddPoint(std::unique_ptr<CTaskPoint> point);
    // Deletes every point (zeroing one leg entry per point), zeroes the total
    // and clears the triangle. Callers that may have queued the points call
    // ClearQueueTaskPoints first.
    void DeletePoints();
    // Back to the unflown state, legs recomputed.
    void ResetProgress();
    // 4 or 5 (the counted points of a closed FAI triangle) with the corners
    // and their triangle links set; 0 otherwise.
    int FindTriangleCorners();

    // Points less the extra ones.
    int OrdinaryCount() const;
    // The start (the second entry with an extra start point) and the finish
    // (the last entry, or the one before it with an extra finish point);
    // null when the task is too short.
    CTaskPoint* StartPoint() const;
    CTaskPoint* FinishPoint() const;
    // The list index of a point, or -1.
    int IndexOf(const CTaskPoint* point) const;

    // QueueTask.
    int PointCount() const override { return static_cast<int>(points.size()); }
    QueueTaskPoint& Point(int index) override {
        return *points.at(static_cast<std::size_t>(index));
    }
    bool HasExtraStart() const override { return extraStart != 0; }
    bool HasExtraFinish() const override { return extraFinish != 0; }
};

// The leg distances of the task's points and its leg table; returns the
// total in km. Takes core::TaskLock.
float ComputeTaskLegs(CTask& task, bool includeUncounted, bool storeTotal, bool subtractCylinders);

// Fills every point's sector direction with the automatic direction: the
// outward bisector of its two legs, the leg course at the ends.
void ComputeSectorDirections(CTask& task);

// The tasks of the task file; owns them.
class CTaskList {
  public:
    void Append(std::unique_ptr<CTask> task) { tasks_.push_back(std::move(task)); }
    // The first task named exactly `name`, or null.
    CTask* FindByName(std::wstring_view name) const;
    // Empties the list, its unread text included.
    void DeleteAll() {
        tasks_.clear();
        unreadText_.clear();
    }
    // The text of the file the list was read from that could not be read
    // (from a broken task on); written back after the tasks.
    const std::wstring& UnreadText() const { return unreadText_; }
    void SetUnreadText(std::wstring text) { unreadText_ = std::move(text); }
    bool empty() const { return tasks_.empty(); }
    std::size_t size() const { return tasks_.size(); }
    CTask& operator[](std::size_t index) const { return *tasks_[index]; }
    auto begin() const { return tasks_.begin(); }
    auto end() const { return tasks_.end(); }

  private:
    std::vector<std::unique_ptr<CTask>> tasks_;
    std::wstring unreadText_;
};

// The program's task list and the task the editor works on (UI thread).
extern CTaskList g_taskList;
extern CTask g_defaultTask;

// --- The flown task and its published points. Written under core::TaskLock
// (the target and display points also under glide::DisplayTextLock, which
// the statistics worker takes to read them); the values may be read
// without a lock, but the points they name only under TaskLock.
extern std::atomic<CTask*> g_currentTask;
// g_currentTask when the caller's task was adopted; null when
// g_currentTask is the navigation's own copy.
extern std::atomic<CTask*> g_currentTaskAdopted;
extern std::atomic<CTaskPoint*> g_taskTargetPoint;  // flown to; null when finished
extern std::atomic<CTaskPoint*> g_taskStartPoint;
extern std::atomic<CTaskPoint*> g_taskFinishPoint;
extern std::atomic<CTaskPoint*> g_taskBeforeFinishPoint;
extern std::atomic<CTaskPoint*> g_taskDisplayPoint;  // the target as last shown
extern std::atomic<CTaskPoint*> g_faiAreaPoint;      // the corner with the FAI area
// The three further leg pointers of activation (auto-detect prompts).
extern std::array<std::atomic<CTaskPoint*>, 3> g_taskLegPoints;
extern std::atomic<int> g_finishAltitudeKnown;

// --- The task statistics worker as activation and navigation drive it.
// The statistics code installs its link; without one nothing runs.
class TaskStatisticsLink {
  public:
    virtual ~TaskStatisticsLink() = default;
    // Stops the running worker (none: nothing). With wait, returns once it
    // has ended; never called with core::TaskLock held.
    virtual void Stop(bool wait) = 0;
    // Starts a new repeating worker on g_currentTask from timedPoint.
    virtual void Start(CTaskPoint* timedPoint) = 0;
    // The running worker's timed point (null without a worker), and moving
    // it. Called with glide::DisplayTextLock held.
    virtual CTaskPoint* TimedPoint() = 0;
    virtual void SetTimedPoint(CTaskPoint* point) = 0;
};
void SetTaskStatisticsLink(std::shared_ptr<TaskStatisticsLink> link);
std::shared_ptr<TaskStatisticsLink> GetTaskStatisticsLink();

// The ellipsoid distance (km) and initial course (degrees true) between two
// records; valid false when the geodesic could not be computed (identical
// points give 0 km).
struct EllipsoidLeg {
    float km = 0.0F;
    double courseDeg = 0.0;
    bool valid = false;
};
EllipsoidLeg EllipsoidLegBetween(const WaypointRecord& from, const WaypointRecord& to);

// Along the navigation links, passing over points that are not counted.
CTaskPoint* CountedNext(const CTaskPoint* point);
CTaskPoint* CountedPrevious(const CTaskPoint* point);

}  // namespace nav
