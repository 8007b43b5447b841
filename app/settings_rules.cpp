#include "app/settings_rules.h"

#include <cmath>

#include "platform/numbers.h"

namespace app {

bool IsSaneAngle(double degrees) {
    return std::isfinite(degrees) && std::fabs(degrees) <= 1e6;
}

double NormaliseDegrees180(double degrees) {
    double result = std::fmod(degrees, 360.0);
    if (result < -180.0) result += 360.0;
    if (result > 180.0) result -= 360.0;
    return result;
}

std::wstring FormatDegreesMinutes(double degrees, wchar_t positiveLetter, wchar_t negativeLetter) {
    const double magnitude = std::fabs(degrees);
    const double whole = std::floor(magnitude);
    const wchar_t letter = degrees < 0 ? negativeLetter : positiveLetter;
    return platform::FormatC(L"%3.0lf:%05.2lf' %lc", whole, (magnitude - whole) * 60.0,
                             static_cast<wint_t>(letter));
}

float ThermalAverageDecay(int averageNthermals) {
    if (averageNthermals <= 1) return 0.0F;
    return static_cast<float>(std::exp(-1.0 / (averageNthermals - 1.0)));
}

std::wstring FolderOf(std::wstring_view path) {
    const auto slash = path.rfind(L'/');
    return slash == std::wstring_view::npos ? std::wstring{}
                                            : std::wstring{path.substr(0, slash + 1)};
}

}  // namespace app
