// The fix-processing thread navigates while the UI thread activates,
// re-activates, edits and inserts into the flown task. Meant to run under
// ThreadSanitizer (build with -DKV_TSAN=ON); elsewhere it checks that
// nothing crashes and the task stays consistent.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "nav/task_activation.h"
#include "nav/task_navigation.h"
#include "nav/task_statistics.h"
#include "platform/ui_post.h"
#include "services/shared_locks.h"
#include "task_test_support.h"

namespace nav {
namespace {

using testing::At;
using testing::Offset;

const WaypointRecord kShortStart = At(45.0, 10.0, L"S");
const WaypointRecord kShortTurn = Offset(kShortStart, 0.0, 10.0);
const WaypointRecord kShortFinish = Offset(kShortTurn, 90.0, 10.0);

std::unique_ptr<CTask> BaseTask() {
    auto task = testing::MakeTask({kShortStart, kShortTurn, kShortFinish});
    testing::MakeStartLine(*task->points[0], 2.0F, 0.0F);
    testing::MakeCylinder(*task->points[1], kRoleOrdinary, 1.0F, 1);
    testing::MakeCylinder(*task->points[2], kRoleFinish, 1.0F);
    return task;
}

// A flight around the task: behind the start, across it, through the
// turnpoint and on to the finish, over and over.
WaypointRecord FixAt(int step) {
    switch (step % 6) {
        case 0:
            return Offset(kShortStart, 180.0, 0.5);
        case 1:
            return Offset(kShortStart, 0.0, 0.5);
        case 2:
            return Offset(kShortTurn, 180.0, 0.5);
        case 3:
            return Offset(kShortTurn, 20.0, 1.5);
        case 4:
            return Offset(kShortFinish, 270.0, 3.0);
        default:
            return Offset(kShortFinish, 270.0, 0.3);
    }
}

// Every point reachable along the links belongs to the current task.
bool LinksAreConsistent() {
    const platform::CriticalSectionLock lock(core::TaskLock);
    const CTask* task = g_currentTask.load();
    if (task == nullptr) return true;
    for (const CTaskPoint* p = g_taskStartPoint.load(); p != nullptr; p = p->next) {
        if (task->IndexOf(p) < 0) return false;
        if (p->next != nullptr && p->next->previous != p) return false;
    }
    return true;
}

TEST(TaskConcurrencyTest, NavigationRunsWhileTheTaskChanges) {
    testing::TaskStateScope state;
    platform::ScopedRecordingUiPost posts;
    InstallTaskStatistics();
    auto base = BaseTask();
    auto adoptable = BaseTask();
    adoptable->ownedCopy = 0;
    ActivateTask(base.get(), true);

    std::atomic<bool> stop{false};
    std::thread fixThread([&] {
        for (int step = 0; !stop.load(); ++step) {
            const WaypointRecord fix = FixAt(step);
            UpdateTaskNavigation(g_currentTask.load(), &fix, 1.0F + step * 0.01F);
        }
    });

    for (int round = 0; round < 20; ++round) {
        ActivateTask(base.get(), true);
        GoToWaypoint(At(45.05, 10.05 + round * 0.001, L"W"));
        int slot = 0;
        {
            const platform::CriticalSectionLock lock(core::TaskLock);
            slot = g_waypointQueue.current;
        }
        InsertQueueWaypointIntoTask(slot);
        {
            const platform::CriticalSectionLock lock(core::TaskLock);
            CTask& current = *g_currentTask.load();
            current.points[1]->cylinderRadius = 1.0F + round * 0.05F;
            ComputeTaskLegs(current, false, true, true);
        }
        ActivateTask(g_currentTask.load(), true);
        EXPECT_TRUE(LinksAreConsistent());
        ActivateTask(adoptable.get(), false);
        EXPECT_TRUE(LinksAreConsistent());
    }
    stop = true;
    fixThread.join();
    StopTaskStatsThreadsAndWait(5000);
    SetTaskStatisticsLink(nullptr);
    DeleteCopiedCurrentTask();  // lets go of the adopted task before it goes
}

}  // namespace
}  // namespace nav
