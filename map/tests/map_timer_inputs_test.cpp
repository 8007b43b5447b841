// What the timer reads of the task: nothing without a flown task or an
// altitude; the pressure altitude before the GPS one; the start point as
// the point flown to means "before the start"; the published limits.
#include "map/map_timer_inputs.h"

#include <gtest/gtest.h>

#include "gps/nav_fix.h"
#include "nav/task_limits.h"
#include "nav/tests/task_test_support.h"

namespace map {
namespace {

using nav::testing::At;
using nav::testing::MakeTask;
using nav::testing::TaskStateScope;

TEST(TaskWarningInputs, FromTheFlownTaskTheAltitudeAndThePublishedLimits) {
    auto task = MakeTask({At(46.5, 6.5, L"Start"), At(47.0, 7.0, L"Turn"), At(47.5, 7.5, L"Finish")});
    const TaskStateScope scope;
    gps::ResetNavFix();
    nav::g_warningAltitudeBefore = 4800.0F;
    nav::g_warningAltitudeOnTask = nav::kNoAltitudeLimit;

    EXPECT_FALSE(TaskWarningNow()) << "no task";
    nav::g_currentTask = task.get();
    nav::g_taskNavigationActive = 1;
    nav::g_taskStartPoint = task->points[0].get();
    nav::g_taskTargetPoint = task->points[0].get();
    EXPECT_FALSE(TaskWarningNow()) << "no altitude known";

    gps::ChangeNav([&](gps::NavSnapshot& nav) {
        nav.gpsAltitude = 5000.0F;
        nav.gpsAltitudeValid = 1;
    });
    std::optional<TaskWarningInput> in = TaskWarningNow();
    ASSERT_TRUE(in);
    EXPECT_EQ(in->altitude, 5000.0F);
    EXPECT_TRUE(in->beforeStart);
    EXPECT_EQ(in->limits.Limit(true), 4800.0F);
    EXPECT_EQ(in->limits.Limit(false), nav::kNoAltitudeLimit);

    gps::ChangeNav([&](gps::NavSnapshot& nav) {
        nav.pressureAltitude = 4700.0F;
        nav.pressureKnown = true;
    });
    nav::g_taskTargetPoint = task->points[1].get();
    in = TaskWarningNow();
    ASSERT_TRUE(in);
    EXPECT_EQ(in->altitude, 4700.0F);
    EXPECT_FALSE(in->beforeStart);

    nav::g_taskNavigationActive = 0;
    EXPECT_FALSE(TaskWarningNow()) << "a task chosen but not flown";

    nav::g_taskStartPoint = nullptr;
    nav::g_taskTargetPoint = nullptr;
    nav::g_warningAltitudeBefore = nav::kNoAltitudeLimit;
    gps::ResetNavFix();
}

}  // namespace
}  // namespace map
