#include "nav/task_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "nav/fai_triangle.h"
#include "task_test_support.h"

namespace nav {
namespace {

using testing::At;
using testing::MakeTask;
using testing::Offset;

const WaypointRecord kOrigin = At(45.0, 10.0, L"S");

// How far apart two directions are, in degrees (360 is 0).
double AngleApart(double a, double b) {
    return std::fabs(std::remainder(a - b, 360.0));
}

TEST(TaskModelTest, ValidityCountsPointsBesidesTheExtraOnes) {
    struct Case {
        int points;
        int extraStart;
        int extraFinish;
        bool valid;
    };
    for (const Case& c : {Case{1, 0, 0, false}, Case{2, 0, 0, true}, Case{2, 1, 0, false},
                          Case{3, 1, 0, true}, Case{3, 1, 1, false}, Case{4, 1, 1, true}}) {
        auto task = MakeTask(std::vector<WaypointRecord>(static_cast<size_t>(c.points), kOrigin));
        task->extraStart = c.extraStart;
        task->extraFinish = c.extraFinish;
        EXPECT_EQ(task->IsValid(), c.valid) << c.points << " " << c.extraStart << c.extraFinish;
    }
}

// S, A 10 km north and 5 km east of it, B 20 km north of S, F 30 km north.
std::unique_ptr<CTask> TaskWithUncountedPoint() {
    const WaypointRecord a = Offset(Offset(kOrigin, 0.0, 10.0), 90.0, 5.0);
    auto task = MakeTask({kOrigin, a, Offset(kOrigin, 0.0, 20.0), Offset(kOrigin, 0.0, 30.0)});
    task->points[1]->notCounted = 1;
    task->points[1]->pointKind = kKindTurnpoint | kKindNotCountedBit;
    return task;
}

TEST(TaskModelTest, LegsBridgeAPointThatIsNotCounted) {
    auto task = TaskWithUncountedPoint();
    const float total = ComputeTaskLegs(*task, false, true, true);
    EXPECT_NEAR(task->legs[0], 20.0F, 1e-3F);  // S to B, passing over A
    EXPECT_EQ(task->legs[1], kUncountedLeg);
    EXPECT_NEAR(task->legs[2], 10.0F, 1e-3F);
    EXPECT_NEAR(total, 30.0F, 1e-3F);
    EXPECT_EQ(task->totalDistance, total);
    EXPECT_EQ(task->achievedDistance, total);  // stored with storeTotal
    EXPECT_EQ(task->points[1]->notCounted, 1);
    EXPECT_EQ(task->points[3]->legDistance, 0.0F);

    const float counted = ComputeTaskLegs(*task, true, false, true);
    EXPECT_GT(task->legs[0], 11.0F);  // S to A now
    EXPECT_GT(task->legs[1], 11.0F);
    EXPECT_NEAR(counted, task->legs[0] + task->legs[1] + task->legs[2], 1e-3F);
    EXPECT_GT(counted, total + 1.0F);
}

TEST(TaskModelTest, LegsUseWhereReachedPointsWereReached) {
    auto task = MakeTask({kOrigin, Offset(kOrigin, 0.0, 20.0), Offset(kOrigin, 0.0, 30.0)});
    CTaskPoint& start = *task->points[0];
    CTaskPoint& turn = *task->points[1];
    start.timeReached = 1.0F;
    start.working = Offset(kOrigin, 180.0, 5.0);
    turn.working = Offset(turn.target, 0.0, 3.0);  // not reached: its target counts
    ComputeTaskLegs(*task, false, false, false);
    EXPECT_NEAR(task->legs[0], 25.0F, 1e-3F);

    turn.timeReached = 1.5F;  // both reached: both working records
    ComputeTaskLegs(*task, false, false, false);
    EXPECT_NEAR(task->legs[0], 28.0F, 1e-3F);
    EXPECT_NEAR(task->legs[1], 7.0F, 1e-3F);  // from where it was reached to the finish target
}

TEST(TaskModelTest, CylindersOfUnreachedEndsAreSubtractedDownToZero) {
    auto task = MakeTask({kOrigin, Offset(kOrigin, 90.0, 5.0)});
    testing::MakeCylinder(*task->points[0], kRoleStart, 3.0F);
    testing::MakeCylinder(*task->points[1], kRoleFinish, 4.0F);
    EXPECT_NEAR(ComputeTaskLegs(*task, false, false, false), 5.0F, 1e-3F);
    EXPECT_EQ(ComputeTaskLegs(*task, false, false, true), 0.0F);
    task->points[1]->cylinderRadius = 1.0F;
    EXPECT_NEAR(ComputeTaskLegs(*task, false, false, true), 1.0F, 1e-3F);
    task->points[0]->timeReached = 0.5F;  // a reached start keeps its radius
    EXPECT_NEAR(ComputeTaskLegs(*task, false, false, true), 4.0F, 1e-3F);
}

TEST(TaskModelTest, LegsBeyondTheHundredthCountButAreNotStored) {
    std::vector<WaypointRecord> records;
    for (int i = 0; i < 121; ++i)
        records.push_back(Offset(kOrigin, 0.0, i * 1.0));
    auto task = MakeTask(records);
    EXPECT_NEAR(ComputeTaskLegs(*task, false, false, false), 120.0F, 0.01F);
    EXPECT_NEAR(task->legs[99], 1.0F, 1e-3F);
}

TEST(TaskModelTest, SectorDirectionsBisectTheTurnAwayFromBothLegs) {
    struct Case {
        double first;   // course of the first leg
        double second;  // course of the second leg
        float turn;     // the turnpoint's direction
    };
    for (const Case& c :
         {Case{0.0, 90.0, 315.0F}, Case{0.0, 270.0, 45.0F}, Case{90.0, 0.0, 135.0F}}) {
        const WaypointRecord turn = Offset(kOrigin, c.first, 20.0);
        auto task = MakeTask({kOrigin, turn, Offset(turn, c.second, 20.0)});
        ComputeSectorDirections(*task);
        EXPECT_LT(AngleApart(task->points[0]->sectorDirection, c.first), 0.2) << c.first;
        EXPECT_LT(AngleApart(task->points[1]->sectorDirection, c.turn), 0.3) << c.second;
        EXPECT_LT(AngleApart(task->points[2]->sectorDirection, c.second), 0.3) << c.second;
    }
}

TEST(TaskModelTest, EndDirectionsFollowTheSettingAtPointsNotCounted) {
    testing::TaskStateScope state;
    // S, X (not counted) east of S, T north of S, F north of T.
    auto task = MakeTask({kOrigin, Offset(kOrigin, 90.0, 10.0), Offset(kOrigin, 0.0, 20.0),
                          Offset(kOrigin, 0.0, 40.0)});
    task->points[1]->notCounted = 1;
    g_startEndCheckpointDirection = 1;  // the start looks at its neighbour X
    ComputeSectorDirections(*task);
    EXPECT_LT(AngleApart(task->points[0]->sectorDirection, 90.0), 0.2);
    g_startEndCheckpointDirection = 0;  // the start looks at T, passing over X
    ComputeSectorDirections(*task);
    EXPECT_LT(AngleApart(task->points[0]->sectorDirection, 0.0), 0.2);
}

// A closed task at 47N 8E over a triangle of about 100 km legs.
std::vector<WaypointRecord> TriangleCorners() {
    const WaypointRecord home = At(47.0, 8.0, L"Home");
    const WaypointRecord north = Offset(home, 20.0, 100.0);
    const WaypointRecord east = Offset(home, 80.0, 100.0);
    return {home, north, east};
}

TEST(TaskModelTest, ClosedFaiTrianglesAreRecognisedWithTheirLinks) {
    const auto c = TriangleCorners();
    ASSERT_EQ(IsFaiTriangle(c[0], c[1], c[2]), 1);

    auto four = MakeTask({c[0], c[1], c[2], c[0]});
    ASSERT_EQ(four->FindTriangleCorners(), 4);
    EXPECT_EQ(four->corners[0], four->points[0].get());
    EXPECT_EQ(four->corners[1], four->points[1].get());
    EXPECT_EQ(four->corners[2], four->points[2].get());
    EXPECT_EQ(four->corners[0]->triangleNext, four->corners[1]);
    EXPECT_EQ(four->corners[2]->triangleNext, four->corners[0]);
    EXPECT_EQ(four->corners[0]->trianglePrevious, nullptr);
    EXPECT_EQ(four->corners[2]->trianglePrevious, four->corners[1]);

    // A third turnpoint at home: the corners are it and the two after the start.
    auto five = MakeTask({c[0], c[1], c[2], c[0], c[0]});
    ASSERT_EQ(five->FindTriangleCorners(), 5);
    EXPECT_EQ(five->corners[0], five->points[3].get());
    EXPECT_EQ(five->corners[1], five->points[1].get());

    auto open = MakeTask({c[0], c[1], c[2], Offset(c[0], 0.0, 1.0)});
    EXPECT_EQ(open->FindTriangleCorners(), 0);
    auto thin = MakeTask({c[0], c[1], Offset(c[0], 20.0, 50.0), c[0]});
    EXPECT_EQ(thin->FindTriangleCorners(), 0);
    EXPECT_EQ(thin->corners[0], nullptr);
}

TEST(TaskModelTest, FaiTriangleBoundsChangeAt750Km) {
    EXPECT_EQ(ClassifyFaiTriangle(100.0F, 100.0F, 100.0F), 1);
    EXPECT_EQ(ClassifyFaiTriangle(28.0F, 28.0F, 44.0F), 1);
    EXPECT_EQ(ClassifyFaiTriangle(27.0F, 29.0F, 44.0F), 0);
    EXPECT_EQ(ClassifyFaiTriangle(187.5F, 225.0F, 337.5F), 2);  // 25 % and 45 % of 750
    EXPECT_EQ(ClassifyFaiTriangle(0.01F, 0.01F, 0.01F), 0);
}

TEST(TaskModelTest, AssignmentCopiesDeeplyAndRedirectsCorners) {
    const auto c = TriangleCorners();
    auto source = MakeTask({c[0], c[1], c[2], c[0]}, L"Source");
    source->points[1]->target.attachments.comment = L"note";
    source->points[1]->next = source->points[2].get();
    source->triangle = 1;
    source->distanceFlown = 12.0F;
    ASSERT_EQ(source->FindTriangleCorners(), 4);

    CTask copy;
    copy = *source;
    ASSERT_EQ(copy.points.size(), 4U);
    EXPECT_EQ(copy.name, L"Source");
    EXPECT_EQ(copy.corners[1], copy.points[1].get());
    EXPECT_EQ(copy.points[1]->triangleNext, copy.points[2].get());
    EXPECT_EQ(copy.points[1]->next, nullptr);  // leg links are not copied
    EXPECT_EQ(copy.points[1]->Note(), L"note");
    EXPECT_EQ(copy.triangle, 1);
    EXPECT_EQ(copy.distanceFlown, 12.0F);

    CTask& same = copy;
    copy = same;
    EXPECT_EQ(copy.points.size(), 4U);
    EXPECT_EQ(copy.corners[1], copy.points[1].get());
}

TEST(TaskModelTest, InsideCounterDecidesAfterItsHysteresis) {
    CTaskPoint point(kOrigin);
    point.box = {0.0, 40.0, 17.0, 46.0};
    const WaypointRecord inside = At(43.0, 10.0);
    const WaypointRecord outside = At(60.0, 10.0);
    std::vector<int> results;
    for (int i = 0; i < 5; ++i)
        results.push_back(point.UpdateInsideCount(inside));
    for (int i = 0; i < 5; ++i)
        results.push_back(point.UpdateInsideCount(outside));
    EXPECT_EQ(results, (std::vector<int>{0, 0, 0, 2, 1, 0, 0, 0, -2, -1}));
}

TEST(TaskModelTest, OrdinalsHoldNumberAndSlot) {
    CTaskPoint point;
    point.ordinal = MakeOrdinal(kExtraFinishNumber);
    EXPECT_EQ(OrdinalNumber(point.ordinal), -2);
    EXPECT_EQ(point.QueueSlot(), kNoQueueSlot);
    point.SetQueueSlot(7);
    EXPECT_EQ(OrdinalNumber(point.ordinal), -2);
    EXPECT_EQ(point.QueueSlot(), 7);
}

}  // namespace
}  // namespace nav
