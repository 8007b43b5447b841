#include "nav/task_activation.h"

#include <algorithm>
#include <memory>
#include <string>

#include "nav/optimised_path.h"
#include "nav/settings_values.h"
#include "nav/task_navigation.h"
#include "platform/critical_section.h"
#include "platform/message_box.h"
#include "resources/ids/strings_frame.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"
#include "texts/display_texts.h"

namespace nav {
namespace {

// The navigation's own copy of the flown task (g_currentTask when it is
// not adopted). Under core::TaskLock.
std::unique_ptr<CTask>& OwnedTask() {
    static std::unique_ptr<CTask> task;
    return task;
}

void ClearPublishedPoints() {
    g_taskTargetPoint = nullptr;
    g_taskStartPoint = nullptr;
    g_taskFinishPoint = nullptr;
    g_taskBeforeFinishPoint = nullptr;
    g_taskDisplayPoint = nullptr;
    g_faiAreaPoint = nullptr;
    for (auto& point : g_taskLegPoints)
        point = nullptr;
}

// The previous-point prompt needs the finish's altitude: without it the
// prompt is switched off. True when the pilot is to be told.
bool DropPromptWithoutFinishAltitude(const CTaskPoint* finish) {
    if (g_bAutodetectPrevPrompt.load() == 0 || finish == nullptr || finish->altitudeKnown != 0) {
        return false;
    }
    g_bAutodetectPrevPrompt = 0;
    return true;
}

void ShowNoFinishAltitudeBox() {
    platform::ShowMessageBox(nullptr, core::LoadResourceString(ids::kIdsMissingPointText),
                             core::LoadResourceString(ids::kIdsMissingPointCaption),
                             platform::mb::kIconHand | platform::mb::kTopmost);
}

// Makes `task` the current task: itself when it is already current, a copy
// when it asks for one, else the task itself. Under TaskLock.
void TakeCurrentTask(CTask* task) {
    if (task == g_currentTask.load()) return;  // activated again: keep it as it is
    ClearQueueTaskPoints();                    // the queue must not keep points that may go
    ClearPublishedPoints();
    std::unique_ptr<CTask>& owned = OwnedTask();
    if (task->ownedCopy != 0) {
        if (!owned) owned = std::make_unique<CTask>();
        *owned = *task;
        g_currentTask = owned.get();
        g_currentTaskAdopted = nullptr;
    } else {
        g_currentTask = task;
        g_currentTaskAdopted = task;
        owned.reset();
    }
}

// A closed triangle of four counted points gets a turnpoint at the finish,
// so that the way back to the start is a leg of its own.
void AddTriangleClosingPoint(CTask& task) {
    CTaskPoint* finish = g_taskFinishPoint.load();
    if (finish == nullptr) return;
    auto closing = std::make_unique<CTaskPoint>(*finish);
    closing->pointKind = kKindTurnpoint;
    closing->role = kRoleOrdinary;
    closing->sectorMode = 0;
    closing->hasCylinder = 1;
    closing->cylinderRadius = 0.5F;
    closing->hasSector = 0;
    closing->sectorInnerRadius = 0.0F;
    closing->notCounted = 0;
    closing->SetQueueSlot(kNoQueueSlot);
    CTaskPoint* before = finish->previous;
    closing->previous = before;
    closing->next = finish;
    if (before != nullptr) before->next = closing.get();
    finish->previous = closing.get();
    g_taskBeforeFinishPoint = closing.get();
    const auto at = task.points.begin() + task.IndexOf(finish);
    task.points.insert(at, std::move(closing));
    ComputeTaskLegs(task, false, true, true);
}

// LinkTaskPoints; `tell` is set when the pilot is to be told that the
// previous-point prompt went off for want of a finish altitude.
int LinkPoints(CTask& task, bool& tell) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    const int n = static_cast<int>(task.points.size()) - (task.extraFinish != 0 ? 1 : 0);
    const int first = task.extraStart != 0 ? 1 : 0;
    ClearPublishedPoints();
    if ((task.extraStart != 0 && n < 3) || n <= first) return 0;

