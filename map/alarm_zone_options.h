#pragma once
// The alarm-zone options page's values ("Settings\AlarmZones") in display
// units: the QNH (not stored), the transition altitude, the vertical and
// horizontal guards around airspace and the alarm switches. Taken from the
// running settings and written back; a changed horizontal guard rebuilds the
// enlarged zones, a changed QNH sets the pressure-altitude correction.
// Without wx; UI thread only.

#include <functional>

#include "platform/settings_store.h"

namespace map {

// Rebuilds the airspace zones enlarged by the horizontal guard; the map
// module installs it (nothing happens before).
void SetBuildEnlargedZones(std::function<void()> build);
void BuildEnlargedZones();

struct AlarmZoneOptions {
    int qnh = 2992;  // hundredths of inHg, or tenths of hPa
    float transitionAltitude = 18000.0F;  // altitude unit, whole units
    float altGuardAbove = 0.0F;
    float altGuardBelow = 0.0F;
    float horGuard = 0.0F;  // metres (km unit) or feet, whole units
    int exactSuaCheck = 0;
    int showEnlarged = 0;
    int pressureAltForZones = 0;
    int permanentSuaAlarmOff = 0;
    int permanentSuaAlarmOffNoDisplay = 0;
    bool metres = false;
    bool horMetres = false;
    bool hectopascal = false;

    static AlarmZoneOptions FromRunning();

    struct Range {
        float minimum;
        float maximum;
    };
    Range QnhRange() const;
    Range TransitionRange() const;
    Range GuardAboveRange() const;
    Range GuardBelowRange() const;
    Range HorGuardRange() const;

    // `shown` is what the page started from: only a changed QNH or guard
    // acts beyond the stored values.
    void Apply(platform::SettingsStore& store, const AlarmZoneOptions& shown) const;
};

// Feet to subtract from a pressure altitude for the QNH altitude.
float QnhCorrectionFeet(float qnhInches);

}  // namespace map
