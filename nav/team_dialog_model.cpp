#include "nav/team_dialog_model.h"

#include <array>
#include <cmath>
#include <numbers>

#include "core/elevation_model.h"
#include "core/geodesy.h"
#include "core/settings_values.h"
#include "nav/team_code.h"
#include "platform/numbers.h"

namespace nav {
namespace {

constexpr double kNmPerKm = 0.53996;

// Distance units: factor from km ("M ", "N ", "km", and the fourth as
// nautical miles).
constexpr std::array<double, 4> kDistanceFactors{0.6215, 0.53996, 1.0, 0.53996};

struct AltitudeFormat {
    const wchar_t* format;
    const wchar_t* name;
    double factor;  // from feet
};
constexpr std::array<AltitudeFormat, 3> kAltitudeFormats{{{L"%03.1f%ls", L"kF", 0.001},
                                                          {L"%04.2f%ls", L"km", 0.000304735},
                                                          {L"%01.0f%ls", L"m", 0.304735}}};
// The course mark by the altitude unit.
constexpr std::array<wchar_t, 3> kCourseMarks{L'm', L'm', L'g'};

template <typename T, std::size_t N>
const T& Pick(const std::array<T, N>& table, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? table[static_cast<std::size_t>(index)]
                                                             : table[0];
}

}  // namespace

void TeamDialogModel::Append(wchar_t c) {
    if (TeamDigitValue(c) >= 0) code += c;
}

void TeamDialogModel::Backspace() {
    if (!code.empty()) code.pop_back();
}

std::wstring TeamDialogModel::ShowText() const {
    if (!ownKnown || code.empty()) return {};
    const std::optional<CWaypointEntry> result = Result();
    if (!result) return L"???";
    const WaypointRecord& target = result->record;
    const core::GeodesicInverseResult way = core::g_ellipsoid.GeodesicInverse(
        ownLat, -ownLon, target.latitude, -target.longitude, true);
    const int distanceUnit = core::g_unitDist.load();
    const double distance = way.distance / kNmPerKm * Pick(kDistanceFactors, distanceUnit);
    const std::wstring unitName(core::DistanceUnitName(distanceUnit));
    double course = way.course12 * 180.0 / std::numbers::pi - core::g_magneticVariation.load();
    course = std::fmod(course, 360.0);
    if (course < 0.0) course += 360.0;
    const int altitudeUnit = core::g_unitAlt.load();
    const wchar_t mark = Pick(kCourseMarks, altitudeUnit);
    const std::optional<float> elevation = TerrainElevation(target.longitude, target.latitude);
    if (!elevation) {
        return platform::FormatC(L"%6.1f%ls %5.0f%lc", distance, unitName.c_str(), course, mark);
    }
    const AltitudeFormat& format = Pick(kAltitudeFormats, altitudeUnit);
    const std::wstring height = platform::FormatC(format.format, *elevation * format.factor,
                                                  format.name);
    return platform::FormatC(L"%5.1f%ls %4.0f%lc  %ls", distance, unitName.c_str(), course, mark,
                             height.c_str());
}

std::optional<CWaypointEntry> TeamDialogModel::Result() const {
    if (code.empty()) return std::nullopt;
    return TeamCodeToPosition(code);
}

std::optional<float> TerrainElevation(double lonWest, double latitude) {
    const std::shared_ptr<const core::ElevationModel> model = core::CurrentElevationModel();
    if (!model) return std::nullopt;
    return model->GetElevationAt(lonWest, latitude);
}

}  // namespace nav
