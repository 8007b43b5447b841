#include "core/waypoint_record.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nav {

void WaypointName::Assign(std::wstring_view text, std::size_t limit) {
    const std::size_t length = std::min({text.size(), limit, kCapacity});
    std::copy_n(text.begin(), length, chars_.begin());
    chars_[length] = L'\0';
    length_ = static_cast<std::uint8_t>(length);
}

WaypointRecord::WaypointRecord(double latitudeIn, double longitudeIn, bool inDegrees)
    : longitude(longitudeIn), latitude(latitudeIn) {
    if (inDegrees) {
        constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
        longitude *= kRadiansPerDegree;
        latitude *= kRadiansPerDegree;
    }
    ComputeUnitVector();
}

void WaypointRecord::ComputeUnitVector() {
    const double cosLatitude = std::cos(latitude);
    x = cosLatitude * std::cos(longitude);
    y = -cosLatitude * std::sin(longitude);
    z = std::sin(latitude);
}

void WaypointRecord::CopyPosition(const WaypointRecord& other) {
    longitude = other.longitude;
    latitude = other.latitude;
    x = other.x;
    y = other.y;
    z = other.z;
}

bool WaypointRecord::IsSamePosition(const WaypointRecord& other) const {
    constexpr double kSame = 1e-7;
    return std::fabs(longitude - other.longitude) < kSame &&
           std::fabs(latitude - other.latitude) < kSame;
}

}  // namespace nav
