#pragma once
// The GPS port's settings ("NMEA"), read once at start-up before the port
// opens.

#include <cstdint>

#include "platform/settings_store.h"

namespace app {

inline constexpr std::uint32_t kDefaultBaudRate = 4800;
inline constexpr std::uint32_t kLowestBaudRate = 1200;
inline constexpr std::uint32_t kHighestBaudRate = 115200;

// Fills the port settings of gps/settings_values.h: "AutoReset" (the
// automatic baud search follows it, whatever "AutoBaud" says),
// "noEventsRS232", "Port" (default "COM1:"), "NMEA_code" (0..3, else 0),
// "CheckMsgLength" (always 1), "UseRxFlag" (0 with "NMEA_code" 3) and the
// rate: "Baud_RateStr" read as "%lu", or "Baud_Rate" (default 4800) when
// it holds no number; a rate outside 1200..115200 becomes 4800 and is
// written back to "Baud_RateStr" as text.
void LoadSerialSettings(platform::SettingsStore& store);

}  // namespace app
