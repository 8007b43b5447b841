// The fix-processing thread carries the flown task along: a scripted flight
// across the start line starts the task.
#include "fix/position_texts.h"

#include <chrono>
#include <thread>

#include "fix/fix_processing_thread.h"
#include "fix/tests/fix_test_support.h"
#include "nav/tests/task_test_support.h"
#include "platform/ui_post.h"

namespace gps::testing {
namespace {

using namespace std::chrono_literals;

class TaskProgressTest : public ::testing::Test {
  protected:
    void SetUp() override { StartFromLoad(); }
    void TearDown() override { StopFixProcessing(2000); }

    platform::ScopedRecordingUiPost posts_;
    nav::testing::TaskStateScope taskState_;
};

TEST_F(TaskProgressTest, FlyingAcrossTheStartLineStartsTheTask) {
    // A 4 km start line across the first leg (due north) at 47.5 N 8.25 E,
    // a turnpoint 20 km north; the glider comes from 1 km south of the line.
    const nav::WaypointRecord start = nav::testing::At(47.5, 8.25, L"Start");
    auto task = nav::testing::MakeTask({start, nav::testing::Offset(start, 0.0, 20.0)});
    nav::testing::MakeStartLine(*task->points[0], 2.0F, 0.0F);
    nav::testing::MakeCylinder(*task->points[1], nav::kRoleFinish, 1.0F);
    ASSERT_EQ(nav::ActivateTask(task.get(), false), 1);
    nav::CTaskPoint* const startPoint = nav::g_taskTargetPoint.load();
    ASSERT_NE(startPoint, nullptr);

    FlightScript script(12 * 3600, 47.5 - 1.0 / 111.2, 8.25);
    script.Straight(120, 0.0, 50.0);  // 3 km north
    ASSERT_TRUE(StartFixProcessing());
    for (const ScriptedFix& fix : script.Fixes()) {
        ASSERT_TRUE(Receive(fix.rmc));
        ASSERT_TRUE(Receive(fix.gga));
        std::this_thread::sleep_for(1ms);  // let each fix be published
    }
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (nav::g_taskTargetPoint.load() == startPoint && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(5ms);

    EXPECT_NE(nav::g_taskTargetPoint.load(), startPoint);
    EXPECT_GT(startPoint->timeReached, 12.0F);
    EXPECT_LT(startPoint->timeReached, 12.0F + 120.0F / 3600.0F);
}

}  // namespace
}  // namespace gps::testing
