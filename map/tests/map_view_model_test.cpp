#include "map/map_view_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/waypoint_course.h"
#include "testing/units.h"

namespace map {
namespace {

using test_support::kRadiansPerDegree;


// A loaded map of about 20 miles around 47 N, 8 W (positive west), in a
// 424 x 300 pane.
class MapViewModelTest : public ::testing::Test {
  protected:
    MapViewModelTest() : model(map) {
        nav::WaypointRecord c1;
        nav::WaypointRecord c2;
        map.SetBoundsAround(centre, 0.002, 0.002, c1, c2, true);
        model.client = {424, 300};
        model.AdoptMapHeader();
        model.mapLoaded = 1;
        model.FitMapScale();
        model.SetMapMargin(0.05F);
        g_mapViewStates = {};
    }

    nav::WaypointRecord centre{47.0, 8.0, true};
    mapdata::CMapFile map;
    MapViewModel model;
};

TEST_F(MapViewModelTest, FitCentresTheBoundsRightOfTheButtonColumn) {
    const MapBounds& b = model.bounds;
    EXPECT_NEAR(model.ScreenX((b.x1 + b.x2) / 2), 24.0F + 200.0F, 0.01F);
    EXPECT_NEAR(model.ScreenY((b.y1 + b.y2) / 2), 150.0F, 0.01F);
    // The smaller of the two scales: the whole extent fits.
    EXPECT_LE((b.x1 - b.x2) * model.scale, 400.01F);
    EXPECT_LE((b.y1 - b.y2) * model.scale, 300.01F);
    const float diagonal = std::hypot(b.x1 - b.x2, b.y1 - b.y2);
    EXPECT_NEAR(model.pixelsPerMile, diagonal * model.scale / model.mapRadius, 1e-3F);
}

TEST_F(MapViewModelTest, MarginTruncatesAndLeavesTheButtonColumn) {
    struct Case {
        int width, height;
        float fraction;
        platform::PixelRect expected;
    };
    const Case cases[] = {
        {424, 300, 0.05F, {21 + 24, 15, 403, 285}},
        {239, 199, 0.05F, {11 + 24, 9, 228, 190}},  // 11.95 and 9.95 truncate
        {240, 320, 0.0F, {24, 0, 240, 320}},
    };
    for (const Case& c : cases) {
        model.client = {c.width, c.height};
        model.SetMapMargin(c.fraction);
        EXPECT_EQ(model.drawRect, c.expected) << c.width << "x" << c.height;
        EXPECT_EQ(model.marginFraction, c.fraction);
    }
}

TEST_F(MapViewModelTest, PublishedTransformMatchesTheScreenFormula) {
    const mapdata::MapDrawState s = model.PublishMapTransform();
    const nav::WaypointRecord p(47.01, 8.02, true);
    float px = 0.0F;
    float py = 0.0F;
    map.Project(p, px, py);
    const mapdata::ScreenPoint sp = mapdata::ProjectToScreen(s, {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
    EXPECT_NEAR(sp.x, model.ScreenX(px), 0.05F);
    EXPECT_NEAR(sp.y, model.ScreenY(py), 0.05F);
    EXPECT_NEAR(s.pixelsPerKm, model.pixelsPerMile / 1.609F, 1e-4F);
    // The visible box: h = radius / R x 1.609 / 2 x 1.1 radians about the
    // centre, in degrees.
    const double h = model.mapRadius / 6371.0 * 1.609 / 2.0 * 1.1 / kRadiansPerDegree;
    EXPECT_NEAR(s.visibleBox.south, 47.0 - h, 1e-6);
    EXPECT_NEAR(s.visibleBox.north, 47.0 + h, 1e-6);
    EXPECT_NEAR(s.visibleBox.Width(), 2.0 * h / std::cos(47.0 * kRadiansPerDegree), 1e-6);
    EXPECT_NEAR((s.visibleBox.west + s.visibleBox.east) / 2.0, -8.0, 1e-6);  // 8 W
}

TEST_F(MapViewModelTest, ZoomInThenOutReturnsTheBounds) {
    const MapBounds before = model.bounds;
    const float radius = model.mapRadius;
    model.ZoomMap(true);
    EXPECT_NEAR(model.mapRadius, radius / 1.6F, 1e-4F);
    EXPECT_LT(model.bounds.x1 - model.bounds.x2, before.x1 - before.x2);
    EXPECT_TRUE(model.TakeRedrawRequest());
    EXPECT_EQ(model.backBufferValid, 0);
    model.ZoomMap(false);
    EXPECT_NEAR(model.bounds.x1, before.x1, 1e-6F);
    EXPECT_NEAR(model.bounds.x2, before.x2, 1e-6F);
    EXPECT_NEAR(model.bounds.y1, before.y1, 1e-6F);
    EXPECT_NEAR(model.bounds.y2, before.y2, 1e-6F);
    EXPECT_NEAR(model.mapRadius, radius, 1e-4F);
}

TEST_F(MapViewModelTest, UnscaledLabelScaleStepsByOne) {
    model.mapScaleScales = false;
    model.mapScale = 5.0F;
    model.ZoomMap(true);
    EXPECT_EQ(model.mapScale, 6.0F);
    model.ZoomMap(false);
    model.ZoomMap(false);
    EXPECT_EQ(model.mapScale, 4.0F);
}

TEST(FlippedRotation, NorthUpAndSouthUp) {
    const std::pair<float, float> cases[] = {
        {0.0F, 180.0F}, {180.0F, 0.0F}, {89.9F, 180.0F}, {90.0F, 0.0F},
        {269.9F, 0.0F}, {270.0F, 180.0F}, {359.0F, 180.0F},
    };
    for (const auto& [from, to] : cases) EXPECT_EQ(FlippedRotation(from), to) << from;
}

TEST_F(MapViewModelTest, FlipButtonFlipsOrTogglesTrackUp) {
    const nav::WaypointRecord aircraft(47.0, 8.0, true);
    model.trackUpButton = 0;
    model.SetMapRotation(-1.0F, aircraft);
    EXPECT_EQ(model.rotationDeg, 180.0F);
    model.SetMapRotation(-1.0F, aircraft);
    EXPECT_EQ(model.rotationDeg, 0.0F);

    model.trackUpButton = 1;
    model.SetMapRotation(123.0F, aircraft);  // north up: only remembered
    EXPECT_EQ(model.rotationDeg, 0.0F);
    model.SetMapRotation(-1.0F, aircraft);
    EXPECT_EQ(model.trackUp, 1);
    EXPECT_EQ(model.rotationDeg, 123.0F);
    model.SetMapRotation(-1.0F, aircraft);
    EXPECT_EQ(model.trackUp, 0);
    EXPECT_EQ(model.rotationDeg, 0.0F);
    EXPECT_EQ(model.pendingRotation, 123.0F);
    // No turning in the zoomed mode.
    model.displayMode = kZoomedMap;
    model.SetMapRotation(-1.0F, aircraft);
    EXPECT_EQ(model.trackUp, 0);
}

TEST_F(MapViewModelTest, SlotOneAndThreeForceTheirValues) {
    model.trackUpButton = 1;
    model.rotationDeg = 45.0F;
    model.centredOnAircraft = 0;
    model.trackPoints = 900;
    model.SaveViewState(kZoomedMap);
    const MapViewState& zoomedSlot = g_mapViewStates[kZoomedMap];
    EXPECT_EQ(zoomedSlot.centredOnAircraft, 1);
    EXPECT_EQ(zoomedSlot.trackUpButton, 0);
    EXPECT_EQ(zoomedSlot.rotationDeg, 0.0F);
    EXPECT_EQ(zoomedSlot.trackPoints, 1);

    model.SaveViewState(kFocusObject);
    EXPECT_EQ(g_mapViewStates[kFocusObject].rotationDeg, 45.0F);
    model.RestoreViewState(kFocusObject);
    EXPECT_EQ(model.trackUpButton, 0);
    EXPECT_EQ(model.rotationDeg, 0.0F);
    EXPECT_EQ(model.centredOnAircraft, 0);
    EXPECT_EQ(model.displayMode, kFocusObject);
    EXPECT_EQ(g_mapViewStates[kFocusObject].previousMode, kMovingMap);

    model.RestoreViewState(kZoomedMap);
    EXPECT_EQ(model.trackPoints, model.zoomedTrackPoints);
    EXPECT_EQ(g_mapViewStates[kZoomedMap].previousMode, kFocusObject);
}

TEST_F(MapViewModelTest, ZoomToFixAndBackRestoresTheMovingMap) {
    const nav::WaypointRecord aircraft(47.0, 8.0, true);
    model.firstFixSeen = 1;
    model.SaveViewState(kMovingMap);
    model.SaveViewState(kZoomedMap);
    const MapBounds moving = model.bounds;
    model.ZoomMap(true);
    model.ZoomMap(true);
    model.SaveViewState(kZoomedMap);
    model.bounds = moving;
    model.ZoomToFix(aircraft);
    EXPECT_EQ(model.zoomed, 1);
    EXPECT_EQ(model.displayMode, kZoomedMap);
    EXPECT_EQ(model.centredOnAircraft, 1);
    EXPECT_LT(model.bounds.x1 - model.bounds.x2, moving.x1 - moving.x2);
    model.SetMapDisplayMode(kMovingMap, aircraft);
    EXPECT_EQ(model.zoomed, 0);
    EXPECT_EQ(model.displayMode, kMovingMap);
    EXPECT_EQ(model.bounds, moving);
}

TEST_F(MapViewModelTest, ModesOneAndTwoWaitForTheFirstFix) {
    const nav::WaypointRecord aircraft(47.0, 8.0, true);
    model.SetMapDisplayMode(kZoomedMap, aircraft);
    model.SetMapDisplayMode(kFocusPoint, aircraft);
    EXPECT_EQ(model.displayMode, kMovingMap);
    model.SetMapDisplayMode(kFocusObject, aircraft);
    EXPECT_EQ(model.displayMode, kFocusObject);
}

TEST_F(MapViewModelTest, FocusOnPointBoxAndCosLatitudeBranch) {
    model.firstFixSeen = 1;
    model.mapRadius = 1000.0F;  // a wide view: the point gets a view of its own
    const float radiusNm = 5.0F;
    const double r = 6371.0 / 1.852;
    const nav::WaypointRecord point(46.0, 7.0, true);
    model.FocusOnPoint(point, kFocusPoint, radiusNm);
    const nav::WaypointRecord c1(46.0 * kRadiansPerDegree - radiusNm / r, 7.0 * kRadiansPerDegree - radiusNm / r / std::cos(46.0 * kRadiansPerDegree), false);
    const nav::WaypointRecord c2(46.0 * kRadiansPerDegree + radiusNm / r, 7.0 * kRadiansPerDegree + radiusNm / r / std::cos(46.0 * kRadiansPerDegree), false);
    EXPECT_NEAR(g_mapViewStates[kFocusPoint].mapRadius, nav::CourseAndDistance(c1, c2) / 1.609F, 1e-3F);
    EXPECT_NEAR(g_mapViewStates[kFocusPoint].centre.latitude, 46.0 * kRadiansPerDegree, 1e-9);
    EXPECT_GT(g_mapViewStates[kFocusPoint].scale, 0.0F);

    // Near the pole the longitude half-width is radius x 20 / R.
    const nav::WaypointRecord polar(88.0, 7.0, true);
    model.FocusOnPoint(polar, kFocusPoint, radiusNm);
    const nav::WaypointRecord p1(88.0 * kRadiansPerDegree - radiusNm / r, 7.0 * kRadiansPerDegree - radiusNm * 20.0 / r, false);
    const nav::WaypointRecord p2(88.0 * kRadiansPerDegree + radiusNm / r, 7.0 * kRadiansPerDegree + radiusNm * 20.0 / r, false);
    EXPECT_NEAR(g_mapViewStates[kFocusPoint].mapRadius, nav::CourseAndDistance(p1, p2) / 1.609F, 1e-3F);

    // A view not much wider than the new radius is kept as it is.
    model.mapRadius = 8.0F;
    model.FocusOnPoint(point, kFocusPoint, radiusNm);
    EXPECT_EQ(g_mapViewStates[kFocusPoint].mapRadius, 8.0F);
    EXPECT_EQ(g_mapViewStates[kFocusPoint].bounds, model.bounds);
}

TEST_F(MapViewModelTest, TheZoomedSlotShowsTheZoomedRadiusNorthUpOnTheAircraft) {
    model.firstFixSeen = 1;
    model.mapLoaded = 1;
    model.mapRadius = 1000.0F;
    model.rotationDeg = 90.0F;
    model.trackUpButton = 1;
    model.zoomedMapRadius = 800.0F;  // metres
    const nav::WaypointRecord aircraft(46.0, 7.0, true);
    model.PrepareZoomedSlot(aircraft);
    const MapViewState& zoomed = g_mapViewStates[kZoomedMap];
    const double r = 6371.0 / 1.852;
    const double dLat = 800.0 / 1852.0 / r;
    const double dLon = dLat / std::cos(46.0 * kRadiansPerDegree);
    const nav::WaypointRecord c1(46.0 * kRadiansPerDegree - dLat, 7.0 * kRadiansPerDegree - dLon, false);
    const nav::WaypointRecord c2(46.0 * kRadiansPerDegree + dLat, 7.0 * kRadiansPerDegree + dLon, false);
    EXPECT_NEAR(zoomed.mapRadius, nav::CourseAndDistance(c1, c2) / 1.609F, 1e-4F);
    EXPECT_GT(zoomed.scale, 0.0F);
    EXPECT_EQ(zoomed.rotationDeg, 0.0F);
    EXPECT_EQ(zoomed.trackUpButton, 0);
    EXPECT_EQ(zoomed.centredOnAircraft, 1);

    // Entering the zoomed mode takes that view round the aircraft.
    model.ZoomToFix(aircraft);
    EXPECT_EQ(model.zoomed, 1);
    EXPECT_EQ(model.mapRadius, zoomed.mapRadius);
}

TEST(IsInsideDrawArea, EdgesCountAndTheTrafficWindowExcludes) {
    const platform::PixelRect area{30, 10, 200, 150};
    const platform::PixelRect traffic{150, 0, 200, 50};
    EXPECT_TRUE(IsInsideDrawArea(area, nullptr, 30, 10));
    EXPECT_TRUE(IsInsideDrawArea(area, nullptr, 200, 150));
    EXPECT_FALSE(IsInsideDrawArea(area, nullptr, 29, 10));
    EXPECT_FALSE(IsInsideDrawArea(area, nullptr, 100, 151));
    EXPECT_FALSE(IsInsideDrawArea(area, &traffic, 160, 20));
    EXPECT_TRUE(IsInsideDrawArea(area, &traffic, 140, 20));
}

}  // namespace
}  // namespace map
