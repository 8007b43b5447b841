#include "frame/options/show_queue_options.h"

#include "frame/position_view.h"
#include "glide/settings_values.h"

namespace frame {

std::uint32_t ShowQueueMask(std::array<int, kAltStringModes>& inCycle) {
    std::uint32_t mask = 0;
    for (const int flag : inCycle) mask = mask * 2 + (flag != 0 ? 1U : 0U);
    if (mask == 0) {
        inCycle[0] = 1;
        mask = 1U << (kAltStringModes - 1);
    }
    return mask;
}

int NextModeInCycle(const std::array<int, kAltStringModes>& inCycle, int current) {
    if (current >= 0 && current < kAltStringModes && inCycle[static_cast<std::size_t>(current)] != 0) {
        return current;
    }
    int mode = current;
    for (int step = 0; step < kAltStringModes; ++step) {
        mode = mode + 1 >= kAltStringModes || mode < 0 ? 0 : mode + 1;
        if (inCycle[static_cast<std::size_t>(mode)] != 0) return mode;
    }
    return 0;
}

ShowQueueOptions ShowQueueOptions::FromRunning(const platform::SettingsStore& store) {
    ShowQueueOptions o;
    for (std::size_t i = 0; i < o.inCycle.size(); ++i) o.inCycle[i] = g_showQueueFlags[i] != 0 ? 1 : 0;
    o.altStringCycling = glide::g_altStringCycling;
    o.resolution = static_cast<int>(store.GetInt("Settings", "Resolution", 1));
    return o;
}

void ShowQueueOptions::Apply(platform::SettingsStore& store) const {
    std::array<int, kAltStringModes> flags = inCycle;
    const std::uint32_t mask = ShowQueueMask(flags);
    for (std::size_t i = 0; i < flags.size(); ++i) g_showQueueFlags[i] = flags[i];
    store.WriteInt("Options\\Display", "ShowQueue", mask);

    const int current = glide::g_altString;
    const int next = NextModeInCycle(flags, current);
    if (next != current) {
        glide::g_altString = next;
        store.WriteInt("Settings", "AltString", static_cast<std::uint32_t>(next));
    }
    store.WriteInt("Settings", "Resolution", static_cast<std::uint32_t>(resolution));
    glide::g_altStringCycling = altStringCycling;
    store.WriteInt("Settings", "AltStringCycling", static_cast<std::uint32_t>(altStringCycling));
}

}  // namespace frame
