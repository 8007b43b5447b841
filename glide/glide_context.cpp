#include "glide/glide_context.h"

#include "core/settings_values.h"
#include "glide/settings_values.h"
#include "glide/thermal_drift.h"
#include "gps/nav_fix.h"

namespace glide {

AirData CurrentAirData() {
    const std::shared_ptr<const gps::NavSnapshot> fix = gps::CurrentNav();
    AirData air;
    air.airspeedFactor = fix->densityFactor;
    air.indicatedAirspeed = fix->indicatedAirspeed;
    air.instrumentAirspeed = fix->instrumentAirspeed;
    air.circling = fix->circling;
    return air;
}

GlideContext CurrentGlideContext() {
    GlideContext context;
    context.polar = CurrentPolar();
    context.wind = CurrentWind();
    context.air = CurrentAirData();
    context.safetyAltitude = g_patternAltitude;
    context.macCready = core::g_macCready;
    context.useMcrForAlt = g_useMcrForAlt != 0;
    context.useConstantGlideSpeed = g_useConstantGlideSpeed != 0;
    context.altTeCompFactor = g_altTeCompFactor;
    context.driftValid = g_driftValid;
    return context;
}

}  // namespace glide
