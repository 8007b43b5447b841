#pragma once
// The display-cycle options page's values: which of the eleven modes of the
// position page's altitude field the field cycles through ("Options\Display"
// "ShowQueue", mode 0 in bit 10), whether it cycles ("AltStringCycling") and
// the screen resolution used from the next start ("Resolution"). Without wx;
// UI thread only.

#include <array>
#include <cstdint>

#include "platform/settings_store.h"

namespace frame {

inline constexpr int kAltStringModes = 11;

struct ShowQueueOptions {
    std::array<int, kAltStringModes> inCycle{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    int altStringCycling = 0;
    int resolution = 1;

    // The store gives "Resolution" (default 1); the rest is running.
    static ShowQueueOptions FromRunning(const platform::SettingsStore& store);
    void Apply(platform::SettingsStore& store) const;
};

// Mode 0 in bit 10 down to mode 10 in bit 0. With no mode in the cycle,
// mode 0 is, so that the next start finds what was shown.
std::uint32_t ShowQueueMask(std::array<int, kAltStringModes>& inCycle);

// The mode shown next: `current` when it is in the cycle, else the next one
// in the cycle after it (wrapping after 10), 0 when none is.
int NextModeInCycle(const std::array<int, kAltStringModes>& inCycle, int current);

}  // namespace frame
