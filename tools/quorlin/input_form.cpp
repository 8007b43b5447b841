#include "tools/quorlin/input_form.h"

#include <cmath>

namespace quorlin {
namespace {

void SplitDegrees(double value, double& degrees, double& minutes, double& seconds) {
    value = std::fabs(value) + 1.37e-5;
    degrees = std::floor(value);
    const double rest = (value - degrees) * 60.0;
    minutes = std::floor(rest);
    seconds = std::floor((rest - minutes) * 600.0) / 10.0;
}

double Join(double degrees, double minutes, double seconds, bool negative) {
    const double value = (seconds / 60.0 + minutes) / 60.0 + degrees;
    return negative ? -value : value;
}

}  // namespace

CoordinateForm SplitCoordinates(Corner corner) {
    CoordinateForm f;
    f.south = corner.latitude < 0;
    f.east = corner.longitude < 0;
    SplitDegrees(corner.latitude, f.latDegrees, f.latMinutes, f.latSeconds);
    SplitDegrees(corner.longitude, f.lonDegrees, f.lonMinutes, f.lonSeconds);
    return f;
}

std::optional<Corner> JoinCoordinates(const CoordinateForm& f) {
    for (double part : {f.latDegrees, f.latMinutes, f.latSeconds, f.lonDegrees, f.lonMinutes, f.lonSeconds}) {
        if (part < 0) return std::nullopt;
    }
    return Corner{Join(f.lonDegrees, f.lonMinutes, f.lonSeconds, f.east),
                  Join(f.latDegrees, f.latMinutes, f.latSeconds, f.south)};
}

std::optional<int> FirstLevelOutOfOrder(const Thresholds& levels) {
    for (std::size_t i = 1; i < levels.size(); ++i) {
        if (levels[i] <= levels[i - 1]) return static_cast<int>(i);
    }
    return std::nullopt;
}

}  // namespace quorlin
