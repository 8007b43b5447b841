#include "frame/options/misc2_options.h"

#include <cmath>
#include <cstdint>

#include "core/settings_values.h"
#include "glide/settings_values.h"
#include "map/map_view.h"
#include "platform/numbers.h"
#include "texts/display_units.h"

namespace frame {
namespace {

constexpr char kMisc[] = "Options\\Miscellaneous";
constexpr char kSettings[] = "Settings";
constexpr float kMisc2FeetPerMetre = 3.2808F;
constexpr float kGearWarningOff = -1000.0F;

float RoundMisc2To(float value, float step) {
    return std::floor(value / step + 0.5F) * step;
}

int GearDisplay(float feet, bool metres) {
    return static_cast<int>(std::lround(metres ? feet / kMisc2FeetPerMetre : feet));
}

}  // namespace

Misc2Options Misc2Options::FromRunning(const platform::SettingsStore& store) {
    Misc2Options o;
    o.metres = core::g_unitAlt >= 1;
    o.speedFactor = glide::CurrentSpeedUnit().factor;
    o.climbFactor = glide::CurrentClimbUnit().factor;
    o.showWhileCircling = glide::g_showWhileCircling;
    o.speedDirectorTolerance = RoundMisc2To(core::g_speedDirectorTolerance * o.speedFactor, 0.1F);
    o.gearWarnAt = GearDisplay(core::g_gearWarnAt, o.metres);
    float macCready = 1.0F;
    const std::string text = store.GetString(kMisc, "macReadyManualDef", std::string_view("1.00"));
    if (const auto scanned = platform::ScanFloat(text); scanned && std::isfinite(scanned->value)) {
        macCready = scanned->value;
    }
    o.macReadyManualDef = RoundMisc2To(macCready * o.climbFactor, 0.01F);
    o.loadMapAtStartup = map::g_loadMapAtStartup;
    o.showMcrWhileCircling = glide::g_showMcrWhileCircling;
    o.stickyNavDisplay = static_cast<int>(store.GetInt(kSettings, "stickyNavDisplay", 0));
    o.speedDirector = core::g_speedDirector;
    return o;
}

float Misc2Options::ToleranceMinimum() const {
    return RoundMisc2To(1.0F * speedFactor, 0.1F);
}

float Misc2Options::ToleranceMaximum() const {
    return RoundMisc2To(5.0F * speedFactor, 0.1F);
}

bool Misc2Options::MacCreadyInRange() const {
    const float knots = macReadyManualDef / climbFactor;
    return knots >= 0.0F && knots <= 10.0F + 1e-4F;
}

void Misc2Options::Apply(platform::SettingsStore& store) const {
    // Values the pilot left as shown keep their unrounded running values.
    const Misc2Options running = FromRunning(store);
    float tolerance = core::g_speedDirectorTolerance;
    if (speedDirectorTolerance != running.speedDirectorTolerance) {
        tolerance = speedDirectorTolerance / speedFactor;
    }
    float gear = core::g_gearWarnAt;
    if (gearWarnAt != running.gearWarnAt) {
        gear = gearWarnAt < 0
                   ? kGearWarningOff
                   : static_cast<float>(gearWarnAt) * (metres ? kMisc2FeetPerMetre : 1.0F);
    }
    const float macCready = macReadyManualDef / climbFactor;

    core::g_speedDirector = speedDirector;
    glide::g_showWhileCircling = showWhileCircling;
    map::g_loadMapAtStartup = loadMapAtStartup;
    glide::g_showMcrWhileCircling = showMcrWhileCircling;
    core::g_speedDirectorTolerance = tolerance;
    core::g_gearWarnAt = gear;

    auto writeInt = [&store](const char* section, const char* name, int value) {
        store.WriteInt(section, name, static_cast<std::uint32_t>(value));
    };
    writeInt(kMisc, "speedDirector", speedDirector);
    writeInt(kMisc, "ShowWhileCircling", showWhileCircling);
    writeInt(kMisc, "LoadMapAtStartup", loadMapAtStartup);
    writeInt(kMisc, "ShowMCRwhileCircling", showMcrWhileCircling);
    writeInt(kSettings, "stickyNavDisplay", stickyNavDisplay);
    store.WriteString(kMisc, "speedDirectorTolerance",
                      platform::FormatC("%.2f", static_cast<double>(tolerance)));
    writeInt(kSettings, "GearWarnAt", static_cast<int>(std::lround(gear)));
    if (macReadyManualDef != running.macReadyManualDef) {
        store.WriteString(kMisc, "macReadyManualDef",
                          platform::FormatC("%.2f", static_cast<double>(macCready)));
    }
}

}  // namespace frame
