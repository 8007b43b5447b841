#include "recorder/flight_file.h"

#include <array>
#include <cmath>
#include <cstring>

#include "core/utm.h"
#include "platform/c_locale.h"

namespace recorder {
namespace {

constexpr std::size_t kDetectBytes = 10;
constexpr std::size_t kMaxLine = 255;
constexpr char kTextLogStart[] = "KOR";  // of "KOR_VAN WinCE log data"
constexpr double kFeetPerMetre = 3.2808;
constexpr double kNewDayJump = 0.5;  // hours back that mean a new day

double Hours(double h, double m, double s) {
    return h + (m + s / 60.0) / 60.0;
}

// The text after the n-th comma of text; empty when it has fewer.
std::string AfterComma(const std::string& text, int n) {
    std::size_t at = 0;
    for (int i = 0; i < n; ++i) {
        at = text.find(',', at);
        if (at == std::string::npos) return {};
        ++at;
    }
    return text.substr(at);
}

}  // namespace

bool CFlightType::Open(const std::filesystem::path& filePath) {
    CloseFile();
    path = filePath;
    file_.reset(std::fopen(filePath.c_str(), "rb"));
    if (!file_ || DetectFileType() == 0) {
        CloseFile();
        fileName.clear();
        fileType = kFlightFileUnreadable;
        return false;
    }
    fileName = filePath.filename().wstring();
    return true;
}

int CFlightType::DetectFileType() {
    fileType = kFlightFileUnreadable;
    if (!file_) return 0;
    std::array<char, kDetectBytes> head{};
    std::rewind(file_.get());
    const std::size_t got = std::fread(head.data(), 1, head.size(), file_.get());
    std::rewind(file_.get());
    if (got < head.size()) return 0;
    const std::string_view bytes(head.data(), head.size());
    quoteOffset = bytes[0] == '"' ? 1 : 0;
    const std::string_view first = bytes.substr(static_cast<std::size_t>(quoteOffset), 3);
    utm = first == "UTM";
    if (!utm && first != kTextLogStart) {
        fileType = first[0] == 'A' ? kFlightFileIgc : kFlightFilePlainList;
    } else {
        fileType = bytes.substr(3, 7) == " FLIGHT" ? kFlightFileOldTextLog : kFlightFileTextLog;
    }
    return 1;
}

int CFlightType::GetFileType() {
    if (fileType == kFlightFileUnknown && DetectFileType() == 0) return kFlightFileUnreadable;
    return fileType;
}

void CFlightType::CloseFile() {
    file_.reset();
}

std::optional<std::string> CFlightType::ReadLine() {
    if (!file_) return std::nullopt;
    std::string line;
    for (int c = std::fgetc(file_.get()); c != EOF; c = std::fgetc(file_.get())) {
        if (c == '\n') return line;
        line += static_cast<char>(c);
        if (line.size() >= kMaxLine) return std::nullopt;
    }
    if (line.empty()) return std::nullopt;
    return line;
}

std::optional<FlightRecord> CFlightType::ParseRecord() {
    const platform::ScopedCLocale cLocale;
    while (const std::optional<std::string> line = ReadLine()) {
        if (line->size() <= static_cast<std::size_t>(quoteOffset)) continue;
        double time = 0.0;
        const std::optional<FlightRecord> record =
            ParseLine(std::string_view(*line).substr(static_cast<std::size_t>(quoteOffset)), &time);
        // "nan" and "inf" scan as numbers: such a line is skipped.
        if (record && std::isfinite(record->latitude) && std::isfinite(record->lonWest) &&
            std::isfinite(time) && Accept(time)) {
            return record;
        }
    }
    CloseFile();
    return std::nullopt;
}

bool CFlightType::Accept(double time) {
    if (time < lastTime - kNewDayJump) {
        ++dayCount;
    } else if (time < lastTime + minimumStep) {
        return false;
    }
    lastTime = time;
    return true;
}

std::optional<FlightRecord> CFlightType::ParseLine(std::string_view line, double* time) {
    switch (fileType) {
        case kFlightFileIgc:
            return ParseIgcLine(line, time);
        case kFlightFileTextLog:
        case kFlightFileOldTextLog:
            return ParseTextLine(line, time);
        case kFlightFilePlainList:
            return ParsePlainLine(line, time);
        default:
            return std::nullopt;
    }
}

std::optional<FlightRecord> CFlightType::ParseIgcLine(std::string_view line, double* time) {
    if (!line.starts_with('B')) return std::nullopt;
    const std::string rest(line.substr(1));
    float h = 0, m = 0, s = 0, latDegrees = 0, latThousandths = 0, lonDegrees = 0,
          lonThousandths = 0, metres = 0;
    char ns = 0, ew = 0, validity = 0;
    const int fields =
        std::sscanf(rest.c_str(), "%2f%2f%2f%2f%5f%c%3f%5f%c%c%*5f%5f", &h, &m, &s, &latDegrees,
                    &latThousandths, &ns, &lonDegrees, &lonThousandths, &ew, &validity, &metres);
    if (fields < 10 || validity != 'A' || (ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W'))
        return std::nullopt;
    *time = Hours(h, m, s);
    FlightRecord record;
    record.latitude = latDegrees + latThousandths / 60000.0;
    if (ns == 'S') record.latitude = -record.latitude;
    record.lonWest = lonDegrees + lonThousandths / 60000.0;
    if (ew == 'E') record.lonWest = -record.lonWest;
    hasAltitude = fields == 11;
    if (hasAltitude) altitude = metres * kFeetPerMetre;
    return record;
}

std::optional<FlightRecord> CFlightType::ParseTextLine(std::string_view line, double* time) {
    if (line.size() < 5) return std::nullopt;
    const std::string_view kind = line.substr(0, 3);
    const std::string data(line.substr(5));
    const char* text = data.c_str();
    double t = 0, first = 0, second = 0;
    float height = 0;
    int zone = 0;
    FlightRecord record;
    if (kind == "RMZ" || kind == "gga") {
        const int fields =
            std::sscanf(text, utm ? "%lf%*c%*c%*c%*c%f" : "%lf%*c%*c%*c%f", &t, &height);
        if (fields == 2) {
            altitude = height;
            hasAltitude = true;
        }
        return std::nullopt;
    }
    int fields = 0;
    const bool pum = kind == "PUM";
    if (kind == "POS" || pum || kind == "GGA") {
        fields = utm || pum
                     ? std::sscanf(text, "%lf%*c%lf%*c%d%*c%lf%*c%f", &t, &first, &zone, &second,
                                   &height) -
                           1
                     : std::sscanf(text, "%lf%*c%lf%*c%lf%*c%f", &t, &first, &second, &height);
    } else if (kind == "GLL" || kind == "RMC") {
        fields = utm || pum
                     ? std::sscanf(text, "%lf%*c%lf%*c%d%*c%lf", &t, &first, &zone, &second) - 1
                     : std::sscanf(text, "%lf%*c%lf%*c%lf", &t, &first, &second);
    } else {
        return std::nullopt;
    }
    if (fields < 3) return std::nullopt;
    if (utm || pum) {
        const std::optional<core::UtmLatLon> position =
            core::UTMToLatLon(zone, first, second, core::AngleUnit::kDegrees);
        if (!position) return std::nullopt;
        record.latitude = position->latitude;
        record.lonWest = position->lonWest;
    } else {
        record.latitude = first;
        record.lonWest = second;
    }
    hasAltitude = fields >= 4;
    if (hasAltitude) altitude = height;
    *time = t;
    if (kind == "POS" || pum) {
        const std::string tail = AfterComma(data, 5);
        float values[5] = {};
        const int tailFields = std::sscanf(tail.c_str(), "%f%*c%f%*c%f%*c%f%*c%f", &values[0],
                                           &values[1], &values[2], &values[3], &values[4]);
        if (tailFields >= 3) {
            speed = values[0];
            trueTrack = values[1];
            magneticTrack = values[2];
            record.hasSpeed = true;
        }
        if (tailFields >= 4) {
            compass = values[3];
            record.hasCompass = true;
        }
        if (tailFields >= 5) {
            trueAirspeed = values[4];
            record.hasAirspeed = true;
        } else if (tailFields == 3) {
            // An empty compass column with an airspeed behind it.
            const std::string airspeed = AfterComma(tail, 4);
            if (!airspeed.empty() && std::sscanf(airspeed.c_str(), "%f", &values[4]) == 1) {
                trueAirspeed = values[4];
                record.hasAirspeed = true;
            }
        }
    }
    return record;
}

std::optional<FlightRecord> CFlightType::ParsePlainLine(std::string_view line, double* time) {
    const std::string text(line);
    double lon = 0, lat = 0;
    float h = 0, m = 0, s = 0;
    const int fields = std::sscanf(text.c_str(), "%lf%*c%lf%*c%*d%*c%*d%*c%*d%*c%f%*c%f%*c%f", &lon,
                                   &lat, &h, &m, &s);
    if (fields < 5) return std::nullopt;
    *time = Hours(h, m, s);
    FlightRecord record;
    record.lonWest = lon;
    record.latitude = lat;
    return record;
}

}  // namespace recorder
