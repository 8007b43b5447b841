// Leg distances and automatic sector directions of a task.

#include <cmath>
#include <cstddef>

#include "nav/settings_values.h"
#include "nav/task_model.h"
#include "services/shared_locks.h"

namespace nav {
namespace {

// The leg from `from` to `to`: between the working records where the flight
// has reached them, else towards the target.
EllipsoidLeg LegBetween(const CTaskPoint& from, const CTaskPoint& to) {
    if (from.IsReached()) {
        return EllipsoidLegBetween(from.working, to.IsReached() ? to.working : to.target);
    }
    return EllipsoidLegBetween(from.target, to.target);
}

// The task's leg table as the walk fills it.
class LegTable {
  public:
    explicit LegTable(CTask& task) : legs_(task.legs) {}

    // A leg to a counted point: stored at the last counted point's entry.
    void Counted(float km) {
        Store(last_, km);
        last_ = ++running_;
    }
    // A leg to a point passed over: its own entry marks it.
    void PassedOver() {
        if (running_ >= kLegTableSize) return;
        ++running_;
        Store(running_, kUncountedLeg);
    }

  private:
    void Store(int entry, float km) {
        if (entry < kLegTableSize) legs_[static_cast<std::size_t>(entry)] = km;
    }

    std::array<float, kLegTableSize>& legs_;
    int running_ = 0;
    int last_ = 0;
};

// Outward bisector of the leg arriving on `previousCourse` and the one
// leaving on `course`.
float Bisector(double course, double previousCourse) {
    double reverse = previousCourse + 180.0;
    if (reverse >= 360.0) reverse -= 360.0;
    double direction = (course + reverse) / 2.0;
    if (std::fabs(course - reverse) < 180.0) direction -= 180.0;
    if (direction < 0.0) direction += 360.0;
    return static_cast<float>(direction);
}

}  // namespace

float ComputeTaskLegs(CTask& task, bool includeUncounted, bool storeTotal, bool subtractCylinders) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    TaskPoints& points = task.points;
    std::size_t index = 0;
    if (task.extraStart != 0 && !points.empty()) {
        points[0]->legDistance = 0.0F;
        points[0]->notCounted = 0;
        index = 1;
    }
    const std::size_t end = points.size() - (task.extraFinish != 0 && !points.empty() ? 1 : 0);
    if (index >= end) {
        task.totalDistance = 0.0F;
        if (storeTotal) task.achievedDistance = 0.0F;
        return 0.0F;
    }
    const std::size_t beforeFinish = end - 2;  // may wrap for one point: never reached then

    float total = 0.0F;
    CTaskPoint* lastCounted = points[index].get();
    lastCounted->notCounted = 0;
    if (subtractCylinders && lastCounted->hasCylinder != 0 && !lastCounted->IsReached()) {
        total -= lastCounted->cylinderRadius;
    }
    LegTable table(task);
    bool passedOver = false;
    CTaskPoint* previous = lastCounted;
    for (std::size_t i = index + 1; i < end; ++i) {
        CTaskPoint& next = *points[i];
        if (i == beforeFinish) next.notCounted = 0;
        const EllipsoidLeg leg = LegBetween(*previous, next);
        previous->legDistance = leg.km;
        previous->legCourse = leg.courseDeg;
        if (next.notCounted == 0 || includeUncounted) {
            const float km = passedOver ? LegBetween(*lastCounted, next).km : leg.km;
            table.Counted(km);
            total += km;
            lastCounted = &next;
            passedOver = false;
        } else {
            table.PassedOver();
            passedOver = true;
        }
        previous = &next;
    }
    if (task.extraFinish != 0) {
        points.back()->legDistance = 0.0F;
        points.back()->notCounted = 0;
    }

    CTaskPoint& last = *points[end - 1];
    if (subtractCylinders && last.hasCylinder != 0 && !last.IsReached()) {
        total -= last.cylinderRadius;
    }
    last.legDistance = 0.0F;
    if (total < 0.0F) total = 0.0F;
    task.totalDistance = total;
    if (storeTotal) task.achievedDistance = total;
    return total;
}

void ComputeSectorDirections(CTask& task) {
    if (task.OrdinaryCount() < 2) return;
    TaskPoints& points = task.points;
    const std::size_t first = task.extraStart != 0 ? 1 : 0;
    const std::size_t last = points.size() - 1 - (task.extraFinish != 0 ? 1 : 0);
    const bool endsOnNeighbours = g_startEndCheckpointDirection.load() != 0;

    for (int pass = 0; pass < 2; ++pass) {
        double previousCourse = 0.0;
        std::size_t a = first;
        bool firstStep = true;
        while (a < last) {
            std::size_t b = a + 1;
            const bool skip = pass == 1 && !(firstStep && endsOnNeighbours);
            while (skip && b < last && points[b]->notCounted != 0)
                ++b;
            CTaskPoint& from = *points[a];
            CTaskPoint& to = *points[b];
            const double course = from.CourseTo(to.PositionRecord());
            from.sectorDirection =
                firstStep ? static_cast<float>(course) : Bisector(course, previousCourse);
            if (b == last && (pass == 0 || !endsOnNeighbours)) {
                to.sectorDirection = static_cast<float>(course);
            }
            previousCourse = course;
            firstStep = false;
            a = b;
        }
    }
}

}  // namespace nav
