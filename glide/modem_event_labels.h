#pragma once
// The IGC event labels of the four modem lines (CTS, DSR, RING, carrier
// detect), from the event indices the events page stores in
// "Options\Events" ("CTSevent", "DSRevent", "RINGevent", "RLSDevent"):
// 0 and 1 none, 2 "PEV", 3 "EON"/"EOF", 4 "EUP"/"EDN", 5 "STA", 6 "FIN",
// 7 "ONT", anything else none. The first label is for the line going on,
// the second for it going off.

#include <array>

#include "gps/port_modem_lines.h"
#include "platform/settings_store.h"

namespace glide {

gps::ModemEventTexts ModemEventTextsFor(const std::array<int, 4>& indices);

// Reads the four indices and "InvertEvents" from store and installs the
// labels and the inversion for the serial reader.
void LoadModemEventLabels(const platform::SettingsStore& store);

}  // namespace glide
