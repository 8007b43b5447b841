#include "mapdata/sphere_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mapdata {
namespace {

// Below this, 1 - z^2 counts as zero: the point is a pole.
constexpr double kPoleLimit = 5e-11;

}  // namespace

UnitVector ToUnitVector(double lonWest, double latitude) {
    const double c = std::cos(latitude);
    return {static_cast<float>(c * std::cos(lonWest)), static_cast<float>(-c * std::sin(lonWest)),
            static_cast<float>(std::sin(latitude))};
}

LonLat UnitVectorToLonLat(const UnitVector& p) {
    const double z = std::clamp(static_cast<double>(p.z), -1.0, 1.0);
    const double latitude = std::asin(z);
    const double q2 = 1.0 - z * z;
    if (q2 < kPoleLimit) return {0.0F, static_cast<float>(latitude)};
    double lon = std::acos(std::clamp(p.x / std::sqrt(q2), -1.0, 1.0));
    if (p.y > 0.0F) lon = -lon;
    return {static_cast<float>(lon), static_cast<float>(latitude)};
}

LonLat SphericalDirect(const UnitVector& p, double distance, double course) {
    const double z = std::clamp(static_cast<double>(p.z), -1.0, 1.0);
    const double q2 = 1.0 - z * z;
    const double q = q2 < kPoleLimit ? 0.0 : std::sqrt(q2);
    const double sinLat2 =
        std::clamp(z * std::cos(distance) + q * std::sin(distance) * std::cos(course), -1.0, 1.0);
    const double latitude = std::asin(sinLat2);
    const double cosLat2 = std::cos(latitude);
    if (std::fabs(cosLat2) < kPoleLimit || q < kPoleLimit) {
        return {0.0F, static_cast<float>(latitude)};
    }
    double lonEast = std::acos(std::clamp(p.x / q, -1.0, 1.0));
    if (p.y < 0.0F) lonEast = -lonEast;
    lonEast += std::atan2(std::sin(course) * std::sin(distance) * q,
                          std::cos(distance) - z * sinLat2);
    // Into (-pi, pi].
    constexpr double kTurn = 2.0 * std::numbers::pi;
    lonEast = std::remainder(lonEast, kTurn);
    if (lonEast <= -std::numbers::pi) lonEast += kTurn;
    return {static_cast<float>(-lonEast), static_cast<float>(latitude)};
}

UnitCourse UnitCourseAndDistance(const UnitVector& a, const UnitVector& b) {
    const double ax = a.x, ay = a.y, az = a.z;
    const double bx = b.x, by = b.y, bz = b.z;
    const double nx = ay * bz - az * by;
    const double ny = az * bx - ax * bz;
    const double nz = ax * by - ay * bx;
    const double norm = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double cross = std::min(norm, 1.0);
    UnitCourse result;
    result.distance = std::asin(cross);
    if (ax * bx + ay * by + az * bz < 0.0) result.distance = std::numbers::pi - result.distance;

    const double horizontal = std::sqrt(ax * ax + ay * ay);
    if (az <= -1.0 || (horizontal == 0.0 && az < 0.0)) {
        result.course = 0.0;  // from the south pole every way is north
    } else if (az >= 1.0 || horizontal == 0.0) {
        result.course = std::numbers::pi;
    } else if (cross < 2e-9) {
        result.course = 0.0;
    } else {
        const double cosC = (ay * nx - ax * ny) / (norm * horizontal);
        double c = 0.0;
        if (cosC < -1.0) {
            c = std::numbers::pi;
        } else if (cosC <= 1.0) {
            c = std::acos(cosC);
        }
        if (ay * bx - ax * by > 0.0) c = 2.0 * std::numbers::pi - c;
        result.course = c;
    }
    return result;
}

}  // namespace mapdata
