#include "frame/position_map_box.h"

#include <algorithm>
#include <cmath>

namespace frame {
namespace {

constexpr double kMapBoxEarthRadiusKm = 6371.0;
constexpr double kMinimumHalfKm = 2.0;
constexpr double kAircraftMargin = 1.1;  // the aircraft a little inside the edge
constexpr double kMinimumCosine = 0.05;

}  // namespace

mapdata::ElementBounds WaypointBoxWithAircraft(const nav::WaypointRecord& waypoint,
                                               const std::optional<nav::WaypointRecord>& aircraft) {
    const double cosLat = std::max(std::cos(waypoint.latitude), kMinimumCosine);
    double half = kMinimumHalfKm / kMapBoxEarthRadiusKm;  // radians of latitude
    if (aircraft) {
        const double dLat = std::abs(aircraft->latitude - waypoint.latitude);
        const double dLon = std::abs(aircraft->longitude - waypoint.longitude) * cosLat;
        half = std::max(half, kAircraftMargin * std::max(dLat, dLon));
    }
    const double lonHalf = half / cosLat;
    return {static_cast<float>(waypoint.longitude - lonHalf), static_cast<float>(waypoint.latitude - half),
            static_cast<float>(waypoint.longitude + lonHalf), static_cast<float>(waypoint.latitude + half)};
}

}  // namespace frame
