#pragma once
// The UTM options page's values ("Options\UTM"): the ellipsoid and scale of
// the UTM conversion, taken from the running parameters and written back
// (the derived constants recomputed) and to the settings store as fixed-point text.
// Without wx; UI thread only.

#include "core/utm.h"
#include "platform/settings_store.h"

namespace core {

struct UtmOptions {
    double centerScaleFactor = 0.9996;
    double eccentricity = 0.081819190843;
    double inverseFlattening = 298.257223563;
    double semiMajorAxis = 6378137.0;  // metres

    static UtmOptions FromRunning();
    void Apply(platform::SettingsStore& store) const;
};

}  // namespace core
