#pragma once
// Shared pieces of the sentence parsers (one file per family of sentences).
// Not for use outside gps/nmea_parse*.cpp and gps/nmea_binary_frame.cpp.
//
// Every parser reads its fields into locals first and checks them; only a
// sentence that passes its checks writes into the fix record, so a
// malformed sentence leaves the pending values as they were.

#include <cstdint>
#include <string_view>

#include "gps/gps_fix_record.h"
#include "gps/nmea_environment.h"
#include "gps/nmea_parser_state.h"
#include "gps/nmea_sentence_type.h"

namespace gps::nmea_parse {

inline constexpr float kFeetPerMetre = 3.2808F;
inline constexpr float kKmhPerKnot = 1.852F;
inline constexpr float kMpsPerKnot = 0.5145F;

// What one parse works on.
struct ParseContext {
    GpsFixRecord& fix;
    NmeaParserState& state;
    const NmeaEnvironment& environment;
};

// A position as the wire gives it: degrees and minutes apart, hemisphere
// letters as received.
struct WirePosition {
    double latDegrees = 0;
    double latMinutes = 0;
    double lonDegrees = 0;
    double lonMinutes = 0;
    char latLetter = 0;
    char lonLetter = 0;
};

// An angle in degrees brought into [0, 360).
double WrapDegrees(double degrees);
// An angle in degrees brought into [-180, 180).
double WrapSignedDegrees(double degrees);

bool IsLetter(char c, char upper);  // case-insensitive
bool HemispheresValid(const WirePosition& position);
// Degrees and minutes that cannot be a latitude (beyond a pole) or a
// longitude (beyond 180 degrees).
bool LatitudeAbsurd(double degrees, double minutes);
bool LongitudeAbsurd(double degrees, double minutes);

// Position parts, letters and radians (longitude positive west).
void StorePosition(GpsFixRecord& fix, const WirePosition& position);
void StoreTime(GpsFixRecord& fix, int hours, int minutes, float seconds);
// Ground speed and true course, the ground vector, and course updated.
void StoreCourseAndSpeed(ParseContext& context, double trueCourse, float speed);
// The heading pair, both brought into [0, 360), and the heading vector.
void StoreHeadings(ParseContext& context, double magnetic, double trueHeading);
// A pressure altitude with the pressure-source word of the moment.
void StorePressureAltitude(ParseContext& context, float feet);
// The same, stamped with the published fix time and marked as a pressure
// altitude source.
void StoreTimedPressureAltitude(ParseContext& context, float feet);
// An instrument's airspeed: instrument and true airspeed, and the indicated
// one from the density factor.
void StoreInstrumentAirspeed(ParseContext& context, float trueAirspeed);
// A value that only counts when finite (ballast, bugs, airspeeds go into
// the glider's polar, which must never see NaN).
bool StoreFinite(float value, float& field, bool& flag, GpsFixRecord& fix, std::uint32_t bit);
// Local hours of day now, for the instrument time.
float InstrumentTimeNow(const NmeaEnvironment& environment);
// Takes a received wind as the instrument wind when the wind comes from the
// instrument and it differs from the current wind.
void TakeInstrumentWind(ParseContext& context, float speed, float direction);

// The parsers, each on the text behind the sentence header; 1 when the
// sentence is to be logged and committed.
int ParseRmc(ParseContext& context, std::string_view text);
int ParseVtg(ParseContext& context, std::string_view text);
int ParseGga(ParseContext& context, std::string_view text);
int ParseGll(ParseContext& context, std::string_view text);
int ParseHeading(ParseContext& context, std::string_view text, SentenceType type);
int ParseRmz(ParseContext& context, std::string_view text);
int ParseMetricPressureAltitude(ParseContext& context, std::string_view text, SentenceType type);
int ParseB50(ParseContext& context, std::string_view text);
int ParseBangW(ParseContext& context, std::string_view text);
int ParseLxwp0(ParseContext& context, std::string_view text);
int ParseLxwp2(ParseContext& context, std::string_view text);
int ParsePilc(ParseContext& context, std::string_view text);
int ParsePtas1(ParseContext& context, std::string_view text);
int ParseGsa(ParseContext& context, std::string_view text);

}  // namespace gps::nmea_parse
