#include "gps/nmea_binary_frame.h"

#include <bit>
#include <cmath>

#include "core/geodesy.h"
#include "gps/nav_fix.h"
#include "gps/nmea_number.h"
#include "gps/nmea_parse_internal.h"

namespace gps {
namespace {

using nmea_parse::kFeetPerMetre;
using nmea_parse::kKmhPerKnot;
using nmea_parse::kMpsPerKnot;
using nmea_parse::ParseContext;

constexpr double kFrameDegreesPerRadian = 180.0 / core::g_pi;

std::uint16_t Unsigned16(const BinaryFrame& frame, std::size_t offset) {
    return static_cast<std::uint16_t>(frame[offset] | (frame[offset + 1] << 8));
}

float Signed16(const BinaryFrame& frame, std::size_t offset) {
    return static_cast<std::int16_t>(Unsigned16(frame, offset));
}

float Tenths(float value) {
    return value * 0.1F;
}

// Hours of day of a clock reading.
double Hours(const platform::SystemTime& time) {
    return time.hour + time.minute / 60.0 + (time.second + time.milliseconds / 1000.0) / 3600.0;
}

// Degrees, minutes and the letter of an angle in radians.
void SplitAngle(double radians, double& degrees, double& minutes) {
    const double all = std::fabs(radians) * kFrameDegreesPerRadian;
    degrees = std::floor(all);
    minutes = (all - degrees) * 60.0;
}

bool RepeatsLastFrame(const NmeaParserState& state, double now, double latitude, double longitude) {
    double last = state.lastFrameTime;
    if (now < last) last -= 24.0;  // the last frame came before midnight
    const double elapsed = now - last;
    const bool samePosition =
        latitude == state.lastFrameLatitude && longitude == state.lastFrameLongitude;
    return elapsed < 0.00054 || (elapsed < 0.001 && samePosition);
}

void StoreFramePosition(GpsFixRecord& fix, double latitude, double longitude) {
    fix.latitude = latitude;
    fix.longitude = longitude;
    SplitAngle(latitude, fix.latDegrees, fix.latMinutes);
    SplitAngle(longitude, fix.lonDegrees, fix.lonMinutes);
    fix.latLetter = latitude >= 0 ? 'N' : 'S';
    fix.lonLetter = longitude >= 0 ? 'W' : 'E';
}

void StoreFrameValues(ParseContext& context, const BinaryFrame& frame) {
    GpsFixRecord& fix = context.fix;
    NmeaParserState& state = context.state;
    state.ggaAltitudeSeen = -1;
    state.pressureSource |= pressure_source::kInstrument;
    nmea_parse::StorePressureAltitude(context, Signed16(frame, 13) * kFeetPerMetre);

    const double course = nmea_parse::WrapDegrees(Tenths(Unsigned16(frame, 33)));
    fix.magneticCourse = nmea_parse::WrapDegrees(course - context.environment.VariationInUse());
    nmea_parse::StoreCourseAndSpeed(context, course, Tenths(Unsigned16(frame, 31)) / kKmhPerKnot);
    nmea_parse::StoreInstrumentAirspeed(context, Tenths(Unsigned16(frame, 29)) / kKmhPerKnot);

    fix.vario = Tenths(Signed16(frame, 27)) / kMpsPerKnot;
    fix.secondVario = Tenths(Signed16(frame, 25)) / kMpsPerKnot;
    fix.averageVario = Tenths(Signed16(frame, 23)) / kMpsPerKnot;
    state.instruments.vario = state.instruments.secondVario = true;
    state.instruments.averageVario = true;
    state.instrumentKind = InstrumentKind::kBinaryFrame;
    fix.sourceMask |= source_bit::kBinaryFrame | source_bit::kPressureAltitude |
                      source_bit::kAirspeed | source_bit::kRmcCourse;
    fix.valueMask |= value_bit::kPosition | value_bit::kPressureAltitude | value_bit::kFixTime |
                     value_bit::kVario | value_bit::kCourseAndSpeed | value_bit::kAverageVario |
                     value_bit::kSecondVario;
}

int ParsePositionFrame(ParseContext& context, const BinaryFrame& frame) {
    const double latitude = DecodeFrameAngle(&frame[35]) / 4.0;
    const double longitude = -(DecodeFrameAngle(&frame[39]) / 4.0);  // the frame is east positive
    if (!(std::fabs(latitude) <= core::g_pi / 2) || !(std::fabs(longitude) <= core::g_pi)) {
        return 0;
    }
    const platform::SystemTime now = context.environment.UtcNow();
    const double hours = Hours(now);
    NmeaParserState& state = context.state;
    if (RepeatsLastFrame(state, hours, latitude, longitude)) return 0;
    state.lastFrameLatitude = latitude;
    state.lastFrameLongitude = longitude;
    state.lastFrameTime = hours;

    StoreFramePosition(context.fix, latitude, longitude);
    nmea_parse::StoreTime(context.fix, now.hour, now.minute,
                          static_cast<float>(now.second + now.milliseconds / 1000.0));
    StoreFrameValues(context, frame);
    return 1;
}

int ParseSettingsFrame(ParseContext& context, const BinaryFrame& frame) {
    GpsFixRecord& fix = context.fix;
    fix.macCready = static_cast<float>(frame[13]) / kMpsPerKnot * 0.5F;
    context.state.instruments.macCready = true;
    fix.sourceMask |= source_bit::kBinaryFrame;
    fix.valueMask |= value_bit::kMacCready;
    const double angle = DecodeFrameAngle(&frame[21]) / 4.0;
    if (std::fabs(angle) <= kMaxWireMagnitude) {
        const double direction = nmea_parse::WrapDegrees(angle * kFrameDegreesPerRadian - 180.0);
        nmea_parse::TakeInstrumentWind(context, Tenths(Unsigned16(frame, 19)) / kKmhPerKnot,
                                       static_cast<float>(direction));
    }
    fix.sourceMask |= source_bit::kGpsAltitude;
    context.state.instrumentKind = InstrumentKind::kBinaryFrame;
    return 1;
}

}  // namespace

float DecodeFrameAngle(const std::uint8_t* field) {
    const std::uint32_t b0 = field[3];
    const std::uint32_t b1 = field[2];
    const std::uint32_t b2 = (field[1] & 0x7Fu) | ((field[0] & 1u) << 7);
    const std::uint32_t b3 = (field[0] >> 1) | (field[1] & 0x80u);
    return std::bit_cast<float>(b0 | (b1 << 8) | (b2 << 16) | (b3 << 24));
}

int ParseBinaryFrame(const BinaryFrame& frame) {
    // A replay owns the pending fix.
    if (g_bReplayRunning.load()) return 0;
    ParseContext context{PendingFix, g_nmeaState, CurrentNmeaEnvironment()};
    switch (frame[4]) {
        case 0:
            return ParsePositionFrame(context, frame);
        case 2:
            return ParseSettingsFrame(context, frame);
        default:
            return 0;
    }
}

}  // namespace gps
