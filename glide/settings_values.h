#pragma once
// Settings of the glide computer and the position page, and the start values
// the settings loader derives for them. Read by the fix-processing thread
// while the user interface rewrites them, hence atomics. The initial values
// are the built-in defaults.

#include <array>
#include <atomic>

#include "core/settings_values.h"

namespace glide {

// "goLeft" / "goRight" (Options\Fonts): the letters after a bearing relative
// to the track, toward the left and the right; 16-bit character codes.
inline std::atomic<char16_t> g_goLeft{u'L'};
inline std::atomic<char16_t> g_goRight{u'R'};

// --- Glide ("Settings").
inline std::atomic<int> g_useDemInfo{1};                    // "useDEMinfo"
inline std::atomic<int> g_useConstantGlideSpeed{0};         // "useConstantGlideSpeed"
inline std::atomic<int> g_useMcrForAlt{0};                  // "useMCRforAlt"
inline std::atomic<int> g_showAltitudeDifference{0};        // "ShowAltitudeDifference"
inline std::atomic<int> g_showAltitudeDifferenceInGoto{0};  // "ShowAltitudeDifferenceInGOTO"
inline std::atomic<float> g_autodetectRadius{0.5F};         // "AutodetectRadius" (stored x100)
inline std::atomic<float> g_altTeCompFactor{0.0F};          // "altTEcompFactor"
inline std::atomic<float> g_macCreadyManualDefault{1.0F};   // "macReadyManualDef", knots
inline std::atomic<float> g_patternAltitude{1000.0F};       // "PatternAltitude", feet
inline std::atomic<float> g_groundClearAltitude{500.0F};    // "GroundClearAltitude", feet

// --- Thermals ("Options\Thermals", "Settings\Vario", "Options\Maps").
inline std::atomic<int> g_averageNthermals{3};  // "averageNthermals", at least 1
// How much of the previous thermal average each new thermal keeps:
// 0 when averageNthermals is 1, else exp(-1 / (averageNthermals - 1)).
inline std::atomic<float> g_thermalAverageDecay{0.60653066F};
inline std::atomic<int> g_initCirclesMacCready{3};  // "initCirclesMacCready"
inline std::atomic<int> g_showAverage{0};           // "showAverage"
// The drift estimator's circle counter; starts at -1 - "InitCircles".
inline std::atomic<int> g_circleCounter{-1};

// --- Reachable outline ("Options\Maps"; read when the outline is created).
inline std::atomic<int> g_reachableUseDefaultMc{1};    // "ReachableUseDefaultMC"
inline std::atomic<float> g_reachableDefaultMc{0.0F};  // "ReachableDefaultMC" (thousandths), knots
inline std::atomic<int> g_numberPointsOnOutline{48};   // "numberPointsOnOutline", at least 48

// --- Position page ("Options\Fonts", "Options\Miscellaneous", "Settings").
inline std::atomic<int> g_baseSize{20};          // "baseSize": font height
inline std::atomic<int> g_baseListSize{16};      // "baseListSize"
inline std::atomic<int> g_showWhileCircling{0};  // "ShowWhileCircling"
inline std::atomic<int> g_altString{0};          // "AltString"
inline std::atomic<int> g_altStringCycling{0};   // "AltStringCycling"
inline std::atomic<int> g_lonLatString{0};       // "LonLatString"
inline std::atomic<int> g_varioString{0};        // "VarioString"
// "ShowMCRwhileCircling" ("Options\Miscellaneous"): while circling in a
// drift estimate, the glide display switches to the MacCready mode.
inline std::atomic<int> g_showMcrWhileCircling{0};
// The glide display mode the position page shows: 0 altitude, 1 MacCready,
// 2 terrain.
inline std::atomic<int> g_glideDisplayMode{0};

// The three labels of the position texts: ids::kIdsTaskLabel, kIdsLegLabel
// and kIdsRestLabel in that order.
inline std::array<core::SharedText, 3> g_positionTextLabels;

// The longest run of the position texts (ms) measured so far in this run.
inline std::atomic<int> g_processTimeMax{0};

}  // namespace glide
