#include "gps/flight_log_records.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings_values.h"
#include "core/utm.h"
#include "gps/gps_fix_record.h"
#include "gps/nav_fix.h"
#include "gps/nmea_parser_state.h"
#include "platform/numbers.h"
#include "services/flight_log.h"

namespace gps {
namespace {

// What arrived since the last logged line.
namespace change_bit {
constexpr std::uint32_t kPosition = 0x1;
constexpr std::uint32_t kCourse = 0x2;
constexpr std::uint32_t kAltitude = 0x4;
constexpr std::uint32_t kHeading = 0x100;
constexpr std::uint32_t kAirspeed = 0x200;
}  // namespace change_bit

constexpr double kLogFeetPerMetre = 3.2808;
constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;
// Beyond any value a sentence may carry; text-log numbers are held to it.
constexpr double kLargestValue = 1e6;

// The writer's state; the port reader's thread only.
struct WriterState {
    std::uint32_t changes = 0;
    bool positionSeen = false;
    std::int32_t intervalCounter = -2;
    core::UtmPosition utm{0.0, 0.0, 0};
};

WriterState g_writer;
std::atomic<LoggedWindSource> g_windSource{nullptr};

// Everything a fix line is written from, taken when the line fell due, so
// that a line held for its altitude can be written on any thread.
struct LineInputs {
    GpsFixRecord fix;
    std::uint32_t changes = 0;
    float hdop = 1.0F;
    bool pressureKnown = false;
    core::UtmPosition utm{0.0, 0.0, 0};
    double navTimeHours = 0.0;
    LoggedWind wind;
};

// A due line whose receiver altitude is still to come: the receiver sent
// the epoch's position before its GGA. Under LogFileLock.
std::optional<LineInputs> g_heldLine;

// NaN as 0; beyond the limits, the limit.
double Bounded(double value, double low, double high) {
    return std::isnan(value) ? 0.0 : std::clamp(value, low, high);
}
double Bounded(double value) {
    return Bounded(value, -kLargestValue, kLargestValue);
}
int BoundedInt(double value, int low, int high) {
    return static_cast<int>(Bounded(value, low, high));
}

// One line of the log, assembled from pieces in a fixed buffer. Each piece
// is cut at its own limit, and the whole line always leaves room for its
// CR LF.
class LogLine {
  public:
    static constexpr std::size_t kCapacity = 256;
    static constexpr std::size_t kMainLimit = 80;
    static constexpr std::size_t kPieceLimit = 40;
    static constexpr std::size_t kAirspeedLimit = 60;

    void Append(std::string_view piece, std::size_t limit) {
        const std::size_t room = kCapacity - 2 - length_;
        const std::size_t length = std::min({piece.size(), limit, room});
        std::copy_n(piece.begin(), length, data_.begin() + static_cast<std::ptrdiff_t>(length_));
        length_ += length;
    }

    std::string_view Finish() {
        data_[length_++] = '\r';
        data_[length_++] = '\n';
        return {data_.data(), length_};
    }

