// The task limits and the zones of the task point dialog, without windows.
#include "nav/task_limits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "nav/task_file.h"
#include "nav/task_zones_model.h"
#include "nav/tests/task_test_support.h"
#include "platform/settings_store.h"
#include "resources/ids/strings_task_dialogs.h"
#include "services/shared_locks.h"

namespace nav {
namespace {

using testing::At;
using testing::MakeTask;

constexpr glide::DisplayUnit kKnots{1.0F, L"kts"};
constexpr glide::DisplayUnit kKmh{1.852F, L"kph"};

class TaskLimitsTest : public ::testing::Test {
  protected:
    ~TaskLimitsTest() override { ApplyTaskLimits(TaskLimitSettings{}); }
    platform::SettingsStore store_{std::filesystem::path()};
};

TEST_F(TaskLimitsTest, AFreshInstallationGivesNoStartWarning) {
    const TaskLimitSettings stored = TaskLimitSettings::Read(store_);
    EXPECT_EQ(stored, TaskLimitSettings{});
    ApplyTaskLimits(stored);
    EXPECT_EQ(g_maxStartSpeed.load(), 1000.0F);
    EXPECT_EQ(g_maxStartAltitude.load(), 100000.0F);
    EXPECT_EQ(g_warningAltitudeBefore.load(), 100000.0F);
    EXPECT_EQ(g_warningAltitudeOnTask.load(), 100000.0F);
}

TEST_F(TaskLimitsTest, MetresAreShownRoundedAndStoredAsFeet) {
    TaskLimitsModel model(TaskLimitSettings{}, /*metres=*/true, kKmh);
    EXPECT_EQ(model.maxStartAltitude, 9144.0F);    // 30000 ft
    EXPECT_EQ(model.marginBefore, 61);             // 200 ft
    EXPECT_FLOAT_EQ(model.maxStartSpeed, 555.6F);  // 300 kt in km/h
    EXPECT_EQ(model.SpeedRange().maximum, 500.0F);
    EXPECT_EQ(model.StartAltitudeRange().maximum, 10000.0F);

    model.maxStartAltitude = 1000.0F;
    model.maxStartSpeed = 150.0F;  // 80.99 kt -> 81.0
    model.startLimits = 1;
    model.beforeLimits = 1;
    model.maxAltBefore = 2000;  // 6561.6 -> 6562 ft
    model.marginBefore = 100;   // 328 ft
    const TaskLimitSettings stored = model.Accept(store_);
    EXPECT_EQ(stored.maxAltOnStart, 3281);
    EXPECT_EQ(stored.maxStartSpeed10, 810);
    EXPECT_EQ(TaskLimitSettings::Read(store_), stored);
    EXPECT_EQ(g_maxStartAltitude.load(), 3281.0F);
    EXPECT_FLOAT_EQ(g_maxStartSpeed.load(), 81.0F);
    EXPECT_EQ(g_warningAltitudeBefore.load(), 6562.0F - 328.0F);
    EXPECT_EQ(g_warningAltitudeOnTask.load(), 100000.0F);  // still off
}

TEST_F(TaskLimitsTest, FeetAndKnotsGoThroughUnchanged) {
    TaskLimitSettings stored;
    stored.maxStartSpeed10 = 1005;
    stored.maxAltOnStart = 4500;
    TaskLimitsModel model(stored, false, kKnots);
    EXPECT_FLOAT_EQ(model.maxStartSpeed, 100.5F);
    EXPECT_EQ(model.SpeedRange().maximum, 300.0F);
    EXPECT_EQ(model.ToSettings(), stored);
}

// --- Zones.

// Start, two turnpoints, finish: 50 km legs from 47 N 8 E.
std::unique_ptr<CTask> SquareTask() {
    const WaypointRecord a = At(47.0, 8.0, L"Alpha");
    return MakeTask({a, testing::Offset(a, 90.0, 50.0), testing::Offset(a, 45.0, 70.7),
                     testing::Offset(a, 0.0, 50.0)});
}

class TaskZonesTest : public TaskLimitsTest {
  protected:
    TaskZonesTest() {
        task_->points[1]->name = L"Bravo";
        task_->points[2]->name = L"Charlie";
    }
    std::unique_ptr<CTask> task_ = SquareTask();
};

TEST_F(TaskZonesTest, OpeningTakesTheTasksZonesWithDefaultsForMissingSizes) {
    task_->startLineWidth = 0.0F;  // a line without a width: 4 km
    task_->points[3]->hasCylinder = 1;
    task_->points[3]->cylinderRadius = 0.0F;  // a cylinder without a radius: 2 km
    ZoneSettings stored;
    stored.tptHasCylinder = 1;
    stored.tptCylinderRadius = 0.5F;
    TaskZonesModel model(*task_, stored, 1.0F);
    EXPECT_EQ(model.startType, kZoneLine);
    EXPECT_FLOAT_EQ(model.startRadius, 2.0F);
    EXPECT_EQ(model.finishType, kZoneCylinder);
    EXPECT_FLOAT_EQ(model.finishRadius, 2.0F);
    EXPECT_EQ(model.TurnpointNames(), (std::vector<std::wstring>{L"Bravo", L"Charlie"}));
    // Turnpoints without a zone get the stored one, the same for all, and
    // the task has it at once.
    EXPECT_EQ(model.sameZoneForAll, 1);
    EXPECT_EQ(task_->points[1]->hasCylinder, 1);
    EXPECT_FLOAT_EQ(task_->points[2]->cylinderRadius, 0.5F);
    EXPECT_FLOAT_EQ(task_->startLineWidth, 4.0F);
}

TEST_F(TaskZonesTest, OkWritesTheZonesIntoTheTaskAndTheSettings) {
    TaskZonesModel model(*task_, ZoneSettings{}, 1.0F);
    model.startType = kZoneLine;
    model.startRadius = 1.5F;
    model.finishType = kZoneCylinder;
    model.finishRadius = 1.0F;
    model.common = TurnpointZone{.hasCylinder = 1,
                                 .hasSector = 1,
                                 .cylinderRadius = 0.5F,
                                 .sectorRadius = 10.0F,
                                 .sectorAngle = 90.0F};
    ASSERT_FALSE(model.Accept(store_));
    const CTaskPoint& start = *task_->points[0];
    EXPECT_FLOAT_EQ(task_->startLineWidth, 3.0F);
    EXPECT_FLOAT_EQ(start.lineHalfWidth, 1.5F);
    EXPECT_EQ(task_->startIsLine, 1);
    EXPECT_EQ(start.role, kRoleStart);
    const CTaskPoint& turn = *task_->points[2];
    EXPECT_EQ(turn.pointKind, kKindTurnpoint);
    EXPECT_EQ(turn.hasSector, 1);
    EXPECT_FLOAT_EQ(turn.sectorRadius, 10.0F);
    EXPECT_EQ(task_->points[3]->role, kRoleFinish);
    EXPECT_EQ(task_->points[3]->hasCylinder, 1);
    EXPECT_EQ(task_->finishIsLine, 0);
    EXPECT_GT(task_->totalDistance, 100.0F);  // legs computed
    EXPECT_EQ(store_.GetString("Settings\\Task", "StartRadius", std::string_view()), " 1.50");
    EXPECT_EQ(store_.GetInt("Settings\\Task", "FinishIsCylinder", 9), 1U);
}

TEST_F(TaskZonesTest, AStartCountedOnEnteringIsACylinderWithItsRoleBit) {
    TaskZonesModel model(*task_, ZoneSettings{}, 0.53996F);  // nautical miles shown
    model.startType = kZoneEnterCylinder;
    model.startRadius = 2.7F;  // 5 km
    model.common.hasCylinder = 1;
    model.common.cylinderRadius = 0.27F;
    ASSERT_FALSE(model.Accept(store_));
    EXPECT_EQ(task_->points[0]->role, kRoleStart | kRoleEnterCylinderBit);
    EXPECT_EQ(task_->points[0]->hasCylinder, 1);
    EXPECT_NEAR(task_->points[0]->cylinderRadius, 5.0F, 0.001F);
    EXPECT_EQ(store_.GetString("Settings\\Task", "StartRadius", std::string_view()), " 5.00");
    // Shown again in the same unit.
    const TaskZonesModel reopened(*task_, ZoneSettings{}, 0.53996F);
    EXPECT_EQ(reopened.startType, kZoneEnterCylinder);
    EXPECT_FLOAT_EQ(reopened.startRadius, 2.7F);
}

TEST_F(TaskZonesTest, ARefusedOkChangesNothing) {
    struct Case {
        const char* what;
        void (*edit)(TaskZonesModel&);
        ZoneRefusal refusal;
    };
    const Case cases[] = {
        {"start radius 0", [](TaskZonesModel& m) { m.startRadius = 0.0F; }, {1206, 0}},
        {"finish radius 0", [](TaskZonesModel& m) { m.finishRadius = 0.005F; }, {1209, 0}},
        {"no zone kind",
         [](TaskZonesModel& m) { m.common.hasCylinder = m.common.hasSector = 0; },
         {1218, ids::kIdsZoneError}},
        {"a later turnpoint without a zone",
         [](TaskZonesModel& m) {
             m.sameZoneForAll = 0;
             m.StoreTurnpoint(0, TurnpointZone{.hasCylinder = 1, .cylinderRadius = 1.0F});
             m.StoreTurnpoint(1, TurnpointZone{.hasSector = 1, .sectorRadius = 0.0F});
         },
         {1219, ids::kIdsZoneError}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        task_ = SquareTask();
        TaskZonesModel model(*task_, ZoneSettings{}, 1.0F);
        model.common = TurnpointZone{.hasCylinder = 1, .cylinderRadius = 0.5F};
        model.startType = kZoneCylinder;
        c.edit(model);
        const std::wstring before = FormatTaskBlock(*task_);
        EXPECT_EQ(model.Accept(store_), c.refusal);
        EXPECT_EQ(FormatTaskBlock(*task_), before);
        EXPECT_FALSE(store_.Get("Settings\\Task", "StartIsCylinder"));
    }
    CTask empty;
    TaskZonesModel model(empty, ZoneSettings{}, 1.0F);
    EXPECT_EQ(model.Accept(store_), (ZoneRefusal{0, ids::kIdsEmptyTask}));
}

TEST_F(TaskZonesTest, SameZoneForAllComputesTheSectorDirections) {
    TaskZonesModel model(*task_, ZoneSettings{}, 1.0F);
    model.SetSameZoneForAll(true);
    // The start's sector lies along the first leg (east), the finish's
    // along the last (west).
    EXPECT_NEAR(model.startDirection, 90.0F, 1.0F);
    EXPECT_NEAR(model.finishDirection, 270.0F, 1.0F);
    EXPECT_EQ(ShownDirection(359.97F), 0.0F);
}

}  // namespace
}  // namespace nav
