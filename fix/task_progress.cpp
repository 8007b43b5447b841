#include "fix/task_progress.h"

#include "gps/nav_fix.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/task_model.h"
#include "nav/task_navigation.h"

namespace gps {

void AdvanceTask() {
    if (nav::g_taskNavigationActive.load() == 0 || nav::g_taskTargetPoint.load() == nullptr) {
        return;
    }
    // A copy, so that the map lock is let go before the pass takes the task
    // lock (the task lock always comes first).
    const nav::WaypointRecord position = nav::CopyMapFix();
    nav::UpdateTaskNavigation(nav::g_currentTask.load(), &position, g_navFix.fixTimeHours.load());
}

}  // namespace gps
