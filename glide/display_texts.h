#pragma once
// The display texts that the settings loader sets at start-up.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/settings_values.h"
#include "platform/critical_section.h"

namespace glide {

// The third character of the destination line's prefix ("To: "): '>' when
// the wind correction is on, ':' otherwise.
void SetDestinationSeparator(wchar_t separator);

// The contest distance text before the first result ("D: 0" and the unit).
void SetOlcDistanceText(std::wstring_view text);

// The latitude and longitude lines.
void SetLatitudeText(std::wstring_view text);
void SetLongitudeText(std::wstring_view text);

// Texts of the glide computer, written by the drift estimator, the thermal
// average and the speed to fly, and drawn by the views; each with its
// default before the first fix.
inline core::SharedText DriftText{L"DRFT:  ----   ----"};
inline core::SharedText MacCreadyText{L" 0.0"};
inline core::SharedText ThermalClimbText{L"T:0.0"};
inline core::SharedText SpeedToFlyValueText{L"v: ---"};

// Guards the task statistics texts, the task distance text and the thermal
// climb average.
inline platform::CriticalSection DisplayTextLock;

// The task statistics worker's texts, written and read under
// DisplayTextLock: [0] the speed over the rest of the task (at most 19
// characters), [1] the time to the target, [2] the time to the finish and
// [3] the arrival clock time (at most 9 characters each).
inline std::array<core::SharedText, 4> TaskStatText{
    core::SharedText{L"v??.?"}, core::SharedText{L"?h??"}, core::SharedText{L"?h??"},
    core::SharedText{L"e??:??"}};

// Texts of the flight displays that the fix-processing thread writes, each
// with its default before the first fix.
inline core::SharedText FlightTimeText{L" 0.0hrs"};
inline core::SharedText WindText{L" Wnd:    unknown "};
inline core::SharedText VarioText{L" Vz: 0.0  <0.0>kts"};
inline core::SharedText GlideRatioText{L"L/D  0"};
inline core::SharedText AltitudeThousandsText{L" --.-kF"};
inline core::SharedText TrackText{L"314m"};
inline core::SharedText AirMassStfText{L"F: ---"};
inline core::SharedText FlightLevelText{L"fl:000"};
inline core::SharedText TimeText{L"--:--:-- UTC"};
inline core::SharedText InstrumentText{L" B50:  100%   1.00x   20C"};
inline core::SharedText TemperatureText{L" 20C"};

// Rebuilds the waypoint-queue and final-glide texts; reason says what
// changed (a redraw request passes its reason).
void UpdateWaypointQueueTexts(int reason);

// Rebuilds the position and status texts after a published fix, from the
// value bits that fix brought; returns the bits it handled.
std::uint32_t UpdatePositionTexts(std::uint32_t changes, bool replaying);

}  // namespace glide
