#pragma once
// The IGC log's own records as text, each a whole line with its CR LF:
// the A record, the date header, the H block, the I record, the closing G
// records, and the task declaration's C records. Pure functions; any thread.
//
// Values that come from the pilot or the settings pass the IGC character
// filter (core::ToIgcChar, mode 1); the fixed texts around them are written
// as they are, so "HFFTYFRTYPE: maker,model" keeps its comma.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "services/flight_log.h"

namespace recorder {

// A value as the IGC file carries it: one byte per character after the
// filter.
std::string IgcValue(std::wstring_view value);

// "AXKV<id> KOR_VAN_WinCE".
std::string IgcARecord(std::wstring_view loggerId);
// "HFDTEddmmyy".
std::string IgcDateHeader(int day, int month, int year);

// What the H block shows ("IGCHeaders"); absent texts are "UNKNOWN".
struct IgcHeaderValues {
    int fxa = 10;  // "FXA" as stored
    std::wstring pilot{L"UNKNOWN"};
    std::wstring gliderType{L"UNKNOWN"};
    std::wstring gliderId{L"UNKNOWN"};
    int datumValue = 100;  // "DTMval"
    std::wstring datumName{L"WGS-84"};
    std::wstring programVersion;  // "major.minor.build.revision"
    std::wstring gpsText{L"UNKNOWN"};
    std::wstring pressureSensor{L"UNKNOWN"};
};

// The ten H lines in their order.
std::vector<std::string> IgcHeaderBlock(const IgcHeaderValues& values);

// "I023638FXA3941ENL" with the engine-noise level, else "I013638FXA".
std::string IgcIRecord(bool engineNoise);

// The two closing G lines of a digest (without the LXKV line before them).
std::array<std::string, 2> IgcSecurityLines(const core::IgcDigest& digest);

// One point of a declared task, in the units of the task model.
struct DeclaredPoint {
    std::wstring name;
    double latitude = 0.0;  // radians, north positive
    double lonWest = 0.0;   // radians, west positive
    bool notDeclared = false;
    bool area = false;  // an assigned area: radii and bearings are declared
    bool hasSector = false;
    double cylinderRadiusKm = 0.0;
    double sectorRadiusKm = 0.0;
    double innerRadiusKm = 0.0;
    double sectorAngleDeg = 0.0;      // the full opening
    double sectorDirectionDeg = 0.0;  // into the sector
};

// The C block of a task: its header, dated with utc and numbered
// declarationNumber, then one line per declared point. The header's count
// is the number of point lines less 4. Empty when fewer than 4 points
// would be written.
std::vector<std::string> IgcCRecords(const std::vector<DeclaredPoint>& points,
                                     const platform::SystemTime& utc, int declarationNumber);

}  // namespace recorder
