// The instrument texts of the flight displays, from the published snapshot.
#include <array>
#include <cmath>
#include <string>

#include "core/settings_values.h"
#include "fix/fix_publication.h"
#include "glide/glide_context.h"
#include "glide/speed_to_fly.h"
#include "glide/speed_to_fly_text.h"
#include "glide/thermal_drift.h"
#include "gps/nav_fix.h"
#include "gps/settings_values.h"
#include "platform/numbers.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace gps {
namespace {

bool HasTextBits(std::uint32_t mask, std::uint32_t bits) {
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

void WriteAltitudeTexts(const NavSnapshot& published) {
    const bool pressureKnown = published.pressureKnown;
    const float pressure = published.pressureAltitude;
    if (published.gpsAltitudeValid == 0) {
        if (!pressureKnown) return;
        glide::FlightLevelText.Set(FlightLevel(pressure));
        glide::AltitudeThousandsText.Set(AltitudeText(published.qnhAltitude));
        return;
    }
    const float altitude = published.gpsAltitude;
    glide::AltitudeThousandsText.Set(AltitudeText(altitude));
    glide::FlightLevelText.Set(FlightLevel(pressureKnown ? pressure : altitude));
}

void TakeInstrumentMacCready(const NavSnapshot& published) {
    if (core::g_autoMacCready.load() != 0) return;
    const float macCready = published.instrumentMacCready;
    core::g_macCready = macCready;
    glide::MacCreadyText.Set(
        platform::FormatC(L" %0.1f", macCready * glide::CurrentClimbUnit().factor));
    glide::SpeedToFlyText(macCready);
}

bool InThermal(const NavSnapshot& published) {
    return glide::g_thermalEstablished.load() != 0 && published.thermalClimbKnown;
}

void WriteVarioText(const NavSnapshot& published, std::uint32_t mask) {
    const glide::DisplayUnit unit = glide::CurrentClimbUnit();
    const std::wstring name(unit.name);
    const double average = published.averageVario * unit.factor;
    std::wstring text;
    if (InThermal(published)) {
        text = platform::FormatC(L" Vz:%5.1f [%0.1f]%ls", average,
                                 published.thermalClimb * unit.factor, name.c_str());
    } else if (HasTextBits(mask, value_bit::kSecondVario)) {
        text = platform::FormatC(L" Vz:]%3.1f[ <%0.1f>%ls", published.secondVario * unit.factor,
                                 average, name.c_str());
    } else {
        text = platform::FormatC(L" Vz:%5.1f <%0.1f>%ls", published.vario * unit.factor, average,
                                 name.c_str());
    }
    glide::VarioText.Set(text);
}

// Glide ratio over the ground from a climb (negative: sink) times factor,
// "+++" when it is no finite glide.
void WriteGlideRatio(const NavSnapshot& published, float climb, float factor) {
    const float ratio = climb >= -0.02F ? -1.0F : -published.smoothedSpeedKt / climb * factor;
    glide::GlideRatioText.Set(ratio < 0.0F || ratio > 1000.0F
                                  ? std::wstring(L"L/D +++")
                                  : platform::FormatC(L"L/D %01.0f", double{ratio}));
}

void WriteAirMassTexts(const NavSnapshot& published) {
    const glide::GlideContext context = glide::CurrentGlideContext();
    const float averageVario = published.averageVario;
    if (context.polar.valid) {
        const bool useWind = core::g_windCorrection.load() != 0;
        const glide::SpeedToFly stf = glide::SpeedToFlyWind(
            context, published.trackRad, core::g_macCready.load() - averageVario, useWind);
        const glide::DisplayUnit unit = glide::CurrentSpeedUnit();
        std::wstring text = platform::FormatC(L"F:%01.0f%ls", stf.speed * unit.factor,
                                              std::wstring(unit.name).c_str());
        if (useWind && context.wind.valid) text[1] = L'>';
        glide::AirMassStfText.Set(text);
    }
    if (published.gpsAltitudeValid == 0)
        WriteGlideRatio(published, averageVario, published.densityFactor);
}

// The instrument's ballast (as the weight ratio) and bugs (per cent).
void WriteInstrumentText(const NavSnapshot& published, const GpsFixRecord& fix,
                         InstrumentKind kind) {
    const double weight = double{fix.ballast} * fix.ballast;
    const double bugs = (fix.bugs - 1.0) * 100.0;
    std::wstring text;
    switch (kind) {
        case InstrumentKind::kLx:
            text = platform::FormatC(L" LX: %04.2fx %4.0f%% ", weight, bugs);
            break;
        case InstrumentKind::kB50:
            text = platform::FormatC(L"B50: %04.2fx %4.0f%%  %4.0fC", weight, bugs,
                                     double{published.temperature});
            break;
        case InstrumentKind::kBangW:
            text = platform::FormatC(L"CMB:  %04.2fx ", weight);
            break;
        default:
            return;
    }
    glide::InstrumentText.Set(text);
}

}  // namespace

void FixPublisher::WriteClockTexts(const NavSnapshot& published, float fixTime) {
    const int offsetSeconds = static_cast<int>(std::lround(g_timeOffset.load() * 3600.0F));
    const long daySeconds = 86400;
    long seconds = published.hours * 3600L + published.minutes * 60L +
                   static_cast<long>(std::floor(published.seconds)) + offsetSeconds;
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

void FixPublisher::WriteTexts(std::uint32_t mask, const NavSnapshot& published,
                              const GpsFixRecord& fix, const CommittedInstruments& instruments) {
    if (HasTextBits(mask, value_bit::kGpsAltitude | value_bit::kPressureAltitude))
        WriteAltitudeTexts(published);
    if (HasTextBits(mask, value_bit::kMacCready)) TakeInstrumentMacCready(published);
    if (HasTextBits(mask, value_bit::kVario | value_bit::kAverageVario | value_bit::kSecondVario |
                              value_bit::kThermalClimb)) {
        WriteVarioText(published, mask);
    }
    if (HasTextBits(mask, value_bit::kAverageVario)) WriteAirMassTexts(published);
    if (HasTextBits(mask, value_bit::kGpsAltitude))
        WriteGlideRatio(published, published.averagedGpsClimb, 1.0F);
    if (HasTextBits(mask, value_bit::kBallast | value_bit::kBugs))
        WriteInstrumentText(published, fix, instruments.kind);
    if (HasTextBits(mask, value_bit::kHeading) && core::g_togString.load() == 2) {
        glide::TrackText.Set(platform::FormatC(L" %3.0fh ", double{published.magneticHeading}));
    }
    if (HasTextBits(mask, value_bit::kFixTime)) WriteClockTexts(published, fix.fixTime);
}

}  // namespace gps
