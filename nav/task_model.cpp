#include "nav/task_model.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>
#include <utility>

#include "core/geodesy.h"
#include "nav/fai_triangle.h"
#include "services/shared_locks.h"

namespace nav {
namespace {

constexpr double kSphereRadiusKm = 6371.0;
constexpr double kModelKmPerNm = 1.852;

std::wstring TrimBlanks(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return std::wstring(text);
}

std::mutex& LinkMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<TaskStatisticsLink>& LinkSlot() {
    static std::shared_ptr<TaskStatisticsLink> link;
    return link;
}

}  // namespace

CTaskList g_taskList;
CTask g_defaultTask;
std::atomic<CTask*> g_currentTask{nullptr};
std::atomic<CTask*> g_currentTaskAdopted{nullptr};
std::atomic<CTaskPoint*> g_taskTargetPoint{nullptr};
std::atomic<CTaskPoint*> g_taskStartPoint{nullptr};
std::atomic<CTaskPoint*> g_taskFinishPoint{nullptr};
std::atomic<CTaskPoint*> g_taskBeforeFinishPoint{nullptr};
std::atomic<CTaskPoint*> g_taskDisplayPoint{nullptr};
std::atomic<CTaskPoint*> g_faiAreaPoint{nullptr};
std::array<std::atomic<CTaskPoint*>, 3> g_taskLegPoints{};
std::atomic<int> g_finishAltitudeKnown{0};

int MakeOrdinal(int number, int slot) {
    const auto high = static_cast<unsigned>(number) << 16;
    return static_cast<int>(high | (static_cast<unsigned>(slot) & 0xFFFFU));
}

EllipsoidLeg EllipsoidLegBetween(const WaypointRecord& from, const WaypointRecord& to) {
    const core::GeodesicInverseResult result = core::g_ellipsoid.GeodesicInverse(
        from.latitude, -from.longitude, to.latitude, -to.longitude, /*quiet=*/true);
    return {static_cast<float>(result.distance * kModelKmPerNm),
            result.course12 * 180.0 / std::numbers::pi, result.valid};
}

// --- CTaskPoint.

CTaskPoint::CTaskPoint() : insideCount(-2 * g_insideCountLimit.load()) {}

CTaskPoint::CTaskPoint(const WaypointRecord& record) : CTaskPoint() {
    longitude = record.longitude;
    latitude = record.latitude;
    x = record.x;
    y = record.y;
    z = record.z;
    altitude = record.altitude;
    altitudeKnown = record.altitudeKnown ? 1 : 0;
    name = TrimBlanks(record.name.View());
    target = record;
}

CTaskPoint::CTaskPoint(const CTaskPoint& other) : QueueTaskPoint() {
    CopyFrom(other);
}

CTaskPoint& CTaskPoint::operator=(const CTaskPoint& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

CTaskPoint::~CTaskPoint() = default;

void CTaskPoint::CopyFrom(const CTaskPoint& other) {
    longitude = other.longitude;
    latitude = other.latitude;
    x = other.x;
    y = other.y;
    z = other.z;
    altitude = other.altitude;
    altitudeKnown = other.altitudeKnown;
    name = other.name;
    TakeZoneShape(other);
    box = other.box;
    insideCount = other.insideCount;
    working = other.working;
    target = other.target;
    bestLegSum = other.bestLegSum;
    legDistance = other.legDistance;
    timeReached = other.timeReached;
    zoneState = other.zoneState;
    legCourse = other.legCourse;
    distanceFlown = other.distanceFlown;
    legSpeed = other.legSpeed;
    ordinal = other.ordinal;
    faiArea = other.faiArea;
    touchPoint.reset();
    if (other.touchPoint) {
        touchPoint = std::make_unique<TouchPoint>();
        touchPoint->record = other.touchPoint->record;
    }
}

void CTaskPoint::TakeZoneShape(const CTaskPoint& other) {
    pointKind = other.pointKind;
    role = other.role;
    hasCylinder = other.hasCylinder;
    hasSector = other.hasSector;
    sectorMode = other.sectorMode;
    sectorRadius = other.sectorRadius;
    cylinderRadius = other.cylinderRadius;
    sectorAngle = other.sectorAngle;
    sectorDirection = other.sectorDirection;
    lineHalfWidth = other.lineHalfWidth;
    sectorInnerRadius = other.sectorInnerRadius;
    notCounted = other.notCounted;
}

void CTaskPoint::SetPosition(double latitudeRad, double lonWestRad) {
    latitude = latitudeRad;
    longitude = lonWestRad;
    const double cosLatitude = std::cos(latitude);
    x = cosLatitude * std::cos(longitude);
    y = -cosLatitude * std::sin(longitude);
    z = std::sin(latitude);
}

WaypointRecord CTaskPoint::PositionRecord() const {
    WaypointRecord record;
    record.longitude = longitude;
    record.latitude = latitude;
    record.x = x;
    record.y = y;
    record.z = z;
    record.altitude = altitude;
    record.altitudeKnown = altitudeKnown != 0;
    return record;
}

WaypointRecord CTaskPoint::QueueRecord() const {
    WaypointRecord record = target;
    record.CopyPosition(PositionRecord());
    record.altitude = altitude;
    record.altitudeKnown = altitudeKnown != 0;
    return record;
}

void CTaskPoint::SetQueueSlot(int slot) {
    ordinal = MakeOrdinal(OrdinalNumber(ordinal), slot);
}

void CTaskPoint::LeftDestination() {
    insideCount = 0;
}

void CTaskPoint::DetachedFromQueue() {
    insideCount = -1 - g_insideCountLimit.load();
}

int CTaskPoint::UpdateInsideCount(const WaypointRecord& position) {
    const bool inside =
        box.ContainsInside(core::FromRadiansWest(position.latitude, position.longitude));
    const int limit = g_insideCountLimit.load();
    const bool settled = std::abs(insideCount) > limit;
    insideCount += inside ? 1 : -1;
    if (insideCount > limit) {
        insideCount = limit + 1;
        return settled ? 1 : 2;
    }
    if (insideCount < -limit) {
        insideCount = -limit - 1;
        return settled ? -1 : -2;
    }
    return 0;
}

float CTaskPoint::CourseAndDistanceTo(const WaypointRecord& r, bool distanceOnly,
                                      CourseResult* out) const {
    const double cx = y * r.z - z * r.y;
    const double cy = z * r.x - x * r.z;
    const double cz = x * r.y - y * r.x;
    const double s = std::min(std::sqrt(cx * cx + cy * cy + cz * cz), 1.0);
    const double dot = x * r.x + y * r.y + z * r.z;
    const double angle = dot >= 0.0 ? std::asin(s) : std::numbers::pi - std::asin(s);
    if (!distanceOnly && out != nullptr) CourseAndDistance(PositionRecord(), r, out);
    return static_cast<float>(angle * kSphereRadiusKm);
}

double CTaskPoint::CourseTo(const WaypointRecord& r) const {
    CourseResult course;
    CourseAndDistance(PositionRecord(), r, &course);
    return course.trueCourseDeg;
}

// --- CTask.

CTask::CTask() = default;

CTask::CTask(const CTask& other) : QueueTask() {
    *this = other;
}

CTask::~CTask() = default;

CTask& CTask::operator=(const CTask& other) {
    if (this == &other) return *this;
    DeletePoints();
    fifthValue = other.fifthValue;
    startLineWidth = other.startLineWidth;
    finishLineWidth = other.finishLineWidth;
    startIsLine = other.startIsLine;
    finishIsLine = other.finishIsLine;
    extraFinish = other.extraFinish;
    extraStart = other.extraStart;
    name = other.name;
    totalDistance = other.totalDistance;
    ownedCopy = other.ownedCopy;
    legs = other.legs;
    for (const auto& point : other.points) {
        auto copy = std::make_unique<CTaskPoint>(*point);
        for (std::size_t c = 0; c < corners.size(); ++c) {
            if (other.corners[c] == point.get()) corners[c] = copy.get();
        }
        points.push_back(std::move(copy));
    }
    // Triangle links between the copies, as between the originals.
    for (std::size_t i = 0; i < points.size(); ++i) {
        const CTaskPoint& source = *other.points[i];
        const int previous = other.IndexOf(source.trianglePrevious);
        const int next = other.IndexOf(source.triangleNext);
        if (previous >= 0)
            points[i]->trianglePrevious = points[static_cast<std::size_t>(previous)].get();
        if (next >= 0) points[i]->triangleNext = points[static_cast<std::size_t>(next)].get();
    }
    distanceFlown = other.distanceFlown;
    taskSpeed = other.taskSpeed;
    distanceToLastPoint = other.distanceToLastPoint;
    achievedDistance = other.achievedDistance;
    triangle = other.triangle;
    return *this;
}

bool CTask::IsValid() const {
    int n = static_cast<int>(points.size()) - (extraStart != 0 ? 1 : 0);
    if (extraFinish != 0) --n;
    return n > 1;
}

void CTask::AddPoint(std::unique_ptr<CTaskPoint> point) {
    points.push_back(std::move(point));
}

void CTask::DeletePoints() {
    const std::size_t cleared = std::min(points.size(), legs.size());
    std::fill_n(legs.begin(), cleared, 0.0F);
    points.clear();
    totalDistance = 0.0F;
    triangle = 0;
    corners = {};
}

void CTask::ResetProgress() {
    for (const auto& point : points) {
        point->working = point->target;
        point->working.flags = 0;
        point->bestLegSum = 0.0F;
        point->timeReached = kNotReached;
        point->zoneState.fill(kZoneInitial);
    }
    corners = {};
    ComputeTaskLegs(*this, false, true, true);
}

int CTask::OrdinaryCount() const {
    return static_cast<int>(points.size()) - (extraStart != 0 ? 1 : 0) - (extraFinish != 0 ? 1 : 0);
}

CTaskPoint* CTask::StartPoint() const {
    const std::size_t index = extraStart != 0 ? 1 : 0;
    return index < points.size() ? points[index].get() : nullptr;
}

CTaskPoint* CTask::FinishPoint() const {
    const std::size_t skip = extraFinish != 0 ? 2 : 1;
    if (points.size() < skip) return nullptr;
    return points[points.size() - skip].get();
}

int CTask::IndexOf(const CTaskPoint* point) const {
    if (point == nullptr) return -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].get() == point) return static_cast<int>(i);
    }
    return -1;
}

