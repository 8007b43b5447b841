#include "fix/fix_publication.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/settings_values.h"
#include "glide/current_wind.h"
#include "glide/polar.h"
#include "glide/speed_to_fly_text.h"
#include "glide/thermal_average.h"
#include "glide/thermal_drift.h"
#include "glide/wind_history.h"
#include "gps/settings_values.h"
#include "platform/numbers.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace gps {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
// At or below this a GPS altitude counts as none, feet.
constexpr float kNoGpsAltitude = -8000.0F;

bool Has(std::uint32_t mask, std::uint32_t bits) {
    return (mask & bits) != 0;
}

// Indicated / true airspeed at an altitude in feet.
float DensityFactorAt(float feet) {
    return ((feet * 5.63038e-05F) / 1000.0F - 0.014633F) * feet / 1000.0F + 1.0F;
}

// The true airspeed, and the indicated one (from the true one when the
// instrument sends no indicated airspeed of its own).
void PublishAirspeeds(NavSnapshot& next, const GpsFixRecord& fix,
                      const CommittedInstruments& instruments, std::uint32_t& mask) {
    bool derived = false;
    if (Has(mask, value_bit::kTrueAirspeed)) {
        next.trueAirspeed = fix.trueAirspeed;
        next.trueAirspeedValid = true;
        if (!instruments.delivered.indicatedAirspeed) {
            next.indicatedAirspeed = fix.trueAirspeed * next.densityFactor;
            mask |= value_bit::kIndicatedAirspeed;
            derived = true;
        }
    }
    if (!Has(mask, value_bit::kIndicatedAirspeed)) return;
    if (!derived) next.indicatedAirspeed = fix.indicatedAirspeed;
    if (!instruments.delivered.trueAirspeed) next.trueAirspeedValid = true;
    next.instrumentAirspeed = true;
}

// The polar in use follows the instrument's ballast and bugs. A factor the
// instrument has not sent (0) is not taken.
void PublishPolarFactors(NavSnapshot& next, const GpsFixRecord& fix, std::uint32_t mask) {
    if (Has(mask, value_bit::kBallast)) next.ballastFromInstrument = true;
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

void PublishTime(NavSnapshot& next, const GpsFixRecord& fix) {
    next.fixTimeHours = fix.fixTime;
    next.hours = fix.hours;
    next.minutes = fix.minutes;
    next.seconds = fix.seconds;
}

void PublishPosition(NavSnapshot& next, const GpsFixRecord& fix) {
    g_fixAgeHours = 0.0;
    next.lonRad = fix.longitude;
    next.latRad = fix.latitude;
    next.latDegrees = fix.latDegrees;
    next.latMinutes = fix.latMinutes;
    next.lonDegrees = fix.lonDegrees;
    next.lonMinutes = fix.lonMinutes;
    next.latLetter = fix.latLetter;
    next.lonLetter = fix.lonLetter;
}

// The airspeed that flies the course against the current wind (law of
// cosines with the wind from angle w - course) and the angle to steer into
// the wind, positive to the right.
void PublishWindCorrection(NavSnapshot& next, float speed, double courseRad) {
    float angle = 0.0F;
    float shownAirspeed = next.indicatedAirspeed;
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
            if (!next.instrumentAirspeed)
                shownAirspeed = static_cast<float>(airspeed * next.densityFactor);
        }
    }
    next.windCorrectionAngle = angle;
    next.shownAirspeed = shownAirspeed;
}

void PublishCourse(NavSnapshot& next, const GpsFixRecord& fix) {
    next.speedKt = fix.groundSpeed;
    next.smoothedSpeedKt = fix.smoothedGroundSpeed;
    next.magneticCourse = fix.magneticCourse;
    next.trackDeg = fix.trueCourse;
    next.trackRad = fix.trueCourseRad;
    next.courseUpdated = true;
    PublishWindCorrection(next, fix.groundSpeed, fix.trueCourseRad);
}

void PublishGpsAltitude(NavSnapshot& next, const GpsFixRecord& fix) {
    next.gpsAltitude = fix.gpsAltitude;
    next.gpsAltitudeValid = fix.gpsAltitudeValid;
    if (fix.pressureSource == 0 && fix.gpsAltitudeValid != 0)
        next.densityFactor = DensityFactorAt(fix.gpsAltitude);
}

void PublishThermalClimb(NavSnapshot& next, const GpsFixRecord& fix) {
    next.thermalClimb = fix.thermalClimb;
    next.thermalClimbKnown = true;
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
    next.thermalAverage = shown;
    if (core::g_autoMacCready.load() == 0) return;
    core::g_macCready = shown;
    const glide::DisplayUnit climb = glide::CurrentClimbUnit();
    glide::MacCreadyText.Set(platform::FormatC(L" %0.1f", shown * climb.factor));
}

// Whether the instrument shows its ballast and bugs as the instrument text.
bool ShowsInstrumentText(InstrumentKind kind) {
    return kind == InstrumentKind::kLx || kind == InstrumentKind::kB50 ||
           kind == InstrumentKind::kBangW;
}

// Without an instrument's airspeed the indicated airspeed is the ground
// speed at the density of the altitude.
void DeriveIndicatedAirspeed(NavSnapshot& next) {
    if (next.instrumentAirspeed) return;
    const float indicated =
        next.gpsAltitude <= kNoGpsAltitude ? next.speedKt : next.speedKt * next.densityFactor;
    if (std::isfinite(indicated)) next.indicatedAirspeed = indicated;
}

