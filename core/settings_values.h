#pragma once
// Settings shared by several subsystems. Each is a process-wide value that
// the settings loader fills at start-up and the option pages rewrite; the
// port reader, the fix-processing thread, the map and the recorder read them
// from their own threads, so every scalar is an atomic and every text sits
// behind its own lock. The initial values are the built-in defaults.
//
// Units: altitudes in feet, speeds and climb in knots, distances in
// kilometres, times in hours, angles in degrees unless stated.

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

namespace core {

// A text that one thread rewrites while others read it.
class SharedText {
  public:
    SharedText() = default;
    explicit SharedText(std::wstring_view text) : text_(text) {}
    SharedText(const SharedText&) = delete;
    SharedText& operator=(const SharedText&) = delete;

    std::wstring Get() const {
        const std::lock_guard lock(mutex_);
        return text_;
    }
    void Set(std::wstring_view text) {
        const std::lock_guard lock(mutex_);
        text_.assign(text);
    }

  private:
    mutable std::mutex mutex_;
    std::wstring text_;
};

// --- Display units ("Options\Units"); indices into the unit tables.
inline std::atomic<int> g_unitDist{0};      // "Dist": 0 statute miles, 1 nautical miles, 2 km
inline std::atomic<int> g_unitSpeed{0};     // "Speed": 0 knots, 1 mph, 2 km/h
inline std::atomic<int> g_unitVario{0};     // "Vario": 0 knots, 1 m/s
inline std::atomic<int> g_unitAlt{0};       // "Alt": 0 feet, otherwise metres
inline std::atomic<int> g_unitAlt2{0};      // the displays' copy of "Alt"
inline std::atomic<int> g_unitPressure{0};  // "Pressure": 0 inHg, 1 hPa

// The highest index each unit table has; a stored index above it (or below
// 0) is not used and the unit stays at 0.
inline constexpr int kMaxUnitDist = 3;
inline constexpr int kMaxUnitSpeed = 2;
inline constexpr int kMaxUnitVario = 1;
inline constexpr int kMaxUnitAlt = 2;
inline constexpr int kMaxUnitPressure = 1;

// The short name of a distance unit ("M ", "N ", "km", "??").
std::wstring_view DistanceUnitName(int unit);
// Display distance per kilometre of a distance unit (0.6215 statute miles,
// 0.53996 nautical miles, 1 km); an index beyond the table counts as 0.
float DistanceUnitFactor(int unit);

// --- Position and geodesy ("Options\Miscellaneous").
inline constexpr double kBuiltInLatitude = 0.671954;  // radians north
inline constexpr double kBuiltInLonWest = 2.0908;     // radians, positive west
// "InitLatitude" / "InitLongitude" as loaded, in radians (longitude positive
// west): where the current-position record starts.
inline std::atomic<double> g_initLatitude{kBuiltInLatitude};
inline std::atomic<double> g_initLonWest{kBuiltInLonWest};
inline std::atomic<int> g_makeInitPosFromLast{1};  // "makeInitPosFromLast"
inline std::atomic<double> g_earthRadius{6371.0};  // "EarthRadius", km
inline std::atomic<int> g_useUtm{0};               // "UseUTM"
inline std::atomic<int> g_decimalMinutes{0};       // "DecimalMinutes"

// --- Magnetic variation.
inline std::atomic<double> g_variation{
    -999.0};  // "Variation": the manual value, -180..180 once loaded
inline std::atomic<int> g_useGpsVariation{1};  // "UseGPSvariation"
// The variation in use: the manual one, or the one the GPS reports while
// g_useGpsVariation is set.
inline std::atomic<double> g_magneticVariation{0.0};

// --- Glide and navigation values read on several threads.
inline std::atomic<float> g_macCready{1.0F};                // MacCready value in use, knots
inline std::atomic<int> g_autoMacCready{1};                 // "autoMacCready" (Settings\Vario)
inline std::atomic<int> g_autoSetMacCready{0};              // "autoSetMacCready" (Settings)
inline std::atomic<int> g_windCorrection{0};                // "WindCorrection" (Settings)
inline std::atomic<int> g_togString{1};                     // "TOGstring": track text mode
inline std::atomic<int> g_autoZoomWaypoint{0};              // "AutoZoomWaypoint" (Settings)
inline std::atomic<int> g_autoZoom{1};                      // "autoZoom" (Options\Thermals)
inline std::atomic<int> g_initCircles{1};                   // "InitCircles" (Options\Maps)
inline std::atomic<int> g_gotoToMaxAatPoint{0};             // "GOTOtoMaxAATpt" (Settings\Tasks)
inline std::atomic<float> g_transitionAltitude{18000.0F};   // "transitionAltitude", feet
inline std::atomic<float> g_gearWarnAt{700.0F};             // "GearWarnAt", feet; -1000 = off
inline std::atomic<float> g_screenUpdates{2.0F / 3600.0F};  // "ScreenUpdates", hours

// Speed director ("Options\Miscellaneous").
inline std::atomic<int> g_speedDirector{0};                // "speedDirector"
inline std::atomic<float> g_speedDirectorTolerance{1.0F};  // "speedDirectorTolerance", knots

// Map rotation ("Options\Maps").
inline std::atomic<float> g_minimumMapRotationAngle{30.0F};  // "MinimumMapRotationAngle"
inline std::atomic<int> g_allowRotationToTog{1};             // "AllowRotationToTOG"

// --- Track cache ("Options\Maps").
inline std::atomic<int> g_trackCacheSaveInterval{3};  // "TrackCacheSaveInterval"
inline std::atomic<int> g_trackCacheLength{8000};     // "TrackCacheLength", points

// --- Logging ("Options\Logging", "Options\NMEA", "IGCHeaders").
inline std::atomic<int> g_logFormat{1};             // "LogFormat": 1 IGC, otherwise the text log
inline std::atomic<int> g_logSpeedTrack{1};         // "LogSpeedTrack"
inline std::atomic<int> g_logInterval{1};           // "LogInterval": fixes between logged lines
inline std::atomic<int> g_logDataOn{1};             // which new-data bit makes a line due
inline std::atomic<int> g_lookAtComErrors{1};       // "lookAtComErrors"
inline std::atomic<float> g_geoidSeparation{0.0F};  // "GeoidSeparation", feet
inline std::atomic<float> g_fxa{10.0F};             // "FXA": fix accuracy of the IGC records

// --- Fonts ("Options\Fonts").
inline SharedText g_fontFamily{L"Arial"};  // "Family"

// --- Sounds: the full path found at start-up for each built-in sound file
// (empty when it was found nowhere).
inline SharedText g_soundPathAt;     // "korvn!at.wav"
inline SharedText g_soundPathTo;     // "korvn!to.wav"
inline SharedText g_soundPathLt;     // "korvn!lt.wav": zone alarm, task altitude warning
inline SharedText g_soundPathSl;     // "korvn!sl.wav": speed director, fly slower
inline SharedText g_soundPathFs;     // "korvn!fs.wav": speed director, fly faster
inline SharedText g_soundPathFlarm;  // "fl00#!b.wav"
inline SharedText g_soundPathGw;     // "korvn!gw.wav"
// The folder of per-waypoint and per-task sounds, and the FLARM library's
// sound folder; each ends in '/' or is empty (the working folder).
inline SharedText g_soundFolder;
inline SharedText g_flarmSoundFolder;

}  // namespace core
