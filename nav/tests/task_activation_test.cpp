#include "nav/task_activation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/ui_post.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"
#include "task_test_support.h"

namespace nav {
namespace {

using testing::At;
using testing::Offset;

const WaypointRecord kStart = At(45.0, 10.0, L"S");
const WaypointRecord kTurn = Offset(kStart, 0.0, 20.0);
const WaypointRecord kFinish = Offset(kTurn, 90.0, 20.0);

class TaskActivationTest : public ::testing::Test {
  protected:
    TaskActivationTest() {
        SetTaskStatisticsLink(stats_);
        SetTaskMapHook(hook_);
    }

    static std::unique_ptr<CTask> ThreePoints() {
        WaypointRecord turn = kTurn;
        turn.name.Assign(L"T1");
        WaypointRecord finish = kFinish;
        finish.name.Assign(L"F");
        finish.altitude = 1200.0F;
        finish.altitudeKnown = true;
        auto task = testing::MakeTask({kStart, turn, finish});
        testing::MakeStartLine(*task->points[0], 2.0F, 0.0F);
        testing::MakeCylinder(*task->points[1], kRoleOrdinary, 1.0F);
        testing::MakeCylinder(*task->points[2], kRoleFinish, 1.0F);
        return task;
    }

    CTask& Current() const { return *g_currentTask.load(); }

    // The names of the used queue slots, and whether every task point in a
    // slot knows that slot.
    static std::vector<std::wstring> SlotNames() {
        const platform::CriticalSectionLock lock(core::TaskLock);
        std::vector<std::wstring> names;
        for (int slot = 0; slot <= g_waypointQueue.highest; ++slot) {
            const QueueSlot& entry = g_waypointQueue.slots[static_cast<std::size_t>(slot)];
            names.emplace_back(entry.record.name.View());
            if (entry.taskPoint != nullptr) {
                EXPECT_EQ(entry.taskPoint->QueueSlot(), slot);
            }
        }
        return names;
    }

    static std::vector<std::wstring> ListNames(const CTask& task) {
        std::vector<std::wstring> names;
        for (const auto& p : task.points)
            names.push_back(p->name);
        return names;
    }

    static std::vector<std::wstring> LinkedNames() {
        std::vector<std::wstring> names;
        for (const CTaskPoint* p = g_taskStartPoint.load(); p != nullptr; p = p->next) {
            names.push_back(p->name);
        }
        return names;
    }

