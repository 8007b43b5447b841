#include "map/alarm_zone_options.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "core/settings_values.h"
#include "gps/settings_values.h"
#include "map/settings_values.h"
#include "platform/numbers.h"

namespace map {
namespace {

constexpr char kSection[] = "Settings\\AlarmZones";
constexpr float kFeetPerMetre = 3.2808F;
constexpr float kMetresPerNm = 1852.0F;
constexpr float kHpaPerInch = 33.863635F;

std::function<void()>& Builder() {
    static std::function<void()> build;
    return build;
}

float Whole(float value) {
    return std::floor(value + 0.5F);
}

}  // namespace

void SetBuildEnlargedZones(std::function<void()> build) {
    Builder() = std::move(build);
}

void BuildEnlargedZones() {
    if (Builder()) Builder()();
}

float QnhCorrectionFeet(float qnhInches) {
    const float d = qnhInches - 29.92F;
    return (d * 15.6928F - 923.516F) * d;
}

AlarmZoneOptions AlarmZoneOptions::FromRunning() {
    AlarmZoneOptions o;
    o.metres = core::g_unitAlt >= 1;
    o.horMetres = core::g_unitDist == 2;
    o.hectopascal = core::g_unitPressure == 1;
    const float inches = gps::g_qnhInches;
    o.qnh = static_cast<int>(std::lround(inches * (o.hectopascal ? kHpaPerInch * 10.0F : 100.0F)));
    const float altFactor = o.metres ? 1.0F / kFeetPerMetre : 1.0F;
    o.transitionAltitude = Whole(core::g_transitionAltitude * altFactor);
    o.altGuardAbove = Whole(g_altGuardAbove * altFactor);
    o.altGuardBelow = Whole(g_altGuardBelow * altFactor);
    o.horGuard = Whole(g_horGuardNm * kMetresPerNm * (o.horMetres ? 1.0F : kFeetPerMetre));
    o.exactSuaCheck = g_exactSuaCheck;
    o.showEnlarged = g_showEnlarged;
    o.pressureAltForZones = g_pressureAltForZones;
    o.permanentSuaAlarmOff = g_permanentSuaAlarmOff;
    o.permanentSuaAlarmOffNoDisplay = g_permanentSuaAlarmOffNoDisplay;
    return o;
}

AlarmZoneOptions::Range AlarmZoneOptions::QnhRange() const {
    return hectopascal ? Range{9480.0F, 10840.0F} : Range{2800.0F, 3200.0F};
}
AlarmZoneOptions::Range AlarmZoneOptions::TransitionRange() const {
    return {0.0F, metres ? 10000.0F : 30000.0F};
}
AlarmZoneOptions::Range AlarmZoneOptions::GuardAboveRange() const {
    return {0.0F, metres ? 2000.0F : 6600.0F};
}
AlarmZoneOptions::Range AlarmZoneOptions::GuardBelowRange() const {
    return {0.0F, metres ? 1000.0F : 3300.0F};
}
AlarmZoneOptions::Range AlarmZoneOptions::HorGuardRange() const {
    return {0.0F, horMetres ? 4000.0F : 13200.0F};
}

void AlarmZoneOptions::Apply(platform::SettingsStore& store, const AlarmZoneOptions& shown) const {
    // A QNH left as shown keeps the correction the fix thread found.
    if (qnh != shown.qnh) {
        const float inches = static_cast<float>(qnh) / (hectopascal ? kHpaPerInch * 10.0F : 100.0F);
        gps::g_qnhInches = inches;
        gps::g_stopAutoQnh = 1;
        gps::g_typedQnhCorrection = QnhCorrectionFeet(inches);
    }
    // Fields left as shown keep their unrounded running values.
    const float toFeet = metres ? kFeetPerMetre : 1.0F;
    auto feet = [toFeet](float value, float was, float running) {
        return value == was ? running : value * toFeet;
    };
    const float transition = feet(transitionAltitude, shown.transitionAltitude, core::g_transitionAltitude);
    const float above = feet(altGuardAbove, shown.altGuardAbove, g_altGuardAbove);
    const float below = feet(altGuardBelow, shown.altGuardBelow, g_altGuardBelow);
    const bool guardChanged = horGuard != shown.horGuard;
    const float horNm = guardChanged
                            ? horGuard / (horMetres ? kMetresPerNm : kMetresPerNm * kFeetPerMetre)
                            : g_horGuardNm.load();

    core::g_transitionAltitude = transition;
    g_altGuardAbove = above;
    g_altGuardBelow = below;
    g_horGuardNm = horNm;
    if (guardChanged) BuildEnlargedZones();
    g_exactSuaCheck = exactSuaCheck;
    g_showEnlarged = showEnlarged;
    g_pressureAltForZones = pressureAltForZones;
    g_permanentSuaAlarmOff = permanentSuaAlarmOff;
    g_permanentSuaAlarmOffNoDisplay = permanentSuaAlarmOffNoDisplay;

    auto writeInt = [&store](const char* name, int value) {
        store.WriteInt(kSection, name, static_cast<std::uint32_t>(value));
    };
    auto writeText = [&store](const char* name, const char* format, float value) {
        store.WriteString(kSection, name, platform::FormatC(format, static_cast<double>(value)));
    };
    writeInt("exactSuaCheck", exactSuaCheck);
    writeText("transitionAltitude", "%.1f", transition);
    writeText("AltGuardAbove", "%.1f", above);
    writeText("AltGuardBelow", "%.1f", below);
    writeText("HorGuard", "%.5f", horNm);
    writeInt("ShowEnlarged", showEnlarged);
    writeInt("PressureAltForZones", pressureAltForZones);
    writeInt("PermanentSUAalarmOff", permanentSuaAlarmOff);
    writeInt("PermanentSUAalarmOffnoDisplay", permanentSuaAlarmOffNoDisplay);
}

}  // namespace map
