#include "frame/position_map_box.h"

#include <algorithm>
#include <cmath>

#include "core/angles.h"

namespace frame {
namespace {

constexpr double kMapBoxEarthRadiusKm = 6371.0;
constexpr double kMinimumHalfKm = 2.0;
constexpr double kAircraftMargin = 1.1;  // the aircraft a little inside the edge
constexpr double kMinimumCosine = 0.05;

}  // namespace

core::GeoBox WaypointBoxWithAircraft(const nav::WaypointRecord& waypoint,
                                     const std::optional<nav::WaypointRecord>& aircraft) {
    const double cosLat = std::max(std::cos(waypoint.latitude), kMinimumCosine);
    double half = kMinimumHalfKm / kMapBoxEarthRadiusKm;  // radians of latitude
    if (aircraft) {
        const double dLat = std::abs(aircraft->latitude - waypoint.latitude);
        const double dLon = std::abs(aircraft->longitude - waypoint.longitude) * cosLat;
        half = std::max(half, kAircraftMargin * std::max(dLat, dLon));
    }
    const core::GeoPoint centre = core::FromRadiansWest(waypoint.latitude, waypoint.longitude);
    const double halfDeg = half / core::kRadiansPerDegree;
    const double lonHalfDeg = halfDeg / cosLat;
    return {centre.longitude - lonHalfDeg, centre.latitude - halfDeg, centre.longitude + lonHalfDeg,
            centre.latitude + halfDeg};
}

}  // namespace frame
