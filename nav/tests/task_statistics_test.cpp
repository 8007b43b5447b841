// Task statistics: one leg's estimate against hand-computed values, the
// texts of a single pass (time to target with and without climb, finish
// time, speed, arrival past midnight), the repeating worker before the
// start, a timed point that is gone, a speed that keeps its value when no
// time is left, stop semantics and ownership, and starting and stopping
// while other threads read and steer the worker.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <thread>

#include "core/settings_values.h"
#include "glide/glide_context.h"
#include "glide/polar.h"
#include "glide/settings_values.h"
#include "gps/nav_fix.h"
#include "nav/current_position.h"
#include "nav/task_model.h"
#include "nav/task_statistics.h"
#include "services/shared_locks.h"
#include "testing/units.h"
#include "testing/wait_until.h"
#include "texts/display_texts.h"

namespace nav {
namespace {

using test_support::kRadiansPerDegree;

using namespace std::chrono_literals;

std::array<std::wstring, 4> StatisticsTexts() {
    const platform::CriticalSectionLock lock(glide::DisplayTextLock);
    return {glide::TaskStatText[0].Get(), glide::TaskStatText[1].Get(),
            glide::TaskStatText[2].Get(), glide::TaskStatText[3].Get()};
}

void SetTexts(std::wstring_view text) {
    const platform::CriticalSectionLock lock(glide::DisplayTextLock);
    for (glide::DisplayText& t : glide::TaskStatText)
        t.Set(text);
}

platform::SystemTime TenPastEleven() {
    platform::SystemTime time;
    time.hour = 23;
    time.minute = 10;
    return time;
}

// Start, two turnpoints and the finish along the equator, 0.45 degrees
// apart, each leg taken as 50 km; the polar 4 - 0.12 v + 0.0012 v^2 at
// MacCready 2 flies 70.71 kt with 1.5147 kt sink, no wind.
class TaskStatisticsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        glide::ChangePolarSettings([](glide::PolarSettings& settings) {
            settings.inUse.a = 4.0F;
            settings.inUse.b = -0.12F;
            settings.inUse.c = 0.0012F;
            settings.inUse.valid = true;
            settings.inUse.usePolar = true;
        });
        gps::ResetNavFix();  // still air at sea level, not circling
        core::g_macCready = 2.0F;
        core::g_windCorrection = 0;
        core::g_unitSpeed = 0;
        glide::g_patternAltitude = 1000.0F;

        for (int i = 0; i < 4; ++i) {
            auto point = std::make_unique<CTaskPoint>(WaypointRecord(0.0, -0.45 * i, true));
            point->role = i == 0 ? kRoleStart : i == 3 ? kRoleFinish : kRoleOrdinary;
            point->pointKind = i == 1 || i == 2 ? kKindTurnpoint : kKindControlPoint;
            point->legDistance = i < 3 ? 50.0F : 0.0F;
            point->legCourse = 90.0;
            task.AddPoint(std::move(point));
        }
        for (int i = 0; i < 4; ++i) {
            if (i > 0) Point(i).previous = &Point(i - 1);
            if (i < 3) Point(i).next = &Point(i + 1);
        }
        g_currentTask = &task;
        g_taskStartPoint = &Point(0);
        g_taskTargetPoint = &Point(1);
        g_taskFinishPoint = &Point(3);
        // 0.25 degrees east of the start, 22.26 km short of the first turnpoint.
        ResetCurrentPosition(0.0, -0.25 * kRadiansPerDegree);
        SetTaskStatsLocalClock(&TenPastEleven);
        SetTexts(L"-");
    }

    void TearDown() override {
        EXPECT_TRUE(StopTaskStatsThreadsAndWait(10000));
        g_currentTask = nullptr;
        g_taskStartPoint = nullptr;
        g_taskTargetPoint = nullptr;
        g_taskFinishPoint = nullptr;
        SetTaskStatsLocalClock(nullptr);
    }

    CTaskPoint& Point(int index) { return *task.points[static_cast<std::size_t>(index)]; }

    CTask task;
};

