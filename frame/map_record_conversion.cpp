#include "frame/map_record_conversion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace frame {

DialogAngle ToDialogAngle(double degrees, bool decimalMinutes) {
    DialogAngle angle;
    double whole = std::floor(degrees);
    const double fraction = degrees - whole;
    if (decimalMinutes) {
        double minutes = std::floor(fraction * 60000.0 + 0.5) / 1000.0;
        if (minutes >= 60.0) {
            minutes -= 60.0;
            whole += 1.0;
        }
        angle.minutes = minutes;
    } else {
        // Rounded down, but not below a value the binary fraction just
        // misses (10.51 degrees has 36.0 seconds, not 35.9).
        constexpr double kSlack = 1e-6;
        const double totalMinutes = fraction * 60.0;
        const double minutes = std::floor(totalMinutes + kSlack);
        angle.minutes = minutes;
        angle.seconds = std::max(std::floor((totalMinutes - minutes) * 600.0 + kSlack) / 10.0, 0.0);
    }
    angle.degrees = static_cast<int>(whole);
    return angle;
}

MapRecordPrefill PrefillFor(double latitudeRad, double longitudeWestRad, bool decimalMinutes) {
    constexpr double kDegrees = 180.0 / std::numbers::pi;
    MapRecordPrefill prefill;
    prefill.north = latitudeRad >= 0.0 ? 1 : 0;
    prefill.east = longitudeWestRad < 0.0 ? 1 : 0;
    prefill.latitude = ToDialogAngle(std::fabs(latitudeRad) * kDegrees, decimalMinutes);
    prefill.longitude = ToDialogAngle(std::fabs(longitudeWestRad) * kDegrees, decimalMinutes);
    return prefill;
}

bool ConvertsRecord(bool cancelled, const std::wstring& name, int mapCode, bool elementFound) {
    if (cancelled || name.empty() || !elementFound) return false;
    return name.front() == L';' || mapCode > 0 || mapCode == -5;
}

}  // namespace frame
