#include "mapdata/arc_points.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mapdata {
namespace {

constexpr double kStep = 2.0 * std::numbers::pi / 180.0;

// How far the stepped cosine and sine may stray from those of the rounded
// angle, per unit of radius: the angle's own rounding (below 4 pi) and the
// rotation's drift over 180 steps are each below 1e-13; this is a hundred
// times more.
constexpr double kStray = 1e-11;

int Offset(double value) { return static_cast<int>(std::lround(value)); }

// Whether a value within `stray` of v may round to another integer than v.
bool MayRoundOtherwise(double v, double stray) {
    return std::abs(v - std::floor(v) - 0.5) <= stray;
}

}  // namespace

void AppendArcPoints(platform::Point centre, double radius, double from, double sweep,
                     std::vector<platform::Point>& out) {
    const int steps = static_cast<int>(std::ceil(sweep / kStep));
    out.reserve(out.size() + static_cast<std::size_t>(steps) + 1);
    const auto exact = [&](double a) {
        return platform::Point{centre.x + Offset(radius * std::cos(a)), centre.y - Offset(radius * std::sin(a))};
    };
    const double stepCos = std::cos(kStep);
    const double stepSin = std::sin(kStep);
    const double stray = kStray * (std::abs(radius) + 1.0);
    double c = std::cos(from);
    double s = std::sin(from);
    for (int i = 0; i < steps; ++i) {
        if (i == 0) {
            out.push_back(exact(from));
        } else {
            const double x = radius * c;
            const double y = radius * s;
            if (MayRoundOtherwise(x, stray) || MayRoundOtherwise(y, stray))
                out.push_back(exact(from + std::min(sweep, i * kStep)));
            else
                out.push_back({centre.x + Offset(x), centre.y - Offset(y)});
        }
        const double turned = c * stepCos - s * stepSin;
        s = s * stepCos + c * stepSin;
        c = turned;
    }
    // The end, at the sweep itself.
    out.push_back(exact(from + std::min(sweep, steps * kStep)));
}

}  // namespace mapdata
