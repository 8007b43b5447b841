#pragma once
// Turning the map's point records into waypoints (command 32804): which
// records are offered, how the new-waypoint dialog is prefilled with a
// record's position, and when an entry converts the record. The map code
// runs the loop over its records; these are its rules.

#include <string>

namespace frame {

// Only the records the waypoint loader dropped onto the map (kind codes
// -11, -12, ...) are offered.
constexpr bool MapRecordOffered(int kindCode) { return kindCode < -10; }

// One angle as the dialog shows it: whole degrees, then either minutes to
// the thousandth or whole minutes and seconds to the tenth (rounded down).
struct DialogAngle {
    int degrees = 0;
    double minutes = 0.0;  // whole minutes with seconds shown
    double seconds = 0.0;
    friend bool operator==(const DialogAngle&, const DialogAngle&) = default;
};
// degrees >= 0. Minutes that round up to 60 carry into the degrees.
DialogAngle ToDialogAngle(double degrees, bool decimalMinutes);

struct MapRecordPrefill {
    int north = 0;  // 1 when the latitude is 0 or more
    int east = 0;   // 1 when the longitude (positive west) is negative
    DialogAngle latitude;
    DialogAngle longitude;
};
// latitude and longitude in radians, longitude positive west.
MapRecordPrefill PrefillFor(double latitudeRad, double longitudeWestRad, bool decimalMinutes);

// The dialog's answer converts the record when it was not cancelled, gave a
// name, and the name is a comment (';' first) or the map code is above 0 or
// -5; and only when the record's element was found on the map.
bool ConvertsRecord(bool cancelled, const std::wstring& name, int mapCode, bool elementFound);

}  // namespace frame
