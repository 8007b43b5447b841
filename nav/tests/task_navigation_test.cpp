#include "nav/task_navigation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/ui_post.h"
#include "services/shared_locks.h"
#include "task_test_support.h"

namespace nav {
namespace {

using testing::At;
using testing::Offset;

const WaypointRecord kNavigationStart = At(45.0, 10.0, L"Start");
const WaypointRecord kNavigationTurn = Offset(kNavigationStart, 0.0, 20.0);
const WaypointRecord kNavigationFinish = Offset(kNavigationTurn, 90.0, 20.0);

class TaskNavigationTest : public ::testing::Test {
  protected:
    // Start line 4 km wide across the first leg (due north), a 1 km
    // turnpoint cylinder 20 km north, a 1 km finish cylinder 20 km east of it.
    void ActivateOutAndAcross() {
        auto task = testing::MakeTask({kNavigationStart, kNavigationTurn, kNavigationFinish});
        testing::MakeStartLine(*task->points[0], 2.0F, 0.0F);
        testing::MakeCylinder(*task->points[1], kRoleOrdinary, 1.0F);
        testing::MakeCylinder(*task->points[2], kRoleFinish, 1.0F);
        ASSERT_EQ(ActivateTask(task.get(), false), 1);
    }

    void Fly(const WaypointRecord& at, float hours, float speedKt = 60.0F,
             float altitude = 3000.0F) {
        NavigationFix fix{at, hours, speedKt, altitude};
        UpdateTaskNavigation(g_currentTask.load(), fix);
    }

    CTask& Task() const { return *g_currentTask.load(); }
    CTaskPoint& PointAt(std::size_t index) const { return *Task().points[index]; }

    std::vector<unsigned> Messages() const {
        std::vector<unsigned> messages;
        for (const auto& record : posts_->Records())
            messages.push_back(record.message);
        return messages;
    }

    testing::TaskStateScope state_;
    platform::ScopedRecordingUiPost posts_;
};

TEST_F(TaskNavigationTest, StartTurnpointFinish) {
    ActivateOutAndAcross();
    CTaskPoint& start = PointAt(0);
    CTaskPoint& turn = PointAt(1);
    CTaskPoint& finish = PointAt(2);

    Fly(Offset(kNavigationStart, 180.0, 0.5), 1.00F);  // behind the line: nothing yet
    EXPECT_EQ(g_taskTargetPoint.load(), &start);
    Fly(Offset(kNavigationStart, 0.0, 0.5), 1.01F);  // across it: the start
    EXPECT_EQ(start.timeReached, 1.01F);
    EXPECT_EQ(g_taskTargetPoint.load(), &turn);
    EXPECT_EQ(g_taskDisplayPoint.load(), &turn);

    Fly(Offset(kNavigationStart, 0.0, 10.0), 1.11F);
    EXPECT_NEAR(turn.distanceFlown, 10.0F, 0.6F);
    EXPECT_NEAR(turn.legSpeed, 10.0F / 0.1F / 1.852F, 3.0F);
    Fly(Offset(kNavigationTurn, 180.0, 0.5), 1.20F);  // into the cylinder: not passed yet
    EXPECT_EQ(g_taskTargetPoint.load(), &turn);
    EXPECT_EQ(turn.timeReached, 1.20F);
    Fly(Offset(kNavigationTurn, 0.0, 1.5), 1.22F);  // out of it: passed
    EXPECT_EQ(g_taskTargetPoint.load(), &finish);
    EXPECT_NE(turn.working.flags & kReachedFlag, 0U);
    EXPECT_NEAR(Task().distanceToLastPoint, 19.5F, 0.7F);

    Fly(Offset(kNavigationFinish, 270.0, 5.0), 1.40F);
    EXPECT_EQ(g_taskTargetPoint.load(), &finish);
    Fly(Offset(kNavigationFinish, 270.0, 0.5), 1.50F);  // into the finish: reached
    EXPECT_EQ(g_taskTargetPoint.load(), nullptr);
    EXPECT_NE(finish.working.flags & kReachedFlag, 0U);
    EXPECT_NEAR(Task().distanceToLastPoint, 19.5F + 19.5F, 1.0F);
    EXPECT_EQ(Messages(), (std::vector<unsigned>{WM_APP_TASKTARGETSHOWN, WM_APP_TASKTARGETSHOWN}));

    Fly(Offset(kNavigationFinish, 0.0, 5.0), 1.60F);  // nothing flown any more
    EXPECT_EQ(g_taskTargetPoint.load(), nullptr);
}

TEST_F(TaskNavigationTest, StartAboveTheLimitsPostsTheExcess) {
    g_maxStartSpeed = 100.0F;
    g_maxStartAltitude = 2000.0F;
    g_resetClock = 1;
    ActivateOutAndAcross();
    Fly(Offset(kNavigationStart, 180.0, 0.5), 1.0F);
    Fly(Offset(kNavigationStart, 0.0, 0.5), 1.01F, 105.0F, 3234.5F);
    const auto records = posts_->Records();
    ASSERT_EQ(records.size(), 2U);
    EXPECT_EQ(records[0].message, platform::WM_COMMAND);
    EXPECT_EQ(records[0].wParam, kCommandResetClock);
    EXPECT_EQ(records[1].window, platform::kMainFrameWindow);
    EXPECT_EQ(records[1].message, WM_APP_STARTLIMITS);
    EXPECT_EQ(records[1].wParam, 50U);
    EXPECT_EQ(records[1].lParam, 1234);
}

TEST_F(TaskNavigationTest, CrossingTheStartAgainRestartsTheTask) {
    ActivateOutAndAcross();
    Fly(Offset(kNavigationStart, 180.0, 0.5), 1.0F);
    Fly(Offset(kNavigationStart, 0.0, 0.5), 1.01F);
    Fly(Offset(kNavigationStart, 0.0, 1.5), 1.05F);
    EXPECT_GT(Task().distanceFlown, 0.0F);
    Fly(Offset(kNavigationStart, 180.0, 0.5), 1.10F);  // back behind the line
    Fly(Offset(kNavigationStart, 0.0, 0.5), 1.12F);    // and across again
    EXPECT_EQ(PointAt(0).timeReached, 1.12F);
    EXPECT_EQ(g_taskTargetPoint.load(), &PointAt(1));
    EXPECT_EQ(Task().distanceToLastPoint, 0.0F);
    EXPECT_EQ(Task().distanceFlown, 0.0F);
}

TEST_F(TaskNavigationTest, NoElapsedTimeKeepsTheSpeeds) {
    ActivateOutAndAcross();
    Fly(Offset(kNavigationStart, 180.0, 0.5), 1.0F);
    Fly(Offset(kNavigationStart, 0.0, 0.5), 1.0F);
    Fly(Offset(kNavigationStart, 0.0, 5.0), 1.0F);  // the same second
    EXPECT_EQ(PointAt(1).legSpeed, 0.0F);
    EXPECT_EQ(Task().taskSpeed, 0.0F);
    Fly(Offset(kNavigationStart, 0.0, 10.0), 1.1F);
    EXPECT_GT(PointAt(1).legSpeed, 40.0F);
    EXPECT_TRUE(std::isfinite(Task().taskSpeed));
}

TEST_F(TaskNavigationTest, ClosedTriangleFinishesInTheFirstCorner) {
    const WaypointRecord home = At(47.0, 8.0, L"Home");
    const WaypointRecord north = Offset(home, 20.0, 100.0);
    const WaypointRecord east = Offset(home, 80.0, 100.0);
    auto task = testing::MakeTask({home, north, east, home});
    testing::MakeStartLine(*task->points[0], 2.0F, 20.0F);
    testing::MakeCylinder(*task->points[1], kRoleOrdinary, 1.0F);
    testing::MakeCylinder(*task->points[2], kRoleOrdinary, 1.0F);
    testing::MakeCylinder(*task->points[3], kRoleFinish, 3.0F);
    task->triangle = 1;
    ASSERT_EQ(ActivateTask(task.get(), false), 1);
    ASSERT_EQ(Task().points.size(), 5U);  // the closing turnpoint before the finish
    CTaskPoint* closing = Task().corners[0];
    ASSERT_EQ(closing, Task().points[3].get());
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        g_activeTaskPoint = closing;
    }

