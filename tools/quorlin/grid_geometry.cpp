#include "tools/quorlin/grid_geometry.h"

#include <algorithm>
#include <cmath>

namespace quorlin {

double GreatCircleMiles(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kRadians = 0.017453292519943295;
    const double a = lat1 * kRadians, b = lat2 * kRadians;
    double c = std::sin(a) * std::sin(b) + std::cos(a) * std::cos(b) * std::cos((lon1 - lon2) * kRadians);
    c = std::clamp(c, -1.0, 1.0);
    return std::acos(c) * 3959.602237414543;
}

}  // namespace quorlin
