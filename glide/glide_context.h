#pragma once
// What the glide computations read: the polar, the wind, the air data of
// the published fix and the settings that steer them, taken together as one
// consistent copy. Threads take a fresh copy for each computation (or each
// pass of a worker); tests build one directly.

#include "glide/current_wind.h"
#include "glide/polar.h"

namespace glide {

// Air data of the published fix (gps::CurrentNav, which the fix-processing
// thread publishes).
struct AirData {
    // Indicated airspeed = true airspeed x this factor (air density); the
    // polar is in indicated terms.
    float airspeedFactor = 1.0F;
    float indicatedAirspeed = 0.0F;   // knots
    bool instrumentAirspeed = false;  // an instrument supplies the airspeed
    bool circling = false;
};

AirData CurrentAirData();

struct GlideContext {
    GlidePolar polar;
    Wind wind;
    AirData air;
    float safetyAltitude = 1000.0F;  // feet ("PatternAltitude")
    float macCready = 1.0F;          // the MacCready value in use, knots
    bool useMcrForAlt = false;       // arrival altitudes at the MacCready in use
    bool useConstantGlideSpeed = false;
    float altTeCompFactor = 0.0F;  // energy-height factor
    bool driftValid = false;       // a drift estimate exists for this thermal
};

// The current values of all of the above.
GlideContext CurrentGlideContext();

}  // namespace glide
