#include "glide/thermal_average.h"

#include <cmath>

#include "core/settings_values.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly_text.h"
#include "platform/numbers.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace glide {

float CommitThermalClimb() {
    const float weight = ThermalWeight * g_thermalAverageDecay;
    float average = 0.0F;
    {
        const platform::CriticalSectionLock lock(DisplayTextLock);
        average = (weight * ThermalAverage + LastThermalClimb) / (1.0F + weight);
        ThermalAverage = average;
        ThermalWeight = weight + 1.0F;
    }
    const float autoMacCready = average < 0.0F ? 0.0F : average;
    AutoMacCready = autoMacCready;

    const float climbFactor = CurrentClimbUnit().factor;
    if (core::g_autoSetMacCready != 0) {
        core::g_macCready = autoMacCready;
        MacCreadyText.Set(
            platform::FormatC(L" %0.1f", static_cast<double>(autoMacCready * climbFactor)));
        SpeedToFlyText(autoMacCready);
    }
    ThermalClimbText.Set(
        average < 0.0F ? std::wstring(L"T:0.0")
                       : platform::FormatC(L"T:%0.1f", static_cast<double>(average * climbFactor)));
    return average;
}

void InitThermalAverageDecay() {
    const int thermals = g_averageNthermals;
    g_thermalAverageDecay =
        thermals <= 1 ? 0.0F : static_cast<float>(std::exp(-1.0 / (thermals - 1.0)));
}

}  // namespace glide
