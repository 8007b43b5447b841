#include "glide/wind_options.h"

#include <cmath>
#include <cstdint>

#include "glide/heading_wind.h"
#include "gps/settings_values.h"
#include "gps/wind_settings.h"
#include "platform/numbers.h"
#include "texts/display_units.h"

namespace glide {
namespace {

constexpr char kWinds[] = "Settings\\Winds";

float CutToTenths(float knots, float factor) {
    return std::floor(knots * 10.0F * factor) / 10.0F;
}

}  // namespace

WindOptions WindOptions::FromRunning() {
    WindOptions o;
    o.speedFactor = CurrentSpeedUnit().factor;
    o.minimumTurn = static_cast<int>(gps::g_windMinimumTurn);
    o.method = static_cast<int>(gps::g_windMethod.load());
    o.computeOn = gps::g_windComputeOn;
    o.minimumSpeed = std::floor(gps::g_windMinimumSpeed * o.speedFactor * 10.0F + 0.5F) / 10.0F;
    return o;
}

float WindOptions::SpeedMinimum() const {
    return CutToTenths(5.0F, speedFactor);
}

float WindOptions::SpeedMaximum() const {
    return CutToTenths(50.0F, speedFactor);
}

void WindOptions::Apply(platform::SettingsStore& store) const {
    float knots = gps::g_windMinimumSpeed;
    if (minimumSpeed != FromRunning().minimumSpeed) knots = minimumSpeed / speedFactor;

    store.WriteInt(kWinds, "MinimumTurn", static_cast<std::uint32_t>(minimumTurn));
    store.WriteInt(kWinds, "Method", static_cast<std::uint32_t>(method));
    store.WriteInt(kWinds, "ComputeOn", static_cast<std::uint32_t>(computeOn));
    store.WriteString(kWinds, "MinimumSOGstr", platform::FormatC("%.1f", static_cast<double>(knots)));

    gps::g_windMinimumTurn = static_cast<float>(minimumTurn);
    gps::g_windMethod = static_cast<gps::WindMethod>(method);
    if (method == 2 || method == 3) ResetHeadingWind();
    int trigger = computeOn;
    if (method == 5) {
        trigger = -1;
    } else if (trigger < 0) {
        trigger = 0;
    }
    gps::g_windComputeOn = trigger;
    gps::g_windMinimumSpeed = knots;
    gps::ApplyWindComputeOn();
}

TriggerChoices TriggerChoicesFor(int method, int computeOn) {
    switch (method) {
        case 0:
        case 1: return {{true, false, false}, 0};
        case 2: return {{true, false, true}, computeOn == 0 ? 0 : 2};
        case 3: return {{true, true, false}, computeOn == 0 ? 0 : 1};
        case 4: return {{true, true, true}, computeOn < 0 ? 0 : computeOn};
        default: return {{false, false, false}, computeOn};
    }
}

}  // namespace glide
