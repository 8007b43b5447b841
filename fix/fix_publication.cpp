#include "fix/fix_publication.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/settings_values.h"
#include "glide/current_wind.h"
#include "glide/display_texts.h"
#include "glide/display_units.h"
#include "glide/polar.h"
#include "glide/speed_to_fly_text.h"
#include "glide/thermal_average.h"
#include "glide/thermal_drift.h"
#include "glide/wind_history.h"
#include "gps/nav_fix.h"
#include "gps/settings_values.h"
#include "platform/numbers.h"

namespace gps {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

bool Has(std::uint32_t mask, std::uint32_t bits) {
    return (mask & bits) != 0;
}

// Indicated / true airspeed at an altitude in feet.
float DensityFactorAt(float feet) {
    return ((feet * 5.63038e-05F) / 1000.0F - 0.014633F) * feet / 1000.0F + 1.0F;
}

// The true airspeed, and the indicated one (from the true one when the
// instrument sends no indicated airspeed of its own).
void PublishAirspeeds(const GpsFixRecord& fix, const CommittedInstruments& instruments,
                      std::uint32_t& mask) {
    bool derived = false;
    if (Has(mask, value_bit::kTrueAirspeed)) {
        g_navFix.trueAirspeed = fix.trueAirspeed;
        g_navFix.trueAirspeedValid = true;
        if (!instruments.delivered.indicatedAirspeed) {
            g_navFix.indicatedAirspeed = fix.trueAirspeed * g_navFix.densityFactor.load();
            mask |= value_bit::kIndicatedAirspeed;
            derived = true;
        }
    }
    if (!Has(mask, value_bit::kIndicatedAirspeed)) return;
    if (!derived) g_navFix.indicatedAirspeed = fix.indicatedAirspeed;
    if (!instruments.delivered.trueAirspeed) g_navFix.trueAirspeedValid = true;
    g_navFix.instrumentAirspeed = true;
}

// The polar in use follows the instrument's ballast and bugs. A factor the
// instrument has not sent (0) is not taken.
void PublishPolarFactors(const GpsFixRecord& fix, std::uint32_t mask) {
    if (Has(mask, value_bit::kBallast)) g_navFix.ballastFromInstrument = true;
    glide::ChangePolarSettings([&fix](glide::PolarSettings& settings) {
        if (settings.useBallastSetting != 0 && fix.ballast > 0.0F)
            settings.weightFactor = fix.ballast;
        if (fix.bugs > 0.0F) settings.bugsFactor = fix.bugs;
    });
    glide::ScalePolar();
}

void PublishWind(const GpsFixRecord& fix) {
    const WindRecord& wind = fix.instrumentWind;
    glide::SetCurrentWind(glide::FromWindRecord(wind));
    glide::FormatWindText();
    glide::SpeedToFlyText(core::g_macCready.load());
}

void PublishTime(const GpsFixRecord& fix) {
    g_navFix.fixTimeHours = fix.fixTime;
    g_navFix.hours = fix.hours;
    g_navFix.minutes = fix.minutes;
    g_navFix.seconds = fix.seconds;
}

void PublishPosition(const GpsFixRecord& fix) {
    g_fixAgeHours = 0.0;
    g_navFix.lonRad = fix.longitude;
    g_navFix.latRad = fix.latitude;
    g_navFix.latDegrees = fix.latDegrees;
    g_navFix.latMinutes = fix.latMinutes;
    g_navFix.lonDegrees = fix.lonDegrees;
    g_navFix.lonMinutes = fix.lonMinutes;
    g_navFix.latLetter = fix.latLetter;
    g_navFix.lonLetter = fix.lonLetter;
}

// The airspeed that flies the course against the current wind (law of
// cosines with the wind from angle w - course) and the angle to steer into
// the wind, positive to the right.
void PublishWindCorrection(float speed, double courseRad) {
    float angle = 0.0F;
    float shownAirspeed = g_navFix.indicatedAirspeed.load();
    const glide::Wind wind = glide::CurrentWind();
    if (core::g_windCorrection.load() != 0 && wind.valid) {
        const double w = wind.speed;
        const double relative = wind.direction - courseRad;
        const double headwind = std::cos(relative) * w;
        const double airspeedSquared = 2.0 * speed * headwind + double{speed} * speed + w * w;
        if (airspeedSquared > 0.0) {
            const double airspeed = std::sqrt(airspeedSquared);
            if (speed > 0.01F) {
                const double cosine = std::clamp(
                    (double{speed} * speed + airspeedSquared - w * w) / (2.0 * speed * airspeed),
                    -1.0, 1.0);
                angle = static_cast<float>(std::acos(cosine) * kDegreesPerRadian);
                const double turn = std::fmod(relative, 2.0 * std::numbers::pi);
                if ((turn < 0.0 ? turn + 2.0 * std::numbers::pi : turn) >= std::numbers::pi)
                    angle = -angle;
            }
            if (!g_navFix.instrumentAirspeed.load())
                shownAirspeed = static_cast<float>(airspeed * g_navFix.densityFactor.load());
        }
    }
    g_navFix.windCorrectionAngle = angle;
    g_navFix.shownAirspeed = shownAirspeed;
}

void PublishCourse(const GpsFixRecord& fix) {
    g_navFix.speedKt = fix.groundSpeed;
    g_navFix.smoothedSpeedKt = fix.smoothedGroundSpeed;
    g_navFix.magneticCourse = fix.magneticCourse;
    g_navFix.trackDeg = fix.trueCourse;
    g_navFix.trackRad = fix.trueCourseRad;
    g_navFix.courseUpdated = true;
    PublishWindCorrection(fix.groundSpeed, fix.trueCourseRad);
}

void PublishGpsAltitude(const GpsFixRecord& fix) {
    g_navFix.gpsAltitude = fix.gpsAltitude;
    g_navFix.gpsAltitudeValid = fix.gpsAltitudeValid;
    if (fix.pressureSource == 0 && fix.gpsAltitudeValid != 0)
        g_navFix.densityFactor = DensityFactorAt(fix.gpsAltitude);
}

void PublishThermalClimb(const GpsFixRecord& fix) {
    g_navFix.thermalClimb = fix.thermalClimb;
    g_navFix.thermalClimbKnown = true;
    glide::LastThermalClimb = fix.thermalClimb;
    if (glide::g_thermalEstablished.load() == 0) return;
    float weight = 0.0F;
    float average = 0.0F;
    {
        const platform::CriticalSectionLock lock(glide::DisplayTextLock);
        weight = glide::ThermalWeight.load();
        average = glide::ThermalAverage.load();
    }
    const float shown = std::max(0.0F, (weight * average + fix.thermalClimb) / (weight + 1.0F));
    g_navFix.thermalAverage = shown;
    if (core::g_autoMacCready.load() == 0) return;
    core::g_macCready = shown;
    const glide::DisplayUnit climb = glide::CurrentClimbUnit();
    glide::MacCreadyText.Set(platform::FormatC(L" %0.1f", shown * climb.factor));
}

}  // namespace

