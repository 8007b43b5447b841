#pragma once
// The FAI triangle rule: every leg of a triangle is at least 28 % and at most
// 44 % of its total, or, for a total of 750 km and more, at least 25 % and at
// most 45 %.

#include "core/waypoint_record.h"

namespace nav {

inline constexpr float kFaiLargeTriangleKm = 750.0F;

// The ellipsoid distance in km between two records (0 when the geodesic
// cannot be computed).
float FaiLegKm(const WaypointRecord& a, const WaypointRecord& b);

// The class of a triangle of legs l1, l2, l3 (km): 0 not FAI (or a total
// below 0.1 km), 1 FAI under the small-triangle bounds, 2 under the large.
int ClassifyFaiTriangle(float l1, float l2, float l3);

// The class of the triangle p0, p1, p2.
int IsFaiTriangle(const WaypointRecord& p0, const WaypointRecord& p1, const WaypointRecord& p2);

}  // namespace nav