TEST_F(TaskStatisticsTest, OneLegAgainstHandComputedValues) {
    const glide::GlideContext context = glide::CurrentGlideContext();
    LegEstimate sums;
    AddLegEstimate(Point(1), nullptr, context, CopyMapFix(), sums);
    EXPECT_FLOAT_EQ(sums.distance, 50.0F);
    EXPECT_NEAR(sums.time, 0.38181, 1e-4);     // 50 / 1.852 / 70.71
    EXPECT_NEAR(sums.altitude, 3513.96, 0.1);  // 50 x 1.5147 / 70.71 x 3280.8
    EXPECT_TRUE(sums.flyable);

    // The leg into the timed point starts at the current position.
    LegEstimate fromHere;
    AddLegEstimate(Point(0), &Point(1), context, CopyMapFix(), fromHere);
    EXPECT_NEAR(fromHere.distance, 22.264, 1e-3);

    // Never below the point's own altitude plus the safety altitude.
    Point(2).altitude = 9000.0F;
    LegEstimate high;
    AddLegEstimate(Point(2), nullptr, context, CopyMapFix(), high);
    EXPECT_FLOAT_EQ(high.altitude, 10000.0F);

    // Nothing once the task is finished.
    g_taskTargetPoint = nullptr;
    LegEstimate none;
    AddLegEstimate(Point(1), nullptr, context, CopyMapFix(), none);
    EXPECT_EQ(none.distance, 0.0F);
}

TEST_F(TaskStatisticsTest, SinglePassWritesTimesSpeedAndArrivalPastMidnight) {
    TaskStatsHolder holder;
    EXPECT_EQ(StartTaskStatsThread(holder, true, true, &Point(1)), kTaskStatsWorkerFrees);
    EXPECT_EQ(holder, nullptr);
    // 22.26 km to the first turnpoint, then 100 km; 9593 ft needed, climbed
    // at 2 kt from the safety altitude: 1.650 h in all, 23:10 + 1:39.
    EXPECT_EQ(StatisticsTexts(),
              (std::array<std::wstring, 4>{L"v40.0", L"0h10", L"1h39", L"e0:49"}));
    EXPECT_NEAR(g_taskNeededAltitude, 9592.6, 0.5);
    EXPECT_NEAR(g_taskNeededTime, 1.6497, 1e-3);

    // At 1000 ft the climb still missing for the first leg counts too.
    ResetCurrentPosition(0.0, -0.25 * kRadiansPerDegree);
    {
        const platform::CriticalSectionLock lock(core::MapLock);
        g_mapFix.altitude = 1000.0F;
        g_mapFix.altitudeKnown = true;
    }
    StartTaskStatsThread(holder, false, true, &Point(1));
    EXPECT_EQ(StatisticsTexts()[1], L"0h18");
}

TEST_F(TaskStatisticsTest, BeforeTheStartOnlyASinglePassShowsNumbers) {
    StartTaskStatsThread(g_taskStatsControl, true, false, nullptr);  // from the start
    EXPECT_TRUE(test_support::WaitUntil([] { return StatisticsTexts()[3] == L"e??:??"; }));
    EXPECT_EQ(StatisticsTexts(),
              (std::array<std::wstring, 4>{L"v??.?", L"?h??", L"?h??", L"e??:??"}));
    StopTaskStatsThread(g_taskStatsControl, true);

    TaskStatsHolder holder;
    StartTaskStatsThread(holder, false, true, nullptr);
    // Three legs, 11542 ft climbed from the start's safety altitude.
    EXPECT_EQ(StatisticsTexts()[0], L"v40.0");
    EXPECT_EQ(StatisticsTexts()[2], L"2h01");
}

TEST_F(TaskStatisticsTest, WithoutATimedPointTheTimesReadZero) {
    g_taskStartPoint = nullptr;
    TaskStatsHolder holder;
    EXPECT_EQ(StartTaskStatsThread(holder, false, true, nullptr), kTaskStatsWorkerFrees);
    EXPECT_EQ(StatisticsTexts()[1], L"0h00");
    EXPECT_EQ(StatisticsTexts()[2], L"0h00");
    EXPECT_EQ(g_taskNeededTime, 0.0F);
}