void FixPublisher::CalibrateQnh(float pressureAltitude) {
    if (g_stopAutoQnh.load() != 0) qnh_.counter = 51;
    if (const float typed = g_typedQnhCorrection.exchange(std::nanf("")); !std::isnan(typed)) {
        g_navFix.autoQnhCorrection = typed;
    }
    if (qnh_.counter < 0) {
        ++qnh_.counter;
        return;
    }
    const float speed = g_navFix.speedKt.load();
    if (speed > 10.0F) qnh_.counter = 50;
    if (qnh_.counter >= 50 || speed >= 4.0F || g_navFix.gpsAltitudeValid.load() != 1) return;
    const double sample = double{pressureAltitude} - g_navFix.gpsAltitude.load();
    qnh_.meanDifference = (qnh_.meanDifference * qnh_.counter + sample) / (qnh_.counter + 1);
    const double x = qnh_.meanDifference * 62.7712 + 852881.8;
    if (x < 0.0) return;
    ++qnh_.counter;
    const double aboveStandard = (923.516 - std::sqrt(x)) / 31.3856;  // inches of mercury
    g_navFix.autoQnhCorrection =
        static_cast<float>(aboveStandard * (aboveStandard * 15.6928 - 923.516));
}

// The shown altitude is the QNH altitude below the transition altitude and
// the pressure altitude above it, with a hysteresis: it changes sides only
// when both agree.
void FixPublisher::PublishPressureAltitude(const GpsFixRecord& fix) {
    const float pressure = fix.pressureAltitude;
    g_navFix.pressureAltitude = pressure;
    CalibrateQnh(pressure);
    const float automatic = g_navFix.autoQnhCorrection.load();
    const float corrected = pressure - (automatic > -9000.0F ? automatic : 0.0F);
    const float transition = core::g_transitionAltitude.load();
    bool above = g_navFix.aboveTransition.load();
    float shown = 0.0F;
    if (!above) {
        shown = corrected;
        if (corrected > transition) {
            above = pressure >= transition;
            shown = above ? pressure : transition;
        }
    } else {
        shown = pressure;
        if (pressure < transition) {
            above = corrected > transition;
            shown = above ? transition : corrected;
        }
    }
    g_navFix.qnhAltitude = shown;
    g_navFix.aboveTransition = above;
    const bool known = fix.pressureSource != 0;
    g_navFix.pressureKnown = known;
    g_navFix.densityFactor = known ? DensityFactorAt(pressure) : fix.densityBase;
}

