#include <cmath>

#include "core/angles.h"
#include "core/geodesy.h"
#include "gps/nmea_parse_internal.h"
#include "gps/settings_values.h"

namespace gps::nmea_parse {
namespace {

using core::kRadiansPerDegree;

double Radians(double degrees, double minutes) {
    return (degrees + minutes / 60.0) * kRadiansPerDegree;
}

}  // namespace

double WrapDegrees(double degrees) {
    double wrapped = std::fmod(degrees, 360.0);
    if (wrapped < 0) wrapped += 360.0;
    return wrapped < 360.0 ? wrapped : 0.0;  // -1e-17 + 360 rounds to 360
}

double WrapSignedDegrees(double degrees) {
    const double wrapped = WrapDegrees(degrees);
    return wrapped >= 180.0 ? wrapped - 360.0 : wrapped;
}

bool IsLetter(char c, char upper) {
    return c == upper || c == upper - 'A' + 'a';
}

bool HemispheresValid(const WirePosition& position) {
    return (IsLetter(position.latLetter, 'N') || IsLetter(position.latLetter, 'S')) &&
           (IsLetter(position.lonLetter, 'E') || IsLetter(position.lonLetter, 'W'));
}

bool LatitudeAbsurd(double degrees, double minutes) {
    return !(std::fabs(degrees + minutes / 60.0) <= 90.0);
}

bool LongitudeAbsurd(double degrees, double minutes) {
    return !(std::fabs(degrees + minutes / 60.0) <= 180.0);
}

void StorePosition(GpsFixRecord& fix, const WirePosition& position) {
    fix.latDegrees = position.latDegrees;
    fix.latMinutes = position.latMinutes;
    fix.lonDegrees = position.lonDegrees;
    fix.lonMinutes = position.lonMinutes;
    fix.latLetter = position.latLetter;
    fix.lonLetter = position.lonLetter;
    const double latitude = Radians(position.latDegrees, position.latMinutes);
    const double longitude = Radians(position.lonDegrees, position.lonMinutes);
    fix.latitude = IsLetter(position.latLetter, 'S') ? -latitude : latitude;
    fix.longitude = IsLetter(position.lonLetter, 'E') ? -longitude : longitude;
}

void StoreTime(GpsFixRecord& fix, int hours, int minutes, float seconds) {
    fix.hours = hours;
    fix.minutes = minutes;
    fix.seconds = seconds;
}

void StoreCourseAndSpeed(ParseContext& context, double trueCourse, float speed) {
    GpsFixRecord& fix = context.fix;
    fix.groundSpeed = speed;
    fix.trueCourse = trueCourse;
    fix.trueCourseRad = trueCourse * kRadiansPerDegree;
    GroundVector& ground = context.state.ground;
    ground.speed = speed;
    ground.sinCourse = static_cast<float>(std::sin(fix.trueCourseRad));
    ground.cosCourse = static_cast<float>(std::cos(fix.trueCourseRad));
    ground.east = speed * ground.sinCourse;
    ground.north = speed * ground.cosCourse;
    ground.course = static_cast<float>(trueCourse);
    fix.courseUpdated = 1;
}

void StoreHeadings(ParseContext& context, double magnetic, double trueHeading) {
    GpsFixRecord& fix = context.fix;
    fix.magneticHeading = static_cast<float>(WrapDegrees(magnetic));
    fix.trueHeading = static_cast<float>(WrapDegrees(trueHeading));
    const double radians = fix.trueHeading * kRadiansPerDegree;
    context.state.sinHeading = static_cast<float>(std::sin(radians));
    context.state.cosHeading = static_cast<float>(std::cos(radians));
    fix.sourceMask |= source_bit::kHeading;
    fix.valueMask |= value_bit::kHeading;
}

void StorePressureAltitude(ParseContext& context, float feet) {
    context.fix.pressureAltitude = feet;
    context.fix.pressureSource = context.state.pressureSource;
    context.fix.valueMask |= value_bit::kPressureAltitude;
}

void StoreTimedPressureAltitude(ParseContext& context, float feet) {
    StorePressureAltitude(context, feet);
    context.fix.pressureAltitudeTime = static_cast<float>(context.environment.FixTime());
    context.fix.sourceMask |= source_bit::kPressureAltitude;
}

void StoreInstrumentAirspeed(ParseContext& context, float trueAirspeed) {
    GpsFixRecord& fix = context.fix;
    InstrumentFlags& flags = context.state.instruments;
    context.state.instrumentAirspeed = trueAirspeed;
    context.state.instrumentAirspeedSquared = trueAirspeed * trueAirspeed;
    fix.trueAirspeed = trueAirspeed;
    flags.trueAirspeed = true;
    fix.valueMask |= value_bit::kTrueAirspeed;
    const auto indicated = static_cast<float>(trueAirspeed * context.environment.DensityFactor());
    StoreFinite(indicated, fix.indicatedAirspeed, flags.indicatedAirspeed, fix,
                value_bit::kIndicatedAirspeed);
}

bool StoreFinite(float value, float& field, bool& flag, GpsFixRecord& fix, std::uint32_t bit) {
    if (!std::isfinite(value)) return false;
    field = value;
    flag = true;
    fix.valueMask |= bit;
    return true;
}

float InstrumentTimeNow(const NmeaEnvironment& environment) {
    const platform::SystemTime now = environment.LocalNow();
    return static_cast<float>(now.hour) + static_cast<float>(now.minute) / 60.0F +
           (static_cast<float>(now.second) + static_cast<float>(now.milliseconds) / 1000.0F) /
               3600.0F;
}

void TakeInstrumentWind(ParseContext& context, float speed, float direction) {
    if (g_windTriggerMask.load() != -1) return;
    const NmeaEnvironment& environment = context.environment;
    if (speed == static_cast<float>(environment.WindSpeed()) &&
        direction == static_cast<float>(environment.WindDirection())) {
        return;
    }
    WindRecord& wind = context.fix.instrumentWind;
    const double radians = direction * kRadiansPerDegree;
    wind.x = static_cast<float>(std::cos(radians) * speed);
    wind.y = static_cast<float>(std::sin(radians) * speed);
    wind.speed = speed;
    wind.direction = direction;
    wind.speedAgain = speed;
    wind.speedSquared = speed * speed;
    wind.altitude = static_cast<float>(environment.GpsAltitude());
    wind.time = static_cast<float>(environment.FixTime());
    context.state.instruments.wind = true;
    context.fix.valueMask |= value_bit::kInstrumentWind;
}

}  // namespace gps::nmea_parse
