#pragma once
// What the sentence parser remembers between sentences, outside the fix
// record. One process-wide instance, written only on the port reader's
// thread (or by the replay, which stands in for the reader); the commit and
// the flight-log writer, which run on that thread too, read it.

#include <array>
#include <cstdint>
#include <string_view>

#include "gps/gps_fix_record.h"

namespace gps {

// The GPS date as the last RMC gave it.
struct GpsDate {
    int day = 4;
    int month = 7;
    int year = 1998;
    bool known = false;  // the last RMC carried a date
};

// Which instrument delivered last.
enum class InstrumentKind : int {
    kNone = 0,
    kBangW = 2,  // the '!w' sentence
    kLx = 3,     // $LXWP2 with ballast and bugs
    kB50 = 4,
    kBinaryFrame = 5,
    kPilc = 7,
    kPtas1 = 8,
};

// Set when an instrument first delivers a value of the kind; never cleared.
struct InstrumentFlags {
    bool vario = false;
    bool macCready = false;
    bool trueAirspeed = false;
    bool indicatedAirspeed = false;
    bool ballast = false;
    bool bugs = false;
    bool temperature = false;
    bool averageVario = false;
    bool secondVario = false;
    bool wind = false;
};

// The ground velocity of the last course and speed (x north, y east).
struct GroundVector {
    float speed = 0;
    float sinCourse = 0;
    float cosCourse = 0;
    float east = 0;    // speed * sin(course)
    float north = 0;   // speed * cos(course)
    float course = 0;  // degrees
};

// The satellites of the last GSA as two-digit numbers, at most 30
// characters, and whether the list changed since the flight-log writer last
// took it.
class SatelliteList {
  public:
    static constexpr std::size_t kCapacity = 30;

    std::string_view Text() const { return {ids_.data(), length_}; }
    // Replaces the list; true when it differs from the one held.
    bool Replace(std::string_view ids);

    bool changed = false;

  private:
    std::array<char, kCapacity> ids_{};
    std::size_t length_ = 0;
};

struct NmeaParserState {
    GpsDate date;
    float hdop = 1.0F;          // until a GGA gives one, the log takes 1.0
    bool geoidFromGps = false;  // the geoid separation came from a GGA
    // 1 after a GGA altitude, -1 after a binary frame, 0 before either.
    int ggaAltitudeSeen = 0;
    bool rmzAltitudeSeen = false;
    std::uint32_t pressureSource = 0;  // pressure_source bits
    InstrumentKind instrumentKind = InstrumentKind::kNone;
    InstrumentFlags instruments;
    int circlingMode = 0;  // the B50 instrument's mode word

    GroundVector ground;
    float sinHeading = 0;  // of the true heading
    float cosHeading = 0;
    float instrumentAirspeed = 0;
    float instrumentAirspeedSquared = 0;
    float glideGpsAltitude = kNoValue;  // the glide computer's copy of the GPS altitude

    float qnhCorrection = kNoValue;  // feet; set by "$PILC,SET"

    // The last binary position frame.
    double lastFrameLatitude = -900.0;
    double lastFrameLongitude = -900.0;
    double lastFrameTime = -1000.0;

    SatelliteList satellites;
    bool flarmSeen = false;  // a FLARM sentence went to the FLARM library
};

extern NmeaParserState g_nmeaState;

// The parser part of the start-up: the state takes its load values.
void ResetNmeaParserState();

}  // namespace gps
