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

void ArcPoints(const ArcShapes::Shape& shape, platform::Point centre, std::vector<platform::Point>& out) {
    out.clear();
    AppendArcPoints(centre, shape.radius, shape.from, shape.sweep, out);
    if (shape.dropRepeats) out.erase(std::unique(out.begin(), out.end()), out.end());
    if (shape.reversed) std::reverse(out.begin(), out.end());
}

void ArcShapes::Points(const Shape& shape, platform::Point centre, std::vector<platform::Point>& out) {
    // Only numbers order as keys.
    if (!std::isfinite(shape.radius) || !std::isfinite(shape.from) || !std::isfinite(shape.sweep)) {
        ArcPoints(shape, centre, out);
        return;
    }
    auto found = offsets_.find(shape);
    if (found == offsets_.end()) {
        // A point's offset from the centre is the same whatever the centre:
        // centre + rounded offset, whole numbers added.
        std::vector<platform::Point> offsets;
        ArcPoints(shape, {0, 0}, offsets);
        if (points_ + offsets.size() > kMaxPoints) {
            ArcPoints(shape, centre, out);
            return;
        }
        points_ += offsets.size();
        found = offsets_.emplace(shape, std::move(offsets)).first;
    }
    out.resize(found->second.size());
    std::transform(found->second.begin(), found->second.end(), out.begin(), [centre](platform::Point p) {
        return platform::Point{centre.x + p.x, centre.y + p.y};
    });
}

}  // namespace mapdata
