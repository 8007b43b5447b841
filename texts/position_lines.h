#pragma once
// The two position lines of the flight displays (LatitudeText,
// LongitudeText) in the three forms the pilot may choose: degrees, minutes
// and seconds; degrees and decimal minutes; UTM.
//
// Angles are rounded to what the line shows (1 second, 0.01 minute) before
// they are split into degrees and minutes, so a line never shows 60 seconds
// or 60.00 minutes. In the UTM form the latitude line holds the zone, the
// hemisphere letter N or S and the easting in groups of hundreds of
// kilometres, kilometres and metres; the longitude line holds the northing
// in the same groups. Pure functions, any thread.

#include <optional>
#include <string>

namespace glide {

enum class PositionForm { kDegreesMinutesSeconds, kDecimalMinutes, kUtm };

struct PositionLines {
    std::wstring latitude;
    std::wstring longitude;
    friend bool operator==(const PositionLines&, const PositionLines&) = default;
};

// latitude and lonWest in radians, longitude positive west. Nothing for a
// position that is not finite.
std::optional<PositionLines> FormatPositionLines(double latitude, double lonWest,
                                                 PositionForm form);

// The UTM lines of a converted position (zone negative south).
PositionLines FormatUtmLines(int zone, double easting, double northing);

}  // namespace glide
