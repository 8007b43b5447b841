#pragma once
// The values of the first miscellaneous options page ("Options\Miscellaneous")
// in display units, taken from the running settings and written back to them
// and to the settings store. Without wx; UI thread only (the running values
// are atomics that other threads read).

#include "platform/settings_store.h"

namespace frame {

struct MiscOptions {
    int decimalMinutes = 0;
    int useUtm = 0;
    float timeOffset = 0.0F;  // hours, -12..12
    double earthRadius = 6371.0;  // km
    int useGpsVariation = 0;
    double variation = 0.0;   // the manual variation, degrees
    int doubleClick = 0;
    int fileReplayInterval = 4;
    int patternAltitude = 1000;  // feet, or metres when metres is set
    int maxNumDestinations = 6;
    int queueFifo = 1;
    int timeInMinutes = 0;
    bool metres = false;

    static MiscOptions FromRunning();
    // The running settings and the store take the values, in the store's
    // fixed write order; GroundClearAltitude becomes half the pattern height.
    void Apply(platform::SettingsStore& store) const;
};

// The time offset as stored: whole hours rounded down and the tenths above
// them, so that it reads back as typed (-3.5 -> -4 and 5).
struct StoredTimeOffset {
    int hours;
    int tenths;
};
StoredTimeOffset SplitTimeOffset(float hours);

}  // namespace frame
