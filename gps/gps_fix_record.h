#pragma once
// The fix record: everything one fix carries from the sentence parser to the
// fix-processing thread.
//
// Sentences accumulate in PendingFix (written on the port reader's thread):
// a field keeps its last value until a later sentence overwrites it, and the
// two masks say which values and which sources arrived since the last
// commit. The commit copies the whole record into CurrentFix under the fix
// lock and clears the pending masks.
//
// Units: angles in radians where the name says so, otherwise degrees;
// longitude positive WEST; speeds and climbs in knots; altitudes in feet;
// times in hours.

#include <cstdint>

#include "platform/critical_section.h"

namespace gps {

// Marks a value that has none: altitudes, climbs, the QNH correction. Tests
// for a value below -9000 stand for it.
inline constexpr float kNoValue = -10000.0F;
// A time not yet set.
inline constexpr float kNoTime = -1.0F;

// Which values a fix delivered (GpsFixRecord::valueMask).
namespace value_bit {
inline constexpr std::uint32_t kPosition = 0x1;
inline constexpr std::uint32_t kFixTime = 0x2;
inline constexpr std::uint32_t kVario = 0x4;
inline constexpr std::uint32_t kGpsAltitude = 0x8;
inline constexpr std::uint32_t kPressureAltitude = 0x10;
inline constexpr std::uint32_t kVariation = 0x20;  // also "RMC with status A, or VTG"
inline constexpr std::uint32_t kIndicatedAirspeed = 0x40;
inline constexpr std::uint32_t kTrueAirspeed = 0x80;
inline constexpr std::uint32_t kMacCready = 0x100;
inline constexpr std::uint32_t kBugs = 0x200;
inline constexpr std::uint32_t kBallast = 0x400;
inline constexpr std::uint32_t kInstrumentWind = 0x800;
inline constexpr std::uint32_t kAverageVario = 0x1000;
inline constexpr std::uint32_t kSecondVario = 0x2000;
inline constexpr std::uint32_t kCourseAndSpeed = 0x4000;
inline constexpr std::uint32_t kHeading = 0x8000;
inline constexpr std::uint32_t kTemperature = 0x10000;
inline constexpr std::uint32_t kThermalClimb = 0x20000;
}  // namespace value_bit

// Which kinds of source delivered (GpsFixRecord::sourceMask).
namespace source_bit {
inline constexpr std::uint32_t kRmcCourse = 0x1;  // RMC with course and speed
inline constexpr std::uint32_t kVtg = 0x2;
inline constexpr std::uint32_t kGgaPosition = 0x4;
inline constexpr std::uint32_t kPositionOnly = 0x8;  // GLL, or RMC without course
inline constexpr std::uint32_t kPressureAltitude = 0x10;
inline constexpr std::uint32_t kGpsAltitude = 0x20;
inline constexpr std::uint32_t kB50 = 0x40;
inline constexpr std::uint32_t kHeading = 0x100;
inline constexpr std::uint32_t kAirspeed = 0x200;
inline constexpr std::uint32_t kBangW = 0x800;  // the '!w' instrument
inline constexpr std::uint32_t kBinaryFrame = 0x1000;
inline constexpr std::uint32_t kLx = 0x2000;
inline constexpr std::uint32_t kPtas1 = 0x8000;
}  // namespace source_bit

// Where the pressure altitude came from (the parser's pressure-source word
// and its copy in the record).
namespace pressure_source {
inline constexpr std::uint32_t kInstrument = 0x1;
inline constexpr std::uint32_t kRmz = 0x2;
}  // namespace pressure_source

// A wind as the glide computer keeps it. The vector points to where the wind
// comes from, in the frame of the ground-velocity components: x = north =
// speed * cos(direction), y = east = speed * sin(direction). Records are
// copied whole.
struct WindRecord {
    float x = 0;          // north component, knots
    float y = 0;          // east component, knots
    float speed = 0;      // knots
    float direction = 0;  // degrees true, [0, 360), where the wind comes from
    float speedAgain = 0;
    float speedSquared = 0;
    float altitude = 0;  // feet, when the wind was taken
    float time = 0;      // fix time in hours, when the wind was taken
};

struct GpsFixRecord {
    double lonDegrees = 0;  // whole degrees of the longitude (absolute)
    double latDegrees = 0;  // whole degrees of the latitude (absolute)
    double lonMinutes = 0;
    double latMinutes = 0;
    double latitude = 0;        // radians, north positive
    double longitude = 0;       // radians, WEST positive
    double magneticCourse = 0;  // degrees, [0, 360)
    double trueCourse = 0;      // degrees
    double trueCourseRad = 0;
    double variation = 0;  // degrees, east positive

    float groundSpeed = 0;
    float gpsAltitude = 0;
    float pressureAltitude = 0;
    // The airspeed density factor while no pressure altitude is known.
    float densityBase = 0;
    float geoidSeparation = 0;  // feet, from GGA

    std::int32_t hours = 0;  // UTC time of the fix
    std::int32_t minutes = 0;
    float seconds = 0;
    char latLetter = 0;  // 'N' / 'S' as received
    char lonLetter = 0;  // 'E' / 'W' as received

    float fixTime = 0;               // hours since the first fix day (set by the commit)
    float pressureAltitudeTime = 0;  // published fix time when the pressure altitude came
    float gpsAltitudeTime = 0;       // hours of day of the GGA time
    float vario = 0;
    float instrumentTime = 0;  // local hours of day when the instrument values came
    float macCready = 0;
    float secondVario = 0;
    float averageVario = 0;
    float bugs = 0;         // factor, 1.0 = clean
    float ballast = 0;      // square root of the instrument's ballast value
    float temperature = 0;  // degrees Celsius
    float indicatedAirspeed = 0;
    float trueAirspeed = 0;
    float magneticHeading = 0;      // degrees, [0, 360)
    float trueHeading = 0;          // degrees, [0, 360)
    float smoothedGroundSpeed = 0;  // set by the commit

    std::int32_t gpsAltitudeValid = 0;  // 1: the last GGA (or RMZ) altitude is trustworthy
    std::uint32_t pressureSource = 0;   // the pressure-source word at the last pressure altitude
    std::int32_t courseUpdated = 0;     // 1 when a course and speed arrived
    std::uint32_t sourceMask = 0;
    std::uint32_t valueMask = 0;

    WindRecord instrumentWind;
    float thermalClimb = 0;  // written by the drift estimator
    // The fix lock; null means that no lock is taken.
    platform::CriticalSection* lock = nullptr;
    float gpsClimb = 0;          // set by the commit
    float averagedGpsClimb = 0;  // set by the commit
};

// Filled by the parser (on the port reader's thread, or by the replay).
extern GpsFixRecord PendingFix;
// The committed copy, written under the fix lock.
extern GpsFixRecord CurrentFix;

// The record part of the start-up: both records take the fix lock's address,
// empty masks and the density base 1.0; the pending record's pressure-altitude
// time becomes "not set" and its geoid separation 0.
void InitGpsFixRecords(platform::CriticalSection* fixLock);

// Whether every real value of the record is a finite number (what the
// parser guarantees for everything it stores).
bool AllValuesFinite(const GpsFixRecord& fix);

}  // namespace gps
