#pragma once
// The wind's display texts as pure functions: the wind history's line, the
// wind display text, and reading a direction and a speed back from a
// history line. Any thread.
//
// Altitude units (core::g_unitAlt): 0 thousands of feet "kF" (1 decimal),
// 1 km (2 decimals), 2 m (no decimals); speed units as texts/display_units.h.

#include <optional>
#include <string>
#include <string_view>

#include "gps/gps_fix_record.h"

namespace glide {

// The altitude a history line shows: the GPS altitude, else the pressure
// altitude (marked "P"), else none ("---"). Feet.
struct WindLineAltitude {
    enum class Kind { kNone, kGps, kPressure };
    Kind kind = Kind::kNone;
    float feet = 0.0F;
};

// "%6.*f%s   %6.0ft  " (or with "P" after the unit, or "   ---   %6.0ft  ")
// followed by "%6.1f%s": altitude, direction in degrees, speed.
std::wstring WindHistoryLine(const gps::WindRecord& wind, WindLineAltitude altitude,
                             int altitudeUnit, int speedUnit);

// " Wnd:  %03.1f%s   %01.0ft": speed in the speed unit, direction.
std::wstring WindDisplayText(const gps::WindRecord& wind, int speedUnit);

// The direction (degrees) and speed (display unit) of a history line, read
// as "%*9c%f%*2c%f" reads them; nothing when either is missing.
struct WindLineValues {
    float direction = 0.0F;
    float speed = 0.0F;
};
std::optional<WindLineValues> ParseWindHistoryLine(std::wstring_view line);

}  // namespace glide
