#pragma once
// Settings of the GPS input: the serial port ("NMEA"), the sentence options
// ("Options\NMEA") and the fix-processing thread's own values. The port
// reader and the fix-processing thread read them while the user interface
// rewrites them, hence the atomics. The initial values are the built-in
// defaults. Units, variation, logging and geoid values that other
// subsystems share are in core/settings_values.h.

#include <atomic>
#include <cstdint>

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
inline std::atomic<float> g_timeOffset{0.0F};  // "TimeOffset" + "TimeOffset1" / 10, hours
inline std::atomic<int> g_timeInMinutes{0};    // "timeInMinutes": flight time as h and min
// "MinCirclingRate": turn rate that starts circling, degrees per hour.
inline std::atomic<float> g_minCirclingRate{8.0F * 3600.0F};
// "thermalSearchTime": straighter flight that ends circling, hours.
inline std::atomic<float> g_thermalSearchTime{11.0F / 3600.0F};

}  // namespace gps
