#pragma once
// Settings of the GPS input: the serial port ("NMEA"), the sentence options
// ("Options\NMEA") and the fix-processing thread's own values. The port
// reader and the fix-processing thread read them while the user interface
// rewrites them, hence the atomics. The initial values are the built-in
// defaults. Units, variation, logging and geoid values that other
// subsystems share are in core/settings_values.h.

#include <atomic>
#include <cstdint>
#include <limits>

#include "core/settings_values.h"

namespace gps {

// --- Serial port ("NMEA").
inline core::SharedText g_gpsPortName{L"COM1:"};     // "Port"
inline std::atomic<std::uint32_t> g_baudRate{4800};  // "Baud_RateStr" / "Baud_Rate"
inline std::atomic<int> g_gpsPortAutoReset{0};       // "AutoReset": receiver auto-reset
inline std::atomic<int> g_autoBaud{0};               // "AutoBaud"
inline std::atomic<int> g_noEventsRS232{0};          // "noEventsRS232"
inline std::atomic<int> g_nmeaCode{0};               // "NMEA_code": input mode 0..3
inline std::atomic<int> g_checkMsgLength{1};         // "CheckMsgLength"
inline std::atomic<int> g_useRxFlag{0};              // "UseRxFlag"

// --- Sentences ("Options\NMEA").
inline std::atomic<int> g_sirfGga{0};  // "Sirf_GGA"

// --- Fix processing.
// The QNH the pilot set on the alarm-zone page, inches of mercury (not
// stored; standard pressure at start).
inline std::atomic<float> g_qnhInches{29.92F};
// Set once the pilot starts typing a QNH: the fix thread's automatic QNH
// estimate stops for the rest of the run, so it never overwrites the typed
// one.
inline std::atomic<int> g_stopAutoQnh{0};
// The pressure-altitude correction of a typed QNH, feet, waiting for the fix
// thread to take it over (which alone writes the published correction);
// NaN when none waits.
inline std::atomic<float> g_typedQnhCorrection{std::numeric_limits<float>::quiet_NaN()};
inline std::atomic<float> g_timeOffset{0.0F};  // "TimeOffset" + "TimeOffset1" / 10, hours
inline std::atomic<int> g_timeInMinutes{0};    // "timeInMinutes": flight time as h and min
// "MinCirclingRate": turn rate that starts circling, degrees per hour.
inline std::atomic<float> g_minCirclingRate{8.0F * 3600.0F};
// "thermalSearchTime": straighter flight that ends circling, hours.
inline std::atomic<float> g_thermalSearchTime{11.0F / 3600.0F};

// --- Compass ("Settings\Compass"): heading input and the limits of steady,
// straight flight under which heading samples are used. Rates are per hour,
// because fix times are in hours.
// "TurnTolerance": course change of straight flight, degrees per hour.
inline std::atomic<float> g_turnTolerance{3.0F * 3600.0F};
// "SpeedTolerance": speed change of steady flight, knots per hour.
inline std::atomic<float> g_speedTolerance{3.0F * 3600.0F};
// "SpeedMinimum" / "SpeedMaximum": steady flight lies between them, knots.
inline std::atomic<float> g_speedMinimum{40.0F};
inline std::atomic<float> g_speedMaximum{85.0F};
// "Correction": degrees added to every received heading.
inline std::atomic<float> g_correction{0.0F};
// "HCHDGtrue": HDG sentences carry the true heading.
inline std::atomic<int> g_hcHdgTrue{1};

// --- Wind ("Settings\Winds").
// "Method": how the wind is found (index of the wind page's choices).
enum class WindMethod : int {
    kNone = 0,
    kHeading = 2,          // heading and ground velocity at two tracks
    kAirspeedFit = 3,      // fit of true airspeed and ground velocity
    kHeadingAirspeed = 4,  // heading, true airspeed and ground velocity
    kInstrument = 5,       // the instrument's own wind
};
inline std::atomic<WindMethod> g_windMethod{WindMethod::kNone};
// "ComputeOn": which arrival triggers a wind computation (-1, 0, 1, 2).
inline std::atomic<int> g_windComputeOn{1};
// "MinimumTurn": degrees of turn between the tracks of the heading method.
inline std::atomic<float> g_windMinimumTurn{20.0F};
// "MinimumSOGstr" (knots): a drift fit whose mean air speed is lower is
// shown but not used as wind.
inline std::atomic<float> g_windMinimumSpeed{10.0F};
// The wind-trigger mask derived from "Method" and "ComputeOn": -1 takes the
// wind from the instrument; otherwise the value-mask bits whose arrival
// starts a wind computation.
inline std::atomic<int> g_windTriggerMask{512};

}  // namespace gps
