#pragma once
// Settings of the moving map and its airspace alarm ("Options\Fonts",
// "Options\Maps", "Settings\AlarmZones"). Read by the map's threads while
// the user interface rewrites them, hence atomics. The initial values are
// the built-in defaults.

#include <atomic>

namespace map {

// --- Label font ("Options\Fonts").
inline std::atomic<int> g_mapBold{0};       // "mapBold"
inline std::atomic<int> g_baseMapSize{10};  // "baseMapSize": font height

// --- Map ("Options\Maps").
inline std::atomic<int> g_showMapInThermalMode{0};  // "ShowMapInThermalMode"
inline std::atomic<float> g_mapRadius{16.0F};       // "MapRadius", statute miles
// The overlay map is drawn: the frame's overlay command switches it.
inline std::atomic<int> g_bOverlayShown{1};

// --- Airspace alarm ("Settings\AlarmZones").
inline std::atomic<int> g_exactSuaCheck{0};                  // "exactSuaCheck"
inline std::atomic<int> g_pressureAltForZones{0};            // "PressureAltForZones"
inline std::atomic<int> g_showEnlarged{0};                   // "ShowEnlarged"
inline std::atomic<float> g_altGuardAbove{0.0F};             // "AltGuardAbove", feet
inline std::atomic<float> g_altGuardBelow{0.0F};             // "AltGuardBelow", feet
inline std::atomic<float> g_horGuardNm{0.0F};                // "HorGuard", nautical miles; 0 = none
inline std::atomic<int> g_permanentSuaAlarmOff{0};           // "PermanentSUAalarmOff"
inline std::atomic<int> g_permanentSuaAlarmOffNoDisplay{0};  // "PermanentSUAalarmOffnoDisplay"

}  // namespace map