std::uint32_t FixPublisher::Publish(const GpsFixRecord& fix,
                                    const CommittedInstruments& instruments) {
    std::uint32_t mask = fix.valueMask;
    if (Has(mask, value_bit::kHeading)) {
        g_navFix.magneticHeading = fix.magneticHeading;
        g_navFix.trueHeading = fix.trueHeading;
        g_navFix.headingValid = true;
    }
    PublishAirspeeds(fix, instruments, mask);
    if (Has(mask, value_bit::kMacCready)) g_navFix.instrumentMacCready = fix.macCready;
    if (Has(mask, value_bit::kBallast | value_bit::kBugs)) PublishPolarFactors(fix, mask);
    if (Has(mask, value_bit::kTemperature)) {
        g_navFix.temperature = fix.temperature;
        glide::TemperatureText.Set(platform::FormatC(L"%4.0fC", double{fix.temperature}));
    }
    if (Has(mask, value_bit::kInstrumentWind) && g_windMethod.load() != WindMethod::kNone)
        PublishWind(fix);
    if (Has(mask, value_bit::kFixTime)) PublishTime(fix);
    if (Has(mask, value_bit::kPosition)) PublishPosition(fix);
    if (Has(mask, value_bit::kCourseAndSpeed)) PublishCourse(fix);
    if (Has(mask, value_bit::kGpsAltitude)) PublishGpsAltitude(fix);
    if (Has(mask, value_bit::kPressureAltitude)) PublishPressureAltitude(fix);
    if (Has(mask, value_bit::kVariation) && core::g_useGpsVariation.load() != 0)
        core::g_magneticVariation = fix.variation;
    if (Has(mask, value_bit::kVario)) g_navFix.vario = fix.vario;
    if (Has(mask, value_bit::kAverageVario)) g_navFix.averageVario = fix.averageVario;
    if (Has(mask, value_bit::kSecondVario)) g_navFix.secondVario = fix.secondVario;
    if (Has(mask, value_bit::kThermalClimb)) PublishThermalClimb(fix);
    g_navFix.lastSourceMask = fix.sourceMask;
    if (Has(mask, value_bit::kGpsAltitude)) {
        g_navFix.gpsClimb = fix.gpsClimb;
        g_navFix.averagedGpsClimb = fix.averagedGpsClimb;
    }
    return mask;
}

}  // namespace gps
