#pragma once
// CMapCircleElement: a circle, arc or sector around a centre (map circles
// and arcs, circular airspace zones and their enlarged copies, task
// cylinders and sectors).
//
// Bearings are true, in radians; an element read from a file may hold any
// value, so they are brought into [0, 2 pi) before an outline is made.
// Outlines are made per call, never in a shared table, so any thread may
// make them. Same threading as every element otherwise (map_element.h).

#include <cstdint>
#include <vector>

#include "mapdata/map_element.h"
#include "mapdata/sphere_geometry.h"

namespace mapdata {

// The earth radius circles are made with, kilometres.
inline constexpr float kCircleEarthRadiusKm = 6371.0F;

class CMapCircleElement : public CMapElement {
  public:
    CMapCircleElement() : CMapElement(ElementKind::kCircle) {}

    // (longitude positive west, latitude) points of the outline from the
    // start bearing to the end bearing, stepDegrees apart (at least 1),
    // against the clock when counterClockwise, then one at the end bearing.
    std::vector<LonLat> GenerateOutline(float stepDegrees) const;
    // The outline points at the start and at the end bearing.
    UnitVector GetArcStart() const;
    UnitVector GetArcEnd() const;

    // The 2-degree outline, with the centre when it is a sector.
    void ComputeBounds() override;
    // Inside when the angular distance from the centre is below the radius;
    // never for an element without fill (an arc).
    bool ZoneTest(const nav::WaypointRecord& fix, float marginBelow, float marginAbove,
                  float terrain) const override;
    // Nautical miles from the edge, negative inside; 1e10 for an arc.
    double DistanceTo(const nav::WaypointRecord& fix) const override;

    // The radius as an angle: radius / earth radius (an earth radius that is
    // not a positive number counts as 6371 km).
    double AngularRadius() const;

    UnitVector centre;
    float radiusKm = 0.0F;
    float startBearing = 2.0F * kElementPi - 0.001F;
    float endBearing = 0.0F;
    bool counterClockwise = true;  // the outline runs with decreasing bearing
    bool sector = false;           // radii to the arc's ends are drawn
    std::int32_t fillStyle = 0;    // 0: an arc, never a zone
    std::int32_t penNumber = 0;
    std::int32_t colourNumber = 0;
    float earthRadiusKm = kCircleEarthRadiusKm;
    std::uint32_t colour = 0xFFFFFF;  // COLORREF
};

// A bearing brought into [0, 2 pi).
float NormaliseBearing(float bearing);

}  // namespace mapdata
