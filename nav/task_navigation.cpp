#include "nav/task_navigation.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "gps/nav_fix.h"
#include "nav/current_position.h"
#include "nav/optimised_path.h"
#include "nav/settings_values.h"
#include "nav/task_zone.h"
#include "platform/numbers.h"
#include "platform/ui_post.h"
#include "services/shared_locks.h"
#include "texts/display_texts.h"

namespace nav {
namespace {

constexpr double kNavigationKmPerNm = 1.852;

float Km(const WaypointRecord& a, const WaypointRecord& b) {
    return EllipsoidLegBetween(a, b).km;
}

void PostToFrame(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    platform::PostWindowMessage(platform::kMainFrameWindow, message, wParam, lParam);
}

void PostMarked(const CTaskPoint* point) {
    PostToFrame(WM_APP_TASKPOINTMARKED, reinterpret_cast<std::uintptr_t>(point), 1);
}

void PostCommand(unsigned command) {
    PostToFrame(platform::WM_COMMAND, command, 0);
}

// A speed (knots) over `elapsed` hours; with no time elapsed the speed
// keeps its value.
void UpdateSpeed(float& speed, float km, float elapsed) {
    if (elapsed > 0.0F) speed = static_cast<float>(km / elapsed / kNavigationKmPerNm);
}

float CylinderOf(const CTaskPoint& point) {
    return point.hasCylinder != 0 ? point.cylinderRadius : 0.0F;
}

void SetTaskDistanceText(float km) {
    const platform::CriticalSectionLock lock(glide::DisplayTextLock);
    TaskDistanceText.Set(FormatTaskDistance(km));
}

class NavigationPass {
  public:
    NavigationPass(CTask& task, const NavigationFix& fix)
        : task_(task),
          fix_(fix),
          stats_(GetTaskStatisticsLink()),
          start_(g_taskStartPoint.load()),
          finish_(g_taskFinishPoint.load()),
          target_(g_taskTargetPoint.load()),
          previous_(CountedPrevious(target_)),
          next_(CountedNext(target_)) {}

    void Run() {
        if (target_ == nullptr || finish_ == nullptr) return;
        if (GiveStart()) return;
        int s = Zone(*target_, kZoneSlotNavigation);
        if (CloseTriangle(s)) return;
        BackToPrevious(s);
        MoveFaiArea();
        MoveTimedPoint();
        LegProgress(s);
        BestPointInZone(s);
        Advance(s);
    }

  private:
    int Zone(CTaskPoint& point, int slot) {
        return IsFixInTaskPointZone(&point, nullptr, slot, &fix_.position);
    }

    // What remains of the task from `from`'s working record, with `flown`.
    float Achieved(const CTaskPoint& from, float flown) const {
        return std::max(0.0F, Km(from.working, finish_->target) + flown - CylinderOf(*finish_));
    }

    void SetAchieved(float km) {
        task_.achievedDistance = km;
        SetTaskDistanceText(km);
    }

    void SetTimedPoint(CTaskPoint* point) {
        if (stats_) stats_->SetTimedPoint(point);
    }

    void UpdateTaskSpeed() {
        UpdateSpeed(task_.taskSpeed, task_.distanceFlown, fix_.timeHours - start_->timeReached);
    }

    // The leg values of the target from the previous point's working record.
    void LegFromPrevious(CTaskPoint& target, const CTaskPoint& previous) {
        target.distanceFlown = Km(fix_.position, previous.working);
        UpdateSpeed(target.legSpeed, target.distanceFlown, fix_.timeHours - previous.timeReached);
        task_.distanceFlown = task_.distanceToLastPoint + target.distanceFlown;
        UpdateTaskSpeed();
    }

    // A. The start is given when the aircraft leaves its zone (crosses the
    // line onto the course side); also while the first turnpoint is the
    // target, which starts the task again.
    bool GiveStart() {
        CTaskPoint* start = start_;
        if (start == nullptr || (target_ != start && previous_ != start)) return false;
        const int state = Zone(*start, kZoneSlotNavigation);
        if ((state & kZoneChangeMark) == 0 || (state & kZoneInside) != 0) return false;

        start->working = fix_.position;
        if ((start->role & kRoleEnterCylinderBit) != 0) {
            start->working.flags |= kMarkedFlag;
            PostMarked(target_);
        }
        start->timeReached = fix_.timeHours;
        task_.distanceToLastPoint = 0.0F;
        task_.distanceFlown = 0.0F;
        task_.taskSpeed = 0.0F;
        target_->distanceFlown = 0.0F;
        target_->legSpeed = 0.0F;
        if (g_resetClock.load() != 0) PostCommand(kCommandResetClock);
        SetAchieved(Achieved(*start, 0.0F));
        if (target_ == start) {
            const platform::CriticalSectionLock lock(glide::DisplayTextLock);
            CTaskPoint* next = start->next;
            g_taskDisplayPoint = next;
            SetTimedPoint(next);
            while (next != nullptr && next->notCounted != 0)
                next = next->next;
            g_taskTargetPoint = next;
        }
        CheckStartLimits();
        return true;
    }

