#include "texts/display_units.h"

#include <array>

#include "core/settings_values.h"

namespace glide {
namespace {

constexpr std::array<DisplayUnit, 3> kSpeedUnits{
    {{1.0F, L"kts"}, {1.151F, L"Mph"}, {1.852F, L"kph"}}};
constexpr std::array<DisplayUnit, 2> kClimbUnits{{{1.0F, L"kts"}, {0.5145F, L"m/s"}}};
constexpr std::array<DisplayUnit, 3> kDistanceUnits{
    {{0.6215F, L"M "}, {0.53996F, L"N "}, {1.0F, L"km"}}};
constexpr std::array<AltitudeUnit, 3> kAltitudeUnits{{
    {0.001F, L"kF", L"%03.1f%ls", L"%+03.1f%ls"},
    {0.000304735F, L"km", L"%04.2f%ls", L"%+04.2f%ls"},
    {0.304735F, L"m", L"%01.0f%ls", L"%+04.0f%ls"},
}};

template <typename Unit, std::size_t N>
Unit Pick(const std::array<Unit, N>& units, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N
               ? units[static_cast<std::size_t>(index)]
               : units[0];
}

}  // namespace

DisplayUnit SpeedUnit(int index) {
    return Pick(kSpeedUnits, index);
}
DisplayUnit ClimbUnit(int index) {
    return Pick(kClimbUnits, index);
}
DisplayUnit DistanceUnit(int index) {
    return Pick(kDistanceUnits, index);
}
AltitudeUnit AltitudeUnitOf(int index) {
    return Pick(kAltitudeUnits, index);
}
DisplayUnit CurrentDistanceUnit() {
    return DistanceUnit(core::g_unitDist);
}
AltitudeUnit CurrentAltitudeUnit() {
    return AltitudeUnitOf(core::g_unitAlt);
}
DisplayUnit CurrentSpeedUnit() {
    return SpeedUnit(core::g_unitSpeed);
}
DisplayUnit CurrentClimbUnit() {
    return ClimbUnit(core::g_unitVario);
}

}  // namespace glide
