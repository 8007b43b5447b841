#pragma once
// The map transform as the map window publishes it before drawing: a
// gnomonic projection about the map centre, rotated by the map rotation and
// scaled to the screen. Elements and taps go through the same transform.
//
// A value: the map window keeps the published one; exports and tests make
// their own. The functions are pure; any thread may call them with a state
// of its own.

#include "core/geo_box.h"
#include "mapdata/sphere_geometry.h"

namespace mapdata {

struct Vector3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct MapDrawState {
    Vector3 centre{1.0, 0.0, 0.0};  // e, the projection centre
    double eastX = 0.0;             // E (its z is 0)
    double eastY = 1.0;
    Vector3 north{0.0, 0.0, 1.0};  // N
    float r00 = 1.0F;              // rotation
    float r01 = 0.0F;
    float r10 = 0.0F;
    float r11 = 1.0F;
    float cx = 0.0F;  // screen centre, pixels
    float cy = 0.0F;
    float k = 1.0F;             // pixels per unit of projected distance
    float scale = 0.0F;         // the current map scale
    float pixelsPerKm = 1.0F;   // of a circle's radius on the screen
    float rotation = 0.0F;      // the map rotation, radians
    core::GeoBox visibleBox;    // what may be seen, degrees east positive
};

struct ScreenPoint {
    float x = 0.0F;
    float y = 0.0F;
};

// Where a position lands on the screen: d = p.e, u = (p.x E.x + p.y E.y) / d,
// v = p.N / d, rotated, then X = cx - k x', Y = cy - k y'.
ScreenPoint ProjectToScreen(const MapDrawState& state, const UnitVector& p);

// The inverse: the position on the near side of the sphere that projects to
// (x, y).
UnitVector ScreenToUnitVector(const MapDrawState& state, float x, float y);

}  // namespace mapdata