    void CheckStartLimits() const {
        const float maxSpeed = g_maxStartSpeed.load();
        const float maxAltitude = g_maxStartAltitude.load();
        const auto speedExcess =
            fix_.groundSpeedKt > maxSpeed
                ? static_cast<std::int64_t>((fix_.groundSpeedKt - maxSpeed) * 10.0F)
                : 0;
        const auto altitudeExcess = fix_.altitudeFt > maxAltitude
                                        ? static_cast<std::int64_t>(fix_.altitudeFt - maxAltitude)
                                        : 0;
        if (speedExcess != 0 || altitudeExcess != 0) {
            PostToFrame(WM_APP_STARTLIMITS, static_cast<std::uintptr_t>(speedExcess),
                        static_cast<std::intptr_t>(altitudeExcess));
        }
    }

    // B1. A closed triangle is finished in its first corner's zone when the
    // finish zone holds the fix too.
    bool CloseTriangle(int s) {
        CTaskPoint* target = target_;
        if (target != task_.corners[0] || (s & kZoneInside) == 0 || target == finish_) return false;
        if ((Zone(*finish_, kZoneSlotNavigation) & kZoneInside) == 0) return false;

        finish_->working = fix_.position;
        if (previous_ != nullptr) {
            task_.distanceToLastPoint +=
                Km(target->working, previous_->working) + Km(target->working, finish_->working);
        } else {
            task_.distanceToLastPoint = 0.0F;
            target->working = fix_.position;
        }
        {
            const platform::CriticalSectionLock lock(glide::DisplayTextLock);
            task_.achievedDistance = task_.distanceToLastPoint;
            TaskDistanceText.Set(FormatTaskDistance(task_.distanceToLastPoint));
            target->working.flags |= kReachedFlag;
            finish_->working.flags |= kReachedFlag;
            if (target->sectorMode != 0 || target == g_faiAreaPoint.load()) {
                target->working.flags |= kMarkedFlag;
                PostMarked(target);
            }
            SetTimedPoint(nullptr);
            g_taskTargetPoint = nullptr;
            g_taskDisplayPoint = nullptr;
        }
        if (g_activeTaskPoint == task_.corners[0]) PostCommand(kCommandTriangleClosed);
        return true;
    }

    // B2. Back into the previous point's area: it becomes the target again.
    void BackToPrevious(int& s) {
        CTaskPoint* previous = previous_;
        if (previous == nullptr || (s & kZoneInside) != 0) return;
        if (!(previous->sectorMode > 0 || previous == g_faiAreaPoint.load())) return;
        if ((Zone(*previous, kZoneSlotNavigation) & kZoneInside) == 0) return;

        target_->distanceFlown = 0.0F;
        target_->legSpeed = 0.0F;
        {
            const platform::CriticalSectionLock lock(glide::DisplayTextLock);
            g_taskTargetPoint = previous;
            SetTimedPoint(previous->next);
        }
        target_ = previous;
        previous->working.flags &= ~kReachedFlag;
        previous_ = CountedPrevious(target_);
        next_ = CountedNext(target_);
        s = kZoneInside;
        if (previous_ != nullptr) {
            task_.distanceToLastPoint -= Km(target_->working, previous_->working);
        }
    }

    // B3. The FAI area moves on to the next corner once the aircraft is
    // nearer to it than half way from the corner just reached.
    void MoveFaiArea() {
        CTaskPoint* corner = previous_;
        if (corner == nullptr || corner != g_faiAreaPoint.load() || corner->faiArea == nullptr)
            return;
        if ((corner->zoneState[kZoneSlotNavigation] & kZoneOutside) == 0) return;
        if (corner->trianglePrevious == nullptr) return;
        CTaskPoint* next =
            corner->triangleNext != nullptr ? corner->triangleNext : task_.corners[0];
        if (next == nullptr) return;
        if (!(2.0F * Km(fix_.position, corner->working) > Km(fix_.position, next->target))) return;

        FaiAreaElement* area = corner->faiArea;
        area->BuildOutline(corner->trianglePrevious->working, corner->working, next->target);
        corner->faiArea = nullptr;
        next->faiArea = area;
        g_faiAreaPoint = next;
        PostMarked(next);
    }

    // B4. The statistics' timed point follows the flight.
    void MoveTimedPoint() {
        if (!stats_) return;
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        CTaskPoint* timed = stats_->TimedPoint();
        if (timed == nullptr || timed == target_) return;
        if ((Zone(*timed, kZoneSlotStatistics) & kZoneInside) != 0)
            stats_->SetTimedPoint(timed->next);
    }

    // B5. Progress on the leg towards the target.
    void LegProgress(int s) {
        if (previous_ == nullptr || ((s & kZoneInside) != 0 && next_ != nullptr)) return;
        LegFromPrevious(*target_, *previous_);
    }

