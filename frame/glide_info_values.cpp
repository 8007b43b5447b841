#include "frame/glide_info_values.h"

#include <algorithm>
#include <mutex>

#include "core/angles.h"
#include "core/settings_values.h"
#include "glide/current_wind.h"
#include "glide/polar.h"
#include "glide/speed_to_fly_text.h"
#include "glide/thermal_average.h"
#include "glide/wind_history.h"
#include "gps/nav_fix.h"
#include "platform/settings_store.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace frame {
namespace {

using core::kRadiansPerDegree;

void StoreWind(const GlideValues& values) {
    const std::scoped_lock lock(glide::WindLock);
    glide::Wind wind = glide::CurrentWind();
    wind.speed = values.windSpeed;
    wind.direction = values.windDirection * kRadiansPerDegree;
    wind.valid = true;
    wind.time = gps::CurrentNav()->fixTimeHours;
    glide::SetCurrentWind(wind);
}

}  // namespace

GlideValues LoadGlideValues() {
    GlideValues values;
    values.manualMacCready = g_manualMacCready.load();
    if (core::g_autoMacCready != 0) values.autoMacCready = core::g_autoSetMacCready != 0;
    const glide::Wind wind = glide::CurrentWind();
    values.windSpeed = wind.speed;
    values.windDirection = static_cast<float>(wind.direction / kRadiansPerDegree);
    const glide::PolarSettings polar = glide::CurrentPolarSettings();
    values.weightFactor = polar.weightFactor;
    values.bugsFactor = polar.bugsFactor;
    values.glideRatio = polar.inUse.glideRatio;
    return values;
}

GlideUnits CurrentGlideUnits() {
    return {core::g_unitVario.load(), glide::CurrentClimbUnit().factor,
            glide::CurrentSpeedUnit().factor};
}

void UseMacCready(bool automatic) {
    const float inUse =
        automatic ? std::max(glide::AutoMacCready.load(), 0.0F) : g_manualMacCready.load();
    core::g_macCready = inUse;
    glide::MacCreadyText.Format(L" %0.1f", double{inUse * glide::CurrentClimbUnit().factor});
    glide::SpeedToFlyText(inUse);
}

void ApplyGlideValues(unsigned change, const GlideValues& values) {
    if ((change & kGlideMacCready) != 0) {
        g_manualMacCready = values.manualMacCready;
        if (core::g_autoSetMacCready == 0) UseMacCready(false);
    }
    if ((change & kGlideAutoMacCready) != 0 && values.autoMacCready) {
        core::g_autoSetMacCready = *values.autoMacCready ? 1 : 0;
        platform::AppSettings().WriteInt("Settings", "autoSetMacCready",
                                         *values.autoMacCready ? 1U : 0U);
        UseMacCready(*values.autoMacCready);
    }
    if ((change & kGlideWind) != 0) StoreWind(values);
    if ((change & kGlideFormatWind) != 0) {
        glide::FormatWindText();
        glide::SpeedToFlyText(core::g_macCready.load());
    }
    if ((change & kGlidePolar) != 0) {
        glide::ChangePolarSettings([&](glide::PolarSettings& s) {
            s.weightFactor = values.weightFactor;
            s.bugsFactor = values.bugsFactor;
        });
        glide::ScalePolar();
    }
    if ((change & kGlideRatio) != 0) {
        glide::ChangePolarSettings(
            [&](glide::PolarSettings& s) { s.inUse.glideRatio = values.glideRatio; });
    }
}

}  // namespace frame
