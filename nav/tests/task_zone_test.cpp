#include "nav/task_zone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "task_test_support.h"

namespace nav {
namespace {

using testing::At;
using testing::Offset;

const WaypointRecord kCentre = At(45.0, 10.0, L"P");

// The states of a sequence of fixes `km` from the point on `bearing`.
struct Fix {
    double bearing;
    double km;
};
std::vector<int> States(CTaskPoint& point, const std::vector<Fix>& fixes) {
    std::vector<int> states;
    for (const Fix& f : fixes) {
        const WaypointRecord fix = Offset(kCentre, f.bearing, f.km);
        states.push_back(IsFixInTaskPointZone(&point, nullptr, kZoneSlotNavigation, &fix));
    }
    return states;
}

TEST(TaskZoneTest, CylinderCountsInsideOrOutsideForAnEntryStart) {
    CTaskPoint point(kCentre);
    testing::MakeCylinder(point, kRoleOrdinary, 1.0F);
    EXPECT_EQ(States(point, {{0, 2.0}, {0, 0.5}, {90, 0.9}, {90, 1.1}}),
              (std::vector<int>{2, 13, 4, 11}));
    EXPECT_EQ(point.zoneState[kZoneSlotNavigation], 11);
    EXPECT_EQ(point.zoneState[kZoneSlotQueue], kZoneInitial);

    CTaskPoint start(kCentre);
    testing::MakeCylinder(start, kRoleStart | kRoleEnterCylinderBit, 1.0F);
    EXPECT_EQ(States(start, {{0, 0.5}, {0, 2.0}}), (std::vector<int>{2, 13}));

    float distance = 0.0F;
    const WaypointRecord fix = Offset(kCentre, 0.0, 3.0);
    IsFixInTaskPointZone(&point, &distance, kZoneSlotMap, &fix);
    EXPECT_NEAR(distance, 3.0F, 0.02F);
}

TEST(TaskZoneTest, SectorHasAnOpeningAnInnerRadiusAndMayBeUnlimited) {
    CTaskPoint point(kCentre);
    point.hasSector = 1;
    point.sectorDirection = 0.0F;
    point.sectorAngle = 90.0F;
    point.sectorRadius = 10.0F;
    point.sectorInnerRadius = 1.0F;
    EXPECT_EQ(States(point, {{30, 5.0}, {50, 5.0}, {0, 0.5}, {0, 12.0}, {320, 9.0}}),
              (std::vector<int>{4, 11, 2, 2, 13}));
    point.sectorRadius = 0.0F;  // unlimited
    EXPECT_EQ(States(point, {{10, 100.0}}), (std::vector<int>{4}));

    CTaskPoint start(kCentre);  // a start sector opens behind its direction
    start.role = kRoleStart;
    start.hasSector = 1;
    start.sectorDirection = 0.0F;
    start.sectorAngle = 90.0F;
    start.sectorRadius = 10.0F;
    EXPECT_EQ(States(start, {{180, 5.0}, {0, 5.0}}), (std::vector<int>{4, 11}));
}

TEST(TaskZoneTest, StartLineGivesTheStartOnCrossingToTheCourseSide) {
    CTaskPoint start(kCentre);
    testing::MakeStartLine(start, 2.0F, 0.0F);  // first leg due north
    // Behind the line, across it within the half-width, around its end.
    EXPECT_EQ(States(start, {{180, 0.5}, {10, 0.5}}), (std::vector<int>{20, 2 + 9}));
    EXPECT_EQ(States(start, {{200, 0.5}, {270, 3.0}, {340, 0.5}}),
              (std::vector<int>{20 + 9, 2, 2}));

    CTaskPoint finish(kCentre);
    finish.role = kRoleFinish;
    finish.lineHalfWidth = 1.0F;
    finish.sectorDirection = 0.0F;  // last leg due north: beyond is north
    EXPECT_EQ(States(finish, {{180, 0.5}, {0, 0.5}}), (std::vector<int>{2, 29}));
}

class AcceptingArea final : public FaiAreaElement {
  public:
    void Reset() override {}
    void BuildOutline(const WaypointRecord&, const WaypointRecord&,
                      const WaypointRecord&) override {}
    int ClassifyTriangleWith(const WaypointRecord&) override { return 1; }
};

TEST(TaskZoneTest, TheFaiAreaCountsAsTheZoneExceptAtTheFinish) {
    testing::TaskStateScope state;
    AcceptingArea area;
    CTaskPoint corner(kCentre);
    corner.faiArea = &area;
    EXPECT_EQ(States(corner, {{0, 50.0}}), (std::vector<int>{4}));

    CTaskPoint finish(kCentre);
    testing::MakeCylinder(finish, kRoleFinish, 1.0F);
    finish.faiArea = &area;
    g_taskFinishPoint = &finish;
    EXPECT_EQ(States(finish, {{0, 50.0}, {0, 0.2}}), (std::vector<int>{2 | 128, 13 | 128}));
    g_taskFinishPoint = nullptr;
}

TEST(TaskZoneTest, OnlyDrawableZonesGetShapes) {
    CTaskPoint extra(kCentre);  // role and kind 0
    extra.hasCylinder = 1;
    EXPECT_TRUE(ZoneShapesOf(extra).shapes.empty());

    CTaskPoint turn(kCentre);
    testing::MakeCylinder(turn, kRoleOrdinary, 0.0F);
    EXPECT_TRUE(ZoneShapesOf(turn).shapes.empty());
    turn.hasSector = 1;
    turn.sectorDirection = 90.0F;
    turn.sectorRadius = 0.0F;  // unlimited: 5 km edges only
    const ZoneDrawing unlimited = ZoneShapesOf(turn);
    ASSERT_EQ(unlimited.shapes.size(), 1U);
    EXPECT_EQ(unlimited.shapes[0].kind, ZoneShapeKind::kPolyline);
    turn.sectorRadius = 10.0F;
    turn.cylinderRadius = 0.5F;
    EXPECT_EQ(ZoneShapesOf(turn).shapes.size(), 3U);  // circle, arc, edges
    turn.sectorMode = -1;
    EXPECT_TRUE(ZoneShapesOf(turn).shapes.empty());

    CTaskPoint start(kCentre);
    testing::MakeStartLine(start, 2.0F, -1.0F);  // a line needs its direction
    EXPECT_TRUE(ZoneShapesOf(start).shapes.empty());
    start.sectorDirection = 0.0F;
    const ZoneDrawing line = ZoneShapesOf(start);
    ASSERT_EQ(line.shapes.size(), 1U);
    EXPECT_NEAR(line.bounds.Width() * testing::kRadPerDeg,
                4.0 / 6371.0 / std::cos(45.0 * testing::kRadPerDeg), 1e-5);
}

TEST(TaskZoneTest, InsideBoxIsSquareAndAtLeastTheMargin) {
    const double margin = 1.3 / 6371.0;
    const double marginDeg = margin / testing::kRadPerDeg;
    const core::GeoBox tiny{5.7280, 45.0010, 5.7340, 45.0016};
    const core::GeoBox grown = InsideCountBox(tiny, margin);
    EXPECT_GE(grown.north - 45.0013, marginDeg * 0.99);
    EXPECT_GE(45.0013 - grown.south, marginDeg * 0.99);

    const double cosLat = std::cos(45.0 * testing::kRadPerDeg);
    const core::GeoBox wide{0.0, 44.5, 1.0 / cosLat, 45.5};
    const core::GeoBox box = InsideCountBox(wide, margin);
    EXPECT_NEAR(box.Height(), 1.5, 1e-9);  // the 1 degree side on the ground, times 1.5
    EXPECT_NEAR(box.Width() * cosLat, 1.5, 1e-9);
    EXPECT_NEAR((box.west + box.east) / 2.0, 0.5 / cosLat, 1e-9);
}

}  // namespace
}  // namespace nav
