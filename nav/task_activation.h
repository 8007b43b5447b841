#pragma once
// Making a task the flown task, and changing it in flight.
//
// ActivateTask copies the task into the navigation's own copy (when the
// task asks to be copied) or adopts it, links its points into a leg chain,
// publishes the start, finish and target points, draws its zones, computes
// the optimised path and restarts the task statistics. Activating the
// current task again (the frame does so after an edit) keeps it and only
// starts it over.
//
// Every change of the current task and of the published points happens
// under core::TaskLock, which the navigation pass holds for its whole run.
// The statistics worker is stopped, and waited for, before TaskLock is
// taken, never while it is held.

#include "nav/task_model.h"

namespace nav {

// Activates task (with loadQueue, also queues its points); returns the new
// g_taskNavigationActive.
int ActivateTask(CTask* task, bool loadQueue);

// Links the task's points and publishes the task pointers; returns the
// finish's altitude-known flag (0 also for a task too short). Under TaskLock.
int LinkTaskPoints(CTask& task);

// Inserts the waypoint of queue slot `slot` into the flown task, as a
// turnpoint before the finish or, with "insertPOSTatFinish", as the new
// finish; the list and the links get it at the same place.
void InsertQueueWaypointIntoTask(int slot);

// Rebuilds g_taskZoneElements and the FAI area for the task; empties them.
void BuildTaskZoneElements(CTask& task);
void ClearTaskZoneElements();

// Exit: forgets the flown task, deleting it when it is the navigation's own
// copy.
void DeleteCopiedCurrentTask();

}  // namespace nav