    Fly(Offset(home, 200.0, 0.5), 1.0F);
    Fly(Offset(home, 20.0, 0.5), 1.1F);
    Fly(Offset(north, 200.0, 0.5), 2.0F);
    Fly(Offset(north, 20.0, 1.5), 2.1F);
    Fly(Offset(east, 260.0, 0.5), 3.0F);
    Fly(Offset(east, 80.0, 1.5), 3.1F);
    ASSERT_EQ(g_taskTargetPoint.load(), closing);
    Fly(Offset(home, 45.0, 0.3), 4.0F);  // inside the closing cylinder and the finish
    EXPECT_EQ(g_taskTargetPoint.load(), nullptr);
    EXPECT_EQ(g_taskDisplayPoint.load(), nullptr);
    EXPECT_NE(Task().points[4]->working.flags & kReachedFlag, 0U);
    const auto records = posts_->Records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().message, platform::WM_COMMAND);
    EXPECT_EQ(records.back().wParam, kCommandTriangleClosed);
    EXPECT_NEAR(Task().achievedDistance, Task().distanceToLastPoint, 1e-3F);
    EXPECT_GT(Task().distanceToLastPoint, 250.0F);
}

TEST_F(TaskNavigationTest, OtherTasksAndInactiveNavigationAreIgnored) {
    ActivateOutAndAcross();
    auto other = testing::MakeTask({kNavigationStart, kNavigationTurn});
    Fly(Offset(kNavigationStart, 180.0, 0.5), 1.0F);
    UpdateTaskNavigation(other.get(),
                         NavigationFix{Offset(kNavigationStart, 0.0, 0.5), 1.01F, 60.0F, 0.0F});
    EXPECT_EQ(PointAt(0).timeReached, kNotReached);
    g_taskNavigationActive = 0;
    Fly(Offset(kNavigationStart, 0.0, 0.5), 1.01F);
    EXPECT_EQ(PointAt(0).timeReached, kNotReached);
}

}  // namespace
}  // namespace nav
