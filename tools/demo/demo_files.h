#pragma once
// The texts and bytes of the demonstration files, made from the region
// (demo_region.h) and the flight (flight_path.h). Each function is pure;
// WriteDemoData puts them all into a folder.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace demo {

// The elevation grid: its header text and its samples (little-endian bytes).
inline constexpr double kGridCellDeg = 9.0 / 3600.0;
inline constexpr int kGridRows = 180;
inline constexpr int kGridColumns = 266;
std::string GridHeaderText(const std::string& gridTitle);
std::vector<std::int16_t> GridSamples();
std::string GridBytes(const std::vector<std::int16_t>& samples);

// The waypoint file (".dta", altitudes in metres). The attachments name
// files in the sound folder.
inline constexpr const char* kPictureName = "demo_lighthouse.bmp";
inline constexpr const char* kSoundName = "demo_bell.wav";
std::string WaypointText();
// How many records WaypointText holds.
int WaypointCount();

// The task file: one FAI triangle from home with a start line, turnpoint
// cylinders and a finish cylinder.
inline constexpr const char* kTaskName = "Demo Triangle";
std::string TaskText();

// The polar file of a made-up standard-class glider, and its sink in m/s
// at a true airspeed in km/h (the curve the flight flies).
std::string PolarText();
double PolarSinkMs(double speedKmh);

// Map texts: the main map names the include by file name.
inline constexpr const char* kIncludeName = "demo_rivers.map";
std::string MapText();
std::string IncludeMapText();
std::string OverlayMapText();

// A 16-bit mono WAV of a sine tone.
std::string WavTone(double frequencyHz, double seconds);
// A small 24-bit BMP picture (a lighthouse on the sea).
std::string BmpPicture();

// Where the demo files go inside the demo folder.
struct DemoLayout {
    std::filesystem::path data;    // maps, grid, waypoints, task, polar, flight
    std::filesystem::path sounds;  // the sound folder: documents/"KOR_VAN WinCE"
};
DemoLayout LayoutOf(const std::filesystem::path& demoFolder);

// Writes every file; throws std::runtime_error when one cannot be written.
void WriteDemoData(const std::filesystem::path& demoFolder);

}  // namespace demo
