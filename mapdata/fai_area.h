#pragma once
// CFaiAreaElement: the map's FAI area overlay. For a triangle task with two
// fixed corners (the base leg A-B), it outlines where the open corner may lie
// so that the triangle meets the FAI rule: every leg at least 28 % and at
// most 44 % of the total, or from a total of 750 km at least 25 % and at most
// 45 %. The element's own points hold the region's outline; LargeRegion()
// holds the part where the large-triangle rule applies when both exist.
// Both are filled solid in light grey.
//
// The outline is built on the side of the base where the third point lies.
// Distances are ellipsoid geodesics, computed quietly (no message), so the
// task code may rebuild the area on the fix-processing thread; it does so
// under the task lock, and the map reads it under that lock.

#include <array>

#include "core/waypoint_record.h"
#include "mapdata/map_poly_element.h"

namespace mapdata {

// The leg rule: the class of a triangle of legs l1, l2, l3 (km): 0 not FAI,
// 1 under the small-triangle bounds, 2 under the large ones.
using FaiLegRule = int (*)(float l1, float l2, float l3);

class CFaiAreaElement : public CMapPolyElement {
  public:
    CFaiAreaElement();

    // Empties both outlines (points, bounds) and restores the fill.
    void Reset();
    // Builds the area for the base cornerA-cornerB on sidePoint's side;
    // false (and the element reset) when a geodesic cannot be computed.
    bool BuildOutline(const nav::WaypointRecord& cornerA, const nav::WaypointRecord& cornerB,
                      const nav::WaypointRecord& sidePoint);
    // The legs (km) of the triangle (A, B, point): point-A, point-B and the
    // stored base.
    std::array<float, 3> LegsWith(const nav::WaypointRecord& point) const;
    // The rule's class of that triangle.
    int ClassifyTriangleWith(const nav::WaypointRecord& point, FaiLegRule rule) const {
        const auto legs = LegsWith(point);
        return rule(legs[0], legs[1], legs[2]);
    }

    const CMapPolyElement& LargeRegion() const { return largeRegion_; }
    const nav::WaypointRecord& CornerA() const { return cornerA_; }
    const nav::WaypointRecord& CornerB() const { return cornerB_; }
    double BaseLengthKm() const { return baseKm_; }

  private:
    nav::WaypointRecord cornerA_;
    nav::WaypointRecord cornerB_;
    double baseKm_ = 0.0;
    CMapPolyElement largeRegion_;
};

}  // namespace mapdata
