// The instrument texts of the flight displays, from the published values.
#include <array>
#include <cmath>
#include <string>

#include "core/settings_values.h"
#include "glide/display_texts.h"
#include "glide/display_units.h"
#include "glide/glide_context.h"
#include "glide/speed_to_fly.h"
#include "glide/speed_to_fly_text.h"
#include "glide/thermal_drift.h"
#include "fix/fix_publication.h"
#include "gps/nav_fix.h"
#include "gps/settings_values.h"
#include "platform/numbers.h"

namespace gps {
namespace {

bool Has(std::uint32_t mask, std::uint32_t bits) {
    return (mask & bits) != 0;
}

// An altitude in the altitude unit: thousands of feet, kilometres or metres.
std::wstring AltitudeText(float feet) {
    const double value = feet;
    switch (core::g_unitAlt.load()) {
        case 1:
            return platform::FormatC(L"%04.2f%ls", value * 0.000304735, L"km");
        case 2:
            return platform::FormatC(L"%01.0f%ls", value * 0.304735, L"m");
        default:
            return platform::FormatC(L"%03.1f%ls", value * 0.001, L"kF");
    }
}

std::wstring FlightLevel(float feet) {
    return platform::FormatC(L"fl:%03.0f", feet / 100.0);
}

void WriteAltitudeTexts() {
    const bool pressureKnown = g_navFix.pressureKnown.load();
    const float pressure = g_navFix.pressureAltitude.load();
    if (g_navFix.gpsAltitudeValid.load() == 0) {
        if (!pressureKnown) return;
        glide::FlightLevelText.Set(FlightLevel(pressure));
        glide::AltitudeThousandsText.Set(AltitudeText(g_navFix.qnhAltitude.load()));
        return;
    }
    const float altitude = g_navFix.gpsAltitude.load();
    glide::AltitudeThousandsText.Set(AltitudeText(altitude));
    glide::FlightLevelText.Set(FlightLevel(pressureKnown ? pressure : altitude));
}

void TakeInstrumentMacCready() {
    g_navFix.instrumentMacCreadyKnown = true;
    if (core::g_autoMacCready.load() != 0) return;
    const float macCready = g_navFix.instrumentMacCready.load();
    core::g_macCready = macCready;
    glide::MacCreadyText.Set(
        platform::FormatC(L" %0.1f", macCready * glide::CurrentClimbUnit().factor));
    glide::SpeedToFlyText(macCready);
}

bool InThermal() {
    return glide::g_thermalEstablished.load() != 0 && g_navFix.thermalClimbKnown.load();
}

void WriteVarioText(std::uint32_t mask) {
    const glide::DisplayUnit unit = glide::CurrentClimbUnit();
    const std::wstring name(unit.name);
    const double average = g_navFix.averageVario.load() * unit.factor;
    std::wstring text;
    if (InThermal()) {
        text = platform::FormatC(L" Vz:%5.1f [%0.1f]%ls", average,
                                 g_navFix.thermalClimb.load() * unit.factor, name.c_str());
    } else if (Has(mask, value_bit::kSecondVario)) {
        text = platform::FormatC(L" Vz:]%3.1f[ <%0.1f>%ls",
                                 g_navFix.secondVario.load() * unit.factor, average, name.c_str());
    } else {
        text = platform::FormatC(L" Vz:%5.1f <%0.1f>%ls", g_navFix.vario.load() * unit.factor,
                                 average, name.c_str());
    }
    glide::VarioText.Set(text);
}

// Glide ratio over the ground from a climb (negative: sink) times factor,
// "+++" when it is no finite glide.
void WriteGlideRatio(float climb, float factor) {
    const float ratio = climb >= -0.02F ? -1.0F : -g_navFix.smoothedSpeedKt.load() / climb * factor;
    glide::GlideRatioText.Set(ratio < 0.0F || ratio > 1000.0F
                                  ? std::wstring(L"L/D +++")
                                  : platform::FormatC(L"L/D %01.0f", double{ratio}));
}

void WriteAirMassTexts() {
    const glide::GlideContext context = glide::CurrentGlideContext();
    const float averageVario = g_navFix.averageVario.load();
    if (context.polar.valid) {
        const bool useWind = core::g_windCorrection.load() != 0;
        const glide::SpeedToFly stf = glide::SpeedToFlyWind(
            context, g_navFix.trackRad.load(), core::g_macCready.load() - averageVario, useWind);
        const glide::DisplayUnit unit = glide::CurrentSpeedUnit();
        std::wstring text = platform::FormatC(L"F:%01.0f%ls", stf.speed * unit.factor,
                                              std::wstring(unit.name).c_str());
        if (useWind && context.wind.valid) text[1] = L'>';
        glide::AirMassStfText.Set(text);
    }
    if (g_navFix.gpsAltitudeValid.load() == 0)
        WriteGlideRatio(averageVario, g_navFix.densityFactor.load());
}

// The instrument's ballast (as the weight ratio) and bugs (per cent).
void WriteInstrumentText(const GpsFixRecord& fix, InstrumentKind kind) {
    const double weight = double{fix.ballast} * fix.ballast;
    const double bugs = (fix.bugs - 1.0) * 100.0;
    std::wstring text;
    switch (kind) {
        case InstrumentKind::kLx:
            text = platform::FormatC(L" LX: %04.2fx %4.0f%% ", weight, bugs);
            break;
        case InstrumentKind::kB50:
            text = platform::FormatC(L"B50: %04.2fx %4.0f%%  %4.0fC", weight, bugs,
                                     double{g_navFix.temperature.load()});
            break;
        case InstrumentKind::kBangW:
            text = platform::FormatC(L"CMB:  %04.2fx ", weight);
            break;
        default:
            return;
    }
    glide::InstrumentText.Set(text);
    g_navFix.instrumentTextShown = true;
}

}  // namespace

void FixPublisher::WriteClockTexts(float fixTime) {
    const int offsetSeconds = static_cast<int>(std::lround(g_timeOffset.load() * 3600.0F));
    const long daySeconds = 86400;
    long seconds = g_navFix.hours.load() * 3600L + g_navFix.minutes.load() * 60L +
                   static_cast<long>(std::floor(g_navFix.seconds.load())) + offsetSeconds;
    seconds = ((seconds % daySeconds) + daySeconds) % daySeconds;
    glide::TimeText.Set(platform::FormatC(L"%2d:%02d'%02d\" %ls", static_cast<int>(seconds / 3600),
                                          static_cast<int>(seconds / 60 % 60),
                                          static_cast<int>(seconds % 60),
                                          offsetSeconds == 0 ? L"UTC" : L"LCL"));
    if (!timerRunning_) {
        timerRunning_ = true;
        timerStart_ = fixTime;
    }
    const double elapsed = std::max(0.0F, fixTime - timerStart_);
    if (g_timeInMinutes.load() == 0) {
        glide::FlightTimeText.Set(platform::FormatC(L"%04.2fh", elapsed));
    } else {
        const long minutes = static_cast<long>(elapsed * 60.0);
        glide::FlightTimeText.Set(platform::FormatC(L"%2dh%02d", static_cast<int>(minutes / 60),
                                                    static_cast<int>(minutes % 60)));
    }
}

void FixPublisher::WriteTexts(std::uint32_t mask, const GpsFixRecord& fix,
                              const CommittedInstruments& instruments) {
    if (Has(mask, value_bit::kGpsAltitude | value_bit::kPressureAltitude)) WriteAltitudeTexts();
    if (Has(mask, value_bit::kMacCready)) TakeInstrumentMacCready();
    if (Has(mask, value_bit::kVario | value_bit::kAverageVario | value_bit::kSecondVario |
                      value_bit::kThermalClimb)) {
        WriteVarioText(mask);
    }
    if (Has(mask, value_bit::kAverageVario)) WriteAirMassTexts();
    if (Has(mask, value_bit::kGpsAltitude)) WriteGlideRatio(g_navFix.averagedGpsClimb.load(), 1.0F);
    if (Has(mask, value_bit::kBallast | value_bit::kBugs))
        WriteInstrumentText(fix, instruments.kind);
    if (Has(mask, value_bit::kHeading) && core::g_togString.load() == 2) {
        glide::TrackText.Set(
            platform::FormatC(L" %3.0fh ", double{g_navFix.magneticHeading.load()}));
    }
    if (Has(mask, value_bit::kFixTime)) WriteClockTexts(fix.fixTime);
}

}  // namespace gps
