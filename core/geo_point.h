#pragma once
// A geographic position as positions cross folders in new code: degrees,
// latitude positive north, longitude positive EAST. Older records keep their
// own forms (radians with longitude positive west in the waypoint record and
// the task zones); the conversions below are the one place that bridges them.

#include <numbers>

namespace core {

struct GeoPoint {
    double latitude = 0.0;   // degrees, -90..90, north positive
    double longitude = 0.0;  // degrees, east positive

    friend bool operator==(const GeoPoint&, const GeoPoint&) = default;
};

// From radians with longitude positive west.
constexpr GeoPoint FromRadiansWest(double latitude, double lonWest) {
    constexpr double kDegrees = 180.0 / std::numbers::pi;
    return {latitude * kDegrees, -lonWest * kDegrees};
}

// Radians, longitude positive west.
constexpr double LatitudeRadians(const GeoPoint& p) {
    return p.latitude * std::numbers::pi / 180.0;
}
constexpr double LonWestRadians(const GeoPoint& p) {
    return -p.longitude * std::numbers::pi / 180.0;
}

}  // namespace core
