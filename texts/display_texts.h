#pragma once
// The texts of the flight displays (texts/display_text.h): what the
// position page, the glide information window and the map view draw, each
// with its capacity and its default before the first fix.
//
// Writers: the fix-processing thread (most of them, in the per-fix pass of
// fix/), the task navigation and statistics, the frame's commands and the
// pages. Every text may be written and read from any thread (each has its
// own lock). DisplayTextLock is taken as well where texts must change
// together with other values: the four task statistics texts and the task
// distance (with the task state), and the thermal climb average. Lock order:
// core::TaskLock, then DisplayTextLock, then core::MapLock.

#include <array>
#include <span>
#include <string_view>

#include "platform/critical_section.h"
#include "texts/display_text.h"

namespace glide {

inline platform::CriticalSection DisplayTextLock;

// In storage order; the capacity counts the terminating zero.
inline DisplayText FlightTimeText{L"FlightTimeText", 16, L" 0.0hrs"};
inline DisplayText WindText{L"WindText", 32, L" Wnd:    unknown "};
inline DisplayText MacCreadyText{L"MacCreadyText", 16, L" 0.0"};
inline DisplayText VarioText{L"VarioText", 32, L" Vz: 0.0  <0.0>kts"};
// [0] the speed over the rest of the task (it may use two slots), [1] the
// time to the target, [2] the time to the finish, [3] the arrival clock
// time. Under DisplayTextLock.
inline std::array<DisplayText, 4> TaskStatText{
    DisplayText{L"TaskStatText[0]", 20, L"v??.?"}, DisplayText{L"TaskStatText[1]", 10, L"?h??"},
    DisplayText{L"TaskStatText[2]", 10, L"?h??"}, DisplayText{L"TaskStatText[3]", 10, L"e??:??"}};
// Sources of the destination line's two-letter prefix; never drawn.
inline DisplayText ArrivedPrefixText{L"ArrivedPrefixText", 8, L"At: "};
inline DisplayText ToPrefixText{L"ToPrefixText", 8, L"To: "};
// Drawn: letters 1-2 from one of the two above, letter 3 '>' with the wind
// correction on, else ':'.
inline DisplayText DestinationPrefixText{L"DestinationPrefixText", 8, L"To: "};
inline DisplayText GlideRatioText{L"GlideRatioText", 12, L"L/D  0"};
inline DisplayText DestinationNameText{L"DestinationNameText", 80, L"Start"};
// "D: 0" and the distance unit's name until the first contest result.
inline DisplayText OlcDistanceText{L"OlcDistanceText", 16, L"D: 0M "};
inline DisplayText RequiredGlideText{L"RequiredGlideText", 16, L" --.-M "};
inline DisplayText AltitudeThousandsText{L"AltitudeThousandsText", 16, L" --.-kF"};
inline DisplayText DestinationLineText{L"DestinationLineText", 32, L" DEST 330t 314m"};
inline DisplayText BlankText{L"BlankText", 8, L""};
inline DisplayText DriftText{L"DriftText", 32, L"DRFT:  ----   ----"};
inline DisplayText TrackText{L"TrackText", 32, L"314m"};
inline DisplayText SpeedToFlyValueText{L"SpeedToFlyValueText", 16, L"v: ---"};
inline DisplayText GroundStfText{L"GroundStfText", 16, L"S: ---"};
inline DisplayText AirMassStfText{L"AirMassStfText", 16, L"F: ---"};
// Source of RequiredGlideText's two-letter prefix in the terrain mode.
inline DisplayText GlidePrefixText{L"GlidePrefixText", 50, L"G:"};
inline DisplayText ThermalClimbText{L"ThermalClimbText", 16, L"T:0.0"};
inline DisplayText AirspeedText{L"AirspeedText", 16, L"I:--kts"};
inline DisplayText GroundSpeedText{L"GroundSpeedText", 32, L" --.-kts"};
inline DisplayText FlightLevelText{L"FlightLevelText", 10, L"fl:000"};
// What remains of the task; under DisplayTextLock when the task navigation
// writes it.
inline DisplayText TaskDistanceText{L"TaskDistanceText", 10, L"???"};
inline DisplayText LegText{L"LegText", 50, L"L:  0.0M  0.0kts    "};
inline DisplayText TaskText{L"TaskText", 50, L"T:  0.0M  0.0kts    "};
inline DisplayText TimeText{L"TimeText", 50, L"--:--:-- UTC"};
// The latitude line, or the UTM zone and easting.
inline DisplayText LatitudeText{L"LatitudeText", 50, L" 38:00.00' N "};
// The longitude line, or the UTM northing.
inline DisplayText LongitudeText{L"LongitudeText", 50, L"120:00.00' W "};
inline DisplayText InstrumentText{L"InstrumentText", 50, L" B50:  100%   1.00x   20C"};
inline DisplayText TemperatureText{L"TemperatureText", 8, L" 20C"};
// The serial GPS port; keeps a whole Linux device path.
inline DisplayText GpsPortNameText{L"GpsPortNameText", 24, L"COM1:", 4095};

// Texts of the position page that the per-fix pass writes as well.
// The bearing to the destination: ":%3.0lf%c  " magnetic, or ">%3.0lf%c"
// relative to the track with 'R' or 'L'.
inline DisplayText BearingText{L"BearingText", 16, L""};
// Height above the terrain: "G:" and the altitude, "G: ?? " when unknown.
inline DisplayText GroundClearanceText{L"GroundClearanceText", 16, L"G: ?? "};
// The own team code, "----" until one is computed.
inline DisplayText OwnTeamCodeText{L"OwnTeamCodeText", 16, L"----"};
// The distance to the destination, "%03.1f%s" in the distance unit.
inline DisplayText DestinationDistanceText{L"DestinationDistanceText", 16, L"---"};

// Every text above, in storage order (the table's texts first).
std::span<DisplayText* const> AllDisplayTexts();

// Every text back to its default (start-up, and a replay's start).
void ResetDisplayTexts();

// The third character of the destination line's prefix ("To: "): '>' when
// the wind correction is on, ':' otherwise.
void SetDestinationSeparator(wchar_t separator);

// The contest distance text before the first result ("D: 0" and the unit).
void SetOlcDistanceText(std::wstring_view text);

// The latitude and longitude lines.
void SetLatitudeText(std::wstring_view text);
void SetLongitudeText(std::wstring_view text);

}  // namespace glide
