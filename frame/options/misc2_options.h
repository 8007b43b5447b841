#pragma once
// The values of the second miscellaneous options page in display units:
// circling display, speed director, gear warning, the MacCready value to
// start with, map loading and the sticky navigation display. Taken from the
// running settings (the start MacCready and the sticky display from the
// store, where only they live) and written back. Without wx; UI thread only.

#include "platform/settings_store.h"

namespace frame {

struct Misc2Options {
    int showWhileCircling = 0;
    float speedDirectorTolerance = 1.0F;  // speed unit, 0.1 steps
    int gearWarnAt = 700;                 // altitude unit; negative: off
    float macReadyManualDef = 1.0F;       // climb unit, 0.01 steps
    int loadMapAtStartup = 1;
    int showMcrWhileCircling = 0;
    int stickyNavDisplay = 0;
    int speedDirector = 0;
    bool metres = false;
    float speedFactor = 1.0F;  // display speed per knot
    float climbFactor = 1.0F;  // display climb per knot

    static Misc2Options FromRunning(const platform::SettingsStore& store);

    // The speed director tolerance's bounds in the speed unit: 1 to 5 knots.
    float ToleranceMinimum() const;
    float ToleranceMaximum() const;
    // The gear warning's bounds in the altitude unit.
    int GearMinimum() const { return metres ? -400 : -1000; }
    int GearMaximum() const { return metres ? 700 : 2000; }
    // The start MacCready lies between 0 and 10 knots.
    bool MacCreadyInRange() const;

    void Apply(platform::SettingsStore& store) const;
};

}  // namespace frame
