#pragma once
// The compass options page's values ("Settings\Compass") in display units:
// the speeds of steady flight, the speed and turn tolerances per second, the
// heading correction and whether HDG headings are true. Taken from the
// running settings and written back; applying also forgets the heading
// method's lines. Without wx; UI thread only.

#include "platform/settings_store.h"

namespace glide {

struct CompassOptions {
    float speedMaximum = 85.0F;   // speed unit, 0.1 steps
    float speedMinimum = 40.0F;   // speed unit, 0.1 steps
    float speedTolerance = 3.0F;  // speed unit per second, 0.1 steps
    float turnTolerance = 3.0F;   // degrees per second, 0.1 steps
    float correction = 0.0F;      // whole degrees
    int hcHdgTrue = 1;
    int speedUnit = 0;
    float speedFactor = 1.0F;

    static CompassOptions FromRunning();

    struct Range {
        float minimum;
        float maximum;
    };
    // The bounds of each field in the speed unit of the page.
    Range SpeedMaximumRange() const;
    Range SpeedMinimumRange() const;
    Range SpeedToleranceRange() const;

    void Apply(platform::SettingsStore& store) const;
};

}  // namespace glide
