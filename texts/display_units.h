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

// "Dist": 0 statute miles "M ", 1 nautical miles "N ", 2 kilometres "km"
// (display value = km x factor); any other index reads as 0.
DisplayUnit DistanceUnit(int index);

// "Alt": 0 thousands of feet "kF", 1 kilometres "km", 2 metres "m" (display
// value = feet x factor), each with its format and the signed format of
// differences ("%03.1f%ls" / "%+03.1f%ls", "%04.2f%ls" / "%+04.2f%ls",
// "%01.0f%ls" / "%+04.0f%ls").
struct AltitudeUnit {
    float factor;
    std::wstring_view name;
    const wchar_t* format;
    const wchar_t* signedFormat;
};
AltitudeUnit AltitudeUnitOf(int index);

// The units in force.
DisplayUnit CurrentSpeedUnit();
DisplayUnit CurrentClimbUnit();
DisplayUnit CurrentDistanceUnit();
AltitudeUnit CurrentAltitudeUnit();

}  // namespace glide
