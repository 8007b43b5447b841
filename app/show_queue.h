#pragma once
// Which display modes the position page's cycling field steps through,
// stored together as "ShowQueue" ("Options\Display"): flag 0 in bit 10,
// flag 10 in bit 0.

#include <array>
#include <cstdint>

#include "platform/settings_store.h"

namespace app {

inline constexpr int kShowQueueModes = 11;
using ShowQueueFlagArray = std::array<int, 16>;

// Bit 10 - i for every flag i (0..10) above 0.
std::uint32_t PackShowQueue(const ShowQueueFlagArray& flags);
// Flags 0..10 from bits 10..0 (1 or 0); the others stay.
void UnpackShowQueue(std::uint32_t mask, ShowQueueFlagArray& flags);

// Reads "ShowQueue" (default: the flags as they are) into the flags. When
// no mode is left in the cycle, flag 0 is set and stored, so the next start
// finds the same.
void LoadShowQueue(platform::SettingsStore& store, ShowQueueFlagArray& flags);

}  // namespace app
