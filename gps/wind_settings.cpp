#include "gps/wind_settings.h"

#include <algorithm>
#include <string_view>

#include "core/settings_reader.h"
#include "gps/settings_values.h"

namespace gps {
namespace {

constexpr std::string_view kWinds = "Settings\\Winds";

}  // namespace

void LoadWindSettings() {
    const core::SettingsReader reader(platform::AppSettings());
    // The speed is stored as text; older settings held it as an integer.
    constexpr float kNotStored = -1.0e30F;
    const float speed = reader.Float(kWinds, "MinimumSOGstr", "", kNotStored);
    gps::g_windMinimumSpeed =
        speed != kNotStored
            ? speed
            : static_cast<float>(reader.Int(kWinds, "MinimumSOG",
                                            static_cast<int>(gps::g_windMinimumSpeed.load())));
    const int turn = reader.Int(kWinds, "MinimumTurn", static_cast<int>(gps::g_windMinimumTurn));
    gps::g_windMinimumTurn = static_cast<float>(std::clamp(turn, 5, 90));
    gps::g_windMethod = static_cast<gps::WindMethod>(reader.Int(kWinds, "Method", 1));
    gps::g_windComputeOn = reader.Int(kWinds, "ComputeOn", 1);
    ApplyWindComputeOn();
}

void ApplyWindComputeOn() {
    if (gps::g_windMethod == gps::WindMethod::kInstrument) {
        gps::g_windTriggerMask = -1;
        return;
    }
    switch (gps::g_windComputeOn) {
        case -1:
            gps::g_windTriggerMask = -1;
            return;
        case 0:
            gps::g_windTriggerMask = 3;
            return;
        case 1:
            gps::g_windTriggerMask = 512;
            return;
        case 2:
            gps::g_windTriggerMask = 256;
            return;
        default:
            gps::g_windComputeOn = 0;
            platform::AppSettings().WriteInt(kWinds, "ComputeOn", 0);
            gps::g_windTriggerMask = 3;
    }
}

}  // namespace gps