    // B6. Inside a zone the point that makes the two legs longest counts as
    // where the zone was reached.
    void BestPointInZone(int s) {
        CTaskPoint& target = *target_;
        if ((s & kZoneInside) == 0 || previous_ == nullptr || next_ == nullptr) return;
        const WaypointRecord& onward = target.faiArea != nullptr && target.triangleNext != nullptr
                                           ? target.triangleNext->working
                                           : next_->target;
        const float sum = Km(fix_.position, previous_->working) + Km(fix_.position, onward);
        if (sum > target.bestLegSum) {
            target.bestLegSum = sum;
            const std::uint32_t flags = target.working.flags;
            target.working = fix_.position;
            target.working.flags = flags;
            target.timeReached = fix_.timeHours;
            task_.distanceFlown =
                Km(previous_->working, target.working) + task_.distanceToLastPoint;
            task_.achievedDistance = Achieved(target, task_.distanceFlown);
            ComputeTaskLegs(task_, false, false, true);
            SetTaskDistanceText(task_.achievedDistance);
        } else {
            task_.distanceFlown =
                Km(previous_->working, target.working) + task_.distanceToLastPoint;
        }
        target.distanceFlown = Km(fix_.position, target.working);
        task_.distanceFlown += target.distanceFlown;
        const float elapsed = fix_.timeHours - target.timeReached;
        if (elapsed == 0.0F) {
            target.legSpeed = fix_.groundSpeedKt;
        } else {
            UpdateSpeed(target.legSpeed, target.distanceFlown, elapsed);
        }
        UpdateTaskSpeed();
        if ((s & kZoneChangeMark) != 0) {
            const platform::CriticalSectionLock lock(glide::DisplayTextLock);
            SetTimedPoint(target.next);
        }
    }

    // B7. A turnpoint is passed on leaving its zone, the finish reached on
    // entering it: the target moves on.
    void Advance(int s) {
        CTaskPoint& target = *target_;
        if ((s & kZoneChangeMark) == 0) return;
        if ((s & kZoneInside) != 0 && target.next != nullptr) return;
        if (target.next == nullptr) target.working = fix_.position;
        if (previous_ != nullptr) {
            task_.distanceToLastPoint += Km(target.working, previous_->working);
        } else {
            task_.distanceToLastPoint = 0.0F;
            target.working = fix_.position;
        }
        bool optimise = false;
        {
            const platform::CriticalSectionLock lock(glide::DisplayTextLock);
            if (target.next != nullptr) {
                task_.achievedDistance = Achieved(target, task_.distanceToLastPoint);
                TaskDistanceText.Set(FormatTaskDistance(task_.achievedDistance));
            }
            target.working.flags |= kReachedFlag;
            if (target.sectorMode != 0 || &target == g_faiAreaPoint.load()) {
                target.working.flags |= kMarkedFlag;
                optimise = target.sectorMode != 0;
                PostMarked(&target);
            }
            SetTimedPoint(target.next);
            if (g_taskDisplayPoint.load() != target.next) {
                PostToFrame(WM_APP_TASKTARGETSHOWN, 2, 0);
            }
            g_taskDisplayPoint = next_;
            g_taskTargetPoint = next_;
        }
        if (optimise) OptimiseTaskPath(g_taskStartPoint.load(), 2);
        target_ = next_;
        if (target_ == nullptr) return;
        if (const CTaskPoint* previous = CountedPrevious(target_))
            LegFromPrevious(*target_, *previous);
    }

    CTask& task_;
    const NavigationFix& fix_;
    const std::shared_ptr<TaskStatisticsLink> stats_;
    CTaskPoint* const start_;
    CTaskPoint* const finish_;
    CTaskPoint* target_;
    CTaskPoint* previous_;
    CTaskPoint* next_;
};

}  // namespace

std::wstring FormatTaskDistance(float km) {
    static constexpr std::array<float, 4> kFactors{0.6215F, 0.53996F, 1.0F, 0.53996F};
    const int unit = core::g_unitDist.load();
    const float factor = unit >= 0 && unit < 4 ? kFactors[static_cast<std::size_t>(unit)] : 1.0F;
    const std::wstring name(core::DistanceUnitName(unit));
    return platform::FormatC(L"%01.0f%ls", static_cast<double>(km * factor), name.c_str());
}

void UpdateTaskNavigation(CTask* task, const NavigationFix& fix) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    if (task == nullptr || task != g_currentTask.load() || g_taskNavigationActive.load() == 0)
        return;
    if (g_taskTargetPoint.load() == nullptr) return;
    NavigationPass(*task, fix).Run();
}

void UpdateTaskNavigation(CTask* task, const WaypointRecord* fix, float timeHours) {
    NavigationFix values;
    values.position = fix != nullptr ? *fix : CopyMapFix();
    values.timeHours = timeHours;
    const std::shared_ptr<const gps::NavSnapshot> published = gps::CurrentNav();
    values.groundSpeedKt = published->speedKt;
    values.altitudeFt =
        published->pressureKnown ? published->pressureAltitude : published->gpsAltitude;
    UpdateTaskNavigation(task, values);
}

}  // namespace nav
