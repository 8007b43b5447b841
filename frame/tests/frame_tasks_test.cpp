// The frame's task commands over the program's real queue and task: queue
// steps, and task selection and cancelling while the fix-processing thread
// navigates and posts. Meant to run under ThreadSanitizer as well
// (-DKV_TSAN=ON); elsewhere it checks that nothing crashes and the links
// stay consistent.

#include "frame/frame_tasks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "nav/current_position.h"
#include "nav/task_statistics.h"
#include "nav/tests/task_test_support.h"
#include "platform/ui_post.h"
#include "services/shared_locks.h"

namespace {

using nav::testing::At;
using nav::testing::Offset;

const nav::WaypointRecord kStart = At(45.0, 10.0, L"S");
const nav::WaypointRecord kTurn = Offset(kStart, 0.0, 10.0);
const nav::WaypointRecord kFinish = Offset(kTurn, 90.0, 10.0);

std::unique_ptr<nav::CTask> BaseTask() {
    auto task = nav::testing::MakeTask({kStart, kTurn, kFinish});
    nav::testing::MakeStartLine(*task->points[0], 2.0F, 0.0F);
    nav::testing::MakeCylinder(*task->points[1], nav::kRoleOrdinary, 1.0F, 1);
    nav::testing::MakeCylinder(*task->points[2], nav::kRoleFinish, 1.0F);
    return task;
}

TEST(FrameTasksTest, QueueStepsWrapAndMoveTheDestination) {
    nav::testing::TaskStateScope state;
    for (const wchar_t* name : {L"A", L"B", L"C"}) nav::GoToWaypoint(At(45.0, 10.0, name));
    frame::ProgramFrameTasks tasks;
    ASSERT_EQ(tasks.QueueHighest(), 2);
    ASSERT_EQ(tasks.QueueIndex(), 2);
    EXPECT_EQ(tasks.StepQueue(+1), L"A");
    EXPECT_EQ(tasks.QueueIndex(), 0);
    EXPECT_EQ(tasks.StepQueue(-1), L"C");
    EXPECT_EQ(tasks.StepQueue(-1), L"B");
    const platform::CriticalSectionLock lock(core::TaskLock);
    EXPECT_EQ(nav::g_destination.name.View(), L"B");
}

TEST(FrameTasksTest, SelectingAndCancellingWhileTheFixThreadNavigates) {
    nav::testing::TaskStateScope state;
    platform::ScopedRecordingUiPost posts;
    nav::InstallTaskStatistics();
    frame::ProgramFrameTasks tasks;

    std::atomic<bool> stop{false};
    std::thread fixThread([&] {
        for (int step = 0; !stop.load(); ++step) {
            const nav::WaypointRecord fix = Offset(kStart, 0.0, 0.1 * (step % 200));
            nav::UpdateTaskNavigation(nav::g_currentTask.load(), &fix, 1.0F + step * 0.01F);
            // What it tells the frame goes by message, never by a call.
            platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_APP_TASKTARGETSHOWN,
                                        2, 0);
        }
    });

    for (int round = 0; round < 20; ++round) {
        nav::g_defaultTask = *BaseTask();
        ASSERT_TRUE(tasks.EditedTaskValid());
        tasks.ActivateEditedTask();
        EXPECT_TRUE(tasks.HasCurrentTask());
        EXPECT_TRUE(tasks.NavigationActive());
        tasks.ActivateEditedTask();  // the current task again, with the edited zones
        tasks.CancelTaskSelection();
        EXPECT_FALSE(tasks.HasCurrentTask());
        EXPECT_FALSE(tasks.NavigationActive());
    }
    stop = true;
    fixThread.join();
    nav::StopTaskStatsThreadsAndWait(5000);
    nav::g_defaultTask = nav::CTask();
}

}  // namespace
