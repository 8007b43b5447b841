#pragma once
// CFlightType: a recorded flight opened for replay: an IGC file, a text log
// of this program (also in UTM and in the older "FLIGHT" form) or a plain
// list of positions. It hands out the file's fixes one by one, skipping
// those that follow the last accepted one by less than the minimum step.
// One thread uses an object at a time.
//
// Units: positions in degrees, longitude positive WEST; times in hours of
// the day; altitudes in feet; speeds in knots; tracks in degrees.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace recorder {

enum FlightFileType : int {
    kFlightFileUnknown = 0,  // not detected yet
    kFlightFileIgc = 1,
    kFlightFileTextLog = 2,
    kFlightFileOldTextLog = 4,  // the text log's older "FLIGHT" form
    kFlightFilePlainList = 8,
    kFlightFileUnreadable = -1,
};

// One accepted record.
struct FlightRecord {
    double lonWest = 0.0;
    double latitude = 0.0;
    bool hasSpeed = false;
    bool hasCompass = false;
    bool hasAirspeed = false;
};

class CFlightType {
  public:
    CFlightType() = default;
    ~CFlightType() = default;
    CFlightType(const CFlightType&) = delete;
    CFlightType& operator=(const CFlightType&) = delete;

    // Opens path and detects its type; false (type -1, no name) when the
    // file cannot be read or is too short to tell.
    bool Open(const std::filesystem::path& path);
    // Reads the first bytes of the open file: 1 when the type is known.
    int DetectFileType();
    // The type, detected first while still unknown; -1 when that fails.
    int GetFileType();
    // The next accepted record, its values in the fields below; nothing at
    // the end of the file (which is then closed). A line of 255 characters
    // or more ends the file; lines that do not parse are skipped.
    std::optional<FlightRecord> ParseRecord();
    void CloseFile();
    bool IsOpen() const { return file_ != nullptr; }

    std::filesystem::path path;
    std::wstring fileName;  // shown to the pilot

    double minimumStep = 0.0;  // hours
    bool hasAltitude = false;  // the last record carried an altitude
    double altitude = -10000.0;
    double speed = -10.0;
    double lastTime = -1.0;
    int dayCount = 0;  // midnights crossed
    float magneticTrack = 0.0F;
    float trueTrack = 0.0F;
    float compass = 0.0F;
    float trueAirspeed = 0.0F;
    int fileType = kFlightFileUnknown;
    bool utm = false;
    int quoteOffset = 0;

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    // The next line without its LF; nothing at the end or for a long line.
    std::optional<std::string> ReadLine();
    std::optional<FlightRecord> ParseLine(std::string_view line, double* time);
    std::optional<FlightRecord> ParseIgcLine(std::string_view line, double* time);
    std::optional<FlightRecord> ParseTextLine(std::string_view line, double* time);
    std::optional<FlightRecord> ParsePlainLine(std::string_view line, double* time);
    bool Accept(double time);

    std::unique_ptr<std::FILE, FileCloser> file_;
};

}  // namespace recorder
