#include "frame/frame_tasks.h"

#include "frame/frame_commands.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/task_activation.h"
#include "nav/task_file.h"
#include "nav/task_model.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_loader.h"
#include "platform/ui_post.h"
#include "platform/worker_thread.h"
#include "services/shared_locks.h"

namespace frame {
namespace {

constexpr int kTaskPointSkipBit = 64;

}  // namespace

bool ProgramFrameTasks::WaypointFileOpen() const { return nav::g_waypointFile.IsOpen(); }
bool ProgramFrameTasks::EnsureWaypointFileOpen() { return nav::EnsureWaypointFileOpen(); }
bool ProgramFrameTasks::LoaderIdle() const { return !nav::g_waypointLoader.Running(); }
void ProgramFrameTasks::SetLoaderAbort(bool on) {
    if (on) nav::g_waypointLoader.Stop(platform::WorkerThread::kDefaultStopLimitMs);
}
bool ProgramFrameTasks::OpenWaypointFile() {
    std::wstring path = nav::g_waypointFileName.Get();
    nav::OpenWaypointFile(nav::g_waypointFile, path, true, false, true);
    return nav::g_waypointFile.IsOpen();
}
std::wstring ProgramFrameTasks::WaypointFileName() const { return nav::g_waypointFileName.Get(); }
// The waypoints' symbols are drawn with the rest of the map.
void ProgramFrameTasks::WaypointsLoaded() {
    nav::g_waypointsLoaded = 1;
    platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0, 0);
}

int ProgramFrameTasks::QueueIndex() const {
    const platform::CriticalSectionLock lock(core::TaskLock);
    return nav::g_waypointQueue.current;
}

std::wstring ProgramFrameTasks::StepQueue(int delta) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    nav::WaypointQueue& queue = nav::g_waypointQueue;
    if (queue.current < 0) return {};
    queue.current = StepQueueIndex(queue.current, queue.highest, delta);
    const nav::QueueSlot& slot = queue.slots.at(static_cast<std::size_t>(queue.current));
    nav::g_destination = slot.record;
    if (nav::g_activeTaskPoint != nullptr) nav::g_activeTaskPoint->LeftDestination();
    nav::g_activeTaskPoint = slot.taskPoint;
    return std::wstring(slot.record.name.View());
}

int ProgramFrameTasks::QueueHighest() const {
    const platform::CriticalSectionLock lock(core::TaskLock);
    return nav::g_waypointQueue.highest;
}

// The sender passes the point's queue number by value (never a pointer the
// handler would have to trust); 0 stands for the detected next point.
void ProgramFrameTasks::SelectQueueSlotOfPoint(std::intptr_t point) {
    int slot = static_cast<int>(point & 0xFFFF);
    if (point == 0) {
        const platform::CriticalSectionLock lock(core::TaskLock);
        const nav::CTaskPoint* next = nav::g_taskLegPoints[1].load();
        if (next == nullptr) return;
        slot = next->QueueSlot() & 0xFFFF;
    }
    if (slot != nav::kNoQueueSlot) nav::SelectQueueWaypoint(slot);
}

bool ProgramFrameTasks::NavigationActive() const { return nav::g_taskNavigationActive.load() != 0; }
bool ProgramFrameTasks::TaskStarted() const {
    const platform::CriticalSectionLock lock(core::TaskLock);
    const nav::CTaskPoint* start = nav::g_taskStartPoint.load();
    return start != nullptr && start->IsReached();
}
bool ProgramFrameTasks::HasCurrentTask() const { return nav::g_currentTask.load() != nullptr; }
bool ProgramFrameTasks::CurrentTaskAdopted() const {
    return nav::g_currentTaskAdopted.load() != nullptr;
}
bool ProgramFrameTasks::ActivePointTappable() const {
    const platform::CriticalSectionLock lock(core::TaskLock);
    const auto* point = dynamic_cast<const nav::CTaskPoint*>(nav::g_activeTaskPoint);
    return point != nullptr && !point->IsStartRole() && !point->IsFinishRole() &&
           (point->role & kTaskPointSkipBit) == 0;
}
bool ProgramFrameTasks::SelectedSlotHasTaskPoint() const {
    const platform::CriticalSectionLock lock(core::TaskLock);
    const nav::WaypointQueue& queue = nav::g_waypointQueue;
    return queue.current >= 0 &&
           queue.slots.at(static_cast<std::size_t>(queue.current)).taskPoint != nullptr;
}
bool ProgramFrameTasks::DetectedNextQualifies() const {
    const platform::CriticalSectionLock lock(core::TaskLock);
    const nav::CTaskPoint* next = nav::g_taskLegPoints[1].load();
    return next != nullptr && next != nav::g_taskStartPoint.load();
}
bool ProgramFrameTasks::TargetHasNextLeg() const {
    const platform::CriticalSectionLock lock(core::TaskLock);
    const nav::CTaskPoint* target = nav::g_taskTargetPoint.load();
    return target != nullptr && target->next != nullptr;
}

bool ProgramFrameTasks::EditedTaskValid() const { return nav::g_defaultTask.IsValid(); }

// Activation stops and waits for the statistics worker, so it runs without
// TaskLock; only the queue and the zone copy are done under it.
void ProgramFrameTasks::ActivateEditedTask() {
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        nav::ClearQueueTaskPoints();
    }
    nav::CTask& edited = nav::g_defaultTask;
    nav::CTask* current = nav::g_currentTask.load();
    if (current == nullptr) {
        nav::ActivateTask(&edited, true);
        return;
    }
    bool useEdited = false;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        current->triangle = edited.triangle;
        if (current->triangle != 0 && edited.FindTriangleCorners() == 4) {
            edited.ownedCopy = 1;
            useEdited = true;
        } else if (current->points.size() == edited.points.size()) {
            for (std::size_t i = 0; i < edited.points.size(); ++i)
                current->points[i]->TakeZoneShape(*edited.points[i]);
        }
    }
    nav::ActivateTask(useEdited ? &edited : current, true);
}

// The statistics worker takes TaskLock for every leg: it is stopped and
// waited for first, without the lock; then the flown task is forgotten
// under the lock, so navigation never sees a freed point.
void ProgramFrameTasks::CancelTaskSelection() {
    if (const auto link = nav::GetTaskStatisticsLink()) link->Stop(true);
    nav::g_bAutodetectPrevPrompt = 0;
    nav::DeleteCopiedCurrentTask();
    nav::SelectQueueWaypoint(QueueIndex());
}

bool ProgramFrameTasks::TaskListEmpty() const { return nav::g_taskList.empty(); }
void ProgramFrameTasks::SaveTaskFile(const std::wstring& path) {
    nav::SaveTaskFile(path, nav::g_taskList);
}
void ProgramFrameTasks::LoadTaskFile(const std::wstring& path) {
    nav::LoadTaskFile(path, nav::g_taskList);
}

}  // namespace frame
