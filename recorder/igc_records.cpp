#include "recorder/igc_records.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/igc_text.h"
#include "platform/numbers.h"

namespace recorder {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr std::size_t kAreaNameLength = 26;

std::string Line(std::string text) {
    text += "\r\n";
    return text;
}

// Whole degrees and thousandths of minutes of an absolute angle; minutes
// that round to 60 carry into the degrees.
struct IgcAngle {
    unsigned degrees;
    unsigned thousandths;
};

IgcAngle ToIgcAngle(double degrees, double maxDegrees) {
    const double value = std::clamp(std::isnan(degrees) ? 0.0 : degrees, 0.0, maxDegrees);
    double whole = std::floor(value);
    double thousandths = std::floor((value - whole) * 60000.0 + 0.5);
    if (thousandths >= 60000.0) {
        thousandths = 0.0;
        whole += 1.0;
    }
    return {static_cast<unsigned>(whole), static_cast<unsigned>(thousandths)};
}

// Bearings of an area point: the whole circle, or the sector's edges.
struct AreaShape {
    double innerRadiusKm;
    double outerRadiusKm;
    double firstBearing;
    double secondBearing;
};

AreaShape ShapeOf(const DeclaredPoint& point) {
    if (!point.hasSector) return {0.0, point.cylinderRadiusKm, 0.0, 360.0};
    double first = point.sectorDirectionDeg - point.sectorAngleDeg / 2.0;
    double second = point.sectorDirectionDeg + point.sectorAngleDeg / 2.0;
    if (first < 0.0) first += 360.0;
    if (second > 360.0) second -= 360.0;
    return {point.innerRadiusKm, point.sectorRadiusKm, first, second};
}

std::string PointLine(const DeclaredPoint& point, std::wstring text) {
    const double latitude = point.latitude * kDegreesPerRadian;
    const double lonWest = point.lonWest * kDegreesPerRadian;
    const IgcAngle lat = ToIgcAngle(std::fabs(latitude), 90.0);
    const IgcAngle lon = ToIgcAngle(std::fabs(lonWest), 180.0);
    const std::string position = platform::FormatC(
        "C%02u%05u%c%03u%05u%c", lat.degrees, lat.thousandths, latitude >= 0.0 ? 'N' : 'S',
        lon.degrees, lon.thousandths, lonWest >= 0.0 ? 'W' : 'E');
    if (!point.area) return Line(position + " " + IgcValue(text));
    if (text.size() > kAreaNameLength) text.resize(kAreaNameLength);
    const AreaShape shape = ShapeOf(point);
    const auto bounded = [](double value, double limit) {
        return std::clamp(std::isnan(value) ? 0.0 : value, 0.0, limit);
    };
    return Line(position +
                platform::FormatC("%07.0f%07.0f%06.0f%06.0f",
                                  bounded(shape.innerRadiusKm * 1000.0, 9999999.0),
                                  bounded(shape.outerRadiusKm * 1000.0, 9999999.0),
                                  bounded(shape.firstBearing * 1000.0, 999999.0),
                                  bounded(shape.secondBearing * 1000.0, 999999.0)) +
                " " + IgcValue(text) + " AREA");
}

}  // namespace

std::string IgcValue(std::wstring_view value) {
    std::string bytes;
    bytes.reserve(value.size());
    for (const wchar_t c : value)
        bytes += core::ToIgcChar(c, 1);
    return bytes;
}

std::string IgcARecord(std::wstring_view loggerId) {
    return Line("AXKV" + IgcValue(loggerId.substr(0, 3)) + " KOR_VAN_WinCE");
}

std::string IgcDateHeader(int day, int month, int year) {
    return Line(platform::FormatC("HFDTE%02d%02d%02d", std::clamp(day, 0, 99),
                                  std::clamp(month, 0, 99), ((year % 100) + 100) % 100));
}

std::vector<std::string> IgcHeaderBlock(const IgcHeaderValues& values) {
    return {
        Line(platform::FormatC("HFFXA%03d", std::clamp(values.fxa, 0, 999))),
        Line("HFPLTPILOT: " + IgcValue(values.pilot)),
        Line("HFGTYGLIDERTYPE: " + IgcValue(values.gliderType)),
        Line("HFGIDGLIDERID: " + IgcValue(values.gliderId)),
        Line(platform::FormatC("HFDTM%03dGPSDATUM: ", std::clamp(values.datumValue, 0, 999)) +
             IgcValue(values.datumName)),
        Line("HFRFWFIRMWARE VERSION: KOR_VAN WinCE " + IgcValue(values.programVersion)),
        Line("HFRHWHARDWARE VERSION: WinCE PC"),
        Line("HFFTYFRTYPE: TarnwellAvionics,KOR_VAN WinCE"),
        Line("HFGPS: " + IgcValue(values.gpsText)),
        Line("HFPRSPRESSALTSENSOR: " + IgcValue(values.pressureSensor)),
    };
}

std::string IgcIRecord(bool engineNoise) {
    return Line(engineNoise ? "I023638FXA3941ENL" : "I013638FXA");
}

std::array<std::string, 2> IgcSecurityLines(const core::IgcDigest& digest) {
    const auto& t = digest.Table();
    const unsigned seed = digest.Seed();
    std::string a = "G17";
    std::string b = "G";
    b += static_cast<char>(64 + (seed >> 4));
    b += static_cast<char>(65 + (seed & 15));
    const auto add = [&](unsigned v, int aBase) {
        a += static_cast<char>(aBase + static_cast<int>(v / 32));
        b += static_cast<char>(58 + static_cast<int>(v % 32));
    };
    add(seed + t[0] + t[1] + t[2], 58);
    for (std::size_t i = 0; i < 4; ++i)
        add(static_cast<unsigned>(t[i]) + t[i + 1] + t[i + 2], 64);
    for (std::size_t i = 4; i < t.size(); ++i)
        add(static_cast<unsigned>(t[i]) + t[i - 1] + t[i - 2], 64);
    return {Line(std::move(a)), Line(std::move(b))};
}

std::vector<std::string> IgcCRecords(const std::vector<DeclaredPoint>& points,
                                     const platform::SystemTime& utc, int declarationNumber) {
    if (points.size() < 4) return {};
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const DeclaredPoint& point = points[i];
        if (point.notDeclared) continue;
        std::wstring text = point.name;
        if (i == 0) text += L" - takeoff site";
        if (i + 1 == points.size()) text += L" - landing site";
        lines.push_back(PointLine(point, std::move(text)));
    }
    if (lines.size() < 4) return {};
    const int turnpoints = static_cast<int>(lines.size()) - 4;
    lines.insert(
        lines.begin(),
        Line(platform::FormatC("C%02d%02d%02d%02d%02d%02d000000%04d%02d", utc.day, utc.month,
                               utc.year % 100, utc.hour, utc.minute, utc.second,
                               std::clamp(declarationNumber, 0, 9999), std::min(turnpoints, 99))));
    return lines;
}

}  // namespace recorder
