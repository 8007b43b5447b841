#include "glide/glide_context.h"

#include <mutex>

#include "core/settings_values.h"
#include "glide/settings_values.h"
#include "glide/thermal_drift.h"

namespace glide {
namespace {

std::mutex g_airMutex;
AirData g_air;

}  // namespace

AirData CurrentAirData() {
    const std::lock_guard lock(g_airMutex);
    return g_air;
}

void SetAirData(const AirData& air) {
    const std::lock_guard lock(g_airMutex);
    g_air = air;
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
