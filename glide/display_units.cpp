#include "glide/display_units.h"

#include <array>

#include "core/settings_values.h"

namespace glide {
namespace {

constexpr std::array<DisplayUnit, 3> kSpeedUnits{
    {{1.0F, L"kts"}, {1.151F, L"Mph"}, {1.852F, L"kph"}}};
constexpr std::array<DisplayUnit, 2> kClimbUnits{{{1.0F, L"kts"}, {0.5145F, L"m/s"}}};

template <std::size_t N>
DisplayUnit Pick(const std::array<DisplayUnit, N>& units, int index) {
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
DisplayUnit CurrentSpeedUnit() {
    return SpeedUnit(core::g_unitSpeed);
}
DisplayUnit CurrentClimbUnit() {
    return ClimbUnit(core::g_unitVario);
}

}  // namespace glide
