#include "testing/igc_flight.h"

#include <cmath>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

#include "platform/numbers.h"
#include "tools/flight_text/sentence_text.h"

namespace test_support {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;
constexpr double kEarthRadiusM = 6371000.0;
constexpr double kKnotMs = 1852.0 / 3600.0;
constexpr long long kDay = 86400;

// Digits of text[from, from + count) as a number; nothing when one is not a
// digit (a leading '-' is taken).
std::optional<long> Number(std::string_view text, std::size_t from, std::size_t count) {
    if (from + count > text.size() || count == 0) return std::nullopt;
    long value = 0;
    bool negative = false;
    for (std::size_t i = from; i < from + count; ++i) {
        const char c = text[i];
        if (i == from && c == '-') {
            negative = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

// "DDMMmmmH" (latitude, degrees 2 digits) or "DDDMMmmmH" (longitude).
std::optional<double> Angle(std::string_view text, std::size_t from, std::size_t degreeDigits,
                            char positive, char negative) {
    const auto degrees = Number(text, from, degreeDigits);
    const auto thousandths = Number(text, from + degreeDigits, 5);  // minutes x 1000
    const std::size_t hemisphereAt = from + degreeDigits + 5;
    if (!degrees || !thousandths || *degrees < 0 || *thousandths < 0 || hemisphereAt >= text.size())
        return std::nullopt;
    const char hemisphere = text[hemisphereAt];
    if (hemisphere != positive && hemisphere != negative) return std::nullopt;
    const double value = static_cast<double>(*degrees) + static_cast<double>(*thousandths) / 60000.0;
    return hemisphere == positive ? value : -value;
}

std::optional<long long> DayStart(std::string_view line) {
    // "HFDTE" then DDMMYY, in the old or the new form ("HFDTEDATE:DDMMYY,NN").
    const std::size_t colon = line.find(':');
    const std::size_t from = colon != std::string_view::npos ? colon + 1 : 5;
    const auto d = Number(line, from, 2);
    const auto m = Number(line, from + 2, 2);
    const auto y = Number(line, from + 4, 2);
    if (!d || !m || !y || *d < 1 || *d > 31 || *m < 1 || *m > 12) return std::nullopt;
    std::tm tm{};
    tm.tm_mday = static_cast<int>(*d);
    tm.tm_mon = static_cast<int>(*m) - 1;
    tm.tm_year = static_cast<int>(*y) + (*y < 80 ? 100 : 0);
    return static_cast<long long>(timegm(&tm));
}

std::optional<IgcFix> BRecord(std::string_view line) {
    // B HHMMSS DDMMmmmN DDDMMmmmE V PPPPP GGGGG
    if (line.size() < 35 || line[0] != 'B') return std::nullopt;
    const auto h = Number(line, 1, 2);
    const auto m = Number(line, 3, 2);
    const auto s = Number(line, 5, 2);
    const auto latitude = Angle(line, 7, 2, 'N', 'S');
    const auto longitude = Angle(line, 15, 3, 'E', 'W');
    const auto gps = Number(line, 30, 5);
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59 || !latitude || !longitude || !gps ||
        (line[24] != 'A' && line[24] != 'V') || std::fabs(*latitude) > 90.0 ||
        std::fabs(*longitude) > 180.0)
        return std::nullopt;
    IgcFix fix;
    fix.utc = *h * 3600 + *m * 60 + *s;
    fix.latitude = *latitude;
    fix.longitude = *longitude;
    fix.gpsAltitudeM = static_cast<double>(*gps);
    fix.valid = line[24] == 'A';
    return fix;
}

}  // namespace

std::vector<IgcFix> ReadIgcFixes(std::string_view text) {
    std::vector<IgcFix> fixes;
    long long day = 0;
    long long dayOffset = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with("HFDTE")) {
            if (const auto start = DayStart(line)) day = *start;
            continue;
        }
        auto fix = BRecord(line);
        if (!fix) continue;
        fix->utc += day + dayOffset;
        if (!fixes.empty() && fix->utc < fixes.back().utc) {
            dayOffset += kDay;
            fix->utc += kDay;
        }
        fixes.push_back(*fix);
    }
    return fixes;
}

std::vector<IgcFix> ReadIgcFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ReadIgcFixes(text);
}

double DistanceM(const IgcFix& from, const IgcFix& to) {
    const double dLat = (to.latitude - from.latitude) * kRad;
    const double dLon = (to.longitude - from.longitude) * kRad;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(from.latitude * kRad) * std::cos(to.latitude * kRad) *
                         std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2.0 * kEarthRadiusM * std::asin(std::min(1.0, std::sqrt(a)));
}

double CourseDeg(const IgcFix& from, const IgcFix& to) {
    const double lat1 = from.latitude * kRad;
    const double lat2 = to.latitude * kRad;
    const double dLon = (to.longitude - from.longitude) * kRad;
    const double y = std::sin(dLon) * std::cos(lat2);
    const double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    const double course = std::atan2(y, x) / kRad;
    return course < 0.0 ? course + 360.0 : course;
}

std::string FixSentences(const IgcFix& fix, const IgcFix* previous,
                         std::optional<double> variationEast) {
    double speedKt = 0.0;
    double track = 0.0;
    if (previous != nullptr && fix.utc > previous->utc) {
        speedKt = DistanceM(*previous, fix) / static_cast<double>(fix.utc - previous->utc) / kKnotMs;
        if (speedKt > 0.0) track = CourseDeg(*previous, fix);
    }
    const time_t utc = static_cast<time_t>(fix.utc);
    std::tm tm{};
    gmtime_r(&utc, &tm);
    const std::string time = platform::FormatC("%02d%02d%02d.00", tm.tm_hour, tm.tm_min, tm.tm_sec);
    const std::string date =
        platform::FormatC("%02d%02d%02d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year % 100);
    const std::string position = flight_text::NmeaAngle(fix.latitude, true) + "," +
                                 flight_text::NmeaAngle(fix.longitude, false);
    const std::string variation =
        variationEast ? platform::FormatC("%.1f,%c", std::fabs(*variationEast),
                                          *variationEast < 0.0 ? 'W' : 'E')
                      : std::string(",");
    const std::string rmc = platform::FormatC(
        "GPRMC,%s,%c,%s,%.2f,%.2f,%s,%s,%c", time.c_str(), fix.valid ? 'A' : 'V', position.c_str(),
        speedKt, track, date.c_str(), variation.c_str(), fix.valid ? 'A' : 'N');
    const std::string gga = platform::FormatC("GPGGA,%s,%s,%d,08,1.0,%.1f,M,0.0,M,,", time.c_str(),
                                              position.c_str(), fix.valid ? 1 : 0, fix.gpsAltitudeM);
    return flight_text::Sentence(rmc) + flight_text::Sentence(gga);
}

std::vector<flight_text::Epoch> FlightEpochs(const std::vector<IgcFix>& fixes) {
    std::string text;
    for (std::size_t i = 0; i < fixes.size(); ++i)
        text += FixSentences(fixes[i], i == 0 ? nullptr : &fixes[i - 1]);
    return flight_text::SplitEpochs(text);
}

}  // namespace test_support
