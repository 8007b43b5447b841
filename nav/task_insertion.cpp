// Inserting a queued waypoint into the flown task.

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "nav/settings_values.h"
#include "nav/task_activation.h"
#include "nav/task_texts.h"
#include "services/shared_locks.h"
#include "texts/display_texts.h"

namespace nav {
namespace {

bool CanInsert(int slot) {
    if (slot < 0 || slot >= kQueueSlots || slot > g_waypointQueue.highest) return false;
    const CTask* task = g_currentTask.load();
    return g_taskNavigationActive.load() != 0 && task != nullptr && task->triangle == 0 &&
           g_taskFinishPoint.load() != nullptr &&
           g_waypointQueue.slots[static_cast<std::size_t>(slot)].taskPoint == nullptr;
}

// The turnpoints of the task besides the start and the extra points.
int TurnpointCount(const CTask& task) {
    return static_cast<int>(task.points.size()) - 1 - (task.extraStart != 0 ? 1 : 0) -
           (task.extraFinish != 0 ? 1 : 0);
}

int SlotOf(const CTaskPoint* point) {
    for (int slot = 0; slot < kQueueSlots; ++slot) {
        if (g_waypointQueue.slots[static_cast<std::size_t>(slot)].taskPoint == point) return slot;
    }
    return -1;
}

void SetNumber(CTaskPoint& point, int number) {
    point.ordinal = MakeOrdinal(number, OrdinalSlot(point.ordinal));
}

// An ordinary counted turnpoint with a cylinder of "POSTradius".
void MakeTurnpoint(CTaskPoint& point) {
    point.pointKind = kKindTurnpoint;
    point.role = kRoleOrdinary;
    point.sectorMode = 0;
    point.hasSector = 0;
    point.sectorInnerRadius = 0.0F;
    point.notCounted = 0;
    point.hasCylinder = 1;
    point.cylinderRadius = g_postRadius.load();
}

// The zone fields from the point kind to the not-counted flag.
void TakeZone(CTaskPoint& to, const CTaskPoint& from) {
    const bool ownCylinder = to.hasCylinder != 0;
    const float ownRadius = to.cylinderRadius;
    to.TakeZoneShape(from);
    to.cylinderRadius = ownCylinder ? ownRadius : g_postRadius.load();
    to.box = from.box;
    to.insideCount = from.insideCount;
}

void NameSlot(int slot, std::wstring_view prefix, std::wstring_view name) {
    std::wstring text(prefix);
    text += name;
    g_waypointQueue.slots[static_cast<std::size_t>(slot)].record.name.Assign(text,
                                                                             kEnteredNameLength);
}

// Moves the inserted entry along the used slots (the entries between move
// one slot on) until it stands right before the finish's slot, or right
// after it. Returns its new slot.
int RotateIntoPlace(int inserted, int finishSlot, bool afterFinish) {
    auto& slots = g_waypointQueue.slots;
    const int used = g_waypointQueue.highest + 1;
    const auto wanted = [&] {
        return afterFinish ? (finishSlot + 1) % used : (finishSlot - 1 + used) % used;
    };
    for (int step = 0; step < used && inserted != wanted(); ++step) {
        const int before = (inserted - 1 + used) % used;
        std::swap(slots[static_cast<std::size_t>(before)],
                  slots[static_cast<std::size_t>(inserted)]);
        if (QueueTaskPoint* moved = slots[static_cast<std::size_t>(inserted)].taskPoint) {
            moved->SetQueueSlot(inserted);
        }
        if (before == finishSlot) finishSlot = inserted;
        inserted = before;
        slots[static_cast<std::size_t>(inserted)].taskPoint->SetQueueSlot(inserted);
    }
    return inserted;
}

// Puts the point into the list and the links at the same place; returns it.
CTaskPoint* PlacePoint(CTask& task, std::unique_ptr<CTaskPoint> point, CTaskPoint& finish,
                       bool afterFinish) {
    CTaskPoint* added = point.get();
    const int finishIndex = task.IndexOf(&finish);
    const auto at = task.points.begin() + finishIndex + (afterFinish ? 1 : 0);
    task.points.insert(at, std::move(point));
    if (afterFinish) {
        added->previous = &finish;
        added->next = finish.next;
        if (finish.next != nullptr) finish.next->previous = added;
        finish.next = added;
        finish.legDistance = added->legDistance;
    } else {
        added->previous = finish.previous;
        added->next = &finish;
        if (finish.previous != nullptr) finish.previous->next = added;
        finish.previous = added;
    }
    return added;
}

// The insertion itself, under TaskLock; returns the slot the waypoint ends
// in, or -1 when nothing was inserted.
int Insert(int slot) {
    if (!CanInsert(slot)) return -1;
    CTask& task = *g_currentTask.load();
    CTaskPoint& finish = *g_taskFinishPoint.load();
    const int k = TurnpointCount(task);
    if (k < 1 || task.IndexOf(&finish) < 0) return -1;

    QueueSlot& entry = g_waypointQueue.slots[static_cast<std::size_t>(slot)];
    auto point = std::make_unique<CTaskPoint>(entry.record);
    if (g_waypointQueue.highest > QueueLength() - 2) {
        g_maxNumDestinations = std::min(g_waypointQueue.highest + 2, kMaxQueueLength);
    }
    const int finishSlot = SlotOf(&finish);
    const bool atFinish = g_insertPostAtFinish.load() != 0;

    entry.taskPoint = point.get();
    point->ordinal = MakeOrdinal(atFinish ? k + 1 : k, slot);
    if (!atFinish) SetNumber(finish, OrdinalNumber(finish.ordinal) + 1);
    MakeTurnpoint(*point);
    if (atFinish) {
        TakeZone(finish, *point);
        point->pointKind = kKindControlPoint;
        point->role = kRoleFinish;
        point->lineHalfWidth = 0.0F;
        task.finishLineWidth = 0.0F;
        task.finishIsLine = 0;
    }

    const std::wstring number = std::to_wstring(k) + L",";
    if (atFinish && finishSlot >= 0) NameSlot(finishSlot, number, finish.name);
    NameSlot(slot, atFinish ? std::wstring(L"F,") : number, point->name);
    const int placed = finishSlot >= 0 ? RotateIntoPlace(slot, finishSlot, atFinish) : slot;

    CTaskPoint* added = PlacePoint(task, std::move(point), finish, atFinish);
    ComputeTaskLegs(task, false, false, true);
    {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        if (atFinish) {
            g_taskFinishPoint = added;
            g_taskBeforeFinishPoint = added->previous;
            if (g_taskTargetPoint.load() == nullptr) g_taskTargetPoint = added;
        } else {
            if (g_taskTargetPoint.load() == &finish) g_taskTargetPoint = added;
            g_taskBeforeFinishPoint = added;
            if (g_updateTaskFinishGate.load() != 0 && finish.hasCylinder == 0) {
                finish.sectorDirection =
                    static_cast<float>(added->CourseTo(finish.PositionRecord()));
            }
        }
    }
    BuildTaskZoneElements(task);
    return placed;
}

}  // namespace

void InsertQueueWaypointIntoTask(int slot) {
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        if (!CanInsert(slot)) return;
    }
    const auto stats = GetTaskStatisticsLink();
    if (stats) stats->Stop(/*wait=*/true);
    int placed = -1;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        placed = Insert(slot);
        CTask* task = g_currentTask.load();
        if (placed >= 0 && task != nullptr && g_taskTextShowsRest.load() != 0)
            WriteTaskTextWithRest(*task);
    }
    if (stats && g_taskNavigationActive.load() != 0) stats->Start(g_taskTargetPoint.load());
    if (placed < 0) return;
    SelectQueueWaypoint(placed);
    if (const auto hook = GetTaskMapHook()) hook->TaskZonesChanged();
}

}  // namespace nav