TEST_F(TaskStatisticsTest, NoTimeLeftKeepsThePreviousSpeed) {
    // At the finish, timed on it, nothing left to fly or climb.
    ResetCurrentPosition(0.0, -1.35 * kRadiansPerDegree);
    SetTexts(L"v12.3");
    TaskStatsHolder holder;
    StartTaskStatsThread(holder, false, true, &Point(3));
    EXPECT_EQ(g_taskNeededTime, 0.0F);
    EXPECT_EQ(StatisticsTexts()[0], L"v12.3");
    EXPECT_EQ(StatisticsTexts()[2], L"0h00");
}

TEST_F(TaskStatisticsTest, StopsOwnOnlyTheirBlock) {
    TaskStatsHolder holder;
    ASSERT_EQ(StartTaskStatsThread(holder, true, false, &Point(1)), 1);
    const TaskStatsHolder first = holder;

    // Without waiting: the holder is free at once, the worker lets go itself.
    StopTaskStatsThread(holder, false);
    EXPECT_EQ(holder, nullptr);
    ASSERT_EQ(StartTaskStatsThread(holder, true, false, &Point(1)), 1);
    const TaskStatsHolder second = holder;
    ASSERT_TRUE(test_support::WaitUntil([&first] { return first->done.load(); }));
    EXPECT_EQ(first->exitCode, kTaskStatsWorkerFrees);
    EXPECT_EQ(holder, second);  // the finished worker left the new block alone

    // Waiting: the stopper takes the block over.
    StopTaskStatsThread(holder, true);
    EXPECT_EQ(holder, nullptr);
    EXPECT_TRUE(second->done);
    EXPECT_EQ(second->exitCode, kTaskStatsStopperFrees);
}

TEST_F(TaskStatisticsTest, AWorkerEndingByItselfClearsOnlyItsOwnHolder) {
    InstallTaskStatistics();
    const auto link = GetTaskStatisticsLink();
    link->Start(&Point(1));
    const TaskStatsHolder running = [] {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        return g_taskStatsControl;
    }();
    ASSERT_NE(running, nullptr);
    {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        EXPECT_EQ(link->TimedPoint(), &Point(1));
        link->SetTimedPoint(nullptr);  // the task is finished
    }
    ASSERT_TRUE(test_support::WaitUntil([&running] { return running->done.load(); }));
    const platform::CriticalSectionLock lock(glide::DisplayTextLock);
    EXPECT_EQ(g_taskStatsControl, nullptr);
    EXPECT_EQ(glide::TaskStatText[1].Get(), L"0h00");
}

TEST_F(TaskStatisticsTest, AWaitingStopUnderTheTaskLockStillEnds) {
    StartTaskStatsThread(g_taskStatsControl, true, false, &Point(1));
    const platform::CriticalSectionLock lock(core::TaskLock);
    StopTaskStatsThread(g_taskStatsControl, true);
    EXPECT_EQ(g_taskStatsControl, nullptr);
}

TEST_F(TaskStatisticsTest, StartsAndStopsWhileOthersReadAndSteer) {
    InstallTaskStatistics();
    std::atomic<bool> done{false};
    std::thread reader([&done, this] {
        for (int i = 0; !done; ++i) {
            static_cast<void>(StatisticsTexts());
            static_cast<void>(g_taskNeededTime.load());
            const platform::CriticalSectionLock lock(glide::DisplayTextLock);
            const auto link = GetTaskStatisticsLink();
            if (link->TimedPoint() != nullptr) link->SetTimedPoint(&Point(1 + i % 2));
        }
    });
    std::thread viewer([&done, this] {
        while (!done) {
            TaskStatsHolder holder;
            StartTaskStatsThread(holder, false, true, &Point(2));
        }
    });
    const auto link = GetTaskStatisticsLink();
    for (int round = 0; round < 40; ++round) {
        link->Start(&Point(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 4));
        link->Stop(round % 2 == 0);
    }
    done = true;
    reader.join();
    viewer.join();
}

}  // namespace
}  // namespace nav
