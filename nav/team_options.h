#pragma once
// The team options page's values ("Settings\teamFlight"): team codes on or
// off, the convention (named in the code text, or a private key), the grid
// level and the centre with its name, taken from the settings in force and
// installed again as one snapshot (which the fix thread reads whole), then
// written. Also the angle fields of the centre and the checks of a typed
// code. Without wx; UI thread only.

#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace nav {

// An angle as the page shows it: whole degrees, whole minutes and seconds
// in tenths, with its sign apart.
struct AngleFields {
    int degrees = 0;
    int minutes = 0;
    double seconds = 0.0;
    bool negative = false;
};
AngleFields SplitAngle(double radians);
// Degrees of the fields (the sign not applied).
double JoinAngle(double degrees, double minutes, double seconds);

// A typed code: the convention it names and the text to keep. A private key
// is upper-cased and cut to four base-36 digits; an empty or unusable key
// gives the base-36 convention and is refused.
struct CheckedTeamCode {
    int convention;
    std::wstring code;
    bool refused;
};
CheckedTeamCode CheckTeamCode(std::wstring_view typed);
// What typing leaves in the field: the markers as they are, anything else
// upper-cased and cut to four base-36 digits.
std::wstring CleanTypedTeamCode(std::wstring_view typed);

struct TeamOptions {
    int enable = 0;
    int grid = 2;
    std::wstring code;     // a convention's marker or the private key
    std::wstring wptName;  // the centre's name
    double lonWest = 0.0;  // radians, positive west
    double latitude = 0.0;  // radians

    static TeamOptions FromRunning();
    // Installs and writes the page's values; the convention follows the code.
    void Apply(platform::SettingsStore& store) const;
    // What a page never shown applies: the settings in force, unchanged.
    static void ApplyRunning(platform::SettingsStore& store);
};

}  // namespace nav