int CTask::FindTriangleCorners() {
    if (OrdinaryCount() < 1) return 0;
    const std::size_t first = extraStart != 0 ? 1 : 0;
    const std::size_t end = points.size() - (extraFinish != 0 ? 1 : 0);
    std::vector<CTaskPoint*> counted;
    for (std::size_t i = first; i < end; ++i) {
        if (points[i]->notCounted == 0) counted.push_back(points[i].get());
    }
    const auto count = static_cast<int>(counted.size());
    if (count != 4 && count != 5) return 0;
    const CTaskPoint* start = points[first].get();
    const CTaskPoint* finish = points[end - 1].get();
    if (!start->target.IsSamePosition(finish->target)) return 0;

    // Four points: the start and the next two. Five: the last before the
    // finish, then the two after the start.
    const std::array<CTaskPoint*, 3> found = count == 4
                                                 ? std::array{counted[0], counted[1], counted[2]}
                                                 : std::array{counted[3], counted[1], counted[2]};
    if (IsFaiTriangle(found[0]->target, found[1]->target, found[2]->target) == 0) {
        corners = {};
        return 0;
    }
    corners = found;
    found[0]->triangleNext = found[1];
    found[1]->triangleNext = found[2];
    found[2]->triangleNext = found[0];
    found[0]->trianglePrevious = nullptr;
    found[1]->trianglePrevious = found[0];
    found[2]->trianglePrevious = found[1];
    return count;
}

CTask* CTaskList::FindByName(std::wstring_view name) const {
    for (const auto& task : tasks_) {
        if (task->name == name) return task.get();
    }
    return nullptr;
}

// --- Statistics link.

void SetTaskStatisticsLink(std::shared_ptr<TaskStatisticsLink> link) {
    const std::lock_guard lock(LinkMutex());
    LinkSlot() = std::move(link);
}

std::shared_ptr<TaskStatisticsLink> GetTaskStatisticsLink() {
    const std::lock_guard lock(LinkMutex());
    return LinkSlot();
}

CTaskPoint* CountedNext(const CTaskPoint* point) {
    if (point == nullptr) return nullptr;
    CTaskPoint* next = point->next;
    while (next != nullptr && next->notCounted != 0)
        next = next->next;
    return next;
}

CTaskPoint* CountedPrevious(const CTaskPoint* point) {
    if (point == nullptr) return nullptr;
    CTaskPoint* previous = point->previous;
    while (previous != nullptr && previous->notCounted != 0)
        previous = previous->previous;
    return previous;
}

}  // namespace nav
