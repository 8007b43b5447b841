#pragma once
// The compass settings ("Settings\Compass"): heading input and the limits
// of steady, straight flight under which heading samples are used.

namespace gps {

// Reads them at start-up into gps/settings_values.h. A value not stored, or
// stored without a number, keeps its built-in value; the two tolerances are
// stored per second and held per hour.
void LoadCompassSettings();

}  // namespace gps
