#include "mapdata/map_draw_state.h"

#include <cmath>

namespace mapdata {

ScreenPoint ProjectToScreen(const MapDrawState& s, const UnitVector& p) {
    const double d = p.x * s.centre.x + p.y * s.centre.y + p.z * s.centre.z;
    const double u = (p.x * s.eastX + p.y * s.eastY) / d;
    const double v = (p.x * s.north.x + p.y * s.north.y + p.z * s.north.z) / d;
    const float xr = static_cast<float>(s.r00 * u + s.r01 * v);
    const float yr = static_cast<float>(s.r10 * u + s.r11 * v);
    return {s.cx - s.k * xr, s.cy - s.k * yr};
}

UnitVector ScreenToUnitVector(const MapDrawState& s, float x, float y) {
    const double xr = -(x - s.cx) / s.k;
    const double yr = -(y - s.cy) / s.k;
    // The rotation's determinant is 1: its adjugate is its inverse.
    const double u = s.r11 * xr - s.r01 * yr;
    const double v = -s.r10 * xr + s.r00 * yr;
    // e, E and N are orthonormal, so e + u E + v N projects to (u, v).
    double px = s.centre.x + u * s.eastX + v * s.north.x;
    double py = s.centre.y + u * s.eastY + v * s.north.y;
    double pz = s.centre.z + v * s.north.z;
    const double norm = std::sqrt(px * px + py * py + pz * pz);
    px /= norm;
    py /= norm;
    pz /= norm;
    if (px * s.centre.x + py * s.centre.y + pz * s.centre.z < 0.0) {
        px = -px;
        py = -py;
        pz = -pz;
    }
    return {static_cast<float>(px), static_cast<float>(py), static_cast<float>(pz)};
}

}  // namespace mapdata
