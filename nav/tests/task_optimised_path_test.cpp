#include "nav/optimised_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "task_test_support.h"

namespace nav {
namespace {

using testing::At;
using testing::Offset;

double PathKm(const WaypointRecord& a, const WaypointRecord& p, const WaypointRecord& b) {
    return EllipsoidLegBetween(a, p).km + EllipsoidLegBetween(p, b).km;
}

// The longest path from a through a point of the boundary (circle, or the
// sector's arc and edges) to b, searched point by point.
double BruteForce(const TouchGeometry& g) {
    double best = -1.0;
    const auto consider = [&](const WaypointRecord& p) {
        best = std::max(best, PathKm(g.previous, p, g.next));
    };
    const double radiusKm = g.radius * 1.852;
    const double opening = g.opening * 180.0 / std::numbers::pi;
    const double direction = g.direction * 180.0 / std::numbers::pi;
    for (int i = 0; i < 7200; ++i) {
        const double bearing = i * 0.05;
        const double off = std::fabs(std::remainder(bearing - direction, 360.0));
        if (!g.sector || off <= opening / 2.0) consider(Offset(g.centre, bearing, radiusKm));
    }
    if (g.sector) {
        for (int i = 0; i <= 2000; ++i) {
            const double km =
                g.innerRadius * 1.852 + (radiusKm - g.innerRadius * 1.852) * i / 2000.0;
            consider(Offset(g.centre, direction + opening / 2.0, km));
            consider(Offset(g.centre, direction - opening / 2.0, km));
        }
    }
    return best;
}

TouchGeometry Geometry(std::mt19937& random, bool sector) {
    std::uniform_real_distribution<double> bearing(0.0, 360.0);
    std::uniform_real_distribution<double> far(5.0, 150.0);
    std::uniform_real_distribution<double> radius(0.5, 25.0);
    TouchGeometry g;
    g.centre = At(46.0, 9.0);
    g.previous = Offset(g.centre, bearing(random), far(random));
    g.next = Offset(g.centre, bearing(random), far(random));
    g.radius = radius(random) / 1.852;
    if (sector) {
        g.sector = true;
        g.opening = std::uniform_real_distribution<double>(0.3, 3.0)(random);
        g.direction = bearing(random) * std::numbers::pi / 180.0;
        g.innerRadius = std::uniform_int_distribution<int>(0, 1)(random) * g.radius / 3.0;
    }
    return g;
}

TEST(TaskOptimisedPathTest, TouchPointIsTheLongestPathThroughTheZone) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 120; ++round) {
        const bool sector = round % 2 == 1;
        const TouchGeometry g = Geometry(random, sector);
        const auto touch = ComputeZoneTouchPoint(g);
        ASSERT_TRUE(touch.has_value());
        const double best = BruteForce(g);
        const double km = PathKm(g.previous, *touch, g.next);
        // The search stops within 0.2 nm of arc of the best point (or where
        // the path barely changes), which costs at most some tens of metres
        // of path; the other stationary points are kilometres shorter.
        EXPECT_NEAR(km, best, 0.05) << "round " << round;
    }
}

TEST(TaskOptimisedPathTest, OnlyTurnpointsWithASectorModeAndOneZoneTakeOne) {
    auto task = testing::MakeTask({At(46.0, 9.0), At(46.3, 9.0), At(46.3, 9.4)});
    CTaskPoint& p = *task->points[1];
    p.previous = task->points[0].get();
    p.next = task->points[2].get();
    testing::MakeCylinder(p, kRoleOrdinary, 10.0F, 1);
    EXPECT_TRUE(PrepareTouchPoint(p).has_value());
    p.sectorMode = 0;
    EXPECT_FALSE(PrepareTouchPoint(p).has_value());
    p.sectorMode = 1;
    p.hasSector = 1;
    EXPECT_FALSE(PrepareTouchPoint(p).has_value());
    EXPECT_FALSE(StoreTouchPoint(p, p.target));
    p.hasSector = 0;
    p.next = nullptr;
    EXPECT_FALSE(PrepareTouchPoint(p).has_value());
}

TEST(TaskOptimisedPathTest, AMarkedPreviousPointCountsWhereItWasReached) {
    auto task = testing::MakeTask({At(46.0, 9.0), At(46.3, 9.0), At(46.3, 9.4)});
    CTaskPoint& previous = *task->points[0];
    CTaskPoint& p = *task->points[1];
    p.previous = &previous;
    p.next = task->points[2].get();
    testing::MakeCylinder(p, kRoleOrdinary, 10.0F, 1);
    previous.working = At(45.9, 8.8);
    EXPECT_TRUE(PrepareTouchPoint(p)->previous.IsSamePosition(previous.target));
    previous.working.flags |= kMarkedFlag;
    EXPECT_TRUE(PrepareTouchPoint(p)->previous.IsSamePosition(previous.working));
}

TEST(TaskOptimisedPathTest, PathIsStoredAndMarkedAlongTheTask) {
    testing::TaskStateScope state;
    auto hook = std::make_shared<testing::RecordingTaskMapHook>();
    SetTaskMapHook(hook);
    auto task = testing::MakeTask({At(46.0, 9.0), At(46.3, 9.0), At(46.3, 9.4), At(46.0, 9.4)});
    testing::MakeStartLine(*task->points[0], 2.0F, 0.0F);
    testing::MakeCylinder(*task->points[1], kRoleOrdinary, 10.0F, 1);
    testing::MakeCylinder(*task->points[2], kRoleOrdinary, 10.0F, 1);
    testing::MakeCylinder(*task->points[3], kRoleFinish, 1.0F);
    ASSERT_EQ(ActivateTask(task.get(), false), 1);
    const CTask& current = *g_currentTask.load();
    for (int i : {1, 2}) {
        const CTaskPoint& p = *current.points[static_cast<std::size_t>(i)];
        ASSERT_NE(p.touchPoint, nullptr);
        EXPECT_NEAR(EllipsoidLegBetween(p.target, p.touchPoint->record).km, 10.0F, 0.01F);
        EXPECT_NE(p.touchPoint->marker, nullptr);
    }
    EXPECT_EQ(current.points[0]->touchPoint, nullptr);
    EXPECT_EQ(current.points[3]->touchPoint, nullptr);
    // The area turnpoints push the path outward: longer than through the centres.
    const CTaskPoint& a = *current.points[1];
    const CTaskPoint& b = *current.points[2];
    EXPECT_GT(PathKm(current.points[0]->target, a.touchPoint->record, b.touchPoint->record),
              PathKm(current.points[0]->target, a.target, b.target) + 10.0);
}

}  // namespace
}  // namespace nav
