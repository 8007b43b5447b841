#pragma once
// The display units of the glide texts ("Options\Units"): a display value is
// the internal value (knots) times the unit's factor.

#include <string_view>

namespace glide {

struct DisplayUnit {
    float factor;
    std::wstring_view name;
};

// "Speed": 0 knots "kts", 1 miles per hour "Mph", 2 km/h "kph".
DisplayUnit SpeedUnit(int index);
// "Vario": 0 knots "kts", 1 metres per second "m/s".
DisplayUnit ClimbUnit(int index);

// The units in force.
DisplayUnit CurrentSpeedUnit();
DisplayUnit CurrentClimbUnit();

}  // namespace glide