    task.ResetProgress();
    for (const auto& point : task.points)
        point->previous = point->next = nullptr;
    CTaskPoint* start = task.points[static_cast<std::size_t>(first)].get();
    CTaskPoint* last = start;
    for (int i = first + 1; i < n; ++i) {
        CTaskPoint* point = task.points[static_cast<std::size_t>(i)].get();
        point->previous = last;
        last->next = point;
        last = point;
    }
    g_taskStartPoint = start;
    g_taskTargetPoint = start;
    g_taskDisplayPoint = start;
    g_taskFinishPoint = last;
    g_taskBeforeFinishPoint = last->previous;

    g_bAutodetectNextPrompt = 0;
    tell = DropPromptWithoutFinishAltitude(last) || tell;
    if (g_bAutodetectPrevPrompt.load() != 0) {
        g_taskLegPoints[0] = last;
        g_taskLegPoints[1] = last->previous;
    } else {
        g_taskLegPoints[0] = start->next;
        g_taskLegPoints[1] = start;
        g_taskLegPoints[2] = start;
    }
    return last->altitudeKnown;
}

}  // namespace

int LinkTaskPoints(CTask& task) {
    bool tell = false;
    const int known = LinkPoints(task, tell);
    if (tell) ShowNoFinishAltitudeBox();
    return known;
}

int ActivateTask(CTask* task, bool loadQueue) {
    if (const auto stats = GetTaskStatisticsLink()) stats->Stop(/*wait=*/true);
    if (task == nullptr) return g_taskNavigationActive.load();
    int active = 0;
    bool tellNoFinishAltitude = false;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        for (auto& point : g_taskLegPoints)
            point = nullptr;
        const int triangle = task->triangle;
        TakeCurrentTask(task);
        CTask& current = *g_currentTask.load();
        current.triangle = triangle;

        // Any box waits until TaskLock is released.
        g_finishAltitudeKnown = LinkPoints(current, tellNoFinishAltitude);
        {
            const platform::CriticalSectionLock textLock(glide::DisplayTextLock);
            TaskDistanceText.Set(FormatTaskDistance(0.0F));
        }
        if (current.triangle != 0 && current.FindTriangleCorners() == 4) {
            AddTriangleClosingPoint(current);
        }
        if (loadQueue) {
            LoadTaskIntoQueue(current);
            if (const auto hook = GetTaskMapHook()) hook->ShowHiddenTaskPanel();
        }
        if (CTaskPoint* start = g_taskStartPoint.load()) OptimiseTaskPath(start, 2);
        BuildTaskZoneElements(current);
        g_bAutodetectNextPrompt = 0;
        tellNoFinishAltitude =
            DropPromptWithoutFinishAltitude(g_taskFinishPoint.load()) || tellNoFinishAltitude;
        active = current.IsValid() ? 1 : 0;
        g_taskNavigationActive = active;
    }
    if (tellNoFinishAltitude) ShowNoFinishAltitudeBox();
    if (active != 0) {
        if (const auto stats = GetTaskStatisticsLink()) stats->Start(nullptr);
    }
    return active;
}

void BuildTaskZoneElements(CTask& task) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    g_taskZoneElements.clear();
    const std::size_t first = task.extraStart != 0 ? 1 : 0;
    const std::size_t end =
        task.points.size() - (task.extraFinish != 0 && !task.points.empty() ? 1 : 0);
    for (std::size_t i = first; i < end; ++i)
        task.points[i]->BuildZoneElements(g_taskZoneElements);

    for (const auto& point : task.points)
        point->faiArea = nullptr;
    g_faiAreaPoint = nullptr;
    const auto hook = GetTaskMapHook();
    FaiAreaElement* area = hook ? hook->FaiArea() : nullptr;
    if (area != nullptr) area->Reset();
    if (task.triangle == 0 || task.FindTriangleCorners() == 0 || area == nullptr) return;
    const auto& corners = task.corners;
    area->BuildOutline(corners[2]->target, corners[0]->target, corners[1]->target);
    corners[1]->faiArea = area;
    g_faiAreaPoint = corners[1];
}

void ClearTaskZoneElements() {
    const platform::CriticalSectionLock lock(core::TaskLock);
    g_taskZoneElements.clear();
}

void DeleteCopiedCurrentTask() {
    const platform::CriticalSectionLock lock(core::TaskLock);
    ClearQueueTaskPoints();
    ClearPublishedPoints();
    g_taskNavigationActive = 0;
    g_currentTask = nullptr;
    g_currentTaskAdopted = nullptr;
    OwnedTask().reset();
}

}  // namespace nav
