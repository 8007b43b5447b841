#pragma once
// The wind options page's values ("Settings\Winds") in display units: the
// minimum turn, the method, what triggers a computation and the minimum
// ground speed, taken from the running settings and written back, after
// which the wind-trigger mask is derived afresh. Also which trigger choices
// each method allows. Without wx; UI thread only.

#include "platform/settings_store.h"

namespace glide {

struct WindOptions {
    int minimumTurn = 20;           // degrees, 5..90
    int method = 1;                 // 0..5
    int computeOn = 1;              // -1 none, 0 position, 1 heading, 2 airspeed
    float minimumSpeed = 10.0F;     // speed unit, 0.1 steps
    float speedFactor = 1.0F;       // display speed per knot

    static WindOptions FromRunning();

    // The minimum ground speed's bounds in the speed unit (5 and 50 knots,
    // each cut to 0.1).
    float SpeedMinimum() const;
    float SpeedMaximum() const;

    void Apply(platform::SettingsStore& store) const;
};

// Which trigger choices (position, heading, airspeed) a method allows, and
// the choice it makes of the current one (-1 none).
struct TriggerChoices {
    bool enabled[3];
    int selected;
};
TriggerChoices TriggerChoicesFor(int method, int computeOn);

}  // namespace glide
