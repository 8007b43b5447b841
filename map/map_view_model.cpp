#include "map/map_view_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "core/settings_values.h"
#include "core/waypoint_course.h"

namespace map {
namespace {

constexpr float kKmPerMile = mapdata::kKmPerMile;
constexpr double kDegree = std::numbers::pi / 180.0;

double EarthRadiusKm() { return core::g_earthRadius.load(); }
double EarthRadiusNm() { return EarthRadiusKm() / mapdata::kKmPerNm; }

MapBounds OrderedBounds(float ax, float ay, float bx, float by) {
    return {std::max(ax, bx), std::min(ax, bx), std::max(ay, by), std::min(ay, by)};
}

// A bound's distance from the centre divided (zoom in) or multiplied.
float ZoomedBound(float bound, float centre, float factor) { return centre + (bound - centre) * factor; }

}  // namespace

float FlippedRotation(float rotationDeg) {
    return rotationDeg >= 90.0F && rotationDeg < 270.0F ? 0.0F : 180.0F;
}

bool IsInsideDrawArea(const platform::PixelRect& drawRect, const platform::PixelRect* trafficWindow, int x, int y) {
    if (trafficWindow != nullptr && x >= trafficWindow->left && x <= trafficWindow->right &&
        y >= trafficWindow->top && y <= trafficWindow->bottom) {
        return false;
    }
    return x >= drawRect.left && x <= drawRect.right && y >= drawRect.top && y <= drawRect.bottom;
}

void MapViewModel::AdoptMapHeader() {
    bounds = OrderedBounds(mapFile_.Corner1X(), mapFile_.Corner1Y(), mapFile_.Corner2X(),
                           mapFile_.Corner2Y());
    mapRadius = mapFile_.CornerDistance();
    mapScale = mapFile_.Scale();
    mapScaleScales = mapFile_.HasScale();
}

void MapViewModel::FitMapScale() {
    const float width = static_cast<float>(client.width - kButtonColumn);
    const auto height = static_cast<float>(client.height);
    const float spanX = bounds.x1 - bounds.x2;
    const float spanY = bounds.y1 - bounds.y2;
    if (!(spanX > 0.0F) || !(spanY > 0.0F) || width <= 0.0F || height <= 0.0F) return;
    scale = std::min(width / spanX, height / spanY);
    offsetX = width / 2.0F - bounds.x1 * scale;
    offsetY = height / 2.0F - bounds.y1 * scale;
    if (mapRadius > 0.0F) pixelsPerMile = std::hypot(spanX, spanY) * scale / mapRadius;
}

void MapViewModel::SetMapMargin(float fraction) {
    const auto dx = static_cast<int>(fraction * static_cast<float>(client.width));
    const auto dy = static_cast<int>(fraction * static_cast<float>(client.height));
    drawRect = {dx + kButtonColumn, dy, client.width - dx, client.height - dy};
    marginFraction = fraction;
}

mapdata::MapDrawState MapViewModel::PublishMapTransform() {
    mapdata::MapDrawState s =
        mapFile_.DrawState(kButtonColumn + offsetX + bounds.x1 * scale, bounds.y1 * scale + offsetY, scale);
    s.scale = mapScale;
    s.pixelsPerKm = pixelsPerMile / kKmPerMile;
    s.rotation = static_cast<float>(rotationDeg * kDegree);
    const nav::WaypointRecord& c = mapFile_.Centre();
    const core::GeoPoint centre = core::FromRadiansWest(c.latitude, c.longitude);
    const double h = mapRadius / EarthRadiusKm() * kKmPerMile / 2.0 * 1.1 / kDegree;
    const double cosLat = std::max(std::cos(c.latitude), 1e-6);
    s.visibleBox = {centre.longitude - h / cosLat, centre.latitude - h,
                    centre.longitude + h / cosLat, centre.latitude + h};
    published_ = s;
    return s;
}

void MapViewModel::Changed() {
    backBufferValid = 0;
    PublishMapTransform();
    redrawRequested_ = true;
}

bool MapViewModel::TakeRedrawRequest() { return std::exchange(redrawRequested_, false); }

void MapViewModel::ZoomMap(bool zoomIn) {
    if (mapLoaded == 0 || !(zoomFactor > 0.0F)) return;
    const float factor = zoomIn ? 1.0F / zoomFactor : zoomFactor;
    const float cx = (bounds.x1 + bounds.x2) / 2.0F;
    const float cy = (bounds.y1 + bounds.y2) / 2.0F;
    bounds = {ZoomedBound(bounds.x1, cx, factor), ZoomedBound(bounds.x2, cx, factor),
              ZoomedBound(bounds.y1, cy, factor), ZoomedBound(bounds.y2, cy, factor)};
    mapRadius *= factor;
    if (mapScaleScales) {
        mapScale *= factor;
    } else {
        mapScale += zoomIn ? 1.0F : -1.0F;
    }
    if (zoomed != 0) zoomedMapRadius *= factor;
    FitMapScale();
    SetMapMargin(marginFraction);
    Changed();
}

void MapViewModel::SetMapRotation(float angle, const nav::WaypointRecord& aircraft) {
    if (mapLoaded == 0 || displayMode == kZoomedMap || displayMode == kFocusObject) return;
    if (angle >= 0.0F) {
        if (trackUp == 0) {
            pendingRotation = angle;
            return;
        }
        rotationDeg = angle;
        mapFile_.SetRotation(rotationDeg, true);
        return;
    }
    if (trackUpButton == 0) {
        rotationDeg = FlippedRotation(rotationDeg);
        mapFile_.SetRotation(rotationDeg, true);
        PublishMapTransform();
    } else if (trackUp == 0) {
        trackUp = 1;
        rotationDeg = pendingRotation;
        mapFile_.SetRotation(rotationDeg, true);
    } else {
        trackUp = 0;
        pendingRotation = rotationDeg;
        rotationDeg = 0.0F;
        mapFile_.SetRotation(0.0, true);
    }
    if (firstFixSeen == 0) {
        Changed();
    } else {
        CenterMapOn(aircraft, false);
    }
}

void MapViewModel::CenterMapOn(const nav::WaypointRecord& position, bool force) {
    if (mapLoaded == 0) return;
    if (!force && (firstFixSeen == 0 || displayMode == kFocusObject)) return;
    mapFile_.SetCenter(position);
    FitMapScale();
    Changed();
    centredOnAircraft = 1;
}

void MapViewModel::SaveViewState(int slot) {
    if (slot < 0 || slot >= kViewStateCount) return;
    MapViewState& s = g_mapViewStates[static_cast<std::size_t>(slot)];
    s.centre = mapFile_.Centre();
    s.bounds = bounds;
    s.offsetX = offsetX;
    s.offsetY = offsetY;
    s.scale = scale;
    s.pixelsPerMile = pixelsPerMile;
    s.mapRadius = mapRadius;
    s.mapScale = mapScale;
    if (slot == kZoomedMap) {
        // The zoomed map always follows the aircraft, north up.
        s.centredOnAircraft = 1;
        s.trackUpButton = 0;
        s.rotationDeg = 0.0F;
        s.trackPoints = 1;
    } else {
        s.trackPoints = trackPoints;
        s.trackUpButton = trackUpButton;
        s.centredOnAircraft = centredOnAircraft;
        s.rotationDeg = rotationDeg;
    }
}

void MapViewModel::RestoreViewState(int slot) {
    if (slot < 0 || slot >= kViewStateCount) return;
    MapViewState& s = g_mapViewStates[static_cast<std::size_t>(slot)];
    bounds = s.bounds;
    offsetX = s.offsetX;
    offsetY = s.offsetY;
    scale = s.scale;
    pixelsPerMile = s.pixelsPerMile;
    mapRadius = s.mapRadius;
    mapScale = s.mapScale;
    trackUpButton = s.trackUpButton;
    centredOnAircraft = s.centredOnAircraft;
    rotationDeg = s.rotationDeg;
    if (slot == kFocusPoint) mapFile_.SetCenter(s.centre);
    if (slot == kZoomedMap) {
        trackPoints = zoomedTrackPoints;
    } else if (slot == kMovingMap || slot == kFocusPoint) {
        trackPoints = normalTrackPoints;
    }
    if (slot == kFocusObject) {
        trackUpButton = 0;
        rotationDeg = 0.0F;
        centredOnAircraft = 0;
    }
    s.previousMode = displayMode;
    displayMode = slot;
}

void MapViewModel::FillSlotFromMap(MapViewState& slot, const mapdata::CMapFile& map) const {
    slot.centre = map.Centre();
    slot.bounds = OrderedBounds(map.Corner1X(), map.Corner1Y(), map.Corner2X(), map.Corner2Y());
    const float width = static_cast<float>(client.width - kButtonColumn);
    const auto height = static_cast<float>(client.height);
    const float spanX = slot.bounds.x1 - slot.bounds.x2;
    const float spanY = slot.bounds.y1 - slot.bounds.y2;
    if (spanX > 0.0F && spanY > 0.0F && width > 0.0F && height > 0.0F) {
        slot.scale = std::min(width / spanX, height / spanY);
        slot.offsetX = width / 2.0F - slot.bounds.x1 * slot.scale;
        slot.offsetY = height / 2.0F - slot.bounds.y1 * slot.scale;
        if (slot.mapRadius > 0.0F) {
            slot.pixelsPerMile = std::hypot(spanX, spanY) * slot.scale / slot.mapRadius;
        }
    }
}

void MapViewModel::FocusOnPoint(const nav::WaypointRecord& position, int slot, float radiusNm) {
    if (slot != kZoomedMap && slot != kFocusPoint && slot != kFocusObject) return;
    MapViewState& target = g_mapViewStates[static_cast<std::size_t>(slot)];
    const MapViewState& moving = g_mapViewStates[kMovingMap];
    if (firstFixSeen == 0) CopyViewState(target, moving);

    const double r = EarthRadiusNm();
    const double dLat = radiusNm / r;
    const double cosLat = std::cos(position.latitude);
    const double dLon = cosLat <= 0.05 ? radiusNm * 20.0 / r : radiusNm / r / cosLat;
    const nav::WaypointRecord corner1(position.latitude - dLat, position.longitude - dLon, false);
    const nav::WaypointRecord corner2(position.latitude + dLat, position.longitude + dLon, false);
    const float newRadius = nav::CourseAndDistance(corner1, corner2) / kKmPerMile;

    // A view already as wide as most of the new one is kept.
    const float currentRadius = displayMode == kMovingMap ? mapRadius : moving.mapRadius;
    if (0.8F * currentRadius < newRadius) {
        if (displayMode == kMovingMap) {
            SaveViewState(slot);
        } else {
            CopyViewState(target, moving);
        }
        return;
    }

    mapdata::CMapFile temporary;
    temporary.CopyProjection(mapFile_);
    const double half = (radiusNm / 2.8 * kKmPerMile) / r;
    nav::WaypointRecord c1;
    nav::WaypointRecord c2;
    temporary.SetBoundsAround(position, half, half, c1, c2, true);
    const MapViewState& from = displayMode == kMovingMap ? MapViewState{} : moving;
    target.mapRadius = newRadius;
    target.mapScale = mapScaleScales && currentRadius > 0.0F ? mapScale * newRadius / currentRadius : 0.0F;
    FillSlotFromMap(target, temporary);
    if (displayMode == kMovingMap) {
        target.trackPoints = trackPoints;
        target.trackUpButton = trackUpButton;
        target.centredOnAircraft = centredOnAircraft;
        target.rotationDeg = rotationDeg;
    } else {
        target.trackPoints = from.trackPoints;
        target.trackUpButton = from.trackUpButton;
        target.centredOnAircraft = from.centredOnAircraft;
        target.rotationDeg = from.rotationDeg;
    }
}

void MapViewModel::FocusOnObject(const core::GeoBox& object, int slot, bool aroundObject,
                                 const nav::WaypointRecord& aircraft) {
    if (slot < 0 || slot >= kViewStateCount) return;
    MapViewState& target = g_mapViewStates[static_cast<std::size_t>(slot)];
    const MapViewState& moving = g_mapViewStates[kMovingMap];
    if (firstFixSeen == 0 && !aroundObject) {
        CopyViewState(target, moving);
        return;
    }
    const core::GeoPoint objectCentre{(object.south + object.north) / 2.0,
                                      (object.west + object.east) / 2.0};
    const nav::WaypointRecord centre =
        aroundObject ? nav::WaypointRecord(core::LatitudeRadians(objectCentre),
                                           core::LonWestRadians(objectCentre), false)
                     : aircraft;
    const core::GeoPoint at = core::FromRadiansWest(centre.latitude, centre.longitude);
    // Half extents that hold the whole box seen from the centre, radians.
    const double dLat =
        std::max(std::abs(object.north - at.latitude), std::abs(object.south - at.latitude)) *
        kDegree;
    const double cosLat = std::max(std::cos(centre.latitude), 0.05);
    const double dLon =
        std::max(std::abs(object.east - at.longitude), std::abs(object.west - at.longitude)) *
        kDegree * cosLat;
    const double half = std::max({dLat, dLon, 1e-6});
    mapdata::CMapFile temporary;
    temporary.CopyProjection(mapFile_);
    nav::WaypointRecord c1;
    nav::WaypointRecord c2;
    temporary.SetBoundsAround(centre, half, half, c1, c2, true);
    const float currentRadius = displayMode == kMovingMap ? mapRadius : moving.mapRadius;
    const float newRadius = temporary.CornerDistance();
    target.mapRadius = newRadius;
    target.mapScale = mapScaleScales && currentRadius > 0.0F ? mapScale * newRadius / currentRadius : 0.0F;
    FillSlotFromMap(target, temporary);
    const bool fromView = displayMode == kMovingMap;
    target.trackPoints = fromView ? trackPoints : moving.trackPoints;
    target.trackUpButton = fromView ? trackUpButton : moving.trackUpButton;
    target.centredOnAircraft = fromView ? centredOnAircraft : moving.centredOnAircraft;
    target.rotationDeg = fromView ? rotationDeg : moving.rotationDeg;
}

void MapViewModel::PrepareZoomedSlot(const nav::WaypointRecord& aircraft) {
    if (mapLoaded == 0 || zoomed != 0) return;
    constexpr float kMetresPerNm = 1852.0F;
    FocusOnPoint(aircraft, kZoomedMap, zoomedMapRadius / kMetresPerNm);
    MapViewState& s = g_mapViewStates[kZoomedMap];
    s.centredOnAircraft = 1;
    s.trackUpButton = 0;
    s.rotationDeg = 0.0F;
}

void MapViewModel::ZoomToFix(const nav::WaypointRecord& aircraft) {
    if (firstFixSeen == 0 || mapLoaded == 0 || displayMode == kFocusObject || zoomed != 0) return;
    SaveViewState(displayMode);
    modeBeforeZoom = displayMode;
    RestoreViewState(kZoomedMap);
    mapFile_.SetRotation(rotationDeg, true);
    zoomed = 1;
    SetMapMargin(marginFraction);
    PublishMapTransform();
    CenterMapOn(aircraft, false);
}

void MapViewModel::SetMapDisplayMode(int mode, const nav::WaypointRecord& aircraft) {
    if (mode < 0 || mode >= kViewStateCount) return;
    if ((mode == kZoomedMap || mode == kFocusPoint) && (firstFixSeen == 0 || mapLoaded == 0)) return;
    if (zoomed != 0) {
        SaveViewState(kZoomedMap);
        RestoreViewState(mode == kFocusObject ? kFocusObject : modeBeforeZoom);
    } else if (mode != kZoomedMap) {
        SaveViewState(displayMode);
        RestoreViewState(mode);
    } else {
        ZoomToFix(aircraft);
        return;
    }
    mapFile_.SetRotation(rotationDeg, true);
    zoomed = 0;
    SetMapMargin(marginFraction);
    Changed();
}

}  // namespace map
