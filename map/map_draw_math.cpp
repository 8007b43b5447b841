#include "map/map_draw_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/numbers.h"

namespace map {
namespace {

double Normalised(double deg) {
    double a = std::fmod(deg, 360.0);
    if (a < 0.0) a += 360.0;
    return a >= 360.0 ? 0.0 : a;
}

SinCosTable MakeSinCos() {
    SinCosTable t{};
    for (int d = 0; d < 360; ++d) {
        const double a = d * std::numbers::pi / 180.0;
        t[static_cast<std::size_t>(d)] = {static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a))};
    }
    return t;
}

}  // namespace

int SectorIndex(double angleDeg) {
    if (!std::isfinite(angleDeg)) return 0;
    return std::clamp(static_cast<int>(Normalised(angleDeg) / 45.0), 0, 7);
}

double ScaleDistance(int clientRight, int clientBottom, float pixelsPerMile, double unitFactor) {
    const double w = clientRight - 24;
    const double h = clientBottom;
    return std::sqrt(w * w + h * h) / pixelsPerMile * 1.609 * unitFactor;
}

std::string ScaleText(double d) {
    if (d <= 10.0) return platform::FormatC("%03.1f", d);
    if (d <= 100.0) return platform::FormatC("%.0f", d);
    return platform::FormatC("%d", static_cast<int>(std::floor((d + 5.0) / 10.0)) * 10);
}

WindDisc WindDiscFor(float speedKt) {
    if (speedKt > 19.0F) return WindDisc::kRed;
    if (speedKt > 8.0F) return WindDisc::kYellow;
    return WindDisc::kGreen;
}

const SinCosTable& SinCos() {
    static const SinCosTable table = MakeSinCos();
    return table;
}

std::vector<ArcPoint> BuildArcPoints(int cx, int cy, float r, float startDeg, float endDeg,
                                     int stepDeg) {
    std::vector<ArcPoint> points;
    if (!std::isfinite(startDeg) || !std::isfinite(endDeg) || !std::isfinite(r)) return points;
    const double start = Normalised(startDeg);
    double end = Normalised(endDeg);
    if (end < start) end += 360.0;
    const int step = std::max(stepDeg, 1);
    const auto at = [&](double cosA, double sinA) {
        return ArcPoint{static_cast<int>(r * cosA + cx), static_cast<int>(-r * sinA + cy)};
    };
    const double s = start * std::numbers::pi / 180.0;
    points.push_back(at(std::cos(s), std::sin(s)));
    const SinCosTable& table = SinCos();
    for (int a = static_cast<int>(std::ceil(start)); a < end && points.size() < 361; a += step) {
        const auto& e = table[static_cast<std::size_t>(a % 360)];
        points.push_back(at(e[0], e[1]));
    }
    const double e = end * std::numbers::pi / 180.0;
    points.push_back(at(std::cos(e), std::sin(e)));
    return points;
}

}  // namespace map
