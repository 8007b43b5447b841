#pragma once
// The task and leg lines of the position texts (glide::TaskText,
// glide::LegText): "Task:  123M   54.3kts" and the leg's distance and speed,
// each label from the settings loader (glide::g_positionTextLabels).
//
// Callers hold core::TaskLock (the task's points are read).

#include <atomic>

#include "nav/task_model.h"

namespace nav {

// The second form of the task line shows the distance still to fly instead
// of the task speed (the position page switches it).
inline std::atomic<int> g_taskTextShowsRest{0};

// TaskText in the form in force.
void WriteTaskText(const CTask& task);
// TaskText in the second form, whatever the form in force.
void WriteTaskTextWithRest(const CTask& task);
// LegText for the leg into target; the label alone without a target.
void WriteLegText(const CTaskPoint* target);

}  // namespace nav
