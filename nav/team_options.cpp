#include "nav/team_options.h"

#include <cmath>
#include <cwctype>
#include <numbers>

#include "nav/team_code.h"

namespace nav {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

std::wstring UpperCased(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return upper;
}

int MarkerConvention(std::wstring_view upper) {
    if (upper == kTeamConventionOwn) return 0;
    if (upper == kTeamConventionBase36) return 1;
    if (upper == kTeamConventionGrid) return 2;
    return 3;
}

}  // namespace

AngleFields SplitAngle(double radians) {
    AngleFields f;
    f.negative = radians < 0.0;
    const double d = std::fabs(radians) * kDegreesPerRadian + 0.05 / 3600.0;
    f.degrees = static_cast<int>(d);
    const double minutes = (d - f.degrees) * 60.0;
    f.minutes = static_cast<int>(minutes);
    f.seconds = std::floor((minutes - f.minutes) * 600.0) / 10.0;
    return f;
}

double JoinAngle(double degrees, double minutes, double seconds) {
    return degrees + (minutes + seconds / 60.0) / 60.0;
}

std::wstring CleanTypedTeamCode(std::wstring_view typed) {
    const std::wstring upper = UpperCased(typed);
    if (MarkerConvention(upper) != 3) return upper;
    return CleanTeamCode(upper, 4);
}

CheckedTeamCode CheckTeamCode(std::wstring_view typed) {
    const std::wstring upper = UpperCased(typed);
    const int convention = MarkerConvention(upper);
    if (convention != 3) return {convention, upper, false};
    const std::wstring key = CleanTeamCode(upper, 4);
    if (key.empty() || TeamCodeToValue(key, 0) == -999) {
        return {1, std::wstring(kTeamConventionBase36), true};
    }
    return {3, key, false};
}

TeamOptions TeamOptions::FromRunning() {
    const TeamSettings& s = CurrentTeamCoder()->Settings();
    return {s.enable, s.grid, s.lastCode, s.wptName, s.centerLon, s.centerLat};
}

void TeamOptions::Apply(platform::SettingsStore& store) const {
    const CheckedTeamCode checked = CheckTeamCode(code);
    TeamSettings s;
    s.enable = enable;
    s.grid = grid;
    s.encodeInfo = checked.convention;
    s.lastCode = checked.code;
    s.wptName = wptName;
    s.centerLon = lonWest;
    s.centerLat = latitude;
    SetTeamSettings(s);
    WriteTeamSettings(store, s);
}

void TeamOptions::ApplyRunning(platform::SettingsStore& store) {
    WriteTeamSettings(store, CurrentTeamCoder()->Settings());
}

}  // namespace nav
