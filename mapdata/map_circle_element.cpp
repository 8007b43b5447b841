#include "mapdata/map_circle_element.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mapdata {
namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;
// Radians of arc per nautical mile (one minute of arc).
constexpr double kRadiansPerNm = 0.0002909;

double AngleFromCentre(const UnitVector& c, const nav::WaypointRecord& fix) {
    const double nx = c.y * fix.z - c.z * fix.y;
    const double ny = c.z * fix.x - c.x * fix.z;
    const double nz = c.x * fix.y - c.y * fix.x;
    return std::asin(std::min(std::sqrt(nx * nx + ny * ny + nz * nz), 1.0));
}

}  // namespace

float NormaliseBearing(float bearing) {
    if (!std::isfinite(bearing)) return 0.0F;
    double b = std::fmod(static_cast<double>(bearing), kTurn);
    if (b < 0.0) b += kTurn;
    auto result = static_cast<float>(b);
    // Rounding to float may land on 2 pi itself.
    return result >= static_cast<float>(kTurn) ? 0.0F : result;
}

double CMapCircleElement::AngularRadius() const {
    const double earth =
        std::isfinite(earthRadiusKm) && earthRadiusKm > 0.0F ? earthRadiusKm : kCircleEarthRadiusKm;
    return radiusKm / earth;
}

std::vector<LonLat> CMapCircleElement::GenerateOutline(float stepDegrees) const {
    const double radius = AngularRadius();
    double step = std::max(1.0F, std::isfinite(stepDegrees) ? stepDegrees : 1.0F) * kElementDegree;
    double start = NormaliseBearing(startBearing);
    double end = NormaliseBearing(endBearing);
    if (counterClockwise) {
        step = -step;
        if (start < end) start += kTurn;
    } else if (start > end) {
        end += kTurn;
    }
    std::vector<LonLat> outline;
    outline.reserve(static_cast<std::size_t>(std::fabs(end - start) / std::fabs(step)) + 2);
    const auto passed = [&](double bearing) {
        return counterClockwise ? bearing + step / 8.0 < end : bearing + step / 8.0 > end;
    };
    for (double bearing = start; !passed(bearing); bearing += step) {
        outline.push_back(SphericalDirect(centre, radius, bearing));
    }
    outline.push_back(SphericalDirect(centre, radius, end));
    return outline;
}

UnitVector CMapCircleElement::GetArcStart() const {
    return ToUnitVector(SphericalDirect(centre, AngularRadius(), NormaliseBearing(startBearing)));
}

UnitVector CMapCircleElement::GetArcEnd() const {
    return ToUnitVector(SphericalDirect(centre, AngularRadius(), NormaliseBearing(endBearing)));
}

void CMapCircleElement::ComputeBounds() {
    std::vector<LonLat> points = GenerateOutline(2.0F);
    if (sector) points.push_back(UnitVectorToLonLat(centre));
    bounds = {};
    for (const LonLat& p : points)
        bounds.Extend(core::FromRadiansWest(p.lat, p.lon));
}

bool CMapCircleElement::ZoneTest(const nav::WaypointRecord& fix, float marginBelow,
                                 float marginAbove, float terrain) const {
    if (fillStyle == 0) return false;
    if (!PassesVerticalTest(fix, marginBelow, marginAbove, terrain)) return false;
    return AngleFromCentre(centre, fix) < AngularRadius();
}

double CMapCircleElement::DistanceTo(const nav::WaypointRecord& fix) const {
    if (fillStyle == 0) return 1e10;
    return (AngleFromCentre(centre, fix) - AngularRadius()) / kRadiansPerNm;
}

}  // namespace mapdata
