#pragma once
// A latitude/longitude box: degrees, latitude positive north, longitude
// positive EAST, as core::GeoPoint. Files that keep west-positive
// longitudes convert where they are read and written.
//
// Longitudes are taken as given, never wrapped: a box that crosses the
// 180th meridian holds it as a west or east edge beyond +-180 (an outline
// unwrapped point by point, 179 then 181), and its tests compare plainly,
// so such a box contains 180 but not -180.
//
// A default box is empty (its edges inverted infinities): it contains and
// meets nothing, and extending it by a point makes the box of that point.
// IsEmpty() holds as well for a box given with its west east of its east
// (or its south north of its north); the tests compare such a box's edges
// as given.

#include "core/geo_point.h"

#include <algorithm>
#include <limits>

namespace core {

struct GeoBox {
    static constexpr double kNone = std::numeric_limits<double>::infinity();

    double west = kNone;
    double south = kNone;
    double east = -kNone;
    double north = -kNone;

    // The box of one point.
    static constexpr GeoBox Around(const GeoPoint& p) {
        return {p.longitude, p.latitude, p.longitude, p.latitude};
    }

    constexpr bool IsEmpty() const { return !(west <= east && south <= north); }

    // The edges belong to the box.
    constexpr bool Contains(const GeoPoint& p) const {
        return west <= p.longitude && p.longitude <= east && south <= p.latitude &&
               p.latitude <= north;
    }
    // Strictly inside: a point on an edge is outside.
    constexpr bool ContainsInside(const GeoPoint& p) const {
        return west < p.longitude && p.longitude < east && south < p.latitude &&
               p.latitude < north;
    }

    // Boxes that share an edge or a corner intersect; a default box meets
    // nothing.
    constexpr bool Intersects(const GeoBox& other) const {
        return west <= other.east && other.west <= east && south <= other.north &&
               other.south <= north;
    }
    // The insides overlap: boxes that only touch do not.
    constexpr bool OverlapsInside(const GeoBox& other) const {
        return west < other.east && other.west < east && south < other.north &&
               other.south < north;
    }

    constexpr void Extend(const GeoPoint& p) {
        west = std::min(west, p.longitude);
        east = std::max(east, p.longitude);
        south = std::min(south, p.latitude);
        north = std::max(north, p.latitude);
    }
    // The union; an empty box adds nothing.
    constexpr void Extend(const GeoBox& other) {
        if (other.IsEmpty()) return;
        west = std::min(west, other.west);
        east = std::max(east, other.east);
        south = std::min(south, other.south);
        north = std::max(north, other.north);
    }

    constexpr double Width() const { return east - west; }
    constexpr double Height() const { return north - south; }

    friend constexpr bool operator==(const GeoBox&, const GeoBox&) = default;
};

constexpr GeoBox Union(GeoBox a, const GeoBox& b) {
    a.Extend(b);
    return a;
}

// From edges in radians with longitude positive west, as stored maps keep
// them: the smallest west-positive longitude is the east edge. Each edge is
// converted as given, so edges out of order stay out of order.
constexpr GeoBox BoxFromRadiansWest(double minLonWest, double minLat, double maxLonWest,
                                    double maxLat) {
    const GeoPoint southWest = FromRadiansWest(minLat, maxLonWest);
    const GeoPoint northEast = FromRadiansWest(maxLat, minLonWest);
    return {southWest.longitude, southWest.latitude, northEast.longitude, northEast.latitude};
}

}  // namespace core
