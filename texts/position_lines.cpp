#include "texts/position_lines.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "core/utm.h"
#include "platform/numbers.h"

namespace glide {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

std::wstring DegreesMinutesSeconds(double degrees, wchar_t letter) {
    const long long total = std::llround(std::fabs(degrees) * 3600.0);
    return platform::FormatC(L"%3.0lf:%02.0lf'%02.0lf\" %lc", static_cast<double>(total / 3600),
                             static_cast<double>(total % 3600 / 60),
                             static_cast<double>(total % 60), letter);
}

std::wstring DecimalMinutes(double degrees, wchar_t letter) {
    const long long hundredths = std::llround(std::fabs(degrees) * 6000.0);
    return platform::FormatC(L"%3.0lf:%05.2lf' %lc", static_cast<double>(hundredths / 6000),
                             static_cast<double>(hundredths % 6000) / 100.0, letter);
}

struct Groups {
    int hundredsOfKm;
    int km;
    int metres;
};

// Rounded to the metre (the 0.01 keeps the divisions off an exact edge).
Groups SplitMetres(double value) {
    const double metres = std::floor(value + 0.5) + 0.01;
    const int high = static_cast<int>(metres / 100000.0);
    const int middle = static_cast<int>((metres - 100000.0 * high) / 1000.0);
    const int rest = static_cast<int>(metres - 100000.0 * high - 1000.0 * middle);
    return {high, middle, rest};
}

}  // namespace

PositionLines FormatUtmLines(int zone, double easting, double northing) {
    const Groups e = SplitMetres(easting);
    const Groups n = SplitMetres(northing);
    return {platform::FormatC(L"%2d%lc%3d %02d %03d", std::abs(zone), zone < 0 ? L'S' : L'N',
                              e.hundredsOfKm, e.km, e.metres),
            platform::FormatC(L"%6d %02d %03d", n.hundredsOfKm, n.km, n.metres)};
}

std::optional<PositionLines> FormatPositionLines(double latitude, double lonWest,
                                                 PositionForm form) {
    if (!std::isfinite(latitude) || !std::isfinite(lonWest)) return std::nullopt;
    if (form == PositionForm::kUtm) {
        const core::UtmPosition utm = core::LatLonToUTM(latitude, lonWest, core::AngleUnit::kRadians);
        if (utm.zone == 0 || !std::isfinite(utm.easting) || !std::isfinite(utm.northing))
            return std::nullopt;
        return FormatUtmLines(utm.zone, utm.easting, utm.northing);
    }
    const double latDeg = latitude * kDegreesPerRadian;
    const double lonDeg = std::remainder(lonWest * kDegreesPerRadian, 360.0);
    const wchar_t latLetter = latDeg < 0.0 ? L'S' : L'N';
    const wchar_t lonLetter = lonDeg < 0.0 ? L'E' : L'W';
    if (form == PositionForm::kDecimalMinutes)
        return PositionLines{DecimalMinutes(latDeg, latLetter), DecimalMinutes(lonDeg, lonLetter)};
    return PositionLines{DegreesMinutesSeconds(latDeg, latLetter),
                         DegreesMinutesSeconds(lonDeg, lonLetter)};
}

}  // namespace glide