// The commit's flight state. A thermal climb is known only until the
// circling it was climbed in ends.
void PublishFlightState(NavSnapshot& next, const FlightState& flight) {
    if (flight.circlingEnds != next.circlingEnds) next.thermalClimbKnown = false;
    next.circling = flight.circling;
    next.straightFlight = flight.straight;
    next.steadyFlight = flight.steady;
    next.circlingEnds = flight.circlingEnds;
}

}  // namespace

void FixPublisher::CalibrateQnh(NavSnapshot& next, float pressureAltitude) {
    if (g_stopAutoQnh.load() != 0) qnh_.counter = 51;
    if (const float typed = g_typedQnhCorrection.exchange(std::nanf("")); !std::isnan(typed)) {
        next.autoQnhCorrection = typed;
    }
    if (qnh_.counter < 0) {
        ++qnh_.counter;
        return;
    }
    const float speed = next.speedKt;
    if (speed > 10.0F) qnh_.counter = 50;
    if (qnh_.counter >= 50 || speed >= 4.0F || next.gpsAltitudeValid != 1) return;
    const double sample = double{pressureAltitude} - next.gpsAltitude;
    qnh_.meanDifference = (qnh_.meanDifference * qnh_.counter + sample) / (qnh_.counter + 1);
    const double x = qnh_.meanDifference * 62.7712 + 852881.8;
    if (x < 0.0) return;
    ++qnh_.counter;
    const double aboveStandard = (923.516 - std::sqrt(x)) / 31.3856;  // inches of mercury
    next.autoQnhCorrection =
        static_cast<float>(aboveStandard * (aboveStandard * 15.6928 - 923.516));
}

// The shown altitude is the QNH altitude below the transition altitude and
// the pressure altitude above it, with a hysteresis: it changes sides only
// when both agree.
void FixPublisher::PublishPressureAltitude(NavSnapshot& next, const GpsFixRecord& fix) {
    const float pressure = fix.pressureAltitude;
    next.pressureAltitude = pressure;
    CalibrateQnh(next, pressure);
    const float automatic = next.autoQnhCorrection;
    const float corrected = pressure - (automatic > -9000.0F ? automatic : 0.0F);
    const float transition = core::g_transitionAltitude.load();
    bool above = next.aboveTransition;
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
    next.qnhAltitude = shown;
    next.aboveTransition = above;
    const bool known = fix.pressureSource != 0;
    next.pressureKnown = known;
    next.densityFactor = known ? DensityFactorAt(pressure) : fix.densityBase;
}

std::uint32_t FixPublisher::Publish(const GpsFixRecord& fix,
                                    const CommittedInstruments& instruments,
                                    const FlightState& flight) {
    NavSnapshot next = *CurrentNav();
    std::uint32_t mask = fix.valueMask;
    PublishFlightState(next, flight);
    if (Has(mask, value_bit::kHeading)) {
        next.magneticHeading = fix.magneticHeading;
        next.trueHeading = fix.trueHeading;
        next.headingValid = true;
    }
    PublishAirspeeds(next, fix, instruments, mask);
    if (Has(mask, value_bit::kMacCready)) {
        next.instrumentMacCready = fix.macCready;
        next.instrumentMacCreadyKnown = true;
    }
    if (Has(mask, value_bit::kBallast | value_bit::kBugs)) {
        PublishPolarFactors(next, fix, mask);
        if (ShowsInstrumentText(instruments.kind)) next.instrumentTextShown = true;
    }
    if (Has(mask, value_bit::kTemperature)) {
        next.temperature = fix.temperature;
        glide::TemperatureText.Set(platform::FormatC(L"%4.0fC", double{fix.temperature}));
    }
    if (Has(mask, value_bit::kInstrumentWind) && g_windMethod.load() != WindMethod::kNone)
        PublishWind(fix);
    if (Has(mask, value_bit::kFixTime)) PublishTime(next, fix);
    if (Has(mask, value_bit::kPosition)) PublishPosition(next, fix);
    if (Has(mask, value_bit::kCourseAndSpeed)) PublishCourse(next, fix);
    if (Has(mask, value_bit::kGpsAltitude)) PublishGpsAltitude(next, fix);
    if (Has(mask, value_bit::kPressureAltitude)) PublishPressureAltitude(next, fix);
    if (Has(mask, value_bit::kVariation) && core::g_useGpsVariation.load() != 0)
        core::g_magneticVariation = fix.variation;
    if (Has(mask, value_bit::kVario)) next.vario = fix.vario;
    if (Has(mask, value_bit::kAverageVario)) next.averageVario = fix.averageVario;
    if (Has(mask, value_bit::kSecondVario)) next.secondVario = fix.secondVario;
    if (Has(mask, value_bit::kThermalClimb)) PublishThermalClimb(next, fix);
    next.lastSourceMask = fix.sourceMask;
    if (Has(mask, value_bit::kGpsAltitude)) {
        next.gpsClimb = fix.gpsClimb;
        next.averagedGpsClimb = fix.averagedGpsClimb;
    }
    if (Has(mask, value_bit::kCourseAndSpeed)) DeriveIndicatedAirspeed(next);
    PublishNav(std::move(next));
    return mask;
}

}  // namespace gps