    testing::TaskStateScope state_;
    platform::ScopedRecordingUiPost posts_;
    platform::ScopedRecordingSink boxes_;
    std::shared_ptr<testing::RecordingStatisticsLink> stats_ =
        std::make_shared<testing::RecordingStatisticsLink>();
    std::shared_ptr<testing::RecordingTaskMapHook> hook_ =
        std::make_shared<testing::RecordingTaskMapHook>();
};

TEST_F(TaskActivationTest, PublishesTheLegChain) {
    auto task = ThreePoints();
    ASSERT_EQ(ActivateTask(task.get(), false), 1);
    EXPECT_NE(&Current(), task.get());  // copied
    EXPECT_EQ(g_currentTaskAdopted.load(), nullptr);
    CTask& current = Current();
    EXPECT_EQ(g_taskStartPoint.load(), current.points[0].get());
    EXPECT_EQ(g_taskTargetPoint.load(), current.points[0].get());
    EXPECT_EQ(g_taskFinishPoint.load(), current.points[2].get());
    EXPECT_EQ(g_taskBeforeFinishPoint.load(), current.points[1].get());
    EXPECT_EQ(g_taskLegPoints[0].load(), current.points[1].get());
    EXPECT_EQ(g_taskLegPoints[1].load(), current.points[0].get());
    EXPECT_EQ(g_finishAltitudeKnown.load(), 1);
    EXPECT_EQ(LinkedNames(), (std::vector<std::wstring>{L"S", L"T1", L"F"}));
    EXPECT_EQ(g_taskZoneElements.size(), 3U);  // line, cylinder, cylinder
    EXPECT_EQ(stats_->waitingStops, 1);
    EXPECT_EQ(stats_->starts, 1);
    EXPECT_EQ(stats_->timed.load(), current.points[0].get());
}

TEST_F(TaskActivationTest, ShortTaskWithExtraStartActivatesNothing) {
    auto task = testing::MakeTask({kTurn, kStart, kFinish});  // before, start, after
    task->extraStart = 1;
    task->extraFinish = 1;
    EXPECT_EQ(ActivateTask(task.get(), false), 0);
    EXPECT_EQ(g_taskNavigationActive.load(), 0);
    EXPECT_EQ(g_taskStartPoint.load(), nullptr);
    EXPECT_EQ(g_taskTargetPoint.load(), nullptr);
    EXPECT_EQ(g_taskFinishPoint.load(), nullptr);
    EXPECT_EQ(g_taskBeforeFinishPoint.load(), nullptr);
    for (const auto& point : g_taskLegPoints)
        EXPECT_EQ(point.load(), nullptr);
    EXPECT_EQ(stats_->starts, 0);
}

TEST_F(TaskActivationTest, ActivatingTheCurrentTaskAgainKeepsIt) {
    auto task = ThreePoints();
    ActivateTask(task.get(), true);
    CTask* current = &Current();
    CTaskPoint* turn = current->points[1].get();
    turn->timeReached = 2.0F;
    ASSERT_EQ(ActivateTask(current, true), 1);
    EXPECT_EQ(&Current(), current);
    ASSERT_EQ(current->points.size(), 3U);
    EXPECT_EQ(current->points[1].get(), turn);
    EXPECT_EQ(turn->timeReached, kNotReached);  // started over
    EXPECT_EQ(LinkedNames(), (std::vector<std::wstring>{L"S", L"T1", L"F"}));

    task->ownedCopy = 0;  // adopted, then replaced by a copy: the caller keeps it
    ActivateTask(task.get(), false);
    EXPECT_EQ(g_currentTaskAdopted.load(), task.get());
    auto other = ThreePoints();
    ActivateTask(other.get(), false);
    EXPECT_EQ(g_currentTaskAdopted.load(), nullptr);
    EXPECT_EQ(task->points.size(), 3U);
}

TEST_F(TaskActivationTest, PreviousPointPromptNeedsAFinishAltitude) {
    g_bAutodetectPrevPrompt = 1;
    auto task = ThreePoints();
    ActivateTask(task.get(), false);
    EXPECT_EQ(g_taskLegPoints[0].load(), Current().points[2].get());
    EXPECT_EQ(g_taskLegPoints[1].load(), Current().points[1].get());
    EXPECT_TRUE(boxes_->Boxes().empty());

    task->points[2]->altitudeKnown = 0;
    core::SetStringProvider([](unsigned id) { return L"#" + std::to_wstring(id); });
    ActivateTask(task.get(), false);
    core::SetStringProvider(nullptr);
    EXPECT_EQ(g_bAutodetectPrevPrompt.load(), 0);
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    EXPECT_EQ(boxes_->Boxes()[0].style & platform::mb::kIconMask, platform::mb::kIconHand);
    // The sentence is the text, "Turnpoint detection" the caption.
    EXPECT_EQ(boxes_->Boxes()[0].text, L"#162");
    EXPECT_EQ(boxes_->Boxes()[0].caption, L"#163");
    EXPECT_EQ(g_taskLegPoints[0].load(), Current().points[1].get());
}

TEST_F(TaskActivationTest, InsertedPointGoesBeforeTheFinishInListLinksAndQueue) {
    auto task = ThreePoints();
    ActivateTask(task.get(), true);
    GoToWaypoint(At(45.1, 10.2, L"W"));
    EXPECT_EQ(SlotNames(), (std::vector<std::wstring>{L"S,S", L"1,T1", L"F,F", L"W"}));
    const int stops = stats_->waitingStops;

    InsertQueueWaypointIntoTask(3);
    CTask& current = Current();
    EXPECT_EQ(ListNames(current), (std::vector<std::wstring>{L"S", L"T1", L"W", L"F"}));
    EXPECT_EQ(LinkedNames(), ListNames(current));
    EXPECT_EQ(SlotNames(), (std::vector<std::wstring>{L"S,S", L"1,T1", L"2,W", L"F,F"}));
    CTaskPoint& inserted = *current.points[2];
    EXPECT_EQ(OrdinalNumber(inserted.ordinal), 2);
    EXPECT_EQ(OrdinalNumber(current.points[3]->ordinal), 3);
    EXPECT_EQ(inserted.hasCylinder, 1);
    EXPECT_EQ(inserted.cylinderRadius, g_postRadius.load());
    EXPECT_EQ(g_taskBeforeFinishPoint.load(), &inserted);
    EXPECT_EQ(g_activeTaskPoint, &inserted);  // selected
    EXPECT_GT(current.totalDistance, 40.0F);
    EXPECT_EQ(stats_->waitingStops, stops + 1);
    EXPECT_EQ(hook_->zoneChanges, 1);
}

TEST_F(TaskActivationTest, InsertedPointBecomesTheFinishWhenAsked) {
    g_insertPostAtFinish = 1;
    auto task = ThreePoints();
    ActivateTask(task.get(), true);
    GoToWaypoint(At(45.1, 10.5, L"W"));
    InsertQueueWaypointIntoTask(3);
    CTask& current = Current();
    EXPECT_EQ(ListNames(current), (std::vector<std::wstring>{L"S", L"T1", L"F", L"W"}));
    EXPECT_EQ(LinkedNames(), ListNames(current));
    EXPECT_EQ(SlotNames(), (std::vector<std::wstring>{L"S,S", L"1,T1", L"2,F", L"F,W"}));
    CTaskPoint& oldFinish = *current.points[2];
    CTaskPoint& newFinish = *current.points[3];
    EXPECT_EQ(g_taskFinishPoint.load(), &newFinish);
    EXPECT_EQ(g_taskBeforeFinishPoint.load(), &oldFinish);
    EXPECT_EQ(newFinish.role, kRoleFinish);
    EXPECT_EQ(oldFinish.role, kRoleOrdinary);
    EXPECT_EQ(oldFinish.pointKind, kKindTurnpoint);
    EXPECT_EQ(oldFinish.cylinderRadius, 1.0F);  // its own cylinder stays
    EXPECT_EQ(OrdinalNumber(newFinish.ordinal), 3);
}

TEST_F(TaskActivationTest, FinishWithoutQueueSlotLeavesTheQueueOrder) {
    auto task = ThreePoints();
    ActivateTask(task.get(), false);
    QueueWaypoint(At(45.1, 10.2, L"A"), nullptr);
    QueueWaypoint(At(45.2, 10.2, L"W"), nullptr);
    InsertQueueWaypointIntoTask(1);
    EXPECT_EQ(ListNames(Current()), (std::vector<std::wstring>{L"S", L"T1", L"W", L"F"}));
    EXPECT_EQ(SlotNames(), (std::vector<std::wstring>{L"A", L"2,W"}));

    InsertQueueWaypointIntoTask(1);  // a slot with a task point: nothing
    EXPECT_EQ(Current().points.size(), 4U);
}

}  // namespace
}  // namespace nav