  private:
    std::array<char, kCapacity> data_{};
    std::size_t length_ = 0;
};

char Hemisphere(char received, char positive, char negative) {
    return std::toupper(static_cast<unsigned char>(received)) == negative ? negative : positive;
}

// Whole degrees and thousandths of minutes of an IGC position; minutes that
// round to 60 are carried into the degrees.
struct IgcAngle {
    double degrees;
    double thousandths;
};

IgcAngle ToIgcAngle(double degrees, double minutes, double maxDegrees) {
    double whole = Bounded(std::floor(degrees), 0.0, maxDegrees);
    double thousandths = std::floor(Bounded(minutes, 0.0, 60.0) * 1000.0 + 0.5);
    if (thousandths >= 60000.0) {
        thousandths -= 60000.0;
        whole = std::min(whole + 1.0, maxDegrees);
    }
    return {whole, thousandths};
}

double IgcMetres(double feet) {
    return Bounded(feet / kLogFeetPerMetre, -9999.0, 99999.0);
}

double GnssAltitudeFeet(const GpsFixRecord& fix) {
    return static_cast<double>(fix.gpsAltitude) + core::g_geoidSeparation.load();
}

struct WholeTime {
    int hours;
    int minutes;
    int seconds;
};

WholeTime FixClockOf(const GpsFixRecord& fix) {
    return {BoundedInt(fix.hours, 0, 99), BoundedInt(fix.minutes, 0, 99),
            BoundedInt(std::floor(fix.seconds), 0, 99)};
}

void WriteSatelliteRecord(const GpsFixRecord& fix) {
    SatelliteList& satellites = g_nmeaState.satellites;
    if (g_bSatellitesForNewLog.exchange(false) && !satellites.Text().empty())
        satellites.changed = true;
    if (!satellites.changed) return;
    const WholeTime time = FixClockOf(fix);
    const std::string_view ids = satellites.Text();
    core::WriteLogLine(platform::FormatC("F%02d%02d%02d%.*s\r\n", time.hours, time.minutes,
                                         time.seconds, static_cast<int>(ids.size()), ids.data()));
    satellites.changed = false;
}

void AppendIgcFix(LogLine& line, const LineInputs& in) {
    const GpsFixRecord& fix = in.fix;
    const WholeTime time = FixClockOf(fix);
    const IgcAngle lat = ToIgcAngle(fix.latDegrees, fix.latMinutes, 90.0);
    const IgcAngle lon = ToIgcAngle(fix.lonDegrees, fix.lonMinutes, 180.0);
    line.Append(platform::FormatC("B%02d%02d%02d%02.0f%05.0f%c%03.0f%05.0f%c", time.hours,
                                  time.minutes, time.seconds, lat.degrees, lat.thousandths,
                                  Hemisphere(fix.latLetter, 'N', 'S'), lon.degrees, lon.thousandths,
                                  Hemisphere(fix.lonLetter, 'E', 'W')),
                LogLine::kMainLimit);

    const double gnss = IgcMetres(GnssAltitudeFeet(fix));
    const double pressure = in.pressureKnown ? IgcMetres(fix.pressureAltitude) : gnss;
    const double fxa =
        Bounded(static_cast<double>(in.hdop) * std::max(1.0F, core::g_fxa.load()), 1.0, 999.0);
    line.Append(platform::FormatC("A%05.0f%05.0f%03.0f", pressure, gnss, fxa),
                LogLine::kPieceLimit);
    if (const std::optional<int> enl = core::EngineNoiseReading())
        line.Append(platform::FormatC("%03d", std::clamp(*enl, 0, 999)), LogLine::kPieceLimit);
}

void AppendTextPosition(LogLine& line, const LineInputs& in) {
    const GpsFixRecord& fix = in.fix;
    if (core::g_useUtm.load() != 0) {
        const core::UtmPosition& utm = in.utm;
        line.Append(
            platform::FormatC("PUM, %07.5f, %8.0f, %d, %7.0f", Bounded(in.navTimeHours),
                              Bounded(utm.northing, -1e8, 1e8), utm.zone,
                              Bounded(utm.easting, -1e8, 1e8)),
            LogLine::kMainLimit);
        return;
    }
    const double timeOfDay = Bounded(fix.hours + fix.minutes / 60.0 + fix.seconds / 3600.0);
    line.Append(platform::FormatC("POS, %07.5f, %08.6f, %08.6f", timeOfDay,
                                  Bounded(fix.latitude * kDegreesPerRadian),
                                  Bounded(fix.longitude * kDegreesPerRadian)),
                LogLine::kMainLimit);
}

// Altitudes in feet; with the speed-and-track columns, empty fields keep
// the column count.
void AppendTextAltitude(LogLine& line, const LineInputs& in, bool speedTrack) {
    const GpsFixRecord& fix = in.fix;
    if ((in.changes & change_bit::kAltitude) == 0) {
        if (speedTrack) line.Append(",,", LogLine::kPieceLimit);
        return;
    }
    const bool valid = fix.gpsAltitudeValid != 0;
    const double gps = Bounded(GnssAltitudeFeet(fix));
    const double pressure = Bounded(fix.pressureAltitude);
    std::string piece;
    if (in.pressureKnown) {
        piece = valid ? platform::FormatC(", %03.0f, %03.0f", gps, pressure)
                      : platform::FormatC(", , %03.0f", pressure);
    } else if (valid) {
        piece =
            speedTrack ? platform::FormatC(", %03.0f,", gps) : platform::FormatC(", %03.0f", gps);
    } else if (speedTrack) {
        piece = ", ,";
    }
    line.Append(piece, LogLine::kPieceLimit);
}

void AppendTextSpeedTrack(LogLine& line, const LineInputs& in) {
    const GpsFixRecord& fix = in.fix;
    const std::uint32_t changes = in.changes;
    const bool heading = (changes & change_bit::kHeading) != 0;
    const bool airspeed = (changes & change_bit::kAirspeed) != 0;
    if ((changes & change_bit::kCourse) != 0) {
        line.Append(platform::FormatC(", %03.1f, %03.1f, %03.1f", Bounded(fix.groundSpeed),
                                      Bounded(fix.trueCourse), Bounded(fix.magneticCourse)),
                    LogLine::kPieceLimit);
    } else if (heading || airspeed) {
        line.Append(",,,", LogLine::kPieceLimit);
    }
    if (heading) {
        line.Append(platform::FormatC(", %03.1f", Bounded(fix.magneticHeading)),
                    LogLine::kPieceLimit);
    } else if (airspeed) {
        line.Append(",", LogLine::kPieceLimit);
    }
    if (!airspeed) return;
    const LoggedWind& wind = in.wind;
    const double tas = Bounded(fix.trueAirspeed);
    line.Append(wind.valid ? platform::FormatC(", %03.1f, %03.1f, %03.1f", tas, Bounded(wind.speed),
                                               Bounded(wind.directionDegrees))
                           : platform::FormatC(", %03.1f", tas),
                LogLine::kAirspeedLimit);
}

// Writes the line; under LogFileLock. Reads no state of the port reader.
void WriteFixLine(const LineInputs& in) {
    LogLine line;
    if (core::g_logFormat.load() == 1) {
        AppendIgcFix(line, in);
    } else {
        const bool speedTrack = core::g_logSpeedTrack.load() != 0;
        AppendTextPosition(line, in);
        AppendTextAltitude(line, in, speedTrack);
        if (speedTrack) AppendTextSpeedTrack(line, in);
    }
    core::WriteLogLine(line.Finish());
}

LineInputs TakeLineInputs(const GpsFixRecord& fix) {
    // Only a text log's airspeed columns show the wind.
    const bool windShown = core::g_logFormat.load() != 1 &&
                           (g_writer.changes & change_bit::kAirspeed) != 0;
    const LoggedWindSource source = windShown ? g_windSource.load() : nullptr;
    return {.fix = fix,
            .changes = g_writer.changes,
            .hdop = g_nmeaState.hdop,
            .pressureKnown = g_nmeaState.pressureSource != 0,
            .utm = g_writer.utm,
            .navTimeHours = CurrentNav()->fixTimeHours,
            .wind = source != nullptr ? source() : LoggedWind{}};
}

bool SameSecond(double aHours, double bHours) {
    return std::abs(aHours - bHours) * 3600.0 < 0.5;
}

double FixHourOfDay(const GpsFixRecord& fix) {
    return fix.hours + fix.minutes / 60.0 + fix.seconds / 3600.0;
}

// The receiver sends GGA altitudes, and this epoch's has not come yet: the
// position sentence came first. Without any GGA altitude (a receiver of
// RMC alone, a pressure instrument, a binary frame) nothing waits.
bool AltitudeStillToCome(const GpsFixRecord& fix) {
    return g_nmeaState.ggaAltitudeSeen == 1 &&
           !SameSecond(fix.gpsAltitudeTime, FixHourOfDay(fix));
}

// A held line is written when its epoch's GGA brings the altitude, or, with
// what was known, when another epoch's position or altitude comes first.
void SettleHeldLine(const GpsFixRecord& fix) {
    if (!g_heldLine) return;
    LineInputs& held = *g_heldLine;
    const bool altitude = (fix.sourceMask & source_bit::kGpsAltitude) != 0;
    if (altitude && SameSecond(fix.gpsAltitudeTime, FixHourOfDay(held.fix))) {
        held.fix.gpsAltitude = fix.gpsAltitude;
        held.fix.gpsAltitudeValid = fix.gpsAltitudeValid;
        held.fix.pressureAltitude = fix.pressureAltitude;
        held.hdop = g_nmeaState.hdop;
        held.pressureKnown = g_nmeaState.pressureSource != 0;
        held.changes |= change_bit::kAltitude;
    } else if (!altitude && (fix.valueMask & value_bit::kPosition) == 0) {
        return;
    }
    WriteFixLine(held);
    g_heldLine.reset();
}

// The placeholder date header of an IGC log becomes the GPS date once the
// receiver knows it; the digest then covers the corrected header.
void CompleteDateHeader() {
    const GpsDate& date = g_nmeaState.date;
    if (core::g_logFormat.load() != 1 || core::g_dateHeaderOffset < 0 || !date.known) return;
    const std::string header =
        platform::FormatC("HFDTE%02d%02d%02d\r\n", std::clamp(date.day, 0, 99),
                          std::clamp(date.month, 0, 99), ((date.year % 100) + 100) % 100);
    if (!core::OverwriteLogAt(core::g_dateHeaderOffset, header)) return;
    core::g_dateHeaderOffset = -1;
    core::RebuildIgcDigest();
}

void CollectChanges(const GpsFixRecord& fix) {
    std::uint32_t& changes = g_writer.changes;
    if ((fix.sourceMask & (source_bit::kRmcCourse | source_bit::kVtg)) != 0)
        changes |= change_bit::kCourse;
    if ((fix.valueMask & value_bit::kPosition) != 0) {
        changes |= change_bit::kPosition;
        g_writer.positionSeen = true;
        if (core::g_useUtm.load() != 0)
            g_writer.utm =
                core::LatLonToUTM(fix.latitude, fix.longitude, core::AngleUnit::kRadians);
    }
    if ((fix.valueMask & (value_bit::kGpsAltitude | value_bit::kPressureAltitude)) != 0)
        changes |= change_bit::kAltitude;
    if ((fix.sourceMask & source_bit::kHeading) != 0) changes |= change_bit::kHeading;
    if ((fix.sourceMask & source_bit::kAirspeed) != 0) changes |= change_bit::kAirspeed;
}

// Without any receiver altitude, the pressure altitude stands in for the
// GPS altitude, corrected by the automatic QNH calibration once it has a
// value (a correction still at the no-value marker is no correction).
void SubstitutePressureAltitude(GpsFixRecord& fix) {
    NmeaParserState& state = g_nmeaState;
    if ((fix.valueMask & value_bit::kPressureAltitude) == 0 || state.pressureSource == 0 ||
        state.ggaAltitudeSeen > 0 || state.rmzAltitudeSeen) {
        return;
    }
    const float correction = CurrentNav()->autoQnhCorrection;
    const float altitude = fix.pressureAltitude - (correction > -9000.0F ? correction : 0.0F);
    fix.gpsAltitude = altitude;
    fix.gpsAltitudeValid = -1;
    fix.valueMask |= value_bit::kGpsAltitude;
    state.glideGpsAltitude = altitude;
}

bool LineDue(int interval) {
    if (!core::g_hFlightLog.IsOpen()) return false;
    if ((g_writer.changes & static_cast<std::uint32_t>(core::g_logDataOn.load())) == 0)
        return false;
    if (core::g_logInterval.load() <= 0 || !g_writer.positionSeen) return false;
    // Reached or passed: lowering the interval never stops the logging.
    if (++g_writer.intervalCounter < interval) return false;
    g_writer.intervalCounter = 0;
    g_writer.changes &= ~change_bit::kPosition;
    return true;
}

}  // namespace

void SetLoggedWindSource(LoggedWindSource source) {
    g_windSource.store(source);
}

void WriteFixRecords(GpsFixRecord& fix) {
    const GpsDate& date = g_nmeaState.date;
    g_loggedGpsDate = date.known
                          ? static_cast<std::uint32_t>(std::clamp(date.day, 0, 255)) |
                                static_cast<std::uint32_t>(std::clamp(date.month, 0, 255)) << 8 |
                                static_cast<std::uint32_t>(std::clamp(date.year, 0, 65535)) << 16
                          : 0U;
    CollectChanges(fix);
    SubstitutePressureAltitude(fix);
    const int interval = g_bInTurnpointZone.load() ? 1 : core::g_logInterval.load();
    {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        SettleHeldLine(fix);
        if (LineDue(interval)) {
            if (core::g_logFormat.load() == 1) WriteSatelliteRecord(fix);
            const LineInputs inputs = TakeLineInputs(fix);
            g_writer.changes = 0;
            if (AltitudeStillToCome(fix)) {
                g_heldLine = inputs;
            } else {
                WriteFixLine(inputs);
            }
            CompleteDateHeader();
        }
    }
    g_writer.changes &= ~static_cast<std::uint32_t>(core::g_logDataOn.load());
}

void WriteHeldFixLine() {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    if (!g_heldLine) return;
    WriteFixLine(*g_heldLine);
    g_heldLine.reset();
}

void ResetFixRecords() {
    WriteHeldFixLine();
    g_writer = WriterState{};
    g_loggedGpsDate = 0;
}

}  // namespace gps
