#include "core/units_options.h"

#include <cstdint>

#include "core/settings_values.h"

namespace core {

UnitsOptions UnitsOptions::FromRunning() {
    return {g_unitAlt, g_unitDist, g_unitSpeed, g_unitVario, g_unitPressure};
}

void UnitsOptions::Apply(platform::SettingsStore& store) const {
    g_unitAlt = alt;
    g_unitAlt2 = alt;
    g_unitDist = dist;
    g_unitSpeed = speed;
    g_unitVario = vario;
    g_unitPressure = pressure;
    constexpr char kSection[] = "Options\\Units";
    store.WriteInt(kSection, "Pressure", static_cast<std::uint32_t>(pressure));
    store.WriteInt(kSection, "Vario", static_cast<std::uint32_t>(vario));
    store.WriteInt(kSection, "Dist", static_cast<std::uint32_t>(dist));
    store.WriteInt(kSection, "Speed", static_cast<std::uint32_t>(speed));
    store.WriteInt(kSection, "Alt", static_cast<std::uint32_t>(alt));
}

}  // namespace core
